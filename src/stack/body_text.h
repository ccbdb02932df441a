// Card bodies keep the line breaks the file holds (CR LF); the editor works
// with bare line feeds. These conversions sit at that edge: the editor's
// positions count a CR LF pair, or a lone CR, as one.
#pragma once

#include <string>
#include <string_view>

namespace tessel {

// CR LF and a lone CR become LF, so the editor shows one line break each.
std::string BodyForEditor(std::string_view body);

// Every LF becomes CR LF, the convention of the card file.
std::string BodyFromEditor(std::string_view text);

// How many editor positions a stored body spans.
std::size_t EditorLength(std::string_view body);

// Replaces `removed` editor positions from editor position `position` of a
// stored body with `inserted` (editor text: LF line breaks), touching only
// that range, so an edit costs what it changes. False, with the body left
// alone, when the range does not lie inside the body.
bool ReplaceInBody(std::string& body, std::size_t position, std::size_t removed,
                   std::string_view inserted);

}  // namespace tessel
