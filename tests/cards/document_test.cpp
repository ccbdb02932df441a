// The document commands' decisions, with scripted answers in place of the
// user and real card files in a temporary folder.
#include "cards/backup.h"
#include "cards/document.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>

#include "rrg_writer.h"
#include "support/crd_for_test.h"
#include "support/failing_ops.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using test::MemoryStore;
using test::TempDir;

class ScriptedUi final : public DocumentUi {
 public:
  std::deque<SaveAnswer> answers;
  std::deque<std::optional<std::string>> openPaths;
  std::deque<std::optional<std::string>> savePaths;
  int asked = 0;
  std::vector<std::optional<std::string>> folders;  // of every file dialog
  std::vector<std::string> errors;
  std::vector<std::string> reasons;  // beneath each error
  std::vector<std::string> notices;  // of the plain message box
  std::string title = "Tessel - Untitled";
  std::optional<std::size_t> shownCount;
  int focused = 0;
  int formatted = 0;

  SaveAnswer AskSaveChanges() override {
    ++asked;
    EXPECT_FALSE(answers.empty()) << "unexpected save-changes prompt";
    if (answers.empty()) return SaveAnswer::Cancel;
    const SaveAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> AskOpenPath(const std::optional<std::string>& folder) override {
    return Next(openPaths, folder);
  }
  std::optional<std::string> AskSavePath(const std::optional<std::string>& folder) override {
    return Next(savePaths, folder);
  }
  void ShowError(const std::string& text, const std::string& reason) override {
    errors.push_back(text);
    reasons.push_back(reason);
  }
  void ShowMessage(const std::string& text, const std::string&) override {
    notices.push_back(text);
  }
  // The questions about a locked or changed file and their answers.
  std::vector<std::string> questions;
  std::deque<LockedAnswer> lockedAnswers;
  std::deque<ChangedAnswer> changedAnswers;
  std::vector<std::string> told;      // notices that block nothing
  std::vector<std::string> statuses;  // status-bar words
  LockedAnswer AskOpenLocked(const std::string& text) override {
    questions.push_back(text);
    return Pop(lockedAnswers, LockedAnswer::Cancel);
  }
  ChangedAnswer AskChangedOnDisk(const std::string& text) override {
    questions.push_back(text);
    return Pop(changedAnswers, ChangedAnswer::Cancel);
  }
  void ShowNotice(const std::string& text) override { told.push_back(text); }
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }
  void SetTitle(const std::string& t) override { title = t; }
  void ShowCardCount(std::size_t n) override { shownCount = n; }
  void ApplyCardFormat() override { ++formatted; }
  void FocusFrontBody() override { ++focused; }

 private:
  template <class T>
  T Pop(std::deque<T>& q, T otherwise) {
    EXPECT_FALSE(q.empty()) << "unexpected question";
    if (q.empty()) return otherwise;
    T a = q.front();
    q.pop_front();
    return a;
  }
  std::optional<std::string> Next(std::deque<std::optional<std::string>>& q,
                                  const std::optional<std::string>& folder) {
    folders.push_back(folder);
    EXPECT_FALSE(q.empty()) << "unexpected file dialog";
    if (q.empty()) return std::nullopt;
    auto p = q.front();
    q.pop_front();
    return p;
  }
};

class DocumentTest : public ::testing::Test {
 protected:
  // A card file holding cards with these index texts.
  std::string CardFile(const std::string& name, std::vector<std::string> indexes) {
    std::vector<CardInfo> cards;
    for (auto& i : indexes) cards.emplace_back(i);
    const std::string path = dir.File(name);
    test::WriteBytes(path, CardFileBytes(FormatSettings{}, cards));
    return path;
  }
  // An edited, untitled document of one card.
  void EditedCard(const std::string& index = "edited") {
    cards.AddCardWindow(index, true);
    cards.MarkBodyKey();
  }
  std::vector<std::string> Indexes() const {
    std::vector<std::string> out;
    for (const auto& c : cards.Cards()) out.push_back(c.index);
    return out;
  }

  TempDir dir;
  CardCollection cards;
  FormatSettings format;
  MemoryStore settings;
  ScriptedUi ui;
  Document doc{cards, format, settings, ui};
};

