// export: the cards as a text file or as comma-separated values, written as
// File > Export writes them.
#include "cli/cli.h"
#include "output/export.h"

namespace tessel::cli {

namespace {

int Export(const Args& args) {
  if (args.size() != 3 || (args[0] != "text" && args[0] != "csv")) return kUsageError;
  Loaded l;
  if (!Load(args[1], l)) return 1;
  const ExportKind kind = args[0] == "text" ? ExportKind::Text : ExportKind::Csv;
  const FileResult written = ExportCards(kind, l.cards.Cards(), args[2]);
  if (!written) Fail(written.message, written.detail);
  return written ? 0 : 1;
}

const Registration kExport(
    {"export",
     "  export (text|csv) FILE OUT\n"
     "                  every card as a text file or as comma-separated values (UTF-8, CR LF)\n",
     50, Export});

}  // namespace

}  // namespace tessel::cli
