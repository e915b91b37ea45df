#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "Expected.h"

// One expression applied to many values: "=5", "+5", "-5", "*1.2", "/2", "+10%", "-10%".
// Arithmetic is exact decimal (0.1 + 0.2 is 0.3). Only division rounds: to the value's own
// decimals plus kDivisionDecimals, half away from zero, trailing zeros then dropped.
class ValueChange {
 public:
  static constexpr std::int32_t kDivisionDecimals = 6;

  enum class Operation { Set, Add, Subtract, Multiply, Divide, AddPercent, SubtractPercent };

  struct ParseError {
    enum class Kind { NoOperator, NoNumber, SignNotAllowed, Trailing, PercentNotAllowed, DivisionByZero, TooLong };
    Kind kind;
    std::size_t position;  // of the offending character in the expression
  };
  enum class ApplyError {
    NotANumber,  // the value is left alone: the caller counts it as skipped
    TooLarge,    // the result (or the value) does not fit the arithmetic
  };

  // How the values of one field hold numbers; header rows are the caller's to leave out.
  struct FieldNumbers {
    std::size_t numbers = 0;
    std::size_t others = 0;
    bool whole = true;  // no number has a decimal point
    bool numeric() const { return numbers > 0 && others == 0; }
  };

  static pelko::expected<ValueChange, ParseError> parse(std::string_view expression);
  static std::string errorText(const ParseError& error);

  // The new text of a value. With whole, the result is rounded to a whole number, half away
  // from zero: a field of whole numbers stays one.
  pelko::expected<std::string, ApplyError> apply(std::string_view value, bool whole) const;

  // A number as the data files write it: an optional minus, digits, optionally a point and
  // digits. "+5", ".5", "5." and blanks are text: the files never write a number so.
  static bool isNumber(std::string_view text);
  static FieldNumbers fieldNumbers(std::span<const std::string_view> values);

  Operation operation() const { return mOperation; }

 private:
  ValueChange(Operation operation, std::string operand) : mOperation(operation), mOperand(std::move(operand)) {}

  Operation mOperation;
  std::string mOperand;  // the expression's number with its sign, as a value would write it
};
