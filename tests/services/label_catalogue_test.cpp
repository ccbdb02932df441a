#include "services/label_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/test_support.h"

namespace tessel {
namespace {

std::string Lines(int first, int count) {
  std::string s;
  for (int i = first; i < first + count; ++i) s += "f" + std::to_string(i) + "\n";
  return s;
}

TEST(LabelCatalogueParse, CountThenSixLinesPerEntryAndNothingAfter) {
  const auto entries = ParseCatalogue("2\n" + Lines(1, 12) + "f13\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], (CatalogueEntry{"f1", "f2", "f3", "f4", "f5", "f6"}));
  EXPECT_EQ(entries[1], (CatalogueEntry{"f7", "f8", "f9", "f10", "f11", "f12"}));
}

TEST(LabelCatalogueParse, CountReadAsAtoiDoes) {
  EXPECT_EQ(AtoiValue("3 words"), 3);
  EXPECT_EQ(AtoiValue("  \t+12x"), 12);
  EXPECT_EQ(AtoiValue("-4"), -4);
  EXPECT_EQ(AtoiValue("words"), 0);
  EXPECT_EQ(AtoiValue(""), 0);
  EXPECT_EQ(AtoiValue("99999999999999999999"), INT_MAX);
  EXPECT_EQ(AtoiValue("-99999999999999999999"), INT_MIN);
  EXPECT_EQ(ParseCatalogue("3 entries\n" + Lines(1, 18)).size(), 3u);
  EXPECT_TRUE(ParseCatalogue("none\n" + Lines(1, 12)).empty());
  EXPECT_TRUE(ParseCatalogue("-2\n" + Lines(1, 12)).empty());
}

TEST(LabelCatalogueParse, ShortFileGivesEmptyFieldsButNoEntryWithoutALine) {
  // Two announced, eight lines: the second entry has two real fields.
  auto entries = ParseCatalogue("2\n" + Lines(1, 8));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1], (CatalogueEntry{"f7", "f8", "", "", "", ""}));
  // A huge count over a three-line file makes one entry, not billions.
  entries = ParseCatalogue("2000000000\r\nAvery 5160\r\n5160");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0], (CatalogueEntry{"Avery 5160", "5160", "", "", "", ""}));
}

TEST(LabelCatalogueParse, CrLfIsOneLineEndButLoneCrStays) {
  const auto entries = ParseCatalogue("1\r\na\r\n\r\nc\rd\r\ne\n\nlast");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0], (CatalogueEntry{"a", "", "c\rd", "e", "", "last"}));
}

TEST(LabelCatalogueParse, LinesOfAnyLength) {
  const std::string longLine(100000, 'x');
  const auto entries = ParseCatalogue("1\n" + longLine + "\n2\n3\n4\n5\n6\n");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].labelName, longLine);
}

TEST(LabelCatalogueLoad, EightFilesInTableOrderMissingOnesEmpty) {
  test::TempDir dir;
  std::ofstream(dir.File("AStd.txt")) << "1\nAvery 5160\n5160\nAddress\n1in\n2.625in\nUS-Letter\n";
  std::ofstream(dir.File("CoStar.txt")) << "1\r\nDymo 99010\r\n99010\r\n\r\n\r\n\r\n\r\n";
  std::ofstream(dir.File("other.txt")) << "no count\nX\n";
  LabelCatalogue catalogue;
  catalogue.Load(dir.Path().string());
  EXPECT_TRUE(catalogue.Loaded());
  EXPECT_EQ(catalogue.Count(kLaserInkJet, 0), 1u);
  EXPECT_EQ(catalogue.At(kLaserInkJet, 0, 0)->labelName, "Avery 5160");
  EXPECT_EQ(catalogue.At(kLaserInkJet, 0, 1), nullptr);
  EXPECT_EQ(catalogue.Count(kLaserInkJet, 3), 0u);
  EXPECT_EQ(catalogue.Count(kDotMatrix, 0), 0u);
  EXPECT_EQ(catalogue.At(kDotMatrix, 3, 0)->productNumber, "99010");
  // Unknown family indexes mean family 0 of the printer type.
  EXPECT_EQ(catalogue.Count(kLaserInkJet, 7), 1u);
  EXPECT_EQ(catalogue.Count(kLaserInkJet, -1), 1u);
  EXPECT_EQ(catalogue.FindLabel("Dymo 99010")->productNumber, "99010");
  EXPECT_EQ(catalogue.FindLabel("Dymo"), nullptr);

  // Fixed for the run: a second load reads nothing again.
  std::ofstream(dir.File("MACO.txt")) << "1\nMaco LL5805\n";
  catalogue.Load(dir.Path().string());
  EXPECT_EQ(catalogue.Count(kLaserInkJet, 2), 0u);
}

TEST(LabelCatalogueLoad, MissingFolderGivesEmptyFamilies) {
  LabelCatalogue catalogue;
  catalogue.Load("/nonexistent/tessel/labels");
  EXPECT_TRUE(catalogue.Loaded());
  for (int slot = 0; slot < kFamilyCount; ++slot) EXPECT_TRUE(catalogue.Family(slot).empty());
}

TEST(LabelCatalogueShipped, EveryFamilyFileReadsAndNamesItsProducts) {
  LabelCatalogue catalogue;
  catalogue.Load(TESSEL_SOURCE_DIR "/resources/labels");
  const CatalogueEntry* avery = catalogue.FindLabel("Avery 5160");
  ASSERT_NE(avery, nullptr);
  EXPECT_EQ(avery->height, "1in");
  EXPECT_EQ(avery->width, "2.625in");
  EXPECT_EQ(avery->pageSize, "US-Letter");
  EXPECT_GT(catalogue.Count(kLaserInkJet, 0), 0u);
  EXPECT_GT(catalogue.Count(kLaserInkJet, 1), 0u);
  EXPECT_GT(catalogue.Count(kLaserInkJet, 2), 0u);
  EXPECT_GT(catalogue.Count(kLaserInkJet, 3), 0u);
  EXPECT_GT(catalogue.Count(kDotMatrix, 3), 0u);
  for (int slot = 0; slot < kFamilyCount; ++slot) {
    for (const CatalogueEntry& e : catalogue.Family(slot)) {
      EXPECT_FALSE(e.labelName.empty());
      EXPECT_FALSE(e.productNumber.empty());
    }
  }
}

}  // namespace
}  // namespace tessel
