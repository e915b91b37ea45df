#pragma once
#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

#include "BlockSelection.h"
#include "CellBlock.h"
#include "NumericFields.h"
#include "UnitView.h"

class EditedFile;
class GridCell;
class GridFrame;
class HeaderBox;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QMouseEvent;
class QPlainTextEdit;
class QScrollBar;
class QTimer;
class QWheelEvent;

// The grid of records x display columns: a fixed pool of cells with their column headers, the
// names and numbers of the rows, the two scroll bars that page through records and fields, and
// the cell that has the focus, over which the edit box is placed. It lies over the whole of the
// main frame so that its controls keep the frame's coordinates; it shows what the file holds and
// changes none of it.
class RecordGrid : public QWidget {
  Q_OBJECT

 public:
  RecordGrid(QWidget* mainFrame, const EditedFile& file);

  // The frame of the cells, where the edit box lives.
  QWidget* cellFrame() const;
  // The box placed over the focused cell; it stays last in the Tab order of the grid.
  void setEditBox(QPlainTextEdit* box);
  // The options that say whether a dragged bar's thumb refills the grid as it goes: 0 for the
  // fields' bar, 1 for the units'.
  void setScrollUpdates(QCheckBox* fields, QCheckBox* units);
  QCheckBox* scrollUpdate(std::int32_t i) const { return mScrollUpdate[i]; }
  // The pool beyond the first cell of each kind, made once.
  void createCells();
  bool cellsCreated() const { return mCellsCreated; }

  // --- layout, in twips of the main frame ---
  // The row numbers and the unit counter grow to show the file's largest unit number whole.
  void fitNumbers();
  int rowNumberWidth() const;
  int unitNumberWidth() const;
  void placeNames(int left);
  // Places the grid, its bars and numbers for a main frame of width x height, and refills it.
  void place(int gridLeft, int gridWidth, int fieldNoLeft, int width, int height);

  // --- paging ---
  // iChange: 1 the records moved, 2 the columns, 3 both.
  void refreshDisplay(std::int32_t iChange);
  // A file just loaded, or its range changed: its first record, or its first column, shown.
  void showFromStart();
  void rangeChanged();
  // The first row in view: a row of view(), which is the record while every unit shows in order.
  std::int32_t firstRow() const;
  std::int32_t firstColumn() const;
  // Records the view does not show are not scrolled to.
  void scrollToRecord(std::int32_t iRecNo);
  // Scrolls as little as needed for the cell to be wholly in view; the cell's index in the pool,
  // -1 when the view does not show the record.
  std::int32_t scrollToField(std::int32_t iRecNo, std::int32_t iColumn);
  // The display column of the selected range that shows the field; 0 when none does.
  std::int32_t displayColumn(std::int32_t iField) const;
  // The wheel pages records, or fields with Shift or turned sideways.
  void turnWheel(const QWheelEvent& event);

  // --- which units show, in which order ---
  const UnitView& view() const { return mView; }
  // Shows the view from its first row; the focused unit keeps the focus when the view shows it.
  void setView(UnitView view);

  // --- the focused cell ---
  // Gives the cell the focus, its text selected as a text box entered by the keyboard.
  void focusField(std::int32_t iRecNo, std::int32_t iColumn);
  // The keys that move the focus between cells; true when the key was taken.
  bool navigate(const QKeyEvent& event);
  // The edit over the focused cell ended: the cell rests in its row again.
  void leaveFocusedCell();
  // The focused cell shows its value as it was just typed.
  void showEditedValue(const QString& text);
  // The cell that last had the focus, until another control takes it; -1 when none.
  std::int32_t lastSelectedIndex() const { return mLastSelected; }
  // With no file shown the frame has no hint, and no cell was selected.
  void setFileShown(bool shown);
  void forgetLastCell() { mLastSelected = -1; }
  void refocusLastCell();
  QString saveProblemText(std::int32_t iRecNo, std::int32_t iField) const;

  // --- the values that differ from the game's default copy ---
  // Their count below the grid, shown once a copy was compared; true when its width changed.
  bool showDifferenceCount();
  // Left of the field number: as wide as its text, or in the room left of the grid. Returns where
  // the field number may start.
  int placeDifferenceCount(int iTop, bool fitText, int gridLeft);
  bool onlyChanged() const { return false; }

  // --- the block of selected values (RecordGridBlock.cpp) ---
  // Empty when no block is selected: commands then act on the focused cell. Its records are rows
  // of view().
  CellBlock selectedBlock() const { return mBlock.block(); }
  // Clamped to the file's units and shown fields. The focused cell stays the active corner when
  // it is a corner of the block; otherwise the bottom right corner is.
  void selectBlock(const CellBlock& block);
  void clearBlock();
  // The count of selected values stands at the top right of the grid, right of the status line:
  // the room it takes there, in twips; 0 when no block is selected.
  int selectionCountWidth() const;

