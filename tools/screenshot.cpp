// tessel-screenshot FILE OUT.png: starts the program on FILE as a user
// would, waits until the window has settled and saves a picture of it.
// scripts/screenshot.sh runs it under Xvfb for the README.
#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "app/placement.h"
#include "services/ui/dialogs.h"
#include "app/ui/startup.h"
#include "services/ui/qt_settings_store.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: tessel-screenshot FILE OUT.png\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[2]);
  tessel::QtSettingsStore settings(QStringLiteral("tessel-screenshot"));
  tessel::QtDialogs dialogs;
  auto window = tessel::StartMainWindow(settings, dialogs, argv[1]);
  int status = 1;
  QTimer::singleShot(1500, &app, [&] {
    status = window->grab().save(out) ? 0 : 1;
    app.quit();
  });
  app.exec();
  return status;
}
