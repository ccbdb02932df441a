// Saving must never leave the user with less than they had: every failure
// point of the save leaves the old file whole and the document modified.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "cards/card_file.h"
#include "support/failing_ops.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using test::FailingOps;

CardCollection ManyCards(std::size_t n) {
  CardCollection cards;
  std::vector<CardInfo> records;
  for (std::size_t i = 0; i < n; ++i) {
    records.emplace_back("card " + std::to_string(i), std::string(300, 'b'), 1);
  }
  cards.AppendCards(std::move(records));
  cards.SortCards();
  return cards;
}

TEST(AtomicSave, EveryFailurePointKeepsTheOldFile) {
  test::TempDir dir;
  const std::string target = dir.File("cards.tsl");
  const std::vector<uint8_t> original = {'o', 'l', 'd'};
  test::WriteBytes(target, original);
  ::chmod(target.c_str(), 0640);

  CardCollection cards = ManyCards(1000);  // several buffers' worth
  const FormatSettings format;
  // Count the calls of a good save, then fail each one in turn.
  FailingOps counter(-1);
  {
    test::TempDir scratch;
    test::RecordingReporter errors;
    test::WriteBytes(scratch.File("x.tsl"), original);  // same calls as over an existing file
    ASSERT_TRUE(errors(WriteCardFile(cards, format, scratch.File("x.tsl"), counter)));
  }
  ASSERT_GT(counter.calls, 8);
  for (int at = 0; at < counter.calls; ++at) {
    FailingOps ops(at);
    test::RecordingReporter errors;
    cards.MarkBodyKey();
    EXPECT_FALSE(errors(WriteCardFile(cards, format, target, ops))) << "call " << at;
    EXPECT_TRUE(cards.Modified()) << "call " << at;
    EXPECT_EQ(test::ReadBytes(target), original) << "call " << at;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"cards.tsl"}) << "call " << at;
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0].rfind("File Error - \"" + target + "\"", 0), 0u) << errors.messages[0];
  }

  test::RecordingReporter errors;
  ASSERT_TRUE(errors(WriteCardFile(cards, format, target)));
  EXPECT_FALSE(cards.Modified());
  EXPECT_EQ(test::ReadBytes(target), CardFileBytes(format, cards.Cards()));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the user's permissions survive
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"cards.tsl"});
}

TEST(AtomicSave, AMissingFolderIsTheCreateFailure) {
  test::TempDir dir;
  CardCollection cards = ManyCards(2);
  cards.MarkBodyKey();
  cards.BringToFront(1);
  test::RecordingReporter errors;
  const std::string target = dir.File("no/such/folder.tsl");
  EXPECT_FALSE(errors(WriteCardFile(cards, FormatSettings{}, target)));
  ASSERT_EQ(errors.messages, std::vector<std::string>{"File Error - \"" + target + "\""});
  EXPECT_TRUE(cards.Modified());
  EXPECT_EQ(cards.At(0).index, "card 1");  // re-sorted, front kept
}

TEST(AtomicSave, SavesThroughALinkToTheFileItNames) {
  test::TempDir dir;
  CardCollection cards = ManyCards(3);
  test::RecordingReporter errors;
  const std::string real = dir.File("real.tsl");
  test::WriteBytes(real, {'x'});
  std::filesystem::create_symlink(real, dir.File("link.tsl"));
  ASSERT_TRUE(errors(WriteCardFile(cards, FormatSettings{}, dir.File("link.tsl"))));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.tsl")));
  EXPECT_EQ(test::ReadBytes(real), CardFileBytes(FormatSettings{}, cards.Cards()));
}

TEST(AtomicSave, ALinkToNoFileYetIsWrittenThroughOrRefusedNeverReplaced) {
  test::TempDir dir;
  CardCollection cards = ManyCards(1);
  std::filesystem::create_directory(dir.File("made"));
  std::filesystem::create_symlink("made/x.tsl", dir.File("new.tsl"));  // relative, as ln -s makes
  std::filesystem::create_symlink("nowhere/x.tsl", dir.File("dang.tsl"));
  std::filesystem::create_symlink("loop.tsl", dir.File("loop.tsl"));

  test::RecordingReporter errors;
  ASSERT_TRUE(errors(WriteCardFile(cards, FormatSettings{}, dir.File("new.tsl"))));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("new.tsl")));
  EXPECT_EQ(test::ReadBytes(dir.File("made/x.tsl")), CardFileBytes(FormatSettings{}, cards.Cards()));

  for (const char* link : {"dang.tsl", "loop.tsl"}) {
    const FileResult result = WriteCardFile(cards, FormatSettings{}, dir.File(link));
    EXPECT_FALSE(result.ok) << link;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File(link))) << link;
    EXPECT_FALSE(result.detail.empty()) << link;
  }
  EXPECT_NE(WriteCardFile(cards, FormatSettings{}, dir.File("dang.tsl")).detail.find("No such file"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("nowhere")));
}

