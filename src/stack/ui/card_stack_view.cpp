#include "stack/ui/card_stack_view.h"

#include <QMenu>
#include <QTextCursor>
#include <QToolBar>
#include <algorithm>

#include "stack/body_text.h"
#include "stack/ui/body_editor.h"
#include "stack/ui/card_windows.h"
#include "stack/ui/index_field.h"
#include "services/ui/text.h"

namespace tessel {
namespace {

QFont CardFont(const std::string& face, int size) {
  // A size of zero or less (a damaged file) would make Qt refuse the font.
  return QFont(FromCp1252(face), std::max(size, 1), QFont::Normal);
}

}  // namespace

CardStackView::CardStackView(QWidget* hostWidget, CardCollection& cards, FormatSettings& format,
                             CardStackHost& host, ToolbarItems cardBar)
    : hostWidget_(hostWidget),
      cards_(cards),
      format_(format),
      host_(host),
      cardBar_(std::move(cardBar)) {
  cards_.SetObserver(this);
}

CardStackView::~CardStackView() {
  cards_.SetObserver(nullptr);
  for (const QPointer<QWidget>& w : windows_) delete w.data();
}

void CardStackView::SetClientOrigin(QPoint origin) {
  origin_ = origin;
  PlaceAll();
}

void CardStackView::PlaceAll() const {
  for (const StackEntry& entry : cards_.OnScreenEntries()) {
    if (entry.slot < windows_.size() && windows_[entry.slot]) Place(windows_[entry.slot], entry.rect);
  }
}

void CardStackView::Place(QWidget* window, const StackRect& rect) const {
  window->setGeometry(rect.left + origin_.x(), rect.top + origin_.y(), rect.right - rect.left,
                      rect.bottom - rect.top);
}

FrontCardWindow* CardStackView::Front() const {
  return windows_.empty() ? nullptr : qobject_cast<FrontCardWindow*>(windows_[0].data());
}

BackCardWindow* CardStackView::Back(std::size_t slot) const {
  return slot < windows_.size() ? qobject_cast<BackCardWindow*>(windows_[slot].data()) : nullptr;
}

IndexField* CardStackView::FrontIndex() const {
  FrontCardWindow* front = Front();
  return front ? front->Index() : nullptr;
}

BodyEditor* CardStackView::FrontBody() const {
  FrontCardWindow* front = Front();
  return front ? front->Body() : nullptr;
}

// --- the stack's windows ---

void CardStackView::CardWindowAdded(const StackEntry& entry) {
  SetOverwrite(false);
  QWidget* window = nullptr;
  if (entry.slot == 0) {
    CreateFrontWindow();
    window = windows_.empty() ? nullptr : windows_[0].data();
  } else {
    auto* back = new BackCardWindow(entry.slot, cards_, hostWidget_);
    connect(back, &BackCardWindow::clicked, this, &CardStackView::OnBackCardClicked);
    window = back;
    if (windows_.size() <= entry.slot) windows_.resize(entry.slot + 1);
    windows_[entry.slot] = back;
  }
  Place(window, entry.rect);
  // Each later slot lies below the one before, so every strip shows above
  // the card in front of it.
  if (entry.slot > 0 && windows_[entry.slot - 1]) window->stackUnder(windows_[entry.slot - 1]);
  window->show();
}

void CardStackView::CreateFrontWindow() {
  auto* front = new FrontCardWindow(hostWidget_, cardBar_);
  if (windows_.empty()) windows_.resize(1);
  windows_[0] = front;

  IndexField* index = front->Index();
  connect(index, &QLineEdit::textEdited, this, &CardStackView::OnIndexEdited);
  connect(index, &IndexField::tabPressed, this, &CardStackView::FocusFrontBody);
  connect(index, &IndexField::focusGained, this,
          [this] { SetFormatTarget(FormatControl::Index); });

  BodyEditor* body = front->Body();
  // Any key that reaches the body counts as a change, an arrow key too.
  connect(body, &BodyEditor::keyPressed, this, [this] { cards_.MarkBodyKey(); });
  connect(body, &BodyEditor::insertPressed, this, [this] { SetOverwrite(!overwrite_); });
  connect(body, &BodyEditor::ctrlLetter, this, &CardStackView::OnCtrlLetter);
  connect(body, &BodyEditor::edited, this, &CardStackView::OnBodyEdited);
  connect(body, &BodyEditor::focusGained, this, [this] { SetFormatTarget(FormatControl::Body); });
  connect(body, &BodyEditor::cardListRequested, this, &CardStackView::ShowCardList);
  connect(body, &BodyEditor::linkClicked, this, &CardStackView::OnLinkClicked);
  connect(body, &QTextEdit::undoAvailable, this, &CardStackView::bodyStateChanged);
  connect(body, &QTextEdit::copyAvailable, this, &CardStackView::bodyStateChanged);

  ApplyIndexFont(format_.indexFace, format_.indexSize);
  ApplyBodyFormat();
}

void CardStackView::CardWindowRemoved(const StackEntry& entry) {
  if (entry.slot >= windows_.size()) return;
  if (QWidget* window = windows_[entry.slot]) {
    window->hide();
    window->deleteLater();
  }
  windows_.resize(entry.slot);
}

void CardStackView::CardWindowsCleared() {
  for (const QPointer<QWidget>& window : windows_) {
    if (!window) continue;
    window->hide();
    window->deleteLater();
  }
  windows_.clear();
}

void CardStackView::PlaceholdersAdded(std::size_t) { SetOverwrite(false); }

void CardStackView::StackRefreshed() {
  for (std::size_t slot = 1; slot < windows_.size(); ++slot) {
    if (windows_[slot]) windows_[slot]->update();
  }
  FrontCardWindow* front = Front();
  if (!front || cards_.Empty()) return;
  const CardInfo& card = cards_.At(0);
  front->Index()->Load(FromCp1252(card.index));
  front->Body()->Load(FromCp1252(BodyForEditor(card.body)));
}

void CardStackView::StackLaidOut() {
  PlaceAll();
  // A new window size (the window manager may resize at any moment) takes
  // no caret away from a name being typed: Ctrl+A there must select, not
  // jump from the body.
  if (IndexField* index = FrontIndex(); index && index->hasFocus()) return;
  FocusFrontBody();
}

std::optional<std::string> CardStackView::FrontIndexFieldText() const {
  if (IndexField* index = FrontIndex()) return ToCp1252(index->text());
  return std::nullopt;
}

void CardStackView::SetFrontIndexFieldText(const std::string& text) {
  if (IndexField* index = FrontIndex()) index->Load(FromCp1252(text));
}

// --- commands ---

void CardStackView::Sort() {
  if (!cards_.Empty()) cards_.ResortKeepingFront();
}

void CardStackView::BringForward(std::size_t k) {
  cards_.BringToFront(k);
  cards_.RefreshStack();
}

void CardStackView::Next() {
  if (cards_.StackSize() > 1) BringForward(1);
  FocusFrontBody();
}

void CardStackView::Previous() {
  const std::size_t n = cards_.StackSize();
  if (n > 1) BringForward(n - 1);
  FocusFrontBody();
}

void CardStackView::OnBackCardClicked(std::size_t slot) { BringForward(slot); }

void CardStackView::CardListChosen(std::size_t k) {
  if (k < kCardListActiveItems && k < cards_.Size()) BringForward(k);
}

QMenu* CardStackView::CreateCardListMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  const std::vector<CardInfo>& cards = cards_.Cards();
  const std::size_t shown = std::min(cards.size(), kCardListMenuItems);
  for (std::size_t k = 0; k < shown; ++k) {
    // A card text, not a menu text: "&" is no access key, a tab no key hint.
    QString text = FromCp1252(cards[k].index);
    text.replace(u'&', QStringLiteral("&&")).replace(u'\t', u' ');
    QAction* action = menu->addAction(text);
    action->setData(static_cast<qulonglong>(k));
  }
  connect(menu, &QMenu::triggered, this, [this](QAction* action) {
    CardListChosen(static_cast<std::size_t>(action->data().toULongLong()));
  });
  return menu;
}

