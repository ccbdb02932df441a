#include "cards/card_collection.h"

#include <algorithm>
#include <new>

namespace tessel {

void CardCollection::AddObserver(CardObserver* observer) {
  if (std::find(observers_.list.begin(), observers_.list.end(), observer) == observers_.list.end()) {
    observers_.list.push_back(observer);
  }
}

void CardCollection::RemoveObserver(CardObserver* observer) {
  std::erase(observers_.list, observer);
}

void CardCollection::Notify(const CardChange& change) {
  // By position, not by iterator: an observer may go while it is told.
  for (std::size_t i = 0; i < observers_.list.size(); ++i) observers_.list[i]->CardsChanged(change);
}

void CardCollection::Changed(const CardChange& change) {
  Notify(change);
  SetModified(true);
}

void CardCollection::SetModified(bool modified) {
  if (modified == modified_) return;
  modified_ = modified;
  for (std::size_t i = 0; i < observers_.list.size(); ++i) {
    observers_.list[i]->ModifiedChanged(modified);
  }
}

void CardCollection::MarkUnchanged() { SetModified(false); }

void CardCollection::MarkUnsaved() { SetModified(true); }

void CardCollection::MarkBodyKey() { SetModified(true); }

// --- edits ---

bool CardCollection::RenameCard(std::size_t i, std::string index) {
  if (i >= Size() || !ring_.SetText(i, &CardInfo::index, std::move(index))) return false;
  Changed({CardChange::Kind::Fields, i, 1, kIndexField});
  return true;
}

bool CardCollection::SetBody(std::size_t i, std::string body) {
  if (i >= Size() || !ring_.SetText(i, &CardInfo::body, std::move(body))) return false;
  Changed({CardChange::Kind::Fields, i, 1, kBodyField});
  return true;
}

bool CardCollection::SetTag(std::size_t i, int32_t tag) {
  if (i >= Size()) return false;
  const bool turned = (At(i).tag != 0) != (tag != 0);
  if (!ring_.SetTag(i, tag)) return false;
  Notify({CardChange::Kind::Fields, i, 1, kTagField});
  if (turned) SetModified(true);
  return turned;
}

bool CardCollection::SetTags(std::span<const unsigned char> tagged) {
  const std::size_t n = std::min(Size(), tagged.size());
  std::size_t first = n;
  std::size_t last = 0;
  bool turned = false;
  for (std::size_t i = 0; i < n; ++i) {
    const int32_t tag = tagged[i] != 0 ? 1 : 0;
    if ((At(i).tag != 0) != (tag != 0)) turned = true;
    if (!ring_.SetTag(i, tag)) continue;
    first = std::min(first, i);
    last = i;
  }
  if (first < n) Notify({CardChange::Kind::Fields, first, last - first + 1, kTagField});
  if (turned) SetModified(true);
  return turned;
}

void CardCollection::StoreFrontEdits(FrontField field, std::string text) {
  if (Empty()) return;
  if (field == FrontField::Index) {
    RenameCard(0, std::move(text));
  } else {
    SetBody(0, std::move(text));
  }
}

void CardCollection::StoreFrontEdits(FrontField field, std::size_t at, std::size_t length,
                                     std::string_view text) {
  const bool index = field == FrontField::Index;
  if (Empty() || !ring_.ReplaceText(0, index ? &CardInfo::index : &CardInfo::body, at, length, text)) {
    return;
  }
  Changed({CardChange::Kind::Fields, 0, 1, index ? kIndexField : kBodyField});
}

bool CardCollection::SetFormat(FormatSettings& format, const FormatSettings& value) {
  if (format == value) return false;
  format = value;
  Changed({CardChange::Kind::Format, 0, 0, 0});
  return true;
}

// --- cards in and out ---

void CardCollection::AddCard(std::string_view indexText) {
  ring_.Append(CardInfo(std::string(indexText)));
  stack_.Add(1);
  Changed({CardChange::Kind::Inserted, Size() - 1, 1, 0});
}

void CardCollection::DeleteFrontCard() {
  const std::size_t n = Size();
  if (n == 0) return;
  if (n != 1) {
    BringToFront(1);
    RefreshStack();
  }
  ring_.ShrinkTo(n - 1);
  stack_.RemoveLast();
  Changed({CardChange::Kind::Removed, n - 1, 1, 0});
}

std::size_t CardCollection::DuplicateCard(std::size_t i) {
  CardInfo copy = At(i);
  ring_.Insert(i + 1, std::move(copy));
  stack_.Add(1);
  Changed({CardChange::Kind::Inserted, i + 1, 1, 0});
  return i + 1;
}

bool CardCollection::AddCards(std::vector<CardInfo>&& cards) {
  const std::size_t before = Size();
  const std::size_t added = cards.size();
  try {
    ring_.Append(std::move(cards));
    stack_.Add(ring_.Size() - stack_.Size());
    ring_.Sort();
  } catch (const std::bad_alloc&) {
    // Growing the ring either succeeds or leaves it as it was, and the sort
    // takes all its room before it moves a card: taking the new cards off
    // the end undoes the rest.
    while (stack_.Size() > before) stack_.RemoveLast();
    ring_.ShrinkTo(before);
    std::vector<CardInfo>().swap(cards);
    return false;
  }
  RefreshStack();
  Notify({CardChange::Kind::Reset, 0, Size(), 0});
  if (added > 0) SetModified(true);
  return true;
}

// --- the order ---

void CardCollection::SortCards() {
  ring_.Sort();
  Notify({CardChange::Kind::Reordered, 0, Size(), 0});
}

void CardCollection::BringToFront(std::size_t k) {
  if (ring_.BringToFront(k)) Notify({CardChange::Kind::Reordered, 0, Size(), 0});
}

void CardCollection::BringIndexToFront(std::string_view text) {
  if (const std::optional<std::size_t> i = ring_.FindIndex(text)) BringToFront(*i);
}

void CardCollection::JumpToInitial(int c) {
  if (const std::optional<std::size_t> i = ring_.FindInitial(c)) BringToFront(*i);
}

void CardCollection::ResortKeepingFront() {
  if (Empty()) return;
  CardStackObserver* view = stack_.Observer();
  std::optional<std::string> shown;
  if (view) shown = view->FrontIndexFieldText();
  const std::string front = shown ? *shown : At(0).index;
  SortCards();
  BringIndexToFront(front);
  if (view) view->SetFrontIndexFieldText(front);
  RefreshStack();
}

// --- building blocks ---

void CardCollection::AddCardWindow(std::string_view indexText, bool createRecord) {
  if (createRecord) ring_.Append(CardInfo(std::string(indexText)));
  stack_.Add(1);
  if (createRecord) Notify({CardChange::Kind::Inserted, Size() - 1, 1, 0});
}

void CardCollection::AppendCards(std::vector<CardInfo>&& cards) {
  const std::size_t before = Size();
  ring_.Append(std::move(cards));
  if (ring_.Size() > stack_.Size()) stack_.Add(ring_.Size() - stack_.Size());
  if (Size() > before) Notify({CardChange::Kind::Inserted, before, Size() - before, 0});
}

void CardCollection::RemoveLastCard() {
  if (Empty()) return;
  ring_.ShrinkTo(Size() - 1);
  stack_.RemoveLast();
  Notify({CardChange::Kind::Removed, Size(), 1, 0});
}

void CardCollection::RemoveAllCards() {
  if (Empty()) return;
  ring_.Clear();
  Notify({CardChange::Kind::Reset, 0, 0, 0});
}

void CardCollection::RemoveAllCardWindows() { stack_.Clear(); }

}  // namespace tessel
