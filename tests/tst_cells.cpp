#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "CRecordData.h"
#include "DataText.h"
#include "EditorWindow.h"
#include "FEditor.h"
#include "GridCell.h"
#include "GridGeometry.h"
#include "HeaderBox.h"
#include "MessageRecorder.h"
#include "Platform.h"
#include "Shots.h"
#include "Twips.h"

using namespace DataText;

class TestCells : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;

  template <class T = QWidget>
  T* find(const QString& name) const { return w->findChild<T*>(name); }
  GridCell* cell(int index) const { return find<GridCell>(QStringLiteral("txtField_%1").arg(index)); }
  QPlainTextEdit* editor() const { return find<QPlainTextEdit>(QStringLiteral("cellEditor")); }

  void load(int kind, const QByteArray& units) {
    QByteArray text = kind == 1 ? unitFile({}) : record(28, "h1f") + record(28, "h2f") + record(28, "h3f") + record(28, "h4f");
    text += units + "\r\n\r\n";
    w->setFileType(kind);
    MessageRecorder boxes;
    QVERIFY(w->record().createRecord(text.toStdString(), "/x.txt"));
    w->showLoadedRecords("/x.txt");
  }
  void focusCell(int index) {
    cell(index)->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(editor()->hasFocus());
  }

 private slots:
  void init() {
    w = mWindow.open();
    w->resize(Twips::toPixels(12000), Twips::toPixels(9000));
  }
  void cleanup() { mWindow.close(); }

  void typingWritesThrough() {
    load(2, record(28, "a") + record(28, "b"));
    QVERIFY(!w->dataChanged());
    focusCell(39 + 2);  // row 1, column 2: record 6, field 3
    QCOMPARE(find<QLabel>(QStringLiteral("lblRow_1"))->backgroundRole(), QPalette::ToolTipBase);
    QCOMPARE(find<QLabel>(QStringLiteral("lblRowNo_1"))->backgroundRole(), QPalette::ToolTipBase);
    QTest::keyClicks(editor(), QStringLiteral("new"));
    editor()->insertPlainText(QString(QChar(0xe9)));  // text that is not typed is not filtered
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);  // undo within the cell reaches the store too
    QCOMPARE(w->record().returnArrayFieldXUnit(6, 3, 1, 1)[0][0], std::string("b3"));
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // and so does redo
    QTest::keyClick(editor(), Qt::Key_Return);  // discarded
    QCOMPARE(w->record().returnArrayFieldXUnit(6, 3, 1, 1)[0][0], std::string("new\xe9"));
    QCOMPARE(cell(39 + 2)->text(), QStringLiteral("new") + QChar(0xe9));
    QVERIFY(w->dataChanged());
    QTest::keyClick(editor(), Qt::Key_Backtab);  // to the previous cell, as made
    QTRY_COMPARE(w->lastSelectedIndex(), 39 + 2);
    QTest::keyClick(editor(), Qt::Key_Tab);
    QTRY_COMPARE(w->lastSelectedIndex(), 39 + 1);
    QTemporaryDir out;
    QVERIFY(w->SaveRecord(out.filePath(QStringLiteral("saved.txt")).toStdString()));
    QVERIFY(!w->dataChanged());
    editor()->clear();  // emptying stores the empty text
    QCOMPARE(w->record().returnArrayFieldXUnit(6, 3, 1, 1)[0][0], std::string());
    find<QScrollBar>(QStringLiteral("vsbUnits2display"))->setFocus();
    QCOMPARE(w->lastSelectedIndex(), -1);
    QCOMPARE(find<QLabel>(QStringLiteral("lblRowNo_1"))->backgroundRole(), QPalette::Button);
  }

  void refillIsNoEdit() {
    QByteArray units;
    for (int u = 0; u < 100; ++u) units += record(28, "u" + QByteArray::number(u) + "f");
    load(2, units);
    find<QScrollBar>(QStringLiteral("vsbUnits2display"))->setValue(20);
    find<QScrollBar>(QStringLiteral("hsbFields2Display"))->setValue(3);
    QVERIFY(!w->dataChanged());
  }

  void growth_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("displayColumn");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("grows");
    QTest::newRow("one line keeps its height") << 2 << 1 << 0 << QByteArray("short") << false;
    QTest::newRow("field 53 gets a line more") << 1 << 53 << 0 << QByteArray("x") << true;
    QTest::newRow("a long value grows") << 2 << 1 << 0 << QByteArray(400, 'w').replace("ww", "w ") << true;
    QTest::newRow("a long value at the bottom moves up") << 2 << 1 << 10 << QByteArray(2000, 'w').replace("ww", "w ") << true;
  }
  void growth() {
    QFETCH(int, kind);
    QFETCH(int, row);
    QFETCH(QByteArray, value);
    QFETCH(int, displayColumn);
    QFETCH(bool, grows);
    QByteArray units;
    for (int u = 0; u < row; ++u) units += record(28, "v");
    units += kind == 1 ? unitRecord(troopList()) : value + '\t' + record(27, "v");
    load(kind, units);
    find<QScrollBar>(QStringLiteral("hsbFields2Display"))->setValue(displayColumn);
    const int index = 39 * row;
    GridCell* c = cell(index);
    const int restingTop = Twips::top(c);
    focusCell(index);
    const int frameHeight = Twips::height(find(QStringLiteral("fraDisplay")));
    const int barHeight = Twips::height(find(QStringLiteral("vsbUnits2display")));
    if (!grows) {
      QCOMPARE(Twips::height(c), 375);
    } else if (displayColumn == 53) {
      QVERIFY(std::abs(Twips::height(c) - 550) <= 15);
    } else {
      QVERIFY(Twips::height(c) > 375 && Twips::height(c) <= barHeight + 15);
      QVERIFY(Twips::top(c) + Twips::height(c) + 30 <= frameHeight + 15);
    }
    QCOMPARE(editor()->geometry(), c->geometry());
    find<QPushButton>(QStringLiteral("cmdSlide"))->setFocus();  // the toggle keeps the cell remembered
    QCOMPARE(w->lastSelectedIndex(), index);
    QCOMPARE(Twips::height(c), 375);
    QCOMPARE(Twips::top(c), restingTop);
  }

  // The boundary of the move up, which whole-window tests cannot hit to the twip.
  void grownCellBox_data() {
    QTest::addColumn<int>("top");
    QTest::addColumn<qint64>("lines");
    QTest::addColumn<int>("expectedTop");
    QTest::addColumn<int>("expectedHeight");
    // frame 5000 high, bar 4000: 3 lines are 825 high, so a top of 4145 touches the margin
    QTest::newRow("one twip short of the margin stays") << 4144 << qint64(3) << 4144 << 825;
    QTest::newRow("touching the margin moves up (to the same top)") << 4145 << qint64(3) << 4145 << 825;
    QTest::newRow("past the margin moves up") << 4146 << qint64(3) << 4145 << 825;
    QTest::newRow("capped by the bar, then moved up") << 3000 << qint64(1000) << 970 << 4000;
    QTest::newRow("a line count beyond int") << 0 << (qint64(1) << 40) << 0 << 4000;
  }
  void grownCellBox() {
    QFETCH(int, top);
    QFETCH(qint64, lines);
    QFETCH(int, expectedTop);
    QFETCH(int, expectedHeight);
    const GridGeometry::CellBox box = GridGeometry::grownCell(top, lines, 4000, 5000);
    QCOMPARE(box.top, expectedTop);
    QCOMPARE(box.height, expectedHeight);
  }

  // Typing one character changes that character alone: line ends, non-breaking spaces and every
  // other byte of the value stay as loaded.
  void editsKeepUntouchedBytes_data() {
    QTest::addColumn<QByteArray>("value");
    QByteArray high;
    for (int b = 0x80; b <= 0xff; ++b) high += char(b);
    QTest::newRow("quoted CR LF lines") << QByteArray("\"a\r\nb\r\nc\"");
    QTest::newRow("LF and a lone CR inside quotes") << QByteArray("\"a\nb\rc\"");
    QTest::newRow("non-breaking space") << QByteArray("a\xa0" "b");
    QTest::newRow("every byte above 127") << high;
  }
  void editsKeepUntouchedBytes() {
    QFETCH(QByteArray, value);
    load(2, record(QList<QByteArray>{value} + QList<QByteArray>(27, "z")));
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QCOMPARE(QByteArray::fromStdString(w->record().returnArrayFieldXUnit(5, 1, 1, 1)[0][0]), value + "x");
  }

  // A paste keeps its line ends; a character outside the code page becomes one "?", which the
  // cell then shows, and the status line says so.
  void pasteAndCharactersOutsideTheCodePage() {
    load(2, record(28, "a"));
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral("\"p\r\nq\nr\""));
    editor()->paste();
    QCOMPARE(w->record().returnArrayFieldXUnit(5, 1, 1, 1)[0][0], std::string("a1\"p\r\nq\nr\""));
    editor()->insertPlainText(QString::fromUtf8("\xf0\x9f\x98\x80"));  // an emoji: two UTF-16 units
    QCOMPARE(w->record().returnArrayFieldXUnit(5, 1, 1, 1)[0][0], std::string("a1\"p\r\nq\nr\"?"));
    QCOMPARE(editor()->toPlainText(), QStringLiteral("a1\"p\nq\nr\"?"));
    QCOMPARE(find<QLabel>(QStringLiteral("lblStatusBar"))->text(),
             QStringLiteral("A character that the file's code page cannot hold was stored as \"?\"."));
  }

  // A click places the caret where it was clicked: a click alone is no edit, and typing adds to
  // the value instead of replacing it.
  void clickPlacesTheCaret() {
    load(2, record(28, "a"));
    QTest::mouseClick(cell(1), Qt::LeftButton, {}, QPoint(cell(1)->width() - 4, 6));
    QTRY_VERIFY(editor()->hasFocus());
    QVERIFY(!editor()->textCursor().hasSelection());
    find<QScrollBar>(QStringLiteral("vsbUnits2display"))->setFocus();
    QVERIFY(!w->dataChanged());
    QTest::mouseClick(cell(1), Qt::LeftButton, {}, QPoint(cell(1)->width() - 4, 6));
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QCOMPARE(w->record().returnArrayFieldXUnit(5, 2, 1, 1)[0][0], std::string("a2x"));
  }

  // A value that cannot be saved as it is gets a red frame and its reason, in the cell's hint
  // and in the status line, when the cell is left; mended, the mark goes.
  void unsaveableValueIsMarked() {
    load(2, record(28, "a"));
    focusCell(2);
    QTest::keyClicks(editor(), QStringLiteral("\""));
    find<QScrollBar>(QStringLiteral("vsbUnits2display"))->setFocus();
    const QString reason = QStringLiteral("Cannot be saved as it is: Record 5 (\"a2\"), field 3: a double quote (\") without "
                                          "its partner would join the record with the lines after it.");
    QTRY_COMPARE(cell(2)->mark(), reason);
    QCOMPARE(cell(2)->toolTip(), reason);
    QCOMPARE(find<QLabel>(QStringLiteral("lblStatusBar"))->text(), reason);
    shoot(w, QStringLiteral("unsaveable-value.png"));
    find<QScrollBar>(QStringLiteral("hsbFields2Display"))->setValue(2);  // a refill keeps it with its field
    QCOMPARE(cell(1)->mark(), reason);
    QVERIFY(cell(2)->isHidden() || cell(2)->mark().isEmpty());
    focusCell(1);
    QTest::keyClick(editor(), Qt::Key_Backspace);
    find<QScrollBar>(QStringLiteral("vsbUnits2display"))->setFocus();
    QTRY_COMPARE(cell(1)->mark(), QString());
  }

  // The keys of a grid: the focus moves along fields and units, scrolling as needed, and the
  // focused cell is fully in view with the edit box over it.
  void keyboard_data() {
    QTest::addColumn<int>("start");  // the record where the focus starts, in row 0, column 0 of the grid
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("toRecord");
    QTest::addColumn<int>("toColumn");
    QTest::newRow("Tab at a unit's last field goes to the next unit") << 5 << 28 << int(Qt::Key_Tab) << 0 << 6 << 1;
    QTest::newRow("Shift+Tab at the first field goes to the unit before") << 6 << 1 << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 5 << 28;
    QTest::newRow("Tab past the shown columns scrolls by a field") << 5 << 1 << int(Qt::Key_Tab) << 0 << 5 << 2;
    QTest::newRow("Ctrl+Down") << 5 << 3 << int(Qt::Key_Down) << int(Qt::ControlModifier) << 6 << 3;
    QTest::newRow("Ctrl+Up at the first unit stays") << 5 << 3 << int(Qt::Key_Up) << int(Qt::ControlModifier) << 5 << 3;
    QTest::newRow("Ctrl+Right") << 5 << 3 << int(Qt::Key_Right) << int(Qt::ControlModifier) << 5 << 4;
    QTest::newRow("Ctrl+Left") << 5 << 3 << int(Qt::Key_Left) << int(Qt::ControlModifier) << 5 << 2;
    QTest::newRow("Ctrl+PageDown pages in the same field") << 5 << 3 << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << -1 << 3;
  }
  void keyboard() {
    QFETCH(int, column);
    QFETCH(int, toRecord);
    QFETCH(int, toColumn);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, start);
    QByteArray units;
    for (int u = 0; u < 60; ++u) units += record(28, "u" + QByteArray::number(u) + "f");
    load(2, units);
    find<QScrollBar>(QStringLiteral("hsbFields2Display"))->setValue(column);
    find<QScrollBar>(QStringLiteral("vsbUnits2display"))->setValue(start);
    const int rows = find<QScrollBar>(QStringLiteral("vsbUnits2display"))->maximum() < 5 ? 0 : [&] {
      int n = 0;
      while (find<QLabel>(QStringLiteral("lblRow_%1").arg(n))->isVisibleTo(w)) ++n;
      return n;
    }();
    if (toRecord < 0) toRecord = start + rows;
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(editor()->hasFocus());
    QTest::keyClicks(editor(), QStringLiteral("X"));  // the keyboard selects the text: X replaces it
    QCOMPARE(w->record().returnArrayFieldXUnit(toRecord, toColumn, 1, 1)[0][0], std::string("X"));
    const QRect box = editor()->geometry();
    QVERIFY(box.left() >= 0 && box.right() < find(QStringLiteral("fraDisplay"))->width());
    QVERIFY(box.bottom() < find(QStringLiteral("fraDisplay"))->height());
  }

  // Tab at the last field of the last unit leaves the grid: the next keys reach no cell.
  void tabPastTheLastUnitLeavesTheGrid() {
    load(2, record(28, "a") + record(28, "b"));
    find<QScrollBar>(QStringLiteral("hsbFields2Display"))->setValue(28);
    QTRY_VERIFY(cell(w->findChildren<GridCell*>().size() / 32)->isVisible());  // row 1: record 6
    focusCell(w->findChildren<GridCell*>().size() / 32);
    QTest::keyClick(editor(), Qt::Key_Tab);
    QTRY_VERIFY(!editor()->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("X"));
    QVERIFY(!w->dataChanged());
  }

  // The edit box keeps its field when the page moves under it, caret and all; when the field
  // leaves the page, the edit ends.
  void editBoxFollowsItsField() {
    load(2, record(28, "a"));
    focusCell(1);  // record 5, field 2
    QTest::keyClicks(editor(), QStringLiteral("A"));
    QScrollBar* fields = find<QScrollBar>(QStringLiteral("hsbFields2Display"));
    fields->setValue(2);
    QCOMPARE(editor()->geometry().topLeft(), cell(0)->geometry().topLeft());
    QTest::keyClicks(editor(), QStringLiteral("B"));
    QCOMPARE(w->record().returnArrayFieldXUnit(5, 2, 1, 1)[0][0], std::string("AB"));
    fields->setValue(3);
    QVERIFY(!editor()->isVisible());
    QCOMPARE(w->record().returnArrayFieldXUnit(5, 3, 1, 1)[0][0], std::string("a3"));
  }

  void hoverHints() {
    load(2, record(28, "a"));
    HeaderBox* header = find<HeaderBox>(QStringLiteral("txtColumn_0"));
    const int width = header->width();
    QTest::mouseMove(header->viewport(), QPoint(1, 5));
    QCOMPARE(header->viewport()->toolTip(), QStringLiteral("right-click in field to change display width"));
    QTest::mouseMove(header->viewport(), QPoint(width / 2 - 15, 5));
    QCOMPARE(header->viewport()->toolTip(), QStringLiteral("h2f1"));
    GridCell* first = cell(0);
    QTest::mouseMove(first, QPoint(first->width() - 2, 5));
    QCOMPARE(first->toolTip(), QStringLiteral("right-click in column header (above) to change display width"));
    QTest::mouseMove(first, QPoint(first->width() / 2, 5));
    QCOMPARE(first->toolTip(), QStringLiteral("h1f1"));
  }
};

QTEST_MAIN(TestCells)
#include "tst_cells.moc"
