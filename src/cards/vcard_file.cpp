#include "cards/vcard_file.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "cards/card_file.h"
#include "cards/codepage.h"
#include "cards/file_io.h"

namespace tessel {
namespace {

bool Is(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldByte(static_cast<uint8_t>(a[i])) != FoldByte(static_cast<uint8_t>(b[i]))) return false;
  }
  return true;
}

// Physical lines, ended by CR LF, LF or a lone CR.
class Lines {
 public:
  explicit Lines(std::string_view data) : data_(data) {}
  bool AtEnd() const { return pos_ >= data_.size(); }
  std::string_view Next() {
    const std::size_t start = pos_;
    const std::size_t end = data_.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      pos_ = data_.size();
      return data_.substr(start);
    }
    pos_ = end + (data_[end] == '\r' && end + 1 < data_.size() && data_[end + 1] == '\n' ? 2 : 1);
    return data_.substr(start, end - start);
  }
  bool NextIsContinuation() const {
    return !AtEnd() && (data_[pos_] == ' ' || data_[pos_] == '\t');
  }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

// The part of a content line before its value: the colon that is not inside
// a quoted parameter value ends it.
std::size_t ValueColon(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

bool NamesQuotedPrintable(std::string_view line) {
  const std::size_t colon = ValueColon(line);
  std::string_view head = line.substr(0, colon == std::string_view::npos ? line.size() : colon);
  constexpr std::string_view kQp = "QUOTED-PRINTABLE";
  for (std::size_t i = 0; i + kQp.size() <= head.size(); ++i) {
    if (Is(head.substr(i, kQp.size()), kQp)) return true;
  }
  return false;
}

// Joins folded lines into one content line: a line that starts with a blank
// continues the one before (version 2.1 folds only where a blank stood, and
// keeps it), and a quoted-printable value ending in '=' goes on in the next
// line. Text past `limit` is consumed but not kept; `cut` says so.
void NextContentLine(Lines& lines, bool v21, std::size_t limit, std::string& out, bool& cut) {
  out.clear();
  cut = false;
  auto append = [&](std::string_view piece) {
    if (out.size() + piece.size() > limit) {
      cut = true;
      piece = piece.substr(0, limit - out.size());
    }
    out += piece;
  };
  append(lines.Next());
  for (;;) {
    if (!out.empty() && out.back() == '=' && !lines.AtEnd() && NamesQuotedPrintable(out)) {
      out.pop_back();  // a soft line break
      append(lines.Next());
    } else if (lines.NextIsContinuation()) {
      const std::string_view next = lines.Next();
      append(v21 ? next : next.substr(1));
    } else {
      return;
    }
  }
}

struct Param {
  std::string_view name;   // empty for a 2.1 bare value such as QUOTED-PRINTABLE
  std::string_view value;  // without its quotes
};

struct Property {
  std::string_view name;  // without its group
  std::vector<Param> params;
  std::string_view value;

  // The value of a named parameter, or of a bare one in `bare` (2.1).
  std::string_view Get(std::string_view param) const {
    for (const Param& p : params) {
      if (Is(p.name, param)) return p.value;
    }
    return {};
  }
  bool HasBare(std::string_view value) const {
    for (const Param& p : params) {
      if (p.name.empty() && Is(p.value, value)) return true;
    }
    return false;
  }
};

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

bool ParseProperty(std::string_view line, Property& p) {
  const std::size_t colon = ValueColon(line);
  if (colon == std::string_view::npos) return false;
  p.value = line.substr(colon + 1);
  std::string_view head = line.substr(0, colon);
  p.params.clear();
  bool quoted = false;
  std::size_t start = 0;
  bool first = true;
  for (std::size_t i = 0; i <= head.size(); ++i) {
    if (i < head.size() && head[i] == '"') quoted = !quoted;
    if (i < head.size() && (head[i] != ';' || quoted)) continue;
    const std::string_view part = head.substr(start, i - start);
    start = i + 1;
    if (first) {
      first = false;
      const std::size_t dot = part.rfind('.');
      p.name = dot == std::string_view::npos ? part : part.substr(dot + 1);
      if (p.name.empty()) return false;
      for (const char c : p.name) {
        if (!IsNameChar(c)) return false;
      }
      continue;
    }
    const std::size_t eq = part.find('=');
    Param param;
    if (eq == std::string_view::npos) {
      param.value = TrimBlanks(part);
    } else {
      param.name = TrimBlanks(part.substr(0, eq));
      param.value = TrimBlanks(part.substr(eq + 1));
      if (param.value.size() >= 2 && param.value.front() == '"' && param.value.back() == '"') {
        param.value = param.value.substr(1, param.value.size() - 2);
      }
    }
    p.params.push_back(param);
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodeQuotedPrintable(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '=' && i + 2 < in.size() && HexDigit(in[i + 1]) >= 0 && HexDigit(in[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(in[i + 1]) * 16 + HexDigit(in[i + 2]));
      i += 2;
    } else {
      out += in[i];  // a stray '=' stays as written
    }
  }
  return out;
}

enum class Charset { Unknown, Guess, Utf8, Latin1, Cp1252 };

Charset CharsetNamed(std::string_view name) {
  if (name.empty()) return Charset::Guess;
  if (Is(name, "UTF-8") || Is(name, "UTF8") || Is(name, "US-ASCII") || Is(name, "ASCII")) {
    return Charset::Utf8;
  }
  if (Is(name, "ISO-8859-1") || Is(name, "ISO_8859-1") || Is(name, "ISO8859-1") ||
      Is(name, "LATIN1")) {
    return Charset::Latin1;
  }
  if (Is(name, "WINDOWS-1252") || Is(name, "CP1252")) return Charset::Cp1252;
  return Charset::Unknown;
}

// Text in UTF-8 from the value's bytes. Without a character set (or with a
// wrong one) bytes that are not UTF-8 are read as Windows-1252, which is what
// older address books wrote.
std::string ToUtf8(std::string_view bytes, Charset charset) {
  if (charset == Charset::Latin1) return Latin1ToUtf8(bytes);
  if (charset == Charset::Cp1252 || !IsUtf8(bytes)) return Cp1252ToUtf8(bytes);
  return std::string(bytes);
}

// Splits at the separators ('\0': none) not escaped by a backslash, then unescapes each
// part: \n and \N are line breaks, \\ \, \; \: the character itself. Version
// 2.1 escapes only the semicolon and the backslash.
std::vector<std::string> SplitValue(std::string_view value, char separator, bool v21) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      const char e = value[i + 1];
      if (!v21 && (e == 'n' || e == 'N')) {
        parts.back() += '\n';
        ++i;
        continue;
      }
      if (e == '\\' || e == ';' || (!v21 && (e == ',' || e == ':'))) {
        parts.back() += e;
        ++i;
        continue;
      }
    }
    if (c == separator && separator != '\0') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// The kinds of value that go into the body, in the body's order.
enum Kind { kFn, kOrg, kAdr, kTel, kEmail, kUrl, kKinds };

struct Draft {
  bool v21 = false;
  std::vector<std::string> name;  // N's components
  std::vector<std::string> notes;
  std::array<std::vector<std::string>, kKinds> values;
  bool tessel = false;
  bool tagged = false;
  std::size_t categories = 0;  // kept only by a card Tessel wrote
  std::size_t text = 0;
  bool damaged = false;
  std::string refusedCharset;
  bool charsetRefused = false;
  std::size_t badLines = 0, photos = 0, keys = 0, others = 0;
};

std::string JoinNonEmpty(const std::vector<std::string>& parts, std::string_view glue) {
  std::string out;
  for (const std::string& p : parts) {
    const std::string_view t = TrimBlanks(p);
    if (t.empty()) continue;
    if (!out.empty()) out += glue;
    out += t;
  }
  return out;
}

// Every line break of a text (CR LF, LF or a lone CR) as `with`.
std::string ReplaceLineBreaks(std::string_view text, std::string_view with) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += with;
    } else {
      out += text[i];
    }
  }
  return out;
}

