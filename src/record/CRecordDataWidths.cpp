#include <cmath>

#include "CRecordData.h"
#include "NumberText.h"
#include "Platform.h"

namespace {

constexpr std::int32_t kMaxWidth = -1;  // always shown at the widest the grid allows
constexpr std::int32_t kMinWidth = 670;

struct DefaultWidth {
  std::int32_t width;
  std::int32_t firstField;
  std::int32_t lastField;
};

// Field spans by kind; fields not listed have no width (0).
constexpr DefaultWidth kUnitWidths[] = {
    {670, 3, 9}, {670, 14, 14}, {670, 16, 16}, {670, 19, 19}, {670, 21, 21}, {670, 44, 44},
    {670, 47, 47}, {670, 56, 56}, {670, 59, 64}, {670, 69, 69},
    {1870, 2, 2}, {1870, 10, 10}, {1870, 12, 13}, {1870, 20, 20}, {1870, 22, 24}, {1870, 26, 31},
    {1870, 37, 42}, {1870, 57, 58}, {1870, 70, 71},
    {2175, 1, 1}, {2175, 68, 68},
    {3600, 25, 25}, {3600, 32, 36}, {3600, 52, 52}, {3600, 54, 54}, {3600, 65, 65},
    {4800, 45, 45}, {4800, 55, 55}, {5400, 43, 43}, {5400, 48, 48}, {6000, 17, 18}, {6800, 66, 67},
    {7200, 46, 46}, {9000, 51, 51}, {11000, 49, 49},
    {kMaxWidth, 11, 11}, {kMaxWidth, 15, 15}, {kMaxWidth, 50, 50}, {kMaxWidth, 53, 53},
};
constexpr DefaultWidth kBuildingWidths[] = {
    {670, 1, 1}, {670, 12, 12}, {670, 14, 14}, {670, 16, 16}, {670, 22, 22}, {670, 26, 26},
    {1500, 19, 19}, {1870, 13, 13}, {1870, 18, 18}, {1870, 23, 25}, {1870, 28, 28}, {2200, 2, 2},
    {2800, 21, 21}, {3600, 4, 6}, {3600, 15, 15}, {5000, 27, 27}, {6000, 8, 9}, {6000, 20, 20},
    {6800, 3, 3}, {7800, 17, 17}, {kMaxWidth, 7, 7}, {kMaxWidth, 10, 11},
};
constexpr DefaultWidth kProjectileWidths[] = {
    {800, 2, 18}, {800, 21, 29}, {800, 35, 38}, {1870, 1, 1}, {1870, 20, 20}, {1870, 30, 34}, {2700, 19, 19},
};

template <std::size_t N>
std::int32_t lookUp(const DefaultWidth (&table)[N], std::int32_t field) {
  for (const DefaultWidth& span : table)
    if (field >= span.firstField && field <= span.lastField) return span.width;
  return 0;
}

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
  switch (mFormID) {
    case 1: return lookUp(kUnitWidths, iField);
    case 2: return lookUp(kBuildingWidths, iField);
    case 3: return lookUp(kProjectileWidths, iField);
    default: return 0;
  }
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
