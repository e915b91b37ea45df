#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include "CRecordData.h"
#include "CodePage.h"
#include "EditorWindow.h"
#include "FEditor.h"
#include "FPrompt.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "MessageRecorder.h"
#include "ModalAnswerer.h"
#include "PlatformQt.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "Shots.h"

namespace {

const QString kUnits = QStringLiteral("crusaders_unit_prod11.txt");
const QString kBuildings = QStringLiteral("crusader_build_prod13.txt");
const QString kProjectiles = QStringLiteral("ProjectileStats.txt");
const QString kUnitSection = QStringLiteral("Unit_Prod11");

QString samplePath(const QString& name) { return qEnvironmentVariable("PELKO_SAMPLES") + QLatin1Char('/') + name; }

// What the dialogs showed, in order: "title" or "title|text".
struct Seen {
  QStringList dialogs;
};

std::function<void(QMessageBox*)> pressInBox(QMessageBox::StandardButton button, Seen& seen) {
  return [button, &seen](QMessageBox* box) {
    seen.dialogs << box->windowTitle() + QLatin1Char('|') + box->text();
    press(box->button(button));
  };
}
std::function<void(FPrompt*)> chooseKind(int kind, Seen& seen) {
  return [kind, &seen](FPrompt* prompt) {
    seen.dialogs << prompt->windowTitle();
    if (kind == 0) prompt->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
    else prompt->findChild<QToolButton*>(QStringLiteral("cmdLaunch_%1").arg(kind))->click();
  };
}
// An empty path cancels the dialog.
std::function<void(QFileDialog*)> chooseFile(const QString& path, Seen& seen,
                                             std::function<void()> whileOpen = {}) {
  return [path, &seen, whileOpen](QFileDialog* dialog) {
    seen.dialogs << dialog->windowTitle();
    shoot(dialog, dialog->windowTitle().replace(QRegularExpression(QStringLiteral("[^A-Za-z]+")), QStringLiteral("-")) + QStringLiteral(".png"));
    if (whileOpen) whileOpen();
    if (path.isEmpty()) return dialog->reject();
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    static_cast<QDialog*>(dialog)->accept();
  };
}

}  // namespace

