#include "stack/card_commands.h"

#include "stack/body_text.h"

namespace tessel {

std::string NewCardIndexText(std::size_t stackSize) {
  return std::string(kNewCardIndex) + " #" +
         std::to_string(stackSize + 1);
}

std::string AddCard(CardCollection& cards) {
  std::string text = NewCardIndexText(cards.StackSize());
  cards.AddCard(text);
  cards.BringIndexToFront(text);
  // RefreshStack puts the front record's index text into the index field.
  cards.RefreshStack();
  return text;
}

void DeleteFrontCard(CardCollection& cards) { cards.DeleteFrontCard(); }

GoToResult GoToIndex(CardCollection& cards, std::string_view text) {
  if (text.empty()) return GoToResult::EmptyText;
  const std::optional<std::size_t> match = FindIndexMatch(cards, text);
  if (!match) return GoToResult::NotFound;
  cards.BringToFront(*match);
  cards.RefreshStack();
  return GoToResult::Found;
}

std::optional<std::size_t> FindNextHit(CardCollection& cards, const SearchState& search,
                                       const FrontBodySearch& searchFront) {
  // Every body "contains" the empty text, so without this guard each card
  // would be brought forward in turn for nothing.
  if (search.text.empty() || cards.Empty()) return std::nullopt;
  if (const auto hit = searchFront(search.savedEnd)) return hit;
  // The candidates not yet tried stand at positions 1 to end - 1; bringing
  // the one at k forward moves the rest down by k.
  // The records hold CR LF where the editor, and so a selected text, has LF.
  const std::string stored = BodyFromEditor(search.text);
  std::size_t end = cards.Size();
  while (const auto k = FindBodyCandidate(cards, stored, 1, end)) {
    cards.BringToFront(*k);
    cards.RefreshStack();
    end -= *k;
    if (const auto hit = searchFront(0)) return hit;
  }
  return std::nullopt;
}

}  // namespace tessel
