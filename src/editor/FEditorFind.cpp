// Find (Ctrl+F): unit names, or every value of the shown fields, case-insensitive.
#include <QScrollBar>
#include <algorithm>
#include <array>

#include "CodePage.h"
#include "FEditor.h"
#include "FindBar.h"
#include "GlobalShared.h"

namespace {

// Each byte of the code page in lower case, so that a search compares bytes, not converted text.
const std::array<unsigned char, 256>& lowerCase() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> made{};
    for (int b = 0; b < 256; ++b) {
      const std::string lower = CodePage::fromQString(CodePage::toQString(std::string(1, char(b))).toLower());
      made[std::size_t(b)] = lower.size() == 1 && lower[0] != '?' ? static_cast<unsigned char>(lower[0]) : static_cast<unsigned char>(b);
    }
    return made;
  }();
  return table;
}

// needle is in lower case already.
bool containsFolded(std::string_view value, std::string_view needle) {
  const auto& lower = lowerCase();
  return std::search(value.begin(), value.end(), needle.begin(), needle.end(), [&](char a, char b) {
           return lower[static_cast<unsigned char>(a)] == static_cast<unsigned char>(b);
         }) != value.end();
}

}  // namespace

void FEditor::showFindBar() {
  if (!mFindBar) {
    mFindBar = new FindBar(this);
    connect(mFindBar, &FindBar::findRequested, this, &FEditor::findNext);
  }
  mFindBar->adjustSize();
  const int width = std::min(this->width() - 16, std::max(mFindBar->sizeHint().width(), 420));
  mFindBar->setGeometry(this->width() - width - 8, 2, width, mFindBar->sizeHint().height());
  mFindBar->showForSearch();
}

// Goes from the last match (or the top of the page) through the units in order, a unit's shown
// fields one after the other, wrapping at either end. While the user types (step 0) a match at
// the last one's place counts, and the grid only scrolls to it: the find bar keeps the keys. Enter,
// F3 and Shift+F3 give the match's cell the focus.
void FEditor::findNext(int step) {
  if (!mFindBar || mFindBar->isHidden()) return showFindBar();
  const std::string needle = CodePage::fromQString(mFindBar->text().toLower());
  const std::int32_t first = firstDataUnit();
  const bool all = mFindBar->allValues();
  const std::int64_t columns = all ? record().NoFieldsInSelectedRange() : 1;
  const std::int64_t total = mFormID == 0 ? 0 : std::int64_t(record().NoUnits() - first + 1) * columns;
  if (needle.empty() || total <= 0) return mFindBar->setNote(needle.empty() ? QString() : QStringLiteral("No match"));
  const bool fresh = mFoundRecord < first || mFoundRecord > record().NoUnits();
  const std::int32_t unit = fresh ? std::max(vsbUnits2display->value(), first) : mFoundRecord;
  const std::int32_t nameField = mFormID == GlobalShared::kBuildProd ? 2 : 1;
  // A name's match is its name cell, when the range shows that field.
  const std::int32_t nameColumn = displayColumn(nameField) > 0 ? displayColumn(nameField) : hsbFields2Display->value();
  const std::int32_t shownColumn = std::clamp(fresh ? hsbFields2Display->value() : mFoundColumn, 1, std::max(1, record().NoFieldsInSelectedRange()));
  const std::int64_t here = std::int64_t(unit - first) * columns + (all ? shownColumn - 1 : 0);
  const std::int64_t direction = step < 0 ? -1 : 1;
  const std::int64_t start = (here + (step == 0 || fresh ? 0 : direction) + total) % total;
  for (std::int64_t k = 0; k < total; ++k) {
    const std::int64_t at = ((start + direction * k) % total + total) % total;
    const auto found = static_cast<std::int32_t>(first + at / columns);
    const auto column = static_cast<std::int32_t>(all ? at % columns + 1 : nameColumn);
    const std::int32_t field = all ? record().actualFieldNoInSelectedRange(column) : nameField;
    if (!containsFolded(record().value(found, field), needle)) continue;
    const bool wrapped = direction > 0 ? at < start : at > start;
    mFindBar->setNote(!wrapped ? QString() : direction > 0 ? QStringLiteral("Wrapped to the first unit") : QStringLiteral("Wrapped to the last unit"));
    mFoundRecord = found;
    mFoundColumn = column;
    if (step == 0)
      scrollToField(found, column);
    else
      focusField(found, column);
    return;
  }
  mFindBar->setNote(QStringLiteral("No match"));
}
