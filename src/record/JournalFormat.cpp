#include "JournalFormat.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "CRecordData.h"
#include "DataDiff.h"

namespace JournalFormat {
namespace {

using Change = EditedFile::HistorySink::Change;

constexpr std::string_view kFirstLine = "PelkoEditor journal 1";

// A step of many values is one line still, four parts a value, so that it is taken whole or
// not at all.
std::string stepLine(char tag, const EditedFile::Step& step) {
  std::string line(1, tag);
  for (const CellChanges::Cell& cell : step.cells)
    line += '\t' + std::to_string(cell.record) + '\t' + std::to_string(cell.field) + '\t' + DataDiff::escape(cell.before) +
            '\t' + DataDiff::escape(cell.after);
  return line + '\n';
}

template <class Number>
std::optional<Number> number(std::string_view text, int base = 10) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// The TAB-separated parts of a line.
std::vector<std::string_view> parts(std::string_view line) {
  std::vector<std::string_view> result;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    result.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) return result;
    start = tab + 1;
  }
}

// Complete lines, one at a time.
class Lines {
 public:
  explicit Lines(std::string_view text) : mText(text) {}
  std::optional<std::string_view> next() {
    const std::size_t end = mText.find('\n', mPos);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = mText.substr(mPos, end - mPos);
    mPos = end + 1;
    return line;
  }
  std::uint64_t position() const { return mPos; }

 private:
  std::string_view mText;
  std::size_t mPos = 0;
};

std::optional<EditedFile::Step> stepOf(const std::vector<std::string_view>& fields) {
  if (fields.size() < 5 || (fields.size() - 1) % 4 != 0) return std::nullopt;
  CellChanges cells;
  for (std::size_t i = 1; i < fields.size(); i += 4) {
    const auto record = number<std::int32_t>(fields[i]), field = number<std::int32_t>(fields[i + 1]);
    const auto before = DataDiff::unescape(fields[i + 2]), after = DataDiff::unescape(fields[i + 3]);
    if (!record || !field || !before || !after) return std::nullopt;
    cells.add(*record, *field, *before, *after);
  }
  return EditedFile::Step(std::move(cells));
}

std::optional<Entry> entryOf(std::string_view line) {
  if (line == "u") return Entry{Change::Undo, {}, 0};
  if (line == "r") return Entry{Change::Redo, {}, 0};
  const std::vector<std::string_view> fields = parts(line);
  if (fields[0] != "s") return std::nullopt;
  auto step = stepOf(fields);
  if (!step) return std::nullopt;
  return Entry{Change::Step, std::move(*step), 0};
}

bool fits(const EditedFile::Step& step, const CRecordData& record) {
  return std::ranges::all_of(step.cells, [&](const CellChanges::Cell& cell) {
    return cell.record >= 1 && cell.record <= record.NoUnits() && cell.field >= 1 && cell.field <= record.NoFields();
  });
}

}  // namespace

std::optional<std::string> header(const std::string& dataPath, const FileIdentity& identity, const EditedFile& file,
                                  Change change) {
  // A new step is the last; the steps it dropped, which the journal's first entry drops again,
  // need not be written.
  const std::size_t done = change == Change::Step ? file.stepsDone() - 1
                           : change == Change::Undo ? file.stepsDone() + 1
                                                    : file.stepsDone() - 1;
  const std::size_t steps = change == Change::Step ? done : file.steps().size();
  if (!file.savedAt() || *file.savedAt() > steps) return std::nullopt;
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(identity.hash));
  std::string text = std::string(kFirstLine) + "\npath\t" + DataDiff::escape(dataPath) + "\nfile\t" +
                     std::to_string(identity.size) + '\t' + hash + "\nhistory\t" + std::to_string(steps) + '\t' +
                     std::to_string(*file.savedAt()) + '\t' + std::to_string(done) + '\n';
  for (std::size_t i = 0; i < steps; ++i) text += stepLine('h', file.steps()[i]);
  return text;
}

std::string entry(const EditedFile& file, Change change) {
  switch (change) {
    case Change::Undo: return "u\n";
    case Change::Redo: return "r\n";
    default: return stepLine('s', file.steps()[file.stepsDone() - 1]);
  }
}

std::optional<Contents> read(std::string_view text) {
  Lines lines(text);
  Contents journal;
  const auto first = lines.next(), path = lines.next(), file = lines.next(), history = lines.next();
  if (!first || *first != kFirstLine || !path || !file || !history) return std::nullopt;
  const auto pathFields = parts(*path), fileFields = parts(*file), historyFields = parts(*history);
  if (pathFields.size() != 2 || pathFields[0] != "path" || fileFields.size() != 3 || fileFields[0] != "file" ||
      historyFields.size() != 4 || historyFields[0] != "history")
    return std::nullopt;
  auto dataPath = DataDiff::unescape(pathFields[1]);
  const auto size = number<std::uint64_t>(fileFields[1]), hash = number<std::uint64_t>(fileFields[2], 16);
  const auto steps = number<std::size_t>(historyFields[1]), saved = number<std::size_t>(historyFields[2]),
             done = number<std::size_t>(historyFields[3]);
  if (!dataPath || !size || !hash || !steps || !saved || !done || *saved > *steps || *done > *steps) return std::nullopt;
  journal.dataPath = std::move(*dataPath);
  journal.file = {*size, *hash};
  journal.saved = *saved;
  journal.done = *done;
  for (std::size_t i = 0; i < *steps; ++i) {
    const auto line = lines.next();
    if (!line) return std::nullopt;
    const std::vector<std::string_view> fields = parts(*line);
    auto step = stepOf(fields);
    if (!step || fields[0] != "h") return std::nullopt;
    journal.history.push_back(std::move(*step));
  }
  journal.headerEnd = lines.position();
  while (const auto line = lines.next()) {
    auto next = entryOf(*line);
    if (!next) break;
    next->end = lines.position();
    journal.entries.push_back(std::move(*next));
  }
  return journal;
}

std::optional<std::size_t> replay(const Contents& journal, EditedFile& file) {
  const CRecordData& record = file.record();
  for (const EditedFile::Step& step : journal.history)
    if (!fits(step, record)) return std::nullopt;
  for (std::size_t i = 0; i < journal.saved; ++i) file.addStep(journal.history[i]);
  file.markSaved();
  for (std::size_t i = journal.saved; i < journal.history.size(); ++i) file.makeStep(journal.history[i]);
  for (std::size_t i = journal.done; i < journal.history.size(); ++i) file.undo();
  std::size_t taken = 0;
  for (const Entry& next : journal.entries) {
    if (next.change == Change::Step) {
      if (!fits(next.step, record)) break;
      file.makeStep(next.step);
    } else if (!(next.change == Change::Undo ? file.undo() : file.redo())) {
      break;
    }
    ++taken;
  }
  return taken;
}

}  // namespace JournalFormat
