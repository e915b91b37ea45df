#include "BlockSelection.h"
#include "EditorFixture.h"
#include "RecordGrid.h"

// The grid's block of selected values: made by keys and by the mouse, drawn on the cells it
// covers while the grid pages, counted in its label, and cleared as spreadsheets clear it.
// Buildings: records 5.. are units 1.., display column c is field c.
class TestSelection : public QObject, EditorFixture {
  Q_OBJECT

  static constexpr int kFirst = 5;
  static constexpr int kUnits = 200;

  RecordGrid* grid() const { return w->findChild<RecordGrid*>(); }
  // "first-last x first-last" of records and columns; "none" when empty.
  static QString shown(const CellBlock& block) {
    if (block.empty()) return QStringLiteral("none");
    return QStringLiteral("%1-%2 x %3-%4").arg(block.firstRecord).arg(block.lastRecord).arg(block.firstColumn).arg(block.lastColumn);
  }
  QString block() const { return shown(grid()->selectedBlock()); }
  // The record and column the edit box lies over.
  QString focused() const {
    const QRect box = editor()->geometry();
    for (int i = 0; i < 39 * rowsShown(); ++i)
      if (cell(i)->isVisible() && cell(i)->geometry() == box)
        return QStringLiteral("%1:%2").arg(bar("vsbUnits2display")->value() + i / 39).arg(bar("hsbFields2Display")->value() + i % 39);
    return QStringLiteral("none");
  }
  // The shown cells painted as selected that the block does not cover, and the reverse.
  QStringList wronglyDrawn() const {
    const CellBlock selected = grid()->selectedBlock();
    QStringList wrong;
    for (int i = 0; i < 39 * rowsShown(); ++i) {
      const int record = bar("vsbUnits2display")->value() + i / 39, column = bar("hsbFields2Display")->value() + i % 39;
      if (cell(i)->isVisible() && cell(i)->selected() != selected.contains(record, column))
        wrong << QStringLiteral("%1:%2").arg(record).arg(column);
    }
    return wrong;
  }
  QPoint centre(const GridCell* c) const { return c->rect().center(); }

 private slots:
  void init() {
    openWindow();
    load(2, kUnits);
    resizeOuter(28800, 12000);
    shoot(w, QStringLiteral("selection.png"));
  }
  void cleanup() { closeWindow(); }

