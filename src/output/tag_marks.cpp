#include "output/tag_marks.h"

#include <algorithm>

namespace tessel {

TagMarks::TagMarks(const CardCollection& cards) {
  marks_.reserve(cards.Size());
  for (const CardInfo& card : cards.Cards()) marks_.push_back(card.tag != 0);
}

std::size_t TagMarks::TaggedCount() const {
  return static_cast<std::size_t>(std::count(marks_.begin(), marks_.end(), 1));
}

void TagMarks::TagAll() { std::fill(marks_.begin(), marks_.end(), 1); }

void TagMarks::UntagAll() { std::fill(marks_.begin(), marks_.end(), 0); }

void TagMarks::TagRows(std::span<const std::size_t> rows) {
  for (std::size_t row : rows) {
    if (row < marks_.size()) marks_[row] = 1;
  }
}

void TagMarks::Toggle(std::size_t row) {
  if (row < marks_.size()) marks_[row] = !marks_[row];
}

bool TagMarks::Apply(CardCollection& cards) const {
  bool changed = false;
  const std::size_t n = std::min(cards.Size(), marks_.size());
  for (std::size_t i = 0; i < n; ++i) {
    CardInfo& card = cards.At(i);
    const int32_t tag = marks_[i];
    if ((card.tag != 0) != (tag != 0)) changed = true;
    card.tag = tag;
  }
  // Closing without a save would otherwise drop the new tags unasked.
  if (changed) cards.SetModified(true);
  return changed;
}

}  // namespace tessel
