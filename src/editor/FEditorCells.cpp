// Cell editing: the focused cell's highlight and growth, the write-through of every change,
// and the hover hints of cells and headers. The light cell that gets the focus hands it to the
// one real editor, placed over it; the editor losing the focus is the cell losing it.
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QTextCursor>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <cmath>

#include "CGlobal.h"
#include "CRecordData.h"
#include "CellEditor.h"
#include "CellText.h"
#include "CodePage.h"
#include "DataFileFormat.h"
#include "FEditor.h"
#include "GlobalShared.h"
#include "GridCell.h"
#include "HeaderBox.h"
#include "GridGeometry.h"
#include "Twips.h"

using namespace GridGeometry;

namespace {

constexpr std::int32_t kExtraLineField = 53;

void setBackground(QWidget* widget, QPalette::ColorRole role) {
  widget->setBackgroundRole(role);
  widget->update();
}

}  // namespace

void FEditor::watchCell(GridCell* cell) {
  cell->installEventFilter(this);
  cell->setMouseTracking(true);
}

void FEditor::watchHeader(HeaderBox* header) {
  header->installEventFilter(this);
  header->viewport()->installEventFilter(this);
  header->viewport()->setMouseTracking(true);
}

void FEditor::watchCells() {
  mCellEditor = new CellEditor(fraDisplay);
  mCellEditor->setObjectName(QStringLiteral("cellEditor"));
  mCellEditor->setFrameShape(QFrame::NoFrame);
  mCellEditor->setTabChangesFocus(true);
  mCellEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mCellEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mCellEditor->document()->setDocumentMargin(2);
  QPalette colours = mCellEditor->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::Text, colours.color(QPalette::ToolTipText));
  mCellEditor->setPalette(colours);
  mCellEditor->hide();
  mCellEditor->installEventFilter(this);
  mCellEditor->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(mCellEditor, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { showCellMenu(mCellEditor->viewport()->mapToGlobal(at)); });
  connect(mCellEditor, &QPlainTextEdit::textChanged, this, &FEditor::txtField_Change);
  mCellEditor->setPasteCheck([this](const QString& pasted) { return pasteFits(pasted); });
  for (GridCell* cell : txtField) watchCell(cell);
  for (HeaderBox* header : txtColumn) watchHeader(header);
  // The controls that, getting the focus, leave no cell selected.
  std::vector<QWidget*> others{hsbFields2Display, vsbUnits2display, chkScrollUpdate[0], chkScrollUpdate[1]};
  for (std::size_t n = 1; n <= FileKind::kRangeCount; ++n) others.push_back(optLockFields[n]);
  for (QPushButton* button : cmdFileActions)
    if (button) others.push_back(button);
  for (QWidget* widget : others) widget->installEventFilter(this);
}

