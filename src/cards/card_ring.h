// The records of the open document and their order: a ring sorted by index
// text whose position 0 is the front card. Moving to another card is a
// rotation. Only the card collection changes it; everyone else reads it
// through the collection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"

namespace tessel {

// Emptying a ring at least this large frees its cards on a thread of their
// own.
inline constexpr std::size_t kFreeInBackgroundFrom = 50000;

class CardRing {
 public:
  std::size_t Size() const { return cards_.size(); }
  bool Empty() const { return cards_.empty(); }
  const CardInfo& At(std::size_t i) const { return cards_[i]; }
  const std::vector<CardInfo>& Cards() const { return cards_; }
  std::size_t TaggedCount() const;

  // Stable sort by MbsICmp: the order a neighbour-swapping bubble sort gives.
  void Sort();
  // Rotates so that record k becomes position 0; false when nothing moved.
  bool BringToFront(std::size_t k);
  // The first record whose index equals `text`, ignoring case.
  std::optional<std::size_t> FindIndex(std::string_view text) const;
  // The first record after the front whose index starts with `c` or `c - 32`.
  std::optional<std::size_t> FindInitial(int c) const;

  // One field of record i; false when it already held that value.
  bool SetText(std::size_t i, std::string CardInfo::*field, std::string&& text);
  // Replaces `length` bytes from `at` with `text`; false for a range
  // outside the field or no change.
  bool ReplaceText(std::size_t i, std::string CardInfo::*field, std::size_t at, std::size_t length,
                   std::string_view text);
  bool SetTag(std::size_t i, int32_t tag);

  void Append(CardInfo&& card) { cards_.push_back(std::move(card)); }
  // Appends in order (an empty ring takes the vector over without copying).
  void Append(std::vector<CardInfo>&& cards);
  void Insert(std::size_t at, CardInfo&& card);
  // Takes records off the end until `size` are left.
  void ShrinkTo(std::size_t size);
  void Clear();

 private:
  std::vector<CardInfo> cards_;
};

}  // namespace tessel
