#include "cards/card_collection.h"

#include <algorithm>
#include <memory>
#include <thread>

#include "cards/card_sort.h"
#include "cards/codepage.h"

namespace tessel {

StackRect CascadeRect(int clientHeight, std::size_t k) {
  const int step = kCascadeStep * static_cast<int>(std::min<std::size_t>(k, 1u << 24));
  const int top = clientHeight - kCardBottomGap - kCardHeight - step;
  return {step, top, kCardWidth + step, top + kCardHeight};
}

std::size_t CardCollection::TaggedCount() const {
  // A pass over every record: on two cores for a large collection.
  const std::size_t n = cards_.size();
  std::size_t counts[2] = {0, 0};
  InTwo([&](bool second) {
    const auto from = cards_.begin() + static_cast<std::ptrdiff_t>(second ? n / 2 : 0);
    const auto to = cards_.begin() + static_cast<std::ptrdiff_t>(second ? n : n / 2);
    counts[second] = static_cast<std::size_t>(
        std::count_if(from, to, [](const CardInfo& c) { return c.tag != 0; }));
  }, n >= kParallelFrom);
  return counts[0] + counts[1];
}

void CardCollection::SortCards() { SortRecords(cards_); }

void CardCollection::BringToFront(std::size_t k) {
  if (k == 0 || k >= cards_.size()) return;
  std::rotate(cards_.begin(), cards_.begin() + static_cast<std::ptrdiff_t>(k), cards_.end());
}

void CardCollection::BringIndexToFront(std::string_view text) {
  for (std::size_t i = 0; i < cards_.size(); ++i) {
    if (MbsICmp(text, cards_[i].index) == 0) {
      BringToFront(i);
      return;
    }
  }
}

void CardCollection::JumpToInitial(int c) {
  for (std::size_t i = 1; i < cards_.size(); ++i) {
    const std::string& index = cards_[i].index;
    const int b = index.empty() ? 0 : static_cast<signed char>(index[0]);
    if (b == c || b == c - 32) {
      BringToFront(i);
      return;
    }
  }
}

void CardCollection::ResortKeepingFront() {
  if (cards_.empty()) return;
  std::optional<std::string> shown;
  if (observer_) shown = observer_->FrontIndexFieldText();
  const std::string front = shown ? *shown : cards_[0].index;
  SortCards();
  BringIndexToFront(front);
  if (observer_) observer_->SetFrontIndexFieldText(front);
  RefreshStack();
}

void CardCollection::AddCardWindow(std::string_view indexText, bool createRecord) {
  if (createRecord) cards_.emplace_back(std::string(indexText));
  const std::size_t slot = stackSize_++;
  if (slot >= kOnScreenCards) {
    if (observer_) observer_->PlaceholdersAdded(1);
    return;
  }
  StackEntry entry;
  entry.slot = slot;
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

void CardCollection::AppendCards(std::vector<CardInfo>&& cards) {
  const std::size_t added = cards.size();
  if (cards_.empty()) {
    cards_ = std::move(cards);
  } else {
    cards_.insert(cards_.end(), std::make_move_iterator(cards.begin()),
                  std::make_move_iterator(cards.end()));
  }
  cards.clear();
  for (std::size_t i = 0; i < added && stackSize_ < kOnScreenCards; ++i) {
    AddCardWindow(cards_[stackSize_].index, false);
  }
  const std::size_t placeholders = cards_.size() - stackSize_;
  stackSize_ = cards_.size();
  if (placeholders > 0 && observer_) observer_->PlaceholdersAdded(placeholders);
}

void CardCollection::RemoveLastCard() {
  if (cards_.empty()) return;
  cards_.pop_back();
  --stackSize_;
  if (stackSize_ >= kOnScreenCards) return;
  const StackEntry last = onScreen_.back();
  onScreen_.pop_back();
  if (observer_) observer_->CardWindowRemoved(last);
}

void CardCollection::RefreshStack() {
  if (cards_.empty()) return;
  if (observer_) observer_->StackRefreshed();
}

void CardCollection::StoreFrontEdits(FrontField field, std::string text) {
  if (cards_.empty()) return;
  (field == FrontField::Index ? cards_[0].index : cards_[0].body) = std::move(text);
}

void CardCollection::StoreFrontEdits(FrontField field, std::size_t at, std::size_t length,
                                     std::string_view text) {
  if (cards_.empty()) return;
  std::string& stored = field == FrontField::Index ? cards_[0].index : cards_[0].body;
  if (at > stored.size() || length > stored.size() - at) return;
  stored.replace(at, length, text);
}

void CardCollection::LayoutStack(int clientHeight) {
  clientHeight_ = clientHeight;
  for (StackEntry& entry : onScreen_) entry.rect = CascadeRect(clientHeight, entry.slot);
  if (observer_) observer_->StackLaidOut();
}

void CardCollection::RemoveAllCards() {
  std::vector<CardInfo> gone;
  gone.swap(cards_);
  // Freeing a million texts one by one takes a good part of a second; the
  // user should not wait for it on New, Open or Exit.
  if (gone.size() >= kFreeInBackgroundFrom) {
    std::thread([cards = std::move(gone)]() mutable { std::vector<CardInfo>().swap(cards); })
        .detach();
  }
}

void CardCollection::RemoveAllCardWindows() {
  const bool hadWindows = !onScreen_.empty();
  onScreen_.clear();
  stackSize_ = 0;
  if (observer_ && hadWindows) observer_->CardWindowsCleared();
}

}  // namespace tessel
