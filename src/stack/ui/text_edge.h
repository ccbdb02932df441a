// Conversions between the card texts (Windows-1252 bytes, colours 0x00BBGGRR)
// and Qt's types, at the edge of the widgets.
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

#include "cards/codepage.h"
#include "cards/format_settings.h"

namespace tessel {

inline QString FromCp1252(std::string_view text) {
  const std::string utf8 = Cp1252ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string ToCp1252(const QString& text) {
  return Utf16ToCp1252(reinterpret_cast<const char16_t*>(text.utf16()),
                       static_cast<std::size_t>(text.size()));
}

inline QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

inline Colour FromQColor(const QColor& c) {
  return Rgb(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
             static_cast<unsigned>(c.blue()));
}

}  // namespace tessel
