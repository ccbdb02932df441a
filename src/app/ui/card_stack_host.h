// The area of the main window where the card windows live. The main window
// owns the card collection and tells this widget where the client area
// starts; a card window for stack entry k goes to OnScreenEntries()[k].rect, which is
// measured in the main window's client coordinates (below the menu bar).
// The card windows come with the card-window work; until then this host
// shows the empty background and answers the editor questions with "nothing".
#pragma once

#include <QPoint>
#include <QWidget>

#include "cards/card_collection.h"
#include "cards/format_settings.h"

namespace tessel {

class CardStackHost : public QWidget, public CardStackObserver {
  Q_OBJECT

 public:
  explicit CardStackHost(QWidget* parent = nullptr);

  // The client-area point at this widget's top left corner; a card rectangle
  // minus this origin is the card window's place in this widget.
  void SetClientOrigin(QPoint origin) { clientOrigin_ = origin; }
  QPoint ClientOrigin() const { return clientOrigin_; }

  virtual void FocusFrontBody() {}
  virtual void ApplyIndexFont(const FormatSettings& /*format*/) {}
  virtual void ApplyBodyFormat(const FormatSettings& /*format*/) {}
  virtual bool BodyCanUndo() const { return false; }
  virtual bool BodySelectionEmpty() const { return true; }

  void CardWindowAdded(const StackEntry& /*entry*/) override {}
  void CardWindowRemoved(const StackEntry& /*entry*/) override {}
  void CardWindowsCleared() override {}
  void StackRefreshed() override {}
  void StackLaidOut() override { FocusFrontBody(); }

 signals:
  // Undo state or body selection changed: command states need a new look.
  void EditStateChanged();

 private:
  QPoint clientOrigin_;
};

}  // namespace tessel
