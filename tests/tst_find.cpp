#include "EditorFixture.h"
#include "RecordGrid.h"

using namespace DataText;

// In a list of keys: a click on the find bar's previous-match button.
constexpr QKeyCombination kPreviousButton = Qt::Key_unknown;

// The find bar: names or every shown value, forwards and back, wrapping at either end; and its
// replace row.
class TestFind : public QObject, EditorFixture {
  Q_OBJECT

  using EditorFixture::find;

  void loadUnits() {
    QByteArray file = dataFile(2, 5);
    file.replace("\tr2f2\t", "\tknights\t").replace("\tr3f2\t", "\tKnights_templar\t").replace("\tr3f5\t", "\tlong_spear\t");
    loadText(2, file.replace("\tr5f2\t", "\tspearmen\t"));
  }
  // Every value of the units as "record:field value", less those in `before`.
  QStringList values(const QStringList& before = {}) const {
    QStringList cells;
    for (int r = 5; r <= w->record().NoUnits(); ++r)
      for (int f = 1; f <= 28; ++f) {
        const QString cell = QStringLiteral("%1:%2 %3").arg(r).arg(f).arg(CodePage::toQString(std::string(w->record().value(r, f))));
        if (!before.contains(cell)) cells << cell;
      }
    return cells;
  }
  // The cells of the page marked as values the file cannot hold, as "record:field".
  QStringList problems() const {
    QStringList cells;
    for (int r = 5; r <= w->record().NoUnits(); ++r)
      for (int f = 1; f <= 28; ++f)
        if (!cellOf(r, f)->mark().isEmpty()) cells << QStringLiteral("%1:%2").arg(r).arg(f);
    return cells;
  }

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  // Ctrl+F searches the names as typed, or every shown value; Enter and F3 go on, Shift+F3 back,
  // wrapping with a note. Each match is told by its cell's value (each value here is unique); the
  // two knights are neighbours, so that the next match can be the very next unit.
  void find_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allValues");
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<QStringList>("matches");
    const QKeyCombination f3 = Qt::Key_F3, back = Qt::SHIFT | Qt::Key_F3, button = kPreviousButton;
    QTest::newRow("names, any case") << "KNI" << false << QList{f3, f3, f3}
                                     << QStringList{QStringLiteral("Knights_templar"), QStringLiteral("knights Wrapped to the first unit"),
                                                    QStringLiteral("Knights_templar")};
    QTest::newRow("backwards") << "kni" << false << QList{back, back}
                               << QStringList{QStringLiteral("Knights_templar Wrapped to the last unit"), QStringLiteral("knights")};
    QTest::newRow("the previous-match button")
        << "kni" << false << QList{button, button}
        << QStringList{QStringLiteral("Knights_templar Wrapped to the last unit"), QStringLiteral("knights")};
    QTest::newRow("all values") << "spear" << true << QList<QKeyCombination>{Qt::Key_Return, f3}
                                << QStringList{QStringLiteral("spearmen"), QStringLiteral("long_spear Wrapped to the first unit")};
    QTest::newRow("no match") << "zzz" << true << QList<QKeyCombination>{Qt::Key_Return} << QStringList{QStringLiteral("- No match")};
    QTest::newRow("an edited value") << "pike" << true << QList<QKeyCombination>{Qt::Key_Return}
                                     << QStringList{QStringLiteral("pikeman Wrapped to the first unit")};
  }
  void find() {
    QFETCH(QStringList, matches);
    loadUnits();
    edit(8, 3, QStringLiteral("pikeman"));
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    auto* findText = find<QLineEdit>(QStringLiteral("txtFind"));
    QTRY_VERIFY(findText && findText->hasFocus());
    if (fetched<bool>("allValues")) find<QAbstractButton>(QStringLiteral("chkFindAllValues"))->setChecked(true);
    QTest::keyClicks(findText, fetched<QString>("text"));
    for (const QKeyCombination keys : fetched<QList<QKeyCombination>>("keys")) {
      if (keys == kPreviousButton) QTest::mouseClick(find<QToolButton>(QStringLiteral("cmdFindPrevious")), Qt::LeftButton);
      else key(keys);
      const QString at = editor()->hasFocus() ? editor()->toPlainText() : QStringLiteral("-");
      const QString note = find<QLabel>(QStringLiteral("lblFindNote"))->text();
      QCOMPARE(note.isEmpty() ? at : at + QLatin1Char(' ') + note, matches.takeFirst());
    }
  }
  // Alt+R replaces the match found last and goes on to the next; Alt+A replaces every match, in
  // the selected block or else in the units. Each replace is one step: Ctrl+Z puts back all its
  // values at once, Ctrl+Y makes them again.
  void replace_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QString>("options");  // "all" values, "case", "whole", "block" of units 7-8, fields 5-6
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<QStringList>("changes");  // "record:field value"
    QTest::addColumn<QString>("note");
    QTest::addColumn<int>("steps");
    const QKeyCombination one = Qt::ALT | Qt::Key_R, all = Qt::ALT | Qt::Key_A;
    QTest::newRow("Alt+R, then the next match") << "kni" << "X" << "" << QList{one, one}
                                                << QStringList{QStringLiteral("6:2 Xghts"), QStringLiteral("7:2 Xghts_templar")}
                                                << "No match" << 2;
    QTest::newRow("Alt+R, one of all values") << "spear" << "pike" << "all" << QList{one} << QStringList{QStringLiteral("7:5 long_pike")}
                                              << "Replaced 1 value" << 1;
    QTest::newRow("Alt+A, names, any case") << "KNI" << "Squi" << "" << QList{all}
                                            << QStringList{QStringLiteral("6:2 Squights"), QStringLiteral("7:2 Squights_templar")}
                                            << "Replaced 2 values" << 1;
    QTest::newRow("Alt+A, match case") << "Kni" << "X" << "case" << QList{all} << QStringList{QStringLiteral("7:2 Xghts_templar")}
                                       << "Replaced 1 value" << 1;
    QTest::newRow("Alt+A, whole value") << "KNIGHTS" << "Templar" << "whole" << QList{all} << QStringList{QStringLiteral("6:2 Templar")}
                                        << "Replaced 1 value" << 1;
    QTest::newRow("Alt+A, all values") << "spear" << "\u00e9p\u00e9e" << "all" << QList{all}
                                       << QStringList{QStringLiteral("7:5 long_\u00e9p\u00e9e"), QStringLiteral("9:2 \u00e9p\u00e9emen")}
                                       << "Replaced 2 values" << 1;
    QTest::newRow("Alt+A, a block's values") << "spear" << "pike" << "all block" << QList{all}
                                             << QStringList{QStringLiteral("7:5 long_pike")} << "Replaced 1 value" << 1;
    QTest::newRow("Alt+A, the names of a block's units") << "kni" << "X" << "block" << QList{all}
                                                         << QStringList{QStringLiteral("7:2 Xghts_templar")} << "Replaced 1 value" << 1;
  }
  void replace() {
    QFETCH(QStringList, changes);
    const QString options = fetched<QString>("options");
    loadUnits();
    const QStringList before = values();
    QTest::keyClick(w, Qt::Key_H, Qt::ControlModifier);
    auto* findText = find<QLineEdit>(QStringLiteral("txtFind"));
    QTRY_VERIFY(findText && findText->hasFocus());
    find<QAbstractButton>(QStringLiteral("chkFindAllValues"))->setChecked(options.contains(QStringLiteral("all")));
    find<QAbstractButton>(QStringLiteral("chkMatchCase"))->setChecked(options.contains(QStringLiteral("case")));
    find<QAbstractButton>(QStringLiteral("chkWholeValue"))->setChecked(options.contains(QStringLiteral("whole")));
    if (options.contains(QStringLiteral("block"))) w->findChild<RecordGrid*>()->selectBlock({7, 8, 5, 6});
    QTest::keyClicks(findText, fetched<QString>("text"));
    key(Qt::Key_Tab);
    QVERIFY(find(QStringLiteral("txtReplace"))->hasFocus());
    find<QLineEdit>(QStringLiteral("txtReplace"))->insert(fetched<QString>("with"));
    for (const QKeyCombination keys : fetched<QList<QKeyCombination>>("keys")) key(keys);
    QCOMPARE(values(before), changes);
    QCOMPARE(find<QLabel>(QStringLiteral("lblFindNote"))->text(), fetched<QString>("note"));
    QCOMPARE(w->dataChanged(), !changes.isEmpty());
    focusCell(0);
    for (int step = 0; step < fetched<int>("steps"); ++step) key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(values(before), QStringList());
    QVERIFY(!w->dataChanged());
    for (int step = 0; step < fetched<int>("steps"); ++step) key(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(values(before), changes);
  }

  // A value the file cannot hold gets the red mark, as when typed; undone, the mark goes.
  void replacedValueIsChecked() {
    loadUnits();
    QTest::keyClick(w, Qt::Key_H, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("knights"));
    find<QLineEdit>(QStringLiteral("txtReplace"))->setText(QStringLiteral("\"knights"));
    key(Qt::ALT | Qt::Key_A);
    QCOMPARE(problems(), (QStringList{QStringLiteral("6:2"), QStringLiteral("7:2")}));
    QVERIFY(status().startsWith(QStringLiteral("Cannot be saved as it is: Record 6")));
    focusCell(0);
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(problems(), QStringList());
  }

  // Ctrl+F shows the bar without the replace row, and the row's options then do not count.
  void findHasNoReplaceRow() {
    loadUnits();
    QTest::keyClick(w, Qt::Key_H, Qt::ControlModifier);
    QTRY_VERIFY(find(QStringLiteral("txtReplace"))->isVisible());
    shoot(w, QStringLiteral("Find and replace.png"));
    find<QAbstractButton>(QStringLiteral("chkWholeValue"))->setChecked(true);
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!find(QStringLiteral("txtReplace"))->isVisible());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("kni"));
    key(Qt::Key_Return);
    QCOMPARE(editor()->toPlainText(), QStringLiteral("Knights_templar"));  // the second match: "kni" is not a whole value
  }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
