// print: Print Card, Print List and Print Tagged into a PDF file, through the
// program's own layout and drawing, without a display.
#include <QGuiApplication>
#include <QLocale>
#include <QPageSize>
#include <QPrinter>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "cli/cli.h"
#include "services/ui/printer_pages.h"

namespace tessel::cli {

namespace {

// Fonts and printing need a Qt application; no display is needed.
std::unique_ptr<QGuiApplication> StartQt() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "tessel-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

int Print(const PrintArgs& p) {
  const PrintKind kind = p.kind == "list"     ? PrintKind::List
                         : p.kind == "tagged" ? PrintKind::Tagged
                                              : PrintKind::Card;
  Loaded l;
  if (!Load(p.file, l)) return 1;
  const auto app = StartQt();

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(p.out));
  printer.setResolution(p.resolution);
  const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
  printer.setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));

  // The program heads its pages with the path it opened, which is absolute.
  std::error_code ignored;
  const std::string path = p.file == kStandardStream
                               ? std::string(kStandardInputName)
                               : std::filesystem::absolute(p.file, ignored).string();
  QString error;
  switch (PrintOnPrinter(printer, kind, l.cards.Cards(), path, l.format, {}, &error)) {
    case PrintOutcome::Printed:
      return 0;
    case PrintOutcome::NoPages:
      Fail(kind == PrintKind::Tagged && !l.cards.Empty() ? "nothing to print: no card is tagged"
                                                           : "nothing to print: the file holds no cards");
      return 1;
    case PrintOutcome::Failed:
    case PrintOutcome::Refused:
    case PrintOutcome::Cancelled:
      break;
  }
  Fail(error.isEmpty() ? "could not write \"" + p.out + "\"" : error.toStdString());
  return 1;
}

Work DeclarePrintHere(CLI::App& command) {
  static PrintArgs args;
  DeclarePrint(command, args);
  return [] { return Print(args); };
}

const Registration kPrint({kPrintName, kPrintDescription, kPrintOrder, DeclarePrintHere});

}  // namespace

}  // namespace tessel::cli
