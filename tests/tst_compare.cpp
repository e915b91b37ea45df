#include "EditorFixture.h"

using namespace DataText;

namespace {

// A building file of `units` units with the edits "record:field=value" made, separated by blanks.
QByteArray building(int units, const char* edits = "") {
  QList<QByteArray> lines = ("numb" + dataFile(2, units)).split('\n');
  for (const QString& edit : QString::fromLatin1(edits).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QStringList parts = edit.split(QRegularExpression(QStringLiteral("[:=]")));
    QList<QByteArray> cells = lines[parts[0].toInt() - 1].chopped(1).split('\t');
    cells[parts[1].toInt() - 1] = parts[2].toLatin1();
    lines[parts[0].toInt() - 1] = cells.join('\t') + '\r';
  }
  return lines.join('\n');
}

// "6:9 6:20" as a list.
QStringList cells(const char* latin1) { return QString::fromLatin1(latin1).split(QLatin1Char(' '), Qt::SkipEmptyParts); }

}  // namespace

// Comparing the loaded file with any file of its kind, merging another mod three-way, taking its
// values, and F7 / Shift+F7 to the differing values.
class TestCompare : public QObject, EditorFixture {
  Q_OBJECT

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  // Ours changed 5:3 and 6:3, theirs 5:3 alike, 6:3 and 7:3 otherwise; the default copy (when
  // there is one) is the untouched file. The compared file is chosen with Ctrl+D.
  void compareWith_data() {
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QString>("chosen");  // theirs, the default copy, or a unit file
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QString>("hint");  // of 7:3
    const QStringList all = cells("5:3 6:3 7:3");
    QTest::newRow("three-way") << true << "theirs.txt" << "1 can take · 1 same · 1 conflict · 0 ours only" << all
                               << "Can take, other file: t7\nDefault value: r3f3";
    QTest::newRow("two-way without a default copy") << false << "theirs.txt" << "2 differ from other file" << cells("6:3 7:3")
                                                    << "Other file: t7";
    QTest::newRow("the default copy again") << true << "crusader_build_prod13.bak" << "2 differ from default" << cells("5:3 6:3")
                                            << "";
    QTest::newRow("a file of another kind refused") << true << kUnits << "1 can take · 1 same · 1 conflict · 0 ours only" << all
                                                    << "Can take, other file: t7\nDefault value: r3f3";
  }
  void compareWith() {
    QFETCH(QString, chosen);
    if (fetched<bool>("copy")) QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), building(3)));
    QVERIFY(writeFile(mWindow.path(QStringLiteral("theirs.txt")), building(3, "5:3=t 6:3=t6 7:3=t7")));
    loadText(2, building(3, "5:3=t 6:3=o"));
    resizeOuter(28800, 16000);
    if (fetched<bool>("copy")) compare(QStringLiteral("theirs.txt"));
    QStringList seen;
    const QString path = chosen == kUnits ? copyOfSample(kUnits) : mWindow.path(chosen);
    compare(path, chosen == kUnits ? QStringList{path + QStringLiteral("\r\n\r\nholds another kind of data: only a [Build_prod13] file "
                                                                                  "can be compared with the loaded one.")}
                                   : QStringList());
    QCOMPARE(differences()->text(), fetched<QString>("count"));
    QCOMPARE(marked(), fetched<QStringList>("marks"));
    shoot(w, QStringLiteral("compare-%1.png").arg(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'))));
    QTEST(cellOf(7, 3)->hint().section(QLatin1Char('\n'), 1), "hint");  // after the field's title
    // Only changed units: the units holding a marked value.
    QSet<QString> units;
    for (const QString& mark : fetched<QStringList>("marks")) units << mark.section(QLatin1Char(':'), 0, 0);
    find<QCheckBox>(QStringLiteral("chkOnlyChanged"))->click();
    QCOMPARE(status(), QStringLiteral("showing %1 of 3 units").arg(units.size()));
    // Loading a file goes back to the default copy.
    loadText(2, building(3, "5:3=t 6:3=o"));
    QCOMPARE(differences()->isVisible() ? differences()->text() : QString(), QString::fromLatin1(fetched<bool>("copy") ? "2 differ from default" : ""));
  }

  // Take Other Value on a conflict and Take All Non-Conflicting (Ctrl+Shift+D or the menu), each
  // one step to undo.
  void takeValues_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("values");  // 5:3 6:3 7:3 8:3 after it
    QTest::addColumn<QString>("count");
    QTest::newRow("conflict taken") << "Take Other Value" << cells("t6 o r3f3 r4f3")
                                    << "2 can take · 1 same · 0 conflicts · 1 ours only";
    QTest::newRow("all non-conflicting by key") << "Ctrl+Shift+D" << cells("o6 o t7 t8")
                                                << "0 can take · 2 same · 1 conflict · 1 ours only";
    QTest::newRow("all non-conflicting from the menu") << "Take All Non-Conflicting" << cells("o6 o t7 t8")
                                                       << "0 can take · 2 same · 1 conflict · 1 ours only";
  }
  void takeValues() {
    QFETCH(QString, action);
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), building(4)));
    QVERIFY(writeFile(mWindow.path(QStringLiteral("theirs.txt")), building(4, "5:3=t6 7:3=t7 8:3=t8")));
    const QByteArray ours = building(4, "5:3=o6 6:3=o");
    loadText(2, ours);
    resizeOuter(28800, 16000);
    compare(QStringLiteral("theirs.txt"));
    const QString before = differences()->text();
    QCOMPARE(before, QStringLiteral("2 can take · 0 same · 1 conflict · 1 ours only"));
    edit(5, 3, QString(), false);
    if (action == QLatin1String("Ctrl+Shift+D")) key(Qt::CTRL | Qt::SHIFT | Qt::Key_D);
    else chooseFromCellMenu(action, cellOf(5, 3));
    QStringList values;
    for (int r = 5; r <= 8; ++r) values << QString::fromStdString(std::string(w->record().value(r, 3)));
    QTEST(values, "values");
    QTEST(differences()->text(), "count");
    w->activateWindow();
    QTRY_VERIFY(w->isActiveWindow());
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(differences()->text(), before);
    QCOMPARE(w->record().value(7, 3), "r3f3");
    QCOMPARE(w->record().value(5, 3), "o6");
  }

  // F7 and Shift+F7 go to the next and previous differing value, rows first, across pages; at
  // either end the focus stays.
  void goToDifference_data() {
    QTest::addColumn<QString>("start");  // record:field focused first; empty: none
    QTest::addColumn<QList<int>>("keys");  // 1 F7, -1 Shift+F7
    QTest::addColumn<QStringList>("visited");
    QTest::newRow("forward from no cell") << "" << QList<int>{1, 1, 1, 1, 1} << cells("6:4 6:20 40:2 80:3 80:3");
    QTest::newRow("back from no cell") << "" << QList<int>{-1, -1} << cells("80:3 40:2");
    QTest::newRow("back from the middle to the start") << "40:1" << QList<int>{-1, -1, -1, 1}
                                                     << cells("6:20 6:4 6:4 6:20");
    QTest::newRow("forward from a differing cell") << "6:4" << QList<int>{1, 1} << cells("6:20 40:2");
  }
  void goToDifference() {
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), building(80)));
    loadText(2, building(80, "84:3=x 10:4=x 44:2=x 10:20=x"));
    resizeOuter(28800, 16000);
    QFETCH(QString, start);
    if (!start.isEmpty()) {
      const int record = start.section(QLatin1Char(':'), 0, 0).toInt() + 4;
      bar("vsbUnits2display")->setValue(record - 1);
      edit(record, start.section(QLatin1Char(':'), 1).toInt(), QString(), false);
    }
    QStringList visited;
    for (const int step : fetched<QList<int>>("keys")) {
      QTest::keyClick(w, Qt::Key_F7, step > 0 ? Qt::NoModifier : Qt::ShiftModifier);
      QTRY_VERIFY(editor()->isVisible());
      int index = 0;  // the cell under the edit box
      while (cell(index)->isHidden() || !cell(index)->geometry().contains(editor()->geometry().center())) ++index;
      visited << QStringLiteral("%1:%2").arg(bar("vsbUnits2display")->value() + index / 39 - 4).arg(bar("hsbFields2Display")->value() + index % 39);
      QVERIFY(cell(index)->differs());
    }
    QTEST(visited, "visited");
  }

  // The unit sample as the loaded mod, the sample as the default copy, another mod of it: the
  // count shows what the diffs of the three files imply, and Ctrl+Shift+D takes the other mod's
  // values where the loaded one kept the default.
  void unitSampleMerge() {
    const QByteArray sample = fileBytes(samplePath(kUnits));
    const auto changed = [&sample](QList<std::pair<int, QByteArray>> cells) {  // field 3 of records
      QList<QByteArray> lines = sample.split('\n');
      for (const auto& [record, value] : cells) {
        QList<QByteArray> fields = lines[record - 1].split('\t');
        fields[2] = value;
        lines[record - 1] = fields.join('\t');
      }
      return lines.join('\n');
    };
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusaders_unit_prod11.bak")), sample));
    QVERIFY(writeFile(mWindow.path(QStringLiteral("theirs.txt")), changed({{5, "11"}, {6, "12"}, {7, "13"}, {9, "14"}})));
    const QByteArray ours = changed({{6, "12"}, {7, "99"}, {8, "98"}});
    QVERIFY(writeFile(mWindow.path(QStringLiteral("mod.txt")), ours));
    QVERIFY(w->LoadRecord(mWindow.path(QStringLiteral("mod.txt")).toStdString(), 0));
    compare(QStringLiteral("theirs.txt"));
    QCOMPARE(differences()->text(), QStringLiteral("2 can take · 1 same · 1 conflict · 1 ours only"));
    key(Qt::CTRL | Qt::SHIFT | Qt::Key_D);
    QStringList values;  // field 3 of records 5 to 9
    for (int r = 5; r <= 9; ++r) values << CodePage::toQString(std::string(w->record().value(r, 3)));
    QCOMPARE(values, cells("11 12 99 98 14"));
  }

 private:
  // Ctrl+D and the file named (in the window's folder unless a full path); the messages expected
  // are answered with OK.
  void compare(const QString& name, const QStringList& messages = {}) {
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>(chooseFile(QFileInfo(name).isAbsolute() ? name : mWindow.path(name), seen));
    for (qsizetype i = 0; i < messages.size(); ++i) answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
    w->activateWindow();
    QTRY_VERIFY(w->isActiveWindow());
    QTest::keyClick(w, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(answerer.allAnswered());
    w->activateWindow();  // the offscreen platform may leave none active after a dialog
    QTRY_VERIFY(w->isActiveWindow());
    QCOMPARE(seen.mid(1).replaceInStrings(QRegularExpression(QStringLiteral("^[^|]*\\|")), QString()), messages);
  }
};

QTEST_MAIN(TestCompare)
#include "tst_compare.moc"
