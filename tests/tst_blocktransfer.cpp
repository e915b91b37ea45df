#include <QtTest>

#include "BlockTransfer.h"
#include "CRecordData.h"
#include "DataFileFormat.h"
#include "DataText.h"
#include "Fetch.h"
#include "FileKind.h"

Q_DECLARE_METATYPE(BlockTransfer::PastePlan::Refusal)

namespace {

using Refusal = BlockTransfer::PastePlan::Refusal;

// A building file: header rows 1-4, units 5-7 whose values read "r<unit>f<field>"; record 6's
// field 3 holds every byte the clipboard text must quote.
constexpr std::string_view kQuoted = "say \"hi\"\tnow\r\nthen";

void load(CRecordData& store) {
  store.initRanges(2);
  QVERIFY(store.createRecord(DataText::dataFile(2, 3).toStdString(), "in.txt"));
  store.setValue(6, 3, std::string(kQuoted));
  store.setRange(2, "5,9,");
}

CellBlock block(const QList<int>& bounds) { return {bounds[0], bounds[1], bounds[2], bounds[3]}; }
UnitView every(const CRecordData& store) { return UnitView::every(FileKind::of(store.FormID()).firstUnit, store.NoUnits()); }

// "record:field=value" for each change, joined by "|".
QByteArray listed(const CellChanges& changes) {
  QByteArrayList cells;
  for (const CellChanges::Cell& cell : changes)
    cells << QByteArray::number(cell.record) + ':' + QByteArray::number(cell.field) + '=' +
                 QByteArray(cell.after.data(), static_cast<qsizetype>(cell.after.size()));
  return cells.join('|');
}

}  // namespace

// Blocks in the text spreadsheets read, and pastes planned from that text.
class TestBlockTransfer : public QObject {
  Q_OBJECT

 private slots:
  void copy_data() {
    QTest::addColumn<QList<int>>("block");  // first and last record, first and last column
    QTest::addColumn<int>("range");
    QTest::addColumn<bool>("names");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<QByteArray>("text");
    const auto row = [](const char* name, QList<int> block, int range, bool names, const char* lineEnd, const char* text) {
      QTest::newRow(name) << block << range << names << QByteArray(lineEnd) << QByteArray(text);
    };
    row("units in record order, CR LF", {5, 7, 1, 2}, 1, false, "\r\n", "r1f1\tr1f2\r\nr2f1\tr2f2\r\nr3f1\tr3f2\r\n");
    row("TAB, line break and quote in a value are quoted", {6, 6, 2, 4}, 1, false, "\n",
        "r2f2\t\"say \"\"hi\"\"\tnow\r\nthen\"\tr2f4\n");
    row("display columns of another range", {7, 7, 1, 2}, 2, false, "\n", "r3f5\tr3f9\n");
    row("with names: titles first, names before values", {5, 6, 3, 4}, 1, true, "\r\n",
        "\th1f3\th1f4\r\nr1f2\tr1f3\tr1f4\r\nr2f2\t\"say \"\"hi\"\"\tnow\r\nthen\"\tr2f4\r\n");
    row("with names in another range", {5, 5, 2, 2}, 2, true, "\n", "\th1f9\nr1f2\tr1f9\n");
    row("no block, no text", {5, 4, 1, 1}, 1, true, "\n", "");
  }
  void copy() {
    CRecordData store;
    load(store);
    store.setRangeSelected(fetched<int>("range"));
    const std::string text = BlockTransfer::copyText(store, every(store), block(fetched<QList<int>>("block")), fetched<bool>("names"),
                                                     fetched<QByteArray>("lineEnd").toStdString());
    QCOMPARE(QByteArray::fromStdString(text), fetched<QByteArray>("text"));
  }

