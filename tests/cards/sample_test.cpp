// The bundled sample file must be exactly what the generator writes, so the
// two never drift apart.
#include <algorithm>
#include <cstdlib>

#include "cards/card_file.h"
#include "cards/crd_file.h"
#include "support/test_support.h"

namespace tessel {
namespace {

TEST(Sample, BundledFileIsWhatTheGeneratorWrites) {
  test::TempDir dir;
  const std::string out = dir.File("sample.tsl");
  ASSERT_EQ(std::system((std::string("'") + TESSEL_MAKE_SAMPLE + "' '" + out + "'").c_str()), 0);
  const auto bundled = test::ReadBytes(std::string(TESSEL_SOURCE_DIR) + "/resources/sample.tsl");
  EXPECT_EQ(test::ReadBytes(out), bundled)
      << "regenerate with: tessel-make-sample resources/sample.tsl";

  CardFileData data;
  ASSERT_TRUE(ParseCardFile(bundled, data).Ok());
  EXPECT_GE(data.cards.size(), 25u);
}

TEST(Sample, BundledCardfileFileIsWhatTheGeneratorWritesAndImportsWhole) {
  test::TempDir dir;
  const std::string out = dir.File("sample.crd");
  ASSERT_EQ(std::system((std::string("'") + TESSEL_MAKE_SAMPLE + "' --crd '" + out + "'").c_str()), 0);
  const auto bundled = test::ReadBytes(std::string(TESSEL_SOURCE_DIR) + "/resources/sample.crd");
  EXPECT_EQ(test::ReadBytes(out), bundled)
      << "regenerate with: tessel-make-sample --crd resources/sample.crd";

  std::vector<CardInfo> cards;
  const CrdReadResult result = ParseCrdFile(bundled, cards);
  EXPECT_EQ(result.status, CrdStatus::Ok) << CrdMessage(result, "sample.crd");
  EXPECT_EQ(cards.size(), 12u);
  // The same cards as the card file sample, texts and all.
  CardFileData tsl;
  ASSERT_TRUE(ParseCardFile(test::ReadBytes(std::string(TESSEL_SOURCE_DIR) + "/resources/sample.tsl"), tsl).Ok());
  for (const CardInfo& card : cards) {
    const bool inSample = std::any_of(tsl.cards.begin(), tsl.cards.end(), [&](const CardInfo& c) {
      return c.index == card.index && c.body == card.body;
    });
    EXPECT_TRUE(inSample) << card.index;
  }
}

TEST(Sample, BundledRrgFileIsWhatTheGeneratorWritesAndLeavesItsPictureBehind) {
  test::TempDir dir;
  const std::string out = dir.File("sample-pictures.crd");
  ASSERT_EQ(std::system((std::string("'") + TESSEL_MAKE_SAMPLE + "' --rrg '" + out + "'").c_str()), 0);
  const auto bundled = test::ReadBytes(std::string(TESSEL_SOURCE_DIR) + "/resources/sample-pictures.crd");
  EXPECT_EQ(test::ReadBytes(out), bundled)
      << "regenerate with: tessel-make-sample --rrg resources/sample-pictures.crd";

  std::vector<CardInfo> cards;
  const CrdReadResult result = ParseCrdFile(bundled, cards);
  EXPECT_EQ(result.status, CrdStatus::Ok);
  EXPECT_EQ(CrdMessage(result, "sample-pictures.crd"),
            "7 cards imported; 1 picture and 1 object were not imported (Tessel cards hold text only)");
  const auto map = std::find_if(cards.begin(), cards.end(),
                                [](const CardInfo& c) { return c.index == "Map to the cottage"; });
  ASSERT_NE(map, cards.end());
  EXPECT_EQ(map->body, "Left at the church, second gate.\r\nThe map is a picture.");
}

}  // namespace
}  // namespace tessel