// A value on one line of the body: its line breaks become ", ".
std::string OneLine(std::string_view text) {
  return std::string(TrimBlanks(ReplaceLineBreaks(text, ", ")));
}

CardInfo MakeCard(const Draft& d) {
  const std::string last = d.name.size() > 0 ? d.name[0] : std::string();
  const std::string first = d.name.size() > 1 ? d.name[1] : std::string();
  std::string index = !last.empty() && !first.empty() ? last + ", " + first : last + first;
  if (index.empty() && !d.values[kFn].empty()) index = d.values[kFn].front();
  // The index is one line.
  for (char& c : index) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::string body;
  for (const std::string& note : d.notes) {
    if (!body.empty()) body += '\n';
    body += note;
  }
  for (int kind = 0; kind < kKinds; ++kind) {
    for (const std::string& raw : d.values[kind]) {
      const std::string value = OneLine(raw);
      // The name already stands in the index, as on every card Tessel wrote.
      if (value.empty() || (kind == kFn && (raw == index || value == index))) continue;
      if (body.find(value) != std::string::npos) continue;
      if (!body.empty()) body += '\n';
      body += value;
    }
  }
  return CardInfo(CardTextFromUtf8(index), CardTextFromUtf8(ReplaceLineBreaks(body, "\r\n")),
                  d.tessel && !d.tagged ? 0 : 1);
}

bool IsPicture(std::string_view name) { return Is(name, "PHOTO") || Is(name, "LOGO"); }

