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
};

int Export(const ExportArgs& args) {
  Loaded l;
  if (!Load(args.file, l)) return 1;
  const ExportKind kind = args.kind == "text" ? ExportKind::Text : ExportKind::Csv;
  if (args.out == kStandardStream) {
    const std::string bytes = kind == ExportKind::Text ? ExportTextBytes(l.cards.Cards())
                                                       : ExportCsvBytes(l.cards.Cards());
    return WriteStandardOutput(bytes) ? 0 : 1;
  }
  const FileResult written = ExportCards(kind, l.cards.Cards(), args.out);
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
  return [args] { return Export(*args); };
}

const Registration kExport({"export",
                            "every card as a text file or as comma-separated values (UTF-8, CR LF)",
                            50, DeclareExport});

}  // namespace

}  // namespace tessel::cli
