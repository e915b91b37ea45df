#pragma once
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ContentHash.h"
#include "EditedFile.h"
#include "JournalFile.h"
#include "JournalFormat.h"

// Keeps the unsaved edits of the loaded file in a journal in the user's state folder, so that a
// crash, a killed program or a power cut does not lose them: one journal per data file, named
// from its canonical path. It hears of every finished edit, undo and redo from the file's
// history and writes it at once; the bytes reach the disk at each flush(), which the window
// calls every two seconds while there are edits and before a save, a load or a close. A
// journal begins with the first change after a load or a save; the next load of the same data
// file, unchanged since, finds it (kept()) and can restore it. Nothing here shows a box: what
// the user should learn comes as notices.
class EditJournal final : public EditedFile::HistorySink {
 public:
  struct Notice {
    enum Kind {
      NotWritten,     // the journal cannot be written: edits go on without it until the next load or save
      HeldElsewhere,  // another editor has the same file open and keeps its journal
      MovedAside,     // a journal an earlier run left was moved aside before a new one began
    };
    Kind kind;
    std::string path;  // the journal's
    int error = 0;     // of NotWritten
  };

  // What an earlier run left for the file just loaded.
  struct Kept {
    enum Kind { None, Restorable, FileChanged, HeldElsewhere };
    Kind kind = None;
    std::string path;       // the journal; of FileChanged where it was moved aside, or is when it could not be
    std::size_t edits = 0;  // the edits, undos and redos it holds
    JournalFormat::Contents contents;
  };

  explicit EditJournal(std::string folder);
  ~EditJournal();
  EditJournal(const EditJournal&) = delete;
  EditJournal& operator=(const EditJournal&) = delete;

  // Called after each change the journal took and after each flush: when there is something to
  // flush, and when there are notices.
  void setListener(std::function<void()> listener) { mListener = std::move(listener); }

  // From now on the history of `file`, just loaded from or saved to dataPath, goes to the data
  // file's journal. `identity` gives what the data file holds now; it is asked only when a
  // journal begins or a kept one is checked, since hashing a large file takes a moment.
  void follow(EditedFile& file, const std::string& dataPath, std::function<FileIdentity()> identity);
  // Ends following; the journal stays where it is, as the edits were neither saved nor dropped.
  void stop();
  // Removes the journal this run wrote for the followed file, whose edits were saved or dropped;
  // a new one begins at the next change. One that an earlier run left stays.
  void discard();
  // Puts what was written on the disk.
  void flush();
  bool unsynced() const { return mUnsynced; }

  // The journal an earlier run left for the followed file.
  Kept kept();
  // Replays a Restorable journal onto the followed file as loaded and goes on writing after its
  // last entry taken; returns how many entries were taken.
  std::size_t restore(const Kept& kept);

  std::vector<Notice> takeNotices() { return std::exchange(mNotices, {}); }
  bool hasNotices() const { return !mNotices.empty(); }

  // Where the journal of a data file is kept.
  std::string pathFor(const std::string& dataPath) const;

 private:
  enum class State {
    Idle,     // following no file
    Waiting,  // for the first change
    Writing,
    Off,      // until the next load or save, after a failure
  };

  void historyChanged(const EditedFile& file, Change change) override;
  bool begin(const EditedFile& file, Change change);
  bool open(std::uint64_t keep);
  void write(std::string_view text);
  void sync();
  void fail(Notice::Kind kind, int error);
  // Moves an earlier run's journal out of the way, to `aside`; 0 or the error number.
  int moveAside(std::string& aside);
  const FileIdentity& identity();
  void told();

  std::string mFolder;
  EditedFile* mFile = nullptr;
  std::string mDataPath;  // canonical
  std::string mPath;
  std::function<FileIdentity()> mIdentitySource;
  std::optional<FileIdentity> mIdentity;
  JournalFile mOut;
  State mState = State::Idle;
  bool mOwned = false;  // the journal at mPath is this run's
  bool mUnsynced = false;
  bool mProblemTold = false;  // once, until a journal is written again
  std::vector<Notice> mNotices;
  std::function<void()> mListener;
};
