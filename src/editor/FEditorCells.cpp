// The wiring of the grid and the edit of its focused cell: what the window does when a cell gets
// the focus, is typed in and is left, and the keys that reach the edit box.
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

#include "CRecordData.h"
#include "CellEditSession.h"
#include "CellEditor.h"
#include "CodePage.h"
#include "FEditor.h"
#include "RecordGrid.h"

void FEditor::watchCells() {
  mSession = std::make_unique<CellEditSession>(mGrid->cellFrame(), mFile);
  CellEditor* editor = mSession->editor();
  mGrid->setEditBox(editor);
  editor->installEventFilter(this);
  connect(editor, &QWidget::customContextMenuRequested, this,
          [this, editor](QPoint at) { showCellMenu(editor->viewport()->mapToGlobal(at)); });
  connect(mGrid, &RecordGrid::cellFocused, mSession.get(), &CellEditSession::begin);
  connect(mGrid, &RecordGrid::cellMenuRequested, this, &FEditor::showCellMenu);
  connect(mSession.get(), &CellEditSession::typed, this, &FEditor::cellTyped);
  connect(mSession.get(), &CellEditSession::ended, this, &FEditor::cellLeft);
  connect(mSession.get(), &CellEditSession::notice, this, &FEditor::setStatusText);
  watchClipboard();
  // The controls that, getting the focus, leave no cell selected; the grid's own see to it there.
  std::vector<QWidget*> others;
  for (std::size_t n = 1; n <= FileKind::kRangeCount; ++n) others.push_back(optLockFields[n]);
  for (QPushButton* button : cmdFileActions)
    if (button) others.push_back(button);
  for (QWidget* widget : others) widget->installEventFilter(this);
}

bool FEditor::eventFilter(QObject* watched, QEvent* event) {
  if (commandEvent(watched, event)) return true;
  if (event->type() == QEvent::FocusIn && watched != mSession->editor()) mGrid->forgetLastCell();
  if (event->type() == QEvent::KeyPress && watched == mSession->editor()) return cellKey(static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

// Enter is discarded, and the undo keys undo across cells; the grid's keys move the focus.
// True when the key was taken.
bool FEditor::cellKey(const QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  if (event->matches(QKeySequence::Copy) && copyBlock(false)) return true;
  const QKeyCombination combination = event->keyCombination();
  if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z)) return undoRedo(false), true;
  if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
      combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z))
    return undoRedo(true), true;
  return mGrid->navigate(*event);
}

void FEditor::cellTyped() {
  setDataChanged(true);
  mGrid->showEditedValue(CodePage::toQString(mSession->value()));
  showDifferenceCount();
}

void FEditor::cellLeft() {
  mGrid->leaveFocusedCell();
  if (const SaveProblem* problem = mFile.record().saveProblem(mSession->record()))
    setStatusText(mGrid->saveProblemText(mSession->record(), problem->field));
}
