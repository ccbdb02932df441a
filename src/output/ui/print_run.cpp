#include "output/ui/print_run.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QSpinBox>

#include <algorithm>
#include <climits>

namespace tessel {
namespace {

// Short jobs finish before the progress dialog would flash up.
constexpr int kProgressDelayMs = 400;

}  // namespace

namespace {

// Qt's dialog shows its "Pages" group (all, from/to, a page list, current
// page, selection) on every show whatever the options say, since CUPS could
// pick pages on the server; the jobs print every page, so the group is
// hidden once the dialog is up. A PDF file holds one copy in page order:
// with the PDF entry chosen the copies box says so and takes no other
// count, and Collate and Reverse are off.
class PrintDialogTrim final : public QObject {
 public:
  explicit PrintDialogTrim(QPrintDialog& dialog) : QObject(&dialog), dialog_(dialog) {
    dialog.installEventFilter(this);
    if (auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"))) {
      connect(printers, &QComboBox::currentIndexChanged, this, [this] { ShowCopies(); });
    }
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &dialog_ && event->type() == QEvent::Show) {
      if (auto* pages = dialog_.findChild<QWidget*>(QStringLiteral("gbPrintRange"))) pages->hide();
      ShowCopies();
    }
    return false;
  }

 private:
  void ShowCopies() {
    auto* printers = dialog_.findChild<QComboBox*>(QStringLiteral("printers"));
    auto* copies = dialog_.findChild<QSpinBox*>(QStringLiteral("copies"));
    auto* collate = dialog_.findChild<QWidget*>(QStringLiteral("collate"));
    auto* reverse = dialog_.findChild<QWidget*>(QStringLiteral("reverse"));
    if (!printers || !copies) return;
    // The PDF entry is the last one Qt adds.
    const bool pdf = printers->currentIndex() == printers->count() - 1 &&
                     printers->currentText() == QPrintDialog::tr("Print to File (PDF)");
    if (pdf) copies->setValue(1);
    copies->setEnabled(!pdf);
    copies->setSuffix(pdf ? QCoreApplication::translate("Print", " (a PDF file holds one copy)")
                          : QString());
    if (collate) collate->setEnabled(!pdf);
    if (reverse) reverse->setEnabled(!pdf);  // the PDF writer keeps the pages in order
  }

  QPrintDialog& dialog_;
};

}  // namespace

void LimitPrintDialog(QPrintDialog& dialog) {
  // Qt's own PDF writer is offered, so that a machine without a printer
  // still prints, into a file.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  new PrintDialogTrim(dialog);
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
  // The print system makes the copies the dialog asked for, in its order.
  printer->setCopyCount(chosen.copyCount());
  printer->setCollateCopies(chosen.collateCopies());
  printer->setPageOrder(chosen.pageOrder());
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