TEST(DocumentRules, TitleAndInitialFolder) {
  EXPECT_EQ(DocumentTitle(""), "Tessel - Untitled");
  EXPECT_EQ(DocumentTitle("/home/ann/home.tsl"), "Tessel - /home/ann/home.tsl");

  EXPECT_EQ(InitialFolder(""), std::nullopt);
  EXPECT_EQ(InitialFolder("/home/ann/Cards/home.tsl"), "/home/ann/Cards");
  EXPECT_EQ(InitialFolder("home.tsl"), "");
  EXPECT_EQ(InitialFolder("/home.tsl"), "");
  EXPECT_EQ(InitialFolder("/a/b/"), "/a/b");
  EXPECT_EQ(InitialFolder("C:\\Cards\\home.tsl", '\\'), "C:\\Cards");
}

TEST_F(DocumentTest, NewAsksOnlyAboutChangesAndHonoursEveryAnswer) {
  cards.AddCardWindow("clean", true);
  EXPECT_TRUE(doc.New());  // nothing changed: no question
  EXPECT_EQ(ui.asked, 0);
  EXPECT_TRUE(cards.Empty());
  EXPECT_EQ(cards.StackSize(), 0u);
  EXPECT_EQ(ui.title, "Tessel - Untitled");

  EditedCard();
  ui.answers = {SaveAnswer::Cancel};
  EXPECT_FALSE(doc.New());
  EXPECT_EQ(Indexes(), std::vector<std::string>{"edited"});
  EXPECT_TRUE(cards.Modified());
  EXPECT_EQ(ui.focused, 1);  // the kept card gets the focus back

  ui.answers = {SaveAnswer::No};
  EXPECT_TRUE(doc.New());
  EXPECT_TRUE(cards.Empty());
  EXPECT_FALSE(cards.Modified());

  // Yes on an untitled document asks for a name and saves there first.
  EditedCard("kept");
  ui.answers = {SaveAnswer::Yes};
  const std::string saved = dir.File("saved.tsl");
  ui.savePaths = {saved};
  EXPECT_TRUE(doc.New());
  EXPECT_TRUE(cards.Empty());
  EXPECT_EQ(doc.Path(), "");
  ASSERT_TRUE(std::filesystem::exists(saved));
  EXPECT_EQ(settings.values[kLastFile], saved);
}

TEST_F(DocumentTest, YesThatSavesNothingKeepsTheChanges) {
  EditedCard();
  ui.answers = {SaveAnswer::Yes};
  ui.savePaths = {std::nullopt};  // Save As cancelled
  EXPECT_FALSE(doc.New());
  EXPECT_EQ(Indexes(), std::vector<std::string>{"edited"});

  ui.answers = {SaveAnswer::Yes};
  ui.savePaths = {dir.File("missing-folder/x.tsl")};  // the write fails
  EXPECT_FALSE(doc.Close());
  EXPECT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"edited"});
  EXPECT_TRUE(cards.Modified());
}

TEST_F(DocumentTest, OpenReadsAfterThePromptAndSetsTitleLastFileAndCount) {
  const std::string two = CardFile("two.tsl", {"b", "a"});
  settings.values[kLastFile] = "/somewhere/else/last.tsl";

  ui.openPaths = {std::nullopt};  // dialog cancelled: nothing asked, nothing changes
  EditedCard();
  doc.Open();
  EXPECT_EQ(ui.asked, 0);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"edited"});
  EXPECT_EQ(ui.folders.back(), "/somewhere/else");

  ui.openPaths = {two};
  ui.answers = {SaveAnswer::Cancel};
  doc.Open();
  EXPECT_EQ(Indexes(), std::vector<std::string>{"edited"});
  EXPECT_EQ(ui.title, "Tessel - Untitled");

  ui.openPaths = {two};
  ui.answers = {SaveAnswer::No};
  doc.Open();
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(cards.Modified());
  EXPECT_EQ(doc.Path(), two);
  EXPECT_EQ(ui.title, "Tessel - " + two);
  EXPECT_EQ(settings.values[kLastFile], two);
  EXPECT_EQ(ui.shownCount, 2u);
  EXPECT_GE(ui.formatted, 1);

  // The next dialog starts in the folder of the file just opened.
  ui.openPaths = {std::nullopt};
  doc.Open();
  EXPECT_EQ(ui.folders.back(), dir.Path().string());
}

