#include "cards/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tessel {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(Codepage, ComparisonIgnoresCaseOfAsciiAndAccentedLetters) {
  EXPECT_EQ(MbsICmp("apple", "Apple"), 0);
  EXPECT_LT(MbsICmp("a", "b"), 0);
  EXPECT_LT(MbsICmp("b", "C"), 0);
  EXPECT_GT(MbsICmp("C", "b"), 0);
  EXPECT_LT(MbsICmp("ab", "abc"), 0);
  // É (0xC9) and é (0xE9); Š (0x8A) and š (0x9A); Ÿ (0x9F) and ÿ (0xFF)
  EXPECT_EQ(MbsICmp("\xC9t\xE9", "\xE9T\xC9"), 0);
  EXPECT_EQ(MbsICmp("\x8A", "\x9A"), 0);
  EXPECT_EQ(MbsICmp("\x9F", "\xFF"), 0);
  // × (0xD7) and ÷ (0xF7) are not a case pair.
  EXPECT_NE(MbsICmp("\xD7", "\xF7"), 0);
  // Letters fold to lower case, so '_' sorts before 'a' and after 'Z'.
  EXPECT_LT(MbsICmp("_", "a"), 0);
  EXPECT_LT(MbsICmp("_", "A"), 0);
  // Bytes compare unsigned: accented letters after ASCII.
  EXPECT_LT(MbsICmp("z", "\xE9"), 0);
}

TEST(Codepage, TextsEndAtTheFirstNul) {
  using namespace std::string_literals;
  EXPECT_EQ(MbsICmp("ab\0zz"s, "AB"), 0);
  EXPECT_EQ(MbsICmp("ab\0zz"s, "ab\0aa"s), 0);
  EXPECT_LT(MbsICmp("\0b"s, "a"), 0);
  EXPECT_EQ(MbsStr("abc\0def"s, "def"), std::string::npos);
  EXPECT_EQ(MbsStr("abcdef", "cd\0x"s), 2u);
}

TEST(Codepage, UpperCaseAndSubstring) {
  EXPECT_EQ(MbsUpr("Gr\xFC\xDF" "e \xE9t\xE9 \x9A\xFF"), "GR\xDC\xDF" "E \xC9T\xC9 \x8A\x9F");
  EXPECT_EQ(MbsStr("Beta", "et"), 1u);
  EXPECT_EQ(MbsStr("Beta", "ET"), std::string::npos);
  EXPECT_EQ(MbsStr("Beta", ""), 0u);
  EXPECT_EQ(MbsStr("", "a"), std::string::npos);
}

// The sort relies on the prefix ordering exactly as the full comparison does.
TEST(Codepage, FoldedPrefixAgreesWithComparison) {
  std::mt19937 rng(7);
  const std::string alphabet = std::string("aAbB_zZ\xE9\xC9\x8A\x9A", 11) + std::string(1, '\0');
  auto random = [&] {
    std::string s(rng() % 12, ' ');
    for (char& c : s) c = alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string a = random(), b = random();
    const uint64_t pa = FoldedPrefix(a), pb = FoldedPrefix(b);
    if (pa != pb) {
      ASSERT_EQ(pa < pb, MbsICmp(a, b) < 0) << i;
    }
    ASSERT_EQ(Sign(MbsICmp(a, b)), -Sign(MbsICmp(b, a)));
  }
}

TEST(Codepage, EveryByteSurvivesUtf8RoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  EXPECT_EQ(Cp1252ToUtf8("\x80\xE9"), "\u20AC\u00E9");
}

TEST(Codepage, MissingAndMalformedCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("\u4E2D x \U0001F600"), "? x ?");
  EXPECT_EQ(Utf8ToCp1252("a\xC3" "b\xFF" "c\xE2\x82"), "a?b?c?");
  const char16_t units[] = {u'A', 0x20AC, 0x4E2D, 0xD83D, 0xDE00, 0xDC00, u'z', 0xD800};
  EXPECT_EQ(Utf16ToCp1252(units, std::size(units)), "A\x80???z?");
}

}  // namespace
}  // namespace tessel
