// Card bodies keep the line breaks the file holds (CR LF); the editor works
// with bare line feeds. These conversions sit at that edge: the editor's
// positions count a CR LF pair, or a lone CR, as one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// CR LF and a lone CR become LF, so the editor shows one line break each.
std::string BodyForEditor(std::string_view body);

// Every LF becomes CR LF, the convention of the card file.
std::string BodyFromEditor(std::string_view text);

// How many editor positions a stored body spans.
std::size_t EditorLength(std::string_view body);

// The bytes of a stored body that `count` editor positions from editor
// position `position` take up, found without converting the body; nullopt
// when they do not lie inside it.
struct ByteRange {
  std::size_t start = 0;
  std::size_t end = 0;
};
std::optional<ByteRange> BodyBytes(std::string_view body, std::size_t position, std::size_t count);

}  // namespace tessel
