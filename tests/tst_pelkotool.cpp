#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "Fetch.h"
#include "FileBytes.h"
#include "Platform.h"
#include "SavedBytes.h"

// pelkoTool as a script would use it: exit codes, output, and files written.
class TestPelkoTool : public QObject {
  Q_OBJECT

  struct Run {
    int exitCode;
    QString out;
    QString err;
  };

  // What the tool printed, its lines ended with LF: a Windows console program ends them with CR LF.
  static QString lines(QByteArray printed) {
#ifdef _WIN32
    printed.replace("\r\n", "\n");
#endif
    return QString::fromLocal8Bit(printed);
  }

  static Run run(const QStringList& args) {
    QProcess tool;
    tool.start(qEnvironmentVariable("PELKO_TOOL"), args);
    if (!tool.waitForFinished(30000)) return {-1, {}, "did not finish"};
    return {tool.exitCode(), lines(tool.readAllStandardOutput()), lines(tool.readAllStandardError())};
  }

  QTemporaryDir mDir;

  // The unit sample as the record store saves it with values replaced in the units whose name
  // holds nameHolds in any case; an edit "15:3>5" turns a 3 in field 15 into a 5, only the first
  // edit of a field that matches.
  static QByteArray unitSampleChanged(const QStringList& edits, const QByteArray& nameHolds) {
    CRecordData store;
    store.initRanges(1);
    if (!store.createRecord(fileBytes(samplePath("crusaders_unit_prod11.txt")).toStdString(), "in.txt")) return {};
    for (int unit = 5; unit <= store.NoUnits(); ++unit) {
      if (!QByteArray::fromStdString(std::string(store.unitName(unit))).toLower().contains(nameHolds.toLower())) continue;
      QSet<int> done;
      for (const QString& edit : edits) {
        const int field = edit.section(QLatin1Char(':'), 0, 0).toInt();
        const std::string from = edit.section(QLatin1Char(':'), 1).section(QLatin1Char('>'), 0, 0).toStdString();
        if (done.contains(field) || store.value(unit, field) != from) continue;
        store.setValue(unit, field, edit.section(QLatin1Char('>'), 1).toStdString());
        done.insert(field);
      }
    }
    return saved(store, 1);
  }

  // The unit sample with edits, in order, each a word: "speed" gives the Crossbowmen (record 12)
  // a Speed (field 66) of 5.5 for 4.5; "inserted" puts a unit Squires before the first unit;
  // "twice" a copy of the Crossbowmen there; "moved" takes the Crossbowmen to the end;
  // "removed" drops them; "renamed" calls them Arbalesters; "slower" gives them a Speed of 3.5.
  static QByteArray unitSample(const QString& edits) {
    QByteArray bytes = fileBytes(samplePath("crusaders_unit_prod11.txt"));
    const auto lineAt = [&bytes](const QByteArray& name) {
      const qsizetype start = bytes.indexOf("\r\n" + name + '\t') + 2;
      return std::pair{start, bytes.indexOf("\r\n", start) + 2 - start};
    };
    for (const QString& edit : edits.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      const auto [at, length] = lineAt("Crossbowmen");
      const QByteArray crossbowmen = bytes.mid(at, length);
      const qsizetype first = lineAt("Peasants").first;
      if (edit == QLatin1String("speed") || edit == QLatin1String("slower"))
        bytes.replace("\tA unit of the Crossbowmen\t-\t4.5\t", "\tA unit of the Crossbowmen\t-\t" + QByteArray(edit == QLatin1String("speed") ? "5.5" : "3.5") + '\t');
      if (edit == QLatin1String("inserted")) bytes.insert(first, QByteArray(bytes.mid(first, lineAt("Peasants").second)).replace("Peasants", "Squires"));
      if (edit == QLatin1String("twice")) bytes.insert(first, crossbowmen);
      if (edit == QLatin1String("moved") || edit == QLatin1String("removed")) bytes.remove(at, length);
      if (edit == QLatin1String("moved")) bytes.insert(lineAt("Golden Horde Archers").first + lineAt("Golden Horde Archers").second, crossbowmen);
      if (edit == QLatin1String("renamed")) bytes.replace("\r\nCrossbowmen\t", "\r\nArbalesters\t");
    }
    return bytes;
  }

