#include <QClipboard>
#include <QMimeData>

#include "EditorFixture.h"

using namespace DataText;

namespace {

// A clipboard owner that answers one request for its text and nothing after it.
class OneRequestClipboard : public QMimeData {
 public:
  explicit OneRequestClipboard(QString text) : mText(std::move(text)) {}
  QStringList formats() const override { return {QStringLiteral("text/plain")}; }
  bool hasFormat(const QString& format) const override { return format == QStringLiteral("text/plain"); }
  mutable int requests = 0;

 protected:
  QVariant retrieveData(const QString& format, QMetaType) const override {
    if (format != QStringLiteral("text/plain")) return {};
    return ++requests == 1 ? QVariant(mText) : QVariant();
  }

 private:
  QString mText;
};

}  // namespace

// Editing a cell: typing and pasting write through to the store byte for byte, the keys move
// along fields and units, and the edit box stays with its field.
class TestCells : public QObject, EditorFixture {
  Q_OBJECT

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  void typingWritesThrough() {
    load(2, 2);
    focusCell(39 + 1);  // row 1, column 1: record 6, field 2, the unit's name
    QCOMPARE(find<QLabel>(QStringLiteral("lblRowNo_1"))->backgroundRole(), QPalette::ToolTipBase);
    QTest::keyClicks(editor(), QStringLiteral("new"));
    editor()->insertPlainText(QString(QChar(0xe9)));  // text that is not typed is not filtered
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);  // undo within the cell reaches the store too
    QCOMPARE(field(6, 2), std::string("r2f2"));
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // and so does redo
    QTest::keyClick(editor(), Qt::Key_Return);  // discarded
    QCOMPARE(field(6, 2), std::string("new\xe9"));
    QCOMPARE(cell(39 + 1)->text(), QStringLiteral("new") + QChar(0xe9));
    QCOMPARE(text(QStringLiteral("lblRow_1")), QStringLiteral("new") + QChar(0xe9));
    QCOMPARE(find(QStringLiteral("lblRowNo_1"))->toolTip(), text(QStringLiteral("lblRow_1")));
    QVERIFY(w->dataChanged());
    editor()->clear();  // emptying stores the empty text
    QCOMPARE(field(6, 2), std::string());
    leaveCell();
    QCOMPARE(w->lastSelectedIndex(), -1);  // a bar with the focus forgets the cell
    QCOMPARE(find<QLabel>(QStringLiteral("lblRowNo_1"))->backgroundRole(), QPalette::Button);
  }

  // Paging, and a click that places the caret, are no edit; typing after the click adds to the value.
  void clickAndPagingAreNoEdit() {
    load(2, 100);
    bar("vsbUnits2display")->setValue(20);
    bar("hsbFields2Display")->setValue(3);
    bar("hsbFields2Display")->setValue(1);
    bar("vsbUnits2display")->setValue(5);
    QTest::mouseClick(cell(1), Qt::LeftButton, {}, QPoint(cell(1)->width() - 4, 6));
    QTRY_VERIFY(editor()->hasFocus());
    QVERIFY(!editor()->textCursor().hasSelection());
    leaveCell();
    QVERIFY(!w->dataChanged());
    QTest::mouseClick(cell(1), Qt::LeftButton, {}, QPoint(cell(1)->width() - 4, 6));
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QCOMPARE(field(5, 2), std::string("r1f2x"));
  }

  // Typing one character changes that character alone: line ends of any kind, non-breaking spaces
  // and every other byte of the value stay as loaded.
  void editsKeepUntouchedBytes() {
    QByteArray value = "\"a\r\nb\nc\rd";
    for (int b = 0x80; b <= 0xff; ++b) value += char(b);
    value += '"';
    load(2, 0, record(QList<QByteArray>{value} + QList<QByteArray>(27, "z")));
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QCOMPARE(QByteArray::fromStdString(field(5, 1)), value + "x");
  }

  // A paste keeps its line ends; a character outside the code page becomes one "?", which the
  // cell then shows, and the status line says so.
  void pasteAndCharactersOutsideTheCodePage() {
    load(2, 1);
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral("\"p\r\nq\nr\""));
    editor()->paste();
    QCOMPARE(field(5, 1), std::string("r1f1\"p\r\nq\nr\""));
    editor()->insertPlainText(QString::fromUtf8("\xf0\x9f\x98\x80"));  // an emoji: two UTF-16 units
    QCOMPARE(field(5, 1), std::string("r1f1\"p\r\nq\nr\"?"));
    QCOMPARE(editor()->toPlainText(), QStringLiteral("r1f1\"p\nq\nr\"?"));
    QCOMPARE(text(QStringLiteral("lblStatusBar")), QStringLiteral("A character that the file's code page cannot hold was stored as \"?\"."));
  }

  // A paste is read from the clipboard once, as plain text, so that an owner that answers one
  // request (a program that serves the clipboard once and exits) pastes like any other; a paste
  // that would make the value longer than a record can hold changes nothing and says why.
  void pasteOnce_data() {
    QTest::addColumn<bool>("selectAll");  // else the caret is at the end of "r1f1"
    QTest::addColumn<int>("length");      // of the pasted "x..."
    QTest::addColumn<bool>("taken");
    QTest::newRow("a short paste") << false << 2 << true;
    QTest::newRow("the longest value a record can hold") << true << 39998 << true;
    QTest::newRow("one character more than a record with the value kept") << false << 39995 << false;
    QTest::newRow("one character more than a record") << true << 39999 << false;
  }
  void pasteOnce() {
    QFETCH(int, length);
    QFETCH(bool, taken);
    load(2, 1);
    focusCell(0);
    if (!fetched<bool>("selectAll")) QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    const QString pasted(length, QLatin1Char('x'));
    auto* source = new OneRequestClipboard(pasted);
    QApplication::clipboard()->setMimeData(source);
    QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(source->requests, 1);
    const std::string before = fetched<bool>("selectAll") ? "" : "r1f1";
    QCOMPARE(field(5, 1), taken ? before + pasted.toStdString() : std::string("r1f1"));
    QCOMPARE(status().startsWith(QStringLiteral("Not pasted: the value would be")), !taken);
    QCOMPARE(w->dataChanged(), taken);
  }

  // A value that cannot be saved as it is gets a red frame and its reason, in the cell's hint
  // and in the status line, when the cell is left; mended, the mark goes.
  void unsaveableValueIsMarked() {
    load(2, 1);
    focusCell(2);
    QTest::keyClicks(editor(), QStringLiteral("\""));
    leaveCell();
    const QString reason = QStringLiteral("Cannot be saved as it is: Record 5 (\"r1f2\"), field 3: a double quote (\") without "
                                          "its partner would join the record with the lines after it.");
    QTRY_COMPARE(cell(2)->mark(), reason);
    QCOMPARE(cell(2)->toolTip(), reason);
    QCOMPARE(text(QStringLiteral("lblStatusBar")), reason);
    bar("hsbFields2Display")->setValue(2);  // a refill keeps it with its field
    QCOMPARE(cell(1)->mark(), reason);
    QVERIFY(cell(2)->isHidden() || cell(2)->mark().isEmpty());
    focusCell(1);
    QTest::keyClick(editor(), Qt::Key_Backspace);
    leaveCell();
    QTRY_COMPARE(cell(1)->mark(), QString());
  }

  // The keys of a grid: the focus moves along fields and units, scrolling as needed, and the
  // focused cell is fully in view with the edit box over it.
  void keyboard_data() {
    QTest::addColumn<int>("start");  // the record in row 0, whose first shown column has the focus
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("toRecord");
    QTest::addColumn<int>("toColumn");
    QTest::newRow("Tab onto a unit's last field") << 5 << 27 << int(Qt::Key_Tab) << 0 << 5 << 28;
    QTest::newRow("Tab at a unit's last field goes to the next unit") << 5 << 28 << int(Qt::Key_Tab) << 0 << 6 << 1;
    QTest::newRow("Shift+Tab at the first field goes to the unit before") << 6 << 1 << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 5 << 28;
    QTest::newRow("Tab past the shown columns scrolls by a field") << 5 << 1 << int(Qt::Key_Tab) << 0 << 5 << 2;
    QTest::newRow("Ctrl+Down") << 5 << 3 << int(Qt::Key_Down) << int(Qt::ControlModifier) << 6 << 3;
    QTest::newRow("Ctrl+Up at the first unit stays") << 5 << 3 << int(Qt::Key_Up) << int(Qt::ControlModifier) << 5 << 3;
    QTest::newRow("Ctrl+PageDown pages in the same field") << 5 << 3 << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << -1 << 3;
  }
  void keyboard() {
    QFETCH(int, start);
    QFETCH(int, toRecord);
    load(2, 60);
    resizeOuter(12000, 9000);
    bar("hsbFields2Display")->setValue(fetched<int>("column"));
    bar("vsbUnits2display")->setValue(start);
    if (toRecord < 0) toRecord = start + rowsShown();
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key(fetched<int>("key")), Qt::KeyboardModifiers(fetched<int>("modifiers")));
    QTRY_VERIFY(editor()->hasFocus());
    QTest::keyClicks(editor(), QStringLiteral("X"));  // the keyboard selects the text: X replaces it
    QCOMPARE(field(toRecord, fetched<int>("toColumn")), std::string("X"));
    const QRect box = editor()->geometry();
    QVERIFY(box.left() >= 0 && box.right() < find(QStringLiteral("fraDisplay"))->width());
    QVERIFY(box.bottom() < find(QStringLiteral("fraDisplay"))->height());
  }

  // A cell that the grid's right edge cuts off comes wholly into view when clicked, as when Tab
  // reaches it, and the caret goes where it was clicked; a click in full view moves no page.
  void clickBringsTheCellIntoView_data() {
    QTest::addColumn<bool>("cutOff");
    QTest::newRow("the last column, cut off by the edge") << true;
    QTest::newRow("a column in full view") << false;
  }
  void clickBringsTheCellIntoView() {
    QFETCH(bool, cutOff);
    load(2, 3);
    const int gridWidth = find(QStringLiteral("fraDisplay"))->width();
    int last = 0;
    while (last + 1 < 39 && cell(last + 1)->isVisibleTo(w)) ++last;
    const int clicked = cutOff ? last : 1;
    QCOMPARE(cell(clicked)->geometry().right() >= gridWidth, cutOff);
    QTest::mouseClick(cell(clicked), Qt::LeftButton, {}, QPoint(3, 6));
    QTRY_VERIFY(editor()->hasFocus());
    const QRect box = editor()->geometry();
    QVERIFY(box.left() >= 0 && box.right() < gridWidth);
    QCOMPARE(bar("hsbFields2Display")->value() > 1, cutOff);
    QTest::keyClicks(editor(), QStringLiteral("X"));
    QCOMPARE(QString::fromStdString(field(5, clicked + 1)), QStringLiteral("Xr1f%1").arg(clicked + 1));
  }

  // Tab at the last field of the last unit leaves the grid: the next keys reach no cell.
  void tabPastTheLastUnitLeavesTheGrid() {
    load(2, 2);
    bar("hsbFields2Display")->setValue(28);
    focusCell(39);  // row 1: record 6
    QTest::keyClick(editor(), Qt::Key_Tab);
    QTRY_VERIFY(!editor()->hasFocus());
    QWidget* now = QApplication::focusWidget();  // a control outside the grid, not a cell out of sight
    QVERIFY(now && now->isVisible() && !qobject_cast<GridCell*>(now));
    QTest::keyClicks(now, QStringLiteral("X"));
    QVERIFY(!w->dataChanged());
  }

  // The edit box keeps its field when the page moves under it, caret and all; when the field
  // leaves the page, the edit ends.
  void editBoxFollowsItsField() {
    load(2, 1);
    focusCell(1);  // record 5, field 2
    QTest::keyClicks(editor(), QStringLiteral("A"));
    bar("hsbFields2Display")->setValue(2);
    QCOMPARE(editor()->geometry().topLeft(), cell(0)->geometry().topLeft());
    QTest::keyClicks(editor(), QStringLiteral("B"));
    QCOMPARE(field(5, 2), std::string("AB"));
    bar("hsbFields2Display")->setValue(3);
    QVERIFY(!editor()->isVisible());
    QCOMPARE(field(5, 3), std::string("r1f3"));
  }
};

QTEST_MAIN(TestCells)
#include "tst_cells.moc"
