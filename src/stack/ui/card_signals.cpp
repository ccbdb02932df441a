#include "stack/ui/card_signals.h"

namespace tessel {

CardSignals::CardSignals(CardCollection& cards, QObject* parent) : QObject(parent), cards_(cards) {
  cards_.AddObserver(this);
}

CardSignals::~CardSignals() { cards_.RemoveObserver(this); }

void CardSignals::CardsChanged(const CardChange& change) {
  using Kind = CardChange::Kind;
  switch (change.kind) {
    case Kind::Fields:
      emit fieldsChanged(static_cast<qsizetype>(change.first),
                         static_cast<qsizetype>(change.count), change.fields);
      break;
    case Kind::Inserted:
    case Kind::Removed:
    case Kind::Reset:
      emit countChanged(static_cast<qsizetype>(cards_.Size()));
      break;
    case Kind::Reordered:
      emit orderChanged();
      break;
    case Kind::Format:
      emit formatChanged();
      break;
  }
}

void CardSignals::ModifiedChanged(bool modified) { emit modifiedChanged(modified); }

}  // namespace tessel
