#include "app/ui/resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tessel {


QString HelpFolder() {
  const QString installed =
      QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/tessel/help"));
  if (QFileInfo(installed + QStringLiteral("/tessel.html")).isFile()) return QDir::cleanPath(installed);
  return QStringLiteral(TESSEL_SOURCE_HELP_DIR);
}

}  // namespace tessel