class TestFileActions : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;

  QPushButton* button(int index) const { return w->findChild<QPushButton*>(QStringLiteral("cmdFileActions_%1").arg(index)); }
  QCheckBox* autoDetect() const { return w->findChild<QCheckBox*>(QStringLiteral("chkAutoDetect")); }
  QString status() const { return w->findChild<QLabel*>(QStringLiteral("lblStatusBar"))->text(); }
  QString copyOfSample(const QString& name) const {
    QFile::copy(samplePath(name), mWindow.path(name));
    return mWindow.path(name);
  }
  std::string ini(const QString& section, const char* key) const {
    return GlobalShared::readIniString(section.toStdString(), key, "absent", GlobalShared::getIniPath());
  }
  void loadAndEdit(const QString& path) {
    QVERIFY(w->LoadRecord(CodePage::toPath(path), 0));
    w->findChild<QWidget*>(QStringLiteral("txtField_0"))->setFocus(Qt::MouseFocusReason);
    auto* cellEditor = w->findChild<QPlainTextEdit*>(QStringLiteral("cellEditor"));
    QTRY_VERIFY(cellEditor->hasFocus());
    QTest::keyClicks(cellEditor, QStringLiteral("7"));
    QVERIFY(w->dataChanged());
  }
  static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  bool gridShown() const { return w->findChild<QWidget*>(QStringLiteral("fraMain"))->isVisibleTo(w); }

 private slots:
  void init() {
    PlatformQt::install();  // again: a message recorder leaves no seam behind
    w = mWindow.open();
  }
  void cleanup() { mWindow.close(); }

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
    const QString where = mWindow.path(QStringLiteral("Mixed Case ") + file);
    QVERIFY(QFile::copy(samplePath(file), where));
    MessageRecorder boxes;
    QVERIFY(w->LoadRecord(where.toStdString(), 0));
    QVERIFY(boxes.boxes.empty());
    QCOMPARE(w->FormID(), fetched<int>("kind"));
    QCOMPARE(status(), units + QStringLiteral(" loaded from; ") + where);
    QCOMPARE(w->windowTitle().section(QStringLiteral(" - "), 0, 0), QStringLiteral("[Mixed Case ") + file + QLatin1Char(']'));
    QCOMPARE(w->findChild<QScrollBar*>(QStringLiteral("vsbUnits2display"))->minimum(), fetched<int>("firstUnit"));
    QVERIFY(gridShown() && button(3)->isEnabled());
    QVERIFY(!w->findChild<QWidget*>(QStringLiteral("fraProgressBar"))->isVisibleTo(w));
    QVERIFY(!QGuiApplication::overrideCursor());
    const QString copy = mWindow.path(QStringLiteral("copy.txt"));
    QFile longer(copy);
    QVERIFY(longer.open(QIODevice::WriteOnly) && longer.write(QByteArray(100000, 'x')) == 100000);
    longer.close();
    QVERIFY(w->SaveRecord(copy.toStdString()));
    QCOMPARE(fileBytes(copy), fileBytes(samplePath(file)));
    QCOMPARE(status(), units + QStringLiteral(" saved to:    ") + copy);
  }

  // A failed detection or parse says so; a detection keeps the earlier file, a parse empties the window.
  void loadFailures_data() {
    QTest::addColumn<QByteArray>("bytes");  // empty: the file is missing
    QTest::addColumn<int>("forced");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("not a data file") << QByteArray("ver\t1;") << 0 << QStringList{QStringLiteral("LoadRecord Aborted!")};
    QTest::newRow("missing file") << QByteArray() << 0 << QStringList{QStringLiteral("PelkoEditor"), QStringLiteral("LoadRecord Aborted!")};
    QTest::newRow("a projectile file forced as a unit file") << fileBytes(samplePath(kProjectiles)) << 1
                                                             << QStringList{QStringLiteral("Error Loading [Unit_Prod11] file")};
  }
  void loadFailures() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, forced);
    QVERIFY(w->LoadRecord(copyOfSample(kBuildings).toStdString(), 0));
    const QString path = mWindow.path(QStringLiteral("bad.txt"));
    QFile file(path);
    QVERIFY(bytes.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
    file.close();
    MessageRecorder boxes;
    QVERIFY(!w->LoadRecord(path.toStdString(), forced));
    QStringList titles;
    for (const auto& box : boxes.boxes) titles << QString::fromStdString(box.title);
    QCOMPARE(titles, fetched<QStringList>("titles"));
    if (!forced)
      QCOMPARE(boxes.boxes.back().prompt,
               std::string("Couldn't auto-detect File Type!\r\n\r\nThis File dosen't appear appears to be a MTW File, switch "
                           "auto-detect off and try forcing it to load as a specific file-type if you are sure it contains "
                           "validly formatted data."));
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
    const QString path = mWindow.path(QStringLiteral("D\u00fcsseldorf Units.txt"));
    QVERIFY(QFile::copy(samplePath(kUnits), path));
    loadAndEdit(path);
    const QString before = status();
    const bool saveFails = answer == int(QMessageBox::Yes) + 1;
    const QString readOnly = mWindow.path(QStringLiteral("readonly.txt"));
    if (saveFails) {
      answer = QMessageBox::Yes;
      QFile file(readOnly);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
      file.setPermissions(QFile::ReadOwner);
    }
    Seen seen;
    {
      ModalAnswerer answerer;
      answerer.then<QMessageBox>(pressInBox(QMessageBox::StandardButton(answer), seen));
      if (answer == QMessageBox::Yes) answerer.then<QFileDialog>(chooseFile(saveFails ? readOnly : QString(), seen));
      if (saveFails) answerer.then<QMessageBox>(pressInBox(QMessageBox::Yes, seen)).then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
      if (goesOn && action == 2) answerer.then<QFileDialog>(chooseFile({}, seen));
      if (goesOn && action == 5) answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));  // no .bak copy here
      click(button(action));
    }
    QCOMPARE(seen.dialogs.value(0), QStringLiteral("Discard Changes?|The data in ") + path +
                                        QStringLiteral(" has changed.\r\n\r\nDo you want to save the changes?"));
    if (answer == QMessageBox::Yes) QCOMPARE(seen.dialogs.value(1), QStringLiteral("Save [Unit_Prod11] File As..."));
    if (goesOn && action == 2) QCOMPARE(seen.dialogs.value(1), QStringLiteral("Open File [prod/build/projectile]"));
    if (goesOn && action == 5) QVERIFY(seen.dialogs.value(1).startsWith(QStringLiteral("Couldn't Load Default Data")));
    if (saveFails) QVERIFY(seen.dialogs.value(3).startsWith(QStringLiteral("PelkoEditor|An error occurred trying to save to")));
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
    const QString path = mWindow.path(kProjectiles);
    QVERIFY(QFile::copy(samplePath(kProjectiles), path));
    Seen seen;
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

  // Ctrl+S writes the loaded file back without a dialog; a default copy goes through Save File As.
  // The window is marked modified while there are unsaved changes.
  void saveWithCtrlS_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("loaded file") << "units.txt" << true;
    QTest::newRow("default copy") << "crusaders_unit_prod11.bak" << false;
  }
  void saveWithCtrlS() {
    QFETCH(QString, name);
    QFETCH(bool, inPlace);
    const QString path = mWindow.path(name);
    QVERIFY(QFile::copy(samplePath(kUnits), path));
    loadAndEdit(path);
    QVERIFY(w->isWindowModified());
    const QString title = w->windowTitle();
    Seen seen;
    ModalAnswerer answerer;
    if (!inPlace) answerer.then<QFileDialog>(chooseFile({}, seen));
    QTest::keyClick(w->findChild<QPlainTextEdit*>(QStringLiteral("cellEditor")), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(seen.dialogs, inPlace ? QStringList() : QStringList{QStringLiteral("Save [Unit_Prod11] File As...")});
    QCOMPARE(w->dataChanged(), !inPlace);
    QCOMPARE(w->isWindowModified(), !inPlace);
    QCOMPARE(w->windowTitle(), title);
    QCOMPARE(fileBytes(path) != fileBytes(samplePath(kUnits)), inPlace);
    CRecordData saved;
    saved.initRanges(1);
    QVERIFY(saved.createRecord(fileBytes(path).toStdString(), "saved"));
    const std::string edited = w->record().returnArrayUnitNames(5, 1).front();
    QVERIFY(edited != "Peasants");
    QCOMPARE(saved.returnArrayUnitNames(5, 1).front() == edited, inPlace);
  }

  // Which kind's settings are stored before the open dialog shows, and what is then loaded.
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
    Seen seen;
    std::string storedWhileOpen = "no dialog";
    ModalAnswerer answerer;
    if (!detect) answerer.then<FPrompt>(chooseKind(chosenKind, seen));
    if (!title.isEmpty())
      answerer.then<QFileDialog>(chooseFile(file.isEmpty() ? file : copyOfSample(file), seen,
                                            [&] { storedWhileOpen = ini(kUnitSection, "Selected Range"); }));
    click(button(2));
    if (!title.isEmpty()) QCOMPARE(seen.dialogs.last(), title);
    if (!title.isEmpty()) QCOMPARE(storedWhileOpen != "absent", fetched<bool>("storedBefore"));
    QCOMPARE(w->FormID(), fetched<int>("kindAfter"));
    if (!file.isEmpty()) QVERIFY(status().endsWith(mWindow.path(file)));
  }

  void loadDefaults_data() {
    QTest::addColumn<bool>("detect");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("chosenKind");  // -1: no prompt
    QTest::addColumn<bool>("copyPresent");
    QTest::newRow("detect, kind shown: no question") << true << 3 << -1 << true;
    QTest::newRow("no detection: asks") << false << 3 << 1 << true;
    QTest::newRow("copy missing") << true << 3 << -1 << false;
  }
  void loadDefaults() {
    QFETCH(bool, detect);
    QFETCH(int, shown);
    QFETCH(int, chosenKind);
    QFETCH(bool, copyPresent);
    const QString names[] = {{}, kUnits, kBuildings, kProjectiles};
    if (shown) QVERIFY(w->LoadRecord(copyOfSample(names[shown]).toStdString(), 0));
    const int kind = chosenKind < 0 ? shown : chosenKind;
    const QString bak = QString::fromStdString(GlobalShared::getDefaultFileName(kind, true));
    if (copyPresent && kind) QFile::copy(samplePath(names[kind]), mWindow.path(bak));
    autoDetect()->setChecked(detect);
    const QString before = status();
    Seen seen;
    ModalAnswerer answerer;
    if (chosenKind >= 0) answerer.then<FPrompt>(chooseKind(chosenKind, seen));
    if (!copyPresent) answerer.then<QMessageBox>([&](QMessageBox* box) {
      QCOMPARE(box->icon(), QMessageBox::NoIcon);
      QCOMPARE(box->standardButtons(), QMessageBox::Ok);
      pressInBox(QMessageBox::Ok, seen)(box);
    });
    click(button(5));
    if (chosenKind >= 0) QCOMPARE(seen.dialogs.value(0), QStringLiteral("select Default File Type to Load"));
    if (copyPresent && kind) {
      QCOMPARE(w->FormID(), kind);
      QVERIFY(status().endsWith(mWindow.path(bak)));
      QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lblLoadMessage"))->text(),
               QStringLiteral("Loading default ") + QString::fromStdString(GlobalShared::getSectionName(kind)) +
                   QStringLiteral(" data..........."));
    } else {
      QCOMPARE(status(), before);
    }
    if (!copyPresent) {
      const QString path = mWindow.path(bak);
      QCOMPARE(seen.dialogs.last(),
               QStringLiteral("Couldn't Load Default Data") + QString(path.size(), QLatin1Char(' ')) + QLatin1Char('|') +
                   QStringLiteral("ProjectileStats.bak File Missing!!\r\nThe Program stores the default values in a .bak "
                                  "file which it looks for in the application folder. (here:)\r\n\r\n") +
                   path +
                   QStringLiteral("\r\n\r\nIn order to restore the default values function please copy an original of "
                                  "\"ProjectileStats.txt\" to this folder and rename the file as \"ProjectileStats.bak\""));
    }
  }

  void saveFileAs() {
    loadAndEdit(copyOfSample(kProjectiles));
    const QString target = mWindow.path(QStringLiteral("saved.txt"));
    QFile(target).open(QIODevice::WriteOnly);  // exists: Qt's dialog asks before replacing it
    Seen seen;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>(chooseFile(target, seen)).then<QMessageBox>(pressInBox(QMessageBox::Yes, seen));
    click(button(3));  // with unsaved changes, and no prompt
    QCOMPARE(seen.dialogs.value(0), QStringLiteral("Save [ProjectileStats] File As..."));
    QVERIFY(!w->dataChanged());
    const QByteArray saved = fileBytes(target);
    QVERIFY(saved.size() > 100 && saved.startsWith(fileBytes(samplePath(kProjectiles)).left(saved.indexOf(';') + 1)));
    QCOMPARE(status(), QStringLiteral("24 units saved to:    ") + target);
    // The saved file is now the one being edited: the title and the unsaved-changes prompt say so.
    QCOMPARE(w->windowTitle(), QStringLiteral("[saved.txt] - PelkoEditor [ProjectileStats]"));
    QCOMPARE(QString::fromStdString(w->record().sFilePath()), target);
  }

  // A button's underlined letter reaches it from anywhere in the window, as a visible press.
  void accessKey() {
    Seen seen;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>(chooseFile({}, seen));
    QTest::keyClick(w->windowHandle(), Qt::Key_L, Qt::AltModifier);  // as the window system delivers it
    QTRY_VERIFY(answerer.allAnswered());
    QCOMPARE(seen.dialogs.value(0), QStringLiteral("Open File [prod/build/projectile]"));
  }

  void actionsWithoutButtonDoNothing() {
    ModalAnswerer answerer;  // no dialog may open
    for (int index : {1, 4, 6, 8, -1}) QVERIFY(!w->doFileAction(index));
    QTest::qWait(30);
    QVERIFY(w->isVisible());
  }

  void newEditorMissing() {
    Seen seen;
    ModalAnswerer answerer;
    answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
    QVERIFY(!w->doFileAction(0));
    QCOMPARE(seen.dialogs, QStringList(QStringLiteral("Error Launching PelkoEditor!|Error:2\r\nNo such file or directory\r\n\r\n"
                                                      "Couldn't find PelkoEditor.exe to Launch!!")));
  }

  void closing_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("windowState");  // the key's value, "absent" when not written
    QTest::addColumn<bool>("edgesWritten");
    QTest::newRow("normal") << int(Qt::WindowNoState) << "0" << true;
    QTest::newRow("minimized") << int(Qt::WindowMinimized) << "absent" << false;
    QTest::newRow("maximized") << int(Qt::WindowMaximized) << "2" << false;
  }
  void closing() {
    QVERIFY(w->LoadRecord(copyOfSample(kUnits).toStdString(), 0));
    Seen seen;
    ModalAnswerer answerer;
    answerer.then<FPrompt>(chooseKind(0, seen));
    autoDetect()->setChecked(false);
    click(button(5));  // the prompt is loaded now
    static_cast<QWidget*>(w)->setWindowState(Qt::WindowState(fetched<int>("state")));
    click(button(7));
    QVERIFY(!w->isVisible());
    QVERIFY(!w->findChild<FPrompt*>());
    QCOMPARE(QString::fromStdString(ini(QStringLiteral("Pelko Editor"), "Windowstate")), fetched<QString>("windowState"));
    QCOMPARE(ini(QStringLiteral("Pelko Editor"), "Left") != "absent", fetched<bool>("edgesWritten"));
    QCOMPARE(ini(QStringLiteral("Pelko Editor"), "Height") != "absent", fetched<bool>("edgesWritten"));
    QCOMPARE(ini(kUnitSection, "Selected Range"), std::string("1"));
  }

};

QTEST_MAIN(TestFileActions)
#include "tst_fileactions.moc"
