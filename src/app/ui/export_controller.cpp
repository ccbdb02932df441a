#include "app/ui/export_controller.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "cards/document.h"
#include "output/ui/csv_dialogs.h"
#include "services/ui/text.h"

namespace tessel {

ExportController::ExportController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::ExportText, [this] { Export(ExportKind::Text); });
  c_.commands.Handle(CommandId::ExportCommaText, [this] { Export(ExportKind::Csv); });
  c_.commands.Handle(CommandId::ExportVcard, [this] { Export(ExportKind::Vcard); });
}

std::optional<std::vector<CardInfo>> ExportController::AskVcardCards() {
  const std::vector<CardInfo>& all = c_.model.cards.Cards();
  const std::size_t tagged = c_.model.cards.TaggedCount();
  QDialog dialog(c_.frame.Window());
  dialog.setWindowTitle(QStringLiteral("Export vCards"));
  dialog.setModal(true);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Which cards go into the vCard file?"), &dialog));
  auto* taggedOnly = new QRadioButton(QStringLiteral("&Tagged cards (%1)").arg(tagged), &dialog);
  auto* every = new QRadioButton(QStringLiteral("&All cards (%1)").arg(all.size()), &dialog);
  taggedOnly->setObjectName(QStringLiteral("tagged"));
  every->setObjectName(QStringLiteral("all"));
  taggedOnly->setEnabled(tagged > 0);
  (tagged > 0 ? taggedOnly : every)->setChecked(true);
  layout->addWidget(taggedOnly);
  layout->addWidget(every);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (c_.dialogs.RunModal(dialog) != QDialog::Accepted) return std::nullopt;
  return taggedOnly->isChecked() ? TaggedCards(all) : all;
}

void ExportController::Export(ExportKind kind) {
  std::optional<std::vector<CardInfo>> chosen;
  if (kind == ExportKind::Vcard && !(chosen = AskVcardCards())) {
    c_.FocusFrontBody();
    return;
  }
  const FileKind file =
      kind == ExportKind::Text  ? FileKind{QStringLiteral("Text Files (*.txt)"), QStringLiteral("txt")}
      : kind == ExportKind::Csv ? FileKind{QStringLiteral("CSV Files (*.csv)"), QStringLiteral("csv")}
                                : FileKind{QStringLiteral("vCard Files (*.vcf)"), QStringLiteral("vcf")};
  std::optional<QString> folder;
  if (const auto f = InitialFolder(c_.settings.GetString(kLastFile, ""))) folder = FromPath(*f);
  const QString name = c_.dialogs.SaveFileName(c_.frame.Window(), folder, file);
  if (name.isEmpty()) return;
  CsvExportOptions csv = CsvExportOptionsFrom(c_.settings);
  if (kind == ExportKind::Csv) {
    CsvExportDialog options(csv, c_.frame.Window());
    if (c_.dialogs.RunModal(options) != QDialog::Accepted) return;
    csv = options.Options();
    RememberCsvExportOptions(c_.settings, csv);
  }
  const FileResult written = ExportCards(kind, chosen ? *chosen : c_.model.cards.Cards(), ToPath(name), csv);
  if (!written) c_.ShowError(ToQString(written.message), ToQString(written.Reason()));
}

}  // namespace tessel
