#include "cards/card_ring.h"

#include <algorithm>
#include <thread>

#include "cards/card_sort.h"
#include "cards/codepage.h"

namespace tessel {

std::size_t CardRing::TaggedCount() const {
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

void CardRing::Sort() { SortRecords(cards_); }

bool CardRing::BringToFront(std::size_t k) {
  if (k == 0 || k >= cards_.size()) return false;
  std::rotate(cards_.begin(), cards_.begin() + static_cast<std::ptrdiff_t>(k), cards_.end());
  return true;
}

std::optional<std::size_t> CardRing::FindIndex(std::string_view text) const {
  for (std::size_t i = 0; i < cards_.size(); ++i) {
    if (MbsICmp(text, cards_[i].index) == 0) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> CardRing::FindInitial(int c) const {
  for (std::size_t i = 1; i < cards_.size(); ++i) {
    const std::string& index = cards_[i].index;
    const int b = index.empty() ? 0 : static_cast<signed char>(index[0]);
    if (b == c || b == c - 32) return i;
  }
  return std::nullopt;
}

bool CardRing::SetText(std::size_t i, std::string CardInfo::*field, std::string&& text) {
  std::string& held = cards_[i].*field;
  if (held == text) return false;
  held = std::move(text);
  return true;
}

bool CardRing::ReplaceText(std::size_t i, std::string CardInfo::*field, std::size_t at,
                           std::size_t length, std::string_view text) {
  std::string& held = cards_[i].*field;
  if (at > held.size() || length > held.size() - at) return false;
  if (held.compare(at, length, text) == 0) return false;
  held.replace(at, length, text);
  return true;
}

bool CardRing::SetTag(std::size_t i, int32_t tag) {
  if (cards_[i].tag == tag) return false;
  cards_[i].tag = tag;
  return true;
}

void CardRing::Append(std::vector<CardInfo>&& cards) {
  if (cards_.empty()) {
    cards_ = std::move(cards);
  } else {
    cards_.insert(cards_.end(), std::make_move_iterator(cards.begin()),
                  std::make_move_iterator(cards.end()));
  }
  cards.clear();
}

void CardRing::Insert(std::size_t at, CardInfo&& card) {
  cards_.insert(cards_.begin() + static_cast<std::ptrdiff_t>(std::min(at, cards_.size())),
                std::move(card));
}

void CardRing::ShrinkTo(std::size_t size) {
  if (size < cards_.size()) cards_.erase(cards_.begin() + static_cast<std::ptrdiff_t>(size), cards_.end());
}

void CardRing::Clear() {
  std::vector<CardInfo> gone;
  gone.swap(cards_);
  // Freeing a million texts one by one takes a good part of a second; the
  // user should not wait for it on New, Open or Exit.
  if (gone.size() >= kFreeInBackgroundFrom) {
    std::thread([cards = std::move(gone)]() mutable { std::vector<CardInfo>().swap(cards); })
        .detach();
  }
}

}  // namespace tessel
