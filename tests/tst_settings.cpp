#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CRecordData.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "MessageRecorder.h"
#include "Platform.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "SettingsWindow.h"
#include "UserFolders.h"

using namespace GlobalShared;

namespace {

// The editor window as the settings code sees it, over a real record store.
class FakeWindow : public SettingsWindow {
 public:
  explicit FakeWindow(int kind) { record.initRanges(kind); }

  std::int32_t setRange(std::int32_t r, const std::string& text) override { return record.setRange(r, text); }
  std::string getSelRangeArrayStr(std::int32_t r) const override { return record.getSelRangeArrayStr(r); }
  std::int32_t RangeSelected() const override { return record.RangeSelected(); }
  void setRangeSelected(std::int32_t r) override { record.setRangeSelected(r); }
  void setAllDisplayWidths(const std::string& text) override { record.setAllDisplayWidths(text); }
  std::string getWidthArrayStr() const override { return record.getWidthArrayStr(); }
  bool HideNames() const override { return hideNames; }
  std::string rangeButtonTag(std::int32_t n) const override { return tags.at(n); }
  void setRangeButtonTag(std::int32_t n, const std::string& text) override { tags[n] = text; }
  void setRangeButtonCaption(std::int32_t n, const std::string& text) override { captions[n] = text; }
  void setRangeButtonOn(std::int32_t n) override { buttonOn = n; }
  std::int32_t scrollUpdate(std::int32_t i) const override { return scroll[i]; }
  void setScrollUpdate(std::int32_t i, std::int32_t state) override { scroll[i] = state; }
  State windowState() const override { return state; }
  void setWindowState(State s) override { state = s; }
  double windowLeft() const override { return left; }
  double windowTop() const override { return top; }
  double windowWidth() const override { return width; }
  double windowHeight() const override { return height; }
  void setWindowLeft(double v) override { left = v; }
  void setWindowTop(double v) override { top = v; }
  void setWindowWidth(double v) override { width = v; }
  void setWindowHeight(double v) override { height = v; }

  CRecordData record;
  bool hideNames = false;
  std::map<int, std::string> tags{{2, "User-Defined [# to #]"}, {3, "User-Defined [# to #]"},
                                  {4, "User-Defined [# to #]"}, {5, "User-Defined [# to #]"},
                                  {6, "User-Defined [# to #]"}};
  std::map<int, std::string> captions;
  int buttonOn = 1;
  int scroll[2] = {1, 1};
  State state = Normal;
  double left = 1000, top = 2000, width = 15000, height = 9000;
};

// Runs the action in a child process, as nobody when asked; true when the child ended normally.
bool inChild(bool asNobody, const std::function<void()>& action) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    action();
    ::_exit(0);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// The files library: settings, whole-file reads, the default copies' places.
class TestSettings : public QObject {
  Q_OBJECT

  QTemporaryDir* mDir = nullptr;

