// Tools > Labels... in the main window: the dialog, the print dialog and the
// label sheets they produce, with the message boxes answered by script.
#include <QComboBox>
#include <QListWidget>
#include <QCheckBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>

#include "services/ui/labels_dialog.h"
#include "support/main_window_fixture.h"

namespace tessel::uitest {
namespace {

bool TemplatesInstalled() { return QFile::exists("/usr/share/libglabels-3.0/templates/paper-sizes.xml"); }

// Points the label template lookup elsewhere for one test.
struct DataDirs {
  explicit DataDirs(const QByteArray& dirs) : saved(qgetenv("XDG_DATA_DIRS")) {
    qputenv("XDG_DATA_DIRS", dirs);
  }
  ~DataDirs() { qputenv("XDG_DATA_DIRS", saved); }
  QByteArray saved;
};

QString PdfText(const QString& pdf) {
  QProcess p;
  p.start("pdftotext", {"-layout", pdf, "-"});
  p.waitForFinished(20000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

class LabelsWindowTest : public MainWindowTest {
 protected:
  QString Cards() {
    return WriteCards("cards.tsl", {CardInfo("Ann", "Tel 1", 1), CardInfo("Bob", "Main St 2", 0),
                                    CardInfo("Cy", "Fax 3", 1)});
  }
  // Answers the Labels dialog: picks `product` of the first family.
  void ChooseProduct(const QString& product, bool indexOnLabel) {
    dialogs.modalAnswers.push_back([=](QDialog& d) {
      auto* list = d.findChild<QListWidget*>("products");
      const auto items = list->findItems(product, Qt::MatchExactly);
      EXPECT_EQ(items.size(), 1);
      list->setCurrentItem(items.value(0));
      d.findChild<QCheckBox*>("indexOnLabel")->setChecked(indexOnLabel);
      return int(QDialog::Accepted);
    });
  }
  void PrintTo(const QString& pdf) {
    dialogs.modalAnswers.push_back([=](QDialog& d) {
      QPrinter* printer = static_cast<QPrintDialog&>(d).printer();
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(pdf);
      return int(QDialog::Accepted);
    });
  }
};

TEST_F(LabelsWindowTest, PrintsTheTaggedCardsAndRemembersTheChoices) {
  if (!TemplatesInstalled()) GTEST_SKIP() << "gLabels templates missing: install glabels-data";
  OpenThrough(Cards());
  ChooseProduct("5160", true);
  const QString pdf = files.filePath("labels.pdf");
  PrintTo(pdf);
  Window().RunCommand(CommandId::Labels);
  EXPECT_EQ(dialogs.modalTitles.value(0), "Labels");
  EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text.toStdString();
  const QString text = PdfText(pdf);
  EXPECT_TRUE(text.contains("Ann")) << text.toStdString();
  EXPECT_TRUE(text.contains("Tel 1"));
  EXPECT_TRUE(text.contains("Fax 3"));
  EXPECT_FALSE(text.contains("Main St 2"));

  // The next Labels command opens on the same choices; Cancel prints nothing.
  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& labels = static_cast<LabelsDialog&>(d);
    EXPECT_EQ(labels.Chosen()->labelName, "Avery 5160");
    EXPECT_TRUE(labels.Settings().indexOnLabel);
    EXPECT_TRUE(d.findChild<QCheckBox*>("indexOnLabel")->isChecked());
    return int(QDialog::Rejected);
  });
  Window().RunCommand(CommandId::Labels);
  EXPECT_EQ(dialogs.modalTitles.size(), 3);  // Labels, print dialog, Labels
}

TEST_F(LabelsWindowTest, WithoutTheTemplatesLabelsSaysWhatIsMissing) {
  QTemporaryDir empty;
  DataDirs dirs(empty.path().toLocal8Bit());
  OpenThrough(Cards());
  Window().RunCommand(CommandId::Labels);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Label templates not installed (package glabels-data)");
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Warning);
  EXPECT_TRUE(dialogs.modalTitles.isEmpty());
}

TEST_F(LabelsWindowTest, AFailingPrintIsReportedAndTheWindowGoesOn) {
  if (!TemplatesInstalled()) GTEST_SKIP() << "gLabels templates missing: install glabels-data";
  OpenThrough(Cards());
  ChooseProduct("5160", false);
  PrintTo(files.filePath("no/such/folder/labels.pdf"));
  Window().RunCommand(CommandId::Labels);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(dialogs.shown[0].text.startsWith("Print Failed\n\nCould not write")) << dialogs.shown[0].text.toStdString();
  // Still usable: the next command runs.
  Window().RunCommand(CommandId::NextCard);
  EXPECT_TRUE(Window().Action(CommandId::Labels)->isEnabled());
}

TEST_F(LabelsWindowTest, TextsThatDoNotFitAreCountedAtTheEnd) {
  if (!TemplatesInstalled()) GTEST_SKIP() << "gLabels templates missing: install glabels-data";
  std::string tall;
  for (int i = 1; i <= 12; ++i) tall += "Line " + std::to_string(i) + "\r\n";
  OpenThrough(WriteCards("tall.tsl", {CardInfo("Ann", tall, 1), CardInfo("Bob", tall, 1),
                                      CardInfo("Cy", "Fits", 1)}));
  ChooseProduct("5160", false);
  const QString pdf = files.filePath("labels.pdf");
  PrintTo(pdf);
  Window().RunCommand(CommandId::Labels);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "2 labels were cut short: their text does not fit on the label.");
  EXPECT_TRUE(QFile::exists(pdf));
}

TEST_F(LabelsWindowTest, PrintDialogCancelledPrintsNothing) {
  if (!TemplatesInstalled()) GTEST_SKIP() << "gLabels templates missing: install glabels-data";
  OpenThrough(Cards());
  ChooseProduct("5160", false);
  dialogs.modalAnswers.push_back([](QDialog&) { return int(QDialog::Rejected); });
  Window().RunCommand(CommandId::Labels);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.modalTitles.size(), 2);
}

}  // namespace
}  // namespace tessel::uitest