TEST_F(DocumentTest, FailedOpenLeavesAnEmptyUntitledDocument) {
  const std::string good = CardFile("good.tsl", {"x"});
  ui.openPaths = {good};
  doc.Open();
  const std::string bad = dir.File("bad.tsl");
  test::WriteBytes(bad, {0x01, 0x02, 0x03, 0x04});
  ui.openPaths = {bad};
  doc.Open();
  EXPECT_EQ(ui.errors.size(), 1u);
  EXPECT_TRUE(cards.Empty());
  EXPECT_EQ(doc.Path(), "");
  EXPECT_EQ(ui.title, "Tessel - Untitled");
  EXPECT_EQ(settings.values[kLastFile], good);
}

TEST_F(DocumentTest, SaveWritesToThePathOrAsksForOne) {
  EditedCard();
  const std::string first = dir.File("first.tsl");
  ui.savePaths = {first};
  EXPECT_TRUE(doc.Save());  // untitled: exactly Save As
  EXPECT_EQ(ui.title, "Tessel - " + first);
  EXPECT_EQ(settings.values[kLastFile], first);
  EXPECT_FALSE(cards.Modified());

  settings.values[kLastFile] = "/elsewhere/x.tsl";
  cards.AddCardWindow("second", true);
  cards.MarkBodyKey();
  EXPECT_TRUE(doc.Save());  // titled: no dialog, title and Last File stay
  EXPECT_EQ(ui.title, "Tessel - " + first);
  EXPECT_EQ(settings.values[kLastFile], "/elsewhere/x.tsl");
  CardCollection reread;
  FormatSettings f;
  test::RecordingReporter errors;
  ASSERT_TRUE(errors(ReadCardFile(reread, f, first)));
  EXPECT_EQ(reread.Size(), 2u);
}

TEST_F(DocumentTest, SaveBlockedPathIsNeverOverwritten) {
  // As after an import: the path names the imported file, Save is blocked.
  const std::string imported = dir.File("old.crd");
  test::WriteBytes(imported, {'M', 'G', 'C'});
  doc.LoadCommandLine(imported);
  ui.errors.clear();
  doc.SetSaveBlocked(true);
  EditedCard();

  // Yes in the prompt must not write the card file over the import.
  ui.answers = {SaveAnswer::Yes};
  const std::string fresh = dir.File("fresh.tsl");
  ui.savePaths = {fresh};
  EXPECT_TRUE(doc.Close());
  EXPECT_EQ(test::ReadBytes(imported), (std::vector<uint8_t>{'M', 'G', 'C'}));
  EXPECT_TRUE(std::filesystem::exists(fresh));
  EXPECT_FALSE(doc.SaveBlocked());
}

TEST_F(DocumentTest, MergeAddsCardsAndKeepsPathTitleAndLastFile) {
  const std::string base = CardFile("base.tsl", {"m"});
  const std::string more = CardFile("more.tsl", {"z", "a"});
  ui.openPaths = {base};
  doc.Open();
  settings.values[kLastFile] = "/kept/last.tsl";

  ui.openPaths = {more};
  doc.Merge();
  EXPECT_FALSE(doc.Merging());
  EXPECT_EQ(ui.asked, 0);
  EXPECT_EQ(Indexes().size(), 3u);
  EXPECT_EQ(doc.Path(), base);
  EXPECT_EQ(ui.title, "Tessel - " + base);
  EXPECT_EQ(settings.values[kLastFile], "/kept/last.tsl");
  EXPECT_EQ(ui.folders.back(), "/kept");
  // The merged cards are in no file yet, so closing must ask.
  EXPECT_TRUE(cards.Modified());
  ui.answers = {SaveAnswer::Cancel};
  EXPECT_FALSE(doc.Close());
  EXPECT_EQ(ui.asked, 1);

  ui.openPaths = {std::nullopt};
  doc.Merge();
  EXPECT_EQ(Indexes().size(), 3u);
}

