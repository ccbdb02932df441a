// Card file bytes for the tests of the card file's readers and writer.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/card_file.h"
#include "support/test_support.h"

namespace tessel::test {

inline std::vector<CardInfo> Parse(const std::vector<uint8_t>& bytes, ReadResult* result = nullptr) {
  CardFileData data;
  const ReadResult r = ParseCardFile(bytes, data);
  if (result) *result = r;
  EXPECT_TRUE(r.Ok() || data.cards.empty());
  return data.cards;
}

inline Bytes FirstCardTag(Bytes b) { return b.u16(0xFFFF).u16(1).u16(8).str("CardInfo"); }
inline Bytes CardData(Bytes b, const std::string& index, const std::string& body, uint32_t tag) {
  return b.u32(1).text(index).text(body).u32(tag);
}

}  // namespace tessel::test
