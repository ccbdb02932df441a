// Fuzz target for the Cardfile reader: any input gives either nothing and a
// message, or cards no larger than the file can account for, each tagged,
// that a card file then holds unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "cards/card_collection.h"
#include "cards/card_file.h"
#include "cards/crd_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tessel;
  std::vector<CardInfo> cards;
  const CrdReadResult result = ParseCrdFile(std::span<const uint8_t>(data, size), cards);
  const bool ok = result.status == CrdStatus::Ok;
  if (CrdMessage(result, "f.crd").empty() != ok) std::abort();
  if (!result.Imports()) {
    if (!cards.empty()) std::abort();
    return 0;
  }
  if (cards.size() != result.imported || result.whole > cards.size()) std::abort();
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
  CardCollection collection;
  FormatSettings format;
  if (!ApplyCardFileData(collection, format, CardFileData{0, std::nullopt, std::move(cards)})) return 0;
  if (collection.StackSize() != collection.Size()) std::abort();
  return 0;
}
