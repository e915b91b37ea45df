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

  static QString sample(const QString& name) { return qEnvironmentVariable("PELKO_SAMPLES") + '/' + name; }

 private slots:
  void check_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("errStart");
    QTest::newRow("detected unit file") << QStringList{"check", sample("crusaders_unit_prod11.txt")} << 0
                                        << "crusaders_unit_prod11.txt: [Unit_Prod11], 40 records, 36 units, 71 fields\n" << "";
    QTest::newRow("detected projectile file") << QStringList{"check", sample("ProjectileStats.txt")} << 0
                                              << "ProjectileStats.txt: [ProjectileStats], 25 records, 24 units, 38 fields\n" << "";
    QTest::newRow("projectile file forced as a unit file")
        << QStringList{"check", sample("ProjectileStats.txt"), "--type", "1"} << 1 << ""
        << "Error Loading [Unit_Prod11] file\nThere was an error loading the data.\n\n"
           "The [Unit_Prod11] Data is incorrectly formatted.\n\nThe Program stopped Loading at Record: 1  Field: 59\n";
    QTest::newRow("missing file") << QStringList{"check", "/nonexistent/x.txt"} << 1 << ""
                                  << "PelkoEditor\nAn error occurred trying to read '/nonexistent/x.txt'\n[2] :No such file or directory\n"
                                     "LoadRecord Aborted!\nCouldn't auto-detect File Type!";
    QTest::newRow("no command") << QStringList{} << 2 << "" << "usage:";
    QTest::newRow("bad kind") << QStringList{"check", sample("ProjectileStats.txt"), "--type", "4"} << 2 << "" << "usage:";
    QTest::newRow("save to a missing folder") << QStringList{"save", sample("ProjectileStats.txt"), "/nonexistent/out.txt"} << 1 << ""
                                              << "PelkoEditor\nAn error occurred trying to save to '/nonexistent/out.txt'\n";
    QTest::newRow("diff of a missing file") << QStringList{"diff", sample("ProjectileStats.txt"), "/nonexistent/x.txt"} << 2 << ""
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
    const QByteArray records = fileBytes(sample("ProjectileStats.txt")).chopped(4);  // ends with its last record
    QFile in(dir.filePath("in.txt"));
    QVERIFY(in.open(QIODevice::WriteOnly) && in.write(records) == records.size());
    in.close();
    QCOMPARE(run({"save", in.fileName(), dir.filePath("out.txt"), "--type", "3"}).exitCode, 0);
    QCOMPARE(fileBytes(dir.filePath("out.txt")), records + "\r\n\r\n");
  }

  // diff prints what B changed against A; apply carries that onto a file and saves it.
  void diffAndApply_data() {
    QTest::addColumn<QByteArray>("before");  // "Peasants" in record 5, field 1 of the unit sample becomes this
    QTest::addColumn<QByteArray>("target");  // and this in the file the diff is applied to
    QTest::addColumn<QByteArray>("tail");  // added to the last field of B's record 5
    QTest::addColumn<bool>("dropLastRecord");
    QTest::addColumn<QStringList>("extra");  // apply's options
    QTest::addColumn<int>("diffExit");
    QTest::addColumn<QString>("diffOut");
    QTest::addColumn<int>("applyExit");
    QTest::addColumn<QString>("applyOut");
    const QString none;
    QTest::newRow("equal") << QByteArray("Peasants") << QByteArray("Peasants") << QByteArray() << false << QStringList() << 0 << none << 0 << none;
    QTest::newRow("a name changed") << QByteArray("Farmers") << QByteArray("Peasants") << QByteArray() << false << QStringList() << 1
                                    << "5\tFarmers\t1\tName\tPeasants\tFarmers\n" << 0 << none;
    QTest::newRow("TAB, CR, LF and backslash escaped")
        << QByteArray("\"a\\b\r\nc\"") << QByteArray("Peasants") << QByteArray("\tz") << false << QStringList() << 1
        << "5\t\"a\\\\b\\r\\nc\"\t1\tName\tPeasants\t\"a\\\\b\\r\\nc\"\n"
           "5\t\"a\\\\b\\r\\nc\"\t71\tComment\tok\tok\\tz\n" << 0 << none;
    QTest::newRow("already applied") << QByteArray("Farmers") << QByteArray("Farmers") << QByteArray() << false << QStringList() << 1
                                     << "5\tFarmers\t1\tName\tPeasants\tFarmers\n" << 0 << none;
    QTest::newRow("conflict") << QByteArray("Farmers") << QByteArray("Serfs") << QByteArray() << false << QStringList() << 1
                              << "5\tFarmers\t1\tName\tPeasants\tFarmers\n" << 1
                              << "conflict\t5\t1\texpected\tPeasants\tfound\tSerfs\n";
    QTest::newRow("conflict forced") << QByteArray("Farmers") << QByteArray("Serfs") << QByteArray() << false << QStringList{"--force"} << 1
                                     << "5\tFarmers\t1\tName\tPeasants\tFarmers\n" << 0
                                     << "conflict\t5\t1\texpected\tPeasants\tfound\tSerfs\n";
    QTest::newRow("a record missing") << QByteArray("Peasants") << QByteArray("Peasants") << QByteArray() << true
                                      << QStringList() << 1 << "missing\t40\tGolden Horde Archers\n" << 1
                                      << "not carried over\tmissing\t40\tGolden Horde Archers\n";
  }
  void diffAndApply() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, target);
    QTemporaryDir dir;
    const QByteArray original = fileBytes(sample("crusaders_unit_prod11.txt"));
    auto write = [&](const QString& name, QByteArray bytes, const QByteArray& name5, bool dropLast,
                     const QByteArray& tail = {}) {
      bytes.replace("\r\nPeasants\t", "\r\n" + name5 + '\t');
      bytes.replace("\tok\r\nSpearmen\t", "\tok" + tail + "\r\nSpearmen\t");
      if (dropLast) bytes.remove(bytes.lastIndexOf("\r\n", bytes.size() - 7) + 2, bytes.size());
      if (dropLast) bytes += "\r\n\r\n";
      QFile file(dir.filePath(name));
      file.open(QIODevice::WriteOnly);
      file.write(bytes);
      return dir.filePath(name);
    };
    const QString a = write("a.txt", original, "Peasants", false);
    const QString b = write("b.txt", original, before, fetched<bool>("dropLastRecord"), fetched<QByteArray>("tail"));
    const QString t = write("t.txt", original, target, false);
    const Run diff = run({"diff", a, b});
    QCOMPARE(diff.exitCode, fetched<int>("diffExit"));
    QCOMPARE(diff.out, fetched<QString>("diffOut"));
    QFile changes(dir.filePath("changes.txt"));
    QVERIFY(changes.open(QIODevice::WriteOnly) && changes.write(diff.out.toLocal8Bit()) >= 0);
    changes.close();
    const QString out = dir.filePath("out.txt");
    const Run apply = run(QStringList{"apply", t, changes.fileName(), out} + fetched<QStringList>("extra"));
    QCOMPARE(apply.exitCode, fetched<int>("applyExit"));
    QCOMPARE(apply.out, fetched<QString>("applyOut"));
    // Applied, the target holds B's value; refused, nothing is written.
    if (apply.exitCode == 0) QCOMPARE(run({"diff", b, out}).out.section('\n', 0, 0).startsWith("missing"), fetched<bool>("dropLastRecord"));
    if (apply.exitCode == 0 && !fetched<bool>("dropLastRecord")) QCOMPARE(fileBytes(out), fileBytes(b));
    if (apply.exitCode != 0) QVERIFY(!QFile::exists(out));
  }
};

QTEST_GUILESS_MAIN(TestPelkoTool)
#include "tst_pelkotool.moc"
