// The writer: the bytes of the archive form, and saving a collection.
#include "cards/card_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/card_file_for_test.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using test::Bytes;
using test::Parse;

TEST(CardFile, WritesTheDocumentedBytesForOneCard) {
  Bytes expected;
  expected.u32(0xAAAC).u8(0x0B).str("Arial Black").u32(10).u8(0x0F).str("Times New Roman").u32(10);
  expected.u32(0x00F0F0F0).u32(0x00FFFFFF).u32(0).u32(0).u16(1);
  expected.u16(0xFFFF).u16(1).u16(8).str("CardInfo").u32(1).u8(3).str("Ann").u8(5).str("Tel 1").u32(1);
  EXPECT_EQ(CardFileBytes(FormatSettings{}, {CardInfo("Ann", "Tel 1", 1)}), expected.v);

  // A second card follows as 01 80 and its data.
  const auto two = CardFileBytes(FormatSettings{}, {CardInfo("Ann", "Tel 1", 1), CardInfo("Bo", "", 0)});
  Bytes tail;
  tail.u16(0x8001).u32(1).u8(2).str("Bo").u8(0).u32(0);
  ASSERT_GT(two.size(), tail.v.size());
  EXPECT_TRUE(std::equal(tail.v.begin(), tail.v.end(), two.end() - static_cast<long>(tail.v.size())));
}

TEST(CardFile, UsesTheShortestLengthAndCountForms) {
  auto prefixOf = [](std::size_t length) {
    const auto bytes = CardFileBytes(FormatSettings{}, {CardInfo(std::string(length, 'x'), "", 1)});
    // header 56 + count 2 + class 14 + lead 4
    return std::vector<uint8_t>(bytes.begin() + 76, bytes.begin() + 83);
  };
  EXPECT_EQ(prefixOf(254)[0], 254);
  EXPECT_EQ(prefixOf(255), (std::vector<uint8_t>{0xFF, 0xFF, 0x00, 'x', 'x', 'x', 'x'}));
  EXPECT_EQ(prefixOf(65533), (std::vector<uint8_t>{0xFF, 0xFD, 0xFF, 'x', 'x', 'x', 'x'}));
  EXPECT_EQ(prefixOf(65534), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));

  for (std::size_t n : {65534u, 65535u, 70000u}) {
    const std::vector<CardInfo> cards(n, CardInfo("i", "", 1));
    const auto bytes = CardFileBytes(FormatSettings{}, cards);
    Bytes count;
    if (n < 0xFFFF) count.u16(static_cast<uint16_t>(n)); else count.u16(0xFFFF).u32(static_cast<uint32_t>(n));
    ASSERT_TRUE(std::equal(count.v.begin(), count.v.end(), bytes.begin() + 56)) << n;
    EXPECT_EQ(Parse(bytes).size(), n);
  }
}

TEST(CardFile, ArchiveRoundTripKeepsEveryField) {
  FormatSettings f;
  f.indexFace = "Verdana";
  f.indexSize = 14;
  f.bodyFace = std::string(300, 'F');
  f.bodySize = -3;
  f.indexBackground = 0x00112233;
  f.bodyBackground = 0x00445566;
  f.indexText = 0x00778899;
  f.bodyText = 0x00AABBCC;
  std::vector<CardInfo> cards = {CardInfo("Zed", "line 1\r\nline 2", 0),
                                 CardInfo(std::string(70000, 'q'), std::string("a\0b", 3), 7),
                                 CardInfo("", "", -1)};
  CardFileData data;
  ASSERT_TRUE(ParseCardFile(CardFileBytes(f, cards), data).Ok());
  EXPECT_EQ(data.version, kVersionArchive);
  EXPECT_EQ(data.format, f);
  EXPECT_EQ(data.cards, cards);
}

TEST(CardFile, SaveWritesTheFrontCardFirstAndALoadSortsAgain) {
  test::TempDir dir;
  test::RecordingReporter errors;
  Bytes old;
  old.u32(0xAAAA).u32(3);
  for (const char* name : {"cherry", "apple", "banana"}) old.str(name).fill(42 - std::strlen(name) + 512);
  test::WriteBytes(dir.File("old.tsl"), old.v);

  CardCollection cards;
  FormatSettings format;
  ASSERT_TRUE(errors(ReadCardFile(cards, format, dir.File("old.tsl"))));
  cards.BringToFront(1);  // banana in front
  cards.MarkBodyKey();
  ASSERT_TRUE(errors(WriteCardFile(cards, format, dir.File("new.tsl"))));
  EXPECT_FALSE(cards.Modified());

  CardFileData data;
  ASSERT_TRUE(LoadCardFileData(dir.File("new.tsl"), data).Ok());
  EXPECT_EQ(data.version, kVersionArchive);
  ASSERT_EQ(data.cards.size(), 3u);
  EXPECT_EQ(data.cards[0].index, "banana");
  EXPECT_EQ(data.cards[2].index, "apple");
  for (const CardInfo& c : data.cards) EXPECT_EQ(c.tag, 1);

  CardCollection again;
  ASSERT_TRUE(errors(ReadCardFile(again, format, dir.File("new.tsl"))));
  EXPECT_EQ(again.At(0).index, "apple");
  EXPECT_TRUE(errors.messages.empty());
}

}  // namespace
}  // namespace tessel