TEST_F(DocumentTest, AddedCardsAreSortedInAndLeaveTheDocumentChanged) {
  ui.openPaths = {CardFile("base.tsl", {"m"})};
  doc.Open();
  const FormatSettings before = format;
  ASSERT_TRUE(doc.AddCards({CardInfo("z", "Z", 0), CardInfo("a", "A", 1)}));
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"a", "m", "z"}));
  EXPECT_EQ(cards.At(2), CardInfo("z", "Z", 0));
  EXPECT_TRUE(cards.Modified());
  EXPECT_EQ(ui.shownCount, 3u);
  EXPECT_EQ(doc.Path(), dir.File("base.tsl"));
  EXPECT_EQ(format, before);

  // Nothing added to an unchanged document leaves it unchanged.
  ui.answers = {SaveAnswer::No};
  doc.New();
  ASSERT_TRUE(doc.AddCards({}));
  EXPECT_FALSE(cards.Modified());
  ASSERT_TRUE(doc.AddCards({CardInfo("only")}));
  EXPECT_EQ(cards.StackSize(), 1u);
  EXPECT_TRUE(cards.Modified());
}

TEST_F(DocumentTest, CloseHonoursEveryAnswer) {
  EditedCard();
  ui.answers = {SaveAnswer::Cancel};
  EXPECT_FALSE(doc.Close());
  EXPECT_EQ(cards.Size(), 1u);
  EXPECT_EQ(ui.focused, 1);

  ui.answers = {SaveAnswer::No};
  EXPECT_TRUE(doc.Close());
  EXPECT_TRUE(cards.Empty());
  EXPECT_EQ(cards.StackSize(), 0u);

  EditedCard();
  const std::string path = dir.File("closing.tsl");
  ui.answers = {SaveAnswer::Yes};
  ui.savePaths = {path};
  EXPECT_TRUE(doc.Close());
  EXPECT_TRUE(std::filesystem::exists(path));

  EXPECT_TRUE(doc.Close());  // nothing changed: no question
  EXPECT_EQ(ui.asked, 3);
}

TEST_F(DocumentTest, CommandLineFileNamesTheDocumentEvenWhenUnreadable) {
  const std::string missing = dir.File("missing file.tsl");
  doc.LoadCommandLine(missing);
  EXPECT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.title, "Tessel - " + missing);
  EXPECT_EQ(settings.values.count(kLastFile), 0u);
  EditedCard();
  EXPECT_TRUE(doc.Save());  // no dialog: the command-line path is used
  EXPECT_TRUE(std::filesystem::exists(missing));

  CardCollection other;
  FormatSettings f;
  Document second(other, f, settings, ui);
  second.LoadCommandLine(missing);
  EXPECT_EQ(other.Size(), 1u);
}

TEST_F(DocumentTest, AnUnreadableCommandLineFileIsNeverOverwritten) {
  std::vector<uint8_t> cut = CardFileBytes(FormatSettings{}, {CardInfo("a"), CardInfo("b")});
  cut.resize(cut.size() - 3);
  const std::string damaged = dir.File("damaged.tsl");
  test::WriteBytes(damaged, cut);
  const std::string text = dir.File("notes.txt");
  test::WriteBytes(text, {'h', 'i', '\n'});
  test::Bytes crd = test::ClassicCrdFile({{"a", "A"}});
  crd.v.resize(9);
  const std::string crdPath = dir.File("cut.crd");
  test::WriteBytes(crdPath, crd.v);

  for (const std::string& path : {damaged, text, crdPath}) {
    SCOPED_TRACE(path);
    const std::vector<uint8_t> before = test::ReadBytes(path);
    doc.LoadCommandLine(path);
    EXPECT_EQ(ui.title, "Tessel - " + path);
    EXPECT_TRUE(doc.SaveBlocked());
    EditedCard();
    const std::string saved = path + ".tsl";
    ui.savePaths = {saved};
    EXPECT_TRUE(doc.Save());  // Save As, never the file named
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(doc.Path(), saved);
    doc.New();
  }
}

TEST_F(DocumentTest, CommandLineFileGetsItsFormatAsOpenGivesIt) {
  FormatSettings stored;
  stored.bodyFace = "Courier";
  stored.bodySize = 14;
  const std::string path = dir.File("styled.tsl");
  test::WriteBytes(path, CardFileBytes(stored, {CardInfo("a")}));
  doc.LoadCommandLine(path);
  EXPECT_EQ(format.bodyFace, "Courier");
  EXPECT_EQ(ui.formatted, 1);
  EXPECT_EQ(ui.shownCount, 1u);
}

