#include <QCheckBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include "COpClDialog.h"
#include "CodePage.h"
#include "DataText.h"
#include "EditorWindow.h"
#include "FPrompt.h"
#include "FSetRange.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "HeaderBox.h"
#include "MessageRecorder.h"
#include "PlatformQt.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "Shots.h"

using namespace DataText;

namespace {

const QString kUnits = QStringLiteral("crusaders_unit_prod11.txt");
const QString kBuildings = QStringLiteral("crusader_build_prod13.txt");
const QString kProjectiles = QStringLiteral("ProjectileStats.txt");
const QString kUnitSection = QStringLiteral("Unit_Prod11");

// Each handler adds what its dialog showed to `seen`: "title" or "title|text".
std::function<void(QMessageBox*)> pressInBox(QMessageBox::StandardButton button, QStringList& seen) {
  return [button, &seen](QMessageBox* box) {
    seen << box->windowTitle() + QLatin1Char('|') + box->text();
    press(box->button(button));
  };
}
std::function<void(FPrompt*)> chooseKind(int kind, QStringList& seen) {
  return [kind, &seen](FPrompt* prompt) {
    seen << prompt->windowTitle() + QLatin1Char('|') + prompt->findChild<QLabel*>(QStringLiteral("lblCaption"))->text();
    shoot(prompt, prompt->windowTitle() + QStringLiteral(".png"));
    if (kind == 0) prompt->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
    else prompt->findChild<QToolButton*>(QStringLiteral("cmdLaunch_%1").arg(kind))->click();
  };
}
// An empty path cancels the dialog.
std::function<void(QFileDialog*)> chooseFile(const QString& path, QStringList& seen, std::function<void()> whileOpen = {}) {
  return [path, &seen, whileOpen](QFileDialog* dialog) {
    seen << dialog->windowTitle();
    shoot(dialog, dialog->windowTitle().replace(QRegularExpression(QStringLiteral("[^A-Za-z]+")), QStringLiteral("-")) + QStringLiteral(".png"));
    if (whileOpen) whileOpen();
    if (path.isEmpty()) return dialog->reject();
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    static_cast<QDialog*>(dialog)->accept();
  };
}
// Types a range (and a caption, unless null) and presses the dialog's buttons in order while it is open.
std::function<void(FSetRange*)> rangeDialog(const QString& range, const QString& caption, QList<int> buttons) {
  return [=](FSetRange* dialog) {
    dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->setText(range);
    if (!caption.isNull()) dialog->findChild<QLineEdit*>(QStringLiteral("txtCaption2display"))->setText(caption);
    for (int index : buttons)
      if (dialog->isVisible()) dialog->findChild<QPushButton*>(QStringLiteral("cmdOkCancelApply_%1").arg(index))->click();
  };
}

}  // namespace

