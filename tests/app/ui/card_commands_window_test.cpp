// Add, Delete, Go To, Find, Find Next and the edit commands, run through the
// main window as the menu, the keys and the toolbar run them.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QTextBlock>

#include "support/main_window_fixture.h"
#include "stack/ui/body_editor.h"
#include "stack/ui/card_dialogs.h"
#include "stack/ui/card_windows.h"
#include "stack/ui/index_field.h"

namespace tessel {
namespace {

using CardCommandsTest = uitest::MainWindowTest;

TEST_F(CardCommandsTest, AddMakesAFrontCardReadyForItsNameOnAnEmptyFileAndBeyond) {
  MainWindow& w = Active();
  QTest::keyClick(&w, Qt::Key_F7);
  ASSERT_NE(Index(), nullptr);
  ASSERT_NE(Body(), nullptr);
  EXPECT_EQ(Index()->text(), "Type Index Text Here #1");
  EXPECT_TRUE(Index()->hasFocus());
  EXPECT_EQ(Index()->selectedText(), "Type Index Text Here #1");
  EXPECT_TRUE(w.Cards().Modified());
  EXPECT_EQ(w.CardCountText(), "1 Cards");
  // Typing replaces the placeholder and names the card.
  QTest::keyClicks(Index(), "Zebra");
  EXPECT_TRUE(Eventually([&] { return Front() == "Zebra"; }));

  OpenCards({{"alpha", ""}, {"beta", ""}, {"gamma", ""}});
  w.RunCommand(CommandId::Add);
  w.RunCommand(CommandId::Add);
  std::vector<std::string> order;
  for (const CardInfo& c : w.Cards().Cards()) order.push_back(c.index);
  EXPECT_EQ(order, (std::vector<std::string>{"Type Index Text Here #5", "Type Index Text Here #4",
                                             "alpha", "beta", "gamma"}));
  EXPECT_EQ(Index()->text(), "Type Index Text Here #5");
  EXPECT_EQ(w.StackView().Back(4)->Slot(), 4u);
}

TEST_F(CardCommandsTest, DeleteAsksFirstAndKeepsTheWindowsInStep) {
  MainWindow& w = Active();
  OpenCards({{"a", ""}, {"b", ""}, {"c", ""}});
  w.Cards().MarkUnchanged();
  Index()->setFocus();
  dialogs.answers = {QMessageBox::No};
  w.RunCommand(CommandId::Delete);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Delete \"a\" ?");
  EXPECT_EQ(dialogs.shown[0].caption, "Delete Card");
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Question);
  EXPECT_EQ(dialogs.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(w.Cards().Size(), 3u);
  EXPECT_FALSE(w.Cards().Modified());
  EXPECT_TRUE(Body()->hasFocus());

  dialogs.answers = {QMessageBox::Yes};
  w.RunCommand(CommandId::Delete);
  EXPECT_EQ(w.Cards().Size(), 2u);
  EXPECT_EQ(Index()->text(), "b");
  EXPECT_TRUE(w.Cards().Modified());
  EXPECT_EQ(w.StackView().Back(2), nullptr);

  // The last card takes its window with it; the next Add makes a new one.
  dialogs.answers = {QMessageBox::Yes, QMessageBox::Yes};
  w.RunCommand(CommandId::Delete);
  w.RunCommand(CommandId::Delete);
  EXPECT_TRUE(w.Cards().Empty());
  EXPECT_EQ(w.StackView().Front(), nullptr);
  EXPECT_FALSE(w.Action(CommandId::Delete)->isEnabled());
  w.RunCommand(CommandId::Add);
  ASSERT_NE(Index(), nullptr);
  EXPECT_EQ(Index()->text(), "Type Index Text Here #1");

  // 21 cards: the removed last entry has no window; at 20 entry 19's goes.
  std::vector<std::pair<std::string, std::string>> many;
  for (int i = 0; i < 21; ++i) many.push_back({"card " + std::to_string(100 + i), ""});
  OpenCards(many);
  dialogs.answers = {QMessageBox::Yes};
  w.RunCommand(CommandId::Delete);
  EXPECT_NE(w.StackView().Back(19), nullptr);
  EXPECT_EQ(Index()->text(), "card 101");
  dialogs.answers = {QMessageBox::Yes};
  w.RunCommand(CommandId::Delete);
  EXPECT_EQ(w.StackView().Back(19), nullptr);
  EXPECT_NE(w.StackView().Back(18), nullptr);
  EXPECT_EQ(w.Cards().StackSize(), 19u);
}

TEST_F(CardCommandsTest, GoToSearchesTheOtherIndexesAndSaysWhatItMissed) {
  MainWindow& w = Active();
  OpenCards({{"alpha", ""}, {"Beta", ""}, {"gamma", ""}});
  Type<GoToDialog>("ET", [](GoToDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Goto Index");
    EXPECT_TRUE(d.Edit()->text().isEmpty());
    QTest::keyClicks(d.Edit(), QString(60, 'x'));
    EXPECT_EQ(d.Edit()->text().size(), 41);
  });
  QTest::keyClick(&w, Qt::Key_F5);
  EXPECT_EQ(Index()->text(), "Beta");
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(dialogs.modalTexts.contains("Index Text"));

  Type<GoToDialog>("bet");  // only the front card has it
  Index()->setFocus();
  w.RunCommand(CommandId::GoTo);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "\"bet\" Not Found");
  EXPECT_EQ(dialogs.shown[0].caption, "Tessel Warning");
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Warning);
  EXPECT_EQ(Index()->text(), "Beta");
  EXPECT_TRUE(Body()->hasFocus());

  Type<GoToDialog>("");
  Index()->setFocus();
  w.RunCommand(CommandId::GoTo);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].text, "Text Not Found");
  EXPECT_EQ(dialogs.shown[1].caption, "Tessel Warning...");
  EXPECT_EQ(dialogs.shown[1].icon, QMessageBox::Warning);
  EXPECT_TRUE(Index()->hasFocus());  // this message leaves the focus alone

  Cancel();
  w.RunCommand(CommandId::GoTo);
  EXPECT_TRUE(Body()->hasFocus());
  EXPECT_EQ(dialogs.shown.size(), 2u);

  OpenCards({{"only", ""}});
  Type<GoToDialog>("only");
  w.RunCommand(CommandId::GoTo);
  EXPECT_EQ(dialogs.shown.back().text, "\"only\" Not Found");
}

