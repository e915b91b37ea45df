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
  }
  void check() {
    const Run result = run(fetched<QStringList>("args"));
    QCOMPARE(result.exitCode, fetched<int>("exitCode"));
    QCOMPARE(result.out, fetched<QString>("out"));
    QFETCH(QString, errStart);
    QVERIFY2(result.err.left(errStart.size()) == errStart, qPrintable(result.err));
  }

  void saveWritesTheFile() {
    QTemporaryDir dir;
    const QString out = dir.filePath("copy.txt");
    QCOMPARE(run({"save", sample("crusaders_unit_prod11.txt"), out}).exitCode, 0);
    QCOMPARE(fileBytes(out), fileBytes(sample("crusaders_unit_prod11.txt")));
  }

  void saveFailureExitsWithError() {
    const Run result = run({"save", sample("ProjectileStats.txt"), "/nonexistent/out.txt"});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QString("PelkoEditor\nAn error occurred trying to save to '/nonexistent/out.txt'\n"
                                 "[2] :No such file or directory\n"));
  }
};

QTEST_GUILESS_MAIN(TestPelkoTool)
#include "tst_pelkotool.moc"
