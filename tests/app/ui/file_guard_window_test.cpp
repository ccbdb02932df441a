// One editor per file and changes on disk, with the real program as the
// other editor and files replaced the way sync tools replace them.
#include "support/main_window_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include <QDir>
#include <QProcess>
#include <QStatusBar>

#include "cards/file_lock.h"
#include "services/ui/file_guard.h"
#include "services/ui/text.h"
#include "support/test_support.h"

namespace tessel {
namespace {

class FileGuardWindowTest : public uitest::MainWindowTest {
 protected:
  // A new version written elsewhere, then renamed over the file.
  void ReplaceOnDisk(const QString& path, std::vector<std::string> indexes) {
    const QString incoming = CardFile(QStringLiteral("incoming.part"), std::move(indexes));
    std::filesystem::rename(ToPath(incoming), ToPath(path));
  }
  QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // Waits longer than Eventually: another process has to start.
  static bool Within(int ms, const std::function<bool()>& done) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) QTest::qWait(20);
    return done();
  }
  int Cli(const QStringList& args, QString* err = nullptr) {
    QProcess cli;
    cli.start(QStringLiteral(TESSEL_CLI), args);
    cli.waitForFinished(20000);
    if (err) *err = QString::fromUtf8(cli.readAllStandardError());
    return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
  }
};

TEST_F(FileGuardWindowTest, ASecondInstanceIsToldWhoHasTheFileAndMayOnlyRead) {
  const QString path = CardFile(QStringLiteral("cards.tsl"), {"a", "b"});
  QProcess first;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.dir.path());
  first.setProcessEnvironment(env);
  first.start(QStringLiteral(TESSEL_PROGRAM), {path});
  ASSERT_TRUE(first.waitForStarted());
  const QString lock = files.filePath(QStringLiteral(".cards.tsl.lock"));
  ASSERT_TRUE(Within(20000, [&] { return QFileInfo(lock).size() > 0; }));

  dialogs.choices = {0};
  Window().LoadCommandLine(ToPath(path));
  ASSERT_EQ(dialogs.choiceButtons.size(), 1u);
  EXPECT_EQ(dialogs.choiceButtons[0], QStringList({"&Open Read-Only", "Cancel"}));
  EXPECT_EQ(dialogs.choiceDefaults[0], 0);
  const QString holder = QStringLiteral("cards.tsl is open in Tessel on %1 (process %2).")
                             .arg(ToQString(ThisHost()))
                             .arg(first.processId());
  EXPECT_TRUE(dialogs.shown.back().text.startsWith(holder)) << dialogs.shown.back().text.toStdString();
  EXPECT_EQ(Window().windowTitle(), "Tessel - " + path + " (read-only)");
  EXPECT_FALSE(Window().Action(CommandId::Save)->isEnabled());
  EXPECT_TRUE(Window().Action(CommandId::SaveAs)->isEnabled());

  QString err;
  EXPECT_EQ(Cli({QStringLiteral("tag"), path, QStringLiteral("--none")}, &err), 1);
  EXPECT_TRUE(err.contains(QStringLiteral("(process %1)").arg(first.processId()))) << err.toStdString();
  EXPECT_EQ(Cli({QStringLiteral("tag"), path, QStringLiteral("--none"), QStringLiteral("--force")}), 0);

  // Killed, the first leaves its lock behind; it is taken over unasked.
  ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
  first.waitForFinished();
  OpenThrough(path);
  EXPECT_EQ(dialogs.choiceButtons.size(), 1u);
  EXPECT_EQ(Window().windowTitle(), "Tessel - " + path);
  EXPECT_TRUE(Window().Action(CommandId::Save)->isEnabled());
  ASSERT_TRUE(ReadLockFile(ToPath(lock)));
  EXPECT_EQ(ReadLockFile(ToPath(lock))->holder.pid, QCoreApplication::applicationPid());
}

