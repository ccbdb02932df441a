#include "cards/card_stack.h"

#include <algorithm>

namespace tessel {

StackRect CascadeRect(int clientHeight, std::size_t k) {
  const int step = kCascadeStep * static_cast<int>(std::min<std::size_t>(k, 1u << 24));
  const int top = clientHeight - kCardBottomGap - kCardHeight - step;
  return {step, top, kCardWidth + step, top + kCardHeight};
}

void CardStack::Add(std::size_t count) {
  for (; count > 0 && size_ < kOnScreenCards; --count) {
    StackEntry entry;
    entry.slot = size_++;
    if (onScreen_.empty()) {
      entry.rect = CascadeRect(clientHeight_, 0);
    } else {
      entry.rect = onScreen_.back().rect;
      entry.rect.left += kCascadeStep;
      entry.rect.right += kCascadeStep;
      entry.rect.top -= kCascadeStep;
      entry.rect.bottom -= kCascadeStep;
    }
    onScreen_.push_back(entry);
    if (observer_) observer_->CardWindowAdded(entry);
  }
  if (count == 0) return;
  size_ += count;
  if (observer_) observer_->PlaceholdersAdded(count);
}

void CardStack::RemoveLast() {
  if (size_ == 0) return;
  --size_;
  if (size_ >= kOnScreenCards) return;
  const StackEntry last = onScreen_.back();
  onScreen_.pop_back();
  if (observer_) observer_->CardWindowRemoved(last);
}

void CardStack::Refresh(std::size_t cards) {
  if (cards == 0) return;
  if (observer_) observer_->StackRefreshed();
}

void CardStack::Layout(int clientHeight) {
  clientHeight_ = clientHeight;
  for (StackEntry& entry : onScreen_) entry.rect = CascadeRect(clientHeight, entry.slot);
  if (observer_) observer_->StackLaidOut();
}

void CardStack::Clear() {
  const bool hadWindows = !onScreen_.empty();
  onScreen_.clear();
  size_ = 0;
  if (observer_ && hadWindows) observer_->CardWindowsCleared();
}

}  // namespace tessel
