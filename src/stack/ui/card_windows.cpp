#include "stack/ui/card_windows.h"

#include <QIcon>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QToolBar>

#include "stack/ui/body_editor.h"
#include "stack/ui/index_field.h"
#include "services/ui/text.h"

namespace tessel {
namespace {

// More than a strip can show; keeps painting cheap for huge index texts.
constexpr std::size_t kStripTextLimit = 256;

}  // namespace

CardWindow::CardWindow(std::size_t slot, QWidget* parent) : QWidget(parent), slot_(slot) {
  resize(kCardWidth, kCardHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CardWindow::PaintBorder(QPainter& painter) const {
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

BackCardWindow::BackCardWindow(std::size_t slot, const CardCollection& cards, QWidget* parent)
    : CardWindow(slot, parent), cards_(cards) {}

void BackCardWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The whole card is white, as a paper card is; only the strip shows text.
  painter.fillRect(rect(), Qt::white);
  PaintBorder(painter);
  if (Slot() >= cards_.Size()) return;
  const std::string& index = cards_.At(Slot()).index;
  const QString text =
      FromCp1252(std::string_view(index).substr(0, std::min(index.size(), kStripTextLimit)));
  painter.setPen(Qt::black);
  painter.setFont(font());
  const QRect strip(kCardBorder + kStripTextOffset, kCardBorder + kStripTextOffset,
                    kCardWidth - kStripTextOffset, kStripHeight - kStripTextOffset);
  painter.drawText(strip, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void BackCardWindow::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    emit clicked(Slot());
  } else {
    QWidget::mousePressEvent(e);
  }
}

FrontCardWindow::FrontCardWindow(QWidget* parent, const ToolbarItems& items)
    : CardWindow(0, parent) {
  const int clientWidth = kCardWidth - 2 * kCardBorder;
  const int clientHeight = kCardHeight - 2 * kCardBorder;

  toolBar_ = new QToolBar(this);
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setIconSize(QSize(16, 15));
  // The index field and six buttons only just fit the card's width.
  toolBar_->setContentsMargins(0, 0, 0, 0);
  toolBar_->layout()->setContentsMargins(0, 0, 0, 0);
  toolBar_->layout()->setSpacing(0);
  toolBar_->setGeometry(kCardBorder, kCardBorder, clientWidth, kCardToolbarHeight);

  index_ = new IndexField(toolBar_);
  index_->setFixedSize(kIndexFieldWidth, kIndexFieldHeight);
  index_->setFrame(true);
  toolBar_->addWidget(index_);
  toolBar_->addSeparator();
  AddToolbarItems(toolBar_, items);

  body_ = new BodyEditor(this);
  body_->setGeometry(kCardBorder, kCardBorder + kCardToolbarHeight, clientWidth,
                     clientHeight - kCardToolbarHeight);
}

void FrontCardWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().button());
  PaintBorder(painter);
}

}  // namespace tessel
