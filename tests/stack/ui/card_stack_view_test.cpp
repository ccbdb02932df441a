#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QTextCursor>
#include <QToolBar>

#include "services/ui/text.h"
#include "stack/body_text.h"
#include "support/stack_test_support.h"

namespace tessel::test {
namespace {

std::vector<std::string> Letters(int n) {
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) {
    out.push_back(std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(100 + i));
  }
  return out;
}

using CardStackViewTest = StackFixture;

TEST_F(CardStackViewTest, CascadeFollowsTheClientHeightAndOrigin) {
  Load(Letters(25), 300);
  // 25 entries, 20 of them with windows: the front card and 19 back cards.
  ASSERT_NE(view->Front(), nullptr);
  EXPECT_NE(view->Back(19), nullptr);
  EXPECT_EQ(view->Back(20), nullptr);
  EXPECT_EQ(cards.StackSize(), 25u);
  EXPECT_EQ(view->Front()->geometry(), QRect(0, 82, 500, 200));
  EXPECT_EQ(view->Back(3)->geometry(), QRect(75, 7, 500, 200));

  view->SetClientOrigin(QPoint(0, 30));
  EXPECT_EQ(view->Back(3)->geometry(), QRect(75, 37, 500, 200));
  for (int height : {480, 700, 1000}) {
    cards.LayoutStack(height);
    EXPECT_EQ(view->Front()->geometry(), QRect(0, 30 + height - 218, 500, 200)) << height;
    EXPECT_EQ(view->Back(19)->geometry(), QRect(475, 30 + height - 218 - 475, 500, 200)) << height;
  }

  // The front card lies on top, and each back card above the one behind it:
  // a point in card 1's strip is card 1's, a point it shares with the front
  // card is the front card's.
  cards.LayoutStack(600);
  const int frontTop = 30 + 600 - 218;
  window.show();
  EXPECT_EQ(window.childAt(QPoint(400, frontTop - 10)), view->Back(1));
  const QWidget* hit = window.childAt(QPoint(400, frontTop + 100));
  EXPECT_TRUE(hit == view->Front() || view->Front()->isAncestorOf(hit));
  EXPECT_EQ(window.childAt(QPoint(490, frontTop - 35)), view->Back(2));
}

TEST_F(CardStackViewTest, BackCardsShowTheirIndexAndComeForwardOnALeftClick) {
  Load({"delta", "alpha", "charlie", "bravo", "echo"});
  EXPECT_EQ(Index()->text(), "alpha");
  EXPECT_EQ(Body()->Text(), "body of alpha");

  // The strip is white with black text; the rest of a back card is white too.
  const QImage strip = view->Back(2)->grab().toImage();
  EXPECT_EQ(strip.pixelColor(250, 20), QColor(Qt::white));
  EXPECT_EQ(strip.pixelColor(0, 0), QColor(Qt::black));  // border
  bool text = false;
  for (int x = 3; x < 60 && !text; ++x) {
    for (int y = 3; y < 24 && !text; ++y) text = strip.pixelColor(x, y).lightness() < 100;
  }
  EXPECT_TRUE(text);

  QTest::mouseClick(view->Back(3), Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(cards.At(0).index, "alpha");
  QTest::mouseClick(view->Front(), Qt::LeftButton, {}, QPoint(250, 195));
  EXPECT_EQ(cards.At(0).index, "alpha");
  QTest::mouseClick(view->Back(3), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(cards.At(0).index, "delta");
  EXPECT_EQ(cards.At(1).index, "echo");
  EXPECT_EQ(Index()->text(), "delta");
  EXPECT_EQ(Body()->Text(), "body of delta");
  EXPECT_FALSE(cards.Modified());
}

TEST_F(CardStackViewTest, CardToolbarShowsTheSharedActionsOfItsCommands) {
  Load({"a", "b", "c"});
  QToolBar* bar = view->Front()->ToolBar();
  const QList<QAction*> order = bar->actions();
  // The index field, a separator, then the items as given.
  ASSERT_EQ(order.size(), 6);
  EXPECT_EQ(bar->widgetForAction(order[0]), Index());
  EXPECT_TRUE(order[1]->isSeparator());
  EXPECT_EQ(order[2], actions.For("Sort"));
  EXPECT_EQ(order[3], actions.For("Print"));
  EXPECT_TRUE(order[4]->isSeparator());
  EXPECT_EQ(order[5], actions.For("Next"));
  EXPECT_EQ(Index()->width(), 325);
  EXPECT_EQ(Body()->geometry().top(), kCardBorder + 29);

  // A button is the command's action: its state is the menu's, also on the
  // toolbar of a later front card window.
  actions.For("Print")->setEnabled(false);
  cards.RemoveAllCardWindows();
  cards.RemoveAllCards();
  Load({"x"});
  EXPECT_FALSE(view->Front()->ToolBar()->actions().at(3)->isEnabled());
  actions.For("Next")->trigger();
  EXPECT_EQ(actions.triggered, std::vector<std::string>{"Next"});
}

TEST_F(CardStackViewTest, IndexFieldStoresEachKeystrokeAtOnceAndARenameIsAChange) {
  Load({"alpha", "bravo"});
  ShowActive();
  Index()->setFocus();
  Index()->setCursorPosition(5);
  QTest::keyClicks(Index(), "X");
  // In the record before anything else runs: a command or click that
  // follows the keystroke sees the new name.
  EXPECT_EQ(cards.At(0).index, "alphaX");
  EXPECT_TRUE(cards.Modified());
  cards.MarkUnchanged();

  QTest::keyClicks(Index(), "Y");
  view->Next();
  EXPECT_EQ(cards.At(0).index, "bravo");
  EXPECT_EQ(cards.At(1).index, "alphaXY");
  cards.MarkUnchanged();

  // Tab goes to the body and inserts nothing.
  Index()->setFocus();
  QTest::keyClick(Index(), Qt::Key_Tab);
  QTest::keyClick(Index(), Qt::Key_Backtab);
  EXPECT_EQ(Index()->text(), "bravo");
  EXPECT_TRUE(Body()->hasFocus());

  // Typing stops where the field's visible width ends.
  Index()->setFocus();
  QTest::keyClicks(Index(), QString(200, u'W'));
  EXPECT_LT(Index()->text().size(), 100);
  EXPECT_TRUE(Index()->Fits(Index()->text()));
  EXPECT_FALSE(Index()->Fits(Index()->text() + "W"));
  QTest::keyClick(Index(), Qt::Key_Backspace);
  EXPECT_EQ(cards.At(0).index, Index()->text().toStdString());
}

TEST_F(CardStackViewTest, BodyKeysMarkModifiedToggleOverwriteAndStoreAtOnce) {
  Load({"alpha", "Mary", "mike", "zed"});
  ShowActive();
  Body()->setFocus();
  QTest::keyClick(Body(), Qt::Key_Right);  // any key, even one that edits nothing
  EXPECT_TRUE(cards.Modified());
  EXPECT_EQ(cards.At(0).body, "body of alpha");

  QTest::keyClick(Body(), Qt::Key_Insert, Qt::ShiftModifier);
  QTest::keyClick(Body(), Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_FALSE(view->Overwrite());
  QTest::keyClick(Body(), Qt::Key_Insert);
  EXPECT_TRUE(view->Overwrite());
  EXPECT_TRUE(Body()->overwriteMode());
  EXPECT_EQ(host.overwrites, std::vector<bool>{true});

  // Typing stores into the record at once, with the file's line breaks and
  // '?' for what Windows-1252 lacks.
  Body()->Load("");
  QTest::keyClicks(Body(), "a");
  QTest::keyClick(Body(), Qt::Key_Return);
  // Euro sign, omega, no-break space.
  QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xE2\x82\xAC\xCE\xA9\xC2\xA0"));
  QApplication::sendEvent(Body(), &typed);
  EXPECT_EQ(cards.At(0).body, "a\r\n\x80?\xA0");

  // A new card window clears the overwrite flag.
  cards.AddCardWindow("new", true);
  EXPECT_FALSE(view->Overwrite());
  EXPECT_FALSE(Body()->overwriteMode());
}

TEST_F(CardStackViewTest, EveryKindOfBodyEditLeavesTheRecordAsTheWholeTextWouldBe) {
  Load({"alpha"});
  cards.SetBody(0, "one\r\ntwo\rthree www.a.org four");
  cards.RefreshStack();
  ShowActive();
  Body()->setFocus();
  // The record read as the editor reads it (the file's lone CR stays one).
  auto stored = [&] { return BodyForEditor(cards.At(0).body); };
  auto shown = [&] { return ToCp1252(Body()->Text()); };
  auto at = [&](int position, int end = -1) {
    QTextCursor c = Body()->textCursor();
    c.setPosition(position);
    if (end >= 0) c.setPosition(end, QTextCursor::KeepAnchor);
    Body()->setTextCursor(c);
  };
  at(5);  // in "two", after the CR LF
  QTest::keyClicks(Body(), "X");
  EXPECT_EQ(cards.At(0).body, "one\r\ntXwo\rthree www.a.org four");  // the lone CR kept
  QTest::keyClick(Body(), Qt::Key_Return);
  at(12);  // before the link, whose underline moves
  QTest::keyClicks(Body(), "Y");
  QApplication::clipboard()->setText("p\nq\n");
  view->PasteBody();
  EXPECT_EQ(stored(), shown());
  at(2, 9);  // across two line breaks
  QTest::keyClick(Body(), Qt::Key_Delete);
  EXPECT_EQ(stored(), shown());
  view->UndoBody();
  view->UndoBody();
  EXPECT_EQ(stored(), shown());
  // A character outside Windows-1252 and the BMP is one '?' in the record.
  QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xF0\x9F\x98\x80"));
  QApplication::sendEvent(Body(), &typed);
  QTest::keyClicks(Body(), "Z");
  EXPECT_EQ(stored(), shown());
}

TEST_F(CardStackViewTest, CtrlLetterJumpsAndTheEditorStillHandlesTheKey) {
  Load({"alpha", "Mary", "mike", "zed"});
  ShowActive();
  Body()->setFocus();
  QTest::keyClick(Body(), Qt::Key_M, Qt::ControlModifier);
  EXPECT_EQ(cards.At(0).index, "Mary");
  EXPECT_EQ(Index()->text(), "Mary");
  QTest::keyClick(Body(), Qt::Key_M, Qt::ControlModifier);
  EXPECT_EQ(cards.At(0).index, "mike");

  // Ctrl+V pastes into the front card before the jump (no card starts with v).
  QApplication::clipboard()->setText("PASTED");
  QTextCursor end = Body()->textCursor();
  end.movePosition(QTextCursor::End);
  Body()->setTextCursor(end);
  QTest::keyClick(Body(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(cards.At(0).index, "mike");
  EXPECT_EQ(cards.At(0).body, "body of mikePASTED");
}

TEST_F(CardStackViewTest, CardListMenuListsEveryCardButOnlyTheFirst101Act) {
  Load(Letters(150));
  ShowActive();
  const std::string front = cards.At(0).index;
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(20, 20),
                               Body()->mapToGlobal(QPoint(20, 20)));
  QApplication::sendEvent(Body()->viewport(), &rightClick);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 150);
  EXPECT_EQ(items[7]->text().toStdString(), cards.At(7).index);

  items[120]->trigger();
  EXPECT_EQ(cards.At(0).index, front);
  items[0]->trigger();
  EXPECT_EQ(cards.At(0).index, front);
  const std::string hundredth = cards.At(100).index;
  items[100]->trigger();
  EXPECT_EQ(cards.At(0).index, hundredth);
  menu->close();

  view->CardListChosen(kCardListActiveItems);
  view->CardListChosen(static_cast<std::size_t>(-1));
  EXPECT_EQ(cards.At(0).index, hundredth);
}

TEST_F(CardStackViewTest, UneditedBodiesStayByteIdentical) {
  std::vector<CardInfo> records;
  records.emplace_back("a", "crlf\r\nline\r\n", 1);
  records.emplace_back("b", "bare\nlf and lone\rcr \xA0nbsp\x81", 1);
  records.emplace_back("c", "", 1);
  cards.SetClientHeight(kHostHeight);
  cards.AppendCards(std::move(records));
  cards.RefreshStack();
  format.bodySize = 14;
  view->ApplyBodyFormat();  // a format change is no edit
  for (int i = 0; i < 4; ++i) view->Next();
  EXPECT_EQ(cards.At(0).body, "bare\nlf and lone\rcr \xA0nbsp\x81");
  EXPECT_EQ(cards.At(2).body, "crlf\r\nline\r\n");
  EXPECT_EQ(Body()->Text(), "bare\nlf and lone\ncr \u00A0nbsp\u0081");
}

TEST_F(CardStackViewTest, LinksOpenOnALeftClickOnlyForWebAndMail) {
  Load({"a"});
  ShowActive();
  Body()->Load("see www.example.com or file:///bin/sh");
  auto clickAt = [this](int position) {
    QTextCursor c(Body()->document());
    c.setPosition(position);
    const QRect r = Body()->cursorRect(c);
    QTest::mouseClick(Body()->viewport(), Qt::LeftButton, {}, QPoint(r.x() + 2, r.center().y()));
  };
  clickAt(10);   // inside www.example.com
  clickAt(30);   // inside file:///bin/sh
  clickAt(1);    // plain text
  EXPECT_EQ(host.links, std::vector<QString>{"http://www.example.com"});
}

// A word far longer than a line is broken anywhere, since breaking it at
// word boundaries costs time that grows with the square of its length.
TEST(BodyEditorWrap, AHugeWordBreaksAnywhereOrdinaryTextAtWords) {
  BodyEditor editor;
  editor.Load(QString(50000, u'x'));
  EXPECT_EQ(editor.wordWrapMode(), QTextOption::WrapAnywhere);
  editor.Load(QStringLiteral("ordinary words"));
  EXPECT_EQ(editor.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  QGuiApplication::clipboard()->setText(QString(50000, u'y'));
  editor.paste();
  EXPECT_EQ(editor.wordWrapMode(), QTextOption::WrapAnywhere);
  EXPECT_EQ(editor.Text().size(), 50000 + 14);
}

}  // namespace
}  // namespace tessel::test
