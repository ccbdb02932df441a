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

int Labels(const Args& args) {
  std::string file, out, product;
  bool indexOnLabel = false;
  int tray = kTrayDefault;
  bool list = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--list") {
      list = true;
    } else if (a == "-o" && hasValue) {
      out = args[++i];
    } else if (a == "--product" && hasValue) {
      product = args[++i];
    } else if (a == "--index-on-label") {
      indexOnLabel = true;
    } else if (a == "--tray" && hasValue) {
      const std::string& value = args[++i];
      if (value.size() != 1 || value[0] < '0' || value[0] > '3') return kUsageError;
      tray = value[0] - '0';
    } else if (file.empty() && !a.starts_with("-")) {
      file = a;
    } else {
      return kUsageError;
    }
  }
  // Fonts and painting need a GUI application; no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tessel-cli";
  static char* argv[] = {name, nullptr};
  if (list) return file.empty() && out.empty() && product.empty() ? List(argc, argv) : kUsageError;
  if (file.empty() || out.empty() || product.empty()) return kUsageError;

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

const Registration kLabels({kLabelsCommand.name, kLabelsCommand.usage, kLabelsCommand.order,
                            Labels});

}  // namespace

}  // namespace tessel::cli
