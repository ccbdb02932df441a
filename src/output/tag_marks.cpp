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

bool TagMarks::Apply(CardCollection& cards) const { return cards.SetTags(marks_); }

}  // namespace tessel
