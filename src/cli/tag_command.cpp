// tag: chooses the tagged cards of a card file, as the Tag Cards dialog does,
// and saves the file.
#include <memory>
#include <set>

#include "cards/card_file.h"
#include "cards/codepage.h"
#include "cli/cli.h"
#include "output/tag_marks.h"

namespace tessel::cli {

namespace {

struct TagArgs {
  std::string file;
  bool all = false;
  bool none = false;
  std::vector<std::string> only;  // index texts
  bool force = false;
};

int Tag(const TagArgs& args) {
  const std::string& path = args.file;
  const bool only = !args.only.empty();
  Loaded& l = KeptLoaded();
  if (!Load(path, l)) return 1;
  if (l.cardfile) {
    // Saving would put card-file bytes over the Cardfile file.
    Fail("\"" + path + "\" is a Cardfile file; convert it to a card file first");
    return 1;
  }

  TagMarks marks(l.cards);
  if (args.all) {
    marks.TagAll();
  } else {
    marks.UntagAll();
  }
  if (only) {
    std::set<std::string> wanted;
    for (const std::string& index : args.only) wanted.insert(Utf8ToCp1252(index));
    std::set<std::string> found;
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < l.cards.Size(); ++row) {
      if (wanted.count(l.cards.At(row).index)) {
        rows.push_back(row);
        found.insert(l.cards.At(row).index);
      }
    }
    for (const std::string& index : wanted) {
      if (!found.count(index)) {
        Fail("no card has the index text \"" + Cp1252ToUtf8(index) + "\"; \"" + path +
             "\" is unchanged");
        return 1;
      }
    }
    marks.TagRows(rows);
  }
  marks.Apply(l.cards);
  return Save(l, path, args.force);
}

Work DeclareTag(CLI::App& command) {
  auto args = std::make_shared<TagArgs>();
  AddOutput(command, "FILE", args->file, "the card file to change and save", false);
  CLI::Option* all = command.add_flag("--all", args->all, "tag every card");
  CLI::Option* none = command.add_flag("--none", args->none, "tag no card");
  CLI::Option* only = command.add_option("--only", args->only,
                                         "tag exactly the cards with these index texts")
                          ->type_name("INDEX...");
  AddForce(command, args->force);
  all->excludes(none)->excludes(only);
  none->excludes(only);
  command.callback([all, none, only] {
    if (!*all && !*none && !*only) throw CLI::RequiredError("one of --all, --none and --only is needed", CLI::ExitCodes::RequiredError);
  });
  return [args] { return Tag(*args); };
}

const Registration kTag({"tag",
                         "tag every card, none, or exactly the cards with these index texts, "
                         "and save the file",
                         40, DeclareTag});

}  // namespace

}  // namespace tessel::cli
