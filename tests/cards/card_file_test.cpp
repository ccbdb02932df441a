#include "cards/card_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "support/test_support.h"

namespace tessel {
namespace {

using namespace std::string_literals;
using test::ArchiveHeader;
using test::Bytes;

std::vector<CardInfo> Parse(const std::vector<uint8_t>& bytes, ReadResult* result = nullptr) {
  CardFileData data;
  const ReadResult r = ParseCardFile(bytes, data);
  if (result) *result = r;
  EXPECT_TRUE(r.Ok() || data.cards.empty());
  return data.cards;
}

Bytes FirstCardTag(Bytes b) { return b.u16(0xFFFF).u16(1).u16(8).str("CardInfo"); }
Bytes CardData(Bytes b, const std::string& index, const std::string& body, uint32_t tag) {
  return b.u32(1).text(index).text(body).u32(tag);
}

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

TEST(CardFile, ReadsFixedRecordVersions) {
  auto record = [](const std::string& index, const std::string& body) {
    Bytes r;
    r.str(index).fill(42 - index.size()).str(body).fill(512 - body.size());
    return r.v;
  };
  Bytes a;
  a.u32(0xAAAA).u32(2);
  for (auto& r : {record(std::string(42, 'K'), "body\0junk"s), record("x\0hidden"s, std::string(512, 'B'))}) {
    a.v.insert(a.v.end(), r.begin(), r.end());
  }
  a.fill(7, 0xEE);  // trailing bytes are not the reader's business
  CardFileData data;
  ASSERT_TRUE(ParseCardFile(a.v, data).Ok());
  EXPECT_FALSE(data.format.has_value());
  ASSERT_EQ(data.cards.size(), 2u);
  EXPECT_EQ(data.cards[0].index, std::string(42, 'K'));
  EXPECT_EQ(data.cards[0].body, "body");
  EXPECT_EQ(data.cards[0].tag, 1);  // version 0xAAAA: always tagged
  EXPECT_EQ(data.cards[1].index, "x");
  EXPECT_EQ(data.cards[1].body, std::string(512, 'B'));

  Bytes t;
  t.u32(0xAAAB).u32(2);
  for (uint32_t tag : {0u, 1u}) {
    auto r = record("card", "");
    t.v.insert(t.v.end(), r.begin(), r.end());
    t.u32(tag);
  }
  const auto cards = Parse(t.v);
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0].tag, 0);
  EXPECT_EQ(cards[1].tag, 1);

  for (uint32_t count : {0u, 0x80000000u, 0xFFFFFFFFu}) {  // zero and negative counts
    Bytes e;
    e.u32(0xAAAB).u32(count);
    ReadResult r;
    EXPECT_TRUE(Parse(e.v, &r).empty());
    EXPECT_TRUE(r.Ok()) << count;
  }
}

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
  cards.SetModified(true);
  ASSERT_TRUE(errors(ReadCardFile(cards, format, dir.File("a.tsl"))));  // a merge
  EXPECT_FALSE(cards.Modified());
  EXPECT_EQ(format.indexFace, "Merged Face");
  ASSERT_EQ(cards.Size(), 3u);
  EXPECT_EQ(cards.At(0).index, "Apple");
  EXPECT_EQ(cards.At(1).index, "banana");
  EXPECT_EQ(cards.StackSize(), 3u);

  cards.SetModified(true);
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
  cards.SetModified(true);
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
