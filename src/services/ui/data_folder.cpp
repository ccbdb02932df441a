#include "services/ui/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "services/ui/text.h"

namespace tessel {

QString DataFolder(const SettingsStore& settings, const QString& kind) {
  const QString set = FromPath(settings.GetString(kInstalled, ""));
  if (!set.isEmpty()) return set;
  const QString installed = QDir(QCoreApplication::applicationDirPath())
                                .absoluteFilePath(QStringLiteral("../share/tessel/") + kind);
  if (QFileInfo(installed).isDir()) return QDir::cleanPath(installed);
  return QStringLiteral(TESSEL_SOURCE_RESOURCES_DIR "/") + kind;
}

}  // namespace tessel
