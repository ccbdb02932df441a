#include "stack/ui/body_editor.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>

#include "stack/links.h"

namespace tessel {
namespace {

std::u16string_view View(const QString& s) {
  return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

class LinkHighlighter : public QSyntaxHighlighter {
 public:
  using QSyntaxHighlighter::QSyntaxHighlighter;

 protected:
  void highlightBlock(const QString& text) override {
    QTextCharFormat underlined;
    underlined.setFontUnderline(true);
    for (const LinkSpan& link : FindLinks(View(text))) {
      setFormat(static_cast<int>(link.start), static_cast<int>(link.length), underlined);
    }
  }
};

}  // namespace

BodyEditor::BodyEditor(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(false);
  setLineWrapMode(QTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setMouseTracking(true);
  // Before the highlighter's own handler, whose format changes report
  // themselves as changes too: they must find the edit already taken in.
  connect(document(), &QTextDocument::contentsChange, this, &BodyEditor::OnContentsChange);
  new LinkHighlighter(document());
}

namespace {

// Qt looks for a word boundary for each line it breaks, from the line's start
// to the end of the word: a word much longer than a line costs time that
// grows with the square of its length (a 1 MB word took a minute to show).
// Beyond this length the body breaks lines anywhere instead.
constexpr qsizetype kLongestWrappedWord = 2000;

// Qt throws a paragraph's glyphs away after laying it out unless told to
// keep them; then every blink of the cursor shapes a long paragraph again
// only to place the cursor. Long ones keep theirs.
constexpr int kKeptLayoutLength = 4096;

void KeepLongLayouts(QTextDocument* document, int from, int to) {
  for (QTextBlock b = document->findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
    if (b.length() > kKeptLayoutLength) b.layout()->setCacheEnabled(true);
  }
}

bool HasLongWord(const QString& text) {
  qsizetype run = 0;
  for (const QChar c : text) {
    run = c.isSpace() ? 0 : run + 1;
    if (run > kLongestWrappedWord) return true;
  }
  return false;
}

}  // namespace

void BodyEditor::FitWrapMode(const QString& text, bool whole) {
  if (HasLongWord(text)) {
    setWordWrapMode(QTextOption::WrapAnywhere);
  } else if (whole) {
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  }
}

void BodyEditor::insertFromMimeData(const QMimeData* source) {
  if (source->hasText()) FitWrapMode(source->text(), false);
  QTextEdit::insertFromMimeData(source);
}

void BodyEditor::Load(const QString& text) {
  loading_ = true;
  FitWrapMode(text, true);
  setPlainText(text);
  KeepLongLayouts(document(), 0, document()->characterCount());
  shown_ = document()->toRawText();
  loading_ = false;
}

namespace {

// The document marks line breaks as paragraph (or line) separators.
QString AsTyped(QString raw) {
  raw.replace(QChar::ParagraphSeparator, u'\n');
  raw.replace(QChar::LineSeparator, u'\n');
  return raw;
}

}  // namespace

QString BodyEditor::Text() const {
  // toPlainText() would turn no-break spaces into blanks; the raw text keeps
  // every character.
  return AsTyped(document()->toRawText());
}

void BodyEditor::OnContentsChange(int position, int removed, int added) {
  if (loading_) return;
  // Only the changed range is read, so a key costs the same in a card of a
  // megabyte as in one of a line. Qt may count the document's closing
  // paragraph mark, which is no character of the text.
  const qsizetype length = document()->characterCount() - 1;
  const qsizetype old = std::min<qsizetype>(removed, shown_.size() - position);
  const qsizetype now = std::min<qsizetype>(added, length - position);
  if (position < 0 || old < 0 || now < 0 || shown_.size() - old + now != length) {
    // A report that does not add up: take the whole text again.
    QString raw = document()->toRawText();
    if (raw == shown_) return;
    const qsizetype before = shown_.size();
    shown_ = std::move(raw);
    emit edited(0, static_cast<int>(before), AsTyped(shown_));
    return;
  }
  QTextCursor range(document());
  range.setPosition(position);
  range.setPosition(static_cast<int>(position + now), QTextCursor::KeepAnchor);
  const QString inserted = range.selectedText();
  // Format changes (the link underlines) are reported as changes too.
  if (old == now && QStringView(shown_).mid(position, old) == inserted) return;
  shown_.replace(position, old, inserted);
  KeepLongLayouts(document(), position, static_cast<int>(position + now));
  emit edited(position, static_cast<int>(old), AsTyped(inserted));
}

bool BodyEditor::ReachesBody(const QKeyEvent& e) {
  switch (e.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
      return false;
    default:
      break;
  }
  if (e.key() >= Qt::Key_F1 && e.key() <= Qt::Key_F10) return false;
  // Alt with Ctrl is AltGr on many keyboards, which types characters.
  const Qt::KeyboardModifiers mods = e.modifiers();
  return !(mods & Qt::AltModifier) || (mods & Qt::ControlModifier);
}

void BodyEditor::keyPressEvent(QKeyEvent* e) {
  const bool alt = (e->modifiers() & Qt::AltModifier) && !(e->modifiers() & Qt::ControlModifier);
  if (alt && e->key() != Qt::Key_Alt) {
    // Alt with a key is menu access, never typing: on to the window.
    e->ignore();
    return;
  }
  if (ReachesBody(*e)) emit keyPressed();
  const Qt::KeyboardModifiers mods = e->modifiers();
  if (e->key() == Qt::Key_Insert && !(mods & (Qt::ShiftModifier | Qt::ControlModifier))) {
    emit insertPressed();
  }
  QTextEdit::keyPressEvent(e);
  const int key = e->key();
  if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A &&
      key <= Qt::Key_Z) {
    emit ctrlLetter(static_cast<char>('a' + (key - Qt::Key_A)));
  }
}

QString BodyEditor::LinkAt(const QPoint& viewportPos) const {
  const QTextCursor cursor = cursorForPosition(viewportPos);
  const QTextBlock block = cursor.block();
  const QString text = block.text();
  const int at = cursor.positionInBlock();
  // The character under the pointer may be just before the cursor position.
  const QRect caret = cursorRect(cursor);
  const std::size_t hit = static_cast<std::size_t>(
      viewportPos.x() < caret.x() && at > 0 ? at - 1 : at);
  for (const LinkSpan& link : FindLinks(View(text))) {
    if (hit >= link.start && hit < link.start + link.length) {
      const std::u16string target = LinkTarget(View(text).substr(link.start, link.length));
      return QString::fromStdU16String(target);
    }
  }
  return {};
}

void BodyEditor::mousePressEvent(QMouseEvent* e) {
  QTextEdit::mousePressEvent(e);
  if (e->button() != Qt::LeftButton) return;
  const QString target = LinkAt(e->position().toPoint());
  if (!target.isEmpty()) emit linkClicked(target);
}

void BodyEditor::mouseMoveEvent(QMouseEvent* e) {
  QTextEdit::mouseMoveEvent(e);
  const bool overLink = !LinkAt(e->position().toPoint()).isEmpty();
  viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void BodyEditor::contextMenuEvent(QContextMenuEvent* e) {
  emit cardListRequested(e->globalPos());
}

void BodyEditor::focusInEvent(QFocusEvent* e) {
  QTextEdit::focusInEvent(e);
  emit focusGained();
}

}  // namespace tessel
