// File > Import > Cardfile... and Card > Tag... through the main window, with
// scripted answers in place of the user.
#include "support/main_window_fixture.h"

#include <QListView>
#include <QMenuBar>
#include <QPushButton>

#include "cards/crd_file.h"
#include "output/ui/tag_dialog.h"
#include "stack/ui/body_editor.h"
#include "stack/ui/index_field.h"
#include "support/crd_for_test.h"

namespace tessel {
namespace {

class ImportTagWindowTest : public uitest::MainWindowTest {
 protected:
  QString Crd(const QString& name, const test::Bytes& b) {
    const QString path = files.filePath(name);
    test::WriteBytes(path.toStdString(), b.v);
    return path;
  }
  void Import(const QString& path) {
    dialogs.openNames = {path};
    Window().RunCommand(CommandId::ImportCardfile);
  }
  QString Title() { return Window().windowTitle(); }
  std::vector<std::string> Indexes() {
    std::vector<std::string> out;
    for (const CardInfo& c : Window().Cards().Cards()) out.push_back(c.index);
    return out;
  }
  bool Enabled(CommandId id) { return Window().Action(id)->isEnabled(); }
  std::vector<QString> Shown() {
    std::vector<QString> out;
    for (const auto& s : dialogs.shown) out.push_back(s.text);
    return out;
  }
};

TEST_F(ImportTagWindowTest, AnImportShowsTheCardsTitlePaneAndBlocksSave) {
  const QString crd = Crd("old.crd", test::ClassicCrdFile({{"zebra", "Z body"}, {"apple", "A body"}}));
  Import(crd);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"apple", "zebra"}));
  EXPECT_EQ(Title(), "Tessel - " + crd);
  EXPECT_EQ(Window().CardCountText(), "2 Cards");
  EXPECT_EQ(Window().StackView().FrontIndex()->text(), "apple");
  EXPECT_EQ(Window().StackView().FrontBody()->toPlainText(), "A body");
  EXPECT_TRUE(Window().StackView().FrontBody()->hasFocus());
  EXPECT_FALSE(Window().Cards().Modified());
  EXPECT_FALSE(Enabled(CommandId::Save));
  EXPECT_TRUE(Enabled(CommandId::SaveAs));

  // Save As writes a card file and frees Save; the Cardfile file stays.
  const auto before = test::ReadBytes(crd.toStdString());
  const QString tsl = files.filePath("new.tsl");
  dialogs.saveNames = {tsl};
  Window().RunCommand(CommandId::SaveAs);
  EXPECT_TRUE(Enabled(CommandId::Save));
  EXPECT_EQ(Title(), "Tessel - " + tsl);
  EXPECT_EQ(test::ReadBytes(crd.toStdString()), before);
  CardFileData data;
  ASSERT_TRUE(LoadCardFileData(tsl.toStdString(), data).Ok());
  EXPECT_EQ(data.cards.size(), 2u);
}

TEST_F(ImportTagWindowTest, TheFileDialogOffersCardfileFilesAndCancelChangesNothing) {
  OpenThrough(CardFile("home.tsl", {"kept"}));
  dialogs.folders.clear();
  Import(QString());  // cancelled
  EXPECT_EQ(Indexes(), std::vector<std::string>{"kept"});
  EXPECT_EQ(dialogs.folders.size(), 1u);
  EXPECT_EQ(dialogs.folders[0], files.path());  // the Last File rule
  EXPECT_TRUE(Window().StackView().FrontBody()->hasFocus());
}

TEST_F(ImportTagWindowTest, EachAnswerOfTheSaveChangesPrompt) {
  const QString crd = Crd("a.crd", test::CrdFile({{"imported", ""}}));
  OpenThrough(CardFile("home.tsl", {"edited"}));
  Window().Cards().MarkBodyKey();

  dialogs.answers = {QMessageBox::Cancel};
  Import(crd);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"edited"});
  EXPECT_TRUE(Window().Cards().Modified());
  EXPECT_EQ(Title(), "Tessel - " + files.filePath("home.tsl"));

  dialogs.answers = {QMessageBox::Yes};  // saves to home.tsl, then imports
  Import(crd);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"imported"});
  EXPECT_EQ(dialogs.Prompts(), 2);

  Window().Cards().MarkBodyKey();
  dialogs.answers = {QMessageBox::No};
  Import(Crd("b.crd", test::CrdFile({{"second", ""}})));
  EXPECT_EQ(Indexes(), std::vector<std::string>{"second"});
}

TEST_F(ImportTagWindowTest, FailuresShowTheirMessageAndLeaveWhatNewLeft) {
  OpenThrough(CardFile("home.tsl", {"gone"}));
  Import(files.filePath("missing.crd"));
  Import(Crd("other.crd", test::Bytes{}.str("RRH").u32(1).fill(60)));
  ASSERT_EQ(dialogs.shown.size(), 2u);
  for (const auto& s : dialogs.shown) {
    EXPECT_EQ(s.icon, QMessageBox::Warning);
    EXPECT_EQ(s.buttons, QMessageBox::Ok);
    EXPECT_EQ(s.caption, "tessel_widget_tests");
  }
  EXPECT_EQ(Shown(), (std::vector<QString>{"File error - 25", "File not compatible"}));
  EXPECT_TRUE(Window().Cards().Empty());
  EXPECT_EQ(Title(), "Tessel - Untitled");
  EXPECT_EQ(Window().CardCountText(), "0 Cards");

  dialogs.shown.clear();
  Import(Crd("cut.crd", test::CrdFile({{"whole", "w"}}, 3)));
  EXPECT_EQ(Indexes(), std::vector<std::string>{"whole"});
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(dialogs.shown[0].text.contains("only 1 of the 3 cards")) << dialogs.shown[0].text.toStdString();
}

TEST_F(ImportTagWindowTest, TagDialogOkChangesTagsAndMarksTheDocumentChanged) {
  OpenThrough(WriteCards("t.tsl", {CardInfo("a", "", 1), CardInfo("b", "", 1)}));
  ASSERT_TRUE(Enabled(CommandId::Tag));
  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& tag = dynamic_cast<TagDialog&>(d);
    EXPECT_EQ(tag.windowTitle(), "Tag Cards");
    tag.Toggle(1);
    tag.accept();
    return QDialog::Accepted;
  });
  Window().RunCommand(CommandId::Tag);
  EXPECT_EQ(Window().Cards().At(1).tag, 0);
  EXPECT_TRUE(Window().Cards().Modified());

  // Cancel: nothing changes; and the tags survive Save and Open.
  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& tag = dynamic_cast<TagDialog&>(d);
    tag.UntagAll();
    tag.reject();
    return QDialog::Rejected;
  });
  Window().RunCommand(CommandId::Tag);
  EXPECT_EQ(Window().Cards().At(0).tag, 1);
  Window().RunCommand(CommandId::Save);
  EXPECT_FALSE(Window().Cards().Modified());
  OpenThrough(files.filePath("t.tsl"));
  EXPECT_EQ(Window().Cards().At(1).tag, 0);
  EXPECT_EQ(Window().Cards().At(0).tag, 1);

  Window().RunCommand(CommandId::New);
  EXPECT_FALSE(Enabled(CommandId::Tag));
}

}  // namespace
}  // namespace tessel
