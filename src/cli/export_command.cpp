// export: the cards as a text file or as comma-separated values, written as
// File > Export writes them.
#include <memory>

#include "cli/cli.h"
#include "output/export.h"

namespace tessel::cli {

namespace {

struct ExportArgs {
  std::string kind;  // text or csv
  std::string file;
  std::string out;
  std::string separator = ",";
  bool bom = false;
};

int Export(const ExportArgs& args) {
  if (args.kind == "text" && (args.bom || args.separator != ",")) {
    Fail("--separator and --bom are for csv exports");
    return kUsageError;
  }
  Loaded l;
  if (!Load(args.file, l)) return 1;
  const ExportKind kind = args.kind == "text" ? ExportKind::Text : ExportKind::Csv;
  const CsvExportOptions csv{SeparatorChar(args.separator), args.bom};
  if (args.out == kStandardStream) {
    const std::string bytes = kind == ExportKind::Text ? ExportTextBytes(l.cards.Cards())
                                                       : ExportCsvBytes(l.cards.Cards(), csv);
    return WriteStandardOutput(bytes) ? 0 : 1;
  }
  const FileResult written = ExportCards(kind, l.cards.Cards(), args.out, csv);
  if (!written) Fail(written.message, written.detail);
  return written ? 0 : 1;
}

Work DeclareExport(CLI::App& command) {
  auto args = std::make_shared<ExportArgs>();
  command.add_option("KIND", args->kind, "text or csv")
      ->required()
      ->check(CLI::IsMember({"text", "csv"}));
  AddInput(command, "FILE", args->file);
  AddOutput(command, "OUT", args->out, "the file to write (- writes standard output)", true);
  AddSeparator(command, args->separator,
               "csv: the field separator: , (the default), ; or tab (spreadsheets where the comma "
               "is the decimal mark take ;)");
  command.add_flag("--bom", args->bom, "csv: start with a UTF-8 byte-order mark (for spreadsheets)");
  return [args] { return Export(*args); };
}

const Registration kExport({"export",
                            "every card as a text file or as comma-separated values (UTF-8, CR LF)",
                            50, DeclareExport});

}  // namespace

}  // namespace tessel::cli
