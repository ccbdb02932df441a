// labels: the tagged cards of a card file printed on a label product's
// sheets into a PDF, and the list of label products.
#include <QApplication>
#include <QPrinter>
#include <cstdlib>
#include <iostream>

#include "cards/codepage.h"
#include "cli/cli.h"
#include "services/label_catalogue.h"
#include "services/label_run.h"
#include "services/ui/data_folder.h"
#include "services/ui/label_engine.h"
#include "services/ui/qt_settings_store.h"
#include "services/ui/text.h"

namespace tessel::cli {

namespace {

// The catalogue where the program finds it (the program's "Installed" setting
// counts here too).
void LoadCatalogue(LabelCatalogue& catalogue) {
  catalogue.Load(ToPath(DataFolder(QtSettingsStore(QStringLiteral("tessel")), QStringLiteral("labels"))));
}

int List(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  LabelCatalogue catalogue;
  LoadCatalogue(catalogue);
  for (int slot = 0; slot < kFamilyCount; ++slot) {
    std::cout << (slot < kFamiliesPerType ? "Laser and ink jet" : "Dot matrix") << ": "
              << kFamilyNames[slot] << '\n';
    for (const CatalogueEntry& e : catalogue.Family(slot)) {
      std::cout << "  " << Cp1252ToUtf8(e.labelName) << '\t' << Cp1252ToUtf8(e.type) << '\t'
                << Cp1252ToUtf8(e.height) << '\t' << Cp1252ToUtf8(e.width) << '\t'
                << Cp1252ToUtf8(e.pageSize) << '\n';
    }
  }
  return 0;
}

int Labels(const LabelsArgs& args) {
  const std::string& file = args.file;
  const std::string& out = args.out;
  const std::string& product = args.product;
  const bool indexOnLabel = args.indexOnLabel;
  const int tray = args.tray;
  // Fonts and painting need a GUI application; no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tessel-cli";
  static char* argv[] = {name, nullptr};
  if (args.list) return List(argc, argv);

  QApplication app(argc, argv);
  LabelCatalogue catalogue;
  LoadCatalogue(catalogue);
  const std::string labelName = Utf8ToCp1252(product);
  if (!catalogue.FindLabel(labelName)) {
    Fail("unknown label product \"" + product + "\" (tessel-cli labels --list shows them)");
    return 1;
  }
  Loaded loaded;
  if (!Load(file, loaded)) return 1;

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromLocal8Bit(out.c_str()));
  printer.setCreator(QStringLiteral("Tessel"));
  LabelTemplateDatabase templates;
  SheetLabelEngine engine(templates, printer);
  std::string error;
  if (!RunLabels(engine, labelName, tray, TaggedLabelTexts(loaded.cards, indexOnLabel),
                 loaded.format, error)) {
    Fail(Cp1252ToUtf8(error));
    return 1;
  }
  // The PDF is written; the user still hears of texts that did not fit.
  if (engine.CutShort() > 0) Fail(LabelsCutShortText(engine.CutShort()));
  return 0;
}

Work DeclareLabelsHere(CLI::App& command) {
  static LabelsArgs args;
  DeclareLabels(command, args);
  return [] { return Labels(args); };
}

const Registration kLabels({kLabelsName, kLabelsDescription, kLabelsOrder, DeclareLabelsHere});

}  // namespace

}  // namespace tessel::cli
