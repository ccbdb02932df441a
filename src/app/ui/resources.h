// The program's help and maker addresses, and where the help is found.
#pragma once

#include <QString>

namespace tessel {

// The maker's web address (About) and the page Help Contents points a
// reader to when the help page cannot be opened.
inline constexpr char kMakerAddress[] = "www.orvane.example";
inline constexpr char kHelpAddress[] = "https://www.orvane.example/tessel/help";

// The folder holding tessel.html when no "Installed" folder is set: the
// installed data folder beside the program, else the source tree's.
QString HelpFolder();

}  // namespace tessel
