// The rules that say when each command may run: one place for all of them,
// asked by the menus, the toolbars, the keys and every handler.
#pragma once

#include <cstddef>

#include "cards/command_table.h"

namespace tessel {

// Everything the rules read. The values of editors and the clipboard come
// from the ui; the rest is document and frame state.
struct CommandInputs {
  std::size_t cards = 0;
  bool saveBlocked = false;
  bool mailAvailable = false;
  bool searchTextEmpty = true;
  bool canUndo = false;
  bool bodySelectionEmpty = true;
  bool clipboardHasText = false;
  bool dialPending = false;
};

// Whether the command may run now. Commands without a rule are always enabled.
bool CommandEnabled(CommandId id, const CommandInputs& in);

}  // namespace tessel
