// The backup a save keeps: the right generations with the right contents,
// a copy where no link can be made, a failed backup that never stops the
// save, and a save failed or killed at any system call that leaves the file
// whole and the backup never newer than the file.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "cards/backup.h"
#include "cards/card_file.h"
#include "support/failing_ops.h"
#include "support/test_support.h"

namespace tessel {
namespace {

CardCollection Version(int v, std::size_t cards = 1) {
  CardCollection c;
  std::vector<CardInfo> records;
  for (std::size_t i = 0; i < cards; ++i) {
    records.emplace_back("v" + std::to_string(v) + " card " + std::to_string(i),
                         std::string(300, 'a' + v), 1);
  }
  c.AppendCards(std::move(records));
  c.SortCards();  // as a save leaves them
  return c;
}

std::vector<uint8_t> Bytes(int v, std::size_t cards = 1) {
  return CardFileBytes(FormatSettings{}, Version(v, cards).Cards());
}

// Saves version v; the backup's error, or "" when it was kept.
std::string Save(int v, const std::string& path, const BackupPolicy& policy,
                 FileOps& ops = FileOps::System(), std::size_t cards = 1) {
  CardCollection c = Version(v, cards);
  BackupRequest backup{policy, {}};
  const FileResult saved = WriteCardFile(c, FormatSettings{}, path, ops, &backup);
  return saved ? backup.error : "not saved: " + saved.message;
}

TEST(Backup, OnePlainBackupHoldsTheFileTheSaveReplaced) {
  test::TempDir dir;
  const std::string file = dir.File("cards.tsl");
  const BackupPolicy plain;
  ASSERT_EQ("", Save(1, file, plain));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"cards.tsl"});  // nothing replaced yet
  ::chmod(file.c_str(), 0600);
  ASSERT_EQ("", Save(2, file, plain));
  ASSERT_EQ("", Save(3, file, plain));
  EXPECT_EQ(test::ReadBytes(file), Bytes(3));
  EXPECT_EQ(test::ReadBytes(file + "~"), Bytes(2));
  struct stat st {};
  ASSERT_EQ(::stat((file + "~").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // no more readable than the file was
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"cards.tsl", "cards.tsl~"}));
  EXPECT_EQ(NewestBackup(file, plain), file + "~");
  EXPECT_FALSE(NewestBackup(dir.File("other.tsl"), plain));
}

TEST(Backup, NumberedGenerationsKeepTheNewestN) {
  test::TempDir dir;
  const std::string file = dir.File("cards.tsl");
  const BackupPolicy three{3, ""};
  for (int v = 0; v <= 5; ++v) ASSERT_EQ("", Save(v, file, three));
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"cards.tsl", "cards.tsl.~3~", "cards.tsl.~4~",
                                                   "cards.tsl.~5~"}));
  for (int n = 3; n <= 5; ++n) {
    EXPECT_EQ(test::ReadBytes(file + ".~" + std::to_string(n) + "~"), Bytes(n - 1)) << n;
  }
  EXPECT_EQ(NewestBackup(file, three), file + ".~5~");

  const BackupPolicy none{0, ""};
  ASSERT_EQ("", Save(6, file, none));
  EXPECT_EQ(dir.Names().size(), 4u);
}

TEST(Backup, AFolderOfBackupsKeepsFilesOfTheSameNameApart) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.File("a"));
  std::filesystem::create_directories(dir.File("b"));
  const BackupPolicy folder{1, dir.File("backups")};  // made when first needed
  for (const char* sub : {"a", "b"}) {
    const std::string file = dir.File(std::string(sub) + "/cards.tsl");
    ASSERT_EQ("", Save(1, file, folder));
    ASSERT_EQ("", Save(sub[0] == 'a' ? 2 : 3, file, folder));
  }
  const std::optional<std::string> a = NewestBackup(dir.File("a/cards.tsl"), folder);
  const std::optional<std::string> b = NewestBackup(dir.File("b/cards.tsl"), folder);
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_EQ(a->rfind(dir.File("backups/"), 0), 0u) << *a;
  EXPECT_EQ(test::ReadBytes(*a), Bytes(1));
  EXPECT_EQ(test::ReadBytes(*b), Bytes(1));
}

// Where the system makes no link (another file system, FAT, a protected
// file), the backup is a copy.
class NoLinks final : public FileOps {
 public:
  int Link(const char*, const char*) override {
    errno = EXDEV;
    return -1;
  }
};

