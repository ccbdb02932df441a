// The main window: command table, states, title, placement, panes, help.
#include <QSignalSpy>

#include "app/command_rules.h"
#include "support/main_window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/placement.h"
#include "services/ui/dialogs.h"
#include "app/ui/about_box.h"
#include "stack/ui/card_windows.h"
#include "services/ui/data_folder.h"
#include "cards/card_file.h"
#include "services/ui/qt_settings_store.h"
#include "services/ui/text.h"

namespace tessel {
namespace {

using uitest::MainWindowTest;

// Menu texts, separators ("-") and submenus (">" before their items, "<" after).
QStringList MenuOutline(const QList<QAction*>& actions) {
  QStringList out;
  for (QAction* a : actions) {
    if (a->isSeparator()) {
      out << "-";
    } else if (a->menu()) {
      out << a->text() + " >" << MenuOutline(a->menu()->actions()) << "<";
    } else {
      out << a->text();
    }
  }
  return out;
}

TEST_F(MainWindowTest, MenusToolbarAndKeysAreTheCommandTable) {
  MainWindow& w = Window();
  const QStringList expected = {
      "&File >", "&New\tF2", "&Open...", "&Save\tF3", "Save &As...", "&Merge...",
      "Re&vert to Backup...", "-",
      "&Import >", "Cardfile...", "Comma Delimited Text...", "vCard...", "<", "Export >",
      "Text file...", "Comma Delimited Text...", "vCard...", "<",
      "-", "&Print >", "&Card...", "&List...", "Tag...", "<", "-", "Sen&d >", "&Card...",
      "&List...", "Tag...", "<", "-", "E&xit", "<",
      "&Edit >", "&Undo\t", "-", "Cu&t\tShift+Del", "&Copy\tCtrl+Ins", "&Paste\tShift+Ins", "-",
      "&Go To...\tF5", "&Find...\tF4", "Find Next\tF6", "<",
      "&Card >", "&Add...\tF7", "-", "&Delete...", "-", "&Tag...", "-", "&Next\tF8",
      "&Previous\tF9", "<",
      "&Tools >", "&Labels...", "&Options...", "<",
      "&Window >", "&Restore", "<",
      "&Help >", "Contents...\tF1", "-", "&About", "<"};
  EXPECT_EQ(MenuOutline(w.menuBar()->actions()), expected);

  QStringList bar;
  for (QAction* a : w.MainToolBar()->actions()) bar << (a->isSeparator() ? "|" : a->toolTip());
  EXPECT_EQ(bar, (QStringList{"New  F2", "Open", "Save  F3", "|", "Merge", "|",
                              "Cut  Shift+Del", "Copy  Ctrl+Ins", "Paste  Shift+Ins", "Undo", "|",
                              "Find  F4", "Find Next F6", "Go to  F5", "|", "Add new card F7",
                              "Delete card", "Tag cards", "|", "Help  F1"}));
  for (QAction* a : w.MainToolBar()->actions()) {
    if (!a->isSeparator()) {
      EXPECT_FALSE(a->icon().isNull()) << a->toolTip().toStdString();
    }
  }

  const std::pair<Qt::Key, CommandId> keys[] = {
      {Qt::Key_F1, CommandId::HelpContents}, {Qt::Key_F2, CommandId::New},
      {Qt::Key_F3, CommandId::Save},         {Qt::Key_F4, CommandId::Find},
      {Qt::Key_F5, CommandId::GoTo},         {Qt::Key_F6, CommandId::FindNext},
      {Qt::Key_F7, CommandId::Add},          {Qt::Key_F8, CommandId::Next},
      {Qt::Key_F9, CommandId::Previous}};
  for (const auto& [key, id] : keys) EXPECT_EQ(w.Action(id)->shortcut(), QKeySequence(key));

  EXPECT_EQ(w.Action(CommandId::Exit)->statusTip(), "Exit the application ");
  EXPECT_EQ(w.Action(CommandId::Labels)->toolTip(), "Labels (requires package glabels-data)");
  EXPECT_EQ(w.windowTitle(), "Tessel - Untitled");
  EXPECT_FALSE(w.windowIcon().isNull());

  // The front card's toolbar: its index field, then the commands' own actions.
  OpenThrough(CardFile("one.tsl", {"only"}));
  QToolBar* cardBar = w.StackView().Front()->ToolBar();
  constexpr int kField = 1;  // the index field, which is no command
  std::vector<int> ids;
  for (QAction* a : cardBar->actions()) {
    const bool field = cardBar->widgetForAction(a) == w.StackView().FrontIndex();
    ids.push_back(a->isSeparator() ? 0 : field ? kField : a->data().toInt());
    if (ids.back() > kField) {
      EXPECT_EQ(a, w.Action(static_cast<CommandId>(ids.back())));
    }
  }
  const auto id = [](CommandId c) { return static_cast<int>(c); };
  EXPECT_EQ(ids, (std::vector<int>{kField, 0, id(CommandId::Sort), 0, id(CommandId::PrintCard),
                                   id(CommandId::MailCard), id(CommandId::AutoDial), 0,
                                   id(CommandId::Previous), id(CommandId::Next)}));
}

// The rules themselves are tested on their own; here, that the window asks
// them with its real state, for every action, and follows their answer.
TEST_F(MainWindowTest, EveryActionFollowsTheCommandRulesOfTheWindowsState) {
  MainWindow& w = Window();
  QGuiApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
  // What the window is in, as the test made it: no undo, no selection.
  CommandInputs in;
  in.Set(Input::MailAvailable, w.MailAvailable()).Set(Input::ClipboardText, true);
  const auto check = [&](const char* state) {
    for (const CommandInfo& c : Commands()) {
      QAction* action = w.Action(c.id);
      if (!action) continue;
      EXPECT_EQ(action->isEnabled(), CommandEnabled(c.id, in))
          << "command " << static_cast<int>(c.id) << " " << state;
    }
  };
  check("without cards");
  OpenThrough(CardFile("one.tsl", {"only"}));
  in.Set(Input::Cards, 1).Set(Input::Titled, true);
  check("with one card");
  OpenThrough(CardFile("two.tsl", {"a", "b"}));
  in.Set(Input::Cards, 2);
  check("with two cards");
  w.Doc().SetSaveBlocked(true);
  w.UpdateCommandStates();
  in.Set(Input::SaveBlocked, true);
  check("with Save blocked");
  w.SetSearchText("x");
  w.UpdateCommandStates();
  in.Set(Input::SearchText, true);
  check("with a search text");

  // A disabled command does nothing, whichever way it comes.
  QTest::keyClick(&w, Qt::Key_F3);
  w.RunCommand(CommandId::Save);
  EXPECT_TRUE(dialogs.folders.size() == 2u && dialogs.shown.empty());
}

TEST_F(MainWindowTest, TitleAndCardPaneFollowNewOpenFailedOpenAndSaveAs) {
  MainWindow& w = Window();
  EXPECT_EQ(w.CardCountText(), "0 Cards");
  const QString two = CardFile("two.tsl", {"b", "a"});
  OpenThrough(two);
  EXPECT_EQ(w.windowTitle(), "Tessel - " + two);
  EXPECT_EQ(w.CardCountText(), "2 Cards");  // at once, not only on the next tick

  const QString bad = files.filePath("bad.tsl");
  QFile f(bad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("nonsense");
  f.close();
  OpenThrough(bad);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].caption, "Tessel Error...");
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Critical);
  EXPECT_EQ(w.windowTitle(), "Tessel - Untitled");
  EXPECT_TRUE(w.Cards().Empty());

