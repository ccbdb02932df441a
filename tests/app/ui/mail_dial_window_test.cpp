// Mail and dialling through the main window, against real stand-ins: a stub
// xdg-email first on PATH and a pseudo-terminal as the modem.
#include <sys/stat.h>
#include <termios.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include "services/ui/modem_setup_dialog.h"
#include "stack/ui/body_editor.h"
#include "stack/ui/card_windows.h"
#include "support/fake_modem.h"
#include "support/main_window_fixture.h"
#include "support/test_support.h"
#include "support/xdg_email_stub.h"

namespace tessel {
namespace {

using uitest::XdgEmailStub;

QString AppCaption() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

class MailDialTest : public uitest::MainWindowTest {
 protected:
  void OpenCards(const std::vector<CardInfo>& cards, const QString& name = "cards.tsl") {
    Window().Cards().MarkUnchanged();
    OpenThrough(WriteCards(name, cards));
    ASSERT_EQ(Window().Cards().Size(), cards.size());
  }
  QAction* Action(CommandId id) { return Window().Commands().Action(id); }
  bool CardToolBarHas(CommandId id) {
    FrontCardWindow* front = Window().StackView().Front();
    return front && front->ToolBar()->actions().contains(Action(id));
  }
  bool Enabled(CommandId id) {
    Window().UpdateCommandStates();
    return Action(id)->isEnabled();
  }
  // Waits for the stub's next call.
  QStringList NextCall(const XdgEmailStub& stub, std::size_t before) {
    QDeadlineTimer deadline(10000);
    while (stub.Calls().size() <= before && !deadline.hasExpired()) QTest::qWait(20);
    // Let the hand-over's end reach the window too.
    Eventually([&] { return QGuiApplication::overrideCursor() == nullptr; });
    return stub.Calls().size() > before ? stub.Calls()[before] : QStringList();
  }
  void SelectInBody(const QString& text) {
    BodyEditor* body = Window().StackView().FrontBody();
    ASSERT_NE(body, nullptr);
    const int start = body->toPlainText().indexOf(text);
    ASSERT_GE(start, 0);
    QTextCursor c = body->textCursor();
    c.setPosition(start);
    c.setPosition(start + int(text.size()), QTextCursor::KeepAnchor);
    body->setTextCursor(c);
  }
  const uitest::ScriptedDialogs::Shown* LastShown() {
    return dialogs.shown.empty() ? nullptr : &dialogs.shown.back();
  }
};

// ---- Mail ----

TEST_F(MailDialTest, MailCardHandsTheCutFrontCardToTheMailProgram) {
  XdgEmailStub stub;
  OpenCards({CardInfo(std::string(40, 'A'), std::string(600, 'b'), 1), CardInfo("Zed", "z", 1)});
  EXPECT_TRUE(Enabled(CommandId::MailCard));
  EXPECT_TRUE(CardToolBarHas(CommandId::MailCard));
  EXPECT_TRUE(CardToolBarHas(CommandId::AutoDial));
  Window().RunCommand(CommandId::MailCard);
  EXPECT_EQ(NextCall(stub, 0), (QStringList{"--utf8", "--subject", QString(31, 'A'), "--body",
                                            QString(511, 'b')}));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MailDialTest, ListAndTaggedAttachFilesThatLastUntilTheProgramEnds) {
  XdgEmailStub stub;
  OpenCards({CardInfo("Ann", "abc", 1), CardInfo("Bob", "not mailed", 0),
             CardInfo("Cy", std::string(64, 'x') + " yyyyy\r\n", 1)});
  Window().RunCommand(CommandId::MailList);
  const QStringList list = NextCall(stub, 0);
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(list[1], "--attach");
  EXPECT_EQ(QFileInfo(list[2]).fileName(), "cards.tsl.txt");
  EXPECT_EQ(stub.Attachment(), QByteArray("Ann\r\nBob\r\nCy\r\n"));

  Window().RunCommand(CommandId::MailTagged);
  const QStringList tagged = NextCall(stub, 1);
  ASSERT_EQ(tagged.size(), 3);
  const QByteArray sep = QByteArray(60, '-') + "\r\n";
  EXPECT_EQ(stub.Attachment(), "Ann\r\nabc\r\n" + sep + "\r\n" + "Cy\r\n" + QByteArray(64, 'x') +
                                   " \r\nyyyyy\r\n\r\n" + sep + "\r\n");
  EXPECT_TRUE(dialogs.shown.empty());

  // Both files stay for the mail program, in the private folder, until the end.
  const QString folder = QFileInfo(QFileInfo(list[2]).path()).path();
  struct stat st{};
  ASSERT_EQ(stat(QFile::encodeName(folder).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(QFileInfo::exists(list[2]));
  EXPECT_TRUE(QFileInfo::exists(tagged[2]));
  window.reset();
  EXPECT_FALSE(QFileInfo::exists(list[2]));
  EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(MailDialTest, AnUntitledFileAnEmptyCardAndAnEmptyTaggedSetStillMail) {
  XdgEmailStub stub;
  Window().RunCommand(CommandId::Add);
  Window().RunCommand(CommandId::MailList);
  QStringList call = NextCall(stub, 0);
  ASSERT_EQ(call.size(), 3);
  EXPECT_EQ(QFileInfo(call[2]).fileName(), "Untitled.txt");
  EXPECT_EQ(stub.Attachment(), QByteArray("Type Index Text Here #1\r\n"));

  // The new card's body is empty: it goes without a text, not as a refused one.
  Window().RunCommand(CommandId::MailCard);
  EXPECT_EQ(NextCall(stub, 1), (QStringList{"--utf8", "--subject", "Type Index Text Here #1"}));
  EXPECT_TRUE(dialogs.shown.empty());

  OpenCards({CardInfo("Ann", "abc", 0)}, "none.tsl");
  Window().RunCommand(CommandId::MailTagged);
  call = NextCall(stub, 2);
  ASSERT_EQ(call.size(), 3);
  EXPECT_EQ(QFileInfo(call[2]).fileName(), "none.tsl.txt");
  EXPECT_TRUE(QFileInfo::exists(call[2]));
  EXPECT_EQ(QFileInfo(call[2]).size(), 0);
  EXPECT_EQ(stub.Attachment(), QByteArray());
}

TEST_F(MailDialTest, FailuresAreReportedInTheirBoxes) {
  {
    XdgEmailStub stub;
    stub.SetExitStatus(4);
    OpenCards({CardInfo("Ann", "abc", 1)});
    Window().RunCommand(CommandId::MailCard);
    NextCall(stub, 0);
    ASSERT_TRUE(Eventually([&] { return !dialogs.shown.empty(); }));
    EXPECT_EQ(LastShown()->text, "Failed To Send\nPlease verify your email setup");
    EXPECT_EQ(LastShown()->caption, AppCaption());
    EXPECT_EQ(LastShown()->icon, QMessageBox::Warning);
  }
  // An attachment that cannot be written: nothing is handed over.
  XdgEmailStub stub;
  Window().Model().document.LoadCommandLine(QDir::tempPath().toStdString() + "/" +
                                            std::string(260, 'n') + ".tsl");
  Window().RunCommand(CommandId::Add);
  dialogs.shown.clear();
  Window().RunCommand(CommandId::MailList);
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(LastShown()->text, "File Error");
  EXPECT_EQ(LastShown()->caption, "Tessel Error...");
  EXPECT_EQ(LastShown()->icon, QMessageBox::Critical);
  // A hand-over shows the wait cursor from its start until xdg-email ends.
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(stub.Calls().empty());
}

TEST_F(MailDialTest, WithoutXdgEmailMailCardIsOffAndTheOthersSayLoadFail) {
  XdgEmailStub none(/*present=*/false);
  OpenCards({CardInfo("Ann", "abc", 1)});
  EXPECT_FALSE(Window().MailAvailable());
  EXPECT_FALSE(Enabled(CommandId::MailCard));
  EXPECT_TRUE(Enabled(CommandId::MailList));
  EXPECT_TRUE(Enabled(CommandId::MailTagged));
  Window().RunCommand(CommandId::MailList);
  ASSERT_TRUE(Eventually([&] { return !dialogs.shown.empty(); }));
  EXPECT_EQ(LastShown()->text,
            "Load Fail\nThere may be a problem with the mail program (xdg-email)");
  EXPECT_EQ(LastShown()->caption, AppCaption());
}

// ---- Dialling ----

class DialTest : public MailDialTest {
 protected:
  QTimer* HangUpTimer() { return Window().findChild<QTimer*>("DialHangUpTimer"); }
  // The next modal dialog is Modem Setup: `act` works it, then OK.
  void AnswerModemSetup(std::function<void(ModemSetupDialog&)> act, bool ok = true) {
    dialogs.modalAnswers.push_back([act, ok](QDialog& d) {
      auto* setup = qobject_cast<ModemSetupDialog*>(&d);
      EXPECT_NE(setup, nullptr);
      if (!setup) return int(QDialog::Rejected);
      if (act) act(*setup);
      return int(ok ? QDialog::Accepted : QDialog::Rejected);
    });
  }
  // Descriptors of this process open on `path`.
  static int OpenOn(const std::string& path) {
    int n = 0;
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System)) {
      n += fd.symLinkTarget() == QString::fromStdString(path);
    }
    return n;
  }
};

TEST_F(DialTest, FirstDialAsksForThePortThenDialsAndHoldsTheLine) {
  test::FakeModem modem;
  store.WriteString("Port 2", modem.Path());
  OpenCards({CardInfo("Ann", "Call (0) 1-2 today", 1)});
  SelectInBody("(0) 1-2");
  EXPECT_TRUE(Enabled(CommandId::AutoDial));
  ASSERT_NE(HangUpTimer(), nullptr);
  EXPECT_EQ(HangUpTimer()->interval(), 7000);
  HangUpTimer()->setInterval(300);

  AnswerModemSetup([&](ModemSetupDialog& d) {
    EXPECT_EQ(d.PortList()->currentIndex(), -1);
    d.PortList()->setCurrentIndex(1);
    EXPECT_EQ(d.DeviceBox()->currentText(), QString::fromStdString(modem.Path()));
  });
  Window().RunCommand(CommandId::AutoDial);
  EXPECT_EQ(dialogs.modalTitles, QStringList{"Modem Setup"});
  EXPECT_EQ(store.GetInt(kComPort, 0), 2);
  EXPECT_EQ(modem.Received(), std::string("ATD012\n\r"));
  EXPECT_NE(modem.Settings().c_cflag & CRTSCTS, 0u);
  EXPECT_TRUE(dialogs.shown.empty());

  // Pending: the button is off even with the number still selected.
  EXPECT_TRUE(Window().DialPending());
  EXPECT_FALSE(Enabled(CommandId::AutoDial));
  EXPECT_EQ(OpenOn(modem.Path()), 2);  // the test's own end and the dial's
  ASSERT_TRUE(Eventually([&] { return !Window().DialPending(); }));
  EXPECT_EQ(OpenOn(modem.Path()), 1);
  EXPECT_TRUE(Enabled(CommandId::AutoDial));

  // The port is chosen now: the next dial goes straight out.
  Window().RunCommand(CommandId::AutoDial);
  EXPECT_EQ(dialogs.modalTitles.size(), 1);
  EXPECT_EQ(modem.Received(), std::string("ATD012\n\r"));
  // Ending the program while a dial is pending closes the port.
  EXPECT_EQ(OpenOn(modem.Path()), 2);
  window.reset();
  EXPECT_EQ(OpenOn(modem.Path()), 1);
}

TEST_F(DialTest, NoDigitsNoPortAndFailedOpensAreReported) {
  test::TempDir dir;
  OpenCards({CardInfo("Ann", "call Bob 0123", 1)});
  SelectInBody("call Bob");
  Window().RunCommand(CommandId::AutoDial);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(LastShown()->text, "Can not dial call Bob");
  EXPECT_EQ(LastShown()->caption, AppCaption());
  EXPECT_TRUE(dialogs.modalTitles.isEmpty());

  // Modem Setup cancelled: the dial is dropped without a word.
  SelectInBody("0123");
  AnswerModemSetup([](ModemSetupDialog& d) { d.PortList()->setCurrentIndex(0); }, false);
  Window().RunCommand(CommandId::AutoDial);
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(store.GetInt(kComPort, 99), 99);  // nothing written

  // A port whose device is a plain file, then one that is missing.
  const std::string file = dir.File("modem.txt");
  test::WriteBytes(file, {});
  store.WriteString("Port 1", file);
  store.WriteString("Port 3", dir.File("ttyUSB9"));
  AnswerModemSetup([](ModemSetupDialog& d) { d.PortList()->setCurrentIndex(0); });
  Window().RunCommand(CommandId::AutoDial);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(LastShown()->caption, "Error");
  EXPECT_EQ(LastShown()->icon, QMessageBox::Information);
  EXPECT_EQ(LastShown()->text, QString::fromStdString(file) +
                                   " is not a serial port.\n"
                                   "Choose the modem's device in Tools > Options.");
  EXPECT_TRUE(test::ReadBytes(file).empty());
  EXPECT_FALSE(Window().DialPending());

  AnswerModemSetup([](ModemSetupDialog& d) { d.PortList()->setCurrentIndex(2); });
  Window().RunCommand(CommandId::Options);
  Window().RunCommand(CommandId::AutoDial);
  EXPECT_EQ(LastShown()->text, "No such file or directory");
  EXPECT_FALSE(Window().DialPending());
}

TEST_F(DialTest, OptionsStoresTheChoiceAndTheDevicesOnlyOnOk) {
  test::TempDir dir;
  test::FakeModem modem;
  store.WriteInt(kComPort, 3);
  for (const char* port : {"Port 1", "Port 2", "Port 3"}) store.WriteString(port, dir.File(port));
  store.WriteString("Port 4", modem.Path());

  // Cancel keeps everything, even a device picked in the dialog.
  AnswerModemSetup([](ModemSetupDialog& d) { d.DeviceBox()->setEditText("/dev/ttyACM0"); }, false);
  Window().RunCommand(CommandId::Options);
  EXPECT_EQ(store.GetInt(kComPort, 0), 3);
  EXPECT_EQ(store.GetString("Port 3", ""), dir.File("Port 3"));

  // Auto Detect finds the pseudo-terminal behind COM 4.
  AnswerModemSetup([](ModemSetupDialog& d) {
    QTest::mouseClick(d.AutoDetectButton(), Qt::LeftButton);
    EXPECT_EQ(d.PortList()->currentIndex(), 3);
  });
  Window().RunCommand(CommandId::Options);
  EXPECT_EQ(store.GetInt(kComPort, 0), 4);
  EXPECT_TRUE(dialogs.shown.empty());

  // Nothing found: "Modem Not Found", and OK keeps the previous choice.
  store.WriteString("Port 4", dir.File("Port 4"));
  AnswerModemSetup([](ModemSetupDialog& d) {
    QTest::mouseClick(d.AutoDetectButton(), Qt::LeftButton);
    EXPECT_EQ(d.PortList()->currentIndex(), -1);
  });
  Window().RunCommand(CommandId::Options);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(LastShown()->text, "Modem Not Found");
  EXPECT_EQ(LastShown()->caption, AppCaption());
  EXPECT_EQ(store.GetInt(kComPort, 0), 4);

  // A device picked for an entry is kept; the untouched entries write nothing.
  AnswerModemSetup([](ModemSetupDialog& d) {
    d.PortList()->setCurrentIndex(1);
    d.DeviceBox()->setEditText("/dev/ttyACM0");
  });
  Window().RunCommand(CommandId::Options);
  EXPECT_EQ(store.GetInt(kComPort, 0), 2);
  EXPECT_EQ(store.GetString("Port 2", ""), "/dev/ttyACM0");
  EXPECT_EQ(store.GetString("Port 1", ""), dir.File("Port 1"));
}

}  // namespace
}  // namespace tessel
