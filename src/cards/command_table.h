// Command identifiers and their string table (status prompt, line feed,
// tooltip). The numbers are fixed: they name the same commands in menus,
// toolbars, keys and settings of every version of the program. They sit in
// the lowest layer because every layer above names commands.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tessel {

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
  NewCardIndex = 59142,
};

// A command as menus, toolbars and keys show it. Every id with an action has
// one entry; the frame and the registry build their QActions from them.
struct CommandInfo {
  CommandId id;
  // Menu or button text: "&" marks the access key, the text after a tab is
  // the key hint a menu shows.
  std::string_view text;
  std::string_view key;   // portable key text ("F2"), empty for none
  std::string_view icon;  // icon name under resources/icons, empty for none
};

// Every command that has an action, in menu order.
std::span<const CommandInfo> Commands();
// The entry of `id`, or nullptr for an id without an action.
const CommandInfo* FindCommand(CommandId id);

// The string resource of an id: the status prompt, then after a line feed the
// tooltip. Empty for an id without a string.
std::string_view CommandString(CommandId id);
// The first line: what the status bar shows while the pointer is on the item.
std::string_view CommandPrompt(CommandId id);
// The second line, empty when the string has none.
std::string_view CommandTooltip(CommandId id);

}  // namespace tessel
