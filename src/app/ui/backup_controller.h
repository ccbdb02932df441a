// File > Revert to Backup...: the newest backup a save kept of the
// document's file, opened as a new, untitled document.
#pragma once

#include "app/ui/app_context.h"

namespace tessel {

class BackupController final : public Controller {
 public:
  explicit BackupController(AppContext& context);
};

}  // namespace tessel
