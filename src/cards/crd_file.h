// Cardfile files (*.crd) of the "MGC" and "RRG" kinds, import only: the index
// text and the text of every card. Pictures and OLE objects are walked over
// and counted, never kept: Tessel cards hold text only. The whole file is
// read before anything changes.
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
inline constexpr char kRrgSignature[] = "RRG";  // adds OLE objects
inline constexpr char kDkoSignature[] = "DKO";  // 16-bit characters; not read yet
inline constexpr std::size_t kCrdHeader = 7;        // signature and 32-bit card count
inline constexpr std::size_t kCrdEntry = 52;        // one index entry
inline constexpr std::size_t kCrdEntryPosition = 4; // data position within an entry
inline constexpr std::size_t kCrdEntryIndex = 9;    // index text within an entry
inline constexpr std::size_t kCrdIndexField = 43;
inline constexpr std::size_t kCrdTextWindow = 1024; // most of a card's text ever read
inline constexpr std::size_t kRrgHeader = 9;        // signature, last object id, 16-bit card count
inline constexpr std::size_t kRrgEntryPosition = 6;
inline constexpr std::size_t kRrgEntryIndex = 11;
inline constexpr std::size_t kRrgIndexField = 40;

enum class CrdStatus {
  Ok,            // every announced card read whole
  Partial,       // damaged: the cards that could be read, and a warning
  OpenFailed,    // nothing read
  Incompatible,  // not a Cardfile signature; nothing read
  Damaged,       // too short to hold a single card; nothing read
  Unicode,       // "DKO": recognised, not read; nothing read
};

struct CrdReadResult {
  CrdStatus status = CrdStatus::Ok;
  std::string detail;      // what was wrong, for the messages
  const char* signature = kCrdSignature;  // the kind read: "MGC" or "RRG"
  int64_t announced = 0;    // the card count the file gives
  std::size_t imported = 0; // cards read: those whose index entry is complete
  std::size_t whole = 0;    // of those, the cards whose text is complete too
  std::size_t pictures = 0; // pictures walked over (not imported)
  std::size_t objects = 0;  // embedded or linked objects walked over (not imported)
  std::size_t unreadable = 0; // cards whose object could not be walked over: empty body
  // True when there are cards to import (all of them, or the readable part).
  bool Imports() const { return status == CrdStatus::Ok || status == CrdStatus::Partial; }
};

// Reads every card of a Cardfile file in file order, each tagged. On a
// status other than Ok and Partial `cards` is empty.
CrdReadResult ParseCrdFile(PositionedReader& in, std::vector<CardInfo>& cards);
CrdReadResult ParseCrdFile(std::span<const uint8_t> bytes, std::vector<CardInfo>& cards);
CrdReadResult LoadCrdFile(const std::string& path, std::vector<CardInfo>& cards);

// True when the file starts with a Cardfile signature ("MGC", "RRG", "DKO").
bool LooksLikeCrdFile(const std::string& path);

// What the user is told: "File error - 25", "File not compatible", the
// damage message, the DKO refusal, or for Partial the warning shown after the
// import; after an import that left pictures or objects behind, the closing
// sentence that counts them. Empty for an Ok import of text only.
std::string CrdMessage(const CrdReadResult& result, const std::string& path);

}  // namespace tessel
