// The reader of the archive form (0xAAAC): the format settings, a card
// count, then one object per card with its class introduced once.
#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "cards/card_file_parts.h"
#include "cards/codepage.h"
#include "cards/text_filler.h"

namespace tessel::card_file {
namespace {

// Reads a length prefix; `wide` tells whether UTF-16 units follow.
bool ReadLength(ByteReader& in, uint64_t& length, bool& wide) {
  wide = false;
  uint8_t b;
  if (!in.U8(b)) return false;
  if (b < 0xFF) {
    length = b;
    return true;
  }
  uint16_t w;
  if (!in.U16(w)) return false;
  if (w == kWideMarker) {
    wide = true;
    if (!in.U8(b)) return false;
    if (b < 0xFF) {
      length = b;
      return true;
    }
    if (!in.U16(w)) return false;
  }
  if (w < 0xFFFF) {
    length = w;
    return true;
  }
  uint32_t d;
  if (!in.U32(d)) return false;
  length = d;
  return true;
}

// `length` UTF-16 units, converted to the card texts' code page.
bool ReadWide(ByteReader& in, uint64_t length, std::string& out) {
  if (length > in.Remaining() / 2) return in.Refuse();
  std::vector<char16_t> units(static_cast<std::size_t>(length));
  for (char16_t& u : units) {
    uint16_t v;
    if (!in.U16(v)) return false;
    u = v;
  }
  out = Utf16ToCp1252(units.data(), units.size());
  return true;
}

bool ReadText(ByteReader& in, std::string& out) {
  uint64_t length;
  bool wide;
  if (!ReadLength(in, length, wide)) return false;
  return wide ? ReadWide(in, length, out) : in.String(out, length);
}

ReadResult ParseFormat(ByteReader& in, FormatSettings& f) {
  uint32_t colours[4];
  if (!ReadText(in, f.indexFace) || !ReadI32(in, f.indexSize) || !ReadText(in, f.bodyFace) ||
      !ReadI32(in, f.bodySize) || !in.U32(colours[0]) || !in.U32(colours[1]) ||
      !in.U32(colours[2]) || !in.U32(colours[3])) {
    return Damaged("it ends inside its format settings");
  }
  f.indexBackground = colours[0];
  f.bodyBackground = colours[1];
  f.indexText = colours[2];
  f.bodyText = colours[3];
  return {};
}

// Reads a text for the filler: narrow texts go aside, wide ones (which need
// converting) are read here.
bool ReadTextAside(ByteReader& in, TextFiller& filler, std::string& text) {
  uint64_t length;
  bool wide;
  if (!ReadLength(in, length, wide)) return false;
  if (wide) return ReadWide(in, length, text);
  if (length > in.Remaining()) return in.Refuse();
  return filler.Read(static_cast<std::size_t>(length), text);
}

// Below this many cards a second thread costs more than it saves.
constexpr uint64_t kFillTextsAside = 20000;

}  // namespace

ReadResult ReadArchiveCards(ByteReader& in, CardFileData& out) {
  FormatSettings format;
  if (ReadResult r = ParseFormat(in, format); !r.Ok()) return r;
  out.format = format;

  uint16_t shortCount;
  uint64_t count;
  if (!in.U16(shortCount)) return Damaged("it ends before its card count");
  count = shortCount;
  if (shortCount == 0xFFFF) {
    uint32_t longCount;
    if (!in.U32(longCount)) return Damaged("it ends before its card count");
    count = longCount;
  }
  if (count > in.Remaining() / kMinCardObject) {
    return Damaged("it announces " + std::to_string(count) + " cards, more than it can hold");
  }
  // Room for every card up front: the text filler writes into cards that
  // are already in the vector, so it must never move them. A claimed count
  // is only trusted that far while the room stays within twice the rest of
  // the file; beyond it (a file of tiny or missing cards) the collection
  // grows with the cards actually read, and texts are read here.
  const uint64_t affordable = in.Remaining() * kMaxReserveRatio / sizeof(CardInfo);
  const bool trusted = count <= affordable;
  out.cards.reserve(static_cast<std::size_t>(trusted ? count : affordable));
  std::optional<TextFiller> filler;
  if (trusted && count >= kFillTextsAside) filler.emplace(in);
  if (filler && !filler->Active()) filler.reset();

  // Classes and objects share one numbering that starts at 1. Class numbers
  // only grow, so a sorted list serves for lookups.
  std::vector<uint64_t> classes;
  uint64_t next = 1;
  for (uint64_t i = 0; i < count; ++i) {
    uint16_t tag;
    if (!in.U16(tag)) return Damaged(Ended(i));
    if (tag == kNewClassTag) {
      uint16_t schema, nameLength;
      if (!in.U16(schema) || !in.U16(nameLength)) return Damaged(Ended(i));
      if (nameLength > kMaxClassName) return Damaged(Card(i) + " has a bad class name");
      std::string name;
      if (!in.String(name, nameLength)) return Damaged(Ended(i));
      if (name != kCardClass) {
        return Damaged(Card(i) + " is of an unknown kind \"" +
                       Cp1252ToUtf8(name).substr(0, kMaxClassName) + "\"");
      }
      if (schema != kCardSchema) {
        return Damaged(Card(i) + " has an unknown layout number " + std::to_string(schema));
      }
      classes.push_back(next++);
    } else {
      uint32_t reference = (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & 0x7FFFu);
      if (tag == kBigObjectTag && !in.U32(reference)) return Damaged(Ended(i));
      if (reference == 0) return Damaged(Card(i) + " is missing");
      if (!(reference & kBigClassTag)) {
        return Damaged(Card(i) + " refers to an earlier object instead of holding a card");
      }
      const uint64_t classNumber = reference & ~kBigClassTag;
      if (!std::binary_search(classes.begin(), classes.end(), classNumber)) {
        return Damaged(Card(i) + " names a kind the file never introduced");
      }
    }
    ++next;  // the card object's own number

    if (!in.Skip(4)) return Damaged(Ended(i));
    // The record first: from here on the filler may fill in its texts.
    CardInfo& card = out.cards.emplace_back();
    const bool texts = filler ? ReadTextAside(in, *filler, card.index) &&
                                    ReadTextAside(in, *filler, card.body)
                              : ReadText(in, card.index) && ReadText(in, card.body);
    if (!texts || !ReadI32(in, card.tag)) return Damaged(Ended(i));
  }
  if (filler) {
    filler->Stop();
    if (filler->OutOfMemory()) throw std::bad_alloc();  // reported as for this thread
  }
  return {};
}

}  // namespace tessel::card_file
