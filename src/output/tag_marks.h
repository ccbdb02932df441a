// The marks of the Tag Cards dialog: one per card, in collection order,
// edited by the dialog's menu and by double-clicks and written back into the
// cards' tag flags only by OK. The dialog draws them; the rules live here.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "cards/card_collection.h"

namespace tessel {

class TagMarks {
 public:
  // A mark for each card: tagged when its tag flag is nonzero.
  explicit TagMarks(const CardCollection& cards);

  std::size_t Size() const { return marks_.size(); }
  bool Tagged(std::size_t row) const { return marks_[row] != 0; }
  std::size_t TaggedCount() const;

  // Tag > All and Tag > None.
  void TagAll();
  void UntagAll();
  // Tag > Selected: tags the given rows and never untags one. Rows outside
  // the list are ignored.
  void TagRows(std::span<const std::size_t> rows);
  // A double-click: the row's mark turns over.
  void Toggle(std::size_t row);

  // OK: writes exactly 1 or 0 into every card's tag flag. When a card's
  // tagged state changed, the document counts as changed (the tags are saved
  // with it); a flag of another nonzero value that becomes 1 is no change.
  // Returns whether anything changed. The collection must be the one the
  // marks were made from, unchanged in size.
  bool Apply(CardCollection& cards) const;

 private:
  std::vector<unsigned char> marks_;
};

}  // namespace tessel
