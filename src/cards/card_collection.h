// The open document's cards: a ring sorted by index text whose position 0 is
// the front card, plus the card stack, the on-screen bookkeeping that runs
// parallel to it. The card windows themselves live in the ui and follow this
// bookkeeping through CardStackObserver.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"
#include "cards/geometry.h"

namespace tessel {

// Only this many card-stack entries have a window; the rest are placeholders
// that keep the stack parallel to the collection.
inline constexpr std::size_t kOnScreenCards = 20;
inline constexpr int kCardWidth = 500;
inline constexpr int kCardHeight = 200;
inline constexpr int kCardBottomGap = 18;
inline constexpr int kCascadeStep = 25;
// Emptying a collection at least this large frees its cards on a thread of
// their own.
inline constexpr std::size_t kFreeInBackgroundFrom = 50000;

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

// The two editable controls of the front card window.
enum class FrontField { Index, Body };

class CardCollection {
 public:
  std::size_t Size() const { return cards_.size(); }
  bool Empty() const { return cards_.empty(); }
  const CardInfo& At(std::size_t i) const { return cards_[i]; }
  CardInfo& At(std::size_t i) { return cards_[i]; }
  const std::vector<CardInfo>& Cards() const { return cards_; }
  // Card-stack entries: always as many as records; the first kOnScreenCards
  // of them have windows.
  std::size_t StackSize() const { return stackSize_; }
  const std::vector<StackEntry>& OnScreenEntries() const { return onScreen_; }
  std::size_t TaggedCount() const;

  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  void SetObserver(CardStackObserver* observer) { observer_ = observer; }
  void SetClientHeight(int height) { clientHeight_ = height; }
  int ClientHeight() const { return clientHeight_; }

  // Stable sort by MbsICmp: the order a neighbour-swapping bubble sort gives.
  void SortCards();
  // Rotates so that record k becomes the front card. The stack is untouched.
  void BringToFront(std::size_t k);
  // Brings the first record whose index equals `text` (ignoring case) forward.
  void BringIndexToFront(std::string_view text);
  // Brings the first card after the front whose index starts with `c` or
  // with `c - 32` forward.
  void JumpToInitial(int c);
  // Sorts and keeps the card shown in front (by its index field text) in front.
  void ResortKeepingFront();
  // Appends a stack entry; with `createRecord`, also a new record.
  void AddCardWindow(std::string_view indexText, bool createRecord);
  // Appends records read from a file with their stack entries, in order
  // (an empty collection takes the vector over without copying).
  void AppendCards(std::vector<CardInfo>&& cards);
  // Removes the last record and its stack entry.
  void RemoveLastCard();
  void RefreshStack();
  // Copies an edit of the front card window into record 0. It leaves the
  // modified flag and the order alone: a new index takes its place at the
  // next sort.
  void StoreFrontEdits(FrontField field, std::string text);
  // Replaces `length` bytes from byte `at` of the front record's field with
  // `text`, in place: an edit costs its own size, not the field's. A range
  // outside the field changes nothing.
  void StoreFrontEdits(FrontField field, std::size_t at, std::size_t length,
                       std::string_view text);
  void LayoutStack(int clientHeight);
  void RemoveAllCards();
  void RemoveAllCardWindows();

 private:
  std::vector<CardInfo> cards_;
  std::vector<StackEntry> onScreen_;
  std::size_t stackSize_ = 0;
  bool modified_ = false;
  int clientHeight_ = 0;
  CardStackObserver* observer_ = nullptr;
};

}  // namespace tessel
