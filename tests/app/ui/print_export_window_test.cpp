// Print and Export through the main window, as the File menu runs them: the
// print dialog answered by pointing its printer at a PDF file, the export
// dialogs by a file name.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QProgressDialog>
#include <QTimer>
#include <QToolButton>

#include "output/export.h"
#include "output/ui/print_run.h"
#include "support/cli_run.h"
#include "support/main_window_fixture.h"

namespace tessel {
namespace {

class PrintExportTest : public uitest::MainWindowTest {
 protected:
  void OpenCards(const std::vector<CardInfo>& cards) {
    Window().Cards().MarkUnchanged();
    cardFile = WriteCards("cards.tsl", cards);
    OpenThrough(cardFile);
    ASSERT_EQ(Window().Cards().Size(), cards.size());
  }

  // The next print dialog: `answer` changes its printer, then OK.
  void AnswerPrint(std::function<void(QPrinter&)> answer) {
    dialogs.modalAnswers.push_back([answer](QDialog& d) {
      auto* dialog = qobject_cast<QPrintDialog*>(&d);
      EXPECT_NE(dialog, nullptr);
      if (!dialog) return int(QDialog::Rejected);
      answer(*dialog->printer());
      return int(QDialog::Accepted);
    });
  }
  void PrintTo(const QString& pdf) {
    AnswerPrint([pdf](QPrinter& p) { p.setOutputFileName(pdf); });
  }

  std::string PdfText(const QString& pdf) {
    test::TempDir dir;
    const test::CliRun run = test::RunShell("pdftotext '" + pdf.toStdString() + "' -", dir);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
  }

  static std::string Bytes(const QString& path) {
    const auto bytes = test::ReadBytes(path.toStdString());
    return {bytes.begin(), bytes.end()};
  }

