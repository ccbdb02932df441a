// Cards as vCard 3.0 for address books: one vCard per card with FN and N
// from the index, the body as NOTE, TEL, EMAIL and URL for the body's phone
// numbers and addresses, and CATEGORIES:Tagged for a tagged card. Tessel's
// vCard reader gives the same cards back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"

namespace tessel {

// Content lines are folded to at most this many octets, never inside a
// UTF-8 sequence.
inline constexpr std::size_t kVcardLineOctets = 75;

// The phone number a body line plainly holds: the line is the number, maybe
// after a label such as "Phone:" or "Tel", with 7 to 15 digits and no more
// than a number's signs; a date is none. Empty when there is none.
std::string_view PhoneNumberIn(std::string_view line);

// The whole file: UTF-8, CR LF line ends, lines folded.
std::string VcardBytes(const std::vector<CardInfo>& cards);

}  // namespace tessel
