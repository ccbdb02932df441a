#include "services/mail.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/test_support.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t Mode(const std::string& path) {
  struct stat st{};
  EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

TEST(CardMail, SubjectAndTextAreCutInWindows1252CharactersThenConverted) {
  const std::string index = std::string(30, 'i') + "\xE9" + "tail";  // é is the 31st
  const std::string body = std::string(510, 'b') + "\xFC" + "more";  // ü is the 511th
  const MailRequest r = CardMailRequest(index, body);
  EXPECT_EQ(r.subject, std::string(30, 'i') + "\xC3\xA9");
  EXPECT_EQ(r.body, std::string(510, 'b') + "\xC3\xBC");
  EXPECT_TRUE(r.attachment.empty());
  EXPECT_EQ(XdgEmailArguments(r),
            (Args{"--utf8", "--subject", r.subject, "--body", r.body}));

  // Short texts pass whole, line breaks included; a NUL ends a text as it
  // would a C string (a process argument cannot hold one).
  const MailRequest s = CardMailRequest("Bob", std::string("line\r\nnext\0hidden", 17));
  EXPECT_EQ(s.subject, "Bob");
  EXPECT_EQ(s.body, "line\r\nnext");
  EXPECT_EQ(CardMailRequest("", "").subject, "");
  // xdg-email refuses an empty text, so an empty part is not passed at all.
  EXPECT_EQ(XdgEmailArguments(CardMailRequest("New", "")), (Args{"--utf8", "--subject", "New"}));
  EXPECT_EQ(XdgEmailArguments(CardMailRequest("", "b")), (Args{"--utf8", "--body", "b"}));
  EXPECT_EQ(XdgEmailArguments(CardMailRequest("", "")), (Args{"--utf8"}));
}

TEST(AttachmentMail, HandsOverOneFileAndNamesItAfterTheDocument) {
  EXPECT_EQ(XdgEmailArguments(AttachmentMailRequest("/tmp/x/cards.tsl.txt")),
            (Args{"--utf8", "--attach", "/tmp/x/cards.tsl.txt"}));
  EXPECT_EQ(AttachmentName("/home/ann/My cards.tsl"), "My cards.tsl.txt");
  EXPECT_EQ(AttachmentName("cards.tsl"), "cards.tsl.txt");
  EXPECT_EQ(AttachmentName(""), "Untitled.txt");
}

TEST(AttachmentMail, ListAndTaggedBytesAreUtf8WithCrLf) {
  const std::vector<CardInfo> cards{{"Ann", "x", 0}, {"B\xE9la", "abc", 1}, {"Cy", "one\r\n", 1}};
  EXPECT_EQ(AttachmentBytes(cards, MailAttachment::List), "Ann\r\nB\xC3\xA9la\r\nCy\r\n");

  const std::string sep = std::string(60, '-') + "\r\n";
  // A body ending in CR LF leaves an empty last piece: an empty line before
  // the separator.
  EXPECT_EQ(AttachmentBytes(cards, MailAttachment::Tagged),
            "B\xC3\xA9la\r\nabc\r\n" + sep + "\r\n" + "Cy\r\none\r\n\r\n" + sep + "\r\n");

  // A 70-character line whose only blank is the 65th breaks after that blank.
  const std::vector<CardInfo> wide{{"W", std::string(64, 'x') + " " + std::string(5, 'y'), 1}};
  EXPECT_EQ(AttachmentBytes(wide, MailAttachment::Tagged),
            "W\r\n" + std::string(64, 'x') + " \r\nyyyyy\r\n" + sep + "\r\n");

  // Nothing tagged, or no cards at all: an empty attachment.
  const std::vector<CardInfo> untagged{{"Ann", "x", 0}};
  EXPECT_EQ(AttachmentBytes(untagged, MailAttachment::Tagged), "");
  EXPECT_EQ(AttachmentBytes({}, MailAttachment::List), "");
}

TEST(MailResults, EveryOutcomeHasItsMessage) {
  EXPECT_EQ(XdgEmailResult(false, 0), MailResult::Sent);
  EXPECT_EQ(XdgEmailResult(false, 3), MailResult::SendFailed);
  EXPECT_EQ(XdgEmailResult(false, 4), MailResult::SendFailed);
  EXPECT_EQ(XdgEmailResult(true, 0), MailResult::SendFailed);
  EXPECT_EQ(MailResultText(MailResult::Sent), nullptr);
  EXPECT_STREQ(MailResultText(MailResult::StartFailed),
               "Load Fail\nThere may be a problem with the mail program (xdg-email)");
  EXPECT_STREQ(MailResultText(MailResult::SendFailed),
               "Failed To Send\nPlease verify your email setup");
  EXPECT_STREQ(MailResultText(MailResult::FileError), "File Error");
}

