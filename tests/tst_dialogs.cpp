#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include "COpClDialog.h"
#include "CRecordData.h"
#include "DataText.h"
#include "EditorWindow.h"
#include "FPrompt.h"
#include "FSetRange.h"
#include "Fetch.h"
#include "HeaderBox.h"
#include "MessageRecorder.h"
#include "PlatformQt.h"
#include "Shots.h"

using namespace DataText;
using namespace std::string_literals;

namespace {

// Types a range (and a caption, unless null) and presses the dialog's buttons in order while it is open.
std::function<void(FSetRange*)> rangeDialog(const QString& range, const QString& caption, QList<int> buttons) {
  return [=](FSetRange* dialog) {
    dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->setText(range);
    if (!caption.isNull()) dialog->findChild<QLineEdit*>(QStringLiteral("txtCaption2display"))->setText(caption);
    for (int index : buttons)
      if (dialog->isVisible()) dialog->findChild<QPushButton*>(QStringLiteral("cmdOkCancelApply_%1").arg(index))->click();
  };
}

// Chooses the file (an empty path cancels) and records what the dialog was set up with.
std::function<void(QFileDialog*)> chooseFile(const QString& path, QStringList& shown) {
  return [path, &shown](QFileDialog* dialog) {
    shown << dialog->windowTitle() << dialog->nameFilters().join(QLatin1Char(';'));
    if (path.isEmpty()) return dialog->reject();
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    static_cast<QDialog*>(dialog)->accept();
  };
}

}  // namespace

