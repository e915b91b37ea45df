// What the journal of unsaved edits costs the editing itself: 10,000 edits in a row through the
// window's real edit path (a value typed into the cell, Tab to the next one, the event loop run
// as between key presses, so that the journal's two-second sync happens too), with the journal
// on and off in alternating rounds of the same run and window. "Off" is a round whose state
// folder cannot be made (a file stands in its place): after the first edit the journal stops,
// leaving only the history's call to it. Besides the time on the clock, the process's own CPU
// time is given: on a machine shared with other work it shows the journal's cost more steadily.
// Run under Xvfb: xvfb-run -a -s "-screen 0 1920x1080x24" build/bin/journal_edits [EDITS [ROUNDS]]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "BenchFolder.h"
#include "BenchWindow.h"
#include "FEditor.h"
#include "PlatformQt.h"
#include "Timings.h"
#include "UnitFile.h"

namespace {

struct Times {
  double wall = -1;  // ms; -1: the round failed
  double cpu = 0;
};

double cpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// One round on a fresh copy of the file, so that no journal of an earlier round is offered.
Times round(FEditor& editor, const std::string& path, int edits) {
  std::ofstream(path, std::ios::binary) << unitFile(edits / 71 + 2);
  if (!editor.LoadRecord(path, 0)) return {};
  QWidget* first = editor.findChild<QWidget*>(QStringLiteral("txtField_0"));
  auto* cellEditor = editor.findChild<QPlainTextEdit*>(QStringLiteral("cellEditor"));
  if (!first || !cellEditor) return {};
  first->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = cpuMs();
  for (int i = 0; i < edits; ++i) {
    QTest::keyClicks(cellEditor, QString::number(i % 1000));
    QTest::keyClick(cellEditor, Qt::Key_Tab);
    QApplication::processEvents();
  }
  const double ms = msSince(start);
  if (!editor.dataChanged()) return {};
  return {ms, cpuMs() - cpuStart};
}

void report(const char* what, const std::vector<double>& on, const std::vector<double>& off) {
  const double minOn = minimum(on), minOff = minimum(off);
  std::printf("%s: journal on min %.0f ms, median %.0f ms; off min %.0f ms, median %.0f ms; on / off: min %+.1f %%, median %+.1f %%\n",
              what, minOn, median(on), minOff, median(off), (minOn / minOff - 1) * 100, (median(on) / median(off) - 1) * 100);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlatformQt::install();
  failOnMessageBox();
  const int edits = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const BenchFolder folder;
  const QString state = folder.filePath(QStringLiteral("state"));
  qputenv("XDG_STATE_HOME", state.toLocal8Bit());
  FEditor editor;
  if (!showActive(editor)) return 1;
  std::printf("%d edits in a row (type a value, Tab), %d rounds each, alternating:\n", edits, rounds);
  std::vector<double> wallOn, wallOff, cpuOn, cpuOff;
  for (int r = 0; r < rounds; ++r) {
    for (const bool journal : {true, false}) {
      QDir(state).removeRecursively();
      QFile::remove(state);
      if (!journal) std::ofstream(state.toStdString()) << "the state folder cannot be made here";
      const std::string path = folder.filePath(QStringLiteral("units_%1_%2.txt").arg(r).arg(journal)).toStdString();
      const Times times = round(editor, path, edits);
      if (times.wall < 0) return 1;
      (journal ? wallOn : wallOff).push_back(times.wall);
      (journal ? cpuOn : cpuOff).push_back(times.cpu);
      std::printf("  round %d, journal %s: %.0f ms, CPU %.0f ms\n", r + 1, journal ? "on " : "off", times.wall, times.cpu);
      std::fflush(stdout);
    }
  }
  report("clock", wallOn, wallOff);
  report("CPU", cpuOn, cpuOff);
  return 0;
}
