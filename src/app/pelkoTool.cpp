// pelkoTool: the editor's load and save for scripts.
//   pelkoTool check FILE [--type N]   loads FILE as the editor does; exit 0, or 1 on a load error
//   pelkoTool save IN OUT [--type N]  loads IN and writes OUT as Save File As does
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "CRecordData.h"
#include "DataFile.h"
#include "DataFileFormat.h"
#include "GlobalShared.h"
#include "Platform.h"

namespace {

constexpr int kUsageError = 2;

int usage() {
  std::cerr << "usage: pelkoTool check FILE [--type N]\n"
               "       pelkoTool save IN OUT [--type N]\n"
               "N: 1 unit production, 2 building production, 3 projectile statistics;\n"
               "without --type the kind is detected from the file's first four characters.\n";
  return kUsageError;
}

// Message boxes become lines on standard error, title first, with the text's line ends as read.
int printMessage(const std::string& prompt, int style, const std::string& title) {
  std::string text;
  const std::string bytes = Platform::withoutPathMarks(prompt);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  std::cerr << title << '\n' << text << '\n';
  return (style & Platform::kButtonMask) == Platform::OkOnly ? Platform::Ok : Platform::Cancel;
}

}  // namespace

int main(int argc, char** argv) {
  Platform::setMessageBox(printMessage);
  std::vector<std::string> args = Platform::arguments(argc, argv);
  GlobalShared::FileType fileType = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--type") continue;
    if (i + 1 >= args.size() || args[i + 1].size() != 1 || args[i + 1][0] < '1' || args[i + 1][0] > '3')
      return usage();
    fileType = args[i + 1][0] - '0';
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    break;
  }
  const bool check = args.size() == 2 && args[0] == "check";
  const bool save = args.size() == 3 && args[0] == "save";
  if (!check && !save) return usage();

  CRecordData record;
  const GlobalShared::FileType kind = DataFile::readDataFile(args[1], fileType, record);
  if (kind == 0) return EXIT_FAILURE;
  if (save) return DataFile::writeDataFile(record, kind, args[2]) ? EXIT_SUCCESS : EXIT_FAILURE;

  std::cout << GlobalShared::getFileName(args[1]) << ": " << GlobalShared::getSectionName(kind) << ", "
            << record.NoUnits() << " records, " << record.NoUnits() - DataFileFormat::firstDataUnit(kind) + 1 << " units, "
            << record.NoFields() << " fields\n";
  return EXIT_SUCCESS;
}
