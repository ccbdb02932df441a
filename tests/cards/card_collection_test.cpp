#include "cards/card_collection.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "cards/codepage.h"

namespace tessel {
namespace {

std::vector<std::string> Indexes(const CardCollection& c) {
  std::vector<std::string> out;
  for (const CardInfo& card : c.Cards()) out.push_back(card.index);
  return out;
}

CardCollection Make(const std::vector<std::string>& indexes) {
  CardCollection c;
  std::vector<CardInfo> cards;
  for (const std::string& i : indexes) cards.emplace_back(i);
  c.AppendCards(std::move(cards));
  return c;
}

// The neighbour-swapping bubble sort whose order SortCards must reproduce.
void BubbleSort(std::vector<CardInfo>& v) {
  const std::size_t n = v.size();
  std::size_t p = 1;
  bool exchanged = true;
  while (exchanged && n > 1) {
    exchanged = false;
    for (std::size_t i = 0; i + p < n; ++i) {
      if (MbsICmp(v[i + 1].index, v[i].index) < 0) {
        std::swap(v[i], v[i + 1]);
        exchanged = true;
      }
    }
    ++p;
  }
}

TEST(CardCollection, SortIgnoresCaseAndKeepsEqualKeysInOrder) {
  CardCollection c = Make({"b", "C", "a"});
  c.SortCards();
  EXPECT_EQ(Indexes(c), (std::vector<std::string>{"a", "b", "C"}));

  c = Make({"apple", "Zed", "Apple", "APPLE"});
  c.SortCards();
  EXPECT_EQ(Indexes(c), (std::vector<std::string>{"apple", "Apple", "APPLE", "Zed"}));
  c.BringIndexToFront("aPPle");
  EXPECT_EQ(c.At(0).index, "apple");
}

// Random texts with many equal keys, in random and in rotated-sorted order
// (the order of a saved file), must sort exactly as the bubble sort does.
TEST(CardCollection, SortMatchesBubbleSortOnRandomAndRotatedInput) {
  std::mt19937 rng(42);
  const char* pool[] = {"a", "A", "ab", "Ab", "b", "B", "ba", "\xE9", "\xC9", "", "longer text 1",
                        "LONGER TEXT 1", "longer text 2", "longer text", "a\0b"};
  for (int round = 0; round < 300; ++round) {
    const std::size_t n = rng() % 40;
    std::vector<CardInfo> cards;
    for (std::size_t i = 0; i < n; ++i) {
      cards.emplace_back(pool[rng() % std::size(pool)], std::to_string(i), 1);
    }
    if (round % 2 && n > 0) {  // a sorted ring starting somewhere
      BubbleSort(cards);
      std::rotate(cards.begin(), cards.begin() + static_cast<long>(rng() % n), cards.end());
    }
    std::vector<CardInfo> expected = cards;
    BubbleSort(expected);
    CardCollection c;
    c.AppendCards(std::move(cards));
    c.SortCards();
    ASSERT_EQ(c.Cards(), expected) << "round " << round;
  }
}

// Large collections sort in two halves on two threads; equal keys must keep
// their first-come order across the halves. The records are then moved in
// place, block by block. Each kind of index has to come out in the order a
// stable comparison sort gives, every card with its own body: a few large
// groups of equal keys, a random order of distinct keys, and keys that share
// their first bytes (all of the first eight, or only some).
TEST(CardCollection, LargeSortIsStableAcrossHalves) {
  std::mt19937 rng(3);
  const auto letters = [&rng](int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s += static_cast<char>('a' + rng() % 26);
    return s;
  };
  const std::vector<std::pair<const char*, std::function<std::string()>>> kinds = {
      {"few keys", [&] { return std::string(1, static_cast<char>('a' + rng() % 3)) + "longer-prefix"; }},
      {"distinct keys", [&] { return letters(10); }},
      {"common start", [&] { return "Pa" + letters(6); }},
      {"common eight bytes", [&] { return "Customer" + letters(rng() % 3); }},
  };
  for (const auto& [kind, make] : kinds) {
    std::vector<CardInfo> cards;
    for (int i = 0; i < 120000; ++i) {
      const std::string stem = make();
      cards.emplace_back(rng() % 2 ? MbsUpr(stem) : stem, std::to_string(i), static_cast<int32_t>(i % 2));
    }
    std::vector<CardInfo> expected = cards;
    std::stable_sort(expected.begin(), expected.end(), [](const CardInfo& a, const CardInfo& b) {
      return MbsICmp(a.index, b.index) < 0;
    });
    CardCollection c;
    c.AppendCards(std::move(cards));
    c.SortCards();
    ASSERT_EQ(c.Cards(), expected) << kind;
    EXPECT_EQ(c.TaggedCount(), 60000u) << kind;  // counted in two halves too
  }
}

TEST(CardCollection, RotationsAndJumps) {
  CardCollection c = Make({"a", "b", "c", "d"});
  c.BringToFront(2);
  EXPECT_EQ(Indexes(c), (std::vector<std::string>{"c", "d", "a", "b"}));
  c.BringToFront(0);
  EXPECT_EQ(c.At(0).index, "c");
  c.BringIndexToFront("nothing");
  EXPECT_EQ(c.At(0).index, "c");

  c = Make({"Alpha", "mike", "Mary"});
  c.JumpToInitial('m');
  EXPECT_EQ(c.At(0).index, "mike");
  c = Make({"Mary", "Alpha", "zulu"});
  c.JumpToInitial('m');  // the front card is never a candidate
  EXPECT_EQ(c.At(0).index, "Mary");
  c = Make({"Alpha", "beta", "Mary"});
  c.JumpToInitial('m');
  EXPECT_EQ(c.At(0).index, "Mary");

  CardCollection one = Make({"solo"});
  one.JumpToInitial('s');
  one.BringToFront(1);
  EXPECT_EQ(Indexes(one), (std::vector<std::string>{"solo"}));

  CardCollection empty;
  empty.SortCards();
  empty.BringIndexToFront("x");
  empty.JumpToInitial('x');
  empty.ResortKeepingFront();
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.StackSize(), 0u);
}

struct RecordingObserver : CardStackObserver {
  std::vector<std::size_t> added, removed;
  int cleared = 0, refreshed = 0, laidOut = 0;
  std::optional<std::string> field;
  void CardWindowAdded(const StackEntry& e) override { added.push_back(e.slot); }
  void CardWindowRemoved(const StackEntry& e) override { removed.push_back(e.slot); }
  void CardWindowsCleared() override { ++cleared; }
  void StackRefreshed() override { ++refreshed; }
  void StackLaidOut() override { ++laidOut; }
  std::optional<std::string> FrontIndexFieldText() const override { return field; }
  void SetFrontIndexFieldText(const std::string& t) override { field = t; }
};

TEST(CardCollection, ResortKeepsTheCardShownInFront) {
  CardCollection c = Make({"delta", "alpha", "charlie", "bravo"});
  RecordingObserver o;
  c.SetObserver(&o);
  c.BringToFront(2);  // charlie in front
  c.ResortKeepingFront();
  EXPECT_EQ(Indexes(c), (std::vector<std::string>{"charlie", "delta", "alpha", "bravo"}));
  EXPECT_EQ(o.field, "charlie");
  EXPECT_EQ(o.refreshed, 1);

  // The index field runs ahead of the record while the user types: its text
  // decides which card stays in front.
  o.field = "BRAVO";
  c.ResortKeepingFront();
  EXPECT_EQ(c.At(0).index, "bravo");
  EXPECT_EQ(o.field, "BRAVO");
}

TEST(CardCollection, StackFollowsTheCascadeAndKeepsTwentyWindows) {
  CardCollection c;
  RecordingObserver o;
  c.SetObserver(&o);
  c.SetClientHeight(300);
  for (int i = 0; i < 25; ++i) c.AddCardWindow("card " + std::to_string(i), true);
  ASSERT_EQ(c.Size(), 25u);
  ASSERT_EQ(c.StackSize(), 25u);
  const auto& shown = c.OnScreenEntries();
  ASSERT_EQ(shown.size(), 20u);
  EXPECT_EQ(o.added.size(), 20u);
  EXPECT_EQ(shown[0].rect, (StackRect{0, 82, 500, 282}));
  EXPECT_EQ(shown[3].rect, (StackRect{75, 7, 575, 207}));
  EXPECT_EQ(shown[19].rect, CascadeRect(300, 19));
  for (std::size_t k = 0; k < 20; ++k) EXPECT_EQ(shown[k].slot, k);
  EXPECT_EQ(c.At(24).tag, 1);
  EXPECT_TRUE(c.At(24).body.empty());

  c.LayoutStack(600);
  EXPECT_EQ(shown[0].rect, (StackRect{0, 382, 500, 582}));
  EXPECT_EQ(shown[19].rect, CascadeRect(600, 19));
  EXPECT_EQ(o.laidOut, 1);

  // Removing from the end: the 21st entry has no window, the 20th has one.
  c.RemoveLastCard();
  c.RemoveLastCard();
  c.RemoveLastCard();
  c.RemoveLastCard();
  c.RemoveLastCard();
  EXPECT_TRUE(o.removed.empty());
  c.RemoveLastCard();
  EXPECT_EQ(o.removed, std::vector<std::size_t>{19});
  EXPECT_EQ(c.Size(), c.StackSize());
  EXPECT_EQ(shown.size(), 19u);

  c.RemoveAllCards();
  c.RemoveAllCardWindows();
  EXPECT_TRUE(c.Empty());
  EXPECT_EQ(c.StackSize(), 0u);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(o.cleared, 1);
}

}  // namespace
}  // namespace tessel
