// The settings store on QSettings: organization "Tessel", application the
// executable's base name, every value in the group "Settings".
#pragma once

#include <QSettings>
#include <QString>

#include "cards/settings_store.h"

namespace tessel {

class QtSettingsStore final : public SettingsStore {
 public:
  // `application` defaults to the executable's base name.
  explicit QtSettingsStore(const QString& application = QString());

  std::string GetString(const std::string& name, const std::string& fallback) const override;
  int GetInt(const std::string& name, int fallback) const override;
  void WriteString(const std::string& name, const std::string& value) override;
  void WriteInt(const std::string& name, int value) override;

  QString FileName() const { return settings_.fileName(); }

 private:
  QString Key(const std::string& name) const;
  mutable QSettings settings_;
};

}  // namespace tessel
