#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class CRecordData;

// A whole data file: recognising its kind and writing it back. Shared by the editor and pelkoTool.
namespace DataFile {

// The kind from the first four characters, lower-cased: "name" 1, "numb" 2, "ver " 3; else 0.
std::int32_t detectFileType(std::string_view sText);

// Shows "LoadRecord Aborted!": the kind of a file could not be detected.
void reportDetectionFailure();

// Writes the projectile header, every record and the closing line ends (or the text that
// followed the data when it held more than line ends). The destination is replaced only when
// the new file is complete. On failure shows the save-error box and returns false.
bool writeDataFile(CRecordData& record, std::int32_t iFileType, const std::string& sPath);

}  // namespace DataFile
