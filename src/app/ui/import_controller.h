// File > Import: "Cardfile...", "Comma Delimited Text..." and "vCard...":
// the file dialogs, the CSV column dialog and the messages of the imports;
// the steps themselves are the document's and the readers'.
#pragma once

#include <string>

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

// Adds the cards of a CSV file to the open document: our own export at
// once, another file after the column dialog; then the closing message.
// Also for a .csv file dropped on the window.
void ImportCsvFile(AppContext& c, const std::string& path);

}  // namespace tessel
