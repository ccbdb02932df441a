// The card windows of the stack: white 500 by 200 cards with a one-pixel
// border. Back cards show only their index strip; the front card carries the
// card toolbar with the index field, and the body editor.
#pragma once

#include <QAction>
#include <QWidget>
#include <cstddef>

#include "cards/card_collection.h"
#include "stack/ui/toolbar_items.h"

class QToolBar;

namespace tessel {

class BodyEditor;
class IndexField;

// Inside the border, the card's client area starts here.
inline constexpr int kCardBorder = 1;
inline constexpr int kStripHeight = 25;
inline constexpr int kStripTextOffset = 2;
inline constexpr int kCardToolbarHeight = 29;  // the body starts at this client y
inline constexpr int kIndexFieldWidth = 325;
inline constexpr int kIndexFieldHeight = 23;

class CardWindow : public QWidget {
  Q_OBJECT
 public:
  CardWindow(std::size_t slot, QWidget* parent);
  std::size_t Slot() const { return slot_; }

 protected:
  void PaintBorder(class QPainter& painter) const;

 private:
  std::size_t slot_;
};

class BackCardWindow : public CardWindow {
  Q_OBJECT
 public:
  BackCardWindow(std::size_t slot, const CardCollection& cards, QWidget* parent);

 signals:
  void clicked(std::size_t slot);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  const CardCollection& cards_;
};

class FrontCardWindow : public CardWindow {
  Q_OBJECT
 public:
  // The card toolbar shows the index field, a separator and then `items`,
  // the commands' shared actions, so their state and their handlers are the
  // menu's.
  FrontCardWindow(QWidget* parent, const ToolbarItems& items);

  IndexField* Index() const { return index_; }
  BodyEditor* Body() const { return body_; }
  QToolBar* ToolBar() const { return toolBar_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QToolBar* toolBar_;
  IndexField* index_;
  BodyEditor* body_;
};

}  // namespace tessel
