// pelkoTool: the editor's load and save for scripts.
//   pelkoTool check FILE [--type N]   loads FILE as the editor does; exit 0, or 1 on a load error
//   pelkoTool save IN OUT [--type N]  loads IN and writes OUT as Save File As does
//   pelkoTool diff A B [--type N]     prints every value B changed against A, records paired by
//                                     unit; exit 0 equal, 1 not
//   pelkoTool apply TARGET CHANGES OUT [--type N] [--force]
//                                     carries a diff over onto TARGET's units and saves the result as OUT
//   pelkoTool change IN OUT --field N[,M...] [--name TEXT] EXPR [--type N]
//                                     applies EXPR to those fields of IN's units and saves OUT
//   pelkoTool --help                  prints the usage
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "BlockChange.h"
#include "CRecordData.h"
#include "DataDiff.h"
#include "DataFile.h"
#include "FileKind.h"
#include "GlobalShared.h"
#include "Platform.h"
#include "ValueChange.h"

namespace {

constexpr int kUsageError = 2;

void usage(std::ostream& out) {
  out << "usage: pelkoTool check FILE [--type N]\n"
         "       pelkoTool save IN OUT [--type N]\n"
         "       pelkoTool diff A B [--type N]\n"
         "       pelkoTool apply TARGET CHANGES OUT [--type N] [--force]\n"
         "       pelkoTool change IN OUT --field N[,M...] [--name TEXT] EXPR [--type N]\n"
         "       pelkoTool --help\n"
         "N: 1 unit production, 2 building production, 3 projectile statistics;\n"
         "without --type the kind is detected from the file's first four characters.\n"
         "diff and apply pair records by their unit's name, not by their number.\n"
         "EXPR: =5, +5, -5, *1.2, /2, +10% or -10%; --name keeps the units whose name holds TEXT.\n";
}

int usageError() {
  usage(std::cerr);
  return kUsageError;
}

// The window's message boxes become lines on standard error, title first, the path as its bytes.
void print(const FileFailure& failure) {
  for (const Message& message : failureMessages(failure)) {
    std::string text;
    const std::string bytes = message.bytes();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
      text += bytes[i];
    }
    std::cerr << message.title << '\n' << text << '\n';
  }
}

// The kind a load returned; a failure is printed and gives 0.
GlobalShared::FileType kindLoaded(const FileResult<GlobalShared::FileType>& loaded) {
  if (loaded) return *loaded;
  print(loaded.error());
  return 0;
}

// Whether a save succeeded; a failure is printed.
bool saved(const FileResult<void>& written) {
  if (!written) print(written.error());
  return written.has_value();
}

// The kind a file's first characters name, else the forced one.
GlobalShared::FileType kindOf(const std::string& text, GlobalShared::FileType forced) {
  const GlobalShared::FileType own = DataFile::detectFileType(text);
  return own != 0 ? own : forced;
}

// Prints what B changed against A, records paired by unit. Exit 0 when equal, 1 when not, 2 when
// either does not load or the two are of different kinds.
int diff(const std::string& a, const std::string& b, GlobalShared::FileType forced) {
  CRecordData before, after;
  const GlobalShared::FileType kind = kindLoaded(DataFile::readDataFile(a, forced, before));
  if (kind == 0) return kUsageError;
  const GlobalShared::FileType kindA = kindOf(std::string(before.loadedText().substr(0, 4)), forced);
  FileResult<std::string> textB = DataFile::readText(b);
  if (const GlobalShared::FileType kindB = kindOf(textB.value_or(""), kindA); kindB != kindA) {
    std::cerr << "pelkoTool: " << a << " is a " << FileKind::sectionName(kindA) << " file and " << b << " a "
              << FileKind::sectionName(kindB) << " file: diff compares files of one kind\n";
    return kUsageError;
  }
  if (kindLoaded(DataFile::loadDataText(std::move(textB), b, kind, after)) == 0) return kUsageError;
  const DataDiff::Comparison comparison = DataDiff::compare(before, after);
  for (const DataDiff::Change& change : comparison.changes) std::cout << DataDiff::line(before, change) << '\n';
  const std::vector<std::string> records = DataDiff::recordLines(before, after, comparison.pairing);
  for (const std::string& record : records) std::cout << record << '\n';
  return comparison.changes.empty() && records.empty() ? EXIT_SUCCESS : EXIT_FAILURE;
}

