#include "stack/search.h"

#include <gtest/gtest.h>

#include "support/cards_for_test.h"

namespace tessel {
namespace {

using namespace std::string_literals;

TEST(Search, GoToLooksAfterTheFrontCardIgnoringCase) {
  const CardCollection c = Cards({{"alpha", ""}, {"Beta", ""}, {"gamma", ""}});
  EXPECT_EQ(FindIndexMatch(c, "ET"), 1u);
  EXPECT_EQ(FindIndexMatch(c, "alp"), std::nullopt);  // the front card is never a candidate
  EXPECT_EQ(FindIndexMatch(c, "MM"), 2u);
  EXPECT_EQ(FindIndexMatch(Cards({{"only", ""}}), "only"), std::nullopt);
  // Accented letters fold too; text after a NUL is not part of the index.
  const CardCollection accents = Cards({{"x", ""}, {"Caf\xE9", ""}, {"ab\0cd"s, ""}});
  EXPECT_EQ(FindIndexMatch(accents, "CAF\xC9"), 1u);
  EXPECT_EQ(FindIndexMatch(accents, "cd"), std::nullopt);
}

TEST(Search, BodyCandidatesComeInRingOrderWithinTheRange) {
  const CardCollection c =
      Cards({{"a", "word here"}, {"b", "nothing"}, {"c", "a WORD"}, {"d", "Words"}});
  EXPECT_EQ(FindBodyCandidate(c, "word", 1, 4), 2u);
  EXPECT_EQ(FindBodyCandidate(c, "word", 3, 4), 3u);
  EXPECT_EQ(FindBodyCandidate(c, "absent", 1, 4), std::nullopt);
  EXPECT_EQ(FindBodyCandidate(c, "word", 1, 99), 2u);
}

TEST(Search, ExactSearchHonoursCaseWholeWordsAndStart) {
  const std::string body = "Word, a word; swordfish WORD";
  EXPECT_EQ(FindInText(body, "word", 0, {}), 0u);
  EXPECT_EQ(FindInText(body, "word", 1, {}), 8u);
  EXPECT_EQ(FindInText(body, "word", 0, {.matchCase = true}), 8u);
  EXPECT_EQ(FindInText(body, "WORD", 0, {.matchCase = true}), 24u);
  EXPECT_EQ(FindInText(body, "word", 9, {.wholeWord = true}), 24u);  // not inside "swordfish"
  EXPECT_EQ(FindInText(body, "word", 9, {.matchCase = true, .wholeWord = true}), std::nullopt);
  EXPECT_EQ(FindInText(body, "word", 25, {}), std::nullopt);
  EXPECT_EQ(FindInText(body, "", 0, {}), std::nullopt);
  EXPECT_EQ(FindInText("caf\xE9s caf\xC9", "CAF\xC9", 1, {.wholeWord = true}), 6u);
}

}  // namespace
}  // namespace tessel
