#include <QtTest>

#include "CRecordData.h"
#include "Fetch.h"
#include "Platform.h"

namespace {

QString columns(const CRecordData& record) {
  QStringList fields;
  for (int c = 1; c <= record.NoFieldsInSelectedRange(); ++c)
    fields << QString::number(record.actualFieldNoInSelectedRange(c));
  return fields.join(", ");
}

QString numbers(int from, int to) {
  QStringList list;
  for (int i = from; i <= to; ++i) list << QString::number(i);
  return list.join(", ");
}

}  // namespace

// Field ranges and display widths: the text a user types for them, and what the store keeps.
class TestRanges : public QObject {
  Q_OBJECT

 private slots:
  void init() { Platform::setScreenTwips({15360, 11520}); }

  void rangeText_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<int>("status");
    QTest::newRow("span") << 1 << "1 to 5," << "1, 2, 3, 4, 5" << 0;
    QTest::newRow("descending span") << 1 << "5 to 1," << "5" << 0;
    QTest::newRow("text after the last comma ignored") << 1 << "2, 9" << "2" << 0;
    QTest::newRow("zero lower bound") << 1 << "0 to 2," << "1, 1, 2" << 2;
    QTest::newRow("the last field") << 1 << "71," << "71" << 0;
    QTest::newRow("past the last field") << 1 << "70 to 75," << "70, 71, 71, 71, 71, 71" << 1;
    QTest::newRow("two commas alone") << 1 << ",," << "1, 1" << 2;
    QTest::newRow("more fields than the kind has") << 1 << "1 to 71, 5," << numbers(1, 71) << 4;
    QTest::newRow("nothing after to") << 1 << "5 to," << "5" << 4;
    QTest::newRow("number too large for a Long") << 1 << "7, 12345678901," << "7, 8" << 6;
    QTest::newRow("too large upper bound keeps the previous") << 1 << "3 to 4, 6 to 99999999999," << "3, 4, 6" << 6;
    QTest::newRow("the largest Long, which cannot be counted past") << 1 << "2147483647," << QString("71, ").repeated(70) + "71" << 6;
    QTest::newRow("blanks inside a number") << 1 << " 1 2 ,1 to 2 0," << "12, " + numbers(1, 20) << 0;
    QTest::newRow("fractions rounded down") << 1 << "2.9, -0.5," << "2, 1" << 2;
    QTest::newRow("building file limit") << 2 << "27 to 30," << "27, 28, 28, 28" << 1;
  }
  void rangeText() {
    CRecordData record;
    record.initRanges(fetched<int>("kind"));
    QCOMPARE(record.setRange(4, fetched<QString>("text").toStdString()), fetched<int>("status"));
    record.setRangeSelected(4);
    QCOMPARE(columns(record), fetched<QString>("columns"));
    // The stored form is itself range text that restores the same range.
    const std::string stored = record.getSelRangeArrayStr();
    record.setRange(5, stored);
    QCOMPARE(record.getSelRangeArrayStr(5), stored);
  }

  void widthFromText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("above the screen maximum") << "20000" << 14560;
    QTest::newRow("beyond a double") << "1e9223372036854775807" << 14560;
    QTest::newRow("below a double") << "0.01e-9223372036854775808" << 11000;
    QTest::newRow("just below the minimum") << "669" << 670;
    QTest::newRow("minus one") << "-1" << -1;
    QTest::newRow("zero restores the default") << "0" << 11000;
    QTest::newRow("empty text") << "" << 11000;
    QTest::newRow("half to even, down") << "700.5" << 700;
    QTest::newRow("half to even, up") << "701.5" << 702;
    QTest::newRow("blanks inside") << "1 2 0 0" << 1200;
  }
  void widthFromText() {
    CRecordData record;
    record.initRanges(1);
    record.setRange(3, "49,");
    record.setRangeSelected(3);
    record.setDisplayWidth(1, fetched<QString>("text").toStdString());
    QCOMPARE(record.DisplayWidth(1), fetched<int>("width"));
  }

  void widthsBelongToFields() {
    CRecordData record;
    record.initRanges(1);
    record.setRangeSelected(2);
    record.setDisplayWidth(1, "5000");
    QCOMPARE(record.DisplayWidth(1), 5000);
    record.setRangeSelected(1);
    QCOMPARE(record.DisplayWidth(22), 5000);
    QCOMPARE(record.DisplayWidth(21), 670);
  }

  // A width list comes back as it was stored, on a narrower screen with the widest at its maximum;
  // a shorter list sets the first widths and gives the rest their defaults.
  void widthList() {
    CRecordData record, fresh;
    record.initRanges(1);
    fresh.initRanges(1);
    record.setDisplayWidth(1, "14000");
    record.setDisplayWidth(2, "max");
    const std::string list = record.getWidthArrayStr();
    QCOMPARE(record.setAllDisplayWidths("1000, "), 0);
    QCOMPARE(record.DisplayWidth(1), 1000);
    QCOMPARE(record.DisplayWidth(2), fresh.DisplayWidth(2));
    record.setAllDisplayWidths(list);
    QCOMPARE(record.getWidthArrayStr(), list);
    Platform::setScreenTwips({12000, 9000});
    record.setAllDisplayWidths(list);
    QCOMPARE(record.DisplayWidth(1), 11200);
    QCOMPARE(record.DisplayWidth(2), -1);
    QCOMPARE(record.DisplayWidth(51), 9000);
  }
};

QTEST_APPLESS_MAIN(TestRanges)
#include "tst_ranges.moc"
