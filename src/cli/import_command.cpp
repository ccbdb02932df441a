// import: the cards of a CSV, Cardfile or card file added to a card file, as
// File > Import > Comma Delimited Text adds them to the open document: sorted
// in, the rest of the file kept, written atomically. The card file is made
// when it is not there.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>

#include "cards/card_file.h"
#include "cards/codepage.h"
#include "cards/crd_file.h"
#include "cards/csv_file.h"
#include "cards/vcard_file.h"
#include "cli/cli.h"

namespace tessel::cli {

namespace {

struct ImportArgs {
  std::string source;
  std::string target;
  std::optional<std::size_t> indexColumn;  // from 1, as the options count
  std::vector<std::size_t> bodyColumns;
  std::optional<std::size_t> tagColumn;
  std::string separator;
  bool noHeader = false;
  bool force = false;
};

// The kinds of file cards come in from; a new kind is one more case here and
// in ReadSource.
enum class SourceKind { CardFile, Cardfile, Vcard, Csv };

SourceKind KindOf(const std::string& path) {
  const std::string extension = std::filesystem::path(path).extension().string();
  if (LooksLikeCrdFile(path) || MbsICmp(extension, ".crd") == 0) return SourceKind::Cardfile;
  if (MbsICmp(extension, ".tsl") == 0) return SourceKind::CardFile;
  if (HasVcardExtension(path)) return SourceKind::Vcard;
  return SourceKind::Csv;
}

// Another card file's cards, as Merge adds them (its format is not taken).
bool ReadCardFileSource(const std::string& path, std::vector<CardInfo>& cards, std::string& report) {
  CardFileData data;
  const ReadResult result = LoadCardFileData(path, data);
  if (!result.Ok()) {
    Fail(ReadErrorMessage(result, path), result.detail);
    return false;
  }
  cards = std::move(data.cards);
  report = CsvImportMessage({cards.size()}, false);  // how many came in
  return true;
}

// The cards of a Cardfile file; what was left behind goes to standard error.
bool ReadCardfile(const std::string& path, std::vector<CardInfo>& cards, std::string& report) {
  const CrdReadResult result = LoadCrdFile(path, cards);
  if (const std::string message = CrdMessage(result, path); !message.empty()) {
    Fail(message, result.detail);
  }
  report = CsvImportMessage({cards.size()}, false);  // how many came in
  return result.Imports();
}

// The column options as the mapping counts them (from 0), each checked
// against the columns the file has.
bool ApplyColumns(const ImportArgs& args, const CsvTable& table, CsvMapping& mapping) {
  std::vector<std::size_t> named = args.bodyColumns;
  if (args.indexColumn) named.push_back(*args.indexColumn);
  if (args.tagColumn) named.push_back(*args.tagColumn);
  for (const std::size_t column : named) {
    if (column > table.Columns()) {
      Fail("column " + std::to_string(column) + " is past the file's " +
           std::to_string(table.Columns()) + " columns");
      return false;
    }
  }
  const bool chosen = args.indexColumn || !args.bodyColumns.empty() || args.tagColumn || args.noHeader;
  if (!chosen) return true;  // our own export's columns, or the first and the rest
  mapping.verbatim = false;
  if (args.indexColumn) mapping.indexColumn = *args.indexColumn - 1;
  if (!args.bodyColumns.empty()) {
    mapping.bodyColumns.clear();
    for (const std::size_t column : args.bodyColumns) mapping.bodyColumns.push_back(column - 1);
  }
  if (args.tagColumn) mapping.tagColumn = *args.tagColumn - 1;
  if (args.noHeader) mapping.header = false;
  return true;
}

bool ReadCsv(const ImportArgs& args, std::vector<CardInfo>& cards, std::string& report) {
  std::string bytes, error;
  if (!ReadCsvFile(args.source, bytes, error)) {
    Fail("\"" + args.source + "\" cannot be imported", error);
    return false;
  }
  CsvGuess guess = GuessCsv(bytes);
  if (!args.separator.empty()) guess.separator = SeparatorChar(args.separator);
  CsvTable table;
  const CsvParseResult parsed = ParseCsv(bytes, guess.separator, table);
  if (!parsed.ok) {
    Fail("\"" + args.source + "\" cannot be imported", parsed.error);
    return false;
  }
  CsvMapping mapping = DefaultMapping(table);
  if (!ApplyColumns(args, table, mapping)) return false;
  report = CsvImportMessage(CsvCards(table, mapping, guess.encoding, cards), parsed.unclosedQuote);
  return true;
}

bool ReadSource(const ImportArgs& args, std::vector<CardInfo>& cards, std::string& report) {
  switch (KindOf(args.source)) {
    case SourceKind::CardFile:
      return ReadCardFileSource(args.source, cards, report);
    case SourceKind::Cardfile:
      return ReadCardfile(args.source, cards, report);
    case SourceKind::Vcard:
      return ReadVcardSource(args.source, cards, report);
    case SourceKind::Csv:
      return ReadCsv(args, cards, report);
  }
  return false;
}

int Import(const ImportArgs& args) {
  std::vector<CardInfo> cards;
  std::string report;
  if (!ReadSource(args, cards, report)) return 1;
  Loaded& target = KeptLoaded();
  std::error_code error;
  if (std::filesystem::exists(args.target, error) || error) {
    if (!Load(args.target, target)) return 1;
    if (target.cardfile) {
      Fail("\"" + args.target + "\" is a Cardfile file; the cards go into a card file (*.tsl)");
      return 1;
    }
  }
  target.cards.AppendCards(std::move(cards));
  if (const int status = Save(target, args.target, args.force); status != 0) return status;
  std::cout << report << '\n';
  return 0;
}

Work DeclareImport(CLI::App& command) {
  auto args = std::make_shared<ImportArgs>();
  command.add_option("SOURCE", args->source, "the CSV, vCard (*.vcf), Cardfile (*.crd) or card file (*.tsl) whose cards to add")
      ->required()
      ->check(CLI::ExistingFile);
  AddOutput(command, "TARGET", args->target,
            "the card file the cards are added to; made when it is not there", false);
  AddForce(command, args->force);
  command.add_option("--index-column", args->indexColumn, "CSV: the column of the index line (from 1)")
      ->type_name("N")
      ->check(CLI::PositiveNumber);
  command.add_option("--body-columns", args->bodyColumns,
                     "CSV: the columns that make the body, one line each (default: all but the index)")
      ->type_name("N,M,...")
      ->delimiter(',')
      ->check(CLI::PositiveNumber);
  command.add_option("--tag-column", args->tagColumn,
                     "CSV: the column that tags a card (empty, 0, no and false untag); default: "
                     "every card tagged")
      ->type_name("N")
      ->check(CLI::PositiveNumber);
  AddSeparator(command, args->separator, "CSV: the field separator (default: guessed from the first lines)");
  command.add_flag("--no-header", args->noHeader, "CSV: the first row is a card, not the column names");
  return [args] { return Import(*args); };
}

const Registration kImport({"import",
                            "add the cards of a CSV, Cardfile or card file to a card file (made if need be)",
                            35, DeclareImport});

}  // namespace

}  // namespace tessel::cli
