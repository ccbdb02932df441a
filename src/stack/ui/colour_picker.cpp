#include "stack/ui/colour_picker.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "stack/palette.h"
#include "services/ui/text.h"

namespace tessel {
namespace {

// Dialog units to pixels for the picker's 8-point font at 96 dots per inch.
int UnitsX(int du) { return du * 3 / 2; }
int UnitsY(int du) { return du * 13 / 8; }

const QColor kShadow(90, 90, 90);

// A one-pixel 3-D frame just inside `r`.
void Frame3D(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  painter.setPen(topLeft);
  painter.drawLine(r.topLeft(), r.topRight());
  painter.drawLine(r.topLeft(), r.bottomLeft());
  painter.setPen(bottomRight);
  painter.drawLine(r.bottomLeft(), r.bottomRight());
  painter.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

ColourDialog StandardColourDialog() {
  return [](QWidget* parent) -> std::optional<QColor> {
    const QColor c = QColorDialog::getColor(Qt::black, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
  };
}

ColourPicker::ColourPicker(ColourDialog dialog, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), dialog_(std::move(dialog)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(UnitsX(kPickerWidth), UnitsY(kPickerHeight));
  QFont small(QStringLiteral("Arial"));
  small.setPointSize(8);
  setFont(small);
  more_ = new QPushButton(tr("More"), this);
  more_->setGeometry(UnitsX(kPaletteMore.x), UnitsY(kPaletteMore.y), UnitsX(kPaletteMore.width),
                     UnitsY(kPaletteMore.height) + 2);
  more_->setFocusPolicy(Qt::NoFocus);
  connect(more_, &QPushButton::clicked, this, &ColourPicker::OnMore);
}

QRect ColourPicker::CellRect(std::size_t cell) {
  const PaletteCell& c = kPalette[cell];
  return QRect(UnitsX(c.x), UnitsY(c.y), UnitsX(kPaletteCellWidth), UnitsY(kPaletteCellHeight));
}

void ColourPicker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().button());
  for (std::size_t i = 0; i < kPalette.size(); ++i) {
    const QRect cell = CellRect(i);
    painter.fillRect(cell, ToQColor(kPalette[i].colour));
    Frame3D(painter, cell, kShadow, Qt::white);
  }
  Frame3D(painter, rect(), Qt::white, kShadow);
}

void ColourPicker::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  QWidget::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton) return;
  for (std::size_t i = 0; i < kPalette.size(); ++i) {
    if (CellRect(i).contains(at)) {
      Pick(kPalette[i].colour);
      return;
    }
  }
}

void ColourPicker::OnMore() {
  // The popup would keep the mouse from the dialog, so it steps aside while
  // the dialog runs and comes back if the user cancels.
  hide();
  const std::optional<QColor> chosen = dialog_ ? dialog_(parentWidget()) : std::nullopt;
  if (chosen) {
    Pick(FromQColor(*chosen));
  } else {
    show();
  }
}

void ColourPicker::Pick(Colour colour) {
  emit picked(colour);
  close();
}

}  // namespace tessel