  static QByteArray iniBytes() { return fileBytes(QString::fromStdString(getIniPath())); }
  void writeIni(const QByteArray& bytes) const {
    QFile file(QString::fromStdString(getIniPath()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  static std::string read(const char* section, const std::string& key) {
    return readIniString(section, key, "NoData", getIniPath());
  }

 private slots:
  void init() {
    mDir = new QTemporaryDir;
    Platform::setProgramFolder(mDir->path().toStdString());
    Platform::setScreenTwips({28800, 16200});
  }
  void cleanup() { delete mDir; }

  void firstRunKeepsTheDefaults() {
    FakeWindow window(1);
    const std::string widths = window.getWidthArrayStr();
    loadTypeSettings(1, window);
    loadWindowPlacement(window);
    QCOMPARE(window.getSelRangeArrayStr(2), FakeWindow(1).getSelRangeArrayStr(2));
    QCOMPARE(window.getWidthArrayStr(), widths);
    QVERIFY(window.captions.empty());
    QCOMPARE(window.buttonOn, 1);
    QCOMPARE(window.left, 1000.0);
    QCOMPARE(window.state, SettingsWindow::Normal);
    QVERIFY(!QFile::exists(QString::fromStdString(getIniPath())));
  }

  void kindRoundTripAndFileLayout() {
    FakeWindow saved(2);
    saved.setRange(3, "5, 1 to 3,");
    saved.setRangeButtonTag(3, "Costs \xe9");
    saved.setRangeSelected(3);
    saved.scroll[0] = 0;
    saved.record.setRangeSelected(1);
    saved.record.setDisplayWidth(1, "max");
    saved.setRangeSelected(3);
    saveTypeSettings(2, saved);

    const QByteArray all = "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, ";
    const QByteArray user = "User-Defined [# to #]";
    QByteArray expected = "[Build_prod13]\r\nSelected Range= 3\r\n";
    for (int n = 2; n <= 6; ++n) {
      expected += "Range Array " + QByteArray::number(n) + "=" + (n == 3 ? QByteArray("5, 1, 2, 3,") : all.trimmed()) + "\r\n";
      expected += "Caption " + QByteArray::number(n) + "=" + (n == 3 ? QByteArray("Costs \xe9") : user) + "\r\n";
    }
    expected += "ScrollUpdate0= 0\r\nScrollUpdate1= 1\r\nWidthsArray=" + QByteArray::fromStdString(saved.getWidthArrayStr()).trimmed() + "\r\n";
    // Values are written with their trailing blank; the comparison reads the file as written.
    QCOMPARE(iniBytes().replace(", \r\n", ",\r\n"), expected);

    FakeWindow loaded(2);
    loadTypeSettings(2, loaded);
    for (int n = 2; n <= 6; ++n) QCOMPARE(loaded.getSelRangeArrayStr(n), saved.getSelRangeArrayStr(n));
    QCOMPARE(loaded.tags, saved.tags);
    QCOMPARE(loaded.captions, saved.tags);
    QCOMPARE(loaded.RangeSelected(), 3);
    QCOMPARE(loaded.buttonOn, 3);
    QCOMPARE(loaded.scroll[0], 0);
    QCOMPARE(loaded.scroll[1], 1);
    QCOMPARE(loaded.getWidthArrayStr(), saved.getWidthArrayStr());
    QVERIFY(loaded.getWidthArrayStr().starts_with("-1, 2200, "));
  }

  void handWrittenValues_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("hideNames");
    QTest::addColumn<QString>("caption3");
    QTest::addColumn<QString>("tag3");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("scroll1");
    QTest::newRow("names hidden: tag only") << QByteArray("[Unit_Prod11]\r\nCaption 3=Mine\r\n") << true << "<none>" << "Mine" << 1 << 1;
    QTest::newRow("other letter case, blanks, LF ends")
        << QByteArray("; my settings\n\n[unit_prod11]\n  CAPTION 3 =  Mine  \nselected range= 4\nscrollupdate1=0\n") << false
        << "Mine" << "Mine" << 4 << 0;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Unit_Prod11]\r\nSelected Range= 5\r\n") << false << "<none>"
                                     << "User-Defined [# to #]" << 5 << 1;
    QTest::newRow("values only a hand-edited file holds")
        << QByteArray("[Unit_Prod11]\r\nSelected Range=9\r\nScrollUpdate1=3\r\n") << false << "<none>"
        << "User-Defined [# to #]" << 1 << 1;
    QTest::newRow("lines without equals, other sections, junk")
        << QByteArray("garbage\x01\x02\n[Pelko Editor]\nCaption 3=wrong\n[Unit_Prod11]\nCaption 3\n\x00\xff=\nSelected Range= 2 \n[Unit_Prod11]\nSelected Range=6\n", 115)
        << false << "<none>" << "User-Defined [# to #]" << 2 << 1;
  }
  void handWrittenValues() {
    writeIni(fetched<QByteArray>("file"));
    FakeWindow window(1);
    window.hideNames = fetched<bool>("hideNames");
    loadTypeSettings(1, window);
    QCOMPARE(QString::fromStdString(window.captions.count(3) ? window.captions[3] : "<none>"), fetched<QString>("caption3"));
    QCOMPARE(QString::fromStdString(window.tags[3]), fetched<QString>("tag3"));
    QCOMPARE(window.RangeSelected(), fetched<int>("selected"));
    QCOMPARE(window.scroll[1], fetched<int>("scroll1"));
  }

  void longValueIsCut() {
    const std::string value(3000, 'v');
    QVERIFY(writeIniString("S", "Long", value, getIniPath()));
    QCOMPARE(read("S", "Long"), value.substr(0, 2047));
  }

  void writeKeepsEverythingElse() {
    const QByteArray before = "; comment\r\n\r\n[Other]\r\nA=1\r\n\r\n[Pelko Editor]\r\nleft = 5\r\nkeep=this\r\n\r\n; tail\r\n";
    writeIni(before);
    QVERIFY(writeIniString("PELKO EDITOR", "Left", " 7", getIniPath()));
    QVERIFY(writeIniString("Pelko Editor", "Top", " 8", getIniPath()));
    QVERIFY(writeIniString("New", "Key", "v", getIniPath()));
    QCOMPARE(iniBytes(), "; comment\r\n\r\n[Other]\r\nA=1\r\n\r\n[Pelko Editor]\r\nLeft= 7\r\nkeep=this\r\nTop= 8\r\n\r\n; tail\r\n"
                         "\r\n[New]\r\nKey=v\r\n");
    writeIni("[S]\nA=1");  // LF ends and no final line end
    QVERIFY(writeIniString("S", "B", "2", getIniPath()));
    QCOMPARE(iniBytes(), QByteArray("[S]\nA=1\nB=2\n"));
    writeIni("[S]\r\nA=1 \r\r");  // stray CRs at the end: the value reads the same once a line end follows
    QCOMPARE(read("S", "A"), std::string("1"));
    QVERIFY(writeIniString("T", "B", "2", getIniPath()));
    QCOMPARE(read("S", "A"), std::string("1"));
  }

  void placement_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("normal, large numbers in plain digits") << int(SettingsWindow::Normal)
                            << QByteArray("[Pelko Editor]\r\nWindowstate= 0\r\nLeft=-300\r\nWidth= 300000\r\nTop= 2000.5\r\nHeight= 9000\r\n");
    QTest::newRow("maximized keeps the last normal placement")
        << int(SettingsWindow::Maximized)
        << QByteArray("[Pelko Editor]\r\nWindowstate= 2\r\nLeft= 1\r\nWidth= 2\r\nTop= 3\r\nHeight= 4\r\n");
    QTest::newRow("minimized writes nothing")
        << int(SettingsWindow::Minimized)
        << QByteArray("[Pelko Editor]\r\nWindowstate= 0\r\nLeft= 1\r\nWidth= 2\r\nTop= 3\r\nHeight= 4\r\n");
  }
  void placement() {
    writeIni("[Pelko Editor]\r\nWindowstate= 0\r\nLeft= 1\r\nWidth= 2\r\nTop= 3\r\nHeight= 4\r\n");
    FakeWindow window(1);
    window.left = -300;
    window.width = 300000;
    window.top = 2000.5;
    window.state = static_cast<SettingsWindow::State>(fetched<int>("state"));
    saveWindowPlacement(window);
    QCOMPARE(iniBytes(), fetched<QByteArray>("written"));
    FakeWindow next(1);
    loadWindowPlacement(next);
    QCOMPARE(next.state, window.state == SettingsWindow::Maximized ? SettingsWindow::Maximized : SettingsWindow::Normal);
    QCOMPARE(next.left, window.state == SettingsWindow::Normal ? -300.0 : 1.0);
  }