TEST_F(CardCommandsTest, FindAndFindNextWalkTheBodiesWithCaseAndWholeWord) {
  MainWindow& w = Active();
  OpenCards({{"a", "first line\r\nA Word and a word"},
             {"b", "nothing here"},
             {"c", "lower word only"},
             {"d", "swordfish\r\nWords\r\nthe Word"}});
  EXPECT_FALSE(w.Action(CommandId::FindNext)->isEnabled());

  // A selected word fills the dialog; the search starts after the selection.
  Select(13, 17);
  ASSERT_EQ(Selected(), "Word");
  Type<FindDialog>("Word", [](FindDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Find");
    EXPECT_EQ(d.Edit()->text(), "Word");
    EXPECT_FALSE(d.WholeWord()->isChecked());
    EXPECT_FALSE(d.MatchCase()->isChecked());
    EXPECT_EQ(d.Edit()->maxLength(), 50);
    EXPECT_EQ(d.WholeWord()->text(), "Match whole word only");
    EXPECT_EQ(d.MatchCase()->text(), "Match case");
    d.MatchCase()->setChecked(true);
    d.WholeWord()->setChecked(true);
  });
  QTest::keyClick(&w, Qt::Key_F4);
  EXPECT_TRUE(w.Search().options.matchCase && w.Search().options.wholeWord);
  EXPECT_TRUE(dialogs.modalTexts.contains("Find what"));
  EXPECT_TRUE(w.Action(CommandId::FindNext)->isEnabled());
  // "word" later in the body has the wrong case; 'c' passes the quick test
  // but fails the exact one; in 'd' "swordfish" and "Words" are not whole.
  EXPECT_EQ(Front(), "d");
  EXPECT_EQ(Selected(), "Word");
  EXPECT_EQ(Body()->textCursor().selectionStart(), 20);  // after two line breaks
  EXPECT_EQ(Body()->textCursor().block().text(), "the Word");
  EXPECT_TRUE(dialogs.shown.empty());

  // The walk goes on from 'd': 'a' has "Word" as a whole word.
  QTest::keyClick(&w, Qt::Key_F6);
  EXPECT_EQ(Front(), "a");
  EXPECT_EQ(Body()->textCursor().selectionStart(), 13);
  QTest::keyClick(&w, Qt::Key_F6);
  // 'b' has no "word" at all and is passed over; 'c' comes forward, fails,
  // and 'd' comes forward with its hit.
  EXPECT_EQ(Front(), "d");

  // Without the options the same run finds "word" inside "swordfish".
  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& find = static_cast<FindDialog&>(d);
    EXPECT_EQ(find.Edit()->text(), "Word");  // no selection: the last text
    find.MatchCase()->setChecked(false);
    find.WholeWord()->setChecked(false);
    return int(QDialog::Accepted);
  });
  Select(0, 0);
  w.RunCommand(CommandId::Find);
  EXPECT_EQ(Front(), "d");
  EXPECT_EQ(Selected(), "word");
  EXPECT_EQ(Body()->textCursor().selectionStart(), 1);
}