  OpenThrough(two);
  const QString copy = files.filePath("copy.tsl");
  dialogs.saveNames = {copy};
  w.RunCommand(CommandId::SaveAs);
  EXPECT_EQ(w.windowTitle(), "Tessel - " + copy);
  EXPECT_TRUE(QFile::exists(copy));
  EXPECT_EQ(store.GetString(kLastFile, ""), copy.toStdString());

  w.RunCommand(CommandId::New);
  EXPECT_EQ(w.windowTitle(), "Tessel - Untitled");
  EXPECT_TRUE(Eventually([&] { return w.CardCountText() == "0 Cards"; }));
}

TEST_F(MainWindowTest, AFailedSaveKeepsItsMessageAndSaysWhyBeneathIt) {
  MainWindow& w = Window();
  OpenThrough(CardFile("two.tsl", {"b", "a"}));
  const QString target = files.filePath("no such folder/cards.tsl");
  dialogs.saveNames = {target};
  w.RunCommand(CommandId::SaveAs);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "File Error - \"" + target + "\"");
  EXPECT_TRUE(dialogs.shown[0].reason.endsWith("No such file or directory")) << dialogs.shown[0].reason.toStdString();
}

TEST_F(MainWindowTest, SaveChangesPromptOnNewOpenAndClose) {
  MainWindow& w = Window();
  const QString path = CardFile("cards.tsl", {"a", "b"});
  const QString other = CardFile("other.tsl", {"z"});
  OpenThrough(path);
  const auto edit = [&] { w.Cards().MarkBodyKey(); };

  edit();
  dialogs.answers = {QMessageBox::Cancel};
  QTest::keyClick(&w, Qt::Key_F2);  // F2 runs New
  ASSERT_EQ(dialogs.Prompts(), 1);
  const auto& prompt = dialogs.shown.back();
  EXPECT_EQ(prompt.caption, "Tessel");
  EXPECT_EQ(prompt.icon, QMessageBox::Question);
  EXPECT_EQ(prompt.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(w.Cards().Size(), 2u);

  dialogs.answers = {QMessageBox::Cancel};
  OpenThrough(other);
  EXPECT_EQ(w.windowTitle(), "Tessel - " + path);

  dialogs.answers = {QMessageBox::No};
  OpenThrough(other);
  EXPECT_EQ(w.windowTitle(), "Tessel - " + other);

  edit();
  dialogs.answers = {QMessageBox::Yes};  // saves to other.tsl, then opens cards.tsl
  OpenThrough(path);
  EXPECT_EQ(w.windowTitle(), "Tessel - " + path);

  edit();
  dialogs.answers = {QMessageBox::Yes};
  w.RunCommand(CommandId::New);
  EXPECT_TRUE(w.Cards().Empty());

  OpenThrough(path);
  edit();
  dialogs.answers = {QMessageBox::Cancel};
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.CardTimerActive());
  dialogs.answers = {QMessageBox::No};
  w.RunCommand(CommandId::Exit);  // posts the close
  EXPECT_TRUE(Eventually([&] { return !w.isVisible(); }));
  EXPECT_TRUE(w.Cards().Empty());
  EXPECT_FALSE(w.CardTimerActive());
  EXPECT_EQ(dialogs.Prompts(), 7);
}

