// The Tag Cards dialog: every card's index text in columns, each with its
// mark, edited with the Tag menu and double-clicks. OK writes the marks into
// the cards through TagMarks; Cancel and Esc change nothing.
#pragma once

#include <QAbstractListModel>
#include <QDialog>
#include <QPixmap>
#include <QStyledItemDelegate>

#include "cards/card_collection.h"
#include "output/tag_marks.h"

class QListView;
class QPushButton;
class QLabel;
class QMenuBar;

namespace tessel {

inline constexpr int kTagColumnWidth = 150;
inline constexpr int kTagRowHeight = 15;
inline constexpr int kTagMarkWidth = 19;
inline constexpr int kTagMarkHeight = 14;
inline constexpr int kTagTextGap = 5;
// Where resizing puts the list: at this y, as high as the client area less
// kTagListHeightLoss (so its lowest 5 pixels lie below the client area).
inline constexpr int kTagListTop = 55;
inline constexpr int kTagListHeightLoss = 50;

// Rows of the list: the cards in collection order, read when drawn.
class TagListModel final : public QAbstractListModel {
  Q_OBJECT
 public:
  static constexpr int kTaggedRole = Qt::UserRole + 1;
  TagListModel(const CardCollection& cards, TagMarks& marks, QObject* parent = nullptr)
      : QAbstractListModel(parent), cards_(cards), marks_(marks) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // The marks changed in these rows.
  void MarksChanged(int first, int last);

 private:
  const CardCollection& cards_;
  TagMarks& marks_;
};

// Draws a row: the mark at its top-left corner, the index text 5 pixels to
// its right, in the highlight colours when selected; no focus frame.
class TagRowDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // The index text as the row shows it: ending in an ellipsis where it is
  // wider than the row leaves room for.
  static QString ShownText(const QStyleOptionViewItem& option, const QModelIndex& index);

 private:
  static QRect TextRect(const QStyleOptionViewItem& option);
  const QPixmap& Mark(bool tagged, qreal ratio) const;
  mutable QPixmap tagged_, untagged_;
};

class TagDialog final : public QDialog {
  Q_OBJECT
 public:
  TagDialog(CardCollection& cards, QWidget* parent = nullptr);

  const TagMarks& Marks() const { return marks_; }
  QListView* List() const { return list_; }
  QMenuBar* MenuBar() const { return menuBar_; }
  // True after OK when it changed a card's tag.
  bool Changed() const { return changed_; }

  void TagAll();
  void UntagAll();
  void TagSelected();
  void Toggle(int row);

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  CardCollection& cards_;
  TagMarks marks_;
  TagListModel* model_;
  QWidget* client_;
  QListView* list_;
  QMenuBar* menuBar_;
  bool changed_ = false;
  bool shown_ = false;  // the size changes of creation and first showing are past
};

}  // namespace tessel