// The editor's own dialogs: ranges, widths, the kind prompt, and the open and save dialogs.
class TestDialogs : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;

  template <class T = QWidget>
  T* find(const QString& name) const { return w->findChild<T*>(name); }
  QRadioButton* option(int k) const { return find<QRadioButton>(QStringLiteral("optLockFields_%1").arg(k)); }
  QScrollBar* columns() const { return find<QScrollBar>(QStringLiteral("hsbFields2Display")); }
  QString header(int c) const { return find<HeaderBox>(QStringLiteral("txtColumn_%1").arg(c))->toPlainText(); }

  void load(int kind) { mWindow.show(kind, dataFile(kind, 2)); }
  static void rightPress(QWidget* widget) { QTest::mousePress(widget, Qt::RightButton, {}, QPoint(4, 4)); }
  static void leftClick(QWidget* widget) {
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(4, 4));
  }
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
  // Sets a width in a column's box (a null answer cancels it); returns the box's title, prompt and offer.
  QStringList widthBox(const QString& answer, int column = 2) {
    QStringList shown;
    ModalAnswerer answerer;
    answerer.then<QInputDialog>([&](QInputDialog* box) {
      shown << box->windowTitle() << box->labelText() << box->textValue();
      if (answer.isNull()) return box->reject();
      box->setTextValue(answer);
      box->accept();
    });
    rightPress(find<HeaderBox>(QStringLiteral("txtColumn_%1").arg(column))->viewport());
    return shown;
  }

 private slots:
  void initTestCase() { PlatformQt::install(); }
  void init() {
    w = mWindow.open();
    load(1);
  }
  void cleanup() { mWindow.close(); }

  // Range 1 is every field: its dialog shows it, cannot change it, and OK leaves the selection.
  void rangeOneIsReadOnly() {
    leftClick(option(2));
    bool boxesEnabled = true;
    QString range, caption;
    defineRange(1, [&](FSetRange* dialog) {
      boxesEnabled = dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->isEnabled() ||
                     dialog->findChild<QLineEdit*>(QStringLiteral("txtCaption2display"))->isEnabled();
      range = dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->text();
      caption = dialog->findChild<QLineEdit*>(QStringLiteral("txtCaption2display"))->text();
      rangeDialog(QStringLiteral("3, 4,"), QStringLiteral("mine"), {0})(dialog);
    });
    QVERIFY(!boxesEnabled);
    QVERIFY(range.startsWith(QStringLiteral("1, 2, 3, ")) && range.endsWith(QStringLiteral("71, ")));
    QCOMPARE(caption, QStringLiteral("Show All Fields [1 to 71]"));
    QCOMPARE(w->record().RangeSelected(), 2);
    QVERIFY(option(2)->isChecked());
    QCOMPARE(QString::fromStdString(w->record().getSelRangeArrayStr(1)), range);
    QCOMPARE(option(1)->text(), caption);
  }

  void applyThenCancelSelectsTheRange() {
    QString captionWhileOpen;
    defineRange(3, [&](FSetRange* dialog) {
      rangeDialog(QStringLiteral("5 to 7, 2,"), QStringLiteral("mine"), {2})(dialog);
      shoot(dialog, QStringLiteral("range-dialog.png"));
      captionWhileOpen = option(3)->text();
      if (dialog->isVisible()) rangeDialog(QStringLiteral("5 to 7, 2,"), {}, {1})(dialog);  // Apply keeps it open
    });
    QCOMPARE(captionWhileOpen, QStringLiteral("mine"));
    QCOMPARE(w->record().RangeSelected(), 3);
    QVERIFY(option(3)->isChecked());
    QCOMPARE(w->record().getSelRangeArrayStr(3), std::string("5, 6, 7, 2, "));
    QCOMPARE(columns()->maximum(), 4);
    QVERIFY(header(0).trimmed().startsWith(QStringLiteral("5\n")));
  }

  // Cancel closes the dialog and changes nothing: neither the range nor the selection.
  void cancelledDialogKeepsTheSelection() {
    leftClick(option(2));
    defineRange(4, rangeDialog(QStringLiteral("9, 10,"), QStringLiteral("new"), {1}));
    QCOMPARE(w->record().RangeSelected(), 2);
    QVERIFY(option(2)->isChecked());
    QCOMPARE(w->record().getSelRangeArrayStr(4), std::string(w->record().getSelRangeArrayStr(1)));
    QCOMPARE(option(4)->text(), QStringLiteral("User-Defined [# to #]"));
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
    QTest::newRow("no final comma, valid: silent") << 1 << "3, 4" << 0 << "";
  }
  void statusMessages() {
    QFETCH(QString, range);
    QFETCH(int, button);
    QFETCH(QString, message);
    if (fetched<int>("kind") != 1) load(fetched<int>("kind"));
    const QStringList boxes = defineRange(4, rangeDialog(range, {}, {button, 1}), message.isEmpty() ? 0 : 1);
    if (message.isEmpty()) {
      QCOMPARE(w->record().getSelRangeArrayStr(4), std::string("3, "));
      return;
    }
    QCOMPARE(boxes.value(0), QStringLiteral("Error setting Range!") + QString(100, QLatin1Char(' ')) + QLatin1Char('|') + message +
                                 QStringLiteral("\r\n\r\n[the only non-numeric text should be a ' to ' when defining a consecutive "
                                                "range. All entrys (either\r\na single field No or a min to max field) need to "
                                                "be seperated with a comma, including the last.]"));
    QCOMPARE(w->record().RangeSelected(), range.contains(QLatin1Char(',')) && button != 1 ? 4 : 1);
  }

  void leftPressSelectsOnThePress() {
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
    QTest::newRow("a maximum-width column offers -1, kept") << "-1" << -1;
    QTest::newRow("0 resets") << "0" << 1870;
    QTest::newRow("a huge number: the screen less 800") << "99999999" << 28000;
    QTest::newRow("empty changes nothing") << "" << 3000;
    QTest::newRow("cancel changes nothing") << QString() << 3000;
  }
  void widthBox() {
    QFETCH(QString, answer);
    // Range 3 maps display column 7 to field 30; the bar at 5 puts it in grid column 2.
    defineRange(3, rangeDialog(QStringLiteral("24 to 40,"), {}, {0}));
    columns()->setValue(5);
    const bool atMaximum = answer == QStringLiteral("-1");
    w->record().setDisplayWidth(7, atMaximum ? "max" : "3000");
    const QStringList shown = widthBox(answer);
    QCOMPARE(shown.value(0), QStringLiteral("Set Width for column #30"));
    QCOMPARE(shown.value(1), QStringLiteral("Enter a new value for the display width of column #30\r\n(values are entered in twips, "
                                            "don't worry - just use relative sizes.)\r\nEnter '-1' to make the column always at "
                                            "maximum width.\r\nTo reset to default value enter '0'\r\n\r\nCurrent Width for Column #30 = ") +
                                 shown.value(2));
    QCOMPARE(shown.value(2), atMaximum ? QStringLiteral("-1") : QStringLiteral("3000"));
    QCOMPARE(w->record().DisplayWidth(7), fetched<int>("width"));
  }

  // The keyboard reaches what a right-click opens: the Menu key on a focused header, Shift+F10
  // on a focused range button.
  void keyboardOpensTheCommands() {
    QStringList opened;
    ModalAnswerer answerer;
    answerer.then<QInputDialog>([&](QInputDialog* box) {
      opened << box->windowTitle();
      box->reject();
    });
    answerer.then<FSetRange>([&](FSetRange* dialog) {
      opened << dialog->windowTitle();
      dialog->reject();
    });
    HeaderBox* header = find<HeaderBox>(QStringLiteral("txtColumn_0"));
    header->setFocus(Qt::TabFocusReason);
    QTest::keyClick(header, Qt::Key_Menu);
    option(4)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(option(4), Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(opened.value(0), QStringLiteral("Set Width for column #1"));
  }

  // What was defined and set comes back in the next window of the kind.
  void rangesAndWidthsAreKept() {
    defineRange(3, rangeDialog(QStringLiteral("2, 3,"), QStringLiteral("pair"), {0}));
    widthBox(QStringLiteral("5000"), 0);
    find<QPushButton>(QStringLiteral("cmdFileActions_7"))->click();
    QVERIFY(!w->isVisible());
    FEditor next;
    next.setFileType(1);
    QCOMPARE(next.record().RangeSelected(), 3);
    QCOMPARE(next.record().getSelRangeArrayStr(3), std::string("2, 3, "));
    QCOMPARE(next.findChild<QRadioButton*>(QStringLiteral("optLockFields_3"))->text(), QStringLiteral("pair"));
    QVERIFY(next.findChild<QRadioButton*>(QStringLiteral("optLockFields_3"))->isChecked());
    QCOMPARE(next.record().DisplayWidth(1), 5000);
  }

  // Each showing starts from nothing chosen, with its own wording; any close but a kind's button returns 0.
  void promptChoices() {
    FPrompt prompt(w);
    QStringList shown;
    const auto choose = [&](const char* button) {
      return [&shown, button](FPrompt* p) {
        shown << p->windowTitle() + QLatin1Char('|') + p->findChild<QLabel*>(QStringLiteral("lblCaption"))->text();
        shoot(p, p->windowTitle() + QStringLiteral(".png"));
        if (std::string_view(button) == "Escape") QTest::keyClick(p, Qt::Key_Escape);
        else press(p->findChild<QAbstractButton*>(QLatin1String(button)));
      };
    };
    ModalAnswerer answerer;
    answerer.then<FPrompt>(choose("cmdLaunch_2")).then<FPrompt>(choose("Escape")).then<FPrompt>(choose("cmdExit"))
        .then<FPrompt>(choose("cmdLaunch_3"));
    QCOMPARE(prompt.RetMlFormID(w, false), 2);
    QCOMPARE(prompt.RetMlFormID(w, false), 0);
    QCOMPARE(prompt.RetMlFormID(w, true), 0);
    QCOMPARE(prompt.RetMlFormID(w, true), 3);
    const QString load = QStringLiteral("Select File Type to Load|(file loaded must match type chosen when auto-detect is off)");
    const QString defaults = QStringLiteral("select Default File Type to Load|(will switch Editor to correct mode automatically)");
    QCOMPARE(shown, (QStringList{load, load, defaults, defaults}));
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
    QTemporaryDir folder;
    if (name.isEmpty()) {  // a real folder deep enough that a short name reaches the limit
      QString deep = folder.path();
      while (deep.size() < 3900) deep += QLatin1Char('/') + QString(200, QLatin1Char('d'));
      QVERIFY(QDir().mkpath(deep));
      name = deep + QLatin1Char('/') + QString((chosen ? 4095 : 4096) - int(deep.size()) - 5, QLatin1Char('n')) + QStringLiteral(".txt");
    }
    MessageRecorder boxes;
    COpClDialog dialog;
    std::string filename, fileTitle, filter = "Text Files (*.txt)|*.txt", initDir = folder.path().toStdString();
    std::string title = "Save", ext = "TXT";
    bool overwrite = true;
    std::int32_t filterIndex = 1, flags = 0;
    QStringList shown;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>([&](QFileDialog* d) {
      if (d->testOption(QFileDialog::DontConfirmOverwrite)) shown << QStringLiteral("replaces without asking");
      chooseFile(name, shown)(d);
    });
    QCOMPARE(dialog.VBGetSaveFileName(filename, fileTitle, overwrite, filter, filterIndex, initDir, title, ext, nullptr, flags), chosen);
    QVERIFY(!shown.contains(QStringLiteral("replaces without asking")));
    if (!chosen) {
      QCOMPARE(filename, ""s);
      QCOMPARE(dialog.ExtendedError(), COpClDialog::kBufferTooSmall);
      QCOMPARE(boxes.boxes.size(), std::size_t{1});
      QVERIFY(boxes.boxes[0].prompt.starts_with("The path is too long for this system (4096 bytes; at most 4095)"));
    } else if (name == QStringLiteral("mod")) {
      QCOMPARE(QString::fromStdString(filename), folder.filePath(QStringLiteral("mod.TXT")));
    } else {
      QCOMPARE(filename.size(), std::size_t{4095});
      QVERIFY(boxes.boxes.empty());
    }
  }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
