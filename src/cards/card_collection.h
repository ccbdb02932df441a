// The model of the open document's cards: the ring of records (card_ring.h),
// the card stack that runs parallel to it (card_stack.h) and the modified
// flag. Cards change only through the operations here. Each one that changes
// what a save keeps sets the modified flag itself, exactly when the stored
// data changed, and every change is told to the observers, so that any
// number of views stay in step without polling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"
#include "cards/card_ring.h"
#include "cards/card_stack.h"
#include "cards/format_settings.h"

namespace tessel {

// The fields of a card, as a mask in CardChange.
enum CardField : unsigned { kIndexField = 1u, kBodyField = 2u, kTagField = 4u };

// What one operation changed. Positions are those after the change.
struct CardChange {
  enum class Kind {
    Fields,     // `fields` of the cards first .. first + count - 1
    Inserted,   // the cards first .. first + count - 1 are new
    Removed,    // count cards from position first went
    Reordered,  // the same cards in a new order (a sort, a rotation)
    Reset,      // every position may hold another card (a load, New)
    Format,     // the file-wide format settings
  };
  Kind kind = Kind::Reset;
  std::size_t first = 0;
  std::size_t count = 0;
  unsigned fields = 0;
  bool operator==(const CardChange&) const = default;
};

class CardObserver {
 public:
  virtual ~CardObserver() = default;
  // After every change of the cards, their order or the format.
  virtual void CardsChanged(const CardChange& change) = 0;
  // After the modified flag turned.
  virtual void ModifiedChanged(bool /*modified*/) {}
};

// The two editable controls of the front card window.
enum class FrontField { Index, Body };

class CardCollection {
 public:
  // --- reading ---
  std::size_t Size() const { return ring_.Size(); }
  bool Empty() const { return ring_.Empty(); }
  const CardInfo& At(std::size_t i) const { return ring_.At(i); }
  const std::vector<CardInfo>& Cards() const { return ring_.Cards(); }
  std::size_t TaggedCount() const { return ring_.TaggedCount(); }
  bool Modified() const { return modified_; }

  void AddObserver(CardObserver* observer);
  void RemoveObserver(CardObserver* observer);

  // --- edits: each marks the document changed when it changed a card ---
  // False when the card already had that text (no change).
  bool RenameCard(std::size_t i, std::string index);
  bool SetBody(std::size_t i, std::string body);
  // A tag is a flag: a card counts as changed when it turns tagged or
  // untagged, not when one nonzero value replaces another.
  bool SetTag(std::size_t i, int32_t tag);
  // One tag per card, in collection order (the Tag Cards dialog's OK); told
  // as one change. True when a card turned tagged or untagged.
  bool SetTags(std::span<const unsigned char> tagged);
  // Copies an edit of the front card window into record 0: a rename or a new
  // body. The order stays: a new index takes its place at the next sort.
  void StoreFrontEdits(FrontField field, std::string text);
  // The same for an edit of a range: `length` bytes from byte `at` of the
  // field become `text`, so an edit costs its own size, not the field's. A
  // range outside the field changes nothing.
  void StoreFrontEdits(FrontField field, std::size_t at, std::size_t length,
                       std::string_view text);
  // A key reached the front card's body editor: the document counts as
  // changed whatever the key did (an arrow key too).
  void MarkBodyKey();
  // The file-wide format is held beside the cards; it changes through here
  // so that a new look counts as a change. False when `value` is no change.
  bool SetFormat(FormatSettings& format, const FormatSettings& value);

  // --- cards in and out ---
  // Add: appends a card with this index text (and its stack entry). The
  // caller brings it forward.
  void AddCard(std::string_view indexText);
  // Delete: the card after the front comes forward and the front card goes
  // (so the removed record and stack entry are always the last ones).
  void DeleteFrontCard();
  // A new card with card i's index, body and tag, right after it (where a
  // stable sort puts it). Returns its position.
  std::size_t DuplicateCard(std::size_t i);
  // Cards read or imported: appended, sorted, the front reloaded; the
  // document counts as changed when any were added. All or nothing: false,
  // with the collection as it was, when memory ran out.
  [[nodiscard]] bool AddCards(std::vector<CardInfo>&& cards);
  // The cards now match a file (saved, loaded, New).
  void MarkUnchanged();
  // The cards match no file: a backup or recovered work opened as unsaved.
  void MarkUnsaved();

  // --- the order (the document is not changed by them) ---
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

  // --- building blocks of the readers and of tests: the flag stays ---
  // Appends a stack entry; with `createRecord`, also a new record.
  void AddCardWindow(std::string_view indexText, bool createRecord);
  // Appends records with their stack entries, in order, unsorted.
  void AppendCards(std::vector<CardInfo>&& cards);
  // Removes the last record and its stack entry.
  void RemoveLastCard();
  void RemoveAllCards();
  void RemoveAllCardWindows();

  // --- the card stack ---
  const CardStack& Stack() const { return stack_; }
  // Card-stack entries: always as many as records; the first kOnScreenCards
  // of them have windows.
  std::size_t StackSize() const { return stack_.Size(); }
  const std::vector<StackEntry>& OnScreenEntries() const { return stack_.OnScreen(); }
  void SetObserver(CardStackObserver* observer) { stack_.SetObserver(observer); }
  void SetClientHeight(int height) { stack_.SetClientHeight(height); }
  int ClientHeight() const { return stack_.ClientHeight(); }
  void RefreshStack() { stack_.Refresh(ring_.Size()); }
  void LayoutStack(int clientHeight) { stack_.Layout(clientHeight); }

 private:
  void Notify(const CardChange& change);
  void Changed(const CardChange& change);
  void SetModified(bool modified);

  // Observers watch one object: a copy starts without them, and a
  // collection assigned to keeps its own.
  struct Observers {
    std::vector<CardObserver*> list;
    Observers() = default;
    Observers(const Observers&) {}
    Observers& operator=(const Observers&) { return *this; }
  };

  CardRing ring_;
  CardStack stack_;
  bool modified_ = false;
  Observers observers_;
};

}  // namespace tessel
