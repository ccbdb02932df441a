// Tools > Labels...: the tagged cards printed as labels on a label product,
// laid out by the sheet label engine.
#pragma once

#include <optional>

#include "app/ui/app_context.h"
#include "services/label_catalogue.h"
#include "services/label_run.h"
#include "services/ui/label_templates.h"

namespace tessel {

class LabelsController final : public Controller {
 public:
  explicit LabelsController(AppContext& context);

 private:
  void Labels();

  AppContext& c_;
  // Read at the first Labels command, then kept for the program run.
  LabelCatalogue catalogue_;
  std::optional<LabelTemplateDatabase> templates_;
  // The dialog's choices, kept between Labels commands.
  LabelSettings settings_;
};

}  // namespace tessel
