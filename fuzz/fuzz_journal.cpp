// Drives the reading of a journal of unsaved edits, which comes back from disk after a crash, with
// arbitrary bytes: reading and replaying it never crashes or writes outside the store, and the
// replayed history undoes to the values it redoes from, whatever steps it held.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "DataFile.h"
#include "EditedFile.h"
#include "JournalFormat.h"
#include "Require.h"

namespace {

// A building file of three units: four header rows, 28 fields a record.
std::string buildingFile() {
  std::string text;
  for (int r = 1; r <= 7; ++r) {
    for (int f = 1; f <= 28; ++f) text += (f > 1 ? "\t" : "") + ("r" + std::to_string(r) + "f" + std::to_string(f));
    text += "\r\n";
  }
  return text + "\r\n";
}

std::string written(EditedFile& file) {
  std::string out;
  std::optional<SaveProblem> problem;
  DataFile::writeText(
      file.record(), 2,
      [&out](std::string_view piece) {
        out += piece;
        return true;
      },
      problem);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto journal = JournalFormat::read(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!journal) return 0;
  EditedFile file;
  file.reset().initRanges(2);
  require(file.record().createRecord(buildingFile(), "in.txt").has_value(), "the building file loads");
  file.markSaved();
  const auto taken = JournalFormat::replay(*journal, file);
  if (!taken) return 0;
  require(*taken <= journal->entries.size(), "replay takes no more entries than the journal holds");
  while (file.undo()) {
  }
  const std::string undone = written(file);
  while (file.redo()) {
  }
  while (file.undo()) {
  }
  require(written(file) == undone, "undoing every step after a redo of all gives the same values");
  return 0;
}
