#include "stack/body_text.h"

namespace tessel {

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

}  // namespace tessel
