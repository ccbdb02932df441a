#include "app/command_rules.h"

namespace tessel {

bool CommandEnabled(CommandId id, const CommandInputs& in) {
  const bool cards = in[Input::Cards] > 0;
  switch (id) {
    case CommandId::SaveAs:
    case CommandId::Merge:
    case CommandId::ExportText:
    case CommandId::ExportCommaText:
    case CommandId::ExportVcard:
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
      return cards && in[Input::MailAvailable];
    case CommandId::Save:
      return cards && !in[Input::SaveBlocked] && !in[Input::ReadOnly];
    case CommandId::RevertToBackup:
      // Only a file that has been saved over has a backup.
      return in[Input::Titled];
    case CommandId::FindNext:
      return cards && in[Input::SearchText];
    case CommandId::Undo:
      return cards && in[Input::CanUndo];
    case CommandId::Cut:
    case CommandId::Copy:
      return cards && in[Input::BodySelection];
    case CommandId::Paste:
      return cards && in[Input::ClipboardText];
    case CommandId::Next:
    case CommandId::Previous:
      return in[Input::Cards] > 1;
    case CommandId::ImportCardfile:
    case CommandId::ImportCommaText:
      return true;  // an import may start a document or add to one
    case CommandId::AutoDial:
      // The button lives on the front card, so there is one to dial from.
      return cards && in[Input::BodySelection] && !in[Input::DialPending];
    case CommandId::ImportVcard:
      return true;  // adds to whatever is open, an empty document too
    default:
      return true;
  }
}

}  // namespace tessel
