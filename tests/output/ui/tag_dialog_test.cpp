// The Tag Cards dialog offscreen: its menu, double-click, OK, Cancel, the
// drawing of a row and the list's place after a resize.
#include "output/ui/tag_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace tessel {
namespace {

class TagDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<CardInfo> records;
    for (int32_t tag : {1, 0, 5, 0}) records.emplace_back("card " + std::to_string(records.size()), "", tag);
    cards.AppendCards(std::move(records));
  }
  std::vector<int32_t> Tags() const {
    std::vector<int32_t> out;
    for (const CardInfo& c : cards.Cards()) out.push_back(c.tag);
    return out;
  }
  std::vector<bool> Marks(const TagDialog& d) const {
    std::vector<bool> out;
    for (std::size_t i = 0; i < d.Marks().Size(); ++i) out.push_back(d.Marks().Tagged(i));
    return out;
  }
  QAction* MenuAction(const TagDialog& d, const QString& text) const {
    for (QAction* menu : d.MenuBar()->actions()) {
      for (QAction* a : menu->menu()->actions()) {
        if (a->text() == text) return a;
      }
    }
    return nullptr;
  }
  void Select(TagDialog& d, std::initializer_list<int> rows) {
    d.List()->clearSelection();
    for (int r : rows) {
      d.List()->selectionModel()->select(d.List()->model()->index(r, 0), QItemSelectionModel::Select);
    }
  }
  QPoint RowCentre(TagDialog& d, int row) {
    return d.List()->visualRect(d.List()->model()->index(row, 0)).center();
  }

  CardCollection cards;
};

TEST_F(TagDialogTest, ShowsItsTextsAndEveryCardInCollectionOrder) {
  TagDialog d(cards);
  EXPECT_EQ(d.windowTitle(), "Tag Cards");
  QStringList buttons;
  for (const QPushButton* b : d.findChildren<QPushButton*>()) buttons << b->text();
  EXPECT_EQ(buttons, (QStringList{"Ok", "Cancel"}));
  ASSERT_EQ(d.findChildren<QLabel*>().size(), 1);
  EXPECT_EQ(d.findChildren<QLabel*>()[0]->text(),
            "Select the cards you want to use with print, email, and print labels operations.");
  ASSERT_EQ(d.MenuBar()->actions().size(), 1);
  EXPECT_EQ(d.MenuBar()->actions()[0]->text(), "&Tag");
  QStringList items;
  for (QAction* a : d.MenuBar()->actions()[0]->menu()->actions()) items << a->text();
  EXPECT_EQ(items, (QStringList{"&All", "&None", "&Selected"}));

  EXPECT_EQ(d.List()->model()->rowCount(), 4);
  EXPECT_EQ(d.List()->model()->index(2, 0).data().toString(), "card 2");
  EXPECT_EQ(Marks(d), (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(d.List()->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(TagDialogTest, MenuCommandsMarkRowsAndLeaveThemUnselected) {
  TagDialog d(cards);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));

  MenuAction(d, QStringLiteral("&Selected"))->trigger();  // nothing selected: nothing changes
  EXPECT_EQ(Marks(d), (std::vector<bool>{true, false, true, false}));
  Select(d, {0, 1});
  MenuAction(d, QStringLiteral("&Selected"))->trigger();  // tags, never untags
  EXPECT_EQ(Marks(d), (std::vector<bool>{true, true, true, false}));
  EXPECT_TRUE(d.List()->selectionModel()->selectedIndexes().isEmpty());

  Select(d, {3});
  MenuAction(d, QStringLiteral("&None"))->trigger();
  EXPECT_EQ(Marks(d), (std::vector<bool>{false, false, false, false}));
  EXPECT_TRUE(d.List()->selectionModel()->selectedIndexes().isEmpty());
  MenuAction(d, QStringLiteral("&All"))->trigger();
  EXPECT_EQ(Marks(d), (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(Tags(), (std::vector<int32_t>{1, 0, 5, 0}));  // only OK writes
}

TEST_F(TagDialogTest, DoubleClickTurnsTheMarkOverAndUnselectsOnlyThatRow) {
  TagDialog d(cards);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  QWidget* viewport = d.List()->viewport();
  // A double-click arrives after the first click of it.
  QTest::mouseClick(viewport, Qt::LeftButton, {}, RowCentre(d, 0));
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, RowCentre(d, 0));
  EXPECT_FALSE(d.Marks().Tagged(0));
  EXPECT_FALSE(d.List()->selectionModel()->isRowSelected(0, {}));

  Select(d, {2});
  QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, RowCentre(d, 1));
  QTest::mouseDClick(viewport, Qt::LeftButton, Qt::ControlModifier, RowCentre(d, 1));
  EXPECT_TRUE(d.Marks().Tagged(1));
  EXPECT_FALSE(d.List()->selectionModel()->isRowSelected(1, {}));
  EXPECT_TRUE(d.List()->selectionModel()->isRowSelected(2, {}));
}

TEST_F(TagDialogTest, OkWritesTheMarksAndCountsATagChangeAsAChange) {
  {
    TagDialog d(cards);
    d.accept();  // no change: flags become exactly 1 or 0, the document stays clean
    EXPECT_FALSE(d.Changed());
  }
  EXPECT_EQ(Tags(), (std::vector<int32_t>{1, 0, 1, 0}));
  EXPECT_FALSE(cards.Modified());

  TagDialog d(cards);
  d.Toggle(3);
  d.accept();
  EXPECT_TRUE(d.Changed());
  EXPECT_EQ(Tags(), (std::vector<int32_t>{1, 0, 1, 1}));
  EXPECT_TRUE(cards.Modified());
}

TEST_F(TagDialogTest, EnterIsOkWhereverTheFocusIs) {
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    TagDialog d(cards);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    d.Toggle(1);
    d.List()->setFocus();
    d.List()->setCurrentIndex(d.List()->model()->index(1, 0));
    QTest::keyClick(d.List(), key);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.isHidden());
    EXPECT_EQ(Tags()[1], key == Qt::Key_Return ? 1 : 0);  // the second toggles it back
  }
}