// File > Import > Cardfile...: the document's side, with its own dialog and
// the plain message box scripted.
class ImportTest : public DocumentTest {
 protected:
  class ImportUi final : public CardfileImportUi {
   public:
    std::deque<std::optional<std::string>> paths;
    std::vector<std::optional<std::string>> folders;
    std::optional<std::string> AskCardfilePath(const std::optional<std::string>& folder) override {
      folders.push_back(folder);
      EXPECT_FALSE(paths.empty()) << "unexpected file dialog";
      if (paths.empty()) return std::nullopt;
      auto p = paths.front();
      paths.pop_front();
      return p;
    }
  };

  std::string Crd(const std::string& name, const test::Bytes& b) {
    const std::string path = dir.File(name);
    test::WriteBytes(path, b.v);
    return path;
  }
  void Import(const std::string& path) {
    importUi.paths = {path};
    doc.ImportCardfile(importUi);
  }

  ImportUi importUi;
};

TEST_F(ImportTest, ImportedCardsAreSortedTaggedUnchangedAndSaveIsBlocked) {
  settings.values[kLastFile] = "/home/ann/cards/home.tsl";
  const std::string crd = Crd("old.crd", test::ClassicCrdFile({{"zebra", "Z"}, {"apple", "A"}, {"Mango", ""}}));
  const auto bytes = test::ReadBytes(crd);
  Import(crd);
  EXPECT_EQ(importUi.folders, (std::vector<std::optional<std::string>>{"/home/ann/cards"}));
  EXPECT_TRUE(ui.notices.empty());
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"apple", "Mango", "zebra"}));
  EXPECT_EQ(cards.TaggedCount(), 3u);
  EXPECT_EQ(cards.StackSize(), 3u);
  EXPECT_FALSE(cards.Modified());
  EXPECT_EQ(ui.title, "Tessel - " + crd);
  EXPECT_EQ(doc.Path(), crd);
  EXPECT_EQ(ui.shownCount, 3u);
  EXPECT_EQ(ui.focused, 1);
  EXPECT_TRUE(doc.SaveBlocked());
  EXPECT_EQ(settings.values[kLastFile], "/home/ann/cards/home.tsl");  // read, not changed

  // Save goes to a new card file; the Cardfile file is never written.
  const std::string tsl = dir.File("new.tsl");
  ui.savePaths = {tsl};
  EXPECT_TRUE(doc.Save());
  EXPECT_EQ(test::ReadBytes(crd), bytes);
  EXPECT_FALSE(doc.SaveBlocked());
  EXPECT_EQ(ui.title, "Tessel - " + tsl);
  CardFileData saved;
  ASSERT_TRUE(LoadCardFileData(tsl, saved).Ok());
  EXPECT_EQ(saved.cards.size(), 3u);
}

TEST_F(ImportTest, ACardfileFileNamedOnTheCommandLineIsImported) {
  const std::string crd = Crd("start.crd", test::ClassicCrdFile({{"b", "B"}, {"a", "A"}}));
  doc.LoadCommandLine(crd);
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(doc.SaveBlocked());
  EXPECT_EQ(ui.title, "Tessel - " + crd);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(ui.notices.empty());

  // Known by content, not by name: a card file called .crd is a card file,
  // a damaged Cardfile file is said to be so in the plain box.
  doc.New();
  const std::string named = dir.File("card.crd");
  test::WriteBytes(named, CardFileBytes(FormatSettings{}, {CardInfo("c")}));
  doc.LoadCommandLine(named);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"c"});
  EXPECT_FALSE(doc.SaveBlocked());
  doc.New();
  test::Bytes cut = test::ClassicCrdFile({{"a", "A"}});
  cut.v.resize(9);
  doc.LoadCommandLine(Crd("cut.crd", cut));
  EXPECT_TRUE(Indexes().empty());
  EXPECT_EQ(ui.notices.size(), 1u);
  EXPECT_EQ(ui.title, "Tessel - " + dir.File("cut.crd"));
}

