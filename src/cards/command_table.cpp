#include "cards/command_table.h"

namespace tessel {

namespace {

struct StringEntry {
  CommandId id;
  std::string_view text;
};

// One entry per id; the texts are the program's own and are shown unchanged.
constexpr StringEntry kStrings[] = {
    {CommandId::TextColour, "Changes the Text Color\nText Color"},
    {CommandId::BackgroundColour, "Changes the Background Color\nBackground Color"},
    {CommandId::Bold, "Bold text block\nBold"},
    {CommandId::Italic, "Italic text block\nItalic"},
    {CommandId::Underline, "Underline text block\nUnderline"},
    {CommandId::FontSize, "Change the font size\nFont Size"},
    {CommandId::Font, "Change the text font\nFont"},
    {CommandId::Exit, "Exit the application "},
    {CommandId::About, "Display program information, version number and copyright\nAbout"},
    {CommandId::Add, "Add a new card\nAdd new card F7"},
    {CommandId::Delete, "Delete the front card\nDelete card"},
    {CommandId::EditIndex, "Edit the Index header of the front card"},
    {CommandId::GoTo, "Bring a specific card to the front\nGo to  F5"},
    {CommandId::SaveAs, "Save the active document in a different file"},
    {CommandId::Restore, "Restore the main window to the start up position"},
    {CommandId::HelpContents, "Engage Help Contents\nHelp  F1"},
    {CommandId::PrintCard, "Print the front most card\nPrint this card"},
    {CommandId::PrintList, "Print a list of all indexes"},
    {CommandId::Next, "Moves to the next card\nNext  F8"},
    {CommandId::PrintSetup, "Setup printing configuration"},
    {CommandId::MailCard, "Email the front card\nEmail this card"},
    {CommandId::ImportCardfile, "Open a Cardfile file"},
    {CommandId::ImportCommaText, "Open a comma delimited text file"},
    {CommandId::SaveCommaText, "Save document as a comma delimited text file."},
    {CommandId::ExportText, "Exports a ASCII text file"},
    {CommandId::ExportCommaText, "Exports a file compatible with most Database programs"},
    {CommandId::PrintTagged, "Print tagged cards"},
    {CommandId::MailList, "Email a list of all indexes"},
    {CommandId::MailTagged, "Email tagged cards"},
    {CommandId::Tag, "Select multiple cards to print or email\nTag cards"},
    {CommandId::Merge, "Merge two .TSL files together\nMerge"},
    {CommandId::Sort, "Sorts the cards by Index\nSort Ascending"},
    {CommandId::PrintLabels, "Prints the tagged cards as labels\nPrint Labels "},
    {CommandId::AutoDial, "Auto Dials the selected phone number\nAuto dial"},
    {CommandId::Previous, "Moves to the previous card\nPrevious  F9"},
    {CommandId::NextCard, "Moves to the next card"},
    {CommandId::Labels,
     "Print cards as  labels (requires Word 97 or better)\nLabels (requires Word 97 or better)"},
    {CommandId::Options, "Set options for Tessel\nOptions"},
    {CommandId::FindNext, "Finds the next word match.\nFind Next F6"},
    {CommandId::Ready, "Ready"},
    {CommandId::New, "Create a new document\nNew  F2"},
    {CommandId::Open, "Open an existing document\nOpen"},
    {CommandId::Save, "Save the current document\nSave  F3"},
    {CommandId::Copy, "Copy the selected text to the clipboard\nCopy  Ctrl+Ins"},
    {CommandId::Cut, "Cut the selected text to the clipboard\nCut  Shift+Del"},
    {CommandId::Find, "Find all occurences of specified text\nFind  F4"},
    {CommandId::Paste, "Paste the clipboard text into card\nPaste  Shift+Ins"},
    {CommandId::Undo, "Undo the last keystroke\nUndo"},
    {CommandId::IndicatorCaps, "CAPS"},
    {CommandId::IndicatorNum, "NUM"},
    {CommandId::IndicatorOvr, "OVR"},
    {CommandId::IndicatorCards, "999 Cards"},
    {CommandId::NewCardIndex, "Type Index Text Here"},
};

// Menu texts, keys and icons. F2 runs New, as the hint beside New promises.
constexpr CommandInfo kCommands[] = {
    {CommandId::New, "&New\tF2", "F2", "file-new"},
    {CommandId::Open, "&Open...", "", "file-open"},
    {CommandId::Save, "&Save\tF3", "F3", "file-save"},
    {CommandId::SaveAs, "Save &As...", "", ""},
    {CommandId::Merge, "&Merge...", "", "file-merge"},
    {CommandId::ImportCardfile, "Cardfile...", "", ""},
    {CommandId::ExportText, "Text file...", "", ""},
    {CommandId::ExportCommaText, "Comma Delimited Text...", "", ""},
    {CommandId::PrintCard, "&Card...", "", "card-print"},
    {CommandId::PrintList, "&List...", "", ""},
    {CommandId::PrintTagged, "Tag...", "", ""},
    {CommandId::MailCard, "&Card...", "", "card-mail"},
    {CommandId::MailList, "&List...", "", ""},
    {CommandId::MailTagged, "Tag...", "", ""},
    {CommandId::Exit, "E&xit", "", ""},
    {CommandId::Undo, "&Undo\t", "", "edit-undo"},
    {CommandId::Cut, "Cu&t\tShift+Del", "", "edit-cut"},
    {CommandId::Copy, "&Copy\tCtrl+Ins", "", "edit-copy"},
    {CommandId::Paste, "&Paste\tShift+Ins", "", "edit-paste"},
    {CommandId::GoTo, "&Go To...\tF5", "F5", "go-to"},
    {CommandId::Find, "&Find...\tF4", "F4", "edit-find"},
    {CommandId::FindNext, "Find Next\tF6", "F6", "edit-find-next"},
    {CommandId::Add, "&Add...\tF7", "F7", "card-add"},
    {CommandId::Delete, "&Delete...", "", "card-delete"},
    {CommandId::Tag, "&Tag...", "", "card-tag"},
    {CommandId::Next, "&Next\tF8", "F8", "card-next"},
    {CommandId::Previous, "&Previous\tF9", "F9", "card-previous"},
    {CommandId::Labels, "&Labels...", "", ""},
    {CommandId::Options, "&Options...", "", ""},
    {CommandId::Restore, "&Restore", "", ""},
    {CommandId::HelpContents, "Contents...\tF1", "F1", "help-contents"},
    {CommandId::About, "&About", "", ""},
    // In no menu: the card toolbar and the format toolbar show them.
    {CommandId::Sort, "Sort", "", "card-sort"},
    {CommandId::AutoDial, "Auto dial", "", "card-dial"},
    {CommandId::TextColour, "Text Color", "", "text-colour"},
    {CommandId::BackgroundColour, "Background Color", "", "background-colour"},
};

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

const CommandInfo* FindCommand(CommandId id) {
  for (const CommandInfo& c : kCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

std::string_view CommandString(CommandId id) {
  for (const StringEntry& e : kStrings) {
    if (e.id == id) return e.text;
  }
  return {};
}

std::string_view CommandPrompt(CommandId id) {
  const std::string_view s = CommandString(id);
  return s.substr(0, s.find('\n'));
}

std::string_view CommandTooltip(CommandId id) {
  const std::string_view s = CommandString(id);
  const std::size_t lf = s.find('\n');
  return lf == std::string_view::npos ? std::string_view{} : s.substr(lf + 1);
}

}  // namespace tessel
