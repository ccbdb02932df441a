#include "app/placement.h"

#include <cstdint>
#include <cstdio>

namespace tessel {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// One "%i" conversion at `pos`; advances `pos` past it on success.
std::optional<int> ScanOne(std::string_view s, std::size_t& pos) {
  std::size_t i = pos;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '0') {
    base = 8;
    const bool hex = i + 2 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
                     DigitValue(s[i + 2]) < 16;
    if (hex) {
      base = 16;
      i += 2;
    }
  }
  const std::size_t first = i;
  uint32_t value = 0;  // wraps like the C runtime's conversion
  while (i < s.size() && DigitValue(s[i]) < base) {
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(DigitValue(s[i]));
    ++i;
  }
  if (i == first) return std::nullopt;
  pos = i;
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

}  // namespace

std::vector<int> ScanIntegers(std::string_view text, char separator, std::size_t most) {
  std::vector<int> fields;
  std::size_t pos = 0;
  while (fields.size() < most) {
    if (!fields.empty()) {
      if (pos >= text.size() || text[pos] != separator) break;
      ++pos;
    }
    const std::optional<int> value = ScanOne(text, pos);
    if (!value) break;
    fields.push_back(*value);
  }
  return fields;
}

StackRect LoadWindowPlacement(const SettingsStore& store) {
  const std::string stored = store.GetString(kMainWindowPos, "");
  const std::vector<int> f = ScanIntegers(stored, ':', 6);
  if (f.size() < 6) return kDefaultWindowRect;
  return {f[2], f[3], f[4], f[5]};
}

void SaveWindowPlacement(SettingsStore& store, const WindowPlacement& placement) {
  if (placement.show != ShowState::Normal) return;
  const StackRect& r = placement.normal;
  char text[96];
  std::snprintf(text, sizeof text, "%i:%i:%i:%i:%i:%i", placement.flags, 1, r.left, r.top, r.right,
                r.bottom);
  store.WriteString(kMainWindowPos, text);
}

std::string CommandLineText(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

}  // namespace tessel
