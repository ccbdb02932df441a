// File > Export: "Text file..." and "Comma Delimited Text...".
#pragma once

#include "app/ui/app_context.h"
#include "output/export.h"

namespace tessel {

class ExportController final : public Controller {
 public:
  explicit ExportController(AppContext& context);

 private:
  void Export(ExportKind kind);

  AppContext& c_;
};

}  // namespace tessel
