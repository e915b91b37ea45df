#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The data-file grammar read the plainest way, one byte and one cell at a time, to hold the
// store's fast reading against. Gives every value as [field][record], both from 0, or nothing
// when the file does not load.
inline std::optional<std::vector<std::vector<std::string>>> referenceSplit(std::string_view text, std::int32_t kind) {
  constexpr std::size_t kLongest = 39998;  // characters before a record's CR
  const std::size_t fields = kind == 1 ? 71 : kind == 2 ? 28 : 38;
  const std::size_t cells = kind == 1 ? fields - 21 : fields;
  std::vector<std::vector<std::string>> values(fields);
  std::size_t pos = 0;
  if (kind == 3) pos = text.rfind(';') == std::string_view::npos ? 0 : text.rfind(';') + 1;
  if (pos == text.size()) return std::nullopt;
  for (std::size_t record = 1;; ++record) {
    std::size_t end = std::string_view::npos;
    bool quoted = false;
    for (std::size_t i = pos; i < text.size() && i - pos <= kLongest; ++i) {
      if (text[i] == '"') quoted = !quoted;
      if (text[i] == '\r' && !quoted) {
        end = i;
        break;
      }
    }
    if (end == std::string_view::npos || end + 1 == text.size()) return std::nullopt;
    const std::string_view line = text.substr(pos, end - pos);
    std::vector<std::string_view> cellTexts;
    std::size_t from = 0;
    while (cellTexts.size() + 1 < cells) {
      const std::size_t tab = line.find('\t', from);
      if (tab == std::string_view::npos) return std::nullopt;
      cellTexts.push_back(line.substr(from, tab - from));
      from = tab + 1;
    }
    cellTexts.push_back(line.substr(from));
    std::vector<std::string> row;
    for (std::size_t c = 0; c < cells; ++c) {
      const std::string_view cell = cellTexts[c];
      if (kind != 1 || c != 21) {
        row.emplace_back(cell);
        continue;
      }
      if (record <= 4 || cell.empty()) {
        row.insert(row.end(), 22, std::string(cell));
        continue;
      }
      // "v22, v23, ..., v43" with blanks trimmed; the last value may end at a quote.
      if (cell[0] != '"') return std::nullopt;
      std::size_t at = 1, written = line.size() - cell.size() + 2 + 2 * 21;
      for (int v = 0; v < 22; ++v) {
        const std::size_t stop = cell.find_first_of(v < 21 ? "," : ",\"", at);
        if (stop == std::string_view::npos) return std::nullopt;
        std::string value(cell.substr(at, stop - at));
        value.erase(0, value.find_first_not_of(' ') == std::string::npos ? value.size() : value.find_first_not_of(' '));
        while (!value.empty() && value.back() == ' ') value.pop_back();
        written += value.size();
        row.push_back(std::move(value));
        if (v == 21) {
          std::size_t quotes = 0;
          for (std::size_t i = stop; i < cell.size(); ++i) quotes += cell[i] == '"';
          if (quotes % 2 == 0) return std::nullopt;
        }
        at = stop + 1;
      }
      if (written > kLongest) return std::nullopt;
    }
    for (std::size_t f = 0; f < fields; ++f) values[f].push_back(std::move(row[f]));
    pos = end + 2;
    if (pos == text.size() || text[pos] == '\r') return values;
  }
}
