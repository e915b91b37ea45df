#include <QTemporaryDir>
#include <QtTest>

#include "Child.h"
#include "ContentHash.h"
#include "DataDiff.h"
#include "DataFile.h"
#include "DataText.h"
#include "EditJournal.h"
#include "EditedFile.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "GlobalShared.h"
#include "JournalFormat.h"
#include "Platform.h"
#include "SavedBytes.h"

using namespace DataText;

namespace {

// A building file loaded as the window loads one: nothing changed, nothing to undo.
bool loadEdited(EditedFile& file, const QString& path) {
  file.reset().initRanges(2);
  if (!file.record().createRecord(DataFile::readText(path.toStdString()).value_or(""), path.toStdString())) return false;
  file.markSaved();
  return true;
}

// Plays a script on field 3 of a loaded building file: "e5=x" edits record 5, "b4-6=x" records 4
// to 6 as one step, "U" undoes, "R" redoes, "S" saves to the file and follows it on, as the
// window does.
void play(const QList<QByteArray>& script, EditedFile& file, EditJournal* journal, const QString& path) {
  for (const QByteArray& step : script) {
    if (step == "U") file.undo();
    else if (step == "R") file.redo();
    else if (step == "S") {
      FileIdentity written;
      if (!DataFile::writeDataFile(file.record(), 2, path.toStdString(), &written)) {
        qWarning("the script's save failed");
        continue;
      }
      file.markSaved();
      if (journal) journal->discard();
      if (journal) journal->follow(file, path.toStdString(), [written] { return written; });
    } else {
      const QList<QByteArray> records = step.mid(1, step.indexOf('=') - 1).split('-');
      CellChanges cells;
      for (int record = records.front().toInt(); record <= records.back().toInt(); ++record)
        cells.add(record, 3, file.record().value(record, 3), step.mid(step.indexOf('=') + 1).toStdString());
      file.makeStep(std::move(cells));
    }
  }
}

// The undo history, a step a line with its bytes escaped; the applied ones marked, and the saved
// state.
QStringList history(const EditedFile& file) {
  QStringList lines;
  for (std::size_t i = 0; i < file.steps().size(); ++i) {
    QString line = i < file.stepsDone() ? "+" : "-";
    for (const CellChanges::Cell& cell : file.steps()[i].cells)
      line += QStringLiteral(" %1:%2 %3 > %4")
                  .arg(cell.record)
                  .arg(cell.field)
                  .arg(QString::fromLatin1(DataDiff::escape(cell.before)),
                       QString::fromLatin1(DataDiff::escape(cell.after)));
    lines << line;
  }
  lines << QStringLiteral("saved at %1").arg(file.savedAt() ? int(*file.savedAt()) : -1);
  return lines;
}

}  // namespace

// The edited file's history against the file on disk: which undo step holds what the file holds,
// and so whether the data changed, through edits, undo, redo and saves; and the journal of that
// history that outlives a killed program.
class TestEditedFile : public QObject {
  Q_OBJECT

 private slots:
  void init() { Platform::setScreenTwips({15360, 11520}); }

