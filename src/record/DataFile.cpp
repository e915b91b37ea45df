#include "DataFile.h"

#include "AtomicFileWriter.h"
#include "CRecordData.h"
#include "ContentHash.h"
#include "FileKind.h"
#include "GlobalShared.h"
#include "Platform.h"
#include "SaveGuard.h"

namespace DataFile {

std::int32_t detectFileType(std::string_view sText) {
  return FileKind::detect(sText);
}

void reportDetectionFailure() {
  Platform::msgBox(
      "Couldn't auto-detect File Type!\r\n\r\n"
      "This File dosen't appear appears to be a MTW File, switch auto-detect "
      "off and try forcing it to load as a specific file-type if you are sure it contains validly formatted data.",
      Platform::OkOnly | Platform::Critical, "LoadRecord Aborted!");
}

std::int32_t readDataFile(const std::string& sPath, std::int32_t iFileType, CRecordData& record) {
  return loadDataText(GlobalShared::readWholeFile(sPath), sPath, iFileType, record);
}

std::int32_t loadDataText(std::string text, const std::string& sPath, std::int32_t iFileType, CRecordData& record) {
  if (iFileType == 0) iFileType = detectFileType(text);
  if (iFileType == 0) {
    reportDetectionFailure();
    return 0;
  }
  record.initRanges(iFileType);
  return record.createRecord(std::move(text), sPath) ? iFileType : 0;
}

bool writeText(CRecordData& record, std::int32_t iFileType, const std::function<bool(std::string_view)>& write,
               std::optional<SaveProblem>& problem) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  constexpr std::size_t kDirect = std::size_t{64} << 10;
  std::string buffer;
  buffer.reserve(kPiece + 2 * kDirect);
  if (FileKind::of(iFileType).headerToLastSemicolon) buffer = record.ProjVerInfo();
  SaveGuard guard(record);
  const std::int32_t units = record.NoUnits();
  for (std::int32_t r = 1; r <= units;) {
    std::int32_t next = r;
    if (const std::string_view copied = record.unchangedRecords(r, kPiece, next); !copied.empty()) {
      r = next;
      // A long run goes out as it stands; a short one joins the buffer, so that copied and rebuilt
      // records taking turns do not cost two writes each.
      if (copied.size() >= kDirect) {
        if (!write(buffer) || !write(copied)) return false;
        buffer.clear();
        continue;
      }
      buffer += copied;
    } else {
      const std::size_t from = buffer.size();
      record.appendStr2Write(r, buffer);
      // A record that would read back differently is never written: the old file stays whole.
      problem = guard.check(r, std::string_view(buffer).substr(from));
      if (problem) return false;
      ++r;
    }
    if (buffer.size() >= kPiece) {
      if (!write(buffer)) return false;
      buffer.clear();
    }
  }
  const std::string_view trailing = record.TrailingText();
  buffer += trailing.empty() ? std::string_view("\r\n\r\n") : trailing;
  return write(buffer);
}

bool writeDataFile(CRecordData& record, std::int32_t iFileType, const std::string& sPath, FileIdentity* written) {
  AtomicFileWriter file(sPath);
  std::optional<SaveProblem> problem;
  ContentHash hash;
  bool ok = file.open() && writeText(record, iFileType, [&](std::string_view piece) {
              if (written) hash.add(piece);
              return file.write(piece);
            }, problem);
  if (problem) {
    Platform::msgBox("The data cannot be saved to '" + Platform::pathInMessage(sPath) + "' as it is, because it would not read back the same:\r\n\r\n" +
                         SaveGuard::describe(record, *problem) +
                         ".\r\n\r\nNothing was written. Correct the value and save again.",
                     Platform::OkOnly | Platform::Exclamation, "PelkoEditor");
    return false;
  }
  ok = ok && file.commit();
  if (ok && written) *written = hash.identity();
  if (!ok)
    Platform::msgBox("An error occurred trying to save to '" + Platform::pathInMessage(sPath) + "'\r\n" +
                         GlobalShared::describeError(file.errorNumber()),
                     Platform::OkOnly, "PelkoEditor");
  return ok;
}

}  // namespace DataFile
