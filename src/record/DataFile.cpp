#include "DataFile.h"

#include "AtomicFileWriter.h"
#include "CRecordData.h"
#include "ContentHash.h"
#include "FileKind.h"
#include "GlobalShared.h"
#include "SaveGuard.h"

namespace DataFile {

std::int32_t detectFileType(std::string_view sText) {
  return FileKind::detect(sText);
}

FileResult<std::string> readText(const std::string& sPath) {
  std::string text;
  const int error = GlobalShared::readFileBytes(sPath, text);
  if (error == 0) return text;
  if (error == GlobalShared::kNotRegularFile) return pelko::unexpected(FileFailure{FileFailure::Kind::NotAFile, sPath});
  return pelko::unexpected(FileFailure{FileFailure::Kind::Unreadable, sPath, SystemError::of(error)});
}

FileResult<std::int32_t> readDataFile(const std::string& sPath, std::int32_t iFileType, CRecordData& record) {
  return loadDataText(readText(sPath), sPath, iFileType, record);
}

FileResult<std::int32_t> readDataFile(const std::string& sPath, std::int32_t iFileType, const StoreFor& storeFor) {
  return loadDataText(readText(sPath), sPath, iFileType, storeFor);
}

FileResult<std::int32_t> loadDataText(FileResult<std::string> text, const std::string& sPath, std::int32_t iFileType,
                                      CRecordData& record) {
  return loadDataText(std::move(text), sPath, iFileType, [&record](std::int32_t kind) -> CRecordData& {
    record.initRanges(kind);
    return record;
  });
}

FileResult<std::int32_t> loadDataText(FileResult<std::string> text, const std::string& sPath, std::int32_t iFileType,
                                      const StoreFor& storeFor) {
  std::vector<FileFailure> unread;
  if (!text) unread.push_back(std::move(text.error()));
  std::string bytes = text ? std::move(*text) : std::string();
  if (iFileType == 0) iFileType = detectFileType(bytes);
  if (iFileType == 0) {
    FileFailure unknown(FileFailure::Kind::UnknownKind, sPath);
    unknown.before = std::move(unread);
    return pelko::unexpected(std::move(unknown));
  }
  if (auto loaded = storeFor(iFileType).createRecord(std::move(bytes), sPath); !loaded) {
    loaded.error().before = std::move(unread);
    return pelko::unexpected(std::move(loaded.error()));
  }
  return iFileType;
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

FileResult<void> writeDataFile(CRecordData& record, std::int32_t iFileType, const std::string& sPath,
                               FileIdentity* written) {
  AtomicFileWriter file(sPath);
  std::optional<SaveProblem> problem;
  ContentHash hash;
  bool ok = file.open() && writeText(record, iFileType, [&](std::string_view piece) {
              if (written) hash.add(piece);
              return file.write(piece);
            }, problem);
  if (problem) {
    FileFailure refused(FileFailure::Kind::WouldNotReadBack, sPath);
    refused.problem = SaveGuard::describe(record, *problem);
    return pelko::unexpected(std::move(refused));
  }
  if (!ok || !file.commit())
    return pelko::unexpected(FileFailure{FileFailure::Kind::NotWritten, sPath, SystemError::of(file.errorNumber())});
  if (written) *written = hash.identity();
  return {};
}

}  // namespace DataFile
