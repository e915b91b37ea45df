// Replace (Ctrl+H): the matches find finds, replaced one at a time or all at once; each replace
// is one undo step, however many values it changes.
#include <QGuiApplication>
#include <QLocale>

#include "CRecordData.h"
#include "CellEditSession.h"
#include "CodePage.h"
#include "Counted.h"
#include "DataFileFormat.h"
#include "FEditor.h"
#include "FindBar.h"
#include "FindSearch.h"
#include "RecordGrid.h"

void FEditor::showReplaceBar() {
  findBar().showForReplace();
  placeFindBar();
}

// Replace All takes the selected block, or else the units find walks. Replace takes the last
// match while it still matches, then goes on to the next, as F3 does.
void FEditor::replace(bool all) {
  if (!mFindBar || mFindBar->isHidden() || mFormID == 0) return;
  const FindSearch::Request request = findRequest();
  if (request.text.empty()) return mFindBar->setNote({});
  const FindSearch::Replace with{CodePage::fromQString(mFindBar->replacement()), DataFileFormat::kLongestRecord};
  if (all) {
    const CellBlock block = mGrid->selectedBlock();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    FindSearch::Replacement made = FindSearch::replaceAll(
        record(), request, with,
        block.empty() ? FindSearch::inUnits(record(), request) : FindSearch::inBlock(record(), request, block));
    QGuiApplication::restoreOverrideCursor();
    mFindBar->setNote(applyReplacement(std::move(made)));
    return placeFindBar();
  }
  const bool atMatch =
      mFoundRecord >= request.firstUnit && mGrid->view().rowOf(mFoundRecord) > 0 &&
      (!request.allValues || (mFoundColumn >= 1 && mFoundColumn <= record().NoFieldsInSelectedRange()));
  if (atMatch) {
    const std::int32_t field =
        request.allValues ? record().actualFieldNoInSelectedRange(mFoundColumn) : request.nameField;
    FindSearch::Replacement made =
        FindSearch::replaceAll(record(), request, with, {{mFoundRecord}, {field}});
    if (!made.cells.empty() || made.tooLong > 0) {
      const QString note = applyReplacement(std::move(made));
      findNext(1);
      if (mFindBar->note().isEmpty()) mFindBar->setNote(note);  // unless the walk wrapped or ended
      return;
    }
  }
  findNext(1);
}

// The values replaced become one step. Returns the note that counts them; the status line names
// a value that the file could not hold as it is now.
QString FEditor::applyReplacement(FindSearch::Replacement made) {
  QString note = QStringLiteral("Replaced ") + Counted::of(made.cells.size(), "value", "values");
  if (made.tooLong > 0) note += QStringLiteral("; %1 too long to hold").arg(QLocale().toString(static_cast<qulonglong>(made.tooLong)));
  if (!applyCells(std::move(made.cells))) return note;
  for (const CellChanges::Cell& cell : mFile.steps()[mFile.stepsDone() - 1].cells)
    if (const SaveProblem* problem = record().saveProblem(cell.record)) {
      setStatusText(mGrid->saveProblemText(cell.record, problem->field));
      break;
    }
  return note;
}
