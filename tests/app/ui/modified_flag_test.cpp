// Every change a save would keep marks the document modified, whatever made
// it; keys that change nothing and never reach the body as typing do not.
#include <QComboBox>
#include <QInputMethodEvent>
#include <QMenuBar>
#include <QMimeData>

#include "stack/ui/card_dialogs.h"
#include "stack/ui/format_toolbar.h"
#include "support/main_window_fixture.h"

namespace tessel {
namespace {

class ModifiedFlagTest : public uitest::MainWindowTest {
 protected:
  bool Modified() { return Window().Cards().Modified(); }
  void Clean() { Window().Cards().MarkUnchanged(); }
  void Drop(const QString& text) {
    QWidget* target = Body()->viewport();
    auto* data = new QMimeData;
    data->setText(text);
    const QPointF at(5, 5);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    delete data;
  }
};

TEST_F(ModifiedFlagTest, EveryWayOfChangingTheBodyMarksTheDocument) {
  Active();
  OpenCards({{"alpha", "one two"}, {"beta", ""}});
  ASSERT_FALSE(Modified());

  // An input method's committed text never arrives as a key press.
  Body()->setFocus();
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("\u00e9"));
  QApplication::sendEvent(Body(), &commit);
  EXPECT_TRUE(Modified());
  EXPECT_EQ(Window().Cards().At(0).body, "\xE9one two");

  Clean();
  Drop(QStringLiteral("dropped "));
  EXPECT_TRUE(Modified());
  EXPECT_NE(Window().Cards().At(0).body.find("dropped"), std::string::npos);

  // Paste and Undo from the menu.
  Clean();
  QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
  Window().RunCommand(CommandId::Paste);
  EXPECT_TRUE(Modified());
  Clean();
  Window().RunCommand(CommandId::Undo);
  EXPECT_TRUE(Modified());

  // Middle-click pastes the selection where the platform has one.
  if (QGuiApplication::clipboard()->supportsSelection()) {
    Clean();
    QGuiApplication::clipboard()->setText(QStringLiteral("mid"), QClipboard::Selection);
    QTest::mouseClick(Body()->viewport(), Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Modified());
  }

  // Showing another card or a new look changes no text: no mark.
  Clean();
  Window().RunCommand(CommandId::Next);
  EXPECT_FALSE(Modified());
}

TEST_F(ModifiedFlagTest, RenamesAndTheLookAreChangesToo) {
  MainWindow& w = Active();
  OpenCards({{"alpha", ""}, {"beta", ""}});
  Index()->setFocus();
  Index()->end(false);
  QTest::keyClicks(Index(), "Z");
  EXPECT_TRUE(Modified());
  // In the record at once: Save right after the keystroke writes the name.
  EXPECT_EQ(w.Cards().At(0).index, "alphaZ");

  Clean();
  Body()->setFocus();
  FormatToolBar& bar = *w.FormatBar();
  ASSERT_TRUE(bar.SizeBox()->isEnabled());
  const int other = bar.SizeBox()->findText("24");
  bar.SizeBox()->setCurrentIndex(other);
  emit bar.SizeBox()->activated(other);
  EXPECT_TRUE(Modified());

  // Choosing what is already there is no change.
  Clean();
  emit bar.SizeBox()->activated(other);
  EXPECT_FALSE(Modified());

  Body()->setFocus();
  w.StackView().ApplyColour(ColourRole::Text, Rgb(1, 2, 3));
  EXPECT_TRUE(Modified());
}

TEST_F(ModifiedFlagTest, KeysThatNeverReachTheBodyAsTypingLeaveItAlone) {
  MainWindow& w = Active();
  OpenCards({{"alpha", "text"}});
  Body()->setFocus();
  for (const Qt::Key key : {Qt::Key_Alt, Qt::Key_Shift, Qt::Key_Control, Qt::Key_Meta}) {
    QTest::keyClick(Body(), key);
  }
  // F3 (Save) and F9 (Previous) are disabled here, so the keys reach the
  // focused body; they still type nothing.
  QTest::keyClick(Body(), Qt::Key_F3);
  QTest::keyClick(Body(), Qt::Key_F9);
  QTest::keyClick(Body(), Qt::Key_Q, Qt::AltModifier);
  EXPECT_FALSE(Modified());
  EXPECT_EQ(w.Cards().At(0).body, "text");

  // A key that reaches the body keeps the old rule, even one that edits
  // nothing.
  QTest::keyClick(Body(), Qt::Key_Right);
  EXPECT_TRUE(Modified());
}

TEST_F(ModifiedFlagTest, ExitByTheKeyboardAsksOnlyAfterAChange) {
  MainWindow& w = Active();
  OpenCards({{"alpha", ""}, {"beta", ""}});
  Body()->setFocus();
  // Alt+F opens the File menu; X is Exit.
  QTest::keyClick(Body(), Qt::Key_Alt);
  QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
  ASSERT_TRUE(Eventually([&] { return QApplication::activePopupWidget() != nullptr; }));
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_X);
  ASSERT_TRUE(Eventually([&] { return !w.isVisible(); }));
  EXPECT_EQ(dialogs.Prompts(), 0);

