#pragma once
#include <QLocale>
#include <QString>
#include <cstddef>

// Counts as the window writes them: "1 value", "1,200 values" in the user's locale, and the size
// of a block, "4 units × 3 fields".
namespace Counted {

inline QString of(std::size_t n, const char* one, const char* many) {
  return QLocale().toString(static_cast<qulonglong>(n)) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

inline QString unitsByFields(std::size_t units, std::size_t fields) {
  return of(units, "unit", "units") + QStringLiteral(" \u00d7 ") + of(fields, "field", "fields");
}

}  // namespace Counted
