// The per-user settings the program keeps between runs, all in one section.
#pragma once

#include <string>

namespace tessel {

inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kLastFile[] = "Last File";
inline constexpr char kMainWindowPos[] = "MainWindowPos";
inline constexpr char kComPort[] = "COM Port";
inline constexpr char kInstalled[] = "Installed";
inline constexpr int kNoComPort = -1;
// The serial device each of "COM 1" to "COM 4" stands for, and its default.
inline constexpr int kComPortCount = 4;
inline constexpr const char* kPortSetting[kComPortCount] = {"Port 1", "Port 2", "Port 3",
                                                            "Port 4"};
inline constexpr const char* kPortDefault[kComPortCount] = {"/dev/ttyS0", "/dev/ttyS1",
                                                            "/dev/ttyS2", "/dev/ttyS3"};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string GetString(const std::string& name, const std::string& fallback) const = 0;
  virtual int GetInt(const std::string& name, int fallback) const = 0;
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  virtual void WriteInt(const std::string& name, int value) = 0;
};

}  // namespace tessel
