#include "SpreadsheetText.h"

#include <algorithm>
#include <cstddef>

namespace SpreadsheetText {

namespace {

constexpr char kQuote = '"';

enum class FieldEnd { Tab, LineBreak, TextEnd };

bool isSeparator(char c) { return c == '\t' || c == '\n' || c == '\r'; }

bool needsQuotes(std::string_view value) {
  return std::any_of(value.begin(), value.end(), [](char c) { return isSeparator(c) || c == kQuote; });
}

void appendValue(std::string& out, std::string_view value) {
  if (!needsQuotes(value)) {
    out += value;
    return;
  }
  out += kQuote;
  std::size_t from = 0;
  for (std::size_t quote = value.find(kQuote); quote != std::string_view::npos; quote = value.find(kQuote, from)) {
    out += value.substr(from, quote + 1 - from);
    out += kQuote;
    from = quote + 1;
  }
  out += value.substr(from);
  out += kQuote;
}

// The bytes from pos up to the next separator; pos ends on the separator or the text's end.
std::string_view unquoted(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && !isSeparator(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

// pos is just past the opening quote; it ends past the closing quote, or at the text's end when
// there is none. Copies run from quote to quote, so a long value costs one pass.
void appendQuoted(std::string_view text, std::size_t& pos, std::string& value) {
  while (pos < text.size()) {
    const std::size_t quote = text.find(kQuote, pos);
    if (quote == std::string_view::npos) {
      value.append(text.substr(pos));
      pos = text.size();
      return;
    }
    value.append(text.substr(pos, quote - pos));
    pos = quote + 1;
    if (pos >= text.size() || text[pos] != kQuote) return;
    value += kQuote;
    ++pos;
  }
}

// Adds the field at pos to row and moves pos past the separator that ends it. A plain value is
// built once, in place: a large block is mostly short plain values.
FieldEnd readField(std::string_view text, std::size_t& pos, std::vector<std::string>& row) {
  if (pos < text.size() && text[pos] == kQuote) {
    std::string& value = row.emplace_back();
    ++pos;
    appendQuoted(text, pos, value);
    value += unquoted(text, pos);
  } else {
    row.emplace_back(unquoted(text, pos));
  }
  if (pos >= text.size()) return FieldEnd::TextEnd;
  const char separator = text[pos++];
  if (separator == '\t') return FieldEnd::Tab;
  if (separator == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  return FieldEnd::LineBreak;
}

template <typename Row>
void appendValues(std::string& out, const Row& row, std::string_view lineEnd) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) out += '\t';
    appendValue(out, row[i]);
  }
  out += lineEnd;
}

}  // namespace

std::string encode(const Rows& rows, std::string_view lineEnd) {
  std::string out;
  for (const std::vector<std::string>& row : rows) appendValues(out, row, lineEnd);
  return out;
}

void appendRow(std::string& out, std::span<const std::string_view> row, std::string_view lineEnd) {
  appendValues(out, row, lineEnd);
}

Rows decode(std::string_view text) {
  Rows rows;
  forEachRow(text, [&rows](std::vector<std::string>& row) { rows.push_back(std::move(row)); });
  return rows;
}

void forEachRow(std::string_view text, const std::function<void(std::vector<std::string>& row)>& take) {
  std::vector<std::string> row;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const FieldEnd end = readField(text, pos, row);
    if (end == FieldEnd::Tab && pos < text.size()) continue;
    // A TAB at the text's end still ends a value: the empty one after it.
    if (end == FieldEnd::Tab) row.emplace_back();
    const std::size_t width = row.size();
    take(row);
    row.clear();
    row.reserve(width);
  }
}

bool isBlock(std::string_view text) {
  std::size_t pos = 0;
  std::vector<std::string> first;
  const FieldEnd end = readField(text, pos, first);
  return end == FieldEnd::Tab || (end == FieldEnd::LineBreak && pos < text.size());
}

}  // namespace SpreadsheetText