  // The keys that extend the block move its active corner, and the focus with it, within the file.
  void byKeys_data() {
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<QString>("block");  // "page" stands for the records shown
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("count");
    const auto extend = [](Qt::Key key) { return QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, key); };
    const QKeyCombination down = extend(Qt::Key_Down), up = extend(Qt::Key_Up);
    const auto row = [](const char* name, int record, int column, QList<QKeyCombination> keys, const char* block,
                        const char* focus, const QString& count = {}) {
      QTest::newRow(name) << record << column << keys << QString::fromLatin1(block) << QString::fromLatin1(focus) << count;
    };
    row("down twice, right once", 7, 3, {down, down, extend(Qt::Key_Right)}, "7-9 x 3-4", "9:4",
        QStringLiteral("6 values selected (3 units \u00d7 2 fields)"));
    row("back up through the anchor", 9, 3, {down, down, up, up, up}, "8-9 x 3-3", "8:3",
        QStringLiteral("2 values selected (2 units \u00d7 1 field)"));
    row("a page down", 6, 2, {extend(Qt::Key_PageDown)}, "6-page x 2-2", "page:2");
    row("held at the first unit and field", kFirst, 1, {up, extend(Qt::Key_Left)}, "5-5 x 1-1", "5:1",
        QStringLiteral("1 value selected (1 unit \u00d7 1 field)"));
    row("a page up held at the first unit", 7, 28, {extend(Qt::Key_PageUp), extend(Qt::Key_Right)}, "5-7 x 28-28", "5:28");
    row("held at the last unit", kFirst + kUnits - 2, 1, {extend(Qt::Key_PageDown), down}, "203-204 x 1-1", "204:1");
    row("Ctrl+arrow moves on and clears", 7, 3, {down, QKeyCombination(Qt::ControlModifier, Qt::Key_Right)}, "none", "8:4");
    row("Escape clears", 7, 3, {down, QKeyCombination(Qt::Key_Escape)}, "none", "8:3");
  }
  void byKeys() {
    QFETCH(int, record);
    QFETCH(int, column);
    QFETCH(QList<QKeyCombination>, keys);
    QFETCH(QString, block);
    QFETCH(QString, focus);
    QFETCH(QString, count);
    grid()->focusField(record, column);
    QTRY_VERIFY(editor()->hasFocus());
    for (QKeyCombination keys1 : keys) key(keys1);
    const QString page = QString::number(6 + rowsShown());
    QCOMPARE(this->block(), QString(block).replace(QStringLiteral("page"), page));
    QCOMPARE(focused(), QString(focus).replace(QStringLiteral("page"), page));
    QCOMPARE(wronglyDrawn(), QStringList());
    QCOMPARE(visible(QStringLiteral("lblSelection")), block != QStringLiteral("none"));
    if (!count.isEmpty()) QCOMPARE(text(QStringLiteral("lblSelection")), count);
  }

  // A drag from cell to cell, Shift+click from the focused cell, and row numbers; a plain click
  // clears the block.
  void byMouse_data() {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("count");
    QTest::newRow("drag") << "drag" << "6-8 x 2-4" << "8:4" << "9 values selected (3 units \u00d7 3 fields)";
    QTest::newRow("drag back onto the pressed cell") << "drag back" << "6-6 x 2-2" << "6:2" << "1 value selected (1 unit \u00d7 1 field)";
    QTest::newRow("plain click") << "click" << "none" << "8:4" << "";
    QTest::newRow("Shift+click") << "shift" << "6-9 x 2-5" << "9:5" << "16 values selected (4 units \u00d7 4 fields)";
    QTest::newRow("row number") << "row" << "8-8 x 1-28" << "8:1" << "28 values selected (1 unit \u00d7 28 fields)";
    QTest::newRow("Shift and another row number") << "rows" << "6-8 x 1-28" << "8:1" << "84 values selected (3 units \u00d7 28 fields)";
  }
  void byMouse() {
    QFETCH(QString, gesture);
    QFETCH(QString, block);
    QFETCH(QString, focus);
    QFETCH(QString, count);
    grid()->selectBlock({kFirst, kFirst + 1, 1, 1});  // every gesture starts a new block or clears it
    GridCell* from = cellOf(6, 2);
    if (gesture.startsWith(QStringLiteral("drag"))) {
      QTest::mousePress(from, Qt::LeftButton, {}, centre(from));
      QTest::mouseMove(cellOf(7, 3), centre(cellOf(7, 3)));
      QTest::mouseMove(cellOf(8, 4), centre(cellOf(8, 4)));
      if (gesture == QStringLiteral("drag back")) QTest::mouseMove(from, centre(from));
      QTest::mouseRelease(from, Qt::LeftButton, {}, centre(from));
    } else if (gesture == QStringLiteral("click")) {
      QTest::mouseClick(cellOf(8, 4), Qt::LeftButton, {}, centre(cellOf(8, 4)));
    } else if (gesture == QStringLiteral("shift")) {
      focusCell(39 * 1 + 1);  // record 6, column 2
      QTest::mouseClick(cellOf(9, 5), Qt::LeftButton, Qt::ShiftModifier, centre(cellOf(9, 5)));
    } else {
      if (gesture == QStringLiteral("rows")) QTest::mouseClick(find(QStringLiteral("lblRowNo_1")), Qt::LeftButton);
      QTest::mouseClick(find(QStringLiteral("lblRowNo_3")), Qt::LeftButton,
                        gesture == QStringLiteral("rows") ? Qt::ShiftModifier : Qt::NoModifier);
    }
    QCOMPARE(this->block(), block);
    QTRY_COMPARE(focused(), focus);
    QCOMPARE(wronglyDrawn(), QStringList());
    QCOMPARE(visible(QStringLiteral("lblSelection")) ? text(QStringLiteral("lblSelection")) : QString(), count);
  }

  // The block is held by records and columns: paging either way draws it on the cells that now
  // show them, also after it left the page and came back.
  void acrossPages_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("fields");
    QTest::addColumn<int>("drawn");
    QTest::newRow("three units down") << 3 << 0 << 15;
    QTest::newRow("two fields right") << 0 << 2 << 15;
    QTest::newRow("three fields right, one cut off") << 0 << 3 << 10;
    QTest::newRow("out of view") << 100 << 20 << 0;
  }
  void acrossPages() {
    QFETCH(int, units);
    QFETCH(int, fields);
    QFETCH(int, drawn);
    grid()->selectBlock({8, 12, 3, 5});
    bar("vsbUnits2display")->setValue(bar("vsbUnits2display")->value() + units);
    bar("hsbFields2Display")->setValue(bar("hsbFields2Display")->value() + fields);
    QCOMPARE(block(), QStringLiteral("8-12 x 3-5"));
    QCOMPARE(wronglyDrawn(), QStringList());
    const QList<GridCell*> cells = w->findChildren<GridCell*>();
    QCOMPARE(std::count_if(cells.begin(), cells.end(), [](const GridCell* c) { return c->isVisible() && c->selected(); }), drawn);
    bar("vsbUnits2display")->setValue(kFirst);
    bar("hsbFields2Display")->setValue(1);
    QCOMPARE(wronglyDrawn(), QStringList());
    QVERIFY(cellOf(12, 5)->selected() && !cellOf(13, 5)->selected() && !cellOf(12, 6)->selected());
  }

  // Held beyond the grid's edge, the button scrolls the grid and the block grows with it.
  void dragBeyondTheEdge_data() {
    QTest::addColumn<bool>("below");
    QTest::addColumn<QString>("bar");
    QTest::newRow("below the grid") << true << "vsbUnits2display";
    QTest::newRow("right of the grid") << false << "hsbFields2Display";
  }
  void dragBeyondTheEdge() {
    QFETCH(bool, below);
    GridCell* from = cellOf(6, 2);
    QWidget* frame = find(QStringLiteral("fraDisplay"));
    const QPoint beyond = below ? QPoint(from->x() + 5, frame->height() + 20) : QPoint(frame->width() + 20, from->y() + 5);
    QTest::mousePress(from, Qt::LeftButton, {}, centre(from));
    QTest::mouseMove(from, from->mapFrom(frame, beyond));
    auto* scrolled = find<QScrollBar>(fetched<QString>("bar"));
    const int start = scrolled->value();
    QTRY_VERIFY(scrolled->value() >= start + 3);
    QTest::mouseRelease(from, Qt::LeftButton, {}, from->mapFrom(frame, beyond));
    const int stopped = scrolled->value();
    const CellBlock selected = grid()->selectedBlock();
    QCOMPARE(selected.firstRecord, 6);
    QCOMPARE(selected.firstColumn, 2);
    if (below) QCOMPARE(selected.lastRecord, stopped + rowsShown() - 1);  // the bottom row
    else QVERIFY(selected.lastColumn >= stopped);  // a wide column may be all a page shows
    QTest::qWait(200);
    QCOMPARE(scrolled->value(), stopped);
    QCOMPARE(wronglyDrawn(), QStringList());
  }

  // A block set by a command keeps the focused cell as its active corner when it is one, and is
  // kept within the file; loading a file or choosing another range clears it.
  void setAndCleared_data() {
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("block");
    QTest::newRow("clamped to the file") << "" << "200-204 x 27-28";
    QTest::newRow("file loaded") << "load" << "none";
    QTest::newRow("range chosen") << "range" << "none";
  }
  void setAndCleared() {
    QFETCH(QString, then);
    QFETCH(QString, block);
    grid()->focusField(204, 27);
    QTRY_VERIFY(editor()->hasFocus());
    grid()->selectBlock({200, 300, 27, 99});
    QSignalSpy changed(grid(), &RecordGrid::blockChanged);
    if (then == QStringLiteral("load")) load(2, 10);
    if (then == QStringLiteral("range")) find<QRadioButton>(QStringLiteral("optLockFields_2"))->click();
    QCOMPARE(this->block(), block);
    QCOMPARE(changed.count(), then.isEmpty() ? 0 : 1);
    QCOMPARE(visible(QStringLiteral("lblSelection")), then.isEmpty());
    if (then.isEmpty()) {  // the active corner is still the focused cell
      key(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Left));
      QCOMPARE(this->block(), QStringLiteral("200-204 x 26-28"));
    }
  }

  // The active corner moves, the anchor stays; a step beyond the bounds is held at them, also one
  // that would overflow.
  void extendCore_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("block");
    QTest::addColumn<bool>("changed");
    QTest::newRow("within") << 2 << -1 << "12-14 x 4-5" << true;
    QTest::newRow("held at the bounds") << -100 << 100 << "10-12 x 5-9" << true;
    QTest::newRow("overflowing step") << std::numeric_limits<int>::max() << 0 << "12-20 x 5-5" << true;
  }
  void extendCore() {
    QFETCH(int, records);
    QFETCH(int, columns);
    QFETCH(QString, block);
    QFETCH(bool, changed);
    const CellBlock bounds{10, 20, 1, 9};
    BlockSelection selection;
    QCOMPARE(selection.extend({12, 5}, records, columns, bounds), changed);
    QCOMPARE(shown(selection.block()), block);
    QCOMPARE(selection.anchor(), (BlockSelection::Corner{12, 5}));
    QCOMPARE(selection.extend({1, 1}, 0, 0, bounds), false);  // a block is there: `from` is no longer used
    QVERIFY(selection.clear() && selection.empty() && !selection.clear());
  }
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
