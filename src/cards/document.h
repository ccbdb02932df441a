// The document commands of the File menu (New, Open, Save, Save As, Merge)
// and the close procedure: what they decide and in which order. Everything
// the user sees or answers goes through DocumentUi, so the rules run and are
// tested without a window.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cards/settings_store.h"
#include "cards/card_collection.h"
#include "cards/card_file.h"
#include "cards/file_identity.h"
#include "cards/file_lock.h"
#include "cards/format_settings.h"
#include "cards/vcard_file.h"

namespace tessel {

enum class SaveAnswer { Yes, No, Cancel };
// A file another editor holds: look at it without saving over it, or not.
enum class LockedAnswer { OpenReadOnly, Cancel };
// The file changed on disk since it was read: keep both (Save As...),
// replace the other program's version, or do nothing.
enum class ChangedAnswer { SaveAs, Overwrite, Cancel };

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
  // "NAME is open in Tessel on HOST (process N)" with Open Read-Only (the
  // default) and Cancel.
  virtual LockedAnswer AskOpenLocked(const std::string& text) = 0;
  // The file changed under the program: Save As... (the default),
  // Overwrite and Cancel (also Esc).
  virtual ChangedAnswer AskChangedOnDisk(const std::string& text) = 0;
  // News the user must see that needs no answer; typing goes on meanwhile.
  virtual void ShowNotice(const std::string& text) = 0;
  // A passing word in the status bar (a save that kept no backup, a reload).
  virtual void ShowStatus(const std::string& text) = 0;
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

// "Tessel - Untitled" or "Tessel - " and the path, and " (read-only)" while
// another editor holds the file.
std::string DocumentTitle(const std::string& path, bool readOnly = false);

// Where the file dialogs start: nullopt when `lastFile` is empty, otherwise
// the text before its last separator, or "" when it has none.
std::optional<std::string> InitialFolder(const std::string& lastFile, char separator = '/');

class Document {
 public:
  Document(CardCollection& cards, FormatSettings& format, SettingsStore& settings, DocumentUi& ui,
           FileOps& ops = FileOps::System())
      : cards_(cards), format_(format), settings_(settings), ui_(ui), ops_(ops) {}
  ~Document();

  // The platform's lock and watcher; without them (tests of other things,
  // the command-line tool) files are neither locked nor watched, but still
  // checked before a save.
  void UseGuards(FileLocker* locker, FileWatcher* watcher);

  const std::string& Path() const { return path_; }
  bool SaveBlocked() const { return saveBlocked_; }
  // Set while the path names a file Save must not overwrite: an import's,
  // or one the start-up load could not read.
  void SetSaveBlocked(bool blocked) { saveBlocked_ = blocked; }
  bool Merging() const { return merging_; }
  // Opened while another editor holds the file: Save is disabled.
  bool ReadOnly() const { return readOnly_; }

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
  // File > Revert to Backup...: the newest backup of the document's file,
  // after New with its prompt, as an untitled changed document.
  void OpenBackup();
  // A recovery's cards, after New with its prompt, as the document of
  // `path` with the save-blocked flag it had, changed. False when the user
  // kept the document or the cards did not fit in memory.
  bool Recover(CardFileData&& data, const std::string& path, bool saveBlocked);
  // Called whenever the document's unsaved changes are settled for good:
  // written by a save, or dropped by New, Open or the close procedure.
  void SetOnSettled(std::function<void()> settled) { settled_ = std::move(settled); }
  // The start-up load, as Open reads a file. The path and title follow the
  // text whatever the read gave; a file that is there but could not be read
  // blocks Save as an import does. A Cardfile file (known by its signature)
  // is imported instead.
  void LoadCommandLine(const std::string& text);
  // The watcher's news: the file may have changed on disk. Unchanged
  // documents reload in place; otherwise the user is told at once.
  void CheckDisk();

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

  // Adds imported cards to the open document, as Merge adds a file's: the
  // cards sorted among the others, the document changed (when any came), the
  // card count shown, the front card in the file's format with the focus.
  // False when there was not enough memory: the document is then as it was.
  bool AddCards(std::vector<CardInfo>&& cards);
  // File > Import > vCard... without the file dialog (also a dropped file):
  // the file's cards added with AddCards. When nothing could be imported the
  // document stays as it was. The caller shows VcardMessage of the result.
  VcardReadResult ImportVcardFile(const std::string& path);

 private:
  // Shows a failed read or save; true when it succeeded.
  bool Report(const FileResult& result);
  void Settled() {
    if (settled_) settled_();
  }
  // Asks about unsaved changes; false when the document must be kept.
  bool ResolveChanges();
  void SetPath(const std::string& path);
  // Names the document after a file the start-up load could not read.
  void NameUnreadFile(const std::string& path);
  std::optional<std::string> DialogFolder() const;
  void FocusIfCards();

  // What opening a file holds on to until it is read.
  struct Opening {
    std::unique_ptr<FileLock> lock;
    bool reused = false;  // the document's own lock, kept
    bool readOnly = false;
    std::string lockError;  // why no lock could be made
  };
  // Takes the file's lock, asking when another editor holds it; false when
  // the user cancelled.
  bool LockForOpening(const std::string& path, Opening& opening);
  // Reads `path` into the emptied document with the opening's lock (taken
  // over only when read); true when read.
  bool ReadLocked(const std::string& path, Opening& opening);
  // The document now belongs to the file at `path`, as read or written.
  void Adopt(const std::string& path, std::unique_ptr<FileLock> lock, bool readOnly,
             const std::optional<FileIdentity>& identity);
  // The document belongs to no file any more.
  void Release();
  bool SameFile(const std::string& path) const;
  // Save to the current path once the file on disk has been checked.
  bool SaveChecked();
  // Writes the cards to `path`, keeping a backup of the file replaced, and
  // gives what the file now is.
  bool WriteTo(const std::string& path, std::optional<FileIdentity>& written);
  void Reload();
  class Busy;

  CardCollection& cards_;
  FormatSettings& format_;
  SettingsStore& settings_;
  DocumentUi& ui_;
  FileOps& ops_;
  FileLocker* locker_ = nullptr;
  FileWatcher* watcher_ = nullptr;
  std::string path_;
  bool saveBlocked_ = false;
  bool merging_ = false;
  std::function<void()> settled_;
  bool readOnly_ = false;
  std::unique_ptr<FileLock> lock_;
  // What the file was when last read or written; nullopt when that could
  // not be learnt (Save then asks before writing).
  std::optional<FileIdentity> identity_;
  // The change on disk the user was last told of, so it is told once.
  std::optional<FileIdentity> toldOf_;
  bool toldMissing_ = false;
  // Set while a command runs: a change noticed then waits for its end.
  int busy_ = 0;
  bool checkPending_ = false;
};

}  // namespace tessel
