#include "app/command_table.h"

namespace tessel {

namespace {

constexpr std::string_view kFile = "&File";
constexpr std::string_view kImport = "&File/&Import";
constexpr std::string_view kExport = "&File/Export";
constexpr std::string_view kPrint = "&File/&Print";
constexpr std::string_view kSend = "&File/Sen&d";
constexpr std::string_view kEdit = "&Edit";
constexpr std::string_view kCard = "&Card";
constexpr std::string_view kTools = "&Tools";
constexpr std::string_view kWindow = "&Window";
constexpr std::string_view kHelp = "&Help";

constexpr MenuInfo kMenus[] = {
    {kFile, 1},   {kImport, 201}, {kExport, 202}, {kPrint, 301},  {kSend, 401},
    {kEdit, 2},   {kCard, 3},     {kTools, 4},    {kWindow, 5},   {kHelp, 6},
};

// The texts are the program's own and are shown unchanged. F2 runs New, as
// the hint beside New promises. Columns: id, string, menu text, key, icon,
// menu and slot, main toolbar, card toolbar, format toolbar.
constexpr CommandInfo kCommands[] = {
    {CommandId::New, "Create a new document\nNew  F2", "&New\tF2", "F2", "file-new", kFile, 101,
     101},
    {CommandId::Open, "Open an existing document\nOpen", "&Open...", "", "file-open", kFile, 102,
     102},
    {CommandId::Save, "Save the current document\nSave  F3", "&Save\tF3", "F3", "file-save", kFile,
     103, 103},
    {CommandId::SaveAs, "Save the active document in a different file", "Save &As...", "", "",
     kFile, 104},
    {CommandId::Merge, "Merge two .TSL files together\nMerge", "&Merge...", "", "file-merge", kFile,
     105, 201},
    {CommandId::RevertToBackup,
     "Open the newest backup of this file as a new, untitled document\nRevert to Backup",
     "Re&vert to Backup...", "", "", kFile, 106},
    {CommandId::ImportCardfile, "Open a Cardfile file", "Cardfile...", "", "", kImport, 101},
    {CommandId::ImportCommaText, "Open a comma delimited text file", "Comma Delimited Text...", "",
     "", kImport, 102},
    {CommandId::ImportVcard, "Add the cards of an address book's vCard file", "vCard...", "", "",
     kImport, 103},
    {CommandId::ExportText, "Exports a ASCII text file", "Text file...", "", "", kExport, 101},
    {CommandId::ExportCommaText, "Exports a file compatible with most Database programs",
     "Comma Delimited Text...", "", "", kExport, 102},
    {CommandId::ExportVcard, "Exports the tagged or all cards as vCards for address books",
     "vCard...", "", "", kExport, 103},
    {CommandId::PrintCard, "Print the front most card\nPrint this card", "&Card...", "",
     "card-print", kPrint, 101, 0, 201},
    {CommandId::PrintList, "Print a list of all indexes", "&List...", "", "", kPrint, 102},
    {CommandId::PrintTagged, "Print tagged cards", "Tag...", "", "", kPrint, 103},
    {CommandId::MailCard, "Email the front card\nEmail this card", "&Card...", "", "card-mail",
     kSend, 101, 0, 202},
    {CommandId::MailList, "Email a list of all indexes", "&List...", "", "", kSend, 102},
    {CommandId::MailTagged, "Email tagged cards", "Tag...", "", "", kSend, 103},
    {CommandId::Exit, "Exit the application ", "E&xit", "", "", kFile, 501},
    {CommandId::Undo, "Undo the last keystroke\nUndo", "&Undo\t", "", "edit-undo", kEdit, 101, 304},
    {CommandId::Cut, "Cut the selected text to the clipboard\nCut  Shift+Del", "Cu&t\tShift+Del",
     "", "edit-cut", kEdit, 201, 301},
    {CommandId::Copy, "Copy the selected text to the clipboard\nCopy  Ctrl+Ins",
     "&Copy\tCtrl+Ins", "", "edit-copy", kEdit, 202, 302},
    {CommandId::Paste, "Paste the clipboard text into card\nPaste  Shift+Ins", "&Paste\tShift+Ins",
     "", "edit-paste", kEdit, 203, 303},
    {CommandId::GoTo, "Bring a specific card to the front\nGo to  F5", "&Go To...\tF5", "F5",
     "go-to", kEdit, 301, 403},
    {CommandId::Find, "Find all occurences of specified text\nFind  F4", "&Find...\tF4", "F4",
     "edit-find", kEdit, 302, 401},
    {CommandId::FindNext, "Finds the next word match.\nFind Next F6", "Find Next\tF6", "F6",
     "edit-find-next", kEdit, 303, 402},
    {CommandId::Add, "Add a new card\nAdd new card F7", "&Add...\tF7", "F7", "card-add", kCard, 101,
     501},
    {CommandId::Delete, "Delete the front card\nDelete card", "&Delete...", "", "card-delete",
     kCard, 201, 502},
    {CommandId::Tag, "Select multiple cards to print or email\nTag cards", "&Tag...", "",
     "card-tag", kCard, 301, 503},
    {CommandId::Next, "Moves to the next card\nNext  F8", "&Next\tF8", "F8", "card-next", kCard,
     401, 0, 302},
    {CommandId::Previous, "Moves to the previous card\nPrevious  F9", "&Previous\tF9", "F9",
     "card-previous", kCard, 402, 0, 301},
    {CommandId::Labels,
     "Print the tagged cards as labels (requires the gLabels label templates)\n"
     "Labels (requires package glabels-data)",
     "&Labels...", "", "", kTools, 101},
    {CommandId::Options, "Set options for Tessel\nOptions", "&Options...", "", "", kTools, 102},
    {CommandId::Restore, "Restore the main window to the start up position", "&Restore", "", "",
     kWindow, 101},
    {CommandId::HelpContents, "Engage Help Contents\nHelp  F1", "Contents...\tF1", "F1",
     "help-contents", kHelp, 101, 601},
    {CommandId::About, "Display program information, version number and copyright\nAbout",
     "&About", "", "", kHelp, 201},
    {CommandId::Sort, "Sorts the cards by Index\nSort Ascending", "Sort", "", "card-sort", {}, 0, 0,
     101},
    {CommandId::AutoDial, "Auto Dials the selected phone number\nAuto dial", "Auto dial", "",
     "card-dial", {}, 0, 0, 203},
    {CommandId::TextColour, "Changes the Text Color\nText Color", "Text Color", "", "text-colour",
     {}, 0, 0, 0, 101},
    {CommandId::BackgroundColour, "Changes the Background Color\nBackground Color",
     "Background Color", "", "background-colour", {}, 0, 0, 0, 201},
    // Strings without an action: the format toolbar's boxes, the status
    // panes and commands that have a rule but no menu item yet.
    {CommandId::Font, "Change the text font\nFont"},
    {CommandId::FontSize, "Change the font size\nFont Size"},
    {CommandId::Bold, "Bold text block\nBold"},
    {CommandId::Italic, "Italic text block\nItalic"},
    {CommandId::Underline, "Underline text block\nUnderline"},
    {CommandId::EditIndex, "Edit the Index header of the front card"},
    {CommandId::PrintSetup, "Setup printing configuration"},
    {CommandId::SaveCommaText, "Save document as a comma delimited text file."},
    {CommandId::PrintLabels, "Prints the tagged cards as labels\nPrint Labels "},
    {CommandId::NextCard, "Moves to the next card"},
    {CommandId::Ready, "Ready"},
    {CommandId::IndicatorCaps, "CAPS"},
    {CommandId::IndicatorNum, "NUM"},
    {CommandId::IndicatorOvr, "OVR"},
    {CommandId::IndicatorCards, "999 Cards"},
};

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

std::span<const MenuInfo> Menus() { return kMenus; }

const CommandInfo* FindCommand(CommandId id) {
  for (const CommandInfo& c : kCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

std::string_view MenuTitle(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view ParentMenu(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

std::string_view CommandString(CommandId id) {
  const CommandInfo* c = FindCommand(id);
  return c ? c->strings : std::string_view{};
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
