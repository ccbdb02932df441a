// The main window on the offscreen platform, with scripted answers to every
// message box, file dialog and modal dialog, and the settings in a temporary
// folder.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include "services/ui/dialogs.h"
#include "app/ui/main_window.h"
#include "cards/card_file.h"
#include "services/ui/qt_settings_store.h"
#include "stack/ui/body_editor.h"
#include "stack/ui/index_field.h"

namespace tessel::uitest {

class ScriptedDialogs final : public Dialogs {
 public:
  struct Shown {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
    QString reason;
  };
  std::vector<Shown> shown;
  std::deque<QMessageBox::StandardButton> answers;
  // For the questions with buttons of their own: the button texts offered,
  // the index of the default, and the answers (an index) in turn; without
  // one the escape button is chosen.
  std::vector<QStringList> choiceButtons;
  std::vector<int> choiceDefaults;
  std::deque<int> choices;
  QStringList notices;
  std::deque<QString> openNames;
  std::deque<QString> saveNames;
  std::vector<std::optional<QString>> folders;
  std::vector<QString> filters;  // of each file dialog, in turn
  QStringList modalTitles;
  QStringList modalTexts;
  std::vector<QUrl> urls;
  // Answers the next modal dialogs in turn (filling them as a user would);
  // without one a dialog is accepted as it stands.
  std::deque<std::function<int(QDialog&)>> modalAnswers;

  QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                      const QString& text, QMessageBox::StandardButtons buttons,
                                      const QString& reason = QString()) override {
    shown.push_back({icon, caption, text, buttons, reason});
    if (answers.empty()) return QMessageBox::Ok;
    const auto a = answers.front();
    answers.pop_front();
    return a;
  }
  // Answers to Choose by index; without one, the default button.
  int Choose(QWidget*, QMessageBox::Icon icon, const QString& caption, const QString& text,
             const QStringList& buttons, int defaultButton, int) override {
    shown.push_back({icon, caption, text, QMessageBox::NoButton, buttons.join('|')});
    choiceButtons.push_back(buttons);
    choiceDefaults.push_back(defaultButton);
    if (choices.empty()) return defaultButton;
    const int c = choices.front();
    choices.pop_front();
    return c;
  }
  void Notice(QWidget*, const QString&, const QString& text) override { notices.push_back(text); }
  QString OpenFileName(QWidget*, const std::optional<QString>& folder,
                       const FileKind& kind) override {
    filters.push_back(kind.filter);
    return Next(openNames, folder);
  }
  QString SaveFileName(QWidget*, const std::optional<QString>& folder,
                       const FileKind& kind) override {
    filters.push_back(kind.filter);
    return Next(saveNames, folder);
  }
  int RunModal(QDialog& dialog) override {
    modalTitles.push_back(dialog.windowTitle());
    for (const QLabel* label : dialog.findChildren<QLabel*>()) modalTexts.push_back(label->text());
    EXPECT_TRUE(dialog.isModal());
    if (modalAnswers.empty()) return QDialog::Accepted;
    const auto answer = modalAnswers.front();
    modalAnswers.pop_front();
    return answer(dialog);
  }
  bool urlOpens = true;  // false: the program it went to then fails
  bool OpenUrl(const QUrl& url, std::function<void()> failedLater = {}) override {
    urls.push_back(url);
    if (!urlOpens && failedLater) failedLater();
    return true;
  }
  int Prompts() const {
    int n = 0;
    for (const Shown& s : shown) n += s.text == "Save Changes ?";
    return n;
  }

 private:
  QString Next(std::deque<QString>& q, const std::optional<QString>& folder) {
    folders.push_back(folder);
    if (q.empty()) return {};
    QString name = q.front();
    q.pop_front();
    return name;
  }
};

