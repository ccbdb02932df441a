// The rules that say when each command may run: one place for all of them,
// asked by the menus, the toolbars, the keys and every handler.
#pragma once

#include <array>
#include <cstddef>

#include "app/command_table.h"

namespace tessel {

// The facts the rules read. The controller whose state a fact is supplies
// it to the command registry (CommandRegistry::Provide), so a rule that reads
// something new adds its fact here and its source in that controller.
enum class Input : std::size_t {
  Cards,          // entries of the card stack
  SaveBlocked,    // Save may not write over the document's path
  Titled,         // the document names a file
  ReadOnly,       // another editor holds the document's file
  MailAvailable,  // a mail program is there to hand mails to
  SearchText,     // there is a search text for Find Next
  CanUndo,        // the front body can undo
  BodySelection,  // the front body has selected text
  ClipboardText,  // the clipboard holds text
  DialPending,    // a dial's port is open until it hangs up
  Count
};

// One value per fact; a fact nobody supplied reads as 0 (false).
class CommandInputs {
 public:
  std::size_t operator[](Input in) const { return values_[static_cast<std::size_t>(in)]; }
  CommandInputs& Set(Input in, std::size_t value) {
    values_[static_cast<std::size_t>(in)] = value;
    return *this;
  }

 private:
  std::array<std::size_t, static_cast<std::size_t>(Input::Count)> values_{};
};

// Whether the command may run now. Commands without a rule are always enabled.
bool CommandEnabled(CommandId id, const CommandInputs& in);

}  // namespace tessel
