// How long the editor takes to open and to be set up for each kind when its settings file is
// missing, binary junk, 50 MB large, or holds 10,000 sections, and to close (which writes the
// kind's view and the placement) with a 20 MB settings file. Each window is made in a folder of
// its own; the medians of 5 rounds are printed.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bin/settings_start
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <vector>

#include "BenchFolder.h"
#include "FEditor.h"
#include "PlatformQt.h"
#include "Timings.h"

namespace {

std::string junk(std::size_t size) {
  std::mt19937 random(1);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// A settings file in the editor's layout, its sections repeated to about `size` bytes.
std::string large(std::size_t size) {
  std::string section = "[Unit_Prod11]\r\nSelected Range= 2\r\n";
  for (int n = 2; n <= 6; ++n)
    section += "Range Array " + std::to_string(n) + "=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, \r\nCaption " + std::to_string(n) + "=mine\r\n";
  section += "WidthsArray=" + std::string(300, '7') + "\r\n";
  std::string text;
  while (text.size() < size) text += section;
  return text;
}

std::string sections(int count) {
  std::string text;
  for (int s = 0; s < count; ++s) text += "[Section " + std::to_string(s) + "]\r\nKey=" + std::to_string(s) + "\r\n";
  return text + "[Pelko Editor]\r\nLeft=600\r\nTop=600\r\n[Build_prod13]\r\nSelected Range= 1\r\n";
}

double openAndSetUp(const std::string& settings, bool present) {
  const BenchFolder folder;
  if (present) std::ofstream(folder.filePath(QStringLiteral("pelkoEditor.ini")).toStdString(), std::ios::binary) << settings;
  const auto start = std::chrono::steady_clock::now();
  {
    FEditor editor;
    editor.show();
    QCoreApplication::processEvents();
    for (std::int32_t kind = 1; kind <= 3; ++kind) editor.setFileType(kind);
  }
  return msSince(start);
}

double closeWith(const std::string& settings) {
  const BenchFolder folder;
  std::ofstream(folder.filePath(QStringLiteral("pelkoEditor.ini")).toStdString(), std::ios::binary) << settings;
  FEditor editor;
  editor.show();
  QCoreApplication::processEvents();
  editor.setFileType(1);
  const auto start = std::chrono::steady_clock::now();
  editor.close();
  return msSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlatformQt::install();
  struct Case {
    const char* name;
    std::string text;
    bool present;
  };
  const std::vector<Case> cases = {{"no settings file", {}, false},
                                   {"binary junk, 50 MB", junk(50'000'000), true},
                                   {"50 MB of sections", large(50'000'000), true},
                                   {"10,000 sections", sections(10000), true}};
  openAndSetUp({}, false);  // the first window pays for fonts and styles
  for (const Case& c : cases) {
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) times.push_back(openAndSetUp(c.text, c.present));
    std::printf("%-20s open + set up for 3 kinds: median %.0f ms\n", c.name, median(times));
  }
  const std::string twenty = large(20'000'000);
  std::vector<double> closes;
  for (int round = 0; round < 5; ++round) closes.push_back(closeWith(twenty));
  reportMinMedian("close with a 20 MB settings file", closes);
  return 0;
}
