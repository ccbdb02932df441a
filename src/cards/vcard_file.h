// vCard files (*.vcf) from address books, import only: versions 2.1 (with
// QUOTED-PRINTABLE and the character sets UTF-8, ISO-8859-1 and
// Windows-1252), 3.0 and 4.0, one card or many. Each vCard becomes one card:
// the index "Last, First" from N (FN when N is empty), the body the NOTE
// followed by the name, organisation, address, phone, mail and web values
// the NOTE does not already hold. Photos, keys and other entries that a card
// cannot hold are skipped and counted.
// Nothing in the file is trusted: sizes are bounded, a card cut short or
// too large is left out with a warning, and a file without a whole card
// imports nothing and says why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"

namespace tessel {

// The largest file read at all; address books with photos run to megabytes,
// never to this.
inline constexpr uint64_t kVcardMaxFile = 256ull << 20;
// The most text kept of one vCard (the values that make its card); a longer
// one is left out as damaged. Skipped entries such as photos may be longer.
inline constexpr std::size_t kVcardMaxCardText = 1 << 20;

// How the vCards Tessel writes name it (PRODID); such a card keeps its tag.
inline constexpr std::string_view kVcardProductIdPrefix = "-//Tessel//";

enum class VcardStatus {
  Ok,       // every vCard read whole
  Partial,  // some vCards left out or lines unreadable: the rest, with a warning
  Refused,  // nothing imported; `detail` says why
};

struct VcardReadResult {
  VcardStatus status = VcardStatus::Ok;
  std::string detail;        // why nothing was imported
  std::size_t imported = 0;  // cards made
  std::size_t damaged = 0;   // vCards left out: cut short, too large, unreadable
  std::size_t charsetRefused = 0;  // vCards left out for a character set not read
  std::string charset;       // the first such character set, as the file names it
  std::size_t badLines = 0;  // lines inside vCards that could not be read
  std::size_t photos = 0;    // PHOTO and LOGO entries skipped
  std::size_t keys = 0;      // KEY entries skipped
  std::size_t others = 0;    // other entries a card does not hold
  bool Imports() const { return status != VcardStatus::Refused; }
};

// Reads every vCard of the bytes in file order. Cards written by Tessel
// come back untagged unless their categories say Tagged; every other card
// is tagged, as every new card is. On Refused `cards` is empty.
VcardReadResult ParseVcards(std::string_view bytes, std::vector<CardInfo>& cards);
VcardReadResult LoadVcardFile(const std::string& path, std::vector<CardInfo>& cards);

// What the user is told: why nothing was imported, or after an import the
// count of cards, the warning about what was left out as damaged, and the
// count of skipped entries.
std::string VcardMessage(const VcardReadResult& result, const std::string& path);

// True when the name ends in .vcf or .vcard (any case).
bool HasVcardExtension(std::string_view path);

}  // namespace tessel
