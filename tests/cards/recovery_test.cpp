// Recovery files: what they keep, who may be offered one, and that writing
// them can fail anywhere without touching the card file.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "cards/recovery.h"
#include "support/failing_ops.h"
#include "support/test_support.h"

namespace tessel {
namespace {

std::vector<CardInfo> SomeCards() {
  return {CardInfo("Ann", "Tel 1", 1), CardInfo("Bob", std::string(5000, 'b'), 0)};
}

RecoveryHeader Header(uint32_t pid, int64_t written, const std::string& path = "/x/cards.tsl") {
  RecoveryHeader h;
  h.pid = pid;
  h.written = written;
  h.path = path;
  return h;
}

void WriteRecovery(const std::string& file, const RecoveryHeader& header) {
  ASSERT_EQ(WriteRecoveryFile(file, RecoveryBytes(header, FormatSettings{}, SomeCards())), "");
}

// A process id that belonged to a process that has ended.
uint32_t GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return static_cast<uint32_t>(child);
}

TEST(Recovery, KeepsTheWholeDocumentPrivately) {
  test::TempDir dir;
  const std::string file = dir.File("1.recovery");
  FormatSettings format;
  format.bodyFace = "Courier";
  RecoveryHeader header = OwnRecoveryHeader("/home/u/ümlaut.crd", true);
  ::umask(022);
  ASSERT_EQ(WriteRecoveryFile(file, RecoveryBytes(header, format, SomeCards())), "");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  RecoveryData read;
  std::string error;
  ASSERT_TRUE(LoadRecovery(file, read, error)) << error;
  EXPECT_EQ(read.header.path, "/home/u/ümlaut.crd");
  EXPECT_TRUE(read.header.saveBlocked);
  EXPECT_EQ(read.header.pid, static_cast<uint32_t>(::getpid()));
  EXPECT_EQ(read.header.written, header.written);
  EXPECT_EQ(read.cards.cards, SomeCards());
  EXPECT_EQ(read.cards.format, format);
  EXPECT_TRUE(WriterAlive(read.header));  // this very process
}

TEST(Recovery, ADamagedFileIsRefusedWithAReason) {
  const std::vector<uint8_t> good = RecoveryBytes(Header(7, 0), FormatSettings{}, SomeCards());
  // Every cut-off end, and a path longer than any the program writes.
  for (std::size_t size = 0; size < good.size(); size += 7) {
    RecoveryData out;
    std::string error;
    EXPECT_FALSE(ParseRecovery(std::span(good.data(), size), out, error)) << size;
    EXPECT_FALSE(error.empty()) << size;
    EXPECT_TRUE(out.cards.cards.empty()) << size;
  }
  std::vector<uint8_t> longPath = good;
  longPath[16 + 4 + 4 + 8 + 8 + 1 + 3] = 0x7F;  // the length's high byte
  RecoveryData out;
  std::string error;
  EXPECT_FALSE(ParseRecovery(longPath, out, error));
  EXPECT_EQ(error, "it is damaged");
}

TEST(Recovery, OnlyFilesOfEndedProcessesAreOfferedNewestFirst) {
  test::TempDir dir;
  WriteRecovery(dir.File("a.recovery"), Header(GonePid(), 1000));
  WriteRecovery(dir.File("b.recovery"), Header(GonePid(), 3000));
  WriteRecovery(dir.File("mine.recovery"), OwnRecoveryHeader("/x/live.tsl", false));
  RecoveryHeader reused = OwnRecoveryHeader("/x/reused.tsl", false);
  reused.processStart += 1;  // this id, but a process started at another time
  WriteRecovery(dir.File("c.recovery"), reused);
  test::WriteBytes(dir.File("d.recovery"), {'n', 'o'});
  test::WriteBytes(dir.File("notes.txt"), {'x'});

  const std::vector<RecoveryCandidate> found = AbandonedRecoveries(dir.Path().string());
  std::vector<std::string> files;
  for (const RecoveryCandidate& c : found) files.push_back(BaseName(c.file));
  EXPECT_EQ(files, (std::vector<std::string>{"c.recovery", "b.recovery", "a.recovery"}));
}

TEST(Recovery, TheQuestionNamesTheFileAndWhen) {
  std::tm noon {};
  noon.tm_year = 126;
  noon.tm_mon = 11;
  noon.tm_mday = 9;
  noon.tm_hour = 12;
  noon.tm_min = 4;
  noon.tm_isdst = -1;
  const std::time_t written = std::mktime(&noon);
  const RecoveryHeader header = Header(1, written, "/home/u/sample.tsl");
  EXPECT_EQ(RecoveryQuestion(header, written + 3600),
            "Tessel was not closed properly. Recover the unsaved cards of sample.tsl (from "
            "12:04)?");
  EXPECT_EQ(RecoveryQuestion(Header(1, written, ""), written + 2 * 86400),
            "Tessel was not closed properly. Recover the unsaved cards of an untitled document "
            "(from 2026-12-09 12:04)?");
}

TEST(Recovery, EveryFailedSystemCallOfAWriteLeavesTheCardFileAlone) {
  test::TempDir dir;
  const std::string cards = dir.File("cards.tsl");
  test::WriteBytes(cards, CardFileBytes(FormatSettings{}, SomeCards()));
  struct stat before {};
  ::stat(cards.c_str(), &before);
  const std::string file = dir.File("r.recovery");
  const std::vector<uint8_t> old = RecoveryBytes(Header(1, 1, cards), FormatSettings{}, {});
  const std::vector<uint8_t> bytes =
      RecoveryBytes(Header(1, 2, cards), FormatSettings{}, std::vector<CardInfo>(200, SomeCards()[1]));
  test::FailingOps counter(-1);
  ASSERT_EQ(WriteRecoveryFile(file, bytes, counter), "");
  for (int at = 0; at < counter.calls; ++at) {
    ASSERT_EQ(WriteRecoveryFile(file, old), "");
    test::FailingOps ops(at);
    EXPECT_NE(WriteRecoveryFile(file, bytes, ops), "") << at;
    EXPECT_EQ(test::ReadBytes(file), old) << at;
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"cards.tsl", "r.recovery"})) << at;
  }
  struct stat after {};
  ::stat(cards.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(test::ReadBytes(cards), CardFileBytes(FormatSettings{}, SomeCards()));
}

