// The document commands of the File menu (New, Open, Save, Save As, Merge)
// and the close procedure: what they decide and in which order. Everything
// the user sees or answers goes through DocumentUi, so the rules run and are
// tested without a window.
#pragma once

#include <optional>
#include <string>

#include "cards/settings_store.h"
#include "cards/card_collection.h"
#include "cards/card_file.h"
#include "cards/format_settings.h"
#include "cards/vcard_file.h"

namespace tessel {

enum class SaveAnswer { Yes, No, Cancel };

class DocumentUi {
 public:
  virtual ~DocumentUi() = default;
  // A failed read or save, in the program's error box; `reason` (the
  // system's, may be empty) goes beneath the text.
  virtual void ShowError(const std::string& text, const std::string& reason) = 0;
  // The program's plain message box: the exclamation icon and the
  // program's name as caption (a Cardfile file's failure or damage).
  virtual void ShowMessage(const std::string& text, const std::string& reason) = 0;
  // "Save Changes ?" with Yes, No and Cancel.
  virtual SaveAnswer AskSaveChanges() = 0;
  // The file dialogs; nullopt when the user cancels. `folder` is the initial
  // folder (nullopt: let the dialog choose).
  virtual std::optional<std::string> AskOpenPath(const std::optional<std::string>& folder) = 0;
  virtual std::optional<std::string> AskSavePath(const std::optional<std::string>& folder) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void ShowCardCount(std::size_t count) = 0;
  // Gives the front card the file's index font and body format.
  virtual void ApplyCardFormat() = 0;
  virtual void FocusFrontBody() = 0;
};

// What File > Import > Cardfile... shows besides the document's own
// prompts.
class CardfileImportUi {
 public:
  virtual ~CardfileImportUi() = default;
  // The open dialog for "Cardfile Files (*.crd)" with default suffix "crd"
  // and an existing file required; nullopt when the user cancels.
  virtual std::optional<std::string> AskCardfilePath(const std::optional<std::string>& folder) = 0;
};

// "Tessel - Untitled" or "Tessel - " and the path.
std::string DocumentTitle(const std::string& path);

// Where the file dialogs start: nullopt when `lastFile` is empty, otherwise
// the text before its last separator, or "" when it has none.
std::optional<std::string> InitialFolder(const std::string& lastFile, char separator = '/');

class Document {
 public:
  Document(CardCollection& cards, FormatSettings& format, SettingsStore& settings, DocumentUi& ui)
      : cards_(cards), format_(format), settings_(settings), ui_(ui) {}

  const std::string& Path() const { return path_; }
  bool SaveBlocked() const { return saveBlocked_; }
  // Set while the path names a file Save must not overwrite: an import's,
  // or one the start-up load could not read.
  void SetSaveBlocked(bool blocked) { saveBlocked_ = blocked; }
  bool Merging() const { return merging_; }

  // True when the document was emptied; false when the user kept it.
  bool New();
  void Open();
  // Open without the file dialog (a dropped file): New with its prompt, then
  // the read.
  void OpenFile(const std::string& path);
  // True when the cards were written.
  bool Save();
  bool SaveAs();
  void Merge();
  // Steps of closing that concern the document. False: the window stays.
  bool Close();
  // The start-up load, as Open reads a file. The path and title follow the
  // text whatever the read gave; a file that is there but could not be read
  // blocks Save as an import does. A Cardfile file (known by its signature)
  // is imported instead.
  void LoadCommandLine(const std::string& text);

  // File > Import > Cardfile...: the file dialog, New with its prompt, then
  // ImportCardfileFrom. Cancelling either changes nothing.
  void ImportCardfile(CardfileImportUi& ui);
  // The same import without the file dialog (a dropped file).
  void ImportCardfileFile(const std::string& path);
  // Imports a Cardfile file into the document as New left it (also for a
  // .crd file named on the command line): the cards sorted and tagged, the
  // file's path and title with Save blocked until Save As, the card count
  // shown, the document unchanged, the focus in the front body. Not ok when
  // nothing could be imported (the document then stays as it was); ok with a
  // message when a damaged file gave only what it holds whole, a warning to
  // show after the import. The caller shows the message.
  FileResult ImportCardfileFrom(const std::string& path);

  // Adds cards to the open document as Merge adds them: appended, sorted,
  // the document marked changed when any were added, the card count shown.
  void AddCards(std::vector<CardInfo>&& cards);
  // File > Import > vCard... without the file dialog (also a dropped file):
  // the file's cards added with AddCards. When nothing could be imported the
  // document stays as it was. The caller shows VcardMessage of the result.
  VcardReadResult ImportVcardFile(const std::string& path);

 private:
  // Shows a failed read or save; true when it succeeded.
  bool Report(const FileResult& result);
  // Asks about unsaved changes; false when the document must be kept.
  bool ResolveChanges();
  void SetPath(const std::string& path);
  // Names the document after a file the start-up load could not read.
  void NameUnreadFile(const std::string& path);
  std::optional<std::string> DialogFolder() const;
  void FocusIfCards();

  CardCollection& cards_;
  FormatSettings& format_;
  SettingsStore& settings_;
  DocumentUi& ui_;
  std::string path_;
  bool saveBlocked_ = false;
  bool merging_ = false;
};

}  // namespace tessel
