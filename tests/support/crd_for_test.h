// Hand-made Cardfile files for the tests: the layout the reader documents
// and the one the classic program writes.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace tessel::test {

struct CrdCard {
  std::string index;
  std::string text;
  std::string picture;  // the bits of a picture before the text (classic layout only)
};

// "MGC", a 32-bit count, 52-byte entries from offset 7 (4 unused bytes, the
// data position, 1 unused byte, 43 index bytes), then each text block as a
// 32-bit length and the text. `count` overrides the announced count.
inline Bytes CrdFile(const std::vector<CrdCard>& cards, std::optional<int32_t> count = {}) {
  Bytes b;
  b.str("MGC").u32(static_cast<uint32_t>(count.value_or(static_cast<int32_t>(cards.size()))));
  uint32_t position = static_cast<uint32_t>(7 + 52 * cards.size());
  for (const CrdCard& c : cards) {
    b.u32(0).u32(position).u8(0).str(c.index.substr(0, 43)).fill(43 - std::min<std::size_t>(c.index.size(), 43));
    position += static_cast<uint32_t>(4 + c.text.size());
  }
  for (const CrdCard& c : cards) b.u32(static_cast<uint32_t>(c.text.size())).str(c.text);
  return b;
}

// The classic program's layout: "MGC", a 16-bit count, entries of six zero
// bytes, the data position, a flag byte, 40 index bytes and a zero byte;
// each card's data a 16-bit picture size (0, or the size followed by the
// picture's 16-bit width, height and position and its bits), a 16-bit text
// length and the text, with no zero byte after it.
inline Bytes ClassicCrdFile(const std::vector<CrdCard>& cards) {
  Bytes b;
  b.str("MGC").u16(static_cast<uint16_t>(cards.size()));
  uint32_t position = static_cast<uint32_t>(5 + 52 * cards.size());
  for (const CrdCard& c : cards) {
    b.fill(6).u32(position).u8(0).str(c.index.substr(0, 40));
    b.fill(40 - std::min<std::size_t>(c.index.size(), 40)).u8(0);
    position += static_cast<uint32_t>(4 + c.text.size() + (c.picture.empty() ? 0 : 8 + c.picture.size()));
  }
  for (const CrdCard& c : cards) {
    b.u16(static_cast<uint16_t>(c.picture.size()));
    if (!c.picture.empty()) b.u16(64).u16(32).u16(10).u16(20).str(c.picture);
    b.u16(static_cast<uint16_t>(c.text.size())).str(c.text);
  }
  return b;
}

}  // namespace tessel::test
