#include "app/ui/import_controller.h"

#include "services/ui/text.h"

namespace tessel {

ImportController::ImportController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::ImportCardfile,
                     [this] { c_.model.document.ImportCardfile(*this); });
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
