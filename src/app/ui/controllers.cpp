#include "app/ui/controllers.h"

#include "app/ui/backup_controller.h"
#include "app/ui/card_controller.h"
#include "app/ui/dial_controller.h"
#include "app/ui/document_controller.h"
#include "app/ui/drop_controller.h"
#include "app/ui/export_controller.h"
#include "app/ui/find_edit_controller.h"
#include "app/ui/format_controller.h"
#include "app/ui/help_controller.h"
#include "app/ui/print_controller.h"
#include "app/ui/recovery_controller.h"
#include "app/ui/import_controller.h"
#include "app/ui/tag_controller.h"
#include "app/ui/labels_controller.h"
#include "app/ui/mail_controller.h"

namespace tessel {

std::vector<std::unique_ptr<Controller>> MakeControllers(AppContext& context) {
  std::vector<std::unique_ptr<Controller>> controllers;
  controllers.push_back(std::make_unique<DocumentController>(context));
  controllers.push_back(std::make_unique<CardController>(context));
  controllers.push_back(std::make_unique<FindEditController>(context));
  controllers.push_back(std::make_unique<FormatController>(context));
  controllers.push_back(std::make_unique<HelpController>(context));
  controllers.push_back(std::make_unique<PrintController>(context));
  controllers.push_back(std::make_unique<ExportController>(context));
  controllers.push_back(std::make_unique<ImportController>(context));
  controllers.push_back(std::make_unique<DropController>(context));
  controllers.push_back(std::make_unique<TagController>(context));
  controllers.push_back(std::make_unique<LabelsController>(context));
  controllers.push_back(std::make_unique<MailController>(context));
  controllers.push_back(std::make_unique<DialController>(context));
  controllers.push_back(std::make_unique<BackupController>(context));
  controllers.push_back(std::make_unique<RecoveryController>(context));
  return controllers;
}

}  // namespace tessel
