// Fuzz target for the CSV reader: any input, read with every separator,
// gives either nothing and a reason, or a table within the bounds whose
// cards hold no NUL and one-line index texts; those cards, exported, come
// back identical, as our own export does.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cards/csv_file.h"
#include "output/export.h"

namespace {

bool HasNul(const std::string& text) { return std::memchr(text.data(), 0, text.size()) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tessel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const CsvGuess guess = GuessCsv(bytes);
  for (const char separator : kCsvSeparators) {
    CsvTable table;
    const CsvParseResult parsed = ParseCsv(bytes, separator, table);
    if (!parsed.ok) {
      if (parsed.error.empty() || table.Rows() != 0) std::abort();
      continue;
    }
    std::size_t text = 0;
    for (std::size_t r = 0; r < table.Rows(); ++r) {
      if (table.Fields(r) == 0 || table.Fields(r) > kCsvMaxFields) std::abort();
      for (std::size_t c = 0; c < table.Fields(r); ++c) text += table.Field(r, c).size();
    }
    if (text > size) std::abort();

    CsvMapping mapping = DefaultMapping(table);
    mapping.namedLines = separator == ';';  // both ways, over the separators
    std::vector<CardInfo> cards;
    const CsvImport counts = CsvCards(table, mapping, guess.encoding, cards);
    if (counts.cards != cards.size() || cards.size() > table.Rows()) std::abort();
    for (const CardInfo& card : cards) {
      if (HasNul(card.index) || HasNul(card.body) || (card.tag != 0 && card.tag != 1)) std::abort();
      if (!mapping.verbatim && card.index.find_first_of("\r\n") != std::string::npos) std::abort();
    }
    if (CsvImportMessage(counts, parsed.unclosedQuote).empty()) std::abort();

    const std::string exported = ExportCsvBytes(cards, {separator, separator != ','});
    if (exported.size() > kCsvMaxFieldBytes) continue;  // a field may grow past the bound in UTF-8
    CsvTable again;
    std::vector<CardInfo> back;
    if (!ParseCsv(exported, separator, again).ok || !IsOwnExport(again)) std::abort();
    CsvCards(again, DefaultMapping(again), CsvEncoding::Utf8, back);
    if (back != cards) std::abort();
  }
  return 0;
}
