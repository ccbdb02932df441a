// Command ids of the card toolbar, the card list menu and the format toolbar,
// with their status-bar prompts and tooltips.
#pragma once

namespace tessel {

enum StackCommand : int {
  kCmdSort = 40072,
  kCmdPrintCard = 40044,
  kCmdMailCard = 40048,
  kCmdDial = 40076,
  kCmdPrevious = 40077,
  kCmdNext = 40046,
  kCmdIndexField = 40075,
  // The card list menu: item k is kCmdCardListFirst + k; only the first 101
  // items act.
  kCmdCardListFirst = 900,
  kCmdCardListLast = 1000,
  kCmdTextColour = 32776,
  kCmdBackgroundColour = 32777,
  kCmdFontSize = 32790,
  kCmdFontFace = 32791,
};

struct CommandText {
  int id;
  const char* prompt;   // shown in the status bar
  const char* tooltip;
  const char* icon;     // resource path, or nullptr
};

inline constexpr CommandText kCardToolbarCommands[] = {
    {kCmdSort, "Sorts the cards by Index", "Sort Ascending", ":/icons/card-sort.svg"},
    {0, nullptr, nullptr, nullptr},
    {kCmdPrintCard, "Print the front most card", "Print this card", ":/icons/card-print.svg"},
    {kCmdMailCard, "Email the front card", "Email this card", ":/icons/card-mail.svg"},
    {kCmdDial, "Auto Dials the selected phone number", "Auto dial", ":/icons/card-dial.svg"},
    {0, nullptr, nullptr, nullptr},
    {kCmdPrevious, "Moves to the previous card", "Previous  F9", ":/icons/card-previous.svg"},
    {kCmdNext, "Moves to the next card", "Next  F8", ":/icons/card-next.svg"},
};

// The Background Color button has no string of its own: no prompt, no tooltip.
inline constexpr CommandText kTextColourCommand = {kCmdTextColour, "Changes the Text Color",
                                                   "Text Color", ":/icons/text-colour.svg"};
inline constexpr CommandText kBackgroundColourCommand = {kCmdBackgroundColour, nullptr, nullptr,
                                                         ":/icons/background-colour.svg"};
inline constexpr CommandText kFontFaceCommand = {kCmdFontFace, "Change the text font", "Font",
                                                 nullptr};
inline constexpr CommandText kFontSizeCommand = {kCmdFontSize, "Change the font size",
                                                 "Font Size", nullptr};

}  // namespace tessel