// The built-in colours are the desktop's: a dark theme's cards are
// readable, and a save keeps the colours as shown, so a light theme's
// bytes are black text on the button and window colours.
TEST_F(MainWindowTest, DefaultColoursAreTheThemesAndSavedAsShown) {
  const QPalette saved = QApplication::palette();
  QPalette dark = saved;
  dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
  dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
  dark.setColor(QPalette::Text, QColor(0xdd, 0xdd, 0xdd));
  for (const QPalette& theme : {dark, saved}) {
    QApplication::setPalette(theme);
    window.reset();
    MainWindow& w = Window();
    w.Cards().AppendCards({CardInfo("Ann", "Tel", 0)});
    w.Cards().RefreshStack();
    EXPECT_EQ(Index()->palette().color(QPalette::Text), theme.color(QPalette::ButtonText));
    EXPECT_EQ(Body()->palette().color(QPalette::Text), theme.color(QPalette::Text));
    const QString path = files.filePath("colours.tsl");
    dialogs.saveNames = {path};
    w.RunCommand(CommandId::SaveAs);
    CardCollection cards;
    FormatSettings format;
    ASSERT_TRUE(ReadCardFile(cards, format, path.toStdString()));
    EXPECT_EQ(format.indexText, FromQColor(theme.color(QPalette::ButtonText)));
    EXPECT_EQ(format.bodyText, FromQColor(theme.color(QPalette::Text)));
    EXPECT_EQ(format.indexBackground, FromQColor(theme.color(QPalette::Button)));
    EXPECT_EQ(format.bodyBackground, FromQColor(theme.color(QPalette::Base)));
  }
  // The light theme's text is black, as the file has always said.
  EXPECT_EQ(FromQColor(saved.color(QPalette::ButtonText)), 0u);
  EXPECT_EQ(FromQColor(saved.color(QPalette::Text)), 0u);
  QApplication::setPalette(saved);
}

TEST_F(MainWindowTest, FileDialogsStartInTheLastFilesFolder) {
  MainWindow& w = Window();
  w.RunCommand(CommandId::Open);
  EXPECT_EQ(dialogs.folders.back(), std::nullopt);  // no Last File: the dialog's choice
  store.WriteString(kLastFile, "cards.tsl");
  w.RunCommand(CommandId::Open);
  EXPECT_EQ(dialogs.folders.back(), QString(""));
  OpenThrough(CardFile("one.tsl", {"x"}));
  w.RunCommand(CommandId::Merge);
  EXPECT_EQ(dialogs.folders.back(), files.path());
  w.RunCommand(CommandId::SaveAs);
  EXPECT_EQ(dialogs.folders.back(), files.path());
}

