#include "EditorFixture.h"

using namespace DataText;
using namespace Qt::StringLiterals;

// Undo and redo across cells, and the values that differ from the game's default copy.
class TestHistory : public QObject, EditorFixture {
  Q_OBJECT

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  // The default copy differs from the mod in record 6, field 3 ("old3" there, "r2f3" here). A
  // copy is taken for one when it starts as a building file does.
  void differenceMarks_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QString>("count");
    const QStringList loaded{u"6:3"_s};
    const QString one = u"1 differs from default"_s, none = u"0 differ from default"_s;
    QTest::newRow("after the load") << QString() << loaded << one;
    QTest::newRow("edited to the default value") << "old3" << QStringList() << none;
    QTest::newRow("another value edited") << "x" << QStringList{u"6:3"_s, u"7:4"_s} << u"2 differ from default"_s;
    QTest::newRow("reverted from the menu") << "revert" << QStringList() << none;
    QTest::newRow("typed, reverted, both undone") << "revert undo" << loaded << one;
  }
  void differenceMarks() {
    QFETCH(QString, action);
    QFETCH(QStringList, marks);
    const QByteArray copy = "numb" + dataFile(2, 3).replace("\tr2f3\t", "\told3\t");
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), copy));
    loadText(2, "numb" + dataFile(2, 3));
    resizeOuter(28800, 16000);
    if (action == QLatin1String("old3")) edit(6, 3, action);
    if (action == QLatin1String("x")) edit(7, 4, action);
    if (action.startsWith(QLatin1String("revert"))) {
      // Typing first, when the revert is undone: the typing is a step of its own.
      edit(6, 3, action.endsWith(QLatin1String("undo")) ? QStringLiteral("z") : QString(), false);
      revertFromMenu(6, 3);
      QVERIFY(editor()->isVisible());
      QCOMPARE(field(6, 3), std::string("old3"));
      QVERIFY(w->dataChanged());
    }
    if (action.endsWith(QLatin1String("undo"))) {
      key(Qt::CTRL | Qt::Key_Z);
      key(Qt::CTRL | Qt::Key_Z);
      QCOMPARE(field(6, 3), std::string("r2f3"));
    }
    QCOMPARE(marked(), marks);
    QCOMPARE(differences()->text(), fetched<QString>("count"));
    if (marks.contains(QStringLiteral("7:4")))
      QVERIFY(cellOf(7, 4)->hint().endsWith(QStringLiteral("Default value: r3f4")));
    QVERIFY(differences()->toolTip().endsWith(QStringLiteral("crusader_build_prod13.bak")));
  }

  // Records pair with the default copy's by unit name (field 2 of a building file): a unit
  // without a counterpart has no default, so no mark, and the count's hint says how many there
  // are. Each file is a list of units by their fields' prefix, a star giving field 3 the value
  // "old3". The action edits field 3 of the record given, or reverts it from the menu.
  void differencesOfPairedUnits_data() {
    QTest::addColumn<QByteArrayList>("copy");
    QTest::addColumn<QByteArrayList>("file");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("hint");  // after the copy's path
    const QByteArrayList copy{"r1", "r2*", "r3"}, inserted{"r1", "n", "r2", "r3"};
    const QString one = u"1 differs from default"_s, none = u"0 differ from default"_s;
    const QString added = u"\n1 unit of this file has no counterpart in the default copy."_s;
    const auto row = [](const char* name, const QByteArrayList& copy, const QByteArrayList& file, const QString& action,
                        const QStringList& marks, const QString& count, const QString& hint) {
      QTest::newRow(name) << copy << file << action << marks << count << hint;
    };
    row("same units", copy, {"r1", "r2", "r3"}, {}, {u"6:3"_s}, one, {});
    row("unit inserted", copy, inserted, {}, {u"7:3"_s}, one, added);
    row("unit inserted, then edited", copy, inserted, u"edit 6"_s, {u"7:3"_s}, one, added);
    row("unit inserted, a paired value reverted", copy, inserted, u"revert 7"_s, {}, none, added);
    row("unit removed", {"r1", "r2", "r3*"}, {"r1", "r3"}, {}, {u"6:3"_s}, one,
        u"\n1 unit of the default copy has no counterpart in this file."_s);
    row("unit renamed beside an inserted one", {"r1", "x"}, {"r1", "r2", "r3"}, {}, {}, none,
        u"\n2 units of this file have no counterpart in the default copy.\n1 unit of the default copy has no counterpart in this file."_s);
  }
  void differencesOfPairedUnits() {
    const auto buildingFile = [](const QByteArrayList& units) {
      QByteArray lines;
      for (const QByteArray& unit : units) {
        const QByteArray prefix = unit.endsWith('*') ? unit.chopped(1) + 'f' : unit + 'f';
        lines += unit.endsWith('*') ? record(28, prefix).replace("\t" + prefix + "3\t", "\told3\t") : record(28, prefix);
      }
      return "numb" + dataFile(2, 0, lines);
    };
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), buildingFile(fetched<QByteArrayList>("copy"))));
    loadText(2, buildingFile(fetched<QByteArrayList>("file")));
    resizeOuter(28800, 16000);
    QFETCH(QString, action);
    const int unit = action.section(QLatin1Char(' '), 1).toInt();
    if (action.startsWith(QLatin1String("edit"))) edit(unit, 3, QStringLiteral("zz"));
    if (action.startsWith(QLatin1String("revert"))) {
      edit(unit, 3, QString(), false);
      revertFromMenu(unit, 3);
      QCOMPARE(field(unit, 3), std::string("old3"));
    }
    QCOMPARE(marked(), fetched<QStringList>("marks"));
    QCOMPARE(differences()->text(), fetched<QString>("count"));
    QCOMPARE(differences()->toolTip(), QStringLiteral("Values that differ from the default copy: ") +
                                           asShown(mWindow.path(QStringLiteral("crusader_build_prod13.bak"))) + fetched<QString>("hint"));
  }

  // A file of another kind, with no default copy, shows no marks and no count.
  void noDifferencesWithoutADefaultCopy() {
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), "numb" + dataFile(2, 1, record(28, "x"))));
    loadText(2, "numb" + dataFile(2, 3));
    QVERIFY(differences()->isVisible());
    {
      ModalAnswerer noBox;
      QVERIFY(w->LoadRecord(samplePath(QStringLiteral("crusaders_unit_prod11.txt")).toStdString(), 0));
    }
    QVERIFY(differences()->isHidden());
    QVERIFY(!cellOf(5, 1)->differs());
  }

  // The edit box stays open on record 6, field 3 (the default copy's "old3", the file's "r2f3")
  // while the script runs: "revert" from the edit box's own menu, "old3" typed as a step of its
  // own, U Ctrl+Z, Y Ctrl+Y. The box is tinted while its value differs from the default.
  void editBoxTint_data() {
    QTest::addColumn<QString>("range");  // the fields of range 4, selected; empty: range 1
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("value");
    QTest::newRow("reverted") << "" << "revert" << "old3";
    QTest::newRow("reverted in a range of its own") << "3, 1," << "revert" << "old3";
    QTest::newRow("revert undone") << "" << "revert U" << "r2f3";
    QTest::newRow("revert redone") << "" << "revert U Y" << "old3";
    QTest::newRow("a step to the default undone") << "" << "old3 U" << "r2f3";
    QTest::newRow("a step to the default redone") << "" << "old3 U Y" << "old3";
  }
  void editBoxTint() {
    QFETCH(QString, range);
    QFETCH(QString, value);
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), "numb" + dataFile(2, 3).replace("\tr2f3\t", "\told3\t")));
    loadText(2, "numb" + dataFile(2, 3));
    resizeOuter(28800, 16000);
    if (!range.isEmpty()) {
      defineRange(4, rangeDialog(range, {}, {0}));
      w->activateWindow();  // the offscreen platform may leave none active after the dialog
      QVERIFY(QTest::qWaitForWindowActive(w));
    }
    const int column = range.isEmpty() ? 3 : 1;  // field 3's display column
    const auto tinted = [this] {
      const QColor box = editor()->palette().color(QPalette::Base), focused = w->palette().color(QPalette::ToolTipBase);
      return box == differenceTint(focused) ? QStringLiteral("tinted") : box == focused ? QStringLiteral("plain") : box.name();
    };
    for (const QString& step : fetched<QString>("script").split(QLatin1Char(' '))) {
      if (step == QLatin1String("old3")) edit(6, column, step);
      edit(6, column, QString(), false);
      if (step == QLatin1String("revert")) revertFromMenu(6, column, true);
      if (step.size() == 1) key(step == QLatin1String("U") ? Qt::CTRL | Qt::Key_Z : Qt::CTRL | Qt::Key_Y);
    }
    QVERIFY(editor()->isVisible());
    QCOMPARE(editor()->toPlainText(), value);
    QCOMPARE(QString::fromStdString(std::string(w->record().value(6, 3))), value);  // by field, whatever the range
    QCOMPARE(w->record().value(6, 1), "r2f1");
    QCOMPARE(tinted(), QString::fromLatin1(value == QLatin1String("old3") ? "plain" : "tinted"));
  }

  // A character typed or deleted beside its twin changes the value as the edit box shows it, and
  // the edit is one step to undo and redo. The caret is put after `caret` characters.
  void repeatedCharacters_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");  // Backspace as "\b"
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("Backspace inside a run of zeros") << QByteArray("1000") << 2 << "\b" << QByteArray("100");
    QTest::newRow("a letter typed between twins") << QByteArray("aa") << 1 << "a" << QByteArray("aaa");
    QTest::newRow("one of two CR LF deleted") << QByteArray("\"a\r\n\r\nb\"") << 3 << "\b" << QByteArray("\"a\r\nb\"");
  }
  void repeatedCharacters() {
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, after);
    loadText(2, dataFile(2, 1).replace("\tr1f3\t", "\t" + value + "\t"));
    edit(5, 3, QString(), false);
    QTextCursor caret = editor()->textCursor();
    caret.setPosition(fetched<int>("caret"));
    editor()->setTextCursor(caret);
    for (const QChar c : fetched<QString>("keys")) {
      if (c == QLatin1Char('\b')) QTest::keyClick(editor(), Qt::Key_Backspace);
      else QTest::keyClicks(editor(), QString(c));
    }
    leaveCell();
    QCOMPARE(QByteArray::fromStdString(field(5, 3)), after);
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(QByteArray::fromStdString(field(5, 3)), value);
    QVERIFY(!w->dataChanged());
    key(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(QByteArray::fromStdString(field(5, 3)), after);
    QVERIFY(w->dataChanged());
  }

  // Each row runs a script: "eR=V" replaces record R's field 3 by typing V and leaves the cell,
  // "tR=V" types without leaving, "+V" types V at the start of the cell being edited; U is Ctrl+Z,
  // Y Ctrl+Y, Z Ctrl+Shift+Z, S a save, all sent to whatever has the focus.
  void undoRedo_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("values");  // field 3 of records 5, 6 and 7 afterwards
    QTest::addColumn<bool>("changed");
    QTest::newRow("two edits undone, newest first") << "e5=x e6=y U" << "x r2f3 r3f3" << true;
    QTest::newRow("undo with nothing to undo") << "U" << "r1f3 r2f3 r3f3" << false;
    QTest::newRow("redo with Ctrl+Y and Ctrl+Shift+Z") << "e5=x e6=y U U Y Z" << "x y r3f3" << true;
    QTest::newRow("a new edit drops what was undone") << "e5=x e6=y U e7=z Y" << "x r2f3 z" << true;
    QTest::newRow("the cell's own typing first") << "e5=x t6=y +q U" << "x y r3f3" << true;
    QTest::newRow("then the steps before") << "e5=x t6=y U U" << "r1f3 r2f3 r3f3" << false;
    QTest::newRow("undone past a save") << "e5=x S U" << "r1f3 r2f3 r3f3" << true;
    QTest::newRow("back to the save") << "e5=x S U Y" << "x r2f3 r3f3" << false;
    QTest::newRow("the save's state gone for good") << "e5=x S U e6=y U Y" << "r1f3 y r3f3" << true;
    QTest::newRow("undone in the cell being edited") << "e6=y t6= U +q" << "r1f3 qr2f3 r3f3" << true;
  }
  void undoRedo() {
    QFETCH(bool, changed);
    resizeOuter(20000, 9000);  // wide enough that an undone cell in view does not scroll
    load(2, 3);
    const QHash<QString, QKeyCombination> keys{{QStringLiteral("U"), Qt::CTRL | Qt::Key_Z},
                                               {QStringLiteral("Y"), Qt::CTRL | Qt::Key_Y},
                                               {QStringLiteral("Z"), Qt::CTRL | Qt::SHIFT | Qt::Key_Z}};
    for (const QString& step : fetched<QString>("script").split(QLatin1Char(' '))) {
      if (step.startsWith(QLatin1Char('+'))) {
        QTest::keyClick(editor(), Qt::Key_Home);
        QTest::keyClicks(editor(), step.mid(1));
      } else if (step.size() > 1) {
        edit(step.mid(1, 1).toInt(), 3, step.mid(3), step.startsWith(QLatin1Char('e')));
      } else if (step == QLatin1String("S")) {
        QVERIFY(w->SaveRecord(mWindow.path(QStringLiteral("saved.txt")).toStdString()));
      } else {
        key(keys[step]);
      }
    }
    QCOMPARE(QString::fromStdString(field(5, 3) + ' ' + field(6, 3) + ' ' + field(7, 3)), fetched<QString>("values"));
    QCOMPARE(cellOf(6, 3)->text(), QString::fromStdString(field(6, 3)));
    QCOMPARE(w->dataChanged(), changed);
    QCOMPARE(shownTitle().contains(QLatin1Char('*')), changed);
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
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
