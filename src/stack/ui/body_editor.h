// The front card's body: plain text in the file-wide body look, with web and
// mail addresses underlined and opened on a click. It reports what the card
// stack view acts on and leaves the card records to it.
#pragma once

#include <QString>
#include <QTextEdit>

namespace tessel {

class BodyEditor : public QTextEdit {
  Q_OBJECT
 public:
  explicit BodyEditor(QWidget* parent = nullptr);

  // Shows a record's body (editor line breaks); not reported as an edit.
  void Load(const QString& text);
  // The whole text with bare line feeds, exactly as typed.
  QString Text() const;

 signals:
  // A key that reaches the body as typing would, before the editor handles
  // it: not a lone modifier, not Alt with a key (menu access), not F1 to
  // F10 (the program's keys and menu activation).
  void keyPressed();
  void insertPressed();      // Insert without Shift or Ctrl
  void ctrlLetter(char lowerLetter);  // after the editor handled the key
  // The text changed through the user (keys, Cut, Paste, middle-click, drag
  // and drop, an input method, Undo): `removed` characters from `position`
  // became `inserted` (line breaks as in Text()).
  void edited(int position, int removed, const QString& inserted);
  void focusGained();
  void cardListRequested(const QPoint& globalPos);
  void linkClicked(const QString& target);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  static bool ReachesBody(const QKeyEvent& e);
  QString LinkAt(const QPoint& viewportPos) const;
  void OnContentsChange(int position, int removed, int added);
  // Breaks lines anywhere once `text` holds a word too long to break at word
  // boundaries in good time; `whole`: the text is the whole body, so an
  // ordinary one goes back to breaking at words.
  void FitWrapMode(const QString& text, bool whole);

  bool loading_ = false;
  QString shown_;  // the raw text last loaded, kept in step with each edit
};

}  // namespace tessel