bool FEditor::eventFilter(QObject* watched, QEvent* event) {
  if (commandEvent(watched, event)) return true;
  auto* widget = qobject_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::FocusIn:
      if (auto* cell = qobject_cast<GridCell*>(watched)) {
        const auto found = std::find(txtField.begin(), txtField.end(), cell);
        txtField_GotFocus(static_cast<std::int32_t>(found - txtField.begin()));
      } else if (watched != mCellEditor && watched != cmdSlide) {
        mLastSelectedIndex = -1;
      }
      break;
    case QEvent::FocusOut:
      // A context menu takes the focus for a while: the edit goes on under it.
      if (watched == mCellEditor && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) txtField_LostFocus();
      break;
    case QEvent::MouseButtonPress: {
      // A click places the caret where it was clicked, as in a text box. The point is the
      // cell's own, from before a grown cell moved: its text starts at the top either way.
      auto* cell = qobject_cast<GridCell*>(watched);
      const auto* press = static_cast<QMouseEvent*>(event);
      if (!cell || press->button() != Qt::LeftButton) break;
      if (!cell->hasFocus() && (mEditedIndex < 0 || txtField[static_cast<std::size_t>(mEditedIndex)] != cell))
        cell->setFocus(Qt::MouseFocusReason);
      if (mEditedIndex >= 0 && txtField[static_cast<std::size_t>(mEditedIndex)] == cell)
        placeCaret(press->position().toPoint());
      return true;
    }
    case QEvent::KeyPress:
      if (watched == mCellEditor) return cellKey(static_cast<QKeyEvent*>(event));
      break;
    case QEvent::ContextMenu:
      if (auto* cell = qobject_cast<GridCell*>(watched)) {
        cell->setFocus(Qt::MouseFocusReason);
        showCellMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
      }
      break;
    case QEvent::MouseMove:
      if (widget) showHoverHint(widget, Twips::fromPixels(static_cast<QMouseEvent*>(event)->position().toPoint().x()));
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

// The keys of a grid: Tab and Shift+Tab go on along the unit's fields and then to the next unit,
// scrolling the grid instead of jumping back to its first column; Ctrl and an arrow go to the
// neighbouring cell, Ctrl+PageUp and Ctrl+PageDown a page of units up or down in the same field.
// Plain arrows stay with the caret in the cell's text. True when the key was taken.
bool FEditor::cellKey(const QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;  // discarded
  const QKeyCombination combination = event->keyCombination();
  if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z)) return undoRedo(false), true;
  if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
      combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z))
    return undoRedo(true), true;
  const std::int32_t page = noUnits2Display();
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    const bool forward = key == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
    std::int32_t record = mEditedRecord, column = mEditedColumn + (forward ? 1 : -1);
    if (column > mFile.record().NoFieldsInSelectedRange()) column = 1, ++record;
    if (column < 1) column = mFile.record().NoFieldsInSelectedRange(), --record;
    if (record < firstDataUnit() || record > mFile.record().NoUnits())
      focusNextPrevChild(forward);  // past the last field of the last unit the focus leaves the grid
    else
      focusField(record, column);
    return true;
  }
  if (!(event->modifiers() & Qt::ControlModifier)) return false;
  std::int32_t record = mEditedRecord, column = mEditedColumn;
  switch (key) {
    case Qt::Key_Up: --record; break;
    case Qt::Key_Down: ++record; break;
    case Qt::Key_Left: --column; break;
    case Qt::Key_Right: ++column; break;
    case Qt::Key_PageUp: record = std::max(record - page, firstDataUnit()); break;
    case Qt::Key_PageDown: record = std::min(record + page, mFile.record().NoUnits()); break;
    default: return false;
  }
  if (record >= firstDataUnit() && record <= mFile.record().NoUnits() && column >= 1 && column <= mFile.record().NoFieldsInSelectedRange())
    focusField(record, column);
  return true;
}

// Gives the cell of the record and display column the focus, its text selected as a text box
// entered by the keyboard.
void FEditor::focusField(std::int32_t iRecNo, std::int32_t iColumn) {
  const std::int32_t index = scrollToField(iRecNo, iColumn);
  if (index >= 0 && index < static_cast<std::int32_t>(txtField.size())) {
    if (index == mEditedIndex) mCellEditor->selectAll();
    else txtField[static_cast<std::size_t>(index)]->setFocus(Qt::TabFocusReason);
  }
}

// Scrolls as little as needed for the cell of the record and display column to be fully in view;
// returns the cell's index in the pool.
std::int32_t FEditor::scrollToField(std::int32_t iRecNo, std::int32_t iColumn) {
  const std::int32_t rows = noUnits2Display();
  if (iRecNo < vsbUnits2display->value()) vsbUnits2display->setValue(iRecNo);
  if (iRecNo > vsbUnits2display->value() + rows - 1) vsbUnits2display->setValue(iRecNo - rows + 1);
  std::int32_t first = std::min(hsbFields2Display->value(), iColumn);
  const std::int32_t gridWidth = Twips::width(hsbFields2Display);
  const auto rightEdge = [&](std::int32_t from) {
    std::int64_t right = 0;
    for (std::int32_t c = from; c <= iColumn; ++c) right += getColumnWidth(c) + (c > from ? kColumnGap : 0);
    return right;
  };
  while (first < iColumn && (rightEdge(first) > gridWidth || iColumn - first >= gGlobal->MaxFields())) ++first;
  hsbFields2Display->setValue(first);
  return gGlobal->MaxFields() * (iRecNo - vsbUnits2display->value()) + (iColumn - first);
}

void FEditor::setRowHighlight(std::int32_t iIndex, bool focused) {
  const auto row = static_cast<std::size_t>(cellRow(iIndex));
  const auto column = static_cast<std::size_t>(cellColumn(iIndex));
  const QPalette::ColorRole on = QPalette::ToolTipBase;
  setBackground(lblRow[row], focused ? on : QPalette::Base);
  setBackground(lblRowNo[row], focused ? on : QPalette::Button);
  setBackground(txtColumn[column]->viewport(), focused ? on : QPalette::Base);
  setBackground(txtField[static_cast<std::size_t>(iIndex)], focused ? on : QPalette::Base);
}

