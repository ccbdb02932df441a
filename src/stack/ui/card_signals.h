// The ui edge of the card model: its notifications as Qt signals, so that
// widgets follow the cards with plain connections.
#pragma once

#include <QObject>

#include "cards/card_collection.h"

namespace tessel {

class CardSignals final : public QObject, private CardObserver {
  Q_OBJECT
 public:
  // Watches `cards` until destroyed; must go before them.
  explicit CardSignals(CardCollection& cards, QObject* parent = nullptr);
  ~CardSignals() override;
  CardSignals(const CardSignals&) = delete;
  CardSignals& operator=(const CardSignals&) = delete;

 signals:
  // `fields` (a CardField mask) of the cards first .. first + count - 1.
  void fieldsChanged(qsizetype first, qsizetype count, unsigned fields);
  // Cards came or went (the number may be the same after a reload).
  void countChanged(qsizetype count);
  // The same cards stand in a new order.
  void orderChanged();
  void formatChanged();
  void modifiedChanged(bool modified);

 private:
  void CardsChanged(const CardChange& change) override;
  void ModifiedChanged(bool modified) override;

  CardCollection& cards_;
};

}  // namespace tessel
