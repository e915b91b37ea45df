#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <sys/stat.h>

#include "AtomicFileWriter.h"
#include "CRecordData.h"
#include "Child.h"
#include "DataFile.h"
#include "DataText.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "GlobalShared.h"
#include "MessageRecorder.h"

using namespace DataText;

namespace {

std::unique_ptr<CRecordData> store(int kind) {
  auto record = std::make_unique<CRecordData>();
  record->initRanges(kind);
  return record;
}

std::unique_ptr<CRecordData> loaded(int kind, const QByteArray& text) {
  auto record = store(kind);
  MessageRecorder boxes;
  if (!record->createRecord(text.toStdString(), "in.txt")) {
    qWarning("load failed: %s", boxes.boxes.empty() ? "" : boxes.boxes[0].prompt.c_str());
    return nullptr;
  }
  return record;
}

QByteArray saved(CRecordData& record, int kind) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("out.txt").toStdString();
  if (!DataFile::writeDataFile(record, kind, path)) return "save failed";
  return QByteArray::fromStdString(GlobalShared::readWholeFile(path));
}

const QByteArray kEnd = "\r\n\r\n";

}  // namespace

class TestRecordStore : public QObject {
  Q_OBJECT

 private slots:
  void init() { Platform::setScreenTwips({15360, 11520}); }