TEST_F(MainWindowTest, PlacementIsRestoredAndSavedOnlyInTheNormalState) {
  store.WriteString(kMainWindowPos, "0:1:10:20:530:400");
  {
    MainWindow& w = Window();
    EXPECT_EQ(w.geometry(), QRect(10, 20, 520, 380));
    w.setGeometry(30, 40, 600, 400);
    ASSERT_TRUE(w.close());
    EXPECT_EQ(store.GetString(kMainWindowPos, ""), "0:1:30:40:630:440");
    window.reset();
  }
  MainWindow& again = Window();
  EXPECT_EQ(again.geometry(), QRect(30, 40, 600, 400));
  again.showMaximized();
  ASSERT_TRUE(again.isMaximized());
  ASSERT_TRUE(again.close());
  EXPECT_EQ(store.GetString(kMainWindowPos, ""), "0:1:30:40:630:440");
}

TEST_F(MainWindowTest, RestoreAndResizeLayOutTheStack) {
  MainWindow& w = Window();
  OpenThrough(CardFile("three.tsl", {"a", "b", "c"}));
  w.setGeometry(300, 200, 800, 600);
  EXPECT_TRUE(Eventually([&] { return w.Cards().OnScreenEntries()[0].rect.bottom == w.ClientHeight() - 18; }));
  EXPECT_EQ(w.Cards().OnScreenEntries()[0].rect, CascadeRect(w.ClientHeight(), 0));

  w.RunCommand(CommandId::Restore);
  EXPECT_EQ(w.geometry(), QRect(100, 100, 512, 328));
  const int h = w.ClientHeight();
  EXPECT_EQ(h, 328 - w.menuBar()->height());
  EXPECT_EQ(w.Cards().OnScreenEntries()[2].rect, CascadeRect(h, 2));
  // The card windows sit at their client rectangles: the client area starts
  // just below the menu, the card area between the bars starts lower.
  EXPECT_EQ(w.StackView().ClientOrigin().y(), w.menuBar()->height() - w.StackArea()->y());
  QWidget* front = w.StackView().Front();
  ASSERT_NE(front, nullptr);
  EXPECT_EQ(front->mapTo(&w, QPoint(0, 0)),
            QPoint(0, w.menuBar()->height() + CascadeRect(h, 0).top));
}

TEST_F(MainWindowTest, CtrlAInTheIndexLineSelectsItEvenAfterTheWindowChangedSize) {
  OpenCards({{"alpha", "one"}, {"anna", "two"}});
  MainWindow& w = Active();
  QTest::mouseClick(Index(), Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_TRUE(Index()->hasFocus());
  // The window manager may resize the window at any time; the stack is laid
  // out again, but the caret stays where the user put it.
  const int before = w.ClientHeight();
  w.resize(w.width() + 40, w.height() + 40);
  ASSERT_TRUE(Eventually([&] {
    return w.Cards().OnScreenEntries()[0].rect == CascadeRect(before + 40, 0);
  }));
  EXPECT_TRUE(Index()->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), "Ada");
  EXPECT_EQ(Front(), "Ada");
  EXPECT_EQ(Body()->Text(), "one");
}

TEST_F(MainWindowTest, StatusPanes) {
  MainWindow& w = Window();
  EXPECT_EQ(w.ReadyText(), "Ready");
  EXPECT_EQ(w.CardCountText(), "0 Cards");
  // One tick of the card-count timer later (the tick updates the command
  // states): still none.
  QSignalSpy tick(&w.Commands(), &CommandRegistry::statesUpdated);
  ASSERT_TRUE(tick.wait(3000));
  EXPECT_EQ(w.CardCountText(), "0 Cards");

  // Cards arriving by any road show up within one tick.
  w.Cards().AddCardWindow("a", true);
  w.Cards().AddCardWindow("b", true);
  EXPECT_TRUE(Eventually([&] { return w.CardCountText() == "2 Cards"; }));
  EXPECT_TRUE(w.Action(CommandId::Next)->isEnabled());  // the same tick updates states

  w.Action(CommandId::Merge)->showStatusText(&w);
  EXPECT_EQ(w.statusBar()->currentMessage(), "Merge two .TSL files together");
  w.statusBar()->clearMessage();

  EXPECT_EQ(w.OverwriteText(), "");
  w.SetOverwrite(true);
  EXPECT_EQ(w.OverwriteText(), "OVR");
  w.SetOverwrite(false);
  EXPECT_EQ(w.OverwriteText(), "");
}

