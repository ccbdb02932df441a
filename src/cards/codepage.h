// Text helpers on Windows-1252 bytes. Card texts are kept exactly as the card
// file holds them; these functions give them the C-runtime meaning the file
// format grew up with (comparison and search stop at the first NUL byte).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// The text up to its first NUL byte: what the C runtime saw of it.
std::string_view UpToNul(std::string_view s);

// Lower-case counterpart of a Windows-1252 byte (ASCII and accented Latin).
uint8_t FoldByte(uint8_t b);

// Case-insensitive comparison: negative, zero or positive as `a` sorts before,
// equal to or after `b`. Both texts end at their first NUL byte.
int MbsICmp(std::string_view a, std::string_view b);

// Upper-cased copy of `text` (ASCII and accented Latin letters).
std::string MbsUpr(std::string_view text);

// Position of the first occurrence of `needle` in `haystack`, both read up to
// their first NUL; npos when there is none. An empty needle matches at 0.
std::size_t MbsStr(std::string_view haystack, std::string_view needle);

// The first eight folded bytes of `text` (up to its first NUL), big-endian, so
// that comparing two prefixes as integers orders them as MbsICmp would.
uint64_t FoldedPrefix(std::string_view text);

// Conversions at the edges of the program. Characters Windows-1252 lacks
// become '?'; malformed UTF-8 or UTF-16 sequences become '?' as well.
// `lost`, when given, grows by the number of such replacements.
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text, std::size_t* lost = nullptr);
std::string Utf16ToCp1252(const char16_t* units, std::size_t count);

// The Windows-1252 byte for a Unicode code point, or '?' when there is none.
char CodePointToCp1252(char32_t cp);

// ISO-8859-1 bytes as UTF-8: each byte is its own code point.
std::string Latin1ToUtf8(std::string_view text);
// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool IsUtf8(std::string_view text);
// `text` without the blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view text);

// A card text as the UTF-8 of files that other programs exchange, and back:
// the one place where card texts and Unicode file formats meet.
inline std::string CardTextToUtf8(std::string_view card) { return Cp1252ToUtf8(UpToNul(card)); }
inline std::string CardTextFromUtf8(std::string_view utf8) { return Utf8ToCp1252(utf8); }

}  // namespace tessel
