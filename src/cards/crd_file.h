// Cardfile files (*.crd) of the "MGC" kind, import only: the index text and
// the text of every card. The whole file is read before anything changes.
// Nothing in the file is trusted: counts and positions are checked against
// the file's size, and a damaged file gives what it holds whole together
// with a warning, never a quiet half import.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cards/card_info.h"
#include "cards/file_io.h"

namespace tessel {

inline constexpr char kCrdSignature[] = "MGC";
inline constexpr std::size_t kCrdHeader = 7;        // signature and 32-bit card count
inline constexpr std::size_t kCrdEntry = 52;        // one index entry
inline constexpr std::size_t kCrdEntryPosition = 4; // data position within an entry
inline constexpr std::size_t kCrdEntryIndex = 9;    // index text within an entry
inline constexpr std::size_t kCrdIndexField = 43;
inline constexpr std::size_t kCrdTextWindow = 1024; // most of a card's text ever read

enum class CrdStatus {
  Ok,            // every announced card read whole
  Partial,       // damaged: the cards that could be read, and a warning
  OpenFailed,    // nothing read
  Incompatible,  // not "MGC"; nothing read
  Damaged,       // too short to hold a single card; nothing read
};

struct CrdReadResult {
  CrdStatus status = CrdStatus::Ok;
  std::string detail;      // what was wrong, for the messages
  int64_t announced = 0;    // the card count the file gives
  std::size_t imported = 0; // cards read: those whose index entry is complete
  std::size_t whole = 0;    // of those, the cards whose text is complete too
  // True when there are cards to import (all of them, or the readable part).
  bool Imports() const { return status == CrdStatus::Ok || status == CrdStatus::Partial; }
};

// Reads every card of a Cardfile file in file order, each tagged. On a
// status other than Ok and Partial `cards` is empty.
CrdReadResult ParseCrdFile(PositionedReader& in, std::vector<CardInfo>& cards);
CrdReadResult ParseCrdFile(std::span<const uint8_t> bytes, std::vector<CardInfo>& cards);
CrdReadResult LoadCrdFile(const std::string& path, std::vector<CardInfo>& cards);

// True when the file starts with the "MGC" signature.
bool LooksLikeCrdFile(const std::string& path);

// What the user is told: "File error - 25", "File not compatible", the
// damage message, or for Partial the warning shown after the import.
// Empty for Ok.
std::string CrdMessage(const CrdReadResult& result, const std::string& path);

}  // namespace tessel
