// The command rules and the command table's strings, without a window.
#include "app/command_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace tessel {
namespace {

TEST(CommandRules, EachInputGatesOnlyItsCommands) {
  CommandInputs in;
  in.Set(Input::Cards, 1);
  EXPECT_FALSE(CommandEnabled(CommandId::MailCard, in));
  EXPECT_TRUE(CommandEnabled(CommandId::MailList, in));
  EXPECT_FALSE(CommandEnabled(CommandId::FindNext, in));
  EXPECT_FALSE(CommandEnabled(CommandId::Undo, in));
  EXPECT_FALSE(CommandEnabled(CommandId::Cut, in));
  EXPECT_FALSE(CommandEnabled(CommandId::Copy, in));
  EXPECT_FALSE(CommandEnabled(CommandId::Paste, in));
  EXPECT_FALSE(CommandEnabled(CommandId::AutoDial, in));

  for (Input i : {Input::MailAvailable, Input::SearchText, Input::CanUndo, Input::BodySelection,
                  Input::ClipboardText}) {
    in.Set(i, true);
  }
  for (CommandId id : {CommandId::MailCard, CommandId::FindNext, CommandId::Undo, CommandId::Cut,
                       CommandId::Copy, CommandId::Paste, CommandId::AutoDial}) {
    EXPECT_TRUE(CommandEnabled(id, in)) << static_cast<int>(id);
    in.Set(Input::Cards, 0);
    EXPECT_FALSE(CommandEnabled(id, in)) << static_cast<int>(id);
    in.Set(Input::Cards, 1);
  }
  in.Set(Input::DialPending, true);
  EXPECT_FALSE(CommandEnabled(CommandId::AutoDial, in));
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
