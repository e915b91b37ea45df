#include <QtTest>

#include "CRecordData.h"
#include "DataDiff.h"
#include "DataText.h"
#include "EditedFile.h"
#include "Fetch.h"

Q_DECLARE_METATYPE(Difference)

namespace {

// Building files of four units: unit k is record 4 + k, named "r<k>f2". An edit "5:3=x" sets
// record 5's field 3; "-6" removes record 6; "+name" adds that unit at the end (a copy of the
// unit of that name, or of the last one).
QByteArray building(const QStringList& edits) {
  QList<QList<QByteArray>> records;
  for (const QByteArray& line : DataText::dataFile(2, 4).split('\n'))
    if (line.size() > 1) records << line.chopped(1).split('\t');
  QList<int> removed;
  for (const QString& edit : edits) {
    if (edit.startsWith(QLatin1Char('-'))) removed << edit.mid(1).toInt();
    else if (edit.startsWith(QLatin1Char('+'))) {
      // A unit of the file moves to the end; another name is a copy of the last one.
      const QByteArray name = edit.mid(1).toLatin1();
      const auto same = std::find_if(records.begin(), records.end(), [&](const QList<QByteArray>& r) { return r[1] == name; });
      QList<QByteArray> unit = same != records.end() ? *same : records.back();
      unit[1] = name;
      records << unit;
    } else {
      const QStringList parts = edit.split(QRegularExpression(QStringLiteral("[:=]")));
      records[parts[0].toInt() - 1][parts[1].toInt() - 1] = parts[2].toLatin1();
    }
  }
  QByteArray text;
  for (int r = 0; r < records.size(); ++r)
    if (!removed.contains(r + 1)) text += DataText::record(records[r]);
  return text + "\r\n\r\n";
}

void parse(CRecordData& store, const QByteArray& text) {
  store.initRanges(2);
  QVERIFY(store.createRecord(text.toStdString(), "test.txt"));
}

struct Merge {
  EditedFile file;
  CRecordData base, theirs;
  Merge(const QStringList& ours, const QStringList& theirsEdits, bool threeWay = true) {
    parse(file.reset(), building(ours));
    parse(base, building({}));
    parse(theirs, building(theirsEdits));
    if (threeWay) file.mergeWith(base, theirs, "theirs.txt");
    else file.compareWithOther(theirs, "theirs.txt");
  }
  // "take same conflict ours": the count of each class; with `units`, then the units only the
  // other file added, its changes to units the store lacks, the store's units and the base's
  // without a counterpart.
  QString counts(bool units = false) const {
    const MergeComparison& c = file.comparison();
    const QString classes = QStringLiteral("%1 %2 %3 %4").arg(c.count(Difference::CanTake)).arg(c.count(Difference::Same))
        .arg(c.count(Difference::Conflict)).arg(c.count(Difference::OursOnly));
    return units ? classes + QStringLiteral(" | %1 %2 %3 %4").arg(c.theirsAdded()).arg(c.untakeable()).arg(c.oursWithout()).arg(c.baseWithout())
                 : classes;
  }
  bool edit(std::int32_t record, std::int32_t field, const std::string& value) {
    return file.makeStep({record, field, std::string(file.record().value(record, field)), value});
  }
};

}  // namespace

class TestMerge : public QObject {
  Q_OBJECT

