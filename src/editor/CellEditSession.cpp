#include "CellEditSession.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLocale>
#include <QTextCursor>
#include <algorithm>

#include "CellEditor.h"
#include "CellText.h"
#include "CodePage.h"
#include "DataFileFormat.h"
#include "EditedFile.h"
#include "GridCell.h"

CellEditSession::CellEditSession(QWidget* host, EditedFile& file)
    : mFile(file), mEditor(new CellEditor(host)) {
  mEditor->setObjectName(QStringLiteral("cellEditor"));
  mEditor->setFrameShape(QFrame::NoFrame);
  mEditor->setTabChangesFocus(true);
  mEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mEditor->document()->setDocumentMargin(2);
  QPalette colours = mEditor->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::Text, colours.color(QPalette::ToolTipText));
  mEditor->setPalette(colours);
  mEditor->hide();
  mEditor->installEventFilter(this);
  mEditor->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(mEditor, &QPlainTextEdit::textChanged, this, &CellEditSession::textChanged);
  mEditor->setPasteCheck([this](const QString& pasted) { return pasteFits(pasted); });
}

std::int32_t CellEditSession::field() const { return mFile.record().actualFieldNoInSelectedRange(mColumn); }

bool CellEditSession::differs() const { return mActive && mFile.defaultValue(mRecord, field()) != nullptr; }

void CellEditSession::begin(std::int32_t iRecNo, std::int32_t iColumn) {
  mActive = true;
  mRecord = iRecNo;
  mColumn = iColumn;
  takeStoredValue();
}

void CellEditSession::takeStoredValue() {
  show(std::string(mFile.record().value(mRecord, field())));
  mValueAtFocus = mValue;
  tint();
}

void CellEditSession::finishStep() {
  if (!mActive || mValue == mValueAtFocus) return;
  mFile.addStep({mRecord, field(), mValueAtFocus, mValue});
  mValueAtFocus = mValue;
}

bool CellEditSession::undoTyping(bool redo) {
  const QTextDocument* typed = mEditor->document();
  if (redo ? typed->isRedoAvailable() : typed->isUndoAvailable()) {
    redo ? mEditor->redo() : mEditor->undo();
    return true;
  }
  finishStep();
  return false;
}

bool CellEditSession::eventFilter(QObject* watched, QEvent* event) {
  // A context menu takes the focus for a while: the edit goes on under it.
  if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) end();
  return QObject::eventFilter(watched, event);
}

void CellEditSession::end() {
  if (!mActive) return;
  finishStep();
  mActive = false;
  mEditor->hide();
  emit ended();
}

// The editor takes a value: not an edit.
void CellEditSession::show(std::string value) {
  const bool filling = mFilling;
  mFilling = true;
  mEditor->setPlainText(CellText::display(value));
  mFilling = filling;
  mShown = mEditor->shownText();
  mValue = std::move(value);
  mStates.assign(1, {mShown, mValue});
}

// Each change writes through as typed. Only the changed span of the editor's text is carried
// back to the value's bytes, so a line end or any other byte the user did not touch stays.
void CellEditSession::textChanged() {
  if (mFilling || !mActive) return;
  constexpr std::size_t kStatesKept = 64;
  const QString shown = mEditor->shownText();
  const auto earlier = std::find_if(mStates.begin(), mStates.end(), [&](const auto& state) { return state.first == shown; });
  CellText::Edit edit;
  if (earlier != mStates.end())
    edit.bytes = earlier->second;
  else
    edit = CellText::apply(mValue, mShown, shown, mEditor->pasteInProgress());
  mValue = std::move(edit.bytes);
  mFile.setValue(mRecord, field(), mValue);
  tint();
  if (edit.unmappable > 0) showStoredValue();
  mShown = mEditor->shownText();
  if (earlier == mStates.end()) {
    if (mStates.size() >= kStatesKept) mStates.erase(mStates.begin());
    mStates.emplace_back(mShown, mValue);
  }
  emit typed();
  if (edit.unmappable > 0) emit notice(QStringLiteral("A character that the file's code page cannot hold was stored as \"?\"."));
}

// A value longer than a record can never be saved, and a text box slows down with every
// character it wraps: a paste that would make one is refused before it reaches the editor.
bool CellEditSession::pasteFits(const QString& pasted) {
  constexpr std::size_t kLongest = DataFileFormat::kLongestRecord;
  std::size_t length = static_cast<std::size_t>(pasted.size());
  if (length <= kLongest) {
    const QTextCursor cursor = mEditor->textCursor();
    QString after = mEditor->shownText();
    after.replace(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(), CellText::withPlainBreaks(pasted));
    length = CellText::apply(mValue, mShown, after, pasted).bytes.size();
    if (length <= kLongest) return true;
  }
  emit notice(QStringLiteral("Not pasted: the value would be %1 characters long; a record may hold at most %2.")
                  .arg(QLocale().toString(static_cast<qulonglong>(length)), QLocale().toString(static_cast<qulonglong>(kLongest))));
  QApplication::beep();
  return false;
}

// The editor shows what the store holds, the caret kept where it was from the end.
void CellEditSession::showStoredValue() {
  const QString stored = CellText::display(mValue);
  const int fromEnd = static_cast<int>(mEditor->shownText().size()) - mEditor->textCursor().position();
  mFilling = true;
  QTextCursor all(mEditor->document());
  all.select(QTextCursor::Document);
  all.insertText(stored);
  mFilling = false;
  QTextCursor caret = mEditor->textCursor();
  caret.setPosition(std::max(0, static_cast<int>(stored.size()) - fromEnd));
  mEditor->setTextCursor(caret);
}

void CellEditSession::tint() {
  if (!mActive) return;
  QPalette colours = mEditor->palette();
  const QColor focused = mEditor->parentWidget()->palette().color(QPalette::ToolTipBase);
  colours.setColor(QPalette::Base, differs() ? differenceTint(focused, mFile.difference(mRecord, field())) : focused);
  mEditor->setPalette(colours);
}
