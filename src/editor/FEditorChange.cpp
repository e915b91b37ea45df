// Change Values: one expression for the selected block of values, or the focused cell.
#include "BlockChange.h"
#include "CellEditSession.h"
#include "FChangeValues.h"
#include "FEditor.h"
#include "RecordGrid.h"

void FEditor::changeValues() {
  if (!mSession->active() && mGrid->selectedBlock().empty()) return;
  const std::int32_t record = mSession->record(), column = mSession->column();
  CellBlock block = mGrid->selectedBlock();
  if (block.empty()) block = {record, record, column, column};
  // What is being typed is a step of its own, and the change starts from it.
  mSession->finishStep();
  FChangeValues dialog(mFile.record(), ChangeTargets::of(mFile.record(), block), this);
  const bool applied = dialog.exec() == QDialog::Accepted && mFile.makeStep(dialog.takeCells());
  // Where the platform ended the edit as the dialog took the focus, the cell gets it back.
  if (!mSession->active() && record > 0) mGrid->focusField(record, column);
  if (applied) showCells(mFile.steps()[mFile.stepsDone() - 1]);
}

// Stand-in until the shared refresh lands.
void FEditor::showCells(const EditedFile::Step&) {
  showDataChanged();
  showDifferenceCount();
  mGrid->refreshDisplay(3);
  if (mSession->active()) mSession->takeStoredValue();
}