TEST(Backup, ACopyWhereNoLinkCanBeMade) {
  test::TempDir dir;
  const std::string file = dir.File("cards.tsl");
  NoLinks ops;
  const BackupPolicy plain;
  ASSERT_EQ("", Save(1, file, plain, ops));
  ASSERT_EQ("", Save(2, file, plain, ops));
  EXPECT_EQ(test::ReadBytes(file + "~"), Bytes(1));
  struct stat target {}, backup {};
  ::stat(file.c_str(), &target);
  ::stat((file + "~").c_str(), &backup);
  EXPECT_NE(target.st_ino, backup.st_ino);
}

TEST(Backup, AnUnwritableBackupFolderDoesNotStopTheSave) {
  test::TempDir dir;
  const std::string file = dir.File("cards.tsl");
  test::WriteBytes(dir.File("plain-file"), {'x'});
  // A folder below a file can never be made, whoever runs the test.
  const BackupPolicy blocked{1, dir.File("plain-file/backups")};
  ASSERT_EQ(Save(1, file, blocked), "");  // nothing replaced: nothing to keep
  const std::string second = Save(2, file, blocked);
  EXPECT_NE(second.find("plain-file"), std::string::npos) << second;
  EXPECT_EQ(test::ReadBytes(file), Bytes(2));
}

// Old and new states of one save: the file held v1 and its backup v0; the
// save writes v2 over v1.
void ExpectWholeAndBackupNotNewer(const std::string& file, const std::string& what) {
  const std::vector<uint8_t> now = test::ReadBytes(file);
  EXPECT_TRUE(now == Bytes(1, 300) || now == Bytes(2, 300)) << what << ": the file is not whole";
  const std::vector<uint8_t> backup = test::ReadBytes(file + "~");
  EXPECT_TRUE(backup == Bytes(0, 300) || backup == Bytes(1, 300)) << what << ": backup";
}

void Prepare(const test::TempDir& dir) {
  test::WriteBytes(dir.File("cards.tsl~"), Bytes(0, 300));
  test::WriteBytes(dir.File("cards.tsl"), Bytes(1, 300));
}

TEST(Backup, EveryFailedSystemCallLeavesTheFileWholeAndTheBackupNotNewer) {
  test::TempDir dir;
  const std::string file = dir.File("cards.tsl");
  const BackupPolicy plain;
  test::FailingOps counter(-1);
  Prepare(dir);
  ASSERT_EQ("", Save(2, file, plain, counter, 300));
  for (int at = 0; at < counter.calls; ++at) {
    Prepare(dir);
    test::FailingOps ops(at);
    Save(2, file, plain, ops, 300);
    ExpectWholeAndBackupNotNewer(file, "call " + std::to_string(at));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"cards.tsl", "cards.tsl~"})) << at;
  }
}

// Kills the process at its n-th system call of the save, for real.
class KillingOps final : public FileOps {
 public:
  explicit KillingOps(int at) : at_(at) {}
  int Open(const char* p, int f, mode_t m) override { return Step(), FileOps::Open(p, f, m); }
  ssize_t Write(int fd, const void* d, std::size_t n) override {
    Step();
    return FileOps::Write(fd, d, n > 1000 ? n / 2 : n);
  }
  int Fsync(int fd) override { return Step(), FileOps::Fsync(fd); }
  int Fchmod(int fd, mode_t m) override { return Step(), FileOps::Fchmod(fd, m); }
  int Close(int fd) override { return Step(), FileOps::Close(fd); }
  int Rename(const char* a, const char* b) override { return Step(), FileOps::Rename(a, b); }
  int Link(const char* a, const char* b) override { return Step(), FileOps::Link(a, b); }
  int calls = 0;

 private:
  void Step() {
    if (calls++ == at_) ::raise(SIGKILL);
  }
  int at_;
};

TEST(Backup, ASaveKilledAtAnySystemCallLeavesTheFileWholeAndTheBackupNotNewer) {
  test::TempDir dir;
  const std::string file = dir.File("cards.tsl");
  const BackupPolicy plain;
  KillingOps counter(-1);
  Prepare(dir);
  ASSERT_EQ("", Save(2, file, plain, counter, 300));
  ASSERT_GT(counter.calls, 6);
  for (int at = 0; at <= counter.calls; ++at) {
    Prepare(dir);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      KillingOps ops(at);
      Save(2, file, plain, ops, 300);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WIFSIGNALED(status), at < counter.calls) << at;
    ExpectWholeAndBackupNotNewer(file, "killed at call " + std::to_string(at));
  }
}

}  // namespace
}  // namespace tessel
