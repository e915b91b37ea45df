// The grid's focused cell: its highlight and growth, the edit box placed over it, the keys that
// move the focus, and the hover hints of cells and headers. The light cell that gets the focus
// hands it to the edit box; the box losing the focus is the cell losing it.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <cmath>

#include "CGlobal.h"
#include "Controls.h"
#include "EditedFile.h"
#include "FileKind.h"
#include "GridCell.h"
#include "GridGeometry.h"
#include "HeaderBox.h"
#include "RecordGrid.h"
#include "Twips.h"

using namespace GridGeometry;

namespace {

constexpr std::int32_t kExtraLineField = 53;

void setBackground(QWidget* widget, QPalette::ColorRole role) {
  widget->setBackgroundRole(role);
  widget->update();
}

}  // namespace

void RecordGrid::watchCell(GridCell* cell) {
  cell->installEventFilter(this);
  cell->setMouseTracking(true);
}

// The frame and the bar of a header are part of it: the hint follows the mouse over them too.
void RecordGrid::watchHeader(HeaderBox* header) {
  for (QWidget* part : {static_cast<QWidget*>(header), header->viewport(), static_cast<QWidget*>(header->verticalScrollBar())}) {
    part->installEventFilter(this);
    part->setMouseTracking(true);
  }
}

std::int32_t RecordGrid::indexOf(const QObject* cell) const {
  const auto found = std::find(txtField.begin(), txtField.end(), cell);
  return found == txtField.end() ? -1 : static_cast<std::int32_t>(found - txtField.begin());
}

// Paging moves and repaints hundreds of watched widgets: only the events the grid acts on are
// looked at.
bool RecordGrid::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::FocusIn && type != QEvent::KeyPress && type != QEvent::MouseButtonPress &&
      type != QEvent::MouseMove && type != QEvent::ContextMenu && type != QEvent::MouseButtonRelease)
    return QWidget::eventFilter(watched, event);
  // Every press or release ends a drag; a press on a cell or in the edit box starts one anew.
  if (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonPress) {
    mDragging = false;
    mDragTimer->stop();
  }
  if (type == QEvent::MouseButtonRelease) return QWidget::eventFilter(watched, event);
  if (mDragging && type == QEvent::MouseMove && (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton))
    dragTo(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
  if (auto* cell = qobject_cast<GridCell*>(watched)) return cellEvent(cell, event) || QWidget::eventFilter(watched, event);
  if (type == QEvent::MouseButtonPress && rowNumberPress(watched, *static_cast<QMouseEvent*>(event))) return true;
  // A header, or its viewport or bar.
  for (auto* part = qobject_cast<QWidget*>(watched); part && part != fraDisplay; part = part->parentWidget()) {
    const auto header = std::find(txtColumn.begin(), txtColumn.end(), part);
    if (header == txtColumn.end()) continue;
    const auto column = static_cast<std::int32_t>(header - txtColumn.begin());
    return headerEvent(column, watched, event) || QWidget::eventFilter(watched, event);
  }
  if (type == QEvent::FocusIn && watched != mEditBox) mLastSelected = -1;
  // A press in the focused cell's box clears the block and may start a drag from there.
  if (type == QEvent::MouseButtonPress && mFocused >= 0 && mEditBox && watched == mEditBox->viewport()) {
    const auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() == Qt::LeftButton && !(press->modifiers() & Qt::ShiftModifier)) {
      clearBlock();
      mDragging = true;
      mDragAnchor = {mFocusedRow, mFocusedColumn};
    }
  }
  // The edit box shows the hint of the cell it lies over.
  if (type == QEvent::MouseMove && mFocused >= 0 && mEditBox && watched == mEditBox->viewport()) {
    const int x = Twips::fromPixels(static_cast<QMouseEvent*>(event)->position().toPoint().x());
    showHoverHint(mEditBox->viewport(), cellColumn(mFocused), txtField[static_cast<std::size_t>(mFocused)], x);
  }
  return QWidget::eventFilter(watched, event);
}

