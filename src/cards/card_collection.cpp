#include "cards/card_collection.h"

#include <algorithm>
#include <cstdint>

#include "cards/codepage.h"

namespace tessel {

StackRect CascadeRect(int clientHeight, std::size_t k) {
  const int step = kCascadeStep * static_cast<int>(std::min<std::size_t>(k, 1u << 24));
  const int top = clientHeight - kCardBottomGap - kCardHeight - step;
  return {step, top, kCardWidth + step, top + kCardHeight};
}

std::size_t CardCollection::TaggedCount() const {
  return static_cast<std::size_t>(
      std::count_if(cards_.begin(), cards_.end(), [](const CardInfo& c) { return c.tag != 0; }));
}

void CardCollection::SortCards() {
  const std::size_t n = cards_.size();
  if (n < 2) return;

  // Files written by this program hold a sorted ring that starts at the card
  // that was in front, so a load usually needs only a rotation. That is the
  // stable order too, provided no card of the tail equals one of the head.
  std::size_t descents = 0;
  std::size_t at = 0;
  for (std::size_t i = 0; i + 1 < n && descents < 2; ++i) {
    if (MbsICmp(cards_[i + 1].index, cards_[i].index) < 0) {
      ++descents;
      at = i;
    }
  }
  if (descents == 0) return;
  if (descents == 1 && MbsICmp(cards_[n - 1].index, cards_[0].index) < 0) {
    std::rotate(cards_.begin(), cards_.begin() + static_cast<std::ptrdiff_t>(at + 1),
                cards_.end());
    return;
  }

  // General case: a stable sort of small keys, then one in-place permutation,
  // so that no second array of records is needed.
  struct Key {
    uint64_t prefix;
    std::size_t from;
  };
  std::vector<Key> keys(n);
  for (std::size_t i = 0; i < n; ++i) keys[i] = {FoldedPrefix(cards_[i].index), i};
  std::stable_sort(keys.begin(), keys.end(), [this](const Key& a, const Key& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    return MbsICmp(cards_[a.from].index, cards_[b.from].index) < 0;
  });
  for (std::size_t i = 0; i < n; ++i) {
    if (keys[i].from == i) continue;
    CardInfo held = std::move(cards_[i]);
    std::size_t j = i;
    while (true) {
      const std::size_t k = keys[j].from;
      keys[j].from = j;  // done
      if (k == i) {
        cards_[j] = std::move(held);
        break;
      }
      cards_[j] = std::move(cards_[k]);
      j = k;
    }
  }
}

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
  StackEntry entry;
  entry.slot = stack_.size();
  if (stack_.empty()) {
    entry.rect = CascadeRect(clientHeight_, 0);
  } else {
    entry.rect = stack_.back().rect;
    entry.rect.left += kCascadeStep;
    entry.rect.right += kCascadeStep;
    entry.rect.top -= kCascadeStep;
    entry.rect.bottom -= kCascadeStep;
  }
  stack_.push_back(entry);
  if (createRecord) cards_.emplace_back(std::string(indexText));
  if (observer_ && entry.OnScreen()) observer_->CardWindowAdded(entry);
}

void CardCollection::AppendCards(std::vector<CardInfo>&& cards) {
  cards_.reserve(cards_.size() + cards.size());
  stack_.reserve(stack_.size() + cards.size());
  for (CardInfo& card : cards) {
    cards_.push_back(std::move(card));
    AddCardWindow(cards_.back().index, false);
  }
  cards.clear();
}

void CardCollection::RemoveLastCard() {
  if (cards_.empty()) return;
  const StackEntry last = stack_.back();
  stack_.pop_back();
  cards_.pop_back();
  if (observer_ && last.OnScreen()) observer_->CardWindowRemoved(last);
}

void CardCollection::RefreshStack() {
  if (cards_.empty()) return;
  if (observer_) observer_->StackRefreshed();
}

void CardCollection::LayoutStack(int clientHeight) {
  clientHeight_ = clientHeight;
  const std::size_t shown = std::min(stack_.size(), kOnScreenCards);
  for (std::size_t k = 0; k < shown; ++k) stack_[k].rect = CascadeRect(clientHeight, k);
  if (observer_) observer_->StackLaidOut();
}

void CardCollection::RemoveAllCards() {
  cards_.clear();
  cards_.shrink_to_fit();
}

void CardCollection::RemoveAllCardWindows() {
  const bool hadWindows = !stack_.empty();
  stack_.clear();
  stack_.shrink_to_fit();
  if (observer_ && hadWindows) observer_->CardWindowsCleared();
}

}  // namespace tessel