  // Closing writes the kind's view and the placement with one rewrite, through the same careful
  // replace as data files: nothing is reported, and nothing is left beside the file.
  void closingWrites_data() {
    QTest::addColumn<QString>("setup");
    QTest::newRow("plain file") << "plain";
    QTest::newRow("read-only file is left alone") << "readonly";
    QTest::newRow("file its user cannot read is left alone") << "unreadable";
    QTest::newRow("link is written through") << "link";
  }
  void closingWrites() {
    QFETCH(QString, setup);
    const QString ini = QString::fromStdString(getIniPath());
    const QString real = setup == "link" ? mDir->filePath("real.ini") : ini;
    if (setup == "link") QVERIFY(QFile::link("real.ini", ini));
    { QFile file(real); QVERIFY(file.open(QIODevice::WriteOnly)); file.write("[Other]\r\nkept=1\r\n"); }
    if (setup == "readonly") QFile::setPermissions(ini, QFile::ReadOwner);
    if (setup == "unreadable") {  // nobody may write the file and its folder, not read the file
      QVERIFY(::chmod(mDir->path().toLocal8Bit().constData(), 0777) == 0 && ::chown(ini.toLocal8Bit().constData(), 65534, 65534) == 0);
      QFile::setPermissions(ini, QFile::WriteOwner);
    }
    QVERIFY(inChild(setup == "unreadable", [] {
      FakeWindow window(2);
      saveClosingSettings(2, window);
    }));
    const bool written = setup == "plain" || setup == "link";
    QCOMPARE(fileBytes(real).contains("[Build_prod13]\r\nSelected Range= 1\r\n"), written);
    QCOMPARE(fileBytes(real).contains("[Pelko Editor]\r\nWindowstate= 0\r\nLeft= 1000\r\n"), written);
    if (!written) QCOMPARE(fileBytes(real), QByteArray("[Other]\r\nkept=1\r\n"));
    QCOMPARE(QFileInfo(ini).isSymLink(), setup == "link");
    QCOMPARE(QDir(mDir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), setup == "link" ? 2 : 1);
  }