 private slots:
  // Each row: what each side changed, the class of record 5's field 3 (and where it lands when a
  // side moved the unit), then the class after an edit of the store's value there. Units one file
  // holds and the other lacks are never taken, and are counted for the hint.
  void classes_data() {
    QTest::addColumn<QStringList>("ours");
    QTest::addColumn<QStringList>("theirs");
    QTest::addColumn<int>("record");
    QTest::addColumn<Difference>("difference");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QByteArray>("edit");
    QTest::addColumn<Difference>("edited");
    const QStringList none;
    QTest::newRow("neither changed it") << none << none << 5 << Difference::None << "0 0 0 0" << QByteArray("o") << Difference::OursOnly;
    QTest::newRow("theirs only: can take") << none << QStringList{"5:3=t"} << 5 << Difference::CanTake << "1 0 0 0" << QByteArray("t") << Difference::Same;
    QTest::newRow("alike: same") << QStringList{"5:3=t"} << QStringList{"5:3=t"} << 5 << Difference::Same << "0 1 0 0" << QByteArray("r1f3") << Difference::CanTake;
    QTest::newRow("differently: conflict") << QStringList{"5:3=o"} << QStringList{"5:3=t"} << 5 << Difference::Conflict << "0 0 1 0" << QByteArray("t") << Difference::Same;
    QTest::newRow("ours only") << QStringList{"5:3=o"} << none << 5 << Difference::OursOnly << "0 0 0 1" << QByteArray("r1f3") << Difference::None;
    QTest::newRow("ours moved the unit theirs changed") << QStringList{"-5", "+r1f2"} << QStringList{"5:3=t"} << 8 << Difference::CanTake << "1 0 0 0" << QByteArray("x") << Difference::Conflict;
    QTest::newRow("theirs changed a header row") << none << QStringList{"1:3=t"} << 1 << Difference::CanTake << "1 0 0 0" << QByteArray("t") << Difference::Same;
    QTest::newRow("a unit ours added never differs") << QStringList{"+new"} << QStringList{"5:3=t"} << 9 << Difference::None << "1 0 0 0 | 0 0 1 0" << QByteArray("x") << Difference::None;
    QTest::newRow("theirs adds a unit, not taken") << none << QStringList{"+extra"} << 5 << Difference::None << "0 0 0 0 | 1 0 0 0" << QByteArray("o") << Difference::OursOnly;
    QTest::newRow("theirs changed a unit ours removed") << QStringList{"-6"} << QStringList{"6:3=t", "5:3=t"} << 5 << Difference::CanTake << "1 0 0 0 | 0 1 0 1" << QByteArray("t") << Difference::Same;
  }
  void classes() {
    QFETCH(QStringList, ours);
    QFETCH(QStringList, theirs);
    QFETCH(int, record);
    QFETCH(Difference, difference);
    QFETCH(QByteArray, edit);
    QFETCH(Difference, edited);
    Merge merge(ours, theirs);
    const QString counts = fetched<QString>("counts");
    QCOMPARE(merge.file.difference(record, 3), difference);
    QCOMPARE(merge.counts(counts.contains(QLatin1Char('|'))), counts);
    // The class follows the store's value, and undo brings it back.
    merge.edit(record, 3, edit.toStdString());
    QCOMPARE(merge.file.difference(record, 3), edited);
    merge.file.undo();
    QCOMPARE(merge.file.difference(record, 3), difference);
    QCOMPARE(merge.counts(counts.contains(QLatin1Char('|'))), counts);
  }

  // Take All Non-Conflicting is one step that ends as `pelkoTool apply` of theirs' diff would,
  // conflicts aside; undo puts every value back.
  void takeAllAsApply() {
    Merge merge({"5:3=o", "6:4=t", "-7", "+r3f2"}, {"5:3=t", "6:4=t", "6:5=t", "7:9=t", "8:3=t", "2:2=t"});
    QCOMPARE(merge.counts(), QStringLiteral("4 1 1 0"));
    CRecordData applied;
    parse(applied, building({"5:3=o", "6:4=t", "-7", "+r3f2"}));
    std::vector<DataDiff::Change> changes = DataDiff::compare(merge.base, merge.theirs).changes;
    for (DataDiff::Change& change : changes) change.name = merge.base.unitName(change.record);  // as a diff line names it
    const DataDiff::Applied result = DataDiff::apply(applied, changes, false);
    QCOMPARE(result.conflicts.size(), std::size_t(1));
    QVERIFY(merge.file.makeStep(merge.file.comparison().takeAll(merge.file.record())));
    QCOMPARE(merge.file.steps().size(), std::size_t(1));
    for (std::int32_t r = 1; r <= applied.NoUnits(); ++r)
      for (std::int32_t f = 1; f <= applied.NoFields(); ++f) QCOMPARE(merge.file.record().value(r, f), applied.value(r, f));
    QCOMPARE(merge.counts(), QStringLiteral("0 5 1 0"));
    QVERIFY(!merge.file.makeStep(merge.file.comparison().takeAll(merge.file.record())));
    merge.file.undo();
    QCOMPARE(merge.counts(), QStringLiteral("4 1 1 0"));
    QCOMPARE(merge.file.record().value(8, 9), std::string_view("r3f9"));
  }

  // Two-way: the other file's values stand for the default copy's; the records that differ are
  // the filter's, data records only, each once.
  void otherFileTwoWay() {
    Merge merge({"5:3=o", "5:4=o", "1:3=h"}, {"7:3=t"}, false);
    QCOMPARE(merge.file.comparison().mode(), MergeComparison::Mode::OtherFile);
    QCOMPARE(merge.file.differenceCount(), std::size_t(4));
    QCOMPARE(merge.file.difference(5, 3), Difference::Differs);
    QCOMPARE(*merge.file.defaultValue(7, 3), std::string("t"));
    QCOMPARE(merge.file.differingRecords(), (std::vector<std::int32_t>{5, 7}));
    merge.edit(7, 3, "t");
    QCOMPARE(merge.file.differingRecords(), (std::vector<std::int32_t>{5}));
    QCOMPARE(merge.file.defaultValue(7, 3), nullptr);
  }
};

QTEST_GUILESS_MAIN(TestMerge)
#include "tst_merge.moc"