// One content line of a vCard into the draft.
void TakeProperty(const Property& p, bool cut, Draft& d) {
  const std::string_view name = p.name;
  if (Is(name, "VERSION")) {
    d.v21 = TrimBlanks(p.value) == "2.1";
    return;
  }
  if (IsPicture(name)) {
    ++d.photos;
    return;
  }
  if (Is(name, "KEY")) {
    ++d.keys;
    return;
  }
  int kind = -1;
  if (Is(name, "FN")) kind = kFn;
  if (Is(name, "ORG")) kind = kOrg;
  if (Is(name, "ADR")) kind = kAdr;
  if (Is(name, "TEL")) kind = kTel;
  if (Is(name, "EMAIL")) kind = kEmail;
  if (Is(name, "URL")) kind = kUrl;
  const bool note = Is(name, "NOTE");
  const bool n = Is(name, "N");
  const bool prodid = Is(name, "PRODID");
  const bool categories = Is(name, "CATEGORIES");
  if (kind < 0 && !note && !n && !prodid && !categories) {
    ++d.others;
    return;
  }
  std::string_view encoding = p.Get("ENCODING");
  if (encoding.empty() && p.HasBare("QUOTED-PRINTABLE")) encoding = "QUOTED-PRINTABLE";
  if (!encoding.empty() && !Is(encoding, "QUOTED-PRINTABLE") && !Is(encoding, "8BIT") &&
      !Is(encoding, "7BIT")) {
    ++d.others;  // text in base64 or another encoding Tessel does not read
    return;
  }
  if (cut) {
    d.damaged = true;  // larger than a card may be
    return;
  }
  const Charset charset = CharsetNamed(p.Get("CHARSET"));
  if (charset == Charset::Unknown) {
    if (!d.charsetRefused) d.refusedCharset = std::string(p.Get("CHARSET").substr(0, 40));
    d.charsetRefused = true;
    return;
  }
  const std::string decoded = Is(encoding, "QUOTED-PRINTABLE") ? DecodeQuotedPrintable(p.value)
                                                              : std::string(p.value);
  const std::string text = ToUtf8(decoded, charset);
  d.text += text.size();
  if (d.text > kVcardMaxCardText) {
    d.damaged = true;
    return;
  }
  if (prodid) {
    d.tessel = TrimBlanks(text).starts_with(kVcardProductIdPrefix);
  } else if (categories) {
    ++d.categories;
    for (const std::string& c : SplitValue(text, ',', d.v21)) d.tagged |= Is(TrimBlanks(c), "Tagged");
  } else if (n) {
    d.name = SplitValue(text, ';', d.v21);
  } else if (note) {
    d.notes.push_back(SplitValue(text, '\0', d.v21).front());
  } else if (kind == kOrg) {
    d.values[kind].push_back(JoinNonEmpty(SplitValue(text, ';', d.v21), ", "));
  } else if (kind == kAdr) {
    d.values[kind].push_back(JoinNonEmpty(SplitValue(text, ';', d.v21), ", "));
  } else {
    std::string value = SplitValue(text, '\0', d.v21).front();
    // Version 4.0 may give a number as a tel: address, and a mail address
    // may come as a mailto: one.
    const std::string_view scheme = kind == kTel ? "tel:" : kind == kEmail ? "mailto:" : "";
    if (!scheme.empty() && value.size() > scheme.size() &&
        Is(std::string_view(value).substr(0, scheme.size()), scheme)) {
      value.erase(0, scheme.size());
    }
    d.values[kind].push_back(std::move(value));
  }
}

void AddCounts(const Draft& d, VcardReadResult& r) {
  r.badLines += d.badLines;
  r.photos += d.photos;
  r.keys += d.keys;
  r.others += d.others + (d.tessel ? 0 : d.categories);
}

bool IsBegin(const Property& p) { return Is(p.name, "BEGIN") && Is(TrimBlanks(p.value), "VCARD"); }
bool IsEnd(const Property& p) { return Is(p.name, "END") && Is(TrimBlanks(p.value), "VCARD"); }

VcardReadResult Refuse(std::string detail) {
  VcardReadResult r;
  r.status = VcardStatus::Refused;
  r.detail = std::move(detail);
  return r;
}

std::string TooLarge() {
  return "it is larger than " + std::to_string(kVcardMaxFile >> 20) +
         " MB, more than any address book Tessel reads";
}

}  // namespace

