#include "app/ui/export_controller.h"

#include "cards/document.h"
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
  const FileResult written = ExportCards(kind, c_.model.cards.Cards(), ToPath(name));
  if (!written) c_.ShowError(ToQString(written.message), ToQString(written.Reason()));
}

}  // namespace tessel
