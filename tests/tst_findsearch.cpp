#include <QtTest>

#include "CRecordData.h"
#include "DataText.h"
#include "Fetch.h"
#include "FindSearch.h"
#include "Platform.h"

// Find's walk through a building file of five units (records 5 to 9): the names are "r1f2",
// "knights", "Knights_templar", "\xc9lan" and "spearmen"; record 7 has "long_spear" in field 5 and
// record 8 "pikeman", as edited, in field 3.
class TestFindSearch : public QObject {
  Q_OBJECT

 private slots:
  void init() { Platform::setScreenTwips({15360, 11520}); }

  void next_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("allValues");
    QTest::addColumn<QString>("range");  // the selected range's fields; empty: all of them
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<bool>("startCounts");
    QTest::addColumn<QString>("match");  // "record:column", "wrapped" when it was; "none"
    QTest::newRow("a name, case aside") << QByteArray("KNI") << false << "" << 5 << 1 << false << true << "6:0";
    QTest::newRow("a match in the start cell counts") << QByteArray("knights") << false << "" << 6 << 1 << false << true << "6:0";
    QTest::newRow("the next name after the start") << QByteArray("kni") << false << "" << 6 << 1 << false << false << "7:0";
    QTest::newRow("wrapped at the last unit") << QByteArray("kni") << false << "" << 7 << 1 << false << false << "6:0 wrapped";
    QTest::newRow("backwards") << QByteArray("kni") << false << "" << 7 << 1 << true << false << "6:0";
    QTest::newRow("backwards, wrapped at the first unit") << QByteArray("kni") << false << "" << 6 << 1 << true << false
                                                          << "7:0 wrapped";
    QTest::newRow("case beyond ASCII") << QByteArray("\xe9LAN") << false << "" << 5 << 1 << false << true << "8:0";
    QTest::newRow("names only pass other fields") << QByteArray("long") << false << "" << 5 << 1 << false << true << "none";
    QTest::newRow("header rows are not units") << QByteArray("h1f") << true << "" << 5 << 1 << false << true << "none";
    QTest::newRow("no match") << QByteArray("zzz") << true << "" << 5 << 1 << false << true << "none";
    QTest::newRow("nothing to find") << QByteArray() << true << "" << 5 << 1 << false << true << "none";
    QTest::newRow("all values, field by field") << QByteArray("spear") << true << "" << 5 << 1 << false << true << "7:5";
    QTest::newRow("all values, the next unit") << QByteArray("spear") << true << "" << 7 << 5 << false << false << "9:2";
    QTest::newRow("all values, wrapped") << QByteArray("spear") << true << "" << 9 << 2 << false << false << "7:5 wrapped";
    QTest::newRow("all values, back within a unit") << QByteArray("SPEAR") << true << "" << 7 << 6 << true << false << "7:5";
    QTest::newRow("an edited value") << QByteArray("pike") << true << "" << 5 << 1 << false << true << "8:3";
    QTest::newRow("a selected range's columns") << QByteArray("spear") << true << "5, 2, " << 5 << 1 << false << true << "7:1";
    QTest::newRow("a column past the range starts at its last") << QByteArray("spear") << true << "5, 2, " << 7 << 9 << false << true
                                                                << "9:2";
  }
  void next() {
    QByteArray text = DataText::dataFile(2, 5);
    text.replace("\tr2f2\t", "\tknights\t").replace("\tr3f2\t", "\tKnights_templar\t").replace("\tr4f2\t", "\t\xc9lan\t");
    text.replace("\tr3f5\t", "\tlong_spear\t").replace("\tr5f2\t", "\tspearmen\t");
    CRecordData store;
    store.initRanges(2);
    QVERIFY(store.createRecord(text.toStdString(), "in.txt"));
    store.setValue(8, 3, "pikeman");
    if (!fetched<QString>("range").isEmpty()) {
      store.setRange(4, fetched<QString>("range").toStdString());
      store.setRangeSelected(4);
    }
    FindSearch::Request request;
    request.text = fetched<QByteArray>("text").toStdString();
    request.firstUnit = 5;
    request.nameField = 2;
    request.allValues = fetched<bool>("allValues");
    request.record = fetched<int>("record");
    request.column = fetched<int>("column");
    request.backwards = fetched<bool>("backwards");
    request.startCounts = fetched<bool>("startCounts");
    const auto match = FindSearch::next(store, request);
    const QString found = !match ? QStringLiteral("none")
                                 : QStringLiteral("%1:%2%3").arg(match->record).arg(match->column).arg(match->wrapped ? " wrapped" : "");
    QCOMPARE(found, fetched<QString>("match"));
  }
};

QTEST_APPLESS_MAIN(TestFindSearch)
#include "tst_findsearch.moc"