TEST_F(MainWindowTest, HelpOpensTheInstalledPageOrExplains) {
  MainWindow& w = Window();
  w.RunCommand(CommandId::HelpContents);  // the source tree's page
  ASSERT_EQ(dialogs.urls.size(), 1u);
  EXPECT_EQ(dialogs.urls[0], QUrl::fromLocalFile(TESSEL_SOURCE_DIR "/resources/help/tessel.html"));

  QDir(files.path()).mkpath("inst");
  QFile page(files.filePath("inst/tessel.html"));
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.close();
  store.WriteString(kInstalled, files.filePath("inst").toStdString());
  QTest::keyClick(&w, Qt::Key_F1);
  ASSERT_EQ(dialogs.urls.size(), 2u);
  EXPECT_EQ(dialogs.urls[1], QUrl::fromLocalFile(files.filePath("inst/tessel.html")));

  store.WriteString(kInstalled, files.filePath("nowhere").toStdString());
  w.RunCommand(CommandId::HelpContents);
  EXPECT_EQ(dialogs.urls.size(), 2u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Warning);
  EXPECT_EQ(dialogs.shown[0].caption, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
  const QStringList lines = dialogs.shown[0].text.split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], "There is a problem with the help file.");
  EXPECT_EQ(lines[1], "You may need the Microsoft HTML Help Update");
  EXPECT_TRUE(lines[2].startsWith("Please, go to https://"));
  EXPECT_TRUE(lines[2].endsWith(" and follow the instructions from there"));
}

TEST_F(MainWindowTest, HelpThatNoProgramTakesSaysWhereThePageIs) {
  MainWindow& w = Window();
  dialogs.urlOpens = false;
  w.RunCommand(CommandId::HelpContents);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  const QString page = QFileInfo(TESSEL_SOURCE_DIR "/resources/help/tessel.html").absoluteFilePath();
  EXPECT_TRUE(dialogs.shown[0].text.startsWith("The help page could not be opened."));
  EXPECT_TRUE(dialogs.shown[0].text.endsWith("\n" + page)) << dialogs.shown[0].text.toStdString();

  // The real hand-over knows when xdg-open found no program for the page.
  QTemporaryDir bin;
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", bin.path().toLocal8Bit());
  QtDialogs real;
  for (int status : {3, 0}) {
    QFile stub(bin.filePath("xdg-open"));
    ASSERT_TRUE(stub.open(QIODevice::WriteOnly | QIODevice::Truncate));
    stub.write("#!/bin/sh\nexit " + QByteArray::number(status) + "\n");
    stub.close();
    stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    bool failed = false;
    EXPECT_TRUE(real.OpenUrl(QUrl::fromLocalFile(page), [&] { failed = true; }));
    EXPECT_EQ(Eventually([&] { return failed; }), status != 0) << status;
  }
  qputenv("PATH", oldPath);
}

TEST_F(MainWindowTest, TheHelpPageSaysMergeLeavesChangesToSave) {
  // What the page says about Merge is what the window does.
  QFile page(TESSEL_SOURCE_DIR "/resources/help/tessel.html");
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(page.readAll());
  const qsizetype at = html.indexOf("<td>Merge...</td>");
  ASSERT_GE(at, 0);
  const QString row = html.mid(at, html.indexOf("</tr>", at) - at);
  EXPECT_TRUE(row.contains("Save Changes ?")) << row.toStdString();

  MainWindow& w = Window();
  OpenThrough(CardFile("base.tsl", {"a"}));
  dialogs.openNames = {CardFile("more.tsl", {"b"})};
  w.RunCommand(CommandId::Merge);
  dialogs.answers = {QMessageBox::Cancel};
  EXPECT_FALSE(w.close());
  EXPECT_EQ(dialogs.Prompts(), 1);
}

TEST_F(MainWindowTest, AboutIsModalWithNameVersionAndMaker) {
  MainWindow& w = Window();
  w.RunCommand(CommandId::About);
  ASSERT_EQ(dialogs.modalTitles, QStringList{"About Tessel..."});
  EXPECT_TRUE(dialogs.modalTexts.contains(
      QStringLiteral("Tessel " TESSEL_VERSION "\nOrvane Software\n") + kAboutYears));
}

}  // namespace
}  // namespace tessel
