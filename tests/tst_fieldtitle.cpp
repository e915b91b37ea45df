#include "EditorFixture.h"
#include "FindSearch.h"

using namespace Qt::StringLiterals;

namespace {

// A building file of 40 units whose header rows title field 20 "Speed" (row 1), field 25 "top
// speed" (row 3), field 12 "speed note" (row 4, which the column's header leaves out) and field 8
// "\xc9lan" (row 2); unit 30 is named "Knightly", and field 22 is titled "Knight rank".
QByteArray titledFile() {
  QByteArray text = DataText::dataFile(2, 40);
  text.replace("\th1f20\t", "\tSpeed\t").replace("\th3f25\t", "\ttop speed\t").replace("\th4f12\t", "\tspeed note\t");
  text.replace("\th2f8\t", "\t\xc9lan\t").replace("\th1f22\t", "\tKnight rank\t").replace("\tr30f2\t", "\tKnightly\t");
  return text.replace("\tr3f7\t", "\tspeed\t");  // a unit's value is no title
}

}  // namespace

// Find's text also finds a field by its title: the column it shows, wherever its header rows
// hold the text, letter case aside.
class TestFieldTitle : public QObject, EditorFixture {
  Q_OBJECT

  // The fields whose columns the grid shows.
  QList<int> fieldsInView() const {
    QList<int> fields;
    for (int c = 0; auto* header = w->findChild<HeaderBox*>(QStringLiteral("txtColumn_%1").arg(c)); ++c)
      if (header->isVisibleTo(w)) fields << header->toPlainText().section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
    return fields;
  }

 private slots:

  void fieldByTitle_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("range");  // the selected range's fields; empty: all of them
    QTest::addColumn<int>("column");     // 0: none
    QTest::newRow("any case, in a header row the header leaves out") << QByteArray("SPEED") << "" << 12;
    QTest::newRow("case beyond ASCII") << QByteArray("\xe9LAN") << "" << 8;
    QTest::newRow("the selected range's columns") << QByteArray("speed") << "25, 3, 20, " << 1;
    QTest::newRow("a field the range leaves out") << QByteArray("lan") << "25, 3, 20, " << 0;
    QTest::newRow("units' values are no titles") << QByteArray("r3f") << "" << 0;
    QTest::newRow("nothing to find") << QByteArray() << "" << 0;
  }
  void fieldByTitle() {
    CRecordData store;
    store.initRanges(2);
    QVERIFY(store.createRecord(titledFile().toStdString(), "in.txt"));
    if (!fetched<QString>("range").isEmpty()) {
      store.setRange(4, fetched<QString>("range").toStdString());
      store.setRangeSelected(4);
    }
    const auto column = FindSearch::fieldByTitle(store, fetched<QByteArray>("text").toStdString(), 5, 1);
    QCOMPARE(column.value_or(0), fetched<int>("column"));
  }

  // The walk from a column on, forwards and back, wrapping, is the window's below.

  // In the window: typing brings the titled field's column into view, beside the unit found by
  // its name; with no unit found, Enter and F3 walk through the titled fields. Each step is told as
  // "cell being edited" (or "-") and the find bar's note.
  void inTheWindow_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allValues");
    QTest::addColumn<int>("field");  // brought into view by typing; negative: kept out of view
    QTest::addColumn<QString>("note");
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<QStringList>("steps");
    const QKeyCombination f3 = Qt::Key_F3, back = Qt::SHIFT | Qt::Key_F3, enter = Qt::Key_Return;
    QTest::newRow("a title alone") << "SPEED" << false << 12 << "Field 12" << QList{enter, f3, f3, back}
                                   << QStringList{u"r1f20 Field 20"_s, u"r1f25 Field 25"_s, u"r1f12 Field 12"_s,
                                                  u"r1f25 Field 25"_s};
    QTest::newRow("a unit and a title") << "knight" << false << 22 << "" << QList{enter}
                                        << QStringList{u"r30f22 Wrapped to the first unit"_s};
    QTest::newRow("all values: the value's own column")
        << "knight" << true << -22 << "" << QList{enter} << QStringList{u"Knightly Wrapped to the first unit"_s};
  }
  void inTheWindow() {
    QFETCH(QStringList, steps);
    const int field = fetched<int>("field");
    loadText(2, titledFile());
    QVERIFY(!fieldsInView().contains(std::abs(field)));
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    if (fetched<bool>("allValues")) find<QAbstractButton>(QStringLiteral("chkFindAllValues"))->setChecked(true);
    QTest::keyClicks(find<QLineEdit>(QStringLiteral("txtFind")), fetched<QString>("text"));
    auto* note = find<QLabel>(QStringLiteral("lblFindNote"));
    QVERIFY2(fieldsInView().contains(std::abs(field)) == (field > 0), qPrintable(note->text()));
    QCOMPARE(note->text(), fetched<QString>("note"));
    for (const QKeyCombination keys : fetched<QList<QKeyCombination>>("keys")) {
      key(keys);
      const QString at = editor()->hasFocus() ? editor()->toPlainText() : QStringLiteral("-");
      QCOMPARE(note->text().isEmpty() ? at : at + QLatin1Char(' ') + note->text(), steps.takeFirst());
    }
  }

  void init() { openWindow(); }
  void cleanup() { closeWindow(); }
};

QTEST_MAIN(TestFieldTitle)
#include "tst_fieldtitle.moc"