  // A renamed card is a change: the prompt appears.
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  OpenCards({{"alpha", ""}, {"beta", ""}});
  Index()->setFocus();
  QTest::keyClicks(Index(), "2");
  dialogs.answers = {QMessageBox::Cancel};
  w.RunCommand(CommandId::Exit);
  ASSERT_TRUE(Eventually([&] { return dialogs.Prompts() == 1; }));
  EXPECT_TRUE(w.isVisible());
}

TEST_F(ModifiedFlagTest, SmallPointsOfTheCommands) {
  MainWindow& w = Active();
  // A long selection goes into Find whole.
  const std::string longText(80, 'x');
  OpenCards({{"alpha", longText + " y"}});
  Select(0, 80);
  dialogs.modalAnswers.push_back([&](QDialog& d) {
    EXPECT_EQ(static_cast<FindDialog&>(d).Edit()->text().size(), 80);
    return int(QDialog::Rejected);
  });
  w.RunCommand(CommandId::Find);
  EXPECT_EQ(w.SearchText(), longText);

  // Save of an untitled document goes through Save As and ends in the body.
  w.RunCommand(CommandId::New);
  w.RunCommand(CommandId::Add);
  ASSERT_TRUE(Index()->hasFocus());
  dialogs.saveNames = {files.filePath("named.tsl")};
  w.RunCommand(CommandId::Save);
  EXPECT_EQ(dialogs.filters.back(), "Tessel Files (*.tsl)");
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(Body()->hasFocus());

  // The typing mode resets for every new card, also past the on-screen 20.
  std::vector<std::pair<std::string, std::string>> many;
  for (int i = 0; i < 25; ++i) many.push_back({"card " + std::to_string(100 + i), ""});
  OpenCards(many);
  Body()->setFocus();
  QTest::keyClick(Body(), Qt::Key_Insert);
  ASSERT_TRUE(w.Overwrite());
  w.RunCommand(CommandId::Add);
  EXPECT_FALSE(w.Overwrite());
}

TEST_F(ModifiedFlagTest, CardTextsShowAsTextInMessagesAndMenus) {
  MainWindow& w = Active();
  OpenCards({{"<b>bold</b> & co", ""}});
  dialogs.answers = {QMessageBox::No};
  w.RunCommand(CommandId::Delete);
  EXPECT_EQ(dialogs.shown.back().text, "Delete \"<b>bold</b> & co\" ?");
  QMenu* menu = w.StackView().CreateCardListMenu(&w);
  EXPECT_EQ(menu->actions().at(0)->text(), "<b>bold</b> && co");
  delete menu;

  // The real message box shows its text as plain text.
  QtDialogs real;
  uitest::ModalAnswer answer([](QWidget& modal) {
    auto* box = qobject_cast<QMessageBox*>(&modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    box->done(QMessageBox::Ok);
  });
  real.Message(&w, QMessageBox::Information, "T", "<b>x</b>", QMessageBox::Ok);
}

}  // namespace
}  // namespace tessel
