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

constexpr int kDefaultResolution = 600;
constexpr int kMinResolution = 72;
constexpr int kMaxResolution = 2400;

struct PrintArgs {
  PrintKind kind = PrintKind::Card;
  std::string file;
  std::string out;
  int resolution = kDefaultResolution;
};

bool ParseResolution(const std::string& text, int& dpi) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < kMinResolution || value > kMaxResolution) return false;
  dpi = static_cast<int>(value);
  return true;
}

bool Parse(const Args& args, PrintArgs& p) {
  if (args.empty()) return false;
  if (args[0] == "card") {
    p.kind = PrintKind::Card;
  } else if (args[0] == "list") {
    p.kind = PrintKind::List;
  } else if (args[0] == "tagged") {
    p.kind = PrintKind::Tagged;
  } else {
    return false;
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "-o" || a == "--resolution") && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (a == "-o") {
        p.out = value;
      } else if (!ParseResolution(value, p.resolution)) {
        Fail("--resolution takes a whole number from 72 to 2400");
        return false;
      }
    } else if (p.file.empty() && (a.empty() || a[0] != '-')) {
      p.file = a;
    } else {
      return false;
    }
  }
  return !p.file.empty() && !p.out.empty();
}

// Fonts and printing need a Qt application; no display is needed.
std::unique_ptr<QGuiApplication> StartQt() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "tessel-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

int Print(const Args& args) {
  PrintArgs p;
  if (!Parse(args, p)) return kUsageError;
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
  const std::string path = std::filesystem::absolute(p.file, ignored).string();
  QString error;
  switch (PrintOnPrinter(printer, p.kind, l.cards.Cards(), path, l.format, {}, &error)) {
    case PrintOutcome::Printed:
      return 0;
    case PrintOutcome::NoPages:
      Fail(p.kind == PrintKind::Tagged && !l.cards.Empty() ? "nothing to print: no card is tagged"
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

const Registration kPrint({kPrintCommand.name, kPrintCommand.usage, kPrintCommand.order, Print});

}  // namespace

}  // namespace tessel::cli
