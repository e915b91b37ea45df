// What a modder asks of the values beside the grid: which differ from the game's default copy,
// putting one back, and undo and redo of finished edits across cells.
#include <QMenu>
#include <algorithm>
#include <memory>

#include "CellEditSession.h"
#include "CellEditor.h"
#include "DataFile.h"
#include "FEditor.h"
#include "GlobalShared.h"
#include "RecordGrid.h"
#include "UserFolders.h"

// Once per load: reading and comparing the copy is one pass over both files, and only the
// differing values are kept.
void FEditor::compareWithDefaults(const std::string& sPath) {
  const std::string copyPath = GlobalShared::getDefaultCopyPath(mFormID);
  if (sPath == copyPath) {
    mFile.compareWithDefaults(mFile.record());
  } else if (std::string text; GlobalShared::readFileBytes(copyPath, text) == 0 && DataFile::detectFileType(text) == mFormID) {
    CRecordData copy;
    copy.initRanges(mFormID);
    if (copy.createRecord(std::move(text), copyPath)) mFile.compareWithDefaults(copy);
  }
  showDifferenceCount();
}

void FEditor::showDifferenceCount() {
  if (mGrid->showDifferenceCount() && mHideNames) Form_Resize();  // the field number moves over
}

// The cell is the one being edited. Where the platform ends the edit when the menu takes the
// focus, the menu still acts on that cell, which gets the focus back afterwards.
void FEditor::showCellMenu(QPoint globalPos) {
  if (!mSession->active()) return;
  const std::int32_t record = mSession->record(), column = mSession->column();
  const std::unique_ptr<QMenu> menu(mSession->editor()->createStandardContextMenu());
  menu->setObjectName(QStringLiteral("cellMenu"));
  addCopyWithNames(*menu);
  menu->addSeparator();
  QAction* revert = menu->addAction(QStringLiteral("Revert to Default Value"));
  revert->setEnabled(mSession->differs());
  connect(revert, &QAction::triggered, this, [this, record, column] { revertToDefault(record, column); });
  QAction* change = menu->addAction(QStringLiteral("Change Values…"));
  change->setShortcut(Qt::CTRL | Qt::Key_E);
  connect(change, &QAction::triggered, this, &FEditor::changeValues);
  addSortMenu(*menu);
  menu->exec(globalPos);
  if (!mSession->active()) mGrid->focusField(record, column);
}

void FEditor::revertToDefault(std::int32_t iRecNo, std::int32_t iColumn) {
  const std::int32_t field = mFile.record().actualFieldNoInSelectedRange(iColumn);
  const std::string* value = mFile.defaultValue(iRecNo, field);
  if (!value) return;
  mSession->finishStep();
  mFile.makeStep({iRecNo, field, std::string(mFile.record().value(iRecNo, field)), *value});
  showStep(iRecNo, field);
}

// Inside a cell the text box's own typing is undone first.
void FEditor::undoRedo(bool redo) {
  if (mSession->active() && mSession->undoTyping(redo)) return;
  if (const EditedFile::Step* step = redo ? mFile.redo() : mFile.undo()) showCells(*step);
}

bool FEditor::applyCells(CellChanges cells) {
  mSession->finishStep();
  if (!mFile.makeStep(std::move(cells))) return false;
  // The edit box's typing is a step before this one now: Ctrl+Z must undo this one first.
  if (mSession->active()) mSession->editor()->document()->clearUndoRedoStacks();
  showCells(mFile.steps()[mFile.stepsDone() - 1]);
  return true;
}

// A step of one value is shown as a typed one: its cell gets the focus. A step of many leaves the
// focus and the block where they are; the edited cell takes its new value, and when the step
// holds none of the page's cells the page goes to its first.
void FEditor::showCells(const EditedFile::Step& step) {
  const CellChanges::Cell first = step.cells.front();
  if (step.cells.size() == 1) return showStep(first.record, first.field);
  showDataChanged();
  showDifferenceCount();
  mGrid->refreshDisplay(3);
  const bool editedHere = mSession->active() && std::ranges::any_of(step.cells, [this](const CellChanges::Cell& cell) {
    return cell.record == mSession->record() && cell.field == mSession->field();
  });
  if (editedHere) return mSession->takeStoredValue();
  if (const std::int32_t column = mGrid->displayColumn(first.field); column > 0 && !mSession->active())
    mGrid->scrollToField(first.record, column);
}

// After a value was put back: the grid shows it, the cell comes into view with the focus (when
// the selected range shows its field), and the window tells whether the data still differ from
// the file.
void FEditor::showStep(std::int32_t iRecNo, std::int32_t iField) {
  showDataChanged();
  showDifferenceCount();
  mGrid->refreshDisplay(3);
  const std::int32_t column = mGrid->displayColumn(iField);
  if (column == 0 || iRecNo < firstDataUnit()) {
    mGrid->scrollToRecord(iRecNo);
    return;
  }
  if (mSession->isEditing(iRecNo, column)) mSession->takeStoredValue();
  mGrid->focusField(iRecNo, column);
}
