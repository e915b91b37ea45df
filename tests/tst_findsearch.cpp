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

  static bool load(CRecordData& store) {
    QByteArray text = DataText::dataFile(2, 5);
    text.replace("\tr2f2\t", "\tknights\t").replace("\tr3f2\t", "\tKnights_templar\t").replace("\tr4f2\t", "\t\xc9lan\t");
    text.replace("\tr3f5\t", "\tlong_spear\t").replace("\tr5f2\t", "\tspearmen\t");
    store.initRanges(2);
    if (!store.createRecord(text.toStdString(), "in.txt")) return false;
    store.setValue(8, 3, "pikeman");
    return true;
  }

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
    QTest::addColumn<QString>("options");  // "case" for Match case, "whole" for Whole value
    QTest::newRow("a name, case aside") << QByteArray("KNI") << false << "" << 5 << 1 << false << true << "6:0" << "";
    QTest::newRow("a match in the start cell counts") << QByteArray("knights") << false << "" << 6 << 1 << false << true << "6:0" << "";
    QTest::newRow("the next name after the start") << QByteArray("kni") << false << "" << 6 << 1 << false << false << "7:0" << "";
    QTest::newRow("wrapped at the last unit") << QByteArray("kni") << false << "" << 7 << 1 << false << false << "6:0 wrapped" << "";
    QTest::newRow("backwards") << QByteArray("kni") << false << "" << 7 << 1 << true << false << "6:0" << "";
    QTest::newRow("backwards, wrapped at the first unit") << QByteArray("kni") << false << "" << 6 << 1 << true << false
                                                          << "7:0 wrapped" << "";
    QTest::newRow("case beyond ASCII") << QByteArray("\xe9LAN") << false << "" << 5 << 1 << false << true << "8:0" << "";
    QTest::newRow("names only pass other fields") << QByteArray("long") << false << "" << 5 << 1 << false << true << "none" << "";
    QTest::newRow("header rows are not units") << QByteArray("h1f") << true << "" << 5 << 1 << false << true << "none" << "";
    QTest::newRow("no match") << QByteArray("zzz") << true << "" << 5 << 1 << false << true << "none" << "";
    QTest::newRow("nothing to find") << QByteArray() << true << "" << 5 << 1 << false << true << "none" << "";
    QTest::newRow("all values, field by field") << QByteArray("spear") << true << "" << 5 << 1 << false << true << "7:5" << "";
    QTest::newRow("all values, the next unit") << QByteArray("spear") << true << "" << 7 << 5 << false << false << "9:2" << "";
    QTest::newRow("all values, wrapped") << QByteArray("spear") << true << "" << 9 << 2 << false << false << "7:5 wrapped" << "";
    QTest::newRow("all values, back within a unit") << QByteArray("SPEAR") << true << "" << 7 << 6 << true << false << "7:5" << "";
    QTest::newRow("an edited value") << QByteArray("pike") << true << "" << 5 << 1 << false << true << "8:3" << "";
    QTest::newRow("a selected range's columns") << QByteArray("spear") << true << "5, 2, " << 5 << 1 << false << true << "7:1" << "";
    QTest::newRow("a column past the range starts at its last") << QByteArray("spear") << true << "5, 2, " << 7 << 9 << false << true
                                                                << "9:2" << "";
    QTest::newRow("match case passes other cases") << QByteArray("Kni") << false << "" << 5 << 1 << false << true << "7:0" << "case";
    QTest::newRow("match case beyond ASCII") << QByteArray("\xe9lan") << false << "" << 5 << 1 << false << true << "none" << "case";
    QTest::newRow("whole value") << QByteArray("KNIGHTS") << false << "" << 7 << 1 << false << true << "6:0 wrapped" << "whole";
    QTest::newRow("whole value and case") << QByteArray("Knights") << false << "" << 5 << 1 << false << true << "none" << "case whole";
    QTest::newRow("whole value among all values") << QByteArray("LONG_SPEAR") << true << "" << 5 << 1 << false << true << "7:5"
                                                  << "whole";
  }
  void next() {
    CRecordData store;
    QVERIFY(load(store));
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
    request.matchCase = fetched<QString>("options").contains(QStringLiteral("case"));
    request.wholeValue = fetched<QString>("options").contains(QStringLiteral("whole"));
    const auto match = FindSearch::next(store, request);
    const QString found = !match ? QStringLiteral("none")
                                 : QStringLiteral("%1:%2%3").arg(match->record).arg(match->column).arg(match->wrapped ? " wrapped" : "");
    QCOMPARE(found, fetched<QString>("match"));
  }

  // Replace All over the units (names, or every shown value) or over a block; the changes listed
  // as "record:field before>after". Record 9 holds "ab-AB-ab" in field 4 and "aaa" in field 6.
  void replaceAll_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("with");
    QTest::addColumn<QString>("options");  // "case", "whole", "all" for all values
    QTest::addColumn<QString>("block");    // "records columns" as "7-9 5-5"; empty: the units
    QTest::addColumn<int>("longest");      // -1: no limit
    QTest::addColumn<QByteArrayList>("changes");
    QTest::addColumn<int>("tooLong");
    QTest::newRow("names, case aside") << QByteArray("KNI") << QByteArray("Squi") << "" << "" << -1
                                       << QByteArrayList{"6:2 knights>Squights", "7:2 Knights_templar>Squights_templar"} << 0;
    QTest::newRow("match case") << QByteArray("Kni") << QByteArray("X") << "case" << "" << -1
                                << QByteArrayList{"7:2 Knights_templar>Xghts_templar"} << 0;
    QTest::newRow("whole value") << QByteArray("KNIGHTS") << QByteArray("X") << "whole" << "" << -1 << QByteArrayList{"6:2 knights>X"}
                                 << 0;
    QTest::newRow("all values") << QByteArray("spear") << QByteArray("pike") << "all" << "" << -1
                                << QByteArrayList{"7:5 long_spear>long_pike", "9:2 spearmen>pikemen"} << 0;
    QTest::newRow("an edited value") << QByteArray("PIKE") << QByteArray("lance") << "all" << "" << -1
                                     << QByteArrayList{"8:3 pikeman>lanceman"} << 0;
    QTest::newRow("every match in a value, longer") << QByteArray("ab") << QByteArray("xyz") << "all" << "" << -1
                                                    << QByteArrayList{"9:4 ab-AB-ab>xyz-xyz-xyz"} << 0;
    QTest::newRow("an empty replacement deletes") << QByteArray("ab") << QByteArray() << "all" << "" << -1
                                                  << QByteArrayList{"9:4 ab-AB-ab>--"} << 0;
    QTest::newRow("matches left to right, not overlapping") << QByteArray("aa") << QByteArray("b") << "all" << "" << -1
                                                             << QByteArrayList{"9:6 aaa>ba"} << 0;
    QTest::newRow("case beyond ASCII") << QByteArray("\xe9LAN") << QByteArray("\xc8" "cu") << "" << "" << -1
                                       << QByteArrayList{"8:2 \xc9lan>\xc8" "cu"} << 0;
    QTest::newRow("a block's values") << QByteArray("spear") << QByteArray("pike") << "all" << "7-9 5-5" << -1
                                      << QByteArrayList{"7:5 long_spear>long_pike"} << 0;
    QTest::newRow("the names of a block's units") << QByteArray("spear") << QByteArray("pike") << "" << "7-9 5-5" << -1
                                                  << QByteArrayList{"9:2 spearmen>pikemen"} << 0;
    QTest::newRow("a block leaves header rows out") << QByteArray("F28") << QByteArray("x") << "all" << "1-6 28-28" << -1
                                                    << QByteArrayList{"5:28 r1f28>r1x", "6:28 r2f28>r2x"} << 0;
    QTest::newRow("a block past the last unit and column") << QByteArray("f28") << QByteArray("x") << "all" << "9-12 27-30" << -1
                                                           << QByteArrayList{"9:28 r5f28>r5x"} << 0;
    QTest::newRow("a replacement the same as the value") << QByteArray("KNIGHTS") << QByteArray("knights") << "whole" << "" << -1
                                                         << QByteArrayList() << 0;
    QTest::newRow("too long to hold") << QByteArray("kni") << QByteArray("0123456") << "" << "" << 11
                                      << QByteArrayList{"6:2 knights>0123456ghts"} << 1;
  }
  void replaceAll() {
    CRecordData store;
    QVERIFY(load(store));
    store.setValue(9, 4, "ab-AB-ab");
    store.setValue(9, 6, "aaa");
    const QString options = fetched<QString>("options");
    FindSearch::Request request;
    request.text = fetched<QByteArray>("text").toStdString();
    request.firstUnit = 5;
    request.nameField = 2;
    request.allValues = options.contains(QStringLiteral("all"));
    request.matchCase = options.contains(QStringLiteral("case"));
    request.wholeValue = options.contains(QStringLiteral("whole"));
    FindSearch::Replace replace{fetched<QByteArray>("with").toStdString()};
    if (fetched<int>("longest") >= 0) replace.longest = std::size_t(fetched<int>("longest"));
    FindSearch::Cells where = FindSearch::inUnits(store, request);
    if (const QStringList block = fetched<QString>("block").split(QRegularExpression(QStringLiteral("[ -]"))); block.size() == 4)
      where = FindSearch::inBlock(store, request, {block[0].toInt(), block[1].toInt(), block[2].toInt(), block[3].toInt()});
    const FindSearch::Replacement made = FindSearch::replaceAll(store, request, replace, where);
    QByteArrayList changes;
    for (const CellChanges::Cell& cell : made.cells)
      changes << QByteArray::number(cell.record) + ':' + QByteArray::number(cell.field) + ' ' +
                     QByteArray(cell.before.data(), qsizetype(cell.before.size())) + '>' +
                     QByteArray(cell.after.data(), qsizetype(cell.after.size()));
    QCOMPARE(changes, fetched<QByteArrayList>("changes"));
    QCOMPARE(made.tooLong, std::size_t(fetched<int>("tooLong")));
  }
};

QTEST_APPLESS_MAIN(TestFindSearch)
#include "tst_findsearch.moc"
