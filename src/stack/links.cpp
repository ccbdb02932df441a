#include "stack/links.h"

#include <array>

namespace tessel {
namespace {

bool IsDelimiter(char16_t c) {
  return c <= u' ' || c == u'<' || c == u'>' || c == u'"' || c == u'\u00A0' || c == u'\u2028' ||
         c == u'\u2029';
}

// Punctuation that usually closes the sentence around an address.
bool IsTrailingPunctuation(char16_t c) {
  return c == u'.' || c == u',' || c == u';' || c == u':' || c == u'!' || c == u'?' ||
         c == u')' || c == u'\'' || c == u']';
}

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + 32 : c; }

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

constexpr std::array<std::u16string_view, 4> kSchemes = {u"http://", u"https://", u"ftp://",
                                                          u"mailto:"};

bool IsHostChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'-' || c == u'.';
}

bool IsLocalChar(char16_t c) {
  return IsHostChar(c) || c == u'_' || c == u'+' || c == u'%';
}

// user@host.domain with plain ASCII parts and a dot inside the host.
bool IsMailAddress(std::u16string_view word) {
  const std::size_t at = word.find(u'@');
  if (at == 0 || at == std::u16string_view::npos || at + 1 >= word.size()) return false;
  for (std::size_t i = 0; i < at; ++i) {
    if (!IsLocalChar(word[i])) return false;
  }
  const std::u16string_view host = word.substr(at + 1);
  for (char16_t c : host) {
    if (!IsHostChar(c)) return false;
  }
  const std::size_t dot = host.find(u'.');
  return dot != 0 && dot != std::u16string_view::npos && dot + 1 < host.size();
}

bool HasScheme(std::u16string_view word) {
  for (std::u16string_view scheme : kSchemes) {
    if (StartsWithNoCase(word, scheme) && word.size() > scheme.size()) return true;
  }
  return false;
}

bool IsLink(std::u16string_view word) {
  return HasScheme(word) || (StartsWithNoCase(word, u"www.") && word.size() > 4) ||
         IsMailAddress(word);
}

}  // namespace

std::vector<LinkSpan> FindLinks(std::u16string_view text) {
  std::vector<LinkSpan> links;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsDelimiter(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsDelimiter(text[end])) ++end;
    std::size_t start = i;
    // An address often follows an opening bracket or quote.
    while (start < end && (text[start] == u'(' || text[start] == u'[' || text[start] == u'\'')) {
      ++start;
    }
    std::size_t stop = end;
    while (stop > start && IsTrailingPunctuation(text[stop - 1])) --stop;
    if (stop > start && IsLink(text.substr(start, stop - start))) {
      links.push_back({start, stop - start});
    }
    i = end;
  }
  return links;
}

std::u16string LinkTarget(std::u16string_view linkText) {
  if (HasScheme(linkText)) return std::u16string(linkText);
  if (StartsWithNoCase(linkText, u"www.") && linkText.size() > 4) {
    return u"http://" + std::u16string(linkText);
  }
  if (IsMailAddress(linkText)) return u"mailto:" + std::u16string(linkText);
  return {};
}

}  // namespace tessel
