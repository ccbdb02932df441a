// Window rectangles in pixels, shared by the card stack's bookkeeping, the
// window placement and the card windows.
#pragma once

namespace tessel {

struct StackRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const StackRect&) const = default;
};

}  // namespace tessel
