// What the card commands do to the collection: Add, Delete, Go To, and Find
// Next's walk through the cards after the front one. The windows show the
// outcome through the collection's observer; messages and focus are the
// caller's.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "cards/card_collection.h"
#include "stack/search.h"

namespace tessel {

// The text a new card's index starts with.
inline constexpr std::string_view kNewCardIndex = "Type Index Text Here";

// The index text Add gives a new card when the stack holds `stackSize`
// entries: "Type Index Text Here #n", n counting the new card.
std::string NewCardIndexText(std::size_t stackSize);

// Appends a card with the text above and brings the first card of that name
// (ignoring case) to the front: normally the new card, but an older card of
// the same name wins. Marks the document modified. Returns the text.
std::string AddCard(CardCollection& cards);

// Removes the front card: the card after it comes to the front first, so the
// removed record and stack entry are always the last ones. Marks the
// document modified. Does nothing on an empty collection.
void DeleteFrontCard(CardCollection& cards);

enum class GoToResult { EmptyText, NotFound, Found };

// Brings the first card after the front whose index text contains `text`
// (ignoring case) to the front. The front card itself is never a candidate.
GoToResult GoToIndex(CardCollection& cards, std::string_view text);

// The search state Find fills and Find Next reads.
struct SearchState {
  std::string text;
  TextMatchOptions options;
  // End of the front body's selection taken for the run: the search goes on
  // from here.
  std::size_t savedEnd = 0;
  bool fromDialog = false;  // Find took the selection before its dialog
};

// The exact search in the front card's body as its editor holds it: the
// position of the first hit at or after `from`, if any.
using FrontBodySearch = std::function<std::optional<std::size_t>(std::size_t from)>;

// Find Next: first the rest of the front body after the saved selection,
// then the cards at positions 1 to n - 1 in ring order. A card whose body
// holds the text ignoring case comes to the front (with RefreshStack) and is
// searched exactly; when that fails it stays in front and the walk goes on
// with the card after it. Returns the hit's position in the front body.
// An empty search text searches nothing.
std::optional<std::size_t> FindNextHit(CardCollection& cards, const SearchState& search,
                                       const FrontBodySearch& searchFront);

}  // namespace tessel