TEST(PrivateTempFolder, IsPrivateMadeOnceAndRemovedWithItsFiles) {
  test::TempDir parent;
  std::string folder;
  std::string first;
  {
    PrivateTempFolder temp(parent.Path().string());
    EXPECT_TRUE(temp.Path().empty());  // nothing is made before it is needed
    EXPECT_TRUE(parent.Names().empty());
    std::string error;
    ASSERT_TRUE(temp.Ensure(error)) << error;
    folder = temp.Path();
    EXPECT_EQ(Mode(folder), 0700u);
    ASSERT_TRUE(temp.Ensure(error));
    EXPECT_EQ(temp.Path(), folder);

    // The same name twice: both files stay, each in a folder of its own, so
    // the mail program can still read the first.
    first = temp.WriteAttachment("cards.tsl.txt", "one\r\n", error);
    const std::string second = temp.WriteAttachment("cards.tsl.txt", "two\r\n", error);
    ASSERT_FALSE(first.empty()) << error;
    ASSERT_FALSE(second.empty()) << error;
    EXPECT_NE(first, second);
    EXPECT_EQ(fs::path(first).filename(), "cards.tsl.txt");
    EXPECT_EQ(fs::path(first).parent_path().parent_path(), fs::path(folder));
    EXPECT_EQ(Read(first), "one\r\n");
    EXPECT_EQ(Read(second), "two\r\n");
    EXPECT_EQ(Mode(first), 0600u);
    EXPECT_EQ(Mode(fs::path(first).parent_path()), 0700u);
    EXPECT_EQ(temp.WriteAttachment("Untitled.txt", "", error).empty(), false);
  }
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::exists(parent.Path()));
}

// A pid that ran and has ended.
pid_t EndedPid() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(PrivateTempFolder, AKilledProgramsFoldersGoAtTheNextStartAndNothingElse) {
  test::TempDir parent;
  // A program killed while its attachment waits for the mail program.
  const pid_t killed = fork();
  if (killed == 0) {
    PrivateTempFolder temp(parent.Path().string());
    std::string error;
    if (temp.WriteAttachment("cards.tsl.txt", "Ann\r\n", error).empty()) _exit(1);
    raise(SIGKILL);
  }
  int status = 0;
  waitpid(killed, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_EQ(parent.Names().size(), 1u);
  const std::string left = parent.Names()[0];
  EXPECT_EQ(left.rfind("tessel-" + std::to_string(killed) + "-", 0), 0u) << left;

  // What must stay: a running program's folder, names of another shape, a
  // file, and a link to a folder.
  namespace fs = std::filesystem;
  const std::string ended = std::to_string(EndedPid());
  const std::vector<std::string> kept = {"tessel-" + std::to_string(getpid()) + "-abcdef",
                                         "tessel-1-abcdef", "tessel-" + ended + "-abc",
                                         "tessel-x" + ended + "-abcdef", "tessel-" + ended + "-file00",
                                         "tessel-" + ended + "-link00", "other-" + ended + "-abcdef"};
  for (const std::string& name : kept) {
    if (name.ends_with("file00")) {
      std::ofstream(parent.File(name)) << "x";
    } else if (name.ends_with("link00")) {
      fs::create_directory(parent.File("target"));
      std::ofstream(parent.File("target/inside")) << "x";
      fs::create_directory_symlink(parent.File("target"), parent.File(name));
    } else {
      fs::create_directory(parent.File(name));
    }
  }
  EXPECT_EQ(RemoveAbandonedTempFolders(parent.Path().string()), 1);
  EXPECT_FALSE(fs::exists(parent.File(left)));
  for (const std::string& name : kept) EXPECT_TRUE(fs::exists(fs::symlink_status(parent.File(name)))) << name;
  EXPECT_TRUE(fs::exists(parent.File("target/inside")));
}

TEST(PrivateTempFolder, ReportsAFolderItCannotMake) {
  test::TempDir parent;
  PrivateTempFolder temp(parent.File("missing/deeper"));
  std::string error;
  EXPECT_TRUE(temp.WriteAttachment("a.txt", "x", error).empty());
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
  EXPECT_TRUE(temp.Path().empty());
}

TEST(CreateExclusiveFile, NeverFollowsOrOverwritesWhatIsThere) {
  test::TempDir dir;
  std::string error;
  const std::string path = dir.File("a.txt");
  ASSERT_TRUE(CreateExclusiveFile(path, "new", error)) << error;
  EXPECT_EQ(Read(path), "new");

  EXPECT_FALSE(CreateExclusiveFile(path, "other", error));
  EXPECT_EQ(Read(path), "new");
  EXPECT_NE(error.find("File exists"), std::string::npos) << error;

  // A link planted under the name: its target stays untouched.
  const std::string target = dir.File("target");
  { std::ofstream(target) << "keep"; }
  const std::string link = dir.File("b.txt");
  fs::create_symlink(target, link);
  EXPECT_FALSE(CreateExclusiveFile(link, "evil", error));
  EXPECT_EQ(Read(target), "keep");
  // A dangling link is not followed to create its target either.
  const std::string dangling = dir.File("c.txt");
  fs::create_symlink(dir.File("nowhere"), dangling);
  EXPECT_FALSE(CreateExclusiveFile(dangling, "evil", error));
  EXPECT_FALSE(fs::exists(dir.File("nowhere")));
}

}  // namespace
}  // namespace tessel