  // Each row plays a script on field 3 of record 5: "e" a new edit (its value "v" and its
  // number), "u" undo, "r" redo, "s" a save.
  void savedState_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("savedAt");  // -1: the saved state can no longer come back
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("value");
    QTest::newRow("nothing done") << "" << 0 << 0 << false << "r1f3";
    QTest::newRow("undo with nothing to undo") << "u" << 0 << 0 << false << "r1f3";
    QTest::newRow("an edit") << "e" << 1 << 0 << true << "v1";
    QTest::newRow("an edit undone to the loaded state") << "e u" << 0 << 0 << false << "r1f3";
    QTest::newRow("redo with nothing to redo") << "e r" << 1 << 0 << true << "v1";
    QTest::newRow("undone and redone") << "e u r" << 1 << 0 << true << "v1";
    QTest::newRow("saved") << "e s" << 1 << 1 << false << "v1";
    QTest::newRow("saved, then undone") << "e s u" << 0 << 1 << true << "r1f3";
    QTest::newRow("undone after a save, redone to it") << "e s u r" << 1 << 1 << false << "v1";
    QTest::newRow("redone past the save") << "e s e u u r r" << 2 << 1 << true << "v2";
    QTest::newRow("a new edit at the saved state keeps it") << "e s e u" << 1 << 1 << false << "v1";
    QTest::newRow("a new edit after undoing past the save drops it") << "e e s u u e" << 1 << -1 << true << "v3";
    QTest::newRow("the loaded state is not the saved one") << "e s u e u" << 0 << -1 << true << "r1f3";
    QTest::newRow("saved again after the drop") << "e s u e s u" << 0 << 1 << true << "r1f3";
  }
  void savedState() {
    EditedFile file;
    file.reset().initRanges(2);
    QVERIFY(file.record().createRecord(DataText::dataFile(2, 3).toStdString(), "in.txt"));
    file.markSaved();
    int edits = 0;
    for (const QString& step : fetched<QString>("script").split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      if (step == QLatin1String("e"))
        file.makeStep({5, 3, std::string(file.record().value(5, 3)), "v" + std::to_string(++edits)});
      else if (step == QLatin1String("u")) file.undo();
      else if (step == QLatin1String("r")) file.redo();
      else file.markSaved();
    }
    QCOMPARE(int(file.stepsDone()), fetched<int>("done"));
    QCOMPARE(file.savedAt() ? int(*file.savedAt()) : -1, fetched<int>("savedAt"));
    QCOMPARE(file.dataChanged(), fetched<bool>("changed"));
    QCOMPARE(QString::fromStdString(std::string(file.record().value(5, 3))), fetched<QString>("value"));
  }

  // The packed values of a step give back every value where it was, in the order added: short and
  // long values, records going back (a sorted view), a field left and come back to.
  void packedValues_data() {
    QTest::addColumn<QList<QStringList>>("cells");  // record, field, before, after
    const QString longValue = QString(200, QLatin1Char('x'));
    QTest::newRow("one value") << QList<QStringList>{{"5", "3", "12", "13"}};
    QTest::newRow("a column") << QList<QStringList>{{"5", "3", "1", "2"}, {"6", "3", "", "x"}, {"7", "3", "9", ""}};
    QTest::newRow("long and empty values") << QList<QStringList>{{"5", "3", longValue, ""}, {"5", "4", "", longValue},
                                                                 {"5", "5", QString(14, 'a'), QString(15, 'b')}};
    QTest::newRow("records going back") << QList<QStringList>{{"900000", "2", "a", "b"}, {"4", "2", "c", "d"}, {"70000", "260", "e", "f"}};
    QTest::newRow("a field left and come back to") << QList<QStringList>{{"5", "3", "a", "b"}, {"5", "4", "c", "d"}, {"6", "3", "e", "f"}};
  }
  void packedValues() {
    QFETCH(QList<QStringList>, cells);
    CellChanges changes;
    for (const QStringList& cell : cells)
      changes.add(cell[0].toInt(), cell[1].toInt(), cell[2].toStdString(), cell[3].toStdString());
    QList<QStringList> back;
    for (const CellChanges::Cell& cell : changes)
      back << QStringList{QString::number(cell.record), QString::number(cell.field), QString::fromStdString(std::string(cell.before)),
                          QString::fromStdString(std::string(cell.after))};
    QCOMPARE(back, cells);
    QCOMPARE(changes.size(), std::size_t(cells.size()));
  }

  // Values stored as one step are checked as typed ones are, whatever the step skips: the red mark
  // comes with a value the file cannot hold and goes when it is undone.
  void manyValuesChecked_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("undo");
    QTest::addColumn<int>("reason");  // -1: none
    QTest::newRow("plain") << "12" << false << -1;
    QTest::newRow("a TAB") << "1\t2" << false << int(SaveProblem::Reason::Tab);
    QTest::newRow("a lone quote") << "1\"2" << false << int(SaveProblem::Reason::UnmatchedQuote);
    QTest::newRow("longer than a record may be") << QString(40000, QLatin1Char('9')) << false << int(SaveProblem::Reason::TooLong);
    QTest::newRow("a TAB undone") << "1\t2" << true << -1;
  }
  void manyValuesChecked() {
    QFETCH(QString, value);
    EditedFile file;
    file.reset().initRanges(2);
    QVERIFY(file.record().createRecord(DataText::dataFile(2, 4).toStdString(), "in.txt").has_value());
    CellChanges cells;
    for (int record = 5; record <= 7; ++record)
      cells.add(record, 3, file.record().value(record, 3), record == 6 ? value.toStdString() : "x");
    QVERIFY(file.makeStep(std::move(cells)));
    if (fetched<bool>("undo")) QVERIFY(file.undo());
    const SaveProblem* problem = file.record().saveProblem(6);
    QCOMPARE(problem ? int(problem->reason) : -1, fetched<int>("reason"));
    QVERIFY(!file.record().saveProblem(5) && !file.record().saveProblem(7));
  }

  // A journal outlives a killed program: a child edits a file through the core and is killed
  // without a flush; the next load of the file restores the same values and undo history, which
  // save to the same bytes as the edits made without a journal. A journal cut short by a power
  // cut gives back its complete entries and goes on after them; one made for another version of
  // the file is moved aside, whole, and restores nothing.
  void journalAfterAKill_data() {
    QTest::addColumn<QList<QByteArray>>("script");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("kept");  // EditJournal::Kept::Kind
    QTest::addColumn<int>("edits");
    const int restorable = EditJournal::Kept::Restorable;
    QTest::newRow("three edits") << QList<QByteArray>{"e5=x", "e6=y", "e7=z"} << "" << restorable << 3;
    QTest::newRow("undo and redo") << QList<QByteArray>{"e5=x", "e6=y", "U", "U", "R"} << "" << restorable << 5;
    QTest::newRow("a step of many values, undone and redone")
        << QList<QByteArray>{"b4-7=x\ty", "e5=z", "U", "U", "R"} << "" << restorable << 5;
    QTest::newRow("CR, LF, TAB, backslashes and any byte")
        << QList<QByteArray>{QByteArray("e5=a\tb\r\nc\\t\\\r") + '\0' + "\x01\xff\n", "e6=\\n", "e5=plain"} << "" << restorable << 3;
    QTest::newRow("undone past a save") << QList<QByteArray>{"e5=x", "e6=q", "U", "S", "U", "e7=z"} << "" << restorable << 2;
    QTest::newRow("torn last line") << QList<QByteArray>{"e5=x", "e6=y"} << "torn line" << restorable << 2;
    QTest::newRow("torn header") << QList<QByteArray>{"e5=x"} << "torn header" << int(EditJournal::Kept::None) << 0;
    QTest::newRow("file changed since") << QList<QByteArray>{"e5=x", "e6=y"} << "file changed" << int(EditJournal::Kept::FileChanged) << 2;
  }
  void journalAfterAKill() {
    QFETCH(QList<QByteArray>, script);
    QFETCH(QString, damage);
    QFETCH(int, kept);
    QTemporaryDir dir;
    const QString path = dir.filePath("units.txt"), expectedPath = dir.filePath("expected.txt");
    const std::string folder = dir.filePath("state/pelkoEditor").toStdString();
    QVERIFY(writeFile(path, dataFile(2, 4)) && writeFile(expectedPath, dataFile(2, 4)));
    const ChildRun child = inChild("journal", QList<QByteArray>{QByteArray::fromStdString(folder), path.toUtf8()} + script);
    QVERIFY(!child.succeeded);
    const QString journalPath = QString::fromStdString(EditJournal(folder).pathFor(path.toStdString()));
    const QByteArray written = fileBytes(journalPath);
    QVERIFY(written.endsWith('\n'));
    if (damage == "torn line") QVERIFY(writeFile(journalPath, written + "s\t7\t3\tr3f3\tz"));
    if (damage == "torn header") QVERIFY(writeFile(journalPath, written.left(written.indexOf("\nhistory"))));
    if (damage == "file changed") QVERIFY(writeFile(path, fileBytes(path).replace("r3f4", "r3f9")));

    EditedFile expected, restored;
    QVERIFY(loadEdited(expected, expectedPath) && loadEdited(restored, path));
    play(script, expected, nullptr, expectedPath);
    EditJournal journal(folder);
    journal.follow(restored, path.toStdString(), [&restored] { return ContentHash::of(restored.record().loadedText()); });
    const EditJournal::Kept found = journal.kept();
    QCOMPARE(int(found.kind), kept);
    QCOMPARE(int(found.edits), fetched<int>("edits"));
    if (kept == EditJournal::Kept::FileChanged) {
      QVERIFY(!QFile::exists(journalPath));
      QCOMPARE(fileBytes(QString::fromStdString(found.path)), written);
    }
    if (kept != EditJournal::Kept::Restorable) {
      QCOMPARE(journal.restore(found), std::size_t{0});
      QVERIFY(restored.steps().empty() && !restored.dataChanged());
      return;
    }
    QCOMPARE(journal.restore(found), found.edits);
    QCOMPARE(history(restored), history(expected));
    QCOMPARE(restored.dataChanged(), expected.dataChanged());
    QCOMPARE(saved(restored.record(), 2), saved(expected.record(), 2));
    // The journal goes on after the entries it gave back.
    restored.makeStep({8, 3, "r4f3", "w"});
    journal.flush();
    std::string text;
    QCOMPARE(GlobalShared::readFileBytes(journalPath.toStdString(), text), 0);
    const auto reread = JournalFormat::read(text);
    QVERIFY(reread && reread->entries.size() == found.edits + 1);
    QCOMPARE(reread->entries.back().step.cells.front().after, "w");
    QCOMPARE(reread->entries.back().end, text.size());
  }
};

namespace {
// Edits a file through the core with a journal, then dies without a flush.
bool editAndDie(const QList<QByteArray>& arguments) {
  const QString path = QString::fromUtf8(arguments[1]);
  EditedFile file;
  EditJournal journal(arguments[0].toStdString());
  if (!loadEdited(file, path)) return false;
  journal.follow(file, path.toStdString(), [&file] { return ContentHash::of(file.record().loadedText()); });
  play(arguments.mid(2), file, &journal, path);
  killSelf();
}

const ChildActions kChildActions{{"journal", editAndDie}};
}  // namespace

PELKO_TEST_MAIN_WITH_CHILDREN(TestEditedFile, kChildActions)
#include "tst_editedfile.moc"
