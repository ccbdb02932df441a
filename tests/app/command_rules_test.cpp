// When each command may run, and the command table's strings and places,
// without a window: every input gates exactly its own commands, so a new
// input or command cannot switch another one off unnoticed.
#include "app/command_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace tessel {
namespace {

// Inputs under which every command may run.
CommandInputs AllFavourable() {
  CommandInputs in;
  in.Set(Input::Cards, 2);
  for (Input i : {Input::MailAvailable, Input::SearchText, Input::CanUndo, Input::BodySelection,
                  Input::ClipboardText, Input::Titled}) {
    in.Set(i, true);
  }
  return in;
}

std::set<CommandId> Enabled(const CommandInputs& in, bool enabled) {
  std::set<CommandId> ids;
  for (const CommandInfo& c : Commands()) {
    if (c.HasAction() && CommandEnabled(c.id, in) == enabled) ids.insert(c.id);
  }
  return ids;
}

TEST(CommandRules, EachInputGatesExactlyItsCommands) {
  EXPECT_EQ(Enabled(AllFavourable(), false), std::set<CommandId>{});

  using C = CommandId;
  const std::pair<std::pair<Input, std::size_t>, std::set<CommandId>> cases[] = {
      {{Input::Cards, 1}, {C::Next, C::Previous}},
      {{Input::SaveBlocked, true}, {C::Save}},
      {{Input::Titled, false}, {C::RevertToBackup}},
      {{Input::ReadOnly, true}, {C::Save}},
      {{Input::MailAvailable, false}, {C::MailCard}},
      {{Input::SearchText, false}, {C::FindNext}},
      {{Input::CanUndo, false}, {C::Undo}},
      {{Input::BodySelection, false}, {C::Cut, C::Copy, C::AutoDial}},
      {{Input::ClipboardText, false}, {C::Paste}},
      {{Input::DialPending, true}, {C::AutoDial}},
  };
  for (const auto& [input, off] : cases) {
    CommandInputs in = AllFavourable();
    in.Set(input.first, input.second);
    EXPECT_EQ(Enabled(in, false), off) << "input " << static_cast<std::size_t>(input.first);
  }

  // Without cards only what makes or brings cards, and what concerns the
  // program, may run.
  CommandInputs none = AllFavourable();
  none.Set(Input::Cards, 0);
  EXPECT_EQ(Enabled(none, true),
            (std::set<CommandId>{C::New, C::Open, C::ImportCardfile, C::ImportCommaText,
                                 C::ImportVcard, C::Exit, C::Add, C::Options, C::Restore,
                                 C::HelpContents, C::About, C::Sort, C::RevertToBackup}));
}

TEST(CommandStrings, PromptAndTooltipSplitAtTheLineFeed) {
  EXPECT_EQ(CommandPrompt(CommandId::New), "Create a new document");
  EXPECT_EQ(CommandTooltip(CommandId::New), "New  F2");
  EXPECT_EQ(CommandPrompt(CommandId::Exit), "Exit the application ");
  EXPECT_EQ(CommandTooltip(CommandId::Exit), "");
  EXPECT_EQ(CommandString(static_cast<CommandId>(40010)), "");
}

TEST(CommandTable, EveryPlaceIsAListedMenuAndNoTwoItemsShareASlot) {
  std::set<std::string_view> menus = {""};
  std::map<std::string, std::set<Slot>> taken;  // by menu or toolbar
  const auto take = [&](std::string place, Slot slot) {
    if (slot > 0) {
      EXPECT_TRUE(taken[place].insert(slot).second) << place << " " << slot;
    }
  };
  for (const MenuInfo& m : Menus()) {
    EXPECT_TRUE(menus.count(ParentMenu(m.path))) << m.path;  // parents come first
    menus.insert(m.path);
    take(std::string(ParentMenu(m.path)), m.slot);
  }
  for (const CommandInfo& c : Commands()) {
    EXPECT_EQ(FindCommand(c.id), &c);  // one row per id
    if (!c.menu.empty()) {
      EXPECT_TRUE(menus.count(c.menu)) << c.menu;
    }
    EXPECT_EQ(c.menu.empty(), c.menuSlot == 0) << static_cast<int>(c.id);
    if (!c.HasAction()) {
      EXPECT_EQ(c.menuSlot + c.mainBar + c.cardBar + c.formatBar, 0);
    }
    take(std::string(c.menu), c.menuSlot);
    take("main", c.mainBar);
    take("card", c.cardBar);
    take("format", c.formatBar);
  }
}

}  // namespace
}  // namespace tessel