void FEditor::txtField_GotFocus(std::int32_t iIndex) {
  GridCell* cell = txtField[static_cast<std::size_t>(iIndex)];
  setRowHighlight(iIndex, true);
  growCell(cell, iIndex);
  mEditedIndex = iIndex;
  mEditedRecord = vsbUnits2display->sliderPosition() + cellRow(iIndex);
  mEditedColumn = hsbFields2Display->sliderPosition() + cellColumn(iIndex);
  showInCellEditor(CodePage::fromQString(cell->text()));
  mCellValueAtFocus = mCellValue;
  tintCellEditor();
  mCellEditor->setGeometry(cell->geometry());
  mCellEditor->show();
  mCellEditor->raise();
  mCellEditor->setFocus(Qt::OtherFocusReason);
  mCellEditor->selectAll();  // as a text box entered by Tab; a click then places the caret
}

// The editor takes a value: not an edit.
void FEditor::showInCellEditor(std::string value) {
  const bool filling = fillingGrid;
  fillingGrid = true;
  mCellEditor->setPlainText(CellText::display(value));
  fillingGrid = filling;
  mCellShown = mCellEditor->shownText();
  mCellValue = std::move(value);
  mCellStates.assign(1, {mCellShown, mCellValue});
}

void FEditor::placeCaret(QPoint point) {
  mCellEditor->setTextCursor(mCellEditor->cursorForPosition(point));
}

void FEditor::growCell(GridCell* cell, std::int32_t iIndex) {
  const int cellWidth = Twips::width(cell);
  const int textWidth = Twips::fromPixels(fontMetrics().horizontalAdvance(cell->text()));
  // A cell without width cannot count its lines: it grows as far as it may.
  std::int64_t lines = cellWidth > 0 ? (std::int64_t{textWidth} + kGrowMargin) / cellWidth + 1
                                     : std::llround(std::nearbyint(double(Twips::height(fraDisplay)) / kLineHeight));
  if (mFile.record().actualFieldNoInSelectedRange(hsbFields2Display->sliderPosition() + cellColumn(iIndex)) == kExtraLineField)
    ++lines;
  if (lines <= 1) return;
  const CellBox box = grownCell(Twips::top(cell), lines, Twips::height(vsbUnits2display), Twips::height(fraDisplay));
  Twips::place(cell, Twips::left(cell), box.top, Twips::width(cell), box.height);
  cell->raise();
}

void FEditor::txtField_LostFocus() {
  if (mEditedIndex < 0) return;
  finishCellStep();
  const std::int32_t index = mEditedIndex;
  mEditedIndex = -1;
  mCellEditor->hide();
  GridCell* cell = txtField[static_cast<std::size_t>(index)];
  // Level with the row label again: its top less 620, which is where createCells put the row,
  // computed the same way so that pixel rounding cannot shift the cell.
  const int restingTop = kRowLabelTop + kRowPitch * cellRow(index) - kRowLabelOffset;
  Twips::place(cell, Twips::left(cell), restingTop, Twips::width(cell), kCellHeight);
  setRowHighlight(index, false);
  mLastSelectedIndex = index;
  // The user learns of a value that cannot be saved when leaving it, not only at the save.
  markSaveProblems(cellRow(index));
  if (const SaveProblem* problem = mFile.record().saveProblem(mEditedRecord))
    setStatusText(saveProblemText(mEditedRecord, problem->field));
}

// Each change writes through as typed. Only the changed span of the editor's text is carried
// back to the value's bytes, so a line end or any other byte the user did not touch stays.
void FEditor::txtField_Change() {
  if (fillingGrid || mEditedIndex < 0) return;
  constexpr std::size_t kStatesKept = 64;
  const QString shown = mCellEditor->shownText();
  const auto earlier = std::find_if(mCellStates.begin(), mCellStates.end(), [&](const auto& state) { return state.first == shown; });
  CellText::Edit edit;
  if (earlier != mCellStates.end())
    edit.bytes = earlier->second;
  else
    edit = CellText::apply(mCellValue, mCellShown, shown, mCellEditor->pasteInProgress());
  mCellValue = std::move(edit.bytes);
  GridCell* cell = txtField[static_cast<std::size_t>(mEditedIndex)];
  cell->setText(CodePage::toQString(mCellValue));
  const std::int32_t field = mFile.record().actualFieldNoInSelectedRange(mEditedColumn);
  mFile.setValue(mEditedRecord, field, mCellValue);
  setDataChanged(true);
  markDifference(cell, mEditedRecord, field);
  tintCellEditor();
  showDifferenceCount();
  if (field == FileKind::of(mFormID).nameField) showRowName(cellRow(mEditedIndex), cell->text());
  if (edit.unmappable > 0) {
    showStoredValueInEditor();
    setStatusText(QStringLiteral("A character that the file's code page cannot hold was stored as \"?\"."));
  }
  mCellShown = mCellEditor->shownText();
  if (earlier == mCellStates.end()) {
    if (mCellStates.size() >= kStatesKept) mCellStates.erase(mCellStates.begin());
    mCellStates.emplace_back(mCellShown, mCellValue);
  }
}

