// The bundled sample file must be exactly what the generator writes, so the
// two never drift apart.
#include <cstdlib>

#include "cards/card_file.h"
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

}  // namespace
}  // namespace tessel