TEST_F(ImportTest, CancelInTheDialogOrThePromptChangesNothing) {
  EditedCard("kept");
  importUi.paths = {std::nullopt};
  doc.ImportCardfile(importUi);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"kept"});
  EXPECT_EQ(ui.asked, 0);
  EXPECT_EQ(ui.focused, 1);  // back to the front card

  ui.answers = {SaveAnswer::Cancel};
  Import(Crd("a.crd", test::CrdFile({{"new", ""}})));
  EXPECT_EQ(Indexes(), std::vector<std::string>{"kept"});
  EXPECT_TRUE(cards.Modified());
  EXPECT_EQ(ui.title, "Tessel - Untitled");

  ui.answers = {SaveAnswer::No};
  Import(dir.File("a.crd"));
  EXPECT_EQ(Indexes(), std::vector<std::string>{"new"});
}

TEST_F(ImportTest, UnreadableFilesLeaveTheDocumentAsNewLeftIt) {
  const std::string crd = Crd("first.crd", test::CrdFile({{"first", ""}}));
  Import(crd);
  ASSERT_TRUE(doc.SaveBlocked());
  const std::string other = Crd("other.crd", test::Bytes{}.str("RRH").u32(1).fill(60));
  const std::string wide = Crd("wide.crd", test::Bytes{}.str("DKO").u32(1).u16(1).fill(60));
  const std::string empty = Crd("empty.crd", test::Bytes{}.str("MGC").u32(2));
  struct Case {
    std::string path, message;
  } cases[] = {{dir.File("missing.crd"), "File error - 25"},
               {other, "File not compatible"},
               {wide, "Unicode Cardfile files (DKO) cannot be imported yet"},
               {empty, "File error - \"" + empty + "\" is damaged or incomplete: it ends before its first "
                       "card. Nothing was imported from it."}};
  for (const Case& c : cases) {
    ui.notices.clear();
    Import(c.path);
    EXPECT_EQ(ui.notices, std::vector<std::string>{c.message});
    EXPECT_TRUE(cards.Empty());
    EXPECT_EQ(ui.title, "Tessel - Untitled");
    EXPECT_EQ(doc.Path(), "");
    EXPECT_FALSE(doc.SaveBlocked());  // New gave up the imported file's path
    EXPECT_FALSE(cards.Modified());
  }
}

TEST_F(ImportTest, PicturesAndObjectsLeftBehindAreToldAfterTheImport) {
  using tools::RrgObject;
  const std::string crd = Crd("pictures.crd", test::Bytes{}.str(tools::RrgBytes(
      {{"map", "see picture", RrgObject::Picture}, {"note", "text"}, {"bell", "", RrgObject::Embedded}})));
  Import(crd);
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"bell", "map", "note"}));
  EXPECT_EQ(ui.notices, std::vector<std::string>{
                            "3 cards imported; 1 picture and 1 object were not imported (Tessel cards "
                            "hold text only)"});
  EXPECT_TRUE(doc.SaveBlocked());
  EXPECT_FALSE(cards.Modified());
}

TEST_F(ImportTest, ADamagedFileGivesItsWholeCardsAndThenAWarning) {
  const std::string crd = Crd("cut.crd", test::CrdFile({{"b", "B"}, {"a", "A"}}, 4));
  Import(crd);
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"a", "b"}));
  ASSERT_EQ(ui.notices.size(), 1u);
  EXPECT_NE(ui.notices[0].find("only 2 of the 4 cards"), std::string::npos) << ui.notices[0];
  EXPECT_EQ(ui.title, "Tessel - " + crd);
  EXPECT_TRUE(doc.SaveBlocked());

  // An empty Cardfile file is no error: the title still names it.
  Import(Crd("none.crd", test::CrdFile({})));
  EXPECT_TRUE(cards.Empty());
  EXPECT_EQ(ui.title, "Tessel - " + dir.File("none.crd"));
  EXPECT_EQ(ui.shownCount, 0u);
}


// Locks as the platform's locker does, in memory: a file "another editor"
// holds answers with its holder.
class FakeLocker final : public FileLocker {
 public:
  std::map<std::string, LockHolder> others;
  std::string failure;            // set: no lock can be made at all
  // The locks taken and not yet released (the document may outlive this).
  std::shared_ptr<std::vector<std::string>> held = std::make_shared<std::vector<std::string>>();

