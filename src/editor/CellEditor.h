#pragma once
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <functional>

#include "CellText.h"

// The grid's one real text editor, placed over the cell that has the focus. It keeps the raw
// text of a paste while the paste goes in, so that the paste's own line ends can be stored.
class CellEditor : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

  // What the editor shows: each line break one '\n'; unlike toPlainText(), non-breaking spaces
  // stay what they are.
  QString shownText() const {
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
  }
  QString pasteInProgress() const { return mPaste; }

  // Asked with the text of every paste or drop before it goes in; false refuses it.
  void setPasteCheck(std::function<bool(const QString&)> check) { mPasteCheck = std::move(check); }
  // Offered every paste or drop first; true when it took the text, which then goes no further.
  void setBlockPaste(std::function<bool(const QString&)> take) { mBlockPaste = std::move(take); }

 protected:
  // A clipboard owner may answer one request only, and its data may be gone after it: the text
  // is read once and inserted here, never handed back to the base class to be read again.
  void insertFromMimeData(const QMimeData* source) override {
    const QString text = source->text();
    if (text.isEmpty() || (mBlockPaste && mBlockPaste(text)) || (mPasteCheck && !mPasteCheck(text))) return;
    mPaste = text;
    QTextCursor cursor = textCursor();
    cursor.insertText(CellText::withPlainBreaks(text));
    setTextCursor(cursor);
    ensureCursorVisible();
    mPaste.clear();
  }

 private:
  QString mPaste;
  std::function<bool(const QString&)> mPasteCheck;
  std::function<bool(const QString&)> mBlockPaste;
};
