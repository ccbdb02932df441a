// Find, Find Next and the edit commands (Undo, Cut, Copy, Paste), which
// always work on the front card's body.
#pragma once

#include "app/ui/app_context.h"

namespace tessel {

class FindEditController final : public Controller {
 public:
  explicit FindEditController(AppContext& context);

 private:
  void Find();
  void FindNext();

  AppContext& c_;
};

}  // namespace tessel
