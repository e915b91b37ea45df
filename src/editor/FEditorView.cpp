// Which units the grid shows: those the find bar matches, those holding a differing value, and
// in which order. A view only says which record a row shows; the file's order never changes, so
// a save writes file order and an edit lands on the unit its row shows.
#include <QLabel>
#include <QMenu>

#include "CellEditSession.h"
#include "FEditor.h"
#include "FindBar.h"
#include "RecordGrid.h"

std::optional<FindSearch::Request> FEditor::matchingRequest() const {
  if (!mFindBar || !mFindBar->onlyMatching()) return std::nullopt;
  return findRequest();
}

void FEditor::refreshView() {
  mShown.setMatching(matchingRequest());
  mShown.setOnlyChanged(mGrid->onlyChanged());
  showView();
}

void FEditor::showView() {
  if (mFormID == 0) return;
  const std::vector<std::int32_t> changed = mShown.onlyChanged() ? mFile.differingRecords() : std::vector<std::int32_t>{};
  mGrid->setView(mShown.view(record(), changed));
  const QString showing = QStringLiteral("showing ");
  if (mShown.filtered())
    setStatusText(showing + QStringLiteral("%1 of %2 units")
                                .arg(mGrid->view().shownUnits())
                                .arg(record().NoUnits() - firstDataUnit() + 1));
  else if (lblStatusBar->text().startsWith(showing))
    setStatusText({});
}

void FEditor::sortUnits(ShownUnits::Sort sort) {
  mShown.setSort(sort);
  showView();
}

void FEditor::sortByFocusedField() {
  if (!mSession->active()) return;
  const std::int32_t field = record().actualFieldNoInSelectedRange(mSession->column());
  const ShownUnits::Sort now = mShown.sort();
  if (now.field != field) return sortUnits({field, false});
  sortUnits(now.descending ? ShownUnits::Sort{} : ShownUnits::Sort{field, true});
}

void FEditor::addSortMenu(QMenu& menu) {
  QMenu* sort = menu.addMenu(QStringLiteral("Sort Units by This Field"));
  sort->setObjectName(QStringLiteral("sortMenu"));
  const std::int32_t field = record().actualFieldNoInSelectedRange(mSession->column());
  const auto add = [&](const QString& text, const char* name, ShownUnits::Sort order) {
    QAction* action = sort->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setChecked(mShown.sort().field == order.field && mShown.sort().descending == order.descending);
    connect(action, &QAction::triggered, this, [this, order] { sortUnits(order); });
  };
  add(QStringLiteral("&Ascending"), "sortAscending", {field, false});
  add(QStringLiteral("&Descending"), "sortDescending", {field, true});
  add(QStringLiteral("&File Order"), "sortFileOrder", {});
}
