#pragma once
#include <string_view>

// Reading the number at the start of a text, as typed by users and as kept in the settings file.
namespace NumberText {

enum class Blanks {
  Anywhere,  // "1 2.5" reads 12.5: blanks inside the number are skipped (range and width texts)
  Leading,   // only blanks before the number are skipped (settings values)
};

// The decimal number (sign, digits, point, exponent) at the start of the text; 0 when there is
// none. Reading stops at the first character that cannot continue the number. Values too large
// for a double come back as +/- infinity.
double leadingNumber(std::string_view text, Blanks blanks);

}  // namespace NumberText