 private slots:
  void initTestCase() {
    Platform::setScreenTwips({15360, 11520});
    QVERIFY(mDir.isValid());
    QVERIFY(writeFile(mDir.filePath("unit.diff"), "12\tCrossbowmen\t66\tSpeed\t4.5\t5.5\n"));
  }
  void check_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outStart");  // empty: nothing is printed there
    QTest::addColumn<QString>("errStart");
    const QString units = samplePath("crusaders_unit_prod11.txt"), buildings = samplePath("crusader_build_prod13.txt");
    const QString projectiles = samplePath("ProjectileStats.txt"), missing = "/nonexistent/x.txt", out = mDir.filePath("out.txt");
    const QString unread = "PelkoEditor\nAn error occurred trying to read '/nonexistent/x.txt'";
    const auto row = [](const char* name, const QStringList& args, int exitCode, const QString& out, const QString& err) {
      QTest::newRow(name) << args << exitCode << out << err;
    };
    row("detected unit file", {"check", units}, 0, "crusaders_unit_prod11.txt: [Unit_Prod11], 40 records, 36 units, 71 fields\n", "");
    row("projectile file forced as a unit file", {"check", projectiles, "--type", "1"}, 1, "",
        "Error Loading [Unit_Prod11] file\nThere was an error loading the data.\n\n"
        "The [Unit_Prod11] Data is incorrectly formatted.\n\nThe Program stopped Loading at Record: 1  Field: 59\n");
    row("missing file", {"check", missing}, 1, "", unread + "\n[2] :No such file or directory\nLoadRecord Aborted!\nCouldn't auto-detect");
    row("no command", {}, 2, "", "usage:");
    row("save to a missing folder", {"save", projectiles, "/nonexistent/out.txt"}, 1, "",
        "PelkoEditor\nAn error occurred trying to save to '/nonexistent/out.txt'\n");
    row("diff of a missing file", {"diff", projectiles, missing}, 2, "", unread);
    row("--help", {"--help"}, 0, "usage: pelkoTool check FILE", "");
    row("-h", {"-h"}, 0, "usage: pelkoTool check FILE", "");
    row("unknown command", {"merge", "a", "b"}, 2, "", "usage: pelkoTool check FILE");
    const QString kinds = "pelkoTool: " + buildings + " is a [Build_prod13] file and " + units + " a [Unit_Prod11] file";
    row("diff of a building and a unit file", {"diff", buildings, units}, 2, "", kinds);
    row("diff of two kinds, one forced", {"diff", buildings, units, "--type", "2"}, 2, "", kinds);
    row("change with a bad expression", {"change", units, out, "--field", "15", "*x"}, 2, "",
        "pelkoTool: *x: a number such as 5 or 1.25 is expected at column 2\nusage:");
    row("change without --field", {"change", units, out, "+1"}, 2, "", "usage:");
    row("change with a field list that is no list", {"change", units, out, "--field", "15,", "+1"}, 2, "", "usage:");
    row("change of a field the file lacks", {"change", units, out, "--field", "72", "+1"}, 2, "",
        "pelkoTool: field 72: a [Unit_Prod11] file has fields 1 to 71\n");
    row("change with a result too large", {"change", units, out, "--field", "54", "*1000000000000000000000000000000000000"}, 2,
        "", "pelkoTool: record 5, field 54: the result for 731 is too large; nothing was written\n");
    row("change of a missing file", {"change", missing, out, "--field", "15", "+1"}, 1, "", unread);
    row("apply of unit changes onto a building file", {"apply", buildings, mDir.filePath("unit.diff"), out}, 2, "",
        "pelkoTool: " + mDir.filePath("unit.diff") + " holds changes of another kind of file than " + buildings);
  }
  void check() {
    const Run result = run(fetched<QStringList>("args"));
    QCOMPARE(result.exitCode, fetched<int>("exitCode"));
    QFETCH(QString, outStart);
    QFETCH(QString, errStart);
    QVERIFY2(outStart.isEmpty() ? result.out.isEmpty() : result.out.startsWith(outStart), qPrintable(result.out));
    QVERIFY2(errStart.isEmpty() ? result.err.isEmpty() : result.err.startsWith(errStart), qPrintable(result.err));
    QVERIFY(!QFile::exists(mDir.filePath("out.txt")));
  }

  // save writes the normalised file, here with the empty line a file needs after its records.
  void saveWritesTheFile() {
    QTemporaryDir dir;
    const QByteArray records = fileBytes(samplePath("ProjectileStats.txt")).chopped(4);  // ends with its last record
    QVERIFY(writeFile(dir.filePath("in.txt"), records));
    QCOMPARE(run({"save", dir.filePath("in.txt"), dir.filePath("out.txt"), "--type", "3"}).exitCode, 0);
    QCOMPARE(fileBytes(dir.filePath("out.txt")), records + "\r\n\r\n");
  }

  // change rewrites only the values it changes: the saved file is the sample with just those.
  void change_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QByteArray>("nameHolds");
    QTest::addColumn<QString>("out");
    const QString all36 = "changed 36 values, unchanged 0, skipped 0 (not numbers)\n";
    const auto row = [](const char* name, const QStringList& options, const QStringList& edits, const char* nameHolds,
                        const QString& out) { QTest::newRow(name) << options << edits << QByteArray(nameHolds) << out; };
    row("whole field of every unit, half rounded up", {"--field", "15", "*1.5"}, {"15:1>2", "15:2>3", "15:3>5"}, "", all36);
    row("decimal field, exact", {"--field", "12", "+0.1"}, {"12:1.2>1.3"}, "", all36);
    row("percentage after the packed cell", {"--field", "66", "-10%"}, {"66:4.5>4.05"}, "", all36);
    row("negative whole numbers, half away from zero", {"*0.5", "--field", "52"}, {"52:2>1", "52:-2>-1"}, "",
        "changed 14 values, unchanged 22, skipped 0 (not numbers)\n");
    row("units by name in any case", {"--name", "KNIGHTS", "--field", "14", "=10"}, {"14:5>10", "14:4>10"}, "knights",
        "changed 2 values, unchanged 0, skipped 0 (not numbers)\n");
    row("text of a second field skipped", {"--field", "15,44", "+1"}, {"15:3>4", "15:2>3", "15:1>2"}, "",
        "changed 36 values, unchanged 0, skipped 36 (not numbers)\n");
  }
  void change() {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    const Run result = run(QStringList{"change", samplePath("crusaders_unit_prod11.txt"), out} + fetched<QStringList>("options"));
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, fetched<QString>("out"));
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(fileBytes(out), unitSampleChanged(fetched<QStringList>("edits"), fetched<QByteArray>("nameHolds")));
  }

  // diff prints what B changed against A, and exits 1 when there is anything; apply carries that
  // onto a file and saves it.
  void diffAndApply_data() {
    QTest::addColumn<QByteArray>("before");  // "Peasants" in record 5, field 1 of the unit sample becomes this
    QTest::addColumn<QByteArray>("target");  // and this in the file the diff is applied to
    QTest::addColumn<QByteArray>("tail");    // added to the last field of B's record 5
    QTest::addColumn<bool>("dropLastRecord");
    QTest::addColumn<QString>("diffOut");
    QTest::addColumn<int>("applyExit");
    QTest::addColumn<QString>("applyOut");
    const QString farmers = "5\tPeasants\t1\tName\tPeasants\tFarmers\n", renamed = "conflict\t5\t1\tunit\tPeasants\tnot found\n";
    QTest::newRow("equal") << QByteArray("Peasants") << QByteArray("Peasants") << QByteArray() << false << "" << 0 << "";
    QTest::newRow("TAB, CR, LF and backslash escaped")
        << QByteArray("\"a\\b\r\nc\"") << QByteArray("Peasants") << QByteArray("\tz") << false
        << "5\tPeasants\t1\tName\tPeasants\t\"a\\\\b\\r\\nc\"\n"
           "5\tPeasants\t71\tComment\tok\tok\\tz\n" << 0 << "";
    QTest::newRow("already applied") << QByteArray("Farmers") << QByteArray("Farmers") << QByteArray() << false << farmers << 0 << "";
    QTest::newRow("renamed otherwise in the target")
        << QByteArray("Farmers") << QByteArray("Serfs") << QByteArray() << false << farmers << 1 << renamed;
    QTest::newRow("a record missing") << QByteArray("Peasants") << QByteArray("Peasants") << QByteArray() << true
                                      << "missing\t40\tGolden Horde Archers\n" << 1 << "not carried over\tmissing\t40\tGolden Horde Archers\n";
  }
  void diffAndApply() {
    QFETCH(bool, dropLastRecord);
    QFETCH(QString, diffOut);
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& name5, const QByteArray& tail = {}, bool dropLast = false) {
      QByteArray bytes = fileBytes(samplePath("crusaders_unit_prod11.txt"));
      bytes.replace("\r\nPeasants\t", "\r\n" + name5 + '\t').replace("\tok\r\nSpearmen\t", "\tok" + tail + "\r\nSpearmen\t");
      if (dropLast) bytes = bytes.left(bytes.lastIndexOf("\r\n", bytes.size() - 7) + 2) + "\r\n\r\n";
      return writeFile(dir.filePath(name), bytes) ? dir.filePath(name) : QString();
    };
    const QString a = write("a.txt", "Peasants");
    const QString b = write("b.txt", fetched<QByteArray>("before"), fetched<QByteArray>("tail"), dropLastRecord);
    const QString t = write("t.txt", fetched<QByteArray>("target"));
    const Run diff = run({"diff", a, b});
    QCOMPARE(diff.exitCode, diffOut.isEmpty() ? 0 : 1);
    QCOMPARE(diff.out, diffOut);
    QVERIFY(writeFile(dir.filePath("changes.txt"), diff.out.toLocal8Bit()));
    const QString out = dir.filePath("out.txt");
    const Run apply = run({"apply", t, dir.filePath("changes.txt"), out});
    QCOMPARE(apply.exitCode, fetched<int>("applyExit"));
    QCOMPARE(apply.out, fetched<QString>("applyOut"));
    // Applied, the target holds B's value; refused, nothing is written.
    if (apply.exitCode == 0) QCOMPARE(run({"diff", b, out}).out.section('\n', 0, 0).startsWith("missing"), dropLastRecord);
    if (apply.exitCode == 0 && !dropLastRecord) QCOMPARE(fileBytes(out), fileBytes(b));
    if (apply.exitCode != 0) QVERIFY(!QFile::exists(out));
  }

  // diff pairs records by unit: a line names the unit and its record as A holds them.
  void diffByUnit_data() {
    QTest::addColumn<QString>("edits");  // of B, the unit sample being A
    QTest::addColumn<QString>("out");
    const QString speed = "12\tCrossbowmen\t66\tSpeed\t4.5\t5.5\n";
    QTest::newRow("unit inserted early") << "inserted speed" << speed + "added\t5\tSquires\n";
    QTest::newRow("unit removed") << "removed" << "missing\t12\tCrossbowmen\n";
    QTest::newRow("unit moved") << "moved speed" << speed;
    QTest::newRow("unit only moved") << "moved" << "";
    QTest::newRow("unit renamed") << "renamed" << "12\tCrossbowmen\t1\tName\tCrossbowmen\tArbalesters\n";
  }
  void diffByUnit() {
    QFETCH(QString, out);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("b.txt"), unitSample(fetched<QString>("edits"))));
    const Run diff = run({"diff", samplePath("crusaders_unit_prod11.txt"), dir.filePath("b.txt")});
    QCOMPARE(diff.out, out);
    QCOMPARE(diff.exitCode, out.isEmpty() ? 0 : 1);
  }

  // apply finds each line's unit in the target by its name: at the line's record, else as the
  // only record of that name (a move), else it is a conflict that is never written.
  void applyByUnit_data() {
    QTest::addColumn<QString>("target");  // edits of the unit sample; the changes give the Crossbowmen a new speed
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<bool>("crLf");        // the changes file's lines end with CR LF
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("written");  // the edits the saved file shows; "-": nothing is written
    const QString notFound = "conflict\t12\t66\tunit\tCrossbowmen\tnot found\n", moved = "moved\t12\t13\tCrossbowmen\n";
    const QString slower = "conflict\t12\t66\texpected\t4.5\tfound\t3.5\n";
    const auto row = [](const char* name, const char* target, bool force, bool crLf, int exitCode, const QString& out,
                        const char* written) {
      QTest::newRow(name) << target << (force ? QStringList{"--force"} : QStringList()) << crLf << exitCode << out << written;
    };
    row("unit at its number, CR LF changes", "", false, true, 0, "", "speed");
    row("unit inserted early in the target", "inserted", false, false, 0, moved, "inserted speed");
    row("unit moved in the target", "moved", false, true, 0, "moved\t12\t40\tCrossbowmen\n", "moved speed");
    row("another value in the target", "slower", false, false, 1, slower, "-");
    row("another value in the target, forced", "slower", true, false, 0, slower, "speed");
    row("another value in a moved unit, forced", "inserted slower", true, false, 0, moved + slower, "inserted speed");
    row("unit renamed in the target", "renamed", false, false, 1, notFound, "-");
    row("unit renamed in the target, forced", "renamed", true, false, 0, notFound, "renamed");
    row("two units of the name, neither at the number", "twice", false, false, 1,
        "conflict\t12\t66\tunit\tCrossbowmen\tfound 2 times\n", "-");
  }
  void applyByUnit() {
    QFETCH(QString, target);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("t.txt"), unitSample(target)));
    QByteArray changes = "12\tCrossbowmen\t66\tSpeed\t4.5\t5.5\n";
    if (fetched<bool>("crLf")) changes.replace("\n", "\r\n");
    QVERIFY(writeFile(dir.filePath("changes.txt"), changes));
    const QString out = dir.filePath("out.txt");
    const Run apply = run(QStringList{"apply", dir.filePath("t.txt"), dir.filePath("changes.txt"), out} + fetched<QStringList>("extra"));
    QCOMPARE(apply.out, fetched<QString>("out"));
    QCOMPARE(apply.exitCode, fetched<int>("exitCode"));
    if (written == QLatin1String("-"))
      QVERIFY(!QFile::exists(out));
    else
      QCOMPARE(fileBytes(out), unitSample(written));
  }
};

QTEST_GUILESS_MAIN(TestPelkoTool)
#include "tst_pelkotool.moc"
