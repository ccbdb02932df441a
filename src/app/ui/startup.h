// Start-up once the application object exists: the main frame is made and
// shown, the file named on the command line is read, the front card gets
// the focus.
#pragma once

#include <memory>
#include <string>

#include "app/ui/main_window.h"

namespace tessel {

class Dialogs;
class SettingsStore;

std::unique_ptr<MainWindow> StartMainWindow(SettingsStore& settings, Dialogs& dialogs,
                                            const std::string& commandLine);

}  // namespace tessel
