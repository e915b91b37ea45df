#include <QMimeData>

#include "EditorFixture.h"

using namespace DataText;

// The file actions: load each kind, fail to load, save, open from outside the window, and the
// question about unsaved changes before any of them.
class TestFileActions : public QObject, EditorFixture {
  Q_OBJECT

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  // Each kind loads with its status, title and first unit, and saves back byte for byte over a
  // longer file.
  void loadEachKind_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("units");
    QTest::addColumn<int>("firstUnit");
    QTest::newRow("unit") << kUnits << 1 << "36 units" << 5;
    QTest::newRow("building") << kBuildings << 2 << "30 units" << 5;
    QTest::newRow("projectile") << kProjectiles << 3 << "24 units" << 2;
  }
  void loadEachKind() {
    QFETCH(QString, file);
    QFETCH(QString, units);
    const QString where = copyOfSample(file, QStringLiteral("Mixed Case ") + file);
    {
      ModalAnswerer noBox;
      QVERIFY(w->LoadRecord(where.toStdString(), 0));
      QVERIFY(noBox.allAnswered());
    }
    QCOMPARE(w->FormID(), fetched<int>("kind"));
    QCOMPARE(status(), units + QStringLiteral(" loaded from; ") + asShown(where));
    QCOMPARE(shownTitle().section(QStringLiteral(" - "), 0, 0), QLatin1Char('[') + asShown(QStringLiteral("Mixed Case ") + file) + QLatin1Char(']'));
    QCOMPARE(find<QScrollBar>(QStringLiteral("vsbUnits2display"))->minimum(), fetched<int>("firstUnit"));
    QVERIFY(gridShown() && button(3)->isEnabled());
    QVERIFY(!find(QStringLiteral("fraProgressBar"))->isVisibleTo(w));
    QVERIFY(!QGuiApplication::overrideCursor());
    const QString copy = mWindow.path(QStringLiteral("copy.txt"));
    QVERIFY(writeFile(copy, QByteArray(100000, 'x')));
    QVERIFY(w->SaveRecord(copy.toStdString()));
    QCOMPARE(fileBytes(copy), fileBytes(samplePath(file)));
    QCOMPARE(status(), units + QStringLiteral(" saved to:    ") + asShown(copy));
  }

  // A failed detection or parse says so; a detection keeps the earlier file, a parse empties the window.
  void loadFailures_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("forced");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("not a data file") << QByteArray("ver\t1;") << 0 << QStringList{QStringLiteral("LoadRecord Aborted!")};
    QTest::newRow("a projectile file forced as a unit file") << fileBytes(samplePath(kProjectiles)) << 1
                                                             << QStringList{QStringLiteral("Error Loading [Unit_Prod11] file")};
  }
  void loadFailures() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, forced);
    QVERIFY(w->LoadRecord(copyOfSample(kBuildings).toStdString(), 0));
    const QString path = mWindow.path(QStringLiteral("bad.txt"));
    QVERIFY(writeFile(path, bytes));
    QStringList seen;
    {
      ModalAnswerer answerer;
      for (qsizetype i = 0; i < fetched<QStringList>("titles").size(); ++i) answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
      QVERIFY(!w->LoadRecord(path.toStdString(), forced));
    }
    QStringList titles;
    for (const QString& box : seen) titles << box.section(QLatin1Char('|'), 0, 0);
    QCOMPARE(titles, fetched<QStringList>("titles"));
    if (!forced) QVERIFY(seen.back().section(QLatin1Char('|'), 1).startsWith(QStringLiteral("Couldn't auto-detect File Type!\r\n\r\nThis File dosen't appear appears")));
    QCOMPARE(w->FormID(), forced ? 0 : 2);
    QCOMPARE(gridShown(), !forced);
    QCOMPARE(button(3)->isEnabled(), !forced);
    QCOMPARE(w->windowTitle().startsWith(QLatin1Char('[')), !forced);
    QVERIFY(!QGuiApplication::overrideCursor());
  }

  void unsavedChangesPrompt_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("load file, cancel") << 2 << int(QMessageBox::Cancel) << false;
    QTest::newRow("load file, yes, save cancelled") << 2 << int(QMessageBox::Yes) << false;
    QTest::newRow("load file, no") << 2 << int(QMessageBox::No) << true;
    QTest::newRow("load defaults, no") << 5 << int(QMessageBox::No) << true;
    QTest::newRow("exit, cancel") << 7 << int(QMessageBox::Cancel) << false;
    QTest::newRow("exit, no") << 7 << int(QMessageBox::No) << true;
    // A save that fails cancels the action that asked for it (answer Yes + 1: save to a read-only file).
    QTest::newRow("exit, yes, save fails") << 7 << int(QMessageBox::Yes) + 1 << false;
  }
  // The path in the question keeps its own encoding.
  void unsavedChangesPrompt() {
    QFETCH(int, action);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    const QString path = copyOfSample(kUnits, QStringLiteral("D\u00fcsseldorf Units.txt"));
    loadAndEdit(path);
    const QString before = status();
    const bool saveFails = answer == int(QMessageBox::Yes) + 1;
    const QString readOnly = mWindow.path(QStringLiteral("readonly.txt"));
    if (saveFails) answer = QMessageBox::Yes;
    if (saveFails) QVERIFY(writeFile(readOnly, "old") && QFile::setPermissions(readOnly, QFile::ReadOwner));
    QStringList seen;
    {
      ModalAnswerer answerer;
      answerer.then<QMessageBox>(pressInBox(QMessageBox::StandardButton(answer), seen));
      if (answer == QMessageBox::Yes) answerer.then<QFileDialog>(chooseFile(saveFails ? readOnly : QString(), seen));
      if (saveFails) answerer.then<QMessageBox>(pressInBox(QMessageBox::Yes, seen)).then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
      if (goesOn && action == 2) answerer.then<QFileDialog>(chooseFile({}, seen));
      if (goesOn && action == 5) answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));  // no .bak copy here
      click(button(action));
    }
    QCOMPARE(seen.value(0), QStringLiteral("Discard Changes?|The data in ") + path +
                                        QStringLiteral(" has changed.\r\n\r\nDo you want to save the changes?"));
    if (answer == QMessageBox::Yes) QCOMPARE(seen.value(1), QStringLiteral("Save [Unit_Prod11] File As..."));
    if (goesOn && action == 2) QCOMPARE(seen.value(1), QStringLiteral("Open File [prod/build/projectile]"));
    if (goesOn && action == 5) QVERIFY(seen.value(1).startsWith(QStringLiteral("Couldn't Load Default Data")));
    if (saveFails) QVERIFY(seen.value(3).startsWith(QStringLiteral("PelkoEditor|An error occurred trying to save to")));
    if (saveFails) QCOMPARE(fileBytes(readOnly), QByteArray("old"));
    QCOMPARE(w->isVisible(), !(action == 7 && goesOn));
    QVERIFY(w->dataChanged());  // nothing was saved or loaded
    QCOMPARE(status(), before);
  }

  // A file given on the command line or dropped on the window loads as Load File loads it, its
  // kind detected, after the question about unsaved changes; a drag of anything else is refused.
  void openFromOutside_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");  // to the unsaved-changes question; 0: no changes
    QTest::addColumn<bool>("loads");
    QTest::newRow("command line") << "command line" << 0 << true;
    QTest::newRow("drop") << "drop" << 0 << true;
    QTest::newRow("drop, cancelled") << "drop" << int(QMessageBox::Cancel) << false;
    QTest::newRow("drop of two files") << "two files" << 0 << false;
  }
  void openFromOutside() {
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, loads);
    if (answer != 0) loadAndEdit(copyOfSample(kUnits));
    const QString path = copyOfSample(kProjectiles);
    QStringList seen;
    ModalAnswerer answerer;
    if (answer != 0) answerer.then<QMessageBox>(pressInBox(QMessageBox::StandardButton(answer), seen));
    if (how == QLatin1String("command line")) {
      const QString before = QDir::currentPath();
      QDir::setCurrent(mWindow.path({}));
      w->openLater(kProjectiles);  // relative to the working folder
      QDir::setCurrent(before);
    } else {
      QMimeData data;
      QList<QUrl> urls{QUrl::fromLocalFile(path)};
      if (how == QLatin1String("two files")) urls << QUrl::fromLocalFile(samplePath(kUnits));
      data.setUrls(urls);
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(w, &enter);
      QCOMPARE(enter.isAccepted(), loads || answer != 0);
      QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
      if (enter.isAccepted()) QApplication::sendEvent(w, &drop);
    }
    if (answer != 0) QTRY_VERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    if (loads) QTRY_COMPARE(w->FormID(), 3);
    QTest::qWait(20);  // a load that should not come has had its turn
    QCOMPARE(w->FormID(), loads ? 3 : answer != 0 ? 1 : 0);
    if (loads) QCOMPARE(w->record().sFilePath(), QDir::cleanPath(path).toStdString());
  }

  // Ctrl+S writes the loaded file back without a dialog; a default copy goes through Save File As,
  // where a name without an extension gets the default one and Qt's dialog asks before replacing
  // the file. The window is marked modified while there are unsaved changes, and the saved file is
  // the one being edited.
  void saveWithCtrlS_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("savedAs");
    QTest::newRow("loaded file") << "units.txt" << "units.txt";
    QTest::newRow("default copy") << "crusaders_unit_prod11.bak" << "saved.TXT";
  }
  void saveWithCtrlS() {
    QFETCH(QString, name);
    QFETCH(QString, savedAs);
    const QString path = copyOfSample(kUnits, name), target = mWindow.path(savedAs);
    loadAndEdit(path);
    const QString title = QStringLiteral("[%1] - PelkoEditor [Unit_Prod11]");
    QCOMPARE(shownTitle(), title.arg(name + QLatin1Char('*')));
    const bool inPlace = name == savedAs;
    QStringList seen;
    ModalAnswerer answerer;
    if (!inPlace) {
      QVERIFY(writeFile(target, "old"));
      answerer.then<QFileDialog>(chooseFile(mWindow.path(QStringLiteral("saved")), seen)).then<QMessageBox>(pressInBox(QMessageBox::Yes, seen));
    }
    QTest::keyClick(editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(seen.value(0), inPlace ? QString() : QStringLiteral("Save [Unit_Prod11] File As..."));
    QVERIFY(!w->dataChanged());
    QCOMPARE(shownTitle(), title.arg(asShown(savedAs)));
    QCOMPARE(status(), QStringLiteral("36 units saved to:    ") + asShown(target));
    QCOMPARE(QString::fromStdString(w->record().sFilePath()), target);
    const QByteArray edited = QByteArray::fromStdString(w->record().returnArrayUnitNames(5, 1).front());
    QVERIFY(edited != "Peasants");
    QVERIFY(fileBytes(target).contains("\r\n" + edited + '\t'));
    QCOMPARE(fileBytes(path).contains("\r\n" + edited + '\t'), inPlace);
  }

  // Which kind's settings are stored before the open dialog shows, and what is then loaded. The
  // first row presses the button's underlined letter, as the window system delivers it.
  void loadFile_data() {
    QTest::addColumn<bool>("detect");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("chosenKind");  // in the prompt; 0 cancels it
    QTest::addColumn<QString>("file");    // empty: the open dialog is cancelled
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("storedBefore");
    QTest::addColumn<int>("kindAfter");
    QTest::newRow("detect, nothing shown, projectiles") << true << 0 << 0 << kProjectiles << "Open File [prod/build/projectile]" << false << 3;
    QTest::newRow("no detection, prompt cancelled") << false << 1 << 0 << QString() << QString() << false << 1;
    QTest::newRow("no detection, buildings") << false << 1 << 2 << kBuildings << "Open File [Build_prod13]" << true << 2;
  }
  void loadFile() {
    QFETCH(bool, detect);
    QFETCH(int, shown);
    QFETCH(int, chosenKind);
    QFETCH(QString, file);
    QFETCH(QString, title);
    if (shown) QVERIFY(w->LoadRecord(copyOfSample(kUnits).toStdString(), 0));
    autoDetect()->setChecked(detect);
    QStringList seen;
    std::string storedWhileOpen = "no dialog";
    ModalAnswerer answerer;
    if (!detect) answerer.then<FPrompt>(chooseKind(chosenKind, seen));
    if (!title.isEmpty())
      answerer.then<QFileDialog>(chooseFile(file.isEmpty() ? file : copyOfSample(file), seen,
                                            [&] { storedWhileOpen = ini(kUnitSection, "Selected Range"); }));
    if (shown) click(button(2));
    else QTest::keyClick(w->windowHandle(), Qt::Key_L, Qt::AltModifier);
    QTRY_VERIFY(answerer.allAnswered());
    if (!title.isEmpty()) QCOMPARE(seen.last(), title);
    if (!title.isEmpty()) QCOMPARE(storedWhileOpen != "absent", fetched<bool>("storedBefore"));
    QCOMPARE(w->FormID(), fetched<int>("kindAfter"));
    if (!file.isEmpty()) QVERIFY(status().endsWith(asShown(mWindow.path(file))));
  }

  // Without detection the prompt asks for the kind, and its default copy loads from the program's folder.
  void loadDefaults() {
    QVERIFY(w->LoadRecord(copyOfSample(kProjectiles).toStdString(), 0));
    const QString bak = copyOfSample(kUnits, QStringLiteral("crusaders_unit_prod11.bak"));
    autoDetect()->setChecked(false);
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<FPrompt>(chooseKind(1, seen));
    click(button(5));
    QCOMPARE(seen, QStringList{QStringLiteral("select Default File Type to Load|(will switch Editor to correct mode automatically)")});
    QCOMPARE(w->FormID(), 1);
    QVERIFY(status().endsWith(asShown(bak)));
    QCOMPARE(find<QLabel>(QStringLiteral("lblLoadMessage"))->text(), QStringLiteral("Loading default [Unit_Prod11] data..........."));
  }

  void newEditorMissing() {
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
    QVERIFY(!w->doFileAction(0));
    QCOMPARE(seen, QStringList(QStringLiteral("Error Launching PelkoEditor!|Error:2\r\nNo such file or directory\r\n\r\n"
                                                      "Couldn't find PelkoEditor.exe to Launch!!")));
  }
};

QTEST_MAIN(TestFileActions)
#include "tst_fileactions.moc"
