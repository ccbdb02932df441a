#include "app/ui/import_controller.h"

#include "services/ui/text.h"

namespace tessel {

ImportController::ImportController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::ImportCardfile, [this] {
    c_.model.document.ImportCardfile(*this);
    // Also after a failed import, which leaves the document New emptied.
    c_.frame.ShowCardCount();
  });
  c_.commands.Handle(CommandId::ImportVcard, [this] {
    std::optional<QString> folder;
    if (const auto f = InitialFolder(c_.settings.GetString(kLastFile, ""))) folder = FromPath(*f);
    const QString chosen = c_.dialogs.OpenFileName(
        c_.frame.Window(), folder,
        {QStringLiteral("vCard Files (*.vcf *.vcard)"), QStringLiteral("vcf")});
    if (chosen.isEmpty()) {
      c_.FocusFrontBody();
      return;
    }
    ImportVcard(c_, ToPath(chosen));
  });
}

void ImportVcard(AppContext& c, const std::string& path) {
  const VcardReadResult result = c.model.document.ImportVcardFile(path);
  c.frame.ShowCardCount();
  // Always told: the count, and what a card could not hold.
  c.ShowStandardMessage(ToQString(VcardMessage(result, path)),
                        result.status == VcardStatus::Ok ? QMessageBox::Information
                                                         : QMessageBox::Warning);
}

std::optional<std::string> ImportController::AskCardfilePath(
    const std::optional<std::string>& folder) {
  const QString chosen = c_.dialogs.OpenFileName(
      c_.frame.Window(), folder ? std::optional(FromPath(*folder)) : std::nullopt,
      {QStringLiteral("Cardfile Files (*.crd)"), QStringLiteral("crd")});
  if (chosen.isEmpty()) return std::nullopt;
  return ToPath(chosen);
}

}  // namespace tessel