void CardStackView::ShowCardList(const QPoint& globalPos) {
  QMenu* menu = CreateCardListMenu(Front());
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(globalPos);
}

void CardStackView::FocusFrontBody() {
  if (BodyEditor* body = FrontBody()) body->setFocus(Qt::OtherFocusReason);
}

void CardStackView::FocusFrontIndexSelectingAll() {
  IndexField* index = FrontIndex();
  if (!index) return;
  index->setFocus(Qt::OtherFocusReason);
  index->setSelection(0, static_cast<int>(index->text().size()));
}

// --- editing ---

void CardStackView::UndoBody() {
  BodyEditor* body = FrontBody();
  if (!body) return;
  body->undo();
}

void CardStackView::CutBody() {
  BodyEditor* body = FrontBody();
  if (!body) return;
  body->cut();
}

void CardStackView::CopyBody() {
  if (BodyEditor* body = FrontBody()) body->copy();
}

void CardStackView::PasteBody() {
  BodyEditor* body = FrontBody();
  if (!body) return;
  body->paste();  // plain text only: the editor accepts no rich text
  ApplyBodyFormat();
}

bool CardStackView::BodyCanUndo() const {
  const BodyEditor* body = FrontBody();
  return body && body->document()->isUndoAvailable();
}

bool CardStackView::BodyHasSelection() const {
  const BodyEditor* body = FrontBody();
  return body && body->textCursor().hasSelection();
}

