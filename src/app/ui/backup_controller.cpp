#include "app/ui/backup_controller.h"

namespace tessel {

BackupController::BackupController(AppContext& c) {
  Document& doc = c.model.document;
  c.commands.Provide(Input::Titled, [&doc] { return !doc.Path().empty(); });
  c.commands.Handle(CommandId::RevertToBackup, [&doc] { doc.OpenBackup(); });
}

}  // namespace tessel
