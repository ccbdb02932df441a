#include "app/ui/controllers.h"

#include "app/ui/card_controller.h"
#include "app/ui/document_controller.h"
#include "app/ui/find_edit_controller.h"
#include "app/ui/format_controller.h"
#include "app/ui/help_controller.h"

namespace tessel {

std::vector<std::unique_ptr<Controller>> MakeControllers(AppContext& context) {
  std::vector<std::unique_ptr<Controller>> controllers;
  controllers.push_back(std::make_unique<DocumentController>(context));
  controllers.push_back(std::make_unique<CardController>(context));
  controllers.push_back(std::make_unique<FindEditController>(context));
  controllers.push_back(std::make_unique<FormatController>(context));
  controllers.push_back(std::make_unique<HelpController>(context));
  return controllers;
}

}  // namespace tessel
