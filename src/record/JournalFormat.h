#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ContentHash.h"
#include "EditedFile.h"

// The text of a journal of unsaved edits: a header naming the data file, the version of it that
// the edits apply to and the undo history the window had when the journal began, then one line
// for each finished edit, undo and redo. Values are escaped as diff lines escape them (backslash,
// TAB, CR, LF), so that an entry is one line and every byte of a value comes back. A line counts
// only with its line end: a power cut in the middle of a write leaves a last line without one,
// which a read ignores.
namespace JournalFormat {

struct Entry {
  EditedFile::HistorySink::Change change = EditedFile::HistorySink::Change::Step;
  EditedFile::Step step;  // of a step
  std::uint64_t end = 0;  // where the entry's line ends in the journal's text
};

struct Contents {
  std::string dataPath;
  FileIdentity file;
  // The history when the journal began: the first `saved` steps are in the file, the first
  // `done` were applied.
  std::vector<EditedFile::Step> history;
  std::size_t saved = 0;
  std::size_t done = 0;
  std::uint64_t headerEnd = 0;
  std::vector<Entry> entries;
};

// The header of a journal that begins with the change just made to `file`, whose data file holds
// `identity`: the history as it was before the change. Nothing when that history no longer holds
// the data file's state (a step dropped the saved one).
std::optional<std::string> header(const std::string& dataPath, const FileIdentity& identity, const EditedFile& file,
                                  EditedFile::HistorySink::Change change);
// The line of a change just made to `file`.
std::string entry(const EditedFile& file, EditedFile::HistorySink::Change change);

// The journal read back, up to the first line that is not complete; nothing when the header is
// not.
std::optional<Contents> read(std::string_view text);

// Gives the file, as loaded from the journal's data file, the journal's history, then its
// entries in order. Stops at an entry the file cannot take (a record or field it lacks, an undo
// with nothing to undo); returns how many were taken, or nothing, with the file untouched, when
// it cannot take the history. The caller takes the file's history sink away first: the journal
// holds these changes already.
std::optional<std::size_t> replay(const Contents& journal, EditedFile& file);

}  // namespace JournalFormat
