#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include "DataText.h"
#include "EditorWindow.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "GridCell.h"
#include "HeaderBox.h"
#include "MessageRecorder.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "Shots.h"
#include "Twips.h"

using namespace DataText;

// The grid: paging, labels and the cells' editing, on files loaded straight into the store; and
// what a modder does beside editing: the values that differ from the game's default copy, undo
// and redo across cells, and find.
class TestGrid : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;

  template <class T = QWidget>
  T* find(const QString& name) const {
    T* widget = w->findChild<T*>(name);
    if (!widget) qWarning("no control %s", qPrintable(name));
    return widget;
  }
  QString text(const QString& name) const {
    if (auto* label = w->findChild<QLabel*>(name)) return label->text();
    if (auto* header = w->findChild<HeaderBox*>(name)) return header->toPlainText();
    return find<GridCell>(name)->text();
  }
  bool visible(const QString& name) const { return find(name)->isVisibleTo(w); }
  QScrollBar* bar(const char* name) const { return find<QScrollBar>(QLatin1String(name)); }
  GridCell* cell(int index) const { return find<GridCell>(QStringLiteral("txtField_%1").arg(index)); }
  QPlainTextEdit* editor() const { return find<QPlainTextEdit>(QStringLiteral("cellEditor")); }
  std::string field(int record, int column) const { return w->record().returnArrayFieldXUnit(record, column, 1, 1)[0][0]; }
  int rowsShown() const {
    int rows = 0;
    while (visible(QStringLiteral("lblRow_%1").arg(rows))) ++rows;
    return rows;
  }

  // Loads the text as a file of the kind, through the editor's load (and so its default copy).
  void loadText(int kind, const QByteArray& text) {
    QVERIFY(writeFile(mWindow.path(QStringLiteral("mod.txt")), text));
    QVERIFY(w->LoadRecord(mWindow.path(QStringLiteral("mod.txt")).toStdString(), kind));
  }
  void load(int kind, int units, const QByteArray& unitLines = {}) { loadText(kind, dataFile(kind, units, unitLines)); }
  void resizeOuter(int width, int height) {  // in twips
    const QSize frame = w->frameGeometry().size() - w->size();
    w->resize(Twips::toPixels(width) - frame.width(), Twips::toPixels(height) - frame.height());
  }
  // The cell showing the record's field (range 1 selected), the bars where they stand.
  GridCell* cellOf(int record, int field) const {
    return cell(39 * (record - bar("vsbUnits2display")->value()) + field - bar("hsbFields2Display")->value());
  }
  void focusCell(int index) {
    cell(index)->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(editor()->hasFocus());
  }
  void leaveCell() {
    bar("vsbUnits2display")->setFocus();
    QTRY_VERIFY(!editor()->isVisible());
  }
  // Replaces a cell's value by typing; leaves the cell when asked: one finished edit.
  void edit(int record, int field, const QString& text, bool leave = true) {
    cellOf(record, field)->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(editor()->hasFocus());
    editor()->selectAll();
    QTest::keyClicks(editor(), text);
    if (leave) leaveCell();
  }
  void key(QKeyCombination keys) { QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers()); }
  // Every marked cell of the page as "record:field", in the grid's order.
  QStringList marked() const {
    QStringList cells;
    for (int r = 5; r <= w->record().NoUnits(); ++r)
      for (int f = 1; f <= 28; ++f)
        if (!cellOf(r, f)->isHidden() && cellOf(r, f)->differs()) cells << QStringLiteral("%1:%2").arg(r).arg(f);
    return cells;
  }
  QLabel* differences() const { return find<QLabel>(QStringLiteral("lblDifferences")); }

 private slots:
  void init() { w = mWindow.open(); }
  void cleanup() { mWindow.close(); }

  // At the smallest size and with the names hidden no button or bar covers another or lies outside
  // the window, the status line stays above the grid, and the last unit can be scrolled into view.
  void layoutAtSmallSizes_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("hideNames");
    QTest::newRow("below the minimum") << 3000 << 2000 << false;
    QTest::newRow("designed size, names hidden") << 12000 << 8500 << true;
  }
  void layoutAtSmallSizes() {
    load(2, 30);
    resizeOuter(28800, 16000);  // all units fit: a larger window must freeze nothing
    if (fetched<bool>("hideNames")) find<QPushButton>(QStringLiteral("cmdSlide"))->click();
    find<QLabel>(QStringLiteral("lblStatusBar"))->setProperty("Tag", QStringLiteral("a long status text ").repeated(30));
    resizeOuter(fetched<int>("width"), fetched<int>("height"));
    shoot(w, QStringLiteral("small-window.png"));
    QVERIFY(find(QStringLiteral("lblStatusBar"))->geometry().bottom() < find(QStringLiteral("fraDisplay"))->y());
    QStringList misplaced;
    for (QWidget* control : w->findChildren<QWidget*>()) {  // the named ones: a text box's own bars are clipped
      const bool clickable = qobject_cast<QAbstractButton*>(control) || qobject_cast<QScrollBar*>(control);
      if (!clickable || control->objectName().isEmpty() || !control->isVisibleTo(w)) continue;
      const QRect box(control->mapTo(w, QPoint()), control->size());
      QWidget* top = w->childAt(box.center());
      if (!w->rect().contains(box) || (top != control && !control->isAncestorOf(top))) misplaced << control->objectName();
    }
    QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QStringLiteral(", "))));
    bar("vsbUnits2display")->setValue(bar("vsbUnits2display")->maximum());
    QCOMPARE(text(QStringLiteral("lblRowNo_%1").arg(rowsShown() - 1)), QStringLiteral("30"));
  }

  // Each kind's header rows, hints and first unit; the bar's last position shows the last unit
  // in the bottom row, also when only one or two units lie below the first page.
  void refillByKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("belowFirstPage");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("headerHint");
    QTest::addColumn<QString>("name");
    QTest::newRow("unit") << 1 << 60 << " 1\nh1f1\nh2f1\nh3f1" << "h3f1" << "r1f1";
    QTest::newRow("building, one unit below the page") << 2 << 1 << " 1\nh1f1\nh2f1\nh3f1" << "h2f1" << "r1f2";
    QTest::newRow("projectile, two units below the page") << 3 << 2 << " 1\nh1f1" << "h1f1" << "r1f1";
  }
  void refillByKind() {
    QFETCH(int, kind);
    load(3, 100);  // scrolled to where a unit file's first unit is: the unit number must change all the same
    bar("vsbUnits2display")->setValue(5);
    load(kind, 100);
    QCOMPARE(text(QStringLiteral("lblUnitNo")), QStringLiteral("1"));
    const int units = rowsShown() + fetched<int>("belowFirstPage");
    load(kind, units);
    QCOMPARE(text(QStringLiteral("txtColumn_0")), fetched<QString>("header"));
    QCOMPARE(find(QStringLiteral("txtColumn_0"))->toolTip(), fetched<QString>("headerHint"));
    QCOMPARE(text(QStringLiteral("lblRow_0")), fetched<QString>("name"));
    QCOMPARE(text(QStringLiteral("lblRowNo_1")), QStringLiteral("2"));
    QCOMPARE(text(QStringLiteral("txtField_1")), QStringLiteral("r1f2"));
    QCOMPARE(cell(1)->toolTip(), QStringLiteral("h1f2"));
    bar("vsbUnits2display")->setValue(bar("vsbUnits2display")->maximum());
    const int bottom = rowsShown() - 1;
    QCOMPARE(text(QStringLiteral("lblRowNo_%1").arg(bottom)), QString::number(units));
    QCOMPARE(text(QStringLiteral("lblUnitNo")), QString::number(units - bottom));
  }

  // The stored size is the outer one, frame included, and it comes back as it was stored.
  void placementRoundTrip() {
    QVERIFY(writeFile(QString::fromStdString(GlobalShared::getIniPath()),
                      "[Pelko Editor]\r\nWindowstate= 0\r\nLeft= 1500\r\nWidth= 15000\r\nTop= 1500\r\nHeight= 9000\r\n"));
    FEditor next;
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QTRY_VERIFY(std::abs(Twips::fromPixels(next.frameGeometry().height()) - 9000) <= 15);
    QVERIFY(next.frameGeometry() != next.geometry());  // the platform gave it a frame
    next.close();
    QCOMPARE(GlobalShared::readIniString("Pelko Editor", "Height", "", GlobalShared::getIniPath()), std::string("9000"));
  }

  // Hidden names show the range buttons' numbers; a kind set meanwhile shows its captions later.
  void namesToggle() {
    w->setFileType(1);
    auto* slide = find<QPushButton>(QStringLiteral("cmdSlide"));
    auto* button2 = find<QRadioButton>(QStringLiteral("optLockFields_2"));
    slide->click();
    QVERIFY(w->HideNames());
    QCOMPARE(button2->text(), QStringLiteral("2"));
    w->setFileType(2);
    QCOMPARE(button2->text(), QStringLiteral("2"));
    slide->click();
    QCOMPARE(button2->text(), QStringLiteral("User-Defined [# to #]"));
  }

  void fewerRecordsThanRows() {
    load(2, 3);
    QVERIFY(visible(QStringLiteral("lblRow_2")) && !visible(QStringLiteral("lblRow_3")));
    QVERIFY(visible(QStringLiteral("txtField_%1").arg(39 * 2)) && !visible(QStringLiteral("txtField_%1").arg(39 * 3)));
    load(2, 0);  // header rows only
    QVERIFY(!visible(QStringLiteral("lblRow_0")));
  }

  // Each bar's option: unchecked, a drag only moves the number until the thumb is released.
  void dragWithScrollUpdate_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("live");
    QTest::newRow("units, deferred") << true << false;
    QTest::newRow("fields, live") << false << true;
  }
  void dragWithScrollUpdate() {
    QFETCH(bool, vertical);
    QFETCH(bool, live);
    load(3, 200);
    find<QCheckBox>(QStringLiteral("chkScrollUpdate_%1").arg(vertical ? 1 : 0))->setChecked(live);
    find<QCheckBox>(QStringLiteral("chkScrollUpdate_%1").arg(vertical ? 0 : 1))->setChecked(!live);
    QScrollBar* dragged = bar(vertical ? "vsbUnits2display" : "hsbFields2Display");
    const QString number = QLatin1String(vertical ? "lblUnitNo" : "lblFieldNo");
    const auto first = [&] {
      return vertical ? text(QStringLiteral("lblRowNo_0")) : text(QStringLiteral("txtColumn_0")).section(QLatin1Char('\n'), 0, 0).trimmed();
    };
    dragged->setSliderDown(true);
    dragged->setSliderPosition(20);
    const QString shown = vertical ? QStringLiteral("19") : QStringLiteral("20");
    QCOMPARE(text(number), shown);
    QCOMPARE(first(), live ? shown : QStringLiteral("1"));
    dragged->setSliderDown(false);
    QCOMPARE(first(), shown);
  }

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

  // Typing one character changes that character alone: line ends, non-breaking spaces and every
  // other byte of the value stay as loaded.
  void editsKeepUntouchedBytes_data() {
    QTest::addColumn<QByteArray>("value");
    QByteArray high;
    for (int b = 0x80; b <= 0xff; ++b) high += char(b);
    QTest::newRow("quoted CR LF lines") << QByteArray("\"a\r\nb\r\nc\"");
    QTest::newRow("LF and a lone CR inside quotes") << QByteArray("\"a\nb\rc\"");
    QTest::newRow("every byte above 127") << high;
  }
  void editsKeepUntouchedBytes() {
    QFETCH(QByteArray, value);
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

  // Tab at the last field of the last unit leaves the grid: the next keys reach no cell.
  void tabPastTheLastUnitLeavesTheGrid() {
    load(2, 2);
    bar("hsbFields2Display")->setValue(28);
    focusCell(39);  // row 1: record 6
    QTest::keyClick(editor(), Qt::Key_Tab);
    QTRY_VERIFY(!editor()->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("X"));
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


  // The default copy differs from the mod in record 6, field 3 ("old3" there, "r2f3" here). A
  // copy is taken for one when it starts as a building file does.
  void differenceMarks_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QString>("count");
    const QStringList loaded{QStringLiteral("6:3")};
    QTest::newRow("after the load") << QString() << loaded << QStringLiteral("1 differs from default");
    QTest::newRow("edited to the default value") << "old3" << QStringList() << QStringLiteral("0 differ from default");
    QTest::newRow("another value edited") << "x" << QStringList{QStringLiteral("6:3"), QStringLiteral("7:4")}
                                          << QStringLiteral("2 differ from default");
    QTest::newRow("reverted from the menu") << "revert" << QStringList() << QStringLiteral("0 differ from default");
    QTest::newRow("revert undone") << "revert undo" << loaded << QStringLiteral("1 differs from default");
  }
  void differenceMarks() {
    QFETCH(QString, action);
    QFETCH(QStringList, marks);
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), "numb" + dataFile(2, 3).replace("\tr2f3\t", "\told3\t")));
    loadText(2, "numb" + dataFile(2, 3));
    resizeOuter(28800, 16000);
    if (action == QLatin1String("old3")) edit(6, 3, action);
    if (action == QLatin1String("x")) edit(7, 4, action);
    if (action.startsWith(QLatin1String("revert"))) {
      edit(6, 3, {}, false);
      ModalAnswerer answerer;
      answerer.then<QMenu>([](QMenu* menu) {
        for (QAction* action : menu->actions())
          if (action->text() == QStringLiteral("Revert to Default Value")) action->trigger();
        menu->close();
      });
      QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), editor()->mapToGlobal(QPoint(2, 2)));
      QApplication::sendEvent(cellOf(6, 3), &click);
      QVERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
      w->activateWindow();  // the platform may leave no window active once the menu has gone
      QVERIFY(QTest::qWaitForWindowActive(w));
      QCOMPARE(field(6, 3), std::string("old3"));
      QVERIFY(w->dataChanged());
    }
    if (action.endsWith(QLatin1String("undo"))) key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(marked(), marks);
    QCOMPARE(differences()->text(), fetched<QString>("count"));
    if (marks.contains(QStringLiteral("7:4"))) QVERIFY(cellOf(7, 4)->hint().endsWith(QStringLiteral("Default value: r3f4")));
    QVERIFY(differences()->toolTip().endsWith(QStringLiteral("crusader_build_prod13.bak")));
  }

  // Only the records both files hold are compared, and the count's hint says so; a file of
  // another kind, with no default copy, shows no marks and no count.
  void differencesOfOtherFiles() {
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), "numb" + dataFile(2, 1, record(28, "x"))));
    loadText(2, "numb" + dataFile(2, 3));
    QCOMPARE(differences()->text(), QStringLiteral("28 differ from default"));
    QVERIFY(marked().contains(QStringLiteral("6:1")) && marked().filter(QStringLiteral("6:")) == marked());
    QVERIFY(differences()->toolTip().contains(QStringLiteral("only records 1 to 6 are compared")));
    MessageRecorder boxes;
    QVERIFY(w->LoadRecord(samplePath(QStringLiteral("crusaders_unit_prod11.txt")).toStdString(), 0));
    QVERIFY(differences()->isHidden());
    QVERIFY(!cellOf(5, 1)->differs());
  }

  // Each row runs a script: "eR=V" replaces record R's field 3 by typing V and leaves the cell,
  // "tR=V" types without leaving; U is Ctrl+Z, Y Ctrl+Y, Z Ctrl+Shift+Z, S a save, all sent
  // to whatever has the focus.
  void undoRedo_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("values");  // field 3 of records 5, 6 and 7 afterwards
    QTest::addColumn<bool>("changed");
    QTest::newRow("two edits undone, newest first") << "e5=x e6=y U" << "x r2f3 r3f3" << true;
    QTest::newRow("undo with nothing to undo") << "U" << "r1f3 r2f3 r3f3" << false;
    QTest::newRow("redo with Ctrl+Y and Ctrl+Shift+Z") << "e5=x e6=y U U Y Z" << "x y r3f3" << true;
    QTest::newRow("a new edit drops what was undone") << "e5=x e6=y U e7=z Y" << "x r2f3 z" << true;
    QTest::newRow("the cell's own typing first") << "e5=x t6=y t6=q U" << "x y r3f3" << true;
    QTest::newRow("then the steps before") << "e5=x t6=y U U" << "r1f3 r2f3 r3f3" << false;
    QTest::newRow("undone past a save") << "e5=x S U" << "r1f3 r2f3 r3f3" << true;
    QTest::newRow("back to the save") << "e5=x S U Y" << "x r2f3 r3f3" << false;
    QTest::newRow("the save's state gone for good") << "e5=x S U e6=y U Y" << "r1f3 y r3f3" << true;
  }
  void undoRedo() {
    QFETCH(bool, changed);
    load(2, 3);
    const QHash<QString, QKeyCombination> keys{{QStringLiteral("U"), Qt::CTRL | Qt::Key_Z},
                                               {QStringLiteral("Y"), Qt::CTRL | Qt::Key_Y},
                                               {QStringLiteral("Z"), Qt::CTRL | Qt::SHIFT | Qt::Key_Z}};
    for (const QString& step : fetched<QString>("script").split(QLatin1Char(' '))) {
      if (step.size() > 1)
        edit(step.mid(1, 1).toInt(), 3, step.mid(3), step.startsWith(QLatin1Char('e')));
      else if (step == QLatin1String("S"))
        QVERIFY(w->SaveRecord(mWindow.path(QStringLiteral("saved.txt")).toStdString()));
      else
        key(keys[step]);
    }
    QCOMPARE(QString::fromStdString(field(5, 3) + ' ' + field(6, 3) + ' ' + field(7, 3)), fetched<QString>("values"));
    QCOMPARE(cellOf(6, 3)->text(), QString::fromStdString(field(6, 3)));
    QCOMPARE(w->dataChanged(), changed);
    QCOMPARE(w->isWindowModified(), changed);
  }

  // An undone value out of view comes back into view, its cell with the focus.
  void undoScrollsToTheCell() {
    load(2, 60);
    edit(6, 3, QStringLiteral("x"));
    bar("vsbUnits2display")->setValue(50);
    key(Qt::CTRL | Qt::Key_Z);
    QTRY_VERIFY(editor()->hasFocus());
    QCOMPARE(editor()->toPlainText(), QStringLiteral("r2f3"));
    QCOMPARE(editor()->geometry(), cellOf(6, 3)->geometry());
  }

  // Ctrl+F searches the names as typed, or every shown value; Enter and F3 go on, Shift+F3 back,
  // wrapping with a note. Each match is told by its cell's value (each value here is unique).
  void find_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allValues");
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<QStringList>("matches");
    const QKeyCombination f3 = Qt::Key_F3, back = Qt::SHIFT | Qt::Key_F3;
    QTest::newRow("names, any case") << "KNI" << false << QList{f3, f3, f3}
                                     << QStringList{QStringLiteral("Knights_templar"), QStringLiteral("knights Wrapped to the first unit"),
                                                    QStringLiteral("Knights_templar")};
    QTest::newRow("backwards") << "kni" << false << QList{back, back}
                               << QStringList{QStringLiteral("Knights_templar Wrapped to the last unit"), QStringLiteral("knights")};
    QTest::newRow("all values") << "spear" << true << QList<QKeyCombination>{Qt::Key_Return, f3}
                                << QStringList{QStringLiteral("spearmen"), QStringLiteral("long_spear Wrapped to the first unit")};
    QTest::newRow("no match") << "zzz" << true << QList<QKeyCombination>{Qt::Key_Return} << QStringList{QStringLiteral("- No match")};
  }
  void find() {
    QFETCH(QStringList, matches);
    QByteArray file = dataFile(2, 5);
    file.replace("\tr2f2\t", "\tknights\t").replace("\tr4f2\t", "\tKnights_templar\t").replace("\tr3f5\t", "\tlong_spear\t");
    loadText(2, file.replace("\tr5f2\t", "\tspearmen\t"));
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    auto* findText = find<QLineEdit>(QStringLiteral("txtFind"));
    QTRY_VERIFY(findText && findText->hasFocus());
    if (fetched<bool>("allValues")) find<QAbstractButton>(QStringLiteral("chkFindAllValues"))->setChecked(true);
    QTest::keyClicks(findText, fetched<QString>("text"));
    for (const QKeyCombination keys : fetched<QList<QKeyCombination>>("keys")) {
      key(keys);
      const QString at = editor()->hasFocus() ? editor()->toPlainText() : QStringLiteral("-");
      const QString note = find<QLabel>(QStringLiteral("lblFindNote"))->text();
      QCOMPARE(note.isEmpty() ? at : at + QLatin1Char(' ') + note, matches.takeFirst());
    }
  }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