  LockResult Lock(const std::string& path) override {
    if (auto it = others.find(path); it != others.end()) return {nullptr, it->second, {}};
    if (!failure.empty()) return {nullptr, std::nullopt, failure};
    return {std::make_unique<Held>(held, path), std::nullopt, {}};
  }

 private:
  struct Held final : FileLock {
    Held(std::shared_ptr<std::vector<std::string>> all, std::string path)
        : all(std::move(all)), path(std::move(path)) {
      this->all->push_back(this->path);
    }
    ~Held() override { std::erase(*all, path); }
    std::shared_ptr<std::vector<std::string>> all;
    std::string path;
  };
};

class GuardTest : public DocumentTest {
 protected:
  void SetUp() override { doc.UseGuards(&locker, nullptr); }
  void Open(const std::string& path) {
    ui.openPaths = {path};
    doc.Open();
  }
  // Another program puts a new version in place as sync tools do: written
  // elsewhere, then renamed over the file.
  void ReplaceOnDisk(const std::string& path, std::vector<std::string> indexes) {
    const std::string elsewhere = CardFile("incoming.tmp", std::move(indexes));
    std::filesystem::rename(elsewhere, path);
  }
  FakeLocker locker;
};

TEST_F(GuardTest, AFileAnotherEditorHoldsOpensReadOnlyOrNotAtAll) {
  const std::string mine = CardFile("mine.tsl", {"m"});
  const std::string held = CardFile("held.tsl", {"a", "b"});
  locker.others[held] = {1234, "tessel", "desk"};
  Open(mine);
  EXPECT_EQ(*locker.held, std::vector<std::string>{mine});

  ui.lockedAnswers = {LockedAnswer::Cancel};
  Open(held);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0].rfind("held.tsl is open in Tessel on desk (process 1234).", 0), 0u)
      << ui.questions[0];
  EXPECT_EQ(doc.Path(), mine);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"m"});
  EXPECT_EQ(*locker.held, std::vector<std::string>{mine});

  ui.lockedAnswers = {LockedAnswer::OpenReadOnly};
  Open(held);
  EXPECT_TRUE(doc.ReadOnly());
  EXPECT_EQ(ui.title, "Tessel - " + held + " (read-only)");
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(locker.held->empty());

  // Save goes to Save As, which will not write over the held file either.
  const std::vector<uint8_t> before = test::ReadBytes(held);
  cards.MarkUnsaved();
  ui.savePaths = {held};
  EXPECT_FALSE(doc.Save());
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0].rfind("held.tsl is open in Tessel on desk (process 1234). It was not saved", 0), 0u)
      << ui.errors[0];
  EXPECT_EQ(test::ReadBytes(held), before);
  const std::string copy = dir.File("copy.tsl");
  ui.savePaths = {copy};
  EXPECT_TRUE(doc.Save());
  EXPECT_FALSE(doc.ReadOnly());
  EXPECT_EQ(ui.title, "Tessel - " + copy);
  EXPECT_EQ(*locker.held, std::vector<std::string>{copy});

  // No lock to be had at all: the file opens, and the user hears why.
  locker.failure = "the folder takes no new files";
  Open(mine);
  EXPECT_FALSE(doc.ReadOnly());
  EXPECT_EQ(doc.Path(), mine);
  EXPECT_EQ(ui.statuses.back(), "mine.tsl could not be locked against a second editor (the folder takes no new files)");
}

TEST_F(GuardTest, SaveAsksBeforeReplacingAnotherProgramsVersion) {
  const std::string path = CardFile("cards.tsl", {"a"});
  Open(path);
  EditedCard("mine");
  ReplaceOnDisk(path, {"theirs"});
  const std::vector<uint8_t> theirs = test::ReadBytes(path);

  ui.changedAnswers = {ChangedAnswer::Cancel};
  EXPECT_FALSE(doc.Save());
  EXPECT_EQ(ui.questions, std::vector<std::string>{"cards.tsl was changed by another program since you opened it."});
  EXPECT_EQ(test::ReadBytes(path), theirs);
  EXPECT_TRUE(cards.Modified());

  // The default keeps both.
  const std::string both = dir.File("both.tsl");
  ui.changedAnswers = {ChangedAnswer::SaveAs};
  ui.savePaths = {both};
  EXPECT_TRUE(doc.Save());
  EXPECT_EQ(doc.Path(), both);
  EXPECT_EQ(test::ReadBytes(path), theirs);

  ReplaceOnDisk(both, {"theirs again"});
  cards.MarkUnsaved();
  ui.changedAnswers = {ChangedAnswer::Overwrite};
  EXPECT_TRUE(doc.Save());
  EXPECT_EQ(test::ReadBytes(both), CardFileBytes(format, cards.Cards()));
  // What it wrote itself is no change by another program.
  EXPECT_TRUE(doc.Save());
  EXPECT_EQ(ui.questions.size(), 3u) << ui.questions.back();
}

