#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <sys/stat.h>

#include "AtomicFileWriter.h"
#include "CRecordData.h"
#include "Child.h"
#include "ContentHash.h"
#include "DataDiff.h"
#include "DataFile.h"
#include "DataText.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "GlobalShared.h"
#include "Platform.h"
#include "SavedBytes.h"
#include "RecordPairing.h"
#include "Wine.h"

using namespace DataText;

namespace {

std::unique_ptr<CRecordData> store(int kind) {
  auto record = std::make_unique<CRecordData>();
  record->initRanges(kind);
  return record;
}

std::unique_ptr<CRecordData> loaded(int kind, const QByteArray& text) {
  auto record = store(kind);
  if (const FileResult<void> loaded = record->createRecord(text.toStdString(), "in.txt"); !loaded) {
    qWarning("load failed: %s", failureMessages(loaded.error()).back().text.c_str());
    return nullptr;
  }
  return record;
}

const QByteArray kEnd = "\r\n\r\n";

// A building file whose units carry the names given (field 2) and their place in it (field 1),
// after header rows whose names differ from file to file.
std::unique_ptr<CRecordData> named(const QStringList& names, const QByteArray& header) {
  QByteArray text;
  for (int h = 1; h <= 4; ++h) text += record(28, header + QByteArray::number(h) + "f");
  for (int u = 0; u < names.size(); ++u) {
    QList<QByteArray> cells{QByteArray::number(u + 1), names[u].toLatin1()};
    for (int f = 3; f <= 28; ++f) cells << "v" + QByteArray::number(f);
    text += record(cells);
  }
  return loaded(2, text + kEnd);
}

// A building file two write blocks long.
QByteArray twoBlocks() {
  QByteArray text;
  for (int r = 0; r < 8000; ++r) text += DataText::record(28, "value" + QByteArray::number(r % 7));
  return text + kEnd;
}

}  // namespace

