// The main window's card commands (Add, Delete, Go To), Find and Find Next.
// The collection's side of each lives in stack/card_commands; here are the
// dialogs, the messages and the focus.
#include "services/ui/dialogs.h"
#include "app/ui/main_window.h"
#include "stack/ui/card_dialogs.h"
#include "stack/ui/text_edge.h"

namespace tessel {

void MainWindow::AddCard() {
  tessel::AddCard(cards_);
  ShowCardCount(cards_.Size());
  if (cards_.StackSize() == 0) return;
  view_->ApplyIndexFont(format_.indexFace, format_.indexSize);
  view_->FocusFrontIndexSelectingAll();
}

void MainWindow::DeleteCard() {
  const QString text = QStringLiteral("Delete \"%1\" ?").arg(FromCp1252(cards_.At(0).index));
  if (dialogs_.Message(this, QMessageBox::Question, QStringLiteral("Delete Card"), text,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
    DeleteFrontCard(cards_);
    ShowCardCount(cards_.Size());
  }
  FocusFrontBody();
}

void MainWindow::GoTo() {
  GoToDialog dialog(this);
  if (dialogs_.RunModal(dialog) != QDialog::Accepted) {
    FocusFrontBody();
    return;
  }
  const std::string text = dialog.Text();
  switch (GoToIndex(cards_, text)) {
    case GoToResult::EmptyText:
      dialogs_.Message(this, QMessageBox::Warning, QStringLiteral("Tessel Warning..."),
                       QStringLiteral("Text Not Found"), QMessageBox::Ok);
      break;
    case GoToResult::NotFound:
      dialogs_.Message(this, QMessageBox::Warning, QStringLiteral("Tessel Warning"),
                       QStringLiteral("\"%1\" Not Found").arg(FromCp1252(text)), QMessageBox::Ok);
      FocusFrontBody();
      break;
    case GoToResult::Found:
      break;
  }
}

void MainWindow::Find() {
  search_.savedEnd = view_->FrontBodySelectionEnd();
  // A selected text becomes the search text even if the dialog is cancelled.
  const std::string selected = view_->FrontBodySelectedText();
  if (!selected.empty()) search_.text = selected;
  FindDialog dialog(this, search_.text, search_.options);
  if (dialogs_.RunModal(dialog) != QDialog::Accepted) return;
  search_.text = dialog.Text();
  search_.options = dialog.Options();
  search_.fromDialog = true;
  FindNext();
}

void MainWindow::FindNext() {
  if (!view_->FrontBody()) return;
  if (!search_.fromDialog) search_.savedEnd = view_->FrontBodySelectionEnd();
  search_.fromDialog = false;
  // An empty text (the Find dialog accepts one) searches nothing.
  if (search_.text.empty()) return;
  const std::optional<std::size_t> hit = FindNextHit(cards_, search_, [this](std::size_t from) {
    return FindInText(view_->FrontBodySearchText(), search_.text, from, search_.options);
  });
  if (hit) {
    view_->SelectInFrontBody(*hit, *hit + search_.text.size());
    return;
  }
  dialogs_.Message(this, QMessageBox::NoIcon, QStringLiteral("Tessel"),
                   QStringLiteral("Could not find any more occurrences of %1")
                       .arg(FromCp1252(search_.text)),
                   QMessageBox::Ok);
}

}  // namespace tessel