  void unusableFileIsSkipped_data() {
    QTest::addColumn<bool>("pipe");
    QTest::newRow("a folder") << false;
    QTest::newRow("a named pipe, which must not stop the editor") << true;
  }
  void unusableFileIsSkipped() {
    // Neither readable nor writable as a file.
    if (fetched<bool>("pipe")) QCOMPARE(::mkfifo(getIniPath().c_str(), 0600), 0);
    else QDir(mDir->path()).mkdir("pelkoEditor.ini");
    FakeWindow window(3);
    window.left = 42;
    saveTypeSettings(3, window);
    saveWindowPlacement(window);
    loadWindowPlacement(window);
    QCOMPARE(window.left, 42.0);
    // A program folder that cannot be written leaves the settings to the user's folder.
    Platform::setProgramFolder(mDir->filePath("missing").toStdString());
    qputenv("XDG_CONFIG_HOME", mDir->filePath("config").toLocal8Bit());
    saveWindowPlacement(window);
    qunsetenv("XDG_CONFIG_HOME");
    QVERIFY(fileBytes(mDir->filePath("config/pelkoEditor/pelkoEditor.ini")).startsWith("[Pelko Editor]"));
  }

  void twoProcessesLoseNoKey() {
    const std::string path = getIniPath();
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
      children[c] = fork();
      if (children[c] == 0) {
        for (int k = 0; k < 500; ++k)
          writeIniString(c == 0 ? "First" : "Second", "Key " + std::to_string(k), std::to_string(k), path);
        _exit(0);
      }
      QVERIFY(children[c] > 0);
    }
    for (pid_t child : children) {
      int status = 0;
      QCOMPARE(waitpid(child, &status, 0), child);
      QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int k = 0; k < 500; ++k) {
      QCOMPARE(readIniString("First", "Key " + std::to_string(k), "lost", path), std::to_string(k));
      QCOMPARE(readIniString("Second", "Key " + std::to_string(k), "lost", path), std::to_string(k));
    }
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

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"