TEST_F(FileGuardWindowTest, AFileReplacedUnderTheProgramIsReloadedOrToldAndSaveAsksFirst) {
  const QString path = CardFile(QStringLiteral("cards.tsl"), {"a", "b", "c"});
  OpenThrough(path);
  Window().Cards().BringIndexToFront("b");
  Window().Cards().RefreshStack();

  ReplaceOnDisk(path, {"a", "b", "z"});
  ASSERT_TRUE(Eventually([&] { return Window().Cards().At(1).index == "z"; }));
  EXPECT_EQ(Front(), "b");
  EXPECT_EQ(Window().statusBar()->currentMessage(),
            "cards.tsl was changed by another program and has been reloaded.");

  Active();
  QTest::keyClicks(Body(), "mine");
  ASSERT_TRUE(Window().Cards().Modified());
  ReplaceOnDisk(path, {"theirs"});
  // Noticed again: the watch followed the file renamed over the first.
  ASSERT_TRUE(Eventually([&] { return dialogs.notices.size() == 1; }));
  EXPECT_TRUE(dialogs.notices[0].startsWith("cards.tsl was changed by another program."));
  EXPECT_EQ(Body()->toPlainText().left(4), "mine");

  const QByteArray theirs = Bytes(path);
  dialogs.choices = {2};
  Window().RunCommand(CommandId::Save);
  EXPECT_EQ(dialogs.shown.back().text, "cards.tsl was changed by another program since you opened it.");
  EXPECT_EQ(dialogs.choiceButtons.back(), QStringList({"&Save As...", "&Overwrite", "Cancel"}));
  EXPECT_EQ(dialogs.choiceDefaults.back(), 0);
  EXPECT_EQ(Bytes(path), theirs);
  EXPECT_TRUE(Window().Cards().Modified());
}

TEST_F(FileGuardWindowTest, AChangeWaitsWhileADialogHasTheWindow) {
  const QString path = CardFile(QStringLiteral("cards.tsl"), {"a"});
  OpenThrough(path);
  QDialog dialog(&Window());
  {
    uitest::ModalAnswer answer([&](QWidget&) {
      ReplaceOnDisk(path, {"theirs"});
      QTest::qWait(800);  // the watcher's news comes in this time, and waits
      EXPECT_EQ(Front(), "a");
    });
    dialog.exec();
  }
  EXPECT_TRUE(Eventually([&] { return Front() == "theirs"; }));
}

TEST_F(FileGuardWindowTest, LocksAreTakenFromLeftoversOnlyWhenStale) {
  const std::string card = ToPath(CardFile(QStringLiteral("cards.tsl"), {"a"}));
  const std::string beside = ToPath(files.filePath(QStringLiteral(".cards.tsl.lock")));
  QtFileLocker locker;
  LockResult first = locker.Lock(card);
  ASSERT_TRUE(first.lock);
  const LockResult second = locker.Lock(card);
  ASSERT_TRUE(second.holder);
  EXPECT_EQ(second.holder->pid, QCoreApplication::applicationPid());
  first.lock.reset();
  EXPECT_FALSE(QFile::exists(FromPath(beside)));

  // Another machine's lock holds while it is refreshed, not after.
  const auto otherHost = [&](std::chrono::minutes age) {
    test::WriteBytes(beside, {'7', '\n', 't', '\n', 'f', 'a', 'r', '\n'});
    const auto when = std::chrono::system_clock::now() - age;
    const timespec times[2] = {{std::chrono::system_clock::to_time_t(when), 0},
                               {std::chrono::system_clock::to_time_t(when), 0}};
    ::utimensat(AT_FDCWD, beside.c_str(), times, 0);
    return locker.Lock(card);
  };
  const LockResult fresh = otherHost(kLockStaleAfter - std::chrono::minutes(1));
  ASSERT_TRUE(fresh.holder);
  EXPECT_EQ(fresh.holder->host, "far");
  EXPECT_TRUE(otherHost(kLockStaleAfter + std::chrono::minutes(1)).lock);
}

TEST_F(FileGuardWindowTest, AFolderRefusingTheLockSendsItToTheRuntimeFolderAndNoLockAtAllOpensAnyway) {
  const QString path = CardFile(QStringLiteral("cards.tsl"), {"a"});
  const QByteArray before = Bytes(path);
  // Something in the lock file's place that is not one.
  ASSERT_TRUE(QDir(files.path()).mkdir(QStringLiteral(".cards.tsl.lock")));
  QTemporaryDir runtime;
  const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  QtFileLocker locker;
  LockResult taken = locker.Lock(ToPath(path));
  EXPECT_TRUE(taken.lock);
  EXPECT_TRUE(locker.Lock(ToPath(path)).holder);
  taken.lock.reset();

  // Neither there nor in a runtime folder that is no folder.
  const QString notAFolder = runtime.filePath(QStringLiteral("file"));
  test::WriteBytes(ToPath(notAFolder), {'x'});
  qputenv("XDG_RUNTIME_DIR", notAFolder.toUtf8());
  const LockResult none = locker.Lock(ToPath(path));
  EXPECT_FALSE(none.lock);
  EXPECT_FALSE(none.holder);
  OpenThrough(path);
  qputenv("XDG_RUNTIME_DIR", oldRuntime);
  EXPECT_EQ(Window().windowTitle(), "Tessel - " + path);
  EXPECT_TRUE(Window().statusBar()->currentMessage().startsWith(
      "cards.tsl could not be locked against a second editor ("));
  EXPECT_EQ(Bytes(path), before);
}

}  // namespace
}  // namespace tessel
