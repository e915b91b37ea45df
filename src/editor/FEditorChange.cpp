// Change Values: one expression for the selected block of values, or the focused cell.
#include "BlockChange.h"
#include "CellEditSession.h"
#include "FChangeValues.h"
#include "FEditor.h"
#include "RecordGrid.h"

void FEditor::changeValues() {
  const CellBlock block = blockOrFocusedCell();
  if (block.empty()) return;
  const bool editing = mSession->active();
  const std::int32_t record = mSession->record(), column = mSession->column();
  FChangeValues dialog(mFile.record(), ChangeTargets::of(mFile.record(), mGrid->view(), block), this);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  // Without a window manager nothing gives the window the keyboard back when the dialog goes.
  activateWindow();
  if (accepted) applyCells(dialog.takeCells());
  // Where the platform ended the edit as the dialog took the focus, the cell gets it back; after
  // the change, which may have moved the page under it.
  if (editing && !mSession->active()) mGrid->focusField(record, column);
}
