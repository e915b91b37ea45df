#include "EditorFixture.h"
#include "RecentFiles.h"

using namespace Qt::StringLiterals;

namespace {

using Paths = std::vector<std::string>;

Paths paths(const QStringList& list) {
  Paths made;
  for (const QString& path : list) made.push_back(path.toStdString());
  return made;
}

}  // namespace

// The recent files: the list's rules, its section of the settings file, and the menu of the
// Load File button, opened by mouse and by keys.
class TestRecentFiles : public QObject, EditorFixture {
  Q_OBJECT

  QString iniPath() const { return QString::fromStdString(GlobalShared::getIniPath()); }
  QString sample(const QString& name) { return copyOfSample(name); }
  // Opens the menu one way, answers it with `answer`, and returns its entries' texts.
  QStringList openMenu(const QString& how, std::function<void(QMenu*)> answer) {
    QStringList entries;
    ModalAnswerer answerer;
    answerer.then<QMenu>([&](QMenu* menu) {
      if (menu->objectName() != QStringLiteral("mnuRecentFiles")) entries << QStringLiteral("another menu");
      for (const QAction* action : menu->actions()) entries << action->text() + (action->isEnabled() ? u""_s : u" (off)"_s);
      answer(menu);
    });
    // The offscreen platform leaves no window active once a menu is gone, where a desktop gives
    // the activation back.
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w)) qWarning("the window did not become active");
    QPushButton* loadFile = button(2);
    if (how == u"Ctrl+R"_s) {
      QTest::keyClick(w, Qt::Key_R, Qt::ControlModifier);
    } else if (how == u"the arrow"_s) {
      QTest::mouseClick(find<QToolButton>(QStringLiteral("cmdRecentFiles")), Qt::LeftButton);
    } else if (how == u"right-click"_s) {
      QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), loadFile->mapToGlobal(QPoint(5, 5)));
      QApplication::sendEvent(loadFile, &click);
    } else {
      loadFile->setFocus(Qt::TabFocusReason);
      QTest::keyClick(loadFile, how == u"Menu"_s ? Qt::Key_Menu : Qt::Key_Down, how == u"Menu"_s ? Qt::NoModifier : Qt::AltModifier);
    }
    if (!answerer.allAnswered()) qWarning("%s", qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    return entries;
  }
  static std::function<void(QMenu*)> typeKey(Qt::Key key) {
    return [key](QMenu* menu) { QTest::keyClick(menu, key); };
  }
  static QString entry(int n, const QString& path) { return QStringLiteral("&%1  %2").arg(n).arg(asShown(path)); }

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  // Each step adds ("+path") or removes ("-path"); the list after them, most recent first.
  void rules_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("list");
    QStringList nine;
    for (int n = 1; n <= 9; ++n) nine << QStringLiteral("+/d/%1.txt").arg(n);
    QTest::newRow("most recent first") << QStringList{u"+/a"_s, u"+/b"_s, u"+/c"_s} << QStringList{u"/c"_s, u"/b"_s, u"/a"_s};
    QTest::newRow("loaded again: on top, once") << QStringList{u"+/a"_s, u"+/b"_s, u"+/a"_s} << QStringList{u"/a"_s, u"/b"_s};
    QTest::newRow("a ninth drops the oldest") << nine
                                              << QStringList{u"/d/9.txt"_s, u"/d/8.txt"_s, u"/d/7.txt"_s, u"/d/6.txt"_s, u"/d/5.txt"_s,
                                                             u"/d/4.txt"_s, u"/d/3.txt"_s, u"/d/2.txt"_s};
    QTest::newRow("removed") << QStringList{u"+/a"_s, u"+/b"_s, u"+/c"_s, u"-/b"_s} << QStringList{u"/c"_s, u"/a"_s};
    QTest::newRow("removing one never listed") << QStringList{u"+/a"_s, u"-/z"_s} << QStringList{u"/a"_s};
#ifdef Q_OS_WIN
    QTest::newRow("letter case, as the platform names files") << QStringList{u"+C:/d/A.txt"_s, u"+c:\\D\\a.TXT"_s} << QStringList{u"c:\\D\\a.TXT"_s};
#else
    QTest::newRow("letter case, as the platform names files") << QStringList{u"+/d/A.txt"_s, u"+/d/a.txt"_s} << QStringList{u"/d/a.txt"_s, u"/d/A.txt"_s};
