// File > New, Open, Save, Save As, Merge and Exit: the document's commands.
#pragma once

#include "app/ui/app_context.h"

namespace tessel {

class DocumentController final : public Controller {
 public:
  explicit DocumentController(AppContext& context);
};

}  // namespace tessel
