// The front card's one-line index field. It never scrolls sideways: text that
// would not fit its visible width is refused, as if the field had no room.
#pragma once

#include <QLineEdit>

namespace tessel {

class IndexField : public QLineEdit {
  Q_OBJECT
 public:
  explicit IndexField(QWidget* parent = nullptr);

  // Whether `text` fits the visible width in the current font.
  bool Fits(const QString& text) const;
  // Shows a text loaded from a record (which may be wider than the field)
  // from its start.
  void Load(const QString& text);

 signals:
  // Tab (or Shift+Tab) was pressed; it inserts nothing and moves nowhere.
  void tabPressed();
  void focusGained();

 protected:
  bool event(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;

 private:
  class WidthValidator;
  WidthValidator* validator_;
};

}  // namespace tessel
