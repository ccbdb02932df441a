#include "output/vcard_writer.h"

#include <algorithm>

#include "cards/codepage.h"
#include "cards/vcard_file.h"
#include "stack/links.h"

namespace tessel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && MbsICmp(text.substr(0, prefix.size()), prefix) == 0;
}

// "12.03.1980", "1980-03-12", "3/12/80": digits in three groups.
bool LooksLikeDate(std::string_view s) {
  int groups = 0;
  std::size_t run = 0;
  char separator = 0;
  for (const char c : s) {
    if (IsDigit(c)) {
      if (++run > 4) return false;
      continue;
    }
    if (c != '.' && c != '-' && c != '/') return false;
    if (run == 0 || (separator != 0 && c != separator)) return false;
    separator = c;
    run = 0;
    ++groups;
  }
  return groups == 2 && run > 0;
}

// Text escaped as vCard 3.0 wants it: backslash, comma and semicolon get a
// backslash, every line break becomes \n.
void AppendEscaped(std::string& out, std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out += "\\n";
    } else {
      if (c == '\\' || c == ',' || c == ';') out += '\\';
      out += c;
    }
  }
}

// Appends one content line with CR LF, folded so that no line is longer than
// 75 octets; a fold never falls inside a UTF-8 sequence.
void AppendLine(std::string& out, std::string_view line) {
  std::size_t column = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    const uint8_t lead = static_cast<uint8_t>(line[i]);
    std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    n = std::min(n, line.size() - i);
    if (column + n > kVcardLineOctets) {
      out += "\r\n ";
      column = 1;
    }
    out.append(line.substr(i, n));
    column += n;
    i += n;
  }
  out += "\r\n";
}

// A property whose value is a card text (Windows-1252), escaped.
void AppendText(std::string& out, std::string_view name, std::string_view cardText) {
  std::string line(name);
  line += ':';
  AppendEscaped(line, CardTextToUtf8(cardText));
  AppendLine(out, line);
}

struct Found {
  std::vector<std::string_view> tels, emails, urls;
};

void AddOnce(std::vector<std::string_view>& list, std::string_view value) {
  if (!value.empty() && std::find(list.begin(), list.end(), value) == list.end()) {
    list.push_back(value);
  }
}

// The phone numbers, mail and web addresses the body's lines hold, as the
// very text they stand as, so the NOTE holds each of them.
Found FindAddresses(std::string_view body) {
  Found found;
  std::size_t start = 0;
  while (start <= body.size()) {
    std::size_t end = body.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = body.size();
    const std::string_view line = body.substr(start, end - start);
    AddOnce(found.tels, PhoneNumberIn(line));
    // One UTF-16 unit per Windows-1252 byte keeps the positions; an address
    // is ASCII, so the exact code points of the other bytes do not matter.
    const std::u16string wide(line.begin(), line.end());
    for (const LinkSpan& link : FindLinks(wide)) {
      const std::string_view text = line.substr(link.start, link.length);
      if (StartsWithNoCase(text, "mailto:")) {
        AddOnce(found.emails, text.substr(7));
      } else if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://") ||
                 StartsWithNoCase(text, "ftp://") || StartsWithNoCase(text, "www.")) {
        AddOnce(found.urls, text);
      } else {
        AddOnce(found.emails, text);
      }
    }
    if (end == body.size()) break;
    start = end + (body[end] == '\r' && end + 1 < body.size() && body[end + 1] == '\n' ? 2 : 1);
  }
  return found;
}

void AppendCard(std::string& out, const CardInfo& card) {
  const std::string_view index = UpToNul(card.index);
  const std::string_view body = UpToNul(card.body);
  AppendLine(out, "BEGIN:VCARD");
  AppendLine(out, "VERSION:3.0");
  AppendLine(out, "PRODID:" + std::string(kVcardProductIdPrefix) + "Tessel " TESSEL_VERSION "//EN");
  // "Last, First" splits into the family and the given name; any other
  // index is the family name whole, which the reader gives back as it was.
  const std::size_t comma = index.find(", ");
  const bool split = comma != std::string_view::npos && comma > 0 && comma + 2 < index.size();
  std::string n = "N:";
  AppendEscaped(n, CardTextToUtf8(split ? index.substr(0, comma) : index));
  n += ';';
  if (split) AppendEscaped(n, CardTextToUtf8(index.substr(comma + 2)));
  n += ";;;";
  AppendLine(out, n);
  AppendText(out, "FN", index);
  if (!body.empty()) AppendText(out, "NOTE", body);
  const Found found = FindAddresses(body);
  for (const std::string_view tel : found.tels) AppendText(out, "TEL", tel);
  for (const std::string_view email : found.emails) AppendText(out, "EMAIL;TYPE=INTERNET", email);
  for (const std::string_view url : found.urls) AppendText(out, "URL", url);
  if (card.tag != 0) AppendLine(out, "CATEGORIES:Tagged");
  AppendLine(out, "END:VCARD");
}

}  // namespace

std::string_view PhoneNumberIn(std::string_view line) {
  line = TrimBlanks(line);
  std::size_t start = 0;
  while (start < line.size() && !IsDigit(line[start]) && line[start] != '+' && line[start] != '(') {
    ++start;
  }
  // The label before the number: words and an optional colon, nothing else.
  const std::string_view label = TrimBlanks(line.substr(0, start));
  for (std::size_t i = 0; i < label.size(); ++i) {
    const uint8_t c = static_cast<uint8_t>(label[i]);
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0;
    const bool colon = c == ':' && i + 1 == label.size();
    if (!letter && !colon && c != ' ' && c != '.' && c != '-' && c != '/') return {};
  }
  if (label.size() > 24) return {};
  const std::string_view number = line.substr(start);
  int digits = 0;
  for (std::size_t i = 0; i < number.size(); ++i) {
    const char c = number[i];
    if (IsDigit(c)) {
      ++digits;
    } else if (c == '+' ? i != 0 : std::string_view(" ()-./").find(c) == std::string_view::npos) {
      return {};
    }
  }
  if (digits < 7 || digits > 15 || LooksLikeDate(number)) return {};
  return number;
}

std::string VcardBytes(const std::vector<CardInfo>& cards) {
  std::string out;
  for (const CardInfo& card : cards) AppendCard(out, card);
  return out;
}

}  // namespace tessel
