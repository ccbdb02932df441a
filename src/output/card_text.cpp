#include "output/card_text.h"

#include "cards/codepage.h"

namespace tessel {

std::vector<std::string> SplitBodyLines(std::string_view body) {
  body = UpToNul(body);
  std::vector<std::string> pieces;
  std::string piece;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (c == '\r') {
      piece += '\n';
      pieces.push_back(std::move(piece));
      piece.clear();
      if (i + 1 < body.size() && body[i + 1] == '\n') ++i;  // the LF of a CR LF pair
      continue;
    }
    piece += c;
    if (c == ' ' && piece.size() >= kBodyLineBreakAt) {
      piece += '\n';
      pieces.push_back(std::move(piece));
      piece.clear();
    }
  }
  pieces.push_back(std::move(piece));
  return pieces;
}

std::string IndexListText(const std::vector<CardInfo>& cards) {
  std::string out;
  for (const CardInfo& card : cards) {
    out += UpToNul(card.index);
    out += '\n';
  }
  return out;
}

std::string CardsText(const std::vector<CardInfo>& cards, bool taggedOnly) {
  std::string out;
  const std::string separator(kSeparatorWidth, '-');
  for (const CardInfo& card : cards) {
    if (taggedOnly && card.tag == 0) continue;
    out += UpToNul(card.index);
    out += '\n';
    for (const std::string& piece : SplitBodyLines(card.body)) out += piece;
    out += '\n';
    out += separator;
    out += "\n\n";
  }
  return out;
}

std::string ToTextFile(std::string_view cp1252) {
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  std::string out;
  out.reserve(utf8.size() + utf8.size() / 16);
  for (const char c : utf8) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace tessel
