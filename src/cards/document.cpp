#include "cards/document.h"

#include <filesystem>
#include <system_error>

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
    cards_.SetModified(false);
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
      path_.empty() || saveBlocked_ ? SaveAs() : Report(WriteCardFile(cards_, format_, path_));
  if (written) saveBlocked_ = false;
  FocusIfCards();
  return written;
}

bool Document::SaveAs() {
  const std::optional<std::string> chosen = ui_.AskSavePath(DialogFolder());
  if (!chosen) return false;
  if (!Report(WriteCardFile(cards_, format_, *chosen))) return false;
  SetPath(*chosen);
  saveBlocked_ = false;
  settings_.WriteString(kLastFile, *chosen);
  return true;
}

void Document::Merge() {
  merging_ = true;
  if (const std::optional<std::string> chosen = ui_.AskOpenPath(DialogFolder())) {
    const bool hadChanges = cards_.Modified();
    const std::size_t before = cards_.Size();
    if (Report(ReadCardFile(cards_, format_, *chosen))) {
      // The merged collection is in no file yet; marking it clean would let
      // the close procedure drop it, or earlier edits, without asking.
      cards_.SetModified(hadChanges || cards_.Size() > before);
      ui_.ApplyCardFormat();
    }
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

void Document::AddCards(std::vector<CardInfo>&& cards) {
  if (cards.empty()) return;
  cards_.AppendCards(std::move(cards));
  cards_.SortCards();
  cards_.RefreshStack();
  cards_.SetModified(true);
  ui_.ShowCardCount(cards_.Size());
}

VcardReadResult Document::ImportVcardFile(const std::string& path) {
  std::vector<CardInfo> imported;
  const VcardReadResult result = LoadVcardFile(path, imported);
  if (result.Imports()) {
    AddCards(std::move(imported));
    ui_.ApplyCardFormat();
  }
  FocusIfCards();
  return result;
}

}  // namespace tessel