TEST_F(GuardTest, AFileDeletedUnderTheProgramIsWrittenBackAfterSayingSo) {
  const std::string path = CardFile("cards.tsl", {"a", "b"});
  Open(path);
  std::filesystem::remove(path);
  doc.CheckDisk();
  doc.CheckDisk();
  ASSERT_EQ(ui.told.size(), 1u);
  EXPECT_EQ(ui.told[0].rfind("cards.tsl was deleted or moved away by another program.", 0), 0u) << ui.told[0];
  EXPECT_TRUE(cards.Modified());  // closing asks about them now
  EXPECT_TRUE(doc.Save());
  EXPECT_EQ(ui.notices, std::vector<std::string>{"cards.tsl was deleted or moved away by another program since you opened it. It is written back now."});
  EXPECT_EQ(test::ReadBytes(path), CardFileBytes(format, cards.Cards()));
}

TEST_F(GuardTest, AChangeOnDiskReloadsACleanDocumentAndIsToldAtOnceToAChangedOne) {
  const std::string path = CardFile("cards.tsl", {"a", "b", "c"});
  Open(path);
  cards.BringIndexToFront("b");
  ReplaceOnDisk(path, {"a", "b", "z"});
  doc.CheckDisk();
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"b", "z", "a"}));
  EXPECT_EQ(ui.statuses.back(), "cards.tsl was changed by another program and has been reloaded.");
  EXPECT_FALSE(cards.Modified());

  // The program's own save is no news.
  cards.MarkUnsaved();
  ASSERT_TRUE(doc.Save());
  cards.MarkUnsaved();
  doc.CheckDisk();
  EXPECT_TRUE(ui.told.empty());

  ReplaceOnDisk(path, {"theirs"});
  doc.CheckDisk();
  doc.CheckDisk();
  EXPECT_EQ(ui.told, std::vector<std::string>{"cards.tsl was changed by another program. Your changes here are not saved yet: Save will ask before it replaces the other version."});
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"b", "z", "a"}));
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(GuardTest, FailuresWhileReadingTheFileForItsIdentityNeverTouchIt) {
  const std::string path = CardFile("cards.tsl", {"a", "b"});
  const std::vector<uint8_t> original = test::ReadBytes(path);
  // No backup: a failed backup never stops a save, and the calls counted
  // here are to be the check's and the save's own.
  settings.WriteInt(kBackupsSetting, 0);
  // Opened, changed, then saved over a file whose time changed but whose
  // bytes did not, so the save hashes it before it writes.
  const auto openChangeSave = [&](FileOps& ops) {
    CardCollection c;
    Document d(c, format, settings, ui, ops);
    ui.openPaths = {path};
    d.Open();
    c.AddCardWindow("new", true);
    c.MarkUnsaved();
    ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0);
    ui.changedAnswers = {ChangedAnswer::Cancel};
    return d.Save();
  };
  test::FailingOps counter(-1);
  ASSERT_TRUE(openChangeSave(counter));
  test::WriteBytes(path, original);
  const std::size_t before = ui.questions.size();
  for (int at = 0; at < counter.calls; ++at) {
    test::FailingOps ops(at);
    EXPECT_FALSE(openChangeSave(ops)) << "call " << at;
    EXPECT_EQ(test::ReadBytes(path), original) << "call " << at;
  }
  // Every failure before the write was asked about, as a file not known to
  // be unchanged.
  EXPECT_GT(ui.questions.size(), before);
  for (std::size_t i = before; i < ui.questions.size(); ++i) {
    EXPECT_EQ(ui.questions[i].rfind("cards.tsl could not be checked for changes by another program (", 0), 0u)
        << ui.questions[i];
  }
}

}  // namespace
}  // namespace tessel