std::string CardStackView::FrontBodySearchText() const {
  const BodyEditor* body = FrontBody();
  if (!body) return {};
  const QString text = body->Text();
  // Unit by unit, so that positions stay the editor's even where a
  // character needs two UTF-16 units.
  std::string out(static_cast<std::size_t>(text.size()), '?');
  for (qsizetype i = 0; i < text.size(); ++i) {
    out[static_cast<std::size_t>(i)] = CodePointToCp1252(text[i].unicode());
  }
  return out;
}

std::string CardStackView::FrontBodySelectedText() const {
  const BodyEditor* body = FrontBody();
  if (!body) return {};
  QString text = body->textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  return ToCp1252(text);
}

std::size_t CardStackView::FrontBodySelectionEnd() const {
  const BodyEditor* body = FrontBody();
  return body ? static_cast<std::size_t>(body->textCursor().selectionEnd()) : 0;
}

void CardStackView::SelectInFrontBody(std::size_t start, std::size_t end) {
  BodyEditor* body = FrontBody();
  if (!body) return;
  QTextCursor cursor = body->textCursor();
  cursor.setPosition(static_cast<int>(start));
  cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
  body->setTextCursor(cursor);
}

void CardStackView::OnIndexEdited() {
  // Stored at once, not posted: a command, a click or a save that follows
  // the keystroke must find the new name in the record.
  if (IndexField* index = FrontIndex()) {
    cards_.StoreFrontEdits(FrontField::Index, ToCp1252(index->text()));
  }
}

