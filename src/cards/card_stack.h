// The card stack: the on-screen bookkeeping that runs parallel to the card
// ring, one entry per record, of which the first kOnScreenCards have a card
// window laid out as a cascade. The windows themselves live in the ui and
// follow this bookkeeping through CardStackObserver.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cards/geometry.h"

namespace tessel {

// Only this many card-stack entries have a window; the rest are placeholders
// that keep the stack parallel to the collection.
inline constexpr std::size_t kOnScreenCards = 20;
inline constexpr int kCardWidth = 500;
inline constexpr int kCardHeight = 200;
inline constexpr int kCardBottomGap = 18;
inline constexpr int kCascadeStep = 25;

// Rectangle of stack entry k in a client area of height h.
StackRect CascadeRect(int clientHeight, std::size_t k);

// A card-stack entry that has a window. Entries from kOnScreenCards on are
// placeholders with no window; only their number is kept.
struct StackEntry {
  std::size_t slot = 0;  // entry index it was appended as; fixed for life
  StackRect rect;
};

// What the card windows need to hear. Every call comes after the data changed.
class CardStackObserver {
 public:
  virtual ~CardStackObserver() = default;
  // A window is needed for this entry (only for entries that are on screen).
  virtual void CardWindowAdded(const StackEntry& entry) = 0;
  // The window of the last entry goes (only for entries that were on screen).
  virtual void CardWindowRemoved(const StackEntry& entry) = 0;
  // Every window is gone.
  virtual void CardWindowsCleared() = 0;
  // Entries past the on-screen ones were appended; they have no window, but
  // a new card entry is news all the same (the typing mode resets).
  virtual void PlaceholdersAdded(std::size_t /*count*/) {}
  // Back-card strips repaint from the records and the front card reloads.
  virtual void StackRefreshed() = 0;
  // On-screen rectangles changed; the front body should take the focus.
  virtual void StackLaidOut() = 0;
  // Text in the front card's index field, which may run ahead of record 0
  // while the user types; nullopt when there is no index field.
  virtual std::optional<std::string> FrontIndexFieldText() const { return std::nullopt; }
  virtual void SetFrontIndexFieldText(const std::string& /*text*/) {}
};

class CardStack {
 public:
  // Entries: always as many as the collection has records.
  std::size_t Size() const { return size_; }
  const std::vector<StackEntry>& OnScreen() const { return onScreen_; }

  void SetObserver(CardStackObserver* observer) { observer_ = observer; }
  CardStackObserver* Observer() const { return observer_; }
  void SetClientHeight(int height) { clientHeight_ = height; }
  int ClientHeight() const { return clientHeight_; }

  // Appends `count` entries: windows while there is room on screen, then
  // placeholders, announced together.
  void Add(std::size_t count);
  // Removes the last entry.
  void RemoveLast();
  // Asks the windows to repaint from the records; `cards` is the record count.
  void Refresh(std::size_t cards);
  void Layout(int clientHeight);
  void Clear();

 private:
  std::vector<StackEntry> onScreen_;
  std::size_t size_ = 0;
  int clientHeight_ = 0;
  CardStackObserver* observer_ = nullptr;
};

}  // namespace tessel
