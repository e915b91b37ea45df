// What the progress panel costs a load: LoadRecord against createRecord alone, on a generated
// 100,000-unit file. The file's read is timed alone too, since it is part of LoadRecord but not
// of createRecord. Run under Xvfb: xvfb-run -s "-screen 0 1920x1080x24" build/bin/load_progress
// With a FILE argument it times one LoadRecord of that file instead, and gives what the load adds
// to the editor's resident memory against the file's size; with a DEFAULT_COPY after it, that file
// is the kind's default copy, which the load then compares FILE with.
#include <QApplication>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "BenchFolder.h"
#include "BenchWindow.h"
#include "CRecordData.h"
#include "DataFile.h"
#include "FEditor.h"
#include "GlobalShared.h"
#include "PlatformQt.h"
#include "Timings.h"
#include "UnitFile.h"

namespace {

double residentBytes() {
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

int loadOnce(const std::string& path) {
  FEditor editor;
  editor.show();
  QApplication::processEvents();
  const double before = residentBytes();
  const auto start = std::chrono::steady_clock::now();
  const bool loaded = editor.LoadRecord(path, 0);
  const double ms = msSince(start);
  QApplication::processEvents();
  const double added = residentBytes() - before;
  std::printf("LoadRecord %s: %.0f ms, %d records; resident memory +%.1f MB, %.2f x the file's size\n",
              loaded ? "loaded" : "failed", ms, loaded ? editor.record().NoUnits() : 0, added / 1e6,
              added / static_cast<double>(std::filesystem::file_size(path)));
  return loaded ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlatformQt::install();
  failOnMessageBox();
  const BenchFolder folder;
  if (argc == 3) {
    std::ifstream file(argv[1], std::ios::binary);
    std::string start(4, '\0');
    file.read(start.data(), 4);
    const std::string name = FileKind::defaultFileName(DataFile::detectFileType(start), true);
    std::filesystem::create_symlink(std::filesystem::absolute(argv[2]), folder.filePath(QString::fromStdString(name)).toStdString());
  }
  if (argc == 2 || argc == 3) return loadOnce(argv[1]);
  const std::string text = unitFile(100000);
  const std::string path = folder.writeUnitFile(text);

  FEditor editor;
  editor.show();
  constexpr int kRounds = 15;
  std::vector<double> read, parse, load;
  // The first round maps fresh memory, which is slow on some machines, and is not counted.
  for (int round = -1; round < kRounds; ++round) {
    double readMs = 0, parseMs = 0;
    {  // gone before the load, which should not share the memory with it
      CRecordData alone;
      alone.initRanges(1);
      // Parsed right after the read, as LoadRecord does: a text that was copied or compared
      // first parses measurably faster on some machines.
      auto start = std::chrono::steady_clock::now();
      std::string fileText = DataFile::readText(path).value_or("");
      readMs = msSince(start);
      if (fileText.size() != text.size()) return 1;
      start = std::chrono::steady_clock::now();
      if (!alone.createRecord(std::move(fileText), path)) return 1;
      parseMs = msSince(start);
    }
    const auto start = std::chrono::steady_clock::now();
    if (!editor.LoadRecord(path, 0)) return 1;
    const double loadMs = msSince(start);
    if (round < 0) continue;
    read.push_back(readMs);
    parse.push_back(parseMs);
    load.push_back(loadMs);
  }
  // A slow read now and then would make a ratio taken round by round meaningless.
  std::printf("%.1f MB, 100,000 units, %d rounds, min / median: readWholeFile %.0f / %.0f ms, createRecord alone %.0f / %.0f ms, "
              "LoadRecord %.0f / %.0f ms\nLoadRecord against createRecord alone, of the mins / of the medians: %.2f / %.2f; "
              "less the read %.2f / %.2f\n",
              static_cast<double>(text.size()) / 1e6, kRounds, minimum(read), median(read), minimum(parse), median(parse),
              minimum(load), median(load), minimum(load) / minimum(parse), median(load) / median(parse),
              (minimum(load) - minimum(read)) / minimum(parse), (median(load) - median(read)) / median(parse));
  return 0;
}