TEST_F(TagDialogTest, CancelAndEscapeChangeNothing) {
  for (bool escape : {false, true}) {
    TagDialog d(cards);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    MenuAction(d, QStringLiteral("&None"))->trigger();
    if (escape) {
      QTest::keyClick(&d, Qt::Key_Escape);
    } else {
      d.findChildren<QPushButton*>()[1]->click();
    }
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(Tags(), (std::vector<int32_t>{1, 0, 5, 0}));
    EXPECT_FALSE(cards.Modified());
  }
}

TEST_F(TagDialogTest, RowsShowTheMarkAndTheTextBesideIt) {
  TagDialog d(cards);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  const QRect row0 = d.List()->visualRect(d.List()->model()->index(0, 0));
  const QRect row1 = d.List()->visualRect(d.List()->model()->index(1, 0));
  EXPECT_EQ(row0.size(), QSize(kTagColumnWidth, kTagRowHeight));
  EXPECT_EQ(row1.top(), row0.bottom() + 1);  // one column, top to bottom

  const QImage image = d.List()->viewport()->grab().toImage();
  const qreal ratio = image.devicePixelRatio();
  auto pixel = [&](QPoint p) { return image.pixelColor(p * ratio); };
  // The tagged mark is a green card, the other a white square inside grey.
  const QColor green = pixel(row0.topLeft() + QPoint(3, 11));
  EXPECT_GT(green.green(), 150);
  EXPECT_LT(green.red(), 100);
  EXPECT_EQ(pixel(row1.topLeft() + QPoint(9, 6)), QColor(Qt::white));
  // The text starts 24 pixels in: nothing dark between the mark and there.
  bool textInGap = false, textAfter = false;
  for (int x = 20; x < 150; ++x) {
    for (int y = 0; y < kTagRowHeight; ++y) {
      const bool dark = pixel(row0.topLeft() + QPoint(x, y)).lightness() < 128;
      (x < kTagMarkWidth + kTagTextGap ? textInGap : textAfter) |= dark;
    }
  }
  EXPECT_FALSE(textInGap);
  EXPECT_TRUE(textAfter);
}

TEST_F(TagDialogTest, ALongTextEndsInAnEllipsisAndIsWholeInTheTooltip) {
  const std::string whole = "Baker, Tom (plumber, evenings and weekends)";
  cards.AppendCards({CardInfo(whole)});
  TagDialog d(cards);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  QAbstractItemModel* model = d.List()->model();
  const auto shown = [&](int row) {
    QStyleOptionViewItem option;
    option.initFrom(d.List());
    option.rect = d.List()->visualRect(model->index(row, 0));
    return TagRowDelegate::ShownText(option, model->index(row, 0));
  };
  int longRow = 0;
  while (model->index(longRow, 0).data().toString() != QString::fromStdString(whole)) ++longRow;
  const QString cut = shown(longRow);
  EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
  EXPECT_TRUE(QString::fromStdString(whole).startsWith(cut.chopped(1)));
  EXPECT_LE(d.List()->fontMetrics().horizontalAdvance(cut),
            kTagColumnWidth - kTagMarkWidth - kTagTextGap);
  EXPECT_EQ(model->index(longRow, 0).data(Qt::ToolTipRole).toString().toStdString(), whole);
  EXPECT_EQ(shown(longRow == 0 ? 1 : 0), model->index(longRow == 0 ? 1 : 0, 0).data().toString());
}

TEST_F(TagDialogTest, ManyCardsFillColumnsThatScrollSideways) {
  CardCollection many;
  many.AppendCards(std::vector<CardInfo>(1000, CardInfo("x")));
  TagDialog d(many);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  const QRect first = d.List()->visualRect(d.List()->model()->index(0, 0));
  int row = 1;
  while (d.List()->visualRect(d.List()->model()->index(row, 0)).left() == first.left()) ++row;
  // A column holds as many 15-pixel rows as the list's height has room for.
  EXPECT_GE(row, d.List()->viewport()->height() / kTagRowHeight - 1);
  const QRect next = d.List()->visualRect(d.List()->model()->index(row, 0));
  EXPECT_EQ(next.left(), first.left() + kTagColumnWidth);
  EXPECT_EQ(next.top(), first.top());
  EXPECT_GT(d.List()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(TagDialogTest, AResizePutsTheListAt55WithTheHeightLess50) {
  TagDialog d(cards);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  d.resize(600, 400);
  const QWidget* client = d.List()->parentWidget();
  const auto expected = [&] {
    return QRect(0, kTagListTop, client->width(), client->height() - kTagListHeightLoss);
  };
  QTest::qWaitFor([&] { return d.List()->geometry() == expected(); }, 2000);
  EXPECT_EQ(d.List()->geometry(), expected());
}

}  // namespace
}  // namespace tessel