 signals:
  // A block was selected, changed or cleared.
  void blockChanged();
  // A cell got the focus: the record and display column it shows.
  void cellFocused(std::int32_t record, std::int32_t column);
  void cellMenuRequested(QPoint globalPos);
  void columnWidthRequested(std::int32_t column);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::int32_t kind() const;
  std::int32_t firstDataUnit() const;
  std::int32_t noUnits2Display() const;
  std::int32_t noFields2Display(std::int32_t iField2StartAt) const;
  std::int32_t getColumnWidth(std::int32_t iFieldNoDisplay) const;
  std::int32_t cellColumn(std::int32_t iIndex) const;
  std::int32_t cellRow(std::int32_t iIndex) const;
  std::int32_t indexOf(const QObject* cell) const;
  void setVerticalMaximum(std::int32_t maximum);
  QString unitNumberAt(std::int32_t iRow) const;
  void focusRow(std::int32_t iRow, std::int32_t iColumn);
  std::int32_t scrollToRow(std::int32_t iRow, std::int32_t iColumn);
  void refreshColumns(std::int32_t f0, std::int32_t nCols);
  void refreshRows(std::int32_t u0, std::int32_t nRows);
  void refreshCells(std::int32_t f0, std::int32_t nCols, std::int32_t u0, std::int32_t nRows);
  void followFocusedCell(std::int32_t f0, std::int32_t nCols, std::int32_t u0, std::int32_t nRows);
  void showRowName(std::int32_t iRow, const QString& sName);
  void markDifference(GridCell* cell, std::int32_t iRecNo, std::int32_t iField);
  void markSaveProblems(std::int32_t iRow);
  void markEditBox();
  void barMoved(QScrollBar* bar, bool dragged);

  void watchCell(GridCell* cell);
  void watchHeader(HeaderBox* header);
  bool headerEvent(std::int32_t iColumn, const QObject* watched, QEvent* event);
  bool cellEvent(GridCell* cell, QEvent* event);
  void cellGotFocus(std::int32_t iIndex);
  void bringFocusedIntoView();
  void growCell(GridCell* cell, std::int32_t iIndex);
  void setRowHighlight(std::int32_t iIndex, bool focused);
  void showHoverHint(QWidget* control, std::int32_t iColumn, const GridCell* cell, int x);

  CellBlock fileBlock() const;
  std::int32_t shownRows() const;
  void showBlock();
  void placeSelectionCount();
  bool blockKey(const QKeyEvent& event);
  bool blockPress(std::int32_t iIndex, const QMouseEvent& press);
  bool rowNumberPress(const QObject* watched, const QMouseEvent& press);
  BlockSelection::Corner cornerAt(QPoint framePixels) const;
  void dragTo(QPoint globalPos);
  void dragStep();

  const EditedFile& mFile;
  GridFrame* fraDisplay;
  QScrollBar* vsbUnits2display;
  QScrollBar* hsbFields2Display;
  QLabel* lblUnitNo;
  QLabel* lblFieldNo;
  QLabel* lblDifferences = nullptr;  // made when a default copy is first compared
  std::vector<HeaderBox*> txtColumn;
  std::vector<GridCell*> txtField;
  std::vector<QLabel*> lblRow;
  std::vector<QLabel*> lblRowNo;
  QPlainTextEdit* mEditBox = nullptr;
  std::array<QCheckBox*, 2> mScrollUpdate{};
  bool mCellsCreated = false;
  std::vector<std::int32_t> colLeft;
  std::vector<std::int32_t> colWidth;
  std::vector<QString> colTip;
  std::int32_t lastDisplayWidth = 0;
  std::int32_t lastHeight = 0;
  QPoint mWheelRest;  // the wheel's turn not yet a whole step: fields, units
  UnitView mView;
  // The cell under the edit box, and the row and display column it shows; -1 when none.
  std::int32_t mFocused = -1;
  std::int32_t mFocusedRow = 0;
  std::int32_t mFocusedColumn = 0;
  std::int32_t mLastSelected = -1;
  BlockSelection mBlock;
  // Before the last move of the focus: a Shift+click's press moves it before the grid sees it.
  BlockSelection mBlockBefore;
  BlockSelection::Corner mFocusBefore;
  QLabel* lblSelection;
  // A drag of the left button that selects a block: where it was pressed, where the pointer is,
  // and the timer that scrolls while the pointer is beyond the grid's edge.
  bool mDragging = false;
  BlockSelection::Corner mDragAnchor;
  QPoint mDragAt;
  QTimer* mDragTimer;
  NumericFields mNumbers;  // which fields' other units hold numbers, found as pages show them
  QWidget* mNumberLine = nullptr;  // the edit box's own underline of a text among numbers
};
