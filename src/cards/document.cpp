#include "cards/document.h"

namespace tessel {

std::string DocumentTitle(const std::string& path) {
  return path.empty() ? "Tessel - Untitled" : "Tessel - " + path;
}

std::optional<std::string> InitialFolder(const std::string& lastFile, char separator) {
  if (lastFile.empty()) return std::nullopt;
  const std::size_t at = lastFile.rfind(separator);
  return at == std::string::npos ? std::string() : lastFile.substr(0, at);
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
    cards_.SetModified(false);
  }
  FocusIfCards();
  return emptied;
}

void Document::Open() {
  const std::optional<std::string> chosen = ui_.AskOpenPath(DialogFolder());
  if (chosen) {
    if (!New()) return;
    if (ReadCardFile(cards_, format_, *chosen, ui_)) {
      SetPath(*chosen);
      settings_.WriteString(kLastFile, *chosen);
      ui_.ShowCardCount(cards_.Size());
    }
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
      path_.empty() || saveBlocked_ ? SaveAs() : WriteCardFile(cards_, format_, path_, ui_);
  if (written) saveBlocked_ = false;
  FocusIfCards();
  return written;
}

bool Document::SaveAs() {
  const std::optional<std::string> chosen = ui_.AskSavePath(DialogFolder());
  if (!chosen) return false;
  if (!WriteCardFile(cards_, format_, *chosen, ui_)) return false;
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
    if (ReadCardFile(cards_, format_, *chosen, ui_)) {
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
  ReadCardFile(cards_, format_, text, ui_);
  SetPath(text);
}

}  // namespace tessel
