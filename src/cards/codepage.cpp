#include "cards/codepage.h"

#include <algorithm>
#include <array>

namespace tessel {
namespace {

// Unicode code points of the bytes 0x80 to 0x9F. The five bytes Windows-1252
// leaves undefined map to the C1 control of the same value, as Windows does,
// so that every byte survives a round trip through Unicode.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct CaseTables {
  std::array<uint8_t, 256> lower{};
  std::array<uint8_t, 256> upper{};
  constexpr CaseTables() {
    for (int i = 0; i < 256; ++i) {
      lower[i] = static_cast<uint8_t>(i);
      upper[i] = static_cast<uint8_t>(i);
    }
    auto pair = [this](int up, int low) {
      lower[up] = static_cast<uint8_t>(low);
      upper[low] = static_cast<uint8_t>(up);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c) {
      if (c != 0xD7) pair(c, c + 32);  // 0xD7 is the multiplication sign
    }
    pair(0x8A, 0x9A);  // S caron
    pair(0x8C, 0x9C);  // OE ligature
    pair(0x8E, 0x9E);  // Z caron
    pair(0x9F, 0xFF);  // Y diaeresis
  }
};

constexpr CaseTables kCase{};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string_view UpToNul(std::string_view s) {
  const std::size_t nul = s.find('\0');
  return nul == std::string_view::npos ? s : s.substr(0, nul);
}

uint8_t FoldByte(uint8_t b) { return kCase.lower[b]; }

int MbsICmp(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const uint8_t ca = kCase.lower[static_cast<uint8_t>(a[i])];
    const uint8_t cb = kCase.lower[static_cast<uint8_t>(b[i])];
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;  // both end here
  }
  // One text is a prefix of the other; the shorter ends (as if at a NUL).
  const uint8_t ta = a.size() > n ? kCase.lower[static_cast<uint8_t>(a[n])] : 0;
  const uint8_t tb = b.size() > n ? kCase.lower[static_cast<uint8_t>(b[n])] : 0;
  return ta == tb ? 0 : (ta < tb ? -1 : 1);
}

std::string MbsUpr(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(kCase.upper[static_cast<uint8_t>(c)]);
  return out;
}

std::size_t MbsStr(std::string_view haystack, std::string_view needle) {
  return UpToNul(haystack).find(UpToNul(needle));
}

uint64_t FoldedPrefix(std::string_view text) {
  uint64_t key = 0;
  std::size_t i = 0;
  for (; i < 8 && i < text.size() && text[i] != '\0'; ++i) {
    key = (key << 8) | kCase.lower[static_cast<uint8_t>(text[i])];
  }
  return i == 0 ? 0 : key << (8 * (8 - i));  // a 64-bit shift would be undefined
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const uint8_t b = static_cast<uint8_t>(c);
    if (b >= 0x80 && b <= 0x9F) {
      AppendUtf8(out, kHighControls[b - 0x80]);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

char CodePointToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

std::string Utf8ToCp1252(std::string_view text, std::size_t* lost) {
  std::size_t replaced = 0;
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1;
      cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2;
      cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3;
      cp = b & 0x07;
    } else {
      out += '?';
      ++replaced;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= text.size() || (static_cast<uint8_t>(text[j]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (static_cast<uint8_t>(text[j]) & 0x3F);
    }
    const char kept = ok ? CodePointToCp1252(cp) : '?';
    replaced += kept == '?';  // a '?' in the text is one byte, never here
    out += kept;
    i = j;  // after a broken sequence, the offending byte is read afresh
  }
  if (lost) *lost += replaced;
  return out;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) AppendUtf8(out, static_cast<uint8_t>(c));
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1, cp = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3, cp = b & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (text.size() - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const uint8_t c = static_cast<uint8_t>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::string Utf16ToCp1252(const char16_t* units, std::size_t count) {
  std::string out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const char16_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      ++i;  // a character outside the Basic Multilingual Plane: never in 1252
      out += '?';
    } else {
      out += CodePointToCp1252(u);  // lone surrogates fall through to '?'
    }
  }
  return out;
}

}  // namespace tessel
