#include <QTemporaryDir>
#include <QtTest>

#include "Fetch.h"
#include <fstream>
#include <sys/stat.h>

#include "GlobalShared.h"
#include "MessageRecorder.h"
#include "Platform.h"
#include "UserFolders.h"

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

  // A default copy is looked for in the program's folder, then in the user's data folder; when
  // there is none, the program's folder of a portable copy is where it belongs.
  void defaultCopyPlaces() {
    QTemporaryDir program, data;
    Platform::setProgramFolder(program.path().toStdString());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const std::string inProgram = program.filePath("ProjectileStats.bak").toStdString();
    const std::string inData = data.filePath("pelkoEditor/ProjectileStats.bak").toStdString();
    QCOMPARE(getDefaultCopyPath(3), inProgram);
    QVERIFY(makeFolders(data.filePath("pelkoEditor").toStdString()));
    std::ofstream(inData) << "x";
    QCOMPARE(getDefaultCopyPath(3), inData);
    std::ofstream(inProgram) << "x";
    QCOMPARE(getDefaultCopyPath(3), inProgram);
    qunsetenv("XDG_DATA_HOME");
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
