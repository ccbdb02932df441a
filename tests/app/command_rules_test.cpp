// When each command may run: every input gates exactly its own commands, so
// a new input or command cannot switch another one off unnoticed.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/command_rules.h"

namespace tessel {
namespace {

// Inputs under which every command may run.
CommandInputs AllFavourable() {
  return {.cards = 2,
          .saveBlocked = false,
          .mailAvailable = true,
          .searchTextEmpty = false,
          .canUndo = true,
          .bodySelectionEmpty = false,
          .clipboardHasText = true,
          .dialPending = false};
}

std::set<CommandId> Enabled(const CommandInputs& in, bool enabled) {
  std::set<CommandId> ids;
  for (const CommandInfo& c : Commands()) {
    if (CommandEnabled(c.id, in) == enabled) ids.insert(c.id);
  }
  return ids;
}

TEST(CommandRules, EachInputGatesExactlyItsCommands) {
  EXPECT_EQ(Enabled(AllFavourable(), false), std::set<CommandId>{});

  using C = CommandId;
  const std::pair<std::function<void(CommandInputs&)>, std::set<CommandId>> cases[] = {
      {[](CommandInputs& in) { in.cards = 1; }, {C::Next, C::Previous}},
      {[](CommandInputs& in) { in.saveBlocked = true; }, {C::Save}},
      {[](CommandInputs& in) { in.mailAvailable = false; }, {C::MailCard}},
      {[](CommandInputs& in) { in.searchTextEmpty = true; }, {C::FindNext}},
      {[](CommandInputs& in) { in.canUndo = false; }, {C::Undo}},
      {[](CommandInputs& in) { in.bodySelectionEmpty = true; }, {C::Cut, C::Copy, C::AutoDial}},
      {[](CommandInputs& in) { in.clipboardHasText = false; }, {C::Paste}},
      {[](CommandInputs& in) { in.dialPending = true; }, {C::AutoDial}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    CommandInputs in = AllFavourable();
    cases[i].first(in);
    EXPECT_EQ(Enabled(in, false), cases[i].second) << "case " << i;
  }

  // Without cards only what makes or brings cards, and what concerns the
  // program, may run.
  CommandInputs none = AllFavourable();
  none.cards = 0;
  EXPECT_EQ(Enabled(none, true),
            (std::set<CommandId>{C::New, C::Open, C::ImportCardfile, C::Exit, C::Add, C::Options,
                                 C::Restore, C::HelpContents, C::About, C::Sort}));
}

}  // namespace
}  // namespace tessel
