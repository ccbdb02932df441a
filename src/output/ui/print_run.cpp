#include "output/ui/print_run.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

#include <algorithm>
#include <climits>

namespace tessel {
namespace {

// Short jobs finish before the progress dialog would flash up.
constexpr int kProgressDelayMs = 400;

}  // namespace

void LimitPrintDialog(QPrintDialog& dialog) {
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
}

std::unique_ptr<QPrinter> PrinterForJob(const QPrinter& chosen) {
  if (chosen.outputFormat() == QPrinter::PdfFormat && !chosen.outputFileName().isEmpty()) {
    auto pdf = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pdf->setOutputFormat(QPrinter::PdfFormat);
    pdf->setOutputFileName(chosen.outputFileName());
    return pdf;
  }
  const QPrinterInfo info = QPrinterInfo::printerInfo(chosen.printerName());
  if (chosen.printerName().isEmpty() || info.isNull()) return nullptr;
  auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  if (!printer->isValid()) return nullptr;
  return printer;
}

PrintOutcome PrintWithProgress(QWidget* parent, QPrinter& printer, PrintKind kind,
                               const std::vector<CardInfo>& cards, const std::string& path,
                               const FormatSettings& format, QString* error) {
  QProgressDialog progress(parent);
  progress.setWindowTitle(QGuiApplication::applicationDisplayName());
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(kProgressDelayMs);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  const auto step = [&progress](std::size_t done, std::size_t total) {
    progress.setMaximum(static_cast<int>(std::min<std::size_t>(total, INT_MAX)));
    progress.setLabelText(QCoreApplication::translate("Print", "Printing page %1 of %2")
                              .arg(std::min(done + 1, total))
                              .arg(total));
    progress.setValue(static_cast<int>(std::min<std::size_t>(done, INT_MAX)));
    // Between pages the window repaints and Cancel can be pressed. Until the
    // dialog shows (and blocks the window) keys and clicks wait, so no other
    // command starts under a running job.
    QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                         : QEventLoop::ExcludeUserInputEvents);
    return !progress.wasCanceled();
  };
  return PrintOnPrinter(printer, kind, cards, path, format, step, error);
}

}  // namespace tessel
