// Every operation of the card model: whether it marks the document changed,
// and what it tells its observers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cards/card_collection.h"
#include "cards/card_file.h"

namespace tessel {
namespace {

using Kind = CardChange::Kind;

struct Recorder : CardObserver {
  std::vector<CardChange> changes;
  std::vector<bool> flags;
  void CardsChanged(const CardChange& change) override { changes.push_back(change); }
  void ModifiedChanged(bool modified) override { flags.push_back(modified); }
};

// "a" (tagged, body "x"), "b" (untagged), "c" (tag 7), unchanged.
CardCollection Three() {
  CardCollection c;
  c.AppendCards({CardInfo("a", "x", 1), CardInfo("b", "", 0), CardInfo("c", "", 7)});
  return c;
}

std::string Indexes(const CardCollection& c) {
  std::string out;
  for (const CardInfo& card : c.Cards()) out += card.index + card.body + std::to_string(card.tag) + ' ';
  return out;
}

TEST(CardModel, EachOperationMarksExactlyRealChangesAndTellsWhatChanged) {
  FormatSettings format;
  FormatSettings bigger = format;
  bigger.bodySize += 2;
  const unsigned char flipB[] = {1, 1, 1};
  const unsigned char same[] = {1, 0, 1};
  struct Row {
    const char* name;
    std::function<void(CardCollection&)> op;
    bool modified;
    std::vector<CardChange> told;
    const char* after;
  };
  const std::vector<Row> rows = {
      {"rename", [](CardCollection& c) { c.RenameCard(1, "B"); }, true,
       {{Kind::Fields, 1, 1, kIndexField}}, "ax1 B0 c7 "},
      {"rename to the same text", [](CardCollection& c) { c.RenameCard(1, "b"); }, false, {},
       "ax1 b0 c7 "},
      {"set a body", [](CardCollection& c) { c.SetBody(0, "y"); }, true,
       {{Kind::Fields, 0, 1, kBodyField}}, "ay1 b0 c7 "},
      {"set the same body", [](CardCollection& c) { c.SetBody(0, "x"); }, false, {},
       "ax1 b0 c7 "},
      {"front edits", [](CardCollection& c) { c.StoreFrontEdits(FrontField::Index, "A"); }, true,
       {{Kind::Fields, 0, 1, kIndexField}}, "Ax1 b0 c7 "},
      {"tag a card", [](CardCollection& c) { c.SetTag(1, 1); }, true,
       {{Kind::Fields, 1, 1, kTagField}}, "ax1 b1 c7 "},
      // A tag is a flag: 7 and 1 both say tagged.
      {"tag a tagged card", [](CardCollection& c) { c.SetTag(2, 1); }, false,
       {{Kind::Fields, 2, 1, kTagField}}, "ax1 b0 c1 "},
      {"set many tags", [&](CardCollection& c) { c.SetTags(flipB); }, true,
       {{Kind::Fields, 1, 2, kTagField}}, "ax1 b1 c1 "},
      {"set tags as they are", [&](CardCollection& c) { c.SetTags(same); }, false,
       {{Kind::Fields, 2, 1, kTagField}}, "ax1 b0 c1 "},
      {"a key in the body", [](CardCollection& c) { c.MarkBodyKey(); }, true, {}, "ax1 b0 c7 "},
      {"new format", [&](CardCollection& c) { c.SetFormat(format, bigger); }, true,
       {{Kind::Format, 0, 0, 0}}, "ax1 b0 c7 "},
      {"same format", [&](CardCollection& c) { c.SetFormat(format, format); }, false, {},
       "ax1 b0 c7 "},
      {"add", [](CardCollection& c) { c.AddCard("new"); }, true, {{Kind::Inserted, 3, 1, 0}},
       "ax1 b0 c7 new1 "},
      {"delete", [](CardCollection& c) { c.DeleteFrontCard(); }, true,
       {{Kind::Reordered, 0, 3, 0}, {Kind::Removed, 2, 1, 0}}, "b0 c7 "},
      {"duplicate", [](CardCollection& c) { c.DuplicateCard(0); }, true,
       {{Kind::Inserted, 1, 1, 0}}, "ax1 ax1 b0 c7 "},
      {"add cards", [](CardCollection& c) { (void)c.AddCards({CardInfo("B", "", 1)}); }, true,
       {{Kind::Reset, 0, 4, 0}}, "ax1 b0 B1 c7 "},
      {"add no cards", [](CardCollection& c) { (void)c.AddCards({}); }, false,
       {{Kind::Reset, 0, 3, 0}}, "ax1 b0 c7 "},
      {"sort", [](CardCollection& c) { c.SortCards(); }, false, {{Kind::Reordered, 0, 3, 0}},
       "ax1 b0 c7 "},
      {"rotate", [](CardCollection& c) { c.BringToFront(2); }, false,
       {{Kind::Reordered, 0, 3, 0}}, "c7 ax1 b0 "},
      {"rotate by nothing", [](CardCollection& c) { c.BringToFront(0); }, false, {},
       "ax1 b0 c7 "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    format = FormatSettings{};
    CardCollection c = Three();
    Recorder r;
    c.AddObserver(&r);
    row.op(c);
    EXPECT_EQ(c.Modified(), row.modified);
    EXPECT_EQ(r.changes, row.told);
    EXPECT_EQ(r.flags, row.modified ? std::vector<bool>{true} : std::vector<bool>{});
    EXPECT_EQ(Indexes(c), row.after);
    EXPECT_EQ(c.StackSize(), c.Size());

    // Marked once: a second change tells the cards, not the flag again.
    r.flags.clear();
    c.MarkBodyKey();
    c.MarkUnchanged();
    EXPECT_FALSE(c.Modified());
    EXPECT_EQ(r.flags.size(), row.modified ? 1u : 2u);
    c.RemoveObserver(&r);
  }
}

TEST(CardModel, DuplicateStandsRightAfterItsOriginalAndStaysThereOnSort) {
  CardCollection c;
  c.AppendCards({CardInfo("a", "1", 1), CardInfo("m", "first", 0), CardInfo("M", "second", 1),
                 CardInfo("z", "", 1)});
  EXPECT_EQ(c.DuplicateCard(1), 2u);
  c.SortCards();
  EXPECT_EQ(Indexes(c), "a11 mfirst0 mfirst0 Msecond1 z1 ");
}

TEST(CardModel, ALoadIsOneEventAndCopiesStartWithoutObservers) {
  CardCollection c;
  Recorder r;
  c.AddObserver(&r);
  std::vector<CardInfo> many(5000, CardInfo("x"));
  ASSERT_TRUE(c.AddCards(std::move(many)));
  EXPECT_EQ(r.changes, (std::vector<CardChange>{{Kind::Reset, 0, 5000, 0}}));
  EXPECT_EQ(c.StackSize(), 5000u);

  CardCollection copy = c;
  copy.RenameCard(0, "y");
  EXPECT_EQ(r.changes.size(), 1u);
  c.RemoveAllCards();
  EXPECT_EQ(r.changes.back(), (CardChange{Kind::Reset, 0, 0, 0}));
  c.RemoveObserver(&r);
}

// A merged file's format replaces the document's, which a save then keeps:
// a change even when the file brings no cards. An open matches its file.
TEST(CardModel, AMergeThatBringsANewLookChangesTheDocument) {
  FormatSettings look;
  look.indexFace = "Merged";
  for (const CardLoad load : {CardLoad::Open, CardLoad::Merge}) {
    CardCollection c = Three();
    FormatSettings format;
    ASSERT_TRUE(ApplyCardFileData(c, format, CardFileData{0xAAAC, look, {}}, load));
    EXPECT_EQ(format, look);
    EXPECT_EQ(c.Modified(), load == CardLoad::Merge);
  }
}

}  // namespace
}  // namespace tessel
