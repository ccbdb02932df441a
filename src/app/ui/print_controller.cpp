#include "app/ui/print_controller.h"

#include <QPrintDialog>
#include <QPrinter>

#include "output/ui/print_run.h"
#include "services/ui/text.h"

namespace tessel {

PrintController::PrintController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::PrintCard, [this] { Print(PrintKind::Card); });
  c_.commands.Handle(CommandId::PrintList, [this] { Print(PrintKind::List); });
  c_.commands.Handle(CommandId::PrintTagged, [this] { Print(PrintKind::Tagged); });
}

void PrintController::Print(PrintKind kind) {
  // The window handles events while pages go out; a second job waits.
  if (printing_ || c_.model.cards.Empty()) return;
  QPrinter chosen(QPrinter::HighResolution);
  if (!printerName_.isEmpty()) chosen.setPrinterName(printerName_);
  QPrintDialog dialog(&chosen, c_.frame.Window());
  dialog.setModal(true);
  LimitPrintDialog(dialog);
  if (c_.dialogs.RunModal(dialog) != QDialog::Accepted) return;
  if (chosen.outputFormat() == QPrinter::NativeFormat) printerName_ = chosen.printerName();

  const std::unique_ptr<QPrinter> printer = PrinterForJob(chosen);
  if (!printer) {
    c_.ShowStandardMessage(QStringLiteral("Print Failed"));
    return;
  }
  // The job prints what the cards were when it started, whatever happens
  // to them while it runs.
  const CardCollection& cards = c_.model.cards;
  const std::vector<CardInfo> job =
      kind == PrintKind::Card ? std::vector<CardInfo>(cards.Cards().begin(), cards.Cards().begin() + 1)
                              : cards.Cards();
  const std::string path = FromPath(c_.model.document.Path()).toStdString();
  printing_ = true;
  QString error;
  const PrintOutcome outcome =
      PrintWithProgress(c_.frame.Window(), *printer, kind, job, path, c_.model.format, &error);
  printing_ = false;
  // A document the print system refuses ends silently.
  if (outcome == PrintOutcome::Failed) {
    c_.ShowStandardMessage(QStringLiteral("Print Failed") +
                           (error.isEmpty() ? QString() : QStringLiteral("\n\n") + error));
  } else if (outcome == PrintOutcome::Cancelled) {
    c_.ShowStandardMessage(QString::fromLatin1(kNothingPrinted), QMessageBox::Information);
  }
}

}  // namespace tessel
