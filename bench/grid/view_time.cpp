// What the window's views cost on a large file: a key typed into the find bar with "Only matching
// units" ticked (the units kept, the grid refilled), and F9 sorting by a field and back.
// Run under Xvfb: xvfb-run -s "-screen 0 1920x1080x24" build/bin/view_time FILE [NAME] [FIELD]
// (FILE e.g. from bench/building_file.py; NAME typed key by key, default "mosque"; FIELD 14).
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchWindow.h"
#include "FEditor.h"
#include "PlatformQt.h"
#include "RecordGrid.h"
#include "Timings.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlatformQt::install();
  if (argc < 2) return 2;
  const QString name = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("mosque");
  const std::int32_t field = argc > 3 ? std::stoi(argv[3]) : 14;
  FEditor editor;
  failOnMessageBox();
  if (!showActive(editor) || !editor.LoadRecord(argv[1], 0)) return 1;
  auto* grid = editor.findChild<RecordGrid*>();
  std::printf("%d units\n", editor.record().NoUnits());

  QTest::keyClick(&editor, Qt::Key_F, Qt::ControlModifier);
  auto* find = editor.findChild<QLineEdit*>(QStringLiteral("txtFind"));
  auto* only = editor.findChild<QCheckBox*>(QStringLiteral("chkOnlyMatching"));
  if (!find || !only) return 1;
  only->setChecked(true);
  std::vector<std::vector<double>> perKey(static_cast<std::size_t>(name.size()));
  std::vector<std::int32_t> kept(static_cast<std::size_t>(name.size()));
  double first = 0;
  for (int round = 0; round < 6; ++round) {
    find->clear();
    for (qsizetype k = 0; k < name.size(); ++k) {
      const auto start = std::chrono::steady_clock::now();
      QTest::keyClick(find, name[k].toLatin1());
      const double ms = msSince(start);
      kept[static_cast<std::size_t>(k)] = grid->view().shownUnits();
      if (round == 0 && k == 0) first = ms;  // the names' index is made at the first key
      else perKey[static_cast<std::size_t>(k)].push_back(ms);
    }
  }
  std::printf("Only matching units, the first key after the load (index made): %.0f ms\n", first);
  for (qsizetype k = 0; k < name.size(); ++k)
    reportMinMedian("  key " + std::to_string(k + 1) + " \"" + name.left(k + 1).toStdString() + "\" (" +
                        std::to_string(kept[static_cast<std::size_t>(k)]) + " units kept)",
                    perKey[static_cast<std::size_t>(k)]);
  only->setChecked(false);
  find->parentWidget()->hide();

  std::vector<double> sorts[3];
  for (int round = 0; round < 3; ++round)
    for (auto& sort : sorts) {
      grid->focusField(grid->view().record(grid->view().firstRow()), grid->displayColumn(field));
      const auto start = std::chrono::steady_clock::now();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
      sort.push_back(msSince(start));
    }
  reportMinMedian("F9, sorted ascending by field " + std::to_string(field), sorts[0]);
  reportMinMedian("F9, descending", sorts[1]);
  reportMinMedian("F9, back to file order", sorts[2]);
  return 0;
}
