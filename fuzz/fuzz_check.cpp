// Drives pelkoTool check's whole path: the bytes are a file on disk, read and parsed with the
// kind detected or forced by the first byte; a file that loads is saved, must load again to the
// same records, and saved again gives the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "CRecordData.h"
#include "DataFile.h"
#include "GlobalShared.h"
#include "Require.h"

namespace {

std::string tempPath(const char* what) { return scratchFile("fuzz_check_", what); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::int32_t forced = data[0] % 4;  // 0: detected
  static const std::string in = tempPath(".txt"), out = tempPath("-saved.txt"), again = tempPath("-again.txt");
  std::ofstream(in, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data) + 1,
                                                              static_cast<std::streamsize>(size - 1));
  CRecordData record;
  const FileResult<std::int32_t> loaded = DataFile::readDataFile(in, forced, record);
  require(loaded || failureMessages(loaded.error()).size() == 1, "a failed load of a readable file gives one message");
  if (!loaded) return 0;
  const std::int32_t kind = *loaded;
  require(forced == 0 || kind == forced, "a forced kind is the kind loaded");
  require(DataFile::writeDataFile(record, kind, out).has_value(), "a loaded file can be saved");
  CRecordData reloaded;
  require(DataFile::readDataFile(out, kind, reloaded) == kind, "a saved file loads again");
  require(reloaded.NoUnits() == record.NoUnits(), "a saved file keeps its records");
  require(DataFile::writeDataFile(reloaded, kind, again).has_value(), "a saved file can be saved again");
  require(DataFile::readText(again).value_or("again") == DataFile::readText(out).value_or("out"), "saving a saved file changes nothing");
  return 0;
}
