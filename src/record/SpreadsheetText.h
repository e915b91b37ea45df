#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A block of values as spreadsheets put it on the clipboard: values separated by TAB, rows by
// line breaks, a value holding a TAB, a line break or a double quote in double quotes with its
// quotes doubled. Values are the file's code-page bytes and pass through untouched.
namespace SpreadsheetText {

using Rows = std::vector<std::vector<std::string>>;

// Every line ends with lineEnd, the last one too, as spreadsheets write it ("\r\n" on Windows).
// A row without values is written as one empty value.
std::string encode(const Rows& rows, std::string_view lineEnd);

// One row of encode, appended to out: a large block need not be built as Rows first.
void appendRow(std::string& out, std::span<const std::string_view> row, std::string_view lineEnd);

// Rows split at CR LF, LF or a lone CR; one line break at the very end is dropped, so "" is no
// rows and "\n" one row of one empty value. Rows keep their own lengths: the caller decides
// what a ragged block means. A field is quoted only when its first byte is a quote; elsewhere a
// quote is an ordinary byte. Malformed quoting never loses bytes:
// - bytes between a closing quote and the next TAB or line break are appended as they are
//   ("\"ab\"cd" is abcd, as Python's csv reads it);
// - a quote that is never closed takes the rest of the text, line breaks and all, as its value
//   (as LibreOffice pastes it).
// Linear in the text's length.
Rows decode(std::string_view text);
// The rows of decode, one at a time: a large paste need not hold them all. The row may be
// taken (moved from).
void forEachRow(std::string_view text, const std::function<void(std::vector<std::string>& row)>& take);

// Whether a paste is a block rather than one value: decode would give more than one value. A
// single cell that holds a TAB or a line break comes quoted and so is one value.
bool isBlock(std::string_view text);

}  // namespace SpreadsheetText
