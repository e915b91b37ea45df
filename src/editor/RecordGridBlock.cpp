// The grid's block of selected values: drawn on the cells it covers, made by a drag, Shift+click,
// a row number's click or Ctrl+Shift with the keys that move the focus, and counted in a label.
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "CGlobal.h"
#include "Counted.h"
#include "EditedFile.h"
#include "GridCell.h"
#include "GridGeometry.h"
#include "RecordGrid.h"
#include "Twips.h"

using namespace GridGeometry;
using Corner = BlockSelection::Corner;

CellBlock RecordGrid::fileBlock() const {
  return {mView.firstRow(), mView.lastRow(), 1, mFile.record().NoFieldsInSelectedRange()};
}

std::int32_t RecordGrid::shownRows() const {
  return std::clamp(mView.lastRow() - vsbUnits2display->sliderPosition() + 1, 0, noUnits2Display());
}

void RecordGrid::selectBlock(const CellBlock& block) {
  const CellBlock bounds = fileBlock();
  const CellBlock in{std::max(block.firstRecord, bounds.firstRecord), std::min(block.lastRecord, bounds.lastRecord),
                     std::max(block.firstColumn, bounds.firstColumn), std::min(block.lastColumn, bounds.lastColumn)};
  if (in.empty()) return clearBlock();
  const Corner focused{mFocusedRow, mFocusedColumn};
  const bool corner = mFocused >= 0 && (focused.record == in.firstRecord || focused.record == in.lastRecord) &&
                      (focused.column == in.firstColumn || focused.column == in.lastColumn);
  if (corner)
    mBlock.select({focused.record == in.firstRecord ? in.lastRecord : in.firstRecord,
                   focused.column == in.firstColumn ? in.lastColumn : in.firstColumn},
                  focused);
  else
    mBlock.select({in.firstRecord, in.firstColumn}, {in.lastRecord, in.lastColumn});
  showBlock();
}

void RecordGrid::clearBlock() {
  if (mBlock.clear()) showBlock();
}

// Only the shown cells change; their images are kept, so this costs about a page step.
void RecordGrid::showBlock() {
  const CellBlock block = mBlock.block();
  const std::int32_t u0 = vsbUnits2display->sliderPosition(), f0 = hsbFields2Display->sliderPosition();
  fraDisplay->beginRefill();
  for (std::size_t i = 0; i < txtField.size(); ++i) {
    const auto index = static_cast<std::int32_t>(i);
    txtField[i]->setSelected(block.contains(u0 + cellRow(index), f0 + cellColumn(index)));
  }
  fraDisplay->endRefill();
  if (block.empty()) {
    lblSelection->hide();
  } else {
    lblSelection->setText(Counted::of(block.cells(), "value", "values") + QStringLiteral(" selected (") +
                          Counted::unitsByFields(std::size_t(block.records()), std::size_t(block.columns())) + QLatin1Char(')'));
    placeSelectionCount();
    lblSelection->show();
  }
  emit blockChanged();
}

namespace {
constexpr int kCountTop = 300;  // level with a status line of one line
constexpr int kCountGap = 120;
}  // namespace

int RecordGrid::selectionCountWidth() const {
  return mBlock.empty() ? 0 : Twips::fromPixels(lblSelection->sizeHint().width()) + kCountGap;
}

void RecordGrid::placeSelectionCount() {
  const int width = Twips::fromPixels(lblSelection->sizeHint().width());
  Twips::place(lblSelection, Twips::left(fraDisplay) + Twips::width(fraDisplay) - width, kCountTop, width, 255);
}

// Ctrl+Shift and a key that moves the focus moves the block's active corner instead, and the
// focus with it; Escape clears a block. True when the key was taken.
bool RecordGrid::blockKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  if (event.key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
    if (mBlock.empty()) return false;
    clearBlock();
    return true;
  }
  if (modifiers != (Qt::ControlModifier | Qt::ShiftModifier) || mFocused < 0) return false;
  std::int32_t records = 0, columns = 0;
  switch (event.key()) {
    case Qt::Key_Up: records = -1; break;
    case Qt::Key_Down: records = 1; break;
    case Qt::Key_Left: columns = -1; break;
    case Qt::Key_Right: columns = 1; break;
    case Qt::Key_PageUp: records = -noUnits2Display(); break;
    case Qt::Key_PageDown: records = noUnits2Display(); break;
    default: return false;
  }
  if (mBlock.extend({mFocusedRow, mFocusedColumn}, records, columns, fileBlock())) showBlock();
  if (!mBlock.empty()) focusRow(mBlock.active().record, mBlock.active().column);
  return true;
}

