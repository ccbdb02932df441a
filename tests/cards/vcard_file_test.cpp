// The vCard reader against files of versions 2.1, 3.0 and 4.0 as address
// books write them, and against damaged and hostile ones.
#include "cards/vcard_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tessel {
namespace {

using namespace std::string_literals;

struct Parsed {
  VcardReadResult result;
  std::vector<CardInfo> cards;
};

Parsed Parse(std::string_view text) {
  Parsed p;
  p.result = ParseVcards(text, p.cards);
  return p;
}

// A file of tests/data, which must read without damage.
Parsed LoadWhole(const std::string& name) {
  Parsed p;
  p.result = LoadVcardFile(std::string(TESSEL_SOURCE_DIR) + "/tests/data/" + name, p.cards);
  EXPECT_EQ(p.result.status, VcardStatus::Ok) << p.result.detail;
  return p;
}

std::string Card(std::string_view lines) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + std::string(lines) + "END:VCARD\r\n";
}

TEST(VcardFile, ReadsVersion21WithQuotedPrintableAndItsCharacterSets) {
  const Parsed p = LoadWhole("vcard21_quoted_printable.vcf");
  EXPECT_EQ(p.cards, (std::vector<CardInfo>{
                         CardInfo("M\xFCller, J\xFCrgen",
                                  "Met at the fair.\r\nPrefers calls in the morning.\r\n"
                                  "J\xFCrgen M\xFCller\r\nAcme GmbH, Vertrieb\r\n"
                                  "Hauptstra\xDF" "e 5, Berlin, 10115, Deutschland\r\n"
                                  "+49 30 1234567\r\n0170 9876543\r\njuergen@example.de",
                                  1),
                         CardInfo("Doe, Jane", "Caf\xE9 \x80 5\r\n555-0100", 1)}));
  EXPECT_EQ(p.result.photos, 1u);
  EXPECT_EQ(p.result.keys, 1u);
  EXPECT_EQ(p.result.others, 1u);
  EXPECT_EQ(VcardMessage(p.result, "book.vcf"),
            "2 cards were imported from \"book.vcf\". Skipped (cards hold text only): 1 photo, "
            "1 key, 1 other entry.");
}

TEST(VcardFile, ReadsVersion40WithQuotedParametersAndTelAddresses) {
  const Parsed p = LoadWhole("vcard40.vcf");
  ASSERT_EQ(p.cards.size(), 2u);
  EXPECT_EQ(p.cards[0], CardInfo("Lima, Ana",
                                 "Speaker, 2024.\r\nVegetarian.\r\nDr. Ana Lima\r\n"
                                 "Instituto Exemplo\r\nRua A, 10, S\xE3o Paulo, SP, 01000-000, "
                                 "Brasil\r\n+55-11-5555-0123\r\nana.lima@example.org\r\n"
                                 "https://example.org/~ana",
                                 1));
  // No name in N: the index is FN, which the body then does not repeat.
  EXPECT_EQ(p.cards[1], CardInfo("Studio Nord", "Opening hours 9-17", 1));
  EXPECT_EQ(p.result.photos, 1u);
  EXPECT_EQ(p.result.others, 3u);  // UID, BDAY and a foreign card's CATEGORIES
}

TEST(VcardFile, BodyAddsOnlyWhatTheNoteLacksAndWithoutNoteTheValues) {
  const Parsed p = Parse(Card("N:Roe;Ray;;;\r\nFN:Ray Roe\r\nTEL:555 0101\r\nEMAIL:r@x.org\r\n"
                              "NOTE:call 555 0101\r\n") +
                         Card("N:Poe;;;;\r\nTEL:555 0102\r\nEMAIL:p@x.org\r\n"));
  ASSERT_EQ(p.cards.size(), 2u);
  EXPECT_EQ(p.cards[0].body, "call 555 0101\r\nRay Roe\r\nr@x.org");
  EXPECT_EQ(p.cards[1], CardInfo("Poe", "555 0102\r\np@x.org", 1));
}

TEST(VcardFile, OnlyACardTesselWroteWithoutTheTaggedCategoryComesBackUntagged) {
  const std::string tessel = "PRODID:-//Tessel//Tessel 0.1.0//EN\r\nFN:a\r\n";
  const Parsed p = Parse(Card(tessel) + Card(tessel + "CATEGORIES:Work,Tagged\r\n") +
                         Card("PRODID:-//Other//EN\r\nFN:c\r\n"));
  ASSERT_EQ(p.cards.size(), 3u);
  EXPECT_EQ(p.cards[0].tag, 0);
  EXPECT_EQ(p.cards[1].tag, 1);
  EXPECT_EQ(p.cards[2].tag, 1);
  EXPECT_EQ(p.result.others, 0u);
}

