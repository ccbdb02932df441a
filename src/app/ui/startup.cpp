#include "app/ui/startup.h"

#include <QGuiApplication>

#include "services/mail.h"
#include "services/ui/data_folder.h"
#include "services/ui/icons.h"

namespace tessel {

std::unique_ptr<MainWindow> StartMainWindow(SettingsStore& settings, Dialogs& dialogs,
                                            const std::string& commandLine) {
  QGuiApplication::setWindowIcon(ApplicationIcon());
  // Mail attachments and print spools a killed run of the program left.
  RemoveAbandonedTempFolders();
  auto window = std::make_unique<MainWindow>(settings, dialogs);
  window->show();
  if (!commandLine.empty()) window->LoadCommandLine(commandLine);
  if (!window->Cards().Empty()) window->FocusFrontBody();
  return window;
}

}  // namespace tessel