TEST(Recovery, TheWriterKeepsTheOrderOfWritesAndRemovals) {
  test::TempDir dir;
  const std::string file = dir.File("w.recovery");
  const std::vector<uint8_t> a = RecoveryBytes(Header(1, 1), FormatSettings{}, {});
  const std::vector<uint8_t> b = RecoveryBytes(Header(1, 2), FormatSettings{}, SomeCards());
  {
    RecoveryWriter writer(file);
    writer.Write(a);
    writer.Flush();
    EXPECT_EQ(test::ReadBytes(file), a);
    writer.Write(b);
    writer.Remove();
    writer.Flush();
    EXPECT_EQ(dir.Names(), std::vector<std::string>{});
    writer.Remove();
    writer.Write(b);
  }  // the last write is finished before the writer goes
  EXPECT_EQ(test::ReadBytes(file), b);

  RecoveryWriter failing(dir.File("no/such/folder/x.recovery"));
  failing.Write(a);
  failing.Flush();
  EXPECT_NE(failing.TakeError(), "");
  EXPECT_EQ(failing.TakeError(), "");  // told once
}

TEST(Recovery, AWriteIsDueAfterFiveQuietSecondsOrThirtyBusyOnes) {
  RecoverySchedule s;
  EXPECT_FALSE(s.Due(100000));  // nothing changed
  s.Changed(0);
  EXPECT_FALSE(s.Due(4999));
  EXPECT_TRUE(s.Due(5000));
  // A change every second: quiet never comes, but the longest wait does.
  for (int64_t t = 1000; t < 30000; t += 1000) {
    s.Changed(t);
    EXPECT_FALSE(s.Due(t + 999)) << t;
  }
  EXPECT_TRUE(s.Due(30000));
  s.Written();
  EXPECT_FALSE(s.Due(60000));
  s.Changed(60000);
  EXPECT_FALSE(s.Due(64000));  // counted from the first change since the write
}

TEST(Recovery, TheFolderFollowsXdgStateHome) {
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string keep = saved ? saved : "";
  ::setenv("XDG_STATE_HOME", "/tmp/state", 1);
  EXPECT_EQ(RecoveryFolder(), "/tmp/state/Tessel/recovery");
  ::setenv("XDG_STATE_HOME", "relative/state", 1);  // not absolute: ignored
  EXPECT_EQ(RecoveryFolder(), std::string(std::getenv("HOME")) + "/.local/state/Tessel/recovery");
  if (saved) ::setenv("XDG_STATE_HOME", keep.c_str(), 1);
  else ::unsetenv("XDG_STATE_HOME");

  test::TempDir dir;
  const std::string folder = dir.File("state/Tessel/recovery");
  ASSERT_EQ(MakeRecoveryFolder(folder), "");
  struct stat st {};
  ::stat(folder.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

}  // namespace
}  // namespace tessel
