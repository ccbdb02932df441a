// Searches over the cards that Go To and Find Next run: index texts and
// bodies compared without regard to case, as the upper-cased copies the
// commands are defined by would compare, but without making the copies.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "cards/card_collection.h"

namespace tessel {

// Whether `haystack` contains `needle` once both are upper-cased; both end at
// their first NUL. An empty needle is contained everywhere.
bool ContainsIgnoringCase(std::string_view haystack, std::string_view needle);

// Go To: the first position after the front card (1 to n - 1) whose index
// text contains `text` ignoring case.
std::optional<std::size_t> FindIndexMatch(const CardCollection& cards, std::string_view text);

// Find Next's quick test: the first position in [from, to) whose body contains
// `text` ignoring case.
std::optional<std::size_t> FindBodyCandidate(const CardCollection& cards, std::string_view text,
                                             std::size_t from, std::size_t to);

struct TextMatchOptions {
  bool matchCase = false;
  bool wholeWord = false;
};

// The exact search an editor makes: the first occurrence of `needle` in
// `text` at or after `from`, with the options. An empty needle finds nothing.
std::optional<std::size_t> FindInText(std::string_view text, std::string_view needle,
                                      std::size_t from, TextMatchOptions options);

// Letters and digits of Windows-1252; what a whole-word match may not touch.
bool IsWordByte(unsigned char c);

}  // namespace tessel
