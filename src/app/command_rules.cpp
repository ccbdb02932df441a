#include "app/command_rules.h"

namespace tessel {

bool CommandEnabled(CommandId id, const CommandInputs& in) {
  const bool cards = in.cards > 0;
  switch (id) {
    case CommandId::SaveAs:
    case CommandId::Merge:
    case CommandId::ExportText:
    case CommandId::ExportCommaText:
    case CommandId::Delete:
    case CommandId::GoTo:
    case CommandId::Find:
    case CommandId::Tag:
    case CommandId::Labels:
    case CommandId::PrintCard:
    case CommandId::PrintList:
    case CommandId::PrintTagged:
    case CommandId::MailList:
    case CommandId::MailTagged:
    case CommandId::TextColour:
    case CommandId::BackgroundColour:
    case CommandId::Bold:
    case CommandId::Italic:
    case CommandId::Underline:
      return cards;
    case CommandId::MailCard:
      return cards && in.mailAvailable;
    case CommandId::Save:
      return cards && !in.saveBlocked;
    case CommandId::FindNext:
      return cards && !in.searchTextEmpty;
    case CommandId::Undo:
      return cards && in.canUndo;
    case CommandId::Cut:
    case CommandId::Copy:
      return cards && !in.bodySelectionEmpty;
    case CommandId::Paste:
      return cards && in.clipboardHasText;
    case CommandId::Next:
    case CommandId::Previous:
      return in.cards > 1;
    case CommandId::AutoDial:
      // The button lives on the front card, so there is one to dial from.
      return cards && !in.bodySelectionEmpty && !in.dialPending;
    default:
      return true;
  }
}

}  // namespace tessel
