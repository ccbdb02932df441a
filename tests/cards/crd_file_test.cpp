// The Cardfile reader against hand-made files: the layout it documents, the
// classic program's layouts (with pictures and OLE objects), and damaged and
// hostile files.
#include "cards/crd_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "rrg_writer.h"
#include "support/crd_for_test.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using namespace std::string_literals;
using test::Bytes;
using test::CrdCard;
using test::CrdFile;

struct Parsed {
  CrdReadResult result;
  std::vector<CardInfo> cards;
};

Parsed Parse(const Bytes& b) {
  Parsed p;
  p.result = ParseCrdFile(b.v, p.cards);
  if (!p.result.Imports()) {
    EXPECT_TRUE(p.cards.empty());
  }
  return p;
}

std::vector<std::string> Bodies(const Parsed& p) {
  std::vector<std::string> out;
  for (const CardInfo& c : p.cards) out.push_back(c.body);
  return out;
}

TEST(CrdFile, ReadsEveryCardTaggedWithItsBytesAsTheyAre) {
  const Parsed p = Parse(CrdFile({{"zebra", "Line 1\r\nLine 2\n\xE9t\xE9"},
                                  {"\xC9" "cole", ""},
                                  {"apple", "x"}}));
  EXPECT_EQ(p.result.status, CrdStatus::Ok);
  EXPECT_EQ(p.result.announced, 3);
  EXPECT_EQ(p.result.whole, 3u);
  EXPECT_EQ(CrdMessage(p.result, "a.crd"), "");
  // File order: sorting is the import's business.
  ASSERT_EQ(p.cards.size(), 3u);
  EXPECT_EQ(p.cards[0], CardInfo("zebra", "Line 1\r\nLine 2\n\xE9t\xE9", 1));
  EXPECT_EQ(p.cards[1], CardInfo("\xC9" "cole", "", 1));
  EXPECT_EQ(p.cards[2], CardInfo("apple", "x", 1));
}

TEST(CrdFile, ReadsTheClassicProgramsLayoutWhole) {
  // A 16-bit count and texts without a closing zero byte: the next card's
  // picture size ends each text, the end of the file ends the last one.
  const std::vector<CrdCard> cards = {{"Smith, Ann", "Ann Smith\r\n12 High St\r\nTel 555 0101"},
                                      {"Bank", "Acct 4471"},
                                      {std::string(40, 'L'), std::string(440, 't')}};
  const Parsed p = Parse(test::ClassicCrdFile(cards));
  EXPECT_EQ(p.result.status, CrdStatus::Ok) << CrdMessage(p.result, "c.crd");
  EXPECT_EQ(p.result.announced, 3);
  ASSERT_EQ(p.cards.size(), 3u);
  for (std::size_t i = 0; i < cards.size(); ++i) {
    EXPECT_EQ(p.cards[i], CardInfo(cards[i].index, cards[i].text, 1)) << i;
  }
}

TEST(CrdFile, IndexTextEndsAtItsZeroByteOrFillsTheField) {
  Bytes b = CrdFile({{std::string(43, 'K'), "a"}, {"ab\0cd"s, "b"}});
  const Parsed p = Parse(b);
  EXPECT_EQ(p.cards[0].index, std::string(43, 'K'));
  EXPECT_EQ(p.cards[1].index, "ab");
}

TEST(CrdFile, TextIsReadThroughAWindowOf1024BytesAndEndsAtAZero) {
  const std::string big(2000, 'b');
  const Parsed p = Parse(CrdFile({{"long", big},
                                  {"exact", std::string(1024, 'e')},
                                  {"zero", "before\0after"s},
                                  {"crlf", "a\r\nb\r\n"}}));
  EXPECT_EQ(p.result.status, CrdStatus::Ok);
  EXPECT_EQ(Bodies(p), (std::vector<std::string>{std::string(1024, 'b'), std::string(1024, 'e'),
                                                  "before", "a\r\nb\r\n"}));
}

TEST(CrdFile, NoCardsForAZeroOrNegativeCount) {
  for (int32_t count : {0, -1, INT32_MIN}) {
    Bytes b = CrdFile({{"a", "b"}}, count);
    const Parsed p = Parse(b);
    EXPECT_EQ(p.result.status, CrdStatus::Ok) << count;
    EXPECT_TRUE(p.cards.empty());
  }
  Bytes seven;
  seven.str("MGC").u32(0);
  EXPECT_EQ(Parse(seven).result.status, CrdStatus::Ok);
}

