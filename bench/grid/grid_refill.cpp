// The grid's paging speed in a maximised window on a 10,000-unit file with every column at the
// narrowest width, so that the whole pool is in use. Run under Xvfb at 1920 x 1080:
//   xvfb-run -s "-screen 0 1920x1080x24" build/bin/grid_refill
// With --screenshots DIR it saves pictures of the window instead.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <vector>

#include "BenchFolder.h"
#include "CGlobal.h"
#include "CRecordData.h"
#include "FEditor.h"
#include "GridCell.h"
#include "PlatformQt.h"
#include "RecordGrid.h"
#include "Timings.h"
#include "UnitFile.h"

namespace {

// Milliseconds since this process started, from the kernel's start time of the process.
double sinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string field;
  for (int i = 1; i <= 22 && stat >> field; ++i) {
  }
  const double startSeconds = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return (now.tv_sec + now.tv_nsec / 1e9 - startSeconds) * 1000.0;
}

class PaintClock : public QObject {
 public:
  double firstPaint = -1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && firstPaint < 0) firstPaint = sinceProcessStart();
    return QObject::eventFilter(watched, event);
  }
};

// One step of the bar, from the value change to the window repainted.
__attribute__((noinline)) double stepMs(QScrollBar* bar, int value) {
  QElapsedTimer timer;
  timer.start();
  bar->setValue(value);
  QCoreApplication::processEvents();  // delivers the pending repaint
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// The same for the horizontal bar, apart so that a profiler can tell the two.
__attribute__((noinline)) double sideStepMs(QScrollBar* bar, int value) { return stepMs(bar, value); }

void load(FEditor& editor, const std::string& text) {
  editor.setFileType(1);
  editor.record().setAllDisplayWidths([] {
    std::string widths;
    for (int f = 1; f <= 71; ++f) widths += "670, ";
    return widths;
  }());
  editor.record().createRecord(text, "/bench/crusaders_unit_prod11.txt");
  editor.showLoadedRecords("/bench/crusaders_unit_prod11.txt");
}

void settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

int screenshots(FEditor& editor, const QString& folder) {
  editor.resize(790, 530);
  settle();
  editor.grab().save(folder + QStringLiteral("/empty.png"));
  std::string text = unitFile(60);
  editor.record().setAllDisplayWidths("");
  editor.setFileType(1);
  editor.record().createRecord(text, "/mods/crusaders_unit_prod11.txt");
  editor.showLoadedRecords("/mods/crusaders_unit_prod11.txt");
  editor.resize(1100, 640);
  settle();
  editor.grab().save(folder + QStringLiteral("/loaded.png"));
  editor.record().setField(2, 7, "A long value that does not fit on one line of its cell, so the cell grows while it has the focus");
  editor.findChild<QScrollBar*>(QStringLiteral("vsbUnits2display"))->setValue(6);
  editor.findChild<QScrollBar*>(QStringLiteral("vsbUnits2display"))->setValue(5);
  editor.activateWindow();  // focus reaches a cell only in the active window
  settle();
  editor.findChild<GridCell*>(QStringLiteral("txtField_79"))->setFocus();
  settle();
  editor.grab().save(folder + QStringLiteral("/editing.png"));
  editor.findChild<RecordGrid*>()->selectBlock({7, 10, 2, 5});  // the focused cell is its top left corner
  settle();
  editor.grab().save(folder + QStringLiteral("/selected-block.png"));
  editor.findChild<RecordGrid*>()->clearBlock();
  editor.findChild<QPushButton*>(QStringLiteral("cmdSlide"))->click();
  settle();
  editor.grab().save(folder + QStringLiteral("/names-hidden.png"));
  editor.findChild<QPushButton*>(QStringLiteral("cmdSlide"))->click();
  editor.resize(100, 100);
  settle();
  editor.grab().save(folder + QStringLiteral("/minimum.png"));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlatformQt::install();
  const BenchFolder settings;  // no stored view settings of the user's
  PaintClock clock;
  FEditor editor;
  editor.installEventFilter(&clock);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() == 3 && args[1] == QStringLiteral("--screenshots")) {
    editor.show();
    return screenshots(editor, args[2]);
  }
  editor.showMaximized();
  // Without a window manager nothing maximises the window: give it the screen.
  editor.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
  while (clock.firstPaint < 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  std::printf("first paint: %.0f ms after process start\n", clock.firstPaint);

  load(editor, unitFile(10000));
  settle();
  const QList<GridCell*> cells = editor.findChildren<GridCell*>();
  const auto shown = std::count_if(cells.begin(), cells.end(), [](GridCell* cell) { return cell->isVisible(); });
  std::printf("pool: %d x %d = %lld cells, %lld shown in a %d x %d window\n", gGlobal->MaxFields(), gGlobal->MaxUnits(),
              static_cast<long long>(cells.size()), static_cast<long long>(shown), editor.width(), editor.height());
  QScrollBar* vertical = editor.findChild<QScrollBar*>(QStringLiteral("vsbUnits2display"));
  QScrollBar* horizontal = editor.findChild<QScrollBar*>(QStringLiteral("hsbFields2Display"));
  std::vector<double> down, right;
  for (int i = 1; i <= 200; ++i) down.push_back(stepMs(vertical, vertical->value() + 1));
  for (int i = 1; i <= 60; ++i) right.push_back(sideStepMs(horizontal, 1 + i % 30));
  std::printf("vertical step: median %.2f ms (max %.2f) over %zu steps\n", median(down), maximum(down), down.size());
  std::printf("horizontal step: median %.2f ms (max %.2f) over %zu steps\n", median(right), maximum(right),
              right.size());

  // A block of every unit by half the fields, so that each page shows cells in it and out of it.
  // Rounds of each, in turn, so that the machine's other work disturbs both alike.
  RecordGrid* grid = editor.findChild<RecordGrid*>();
  const CellBlock block{vertical->minimum(), editor.record().NoUnits(), 1, editor.record().NoFieldsInSelectedRange() / 2};
  std::vector<double> without, with;
  for (int round = 0; round < 10; ++round) {
    grid->clearBlock();
    for (int i = 0; i < 20; ++i) without.push_back(stepMs(vertical, vertical->value() + 1));
    grid->selectBlock(block);
    for (int i = 0; i < 20; ++i) with.push_back(stepMs(vertical, vertical->value() + 1));
  }
  std::printf("vertical step without a block: min %.2f ms, median %.2f ms over %zu steps\n", minimum(without), median(without),
              without.size());
  std::printf("vertical step with a block:    min %.2f ms, median %.2f ms over %zu steps\n", minimum(with), median(with),
              with.size());
  return 0;
}
