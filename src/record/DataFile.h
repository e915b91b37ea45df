#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "FileFailure.h"
#include "SaveGuard.h"

class CRecordData;
struct FileIdentity;

// A whole data file: recognising its kind and writing it back. Shared by the editor and pelkoTool.
namespace DataFile {

// The kind from the first four characters, lower-cased: "name" 1, "numb" 2, "ver " 3; else 0.
std::int32_t detectFileType(std::string_view sText);

// The store a load fills, asked for once the kind of the file is known and before its records
// are parsed; it must be set up for that kind.
using StoreFor = std::function<CRecordData&(std::int32_t iFileType)>;

// The file's bytes, one character each.
FileResult<std::string> readText(const std::string& sPath);

// Reads and parses a data file as Load File does, the kind forced (1..3) or detected (0), into a
// store set up for it. Returns the kind.
FileResult<std::int32_t> readDataFile(const std::string& sPath, std::int32_t iFileType, CRecordData& record);
FileResult<std::int32_t> readDataFile(const std::string& sPath, std::int32_t iFileType, const StoreFor& storeFor);
// The same for the file's text, read already. A file that could not be read is loaded with no
// text, as the first program did: the read's failure comes before the load's.
FileResult<std::int32_t> loadDataText(FileResult<std::string> sText, const std::string& sPath, std::int32_t iFileType,
                                      CRecordData& record);
FileResult<std::int32_t> loadDataText(FileResult<std::string> sText, const std::string& sPath, std::int32_t iFileType,
                                      const StoreFor& storeFor);

// Writes the projectile header, every record and the closing line ends (or the text that
// followed the data when it held more than line ends). The destination is replaced only when
// the new file is complete; on failure nothing is changed. `written`, when given, gets the
// identity of the bytes written.
FileResult<void> writeDataFile(CRecordData& record, std::int32_t iFileType, const std::string& sPath,
                   FileIdentity* written = nullptr);

// The text writeDataFile writes, handed to `write` in pieces of about a megabyte. Records not
// edited since the load and already in the written form are copied from the loaded text; every
// other record is rebuilt and checked to read back the same. Stops at the first record that
// would not (it goes to `problem`) or when `write` returns false, and then returns false.
bool writeText(CRecordData& record, std::int32_t iFileType, const std::function<bool(std::string_view)>& write,
               std::optional<SaveProblem>& problem);

}  // namespace DataFile
