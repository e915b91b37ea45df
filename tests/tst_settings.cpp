#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <functional>
#include <map>
#include <sys/stat.h>

#include "CRecordData.h"
#include "Child.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "DataFile.h"
#include "Platform.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "SettingsWindow.h"
#include "UserFolders.h"

using namespace GlobalShared;

namespace {

constexpr const char* kTag = "User-Defined [# to #]";

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
  std::map<int, std::string> tags{{2, kTag}, {3, kTag}, {4, kTag}, {5, kTag}, {6, kTag}};
  std::map<int, std::string> captions;
  int buttonOn = 1;
  int scroll[2] = {1, 1};
  State state = Normal;
  double left = 1000, top = 2000, width = 15000, height = 9000;
};

// A named pipe where a file is looked for; Windows keeps its pipes apart from files, so tests skip it there.
bool makePipe(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}
// Points the user's settings or data folder at a test's folder until the guard goes. Windows keeps
// both in APPDATA.
auto userFolderSet(const char* xdgName, const QString& folder) {
#ifdef _WIN32
  xdgName = "APPDATA";
#endif
  const QByteArray old = qgetenv(xdgName);
  qputenv(xdgName, folder.toLocal8Bit());
  return qScopeGuard([xdgName, old] { old.isNull() ? qunsetenv(xdgName) : qputenv(xdgName, old); });
}

constexpr const char* kNoPipes = "Windows has no named pipe in a folder";

// The platform as every test, and every child, finds it: the program folder is where the settings file lives.
void setUpPlatform(const std::string& programFolder) {
  Platform::setProgramFolder(programFolder);
  Platform::setScreenTwips({28800, 16200});
}

}  // namespace

// The files library: settings, whole-file reads, the default copies' places.
class TestSettings : public QObject {
  Q_OBJECT

  QTemporaryDir* mDir = nullptr;

  static QByteArray iniBytes() { return fileBytes(QString::fromStdString(getIniPath())); }
  static void writeIni(const QByteArray& bytes) { QVERIFY(writeFile(QString::fromStdString(getIniPath()), bytes)); }
  static std::string read(const char* section, const std::string& key) {
    return readIniString(section, key, "NoData", getIniPath());
  }

 private slots:
  void init() {
    mDir = new QTemporaryDir;
    setUpPlatform(mDir->path().toStdString());
  }
  void cleanup() { delete mDir; }

  // Without a settings file the window keeps its defaults, and reading writes nothing.
  void firstRunKeepsTheDefaults() {
    FakeWindow window(1);
    loadTypeSettings(1, window);
    loadWindowPlacement(window);
    QCOMPARE(window.getWidthArrayStr(), FakeWindow(1).getWidthArrayStr());
    QVERIFY(window.captions.empty());
    QVERIFY(!QFile::exists(QString::fromStdString(getIniPath())));
  }

  void kindRoundTripAndFileLayout() {
    FakeWindow saved(2);
    saved.setRange(3, "5, 1 to 3,");
    saved.setRangeButtonTag(3, "Costs \xe9");
    saved.scroll[0] = 0;
    saved.record.setRangeSelected(1);
    saved.record.setDisplayWidth(1, "max");
    saved.setRangeSelected(3);
    saveTypeSettings(2, saved);

    // Values are written with their trailing blank.
    const QByteArray file = iniBytes();
    QVERIFY(file.startsWith("[Build_prod13]\r\nSelected Range= 3\r\nRange Array 2=1, 2, 3, "));
    QVERIFY(file.contains("\r\nRange Array 3=5, 1, 2, 3, \r\nCaption 3=Costs \xe9\r\nRange Array 4=1, 2, "));
    QVERIFY(file.contains("\r\nCaption 6=User-Defined [# to #]\r\nScrollUpdate0= 0\r\nScrollUpdate1= 1\r\nWidthsArray=-1, 2200, "));
    FakeWindow loaded(2);
    loadTypeSettings(2, loaded);
    for (int n = 2; n <= 6; ++n) QCOMPARE(loaded.getSelRangeArrayStr(n), saved.getSelRangeArrayStr(n));
    QCOMPARE(loaded.tags, saved.tags);
    QCOMPARE(loaded.captions, saved.tags);
    QCOMPARE((QList<int>{loaded.RangeSelected(), loaded.buttonOn, loaded.scroll[0], loaded.scroll[1]}), (QList<int>{3, 3, 0, 1}));
    QCOMPARE(loaded.getWidthArrayStr(), saved.getWidthArrayStr());
  }