void printConflict(const DataDiff::Conflict& conflict) {
  using Cause = DataDiff::Conflict::Cause;
  const DataDiff::Change& change = conflict.change;
  std::cout << "conflict\t" << change.record << '\t' << change.field;
  if (conflict.cause == Cause::NoUnit || conflict.cause == Cause::SeveralUnits)
    std::cout << "\tunit\t" << DataDiff::escape(change.name) << '\t'
              << (conflict.cause == Cause::NoUnit ? std::string("not found") : "found " + std::to_string(conflict.holders) + " times");
  else
    std::cout << "\texpected\t" << DataDiff::escape(change.oldValue) << "\tfound\t" << DataDiff::escape(conflict.found);
  std::cout << '\n';
}

// Carries the value lines of a diff over onto TARGET's units and saves OUT. Units found at
// another number are listed as moved. Conflicts (and records a diff adds or removes, which
// cannot be carried over) are listed, and then nothing is written (exit 1) unless --force. Exit
// 2 when a file does not load, a line is no diff line, the changes were made on another kind of
// file, or the save fails.
int apply(const std::string& targetPath, const std::string& changesPath, const std::string& out,
          GlobalShared::FileType forced, bool force) {
  CRecordData target;
  const GlobalShared::FileType kind = kindLoaded(DataFile::readDataFile(targetPath, forced, target));
  if (kind == 0) return kUsageError;
  const FileResult<std::string> read = DataFile::readText(changesPath);
  if (!read) print(read.error());
  const std::string text = read.value_or("");
  std::vector<DataDiff::Change> changes;
  std::vector<std::string> notCarried;
  std::size_t lineNo = 0;
  for (std::size_t from = 0; from < text.size(); ++lineNo) {
    const std::size_t end = std::min(text.find('\n', from), text.size());
    std::string_view line = std::string_view(text).substr(from, end - from);
    from = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with("added\t") || line.starts_with("missing\t")) {
      notCarried.emplace_back(line);
    } else if (auto change = DataDiff::parseLine(line)) {
      changes.push_back(std::move(*change));
    } else if (!line.empty()) {
      std::cerr << changesPath << ", line " << lineNo + 1 << ": not a line of pelkoTool diff\n";
      return kUsageError;
    }
  }
  if (!DataDiff::fitsKind(target, changes)) {
    std::cerr << "pelkoTool: " << changesPath << " holds changes of another kind of file than " << targetPath << ", a "
              << FileKind::sectionName(kind) << " file: none of its field titles is the target's\n";
    return kUsageError;
  }
  const DataDiff::Applied applied = DataDiff::apply(target, changes, force);
  for (const DataDiff::Move& move : applied.moves)
    std::cout << "moved\t" << move.from << '\t' << move.to << '\t' << DataDiff::escape(move.name) << '\n';
  for (const DataDiff::Conflict& conflict : applied.conflicts) printConflict(conflict);
  for (const std::string& line : notCarried) std::cout << "not carried over\t" << line << '\n';
  if (!force && (!applied.conflicts.empty() || !notCarried.empty())) return EXIT_FAILURE;
  return saved(DataFile::writeDataFile(target, kind, out)) ? EXIT_SUCCESS : kUsageError;
}

struct ChangeOptions {
  std::vector<std::int32_t> fields;
  std::string name;  // empty: every unit
};

// "3,7,12" as field numbers; empty when any part is not a number from 1.
std::vector<std::int32_t> fieldList(std::string_view text) {
  std::vector<std::int32_t> fields;
  for (std::size_t from = 0; from <= text.size();) {
    const std::size_t end = std::min(text.find(',', from), text.size());
    std::int32_t field = 0;
    const auto [stop, error] = std::from_chars(text.data() + from, text.data() + end, field);
    if (error != std::errc() || stop != text.data() + end || field < 1) return {};
    fields.push_back(field);
    from = end + 1;
  }
  return fields;
}

