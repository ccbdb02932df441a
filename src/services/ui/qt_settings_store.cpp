#include "services/ui/qt_settings_store.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tessel {
namespace {

// A setting longer than this is not ours: treat it as absent.
constexpr qsizetype kMaxSettingLength = 4096;

QString ApplicationName(const QString& given) {
  if (!given.isEmpty()) return given;
  const QString exe = QCoreApplication::applicationFilePath();
  return exe.isEmpty() ? QStringLiteral("tessel") : QFileInfo(exe).completeBaseName();
}

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& application)
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tessel"),
                ApplicationName(application)) {}

QString QtSettingsStore::Key(const std::string& name) const {
  return QString::fromLatin1(kSettingsSection) + QLatin1Char('/') + QString::fromStdString(name);
}

std::string QtSettingsStore::GetString(const std::string& name, const std::string& fallback) const {
  const QVariant value = settings_.value(Key(name));
  if (!value.isValid() || !value.canConvert<QString>()) return fallback;
  const QString text = value.toString();
  if (text.size() > kMaxSettingLength) return fallback;
  return text.toStdString();
}

int QtSettingsStore::GetInt(const std::string& name, int fallback) const {
  const QVariant value = settings_.value(Key(name));
  if (!value.isValid()) return fallback;
  bool ok = false;
  const int number = value.toInt(&ok);
  return ok ? number : fallback;
}

void QtSettingsStore::WriteString(const std::string& name, const std::string& value) {
  settings_.setValue(Key(name), QString::fromStdString(value));
  settings_.sync();
}

void QtSettingsStore::WriteInt(const std::string& name, int value) {
  settings_.setValue(Key(name), value);
  settings_.sync();
}

}  // namespace tessel