TEST(CrdFile, AnythingButTheExactSignatureIsNotCompatible) {
  for (const std::string& start : {"MGD"s, "mgc"s, "rrg"s, "MG"s, ""s, "\0MGC"s}) {
    Bytes b;
    b.str(start).u32(1).fill(60);
    const Parsed p = Parse(b);
    EXPECT_EQ(p.result.status, CrdStatus::Incompatible) << start;
    EXPECT_EQ(CrdMessage(p.result, "x.crd"), "File not compatible");
  }
}

TEST(CrdFile, TooShortForItsCountOrOneEntryIsDamagedAndGivesNothing) {
  Bytes cut;
  cut.str("MGC").u16(1);
  Bytes noEntry;
  noEntry.str("MGC").u32(1).fill(51);
  for (const Bytes& b : {cut, noEntry}) {
    const Parsed p = Parse(b);
    EXPECT_EQ(p.result.status, CrdStatus::Damaged);
    const std::string message = CrdMessage(p.result, "/d/old.crd");
    EXPECT_NE(message.find("\"/d/old.crd\" is damaged"), std::string::npos) << message;
    EXPECT_NE(message.find("Nothing was imported"), std::string::npos) << message;
  }
}

TEST(CrdFile, AHugeCountInASmallFileCostsNothing) {
  Bytes b = CrdFile({{"only", "one"}}, INT32_MAX);
  const Parsed p = Parse(b);
  EXPECT_EQ(p.result.status, CrdStatus::Partial);
  EXPECT_EQ(p.result.announced, INT32_MAX);
  EXPECT_LE(p.cards.capacity(), 2u);
  ASSERT_EQ(p.cards.size(), 1u);
  EXPECT_EQ(p.cards[0].index, "only");
  EXPECT_EQ(CrdMessage(p.result, "h.crd"),
            "\"h.crd\" is damaged or incomplete (it ends after 1 of its index entries): only 1 of "
            "the 2147483647 cards it announces were imported whole.");
}

TEST(CrdFile, AFileCutInsideTheEntriesGivesTheCompleteOnesAndSaysHowMany) {
  Bytes b = CrdFile({{"a", "A"}, {"b", "B"}, {"c", "C"}});
  b.v.resize(7 + 52 * 2 + 30);  // the third entry is cut, so are all texts
  const Parsed p = Parse(b);
  EXPECT_EQ(p.result.status, CrdStatus::Partial);
  ASSERT_EQ(p.cards.size(), 2u);
  EXPECT_EQ(p.cards[1], CardInfo("b", "", 1));
  EXPECT_EQ(p.result.whole, 0u);
  EXPECT_EQ(CrdMessage(p.result, "t.crd"),
            "\"t.crd\" is damaged or incomplete (it ends after 2 of its index entries): only 0 of "
            "the 3 cards it announces were imported whole; 2 more were imported with their texts "
            "missing or cut short.");
}

TEST(CrdFile, TextsOutsideTheFileOrCutOffGiveEmptyOrShorterBodies) {
  Bytes b = CrdFile({{"in", "fine"}, {"out", "x"}, {"edge", "y"}, {"cut", "0123456789"}});
  const std::size_t entries = 7;
  auto setPosition = [&](std::size_t k, uint32_t pos) {
    for (int i = 0; i < 4; ++i) b.v[entries + 52 * k + 4 + i] = static_cast<uint8_t>(pos >> (8 * i));
  };
  setPosition(1, 0xFFFFFFF0u);                            // far outside
  b.v.resize(b.v.size() - 5);                             // "cut" loses 5 of its 10 bytes
  setPosition(2, static_cast<uint32_t>(b.v.size() - 2));  // only 2 of its 4 length bytes are in
  const Parsed p = Parse(b);
  EXPECT_EQ(p.result.status, CrdStatus::Partial);
  EXPECT_EQ(Bodies(p), (std::vector<std::string>{"fine", "", "", "01234"}));
  EXPECT_EQ(p.result.whole, 1u);
  EXPECT_NE(CrdMessage(p.result, "o.crd").find("only 1 of the 4 cards"), std::string::npos);
  EXPECT_NE(CrdMessage(p.result, "o.crd").find("3 more were imported"), std::string::npos);
}

