// What a search as you type costs when nothing matches, the worst case: every unit's name, or
// every value of all 71 fields, of a 140,000-unit file (about 100 MB) is compared at each key.
// Run under Xvfb: xvfb-run -s "-screen 0 1920x1080x24" build/bin/find_time
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <vector>

#include "BenchFolder.h"
#include "BenchWindow.h"
#include "FEditor.h"
#include "PlatformQt.h"
#include "Timings.h"
#include "UnitFile.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlatformQt::install();
  const BenchFolder folder;
  const std::string text = unitFile(140000);
  const std::string path = folder.writeUnitFile(text);
  FEditor editor;
  if (!showActive(editor) || !editor.LoadRecord(path, 0)) return 1;
  QTest::keyClick(&editor, Qt::Key_F, Qt::ControlModifier);
  auto* find = editor.findChild<QLineEdit*>(QStringLiteral("txtFind"));
  auto* allValues = editor.findChild<QCheckBox*>(QStringLiteral("chkFindAllValues"));
  if (!find || !allValues) return 1;
  std::printf("%.1f MB, 140,000 units; a key typed into the find bar when nothing matches, 7 rounds:\n",
              static_cast<double>(text.size()) / 1e6);
  for (const bool all : {false, true}) {
    allValues->setChecked(all);
    std::vector<double> ms;
    for (int round = 0; round < 7; ++round) {
      find->clear();
      const auto start = std::chrono::steady_clock::now();
      QTest::keyClick(find, Qt::Key_Q);
      ms.push_back(msSince(start));
    }
    reportMinMedian(all ? "  all values" : "  names", ms);
  }
  return 0;
}
