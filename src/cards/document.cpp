#include "cards/document.h"

#include <filesystem>
#include <system_error>

#include "cards/backup.h"
#include "cards/crd_file.h"

namespace tessel {

std::string DocumentTitle(const std::string& path) {
  return path.empty() ? "Tessel - Untitled" : "Tessel - " + path;
}

std::optional<std::string> InitialFolder(const std::string& lastFile, char separator) {
  if (lastFile.empty()) return std::nullopt;
  const std::size_t at = lastFile.rfind(separator);
  return at == std::string::npos ? std::string() : lastFile.substr(0, at);
}

bool Document::Report(const FileResult& result) {
  if (!result) ui_.ShowError(result.message, result.Reason());
  return result.ok;
}

bool Document::Write(const std::string& path) {
  BackupRequest backup{LoadBackupPolicy(settings_), {}};
  if (!Report(WriteCardFile(cards_, format_, path, FileOps::System(), &backup))) return false;
  if (!backup.error.empty()) {
    ui_.ShowStatus("Saved, but no backup was kept: " + backup.error);
  }
  Settled();
  return true;
}

std::optional<std::string> Document::DialogFolder() const {
  return InitialFolder(settings_.GetString(kLastFile, ""));
}

void Document::SetPath(const std::string& path) {
  path_ = path;
  ui_.SetTitle(DocumentTitle(path_));
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
  if (!New()) return;
  if (Report(ReadCardFile(cards_, format_, path))) {
    SetPath(path);
    settings_.WriteString(kLastFile, path);
    ui_.ShowCardCount(cards_.Size());
  }
  if (!cards_.Empty()) {
    ui_.ApplyCardFormat();
    ui_.FocusFrontBody();
  }
}

bool Document::Save() {
  // While blocked the path names a file of another format (an import), so
  // the cards go to a file the user picks instead.
  const bool written =
      path_.empty() || saveBlocked_ ? SaveAs() : Write(path_);
  if (written) saveBlocked_ = false;
  FocusIfCards();
  return written;
}

bool Document::SaveAs() {
  const std::optional<std::string> chosen = ui_.AskSavePath(DialogFolder());
  if (!chosen) return false;
  if (!Write(*chosen)) return false;
  SetPath(*chosen);
  saveBlocked_ = false;
  settings_.WriteString(kLastFile, *chosen);
  return true;
}

void Document::Merge() {
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
  if (!ResolveChanges()) {
    FocusIfCards();
    return false;
  }
  cards_.RemoveAllCards();
  cards_.RemoveAllCardWindows();
  Settled();
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
  SetPath(path);
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
  if (LooksLikeCrdFile(text)) {
    const FileResult result = ImportCardfileFrom(text);
    if (!result.message.empty()) ui_.ShowMessage(result.message, result.Reason());
    if (!result.ok) NameUnreadFile(text);
    return;
  }
  if (!Report(ReadCardFile(cards_, format_, text))) {
    NameUnreadFile(text);
    return;
  }
  SetPath(text);
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

}  // namespace tessel
