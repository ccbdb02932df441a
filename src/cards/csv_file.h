// Comma-separated values (RFC 4180) coming in: the table of a spreadsheet's
// or database's export, and the cards made from it. Quoted fields may hold
// separators, doubled quotes and line breaks; records end in CR LF, LF or
// CR; the separator is a comma, a semicolon or a tab. The bytes are UTF-8
// (with or without a byte-order mark) or Windows-1252, and the cards hold
// Windows-1252, so a character it lacks becomes '?' and is counted.
// Nothing in the file is trusted: its size, the fields of a row and the
// length of a field are bounded, and a file past a bound is refused whole
// with a message that says which.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"

namespace tessel {

inline constexpr std::size_t kCsvMaxBytes = 64u << 20;     // 64 MB: some 300,000 addresses
inline constexpr std::size_t kCsvMaxFields = 1000;         // in one row
inline constexpr std::size_t kCsvMaxFieldBytes = 1u << 20; // 1 MB in one field
inline constexpr char kCsvSeparators[] = {',', ';', '\t'};
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

enum class CsvEncoding { Utf8, Cp1252 };

// The fields of every row, as the file's bytes with the quoting undone.
// One buffer holds them all, so a million short fields cost little more
// than their text.
class CsvTable {
 public:
  std::size_t Rows() const { return rowEnds_.size(); }
  std::size_t Fields(std::size_t row) const;
  // Empty past the end of the row.
  std::string_view Field(std::size_t row, std::size_t column) const;
  // The most fields any row has.
  std::size_t Columns() const { return columns_; }

 private:
  friend struct CsvParser;
  std::string text_;
  std::vector<uint32_t> fieldEnds_;  // offset in text_ after each field
  std::vector<uint32_t> rowEnds_;    // count of fields up to the end of each row
  std::size_t columns_ = 0;
};

struct CsvParseResult {
  bool ok = true;
  std::string error;          // why the file was refused
  bool unclosedQuote = false; // the file ended inside a quoted field, taken as it stands
};

// Parses `bytes` (a byte-order mark at the start is skipped), stopping after
// `maxRows` rows (the dialog's preview). On failure `table` is empty.
CsvParseResult ParseCsv(std::string_view bytes, char separator, CsvTable& table,
                        std::size_t maxRows = SIZE_MAX);

// What the first lines suggest: the separator that splits them into the
// same number of fields, more than one (a comma when none does), and the
// encoding: UTF-8 when there is a byte-order mark or every byte sequence is
// UTF-8, Windows-1252 otherwise.
struct CsvGuess {
  char separator = ',';
  CsvEncoding encoding = CsvEncoding::Utf8;
};
CsvGuess GuessCsv(std::string_view bytes);

// Which columns (from 0) make a card.
struct CsvMapping {
  std::size_t indexColumn = 0;
  std::vector<std::size_t> bodyColumns;  // joined with line breaks, empty ones left out
  std::optional<std::size_t> tagColumn;  // "", "0", "no" and "false" untag; none: tagged
  bool header = true;                    // the first row names the columns
  bool namedLines = false;               // body lines as "Name: value"
  // Texts exactly as the file holds them, line breaks included: our own
  // export coming back.
  bool verbatim = false;
};

// True when the first row is our own export's header: Index, Body, Tagged.
bool IsOwnExport(const CsvTable& table);
// Our own export's columns, or for another file the first column as index
// and every other as body, with a header row.
CsvMapping DefaultMapping(const CsvTable& table);

// The name of a column: its header text, or "Column N" (from 1).
std::string ColumnName(const CsvTable& table, bool header, std::size_t column);

struct CsvImport {
  std::size_t cards = 0;
  std::size_t shortRows = 0;      // fewer fields than the header (or the first row)
  std::size_t longRows = 0;       // more fields
  std::size_t lostCharacters = 0; // not in Windows-1252: became '?' (or a NUL, left out)
};

// One card per row after the header whose fields are not all empty, in file
// order. An index line is one line: its line breaks become blanks; body
// line breaks become CR LF, as card bodies hold them.
CsvImport CsvCards(const CsvTable& table, const CsvMapping& mapping, CsvEncoding encoding,
                   std::vector<CardInfo>& cards);

// Reads a whole file of at most kCsvMaxBytes; false with the reason.
bool ReadCsvFile(const std::string& path, std::string& bytes, std::string& error);

// The closing message: how many cards came in, and what did not come
// through as it stood.
std::string CsvImportMessage(const CsvImport& import, bool unclosedQuote);

}  // namespace tessel
