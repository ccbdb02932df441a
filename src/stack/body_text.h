// Card bodies keep the line breaks the file holds (CR LF); the editor works
// with bare line feeds. These two conversions sit at that edge.
#pragma once

#include <string>
#include <string_view>

namespace tessel {

// CR LF and a lone CR become LF, so the editor shows one line break each.
std::string BodyForEditor(std::string_view body);

// Every LF becomes CR LF, the convention of the card file.
std::string BodyFromEditor(std::string_view text);

}  // namespace tessel
