// File > Import > Cardfile... and vCard...: the file dialogs and the
// messages of the imports; the steps themselves are the document's.
#pragma once

#include "app/ui/app_context.h"
#include "cards/document.h"

namespace tessel {

// Adds a vCard file's cards to the document and tells the user how it went
// (also for a dropped file).
void ImportVcard(AppContext& c, const std::string& path);

class ImportController final : public Controller, private CardfileImportUi {
 public:
  explicit ImportController(AppContext& context);

 private:
  std::optional<std::string> AskCardfilePath(const std::optional<std::string>& folder) override;

  AppContext& c_;
};

}  // namespace tessel
