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

// Writes "tessel-cli: " and the message to stderr.
void Fail(const std::string& message);

// A file read as the program reads it.
struct Loaded {
  uint32_t version = 0;
  bool hasFormat = false;
  CardCollection cards;
  FormatSettings format;  // the tool's defaults until a file replaces them
};

// Reads a card file; false after reporting on stderr.
bool Load(const std::string& path, Loaded& loaded);

// A Loaded that lives until the process ends. The tool ends without
// freeing it: the system takes the memory back at once, where freeing a
// million cards one by one would take a third of the run.
Loaded& KeptLoaded();

}  // namespace tessel::cli
