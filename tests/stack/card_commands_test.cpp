#include "stack/card_commands.h"

#include <gtest/gtest.h>

#include "support/cards_for_test.h"

#include "stack/body_text.h"

namespace tessel {
namespace {

// Records which stack entries lose their window.
struct WindowLog : CardStackObserver {
  std::vector<std::size_t> removed;
  int refreshed = 0;
  void CardWindowAdded(const StackEntry&) override {}
  void CardWindowRemoved(const StackEntry& e) override { removed.push_back(e.slot); }
  void CardWindowsCleared() override {}
  void StackRefreshed() override { ++refreshed; }
  void StackLaidOut() override {}
};

std::vector<std::string> Indexes(const CardCollection& c) {
  std::vector<std::string> out;
  for (const CardInfo& card : c.Cards()) out.push_back(card.index);
  return out;
}

TEST(CardCommands, AddNamesTheCardByTheCountAndBringsItsNameForward) {
  CardCollection empty;
  EXPECT_EQ(AddCard(empty), "Type Index Text Here #1");
  EXPECT_EQ(Indexes(empty), std::vector<std::string>{"Type Index Text Here #1"});
  EXPECT_EQ(empty.StackSize(), 1u);
  EXPECT_TRUE(empty.Modified());
  EXPECT_EQ(empty.At(0).tag, 1);

  // Appended, then rotated forward: out of ring order until the next sort.
  CardCollection c = Cards({{"alpha", ""}, {"beta", ""}, {"gamma", ""}});
  AddCard(c);
  EXPECT_EQ(Indexes(c), (std::vector<std::string>{"Type Index Text Here #4", "alpha", "beta",
                                                  "gamma"}));
  AddCard(c);
  EXPECT_EQ(c.At(0).index, "Type Index Text Here #5");
  EXPECT_EQ(c.At(1).index, "Type Index Text Here #4");
  c.SortCards();
  EXPECT_EQ(c.At(0).index, "alpha");

  // An older card of the same name (ignoring case) wins; the new one waits
  // at the back.
  CardCollection twin = Cards({{"a", ""}, {"TYPE INDEX TEXT HERE #3", "old"}});
  AddCard(twin);
  EXPECT_EQ(Indexes(twin), (std::vector<std::string>{"TYPE INDEX TEXT HERE #3",
                                                     "Type Index Text Here #3", "a"}));
  EXPECT_EQ(twin.At(0).body, "old");
}

TEST(CardCommands, DeleteRemovesTheFrontCardAndTheLastWindow) {
  CardCollection c = Cards({{"a", ""}, {"b", ""}, {"c", ""}});
  c.BringToFront(1);  // b, c, a
  DeleteFrontCard(c);
  EXPECT_EQ(Indexes(c), (std::vector<std::string>{"c", "a"}));
  EXPECT_TRUE(c.Modified());
  EXPECT_EQ(c.StackSize(), 2u);

  CardCollection one = Cards({{"only", ""}});
  WindowLog log;
  one.SetObserver(&log);
  DeleteFrontCard(one);
  EXPECT_TRUE(one.Empty());
  EXPECT_EQ(one.StackSize(), 0u);
  EXPECT_EQ(log.removed, std::vector<std::size_t>{0});  // the front window itself
  DeleteFrontCard(one);  // nothing left: nothing happens
  EXPECT_EQ(log.removed.size(), 1u);

  // 21 entries: the last has no window, so none closes; at 20 the window of
  // entry 19 goes.
  CardCollection many;
  for (int i = 0; i < 21; ++i) many.AddCardWindow("card " + std::to_string(100 + i), true);
  many.SetObserver(&log);
  log.removed.clear();
  DeleteFrontCard(many);
  EXPECT_TRUE(log.removed.empty());
  EXPECT_EQ(many.OnScreenEntries().size(), 20u);
  EXPECT_EQ(many.At(0).index, "card 101");
  DeleteFrontCard(many);
  EXPECT_EQ(log.removed, std::vector<std::size_t>{19});
  EXPECT_EQ(many.Size(), 19u);
  EXPECT_EQ(many.StackSize(), 19u);
  EXPECT_EQ(many.At(0).index, "card 102");
  many.SetObserver(nullptr);
}

TEST(CardCommands, GoToSearchesTheIndexesAfterTheFrontCard) {
  CardCollection c = Cards({{"alpha", ""}, {"Beta", ""}, {"gamma", ""}});
  EXPECT_EQ(GoToIndex(c, ""), GoToResult::EmptyText);
  EXPECT_EQ(GoToIndex(c, "alp"), GoToResult::NotFound);  // only the front card has it
  EXPECT_EQ(c.At(0).index, "alpha");
  EXPECT_EQ(GoToIndex(c, "ET"), GoToResult::Found);
  EXPECT_EQ(Indexes(c), (std::vector<std::string>{"Beta", "gamma", "alpha"}));
  EXPECT_EQ(GoToIndex(c, "alp"), GoToResult::Found);  // now it is behind the front

  CardCollection one = Cards({{"only", ""}});
  EXPECT_EQ(GoToIndex(one, "only"), GoToResult::NotFound);
}

// The front body as an editor shows it, searched exactly.
FrontBodySearch EditorSearch(const CardCollection& c, const SearchState& s, int* calls = nullptr) {
  return [&c, &s, calls](std::size_t from) {
    if (calls) ++*calls;
    return FindInText(BodyForEditor(c.At(0).body), s.text, from, s.options);
  };
}

TEST(CardCommands, FindNextGoesOnInTheFrontBodyThenThroughTheRing) {
  CardCollection c = Cards({{"a", "one word\r\ntwo word"},
                            {"b", "nothing"},
                            {"c", "a Word here"},
                            {"d", "word again"}});
  SearchState s;
  s.text = "word";
  // Positions are the editor's: one character per line break.
  EXPECT_EQ(FindNextHit(c, s, EditorSearch(c, s)), 4u);
  s.savedEnd = 8;
  EXPECT_EQ(FindNextHit(c, s, EditorSearch(c, s)), 13u);
  EXPECT_EQ(c.At(0).index, "a");
  s.savedEnd = 17;
  EXPECT_EQ(FindNextHit(c, s, EditorSearch(c, s)), 2u);  // 'b' is skipped without moving
  EXPECT_EQ(c.At(0).index, "c");

  // Match case: 'c' passes the quick test but not the exact one, so it stays
  // in front and the walk goes on to 'd'.
  c.BringToFront(3);  // a, b, c, d
  s.options.matchCase = true;
  s.savedEnd = 17;
  EXPECT_EQ(FindNextHit(c, s, EditorSearch(c, s)), 0u);
  EXPECT_EQ(c.At(0).index, "d");

  // Whole word: "word" inside "password" does not count; nothing else has
  // it, the walk never returns to where it began, and the last candidate
  // brought forward stays in front.
  CardCollection w = Cards({{"x", "word"}, {"y", "password"}, {"z", "swordfish"}, {"q", "-"}});
  SearchState whole;
  whole.text = "word";
  whole.options.wholeWord = true;
  whole.savedEnd = 4;
  EXPECT_EQ(FindNextHit(w, whole, EditorSearch(w, whole)), std::nullopt);
  EXPECT_EQ(w.At(0).index, "z");
  whole.options.wholeWord = false;
  w.BringToFront(2);  // z, q, x, y: x in front again
  EXPECT_EQ(FindNextHit(w, whole, EditorSearch(w, whole)), 4u);
  EXPECT_EQ(w.At(0).index, "y");
}

TEST(CardCommands, FindNextWithOneCardOrAnEmptyTextMovesNothing) {
  CardCollection one = Cards({{"a", "the end"}});
  SearchState s;
  s.text = "the";
  s.savedEnd = 3;  // the only occurrence lies before the selection
  EXPECT_EQ(FindNextHit(one, s, EditorSearch(one, s)), std::nullopt);

  CardCollection c = Cards({{"a", "x"}, {"b", "y"}, {"c", "z"}});
  WindowLog log;
  c.SetObserver(&log);
  SearchState empty;
  int calls = 0;
  EXPECT_EQ(FindNextHit(c, empty, EditorSearch(c, empty, &calls)), std::nullopt);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(log.refreshed, 0);
  EXPECT_EQ(c.At(0).index, "a");
  c.SetObserver(nullptr);
}

}  // namespace
}  // namespace tessel