  // Section and key names in any letter case, blanks around them and LF line ends: as Windows reads them.
  void handWrittenValues() {
    writeIni("; my settings\n\n[unit_prod11]\n  CAPTION 3 =  Mine  \nselected range= 6\nscrollupdate1=0\n");
    FakeWindow window(1);
    loadTypeSettings(1, window);
    QCOMPARE(window.captions[3], std::string("Mine"));
    QCOMPARE(window.tags[3], std::string("Mine"));
    QCOMPARE(window.RangeSelected(), 6);
    QCOMPARE(window.scroll[1], 0);
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
    QVERIFY(writeIniString("S", "Long", std::string(3000, 'v'), getIniPath()));
    QCOMPARE(read("S", "Long"), std::string(2047, 'v'));  // a long value is cut
  }

  // The window's place is written in plain digits, a negative or fractional one too, and read back.
  void placement() {
    writeIni("[Pelko Editor]\r\nWindowstate= 2\r\nLeft= 1\r\nWidth= 2\r\nTop= 3\r\nHeight= 4\r\n");
    FakeWindow window(1);
    window.left = -300;
    window.width = 300000;
    window.top = 2000.5;
    saveWindowPlacement(window);
    QCOMPARE(iniBytes(), QByteArray("[Pelko Editor]\r\nWindowstate= 0\r\nLeft=-300\r\nWidth= 300000\r\nTop= 2000.5\r\nHeight= 9000\r\n"));
    FakeWindow next(1);
    loadWindowPlacement(next);
    QCOMPARE(next.left, -300.0);
    QCOMPARE(next.top, 2000.5);
  }

  // Closing writes the kind's view and the placement with one rewrite, through the same careful
  // replace as data files: a write reports nothing, and nothing is left beside the file.
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
    if (setup == "link") MAKE_LINK("real.ini", ini);
    QVERIFY(writeFile(real, "[Other]\r\nkept=1\r\n"));
    if (setup == "readonly") QFile::setPermissions(ini, QFile::ReadOwner);
#ifdef _WIN32
    // Windows' way to keep a file from its user: another program holds it open and shares it with none.
    const HANDLE held = setup == "unreadable" ? ::CreateFileW(ini.toStdWString().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                              : INVALID_HANDLE_VALUE;
    QCOMPARE(held != INVALID_HANDLE_VALUE, setup == "unreadable");
#else
    if (setup == "unreadable") {  // nobody may write the file and its folder, not read the file
      QVERIFY(::chmod(mDir->path().toLocal8Bit().constData(), 0777) == 0 && ::chown(ini.toLocal8Bit().constData(), 65534, 65534) == 0);
      QFile::setPermissions(ini, QFile::WriteOwner);
    }
#endif
    const ChildRun closing = inChild("close", {mDir->path().toUtf8()}, setup == "unreadable");
#ifdef _WIN32
    if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
#endif
    QVERIFY(closing.succeeded);
    const bool written = setup == "plain" || setup == "link";
    if (written) QCOMPARE(QString::fromStdString(closing.boxes), QString());
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
#ifdef _WIN32
    if (fetched<bool>("pipe")) QSKIP(kNoPipes);
#endif
    if (fetched<bool>("pipe")) QVERIFY(makePipe(getIniPath()));
    else QDir(mDir->path()).mkdir("pelkoEditor.ini");
    FakeWindow window(3);
    window.left = 42;
    saveTypeSettings(3, window);
    saveWindowPlacement(window);
    loadWindowPlacement(window);
    QCOMPARE(window.left, 42.0);
    // A program folder that cannot be written leaves the settings to the user's folder.
    Platform::setProgramFolder(mDir->filePath("missing").toStdString());
    {
      const auto config = userFolderSet("XDG_CONFIG_HOME", mDir->filePath("config"));
      saveWindowPlacement(window);
    }
    QVERIFY(fileBytes(mDir->filePath("config/pelkoEditor/pelkoEditor.ini")).startsWith("[Pelko Editor]"));
  }

