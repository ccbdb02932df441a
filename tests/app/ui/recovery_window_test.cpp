// Recovery in the window: at start the newest recovery file of a process
// that is gone is offered, and every answer does what it says.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <QAction>

#include "cards/recovery.h"
#include "support/main_window_fixture.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

class RecoveryWindowTest : public uitest::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    folder = RecoveryFolder();
    fs::remove_all(folder);
    ASSERT_EQ(MakeRecoveryFolder(folder), "");
  }
  void TearDown() override { fs::remove_all(folder); }

  // A recovery file left by a process that has ended.
  std::string Left(const std::string& name, int64_t written, const std::string& path,
                   bool saveBlocked, const std::vector<CardInfo>& cards) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    RecoveryHeader header;
    header.pid = static_cast<uint32_t>(child);
    header.written = written;
    header.path = path;
    header.saveBlocked = saveBlocked;
    const std::string file = folder + "/" + name;
    EXPECT_EQ(WriteRecoveryFile(file, RecoveryBytes(header, FormatSettings{}, cards)), "");
    return file;
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Makes a new main window, which offers what it finds once events run.
  void Restart() {
    window.reset();
    dialogs.shown.clear();
    Window();
    QTest::qWait(50);
  }

  std::string folder;
};

TEST_F(RecoveryWindowTest, RecoverBringsBackTheNewestAsTheDocumentItWas) {
  const std::string crd = files.filePath("old.crd").toStdString();
  const std::string older = Left("a.recovery", 1000, "/elsewhere/x.tsl", false, {CardInfo("x")});
  const std::string newer = Left("b.recovery", std::time(nullptr), crd, true,
                                 {CardInfo("b", "", 1), CardInfo("a", "typed", 1)});
  MainWindow& w = Window();
  ASSERT_TRUE(Eventually([&] { return !dialogs.shown.empty(); }));
  EXPECT_EQ(dialogs.shown[0].text.toStdString().rfind(
                "Tessel was not closed properly. Recover the unsaved cards of old.crd (from ", 0),
            0u);
  EXPECT_EQ(dialogs.shown[0].reason, "&Recover|&Discard|&Later");
  EXPECT_EQ(dialogs.shown.size(), 1u);  // only the newest is offered

  EXPECT_EQ(w.Cards().Size(), 2u);
  EXPECT_EQ(w.Cards().At(0).body, "typed");
  EXPECT_EQ(w.Doc().Path(), crd);
  EXPECT_TRUE(w.Cards().Modified());
  w.UpdateCommandStates();
  EXPECT_FALSE(w.Action(CommandId::Save)->isEnabled());  // a recovered import stays unsaveable
  // The older one waits for the next start; this process keeps the newer.
  ASSERT_TRUE(fs::exists(older));
  EXPECT_FALSE(fs::exists(newer));
  ASSERT_EQ(Files().size(), 2u);

  dialogs.saveNames = {files.filePath("saved.tsl")};
  w.RunCommand(CommandId::SaveAs);
  EXPECT_FALSE(w.Cards().Modified());
  EXPECT_TRUE(Eventually([&] { return Files() == std::vector<std::string>{"a.recovery"}; }));
}

TEST_F(RecoveryWindowTest, DiscardAsksAgainAndLaterKeepsTheFile) {
  const std::string file = Left("c.recovery", 1000, "", false, {CardInfo("x")});
  dialogs.choices = {2};  // Later
  Restart();
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(fs::exists(file));

  dialogs.choices = {1};  // Discard, then No to the second question
  dialogs.answers = {QMessageBox::No};
  Restart();
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].text,
            "Discard the unsaved cards of an untitled document? They cannot be brought back.");
  EXPECT_TRUE(fs::exists(file));

  dialogs.choices = {1};
  dialogs.answers = {QMessageBox::Yes};
  Restart();
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(Window().Cards().Empty());
}

TEST_F(RecoveryWindowTest, ADamagedRecoveryIsToldAndNotOfferedAgain) {
  const std::string file = Left("d.recovery", 1000, "/x.tsl", false, {CardInfo("x")});
  fs::resize_file(file, fs::file_size(file) - 3);  // the header is whole, the cards not
  Restart();
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].caption, "Tessel Error...");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(fs::exists(file + ".damaged"));
  Restart();
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace tessel
