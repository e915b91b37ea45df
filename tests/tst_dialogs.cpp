#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "COpClDialog.h"
#include "FPrompt.h"
#include "MessageRecorder.h"
#include "ModalAnswerer.h"
#include "Shots.h"
#include "Twips.h"

using namespace std::string_literals;

// A literal with its NULs.
template <std::size_t N>
QByteArray bytes(const char (&text)[N]) {
  return QByteArray(text, N - 1);
}

class TestDialogs : public QObject {
  Q_OBJECT

  QTemporaryDir mFolder;

  // What the open dialog was set up with, read while it is shown.
  struct Shown {
    QString title;
    QStringList nameFilters;
    QString selectedFilter;
    QString suffix;
    int fileMode = -1;
    bool confirmsOverwrite = false;
  };
  static std::function<void(QFileDialog*)> answer(const QString& path, Shown& shown) {
    return [path, &shown](QFileDialog* dialog) {
      shown = {dialog->windowTitle(), dialog->nameFilters(), dialog->selectedNameFilter(), dialog->defaultSuffix(),
               int(dialog->fileMode()), !dialog->testOption(QFileDialog::DontConfirmOverwrite)};
      if (path.isEmpty()) return dialog->reject();
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
      static_cast<QDialog*>(dialog)->accept();
    };
  }
  bool open(COpClDialog& dialog, std::string& filename, std::string& filter, std::int32_t& flags, std::string& title) {
    std::string fileTitle = "in", initDir = mFolder.path().toStdString(), dlgTitle = "Open File [x]", ext = "TXT";
    bool mustExist = true, multi = false, readOnly = false, hideReadOnly = true;
    std::int32_t filterIndex = 1;
    const bool chosen = dialog.VBGetOpenFileName(filename, fileTitle, mustExist, multi, readOnly, hideReadOnly, filter,
                                                 filterIndex, initDir, dlgTitle, ext, nullptr, flags);
    title = fileTitle;
    return chosen;
  }

 private slots:
  void filterForThePlatform_data() {
    QTest::addColumn<QByteArray>("filter");
    QTest::addColumn<QByteArray>("platform");
    QTest::newRow("the editor's filter") << QByteArray("Text Files (*.txt)|*.txt|All Files (*.*)|*.*")
                                         << bytes("Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0");
    QTest::newRow("a colon splits a description") << QByteArray("Maps: big|*.map") << bytes("Maps\0 big\0*.map\0\0");
    QTest::newRow("empty") << QByteArray() << bytes("\0\0");
  }
  void filterForThePlatform() {
    QFETCH(QByteArray, filter);
    QFETCH(QByteArray, platform);
    QCOMPARE(QByteArray::fromStdString(COpClDialog::platformFilter(filter.toStdString())), platform);
  }

