// The document commands' decisions, with scripted answers in place of the
// user and real card files in a temporary folder.
#include "cards/backup.h"
#include "cards/document.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "rrg_writer.h"
#include "support/crd_for_test.h"
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
  void SetTitle(const std::string& t) override { title = t; }
  void ShowCardCount(std::size_t n) override { shownCount = n; }
  void ApplyCardFormat() override { ++formatted; }
  void FocusFrontBody() override { ++focused; }
  std::vector<std::string> statuses;
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }

 private:
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

TEST_F(DocumentTest, RevertToBackupOpensTheFileAsItWasBeforeTheLastSaveUntitled) {
  const std::string path = CardFile("cards.tsl", {"first"});
  doc.OpenFile(path);
  EditedCard("second");
  ASSERT_TRUE(doc.Save());
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"first", "second"}));

  doc.OpenBackup();
  EXPECT_EQ(Indexes(), std::vector<std::string>{"first"});
  EXPECT_EQ(doc.Path(), "");
  EXPECT_TRUE(cards.Modified());  // closing asks before it is dropped

  doc.OpenBackup();  // an untitled document has no backup
  EXPECT_EQ(ui.notices, std::vector<std::string>{"An untitled document has no backup."});
}

TEST_F(DocumentTest, ASaveThatKeepsNoBackupSucceedsAndSaysSo) {
  test::WriteBytes(dir.File("plain-file"), {'x'});
  settings.WriteString(kBackupFolderSetting, dir.File("plain-file/backups"));
  doc.OpenFile(CardFile("cards.tsl", {"a"}));
  EditedCard();
  EXPECT_TRUE(doc.Save());
  EXPECT_FALSE(cards.Modified());
  ASSERT_EQ(ui.statuses.size(), 1u);
  EXPECT_EQ(ui.statuses[0].rfind("Saved, but no backup was kept: ", 0), 0u);
}

TEST_F(DocumentTest, ChangesSettleOnSaveNewAndAnAnsweredCloseOnly) {
  int settled = 0;
  doc.SetOnSettled([&settled] { ++settled; });
  EditedCard();
  ui.answers = {SaveAnswer::Cancel};
  EXPECT_FALSE(doc.Close());
  ui.savePaths = {std::nullopt};
  EXPECT_FALSE(doc.Save());
  EXPECT_EQ(settled, 0);
  ui.savePaths = {dir.File("x.tsl")};
  EXPECT_TRUE(doc.Save());
  EXPECT_EQ(settled, 1);
  EditedCard();
  ui.answers = {SaveAnswer::No};
  EXPECT_TRUE(doc.New());
  EXPECT_EQ(settled, 2);
  EditedCard();
  ui.answers = {SaveAnswer::No};
  EXPECT_TRUE(doc.Close());
  EXPECT_EQ(settled, 3);
}

TEST_F(ImportTest, ARecoveredImportStaysUnsaveableUntilSaveAs) {
  CardFileData data;
  data.version = kVersionArchive;
  data.format = FormatSettings{};
  data.cards = {CardInfo("b", "", 1), CardInfo("a", "typed", 1)};
  const std::string crd = dir.File("old.crd");
  test::WriteBytes(crd, {'M', 'G', 'C'});
  ASSERT_TRUE(doc.Recover(std::move(data), crd, true));
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ui.title, "Tessel - " + crd);
  EXPECT_TRUE(cards.Modified());
  EXPECT_TRUE(doc.SaveBlocked());
  ui.savePaths = {dir.File("new.tsl")};
  EXPECT_TRUE(doc.Save());  // goes to Save As
  EXPECT_EQ(test::ReadBytes(crd), (std::vector<uint8_t>{'M', 'G', 'C'}));
  EXPECT_FALSE(doc.SaveBlocked());
}

}  // namespace
}  // namespace tessel