VcardReadResult ParseVcards(std::string_view bytes, std::vector<CardInfo>& cards) {
  cards.clear();
  if (bytes.size() > kVcardMaxFile) {
    return Refuse(TooLarge());
  }
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return Refuse("it is in UTF-16; Tessel reads vCard files in UTF-8, ISO-8859-1 or Windows-1252");
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);

  VcardReadResult r;
  std::size_t found = 0;   // vCards begun
  std::size_t stray = 0;   // lines outside any vCard
  Lines lines(bytes);
  std::string line;
  bool cut = false;
  Property p;
  Draft d;
  bool inCard = false;
  std::size_t nested = 0;  // depth inside a vCard embedded in another (2.1 AGENT)
  // A skipped entry may be long (a photo); a kept one never longer than a card.
  while (!lines.AtEnd()) {
    NextContentLine(lines, inCard && d.v21, kVcardMaxCardText + 1024, line, cut);
    if (TrimBlanks(line).empty()) continue;
    const bool parsed = ParseProperty(line, p);
    if (!inCard) {
      if (parsed && IsBegin(p)) {
        inCard = true;
        ++found;
        d = Draft();
      } else {
        ++stray;
      }
      continue;
    }
    if (!parsed) {
      ++d.badLines;
      continue;
    }
    if (nested > 0) {
      if (IsBegin(p)) ++nested;
      if (IsEnd(p)) --nested;
      continue;
    }
    if (IsBegin(p)) {
      nested = 1;
      ++d.others;  // an embedded vCard (2.1 AGENT) is one entry skipped
      continue;
    }
    if (IsEnd(p)) {
      inCard = false;
      if (d.charsetRefused && !d.damaged) {
        ++r.charsetRefused;
        if (r.charset.empty()) r.charset = d.refusedCharset;
      } else if (d.damaged) {
        ++r.damaged;
      } else {
        try {
          cards.push_back(MakeCard(d));
        } catch (const std::bad_alloc&) {
          std::vector<CardInfo>().swap(cards);
          return Refuse(kNoMemoryForCards);
        }
        AddCounts(d, r);
      }
      continue;
    }
    TakeProperty(p, cut, d);
  }
  if (inCard) ++r.damaged;  // cut short: no END:VCARD
  r.imported = cards.size();
  if (found == 0) return Refuse("it holds no vCard (there is no BEGIN:VCARD line)");
  if (cards.empty()) {
    if (r.charsetRefused > 0 && r.damaged == 0) {
      return Refuse("its cards are in the character set \"" + r.charset +
                    "\", which Tessel does not read (it reads UTF-8, ISO-8859-1 and Windows-1252)");
    }
    return Refuse("it is damaged: none of its " + Counted(found, "vCard", "vCards") +
                  " is whole");
  }
  r.badLines += stray;
  if (r.damaged + r.charsetRefused + r.badLines > 0) r.status = VcardStatus::Partial;
  return r;
}

VcardReadResult LoadVcardFile(const std::string& path, std::vector<CardInfo>& cards) {
  cards.clear();
  uint64_t size = 0;
  const int fd = OpenForReading(path, size);
  if (fd < 0) return Refuse(std::string("it could not be opened: ") + std::strerror(errno));
  if (size > kVcardMaxFile) {
    ::close(fd);
    return Refuse(TooLarge());
  }
  std::string bytes;
  ByteReader in(fd, size);
  const bool read = in.String(bytes, size);
  const int error = errno;
  ::close(fd);
  if (!read) return Refuse(std::string("it could not be read: ") + std::strerror(error));
  return ParseVcards(bytes, cards);
}

std::string VcardMessage(const VcardReadResult& r, const std::string& path) {
  if (!r.Imports()) return "Tessel cannot import \"" + path + "\": " + r.detail + ".";
  std::string text = Counted(r.imported, "card was", "cards were") + " imported from \"" + path + "\".";
  if (r.damaged > 0) {
    text += " The file is damaged: " + Counted(r.damaged, "vCard that is not whole was",
                                               "vCards that are not whole were") +
            " left out.";
  }
  if (r.charsetRefused > 0) {
    text += " " + Counted(r.charsetRefused, "vCard", "vCards") + " in the character set \"" +
            r.charset + "\" " + (r.charsetRefused == 1 ? "was" : "were") +
            " left out: Tessel reads UTF-8, ISO-8859-1 and Windows-1252.";
  }
  if (r.badLines > 0) {
    text += " " + Counted(r.badLines, "line that could not be read was",
                          "lines that could not be read were") +
            " left out.";
  }
  std::string skipped;
  auto add = [&](std::size_t n, const char* one, const char* many) {
    if (n == 0) return;
    if (!skipped.empty()) skipped += ", ";
    skipped += Counted(n, one, many);
  };
  add(r.photos, "photo", "photos");
  add(r.keys, "key", "keys");
  add(r.others, "other entry", "other entries");
  if (!skipped.empty()) text += " Skipped (cards hold text only): " + skipped + ".";
  return text;
}

bool HasVcardExtension(std::string_view path) {
  for (const std::string_view ext : {std::string_view(".vcf"), std::string_view(".vcard")}) {
    if (path.size() >= ext.size() && Is(path.substr(path.size() - ext.size()), ext)) return true;
  }
  return false;
}

}  // namespace tessel