  void openChoosesAFile() {
    QFile(mFolder.filePath(QStringLiteral("units.txt"))).open(QIODevice::WriteOnly);
    COpClDialog dialog;
    std::string filename, filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", title;
    std::int32_t flags = COpClDialog::kEnableHook | COpClDialog::kEnableTemplate | 0x80000;
    Shown shown;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>(answer(QStringLiteral("units.txt"), shown));
    QVERIFY(open(dialog, filename, filter, flags, title));
    QVERIFY(answerer.allAnswered());
    QCOMPARE(shown.title, QStringLiteral("Open File [x]"));
    QCOMPARE(shown.nameFilters, (QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")}));
    QCOMPARE(shown.selectedFilter, QStringLiteral("Text Files (*.txt)"));
    QCOMPARE(shown.fileMode, int(QFileDialog::ExistingFile));
    QCOMPARE(QString::fromStdString(filename), mFolder.filePath(QStringLiteral("units.txt")));
    QCOMPARE(title, "units.txt"s);
    QCOMPARE(filter, "Text Files (*.txt)\0*.txt"s);
    QCOMPARE(flags, COpClDialog::kFileMustExist | COpClDialog::kHideReadOnly | 0x80000);  // hook and template cleared
    QCOMPARE(dialog.APIReturn(), 1);
  }

  void cancelEmptiesTheName() {
    COpClDialog dialog;
    std::string filename = "keep.txt", filter = "Text Files (*.txt)|*.txt", title;
    std::int32_t flags = 0;
    Shown shown;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>(answer({}, shown));
    QVERIFY(!open(dialog, filename, filter, flags, title));
    QVERIFY(answerer.allAnswered());
    QCOMPARE(filename, ""s);
    QCOMPARE(title, ""s);
    QCOMPARE(filter, ""s);
    QCOMPARE(dialog.APIReturn(), 0);
    QCOMPARE(dialog.ExtendedError(), 0);
  }

  void saveAppendsTheExtensionAndRefusesLongPaths_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("default extension") << QStringLiteral("mod") << true;
    QTest::newRow("4,095 bytes fit") << QString() << true;
    QTest::newRow("4,096 do not, and a box says so") << QString() << false;
  }
  void saveAppendsTheExtensionAndRefusesLongPaths() {
    QFETCH(QString, name);
    QFETCH(bool, chosen);
    if (name.isEmpty()) {  // a real folder deep enough that a short name reaches the limit
      QString folder = mFolder.path();
      while (folder.size() < 3900) folder += QLatin1Char('/') + QString(200, QLatin1Char('d'));
      QVERIFY(QDir().mkpath(folder));
      name = folder + QLatin1Char('/') + QString((chosen ? 4095 : 4096) - int(folder.size()) - 5, QLatin1Char('n')) +
             QStringLiteral(".txt");
    }
    MessageRecorder boxes;
    COpClDialog dialog;
    std::string filename, fileTitle, filter = "Text Files (*.txt)|*.txt", initDir = mFolder.path().toStdString();
    std::string title = "Save", ext = "TXT";
    bool overwrite = true;
    std::int32_t filterIndex = 1, flags = 0;
    Shown shown;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>(answer(name, shown));
    QCOMPARE(dialog.VBGetSaveFileName(filename, fileTitle, overwrite, filter, filterIndex, initDir, title, ext, nullptr, flags),
             chosen);
    QVERIFY(answerer.allAnswered());
    QVERIFY(shown.confirmsOverwrite);
    if (!chosen) {
      QCOMPARE(filename, ""s);
      QCOMPARE(dialog.ExtendedError(), COpClDialog::kBufferTooSmall);
      QCOMPARE(boxes.boxes.size(), std::size_t{1});
      QVERIFY(boxes.boxes[0].prompt.starts_with("The path is too long for this system (4096 bytes; at most 4095)"));
    } else if (name == QStringLiteral("mod")) {
      QCOMPARE(QString::fromStdString(filename), mFolder.filePath(QStringLiteral("mod.TXT")));
      QCOMPARE(flags, COpClDialog::kOverwritePrompt | COpClDialog::kHideReadOnly);
    } else {
      QCOMPARE(filename.size(), std::size_t{4095});
      QVERIFY(boxes.boxes.empty());
    }
  }

  // Each showing starts from nothing chosen, with its own wording; the frame sits below the note
  // line however it wraps; any close but a kind's button returns 0.
  void promptChoices() {
    QWidget owner;
    FPrompt prompt(&owner);
    QStringList shown;
    const auto press = [&](const char* button) {
      return [&shown, button](FPrompt* p) {
        const QWidget* frame = p->findChild<QWidget*>(QStringLiteral("fraPrompt"));
        const auto* caption = p->findChild<QLabel*>(QStringLiteral("lblCaption"));
        if (std::abs(Twips::top(frame) - (Twips::height(caption) + 120)) > 15 ||
            std::abs(Twips::fromPixels(p->frameGeometry().height()) - (4275 + Twips::top(frame) + 345)) > 15)
          shown << QStringLiteral("misplaced");
        shown << p->windowTitle() + QLatin1Char('|') + caption->text();
        shoot(p, p->windowTitle() + QStringLiteral(".png"));
        if (std::string_view(button) == "Escape") QTest::keyClick(p, Qt::Key_Escape);
        else p->findChild<QAbstractButton*>(QLatin1String(button))->click();
      };
    };
    ModalAnswerer answerer;
    answerer.then<FPrompt>(press("cmdLaunch_2")).then<FPrompt>(press("Escape")).then<FPrompt>(press("cmdExit"))
        .then<FPrompt>(press("cmdLaunch_3"));
    QCOMPARE(prompt.RetMlFormID(&owner, false), 2);
    QCOMPARE(prompt.RetMlFormID(&owner, false), 0);
    QCOMPARE(prompt.RetMlFormID(&owner, true), 0);
    QCOMPARE(prompt.RetMlFormID(&owner, true), 3);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    const QString load = QStringLiteral("Select File Type to Load|(file loaded must match type chosen when auto-detect is off)");
    const QString defaults = QStringLiteral("select Default File Type to Load|(will switch Editor to correct mode automatically)");
    QCOMPARE(shown, (QStringList{load, load, defaults, defaults}));
  }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
