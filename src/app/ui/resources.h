// The program's icons and help, and where they are found.
#pragma once

#include <QIcon>
#include <QString>

namespace tessel {

// The maker's web address (About) and the page Help Contents points a
// reader to when the help page cannot be opened.
inline constexpr char kMakerAddress[] = "www.orvane.example";
inline constexpr char kHelpAddress[] = "https://www.orvane.example/tessel/help";

// Makes the compiled-in icons available; call once after the application
// object exists.
void InitResources();
QIcon ApplicationIcon();
// An icon of resources/icons by its file name without ".svg".
QIcon CommandIcon(const char* name);
// The folder holding tessel.html when no "Installed" folder is set: the
// installed data folder beside the program, else the source tree's.
QString HelpFolder();

}  // namespace tessel
