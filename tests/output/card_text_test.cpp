#include "output/card_text.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

using Pieces = std::vector<std::string>;

TEST(SplitBodyLines, CarriageReturnOrCrLfEndsAPiece) {
  EXPECT_EQ(SplitBodyLines("abc"), (Pieces{"abc"}));
  EXPECT_EQ(SplitBodyLines(""), (Pieces{""}));
  // A body ending in CR LF leaves an empty last piece.
  EXPECT_EQ(SplitBodyLines("one\r\ntwo\r\n"), (Pieces{"one\n", "two\n", ""}));
  // A lone CR ends the line and keeps what follows it.
  EXPECT_EQ(SplitBodyLines("one\rtwo"), (Pieces{"one\n", "two"}));
  EXPECT_EQ(SplitBodyLines("a\r\r\nb"), (Pieces{"a\n", "\n", "b"}));
  EXPECT_EQ(SplitBodyLines("a\r"), (Pieces{"a\n", ""}));
}

TEST(SplitBodyLines, BreaksAfterTheFirstBlankFromTheSixtiethCharacterOn) {
  // 70 characters whose only blank is the 65th.
  const std::string line = std::string(64, 'x') + " " + std::string(5, 'y');
  EXPECT_EQ(SplitBodyLines(line), (Pieces{std::string(64, 'x') + " \n", "yyyyy"}));
  // A blank as the 59th character does not break; the next one does.
  const std::string early = std::string(58, 'a') + " b c";
  EXPECT_EQ(SplitBodyLines(early), (Pieces{std::string(58, 'a') + " b \n", "c"}));
  // The count restarts with each piece.
  const std::string two = std::string(59, 'a') + " " + std::string(59, 'b') + " z";
  EXPECT_EQ(SplitBodyLines(two),
            (Pieces{std::string(59, 'a') + " \n", std::string(59, 'b') + " \n", "z"}));
}

TEST(SplitBodyLines, ARunWithoutBlanksIsNeverCutWhateverItsLength) {
  const std::string run(5000, 'q');
  EXPECT_EQ(SplitBodyLines(run), (Pieces{run}));
}

TEST(SplitBodyLines, TheBodyEndsAtItsFirstNul) {
  EXPECT_EQ(SplitBodyLines(std::string("ab\0cd", 5)), (Pieces{"ab"}));
}

TEST(CardsText, LaysOutEachCardWithItsSeparator) {
  const std::vector<CardInfo> cards = {{"X", "abc", 1}, {"Off", "hidden", 0}, {"Y", "l1\r\n", 1}};
  const std::string dashes(60, '-');
  EXPECT_EQ(CardsText(cards, true),
            "X\nabc\n" + dashes + "\n\nY\nl1\n\n" + dashes + "\n\n");
  EXPECT_EQ(CardsText({}, true), "");
  EXPECT_NE(CardsText(cards, false).find("Off\nhidden\n"), std::string::npos);
}

TEST(CardsText, IndexListAndTextFileBytes) {
  const std::vector<CardInfo> cards = {{"Ann", "", 1}, {"Caf\xE9", "", 0}};
  EXPECT_EQ(IndexListText(cards), "Ann\nCaf\xE9\n");
  EXPECT_EQ(ToTextFile(IndexListText(cards)), "Ann\r\nCaf\xC3\xA9\r\n");
}

}  // namespace
}  // namespace tessel
