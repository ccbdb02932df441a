#include "stack/body_text.h"

namespace tessel {
namespace {

constexpr std::size_t kOutside = std::string_view::npos;

// The byte offset `units` editor positions after byte offset `from`, or
// kOutside past the end. Only CRs need a look; the bytes between them are
// one position each.
std::size_t Advance(std::string_view body, std::size_t from, std::size_t units) {
  std::size_t i = from;
  while (units > 0) {
    const std::size_t cr = body.find('\r', i);
    const std::size_t plain = (cr == kOutside ? body.size() : cr) - i;
    if (units <= plain) return i + units;
    if (cr == kOutside) return kOutside;
    units -= plain + 1;
    i = cr + (cr + 1 < body.size() && body[cr + 1] == '\n' ? 2 : 1);
  }
  return i;
}

}  // namespace

std::string BodyForEditor(std::string_view body) {
  std::string out;
  out.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < body.size() && body[i + 1] == '\n') ++i;
    } else {
      out.push_back(body[i]);
    }
  }
  return out;
}

std::string BodyFromEditor(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

std::size_t EditorLength(std::string_view body) {
  std::size_t pairs = 0;
  for (std::size_t i = body.find("\r\n"); i != kOutside; i = body.find("\r\n", i + 2)) ++pairs;
  return body.size() - pairs;
}

std::optional<ByteRange> BodyBytes(std::string_view body, std::size_t position,
                                   std::size_t count) {
  const std::size_t start = Advance(body, 0, position);
  if (start == kOutside) return std::nullopt;
  const std::size_t end = Advance(body, start, count);
  if (end == kOutside) return std::nullopt;
  return ByteRange{start, end};
}

}  // namespace tessel
