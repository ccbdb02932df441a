// The bundled sample file must be exactly what the generator writes, so the
// two never drift apart.
#include <algorithm>
#include <cstdlib>

#include "cards/card_file.h"
#include "cards/crd_file.h"
#include "support/test_support.h"

namespace tessel {
namespace {

// The bundled resources/NAME, after checking that the generator run with
// `option` writes exactly it.
std::vector<uint8_t> BundledAsGenerated(const std::string& option, const std::string& name) {
  test::TempDir dir;
  const std::string out = dir.File(name);
  EXPECT_EQ(std::system((std::string("'") + TESSEL_MAKE_SAMPLE + "' " + option + " '" + out + "'").c_str()), 0);
  auto bundled = test::ReadBytes(std::string(TESSEL_SOURCE_DIR) + "/resources/" + name);
  EXPECT_EQ(test::ReadBytes(out), bundled)
      << "regenerate with: tessel-make-sample " << option << " resources/" << name;
  return bundled;
}

TEST(Sample, BundledFileIsWhatTheGeneratorWrites) {
  const auto bundled = BundledAsGenerated("", "sample.tsl");

  CardFileData data;
  ASSERT_TRUE(ParseCardFile(bundled, data).Ok());
  EXPECT_GE(data.cards.size(), 25u);
}

TEST(Sample, BundledCardfileFileIsWhatTheGeneratorWritesAndImportsWhole) {
  const auto bundled = BundledAsGenerated("--crd", "sample.crd");

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
  const auto bundled = BundledAsGenerated("--rrg", "sample-pictures.crd");

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