// The record store: load, save and edits of the three kinds.
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
    QByteArray longest = record(28, "f");
    longest.insert(0, QByteArray(39998 - (longest.size() - 2), 'z'));  // its CR at position 39,999
    QTest::newRow("the longest record") << 2 << a + longest + kEnd << a + longest + kEnd;
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

  // Each failure reaches the user with the program's own title and text; the path stays its bytes,
  // apart from the text around it, so that the window can show it in the file system's encoding.
  void failureTexts_data() {
    using Kind = FileFailure::Kind;
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("text");  // "<>" where the path goes
    QTest::addColumn<int>("style");
    const auto row = [](const char* name, Kind kind, const char* title, const char* text, int style) {
      QTest::newRow(name) << int(kind) << QByteArray(title) << QByteArray(text) << style;
    };
    row("read refused", Kind::Unreadable, "PelkoEditor", "An error occurred trying to read '<>'\r\n[13] :Permission denied", 16);
    row("kind not detected", Kind::UnknownKind, "LoadRecord Aborted!",
        "Couldn't auto-detect File Type!\r\n\r\nThis File dosen't appear appears to be a MTW File, switch auto-detect off and "
        "try forcing it to load as a specific file-type if you are sure it contains validly formatted data.", 16);
    row("save refused", Kind::WouldNotReadBack, "PelkoEditor",
        "The data cannot be saved to '<>' as it is, because it would not read back the same:\r\n\r\n"
        "Record 7, field 12.\r\n\r\nNothing was written. Correct the value and save again.", 48);
    row("write refused", Kind::NotWritten, "PelkoEditor", "An error occurred trying to save to '<>'\r\n[13] :Permission denied", 0);
    row("settings not kept", Kind::SettingsNotKept, "PelkoEditor",
        "PelkoEditor cannot keep its settings (the view of each kind of file and the window's place): '<>' cannot be written.", 48);
  }
  void failureTexts() {
    const std::string path = "/m\xfc\xe9/D\xc3\xbc\x02.txt";  // Latin-1, UTF-8 and a control byte
    FileFailure failure(FileFailure::Kind(fetched<int>("kind")), path, SystemError::of(EACCES));
    failure.fileType = 2;
    failure.data.detail = ParseFailure::Detail::IncorrectlyFormatted;
    failure.data.record = 7;
    failure.data.field = 12;
    failure.problem = "Record 7, field 12";
    const std::vector<Message> boxes = failureMessages(failure);
    QCOMPARE(boxes.size(), std::size_t{1});
    const QByteArray text = fetched<QByteArray>("text");
    QCOMPARE(QByteArray::fromStdString(boxes[0].title), fetched<QByteArray>("title"));
    QCOMPARE(QByteArray::fromStdString(boxes[0].bytes()), QByteArray(text).replace("<>", QByteArray::fromStdString(path)));
    QCOMPARE(QByteArray::fromStdString(boxes[0].text), QByteArray(text).replace("<>", ""));
    QCOMPARE(boxes[0].path, text.contains("<>") ? path : std::string());
    QCOMPARE(boxes[0].style, fetched<int>("style"));
  }

  // A file that cannot be read is still loaded, with no text, as the program always did: the
  // read's box comes first, then the load's. No failure may pass as a load.
  void failuresReachTheUser_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("forced");
    QTest::addColumn<QStringList>("titles");
    const QStringList unreadable{"PelkoEditor", "LoadRecord Aborted!"};
    QTest::newRow("missing file, kind detected") << "load missing" << 0 << unreadable;
    QTest::newRow("missing file, kind forced") << "load missing" << 2 << QStringList{"PelkoEditor", "Error Loading [Build_prod13] file"};
    QTest::newRow("folder") << "load folder" << 2 << QStringList{"PelkoEditor", "Error Loading [Build_prod13] file"};
    QTest::newRow("not a data file") << "load text" << 0 << QStringList{"LoadRecord Aborted!"};
    QTest::newRow("bad data") << "load text" << 2 << QStringList{"Error Loading [Build_prod13] file"};
  }
  void failuresReachTheUser() {
    QFETCH(QString, step);
    QTemporaryDir dir;
    const std::string text = dir.filePath("text.txt").toStdString();
    std::ofstream(text, std::ios::binary) << "ver\t1;";
    CRecordData record;
    const std::string path = step == "load missing" ? dir.filePath("missing.txt").toStdString()
                             : step == "load folder" ? dir.path().toStdString() : text;
    const FileResult<std::int32_t> loaded = DataFile::readDataFile(path, fetched<int>("forced"), record);
    QVERIFY(!loaded);
    QStringList titles;
    for (const Message& box : failureMessages(loaded.error())) titles << QString::fromStdString(box.title);
    QCOMPARE(titles, fetched<QStringList>("titles"));
  }

  void loadErrors_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("field");
    const QString building = "The [Build_prod13] Data is incorrectly formatted.";
    const QString unit = "The [Unit_Prod11] Data is incorrectly formatted.";
    const QString endOfData = "\r\nReached end of data without finding a record(end)!\r\n"
                              "(probably caused by forcing a non-MTW file to load,\r\n"
                              "or an out of place/missing \" somewhere in data.)";
    const QString tooLong = "\r\nMore than 40,000 chars in a single record!\r\n"
                            "(probably caused by forcing a unit_prod11 file to load as a ProjectileStats File\r\n"
                            "or an out of place or missing \" somewhere in data.)";
    const auto row = [](const char* name, int kind, const QByteArray& input, const QString& detail, int record, int field) {
      QTest::newRow(name) << kind << input << detail << record << field;
    };
    const QByteArray good = record(28, "g");
    row("empty text", 2, QByteArray(), "There is no data in this file!", 1, 0);
    row("too few cells", 2, good + record(3, "x"), building, 2, 3);
    row("last record without CR LF, after another", 2, good + good.chopped(2), building + endOfData, 2, 0);
    row("unclosed quote", 2, good + "\"" + good + good, building + endOfData, 2, 0);
    row("record too long, the first", 2, QByteArray(40000, 'x') + "\r\n", building, 1, 0);
    row("CR at position 40,000", 2, good + QByteArray(39999, 'x') + "\r\n", building + tooLong, 2, 0);
    row("39,999 characters without CR LF", 2, good + QByteArray(39999, 'x'), building + endOfData, 2, 0);
    row("40,000 characters without CR LF", 2, good + QByteArray(40000, 'x'), building + tooLong, 2, 0);
    row("projectile with header, unterminated", 3, "ver 1;x\ty", "The [ProjectileStats] Data is incorrectly formatted." + endOfData, 1, 0);
    row("CR as the last character", 2, good + good.chopped(1),
        "Err.No: 62\r\nErr.desc: Input past end of file: the data ends with a carriage return that has no line feed after it.", 2, 0);
    row("unit list of three values", 1, unitFile({unitRecord("\"1, 2, 3\"")}), unit, 5, 24);
    row("unit list without its opening quote", 1, unitFile({unitRecord(troopList().mid(1).chopped(1))}), unit, 5, 22);
    QByteArray openList = unitRecord(troopList().chopped(1));  // its closing quote comes later
    row("unit list whose 22nd value runs to the cell's end", 1, unitFile({openList.replace("\tu44\t", "\tu44\"\t")}), unit, 5, 43);
    QByteArray evenTail = unitRecord(troopList() + "x\"");  // a save would drop a quote
    row("unit list with an even count of quotes after its 22nd value", 1,
        unitFile({evenTail.replace("\tu44\t", "\tu44\"\t")}), unit, 5, 43);
    QByteArray nearLimit = unitRecord(troopList(","));  // ", " between values would take it one over the limit
    nearLimit.replace("\tu71", "\tu71" + QByteArray(39978 - (nearLimit.size() - 2), 'z'));
    row("unit list that its save would take to 39,999 characters", 1, unitFile({nearLimit}), unit + tooLong, 5, 22);
    row("unit line cut before the list", 1, unitFile({record(21, "u")}), unit, 5, 21);
    QByteArray cut = unitRecord(troopList());
    cut.truncate(cut.indexOf("\tu45"));
    row("unit line cut after the list", 1, unitFile({cut + "\r\n"}), unit, 5, 44);
  }
  void loadErrors() {
    QFETCH(int, kind);
    auto data = store(kind);
    const FileResult<void> loaded = data->createRecord(fetched<QByteArray>("input").toStdString(), "bad.txt");
    QVERIFY(!loaded);
    const std::vector<Message> boxes = failureMessages(loaded.error());
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(boxes[0].title),
             "Error Loading " + QString::fromStdString(FileKind::sectionName(kind)) + " file");
    QCOMPARE(boxes[0].style, Message::OkOnly | Message::Exclamation);
    QCOMPARE(QString::fromStdString(boxes[0].bytes()),
             "There was an error loading the data.\r\n\r\n" + fetched<QString>("detail") +
                 QString("\r\n\r\nThe Program stopped Loading at Record: %1  Field: %2")
                     .arg(fetched<int>("record")).arg(fetched<int>("field")));
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
    QTest::addColumn<QString>("reason");  // empty: saved
    const auto row = [](const char* name, int kind, int field, const QByteArray& value, const char* reason) {
      QTest::newRow(name) << kind << field << value << QString::fromLatin1(reason);
    };
    row("decimal comma in a troop stat", 1, 25, "1,5", "a comma in a troop-stat value would split it into two values");
    row("blank around a troop stat", 1, 23, " 5", "blanks at the start or end of a troop-stat value are not kept");
    row("double quote in the last troop stat", 1, 43, "4\"", "a double quote in the last troop-stat value would end the list early");
    row("TAB in a value", 2, 3, "a\tb", "a TAB in the value would split it into two fields");
    row("single double quote", 2, 3, "6\"", "a double quote (\") without its partner would join the record with the lines after it");
    row("line end outside quotes", 2, 9, "a\r\nb", "a line end outside double quotes would end the record early");
    row("semicolon in a projectile value", 3, 4, "1;2", "a semicolon in a projectile file would move the file's header past this record");
    row("record over the length limit", 2, 5, QByteArray(39900, 'x'),
        "the record would be 40000 characters long; a record may hold at most 39998");
    row("quoted line ends", 2, 3, "\"a\r\nb\rc\"", "");
    row("comma outside the troop stats", 1, 44, "1,5", "");
    row("every byte but the structural ones", 2, 2, "\x01\xa0\xff\n;,' x", "");
  }
  void editsThatCannotBeSaved() {
    QFETCH(int, kind);
    QFETCH(int, field);
    QFETCH(QByteArray, value);
    QFETCH(QString, reason);
    QByteArray text = kind == 1 ? unitFile({unitRecord(troopList())}) : "";
    for (int r = 1; kind != 1 && r <= (kind == 3 ? 2 : 5); ++r) text += DataText::record(kind == 3 ? 38 : 28, r < 5 && kind == 2 ? "h" : kind == 3 ? "p" : "a");
    auto record = loaded(kind, (kind == 3 ? "ver 1;" : "") + text + kEnd);
    QVERIFY(record);
    const int unit = kind == 3 ? 2 : 5;
    const QString refusal = reason.isEmpty() ? reason
                            : QString("Record %1 (\"%2\"), field %3: ").arg(unit).arg(kind == 1 ? "u1" : kind == 2 ? "a2" : "p1").arg(field) + reason;
    record->setField(field, unit, value.toStdString());
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    std::ofstream(path.toStdString(), std::ios::binary) << "old content";
    const FileResult<void> savedNow = DataFile::writeDataFile(*record, kind, path.toStdString());
    QCOMPARE(savedNow.has_value(), refusal.isEmpty());
    if (!savedNow) {
      QCOMPARE(fileBytes(path), QByteArray("old content"));
      const std::vector<Message> boxes = failureMessages(savedNow.error());
      QCOMPARE(boxes.size(), std::size_t{1});
      QCOMPARE(QString::fromStdString(boxes[0].bytes()),
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
    QCOMPARE(saved(*record, 2), QByteArray("save failed"));
    QVERIFY(record->saveProblem(5) && record->saveProblem(5)->field == 27);
  }

  // A unit's name is read from the record's text without splitting it: it must be the name field's value.
  void unitName_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("nameCell");
    QTest::addColumn<bool>("edited");
    QTest::newRow("unit file, field 1") << 1 << QByteArray("Knights") << false;
    QTest::newRow("building file, field 2") << 2 << QByteArray("Keep") << false;
    QTest::newRow("projectile file, field 1") << 3 << QByteArray("Arrow") << false;
    QTest::newRow("quoted, with a line end") << 2 << QByteArray("\"Great\r\nHall\"") << false;
    QTest::newRow("empty") << 2 << QByteArray() << false;
    QTest::newRow("edited") << 2 << QByteArray("Keep") << true;
  }
  void unitName() {
    QFETCH(int, kind);
    QFETCH(QByteArray, nameCell);
    const int fields = kind == 1 ? 71 : kind == 2 ? 28 : 38, nameField = kind == 2 ? 2 : 1;
    QByteArray line = kind == 1 ? unitRecord(troopList()) : record(fields, "v");
    line.replace("\tv2\t", kind == 2 ? "\t" + nameCell + '\t' : QByteArray("\tv2\t"));
    line.replace(kind == 1 ? "u1\t" : "v1\t", kind == 2 ? QByteArray("v1\t") : nameCell + '\t');
    QByteArray text = kind == 1 ? unitFile({line}) : kind == 2 ? record(fields, "h").repeated(4) + line : "ver 1;" + record(fields, "h") + line;
    auto store = loaded(kind, text + kEnd);
    QVERIFY(store);
    const int unit = store->NoUnits();
    if (fetched<bool>("edited")) store->setValue(unit, nameField, "Tower");
    QCOMPARE(store->unitName(unit), store->value(unit, nameField));
    QCOMPARE(QByteArray(store->unitName(unit).data(), qsizetype(store->unitName(unit).size())),
             fetched<bool>("edited") ? QByteArray("Tower") : nameCell);
  }

  // Records pair by their unit's name; header rows by number. "pairs" gives, for each unit of the
  // first file, the unit of the second it pairs with ("-" none); "added" the second's unpaired.
  void pairing_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("pairs");
    QTest::addColumn<QString>("added");
    const auto names = [](const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); };
    QTest::newRow("same names in the same order") << names("a b c") << names("a b c") << "1 2 3" << "";
    QTest::newRow("unit inserted early") << names("a b c d") << names("a n b c d") << "1 3 4 5" << "2";
    QTest::newRow("unit removed") << names("a b c d") << names("a c d") << "1 - 2 3" << "";
    QTest::newRow("unit appended") << names("a b") << names("a b n") << "1 2" << "3";
    QTest::newRow("unit renamed") << names("a b c") << names("a x c") << "1 2 3" << "";
    QTest::newRow("unit renamed beside an inserted one") << names("a b c") << names("a x n c") << "1 - 4" << "2 3";
    QTest::newRow("unit moved to the end") << names("m a b c") << names("a b c m") << "4 1 2 3" << "";
    QTest::newRow("units swapped") << names("a b c d") << names("a c b d") << "1 3 2 4" << "";
    QTest::newRow("unit moved, another inserted") << names("a b c d e") << names("a n c d b e") << "1 5 3 4 6" << "2";
    QTest::newRow("every name changed") << names("p q") << names("x y") << "1 2" << "";
    QTest::newRow("duplicate names among renamed units pair in order")
        << names("p d d q") << names("r d d s") << "1 2 3 4" << "";
    QTest::newRow("duplicate names in a gap of other counts pair by name")
        << names("a x d d b") << names("a d z d w b") << "1 - 2 4 6" << "3 5";
    QTest::newRow("duplicate name once more, between anchors")
        << names("a d b c") << names("a d b d c") << "1 2 3 5" << "4";
    QTest::newRow("no units in the second file") << names("a b") << QStringList() << "- -" << "";
  }
  void pairing() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    auto first = named(before, "h"), second = named(after, "H");
    QVERIFY(first && second);
    const RecordPairing pairing(*first, *second);
    const DataDiff::Comparison comparison = DataDiff::compare(*first, *second);  // pairs in order when it can
    for (int r = 1; r <= first->NoUnits(); ++r) QCOMPARE(comparison.pairing.afterOf(r), pairing.afterOf(r));
    QStringList pairs, added;
    for (int u = 1; u <= before.size(); ++u) {
      const int mate = pairing.afterOf(u + 4);
      pairs << (mate == 0 ? QStringLiteral("-") : QString::number(mate - 4));
      if (mate != 0) QCOMPARE(pairing.beforeOf(mate), u + 4);
    }
    for (const std::int32_t r : pairing.unpairedAfter()) added << QString::number(r - 4);
    QCOMPARE(pairs.join(QLatin1Char(' ')), fetched<QString>("pairs"));
    QCOMPARE(added.join(QLatin1Char(' ')), fetched<QString>("added"));
    QCOMPARE(int(pairing.unpairedBefore().size()), int(pairs.count(QStringLiteral("-"))));
    for (int r = 1; r <= 4 && r <= second->NoUnits(); ++r) QCOMPARE(pairing.afterOf(r), r);
    QCOMPARE(pairing.byNumber(), before == after);
  }

  // A unit's troop stats read as fields of their own; a header row's packed cell is one value,
  // field 22, in a comparison and in an edit that saves.
  void troopStatsCells() {
    const QByteArray text = unitFile({unitRecord(troopList(" , "))}) + kEnd;
    auto unit = loaded(1, text), other = loaded(1, QByteArray(text).replace("Troop stats 2", "Troop stats, 2"));
    QVERIFY(unit && other);
    const std::vector<DataDiff::Change> changes = DataDiff::compare(*unit, *other).changes;
    QCOMPARE(changes.size(), std::size_t{1});
    QCOMPARE(changes[0].field, 22);
    QCOMPARE(unit->returnArrayFieldXUnit(1, 22, 1, 1), (std::vector<std::vector<std::string>>{{"Troop stats 1"}}));
    unit->setField(22, 2, "Troop stats, renamed");
    QVERIFY(!unit->saveProblem(2));
    auto again = loaded(1, saved(*unit, 1));
    QVERIFY(again);
    QCOMPARE(again->returnArrayFieldXUnit(2, 30, 1, 1)[0][0], std::string("Troop stats, renamed"));
    unit->setRangeSelected(2);
    QCOMPARE(unit->returnArrayFieldXUnit(5, 21, 1, 2), (std::vector<std::vector<std::string>>{{"42"}, {"43"}}));
  }

  void detectFileType_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("kind");
    QTest::newRow("NAME") << QByteArray("NAME\tx") << 1;
    QTest::newRow("VER in capitals") << QByteArray("VER ;") << 3;
    QTest::newRow("ver and a tab") << QByteArray("ver\t1;") << 0;
  }
  void detectFileType() {
    QCOMPARE(DataFile::detectFileType(fetched<QByteArray>("start").toStdString()), fetched<int>("kind"));
  }

  // A save hashes the file piece by piece as it writes it, a load hashes it whole: both must
  // give the same identity wherever the pieces are cut. The value is xxHash64's.
  void identityWhereverCut_data() {
    QTest::addColumn<int>("cut");
    for (int cut : {0, 1, 31, 32, 33, 64, 100, 299}) QTest::newRow(qPrintable(QStringLiteral("cut at %1").arg(cut))) << cut;
  }
  void identityWhereverCut() {
    QFETCH(int, cut);
    QByteArray bytes;
    for (int i = 0; i < 300; ++i) bytes += char(i * 7);
    ContentHash pieces;
    pieces.add(std::string_view(bytes.constData(), cut));
    pieces.add(std::string_view(bytes.constData() + cut, bytes.size() - cut));
    QCOMPARE(pieces.identity(), ContentHash::of(std::string_view(bytes.constData(), bytes.size())));
    QCOMPARE(pieces.identity().size, std::uint64_t(300));
    QCOMPARE(ContentHash::of("abc").hash, std::uint64_t{0x44bc2cf5ad770999});
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
#ifdef _WIN32
    if (setup.startsWith("locked") || setup == "owner") QSKIP("Windows has no owners and folder permissions to save against");
    if (fetched<int>("sizeLimit") != 0) QSKIP("Windows has no limit on the size of a process's files to stand for a full disk");
#endif
    if (setup == "long name" && underWine()) QSKIP("Wine finds no final path for a file whose path is longer than 260 characters");
    QTemporaryDir dir;
    ::chmod(dir.path().toLocal8Bit().constData(), 0755);  // nobody may look in
    QVERIFY(QDir(dir.path()).mkdir("locked") && QDir(dir.path()).mkdir("folder"));
    const QByteArray text = twoBlocks();
    const bool locked = setup.startsWith("locked");
    const QString path = dir.filePath(setup == "long name" ? QString(255, 'n') : locked ? "locked/old.txt" : setup == "link" ? "link.txt"
                                      : setup == "folder" ? "folder" : "old.txt");
    const QString written = setup == "link" ? dir.filePath("target.txt") : path;
    const QByteArray file = written.toLocal8Bit();
    if (setup != "folder") std::ofstream(written.toStdString(), std::ios::binary) << "old content";
    if (setup == "read-only") ::chmod(file.constData(), 0444);
    if (setup == "link") MAKE_LINK("target.txt", path);
#ifndef _WIN32
    if (setup == "owner" || setup == "locked") QCOMPARE(::chown(file.constData(), 65534, 65534), 0);
#endif
    if (setup == "owner") ::chmod(file.constData(), 0640);
    if (locked) ::chmod(dir.filePath("locked").toLocal8Bit().constData(), 0555);
    if (setup == "leftover") std::ofstream(AtomicFileWriter::temporaryStem(written.toStdString()) + "123.tmp") << "killed";
    const int limit = fetched<int>("sizeLimit") < 0 ? text.size() - 1 : fetched<int>("sizeLimit");
    const ChildRun save = inChild("save", {path.toUtf8()}, locked, limit);
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
#ifdef _WIN32
    QCOMPARE(bool(info.st_mode & S_IWRITE), setup != "read-only");  // the read-only attribute is all Windows has
#else
    QCOMPARE(int(info.st_mode & 07777), setup == "read-only" ? 0444 : setup == "owner" ? 0640 : 0644);
    if (setup == "owner") QCOMPARE(int(info.st_uid), 65534);
#endif
  }
};

namespace {

bool saveTwoBlocks(const QList<QByteArray>& arguments) {
  auto record = store(2);
  if (!record->createRecord(twoBlocks().toStdString(), "in.txt")) return false;
  const FileResult<void> saved = DataFile::writeDataFile(*record, 2, arguments[0].toStdString());
  return reportedInChild(saved ? std::nullopt : std::optional(saved.error()));
}

const ChildActions kChildActions{{"save", saveTwoBlocks}};
}  // namespace

PELKO_TEST_MAIN_WITH_CHILDREN(TestRecordStore, kChildActions)
#include "tst_recordstore.moc"
