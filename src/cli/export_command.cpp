// export: the cards as a text file, as comma-separated values or as vCards,
// written as File > Export writes them.
#include <memory>

#include "cli/cli.h"
#include "output/export.h"

namespace tessel::cli {

namespace {

struct ExportArgs {
  std::string kind;  // text, csv or vcard
  std::string file;
  std::string out;
  std::string separator = ",";
  bool bom = false;
  bool tagged = false;  // only the tagged cards
};

int Export(const ExportArgs& args) {
  if (args.kind != "csv" && (args.bom || args.separator != ",")) {
    Fail("--separator and --bom are for csv exports");
    return kUsageError;
  }
  Loaded l;
  if (!Load(args.file, l)) return 1;
  const ExportKind kind = args.kind == "text"  ? ExportKind::Text
                          : args.kind == "csv" ? ExportKind::Csv
                                               : ExportKind::Vcard;
  const CsvExportOptions csv{SeparatorChar(args.separator), args.bom};
  const std::vector<CardInfo> tagged = args.tagged ? TaggedCards(l.cards.Cards()) : std::vector<CardInfo>();
  const std::vector<CardInfo>& cards = args.tagged ? tagged : l.cards.Cards();
  if (args.out == kStandardStream) return WriteStandardOutput(ExportBytes(kind, cards, csv)) ? 0 : 1;
  const FileResult written = ExportCards(kind, cards, args.out, csv);
  if (!written) Fail(written.message, written.detail);
  return written ? 0 : 1;
}

Work DeclareExport(CLI::App& command) {
  auto args = std::make_shared<ExportArgs>();
  command.add_option("KIND", args->kind, "text, csv or vcard")
      ->required()
      ->check(CLI::IsMember({"text", "csv", "vcard"}));
  AddInput(command, "FILE", args->file);
  AddOutput(command, "OUT", args->out, "the file to write (- writes standard output)", true);
  AddSeparator(command, args->separator,
               "csv: the field separator: , (the default), ; or tab (spreadsheets where the comma "
               "is the decimal mark take ;)");
  command.add_flag("--bom", args->bom, "csv: start with a UTF-8 byte-order mark (for spreadsheets)");
  command.add_flag("--tagged", args->tagged, "only the tagged cards");
  return [args] { return Export(*args); };
}

const Registration kExport({"export",
                            "the cards as a text file, comma-separated values or vCards (UTF-8, CR LF)",
                            50, DeclareExport});

}  // namespace

}  // namespace tessel::cli