// The editor's dialogs and file actions: load, save, defaults and close; ranges, widths, the kind
// prompt, and the open and save dialogs.
class TestDialogs : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;

  template <class T = QWidget>
  T* find(const QString& name) const { return w->findChild<T*>(name); }
  QPushButton* button(int index) const { return find<QPushButton>(QStringLiteral("cmdFileActions_%1").arg(index)); }
  QCheckBox* autoDetect() const { return find<QCheckBox>(QStringLiteral("chkAutoDetect")); }
  QString status() const { return find<QLabel>(QStringLiteral("lblStatusBar"))->text(); }
  QString copyOfSample(const QString& name) const {
    QFile::copy(samplePath(name), mWindow.path(name));
    return mWindow.path(name);
  }
  std::string ini(const QString& section, const char* key) const {
    return GlobalShared::readIniString(section.toStdString(), key, "absent", GlobalShared::getIniPath());
  }
  void loadAndEdit(const QString& path) {
    QVERIFY(w->LoadRecord(CodePage::toPath(path), 0));
    find(QStringLiteral("txtField_0"))->setFocus(Qt::MouseFocusReason);
    auto* cellEditor = find<QPlainTextEdit>(QStringLiteral("cellEditor"));
    QTRY_VERIFY(cellEditor->hasFocus());
    QTest::keyClicks(cellEditor, QStringLiteral("7"));
    QVERIFY(w->dataChanged());
  }
  static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  bool gridShown() const { return find(QStringLiteral("fraMain"))->isVisibleTo(w); }

  // A unit file with two units, shown without the load's dialogs.
  void showUnits() { mWindow.show(1, dataFile(1, 2)); }
  QRadioButton* option(int k) const { return find<QRadioButton>(QStringLiteral("optLockFields_%1").arg(k)); }
  QScrollBar* columns() const { return find<QScrollBar>(QStringLiteral("hsbFields2Display")); }
  QString header(int c) const { return find<HeaderBox>(QStringLiteral("txtColumn_%1").arg(c))->toPlainText(); }
  static void rightPress(QWidget* widget) { QTest::mousePress(widget, Qt::RightButton, {}, QPoint(4, 4)); }
  // Right-presses option k, answering the range dialog with `answer`; returns the boxes shown.
  QStringList defineRange(int k, std::function<void(FSetRange*)> answer, int boxes = 0) {
    QStringList shown;
    ModalAnswerer answerer;
    answerer.then<FSetRange>(answer);
    for (int b = 0; b < boxes; ++b)
      answerer.then<QMessageBox>([&shown](QMessageBox* box) {
        shown << box->windowTitle() + QLatin1Char('|') + box->text();
        press(box->button(QMessageBox::Ok));
      });
    rightPress(option(k));
    return shown;
  }
  // Sets a width in a column's box, opened with a right-click or the Menu key (a null answer cancels
  // it); returns the box's title, prompt and offer.
  QStringList widthBox(const QString& answer, int column = 2, bool byKey = false) {
    QStringList shown;
    ModalAnswerer answerer;
    answerer.then<QInputDialog>([&](QInputDialog* box) {
      shown << box->windowTitle() << box->labelText() << box->textValue();
      if (answer.isNull()) return box->reject();
      box->setTextValue(answer);
      box->accept();
    });
    auto* header = find<HeaderBox>(QStringLiteral("txtColumn_%1").arg(column));
    header->setFocus(Qt::TabFocusReason);
    if (byKey) QTest::keyClick(header, Qt::Key_Menu);
    else rightPress(header->viewport());
    return shown;
  }

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
    QCOMPARE(find<QScrollBar>(QStringLiteral("vsbUnits2display"))->minimum(), fetched<int>("firstUnit"));
    QVERIFY(gridShown() && button(3)->isEnabled());
    QVERIFY(!find(QStringLiteral("fraProgressBar"))->isVisibleTo(w));
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
    MessageRecorder boxes;
    QVERIFY(!w->LoadRecord(path.toStdString(), forced));
    QStringList titles;
    for (const auto& box : boxes.boxes) titles << QString::fromStdString(box.title);
    QCOMPARE(titles, fetched<QStringList>("titles"));
    if (!forced) QVERIFY(boxes.boxes.back().prompt.starts_with("Couldn't auto-detect File Type!\r\n\r\nThis File dosen't appear appears"));
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
    const QString path = mWindow.path(kProjectiles);
    QVERIFY(QFile::copy(samplePath(kProjectiles), path));
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
    QStringList seen;
    ModalAnswerer answerer;
    if (!inPlace) answerer.then<QFileDialog>(chooseFile({}, seen));
    QTest::keyClick(find<QPlainTextEdit>(QStringLiteral("cellEditor")), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(seen, inPlace ? QStringList() : QStringList{QStringLiteral("Save [Unit_Prod11] File As...")});
    QCOMPARE(w->dataChanged(), !inPlace);
    QCOMPARE(w->isWindowModified(), !inPlace);
    QCOMPARE(w->windowTitle(), title);
    const QByteArray edited = QByteArray::fromStdString(w->record().returnArrayUnitNames(5, 1).front());
    QVERIFY(edited != "Peasants");
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
    if (!file.isEmpty()) QVERIFY(status().endsWith(mWindow.path(file)));
  }

  // Without detection the prompt asks for the kind, and its default copy loads from the program's folder.
  void loadDefaults() {
    QVERIFY(w->LoadRecord(copyOfSample(kProjectiles).toStdString(), 0));
    const QString bak = mWindow.path(QStringLiteral("crusaders_unit_prod11.bak"));
    QVERIFY(QFile::copy(samplePath(kUnits), bak));
    autoDetect()->setChecked(false);
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<FPrompt>(chooseKind(1, seen));
    click(button(5));
    QCOMPARE(seen, QStringList{QStringLiteral("select Default File Type to Load|(will switch Editor to correct mode automatically)")});
    QCOMPARE(w->FormID(), 1);
    QVERIFY(status().endsWith(bak));
    QCOMPARE(find<QLabel>(QStringLiteral("lblLoadMessage"))->text(), QStringLiteral("Loading default [Unit_Prod11] data..........."));
  }

  // A name without an extension gets the default one; the file exists, and Qt's dialog asks before
  // replacing it.
  void saveFileAs() {
    loadAndEdit(copyOfSample(kProjectiles));
    const QString target = mWindow.path(QStringLiteral("saved.TXT"));
    QVERIFY(writeFile(target, "old"));
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>(chooseFile(mWindow.path(QStringLiteral("saved")), seen)).then<QMessageBox>(pressInBox(QMessageBox::Yes, seen));
    click(button(3));  // with unsaved changes, and no prompt
    QCOMPARE(seen.value(0), QStringLiteral("Save [ProjectileStats] File As..."));
    QVERIFY(!w->dataChanged());
    const QByteArray saved = fileBytes(target);
    QVERIFY(saved.size() > 100 && saved.startsWith(fileBytes(samplePath(kProjectiles)).left(saved.indexOf(';') + 1)));
    QCOMPARE(status(), QStringLiteral("24 units saved to:    ") + target);
    // The saved file is now the one being edited: the title and the unsaved-changes prompt say so.
    QCOMPARE(w->windowTitle(), QStringLiteral("[saved.TXT] - PelkoEditor [ProjectileStats]"));
    QCOMPARE(QString::fromStdString(w->record().sFilePath()), target);
  }

  void newEditorMissing() {
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
    QVERIFY(!w->doFileAction(0));
    QCOMPARE(seen, QStringList(QStringLiteral("Error Launching PelkoEditor!|Error:2\r\nNo such file or directory\r\n\r\n"
                                                      "Couldn't find PelkoEditor.exe to Launch!!")));
  }

  // What was defined and set comes back in the next window of the kind. A minimised window's place is
  // not stored, a maximised one's only as its state; the kind prompt closes with the window.
  void closing_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("windowState");  // the key's value, "absent" when not written
    QTest::newRow("minimized") << int(Qt::WindowMinimized) << "absent";
    QTest::newRow("maximized") << int(Qt::WindowMaximized) << "2";
  }
  void closing() {
    showUnits();
    defineRange(3, rangeDialog(QStringLiteral("2, 3,"), QStringLiteral("pair"), {0}));
    widthBox(QStringLiteral("5000"), 0);
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<FPrompt>(chooseKind(0, seen));
    autoDetect()->setChecked(false);
    click(button(5));  // the prompt is loaded now
    static_cast<QWidget*>(w)->setWindowState(Qt::WindowState(fetched<int>("state")));
    click(button(7));
    QVERIFY(!w->isVisible());
    QVERIFY(!w->findChild<FPrompt*>());
    QCOMPARE(QString::fromStdString(ini(QStringLiteral("Pelko Editor"), "Windowstate")), fetched<QString>("windowState"));
    QCOMPARE(ini(QStringLiteral("Pelko Editor"), "Left"), std::string("absent"));
    FEditor next;
    next.setFileType(1);
    QCOMPARE(next.record().getSelRangeArrayStr(3), std::string("2, 3, "));
    QCOMPARE(next.findChild<QRadioButton*>(QStringLiteral("optLockFields_3"))->text(), QStringLiteral("pair"));
    QVERIFY(next.findChild<QRadioButton*>(QStringLiteral("optLockFields_3"))->isChecked());
    QCOMPARE(next.record().DisplayWidth(1), 5000);
  }

  // A range button's dialog, after typing "5 to 7, 2," and "mine": range 1 is every field and cannot
  // be changed; Apply keeps the dialog open, and Cancel after it keeps what was applied; Cancel alone
  // changes nothing.
  void rangeDialogButtons_data() {
    QTest::addColumn<int>("button");          // right-pressed after a left-click on range 2
    QTest::addColumn<QList<int>>("pressed");  // OK 0, Cancel 1, Apply 2
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("stored");      // empty: every field
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("firstField");      // in the grid's first column
    QTest::newRow("range 1, OK") << 1 << QList<int>{0} << 2 << "" << "Show All Fields [1 to 71]" << 22;
    QTest::newRow("Apply, then Cancel") << 3 << QList<int>{2, 1} << 3 << "5, 6, 7, 2, " << "mine" << 5;
    QTest::newRow("Cancel") << 4 << QList<int>{1} << 2 << "" << "User-Defined [# to #]" << 22;
  }
  void rangeDialogButtons() {
    QFETCH(int, button);
    QFETCH(QString, stored);
    showUnits();
    QTest::mouseClick(option(2), Qt::LeftButton, {}, QPoint(4, 4));
    bool boxesEnabled = false;
    defineRange(button, [&](FSetRange* dialog) {
      boxesEnabled = dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->isEnabled();
      shoot(dialog, QStringLiteral("range-dialog.png"));
      rangeDialog(QStringLiteral("5 to 7, 2,"), QStringLiteral("mine"), fetched<QList<int>>("pressed"))(dialog);
    });
    if (stored.isEmpty())
      for (int f = 1; f <= 71; ++f) stored += QString::number(f) + QStringLiteral(", ");
    QCOMPARE(boxesEnabled, button != 1);
    QCOMPARE(w->record().RangeSelected(), fetched<int>("selected"));
    QVERIFY(option(fetched<int>("selected"))->isChecked());
    QCOMPARE(QString::fromStdString(w->record().getSelRangeArrayStr(button)), stored);
    QCOMPARE(option(button)->text(), fetched<QString>("caption"));
    QCOMPARE(header(0).section(QLatin1Char('\n'), 0, 0).trimmed(), QString::number(fetched<int>("firstField")));
  }

  void statusMessages_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("range");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("above the maximum") << 1 << "3, 72," << 0 << "A value higher than 71 was entered (and changed to 71)";
    QTest::newRow("below 1, applied") << 1 << "0 to 2," << 2 << "A value lower than 1 was entered (and changed to=1)";
    QTest::newRow("too many fields, building") << 2 << "1 to 40," << 0
                                               << "Too many fields... only 28 seperate fields can be set (the first 28 values were used.)";
    QTest::newRow("no comma, cancelled") << 1 << "3" << 1 << "No Fields were entered!";
    QTest::newRow("overflow") << 1 << "5, 99999999999," << 0
                              << "A value entered caused an overflow (and was changed to 1 more than the previous entry)";
  }
  void statusMessages() {
    QFETCH(QString, range);
    QFETCH(int, button);
    QFETCH(QString, message);
    mWindow.show(fetched<int>("kind"), dataFile(fetched<int>("kind"), 2));
    const QStringList boxes = defineRange(4, rangeDialog(range, {}, {button, 1}), 1);
    QCOMPARE(boxes.value(0), QStringLiteral("Error setting Range!") + QString(100, QLatin1Char(' ')) + QLatin1Char('|') + message +
                                 QStringLiteral("\r\n\r\n[the only non-numeric text should be a ' to ' when defining a consecutive "
                                                "range. All entrys (either\r\na single field No or a min to max field) need to "
                                                "be seperated with a comma, including the last.]"));
    QCOMPARE(w->record().RangeSelected(), range.contains(QLatin1Char(',')) && button != 1 ? 4 : 1);
  }

  void leftPressSelectsOnThePress() {
    showUnits();
    columns()->setValue(30);
    QTest::mousePress(option(2), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(w->record().RangeSelected(), 2);  // before the release
    QCOMPARE(columns()->maximum(), 22);
    QVERIFY(header(0).trimmed().startsWith(QString::number(21 + columns()->value()) + QLatin1Char('\n')));
    QTest::mouseRelease(option(2), Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(option(2)->isChecked());
    option(2)->setFocus();
    QTest::keyClick(option(2), Qt::Key_Down);  // the keyboard moves the option, and the range
    QCOMPARE(w->record().RangeSelected(), 3);
  }

  void widthBox_data() {
    QTest::addColumn<QString>("answer");  // null: cancelled
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("a maximum-width column offers -1, kept") << "-1" << -1 << false;
    QTest::newRow("a number") << "5000" << 5000 << false;
    QTest::newRow("empty changes nothing") << "" << 3000 << false;
    QTest::newRow("opened with the Menu key, cancelled") << QString() << 3000 << true;
  }
  void widthBox() {
    QFETCH(QString, answer);
    showUnits();
    // Range 3 maps display column 7 to field 30; the bar at 5 puts it in grid column 2.
    defineRange(3, rangeDialog(QStringLiteral("24 to 40,"), {}, {0}));
    columns()->setValue(5);
    const bool atMaximum = answer == QStringLiteral("-1");
    w->record().setDisplayWidth(7, atMaximum ? "max" : "3000");
    const QStringList shown = widthBox(answer, 2, fetched<bool>("byKey"));
    QCOMPARE(shown.value(0), QStringLiteral("Set Width for column #30"));
    QCOMPARE(shown.value(1), QStringLiteral("Enter a new value for the display width of column #30\r\n(values are entered in twips, "
                                            "don't worry - just use relative sizes.)\r\nEnter '-1' to make the column always at "
                                            "maximum width.\r\nTo reset to default value enter '0'\r\n\r\nCurrent Width for Column #30 = ") +
                                 shown.value(2));
    QCOMPARE(shown.value(2), atMaximum ? QStringLiteral("-1") : QStringLiteral("3000"));
    QCOMPARE(w->record().DisplayWidth(7), fetched<int>("width"));
  }

  // Each showing starts from nothing chosen, with its own wording; a close without a kind returns 0.
  void promptChoices() {
    FPrompt prompt(w);
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<FPrompt>(chooseKind(2, seen)).then<FPrompt>(chooseKind(0, seen));
    QCOMPARE(prompt.RetMlFormID(w, false), 2);
    QCOMPARE(prompt.RetMlFormID(w, true), 0);
    QCOMPARE(seen, (QStringList{QStringLiteral("Select File Type to Load|(file loaded must match type chosen when auto-detect is off)"),
                                QStringLiteral("select Default File Type to Load|(will switch Editor to correct mode automatically)")}));
  }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
