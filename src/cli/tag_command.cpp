// tag: chooses the tagged cards of a card file, as the Tag Cards dialog does,
// and saves the file.
#include <set>

#include "cards/card_file.h"
#include "cards/codepage.h"
#include "cli/cli.h"
#include "output/tag_marks.h"

namespace tessel::cli {

namespace {

int Tag(const Args& args) {
  if (args.size() < 2) return kUsageError;
  const std::string& path = args[0];
  const std::string& mode = args[1];
  const bool only = mode == "--only";
  if (only ? args.size() < 3 : (args.size() != 2 || (mode != "--all" && mode != "--none"))) {
    return kUsageError;
  }
  Loaded& l = KeptLoaded();
  if (!Load(path, l)) return 1;
  if (l.cardfile) {
    // Saving would put card-file bytes over the Cardfile file.
    Fail("\"" + path + "\" is a Cardfile file; convert it to a card file first");
    return 1;
  }

  TagMarks marks(l.cards);
  if (mode == "--all") {
    marks.TagAll();
  } else {
    marks.UntagAll();
  }
  if (only) {
    std::set<std::string> wanted;
    for (std::size_t i = 2; i < args.size(); ++i) wanted.insert(Utf8ToCp1252(args[i]));
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
  return Save(l, path);
}

const Registration kTag({"tag",
                         "  tag FILE --all | --none | --only INDEX...\n"
                         "                  tag every card, none, or exactly the cards with these\n"
                         "                  index texts, and save the file\n",
                         40, Tag});

}  // namespace

}  // namespace tessel::cli
