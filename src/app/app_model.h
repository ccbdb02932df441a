// What the program works on, shared by every controller: the card
// collection, the file-wide format, the document and the search state.
#pragma once

#include "cards/card_collection.h"
#include "cards/document.h"
#include "cards/format_settings.h"
#include "cards/settings_store.h"
#include "stack/card_commands.h"

namespace tessel {

struct AppModel {
  AppModel(SettingsStore& settings, DocumentUi& ui) : document(cards, format, settings, ui) {}
  AppModel(const AppModel&) = delete;
  AppModel& operator=(const AppModel&) = delete;

  CardCollection cards;
  FormatSettings format;
  Document document;  // after the cards and format it works on
  SearchState search;
};

}  // namespace tessel