  void twoProcessesLoseNoKey() {
    const std::string path = getIniPath();
    std::unique_ptr<QProcess> children[2];
    for (int c = 0; c < 2; ++c) children[c] = startChild("write keys", {QByteArray::number(c), QByteArray::fromStdString(path)});
    for (auto& child : children) QVERIFY(childResult(*child).succeeded);
    for (int c = 0; c < 2; ++c)
      for (int k = 0; k < 500; ++k)
        QCOMPARE(readIniString("Section " + std::to_string(c), "Key " + std::to_string(k), "lost", path), std::to_string(k));
  }

  // A default copy is looked for in the program's folder, then in the user's data folder; when
  // there is none, the program's folder of a portable copy is where it belongs.
  void defaultCopyPlaces() {
    QTemporaryDir program, data;
    Platform::setProgramFolder(program.path().toStdString());
    const auto userData = userFolderSet("XDG_DATA_HOME", data.path());
    const auto in = [](const QString& folder, const std::string& name) { return folder.toStdString() + GlobalShared::kPathSeparator + name; };
    const std::string inProgram = in(program.path(), "ProjectileStats.bak");
    const std::string inData = in(data.path(), "pelkoEditor" + std::string(1, GlobalShared::kPathSeparator) + "ProjectileStats.bak");
    QCOMPARE(getDefaultCopyPath(3), inProgram);
    QVERIFY(makeFolders(data.filePath("pelkoEditor").toStdString()));
    std::ofstream(inData) << "x";
    QCOMPARE(getDefaultCopyPath(3), inData);
    std::ofstream(inProgram) << "x";
    QCOMPARE(getDefaultCopyPath(3), inProgram);
  }

  // A file is read as the bytes it holds; one that cannot be read is reported, and reads as nothing.
  void wholeFileReads_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // null: not made here
    QTest::addColumn<QString>("error");
    QByteArray all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    QTest::newRow("every byte") << "bytes.txt" << all + "\r\n\t\r" << "";
    QTest::newRow("empty file") << "empty.txt" << QByteArray("") << "";
    QTest::newRow("missing file") << "missing.txt" << QByteArray() << "[2] :No such file or directory";
    QTest::newRow("a folder") << "" << QByteArray() << "[21] :Is a directory";
    QTest::newRow("a named pipe, at once") << "pipe" << QByteArray() << "[22] :Invalid argument (not a regular file)";
  }
  void wholeFileReads() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const std::string path = dir.filePath(fetched<QString>("name")).toStdString();
#ifdef _WIN32
    if (fetched<QString>("name") == "pipe") QSKIP(kNoPipes);
#endif
    if (fetched<QString>("name") == "pipe") QVERIFY(makePipe(path));
    if (!bytes.isNull()) QVERIFY(writeFile(QString::fromStdString(path), bytes));
    const FileResult<std::string> read = DataFile::readText(path);
    QCOMPARE(QByteArray::fromStdString(read.value_or("")), bytes);
    QCOMPARE(read.has_value(), error.isEmpty());
    if (error.isEmpty()) return;
    const std::vector<Message> boxes = failureMessages(read.error());
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].title, std::string("PelkoEditor"));
    QCOMPARE(boxes[0].style, Message::OkOnly | Message::Critical);
    QCOMPARE(QString::fromStdString(boxes[0].bytes()), "An error occurred trying to read '" + QString::fromStdString(path) + "'\r\n" + error);
  }
};

namespace {
bool closeWindow(const QList<QByteArray>& arguments) {
  setUpPlatform(arguments[0].toStdString());
  FakeWindow window(2);
  reportedInChild(saveClosingSettings(2, window));  // printed for the parent to see; the close goes on
  return true;
}

bool writeKeys(const QList<QByteArray>& arguments) {
  const std::string section = "Section " + arguments[0].toStdString();
  for (int k = 0; k < 500; ++k)
    if (!writeIniString(section, "Key " + std::to_string(k), std::to_string(k), arguments[1].toStdString())) return false;
  return true;
}

const ChildActions kChildActions{{"close", closeWindow}, {"write keys", writeKeys}};
}  // namespace

PELKO_TEST_MAIN_WITH_CHILDREN(TestSettings, kChildActions)
#include "tst_settings.moc"
