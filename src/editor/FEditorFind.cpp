// Find (Ctrl+F): unit names, or every value of the shown fields, case-insensitive.
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cstring>

#include "CodePage.h"
#include "DataFileFormat.h"
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

unsigned char fold(char c) { return lowerCase()[static_cast<unsigned char>(c)]; }

// Finds a text in values, letter case aside. Candidates are found with memchr for the two cases
// of the text's first character: a file of 100 MB is searched at every key typed.
class FoldedSearch {
 public:
  explicit FoldedSearch(std::string needle) : mNeedle(std::move(needle)) {
    if (mNeedle.empty()) return;
    mFirst[0] = mFirst[1] = mNeedle[0];
    for (int b = 0; b < 256; ++b)
      if (fold(char(b)) == fold(mNeedle[0]) && char(b) != mNeedle[0]) mFirst[1] = char(b);
  }

  bool in(std::string_view value) const {
    const std::size_t n = mNeedle.size();
    if (n == 0 || value.size() < n) return n == 0;
    const char* const data = value.data();
    const char* const end = data + (value.size() - n + 1);  // past the last place a match can start
    std::array<const char*, 2> next{};                     // each case's next place, found lazily
    for (const char* from = data; from < end;) {
      for (std::size_t c = 0; c < 2; ++c)
        if (next[c] != end && next[c] < from) {
          const void* found = std::memchr(from, mFirst[c], static_cast<std::size_t>(end - from));
          next[c] = found ? static_cast<const char*>(found) : end;
        }
      const char* at = std::min(next[0], next[1]);
      if (at == end) return false;
      if (std::equal(at + 1, at + n, mNeedle.begin() + 1, [](char a, char b) { return fold(a) == fold(b); })) return true;
      from = at + 1;
    }
    return false;
  }

 private:
  std::string mNeedle;
  std::array<char, 2> mFirst{};
};

}  // namespace

void FEditor::showFindBar() {
  if (!mFindBar) {
    mFindBar = new FindBar(this);
    connect(mFindBar, &FindBar::findRequested, this, &FEditor::findNext);
  }
  placeFindBar();
  mFindBar->showForSearch();
}

// Over the status line at the top right, as wide as it needs within the window.
void FEditor::placeFindBar() {
  if (!mFindBar) return;
  const int width = std::min(this->width() - 16, std::max(mFindBar->sizeHint().width(), 420));
  mFindBar->setGeometry(this->width() - width - 8, 2, width, mFindBar->sizeHint().height());
}

// Goes from the last match (or the top of the page) through the units in order, a unit's shown
// fields one after the other, wrapping at either end. While the user types (step 0) a match at
// the last one's place counts, and the grid only scrolls to it: the find bar keeps the keys. Enter,
// F3 and Shift+F3 give the match's cell the focus.
void FEditor::findNext(int step) {
  if (!mFindBar || mFindBar->isHidden()) return showFindBar();
  const std::string needle = CodePage::fromQString(mFindBar->text());
  const std::int32_t first = firstDataUnit();
  const bool all = mFindBar->allValues();
  const std::int64_t columns = all ? record().NoFieldsInSelectedRange() : 1;
  const std::int64_t total = mFormID == 0 ? 0 : std::int64_t(record().NoUnits() - first + 1) * columns;
  if (needle.empty() || total <= 0) return mFindBar->setNote(needle.empty() ? QString() : QStringLiteral("No match"));
  const bool fresh = mFoundRecord < first || mFoundRecord > record().NoUnits();
  const std::int32_t unit = fresh ? std::max(vsbUnits2display->value(), first) : mFoundRecord;
  const std::int32_t nameField = FileKind::of(mFormID).nameField;
  // A name's match is its name cell, when the range shows that field.
  const std::int32_t nameColumn = displayColumn(nameField) > 0 ? displayColumn(nameField) : hsbFields2Display->value();
  const std::int32_t shownColumn = std::clamp(fresh ? hsbFields2Display->value() : mFoundColumn, 1, std::max(1, record().NoFieldsInSelectedRange()));
  const std::int64_t here = std::int64_t(unit - first) * columns + (all ? shownColumn - 1 : 0);
  const std::int64_t direction = step < 0 ? -1 : 1;
  const std::int64_t start = (here + (step == 0 || fresh ? 0 : direction) + total) % total;
  const FoldedSearch search(needle);
  std::int32_t checked = 0;  // the record whose whole text was searched last, and the outcome
  bool mayMatch = false;
  for (std::int64_t k = 0; k < total; ++k) {
    const std::int64_t at = ((start + direction * k) % total + total) % total;
    const auto found = static_cast<std::int32_t>(first + at / columns);
    if (found != checked) {
      const auto text = record().unchangedText(found);
      checked = found;
      mayMatch = !text || search.in(*text);
    }
    if (!mayMatch) continue;
    const auto column = static_cast<std::int32_t>(all ? at % columns + 1 : nameColumn);
    const std::int32_t field = all ? record().actualFieldNoInSelectedRange(column) : nameField;
    if (!search.in(record().value(found, field))) continue;
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
