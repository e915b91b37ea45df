#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include "CRecordData.h"
#include "DataText.h"
#include "EditorWindow.h"
#include "FEditor.h"
#include "FSetRange.h"
#include "Fetch.h"
#include "HeaderBox.h"
#include "ModalAnswerer.h"
#include "PlatformQt.h"
#include "Shots.h"

using namespace DataText;

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

const std::string kStatusTail =
    "\r\n\r\n[the only non-numeric text should be a ' to ' when defining a consecutive range. All entrys (either\r\n"
    "a single field No or a min to max field) need to be seperated with a comma, including the last.]";

}  // namespace

class TestCommands : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;

  template <class T = QWidget>
  T* find(const QString& name) const { return w->findChild<T*>(name); }
  QRadioButton* option(int k) const { return find<QRadioButton>(QStringLiteral("optLockFields_%1").arg(k)); }
  QScrollBar* columns() const { return find<QScrollBar>(QStringLiteral("hsbFields2Display")); }
  QString header(int c) const { return find<HeaderBox>(QStringLiteral("txtColumn_%1").arg(c))->toPlainText(); }

  void load(int kind) {
    const int fields = kind == 1 ? 71 : 28;
    QByteArray text;
    for (int r = 1; r <= 6; ++r)
      text += kind == 1 ? unitRecord(troopList(), "r" + QByteArray::number(r) + "f") : record(fields, "r" + QByteArray::number(r) + "f");
    w->setFileType(kind);
    QVERIFY(w->record().createRecord((text + "\r\n\r\n").toStdString(), "/m.txt"));
    w->showLoadedRecords("/m.txt");
  }
  static void rightPress(QWidget* widget) { QTest::mousePress(widget, Qt::RightButton, {}, QPoint(4, 4)); }
  // Right-presses option k, answering the range dialog with `answer`; returns the boxes shown.
  QStringList defineRange(int k, std::function<void(FSetRange*)> answer, int boxes = 0) {
    QStringList shown;
    ModalAnswerer answerer;
    answerer.then<FSetRange>(answer);
    for (int b = 0; b < boxes; ++b)
      answerer.then<QMessageBox>([&shown](QMessageBox* box) {
        shown << box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(QMessageBox::Ok)->click();
      });
    rightPress(option(k));
    if (!answerer.allAnswered()) qWarning("%s", qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    return shown;
  }

 private slots:
  void initTestCase() { PlatformQt::install(); }
  void init() {
    w = mWindow.open();
    load(1);
  }
  void cleanup() { mWindow.close(); }

  void rangeOneIsReadOnly() {
    bool boxesEnabled = true;
    QString range, caption;
    defineRange(1, [&](FSetRange* dialog) {
      boxesEnabled = dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->isEnabled() ||
                     dialog->findChild<QLineEdit*>(QStringLiteral("txtCaption2display"))->isEnabled();
      range = dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->text();
      caption = dialog->findChild<QLineEdit*>(QStringLiteral("txtCaption2display"))->text();
      rangeDialog(range, {}, {0})(dialog);
    });
    QVERIFY(!boxesEnabled);
    QVERIFY(range.startsWith(QStringLiteral("1, 2, 3, ")) && range.endsWith(QStringLiteral("71, ")));
    QCOMPARE(caption, QStringLiteral("Show All Fields [1 to 71]"));
    QCOMPARE(w->record().RangeSelected(), 1);
  }

  void applyThenCancelSelectsTheRange() {
    QString captionWhileOpen;
    defineRange(3, [&](FSetRange* dialog) {
      rangeDialog(QStringLiteral("5 to 7, 2,"), QStringLiteral("mine"), {2})(dialog);
      shoot(dialog, QStringLiteral("range-dialog.png"));
      captionWhileOpen = option(3)->text();
      QVERIFY(dialog->isVisible());  // Apply keeps it open
      rangeDialog(QStringLiteral("5 to 7, 2,"), {}, {1})(dialog);
    });
    QCOMPARE(captionWhileOpen, QStringLiteral("mine"));
    QCOMPARE(w->record().RangeSelected(), 3);
    QVERIFY(option(3)->isChecked());
    QCOMPARE(w->record().getSelRangeArrayStr(3), std::string("5, 6, 7, 2, "));
    QCOMPARE(columns()->maximum(), 4);
    QVERIFY(header(0).trimmed().startsWith(QStringLiteral("5\n")));
  }

  void statusMessages_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("range");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("above the maximum") << 1 << "3, 72," << 0 << "A value higher than 71 was entered (and changed to 71)";
    QTest::newRow("below 1") << 1 << "0 to 2," << 2 << "A value lower than 1 was entered (and changed to=1)";
    QTest::newRow("too many fields, building") << 2 << "1 to 40," << 0
                                               << "Too many fields... only 28 seperate fields can be set (the first 28 values were used.)";
    QTest::newRow("no comma") << 1 << "3" << 0 << "No Fields were entered!";
    QTest::newRow("no comma, cancel too") << 1 << "3" << 1 << "No Fields were entered!";
    QTest::newRow("overflow") << 1 << "5, 99999999999," << 0
                              << "A value entered caused an overflow (and was changed to 1 more than the previous entry)";
    QTest::newRow("no final comma, valid: silent") << 1 << "3, 4" << 0 << "";
  }
  void statusMessages() {
    QFETCH(int, kind);
    QFETCH(QString, range);
    QFETCH(int, button);
    QFETCH(QString, message);
    if (kind != 1) load(kind);
    const QStringList boxes = defineRange(4, rangeDialog(range, {}, {button, 1}), message.isEmpty() ? 0 : 1);
    if (message.isEmpty()) {
      QVERIFY(boxes.isEmpty());
      QCOMPARE(w->record().getSelRangeArrayStr(4), std::string("3, "));
      return;
    }
    QCOMPARE(boxes.value(0), QStringLiteral("Error setting Range!") + QString(100, QLatin1Char(' ')) + QLatin1Char('|') +
                                 message + QString::fromStdString(kStatusTail));
    const bool stored = !range.contains(QLatin1Char(',')) ? false : button != 1;
    QCOMPARE(w->record().RangeSelected(), stored ? 4 : 1);
  }

  void hiddenNamesKeepTheCaptionInTheTag() {
    find<QPushButton>(QStringLiteral("cmdSlide"))->click();
    defineRange(5, rangeDialog(QStringLiteral("1, 2,"), QStringLiteral("two"), {0}));
    QCOMPARE(option(5)->text(), QStringLiteral("5"));
    QCOMPARE(option(5)->property("Tag").toString(), QStringLiteral("two"));
    find<QPushButton>(QStringLiteral("cmdSlide"))->click();
    QCOMPARE(option(5)->text(), QStringLiteral("two"));
  }

  void cancelledDialogKeepsTheSelection() {
    QTest::mousePress(option(2), Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseRelease(option(2), Qt::LeftButton, {}, QPoint(4, 4));
    defineRange(4, rangeDialog(QStringLiteral("9, 10,"), {}, {1}));
    QCOMPARE(w->record().RangeSelected(), 2);
    QVERIFY(option(2)->isChecked());
    QCOMPARE(w->record().getSelRangeArrayStr(4), std::string(w->record().getSelRangeArrayStr(1)));
  }

  void leftPressSelectsOnThePress() {
    columns()->setValue(30);
    QTest::mousePress(option(2), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(w->record().RangeSelected(), 2);  // before the release
    QCOMPARE(columns()->maximum(), 22);
    QVERIFY(columns()->value() <= 22);  // within the new bounds before the refill
    QVERIFY(header(0).trimmed().startsWith(QString::number(21 + columns()->value()) + QLatin1Char('\n')));
    QTest::mouseRelease(option(2), Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(option(2)->isChecked());
  }

  void keyboardMovesTheRange() {
    option(1)->setFocus();
    QTest::keyClick(option(1), Qt::Key_Down);
    QVERIFY(option(2)->isChecked());
    QCOMPARE(w->record().RangeSelected(), 2);
    QCOMPARE(columns()->maximum(), 22);
  }

  void widthBox_data() {
    QTest::addColumn<QString>("answer");  // null: cancelled
    QTest::addColumn<int>("width");
    QTest::newRow("a maximum-width column offers -1, kept") << "-1" << -1;
    QTest::newRow("max in capitals, blanks around") << " MAX " << -1;
    QTest::newRow("0 resets") << "0" << 1870;
    QTest::newRow("100 gives the least width") << "100" << 670;
    QTest::newRow("a huge number: the screen less 800") << "99999999" << 28000;
    QTest::newRow("text resets") << "wide" << 1870;
    QTest::newRow("empty changes nothing") << "" << 3000;
    QTest::newRow("cancel changes nothing") << QString() << 3000;
  }
  void widthBox() {
    QFETCH(QString, answer);
    // Range 3 maps display column 7 to field 30; the bar at 5 puts it in grid column 2.
    defineRange(3, rangeDialog(QStringLiteral("24 to 40,"), {}, {0}));
    columns()->setValue(5);
    const bool atMaximum = fetched<int>("width") == -1 && answer == QStringLiteral("-1");
    w->record().setDisplayWidth(7, atMaximum ? "max" : "3000");
    QString title, prompt, offered;
    ModalAnswerer answerer;
    answerer.then<QInputDialog>([&](QInputDialog* box) {
      title = box->windowTitle();
      prompt = box->labelText();
      offered = box->textValue();
      shoot(box, QStringLiteral("width-box.png"));
      if (answer.isNull()) return box->reject();
      box->setTextValue(answer);
      box->accept();
    });
    rightPress(find<HeaderBox>(QStringLiteral("txtColumn_2"))->viewport());
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    QCOMPARE(title, QStringLiteral("Set Width for column #30"));
    QCOMPARE(prompt, QStringLiteral("Enter a new value for the display width of column #30\r\n(values are entered in twips, "
                                    "don't worry - just use relative sizes.)\r\nEnter '-1' to make the column always at "
                                    "maximum width.\r\nTo reset to default value enter '0'\r\n\r\nCurrent Width for Column #30 = ") + offered);
    QCOMPARE(offered, atMaximum ? QStringLiteral("-1") : QStringLiteral("3000"));
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
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened.value(0), QStringLiteral("Set Width for column #1"));
  }

  // What was defined and set comes back in the next window of the kind.
  void rangesAndWidthsAreKept() {
    defineRange(3, rangeDialog(QStringLiteral("2, 3,"), QStringLiteral("pair"), {0}));
    ModalAnswerer answerer;
    answerer.then<QInputDialog>([](QInputDialog* box) {
      box->setTextValue(QStringLiteral("5000"));
      box->accept();
    });
    rightPress(find<HeaderBox>(QStringLiteral("txtColumn_0"))->viewport());
    QVERIFY(answerer.allAnswered());
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

  void clockLabels() {
    auto* clock = find<QLabel>(QStringLiteral("lblClock"));
    auto* target = find<QLabel>(QStringLiteral("lblClockTarget"));
    QVERIFY(!clock->isVisible());
    QTest::mouseDClick(target, Qt::LeftButton);
    QVERIFY(clock->isVisible());
    QCOMPARE(w->childAt(w->mapFromGlobal(clock->mapToGlobal(clock->rect().center()))), clock);  // on top of the target
    QTest::mouseDClick(clock, Qt::LeftButton);
    QVERIFY(!clock->isVisible());
  }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
