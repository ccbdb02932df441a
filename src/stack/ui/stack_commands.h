// The card toolbar's commands in their order, the ids of the card list menu,
// and the prompts of the format toolbar's boxes.
#pragma once

#include <QString>
#include <string_view>

#include "cards/command_table.h"
#include "services/ui/text.h"

namespace tessel {

// The card toolbar after its index field; Ready stands for a separator.
inline constexpr CommandId kCardToolbarCommands[] = {
    CommandId::Sort,     CommandId::Ready,    CommandId::PrintCard, CommandId::MailCard,
    CommandId::AutoDial, CommandId::Ready,    CommandId::Previous,  CommandId::Next,
};

inline constexpr int kCmdIndexField = 40075;
// The card list menu: item k is kCmdCardListFirst + k; only the first 101
// items act.
inline constexpr int kCmdCardListFirst = 900;
inline constexpr int kCmdCardListLast = 1000;

// A toolbar box's status prompt and tooltip from the string table.
inline QString PromptOf(CommandId id) { return ToQString(CommandPrompt(id)); }
inline QString TooltipOf(CommandId id) { return ToQString(CommandTooltip(id)); }

}  // namespace tessel
