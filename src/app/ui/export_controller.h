// File > Export: "Text file...", "Comma Delimited Text..." and "vCard...",
// which first asks whether the tagged cards or all of them go.
#pragma once

#include "app/ui/app_context.h"
#include "output/export.h"

namespace tessel {

class ExportController final : public Controller {
 public:
  explicit ExportController(AppContext& context);

 private:
  void Export(ExportKind kind);
  // The tagged cards or all of them, as the user chooses; nullopt: cancelled.
  std::optional<std::vector<CardInfo>> AskVcardCards();

  AppContext& c_;
};

}  // namespace tessel
