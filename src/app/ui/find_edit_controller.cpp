#include "app/ui/find_edit_controller.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "services/ui/text.h"
#include "stack/card_commands.h"
#include "stack/ui/card_dialogs.h"

namespace tessel {

FindEditController::FindEditController(AppContext& context) : c_(context) {
  CommandRegistry& r = c_.commands;
  r.Provide(Input::SearchText, [this] { return !c_.model.search.text.empty(); });
  // The front body's, even while the index field has the focus.
  r.Provide(Input::CanUndo, [this] { return c_.view.BodyCanUndo(); });
  r.Provide(Input::BodySelection, [this] { return c_.view.BodyHasSelection(); });
  r.Provide(Input::ClipboardText, [] {
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    return clip && clip->hasText();
  });
  r.Handle(CommandId::Find, [this] { Find(); });
  r.Handle(CommandId::FindNext, [this] { FindNext(); });
  r.Handle(CommandId::Undo, [this] { c_.view.UndoBody(); });
  r.Handle(CommandId::Cut, [this] { c_.view.CutBody(); });
  r.Handle(CommandId::Copy, [this] { c_.view.CopyBody(); });
  r.Handle(CommandId::Paste, [this] { c_.view.PasteBody(); });
}

void FindEditController::Find() {
  SearchState& search = c_.model.search;
  search.savedEnd = c_.view.FrontBodySelectionEnd();
  // A selected text becomes the search text even if the dialog is cancelled.
  const std::string selected = c_.view.FrontBodySelectedText();
  if (!selected.empty()) search.text = selected;
  FindDialog dialog(c_.frame.Window(), search.text, search.options);
  if (c_.dialogs.RunModal(dialog) != QDialog::Accepted) return;
  search.text = dialog.Text();
  search.options = dialog.Options();
  search.fromDialog = true;
  FindNext();
}

void FindEditController::FindNext() {
  SearchState& search = c_.model.search;
  CardStackView& view = c_.view;
  if (!view.FrontBody()) return;
  if (!search.fromDialog) search.savedEnd = view.FrontBodySelectionEnd();
  search.fromDialog = false;
  // An empty text (the Find dialog accepts one) searches nothing.
  if (search.text.empty()) return;
  const std::optional<std::size_t> hit =
      FindNextHit(c_.model.cards, search, [&view, &search](std::size_t from) {
        return FindInText(view.FrontBodySearchText(), search.text, from, search.options);
      });
  if (hit) {
    view.SelectInFrontBody(*hit, *hit + search.text.size());
    return;
  }
  c_.dialogs.Message(c_.frame.Window(), QMessageBox::NoIcon, QStringLiteral("Tessel"),
                     QStringLiteral("Could not find any more occurrences of %1")
                         .arg(FromCp1252(search.text)),
                     QMessageBox::Ok);
}

}  // namespace tessel
