// Where the main window opens, remembered as "MainWindowPos".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/settings_store.h"
#include "cards/geometry.h"

namespace tessel {

// The normal rectangle when nothing valid is stored; also Restore's target.
inline constexpr StackRect kDefaultWindowRect{100, 100, 612, 428};

enum class ShowState { Normal = 1, Minimized = 2, Maximized = 3 };

struct WindowPlacement {
  int flags = 0;
  ShowState show = ShowState::Normal;
  StackRect normal = kDefaultWindowRect;
};

// Parses like sscanf with "%i:%i:...": each field is a signed integer in
// decimal, octal (leading 0) or hexadecimal (leading 0x); parsing stops at
// the first field or separator that does not match. Returns the fields read.
std::vector<int> ScanIntegers(std::string_view text, char separator, std::size_t most);

// The stored rectangle, or the default one when the value is absent or holds
// fewer than six fields.
StackRect LoadWindowPlacement(const SettingsStore& store);
// Writes only in the normal show state; otherwise the stored value stays.
void SaveWindowPlacement(SettingsStore& store, const WindowPlacement& placement);

// The command-line text: the process arguments after the program name,
// joined by single blanks.
std::string CommandLineText(int argc, const char* const* argv);

}  // namespace tessel
