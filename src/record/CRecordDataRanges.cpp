#include <cmath>
#include <limits>
#include <optional>

#include "CRecordData.h"
#include "FileKind.h"
#include "NumberText.h"
#include "RangeStatus.h"

namespace {

// A range number: the leading number with blanks ignored, rounded down; nothing when it does
// not fit a Long.
std::optional<std::int32_t> rangeNumber(std::string_view text) {
  const double value = std::floor(NumberText::leadingNumber(text, NumberText::Blanks::Anywhere));
  if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()))
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::size_t findTo(std::string_view item) {
  for (std::size_t i = 0; i + 1 < item.size(); ++i)
    if ((item[i] == 't' || item[i] == 'T') && (item[i + 1] == 'o' || item[i + 1] == 'O')) return i;
  return std::string_view::npos;
}

}  // namespace

void CRecordData::initRanges(std::int32_t lFormID) {
  mFormID = lFormID;
  mGuard.reset();
  const FileKind* kind = FileKind::find(lFormID);
  mNoFields = kind ? kind->noFields : 0;
  for (auto& range : mRanges) range.assign(static_cast<std::size_t>(mNoFields) + 1, 0);
  mWidths.assign(static_cast<std::size_t>(mNoFields), 0);
  const std::string allFields = "1 to " + std::to_string(mNoFields) + ",";
  for (std::int32_t r = 1; r <= kRanges; ++r) setRange(r, allFields);
  // A preset range is read over the full one, as a user's would be.
  for (std::int32_t r = 1; kind && r <= kRanges; ++r)
    if (const FieldSpan span = kind->defaultRange(r); span.first != 1 || span.last != mNoFields)
      setRange(r, std::to_string(span.first) + " to " + std::to_string(span.last) + ",");
  setAllDisplayWidths("");
}

// Items end at commas; an item is a number or "x to y". A failed step leaves its target as it
// was and the reading goes on, so bounds carry over from the previous item.
std::int32_t CRecordData::setRange(std::int32_t iRange, std::string_view sText) {
  if (iRange < 1 || iRange > kRanges || mRanges[iRange - 1].empty()) return kOtherFailure;
  std::vector<std::int32_t>& range = mRanges[iRange - 1];
  const std::int32_t maxValue = MaxValue();
  std::int32_t n = 0, a = 0, b = 0, status = kAccepted;
  std::size_t p = 0;
  std::size_t itemStart = 0;
  do {
    ++p;
    if (p > sText.size() || sText[p - 1] != ',') continue;
    const std::string_view item = sText.substr(itemStart, p - 1 - itemStart);
    itemStart = p;
    if (const std::size_t to = findTo(item); to != std::string_view::npos) {
      if (auto lower = rangeNumber(item.substr(0, to))) a = *lower; else status = kTooLargeForLong;
      if (item.size() <= to + 2) {
        status = kOtherFailure;  // "x to" with nothing after it
      } else if (auto upper = rangeNumber(item.substr(to + 3))) {
        b = *upper;
      } else {
        status = kTooLargeForLong;
      }
    } else if (auto number = rangeNumber(item)) {
      a = b = *number;
    } else {
      status = kTooLargeForLong;
    }
    do {
      ++n;
      std::int32_t v = a;
      if (v < 1) {
        v = 1;
        status = kBelowOne;
      } else if (v > maxValue) {
        v = maxValue;
        status = kAboveMax;
      }
      if (n <= maxValue) range[n] = v; else status = kOtherFailure;
      if (a == std::numeric_limits<std::int32_t>::max()) status = kTooLargeForLong; else ++a;
    } while (a <= b && n <= maxValue);
  } while (p < sText.size() && n <= maxValue);
  range[0] = std::min(n, maxValue);
  return status;
}

std::string CRecordData::getSelRangeArrayStr(std::int32_t iRange_or_0_selected) const {
  const std::int32_t r = iRange_or_0_selected == 0 ? mRangeSelected : iRange_or_0_selected;
  if (r < 1 || r > kRanges || mRanges[r - 1].empty()) return {};
  const std::vector<std::int32_t>& range = mRanges[r - 1];
  std::string text;
  for (std::int32_t k = 1; k <= range[0]; ++k) text += std::to_string(range[k]) + ", ";
  return text;
}

std::int32_t CRecordData::NoFieldsInSelectedRange() const { return actualFieldNoInSelectedRange(0); }

std::int32_t CRecordData::actualFieldNoInSelectedRange(std::int32_t iFieldNoDisplay) const {
  if (mRangeSelected < 1 || mRangeSelected > kRanges) return 0;
  const std::vector<std::int32_t>& range = mRanges[mRangeSelected - 1];
  if (iFieldNoDisplay < 0 || static_cast<std::size_t>(iFieldNoDisplay) >= range.size()) return 0;
  return range[iFieldNoDisplay];
}
