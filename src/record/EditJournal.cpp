#include "EditJournal.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "GlobalShared.h"

namespace {

constexpr const char* kExtension = ".journal";

bool worthKeeping(const std::string& path) {
  std::string text;
  if (GlobalShared::readFileBytes(path, text) != 0) return false;
  const auto journal = JournalFormat::read(text);
  return journal && !journal->entries.empty();
}

}  // namespace

EditJournal::EditJournal(std::string folder) : mFolder(std::move(folder)) {}

EditJournal::~EditJournal() {
  mListener = nullptr;  // its window may be half gone
  stop();
}

std::string EditJournal::pathFor(const std::string& dataPath) const {
  char name[17];
  std::snprintf(name, sizeof name, "%016llx",
                static_cast<unsigned long long>(ContentHash::of(JournalFile::canonicalPath(dataPath)).hash));
  return mFolder + GlobalShared::kPathSeparator + name + kExtension;
}

void EditJournal::follow(EditedFile& file, const std::string& dataPath, std::function<FileIdentity()> identity) {
  stop();
  mFile = &file;
  mFile->setHistorySink(this);
  mDataPath = JournalFile::canonicalPath(dataPath);
  mPath = pathFor(mDataPath);
  mIdentitySource = std::move(identity);
  mIdentity.reset();
  mState = State::Waiting;
}

void EditJournal::stop() {
  sync();
  mOut.close();
  if (mFile) mFile->setHistorySink(nullptr);
  mFile = nullptr;
  mState = State::Idle;
  mOwned = false;
}

void EditJournal::discard() {
  mOut.close();
  if (std::exchange(mOwned, false)) JournalFile::remove(mPath);
  mUnsynced = false;
  if (mState != State::Idle) mState = State::Waiting;
}

void EditJournal::flush() {
  if (!mUnsynced) return;
  sync();
  told();
}

void EditJournal::sync() {
  if (!std::exchange(mUnsynced, false)) return;
  if (const int error = mOut.sync(); error != 0) fail(Notice::NotWritten, error);
}

void EditJournal::historyChanged(const EditedFile& file, Change change) {
  if (mState == State::Waiting && !begin(file, change)) return told();
  if (mState != State::Writing) return;
  write(JournalFormat::entry(file, change));
  told();
}

bool EditJournal::begin(const EditedFile& file, Change change) {
  const std::optional<std::string> header = JournalFormat::header(mDataPath, identity(), file, change);
  // The data file's state left the history for good (a step after undoing past a save): there is
  // nothing a journal could be replayed onto.
  if (!header) {
    mState = State::Off;
    return false;
  }
  if (GlobalShared::fileExists(mPath)) {
    if (JournalFile::heldElsewhere(mPath)) {
      fail(Notice::HeldElsewhere, 0);
      return false;
    }
    std::string aside;
    if (worthKeeping(mPath)) {
      // Never written over: without a place aside, this run keeps no journal.
      if (const int error = moveAside(aside); error != 0) {
        fail(Notice::NotWritten, error);
        return false;
      }
      mNotices.push_back({Notice::MovedAside, aside});
    }
  }
  GlobalShared::makeFolders(mFolder);
  if (!open(0)) return false;
  write(*header);
  return mState == State::Writing;
}

bool EditJournal::open(std::uint64_t keep) {
  if (const int error = mOut.open(mPath, keep); error != 0) {
    fail(error == JournalFile::kHeldElsewhere ? Notice::HeldElsewhere : Notice::NotWritten, error);
    return false;
  }
  mState = State::Writing;
  mOwned = true;
  mProblemTold = false;  // a new failure is news again
  return true;
}

void EditJournal::write(std::string_view text) {
  if (const int error = mOut.append(text); error != 0) return fail(Notice::NotWritten, error);
  mUnsynced = true;
}

// What was written stays: its complete lines still restore the edits up to the failure.
void EditJournal::fail(Notice::Kind kind, int error) {
  mOut.close();
  mUnsynced = false;
  mState = State::Off;
  if (!std::exchange(mProblemTold, true)) mNotices.push_back({kind, mPath, error});
}

int EditJournal::moveAside(std::string& aside) {
  const std::string stem = mPath.substr(0, mPath.size() - std::char_traits<char>::length(kExtension));
  int error = EEXIST;
  for (int n = 1; n < 1000 && error == EEXIST; ++n) {
    aside = stem + ".kept-" + std::to_string(n) + kExtension;
    error = JournalFile::rename(mPath, aside);
  }
  return error;
}

const FileIdentity& EditJournal::identity() {
  if (!mIdentity) mIdentity = mIdentitySource ? mIdentitySource() : FileIdentity{};
  return *mIdentity;
}

void EditJournal::told() {
  if (mListener) mListener();
}

EditJournal::Kept EditJournal::kept() {
  if (mState != State::Waiting || !GlobalShared::fileExists(mPath)) return {};
  if (JournalFile::heldElsewhere(mPath)) {
    mProblemTold = true;  // the window tells it now
    return {Kept::HeldElsewhere, mPath, 0, {}};
  }
  std::string text;
  if (GlobalShared::readFileBytes(mPath, text) != 0) return {};
  std::optional<JournalFormat::Contents> journal = JournalFormat::read(text);
  // Another file's journal under the same name is not offered; a first edit moves it aside.
  if (!journal || journal->entries.empty() || journal->dataPath != mDataPath) return {};
  const std::size_t edits = journal->entries.size();
  if (journal->file != identity()) {
    std::string aside;
    return {Kept::FileChanged, moveAside(aside) == 0 ? aside : mPath, edits, {}};
  }
  return {Kept::Restorable, mPath, edits, std::move(*journal)};
}

std::size_t EditJournal::restore(const Kept& kept) {
  if (kept.kind != Kept::Restorable || mState != State::Waiting) return 0;
  mFile->setHistorySink(nullptr);
  const std::optional<std::size_t> taken = JournalFormat::replay(kept.contents, *mFile);
  mFile->setHistorySink(this);
  if (!taken) return 0;
  // An entry the file could not take, and a torn last line, are cut off before the next one.
  open(*taken > 0 ? kept.contents.entries[*taken - 1].end : kept.contents.headerEnd);
  told();
  return *taken;
}
