// The cards as plain text for other programs: the index list and the
// tagged-cards layout that mail attachments and the text export share.
// Texts stay Windows-1252 with "\n" line ends until ToTextFile converts them
// for the file on disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"

namespace tessel {

// A body line breaks after the first blank that is its 60th character or
// later; a run without blanks never breaks.
inline constexpr std::size_t kBodyLineBreakAt = 60;
inline constexpr std::size_t kSeparatorWidth = 60;

// Cuts a body into pieces: a CR, or a CR LF pair, ends a piece (as "\n"); a blank at or past the 60th character of a piece ends
// it after the blank, with "\n" appended; the rest is the last piece, without
// "\n" and possibly empty. Pieces have no length limit.
std::vector<std::string> SplitBodyLines(std::string_view body);

// One line per card: its index text.
std::string IndexListText(const std::vector<CardInfo>& cards);

// Per card (every card, or only the tagged ones): the index text, the body
// pieces, an empty line end, 60 hyphens, an empty line.
std::string CardsText(const std::vector<CardInfo>& cards, bool taggedOnly);

// The bytes of a text file handed to another program: UTF-8 with CR LF.
std::string ToTextFile(std::string_view cp1252);

}  // namespace tessel