TEST(CrdFile, EntriesSharingOneTextNeverYieldMoreTextThanTheFileHolds) {
  // 2,000 entries all pointing at one 1,024-byte text: 2 MB of bodies from
  // a 105 kB file unless the reader holds back.
  Bytes b;
  const uint32_t n = 2000;
  const uint32_t text = 7 + 52 * n;
  b.str("MGC").u32(n);
  for (uint32_t k = 0; k < n; ++k) b.u32(0).u32(text).u8(0).str("i").fill(42);
  b.u32(1024).fill(1024, 'z');
  const Parsed p = Parse(b);
  ASSERT_EQ(p.cards.size(), n);
  std::size_t total = 0;
  for (const CardInfo& c : p.cards) total += c.body.size();
  EXPECT_LE(total, b.v.size());
  EXPECT_EQ(p.cards[0].body, std::string(1024, 'z'));
  EXPECT_EQ(p.result.status, CrdStatus::Partial);
  EXPECT_LT(p.result.whole, n);
}

TEST(CrdFile, ReadsFromDiskAsFromMemory) {
  test::TempDir dir;
  std::vector<CrdCard> cards;
  for (int i = 0; i < 3000; ++i) {
    cards.push_back({"card " + std::to_string(i), std::string(static_cast<std::size_t>(i % 900), 'a' + i % 26)});
  }
  const Bytes b = CrdFile(cards);  // well over the reader's 64 kB window
  test::WriteBytes(dir.File("big.crd"), b.v);
  std::vector<CardInfo> fromDisk;
  const CrdReadResult r = LoadCrdFile(dir.File("big.crd"), fromDisk);
  EXPECT_EQ(r.status, CrdStatus::Ok);
  EXPECT_EQ(fromDisk, Parse(b).cards);
  EXPECT_TRUE(LooksLikeCrdFile(dir.File("big.crd")));

  test::WriteBytes(dir.File("card.tsl"), CardFileBytes(FormatSettings{}, {CardInfo("a")}));
  EXPECT_FALSE(LooksLikeCrdFile(dir.File("card.tsl")));
  EXPECT_FALSE(LooksLikeCrdFile(dir.File("missing.crd")));

  for (const std::string& path : {dir.File("missing.crd"), dir.Path().string()}) {
    const CrdReadResult missing = LoadCrdFile(path, fromDisk);
    EXPECT_EQ(missing.status, CrdStatus::OpenFailed);
    EXPECT_TRUE(fromDisk.empty());
    EXPECT_EQ(CrdMessage(missing, path), "File error - 25");
  }
}

using tools::RrgBytes;
using tools::RrgObject;

Parsed Parse(const std::string& bytes) {
  Bytes b;
  b.str(bytes);
  return Parse(b);
}

TEST(CrdFile, RrgKeepsTheTextsAndCountsThePicturesAndObjectsLeftBehind) {
  const std::string index40(40, 'I');
  const Parsed p = Parse(RrgBytes({{"Plain", "Line 1\r\nCaf\xE9"},
                                   {"Map", "see the picture", RrgObject::Picture},
                                   {"Doorbell", "a recording", RrgObject::Embedded},
                                   {"Budget", "", RrgObject::Linked},
                                   {index40 + "cut", ""},
                                   {"Long", std::string(1500, 'x')}}));
  EXPECT_EQ(p.result.status, CrdStatus::Ok);
  EXPECT_STREQ(p.result.signature, "RRG");
  EXPECT_EQ(p.result.pictures, 1u);
  EXPECT_EQ(p.result.objects, 2u);
  EXPECT_EQ(CrdMessage(p.result, "r.crd"),
            "6 cards imported; 1 picture and 2 objects were not imported (Tessel cards hold text only)");
  ASSERT_EQ(p.cards.size(), 6u);
  EXPECT_EQ(p.cards[0], CardInfo("Plain", "Line 1\r\nCaf\xE9", 1));
  EXPECT_EQ(p.cards[1], CardInfo("Map", "see the picture", 1));
  EXPECT_EQ(p.cards[2], CardInfo("Doorbell", "a recording", 1));
  EXPECT_EQ(p.cards[3], CardInfo("Budget", "", 1));
  EXPECT_EQ(p.cards[4].index, index40);
  EXPECT_EQ(p.cards[5].body, std::string(1024, 'x'));

  // Text only: no closing sentence, as for any clean import.
  EXPECT_EQ(CrdMessage(Parse(RrgBytes({{"a", "b"}})).result, "t.crd"), "");
  EXPECT_EQ(CrdMessage(Parse(RrgBytes({{"a", "", RrgObject::Picture}})).result, "o.crd"),
            "1 card imported; 1 picture was not imported (Tessel cards hold text only)");
}

