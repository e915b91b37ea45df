#include "EditorFixture.h"
#include "RecentFiles.h"

using namespace Qt::StringLiterals;

namespace {

std::vector<std::string> paths(const QStringList& list) {
  std::vector<std::string> made;
  for (const QString& path : list) made.push_back(path.toStdString());
  return made;
}

}  // namespace

// The recent files: the list's rules, its section of the settings file, and the menu of the
// Load File button, opened by mouse and by keys.
class TestRecentFiles : public QObject, EditorFixture {
  Q_OBJECT

  // Opens the menu one way and types a key in it, pressing `answer` in the box that follows, if
  // any; returns the menu's entries, then the box's title and text.
  QStringList chooseByKey(const QString& how, Qt::Key key, QMessageBox::StandardButton answer = QMessageBox::NoButton) {
    QStringList seen;
    {
      ModalAnswerer answerer;
      answerer.then<QMenu>([&](QMenu* menu) {
        for (const QAction* action : menu->actions())
          seen << action->text() + (action->isEnabled() ? u""_s : u" (off)"_s);
        QTest::keyClick(menu, key);
      });
      if (answer != QMessageBox::NoButton) answerer.then<QMessageBox>(pressInBox(answer, seen));
      if (!activate()) seen << u"no active window"_s;
      QPushButton* loadFile = button(2);
      QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), loadFile->mapToGlobal(QPoint(5, 5)));
      if (how == u"Ctrl+R"_s)
        QTest::keyClick(w, Qt::Key_R, Qt::ControlModifier);
      else if (how == u"the arrow"_s)
        QTest::mouseClick(find<QToolButton>(u"cmdRecentFiles"_s), Qt::LeftButton);
      else if (how == u"right-click"_s)
        QApplication::sendEvent(loadFile, &rightClick);
      else
        QTest::keyClick(loadFile, how == u"Menu"_s ? Qt::Key_Menu : Qt::Key_Down,
                        how == u"Menu"_s ? Qt::NoModifier : Qt::AltModifier);
    }
    return seen;
  }
  // The offscreen platform leaves no window active once a menu is gone, where a desktop gives
  // the activation back.
  bool activate() {
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
  }
  static QString entry(int n, const QString& path) { return u"&%1  %2"_s.arg(n).arg(asShown(path)); }

 private slots:

  // Each step adds ("+path") or removes ("-path"); the list after them, most recent first.
  void rules_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("list");
    QStringList nine, eight;
    for (int n = 1; n <= 9; ++n) nine << u"+/%1"_s.arg(n);
    for (int n = 9; n >= 2; --n) eight << u"/%1"_s.arg(n);
    QTest::newRow("most recent first, each once")
        << QStringList{u"+/a"_s, u"+/b"_s, u"+/c"_s, u"+/b"_s} << QStringList{u"/b"_s, u"/c"_s, u"/a"_s};
    QTest::newRow("a ninth drops the oldest") << nine << eight;
    QTest::newRow("removed; one never listed")
        << QStringList{u"+/a"_s, u"+/b"_s, u"-/a"_s, u"-/z"_s} << QStringList{u"/b"_s};
#ifdef Q_OS_WIN
    QTest::newRow("letter case as the platform")
        << QStringList{u"+C:/d/A.txt"_s, u"+c:\\D\\a.TXT"_s} << QStringList{u"c:\\D\\a.TXT"_s};
#else
    QTest::newRow("letter case as the platform") << QStringList{u"+/A"_s, u"+/a"_s} << QStringList{u"/a"_s, u"/A"_s};