// A left press on a cell: with Shift it extends the block from the focused cell (true: taken);
// without, it clears the block and may start a drag.
bool RecordGrid::blockPress(std::int32_t iIndex, const QMouseEvent& press) {
  const Corner at{vsbUnits2display->sliderPosition() + cellRow(iIndex), hsbFields2Display->sliderPosition() + cellColumn(iIndex)};
  // The press gave the cell the focus before it came here: the focus and block it ended are
  // what Shift extends.
  const bool focusCame = at == Corner{mFocusedRow, mFocusedColumn};
  const Corner from = focusCame ? mFocusBefore : Corner{mFocusedRow, mFocusedColumn};
  const BlockSelection& had = focusCame ? mBlockBefore : mBlock;
  if ((press.modifiers() & Qt::ShiftModifier) && fileBlock().contains(from.record, from.column)) {
    mBlock.select(had.empty() ? from : had.anchor(), at);
    showBlock();
    focusRow(at.record, at.column);
    return true;
  }
  clearBlock();
  mDragging = true;
  mDragAnchor = at;
  return false;
}

// A row number selects the unit's shown fields; with Shift, the units from the block's anchor.
bool RecordGrid::rowNumberPress(const QObject* watched, const QMouseEvent& press) {
  const auto number = std::find(lblRowNo.begin(), lblRowNo.end(), watched);
  if (number == lblRowNo.end() || press.button() != Qt::LeftButton) return false;
  const std::int32_t row = vsbUnits2display->sliderPosition() + static_cast<std::int32_t>(number - lblRowNo.begin());
  const std::int32_t columns = mFile.record().NoFieldsInSelectedRange();
  if (row > mView.lastRow() || columns < 1) return false;
  const std::int32_t from = (press.modifiers() & Qt::ShiftModifier) && !mBlock.empty() ? mBlock.anchor().record : row;
  mBlock.select({from, columns}, {row, 1});
  showBlock();
  focusRow(row, 1);
  return true;
}

// The cell under a point of the grid frame, the nearest shown one when the point lies beyond
// the cells: a drag past the grid's edge reaches the edge.
Corner RecordGrid::cornerAt(QPoint framePixels) const {
  const std::int32_t rows = shownRows(), columns = static_cast<std::int32_t>(colLeft.size());
  const std::int32_t row = std::clamp((Twips::fromPixels(framePixels.y()) - kCellTop) / kRowPitch, 0, std::max(rows - 1, 0));
  const int x = Twips::fromPixels(framePixels.x());
  std::int32_t column = 0;
  while (column + 1 < columns && colLeft[static_cast<std::size_t>(column + 1)] <= x) ++column;
  return {vsbUnits2display->sliderPosition() + row, hsbFields2Display->sliderPosition() + column};
}

// The block spans from the pressed cell to the one under the pointer; none while the pointer
// stays on the pressed cell, so that a plain click selects nothing.
void RecordGrid::dragTo(QPoint globalPos) {
  mDragAt = globalPos;
  const QPoint at = fraDisplay->mapFromGlobal(globalPos);
  const bool beyond = at.x() < 0 || at.x() >= fraDisplay->width() || at.y() < Twips::toPixels(kCellTop) ||
                      at.y() >= fraDisplay->height();
  if (beyond && !mDragTimer->isActive()) mDragTimer->start();
  if (!beyond) mDragTimer->stop();
  if (shownRows() < 1 || colLeft.empty()) return;
  const Corner corner = cornerAt(at);
  if ((mBlock.empty() && corner == mDragAnchor) || (!mBlock.empty() && corner == mBlock.active())) return;
  mBlock.select(mDragAnchor, corner);
  showBlock();
  focusRow(corner.record, corner.column);
}

// While the button is held beyond the grid's edge the grid scrolls towards the pointer a unit or
// a field a tick, and the block follows.
void RecordGrid::dragStep() {
  if (!mDragging) return mDragTimer->stop();
  const QPoint at = fraDisplay->mapFromGlobal(mDragAt);
  const auto step = [](QScrollBar* bar, int low, int high, int at) {
    if (at < low) bar->setValue(bar->value() - 1);
    else if (at >= high) bar->setValue(bar->value() + 1);
  };
  step(vsbUnits2display, Twips::toPixels(kCellTop), fraDisplay->height(), at.y());
  step(hsbFields2Display, 0, fraDisplay->width(), at.x());
  dragTo(mDragAt);
}