// A right press, the Menu key or Shift+F10 on a header sets its column's width.
bool RecordGrid::headerEvent(std::int32_t iColumn, const QObject* watched, QEvent* event) {
  HeaderBox* header = txtColumn[static_cast<std::size_t>(iColumn)];
  switch (event->type()) {
    case QEvent::FocusIn:
      mLastSelected = -1;
      return false;
    case QEvent::KeyPress:
      if (!Controls::menuKey(static_cast<QKeyEvent*>(event))) return false;
      emit columnWidthRequested(iColumn);
      return true;
    case QEvent::MouseButtonPress:
      if (watched != header->viewport() || !Controls::rightAlone(static_cast<QMouseEvent*>(event))) return false;
      emit columnWidthRequested(iColumn);
      return true;
    case QEvent::MouseMove: {
      auto* part = static_cast<QWidget*>(const_cast<QObject*>(watched));
      const QPoint at = part->mapTo(header, static_cast<QMouseEvent*>(event)->position().toPoint());
      showHoverHint(part, iColumn, nullptr, Twips::fromPixels(at.x()));
      return false;
    }
    default:
      return false;
  }
}

bool RecordGrid::cellEvent(GridCell* cell, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
      cellGotFocus(indexOf(cell));
      return false;
    case QEvent::MouseButtonPress: {
      // A click places the caret where it was clicked, as in a text box. The point is the
      // cell's own, from before a grown cell moved or the page scrolled it into view: its text
      // starts at the top left either way.
      const auto* press = static_cast<QMouseEvent*>(event);
      if (press->button() != Qt::LeftButton) return false;
      const std::int32_t index = indexOf(cell);
      if (blockPress(index, *press)) return true;
      if (!cell->hasFocus() && mFocused != index) cell->setFocus(Qt::MouseFocusReason);
      if (mFocused < 0 || mFocused != index) return true;
      bringFocusedIntoView();
      mEditBox->setTextCursor(mEditBox->cursorForPosition(press->position().toPoint()));
      return true;
    }
    case QEvent::ContextMenu:
      cell->setFocus(Qt::MouseFocusReason);
      bringFocusedIntoView();
      emit cellMenuRequested(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    case QEvent::MouseMove:
      showHoverHint(cell, cellColumn(indexOf(cell)), cell, Twips::fromPixels(static_cast<QMouseEvent*>(event)->position().toPoint().x()));
      return false;
    default:
      return false;
  }
}

void RecordGrid::cellGotFocus(std::int32_t iIndex) {
  const std::int32_t row = vsbUnits2display->sliderPosition() + cellRow(iIndex);
  const std::int32_t column = hsbFields2Display->sliderPosition() + cellColumn(iIndex);
  GridCell* cell = txtField[static_cast<std::size_t>(iIndex)];
  // The focus is the block's active corner: a focus that goes elsewhere ends the block (one that
  // follows its cell to where the page moved it does not).
  const bool moved = row != mFocusedRow || column != mFocusedColumn;
  if (moved) mFocusBefore = {mFocusedRow, mFocusedColumn}, mBlockBefore = mBlock;
  if (!mBlock.empty() && moved && mBlock.active() != BlockSelection::Corner{row, column}) clearBlock();
  setRowHighlight(iIndex, true);
  growCell(cell, iIndex);
  mFocused = iIndex;
  mFocusedRow = row;
  mFocusedColumn = column;
  emit cellFocused(mView.record(row), column);
  if (!mEditBox) return;
  mEditBox->viewport()->setToolTip(cell->hint());
  mEditBox->setGeometry(cell->geometry());
  markEditBox();
  mEditBox->show();
  mEditBox->raise();
  mEditBox->setFocus(Qt::OtherFocusReason);
  mEditBox->selectAll();  // as a text box entered by Tab; a click then places the caret
}

// A cell clicked where the grid's edge cuts it off comes wholly into view, as one reached by the
// keyboard does; the edit box follows its field there.
void RecordGrid::bringFocusedIntoView() {
  if (mFocused >= 0) scrollToRow(mFocusedRow, mFocusedColumn);
}

