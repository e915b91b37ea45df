#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "EditorWindow.h"
#include "FEditor.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "GlobalShared.h"
#include "MessageRecorder.h"
#include "Platform.h"
#include "Twips.h"

class TestLoadSave : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;

  QString text(const char* name) const { return w->findChild<QLabel*>(QLatin1String(name))->text(); }
  std::string path(const QString& name) const { return mWindow.path(name).toStdString(); }
  std::string write(const QString& name, const QByteArray& bytes) const {
    QFile file(mWindow.path(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path(name);
  }
  static QByteArray sample(const QString& name) {
    return fileBytes(qEnvironmentVariable("PELKO_SAMPLES") + QLatin1Char('/') + name);
  }
  bool gridShown() const { return w->findChild<QWidget*>(QStringLiteral("fraMain"))->isVisibleTo(w); }

 private slots:
  void init() { w = mWindow.open(); }
  void cleanup() { mWindow.close(); }

  void loadEachKind_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("firstUnit");
    QTest::newRow("unit") << "crusaders_unit_prod11.txt" << 1 << "36 units loaded from; " << 5;
    QTest::newRow("building") << "crusader_build_prod13.txt" << 2 << "30 units loaded from; " << 5;
    QTest::newRow("projectile") << "ProjectileStats.txt" << 3 << "24 units loaded from; " << 2;
  }
  void loadEachKind() {
    QFETCH(QString, file);
    const std::string where = write(QStringLiteral("Mixed Case ") + file, sample(file));
    MessageRecorder boxes;
    QVERIFY(w->LoadRecord(where, 0));
    QVERIFY(boxes.boxes.empty());
    QCOMPARE(w->FormID(), fetched<int>("kind"));
    QCOMPARE(text("lblStatusBar"), fetched<QString>("status") + QString::fromStdString(where));
    QCOMPARE(w->windowTitle().section(QStringLiteral(" - "), 0, 0), QLatin1Char('[') + QStringLiteral("Mixed Case ") + file + QLatin1Char(']'));
    QCOMPARE(w->findChild<QScrollBar*>(QStringLiteral("vsbUnits2display"))->minimum(), fetched<int>("firstUnit"));
    QVERIFY(text("lblClock").endsWith(QStringLiteral(" ms")));
    QVERIFY(w->findChild<QPushButton*>(QStringLiteral("cmdFileActions_3"))->isEnabled());
    QVERIFY(gridShown());
    QVERIFY(!w->findChild<QWidget*>(QStringLiteral("fraProgressBar"))->isVisibleTo(w));
    QCOMPARE(text("lblUnitsLoaded"), QStringLiteral("0"));
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(text("lblLoadMessage"), QStringLiteral("Loading %1 data from file...........")
                                         .arg(QString::fromStdString(GlobalShared::getSectionName(w->FormID()))));

    // Saved back byte for byte, over a longer file.
    const std::string copy = write(QStringLiteral("copy.txt"), QByteArray(100000, 'x'));
    QVERIFY(w->SaveRecord(copy));
    QCOMPARE(fileBytes(QString::fromStdString(copy)), sample(file));
    QCOMPARE(text("lblStatusBar"), QString(fetched<QString>("status")).replace(QStringLiteral("loaded from; "), QStringLiteral("saved to:    ")) +
                                       QString::fromStdString(copy));
    QVERIFY(!w->dataChanged());
  }

  void detection_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("ver and a tab") << QByteArray("ver\t1;");
    QTest::newRow("blank before name") << QByteArray(" name\tx");
    QTest::newRow("empty file") << QByteArray();
  }
  void detection() {
    QVERIFY(w->LoadRecord(write(QStringLiteral("good.txt"), sample(QStringLiteral("ProjectileStats.txt"))), 0));
    MessageRecorder boxes;
    QVERIFY(!w->LoadRecord(write(QStringLiteral("bad.txt"), fetched<QByteArray>("start")), 0));
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(boxes.boxes[0].title, std::string("LoadRecord Aborted!"));
    QCOMPARE(boxes.boxes[0].style, Platform::OkOnly | Platform::Critical);
    QCOMPARE(boxes.boxes[0].prompt,
             std::string("Couldn't auto-detect File Type!\r\n\r\nThis File dosen't appear appears to be a MTW File, switch "
                         "auto-detect off and try forcing it to load as a specific file-type if you are sure it contains "
                         "validly formatted data."));
    QCOMPARE(w->FormID(), 3);  // the earlier data stays
    QVERIFY(gridShown());
    QVERIFY(!QGuiApplication::overrideCursor());
  }

  void missingFileThenDetection() {
    MessageRecorder boxes;
    QVERIFY(!w->LoadRecord(path(QStringLiteral("missing.txt")), 0));
    QCOMPARE(boxes.boxes.size(), std::size_t{2});
    QCOMPARE(boxes.boxes[0].title, std::string("PelkoEditor"));
    QCOMPARE(boxes.boxes[1].title, std::string("LoadRecord Aborted!"));
  }

  void failedParseLeavesTheWindowEmpty() {
    QVERIFY(w->LoadRecord(write(QStringLiteral("good.txt"), sample(QStringLiteral("crusader_build_prod13.txt"))), 0));
    MessageRecorder boxes;
    // A projectile file forced to load as a unit file.
    QVERIFY(!w->LoadRecord(write(QStringLiteral("p.txt"), sample(QStringLiteral("ProjectileStats.txt"))), 1));
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(boxes.boxes[0].title, std::string("Error Loading [Unit_Prod11] file"));
    QCOMPARE(w->windowTitle(), QStringLiteral(" PelkoEditor"));
    QCOMPARE(w->FormID(), 0);
    QCOMPARE(text("lblStatusBar"), QString());
    QVERIFY(!gridShown());
    QVERIFY(!w->findChild<QPushButton*>(QStringLiteral("cmdFileActions_3"))->isEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());
  }

  // A slow paint makes every record's handler paint, so the panel's pictures during a real load
  // can be compared one by one.
  void progressShownDuringLoad() {
    struct PaintWatch : QObject {
      FEditor* window;
      QStringList counters;
      std::vector<int> bars;
      explicit PaintWatch(FEditor* w) : window(w) {}
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
          counters << window->findChild<QLabel*>(QStringLiteral("lblUnitsLoaded"))->text();
          bars.push_back(Twips::width(window->findChild<QWidget*>(QStringLiteral("shpProgressBar"))));
          QTest::qSleep(40);
        }
        return false;
      }
    } watch(w);
    w->findChild<QWidget*>(QStringLiteral("fraProgressBar"))->installEventFilter(&watch);
    QVERIFY(w->LoadRecord(write(QStringLiteral("units.txt"), sample(QStringLiteral("crusaders_unit_prod11.txt"))), 0));
    QStringList expected{QStringLiteral("0")};
    for (int header = 1; header <= 4; ++header) expected << QStringLiteral("labels");
    for (int unit = 1; unit <= 36; ++unit) expected << QString::number(unit);
    QCOMPARE(watch.counters, expected);
    QVERIFY(std::is_sorted(watch.bars.begin(), watch.bars.end()));
    QVERIFY(watch.bars.front() < 100 && std::abs(watch.bars.back() - 6630) <= 15);
  }
};

QTEST_MAIN(TestLoadSave)
#include "tst_loadsave.moc"
