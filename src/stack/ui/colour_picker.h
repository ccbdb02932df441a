// The popup with ten colour cells and "More" that the format toolbar's colour
// buttons open. As a popup it holds the mouse: a press outside closes it.
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

#include "cards/format_settings.h"

class QPushButton;

namespace tessel {

// Asks the user for a colour (the standard colour dialog in the program);
// nullopt when cancelled. Tests answer it themselves.
using ColourDialog = std::function<std::optional<QColor>(QWidget* parent)>;
ColourDialog StandardColourDialog();

class ColourPicker : public QWidget {
  Q_OBJECT
 public:
  ColourPicker(ColourDialog dialog, QWidget* parent);

  // A cell's rectangle in the picker, by its place in the palette.
  static QRect CellRect(std::size_t cell);
  QPushButton* MoreButton() const { return more_; }

 signals:
  void picked(tessel::Colour colour);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void OnMore();
  void Pick(Colour colour);

  ColourDialog dialog_;
  QPushButton* more_;
};

}  // namespace tessel
