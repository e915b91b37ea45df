#include <QtTest>

#include <random>
#include <set>

#include "CRecordData.h"
#include "DataText.h"
#include "Fetch.h"
#include "FindSearch.h"
#include "Platform.h"
#include "UnitFilter.h"
#include "UnitOrder.h"

using Units = QList<int>;

// The unit filter and the sorted view's order on building files (header rows 1 to 4, units from 5).
class TestUnitView : public QObject {
  Q_OBJECT

  // A building file whose units hold the given values in `field`, the others "r<k>f<field>".
  static bool load(CRecordData& store, const QByteArrayList& values, int field) {
    QByteArray units;
    for (int k = 1; k <= values.size(); ++k) {
      QList<QByteArray> cells;
      for (int f = 1; f <= 28; ++f) cells << (f == field ? values[k - 1] : 'r' + QByteArray::number(k) + 'f' + QByteArray::number(f));
      units += DataText::record(cells);
    }
    store.initRanges(2);
    return bool(store.createRecord(DataText::dataFile(2, 0, units).toStdString(), "in.txt"));
  }

  static FindSearch::Request request(const QByteArray& text, const QString& options) {
    FindSearch::Request made;
    made.text = text.toStdString();
    made.firstUnit = 5;
    made.nameField = 2;
    made.allValues = options.contains(QStringLiteral("all"));
    made.matchCase = options.contains(QStringLiteral("case"));
    made.wholeValue = options.contains(QStringLiteral("whole"));
    return made;
  }

  // Every unit find stops at, walking from the first unit until it wraps.
  static Units foundByFind(const CRecordData& store, FindSearch::Request request) {
    Units units;
    request.record = request.firstUnit;
    for (auto match = FindSearch::next(store, request); match && !match->wrapped && !units.contains(match->record);
         match = FindSearch::next(store, request)) {
      units << match->record;
      request.record = match->record + 1;
      request.column = 1;
    }
    return units;
  }

  static Units toList(const std::vector<std::int32_t>& records) { return Units(records.begin(), records.end()); }

 private slots:
  void initTestCase() { Platform::setScreenTwips({15360, 11520}); }

