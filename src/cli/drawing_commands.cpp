// The arguments of print and labels, which draw with Qt: the tool declares
// them to check the command line and show help without Qt, its drawing
// helper to run them.
#include <string>

#include "cli/cli.h"
#include "services/label_run.h"

namespace tessel::cli {

void DeclarePrint(CLI::App& command, PrintArgs& args) {
  command.add_option("KIND", args.kind, "card (the front card), list (the indexes) or tagged")
      ->required()
      ->check(CLI::IsMember({"card", "list", "tagged"}));
  AddInput(command, "FILE", args.file);
  AddOutputOption(command, "-o", args.out, "OUT.pdf", "the PDF file to write (needed)")
      ->required();
  command
      .add_option("--resolution", args.resolution,
                  "dots per inch, a whole number from 72 to 2400 (600); the page is A4, or "
                  "Letter where the locale uses it")
      ->type_name("DPI")
      ->check(CLI::Range(72, 2400));
}

void DeclareLabels(CLI::App& command, LabelsArgs& args) {
  CLI::Option* file = AddInput(command, "FILE", args.file)->required(false);
  CLI::Option* out =
      AddOutputOption(command, "-o", args.out, "OUT.pdf", "the PDF file to write (needed)");
  CLI::Option* product = command.add_option("--product", args.product,
                                            "the label product, as labels --list names it (needed)")
                             ->type_name("NAME");
  CLI::Option* index = command.add_flag("--index-on-label", args.indexOnLabel,
                                        "print each card's index text on its label too");
  CLI::Option* tray =
      command
          .add_option("--tray", args.tray,
                      "0 default, 1 automatic sheet feed, 2 manual feed, 3 tractor feed (0)")
          ->type_name("N")
          ->check(CLI::Range(kTrayDefault, kTrayTractorFeed));
  CLI::Option* list = command.add_flag("--list", args.list, "list the label products, family by family");
  for (CLI::Option* o : {file, out, product, index, tray}) list->excludes(o);
  command.callback([list, file, out, product] {
    if (!*list && (!*file || !*out || !*product)) {
      throw CLI::RequiredError("FILE, -o and --product are needed unless --list is given",
                               CLI::ExitCodes::RequiredError);
    }
  });
}

}  // namespace tessel::cli
