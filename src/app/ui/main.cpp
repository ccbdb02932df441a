// tessel: the index-card program.
#include <cstdio>
#include <exception>

#include <QApplication>
#include <QWindow>

#include "app/placement.h"
#include "services/ui/dialogs.h"
#include "app/ui/startup.h"
#include "services/ui/qt_settings_store.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(TESSEL_APP_ID));
  // Qt has taken its own options out of argv; the rest names the card file.
  const std::string commandLine = tessel::CommandLineText(argc, argv);
  tessel::QtSettingsStore settings;
  tessel::QtDialogs dialogs;
  std::unique_ptr<tessel::MainWindow> window;
  try {
    window = tessel::StartMainWindow(settings, dialogs, commandLine);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessel: %s\n", e.what());
  }
  // Without its main window the program has nothing to run.
  if (!window || !window->windowHandle()) {
    std::fprintf(stderr, "tessel: the main window could not be created\n");
    return 1;
  }
  return app.exec();
}