  QString cardFile;
};

TEST_F(PrintExportTest, PrintCardPutsTheFrontCardUnderThePath) {
  OpenCards({CardInfo("Ann", "Tel 1\r\nTel 2", 1), CardInfo("Bob", "not printed", 1)});
  const QString pdf = files.filePath("card.pdf");
  PrintTo(pdf);
  Window().RunCommand(CommandId::PrintCard);
  EXPECT_EQ(dialogs.modalTitles.size(), 1u);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(PdfText(pdf), cardFile.toStdString() + "\nIndex: Ann\nTel 1\nTel 2\n\n\f");

  // The card toolbar's Print button is the same command.
  QAction* print = Window().Action(CommandId::PrintCard);
  bool onCard = false;
  for (QToolButton* b : Window().StackArea()->findChildren<QToolButton*>()) onCard |= b->defaultAction() == print;
  EXPECT_TRUE(onCard);
}

// The dialog as a user sees it, with its Options part opened: no choice of
// pages (the jobs print every page), copies with collation, and Qt's own PDF
// writer, which prints on a machine without a printer and holds one copy.
TEST_F(PrintExportTest, TheDialogOffersNoPageChoiceAndPrintsToAPdfFile) {
  OpenCards({CardInfo("Ann", "Tel 1", 1)});
  const QString pdf = files.filePath("no-printer.pdf");
  dialogs.modalAnswers.push_back([&](QDialog& d) {
    d.show();
    for (QPushButton* b : d.findChildren<QPushButton*>()) {
      if (b->text().startsWith("&Options")) b->click();
    }
    const auto visible = [&d](const char* name) {
      auto* w = d.findChild<QWidget*>(name);
      EXPECT_NE(w, nullptr) << name;
      return w && w->isVisible();
    };
    for (const char* name : {"printAll", "printRange", "from", "to", "pagesRadioButton",
                             "pagesLineEdit", "printCurrentPage", "printSelection", "pageSetCombo"}) {
      EXPECT_FALSE(visible(name)) << name;
    }
    EXPECT_TRUE(visible("copies"));
    EXPECT_TRUE(visible("collate"));
    auto* printers = d.findChild<QComboBox*>("printers");
    auto* copies = d.findChild<QSpinBox*>("copies");
    const int pdfEntry = printers->findText("Print to File (PDF)");
    EXPECT_GE(pdfEntry, 0);
    printers->setCurrentIndex(pdfEntry);
    EXPECT_EQ(copies->value(), 1);
    EXPECT_FALSE(copies->isEnabled());
    EXPECT_FALSE(d.findChild<QWidget*>("reverse")->isEnabled());
    EXPECT_EQ(copies->text(), "1 (a PDF file holds one copy)");
    d.findChild<QLineEdit*>("filename")->setText(pdf);
    auto* buttons = d.findChild<QDialogButtonBox*>();
    buttons->button(QDialogButtonBox::Ok)->click();
    return d.result();
  });
  Window().RunCommand(CommandId::PrintCard);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_NE(PdfText(pdf).find("Index: Ann"), std::string::npos);
}

TEST_F(PrintExportTest, PrintListAndTaggedGoThroughTheSameDialog) {
  OpenCards({CardInfo("alpha", "a", 1), CardInfo("beta", "b", 0), CardInfo("gamma", "g", 1)});
  const QString list = files.filePath("list.pdf");
  PrintTo(list);
  Window().RunCommand(CommandId::PrintList);
  EXPECT_EQ(PdfText(list), cardFile.toStdString() +
                               " - page 1\nIndex: alpha\nIndex: beta\nIndex: gamma\n\n\f");
  const QString tagged = files.filePath("tagged.pdf");
  PrintTo(tagged);
  Window().RunCommand(CommandId::PrintTagged);
  const std::string text = PdfText(tagged);
  EXPECT_NE(text.find("Index: gamma"), std::string::npos) << text;
  EXPECT_EQ(text.find("Index: beta"), std::string::npos) << text;
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PrintExportTest, CancelPrintsNothingAndAnUnusablePrinterFails) {
  OpenCards({CardInfo("alpha", "a", 0)});
  dialogs.modalAnswers.push_back([](QDialog&) { return int(QDialog::Rejected); });
  Window().RunCommand(CommandId::PrintCard);
  EXPECT_TRUE(dialogs.shown.empty());

  // Nothing tagged: a document without pages, so nothing at all.
  const QString pdf = files.filePath("none.pdf");
  PrintTo(pdf);
  Window().RunCommand(CommandId::PrintTagged);
  EXPECT_FALSE(QFile::exists(pdf));
  EXPECT_TRUE(dialogs.shown.empty());

  // No printer to use: "Print Failed" in the standard box.
  AnswerPrint([](QPrinter& p) {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(QString());
  });
  Window().RunCommand(CommandId::PrintList);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Print Failed");
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Warning);
  EXPECT_EQ(dialogs.shown[0].caption, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

TEST_F(PrintExportTest, ALongJobShowsProgressAndCancelStopsIt) {
  std::vector<CardInfo> cards;
  for (int i = 0; i < 6000; ++i) cards.emplace_back("card " + std::to_string(100000 + i), "", 1);
  OpenCards(cards);
  const QString pdf = files.filePath("long.pdf");
  PrintTo(pdf);
  QString label;
  int ticks = 0;
  // Presses Cancel once the job has drawn a few pages; the timer firing at
  // all shows the window handles events while it prints.
  QTimer cancel;
  QObject::connect(&cancel, &QTimer::timeout, [&] {
    auto* progress = Window().findChild<QProgressDialog*>();
    if (!progress || ++ticks < 3) return;
    label = progress->labelText();
    progress->cancel();
  });
  cancel.start(0);
  Window().RunCommand(CommandId::PrintList);
  cancel.stop();
  EXPECT_GE(ticks, 3);
  EXPECT_TRUE(label.startsWith("Printing page ")) << label.toStdString();
  EXPECT_FALSE(QFile::exists(pdf));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kNothingPrinted);
  EXPECT_EQ(Window().findChild<QProgressDialog*>(), nullptr);
}

TEST_F(PrintExportTest, ExportWritesEveryCardAndLeavesTheDocumentAlone) {
  OpenCards({CardInfo("Ann, \"A\"", "Tel 1\r\nTel 2", 1), CardInfo("Bob", "b", 0)});
  Window().Cards().MarkBodyKey();
  const std::string before = Bytes(cardFile);

  dialogs.saveNames = {files.filePath("cards.txt")};
  Window().RunCommand(CommandId::ExportText);
  EXPECT_EQ(dialogs.filters.back(), "Text Files (*.txt)");
  EXPECT_EQ(Bytes(files.filePath("cards.txt")), ExportTextBytes(Window().Cards().Cards()));

  dialogs.saveNames = {files.filePath("cards.csv")};
  Window().RunCommand(CommandId::ExportCommaText);
  EXPECT_EQ(dialogs.filters.back(), "CSV Files (*.csv)");
  EXPECT_EQ(Bytes(files.filePath("cards.csv")),
            "Index,Body,Tagged\r\n\"Ann, \"\"A\"\"\",\"Tel 1\r\nTel 2\",1\r\nBob,b,0\r\n");

  // Cancelled: nothing written, nothing said.
  Window().RunCommand(CommandId::ExportCommaText);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(Window().Cards().Modified());
  EXPECT_EQ(Bytes(cardFile), before);
}

TEST_F(PrintExportTest, AFailedExportNamesTheFileAndTheReason) {
  OpenCards({CardInfo("Ann", "", 1)});
  const QString target = files.filePath("missing/cards.csv");
  dialogs.saveNames = {target};
  Window().RunCommand(CommandId::ExportCommaText);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].caption, "Tessel Error...");
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Critical);
  EXPECT_TRUE(dialogs.shown[0].text.contains(target)) << dialogs.shown[0].text.toStdString();
  EXPECT_TRUE(dialogs.shown[0].text.contains("No such file or directory"));
  EXPECT_FALSE(Window().Cards().Modified());
}

}  // namespace
}  // namespace tessel
