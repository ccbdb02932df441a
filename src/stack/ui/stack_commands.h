// Command ids of the card toolbar, the card list menu and the format toolbar.
#pragma once

#include <QString>
#include <string_view>

#include "cards/command_table.h"

namespace tessel {

// The card windows' commands by number, for QAction data and the card list
// menu; their texts come from the one string table of the command ids.
enum StackCommand : int {
  kCmdSort = static_cast<int>(CommandId::Sort),
  kCmdPrintCard = static_cast<int>(CommandId::PrintCard),
  kCmdMailCard = static_cast<int>(CommandId::MailCard),
  kCmdDial = static_cast<int>(CommandId::AutoDial),
  kCmdPrevious = static_cast<int>(CommandId::Previous),
  kCmdNext = static_cast<int>(CommandId::Next),
  kCmdIndexField = 40075,
  // The card list menu: item k is kCmdCardListFirst + k; only the first 101
  // items act.
  kCmdCardListFirst = 900,
  kCmdCardListLast = 1000,
  kCmdTextColour = static_cast<int>(CommandId::TextColour),
  kCmdBackgroundColour = static_cast<int>(CommandId::BackgroundColour),
  kCmdFontSize = static_cast<int>(CommandId::FontSize),
  kCmdFontFace = static_cast<int>(CommandId::Font),
};

struct ToolButton {
  int id;            // 0 for a separator
  const char* icon;  // name under resources/icons, or nullptr
};

inline constexpr ToolButton kCardToolbarButtons[] = {
    {kCmdSort, "card-sort"},  {0, nullptr},         {kCmdPrintCard, "card-print"},
    {kCmdMailCard, "card-mail"}, {kCmdDial, "card-dial"}, {0, nullptr},
    {kCmdPrevious, "card-previous"}, {kCmdNext, "card-next"},
};

inline constexpr ToolButton kTextColourButton = {kCmdTextColour, "text-colour"};
inline constexpr ToolButton kBackgroundColourButton = {kCmdBackgroundColour, "background-colour"};
inline constexpr ToolButton kFontFaceBox = {kCmdFontFace, nullptr};
inline constexpr ToolButton kFontSizeBox = {kCmdFontSize, nullptr};

// Gives a toolbar action or box its status prompt and tooltip.
inline QString PromptOf(int id) {
  const std::string_view s = CommandPrompt(static_cast<CommandId>(id));
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline QString TooltipOf(int id) {
  const std::string_view s = CommandTooltip(static_cast<CommandId>(id));
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace tessel
