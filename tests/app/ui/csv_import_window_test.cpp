// File > Import > Comma Delimited Text... and the CSV export's choices
// through the main window, with scripted answers in place of the user.
#include "support/main_window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTableWidget>

#include "output/export.h"
#include "output/ui/csv_dialogs.h"
#include "support/test_support.h"

namespace tessel {
namespace {

class CsvWindowTest : public uitest::MainWindowTest {
 protected:
  void Import(const QString& path) {
    dialogs.openNames = {path};
    Window().RunCommand(CommandId::ImportCommaText);
  }
  // The next modal dialog must be the CSV import's; `answer` fills it in.
  void Answer(std::function<void(CsvImportDialog&)> answer, int result = QDialog::Accepted) {
    dialogs.modalAnswers.push_back([answer, result](QDialog& d) {
      auto* dialog = qobject_cast<CsvImportDialog*>(&d);
      EXPECT_NE(dialog, nullptr) << d.windowTitle().toStdString();
      if (dialog) answer(*dialog);
      return result;
    });
  }
  std::vector<CardInfo> Cards() { return Window().Cards().Cards(); }
};

const std::string kSheet =
    "\xEF\xBB\xBFName;Street;Town;VIP\r\n"
    "\"Zoe\r\nYoung\";\"1 High St\nFlat 2\";K\xC3\xB6ln;x\r\n"
    "Al;;York\r\n"
    ";;;\r\n";

TEST_F(CsvWindowTest, ASpreadsheetComesInThroughTheDialogAndIsAddedAsMergeAddsCards) {
  OpenCards({{"Mia", "m"}});
  const QString title = Window().windowTitle();
  Answer([](CsvImportDialog& d) {
    EXPECT_EQ(d.SeparatorBox()->currentText(), "Semicolon ( ; )");
    EXPECT_EQ(d.EncodingBox()->currentText(), "UTF-8");
    EXPECT_EQ(d.Preview()->rowCount(), 3);
    EXPECT_EQ(d.Preview()->horizontalHeaderItem(2)->text(), "Town");
    EXPECT_EQ(d.Preview()->item(0, 2)->text(), "K\u00f6ln");
    EXPECT_EQ(d.IndexBox()->currentText(), "Name");
    d.BodyList()->item(1)->setCheckState(Qt::Unchecked);  // Street out
    d.BodyList()->item(3)->setCheckState(Qt::Unchecked);
    d.TagBox()->setCurrentIndex(4);                      // VIP
    d.NamedLinesBox()->setChecked(true);
  });
  Import(FileWith("addresses.csv", kSheet));
  EXPECT_EQ(dialogs.filters.back(), "CSV Files (*.csv *.txt)");
  EXPECT_EQ(Cards(), (std::vector<CardInfo>{{"Al", "Town: York", 0},
                                            {"Mia", "m", 1},
                                            {"Zoe Young", "Town: K\xF6ln", 1}}));
  EXPECT_TRUE(Window().Cards().Modified());
  EXPECT_EQ(Window().windowTitle(), title);
  EXPECT_EQ(Window().CardCountText(), "3 Cards");
  EXPECT_TRUE(Window().Action(CommandId::Save)->isEnabled());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Information);
  EXPECT_EQ(dialogs.shown[0].text,
            "2 cards imported. 1 row had fewer fields than the first row; they came in with the "
            "fields they have.");

  // Cancel in the dialog: nothing changes, nothing is said.
  Answer([](CsvImportDialog&) {}, QDialog::Rejected);
  Import(FileWith("addresses.csv", kSheet));
  EXPECT_EQ(Cards().size(), 3u);
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(CsvWindowTest, OurOwnExportComesBackIntoAnEmptyDocumentWithoutQuestions) {
  const std::vector<CardInfo> cards = {{"Ann, \"A\"", "Tel 1\r\nTel 2", 1}, {"Bob", "lf\nonly", 0}};
  Import(FileWith("cards.csv", ExportCsvBytes(cards, {'\t', true})));
  EXPECT_TRUE(dialogs.modalTitles.isEmpty());
  EXPECT_EQ(Cards(), cards);
  EXPECT_TRUE(Window().Cards().Modified());
  EXPECT_EQ(Window().windowTitle(), "Tessel - Untitled");
  EXPECT_EQ(Window().StackView().FrontBody()->toPlainText(), "Tel 1\nTel 2");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "2 cards imported.");
}

TEST_F(CsvWindowTest, AFileOverTheBoundsIsRefusedWithTheReason) {
  OpenCards({{"Mia", "m"}});
  Answer([](CsvImportDialog& d) { d.SeparatorBox()->setCurrentIndex(0); });
  Import(FileWith("wide.csv", "a\n" + std::string(kCsvMaxFields + 5, ',') + "\n"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "\"wide.csv\" cannot be imported.");
  EXPECT_EQ(dialogs.shown[0].reason, "Row 2 has more than 1000 fields.");
  EXPECT_EQ(Cards().size(), 1u);
  EXPECT_FALSE(Window().Cards().Modified());
}

TEST_F(CsvWindowTest, TheExportsSeparatorAndByteOrderMarkAreRememberedForTheNextExport) {
  OpenCards({{"a;b", "c,d"}});
  dialogs.saveNames = {files.filePath("one.csv"), files.filePath("two.csv")};
  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<CsvExportDialog&>(d);
    EXPECT_EQ(dialog.SeparatorBox()->currentText(), "Comma ( , )");  // as before
    EXPECT_FALSE(dialog.BomBox()->isChecked());
    dialog.SeparatorBox()->setCurrentIndex(1);
    dialog.BomBox()->setChecked(true);
    return int(QDialog::Accepted);
  });
  Window().RunCommand(CommandId::ExportCommaText);
  const std::string expected = "\xEF\xBB\xBFIndex;Body;Tagged\r\n\"a;b\";c,d;1\r\n";
  const auto one = test::ReadBytes(files.filePath("one.csv").toStdString());
  EXPECT_EQ(std::string(one.begin(), one.end()), expected);

  dialogs.modalAnswers.push_back([](QDialog& d) {
    EXPECT_EQ(dynamic_cast<CsvExportDialog&>(d).SeparatorBox()->currentText(), "Semicolon ( ; )");
    return int(QDialog::Rejected);
  });
  Window().RunCommand(CommandId::ExportCommaText);
  EXPECT_FALSE(QFile::exists(files.filePath("two.csv")));
}

}  // namespace
}  // namespace tessel
