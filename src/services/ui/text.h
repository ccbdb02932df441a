// Conversions between the program's texts (card texts in Windows-1252,
// program strings and paths as bytes, colours 0x00BBGGRR) and Qt's types, at
// the edge of the widgets.
#pragma once

#include <QColor>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

#include "cards/codepage.h"
#include "cards/format_settings.h"

namespace tessel {

inline std::string ToCp1252(const QString& text) {
  return Utf16ToCp1252(reinterpret_cast<const char16_t*>(text.utf16()),
                       static_cast<std::size_t>(text.size()));
}

// The program's own strings (string table, messages), which are UTF-8.
inline QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Card texts (Windows-1252) as Qt text.
inline QString FromCp1252(std::string_view text) { return ToQString(Cp1252ToUtf8(text)); }

// File names as the system spells them.
inline QString FromPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
inline std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

inline QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

inline Colour FromQColor(const QColor& c) {
  return Rgb(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
             static_cast<unsigned>(c.blue()));
}

}  // namespace tessel