// A value longer than a record can never be saved, and a text box slows down with every
// character it wraps: a paste that would make one is refused before it reaches the editor.
bool FEditor::pasteFits(const QString& pasted) {
  constexpr std::size_t kLongest = DataFileFormat::kLongestRecord;
  std::size_t length = static_cast<std::size_t>(pasted.size());
  if (length <= kLongest) {
    const QTextCursor cursor = mCellEditor->textCursor();
    QString after = mCellEditor->shownText();
    after.replace(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(), CellText::withPlainBreaks(pasted));
    length = CellText::apply(mCellValue, mCellShown, after, pasted).bytes.size();
    if (length <= kLongest) return true;
  }
  setStatusText(QStringLiteral("Not pasted: the value would be %1 characters long; a record may hold at most %2.")
                    .arg(QLocale().toString(static_cast<qulonglong>(length)), QLocale().toString(static_cast<qulonglong>(kLongest))));
  QApplication::beep();
  return false;
}

// The editor shows what the store holds, the caret kept where it was from the end.
void FEditor::showStoredValueInEditor() {
  const QString stored = CellText::display(mCellValue);
  const int fromEnd = static_cast<int>(mCellEditor->shownText().size()) - mCellEditor->textCursor().position();
  fillingGrid = true;
  QTextCursor all(mCellEditor->document());
  all.select(QTextCursor::Document);
  all.insertText(stored);
  fillingGrid = false;
  QTextCursor caret = mCellEditor->textCursor();
  caret.setPosition(std::max(0, static_cast<int>(stored.size()) - fromEnd));
  mCellEditor->setTextCursor(caret);
}

QString FEditor::saveProblemText(std::int32_t iRecNo, std::int32_t iField) const {
  const SaveProblem* problem = mFile.record().saveProblem(iRecNo);
  if (!problem || problem->field != iField) return {};
  return QStringLiteral("Cannot be saved as it is: ") + CodePage::toQString(SaveGuard::describe(mFile.record(), *problem)) +
         QLatin1Char('.');
}

// Marks the shown cells of a grid row whose value a save would refuse.
void FEditor::markSaveProblems(std::int32_t iRow) {
  const std::int32_t record = vsbUnits2display->sliderPosition() + iRow;
  const std::int32_t maxFields = gGlobal->MaxFields();
  for (std::int32_t c = 0; c < maxFields; ++c) {
    GridCell* cell = txtField[static_cast<std::size_t>(maxFields * iRow + c)];
    if (cell->isHidden()) continue;
    const QString problem =
        saveProblemText(record, mFile.record().actualFieldNoInSelectedRange(hsbFields2Display->sliderPosition() + c));
    cell->setMark(problem);
    cell->setToolTip(cell->hint());
  }
}

void FEditor::showHoverHint(QWidget* control, int x) {
  for (std::size_t c = 0; c < txtColumn.size(); ++c) {
    if (control != txtColumn[c]->viewport() && control != txtColumn[c]) continue;
    const bool edge = x <= 30 || x >= Twips::width(txtColumn[c]) - 300;
    control->setToolTip(edge ? QStringLiteral("right-click in field to change display width")
                             : txtColumn[c]->property("Tag").toString());
    return;
  }
  if (auto* cell = qobject_cast<GridCell*>(control)) {
    const auto index = std::find(txtField.begin(), txtField.end(), cell) - txtField.begin();
    const bool edge = x <= 30 || x >= Twips::width(txtColumn[static_cast<std::size_t>(cellColumn(static_cast<std::int32_t>(index)))]) - 60;
    cell->setToolTip(edge ? QStringLiteral("right-click in column header (above) to change display width")
                          : cell->hint());
  }
}
