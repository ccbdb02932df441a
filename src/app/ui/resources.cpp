#include "app/ui/resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

static void InitTesselQrc() { Q_INIT_RESOURCE(tessel); }

namespace tessel {

void InitResources() { InitTesselQrc(); }

QIcon ApplicationIcon() { return QIcon(QStringLiteral(":/icons/tessel.svg")); }

QIcon CommandIcon(const char* name) {
  return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QString HelpFolder() {
  const QString installed =
      QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/tessel/help"));
  if (QFileInfo(installed + QStringLiteral("/tessel.html")).isFile()) return QDir::cleanPath(installed);
  return QStringLiteral(TESSEL_SOURCE_HELP_DIR);
}

}  // namespace tessel
