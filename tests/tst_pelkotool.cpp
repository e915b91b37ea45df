#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "Fetch.h"
#include "FileBytes.h"

// pelkoTool as a script would use it: exit codes, output, and files written.
class TestPelkoTool : public QObject {
  Q_OBJECT

  struct Run {
    int exitCode;
    QString out;
    QString err;
  };

  static Run run(const QStringList& args) {
    QProcess tool;
    tool.start(qEnvironmentVariable("PELKO_TOOL"), args);
    if (!tool.waitForFinished(30000)) return {-1, {}, "did not finish"};
    return {tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardOutput()),
            QString::fromLocal8Bit(tool.readAllStandardError())};
  }

 private slots:
  void check_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("errStart");
    QTest::newRow("detected unit file") << QStringList{"check", samplePath("crusaders_unit_prod11.txt")} << 0
                                        << "crusaders_unit_prod11.txt: [Unit_Prod11], 40 records, 36 units, 71 fields\n" << "";
    QTest::newRow("projectile file forced as a unit file")
        << QStringList{"check", samplePath("ProjectileStats.txt"), "--type", "1"} << 1 << ""
        << "Error Loading [Unit_Prod11] file\nThere was an error loading the data.\n\n"
           "The [Unit_Prod11] Data is incorrectly formatted.\n\nThe Program stopped Loading at Record: 1  Field: 59\n";
    QTest::newRow("missing file") << QStringList{"check", "/nonexistent/x.txt"} << 1 << ""
                                  << "PelkoEditor\nAn error occurred trying to read '/nonexistent/x.txt'\n[2] :No such file or directory\n"
                                     "LoadRecord Aborted!\nCouldn't auto-detect File Type!";
    QTest::newRow("no command") << QStringList{} << 2 << "" << "usage:";
    QTest::newRow("save to a missing folder") << QStringList{"save", samplePath("ProjectileStats.txt"), "/nonexistent/out.txt"} << 1 << ""
                                              << "PelkoEditor\nAn error occurred trying to save to '/nonexistent/out.txt'\n";
    QTest::newRow("diff of a missing file") << QStringList{"diff", samplePath("ProjectileStats.txt"), "/nonexistent/x.txt"} << 2 << ""
                                            << "PelkoEditor\nAn error occurred trying to read '/nonexistent/x.txt'";
  }
  void check() {
    const Run result = run(fetched<QStringList>("args"));
    QCOMPARE(result.exitCode, fetched<int>("exitCode"));
    QCOMPARE(result.out, fetched<QString>("out"));
    QFETCH(QString, errStart);
    QVERIFY2(result.err.left(errStart.size()) == errStart, qPrintable(result.err));
  }

  // save writes the normalised file, here with the empty line a file needs after its records.
  void saveWritesTheFile() {
    QTemporaryDir dir;
    const QByteArray records = fileBytes(samplePath("ProjectileStats.txt")).chopped(4);  // ends with its last record
    QVERIFY(writeFile(dir.filePath("in.txt"), records));
    QCOMPARE(run({"save", dir.filePath("in.txt"), dir.filePath("out.txt"), "--type", "3"}).exitCode, 0);
    QCOMPARE(fileBytes(dir.filePath("out.txt")), records + "\r\n\r\n");
  }

  // diff prints what B changed against A, and exits 1 when there is anything; apply carries that
  // onto a file and saves it.
  void diffAndApply_data() {
    QTest::addColumn<QByteArray>("before");  // "Peasants" in record 5, field 1 of the unit sample becomes this
    QTest::addColumn<QByteArray>("target");  // and this in the file the diff is applied to
    QTest::addColumn<QByteArray>("tail");    // added to the last field of B's record 5
    QTest::addColumn<bool>("dropLastRecord");
    QTest::addColumn<QStringList>("extra");  // apply's options
    QTest::addColumn<QString>("diffOut");
    QTest::addColumn<int>("applyExit");
    QTest::addColumn<QString>("applyOut");
    const QString farmers = "5\tFarmers\t1\tName\tPeasants\tFarmers\n", conflict = "conflict\t5\t1\texpected\tPeasants\tfound\tSerfs\n";
    QTest::newRow("equal") << QByteArray("Peasants") << QByteArray("Peasants") << QByteArray() << false << QStringList() << "" << 0 << "";
    QTest::newRow("TAB, CR, LF and backslash escaped")
        << QByteArray("\"a\\b\r\nc\"") << QByteArray("Peasants") << QByteArray("\tz") << false << QStringList()
        << "5\t\"a\\\\b\\r\\nc\"\t1\tName\tPeasants\t\"a\\\\b\\r\\nc\"\n"
           "5\t\"a\\\\b\\r\\nc\"\t71\tComment\tok\tok\\tz\n" << 0 << "";
    QTest::newRow("already applied") << QByteArray("Farmers") << QByteArray("Farmers") << QByteArray() << false << QStringList() << farmers << 0 << "";
    QTest::newRow("conflict") << QByteArray("Farmers") << QByteArray("Serfs") << QByteArray() << false << QStringList() << farmers << 1 << conflict;
    QTest::newRow("conflict forced") << QByteArray("Farmers") << QByteArray("Serfs") << QByteArray() << false << QStringList{"--force"} << farmers
                                     << 0 << conflict;
    QTest::newRow("a record missing") << QByteArray("Peasants") << QByteArray("Peasants") << QByteArray() << true << QStringList()
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
    const Run apply = run(QStringList{"apply", t, dir.filePath("changes.txt"), out} + fetched<QStringList>("extra"));
    QCOMPARE(apply.exitCode, fetched<int>("applyExit"));
    QCOMPARE(apply.out, fetched<QString>("applyOut"));
    // Applied, the target holds B's value; refused, nothing is written.
    if (apply.exitCode == 0) QCOMPARE(run({"diff", b, out}).out.section('\n', 0, 0).startsWith("missing"), dropLastRecord);
    if (apply.exitCode == 0 && !dropLastRecord) QCOMPARE(fileBytes(out), fileBytes(b));
    if (apply.exitCode != 0) QVERIFY(!QFile::exists(out));
  }
};

QTEST_GUILESS_MAIN(TestPelkoTool)
#include "tst_pelkotool.moc"