#endif
    QTest::newRow("what the settings file cannot hold")
        << QStringList{u"+/a"_s, u"+"_s, u"+ /lead"_s, u"+/trail "_s, u"+/tab\t"_s, u"+/line\nend"_s, u"+/"_s + QString(2047, u'x')}
        << QStringList{u"/a"_s};
    QTest::newRow("the longest it holds") << QStringList{u"+/"_s + QString(2046, u'x')} << QStringList{u"/"_s + QString(2046, u'x')};
  }
  void rules() {
    RecentFiles recent;
    for (const QString& step : fetched<QStringList>("steps")) {
      const std::string path = step.mid(1).toStdString();
      if (step.startsWith(u'+')) recent.add(path);
      else QCOMPARE(recent.remove(path), step != u"-/z"_s);
    }
    QCOMPARE(recent.paths(), paths(fetched<QStringList>("list")));
  }

  // The list's own section; every other byte of the file stays. A hand-edited section reads with
  // its gaps, duplicates and keys beyond the eighth left out.
  void settingsSection() {
    const QByteArray before = "[Pelko Editor]\r\nLeft= 5\r\n";
    QVERIFY(writeFile(iniPath(), before));
    QVERIFY(!GlobalShared::saveRecentFiles(RecentFiles(Paths{"/b", "/a"})));
    QCOMPARE(fileBytes(iniPath()), before + "\r\n[Recent Files]\r\nFile1=/b\r\nFile2=/a\r\nFile3=\r\nFile4=\r\nFile5=\r\n"
                                            "File6=\r\nFile7=\r\nFile8=\r\n");
    QCOMPARE(GlobalShared::loadRecentFiles().paths(), (Paths{"/b", "/a"}));
    QVERIFY(!GlobalShared::saveRecentFiles(RecentFiles(Paths{"/a"})));
    QCOMPARE(ini(QStringLiteral("Recent Files"), "File2"), "");
    QVERIFY(writeFile(iniPath(), "[recent files]\nfile2 = /x \nFile3=/y\nFile5=/X\nFile6=/x\nFile9=/z\n"));
    QCOMPARE(GlobalShared::loadRecentFiles().paths(), (Paths{"/x", "/y", "/X"}));
  }

  // Each file loaded goes on top; the menu, opened by mouse or keys, lists them numbered, and a
  // number chosen loads that file as Load File would.
  void menuLoadsTheChosenFile_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"Ctrl+R", "Alt+Down", "Menu", "right-click", "the arrow"}) QTest::newRow(how) << QString::fromLatin1(how);
  }
  void menuLoadsTheChosenFile() {
    const QString units = sample(kUnits), buildings = sample(kBuildings);
    QCOMPARE(openMenu(fetched<QString>("how"), typeKey(Qt::Key_Escape)), QStringList{u"No recent files (off)"_s});
    QVERIFY(w->LoadRecord(CodePage::toPath(units), 0));
    QVERIFY(w->LoadRecord(CodePage::toPath(buildings), 0));
    QCOMPARE(openMenu(fetched<QString>("how"), typeKey(Qt::Key_2)), (QStringList{entry(1, buildings), entry(2, units)}));
    QCOMPARE(w->FormID(), 1);
    QCOMPARE(QString::fromStdString(w->record().sFilePath()), units);
    QCOMPARE(GlobalShared::loadRecentFiles().paths(), paths({units, buildings}));
  }

  // Unsaved changes are asked about first; Cancel keeps them and the file shown.
  void unsavedChangesAskedFirst() {
    const QString units = sample(kUnits), buildings = sample(kBuildings);
    QVERIFY(w->LoadRecord(CodePage::toPath(units), 0));
    loadAndEdit(buildings);
    QStringList seen;
    {
      ModalAnswerer answerer;
      answerer.then<QMenu>([](QMenu* menu) { QTest::keyClick(menu, Qt::Key_2); })
          .then<QMessageBox>(pressInBox(QMessageBox::Cancel, seen));
      key(Qt::CTRL | Qt::Key_R);
    }
    QCOMPARE(seen.size(), 1);
    QVERIFY(seen[0].startsWith(u"Discard Changes?|"_s));
    QVERIFY(w->dataChanged());
    QCOMPARE(w->FormID(), 2);
  }

  // A file gone since is dropped when chosen, with a note: in the status line, or in a box when
  // no file is shown.
  void missingFileDropped_data() {
    QTest::addColumn<bool>("fileShown");
    QTest::newRow("in the status line") << true;
    QTest::newRow("in a box without a file") << false;
  }
  void missingFileDropped() {
    const QString units = sample(kUnits), gone = sample(kBuildings);
    QVERIFY(w->LoadRecord(CodePage::toPath(gone), 0));
    QVERIFY(w->LoadRecord(CodePage::toPath(units), 0));
    QVERIFY(QFile::remove(gone));
    if (!fetched<bool>("fileShown")) w = mWindow.restart();
    const QString note = u"Not found, dropped from the recent files: "_s + asShown(gone);
    QStringList seen;
    {
      ModalAnswerer answerer;
      answerer.then<QMenu>([](QMenu* menu) { QTest::keyClick(menu, Qt::Key_2); });
      if (!fetched<bool>("fileShown")) answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
      QTest::keyClick(w, Qt::Key_R, Qt::ControlModifier);
    }
    if (fetched<bool>("fileShown")) QCOMPARE(status(), note);
    else QCOMPARE(seen, QStringList{u"Recent Files|"_s + note});
    QCOMPARE(w->FormID(), fetched<bool>("fileShown") ? 1 : 0);
    QCOMPARE(GlobalShared::loadRecentFiles().paths(), paths({units}));
    QCOMPARE(openMenu(u"Ctrl+R"_s, typeKey(Qt::Key_Escape)), QStringList{entry(1, units)});
  }
};

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