TEST_F(CardCommandsTest, FindNextReportsTheEndAndAnEmptyTextSearchesNothing) {
  MainWindow& w = Active();
  OpenCards({{"a", "the end"}, {"b", "nothing"}});
  Select(3, 3);
  Type<FindDialog>("the");  // only before the caret, and nowhere else
  w.RunCommand(CommandId::Find);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Could not find any more occurrences of the");
  EXPECT_EQ(dialogs.shown[0].caption, "Tessel");
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(dialogs.shown[0].buttons, QMessageBox::Ok);
  EXPECT_EQ(Front(), "a");

  // A selection sets the text even when the dialog is cancelled.
  Select(4, 7);
  Cancel();
  w.RunCommand(CommandId::Find);
  EXPECT_EQ(w.SearchText(), "end");

  Type<FindDialog>("");
  w.RunCommand(CommandId::Find);
  EXPECT_EQ(w.SearchText(), "");
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(Front(), "a");
  EXPECT_FALSE(w.Action(CommandId::FindNext)->isEnabled());
}

TEST_F(CardCommandsTest, CutUndoCopyPasteWorkOnTheBodyAndFollowTheirRules) {
  MainWindow& w = Active();
  OpenCards({{"a", "hello world"}, {"b", "second"}});
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  const auto enabled = [&](CommandId id) { return w.Action(id)->isEnabled(); };
  EXPECT_FALSE(enabled(CommandId::Undo));
  EXPECT_FALSE(enabled(CommandId::Cut));
  EXPECT_FALSE(enabled(CommandId::Paste));

  // The index field's selection does not count; the body's does.
  Index()->setFocus();
  Index()->selectAll();
  w.UpdateCommandStates();
  EXPECT_FALSE(enabled(CommandId::Cut));
  EXPECT_FALSE(enabled(CommandId::Copy));
  Select(6, 11);
  EXPECT_TRUE(enabled(CommandId::Cut));
  EXPECT_TRUE(enabled(CommandId::Copy));

  // Copy acts on the body while the index field has the focus.
  Index()->setFocus();
  w.RunCommand(CommandId::Copy);
  EXPECT_EQ(clipboard->text(), "world");
  EXPECT_TRUE(enabled(CommandId::Paste));
  EXPECT_FALSE(w.Cards().Modified());

  w.RunCommand(CommandId::Cut);
  EXPECT_EQ(w.Cards().At(0).body, "hello ");
  EXPECT_TRUE(w.Cards().Modified());
  EXPECT_TRUE(enabled(CommandId::Undo));
  EXPECT_FALSE(enabled(CommandId::Cut));

  w.Cards().MarkUnchanged();  // as after a save
  w.RunCommand(CommandId::Undo);
  EXPECT_EQ(Body()->Text(), "hello world");
  EXPECT_EQ(w.Cards().At(0).body, "hello world");
  EXPECT_TRUE(w.Cards().Modified());  // the undone text differs from the saved one

  // Another card in front: nothing to undo there.
  w.RunCommand(CommandId::Next);
  EXPECT_FALSE(enabled(CommandId::Undo));

  // Rich text arrives as plain text in the body's own look, line breaks
  // stored as CR LF.
  auto* rich = new QMimeData;
  rich->setHtml(QStringLiteral("<b>bold</b><br><span style='color:#ff0000;font-size:30pt'>red</span>"));
  rich->setText(QStringLiteral("bold\nred"));
  clipboard->setMimeData(rich);
  Select(0, 0);
  w.RunCommand(CommandId::Paste);
  EXPECT_EQ(w.Cards().At(0).body, "bold\r\nredsecond");
  EXPECT_TRUE(w.Cards().Modified());
  QTextCursor at(Body()->document());
  at.setPosition(2);
  EXPECT_NE(at.charFormat().fontWeight(), QFont::Bold);
  EXPECT_FALSE(at.charFormat().hasProperty(QTextFormat::ForegroundBrush));
  at.setPosition(7);
  EXPECT_FALSE(at.charFormat().hasProperty(QTextFormat::ForegroundBrush));
  EXPECT_FALSE(at.charFormat().hasProperty(QTextFormat::FontPointSize));
}

}  // namespace
}  // namespace tessel
