// gLabels' templates as the label engine reads them, the engine's own
// checks, and the shipped catalogue as the tool makes it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cctype>

#include "services/label_catalogue.h"
#include "services/ui/label_engine.h"
#include "services/ui/label_templates.h"

namespace tessel {
namespace {

const QString kSystemTemplates = QStringLiteral("/usr/share/libglabels-3.0/templates");

bool Installed() { return LabelTemplateDatabase(kSystemTemplates).Available(); }

#define NEED_TEMPLATES() \
  if (!Installed()) GTEST_SKIP() << "gLabels templates missing: install glabels-data"

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(LabelTemplates, LengthsInEveryUnitGLabelsWrites) {
  double pt = 0;
  EXPECT_TRUE(ParseLength("2.625in", pt));
  EXPECT_DOUBLE_EQ(pt, 189);
  EXPECT_TRUE(ParseLength("25.4mm", pt));
  EXPECT_DOUBLE_EQ(pt, 72);
  EXPECT_TRUE(ParseLength("1cm", pt));
  EXPECT_NEAR(pt, 28.3465, 1e-3);
  EXPECT_TRUE(ParseLength("2pc", pt));
  EXPECT_DOUBLE_EQ(pt, 24);
  EXPECT_TRUE(ParseLength("4.5pt", pt));
  EXPECT_DOUBLE_EQ(pt, 4.5);
  EXPECT_TRUE(ParseLength("9", pt));
  EXPECT_DOUBLE_EQ(pt, 9);
  EXPECT_FALSE(ParseLength("wide", pt));
  EXPECT_FALSE(ParseLength("-1in", pt));
  EXPECT_FALSE(ParseLength("", pt));
}

TEST(LabelTemplates, SmallDatabaseWithEquivalentsRoundLabelsAndRolls) {
  QTemporaryDir dir;
  Write(dir.filePath("paper-sizes.xml"),
        R"(<Glabels-paper-sizes><Paper-size id="A4" width="210mm" height="297mm"/></Glabels-paper-sizes>)");
  Write(dir.filePath("x-templates.xml"), R"(<Glabels-templates>
  <Template brand="B" part="2" equiv="1"/>
  <Template brand="B" part="1" size="A4" _description="Address">
    <Label-rectangle id="0" width="70mm" height="37mm"><Markup-margin size="1mm"/>
      <Layout nx="3" ny="8" x0="0mm" y0="0.5mm" dx="70mm" dy="37mm"/></Label-rectangle></Template>
  <Template brand="B" part="R" size="Other" width="2in" height="2in" description="Round">
    <Label-round id="0" radius="1.25in"><Layout nx="1" ny="1" x0="0" y0="0" dx="2in" dy="2in"/>
    </Label-round></Template>
  <Template brand="B" part="S" size="A4"><Label-rectangle id="0" width="1in" height="1in">
    <Layout nx="1" ny="2" x0="0" y0="0" dx="1in" dy="1in"/><Layout nx="1" ny="2" x0="1in" y0="0" dx="1in" dy="1in"/>
    </Label-rectangle></Template>
</Glabels-templates>)");
  LabelTemplateDatabase db(dir.path());
  ASSERT_TRUE(db.Load()) << db.Error().toStdString();
  const LabelTemplate* same = db.Find("B 2");
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(same->part, "2");
  EXPECT_EQ(same->description, "Address");
  EXPECT_EQ(same->paperId, "A4");
  EXPECT_EQ(same->labelWidthText, "70mm");
  EXPECT_EQ(same->layout.nx, 3);
  EXPECT_NEAR(same->pageHeight, 297 * 72 / 25.4, 1e-9);
  EXPECT_TRUE(same->Usable());
  const LabelTemplate* round = db.Find("B R");
  ASSERT_NE(round, nullptr);
  EXPECT_EQ(round->labelHeightText, "2.5in");
  EXPECT_DOUBLE_EQ(round->pageWidth, 144);
  EXPECT_FALSE(db.Find("B S")->Usable());  // two layouts
  EXPECT_EQ(db.Find("B 3"), nullptr);
}

TEST(LabelTemplates, MissingOrBrokenDatabaseSaysSo) {
  QTemporaryDir dir;
  LabelTemplateDatabase none(dir.path());
  EXPECT_FALSE(none.Available());
  EXPECT_FALSE(none.Load());
  EXPECT_EQ(none.Error(), kLabelTemplatesMissing);
  EXPECT_FALSE(LabelTemplateDatabase(QString()).Available());

  Write(dir.filePath("paper-sizes.xml"), "<Glabels-paper-sizes/>");
  Write(dir.filePath("y-templates.xml"), "<Glabels-templates><Template brand=");
  LabelTemplateDatabase broken(dir.path());
  EXPECT_TRUE(broken.Available());
  EXPECT_FALSE(broken.Load());
  EXPECT_TRUE(broken.Error().contains("y-templates.xml")) << broken.Error().toStdString();
}

TEST(LabelEngine, UnknownProductAndMissingDatabaseStopTheRun) {
  QTemporaryDir dir;
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("out.pdf"));
  std::string error;
  LabelTemplateDatabase missing(dir.path());
  SheetLabelEngine engine(missing, printer);
  EXPECT_FALSE(RunLabels(engine, "Avery 5160", 0, {"a"}, FormatSettings(), error));
  EXPECT_EQ(error, kLabelTemplatesMissing);