  void paste_data() {
    QTest::addColumn<QList<int>>("target");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<int>>("sizes");  // the block's units and fields, then those that fit
    QTest::addColumn<QByteArray>("changes");
    const auto row = [](const char* name, QList<int> target, const char* text, QList<int> sizes, const char* changes) {
      QTest::newRow(name) << target << QByteArray(text) << sizes << QByteArray(changes);
    };
    row("block from the top-left of a larger block", {5, 7, 2, 4}, "a\tb\nc\td\n", {2, 2, 2, 2}, "5:2=a|5:3=b|6:2=c|6:3=d");
    row("block from the focused cell, CR LF, no last line end", {6, 6, 4, 4}, "a\tb\r\nc\td", {2, 2, 2, 2},
        "6:4=a|6:5=b|7:4=c|7:5=d");
    row("one value fills the block", {5, 6, 1, 2}, "x\r\n", {2, 2, 2, 2}, "5:1=x|5:2=x|6:1=x|6:2=x");
    row("one quoted value with a line break fills the block", {6, 7, 1, 1}, "\"a\r\nb\"", {2, 1, 2, 1}, "6:1=a\r\nb|7:1=a\r\nb");
    row("one empty value empties the block", {7, 7, 1, 2}, "\n", {1, 2, 1, 2}, "7:1=|7:2=");
    row("quoted line breaks and quotes in a block", {5, 5, 1, 1}, "\"a\nb\"\t\"c\"\"d\"\ne\n", {2, 2, 2, 2}, "5:1=a\nb|5:2=c\"d|6:1=e");
    row("ragged: a short row leaves the cells right of it", {5, 5, 1, 1}, "a\tb\tc\nd\ne\tf\n", {3, 3, 3, 3},
        "5:1=a|5:2=b|5:3=c|6:1=d|7:1=e|7:2=f");
    row("values equal to the stored ones are no changes", {5, 5, 1, 1}, "r1f1\tx\nr2f1\tr2f2\n", {2, 2, 2, 2}, "5:2=x");
    row("fills to the last unit and field", {6, 6, 27, 27}, "a\tb\nc\td\n", {2, 2, 2, 2}, "6:27=a|6:28=b|7:27=c|7:28=d");
    row("a copy pasted back: nothing, whatever it had to quote", {5, 7, 1, 28}, nullptr, {3, 28, 3, 28}, "");
    row("too large: past the last unit", {7, 7, 1, 1}, "a\nb\n", {2, 1, 1, 1}, "");
    row("too large: a ragged row's width counts", {5, 5, 27, 27}, "a\nb\tc\td\n", {2, 3, 2, 2}, "");
    row("too large: both ways", {6, 6, 28, 28}, "a\tb\nc\td\ne\n", {3, 2, 2, 1}, "");
  }
  void paste() {
    CRecordData store;
    load(store);
    const CellBlock target = block(fetched<QList<int>>("target"));
    const QByteArray& text = fetched<QByteArray>("text");  // null: the target's own copy
    const UnitView view = every(store);
    const auto plan = BlockTransfer::planPaste(
        store, view, text.isNull() ? BlockTransfer::copyText(store, view, target, false, "\r\n") : text.toStdString(), target);
    const QList<int> sizes = fetched<QList<int>>("sizes");
    QCOMPARE(plan.refusal, sizes[2] < sizes[0] || sizes[3] < sizes[1] ? Refusal::TooLarge : Refusal::None);
    QCOMPARE((QList<int>{plan.blockRecords, plan.blockColumns, plan.fitRecords, plan.fitColumns}), sizes);
    QCOMPARE(listed(plan.changes), fetched<QByteArray>("changes"));
    for (const CellChanges::Cell& cell : plan.changes) QCOMPARE(cell.before, store.value(cell.record, cell.field));
  }

  // A record holds at most kLongestRecord characters: its values and the TABs between them.
  void recordLength_data() {
    QTest::addColumn<QList<int>>("target");
    QTest::addColumn<int>("spare");  // characters the record can still take after the paste
    QTest::addColumn<bool>("fill");
    QTest::addColumn<Refusal>("refusal");
    const auto row = [](const char* name, QList<int> target, int spare, bool fill, Refusal refusal) {
      QTest::newRow(name) << target << spare << fill << refusal;
    };
    row("a block's value that just fits", {5, 5, 3, 3}, 0, false, Refusal::None);
    row("a block's value one too long", {5, 5, 3, 3}, -1, false, Refusal::TooLong);
    row("a fill that just fits", {7, 7, 3, 4}, 0, true, Refusal::None);
    row("a fill two too long", {7, 7, 3, 4}, -2, true, Refusal::TooLong);
    row("an edited record one too long", {6, 6, 4, 4}, -1, false, Refusal::TooLong);
  }
  void recordLength() {
    CRecordData store;
    load(store);
    const CellBlock target = block(fetched<QList<int>>("target"));
    const bool fill = fetched<bool>("fill");
    const auto room = [&] {
      std::size_t kept = 27;  // the TABs, and the values the paste leaves
      for (std::int32_t field = 1; field <= 28; ++field)
        if (!target.contains(target.firstRecord, field)) kept += store.value(target.firstRecord, field).size();
      return static_cast<std::int64_t>(DataFileFormat::kLongestRecord - kept) - fetched<int>("spare");
    };
    // A fill puts the same value in each cell: the room must split evenly.
    if (room() % target.columns() != 0) store.setValue(target.firstRecord, 10, "longer");
    QCOMPARE(room() % target.columns(), 0);
    const auto each = static_cast<std::size_t>(room() / target.columns());
    std::string text(each, 'x');
    // A block, its second value unchanged.
    if (!fill) text += "\t" + std::string(store.value(target.firstRecord, target.lastColumn + 1)) + "\n";
    const auto plan = BlockTransfer::planPaste(store, every(store), text, target);
    QCOMPARE(plan.refusal, fetched<Refusal>("refusal"));
    QCOMPARE(plan.changes.empty(), plan.refusal != Refusal::None);
    if (plan.refusal == Refusal::None) return;
    QCOMPARE(plan.record, target.firstRecord);
    QCOMPARE(plan.length, DataFileFormat::kLongestRecord - fetched<int>("spare"));
  }
};

QTEST_GUILESS_MAIN(TestBlockTransfer)
#include "tst_blocktransfer.moc"
