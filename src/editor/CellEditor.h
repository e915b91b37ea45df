#pragma once
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <utility>

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

 protected:
  void insertFromMimeData(const QMimeData* source) override {
    mPaste = source->text();
    QPlainTextEdit::insertFromMimeData(source);
    mPaste.clear();
  }

 private:
  QString mPaste;
};
