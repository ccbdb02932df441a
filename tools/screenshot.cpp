// tessel-screenshot FILE OUT.png: starts the program on FILE as a user
// would, waits until the window has settled and saves a picture of it.
// scripts/screenshot.sh runs it under Xvfb for the README.
#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "app/placement.h"
#include "services/ui/dialogs.h"
#include "app/ui/startup.h"
#include "cli/command_line.h"
#include "services/ui/qt_settings_store.h"

int main(int argc, char** argv) {
  // Parsed before Qt starts, so that --help needs no display.
  CLI::App cli("Starts the program on FILE and saves a picture of its window.", "tessel-screenshot");
  tessel::cli::UseHelpLayout(cli);
  std::string file;
  std::string picture;
  cli.add_option("FILE", file, "the card file to open")->required();
  cli.add_option("OUT.png", picture, "the picture to write")->required();
  if (const int status = tessel::cli::ParseCommandLine(cli, argc, argv); status >= 0) return status;
  QApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(picture.c_str());
  tessel::QtSettingsStore settings(QStringLiteral("tessel-screenshot"));
  tessel::QtDialogs dialogs;
  auto window = tessel::StartMainWindow(settings, dialogs, file);
  int status = 1;
  QTimer::singleShot(1500, &app, [&] {
    status = window->grab().save(out) ? 0 : 1;
    app.quit();
  });
  app.exec();
  return status;
}
