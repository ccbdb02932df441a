// tessel-cli's commands: each file registers its own, so a new command is a
// new file. A command declares its positionals and options on its own
// subcommand; the function that does its work takes the parsed values.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_collection.h"
#include "cards/format_settings.h"
#include "cli/command_line.h"

namespace tessel::cli {

using Args = std::vector<std::string>;

// A command's work once its arguments are parsed. Exit status: 0 done,
// 1 failed (a message on stderr). Wrong usage never gets this far.
using Work = std::function<int()>;

struct Command {
  const char* name;
  const char* description;  // one line in the list of commands
  int order;                // place in that list
  // Declares the command's arguments on its subcommand, bound to the
  // values its work reads, and returns that work.
  Work (*declare)(CLI::App& command);
};

// Registers a command at start-up; use as a namespace-scope object.
struct Registration {
  explicit Registration(const Command& command);
};

// The word that names standard input or output instead of a file.
inline constexpr std::string_view kStandardStream = "-";
// How standard input is named in messages and page headings.
inline constexpr char kStandardInputName[] = "standard input";

// Writes "tessel-cli: " and the message to stderr, and after it the reason
// (the system's word on a failure) unless the message already says it.
void Fail(const std::string& message, const std::string& reason = {});

// The card file (or Cardfile file) a command reads, as the positional `name`;
// "-" reads standard input.
CLI::Option* AddInput(CLI::App& command, const std::string& name, std::string& path);
// A file a command writes, as the positional `name`. "-" writes standard
// output where `standardOutput` allows it and is refused otherwise.
CLI::Option* AddOutput(CLI::App& command, const std::string& name, std::string& path,
                       const std::string& description, bool standardOutput);
// An option that names a file to write (such as -o): its value may not start
// with '-', so that `-o --help` never makes a file called "--help".
CLI::Option* AddOutputOption(CLI::App& command, const std::string& name, std::string& path,
                             const std::string& typeName, const std::string& description);

// --separator C of the commands that read or write comma-separated values:
// "," or "comma", ";" or "semicolon", "tab" (or a tab character).
CLI::Option* AddSeparator(CLI::App& command, std::string& separator, const std::string& description);
// The character a --separator value names (only checked values come here).
char SeparatorChar(const std::string& value);

// Writes bytes to standard output; false after reporting a failure.
bool WriteStandardOutput(std::string_view bytes);

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
// "-" reads standard input whole first. False after reporting on stderr. A
// damaged Cardfile file that still gave cards is loaded with a warning on
// stderr.
bool Load(const std::string& path, Loaded& loaded);

// A vCard file (*.vcf) as the import command reads it: its cards in file
// order, and in `summary` what the user is told after the import (the
// count, a damaged file's warning, the entries skipped). False after
// reporting on stderr when nothing could be imported.
bool ReadVcardSource(const std::string& path, std::vector<CardInfo>& cards, std::string& summary);

// Saves the cards as Save does, or writes them to standard output for "-";
// the exit status, after reporting a failure. A file open in the program is
// left alone (exit 1 naming who has it) unless `force`.
int Save(Loaded& loaded, const std::string& path, bool force);

// --force: write a card file even while the program has it open.
CLI::Option* AddForce(CLI::App& command, bool& force);

// Parses the command line, runs the command it names and ends the process;
// returns only for --help, --version and wrong usage.
int RunTool(int argc, char** argv);

// The words of the command line after the program's name.
const Args& CommandLine();

// The commands that draw into PDF files need Qt, whose libraries took some
// 9 ms to load at every start of the tool. The tool starts without them and
// runs these commands in a helper program, tessel-cli-draw, which holds
// every command; both declare their arguments through the functions here,
// so the tool refuses wrong usage and shows help without the helper.
struct PrintArgs {
  std::string kind;  // card, list or tagged
  std::string file;
  std::string out;
  int resolution = 600;
};
struct LabelsArgs {
  std::string file;
  std::string out;
  std::string product;
  bool indexOnLabel = false;
  int tray = 0;
  bool list = false;
};
inline constexpr const char* kPrintName = "print";
inline constexpr const char* kPrintDescription =
    "print the front card, the list of indexes or the tagged cards to PDF";
inline constexpr int kPrintOrder = 45;
void DeclarePrint(CLI::App& command, PrintArgs& args);
inline constexpr const char* kLabelsName = "labels";
inline constexpr const char* kLabelsDescription =
    "the tagged cards as labels on a label product's sheets in a PDF, or the products";
inline constexpr int kLabelsOrder = 60;
void DeclareLabels(CLI::App& command, LabelsArgs& args);

// A Loaded that lives until the process ends. The tool ends without
// freeing it: the system takes the memory back at once, where freeing a
// million cards one by one would take a third of the run.
Loaded& KeptLoaded();

}  // namespace tessel::cli
