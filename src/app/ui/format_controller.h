// Text Color and Background Color of the format toolbar: each opens the
// colour picker for the control that had the focus last.
#pragma once

#include "app/ui/app_context.h"

namespace tessel {

class FormatController final : public Controller {
 public:
  explicit FormatController(AppContext& context);
};

}  // namespace tessel
