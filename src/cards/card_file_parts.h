// The parts the card file's readers and writer share: the archive form's
// tags and names, and the small readers every version uses. Inside the
// card file code only.
#pragma once

#include <cstdint>
#include <string>

#include "cards/card_file.h"

namespace tessel::card_file {

inline constexpr uint16_t kNewClassTag = 0xFFFF;
inline constexpr uint16_t kBigObjectTag = 0x7FFF;
inline constexpr uint16_t kClassTag = 0x8000;
inline constexpr uint32_t kBigClassTag = 0x80000000u;
inline constexpr uint16_t kCardSchema = 1;
inline constexpr char kCardClass[] = "CardInfo";
inline constexpr uint16_t kWideMarker = 0xFFFE;
// Tag, lead word, two empty strings and the tag flag: no card object is
// smaller, so a count the rest of the file cannot hold is refused at once.
inline constexpr uint64_t kMinCardObject = 2 + 4 + 1 + 1 + 4;
// The most room reserved for a claimed card count, as a multiple of the
// bytes left in the file.
inline constexpr uint64_t kMaxReserveRatio = 2;
// Longest class name the archive form allows.
inline constexpr uint16_t kMaxClassName = 64;

inline ReadResult Damaged(std::string detail) {
  return {ReadStatus::Damaged, std::move(detail)};
}
// Names card i (from 0) in a message; built only when something is wrong.
inline std::string Card(uint64_t i) { return "card " + std::to_string(i + 1); }
inline std::string Ended(uint64_t i) { return "it ends in the middle of " + Card(i); }

inline bool ReadI32(ByteReader& in, int32_t& v) {
  uint32_t u;
  if (!in.U32(u)) return false;
  v = static_cast<int32_t>(u);
  return true;
}

// The readers, one per layout: the fixed records of the first two versions
// (the second adds a tag flag) and the archive form of the newest.
ReadResult ReadFixedCards(ByteReader& in, uint32_t version, CardFileData& out);
ReadResult ReadArchiveCards(ByteReader& in, CardFileData& out);

}  // namespace tessel::card_file