// Points the settings at a fresh folder before any store is made.
// Answers the next modal window of the real dialogs from inside its own
// event loop: `answer` looks at it and closes it. Whatever the answer does
// (a failed ASSERT returns early), the window is closed after it, so a test
// never waits on it; one that has not opened within two seconds, by the
// time this object goes, fails the test.
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(QWidget&)> answer) : answer_(std::move(answer)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start(10);
  }
  ~ModalAnswer() {
    poll_.stop();
    if (!answered_) ADD_FAILURE() << "no modal window opened";
  }
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;

 private:
  void Poll() {
    QPointer<QWidget> modal = QApplication::activeModalWidget();
    if (!modal) {
      if (deadline_.hasExpired()) {
        poll_.stop();
        ADD_FAILURE() << "no modal window opened within two seconds";
        answered_ = true;  // reported once
      }
      return;
    }
    poll_.stop();
    answered_ = true;
    answer_(*modal);
    if (modal && modal->isVisible()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal.data())) {
        dialog->done(QDialog::Rejected);
      } else {
        modal->close();
      }
    }
  }

  std::function<void(QWidget&)> answer_;
  QTimer poll_;
  QDeadlineTimer deadline_{2000};
  bool answered_ = false;
};

struct TemporarySettings {
  TemporarySettings() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
  QTemporaryDir dir;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settings.dir.isValid());
    ASSERT_TRUE(files.isValid());
    ASSERT_TRUE(store.FileName().startsWith(settings.dir.path()));
    QGuiApplication::clipboard()->clear();
  }

  MainWindow& Window() {
    if (!window) {
      window = std::make_unique<MainWindow>(store, dialogs);
      window->show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    return *window;
  }

  QString CardFile(const QString& name, std::vector<std::string> indexes) {
    std::vector<CardInfo> cards;
    for (auto& i : indexes) cards.emplace_back(i);
    return WriteCards(name, cards);
  }

  QString WriteCards(const QString& name, const std::vector<CardInfo>& cards) {
    const QString path = files.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    const auto bytes = CardFileBytes(FormatSettings{}, cards);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
  }

  // A file of the test's folder holding `bytes`.
  QString FileWith(const QString& name, std::string_view bytes) {
    const QString path = files.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }

  void OpenThrough(const QString& path) {
    dialogs.openNames = {path};
    Window().RunCommand(CommandId::Open);
  }

  MainWindow& Active() {
    MainWindow& w = Window();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    return w;
  }
  BodyEditor* Body() { return Window().StackView().FrontBody(); }
  IndexField* Index() { return Window().StackView().FrontIndex(); }
  std::string Front() { return Window().Cards().At(0).index; }

  void OpenCards(const std::vector<std::pair<std::string, std::string>>& cards) {
    std::vector<CardInfo> records;
    for (const auto& [index, body] : cards) records.emplace_back(index, body, 1);
    Window().Cards().MarkUnchanged();  // no save prompt
    OpenThrough(WriteCards("cards.tsl", records));
    ASSERT_EQ(Window().Cards().Size(), cards.size());
  }

  // The next modal dialog gets `text` typed into its edit box and is closed
  // with OK; `check` sees it first.
  template <class Dialog>
  void Type(const QString& text, std::function<void(Dialog&)> check = {}) {
    dialogs.modalAnswers.push_back([text, check](QDialog& d) {
      auto* dialog = qobject_cast<Dialog*>(&d);
      EXPECT_NE(dialog, nullptr);
      if (!dialog) return int(QDialog::Rejected);
      if (check) check(*dialog);
      dialog->Edit()->clear();
      QTest::keyClicks(dialog->Edit(), text);
      return int(QDialog::Accepted);
    });
  }
  void Cancel() {
    dialogs.modalAnswers.push_back([](QDialog&) { return int(QDialog::Rejected); });
  }
  void Select(int start, int end) {
    QTextCursor c = Body()->textCursor();
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    Body()->setTextCursor(c);
  }
  QString Selected() { return Body()->textCursor().selectedText(); }

  // Lets events run until `done` or two seconds have passed.
  static bool Eventually(const std::function<bool()>& done) {
    QDeadlineTimer deadline(2000);
    while (!done() && !deadline.hasExpired()) QTest::qWait(20);
    return done();
  }

  TemporarySettings settings;
  QTemporaryDir files;
  QtSettingsStore store{QStringLiteral("tessel-ui-test")};
  ScriptedDialogs dialogs;
  std::unique_ptr<MainWindow> window;
};

}  // namespace tessel::uitest