  // What a load then a save makes of a file: the normalised layout.
  void saveWritesTheNormalisedLayout_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");
    const QByteArray a = record(28, "a"), b = record(28, "b");
    QTest::newRow("ends right after the last record") << 2 << a + b << a + b + kEnd;
    QTest::newRow("records after the empty line are kept as text")
        << 2 << a + "\r\n" + b + "\r\n" << a + "\r\n" + b + "\r\n";
    QTest::newRow("junk after the empty line is kept") << 2 << a + "\r\nnotes\x01\xff" << a + "\r\nnotes\x01\xff";
    QTest::newRow("CR followed by another character") << 2 << a.chopped(1) + "X" + b << a + b + kEnd;
    QByteArray surplus = record(28, "s");
    surplus.insert(surplus.size() - 2, "\textra\t\tcells");
    QTest::newRow("surplus cells stay in the last field") << 2 << surplus + kEnd << surplus + kEnd;
    const QByteArray quoted = "\"line one\r\nline two\"\t" + record(27, "q");
    QTest::newRow("quoted CR LF inside a record") << 2 << quoted + kEnd << quoted + kEnd;
    QTest::newRow("projectile header kept") << 3 << "ver 2;x;" + record(38, "p") << "ver 2;x;" + record(38, "p") + kEnd;
    QTest::newRow("unit list blanks normalised")
        << 1 << unitFile({unitRecord(troopList(" ,  "))}) << unitFile({unitRecord(troopList())}) + kEnd;
    const QList<QByteArray> blanks(4000, unitRecord(troopList(" ,  "))), normalised(4000, unitRecord(troopList()));
    QTest::newRow("rebuilt records filling more than one write block") << 1 << unitFile(blanks) << unitFile(normalised) + kEnd;
    QTest::newRow("unit list text after the 22nd value dropped")
        << 1 << unitFile({unitRecord(troopList().chopped(1) + ", 99\" tail")}) << unitFile({unitRecord(troopList())}) + kEnd;
  }
  void saveWritesTheNormalisedLayout() {
    QFETCH(int, kind);
    auto record = loaded(kind, fetched<QByteArray>("input"));
    QVERIFY(record);
    QCOMPARE(saved(*record, kind), fetched<QByteArray>("output"));
  }

  void loadErrors_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("field");
    const QString building = "The [Build_prod13] Data is incorrectly formatted.";
    const QString projectile = "The [ProjectileStats] Data is incorrectly formatted.";
    const QString endOfData = "\r\nReached end of data without finding a record(end)!\r\n"
                              "(probably caused by forcing a non-MTW file to load,\r\n"
                              "or an out of place/missing \" somewhere in data.)";
    const QString tooLong = "\r\nMore than 40,000 chars in a single record!\r\n"
                            "(probably caused by forcing a unit_prod11 file to load as a ProjectileStats File\r\n"
                            "or an out of place or missing \" somewhere in data.)";
    const QByteArray good = record(28, "g");
    QTest::newRow("empty text") << 2 << QByteArray() << "There is no data in this file!" << 1 << 0;
    QTest::newRow("too few cells") << 2 << good + record(3, "x") << building << 2 << 3;
    QTest::newRow("last record without CR LF, after another") << 2 << good + good.chopped(2) << building + endOfData << 2 << 0;
    QTest::newRow("unclosed quote") << 2 << good + "\"" + good + good << building + endOfData << 2 << 0;
    QTest::newRow("record too long, the first") << 2 << QByteArray(40000, 'x') + "\r\n" << building << 1 << 0;
    QTest::newRow("39,999 characters without CR LF") << 2 << good + QByteArray(39999, 'x') << building + endOfData << 2 << 0;
    QTest::newRow("40,000 characters without CR LF") << 2 << good + QByteArray(40000, 'x') << building + tooLong << 2 << 0;
    QTest::newRow("projectile with header, unterminated") << 3 << QByteArray("ver 1;x\ty") << projectile + endOfData << 1 << 0;
    QTest::newRow("CR as the last character")
        << 2 << good + good.chopped(1)
        << "Err.No: 62\r\nErr.desc: Input past end of file: the data ends with a carriage return that has no line feed after it."
        << 2 << 0;
    QTest::newRow("unit list of three values")
        << 1 << unitFile({unitRecord("\"1, 2, 3\"")}) << "The [Unit_Prod11] Data is incorrectly formatted." << 5 << 24;
    QTest::newRow("unit list without its opening quote")
        << 1 << unitFile({unitRecord(troopList().mid(1).chopped(1))}) << "The [Unit_Prod11] Data is incorrectly formatted." << 5 << 22;
    QByteArray openList = unitRecord(troopList().chopped(1));  // its closing quote comes later
    QTest::newRow("unit list whose 22nd value runs to the cell's end")
        << 1 << unitFile({openList.replace("\tu44\t", "\tu44\"\t")}) << "The [Unit_Prod11] Data is incorrectly formatted." << 5 << 43;
    QByteArray evenTail = unitRecord(troopList() + "x\"");  // a save would drop a quote
    QTest::newRow("unit list with an even count of quotes after its 22nd value")
        << 1 << unitFile({evenTail.replace("\tu44\t", "\tu44\"\t")}) << "The [Unit_Prod11] Data is incorrectly formatted." << 5 << 43;
    QByteArray nearLimit = unitRecord(troopList(","));  // ", " between values would take it one over the limit
    nearLimit.replace("\tu71", "\tu71" + QByteArray(39978 - (nearLimit.size() - 2), 'z'));
    QTest::newRow("unit list that its save would take to 39,999 characters")
        << 1 << unitFile({nearLimit}) << "The [Unit_Prod11] Data is incorrectly formatted." + tooLong << 5 << 22;
    QTest::newRow("unit line cut before the list")
        << 1 << unitFile({record(21, "u")}) << "The [Unit_Prod11] Data is incorrectly formatted." << 5 << 21;
    QByteArray cut = unitRecord(troopList());
    cut.truncate(cut.indexOf("\tu45"));
    QTest::newRow("unit line cut after the list")
        << 1 << unitFile({cut + "\r\n"}) << "The [Unit_Prod11] Data is incorrectly formatted." << 5 << 44;
  }
  void loadErrors() {
    QFETCH(int, kind);
    auto data = store(kind);
    MessageRecorder boxes;
    QVERIFY(!data->createRecord(fetched<QByteArray>("input").toStdString(), "bad.txt"));
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(boxes.boxes[0].title),
             "Error Loading " + QString::fromStdString(GlobalShared::getSectionName(kind)) + " file");
    QCOMPARE(boxes.boxes[0].style, Platform::OkOnly | Platform::Exclamation);
    QCOMPARE(QString::fromStdString(boxes.boxes[0].prompt),
             "There was an error loading the data.\r\n\r\n" + fetched<QString>("detail") +
                 QString("\r\n\r\nThe Program stopped Loading at Record: %1  Field: %2")
                     .arg(fetched<int>("record"))
                     .arg(fetched<int>("field")));
  }

  void recordLengthLimit_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("loads");
    QTest::newRow("CR at position 39,999") << 39998 << true;
    QTest::newRow("CR at position 40,000") << 39999 << false;
  }
  void recordLengthLimit() {
    QFETCH(int, length);
    QByteArray line = record(28, "f");
    line.insert(0, QByteArray(length - (line.size() - 2), 'z'));
    QCOMPARE(line.size() - 2, length);
    auto record = store(2);
    MessageRecorder boxes;
    QCOMPARE(record->createRecord((DataText::record(28, "g") + line).toStdString(), "f"), fetched<bool>("loads"));
  }

  void failedLoadKeepsTheEarlierRecords() {
    auto record = loaded(3, "ver 1;" + DataText::record(38, "p") + kEnd);
    QVERIFY(record);
    MessageRecorder boxes;
    QVERIFY(!record->createRecord("ver 2;broken", "second.txt"));
    QCOMPARE(record->NoUnits(), 1);
    QCOMPARE(record->sFilePath(), std::string("in.txt"));
    QCOMPARE(record->ProjVerInfo(), std::string("ver 2;"));  // replaced before the parse
    QCOMPARE(record->returnArrayUnitNames(1, 1)[0], std::string("p1"));
  }

  void unitLoadedReportsProgress() {
    const QByteArray first = DataText::record(28, "a"), second = DataText::record(28, "bb");
    auto record = store(2);
    std::vector<std::array<std::int64_t, 3>> events;
    record->setUnitLoadedHandler([&](std::int32_t unit, std::int64_t start, std::int64_t current) {
      events.push_back({unit, start, current});
    });
    const std::int64_t total = first.size() + second.size() + 4;
    QVERIFY(record->createRecord((first + second + kEnd).toStdString(), "x"));
    const std::vector<std::array<std::int64_t, 3>> loading{{1, total, total - first.size()}, {2, total, 4}};
    QCOMPARE(events, loading);
    events.clear();
    record->getStr2Write(1);
    record->getStr2Write(2);
    const std::vector<std::array<std::int64_t, 3>> saving{{1, 2, 1}, {2, 2, 0}};
    QCOMPARE(events, saving);
  }

  void editsAreWrittenBack() {
    auto record = loaded(1, unitFile({unitRecord(troopList()), unitRecord(troopList())}));
    QVERIFY(record);
    record->setRangeSelected(2);                         // display column 1 is field 22
    record->setField(1, 5, "");                          // record 5: field 22 emptied
    record->setField(2, 6, "7");                         // record 6: field 23
    record->setField(2, 2, "ignored");                   // header rows write field 22 for the cell
    record->setRangeSelected(1);
    record->setField(1, 6, "Knights \xe9");
    QCOMPARE(record->getStr2Write(5), unitRecord(troopList().replace("\"22,", "\",")).toStdString());
    QByteArray list = troopList();
    list.replace("23,", "7,");
    QCOMPARE(record->getStr2Write(6), unitRecord(list).replace("u1\t", "Knights \xe9\t").toStdString());
    QCOMPARE(record->getStr2Write(2), unitRecord("Troop stats 2", "h2_").toStdString());
  }

  // An edit a save could not write so that it reads back the same is refused with the unit, the
  // field and the reason; the old file stays. The other edits save and read back.
  void editsThatCannotBeSaved_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("refusal");  // empty: saved
    QTest::newRow("decimal comma in a troop stat") << 1 << 25 << QByteArray("1,5")
        << "Record 5 (\"u1\"), field 25: a comma in a troop-stat value would split it into two values";
    QTest::newRow("blank around a troop stat") << 1 << 23 << QByteArray(" 5")
        << "Record 5 (\"u1\"), field 23: blanks at the start or end of a troop-stat value are not kept";
    QTest::newRow("double quote in the last troop stat") << 1 << 43 << QByteArray("4\"")
        << "Record 5 (\"u1\"), field 43: a double quote in the last troop-stat value would end the list early";
    QTest::newRow("TAB in a value") << 2 << 3 << QByteArray("a\tb")
        << "Record 5 (\"a2\"), field 3: a TAB in the value would split it into two fields";
    QTest::newRow("single double quote") << 2 << 3 << QByteArray("6\"")
        << "Record 5 (\"a2\"), field 3: a double quote (\") without its partner would join the record with the lines after it";
    QTest::newRow("line end outside quotes") << 2 << 9 << QByteArray("a\r\nb")
        << "Record 5 (\"a2\"), field 9: a line end outside double quotes would end the record early";
    QTest::newRow("semicolon in a projectile value") << 3 << 4 << QByteArray("1;2")
        << "Record 2 (\"p1\"), field 4: a semicolon in a projectile file would move the file's header past this record";
    QTest::newRow("record over the length limit") << 2 << 5 << QByteArray(39900, 'x')
        << "Record 5 (\"a2\"), field 5: the record would be 40000 characters long; a record may hold at most 39998";
    QTest::newRow("quoted line ends") << 2 << 3 << QByteArray("\"a\r\nb\rc\"") << QString();
    QTest::newRow("comma outside the troop stats") << 1 << 44 << QByteArray("1,5") << QString();
    QTest::newRow("every byte but the structural ones") << 2 << 2 << QByteArray("\x01\xa0\xff\n;,' x") << QString();
  }
  void editsThatCannotBeSaved() {
    QFETCH(int, kind);
    QFETCH(int, field);
    QFETCH(QByteArray, value);
    QFETCH(QString, refusal);
    QByteArray text = kind == 1 ? unitFile({unitRecord(troopList())}) : "";
    for (int r = 1; kind != 1 && r <= (kind == 3 ? 2 : 5); ++r) text += DataText::record(kind == 3 ? 38 : 28, r < 5 && kind == 2 ? "h" : kind == 3 ? "p" : "a");
    auto record = loaded(kind, (kind == 3 ? "ver 1;" : "") + text + kEnd);
    QVERIFY(record);
    const int unit = kind == 3 ? 2 : 5;
    record->setField(field, unit, value.toStdString());
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    std::ofstream(path.toStdString(), std::ios::binary) << "old content";
    MessageRecorder boxes;
    const bool savedNow = DataFile::writeDataFile(*record, kind, path.toStdString());
    QCOMPARE(savedNow, refusal.isEmpty());
    if (!savedNow) {
      QCOMPARE(fileBytes(path), QByteArray("old content"));
      QCOMPARE(boxes.boxes.size(), std::size_t{1});
      QCOMPARE(QString::fromStdString(boxes.boxes[0].prompt),
               "The data cannot be saved to '" + path + "' as it is, because it would not read back the same:\r\n\r\n" +
                   refusal + ".\r\n\r\nNothing was written. Correct the value and save again.");
      QVERIFY(record->saveProblem(unit) && record->saveProblem(unit)->field == field);
      QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
      return;
    }
    QVERIFY(!record->saveProblem(unit));
    auto again = loaded(kind, fileBytes(path));
    QVERIFY(again);
    QCOMPARE(again->returnArrayFieldXUnit(unit, field, 1, 1)[0][0], value.toStdString());
  }

  // A unit file's header rows write fields 22 to 43 as one cell, from field 22: an edit of it saves.
  void editedHeaderCellSaves() {
    auto record = loaded(1, unitFile({unitRecord(troopList())}) + kEnd);
    QVERIFY(record);
    record->setField(22, 2, "Troop stats, renamed");
    QVERIFY(!record->saveProblem(2));
    auto again = loaded(1, saved(*record, 1));
    QVERIFY(again);
    QCOMPARE(again->returnArrayFieldXUnit(2, 30, 1, 1)[0][0], std::string("Troop stats, renamed"));
  }

  // Edits that move a TAB from one field to another write the loaded bytes again, yet would read
  // back as the loaded values: the save must still refuse them.
  void editsThatKeepTheBytesButMoveAField() {
    QByteArray line = DataText::record(28, "f");
    line.insert(line.size() - 2, "\tq");  // the last field holds a surplus TAB: "f28\tq"
    auto record = loaded(2, DataText::record(28, "h").repeated(4) + line + kEnd);
    QVERIFY(record);
    record->setField(27, 5, "f27\tf28");
    record->setField(28, 5, "q");
    QCOMPARE(record->getStr2Write(5), line.toStdString());
    MessageRecorder boxes;
    QCOMPARE(saved(*record, 2), QByteArray("save failed"));
    QVERIFY(record->saveProblem(5) && record->saveProblem(5)->field == 27);
  }

  void arraysByKind() {
    auto building = loaded(2, DataText::record(28, "a") + DataText::record(28, "b") + kEnd);
    QVERIFY(building);
    QCOMPARE(building->returnArrayUnitNames(1, 2), (std::vector<std::string>{"a2", "b2"}));
    building->setRange(3, "5, 1,");
    building->setRangeSelected(3);
    const std::vector<std::vector<std::string>> cells{{"a5", "b5"}, {"a1", "b1"}};
    QCOMPARE(building->returnArrayFieldXUnit(1, 1, 2, 2), cells);
    QCOMPARE(building->returnArrayFieldXUnit(2, 2, 1, 1), (std::vector<std::vector<std::string>>{{"b1"}}));
    auto unit = loaded(1, unitFile({unitRecord(troopList(" , "))}));
    QVERIFY(unit);
    QCOMPARE(unit->returnArrayUnitNames(4, 2), (std::vector<std::string>{"h4_1", "u1"}));
    unit->setRangeSelected(2);
    QCOMPARE(unit->returnArrayFieldXUnit(5, 21, 1, 2), (std::vector<std::vector<std::string>>{{"42"}, {"43"}}));
    QCOMPARE(unit->returnArrayFieldXUnit(1, 22, 1, 1), (std::vector<std::vector<std::string>>{{"Troop stats 1"}}));
  }

  void detectFileType_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("kind");
    QTest::newRow("NAME") << QByteArray("NAME\tx") << 1;
    QTest::newRow("VER in capitals") << QByteArray("VER ;") << 3;
    QTest::newRow("Numb") << QByteArray("Numb") << 2;
    QTest::newRow("ver and a tab") << QByteArray("ver\t1;") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
  }
  void detectFileType() {
    QCOMPARE(DataFile::detectFileType(fetched<QByteArray>("start").toStdString()), fetched<int>("kind"));
  }

  // Where a save writes, as a careful editor does it, and what a failed one leaves: the old file and
  // nothing beside it. The file is two write blocks long and compared byte for byte; the save runs
  // as nobody where a folder is locked, and with a file-size limit where the disk fills up.
  void destinations_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("sizeLimit");  // bytes; 0: none, -1: one byte short of the file
    QTest::addColumn<QString>("error");  // empty: saved
    QTest::newRow("read-only file is refused") << "read-only" << 0 << "[13] :Permission denied";
    QTest::newRow("link is followed and stays a link") << "link" << 0 << "";
    QTest::newRow("writable file in a locked folder is written in place") << "locked" << 0 << "";
    QTest::newRow("file and folder not writable") << "locked, not owned" << 0 << "[13] :Permission denied";
    QTest::newRow("permissions and owner are kept") << "owner" << 0 << "";
    QTest::newRow("a name of 255 bytes") << "long name" << 0 << "";
    QTest::newRow("leftovers of killed saves are removed") << "leftover" << 0 << "";
    QTest::newRow("destination is a folder") << "folder" << 0 << "[21] :Is a directory";
    QTest::newRow("disk full at the first byte") << "plain" << 1 << "[27] :File too large";
    QTest::newRow("disk full in the second block") << "plain" << (1 << 20) + 10 << "[27] :File too large";
    QTest::newRow("disk full at the last byte") << "plain" << -1 << "[27] :File too large";
  }
  void destinations() {
    QFETCH(QString, setup);
    QFETCH(QString, error);
    QTemporaryDir dir;
    ::chmod(dir.path().toLocal8Bit().constData(), 0755);  // nobody may look in
    QVERIFY(QDir(dir.path()).mkdir("locked") && QDir(dir.path()).mkdir("folder"));
    QByteArray text;
    for (int r = 0; r < 8000; ++r) text += DataText::record(28, "value" + QByteArray::number(r % 7));
    text += kEnd;
    auto record = loaded(2, text);
    const bool locked = setup.startsWith("locked");
    const QString path = dir.filePath(setup == "long name" ? QString(255, 'n') : locked ? "locked/old.txt" : setup == "link" ? "link.txt"
                                      : setup == "folder" ? "folder" : "old.txt");
    const QString written = setup == "link" ? dir.filePath("target.txt") : path;
    const QByteArray file = written.toLocal8Bit();
    if (setup != "folder") std::ofstream(written.toStdString(), std::ios::binary) << "old content";
    if (setup == "read-only") ::chmod(file.constData(), 0444);
    if (setup == "link") QVERIFY(QFile::link("target.txt", path));
    if (setup == "owner" || setup == "locked") QCOMPARE(::chown(file.constData(), 65534, 65534), 0);
    if (setup == "owner") ::chmod(file.constData(), 0640);
    if (locked) ::chmod(dir.filePath("locked").toLocal8Bit().constData(), 0555);
    if (setup == "leftover") std::ofstream(AtomicFileWriter::temporaryStem(written.toStdString()) + "123.tmp") << "killed";
    const int limit = fetched<int>("sizeLimit") < 0 ? text.size() - 1 : fetched<int>("sizeLimit");
    const ChildRun save = inChild([&] { return DataFile::writeDataFile(*record, 2, path.toStdString()); }, locked, limit);
    ::chmod(dir.filePath("locked").toLocal8Bit().constData(), 0755);
    QCOMPARE(QString::fromStdString(save.boxes),
             error.isEmpty() ? QString() : "PelkoEditor|An error occurred trying to save to '" + path + "'\r\n" + error + "\n");
    QCOMPARE(save.succeeded, error.isEmpty());
    QStringList files;
    for (QDirIterator it(dir.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories); it.hasNext();) files << it.next();
    files.sort();
    const QStringList kept = setup == "folder" ? QStringList() : setup == "link" ? QStringList{path, written} : QStringList{written};
    QCOMPARE(files, kept);
    if (setup == "folder") return;
    QCOMPARE(fileBytes(written), error.isEmpty() ? text : QByteArray("old content"));
    struct stat info {};
    QCOMPARE(::stat(file.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), setup == "read-only" ? 0444 : setup == "owner" ? 0640 : 0644);
    if (setup == "owner") QCOMPARE(int(info.st_uid), 65534);
  }
};

QTEST_APPLESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