TEST(CrdFile, AnObjectThatCannotBeWalkedOverLeavesItsCardWithoutTextAndIsDamage) {
  const std::string good = RrgBytes({{"before", "B"}, {"bell", "lost", RrgObject::Embedded}, {"after", "A"}});
  auto setU32 = [](std::string& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
  };
  const std::size_t native = good.find("RIFF") - 4;                   // native data size
  const std::size_t format = good.find("SoundRec") - 8;               // OLE format id
  const std::size_t presentation = good.find("METAFILEPICT") + 13 + 8;  // its data size
  std::vector<std::string> broken(3, good);
  setU32(broken[0], native, 0xFFFFFFF0u);        // far past the end of the file
  setU32(broken[1], format, 7);                  // no OLE 1 object kind
  setU32(broken[2], presentation, 0x7FFFFFFFu);  // the presentation too
  for (std::size_t i = 0; i < 3; ++i) {
    const Parsed p = Parse(broken[i]);
    EXPECT_EQ(p.result.status, CrdStatus::Partial) << i;
    EXPECT_EQ(p.result.unreadable, 1u) << i;
    EXPECT_EQ(p.result.objects, 0u) << i;
    EXPECT_EQ(Bodies(p), (std::vector<std::string>{"B", "", "A"})) << i;
    EXPECT_EQ(CrdMessage(p.result, "b.crd"),
              "\"b.crd\" is damaged or incomplete (pictures or objects on some cards cannot be read): "
              "only 2 of the 3 cards it announces were imported whole; 1 more was imported with its "
              "text missing or cut short.")
        << i;
  }
  // Cut anywhere inside the object: never a read past the end.
  for (std::size_t end = good.find("SoundRec"); end < good.find("lost"); end += 7) {
    const Parsed p = Parse(good.substr(0, end));
    ASSERT_EQ(p.cards.size(), 3u) << end;
    EXPECT_EQ(p.cards[1].body, "") << end;
    EXPECT_EQ(p.result.status, CrdStatus::Partial) << end;
  }
}

TEST(CrdFile, MgcPicturesAreWalkedOverAndTextOnlyCardsAroundThemKeepTheirTexts) {
  const std::string bits(256, '\x5A');
  const Parsed p = Parse(test::ClassicCrdFile(
      {{"before", "text before"}, {"drawn", "under the picture", bits}, {"only", "", bits}, {"last", "end"}}));
  EXPECT_EQ(p.result.status, CrdStatus::Ok) << CrdMessage(p.result, "m.crd");
  EXPECT_EQ(Bodies(p), (std::vector<std::string>{"text before", "under the picture", "", "end"}));
  EXPECT_EQ(p.result.pictures, 2u);
  EXPECT_EQ(CrdMessage(p.result, "m.crd"),
            "4 cards imported; 2 pictures were not imported (Tessel cards hold text only)");

  Bytes cut = test::ClassicCrdFile({{"a", "A"}, {"drawn", "x", bits}});
  cut.v.resize(cut.v.size() - 100);  // inside the picture's bits
  const Parsed damaged = Parse(cut);
  EXPECT_EQ(damaged.result.status, CrdStatus::Partial);
  EXPECT_EQ(Bodies(damaged), (std::vector<std::string>{"A", ""}));
  EXPECT_EQ(damaged.result.unreadable, 1u);
  EXPECT_EQ(damaged.result.pictures, 0u);
}

TEST(CrdFile, UnicodeCardfileFilesAreRecognisedAndRefused) {
  Bytes b;
  b.str("DKO").u32(0).u16(1).fill(60);
  const Parsed p = Parse(b);
  EXPECT_EQ(p.result.status, CrdStatus::Unicode);
  EXPECT_EQ(CrdMessage(p.result, "w.crd"), "Unicode Cardfile files (DKO) cannot be imported yet");

  test::TempDir dir;
  test::WriteBytes(dir.File("w.crd"), b.v);
  Bytes rrg;
  rrg.str(RrgBytes({{"a", "b"}}));
  test::WriteBytes(dir.File("r.crd"), rrg.v);
  EXPECT_TRUE(LooksLikeCrdFile(dir.File("w.crd")));
  EXPECT_TRUE(LooksLikeCrdFile(dir.File("r.crd")));
}

}  // namespace
}  // namespace tessel
