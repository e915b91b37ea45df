// Find (Ctrl+F): unit names, or every value of the shown fields; letter case aside unless the
// replace row asks otherwise. A field is also found by its title.
#include <algorithm>

#include "CodePage.h"
#include "DataFileFormat.h"
#include "FEditor.h"
#include "FindBar.h"
#include "FindSearch.h"
#include "RecordGrid.h"

void FEditor::showFindBar() {
  findBar().showForSearch();
  placeFindBar();
}

FindBar& FEditor::findBar() {
  if (!mFindBar) {
    mFindBar = new FindBar(this);
    connect(mFindBar, &FindBar::findRequested, this, &FEditor::findNext);
    connect(mFindBar, &FindBar::replaceRequested, this, &FEditor::replace);
    connect(mFindBar, &FindBar::filterChanged, this, &FEditor::refreshView);
  }
  return *mFindBar;
}

// Over the status line at the top right, as wide as it needs within the window.
void FEditor::placeFindBar() {
  if (!mFindBar) return;
  const int width = std::min(this->width() - 16, std::max(mFindBar->sizeHint().width(), 420));
  mFindBar->setGeometry(this->width() - width - 8, 2, width, mFindBar->sizeHint().height());
}

// What the bar asks for; the place the walk starts is up to the caller.
FindSearch::Request FEditor::findRequest() const {
  FindSearch::Request request;
  request.text = CodePage::fromQString(mFindBar->text());
  request.firstUnit = firstDataUnit();
  request.nameField = FileKind::of(mFormID).nameField;
  request.allValues = mFindBar->allValues();
  request.matchCase = mFindBar->matchCase();
  request.wholeValue = mFindBar->wholeValue();
  request.view = &mGrid->view();
  return request;
}

// Goes from the last match (or the top of the page) through the units in order, a unit's shown
// fields one after the other, wrapping at either end. While the user types (step 0) a match at
// the last one's place counts, and the grid only scrolls to it: the find bar keeps the keys. Enter,
// F3 and Shift+F3 give the match's cell the focus.
void FEditor::findNext(int step) {
  if (!mFindBar || mFindBar->isHidden()) return showFindBar();
  // With "Only matching units" each key typed changes the units shown, then finds among them.
  if (step == 0 && mShown.setMatching(matchingRequest())) showView();
  FindSearch::Request request = findRequest();
  if (request.text.empty()) return mFindBar->setNote({});
  // The last match's row: gone when a filter no longer shows its unit.
  const std::int32_t foundRow = mFoundRecord < request.firstUnit ? 0 : mGrid->view().rowOf(mFoundRecord);
  const bool fresh = foundRow == 0;
  request.record = fresh ? std::max(mGrid->firstRow(), request.firstUnit) : foundRow;
  request.column = fresh ? mGrid->firstColumn() : mFoundColumn;
  request.backwards = step < 0;
  request.startCounts = step == 0 || fresh;
  const auto match = mFormID == 0 ? std::nullopt : FindSearch::next(record(), request);
  // A field titled so: its column beside the unit found, or, with no unit found, alone, Enter and
  // F3 then walking through such fields. A value found among all values keeps its own column.
  std::int32_t title = 0;
  if (mFormID != 0 && !(match && request.allValues))
    title = FindSearch::fieldByTitle(record(), request.text, request.firstUnit, std::max(mFoundColumn, 1) + (match ? 0 : step),
                                     step < 0)
                .value_or(0);
  if (!match && title == 0) return mFindBar->setNote(QStringLiteral("No match"));
  if (!match) {
    mFoundColumn = title;
    mFindBar->setNote(QStringLiteral("Field %1").arg(record().actualFieldNoInSelectedRange(title)));
    // In the row where the walk started; a filter that shows no unit leaves nothing to scroll.
    const std::int32_t row = std::min(request.record, mGrid->view().lastRow());
    if (row < mGrid->view().firstRow()) return;
    if (step == 0) mGrid->scrollToField(mGrid->view().record(row), title);
    else mGrid->focusField(mGrid->view().record(row), title);
    return;
  }
  mFindBar->setNote(!match->wrapped ? QString()
                    : request.backwards ? QStringLiteral("Wrapped to the last unit")
                                        : QStringLiteral("Wrapped to the first unit"));
  // A name's match is its name cell, when the range shows that field.
  const std::int32_t nameColumn = mGrid->displayColumn(request.nameField);
  mFoundRecord = match->record;
  mFoundColumn = request.allValues ? match->column : title > 0 ? title : nameColumn > 0 ? nameColumn : mGrid->firstColumn();
  if (step == 0)
    mGrid->scrollToField(mFoundRecord, mFoundColumn);
  else
    mGrid->focusField(mFoundRecord, mFoundColumn);
}
