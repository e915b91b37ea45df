#include <QTemporaryDir>
#include <QtTest>

#include "Fetch.h"
#include <fstream>
#include <sys/stat.h>

#include "GlobalShared.h"
#include "MessageRecorder.h"

using namespace GlobalShared;

class TestGlobalShared : public QObject {
  Q_OBJECT

 private slots:
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
    QTest::newRow("a named pipe, at once") << "pipe" << "[22] :Invalid argument (not a regular file)";
  }
  void readFailureMessage() {
    QTemporaryDir dir;
    const std::string path = dir.filePath(fetched<QString>("name")).toStdString();
    if (fetched<QString>("name") == "pipe") QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
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