void CardStackView::OnBodyEdited(int position, int removed, const QString& inserted) {
  const BodyEditor* editor = FrontBody();
  if (!editor || cards_.Empty()) return;
  // Only the edited range is converted and stored. A character Windows-1252
  // lacks that takes two editor positions is stored as one '?'; the lengths
  // then differ and the whole text is stored instead.
  const std::string& body = cards_.At(0).body;
  const std::string text = ToCp1252(inserted);
  const std::optional<ByteRange> range =
      BodyBytes(body, static_cast<std::size_t>(position), static_cast<std::size_t>(removed));
  const auto length = static_cast<std::size_t>(editor->document()->characterCount() - 1);
  if (range && EditorLength(body) - static_cast<std::size_t>(removed) + text.size() == length) {
    cards_.StoreFrontEdits(FrontField::Body, range->start, range->end - range->start,
                           BodyFromEditor(text));
  } else {
    cards_.StoreFrontEdits(FrontField::Body, BodyFromEditor(ToCp1252(editor->Text())));
  }
}

void CardStackView::OnCtrlLetter(char letter) {
  cards_.JumpToInitial(letter);
  cards_.RefreshStack();
}

void CardStackView::OnLinkClicked(const QString& target) {
  const QUrl url(target, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid()) return;
  if (scheme == u"http" || scheme == u"https" || scheme == u"ftp" || scheme == u"mailto") {
    host_.OpenLink(url);
  }
}

void CardStackView::SetOverwrite(bool overwrite) {
  if (BodyEditor* body = FrontBody()) body->setOverwriteMode(overwrite);
  if (overwrite == overwrite_) return;
  overwrite_ = overwrite;
  host_.OverwriteChanged(overwrite);
}

// --- format ---

void CardStackView::SetFormatTarget(FormatControl control) {
  target_.Set(control);
  emit formatTargetChanged();
  host_.FormatTargetChanged();
}

void CardStackView::ApplyIndexFont(const std::string& face, int size) {
  IndexField* index = FrontIndex();
  if (!index) return;
  index->setFont(CardFont(face, size));
  ApplyIndexColours();
}

void CardStackView::ApplyIndexColours() {
  IndexField* index = FrontIndex();
  if (!index) return;
  QPalette palette = index->palette();
  palette.setColor(QPalette::Base, ToQColor(format_.indexBackground));
  palette.setColor(QPalette::Text, ToQColor(format_.indexText));
  index->setPalette(palette);
  index->update();
}

void CardStackView::ApplyBodyFormat() {
  BodyEditor* body = FrontBody();
  if (!body) return;
  body->setFont(CardFont(format_.bodyFace, format_.bodySize));
  QPalette palette = body->palette();
  palette.setColor(QPalette::Base, ToQColor(format_.bodyBackground));
  body->setPalette(palette);
  ApplyBodyTextColour();
}

void CardStackView::ApplyBodyTextColour() {
  BodyEditor* body = FrontBody();
  if (!body) return;
  QPalette palette = body->palette();
  palette.setColor(QPalette::Text, ToQColor(format_.bodyText));
  body->setPalette(palette);
  body->viewport()->update();
}

void CardStackView::ApplyFontOf(FormatControl control) {
  if (control == FormatControl::Body) ApplyBodyFormat();
  if (control == FormatControl::Index) ApplyIndexFont(format_.indexFace, format_.indexSize);
}

// The format is saved in the card file, so it changes through the model,
// which counts a new look as a change to keep.

void CardStackView::SetFace(const std::string& face) {
  FormatSettings next = format_;
  const FormatControl control = SetTargetFace(next, target_, StackEmpty(), face);
  cards_.SetFormat(format_, next);
  ApplyFontOf(control);
}

void CardStackView::SetSize(int size) {
  FormatSettings next = format_;
  const FormatControl control = SetTargetSize(next, target_, StackEmpty(), size);
  cards_.SetFormat(format_, next);
  ApplyFontOf(control);
}

void CardStackView::ApplyColour(ColourRole role, Colour colour) {
  if (StackEmpty()) return;
  FormatSettings next = format_;
  // With neither control focused yet nothing is stored; the repaint below
  // is harmless.
  SetTargetColour(next, target_, false, role, colour);
  cards_.SetFormat(format_, next);
  ApplyBodyFormat();
  ApplyIndexColours();
}

}  // namespace tessel
