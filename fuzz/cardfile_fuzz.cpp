// Fuzz target for the card file reader: any input must either fail cleanly
// or load cards that survive a save and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "cards/card_collection.h"
#include "cards/card_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tessel;
  CardFileData parsed;
  const ReadResult result = ParseCardFile(std::span<const uint8_t>(data, size), parsed);
  if (!result.Ok()) {
    if (!parsed.cards.empty() || ReadErrorMessage(result, "f").empty()) std::abort();
    return 0;
  }
  const std::vector<CardInfo> cards = parsed.cards;
  const FormatSettings format = parsed.format.value_or(FormatSettings{});

  CardFileData again;
  if (!ParseCardFile(CardFileBytes(format, cards), again).Ok()) std::abort();
  if (again.cards != cards || again.format != format) std::abort();

  CardCollection collection;
  FormatSettings applied;
  if (!ApplyCardFileData(collection, applied, std::move(parsed))) return 0;
  if (collection.Size() != cards.size() || collection.StackSize() != cards.size()) std::abort();
  collection.ResortKeepingFront();
  collection.JumpToInitial('a');
  return 0;
}