#endif
    QTest::newRow("what the settings file cannot hold") << QStringList{u"+/a"_s,
                                                                       u"+"_s,
                                                                       u"+ /lead"_s,
                                                                       u"+/trail "_s,
                                                                       u"+/tab\t"_s,
                                                                       u"+/line\nend"_s,
                                                                       u"+/"_s + QString(2047, u'x')}
                                                        << QStringList{u"/a"_s};
    QTest::newRow("the longest it holds")
        << QStringList{u"+/"_s + QString(2046, u'x')} << QStringList{u"/"_s + QString(2046, u'x')};
  }
  void rules() {
    RecentFiles recent;
    for (const QString& step : fetched<QStringList>("steps"))
      if (step.startsWith(u'+'))
        recent.add(step.mid(1).toStdString());
      else
        QCOMPARE(recent.remove(step.mid(1).toStdString()), step != u"-/z"_s);
    QCOMPARE(recent.paths(), paths(fetched<QStringList>("list")));
  }

  // A section of its own; every other byte of the file stays. A hand-edited section reads without
  // its gaps, duplicates and keys beyond the eighth.
  void settingsSection() {
    const QString ini = QString::fromStdString(GlobalShared::getIniPath());
    QVERIFY(writeFile(ini, "[Pelko Editor]\r\nLeft= 5\r\n"));
    QVERIFY(!GlobalShared::saveRecentFiles(RecentFiles({"/b", "/a"})));
    QVERIFY(!GlobalShared::saveRecentFiles(RecentFiles({"/c", "/b"})));
    QCOMPARE(fileBytes(ini),
             "[Pelko Editor]\r\nLeft= 5\r\n\r\n[Recent Files]\r\nFile1=/c\r\nFile2=/b\r\nFile3=\r\nFile4=\r\n"
             "File5=\r\nFile6=\r\nFile7=\r\nFile8=\r\n");
    QVERIFY(writeFile(ini, "[recent files]\nfile2 = /x \nFile3=/y\nFile5=/w\nFile6=/x\nFile9=/z\n"));
    QCOMPARE(GlobalShared::loadRecentFiles().paths(), paths({u"/x"_s, u"/y"_s, u"/w"_s}));
  }

  // Each file loaded goes on top; the menu, opened by mouse or keys, lists them numbered, and a
  // number typed loads that file as Load File would, after the question about unsaved changes.
  void menuLoadsTheChosenFile_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"Ctrl+R", "Alt+Down", "Menu", "right-click", "the arrow"})
      QTest::newRow(how) << QString::fromLatin1(how);
  }
  void menuLoadsTheChosenFile() {
    const QString how = fetched<QString>("how"), units = copyOfSample(kUnits), buildings = copyOfSample(kBuildings);
    QCOMPARE(chooseByKey(how, Qt::Key_Escape), QStringList{u"No recent files (off)"_s});
    QVERIFY(w->LoadRecord(CodePage::toPath(units), 0));
    QVERIFY(activate());
    loadAndEdit(buildings);
    const QStringList seen = chooseByKey(how, Qt::Key_2, QMessageBox::No);
    QCOMPARE(seen.mid(0, 2), (QStringList{entry(1, buildings), entry(2, units)}));
    QVERIFY(seen.value(2).startsWith(u"Discard Changes?|"_s));
    QCOMPARE(QString::fromStdString(w->record().sFilePath()), units);
    QCOMPARE(GlobalShared::loadRecentFiles().paths(), paths({units, buildings}));
  }

  // A file gone since is dropped when chosen, with a note: in the status line, or in a box when
  // no file is shown.
  void missingFileDropped_data() {
    QTest::addColumn<bool>("fileShown");
    QTest::newRow("in the status line") << true;
    QTest::newRow("in a box without a file") << false;
  }
  void missingFileDropped() {
    const bool shown = fetched<bool>("fileShown");
    const QString units = copyOfSample(kUnits), gone = copyOfSample(kBuildings);
    QVERIFY(w->LoadRecord(CodePage::toPath(gone), 0));
    QVERIFY(w->LoadRecord(CodePage::toPath(units), 0));
    QVERIFY(QFile::remove(gone));
    if (!shown) w = mWindow.restart();
    // The status line shows paths as the window shows them, a message box as chosen.
    const QString note = u"Not found, dropped from the recent files: "_s + (shown ? asShown(gone) : gone);
    const QStringList seen = chooseByKey(u"Ctrl+R"_s, Qt::Key_2, shown ? QMessageBox::NoButton : QMessageBox::Ok);
    QCOMPARE(shown ? status() : seen.value(2), shown ? note : u"Recent Files|"_s + note);
    QCOMPARE(w->FormID(), shown ? 1 : 0);
    QCOMPARE(chooseByKey(u"Ctrl+R"_s, Qt::Key_Escape), QStringList{entry(1, units)});
  }

  void init() { openWindow(); }
  void cleanup() { closeWindow(); }
};

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
