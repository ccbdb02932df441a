#include "app/ui/labels_controller.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>

#include "output/ui/print_run.h"
#include "services/ui/data_folder.h"
#include "services/ui/label_engine.h"
#include "services/ui/labels_dialog.h"
#include "services/ui/text.h"

namespace tessel {

LabelsController::LabelsController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::Labels, [this] { Labels(); });
}

void LabelsController::Labels() {
  // A database that could not be read is looked for again next time, so
  // installing glabels-data needs no restart.
  if (!templates_ || !templates_->Error().isEmpty()) templates_.emplace();
  if (!templates_->Available()) {
    c_.ShowStandardMessage(QString::fromLatin1(kLabelTemplatesMissing));
    return;
  }
  if (!catalogue_.Loaded()) catalogue_.Load(ToPath(DataFolder(c_.settings, QStringLiteral("labels"))));

  LabelsDialog dialog(catalogue_, settings_, c_.frame.Window());
  dialog.setModal(true);
  if (c_.dialogs.RunModal(dialog) != QDialog::Accepted) return;
  settings_ = dialog.Settings();
  const CatalogueEntry* product = dialog.Chosen();
  if (!product) return;  // Print is off without a product; nothing to use

  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("Labels"));
  QPrintDialog printDialog(&printer, c_.frame.Window());
  printDialog.setModal(true);
  if (c_.dialogs.RunModal(printDialog) != QDialog::Accepted) return;

  QProgressDialog progress(QStringLiteral("Printing labels..."), QStringLiteral("Cancel"), 0, 1,
                           c_.frame.Window());
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  SheetLabelEngine engine(*templates_, printer);
  engine.SetProgress([&progress](int done, int total) {
    progress.setMaximum(total);
    progress.setValue(done);
    return !progress.wasCanceled();
  });
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string error;
  const bool printed =
      RunLabels(engine, product->labelName, settings_.tray,
                TaggedLabelTexts(c_.model.cards, settings_.indexOnLabel), c_.model.format, error);
  QApplication::restoreOverrideCursor();
  const bool cancelled = progress.wasCanceled();
  progress.reset();
  if (cancelled) {
    c_.ShowStandardMessage(QString::fromLatin1(kNothingPrinted), QMessageBox::Information);
  } else if (!printed) {
    c_.ShowStandardMessage(QStringLiteral("Print Failed\n\n") + FromCp1252(error));
  } else if (engine.CutShort() > 0) {
    c_.ShowStandardMessage(QString::fromStdString(LabelsCutShortText(engine.CutShort())));
  }
  if (!c_.model.cards.Empty()) c_.FocusFrontBody();
}

}  // namespace tessel
