#include "cards/document.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "cards/backup.h"
#include "cards/crd_file.h"

namespace tessel {

std::string DocumentTitle(const std::string& path, bool readOnly) {
  return (path.empty() ? "Tessel - Untitled" : "Tessel - " + path) + (readOnly ? " (read-only)" : "");
}

std::optional<std::string> InitialFolder(const std::string& lastFile, char separator) {
  if (lastFile.empty()) return std::nullopt;
  const std::size_t at = lastFile.rfind(separator);
  return at == std::string::npos ? std::string() : lastFile.substr(0, at);
}

// Holds a change noticed on disk back while a command runs (its dialogs let
// the watcher's news in), and looks at it once the command is done.
class Document::Busy {
 public:
  explicit Busy(Document& doc) : doc_(doc) { ++doc_.busy_; }
  ~Busy() {
    if (--doc_.busy_ == 0 && std::exchange(doc_.checkPending_, false)) doc_.CheckDisk();
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  Document& doc_;
};

Document::~Document() = default;

void Document::UseGuards(FileLocker* locker, FileWatcher* watcher) {
  locker_ = locker;
  watcher_ = watcher;
}

bool Document::Report(const FileResult& result) {
  if (!result) ui_.ShowError(result.message, result.Reason());
  return result.ok;
}

std::optional<std::string> Document::DialogFolder() const {
  return InitialFolder(settings_.GetString(kLastFile, ""));
}

void Document::SetPath(const std::string& path) {
  path_ = path;
  ui_.SetTitle(DocumentTitle(path_, readOnly_));
}

bool Document::SameFile(const std::string& path) const {
  if (path_.empty()) return false;
  std::error_code error;
  return std::filesystem::equivalent(path, path_, error) || LockTarget(path) == LockTarget(path_);
}

void Document::Adopt(const std::string& path, std::unique_ptr<FileLock> lock, bool readOnly,
                     const std::optional<FileIdentity>& identity) {
  lock_ = std::move(lock);
  readOnly_ = readOnly;
  identity_ = identity;
  toldOf_.reset();
  toldMissing_ = false;
  SetPath(path);
  if (watcher_) watcher_->Watch(path);
}

void Document::Release() {
  lock_.reset();
  readOnly_ = false;
  identity_.reset();
  toldOf_.reset();
  toldMissing_ = false;
  if (watcher_) watcher_->Watch("");
}

bool Document::LockForOpening(const std::string& path, Opening& opening) {
  if (!locker_) return true;
  // Opening the file again: the lock is this document's already.
  if (lock_ && SameFile(path)) {
    opening.lock = std::move(lock_);
    opening.reused = true;
    return true;
  }
  LockResult result = locker_->Lock(path);
  if (result.holder) {
    const std::string text = LockedText(path, *result.holder) +
                             ".\n\nOpened read-only, its cards can be looked at and saved under "
                             "another name, but Save cannot replace it.";
    if (ui_.AskOpenLocked(text) == LockedAnswer::Cancel) return false;
    opening.readOnly = true;
    return true;
  }
  opening.lock = std::move(result.lock);
  opening.lockError = result.error;
  return true;
}

bool Document::ReadLocked(const std::string& path, Opening& opening) {
  std::optional<FileIdentity> identity;
  if (!Report(ReadCardFile(cards_, format_, path, CardLoad::Open, &identity, ops_))) return false;
  Adopt(path, std::move(opening.lock), opening.readOnly, identity);
  if (!opening.lockError.empty()) {
    ui_.ShowStatus(BaseName(path) + " could not be locked against a second editor (" +
                       opening.lockError + ")");
  }
  return true;
}

void Document::FocusIfCards() {
  if (!cards_.Empty()) ui_.FocusFrontBody();
}

bool Document::ResolveChanges() {
  if (!cards_.Modified()) return true;
  switch (ui_.AskSaveChanges()) {
    case SaveAnswer::Cancel:
      return false;
    case SaveAnswer::No:
      return true;
    case SaveAnswer::Yes:
      // Going on after a failed or cancelled save would throw away the very
      // changes the user asked to keep.
      return Save();
  }
  return false;
}

bool Document::New() {
  const bool emptied = ResolveChanges();
  if (emptied) {
    cards_.RemoveAllCards();
    cards_.RemoveAllCardWindows();
    Release();
    SetPath("");
    // The block guards an imported file's path, which is gone now; a new
    // document must not keep Save disabled.
    saveBlocked_ = false;
    cards_.MarkUnchanged();
    Settled();
  }
  FocusIfCards();
  return emptied;
}

void Document::Open() {
  if (const std::optional<std::string> chosen = ui_.AskOpenPath(DialogFolder())) {
    OpenFile(*chosen);
    return;
  }
  if (!cards_.Empty()) {
    ui_.ApplyCardFormat();
    ui_.FocusFrontBody();
  }
}

void Document::OpenFile(const std::string& path) {
  Busy busy(*this);
  Opening opening;
  if (!LockForOpening(path, opening)) {
    FocusIfCards();
    return;
  }
  if (!New()) {
    if (opening.reused) lock_ = std::move(opening.lock);
    return;
  }
  if (ReadLocked(path, opening)) {
    settings_.WriteString(kLastFile, path);
    ui_.ShowCardCount(cards_.Size());
  }
  if (!cards_.Empty()) {
    ui_.ApplyCardFormat();
    ui_.FocusFrontBody();
  }
}

bool Document::Save() {
  Busy busy(*this);
  // While blocked the path names a file of another format (an import), and
  // a read-only file is another editor's: the cards go to a file the user
  // picks instead.
  const bool written = path_.empty() || saveBlocked_ || readOnly_ ? SaveAs() : SaveChecked();
  if (written) saveBlocked_ = false;
  FocusIfCards();
  return written;
}

bool Document::SaveChecked() {
  const std::string name = BaseName(path_);
  const DiskCheck check = identity_ ? CheckOnDisk(path_, *identity_, ops_)
                                    : DiskCheck{DiskState::Unknown, {}, "it could not be read"};
  switch (check.state) {
    case DiskState::Same:
      break;
    case DiskState::Missing:
      // The cards here are all that is left of it.
      ui_.ShowMessage(name + " was deleted or moved away by another program since you opened "
                             "it. It is written back now.",
                      path_);
      break;
    case DiskState::Changed:
    case DiskState::Unknown:
      switch (ui_.AskChangedOnDisk(
          check.state == DiskState::Changed
              ? name + " was changed by another program since you opened it."
              : name + " could not be checked for changes by another program (" + check.reason +
                    ").")) {
        case ChangedAnswer::SaveAs:
          return SaveAs();
        case ChangedAnswer::Overwrite:
          break;
        case ChangedAnswer::Cancel:
          return false;
      }
      break;
  }
  std::optional<FileIdentity> written;
  if (!WriteTo(path_, written)) return false;
  identity_ = written;
  toldOf_.reset();
  toldMissing_ = false;
  return true;
}

bool Document::WriteTo(const std::string& path, std::optional<FileIdentity>& written) {
  BackupRequest backup{LoadBackupPolicy(settings_), {}};
  if (!Report(WriteCardFile(cards_, format_, path, ops_, &backup, &written))) return false;
  if (!backup.error.empty()) ui_.ShowStatus("Saved, but no backup was kept: " + backup.error);
  Settled();
  return true;
}

bool Document::SaveAs() {
  Busy busy(*this);
  const std::optional<std::string> chosen = ui_.AskSavePath(DialogFolder());
  if (!chosen) return false;
  // Saving over this document's own file keeps its lock; any other file
  // is locked first, and one that another editor holds is not written.
  const bool own = lock_ && SameFile(*chosen);
  std::unique_ptr<FileLock> lock;
  if (locker_ && !own) {
    LockResult result = locker_->Lock(*chosen);
    if (result.holder) {
      ui_.ShowError(LockedText(*chosen, *result.holder) +
                        ". It was not saved: choose another name.",
                    "");
      return false;
    }
    lock = std::move(result.lock);
  }
  std::optional<FileIdentity> written;
  if (!WriteTo(*chosen, written)) return false;
  Adopt(*chosen, own ? std::move(lock_) : std::move(lock), false, written);
  saveBlocked_ = false;
  settings_.WriteString(kLastFile, *chosen);
  return true;
}

void Document::Merge() {
  Busy busy(*this);
  merging_ = true;
  if (const std::optional<std::string> chosen = ui_.AskOpenPath(DialogFolder())) {
    // The merged cards are in no file yet: they leave the document changed,
    // so the close procedure asks before it drops them or earlier edits.
    if (Report(ReadCardFile(cards_, format_, *chosen, CardLoad::Merge))) ui_.ApplyCardFormat();
  }
  FocusIfCards();
  merging_ = false;
}

bool Document::Close() {
  Busy busy(*this);
  if (!ResolveChanges()) {
    FocusIfCards();
    return false;
  }
  cards_.RemoveAllCards();
  cards_.RemoveAllCardWindows();
  Settled();
  Release();
  return true;
}

void Document::OpenBackup() {
  const std::optional<std::string> backup = NewestBackup(path_, LoadBackupPolicy(settings_));
  if (!backup) {
    ui_.ShowMessage(path_.empty() ? "An untitled document has no backup."
                                  : "There is no backup of \"" + path_ + "\".",
                    "");
    FocusIfCards();
    return;
  }
  if (!New()) return;
  if (Report(ReadCardFile(cards_, format_, *backup))) {
    // Untitled, so that Save asks where it goes; changed, so that closing
    // asks before it is dropped.
    cards_.MarkUnsaved();
    ui_.ShowCardCount(cards_.Size());
  }
  if (!cards_.Empty()) {
    ui_.ApplyCardFormat();
    ui_.FocusFrontBody();
  }
}

bool Document::Recover(CardFileData&& data, const std::string& path, bool saveBlocked) {
  if (!New()) return false;
  if (!ApplyCardFileData(cards_, format_, std::move(data))) {
    ui_.ShowError("The unsaved cards could not be recovered", kNoMemoryForCards);
    return false;
  }
  // The recovered cards are this file's again, so it is locked as an open
  // is; when the user will not share it with its editor they stay untitled.
  Opening opening;
  if (!path.empty() && LockForOpening(path, opening)) {
    // The file as it is now is the one the user chose to recover over, so
    // Save asks only about changes made after this.
    const DiskCheck disk = CheckOnDisk(path, FileIdentity{}, ops_);
    Adopt(path, std::move(opening.lock), opening.readOnly,
          disk.state == DiskState::Same ? FileIdentity{} : disk.now);
  }
  // A recovered import must still not be written over its Cardfile file.
  saveBlocked_ = saveBlocked;
  cards_.MarkUnsaved();
  ui_.ShowCardCount(cards_.Size());
  if (!cards_.Empty()) {
    ui_.ApplyCardFormat();
    ui_.FocusFrontBody();
  }
  return true;
}

void Document::LoadCommandLine(const std::string& text) {
  Busy busy(*this);
  if (LooksLikeCrdFile(text)) {
    const FileResult result = ImportCardfileFrom(text);
    if (!result.message.empty()) ui_.ShowMessage(result.message, result.Reason());
    if (!result.ok) NameUnreadFile(text);
    return;
  }
  Opening opening;
  if (!LockForOpening(text, opening)) return;  // nothing opened
  if (!ReadLocked(text, opening)) {
    std::error_code error;
    if (!std::filesystem::exists(text, error) && !error) {
      // A file Save is to make: it is this document's from now on.
      Adopt(text, std::move(opening.lock), opening.readOnly, FileIdentity{});
      return;
    }
    NameUnreadFile(text);
    return;
  }
  ui_.ShowCardCount(cards_.Size());
  if (!cards_.Empty()) {
    ui_.ApplyCardFormat();
    ui_.FocusFrontBody();
  }
}

void Document::NameUnreadFile(const std::string& path) {
  SetPath(path);
  // A missing file is made by Save. One that is there but could not be read
  // (damaged, another format, no permission) still holds the user's data:
  // Save goes to Save As, as after an import, until a card file is written.
  std::error_code error;
  saveBlocked_ = std::filesystem::exists(path, error) || error;
}

void Document::ImportCardfile(CardfileImportUi& ui) {
  const std::optional<std::string> chosen = ui.AskCardfilePath(DialogFolder());
  if (!chosen) {
    FocusIfCards();
    return;
  }
  ImportCardfileFile(*chosen);
}

void Document::ImportCardfileFile(const std::string& path) {
  if (!New()) return;
  // A warning comes after the cards are in, so the user sees what did come
  // through.
  if (const FileResult result = ImportCardfileFrom(path); !result.message.empty()) {
    ui_.ShowMessage(result.message, result.Reason());
  }
}

bool Document::AddCards(std::vector<CardInfo>&& cards) {
  // The model marks the document changed when a card was added.
  if (!cards_.AddCards(std::move(cards))) return false;
  ui_.ShowCardCount(cards_.Size());
  if (!cards_.Empty()) {
    ui_.ApplyCardFormat();
    ui_.FocusFrontBody();
  }
  return true;
}

FileResult Document::ImportCardfileFrom(const std::string& path) {
  std::vector<CardInfo> imported;
  const CrdReadResult result = LoadCrdFile(path, imported);
  if (!result.Imports()) return {false, CrdMessage(result, path), result.detail};
  if (!ApplyCardFileData(cards_, format_, CardFileData{0, std::nullopt, std::move(imported)})) {
    const CrdReadResult full{CrdStatus::Damaged, kNoMemoryForCards};
    return {false, CrdMessage(full, path), full.detail};
  }
  // Save must never write card-file bytes over the Cardfile file.
  saveBlocked_ = true;
  SetPath(path);
  ui_.ShowCardCount(cards_.Size());
  if (!cards_.Empty()) {
    ui_.ApplyCardFormat();
    ui_.FocusFrontBody();
  }
  return {true, CrdMessage(result, path), result.detail};
}

void Document::CheckDisk() {
  if (busy_ > 0) {
    checkPending_ = true;
    return;
  }
  if (path_.empty() || saveBlocked_ || !identity_) return;
  const DiskCheck check = CheckOnDisk(path_, *identity_, ops_);
  const std::string name = BaseName(path_);
  switch (check.state) {
    case DiskState::Unknown:
      return;
    case DiskState::Same:
      // Touched or copied back unchanged: known now without hashing.
      if (check.now) identity_ = check.now;
      toldMissing_ = false;
      return;
    case DiskState::Missing:
      if (std::exchange(toldMissing_, true)) return;
      // The cards are in no file now, so closing must ask about them.
      cards_.MarkUnsaved();
      ui_.ShowNotice(name + " was deleted or moved away by another program. Its cards are still "
                            "here: Save writes it back.");
      return;
    case DiskState::Changed:
      toldMissing_ = false;
      if (!cards_.Modified()) {
        Reload();
        return;
      }
      if (toldOf_ && check.now && toldOf_->SameStat(*check.now)) return;
      toldOf_ = check.now;
      ui_.ShowNotice(name + " was changed by another program. Your changes here are not saved "
                            "yet: Save will ask before it replaces the other version.");
      return;
  }
}

void Document::Reload() {
  const std::string name = BaseName(path_);
  CardFileData data;
  std::optional<FileIdentity> identity;
  const ReadResult result = LoadCardFileData(path_, data, &identity, ops_);
  if (!result.Ok()) {
    // Perhaps still being written; its next change brings another look.
    ui_.ShowStatus(name + " was changed by another program but cannot be read now: " +
                       ReadErrorMessage(result, path_));
    return;
  }
  const std::string front = cards_.Empty() ? std::string() : cards_.At(0).index;
  cards_.RemoveAllCards();
  cards_.RemoveAllCardWindows();
  if (!ApplyCardFileData(cards_, format_, std::move(data))) {
    ui_.ShowError(ReadErrorMessage({ReadStatus::Damaged, kNoMemoryForCards}, path_), "");
    Release();
    SetPath("");
    return;
  }
  if (!front.empty()) {
    cards_.BringIndexToFront(front);
    cards_.RefreshStack();
  }
  identity_ = identity;
  toldOf_.reset();
  ui_.ShowCardCount(cards_.Size());
  if (!cards_.Empty()) ui_.ApplyCardFormat();
  ui_.ShowStatus(name + " was changed by another program and has been reloaded.");
}

VcardReadResult Document::ImportVcardFile(const std::string& path) {
  std::vector<CardInfo> imported;
  VcardReadResult result = LoadVcardFile(path, imported);
  if (result.Imports() && !AddCards(std::move(imported))) {
    result = {VcardStatus::Refused, kNoMemoryForCards};
  }
  FocusIfCards();
  return result;
}

}  // namespace tessel
