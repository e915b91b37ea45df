#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include "DataText.h"
#include "EditorWindow.h"
#include "FEditor.h"
#include "GridCell.h"
#include "MessageRecorder.h"
#include "ModalAnswerer.h"

using namespace DataText;

// What a modder does beside editing: the values that differ from the game's default copy, undo
// and redo across cells, and find. The files are building files: four header rows, then units
// from record 5, whose field 2 is the name; the grid's row r, column c shows record 5 + r, field
// 1 + c.
class TestModding : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;
  static constexpr int kRowCells = 39;

  template <class T = QWidget>
  T* find(const QString& name) const { return w->findChild<T*>(name); }
  GridCell* cell(int record, int field) const {
    const int row = record - find<QScrollBar>(QStringLiteral("vsbUnits2display"))->value();
    const int column = field - find<QScrollBar>(QStringLiteral("hsbFields2Display"))->value();
    return find<GridCell>(QStringLiteral("txtField_%1").arg(kRowCells * row + column));
  }
  QPlainTextEdit* editor() const { return find<QPlainTextEdit>(QStringLiteral("cellEditor")); }
  QString value(int record, int field) const { return QString::fromLatin1(w->record().value(record, field)); }
  QLabel* differences() const { return find<QLabel>(QStringLiteral("lblDifferences")); }

  // A building file of the given units (by name), each field n of unit "x" being "xn".
  static QByteArray buildingFile(const QList<QByteArray>& units) {
    QByteArray text = "numb" + record(28, "h1f") + record(28, "h2f") + record(28, "h3f") + record(28, "h4f");
    for (const QByteArray& unit : units) text += record(28, unit);
    return text + "\r\n\r\n";
  }
  void write(const QString& name, const QByteArray& text) {
    QFile file(mWindow.path(name));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
  }
  void load(const QByteArray& text) {
    write(QStringLiteral("mod.txt"), text);
    QVERIFY(w->LoadRecord(mWindow.path(QStringLiteral("mod.txt")).toStdString(), 2));
  }
  void focusCell(int record, int field) {
    cell(record, field)->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(editor()->hasFocus());
  }
  // Types a value into a cell and leaves it: one finished edit.
  void edit(int record, int field, const QString& text) {
    focusCell(record, field);
    QTest::keyClicks(editor(), text);
    leaveCells();
  }
  void leaveCells() {
    find<QScrollBar>(QStringLiteral("vsbUnits2display"))->setFocus();
    QTRY_VERIFY(!editor()->isVisible());
  }
  void revert(int record, int field) {
    focusCell(record, field);
    ModalAnswerer answerer;
    answerer.then<QMenu>([](QMenu* menu) {
      for (QAction* action : menu->actions())
        if (action->text() == QStringLiteral("Revert to Default Value")) action->trigger();
      menu->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), editor()->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(cell(record, field), &click);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    // The cell's edit goes on after the menu. The offscreen platform may leave no window active
    // once the menu is gone, where a desktop gives the activation back.
    w->activateWindow();
    QTRY_VERIFY(editor()->hasFocus());
  }
  // Every marked cell of the page as "record:field", in the grid's order.
  QStringList marked() const {
    QStringList cells;
    for (int r = 5; r <= w->record().NoUnits(); ++r)
      for (int f = 1; f <= 28; ++f)
        if (!cell(r, f)->isHidden() && cell(r, f)->differs()) cells << QStringLiteral("%1:%2").arg(r).arg(f);
    return cells;
  }
  void key(int key, Qt::KeyboardModifiers modifiers) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers); }

 private slots:
  void init() {
    w = mWindow.open();
    w->resize(1400, 700);
  }
  void cleanup() { mWindow.close(); }

  // The default copy differs from the mod in record 6, field 3 ("old3" there, "b3" here).
  void differenceMarks_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QString>("count");
    const QStringList loaded{QStringLiteral("6:3")};
    QTest::newRow("after the load") << QString() << loaded << QStringLiteral("1 differs from default");
    QTest::newRow("edited to the default value") << QStringLiteral("6:3=old3") << QStringList() << QStringLiteral("0 differ from default");
    QTest::newRow("another value edited") << QStringLiteral("7:4=x") << QStringList{QStringLiteral("6:3"), QStringLiteral("7:4")}
                                          << QStringLiteral("2 differ from default");
    QTest::newRow("reverted from the menu") << QStringLiteral("revert") << QStringList() << QStringLiteral("0 differ from default");
    QTest::newRow("revert undone") << QStringLiteral("revert undo") << loaded << QStringLiteral("1 differs from default");
  }
  void differenceMarks() {
    QFETCH(QString, action);
    QFETCH(QStringList, marks);
    QFETCH(QString, count);
    QByteArray copy = buildingFile({"a", "b", "c"});
    copy.replace("\tb3\t", "\told3\t");
    write(QStringLiteral("crusader_build_prod13.bak"), copy);
    load(buildingFile({"a", "b", "c"}));
    if (action.contains(QLatin1Char('='))) {
      const QStringList parts = action.split(QRegularExpression(QStringLiteral("[:=]")));
      edit(parts[0].toInt(), parts[1].toInt(), parts[2]);
    }
    if (action.startsWith(QStringLiteral("revert"))) {
      revert(6, 3);
      QCOMPARE(value(6, 3), QStringLiteral("old3"));
      QVERIFY(w->dataChanged());
    }
    if (action.endsWith(QStringLiteral("undo"))) key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(marked(), marks);
    QCOMPARE(differences()->text(), count);
    if (marks.contains(QStringLiteral("7:4"))) QVERIFY(cell(7, 4)->hint().endsWith(QStringLiteral("Default value: c4")));
    QVERIFY(differences()->toolTip().endsWith(QStringLiteral("crusader_build_prod13.bak")));
  }

  // Only the records both files hold are compared, and the count's hint says so; a file of
  // another kind, with no default copy, shows no marks and no count.
  void differencesOfOtherFiles() {
    write(QStringLiteral("crusader_build_prod13.bak"), buildingFile({"a", "x"}));
    load(buildingFile({"a", "b", "c"}));
    QCOMPARE(differences()->text(), QStringLiteral("28 differ from default"));
    QVERIFY(marked().contains(QStringLiteral("6:1")) && marked().filter(QStringLiteral("6:")) == marked());
    QVERIFY(differences()->toolTip().contains(QStringLiteral("only records 1 to 6 are compared")));
    MessageRecorder boxes;
    QVERIFY(w->LoadRecord(qEnvironmentVariable("PELKO_SAMPLES").toStdString() + "/crusaders_unit_prod11.txt", 0));
    QVERIFY(differences()->isHidden());
    QVERIFY(!cell(5, 1)->differs());
  }

  // Each row runs a script: "eR=V" types V into record R, field 3, and leaves the cell; "tR=V"
  // types without leaving, "+V" types V at the start of the cell being edited; U is Ctrl+Z, Y Ctrl+Y, Z Ctrl+Shift+Z, S a save, all sent to whatever
  // has the focus.
  void undoRedo_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("values");  // field 3 of records 5, 6 and 7 afterwards
    QTest::addColumn<bool>("changed");
    QTest::newRow("two edits undone, newest first") << "e5=x e6=y U" << "xa3 b3 c3" << true;
    QTest::newRow("every edit undone") << "e5=x e6=y U U" << "a3 b3 c3" << false;
    QTest::newRow("undo with nothing to undo") << "U" << "a3 b3 c3" << false;
    QTest::newRow("redo with Ctrl+Y and Ctrl+Shift+Z") << "e5=x e6=y U U Y Z" << "xa3 yb3 c3" << true;
    QTest::newRow("a new edit drops what was undone") << "e5=x e6=y U e7=z Y" << "xa3 b3 zc3" << true;
    QTest::newRow("the cell's own typing first") << "e5=x t6=y +q U" << "xa3 yb3 c3" << true;
    QTest::newRow("then the steps before") << "e5=x t6=y U U" << "a3 b3 c3" << false;
    QTest::newRow("undone past a save") << "e5=x S U" << "a3 b3 c3" << true;
    QTest::newRow("back to the save") << "e5=x S U Y" << "xa3 b3 c3" << false;
    QTest::newRow("the save's state gone for good") << "e5=x S U e6=y U Y" << "a3 yb3 c3" << true;
  }
  void undoRedo() {
    QFETCH(QString, script);
    QFETCH(QString, values);
    QFETCH(bool, changed);
    load(buildingFile({"a", "b", "c"}));
    const QHash<QChar, QKeyCombination> keys{{QLatin1Char('U'), Qt::CTRL | Qt::Key_Z},
                                             {QLatin1Char('Y'), Qt::CTRL | Qt::Key_Y},
                                             {QLatin1Char('Z'), Qt::CTRL | Qt::SHIFT | Qt::Key_Z}};
    for (const QString& step : script.split(QLatin1Char(' '))) {
      if (step.startsWith(QLatin1Char('e')) || step.startsWith(QLatin1Char('t'))) {
        focusCell(step.mid(1, 1).toInt(), 3);
        QTest::keyClick(editor(), Qt::Key_Home);
        QTest::keyClicks(editor(), step.mid(3));
        if (step.startsWith(QLatin1Char('e'))) leaveCells();
      } else if (step.startsWith(QLatin1Char('+'))) {
        QTest::keyClick(editor(), Qt::Key_Home);
        QTest::keyClicks(editor(), step.mid(1));
      } else if (step == QStringLiteral("S")) {
        QVERIFY(w->SaveRecord(mWindow.path(QStringLiteral("saved.txt")).toStdString()));
      } else {
        key(keys[step[0]].key(), keys[step[0]].keyboardModifiers());
      }
    }
    QCOMPARE(QStringList({value(5, 3), value(6, 3), value(7, 3)}).join(QLatin1Char(' ')), values);
    QCOMPARE(cell(6, 3)->text(), value(6, 3));
    QCOMPARE(w->dataChanged(), changed);
    QCOMPARE(w->isWindowModified(), changed);
  }

  // An undone value out of view comes back into view, its cell with the focus.
  void undoScrollsToTheCell() {
    QList<QByteArray> units;
    for (int u = 0; u < 60; ++u) units << "u" + QByteArray::number(u) + "_";
    load(buildingFile(units));
    edit(6, 3, QStringLiteral("x"));
    find<QScrollBar>(QStringLiteral("vsbUnits2display"))->setValue(50);
    key(Qt::Key_Z, Qt::ControlModifier);
    QTRY_VERIFY(editor()->hasFocus());
    QCOMPARE(editor()->toPlainText(), QStringLiteral("u1_3"));
    QVERIFY(editor()->geometry() == cell(6, 3)->geometry());
  }

  // Ctrl+F searches the names as typed, or every shown value; Enter and F3 go on, Shift+F3 back,
  // wrapping with a note. Each match is told by its cell's value (each value here is unique).
  void find_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allValues");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("matches");
    const QList<int> next{Qt::Key_F3, Qt::Key_F3, Qt::Key_F3};
    QTest::newRow("names, any case") << "KNI" << false << next
                                     << QStringList{QStringLiteral("Knights_templar"), QStringLiteral("knights Wrapped to the first unit"),
                                                    QStringLiteral("Knights_templar")};
    QTest::newRow("backwards") << "kni" << false << QList<int>{(Qt::SHIFT | Qt::Key_F3).toCombined(), (Qt::SHIFT | Qt::Key_F3).toCombined()}
                               << QStringList{QStringLiteral("Knights_templar Wrapped to the last unit"), QStringLiteral("knights")};
    QTest::newRow("all values") << "spear" << true << QList<int>{Qt::Key_Return, Qt::Key_F3}
                                << QStringList{QStringLiteral("spearmen"), QStringLiteral("long_spear Wrapped to the first unit")};
    QTest::newRow("no match") << "zzz" << true << QList<int>{Qt::Key_Return} << QStringList{QStringLiteral("- No match")};
  }
  void find() {
    QFETCH(QString, text);
    QFETCH(bool, allValues);
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, matches);
    QByteArray file = buildingFile({"a", "b", "c", "d", "e"});
    file.replace("\tb2\t", "\tknights\t").replace("\td2\t", "\tKnights_templar\t").replace("\tc5\t", "\tlong_spear\t");
    load(file.replace("\te2\t", "\tspearmen\t"));
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    auto* findText = find<QLineEdit>(QStringLiteral("txtFind"));
    QTRY_VERIFY(findText && findText->hasFocus());
    if (allValues) find<QAbstractButton>(QStringLiteral("chkFindAllValues"))->setChecked(true);
    QTest::keyClicks(findText, text);
    for (int k = 0; k < keys.size(); ++k) {
      key(keys[k] & ~Qt::KeyboardModifierMask, Qt::KeyboardModifiers(keys[k] & Qt::KeyboardModifierMask));
      const QString at = editor()->hasFocus() ? editor()->toPlainText() : QStringLiteral("-");
      const QString note = find<QLabel>(QStringLiteral("lblFindNote"))->text();
      QCOMPARE(note.isEmpty() ? at : at + QLatin1Char(' ') + note, matches[k]);
    }
  }
};

QTEST_MAIN(TestModding)
#include "tst_modding.moc"
