#include "stack/ui/index_field.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

namespace tessel {
namespace {

// QLineEdit keeps this many pixels free on each side of its text, and one
// more for the cursor.
constexpr int kLineEditMargin = 2;
constexpr int kCursorWidth = 1;

}  // namespace

class IndexField::WidthValidator : public QValidator {
 public:
  explicit WidthValidator(IndexField* field) : QValidator(field), field_(field) {}
  State validate(QString& input, int&) const override {
    // Shortening is always allowed, so a loaded text wider than the field
    // can still be edited down.
    if (input.size() > length_ && !field_->Fits(input)) return Invalid;
    length_ = input.size();
    return Acceptable;
  }
  void Loaded(qsizetype length) { length_ = length; }

 private:
  IndexField* field_;
  mutable qsizetype length_ = 0;  // of the text last accepted or loaded
};

IndexField::IndexField(QWidget* parent) : QLineEdit(parent), validator_(new WidthValidator(this)) {
  setValidator(validator_);
}

bool IndexField::Fits(const QString& text) const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect contents =
      style()->subElementRect(QStyle::SE_LineEditContents, &option, this).marginsRemoved(
          textMargins());
  const int room = contents.width() - 2 * kLineEditMargin - kCursorWidth;
  return fontMetrics().horizontalAdvance(text) <= room;
}

void IndexField::Load(const QString& text) {
  if (text != this->text()) setText(text);
  validator_->Loaded(text.size());
  setCursorPosition(0);
}

bool IndexField::event(QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
      emit tabPressed();
      return true;
    }
  }
  return QLineEdit::event(e);
}

void IndexField::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  emit focusGained();
}

}  // namespace tessel