TEST(AtomicSave, LeavesReadOnlyFilesAlone) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
  test::TempDir dir;
  CardCollection cards = ManyCards(3);
  test::RecordingReporter errors;
  const std::string real = dir.File("real.tsl");
  test::WriteBytes(real, {'x'});
  ::chmod(real.c_str(), 0444);
  cards.MarkBodyKey();
  EXPECT_FALSE(errors(WriteCardFile(cards, FormatSettings{}, real)));
  EXPECT_TRUE(cards.Modified());
  EXPECT_EQ(test::ReadBytes(real), std::vector<uint8_t>{'x'});
}

// A writer in another process, stopped half-way through a save of `target`
// until it is killed: its temporary file is there, not yet renamed.
pid_t HalfSave(const std::string& target) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    AtomicFile file;
    const uint8_t byte = 'n';
    if (file.Begin(target) && file.Write(&byte, 1) && ::write(ready[1], "r", 1) == 1) ::pause();
    ::_exit(1);
  }
  char c = 0;
  ::close(ready[1]);
  const bool began = ::read(ready[0], &c, 1) == 1;
  ::close(ready[0]);
  return began ? pid : -1;
}

TEST(AtomicSave, ALaterSaveRemovesWhatKilledSavesLeftAndNoLiveWritersFile) {
  test::TempDir dir;
  const std::string target = dir.File("cards.tsl");
  test::WriteBytes(target, {'o'});
  const pid_t killed = HalfSave(target);
  const pid_t running = HalfSave(target);
  ASSERT_GT(killed, 0);
  ASSERT_GT(running, 0);
  ::kill(killed, SIGKILL);
  ::waitpid(killed, nullptr, 0);
  ASSERT_EQ(dir.Names().size(), 3u);

  CardCollection cards = ManyCards(2);
  test::RecordingReporter errors;
  EXPECT_TRUE(errors(WriteCardFile(cards, FormatSettings{}, target)));
  std::vector<std::string> names = dir.Names();
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 2u);
  char pid[9];
  std::snprintf(pid, sizeof pid, "%08x", static_cast<unsigned>(running));
  EXPECT_EQ(names[0].rfind(std::string(".cards.tsl.") + pid, 0), 0u) << names[0];
  EXPECT_EQ(names[1], "cards.tsl");
  ::kill(running, SIGKILL);
  ::waitpid(running, nullptr, 0);
}

// A folder that takes no new files (another user's), holding a file the
// user may write: the only way to save is in place.
class ClosedFolderOps : public FileOps {
 public:
  int Open(const char* p, int f, mode_t m) override {
    if (f & O_CREAT) {
      errno = EACCES;
      return -1;
    }
    return FileOps::Open(p, f, m);
  }
};

class ClosedFolderFailingWrites final : public ClosedFolderOps {
 public:
  ssize_t Write(int fd, const void* d, std::size_t n) override {
    if (writes++ == 1) {
      errno = ENOSPC;
      return -1;
    }
    return FileOps::Write(fd, d, n);
  }
  int writes = 0;
};

TEST(AtomicSave, AFolderThatTakesNoNewFilesIsWrittenInPlace) {
  test::TempDir dir;
  const std::string target = dir.File("cards.tsl");
  test::WriteBytes(target, std::vector<uint8_t>(500000, 'o'));  // longer than the new file
  CardCollection cards = ManyCards(100);
  cards.MarkBodyKey();
  ClosedFolderOps ops;
  test::RecordingReporter errors;
  ASSERT_TRUE(errors(WriteCardFile(cards, FormatSettings{}, target, ops)));
  EXPECT_EQ(test::ReadBytes(target), CardFileBytes(FormatSettings{}, cards.Cards()));
  EXPECT_FALSE(cards.Modified());
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"cards.tsl"});

  // A new file cannot be made there at all.
  cards.MarkBodyKey();
  EXPECT_FALSE(errors(WriteCardFile(cards, FormatSettings{}, dir.File("new.tsl"), ops)));
  EXPECT_TRUE(cards.Modified());

  // A failure while writing in place is not reported as a file left whole.
  ClosedFolderFailingWrites failing;
  cards = ManyCards(1000);
  cards.MarkBodyKey();
  EXPECT_FALSE(errors(WriteCardFile(cards, FormatSettings{}, target, failing)));
  EXPECT_TRUE(cards.Modified());
  ASSERT_EQ(errors.messages.size(), 2u);
  EXPECT_NE(errors.messages[1].find("may be incomplete"), std::string::npos) << errors.messages[1];
}

}  // namespace
}  // namespace tessel
