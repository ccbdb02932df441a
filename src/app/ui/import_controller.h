// File > Import > Cardfile...: the file dialog and the messages of the
// import; the steps themselves are the document's.
#pragma once

#include "app/ui/app_context.h"
#include "cards/document.h"

namespace tessel {

class ImportController final : public Controller, private CardfileImportUi {
 public:
  explicit ImportController(AppContext& context);

 private:
  std::optional<std::string> AskCardfilePath(const std::optional<std::string>& folder) override;

  AppContext& c_;
};

}  // namespace tessel