TEST(VcardFile, UnfoldsAsEachVersionFolds) {
  // 3.0 and 4.0 drop the blank that starts a continuation; 2.1 folded
  // where a blank stood, and keeps it. Bare LF and CR end lines too.
  const Parsed p = Parse("BEGIN:VCARD\nVERSION:3.0\nFN:Long\n  name\nEND:VCARD\r"
                         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Long\r\n name\r\nEND:VCARD\r\n");
  ASSERT_EQ(p.cards.size(), 2u);
  EXPECT_EQ(p.cards[0].index, "Long name");
  EXPECT_EQ(p.cards[1].index, "Long name");
}

TEST(VcardFile, ADamagedFileGivesTheWholeCardsWithAWarning) {
  const Parsed p = Parse(Card("FN:Whole\r\n") + "BEGIN:VCARD\r\nFN:Cut short\r\nNOTE:and ");
  EXPECT_EQ(p.result.status, VcardStatus::Partial);
  ASSERT_EQ(p.cards.size(), 1u);
  EXPECT_EQ(p.cards[0].index, "Whole");
  EXPECT_EQ(VcardMessage(p.result, "f.vcf"),
            "1 card was imported from \"f.vcf\". The file is damaged: 1 vCard that is not whole "
            "was left out.");

  const Parsed lines = Parse(Card("FN:Kept\r\nno colon here\r\n") + "stray text\r\n");
  EXPECT_EQ(lines.result.status, VcardStatus::Partial);
  EXPECT_EQ(lines.result.badLines, 2u);
  EXPECT_EQ(lines.cards.size(), 1u);
}

TEST(VcardFile, AFileWithNoWholeCardImportsNothingAndSaysWhy) {
  struct Case {
    std::string bytes;
    std::string says;
  };
  const Case cases[] = {
      {"", "it holds no vCard"},
      {"Name,Phone\r\nAnn,555\r\n", "it holds no vCard"},
      {"BEGIN:VCARD\r\nFN:never ends\r\n", "it is damaged: none of its 1 vCard is whole"},
      {"\xFF\xFE" "B\0E\0"s, "it is in UTF-16"},
      {Card("FN;CHARSET=SHIFT_JIS:x\r\n"), "the character set \"SHIFT_JIS\", which Tessel does not read"},
      {Card("NOTE:" + std::string(kVcardMaxCardText + 1, 'x') + "\r\n"), "none of its 1 vCard is whole"},
  };
  for (const Case& c : cases) {
    const Parsed p = Parse(c.bytes);
    EXPECT_EQ(p.result.status, VcardStatus::Refused) << c.says;
    EXPECT_TRUE(p.cards.empty());
    const std::string message = VcardMessage(p.result, "f.vcf");
    EXPECT_TRUE(message.starts_with("Tessel cannot import \"f.vcf\": ")) << message;
    EXPECT_NE(message.find(c.says), std::string::npos) << message;
  }
}

TEST(VcardFile, ACardInAnUnreadCharacterSetIsLeftOutByName) {
  const Parsed p = Parse(Card("FN;CHARSET=KOI8-R:x\r\n") + Card("FN:y\r\n"));
  EXPECT_EQ(p.result.status, VcardStatus::Partial);
  ASSERT_EQ(p.cards.size(), 1u);
  EXPECT_NE(VcardMessage(p.result, "f.vcf").find("1 vCard in the character set \"KOI8-R\" was left out"),
            std::string::npos);
}

TEST(VcardFile, LongSkippedEntriesAndEmbeddedCardsCostNothing) {
  // A photo longer than any card may be, and a 2.1 AGENT holding a vCard.
  const std::string photo = "PHOTO;ENCODING=b:" + std::string(kVcardMaxCardText * 2, 'A') + "\r\n";
  const Parsed p = Parse(Card("FN:Boss\r\n" + photo +
                              "AGENT:\r\nBEGIN:VCARD\r\nFN:Assistant\r\nEND:VCARD\r\nNOTE:n\r\n"));
  ASSERT_EQ(p.result.status, VcardStatus::Ok);
  ASSERT_EQ(p.cards.size(), 1u);
  EXPECT_EQ(p.cards[0], CardInfo("Boss", "n", 1));
  EXPECT_EQ(p.result.photos, 1u);
  EXPECT_EQ(p.result.others, 2u);  // the AGENT line and the card it holds
}

TEST(VcardFile, AMissingFileSaysItCouldNotBeOpened) {
  test::TempDir dir;
  std::vector<CardInfo> cards;
  const VcardReadResult r = LoadVcardFile(dir.File("none.vcf"), cards);
  EXPECT_EQ(VcardMessage(r, "none.vcf"),
            "Tessel cannot import \"none.vcf\": it could not be opened: No such file or directory.");
}

}  // namespace
}  // namespace tessel
