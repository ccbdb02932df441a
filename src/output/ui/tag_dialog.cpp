#include "output/ui/tag_dialog.h"

#include <algorithm>

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "services/ui/icons.h"
#include "services/ui/text.h"

namespace tessel {

// ------------------------------------------------------------- TagListModel

int TagListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(marks_.Size());
}

QVariant TagListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  // The tooltip holds the whole text where the row has to cut it short.
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return FromCp1252(cards_.At(row).index);
  if (role == kTaggedRole) return marks_.Tagged(row);
  return {};
}

void TagListModel::MarksChanged(int first, int last) {
  if (first > last) return;
  emit dataChanged(index(first), index(last), {kTaggedRole});
}

// ----------------------------------------------------------- TagRowDelegate

const QPixmap& TagRowDelegate::Mark(bool tagged, qreal ratio) const {
  QPixmap& pixmap = tagged ? tagged_ : untagged_;
  // Rendered once per screen scale from the vector art, so it stays crisp.
  if (pixmap.isNull() || pixmap.devicePixelRatio() != ratio) {
    const QIcon icon = CommandIcon(tagged ? "tag-tagged" : "tag-untagged");
    pixmap = icon.pixmap(QSize(kTagMarkWidth, kTagMarkHeight), ratio);
  }
  return pixmap;
}

void TagRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette& palette = option.palette;
  painter->save();
  painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
  const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  painter->drawPixmap(option.rect.topLeft(),
                      Mark(index.data(TagListModel::kTaggedRole).toBool(), ratio));
  painter->setClipRect(option.rect);
  painter->setFont(option.font);
  painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
  painter->drawText(TextRect(option), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    ShownText(option, index));
  painter->restore();
}

QRect TagRowDelegate::TextRect(const QStyleOptionViewItem& option) {
  return option.rect.adjusted(kTagMarkWidth + kTagTextGap, 0, 0, 0);
}

QString TagRowDelegate::ShownText(const QStyleOptionViewItem& option, const QModelIndex& index) {
  return QFontMetrics(option.font)
      .elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                  TextRect(option).width());
}

QSize TagRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return {kTagColumnWidth, kTagRowHeight};
}

// ---------------------------------------------------------------- TagDialog

TagDialog::TagDialog(CardCollection& cards, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMaximizeButtonHint),
      cards_(cards),
      marks_(cards) {
  setWindowTitle("Tag Cards");
  setModal(true);

  menuBar_ = new QMenuBar(this);
  QMenu* tag = menuBar_->addMenu("&Tag");
  connect(tag->addAction("&All"), &QAction::triggered, this, &TagDialog::TagAll);
  connect(tag->addAction("&None"), &QAction::triggered, this, &TagDialog::UntagAll);
  connect(tag->addAction("&Selected"), &QAction::triggered, this, &TagDialog::TagSelected);

  // The controls keep the places of the original layout (dialog units of
  // its 8-point font turned into pixels); only the list follows the size.
  client_ = new QWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar_);
  layout->addWidget(client_);

  auto* ok = new QPushButton("Ok", client_);
  ok->setAutoDefault(false);
  // Enter means OK here as in every other dialog of the program.
  ok->setDefault(true);
  ok->setGeometry(15, 15, 75, 23);
  auto* cancel = new QPushButton("Cancel", client_);
  cancel->setAutoDefault(false);
  cancel->setGeometry(105, 15, 75, 23);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* text = new QLabel(
      "Select the cards you want to use with print, email, and print labels operations.", client_);
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // As high as its lines need in the font at hand, above the list.
  text->setGeometry(218, 6, 230, std::min(text->heightForWidth(230), 46));

  model_ = new TagListModel(cards_, marks_, this);
  list_ = new QListView(client_);
  list_->setModel(model_);
  list_->setItemDelegate(new TagRowDelegate(list_));
  // Top to bottom, then the next column: a multi-column list that scrolls
  // sideways. Uniform rows keep 100,000 cards quick to lay out.
  list_->setFlow(QListView::TopToBottom);
  list_->setWrapping(true);
  list_->setResizeMode(QListView::Adjust);
  list_->setUniformItemSizes(true);
  list_->setGridSize(QSize(kTagColumnWidth, kTagRowHeight));
  list_->setSpacing(0);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list_->setGeometry(0, 52, 456, 166);
  connect(list_, &QListView::doubleClicked, this,
          [this](const QModelIndex& index) { Toggle(index.row()); });

  resize(456, 218 + menuBar_->sizeHint().height());
  // Before the first resize the list keeps its place above; the rule
  // applies from the first size change the user makes.
  client_->installEventFilter(this);
}

bool TagDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize && shown_) {
    list_->setGeometry(0, kTagListTop, client_->width(), client_->height() - kTagListHeightLoss);
  }
  return QDialog::eventFilter(watched, event);
}

void TagDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  shown_ = true;
}

void TagDialog::TagAll() {
  marks_.TagAll();
  model_->MarksChanged(0, model_->rowCount() - 1);
  list_->clearSelection();
}

void TagDialog::UntagAll() {
  marks_.UntagAll();
  model_->MarksChanged(0, model_->rowCount() - 1);
  list_->clearSelection();
}

void TagDialog::TagSelected() {
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedIndexes()) {
    rows.push_back(static_cast<std::size_t>(index.row()));
  }
  if (rows.empty()) return;
  marks_.TagRows(rows);
  const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
  model_->MarksChanged(static_cast<int>(*first), static_cast<int>(*last));
  // Each tagged row is put in afresh, and so is no longer selected.
  list_->clearSelection();
}

void TagDialog::Toggle(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  marks_.Toggle(static_cast<std::size_t>(row));
  model_->MarksChanged(row, row);
  list_->selectionModel()->select(model_->index(row), QItemSelectionModel::Deselect);
}

void TagDialog::accept() {
  changed_ = marks_.Apply(cards_);
  QDialog::accept();
}

}  // namespace tessel
