// The worst value a cell must stay responsive with: the longest a record can hold (39,998
// characters), pasted into one cell and then edited at its end and in its middle.
// Run under Xvfb: xvfb-run -a -s "-screen 0 1920x1080x24" build/bin/paste_edit
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
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

namespace {

using Clock = std::chrono::steady_clock;

void report(const char* what, const std::vector<double>& ms) {
  std::printf("  %s: min %.2f ms, median %.2f ms, max %.2f ms (%zu)\n", what, minimum(ms), median(ms), maximum(ms),
              ms.size());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlatformQt::install();
  const BenchFolder folder;
  const std::string path = folder.writeUnitFile(unitFile(100));
  FEditor editor;
  if (!showActive(editor) || !editor.LoadRecord(path, 0)) return 1;
  auto* box = editor.findChild<QPlainTextEdit*>(QStringLiteral("cellEditor"));
  if (!box) return 1;
  // Words of a few letters, as a long list or note would hold, so that the text wraps.
  QString value;
  while (value.size() < 39998) value += QStringLiteral("word%1 ").arg(value.size() % 97);
  value.truncate(39998);
  // The name field also shows in the names column.
  for (const char* field : {"txtField_0", "txtField_1"}) {
    auto* cell = editor.findChild<QWidget*>(QString::fromLatin1(field));
    std::printf("a %lld-character value in %s (field %s), 7 rounds:\n", static_cast<long long>(value.size()), field,
                field[9] == '0' ? "1, the name" : "2");
    std::vector<double> paste, atEnd, inMiddle;
    for (int round = 0; round < 7; ++round) {
      cell->setFocus();
      QApplication::clipboard()->setText(value);
      QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
      auto start = Clock::now();
      QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
      QApplication::processEvents();
      paste.push_back(msSince(start));
      if (box->toPlainText().size() != value.size()) return std::printf("the paste did not arrive\n"), 1;
      QTest::keyClick(box, Qt::Key_Backspace);  // within the record's length again
      for (int key = 0; key < 10; ++key) {
        start = Clock::now();
        QTest::keyClick(box, key % 2 ? Qt::Key_Backspace : Qt::Key_Z);
        QApplication::processEvents();
        atEnd.push_back(msSince(start));
      }
      QTextCursor middle = box->textCursor();
      middle.setPosition(static_cast<int>(value.size() / 2));
      box->setTextCursor(middle);
      for (int key = 0; key < 10; ++key) {
        start = Clock::now();
        QTest::keyClick(box, key % 2 ? Qt::Key_Backspace : Qt::Key_Z);
        QApplication::processEvents();
        inMiddle.push_back(msSince(start));
      }
    }
    report("paste", paste);
    report("a key at the end", atEnd);
    report("a key in the middle", inMiddle);
  }
  return 0;
}
