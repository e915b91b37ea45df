// What the journal of unsaved edits costs the editing itself: 10,000 edits in a row through the
// window's real edit path (a value typed into the cell, Tab to the next one, the event loop run
// as between key presses, so that the journal's two-second sync happens too), with the journal
// on and off in alternating rounds of the same run and window. "Off" is a round whose state
// folder cannot be made (a file stands in its place): after the first edit the journal stops,
// leaving only the history's call to it.
// Run under Xvfb: xvfb-run -a -s "-screen 0 1920x1080x24" build/bin/journal_edits [EDITS [ROUNDS]]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "FEditor.h"
#include "Platform.h"
#include "PlatformQt.h"
#include "UnitFile.h"

namespace {

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One round on a fresh copy of the file, so that no journal of an earlier round is offered:
// milliseconds for the edits, or -1.
double round(FEditor& editor, const std::string& path, int edits) {
  std::ofstream(path, std::ios::binary) << unitFile(edits / 71 + 2);
  if (!editor.LoadRecord(path, 0)) return -1;
  QWidget* first = editor.findChild<QWidget*>(QStringLiteral("txtField_0"));
  auto* cellEditor = editor.findChild<QPlainTextEdit*>(QStringLiteral("cellEditor"));
  if (!first || !cellEditor) return -1;
  first->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < edits; ++i) {
    QTest::keyClicks(cellEditor, QString::number(i % 1000));
    QTest::keyClick(cellEditor, Qt::Key_Tab);
    QApplication::processEvents();
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return editor.dataChanged() ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlatformQt::install();
  Platform::setMessageBox([](const std::string& prompt, int, const std::string& title) {
    std::fprintf(stderr, "%s\n%s\n", title.c_str(), prompt.c_str());  // a benchmark must not wait for a click
    std::exit(1);
    return 0;
  });
  const int edits = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  QTemporaryDir folder;
  Platform::setProgramFolder(folder.path().toStdString());
  const QString state = folder.filePath(QStringLiteral("state"));
  qputenv("XDG_STATE_HOME", state.toLocal8Bit());
  FEditor editor;
  editor.show();
  editor.activateWindow();
  if (!QTest::qWaitForWindowActive(&editor)) return 1;
  std::printf("%d edits in a row (type a value, Tab), %d rounds each, alternating:\n", edits, rounds);
  std::vector<double> withJournal, without;
  for (int r = 0; r < rounds; ++r) {
    for (const bool journal : {true, false}) {
      QDir(state).removeRecursively();
      QFile::remove(state);
      if (!journal) std::ofstream(state.toStdString()) << "the state folder cannot be made here";
      const std::string path = folder.filePath(QStringLiteral("units_%1_%2.txt").arg(r).arg(journal)).toStdString();
      const double ms = round(editor, path, edits);
      if (ms < 0) return 1;
      (journal ? withJournal : without).push_back(ms);
      std::printf("  round %d, journal %s: %.0f ms\n", r + 1, journal ? "on " : "off", ms);
      std::fflush(stdout);
    }
  }
  const double minOn = *std::min_element(withJournal.begin(), withJournal.end());
  const double minOff = *std::min_element(without.begin(), without.end());
  std::printf("journal on:  min %.0f ms, median %.0f ms\n", minOn, median(withJournal));
  std::printf("journal off: min %.0f ms, median %.0f ms\n", minOff, median(without));
  std::printf("on / off: min %+.1f %%, median %+.1f %%\n", (minOn / minOff - 1) * 100,
              (median(withJournal) / median(without) - 1) * 100);
  return 0;
}
