#include <cmath>

#include "CRecordData.h"
#include "NumberText.h"
#include "Platform.h"

namespace {

constexpr std::int32_t kMaxWidth = FileKind::kWidestWidth;
constexpr std::int32_t kMinWidth = 670;

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool isMax(std::string_view text) {
  text = trimBlanks(text);
  return text.size() == 3 && (text[0] | 0x20) == 'm' && (text[1] | 0x20) == 'a' && (text[2] | 0x20) == 'x';
}

}  // namespace

std::int32_t CRecordData::getDefaultWidth(std::int32_t iField) const {
  const FileKind* kind = FileKind::find(mFormID);
  return kind ? kind->defaultWidth(iField) : 0;
}

std::int32_t CRecordData::widthFromText(std::int32_t iField, std::string_view sText) const {
  if (isMax(sText)) return kMaxWidth;
  // Nearest whole number, a half to the even neighbour (the default rounding mode).
  const double v = std::nearbyint(NumberText::leadingNumber(sText, NumberText::Blanks::Anywhere));
  const std::int32_t screenMaximum = Platform::screenTwips().width - 800;
  if (v == 0) return getDefaultWidth(iField);
  if (v >= screenMaximum) return screenMaximum;
  if (v == kMaxWidth) return kMaxWidth;
  if (v < kMinWidth) return kMinWidth;
  return static_cast<std::int32_t>(v);
}

std::int32_t CRecordData::DisplayWidth(std::int32_t lField) const {
  const std::int32_t field = actualFieldNoInSelectedRange(lField);
  return validField(field) ? mWidths[field - 1] : 0;
}

void CRecordData::setDisplayWidth(std::int32_t lField, std::string_view sNewWidth) {
  const std::int32_t field = actualFieldNoInSelectedRange(lField);
  if (validField(field)) mWidths[field - 1] = widthFromText(field, sNewWidth);
}

std::int32_t CRecordData::setAllDisplayWidths(std::string_view sText) {
  for (std::int32_t field = 1; field <= mNoFields; ++field) {
    std::string_view item;
    if (const std::size_t comma = sText.find(','); comma != std::string_view::npos) {
      item = sText.substr(0, comma);
      sText.remove_prefix(comma + 1);
    }
    mWidths[field - 1] = widthFromText(field, item);
  }
  return 0;
}

std::string CRecordData::getWidthArrayStr() const {
  std::string text;
  for (const std::int32_t width : mWidths) text += std::to_string(width) + ", ";
  return text;
}
