// The program's addresses, and where its data files (help page, label
// catalogues) are found.
#pragma once

#include <QString>

#include "cards/settings_store.h"

namespace tessel {

// The maker's web address (About) and the page Help Contents points a
// reader to when the help page cannot be opened.
inline constexpr char kMakerAddress[] = "www.orvane.example";
inline constexpr char kHelpAddress[] = "https://www.orvane.example/tessel/help";

// The folder that holds the data files of kind `kind` ("help", "labels"):
// the "Installed" setting when it is set; otherwise share/tessel/<kind>
// beside the installed program when it exists there, else the source tree's
// resources/<kind>.
QString DataFolder(const SettingsStore& settings, const QString& kind);

}  // namespace tessel
