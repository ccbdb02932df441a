#include "stack/ui/format_toolbar.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QIcon>

#include "stack/ui/card_stack_view.h"
#include "services/ui/text.h"

namespace tessel {
namespace {

QComboBox* AddBox(QToolBar* bar, const BoxTips& tips, int widthInChars) {
  auto* box = new QComboBox(bar);
  box->setEditable(false);
  box->setToolTip(tips.tooltip);
  box->setStatusTip(tips.prompt);
  box->setFixedWidth(box->fontMetrics().averageCharWidth() * widthInChars);
  box->setEnabled(false);
  bar->addWidget(box);
  return box;
}

// Keeps the shown item when it reads `text`; otherwise selects the first
// item that begins with it (ignoring case), or none. False for none.
bool Show(QComboBox* box, const QString& text) {
  if (box->currentIndex() >= 0 && box->currentText() == text) return true;
  box->setCurrentIndex(box->findText(text, Qt::MatchStartsWith));
  return box->currentIndex() >= 0;
}

}  // namespace

FormatToolBar::FormatToolBar(CardStackView& view, const ToolbarItems& items, const BoxTips& face,
                             const BoxTips& size, QWidget* parent, ColourDialog dialog)
    : QToolBar(parent), view_(view), dialog_(std::move(dialog)), faceTip_(face.tooltip) {
  setObjectName(QStringLiteral("FormatToolBar"));
  setIconSize(QSize(16, 15));
  AddToolbarItems(this, items);
  if (!items.empty()) addSeparator();

  faceBox_ = AddBox(this, face, 32);
  QStringList faces;
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::isSmoothlyScalable(family)) faces.append(family);
  }
  faces.sort(Qt::CaseInsensitive);
  faces.removeDuplicates();
  faceBox_->addItems(faces);
  addSeparator();
  sizeBox_ = AddBox(this, size, 12);
  for (int size : kFontSizes) sizeBox_->addItem(QString::number(size));
  faceBox_->setCurrentIndex(0);
  sizeBox_->setCurrentIndex(0);

  connect(faceBox_, &QComboBox::activated, this, [this](int i) {
    view_.SetFace(ToCp1252(faceBox_->itemText(i)));
    Update();
  });
  connect(sizeBox_, &QComboBox::activated, this, [this](int i) {
    view_.SetSize(sizeBox_->itemText(i).toInt());
    Update();
  });
  followsView_ =
      connect(&view_, &CardStackView::formatTargetChanged, this, &FormatToolBar::Update);
  Update();
}

FormatToolBar::~FormatToolBar() { disconnect(followsView_); }

void FormatToolBar::Update() {
  QWidget* focus = QApplication::focusWidget();
  if (focus && (focus == faceBox_ || focus == sizeBox_ || faceBox_->isAncestorOf(focus) ||
                sizeBox_->isAncestorOf(focus))) {
    return;
  }
  const std::string face = TargetFace(view_.Format(), view_.Target());
  const bool enabled = !face.empty();
  faceBox_->setEnabled(enabled);
  sizeBox_->setEnabled(enabled);
  if (!enabled) return;
  // A face the file holds and this system lacks selects nothing; the
  // tooltip says which face it is, so the empty box has its reason.
  const bool installed = Show(faceBox_, FromCp1252(face));
  faceBox_->setToolTip(installed ? faceTip_
                                 : faceTip_ + QStringLiteral(": \"%1\", not installed")
                                                  .arg(FromCp1252(face)));
  const QString size = QString::number(TargetSize(view_.Format(), view_.Target()));
  if (sizeBox_->currentText() != size) sizeBox_->setCurrentIndex(sizeBox_->findText(size, Qt::MatchExactly));
}

void FormatToolBar::OpenPicker(ColourRole role, QAction* anchor) {
  if (picker_) picker_->close();
  QWidget* button = anchor ? widgetForAction(anchor) : nullptr;
  auto* picker = new ColourPicker(dialog_, this);
  connect(picker, &ColourPicker::picked, this,
          [this, role](Colour colour) { view_.ApplyColour(role, colour); });
  // Its top-left corner sits at the button's right edge, under the toolbar.
  const int x = button ? button->geometry().right() + 1 : 0;
  picker->move(mapToGlobal(QPoint(x, height())));
  picker_ = picker;
  picker->show();
  picker->raise();
}

}  // namespace tessel
