#include "stack/search.h"

#include "cards/codepage.h"

namespace tessel {
namespace {

bool SameIgnoringCase(char a, char b) {
  return FoldByte(static_cast<uint8_t>(a)) == FoldByte(static_cast<uint8_t>(b));
}

// Position of `needle` in `haystack` ignoring case, from `from` on.
std::size_t FindFolded(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.size() > haystack.size()) return std::string_view::npos;
  const uint8_t first = FoldByte(static_cast<uint8_t>(needle[0]));
  const std::size_t last = haystack.size() - needle.size();
  for (std::size_t i = from; i <= last; ++i) {
    if (FoldByte(static_cast<uint8_t>(haystack[i])) != first) continue;
    std::size_t k = 1;
    while (k < needle.size() && SameIgnoringCase(haystack[i + k], needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool IsWordByte(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
    case 0xAA: case 0xB5: case 0xBA:
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  }
}

bool ContainsIgnoringCase(std::string_view haystack, std::string_view needle) {
  needle = UpToNul(needle);
  if (needle.empty()) return true;
  return FindFolded(UpToNul(haystack), needle, 0) != std::string_view::npos;
}

std::optional<std::size_t> FindIndexMatch(const CardCollection& cards, std::string_view text) {
  for (std::size_t i = 1; i < cards.Size(); ++i) {
    if (ContainsIgnoringCase(cards.At(i).index, text)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> FindBodyCandidate(const CardCollection& cards, std::string_view text,
                                             std::size_t from, std::size_t to) {
  to = std::min(to, cards.Size());
  for (std::size_t i = from; i < to; ++i) {
    if (i + kPrefetchAhead < to) PrefetchTexts(cards.At(i + kPrefetchAhead));
    if (ContainsIgnoringCase(cards.At(i).body, text)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> FindInText(std::string_view text, std::string_view needle,
                                      std::size_t from, TextMatchOptions options) {
  if (needle.empty()) return std::nullopt;
  for (std::size_t at = from; at <= text.size();) {
    const std::size_t hit =
        options.matchCase ? text.find(needle, at) : FindFolded(text, needle, at);
    if (hit == std::string_view::npos) return std::nullopt;
    const std::size_t end = hit + needle.size();
    const bool wordStart = hit == 0 || !IsWordByte(static_cast<unsigned char>(text[hit - 1]));
    const bool wordEnd = end == text.size() || !IsWordByte(static_cast<unsigned char>(text[end]));
    if (!options.wholeWord || (wordStart && wordEnd)) return hit;
    at = hit + 1;
  }
  return std::nullopt;
}

}  // namespace tessel
