// Fuzz target for the Cardfile reader (MGC and RRG, pictures and OLE objects
// included): any input gives either nothing and a message, or cards no larger
// than the file can account for, each tagged, that a card file then holds
// unchanged; every picture, object or unreadable one belongs to a card.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "cards/card_file.h"
#include "cards/crd_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tessel;
  std::vector<CardInfo> cards;
  const CrdReadResult result = ParseCrdFile(std::span<const uint8_t>(data, size), cards);
  const bool ok = result.status == CrdStatus::Ok;
  const bool skipped = result.pictures + result.objects > 0;
  if (CrdMessage(result, "f.crd").empty() != (ok && !skipped)) std::abort();
  if (!result.Imports()) {
    if (!cards.empty()) std::abort();
    return 0;
  }
  if (cards.size() != result.imported || result.whole > cards.size()) std::abort();
  if (result.pictures + result.objects + result.unreadable > cards.size()) std::abort();
  if (result.unreadable > cards.size() - result.whole) std::abort();
  if (ok && static_cast<int64_t>(cards.size()) != std::max<int64_t>(result.announced, 0)) std::abort();
  if (!cards.empty() && cards.size() > (size - kCrdHeader) / kCrdEntry) std::abort();
  std::size_t text = 0;
  for (const CardInfo& c : cards) {
    if (c.tag != 1 || c.index.size() > kCrdIndexField || c.body.size() > kCrdTextWindow) std::abort();
    if (std::memchr(c.index.data(), 0, c.index.size()) || std::memchr(c.body.data(), 0, c.body.size())) {
      std::abort();
    }
    text += c.body.size();
  }
  if (text > size) std::abort();

  CardFileData again;
  if (!ParseCardFile(CardFileBytes(FormatSettings{}, cards), again).Ok() || again.cards != cards) {
    std::abort();
  }
  // Applying cards to a collection is the card file target's to fuzz: its
  // sort costs more per input than this whole reader, and would hold this
  // target to a few dozen inputs a second.
  return 0;
}
