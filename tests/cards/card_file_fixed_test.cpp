// The reader of the fixed-record versions.
#include "cards/card_file.h"

#include <gtest/gtest.h>


#include "support/card_file_for_test.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using namespace std::string_literals;
using test::Bytes;
using test::Parse;

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

}  // namespace
}  // namespace tessel
