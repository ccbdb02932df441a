#include "app/ui/card_controller.h"

#include "services/ui/text.h"
#include "stack/card_commands.h"
#include "stack/ui/card_dialogs.h"

namespace tessel {

CardController::CardController(AppContext& context) : c_(context) {
  CommandRegistry& r = c_.commands;
  r.Provide(Input::Cards, [this] { return c_.model.cards.StackSize(); });
  r.Handle(CommandId::Add, [this] { Add(); });
  r.Handle(CommandId::Delete, [this] { Delete(); });
  r.Handle(CommandId::GoTo, [this] { GoTo(); });
  r.Handle(CommandId::Next, [this] { c_.view.Next(); });
  r.Handle(CommandId::Previous, [this] { c_.view.Previous(); });
  r.Handle(CommandId::Sort, [this] { c_.view.Sort(); });
}

void CardController::Add() {
  CardCollection& cards = c_.model.cards;
  AddCard(cards);
  if (cards.StackSize() == 0) return;
  c_.view.ApplyIndexFont(c_.model.format.indexFace, c_.model.format.indexSize);
  c_.view.FocusFrontIndexSelectingAll();
}

void CardController::Delete() {
  CardCollection& cards = c_.model.cards;
  const QString text = QStringLiteral("Delete \"%1\" ?").arg(FromCp1252(cards.At(0).index));
  if (c_.dialogs.Message(c_.frame.Window(), QMessageBox::Question, QStringLiteral("Delete Card"),
                         text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
    DeleteFrontCard(cards);
  }
  c_.FocusFrontBody();
}

void CardController::GoTo() {
  GoToDialog dialog(c_.frame.Window());
  if (c_.dialogs.RunModal(dialog) != QDialog::Accepted) {
    c_.FocusFrontBody();
    return;
  }
  const std::string text = dialog.Text();
  switch (GoToIndex(c_.model.cards, text)) {
    case GoToResult::EmptyText:
      c_.dialogs.Message(c_.frame.Window(), QMessageBox::Warning,
                         QStringLiteral("Tessel Warning..."), QStringLiteral("Text Not Found"),
                         QMessageBox::Ok);
      break;
    case GoToResult::NotFound:
      c_.dialogs.Message(c_.frame.Window(), QMessageBox::Warning, QStringLiteral("Tessel Warning"),
                         QStringLiteral("\"%1\" Not Found").arg(FromCp1252(text)),
                         QMessageBox::Ok);
      c_.FocusFrontBody();
      break;
    case GoToResult::Found:
      break;
  }
}

}  // namespace tessel