// Takes --field and --name with their values out of args; nullopt when one lacks its value or
// --field is not a list of field numbers.
std::optional<ChangeOptions> takeChangeOptions(std::vector<std::string>& args) {
  ChangeOptions options;
  for (std::size_t i = 1; i < args.size();) {
    if (args[i] != "--field" && args[i] != "--name") {
      ++i;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    if (args[i] == "--name") options.name = args[i + 1];
    if (args[i] == "--field" && (options.fields = fieldList(args[i + 1])).empty()) return std::nullopt;
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
  }
  if (options.fields.empty()) return std::nullopt;
  return options;
}

struct ChangeCount {
  std::size_t changed = 0, unchanged = 0, skipped = 0;
};

// Applies the change to one field of the units whose name holds the options' text; false (with
// a line on standard error) when a result does not fit, and then the store is half changed.
bool changeField(CRecordData& record, const ValueChange& change, const ChangeOptions& options, std::int32_t field,
                 ChangeCount& count) {
  const auto result = changeValues(record, change, ChangeTargets::allUnits(record, {field}, options.name));
  if (!result) {
    std::cerr << "pelkoTool: record " << result.error().record << ", field " << field << ": the result for "
              << result.error().value << " is too large; nothing was written\n";
    return false;
  }
  count.changed += result->changed;
  count.unchanged += result->unchanged;
  count.skipped += result->skipped;
  for (const CellChanges::Cell& cell : result->cells) record.setValue(cell.record, cell.field, std::string(cell.after));
  return true;
}

// Applies EXPR to the chosen fields of IN's units and saves OUT. Exit 1 when IN does not load or
// OUT cannot be written, 2 for a bad expression, field or result that does not fit.
int change(std::vector<std::string> args, GlobalShared::FileType forced) {
  const std::optional<ChangeOptions> options = takeChangeOptions(args);
  if (!options || args.size() != 4) return usageError();
  const auto change = ValueChange::parse(args[3]);
  if (!change) {
    std::cerr << "pelkoTool: " << args[3] << ": " << ValueChange::errorText(change.error()) << '\n';
    return usageError();
  }
  CRecordData record;
  const GlobalShared::FileType kind = kindLoaded(DataFile::readDataFile(args[1], forced, record));
  if (kind == 0) return EXIT_FAILURE;
  ChangeCount count;
  for (const std::int32_t field : options->fields) {
    if (field > record.NoFields()) {
      std::cerr << "pelkoTool: field " << field << ": a " << FileKind::sectionName(kind) << " file has fields 1 to "
                << record.NoFields() << '\n';
      return kUsageError;
    }
    if (!changeField(record, *change, *options, field, count)) return kUsageError;
  }
  if (!saved(DataFile::writeDataFile(record, kind, args[2]))) return EXIT_FAILURE;
  std::cout << "changed " << count.changed << " values, unchanged " << count.unchanged << ", skipped " << count.skipped
            << " (not numbers)\n";
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = Platform::arguments(argc, argv);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    usage(std::cout);
    return EXIT_SUCCESS;
  }
  GlobalShared::FileType fileType = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--type") continue;
    if (i + 1 >= args.size() || args[i + 1].size() != 1 || !FileKind::find(args[i + 1][0] - '0'))
      return usageError();
    fileType = args[i + 1][0] - '0';
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    break;
  }
  const auto forceAt = std::find(args.begin(), args.end(), "--force");
  const bool force = forceAt != args.end();
  if (force) args.erase(forceAt);
  const std::string command = args.empty() ? std::string() : args[0];
  if (command == "diff" && args.size() == 3 && !force) return diff(args[1], args[2], fileType);
  if (command == "apply" && args.size() == 4) return apply(args[1], args[2], args[3], fileType, force);
  if (command == "change" && !force) return change(std::move(args), fileType);
  const bool check = args.size() == 2 && command == "check";
  const bool save = args.size() == 3 && command == "save";
  if (!check && !save) return usageError();

  CRecordData record;
  const GlobalShared::FileType kind = kindLoaded(DataFile::readDataFile(args[1], fileType, record));
  if (kind == 0) return EXIT_FAILURE;
  if (save) return saved(DataFile::writeDataFile(record, kind, args[2])) ? EXIT_SUCCESS : EXIT_FAILURE;

  std::cout << GlobalShared::getFileName(args[1]) << ": " << FileKind::sectionName(kind) << ", "
            << record.NoUnits() << " records, " << record.NoUnits() - FileKind::of(kind).firstUnit + 1 << " units, "
            << record.NoFields() << " fields\n";
  return EXIT_SUCCESS;
}
