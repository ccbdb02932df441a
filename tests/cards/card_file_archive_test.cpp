// The reader of the archive form, and the text filler of its large loads.
#include "cards/card_file.h"

#include <gtest/gtest.h>

#include <random>

#include "support/card_file_for_test.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using test::ArchiveHeader;
using test::Bytes;
using test::FirstCardTag;
using test::Parse;

TEST(CardFile, ReadsEveryStringAndClassReferenceForm) {
  Bytes b = ArchiveHeader();
  b.u16(4);
  // 1: a new class, wide index text "Ærø€中" and a 16-bit-length body
  b = FirstCardTag(b);
  b.u32(1).u8(0xFF).u16(0xFFFE).u8(5).u16(0xC6).u16(0x72).u16(0xF8).u16(0x20AC).u16(0x4E2D);
  b.u8(0xFF).u16(3).str("abc").u32(1);
  // 2: short class reference, 32-bit length form
  b.u16(0x8001).u32(1).u8(0xFF).u16(0xFFFF).u32(2).str("hi").text("").u32(0);
  // 3: big class reference
  b.u16(0x7FFF).u32(0x80000001).u32(1).text("big").text("").u32(1);
  // 4: a wide string with the 16-bit count form after the marker
  b.u16(0x8001).u32(1).u8(0xFF).u16(0xFFFE).u8(0xFF).u16(1).u16('w').text("").u32(1);
  const auto cards = Parse(b.v);
  ASSERT_EQ(cards.size(), 4u);
  EXPECT_EQ(cards[0].index, "\xC6r\xF8\x80?");
  EXPECT_EQ(cards[0].body, "abc");
  EXPECT_EQ(cards[1].index, "hi");
  EXPECT_EQ(cards[1].tag, 0);
  EXPECT_EQ(cards[2].index, "big");
  EXPECT_EQ(cards[3].index, "w");
}

TEST(CardFile, HostileCountsAndLengthsFailAtOnce) {
  Bytes fixed;
  fixed.u32(0xAAAA).u32(0x7FFFFFFF).fill(92);
  Bytes count = ArchiveHeader();
  count.u16(0xFFFF).u32(0xFFFFFFFF).fill(20);
  Bytes text = FirstCardTag(ArchiveHeader().u16(1)).u32(1).u8(0xFF).u16(0xFFFF).u32(0xFFFFFFFF);
  Bytes wide = FirstCardTag(ArchiveHeader().u16(1)).u32(1).u8(0xFF).u16(0xFFFE).u8(0xFF).u16(0xFFFF).u32(0x80000000);
  Bytes face;
  face.u32(0xAAAC).u8(0xFF).u16(0xFFFF).u32(0xFFFFFFF0).fill(50);
  for (const Bytes* b : {&fixed, &count, &text, &wide, &face}) {
    ReadResult r;
    EXPECT_TRUE(Parse(b->v, &r).empty());
    EXPECT_EQ(r.status, ReadStatus::Damaged);
  }
}

// Large files hand their texts to a second thread, straight from the blocks
// the file is read into; what they load must not depend on that: texts that
// cross from one block into the next, texts larger than a block, wide texts
// among narrow ones, empty ones, bytes after the last card. Nor may a
// damaged large file leave anything behind.
TEST(CardFile, LargeFilesLoadTheSameWithTextsReadAside) {
  std::mt19937 rng(11);
  std::vector<CardInfo> cards;
  for (int i = 0; i < 30000; ++i) {
    std::string body(rng() % 700, 'a');
    for (char& c : body) c = static_cast<char>('a' + rng() % 26);
    cards.emplace_back("card " + std::to_string(i), std::move(body), static_cast<int32_t>(i % 3));
  }
  cards[12345].body = std::string(3 << 20, 'L');  // larger than a block
  cards[20000].body = std::string(70000, 'M');
  cards[20001].index.clear();
  const auto bytes = CardFileBytes(FormatSettings{}, cards);
  // The same cards with two wide index texts, which are converted as they
  // are read.
  const auto narrow = [](Bytes& b, const std::string& s) {
    if (s.size() < 0xFF) {
      b.u8(static_cast<uint8_t>(s.size()));
    } else if (s.size() < 0xFFFE) {
      b.u8(0xFF).u16(static_cast<uint16_t>(s.size()));
    } else {
      b.u8(0xFF).u16(0xFFFF).u32(static_cast<uint32_t>(s.size()));
    }
    b.str(s);
  };
  Bytes withWide = FirstCardTag(ArchiveHeader().u16(30000));
  for (std::size_t i = 0; i < cards.size(); ++i) {
    if (i > 0) withWide.u16(0x8001);
    withWide.u32(1);
    if (i == 777 || i == 25000) {
      withWide.u8(0xFF).u16(0xFFFE).u8(static_cast<uint8_t>(cards[i].index.size()));
      for (char c : cards[i].index) withWide.u16(static_cast<uint8_t>(c));
    } else {
      narrow(withWide, cards[i].index);
    }
    narrow(withWide, cards[i].body);
    withWide.u32(static_cast<uint32_t>(cards[i].tag));
  }
  Bytes trailing;
  trailing.v = bytes;
  trailing.fill(10);

  test::TempDir dir;
  const auto load = [&dir](const std::vector<uint8_t>& file, ReadResult* result = nullptr) {
    test::WriteBytes(dir.File("large.tsl"), file);
    CardFileData data;
    const ReadResult r = LoadCardFileData(dir.File("large.tsl"), data);
    if (result) *result = r;
    EXPECT_TRUE(r.Ok() || data.cards.empty());
    return data.cards;
  };
  // (Compared whole: a difference among 30,000 cards is not worth printing.)
  EXPECT_TRUE(Parse(bytes) == cards);
  EXPECT_TRUE(load(bytes) == cards);
  EXPECT_TRUE(load(withWide.v) == cards) << "wide texts";
  EXPECT_TRUE(load(trailing.v) == cards) << "bytes after the last card";

  for (std::size_t cut : {bytes.size() - 1, bytes.size() - 5, bytes.size() / 2, bytes.size() / 3}) {
    const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
    ReadResult r;
    EXPECT_TRUE(Parse(part, &r).empty());
    EXPECT_EQ(r.status, ReadStatus::Damaged) << cut;
    EXPECT_TRUE(load(part, &r).empty());
    EXPECT_EQ(r.status, ReadStatus::Damaged) << cut;
  }
}

}  // namespace
}  // namespace tessel
