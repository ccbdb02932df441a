#include "app/ui/export_controller.h"

#include "cards/document.h"
#include "output/ui/csv_dialogs.h"
#include "services/ui/text.h"

namespace tessel {

ExportController::ExportController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::ExportText, [this] { Export(ExportKind::Text); });
  c_.commands.Handle(CommandId::ExportCommaText, [this] { Export(ExportKind::Csv); });
}

void ExportController::Export(ExportKind kind) {
  const FileKind file = kind == ExportKind::Text
                            ? FileKind{QStringLiteral("Text Files (*.txt)"), QStringLiteral("txt")}
                            : FileKind{QStringLiteral("CSV Files (*.csv)"), QStringLiteral("csv")};
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
  const FileResult written = ExportCards(kind, c_.model.cards.Cards(), ToPath(name), csv);
  if (!written) c_.ShowError(ToQString(written.message), ToQString(written.Reason()));
}

}  // namespace tessel