  NEED_TEMPLATES();
  LabelTemplateDatabase db(kSystemTemplates);
  SheetLabelEngine known(db, printer);
  EXPECT_FALSE(RunLabels(known, "Avery 0000", 0, {"a"}, FormatSettings(), error));
  EXPECT_EQ(error, "Unknown label product \"Avery 0000\"");
  EXPECT_FALSE(QFile::exists(dir.filePath("out.pdf")));
  // A step out of its place is refused, not half carried out.
  EXPECT_FALSE(known.Print());
  EXPECT_EQ(known.Error(), "Label steps out of order");
}

// The engine on the installed templates, printing to a PDF file.
struct PdfEngine {
  QTemporaryDir dir;
  QPrinter printer;
  LabelTemplateDatabase db{kSystemTemplates};
  SheetLabelEngine engine{db, printer};
  PdfEngine() {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("labels.pdf"));
  }
};

TEST(LabelEngine, RollProductPrintsOneLabelPerPageOfItsOwnSize) {
  NEED_TEMPLATES();
  PdfEngine pdf;
  SheetLabelEngine& engine = pdf.engine;
  QPrinter& printer = pdf.printer;
  std::vector<int> progress;
  engine.SetProgress([&](int done, int total) {
    progress.push_back(done * 10 + total);
    return true;
  });
  std::string error;
  ASSERT_TRUE(RunLabels(engine, "Dymo 99010", kTrayTractorFeed, {"one", "two\r\nlines", "three"},
                        FormatSettings(), error))
      << error;
  EXPECT_EQ(engine.Texts(), (QStringList{"one", "two\nlines", "three"}));
  const QSizeF page = printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
  EXPECT_NEAR(page.width(), 28, 0.5);
  EXPECT_NEAR(page.height(), 89, 0.5);
  EXPECT_EQ(progress, (std::vector<int>{13, 23, 33}));
}

TEST(LabelEngine, CancelStopsBetweenSheets) {
  NEED_TEMPLATES();
  PdfEngine pdf;
  SheetLabelEngine& engine = pdf.engine;
  engine.SetProgress([](int, int) { return false; });
  std::string error;
  EXPECT_FALSE(RunLabels(engine, "Dymo 99010", 0, {"one", "two"}, FormatSettings(), error));
  EXPECT_EQ(error, "Printing cancelled");
  // Cancelled on the last sheet too: no file is left where it was to go.
  EXPECT_FALSE(RunLabels(engine, "Dymo 99010", 0, {"one"}, FormatSettings(), error));
  EXPECT_EQ(error, "Printing cancelled");
  EXPECT_FALSE(QFile::exists(pdf.printer.outputFileName()));
}

TEST(LabelCatalogueTool, EverySizeShowsItsUnit) {
  LabelCatalogue catalogue;
  catalogue.Load(TESSEL_SOURCE_DIR "/resources/labels");
  for (int slot = 0; slot < kFamilyCount; ++slot) {
    for (const CatalogueEntry& e : catalogue.Family(slot)) {
      for (const std::string& size : {e.height, e.width}) {
        EXPECT_TRUE(!size.empty() && std::isalpha(static_cast<unsigned char>(size.back())))
            << e.labelName << " " << size;
      }
    }
  }
  EXPECT_EQ(catalogue.FindLabel("Avery L7160")->height, "108.0pt");
}

TEST(LabelCatalogueTool, RegeneratingTheShippedFilesGivesTheSameBytes) {
  NEED_TEMPLATES();
  QTemporaryDir dir;
  QProcess tool;
  tool.start(QStringLiteral(TESSEL_MAKE_LABELS), {dir.path(), kSystemTemplates});
  ASSERT_TRUE(tool.waitForFinished(60000));
  ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
  const QDir shipped(QStringLiteral(TESSEL_SOURCE_DIR "/resources/labels"));
  for (const char* name : kCatalogueFiles) {
    QFile made(dir.filePath(name)), kept(shipped.filePath(name));
    ASSERT_TRUE(made.open(QIODevice::ReadOnly)) << name;
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << name;
    EXPECT_TRUE(made.readAll() == kept.readAll())
        << name << " differs: run tessel-make-labels resources/labels and commit the files";
  }
}

}  // namespace
}  // namespace tessel
