// The card file as a whole: which reader a version gets, what a failed load
// leaves, and loading into a collection.
#include "cards/card_file.h"

#include <gtest/gtest.h>


#include "support/card_file_for_test.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using test::ArchiveHeader;
using test::Bytes;
using test::CardData;
using test::FirstCardTag;
using test::Parse;

TEST(CardFile, RefusesWhatIsNotACardList) {
  struct Case {
    const char* name;
    Bytes file;
  };
  std::vector<Case> cases;
  auto card = [](Bytes b) { return CardData(std::move(b), "i", "b", 1); };
  cases.push_back({"other class", card(ArchiveHeader().u16(1).u16(0xFFFF).u16(1).u16(8).str("CardInfX"))});
  cases.push_back({"other schema", card(ArchiveHeader().u16(1).u16(0xFFFF).u16(2).u16(8).str("CardInfo"))});
  cases.push_back({"null object", card(ArchiveHeader().u16(1).u16(0x0000))});
  cases.push_back({"object reference", card(ArchiveHeader().u16(1).u16(0x0002))});
  cases.push_back({"big object reference", card(ArchiveHeader().u16(1).u16(0x7FFF).u32(2))});
  cases.push_back({"class never introduced", card(ArchiveHeader().u16(1).u16(0x8001))});
  cases.push_back({"class number of an object",
                   card(card(FirstCardTag(ArchiveHeader().u16(2))).u16(0x8002))});
  cases.push_back({"long class name", card(ArchiveHeader().u16(1).u16(0xFFFF).u16(1).u16(65).fill(65, 'C'))});
  for (Case& c : cases) {
    ReadResult r;
    EXPECT_TRUE(Parse(c.file.v, &r).empty()) << c.name;
    EXPECT_EQ(r.status, ReadStatus::Damaged) << c.name;
    EXPECT_FALSE(r.detail.empty()) << c.name;
  }

  Bytes other;
  other.u32(0xAAAD).u32(0);
  ReadResult r;
  Parse(other.v, &r);
  EXPECT_EQ(r.status, ReadStatus::Incompatible);
  EXPECT_EQ(ReadErrorMessage(r, "x.tsl"), "File Error - Incompable File");
}

// Every cut of a valid file of each version fails cleanly, never with cards.
TEST(CardFile, EveryTruncationFailsWithoutCards) {
  const auto archive = CardFileBytes(FormatSettings{}, {CardInfo("one", "b", 1), CardInfo("two", "", 0)});
  Bytes fixed;
  fixed.u32(0xAAAB).u32(2).fill(2 * 558, 'x');
  for (const std::vector<uint8_t>* file : std::initializer_list<const std::vector<uint8_t>*>{&archive, &fixed.v}) {
    for (std::size_t cut = 0; cut < file->size(); ++cut) {
      ReadResult r;
      EXPECT_TRUE(Parse(std::vector<uint8_t>(file->begin(), file->begin() + static_cast<long>(cut)), &r).empty());
      ASSERT_FALSE(r.Ok()) << cut;
    }
    EXPECT_EQ(Parse(*file).size(), 2u);
  }
}

TEST(CardFile, ReadAddsSortedCardsAndFailureChangesNothing) {
  test::TempDir dir;
  test::RecordingReporter errors;
  FormatSettings f;
  f.indexFace = "Merged Face";
  test::WriteBytes(dir.File("a.tsl"), CardFileBytes(f, {CardInfo("pear", "", 1), CardInfo("Apple", "", 1)}));
  test::WriteBytes(dir.File("bad.tsl"), std::vector<uint8_t>{0xAC, 0xAA, 0, 0, 3});
  Bytes old;
  old.u32(0xAAAA).u32(1).str("banana").fill(36 + 512);
  test::WriteBytes(dir.File("old.tsl"), old.v);

  CardCollection cards;
  FormatSettings format;
  ASSERT_TRUE(errors(ReadCardFile(cards, format, dir.File("old.tsl"))));
  EXPECT_EQ(format, FormatSettings{});  // old versions leave the settings alone
  cards.MarkBodyKey();
  ASSERT_TRUE(errors(ReadCardFile(cards, format, dir.File("a.tsl"))));  // a merge
  EXPECT_FALSE(cards.Modified());
  EXPECT_EQ(format.indexFace, "Merged Face");
  ASSERT_EQ(cards.Size(), 3u);
  EXPECT_EQ(cards.At(0).index, "Apple");
  EXPECT_EQ(cards.At(1).index, "banana");
  EXPECT_EQ(cards.StackSize(), 3u);

  cards.MarkBodyKey();
  const auto before = cards.Cards();
  EXPECT_FALSE(errors(ReadCardFile(cards, format, dir.File("bad.tsl"))));
  EXPECT_FALSE(errors(ReadCardFile(cards, format, dir.File("missing.tsl"))));
  EXPECT_FALSE(errors(ReadCardFile(cards, format, dir.Path().string())));
  EXPECT_EQ(cards.Cards(), before);
  EXPECT_EQ(cards.StackSize(), before.size());
  EXPECT_TRUE(cards.Modified());
  EXPECT_EQ(format.indexFace, "Merged Face");
  ASSERT_EQ(errors.messages.size(), 3u);
  EXPECT_NE(errors.messages[0].find("is damaged or incomplete"), std::string::npos);
  EXPECT_EQ(errors.messages[1], "There was an error opening file \"" + dir.File("missing.tsl") + "\"");
}

}  // namespace
}  // namespace tessel
