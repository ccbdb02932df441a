#include "cards/csv_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "cards/codepage.h"
#include "cards/file_io.h"

namespace tessel {

std::size_t CsvTable::Fields(std::size_t row) const {
  return rowEnds_[row] - (row == 0 ? 0 : rowEnds_[row - 1]);
}

std::string_view CsvTable::Field(std::size_t row, std::size_t column) const {
  if (row >= Rows() || column >= Fields(row)) return {};
  const std::size_t f = (row == 0 ? 0 : rowEnds_[row - 1]) + column;
  const std::size_t begin = f == 0 ? 0 : fieldEnds_[f - 1];
  return std::string_view(text_).substr(begin, fieldEnds_[f] - begin);
}

struct CsvParser {
  std::string_view in;
  char separator;
  CsvTable& table;
  std::size_t pos = 0;
  std::size_t fieldStart = 0;  // in table.text_
  std::size_t rowFields = 0;
  CsvParseResult result;

  bool Fail(std::string why) {
    result.ok = false;
    result.error = "Row " + std::to_string(table.Rows() + 1) + " " + why;
    return false;
  }
  bool EndField() {
    if (table.text_.size() - fieldStart > kCsvMaxFieldBytes) {
      return Fail("has a field longer than " + std::to_string(kCsvMaxFieldBytes >> 20) +
                  " MB, more than a card takes.");
    }
    if (++rowFields > kCsvMaxFields) {
      return Fail("has more than " + std::to_string(kCsvMaxFields) + " fields.");
    }
    table.fieldEnds_.push_back(static_cast<uint32_t>(table.text_.size()));
    fieldStart = table.text_.size();
    return true;
  }
  void EndRow() {
    table.rowEnds_.push_back(static_cast<uint32_t>(table.fieldEnds_.size()));
    table.columns_ = std::max(table.columns_, rowFields);
    rowFields = 0;
  }
  // Past a line end at `pos` (CR LF, LF or CR); false when there is none.
  bool SkipLineEnd() {
    if (pos >= in.size()) return false;
    if (in[pos] == '\r') {
      pos += pos + 1 < in.size() && in[pos + 1] == '\n' ? 2 : 1;
      return true;
    }
    if (in[pos] == '\n') {
      ++pos;
      return true;
    }
    return false;
  }
  // One field from `pos`; stops at the separator or line end after it.
  void Field() {
    if (pos < in.size() && in[pos] == '"') {
      ++pos;
      for (;;) {
        const std::size_t quote = in.find('"', pos);
        if (quote == std::string_view::npos) {
          table.text_.append(in.substr(pos));
          pos = in.size();
          result.unclosedQuote = true;
          return;
        }
        table.text_.append(in.substr(pos, quote - pos));
        pos = quote + 1;
        if (pos < in.size() && in[pos] == '"') {
          table.text_ += '"';
          ++pos;
          continue;
        }
        break;
      }
    }
    // Unquoted text, or what stands between a closing quote and the
    // separator (kept, as spreadsheets read it).
    const char stops[] = {separator, '\r', '\n'};
    const std::size_t end = std::min(in.find_first_of(std::string_view(stops, 3), pos), in.size());
    table.text_.append(in.substr(pos, end - pos));
    pos = end;
  }
  bool Run(std::size_t maxRows) {
    // A preview needs only the start; a whole file, about its own size.
    table.text_.reserve(maxRows == SIZE_MAX ? in.size() : std::min<std::size_t>(in.size(), 64u << 10));
    while (pos < in.size() && table.Rows() < maxRows) {
      Field();
      if (!EndField()) return false;
      if (pos < in.size() && in[pos] == separator) {
        ++pos;
        // A separator at the very end still closes an empty last field.
        if (pos == in.size() && !EndField()) return false;
        if (pos < in.size()) continue;
      }
      SkipLineEnd();
      EndRow();
    }
    return true;
  }
};

CsvParseResult ParseCsv(std::string_view bytes, char separator, CsvTable& table,
                        std::size_t maxRows) {
  table = CsvTable();
  if (bytes.size() > kCsvMaxBytes) {
    return {false, "The file is larger than " + std::to_string(kCsvMaxBytes >> 20) +
                       " MB, more than Tessel imports from a CSV file."};
  }
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  CsvParser parser{bytes, separator, table};
  bool done = false;
  try {
    done = parser.Run(maxRows);
  } catch (const std::bad_alloc&) {
    parser.result = {false, "There is not enough memory to hold the file's fields."};
  }
  if (!done || !parser.result.ok) table = CsvTable();
  return parser.result;
}

namespace {

// Line breaks as card bodies hold them: CR LF, LF and CR each become CR LF.
std::string CrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

// An index line: each line break (CR LF, LF or CR) becomes one blank.
std::string OneLine(std::string_view text) {
  std::string out = CrLf(text);
  std::size_t at = 0;
  while ((at = out.find("\r\n", at)) != std::string::npos) out.replace(at, 2, " ");
  return out;
}

bool Untags(std::string_view value) {
  return value.empty() || value == "0" || MbsICmp(value, "no") == 0 || MbsICmp(value, "false") == 0;
}

constexpr std::size_t kGuessRows = 10;

}  // namespace

CsvGuess GuessCsv(std::string_view bytes) {
  CsvGuess guess;
  const std::string_view head = bytes.substr(0, 64u << 10);
  guess.encoding =
      bytes.starts_with(kUtf8Bom) || IsUtf8(bytes) ? CsvEncoding::Utf8 : CsvEncoding::Cp1252;
  std::size_t best = 0;  // rows that agree, then fields per row
  std::size_t bestFields = 1;
  for (const char separator : kCsvSeparators) {
    CsvTable table;
    if (!ParseCsv(head, separator, table, kGuessRows).ok || table.Rows() == 0) continue;
    const std::size_t fields = table.Fields(0);
    if (fields < 2) continue;
    std::size_t agree = 0;
    for (std::size_t r = 0; r < table.Rows(); ++r) agree += table.Fields(r) == fields;
    if (agree > best || (agree == best && fields > bestFields)) {
      best = agree;
      bestFields = fields;
      guess.separator = separator;
    }
  }
  return guess;
}

bool IsOwnExport(const CsvTable& table) {
  return table.Rows() > 0 && table.Fields(0) == 3 && table.Field(0, 0) == "Index" &&
         table.Field(0, 1) == "Body" && table.Field(0, 2) == "Tagged";
}

CsvMapping DefaultMapping(const CsvTable& table) {
  CsvMapping mapping;
  if (IsOwnExport(table)) {
    mapping.bodyColumns = {1};
    mapping.tagColumn = 2;
    mapping.verbatim = true;
    return mapping;
  }
  for (std::size_t c = 1; c < table.Columns(); ++c) mapping.bodyColumns.push_back(c);
  return mapping;
}

std::string ColumnName(const CsvTable& table, bool header, std::size_t column) {
  if (header && !table.Field(0, column).empty()) return std::string(table.Field(0, column));
  return "Column " + std::to_string(column + 1);
}

CsvImport CsvCards(const CsvTable& table, const CsvMapping& mapping, CsvEncoding encoding,
                   std::vector<CardInfo>& cards) {
  CsvImport counts;
  // A card text ends at its first NUL, so one is left out, and counted.
  auto text = [&](std::string_view field) {
    std::string out = encoding == CsvEncoding::Utf8 ? Utf8ToCp1252(field, &counts.lostCharacters)
                                                    : std::string(field);
    const auto nul = std::remove(out.begin(), out.end(), '\0');
    counts.lostCharacters += static_cast<std::size_t>(out.end() - nul);
    out.erase(nul, out.end());
    return out;
  };
  std::vector<std::string> names;
  if (mapping.namedLines) {
    for (const std::size_t c : mapping.bodyColumns) {
      names.push_back(text(ColumnName(table, mapping.header, c)) + ": ");
    }
  }
  const std::size_t first = mapping.header ? 1 : 0;
  const std::size_t expected = table.Rows() > 0 ? table.Fields(0) : 0;
  for (std::size_t r = first; r < table.Rows(); ++r) {
    const std::size_t fields = table.Fields(r);
    bool blank = true;
    for (std::size_t c = 0; c < fields && blank; ++c) blank = table.Field(r, c).empty();
    if (blank) continue;  // an empty line, or a spreadsheet's empty row
    counts.shortRows += fields < expected;
    counts.longRows += fields > expected;
    CardInfo card;
    const std::string index = text(table.Field(r, mapping.indexColumn));
    card.index = mapping.verbatim ? index : OneLine(index);
    for (std::size_t i = 0; i < mapping.bodyColumns.size(); ++i) {
      const std::string value = text(table.Field(r, mapping.bodyColumns[i]));
      if (value.empty() && !mapping.verbatim) continue;
      if (!card.body.empty()) card.body += "\r\n";
      if (mapping.namedLines) card.body += names[i];
      card.body += mapping.verbatim ? value : CrLf(value);
    }
    if (mapping.tagColumn) card.tag = Untags(table.Field(r, *mapping.tagColumn)) ? 0 : 1;
    cards.push_back(std::move(card));
    ++counts.cards;
  }
  return counts;
}

bool ReadCsvFile(const std::string& path, std::string& bytes, std::string& error) {
  uint64_t size = 0;
  const int fd = OpenForReading(path, size);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  if (size > kCsvMaxBytes) {
    ::close(fd);
    error = "The file is larger than " + std::to_string(kCsvMaxBytes >> 20) +
            " MB, more than Tessel imports from a CSV file.";
    return false;
  }
  ByteReader in(fd, size);
  const bool read = in.String(bytes, size);
  ::close(fd);
  if (!read) error = "the file could not be read whole";
  return read;
}

namespace {

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string CsvImportMessage(const CsvImport& import, bool unclosedQuote) {
  std::string text = Count(import.cards, "card", "cards") + " imported.";
  if (import.shortRows + import.longRows > 0) {
    std::string rows;
    if (import.shortRows > 0) rows = Count(import.shortRows, "row had", "rows had") + " fewer fields";
    if (import.longRows > 0) {
      rows += rows.empty() ? Count(import.longRows, "row had", "rows had") + " more fields"
                           : " and " + Count(import.longRows, "row", "rows") + " more";
    }
    text += " " + rows + " than the first row; they came in with the fields they have.";
  }
  if (import.lostCharacters > 0) {
    text += " " + Count(import.lostCharacters, "character", "characters") +
            " that Tessel cards cannot hold yet " +
            (import.lostCharacters == 1 ? "became \"?\" or was left out." : "became \"?\" or were left out.");
  }
  if (unclosedQuote) {
    text += " The file ends inside a quoted field; its last field was taken as it stands.";
  }
  return text;
}

}  // namespace tessel
