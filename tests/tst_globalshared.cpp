#include <QTemporaryDir>
#include <QtTest>

#include "Fetch.h"
#include <fstream>

#include "GlobalShared.h"
#include "MessageRecorder.h"

using namespace GlobalShared;

class TestGlobalShared : public QObject {
  Q_OBJECT

 private slots:
  void names_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("backup");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("section");
    QTest::newRow("unit production") << 1 << "crusaders_unit_prod11.bak" << "crusaders_unit_prod11.txt" << "[Unit_Prod11]";
    QTest::newRow("building production") << 2 << "crusader_build_prod13.bak" << "crusader_build_prod13.txt" << "[Build_prod13]";
    QTest::newRow("projectile statistics") << 3 << "ProjectileStats.bak" << "ProjectileStats.txt" << "[ProjectileStats]";
    QTest::newRow("no kind") << 0 << "bak" << "txt" << "";
    QTest::newRow("unknown code") << 4 << "bak" << "txt" << "";
    QTest::newRow("negative code") << -1 << "bak" << "txt" << "";
  }
  void names() {
    QFETCH(int, kind);
    QCOMPARE(QString::fromStdString(getDefaultFileName(kind, true)), fetched<QString>("backup"));
    QCOMPARE(QString::fromStdString(getDefaultFileName(kind, false)), fetched<QString>("data"));
    QCOMPARE(QString::fromStdString(getSectionName(kind)), fetched<QString>("section"));
  }

  void fileName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("several separators") << "/home/mod/data/crusaders_unit_prod11.txt" << "crusaders_unit_prod11.txt";
    QTest::newRow("ending in a separator") << "/home/mod/" << "";
    QTest::newRow("bare file name") << "ProjectileStats.txt" << "ProjectileStats.txt";
    QTest::newRow("empty") << "" << "";
#ifndef _WIN32
    QTest::newRow("backslash is a character here") << "dir/a\\b.txt" << "a\\b.txt";
#endif
  }
  void fileName() {
    QCOMPARE(QString::fromStdString(getFileName(fetched<QString>("path").toStdString())), fetched<QString>("name"));
  }

  void existence() {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    QVERIFY(fileExists(folder));
    QVERIFY(!fileExists(folder + "/missing.txt"));
    QVERIFY(!fileExists(""));
    std::ofstream(folder + "/present.txt") << "x";
    QVERIFY(fileExists(folder + "/present.txt"));
  }

  void readsEveryByte() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("bytes.txt").toStdString();
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    bytes += "\r\n\t\r";
    std::ofstream(path, std::ios::binary) << bytes;
    MessageRecorder boxes;
    QCOMPARE(readWholeFile(path), bytes);
    std::ofstream(path, std::ios::binary | std::ios::trunc).flush();
    QCOMPARE(readWholeFile(path), std::string());
    QVERIFY(boxes.boxes.empty());
  }

  void readFailureMessage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::newRow("missing file") << "missing.txt" << "[2] :No such file or directory";
    QTest::newRow("a folder") << "" << "[21] :Is a directory";
  }
  void readFailureMessage() {
    QTemporaryDir dir;
    const std::string path = dir.filePath(fetched<QString>("name")).toStdString();
    MessageRecorder boxes;
    QCOMPARE(readWholeFile(path), std::string());
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(boxes.boxes[0].title, std::string("PelkoEditor"));
    QCOMPARE(boxes.boxes[0].style, Platform::OkOnly | Platform::Critical);
    QCOMPARE(QString::fromStdString(boxes.boxes[0].prompt),
             "An error occurred trying to read '" + QString::fromStdString(path) + "'\r\n" + fetched<QString>("error"));
  }
};

QTEST_APPLESS_MAIN(TestGlobalShared)
#include "tst_globalshared.moc"
