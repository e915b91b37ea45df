#include <QtTest>

#include "BlockChange.h"
#include "CRecordData.h"
#include "DataText.h"
#include "Fetch.h"
#include "NumericFields.h"

// Change Values over many cells, and the number fields that mark a value that is none.
class TestBlockChange : public QObject {
  Q_OBJECT

  // A building file: records 5 to 8 are units; field 3 holds whole numbers and one text, field 4
  // decimals, field 5 text and one number. A header row's decimal in field 3 must not count.
  static QByteArray buildings() {
    QByteArray text = DataText::dataFile(2, 4);
    const char* const cells[][2] = {{"h1f3", "2.5"},      {"r1f2", "Archer"}, {"r2f2", "Horse_ARCHER"},
                                    {"r3f2", "Knight"},   {"r4f2", "Spearman"}, {"r1f3", "10"},
                                    {"r2f3", "15"},       {"r3f3", "x"},      {"r4f3", "20"},
                                    {"r1f4", "1.5"},      {"r2f4", "2"},      {"r3f4", "3"},
                                    {"r4f4", "4"},        {"r1f5", "7"}};
    for (const auto& [from, to] : cells) text.replace("\t" + QByteArray(from) + "\t", "\t" + QByteArray(to) + "\t");
    return text;
  }

  static bool load(CRecordData& store, const QByteArray& text) {
    store.initRanges(2);
    return store.createRecord(text.toStdString(), "in.txt").has_value();
  }

 private slots:
  void change_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QList<int>>("fields");
    QTest::addColumn<int>("firstRecord");
    QTest::addColumn<int>("lastRecord");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("result");
    const auto row = [](const char* name, const char* expression, QList<int> fields, int first, int last, const char* units,
                        const char* result) { QTest::newRow(name) << expression << fields << first << last << units << result; };
    row("a whole field stays whole, half away from zero", "*1.5", {3}, 5, 8, "",
        "3 changed, 0 unchanged, 1 skipped: 5:3 10>15, 6:3 15>23, 8:3 20>30");
    row("a decimal field keeps its decimals", "*1.5", {4}, 5, 8, "",
        "4 changed, 0 unchanged, 0 skipped: 5:4 1.5>2.25, 6:4 2>3, 7:4 3>4.5, 8:4 4>6");
    row("the whole field decides, not the block", "/4", {4}, 6, 6, "", "1 changed, 0 unchanged, 0 skipped: 6:4 2>0.5");
    row("a value left as it was is counted, not kept", "=15", {3}, 5, 8, "",
        "2 changed, 1 unchanged, 1 skipped: 5:3 10>15, 8:3 20>15");
    row("header rows of a block are left alone", "+1", {3}, 1, 6, "", "2 changed, 0 unchanged, 0 skipped: 5:3 10>11, 6:3 15>16");
    row("a block past the last unit", "+1", {4}, 8, 12, "", "1 changed, 0 unchanged, 0 skipped: 8:4 4>5");
    row("names holding the text in any letter case", "-1", {3}, 5, 8, "arch",
        "2 changed, 0 unchanged, 0 skipped: 5:3 10>9, 6:3 15>14");
    row("several fields, field by field", "+10%", {5, 4}, 7, 8, "", "2 changed, 0 unchanged, 2 skipped: 7:4 3>3.3, 8:4 4>4.4");
    row("a result too large changes nothing", "*99999999999999999999999999999999999999", {4, 3}, 6, 8, "", "too large: 6:4 2");
  }
  void change() {
    CRecordData store;
    QVERIFY(load(store, buildings()));
    const auto change = ValueChange::parse(fetched<QString>("expression").toStdString());
    QVERIFY(change);
    ChangeTargets targets;
    for (const int field : fetched<QList<int>>("fields")) targets.fields.push_back(field);
    for (int record = fetched<int>("firstRecord"); record <= fetched<int>("lastRecord"); ++record) targets.records.push_back(record);
    targets.nameContains = fetched<QString>("name").toStdString();
    const auto result = changeValues(store, *change, targets);
    QString text;
    if (!result) {
      const ChangeTooLarge& error = result.error();
      text = QStringLiteral("too large: %1:%2 %3").arg(error.record).arg(error.field).arg(QString::fromStdString(error.value));
    } else {
      text = QStringLiteral("%1 changed, %2 unchanged, %3 skipped:").arg(result->changed).arg(result->unchanged).arg(result->skipped);
      QStringList cells;
      for (const CellChanges::Cell& cell : result->cells)
        cells << QStringLiteral("%1:%2 %3>%4").arg(cell.record).arg(cell.field).arg(QString::fromUtf8(cell.before)).arg(QString::fromUtf8(cell.after));
      text += ' ' + cells.join(QStringLiteral(", "));
      QCOMPARE(result->cells.size(), result->changed);
    }
    QCOMPARE(text, fetched<QString>("result"));
  }

  // A block's display columns are the selected range's fields, its rows the records a sorted
  // view shows there.
  void blockColumns() {
    CRecordData store;
    QVERIFY(load(store, buildings()));
    store.setRange(4, "4, 3, ");
    store.setRangeSelected(4);
    UnitView sorted;
    sorted.showOnly(5, {8, 6, 5});
    const ChangeTargets targets = ChangeTargets::of(store, sorted, CellBlock{5, 6, 1, 2});
    QCOMPARE(targets.fields, (std::vector<std::int32_t>{4, 3}));
    QCOMPARE(targets.records, (std::vector<std::int32_t>{8, 6}));
  }

  void othersHoldNumbers_data() {
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("numbers");
    QTest::newRow("the one text in a number field") << 7 << 3 << true;
    QTest::newRow("a number beside that text") << 5 << 3 << false;
    QTest::newRow("decimals are numbers") << 6 << 4 << true;
    QTest::newRow("a text field") << 6 << 5 << false;
    QTest::newRow("the one number of a text field") << 5 << 5 << false;
    QTest::newRow("a header row's own field is not judged on it") << 1 << 4 << true;
  }
  void othersHoldNumbers() {
    CRecordData store;
    QVERIFY(load(store, buildings()));
    NumericFields numbers;
    // Edits are what is judged, never evidence: not a text typed elsewhere, nor a number typed over the text.
    store.setValue(6, 4, "abc");
    store.setValue(7, 3, "12");
    QCOMPARE(numbers.othersHoldNumbers(store, fetched<int>("record"), fetched<int>("field")), fetched<bool>("numbers"));
  }

  // Answers belong to one loaded text: another file gets its own.
  void othersHoldNumbersAfterALoad() {
    NumericFields numbers;
    auto store = std::make_unique<CRecordData>();
    QVERIFY(load(*store, buildings()));
    QVERIFY(numbers.othersHoldNumbers(*store, 6, 4));
    store = std::make_unique<CRecordData>();
    QByteArray text = buildings();
    QVERIFY(load(*store, text.replace("\t3\t", "\tthree\t")));
    QVERIFY(!numbers.othersHoldNumbers(*store, 6, 4));
  }
};

QTEST_APPLESS_MAIN(TestBlockChange)
#include "tst_blockchange.moc"
