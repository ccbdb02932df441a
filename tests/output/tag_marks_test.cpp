// The Tag Cards dialog's rules without the dialog.
#include "output/tag_marks.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

CardCollection Cards(std::vector<int32_t> tags) {
  CardCollection cards;
  std::vector<CardInfo> records;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    records.emplace_back("card " + std::to_string(i), "", tags[i]);
  }
  cards.AppendCards(std::move(records));
  return cards;
}

std::vector<bool> Marks(const TagMarks& m) {
  std::vector<bool> out;
  for (std::size_t i = 0; i < m.Size(); ++i) out.push_back(m.Tagged(i));
  return out;
}

std::vector<int32_t> Tags(const CardCollection& c) {
  std::vector<int32_t> out;
  for (const CardInfo& card : c.Cards()) out.push_back(card.tag);
  return out;
}

TEST(TagMarks, MenuAndDoubleClickEditOnlyTheMarks) {
  CardCollection cards = Cards({1, 0, 7, 0});
  TagMarks marks(cards);
  EXPECT_EQ(Marks(marks), (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(marks.TaggedCount(), 2u);

  marks.TagRows({});  // Selected with nothing selected
  EXPECT_EQ(Marks(marks), (std::vector<bool>{true, false, true, false}));
  const std::size_t selected[] = {0, 1, 99};  // Selected never untags a tagged row
  marks.TagRows(selected);
  EXPECT_EQ(Marks(marks), (std::vector<bool>{true, true, true, false}));

  marks.Toggle(0);
  EXPECT_FALSE(marks.Tagged(0));
  marks.Toggle(0);
  EXPECT_TRUE(marks.Tagged(0));
  marks.Toggle(42);  // no such row

  marks.UntagAll();
  EXPECT_EQ(marks.TaggedCount(), 0u);
  marks.TagAll();
  EXPECT_EQ(marks.TaggedCount(), 4u);
  // The cards have not changed: only OK writes the marks back.
  EXPECT_EQ(Tags(cards), (std::vector<int32_t>{1, 0, 7, 0}));
}

TEST(TagMarks, OkWritesOneOrZeroAndMarksTheDocumentChangedOnlyWhenATagChanged) {
  CardCollection cards = Cards({1, 0, 7});
  {
    TagMarks marks(cards);
    EXPECT_FALSE(marks.Apply(cards));  // OK without changes
    EXPECT_EQ(Tags(cards), (std::vector<int32_t>{1, 0, 1}));
    EXPECT_FALSE(cards.Modified());
  }
  {
    TagMarks marks(cards);
    marks.Toggle(1);
    marks.Toggle(2);
    EXPECT_TRUE(marks.Apply(cards));
    EXPECT_EQ(Tags(cards), (std::vector<int32_t>{1, 1, 0}));
    EXPECT_TRUE(cards.Modified());
  }
  cards.MarkBodyKey();  // an earlier edit stays an edit
  TagMarks(cards).Apply(cards);
  EXPECT_TRUE(cards.Modified());
}

}  // namespace
}  // namespace tessel
