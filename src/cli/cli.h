// tessel-cli's commands: each file registers its own, so a new command is a
// new file. Arguments are the words after the command's name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cards/card_collection.h"
#include "cards/format_settings.h"

namespace tessel::cli {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;  // "NAME ARGUMENTS  what it does", one or more lines
  int order;          // place in the usage text
  // Exit status: 0 done, 1 failed (a message on stderr), 2 wrong usage.
  int (*run)(const Args& args);
};

// Registers a command at start-up; use as a namespace-scope object.
struct Registration {
  explicit Registration(const Command& command);
};

inline constexpr int kUsageError = 2;

// Writes "tessel-cli: " and the message to stderr, and after it the reason
// (the system's word on a failure) unless the message already says it.
void Fail(const std::string& message, const std::string& reason = {});

// A file read as the program reads it: a card file, or a Cardfile file
// imported.
struct Loaded {
  uint32_t version = 0;   // of a card file
  bool cardfile = false;  // a Cardfile file; it has no version word
  std::string cardfileSignature;  // "MGC" or "RRG", shown in its place
  bool hasFormat = false;
  CardCollection cards;
  FormatSettings format;  // the tool's defaults until a file replaces them
};

// Reads a card file or imports a Cardfile file, recognised by its content;
// false after reporting on stderr. A damaged Cardfile file that still gave
// cards is loaded with a warning on stderr.
bool Load(const std::string& path, Loaded& loaded);

// Saves the cards as Save does; the exit status, after reporting a failure.
int Save(Loaded& loaded, const std::string& path);

// Runs the command named by argv[1] (or --help, --version) and ends the
// process; returns only for a usage error.
int RunTool(int argc, char** argv);

// The commands that draw into PDF files need Qt, whose libraries took some
// 9 ms to load at every start of the tool. The tool starts without them and
// runs these commands in a helper program, tessel-cli-draw, which holds
// every command; both take the names and texts from here.
struct DrawingCommand {
  const char* name;
  const char* usage;
  int order;
};
inline constexpr DrawingCommand kPrintCommand{
    "print",
    "  print (card|list|tagged) FILE -o OUT.pdf [--resolution DPI]\n"
    "                  print the front card, the list of indexes or the tagged cards to PDF\n"
    "                  (A4, or Letter where the locale uses it; 600 dpi unless DPI is given)\n",
    40};
inline constexpr DrawingCommand kLabelsCommand{
    "labels",
    "  labels FILE -o OUT.pdf --product NAME [--index-on-label] [--tray N]\n"
    "                  the tagged cards as labels on the product's sheets (tray 0-3:\n"
    "                  default, automatic sheet feed, manual feed, tractor feed)\n"
    "  labels --list   the label products, family by family\n",
    60};

// A Loaded that lives until the process ends. The tool ends without
// freeing it: the system takes the memory back at once, where freeing a
// million cards one by one would take a third of the run.
Loaded& KeptLoaded();

}  // namespace tessel::cli
