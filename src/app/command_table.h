// The command table: one row per command with everything about it: its id,
// its string (status prompt and tooltip), its menu text, key and icon, and
// every place it shows (a menu, the main toolbar, the card toolbar, the
// format toolbar). The main window builds its menus and toolbars from these
// rows alone, so a command in a new place is an edit of its row.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tessel {

// The numbers are fixed: they name the same commands in menus, toolbars,
// keys and settings of every version of the program.
enum class CommandId : int {
  TextColour = 32776,
  BackgroundColour = 32777,
  Bold = 32779,
  Italic = 32780,
  Underline = 32781,
  FontSize = 32790,
  Font = 32791,
  Exit = 40003,
  Add = 40005,
  Delete = 40006,
  About = 40008,
  EditIndex = 40011,
  GoTo = 40013,
  SaveAs = 40020,
  Restore = 40021,
  HelpContents = 40043,
  PrintCard = 40044,
  PrintList = 40045,
  Next = 40046,
  PrintSetup = 40047,
  MailCard = 40048,
  ImportCardfile = 40050,
  ImportCommaText = 40051,
  SaveCommaText = 40052,
  ExportText = 40053,
  ExportCommaText = 40055,
  PrintTagged = 40056,
  MailList = 40057,
  MailTagged = 40058,
  Tag = 40059,
  Merge = 40071,
  Sort = 40072,
  PrintLabels = 40074,
  AutoDial = 40076,
  Previous = 40077,
  NextCard = 40080,
  Labels = 40091,
  Options = 40092,
  FindNext = 40096,
  ExportVcard = 40097,
  ImportVcard = 40098,
  RevertToBackup = 40101,
  Ready = 57345,
  New = 57600,
  Open = 57601,
  Save = 57603,
  Copy = 57634,
  Cut = 57635,
  Find = 57636,
  Paste = 57637,
  Undo = 57643,
  IndicatorCaps = 59137,
  IndicatorNum = 59138,
  IndicatorOvr = 59140,
  IndicatorCards = 59141,
};

// A command's position in one menu or toolbar, 0 where it does not show.
// Items follow in ascending order; a separator stands between two items
// whose positions differ in the hundreds (103 and 201 have one between them,
// 101 and 102 none).
using Slot = int;

// The group of a slot: a new group starts after a separator.
constexpr int SlotGroup(Slot slot) { return slot / 100; }

struct CommandInfo {
  CommandId id;
  // The string resource: the status prompt, then after a line feed the
  // tooltip. Empty for an id without one.
  std::string_view strings;
  // Menu or button text: "&" marks the access key, the text after a tab is
  // the key hint a menu shows. Empty for an id without an action (a string
  // only, such as the status panes' texts).
  std::string_view text = {};
  std::string_view key = {};   // portable key text ("F2"), empty for none
  std::string_view icon = {};  // icon name under resources/icons, empty for none
  // The menu it shows in, by the path of menu titles ("&File/&Print"), and
  // its slot there; empty for none.
  std::string_view menu = {};
  Slot menuSlot = 0;
  Slot mainBar = 0;
  Slot cardBar = 0;    // after the card toolbar's index field
  Slot formatBar = 0;  // before the format toolbar's face and size boxes

  bool HasAction() const { return !text.empty(); }
};

// A menu of the menu bar, or a submenu: its path and its slot in the menu
// above it (in the menu bar for a top-level menu).
struct MenuInfo {
  std::string_view path;
  Slot slot;
};

// Every row, ids with actions in menu order.
std::span<const CommandInfo> Commands();
// Every menu, parents before their submenus.
std::span<const MenuInfo> Menus();
// The row of `id`, or nullptr for an id without one.
const CommandInfo* FindCommand(CommandId id);
// The title of a menu path: its last part.
std::string_view MenuTitle(std::string_view path);
// The path of the menu a menu sits in; empty for the menu bar.
std::string_view ParentMenu(std::string_view path);

// The string of an id: the status prompt, then after a line feed the
// tooltip. Empty for an id without a string.
std::string_view CommandString(CommandId id);
// The first line: what the status bar shows while the pointer is on the item.
std::string_view CommandPrompt(CommandId id);
// The second line, empty when the string has none.
std::string_view CommandTooltip(CommandId id);

}  // namespace tessel
