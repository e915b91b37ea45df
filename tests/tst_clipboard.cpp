#include <QClipboard>

#include "EditorFixture.h"
#include "RecordGrid.h"

using namespace Qt::StringLiterals;

// Copy and Paste of blocks in the window: Ctrl+C and Ctrl+V, the cell menu's Copy with Names,
// and a paste as one step to undo and redo.
class TestClipboard : public QObject, EditorFixture {
  Q_OBJECT

  // "record:field=value" of the fields 1-4 of units 5-7 that no longer hold "r<unit>f<field>".
  QStringList changed() const {
    QStringList cells;
    for (int r = 5; r <= 7; ++r)
      for (int f = 1; f <= 4; ++f)
        if (const std::string value = field(r, f); value != "r" + std::to_string(r - 4) + "f" + std::to_string(f))
          cells << QStringLiteral("%1:%2=%3").arg(r).arg(f).arg(CodePage::toQString(value));
    return cells;
  }
  RecordGrid* grid() const { return w->findChild<RecordGrid*>(); }

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  void paste_data() {
    QTest::addColumn<QList<int>>("block");  // selected: first and last record, first and last field; or the focused cell
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QString>("status");
    const auto row = [](const char* name, QList<int> block, const QString& text, const QStringList& changed, const QString& status) {
      QTest::newRow(name) << block << text << changed << status;
    };
    row("block from the focused cell", {5, 5, 2, 2}, u"a\tb\r\nc\t\"d d\"\r\n"_s, {u"5:2=a"_s, u"5:3=b"_s, u"6:2=c"_s, u"6:3=d d"_s},
        u"Pasted: 4 values changed."_s);
    row("block from the top-left of the selected block", {6, 7, 3, 4}, u"a\tr2f4\n"_s, {u"6:3=a"_s}, u"Pasted: 1 value changed."_s);
    row("one value fills the selected block", {6, 7, 1, 2}, u"\u00e9"_s,
        {u"6:1=\u00e9"_s, u"6:2=\u00e9"_s, u"7:1=\u00e9"_s, u"7:2=\u00e9"_s}, u"Pasted: 4 values changed."_s);
    row("too large, nothing changes", {7, 7, 3, 3}, u"a\tb\nc\td\n"_s, {},
        u"Not pasted: the block is 2 units \u00d7 2 fields; from this cell 1 unit \u00d7 2 fields fit."_s);
    row("a value the file cannot hold is marked", {5, 5, 1, 1}, u"\"a\tb\"\tx\n"_s, {u"5:1=a\tb"_s, u"5:2=x"_s},
        u"Cannot be saved as it is: Record 5 (\"x\"), field 1: a TAB"_s);
  }
  void paste() {
    load(2, 3);
    const QList<int> block = fetched<QList<int>>("block");
    focusCell(cellOf(block[0], block[2])->objectName().mid(9).toInt());
    if (block[1] > block[0] || block[3] > block[2]) grid()->selectBlock({block[0], block[1], block[2], block[3]});
    QApplication::clipboard()->setText(fetched<QString>("clipboard"));
    key(Qt::CTRL | Qt::Key_V);
    const QStringList after = fetched<QStringList>("changed");
    QCOMPARE(changed(), after);
    QVERIFY2(status().startsWith(fetched<QString>("status")), qPrintable(status()));
    // The red mark of a value the file cannot hold, as a typed one gets.
    QCOMPARE(!cellOf(block[0], block[2])->mark().isEmpty(), status().startsWith(QStringLiteral("Cannot")));
    QCOMPARE(w->dataChanged(), !after.isEmpty());
    if (after.isEmpty()) return;
    key(Qt::CTRL | Qt::Key_Z);  // every value back in one step
    QCOMPARE(changed(), QStringList());
    QVERIFY(!w->dataChanged());
    key(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(changed(), after);
    QCOMPARE(QApplication::focusWidget(), editor());
  }

  // Typing in the focused cell, then a paste beside it: two steps, the paste undone first.
  void typingThenPasteUndoneInTurn() {
    load(2, 3);
    focusCell(cellOf(7, 2)->objectName().mid(9).toInt());
    grid()->selectBlock({6, 7, 1, 2});
    QTest::keyClicks(editor(), QStringLiteral("z"));
    QApplication::clipboard()->setText(QStringLiteral("a\tb\n"));
    key(Qt::CTRL | Qt::Key_V);
    const QStringList typed{QStringLiteral("7:2=z")};
    QCOMPARE(changed(), (QStringList{QStringLiteral("6:1=a"), QStringLiteral("6:2=b")} + typed));
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(changed(), typed);
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(changed(), QStringList());
  }

  // Without a block, Ctrl+C and Ctrl+V are the edit box's own, within its text.
  void withoutABlockTheEditBoxCopiesAndPastes() {
    load(2, 1);
    focusCell(cellOf(5, 3)->objectName().mid(9).toInt());
    editor()->selectAll();
    key(Qt::CTRL | Qt::Key_C);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("r1f3"));
    key(Qt::CTRL | Qt::Key_V);
    key(Qt::CTRL | Qt::Key_V);
    QCOMPARE(field(5, 3), std::string("r1f3r1f3"));
  }

  void copy_data() {
    QTest::addColumn<QList<int>>("block");
    QTest::addColumn<QString>("command");  // a key, or the cell menu's action by its text or name
    QTest::addColumn<QString>("clipboard");
    const QString block = u"r1f3\tr1f4\nr2f3\t\"x\ty\"\n"_s;
    QTest::newRow("the selected block") << QList<int>{5, 6, 3, 4} << u"Ctrl+C"_s << block;
    QTest::newRow("the menu's Copy: the selected block") << QList<int>{5, 6, 3, 4} << u"edit-copy"_s << block;
    QTest::newRow("with names: the focused cell") << QList<int>{6, 6, 3, 3} << u"Copy with Names"_s << u"\th1f3\nr2f2\tr2f3\n"_s;
    QTest::newRow("with names: the selected block")
        << QList<int>{5, 6, 3, 4} << u"Copy with Names"_s << u"\th1f3\th1f4\nr1f2\tr1f3\tr1f4\nr2f2\tr2f3\t\"x\ty\"\n"_s;
  }
  void copy() {
    load(2, 2, {});
    w->record().setValue(6, 4, "x\ty");
    const QList<int> block = fetched<QList<int>>("block");
    focusCell(cellOf(block[0], block[2])->objectName().mid(9).toInt());
    // By keys, as a user selects one: the focused cell is the block's first corner.
    for (int r = block[0]; r < block[1]; ++r) key(Qt::CTRL | Qt::SHIFT | Qt::Key_Down);
    for (int c = block[2]; c < block[3]; ++c) key(Qt::CTRL | Qt::SHIFT | Qt::Key_Right);
    QApplication::clipboard()->clear();
    if (const QString command = fetched<QString>("command"); command == u"Ctrl+C"_s) key(Qt::CTRL | Qt::Key_C);
    else chooseFromCellMenu(command, editor()->viewport());
    // The Windows clipboard may turn line ends into CR LF and back: only the lines are compared.
    QCOMPARE(QApplication::clipboard()->text().replace(u"\r\n"_s, u"\n"_s), fetched<QString>("clipboard"));
  }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