  // Names of units 5 to 10: "Knights", "knights_templar", "\xc9lan", "ab", "cd", "spearmen";
  // unit 7's field 5 holds "long_spear". Options: "all" values, match "case", "whole" value, and
  // last "range=" the selected range's fields. Edits are "record:field=value".
  void matching_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<Units>("units");
    const QStringList none;
    QTest::newRow("a part of the name, case aside") << QByteArray("KNIGHT") << "" << none << Units{5, 6};
    QTest::newRow("match case") << QByteArray("Knight") << "case" << none << Units{5};
    QTest::newRow("whole value") << QByteArray("KNIGHTS") << "whole" << none << Units{5};
    QTest::newRow("whole value and case") << QByteArray("knights") << "whole case" << none << Units{};
    QTest::newRow("case beyond ASCII") << QByteArray("\xe9LA") << "" << none << Units{7};
    QTest::newRow("not across two names") << QByteArray("bc") << "" << none << Units{};
    QTest::newRow("not into the next name, whole") << QByteArray("abc") << "whole" << none << Units{};
    QTest::newRow("the last name's end") << QByteArray("MEN") << "" << none << Units{10};
    QTest::newRow("names only pass other fields") << QByteArray("long") << "" << none << Units{};
    QTest::newRow("all values") << QByteArray("spear") << "all" << none << Units{7, 10};
    QTest::newRow("all values, whole") << QByteArray("LONG_SPEAR") << "all whole" << none << Units{7};
    QTest::newRow("all values of the selected range") << QByteArray("spear") << "all range=2, 3, " << none << Units{10};
    QTest::newRow("header rows are not units") << QByteArray("h1f") << "all" << none << Units{};
    QTest::newRow("a header row's name") << QByteArray("h2f2") << "" << none << Units{};
    QTest::newRow("empty text: every unit") << QByteArray() << "" << none << Units{5, 6, 7, 8, 9, 10};
    QTest::newRow("an edited name that now matches") << QByteArray("pike") << "" << QStringList{"8:2=pikeman"} << Units{8};
    QTest::newRow("an edited name that no longer does") << QByteArray("knight") << "" << QStringList{"5:2=squire"} << Units{6};
    QTest::newRow("an edit of another field") << QByteArray("knight") << "" << QStringList{"5:3=x"} << Units{5, 6};
    QTest::newRow("edits before, among and after matches") << QByteArray("a") << ""
                                                           << QStringList{"6:2=x", "8:2=AA", "10:2=ma", "7:3=q"}
                                                           << Units{7, 8, 10};
    QTest::newRow("an edited value among all values") << QByteArray("pike") << "all" << QStringList{"6:9=pike"} << Units{6};
  }
  void matching() {
    CRecordData store;
    QVERIFY(load(store, {"Knights", "knights_templar", "\xc9lan", "ab", "cd", "spearmen"}, 2));
    store.setValue(7, 5, "long_spear");
    if (const QString range = fetched<QString>("options").section(QStringLiteral("range="), 1); !range.isEmpty()) {
      store.setRange(4, range.toStdString());
      store.setRangeSelected(4);
    }
    UnitFilter filter;
    const FindSearch::Request asked = request(fetched<QByteArray>("text"), fetched<QString>("options"));
    filter.matching(store, request("k", {}));  // the names indexed before the edits
    for (const QString& edit : fetched<QStringList>("edits")) {
      const QStringList parts = edit.split(QRegularExpression(QStringLiteral("[:=]")));
      store.setValue(parts[0].toInt(), parts[1].toInt(), parts[2].toStdString());
    }
    const Units units = toList(filter.matching(store, asked));
    QCOMPARE(units, fetched<Units>("units"));
    if (!asked.text.empty()) QCOMPARE(units, foundByFind(store, asked));
  }

  // Many names of few letters, case and accents mixed, some edited: the filter finds what find does.
  void matchingAsFindDoes() {
    std::mt19937 random(7);
    const QByteArray letters("aAbB\xe9\xc9_");
    const auto word = [&](int most) {
      QByteArray made;
      for (int n = int(random() % unsigned(most)); n > 0; --n) made += letters[int(random() % unsigned(letters.size()))];
      return made;
    };
    QByteArrayList names;
    for (int k = 0; k < 300; ++k) names << word(24);
    CRecordData store;
    QVERIFY(load(store, names, 2));
    UnitFilter filter;
    for (int round = 0; round < 200; ++round) {
      const FindSearch::Request asked = request(word(4) + 'a', QStringList{"", "case", "whole"}[round % 3]);
      if (round % 5 == 0) store.setValue(5 + int(random() % 300), 2, word(6).toStdString());
      QCOMPARE(toList(filter.matching(store, asked)), foundByFind(store, asked));
    }
  }

  // The names are those of the store asked about: another load, of the same store or another.
  void matchingAfterAnotherLoad() {
    UnitFilter filter;
    const FindSearch::Request asked = request("knight", {});
    auto first = std::make_unique<CRecordData>();
    QVERIFY(load(*first, {"knight", "archer"}, 2));
    QCOMPARE(toList(filter.matching(*first, asked)), Units{5});
    QVERIFY(load(*first, {"archer", "archer", "knight"}, 2));
    QCOMPARE(toList(filter.matching(*first, asked)), Units{7});
    first.reset();
    CRecordData second;
    QVERIFY(load(second, {"archer", "Knight"}, 2));
    QCOMPARE(toList(filter.matching(second, asked)), Units{6});
    QCOMPARE(toList(filter.matching(second, request("knight", QStringLiteral("case")))), Units{});
  }

  // A sort reads one field of unit after unit, TABs counted a block of bytes at a time: every
  // field of cells of any length, some quoted, reads as the record split whole reads it.
  void valueOfUnitAfterUnit() {
    std::mt19937 random(5);
    QByteArray units;
    for (int k = 0; k < 60; ++k) {
      QList<QByteArray> cells;
      for (int f = 1; f <= 28; ++f)
        cells << (random() % 9 ? QByteArray(int(random() % 21), char('a' + f % 26)) : "\"q\tq\"");
      units += DataText::record(cells);
    }
    CRecordData store;
    store.initRanges(2);
    QVERIFY(store.createRecord(DataText::dataFile(2, 0, units).toStdString(), "in.txt"));
    std::vector<std::vector<std::string>> split;
    std::vector<std::string_view> values;
    for (std::int32_t record = 5; record <= store.NoUnits(); ++record) {
      store.recordValues(record, values);
      split.emplace_back(values.begin(), values.end());
    }
    for (std::int32_t field = 1; field <= 28; ++field)
      for (std::int32_t record = 5; record <= store.NoUnits(); ++record)
        QCOMPARE(store.value(record, field), split[std::size_t(record - 5)][std::size_t(field - 1)]);
  }

  // Field 3 of units 5, 6, ... holds the values; the order is given by value indexes from 0.
  void sortUnits_data() {
    QTest::addColumn<QByteArrayList>("values");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<Units>("order");
    QTest::newRow("numbers by value") << QByteArrayList{"10", "9", "100", "0"} << false << Units{3, 1, 0, 2};
    QTest::newRow("numbers by value, descending") << QByteArrayList{"10", "9", "100", "0"} << true << Units{2, 0, 1, 3};
    QTest::newRow("negative and decimal numbers") << QByteArrayList{"-1.5", "2.25", "-10", "2.3", "-0.5"} << false << Units{2, 0, 4, 1, 3};
    QTest::newRow("equal numbers written apart") << QByteArrayList{"2.50", "-0", "2.5", "0", "02.5"} << false << Units{1, 3, 0, 2, 4};
    QTest::newRow("equal numbers, descending") << QByteArrayList{"2.50", "-0", "2.5", "0", "02.5"} << true << Units{0, 2, 4, 1, 3};
    QTest::newRow("numbers beyond a double") << QByteArrayList{QByteArray(400, '9'), "5", '-' + QByteArray(400, '9'), "0." + QByteArray(400, '0') + '1'}
                                            << false << Units{2, 3, 1, 0};
    QTest::newRow("text in any letter case") << QByteArrayList{"banana", "Apple", "cherry", "apple", "APPLE"} << false << Units{1, 3, 4, 0, 2};
    QTest::newRow("text descending, ties in file order") << QByteArrayList{"banana", "Apple", "cherry", "apple", "APPLE"} << true
                                                         << Units{2, 0, 1, 3, 4};
    QTest::newRow("a shorter text first") << QByteArrayList{"knights_templar", "knight", "knights", "KNIGHTS_A"} << false << Units{1, 2, 3, 0};
    QTest::newRow("accents beside their letter") << QByteArrayList{"f", "\xc9lan", "e", "elan", "\xe9lan", "d"} << false << Units{5, 2, 3, 1, 4, 0};
    QTest::newRow("numbers before text, empty last") << QByteArrayList{"b", "", "10", "a", "", "2"} << false << Units{5, 2, 3, 0, 1, 4};
    QTest::newRow("text before numbers, empty last") << QByteArrayList{"b", "", "10", "a", "", "2"} << true << Units{0, 3, 2, 5, 1, 4};
    QTest::newRow("not numbers as the files write them") << QByteArrayList{"+5", "5.", ".5", "1e3", "7"} << false << Units{4, 0, 2, 3, 1};
  }
  void sortUnits() {
    const QByteArrayList values = fetched<QByteArrayList>("values");
    CRecordData store;
    QVERIFY(load(store, values, 3));
    std::vector<std::int32_t> records(std::size_t(values.size()));
    std::iota(records.rbegin(), records.rend(), 5);  // given in any order
    ::sortUnits(store, 3, fetched<bool>("descending"), records);
    Units order;
    for (const std::int32_t record : records) order << record - 5;
    QCOMPARE(order, fetched<Units>("order"));
  }

  // Enough units for the large-list sort: numbers and words at random, checked pair by pair
  // against QByteArray's own reading of them.
  void sortManyUnits() {
    std::mt19937 random(11);
    QByteArrayList values;
    for (int k = 0; k < 2000; ++k)
      values << (k % 2 ? QByteArray::number(int(random() % 2001) - 1000) + (k % 3 ? "" : ".5")
                       : QByteArray("aAbB_x").mid(int(random() % 4), 1 + int(random() % 3)));
    CRecordData store;
    QVERIFY(load(store, values, 3));
    for (const bool descending : {false, true}) {
      std::vector<std::int32_t> records(std::size_t(values.size()));
      std::iota(records.begin(), records.end(), 5);
      ::sortUnits(store, 3, descending, records);
      QCOMPARE(std::set<std::int32_t>(records.begin(), records.end()).size(), std::size_t(values.size()));
      for (std::size_t k = 1; k < records.size(); ++k) {
        const QByteArray& a = values[records[k - 1] - 5];
        const QByteArray& b = values[records[k] - 5];
        bool numberA = false, numberB = false;
        const double x = a.toDouble(&numberA), y = b.toDouble(&numberB);
        int order = numberA != numberB ? (numberA == descending ? 1 : -1) : numberA ? (x > y) - (x < y) : qstricmp(a, b);
        order = numberA == numberB && descending ? -order : order;
        QVERIFY2(order < 0 || (order == 0 && records[k - 1] < records[k]), a + " before " + b);
      }
    }
  }
};

QTEST_APPLESS_MAIN(TestUnitView)
#include "tst_unitview.moc"