void RecordGrid::growCell(GridCell* cell, std::int32_t iIndex) {
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

void RecordGrid::setRowHighlight(std::int32_t iIndex, bool focused) {
  const auto row = static_cast<std::size_t>(cellRow(iIndex));
  const auto column = static_cast<std::size_t>(cellColumn(iIndex));
  const QPalette::ColorRole on = QPalette::ToolTipBase;
  setBackground(lblRow[row], focused ? on : QPalette::Base);
  setBackground(lblRowNo[row], focused ? on : QPalette::Button);
  setBackground(txtColumn[column]->viewport(), focused ? on : QPalette::Base);
  setBackground(txtField[static_cast<std::size_t>(iIndex)], focused ? on : QPalette::Base);
}

void RecordGrid::leaveFocusedCell() {
  if (mFocused < 0) return;
  const std::int32_t index = mFocused;
  mFocused = -1;
  GridCell* cell = txtField[static_cast<std::size_t>(index)];
  // Level with the row label again: its top less 620, which is where createCells put the row,
  // computed the same way so that pixel rounding cannot shift the cell.
  const int restingTop = kRowLabelTop + kRowPitch * cellRow(index) - kRowLabelOffset;
  Twips::place(cell, Twips::left(cell), restingTop, Twips::width(cell), kCellHeight);
  setRowHighlight(index, false);
  mLastSelected = index;
  // The user learns of a value that cannot be saved when leaving it, not only at the save.
  markSaveProblems(cellRow(index));
}

void RecordGrid::showEditedValue(const QString& text) {
  if (mFocused < 0) return;
  GridCell* cell = txtField[static_cast<std::size_t>(mFocused)];
  cell->setText(text);
  const std::int32_t field = mFile.record().actualFieldNoInSelectedRange(mFocusedColumn);
  markDifference(cell, mView.record(mFocusedRow), field);
  markEditBox();
  if (field == FileKind::of(kind()).nameField) showRowName(cellRow(mFocused), cell->text());
}

void RecordGrid::refocusLastCell() {
  if (mLastSelected >= 0) txtField[static_cast<std::size_t>(mLastSelected)]->setFocus();
}

// The focused cell keeps its field: when the page moved, the edit box moves to the cell that now
// shows that field of that record, caret and all; when none does, the focus leaves the box.
void RecordGrid::followFocusedCell(std::int32_t f0, std::int32_t nCols, std::int32_t u0, std::int32_t nRows) {
  if (mFocused < 0 || !mEditBox) return;
  const std::int32_t row = mFocusedRow - u0, column = mFocusedColumn - f0;
  if (row < 0 || row >= nRows || column < 0 || column >= std::min(nCols, gGlobal->MaxFields())) {
    mEditBox->clearFocus();
    return;
  }
  const std::int32_t index = gGlobal->MaxFields() * row + column;
  if (index == mFocused) {
    mEditBox->setGeometry(txtField[static_cast<std::size_t>(index)]->geometry());
    markEditBox();
    return;
  }
  const QTextCursor caret = mEditBox->textCursor();
  txtField[static_cast<std::size_t>(index)]->setFocus(Qt::OtherFocusReason);
  QTextCursor moved(mEditBox->document());
  moved.setPosition(caret.anchor());
  moved.setPosition(caret.position(), QTextCursor::KeepAnchor);
  mEditBox->setTextCursor(moved);
}

void RecordGrid::focusField(std::int32_t iRecNo, std::int32_t iColumn) {
  if (const std::int32_t row = mView.rowOf(iRecNo); row > 0) focusRow(row, iColumn);
}

std::int32_t RecordGrid::scrollToField(std::int32_t iRecNo, std::int32_t iColumn) {
  const std::int32_t row = mView.rowOf(iRecNo);
  return row > 0 ? scrollToRow(row, iColumn) : -1;
}

void RecordGrid::focusRow(std::int32_t iRow, std::int32_t iColumn) {
  const std::int32_t index = scrollToRow(iRow, iColumn);
  if (index < 0 || index >= static_cast<std::int32_t>(txtField.size())) return;
  if (index == mFocused && mEditBox) mEditBox->selectAll();
  else txtField[static_cast<std::size_t>(index)]->setFocus(Qt::TabFocusReason);
}

std::int32_t RecordGrid::scrollToRow(std::int32_t iRow, std::int32_t iColumn) {
  const std::int32_t rows = noUnits2Display();
  if (iRow < vsbUnits2display->value()) vsbUnits2display->setValue(iRow);
  if (iRow > vsbUnits2display->value() + rows - 1) vsbUnits2display->setValue(iRow - rows + 1);
  std::int32_t first = std::min(hsbFields2Display->value(), iColumn);
  const std::int32_t gridWidth = Twips::width(hsbFields2Display);
  const auto rightEdge = [&](std::int32_t from) {
    std::int64_t right = 0;
    for (std::int32_t c = from; c <= iColumn; ++c) right += getColumnWidth(c) + (c > from ? kColumnGap : 0);
    return right;
  };
  while (first < iColumn && (rightEdge(first) > gridWidth || iColumn - first >= gGlobal->MaxFields())) ++first;
  hsbFields2Display->setValue(first);
  return gGlobal->MaxFields() * (iRow - vsbUnits2display->value()) + (iColumn - first);
}

// The keys of a grid: Tab and Shift+Tab go on along the unit's fields and then to the next unit,
// scrolling the grid instead of jumping back to its first column; Ctrl and an arrow go to the
// neighbouring cell, Ctrl+PageUp and Ctrl+PageDown a page of units up or down in the same field.
// Plain arrows stay with the caret in the cell's text.
bool RecordGrid::navigate(const QKeyEvent& event) {
  if (blockKey(event)) return true;
  const int key = event.key();
  const std::int32_t page = noUnits2Display(), units = mView.lastRow();
  const std::int32_t columns = mFile.record().NoFieldsInSelectedRange();
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    const bool forward = key == Qt::Key_Tab && !(event.modifiers() & Qt::ShiftModifier);
    std::int32_t row = mFocusedRow, column = mFocusedColumn + (forward ? 1 : -1);
    if (column > columns) column = 1, ++row;
    if (column < 1) column = columns, --row;
    if (row < firstDataUnit() || row > units)
      focusNextPrevChild(forward);  // past the last field of the last unit the focus leaves the grid
    else
      focusRow(row, column);
    return true;
  }
  if (!(event.modifiers() & Qt::ControlModifier)) return false;
  std::int32_t row = mFocusedRow, column = mFocusedColumn;
  switch (key) {
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_Left: --column; break;
    case Qt::Key_Right: ++column; break;
    case Qt::Key_PageUp: row = std::max(row - page, firstDataUnit()); break;
    case Qt::Key_PageDown: row = std::min(row + page, units); break;
    default: return false;
  }
  clearBlock();
  if (row >= firstDataUnit() && row <= units && column >= 1 && column <= columns) focusRow(row, column);
  return true;
}

// Near a header's edges the hint tells how to change the column's width, within 30 twips of its
// left and 300 of its right; near a cell's, within 30 and 60 of its column's, where the width is
// set. Between them each shows its own hint. x is from the left of the header or cell (null: the
// header's).
void RecordGrid::showHoverHint(QWidget* control, std::int32_t iColumn, const GridCell* cell, int x) {
  const HeaderBox* header = txtColumn[static_cast<std::size_t>(iColumn)];
  const bool edge = x <= 30 || x >= Twips::width(header) - (cell ? 60 : 300);
  if (!cell)
    control->setToolTip(edge ? QStringLiteral("right-click in field to change display width") : header->property("Tag").toString());
  else
    control->setToolTip(edge ? QStringLiteral("right-click in column header (above) to change display width") : cell->hint());
}
