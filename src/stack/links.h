// Web and mail addresses in card bodies. The body editor underlines what
// FindLinks reports and opens LinkTarget on a click; only web, ftp and mail
// addresses are ever opened, never a local program or file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

struct LinkSpan {
  std::size_t start = 0;   // in UTF-16 code units of the searched text
  std::size_t length = 0;
};

// Addresses starting with http://, https://, ftp://, www. or mailto:, and
// bare user@host.domain addresses, in text order.
std::vector<LinkSpan> FindLinks(std::u16string_view text);

// What to open for a link's text: www. gets http://, user@host gets mailto:.
// Empty when the text is no address that may be opened.
std::u16string LinkTarget(std::u16string_view linkText);

}  // namespace tessel
