#include "EditorFixture.h"

using namespace DataText;

// The editor's dialogs: ranges, column widths and the kind prompt, and what of them the next
// window of the kind gets back.
class TestDialogs : public QObject, EditorFixture {
  Q_OBJECT

  using EditorFixture::widthBox;

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

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
    load(1, 2);
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
    QCOMPARE(text(QStringLiteral("txtColumn_0")).section(QLatin1Char('\n'), 0, 0).trimmed(), QString::number(fetched<int>("firstField")));
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
    load(fetched<int>("kind"), 2);
    const QStringList boxes = defineRange(4, rangeDialog(range, {}, {button, 1}), 1);
    QCOMPARE(boxes.value(0), QStringLiteral("Error setting Range!") + QString(100, QLatin1Char(' ')) + QLatin1Char('|') + message +
                                 QStringLiteral("\r\n\r\n[the only non-numeric text should be a ' to ' when defining a consecutive "
                                                "range. All entrys (either\r\na single field No or a min to max field) need to "
                                                "be seperated with a comma, including the last.]"));
    QCOMPARE(w->record().RangeSelected(), range.contains(QLatin1Char(',')) && button != 1 ? 4 : 1);
  }

  void leftPressSelectsOnThePress() {
    load(1, 2);
    bar("hsbFields2Display")->setValue(30);
    QTest::mousePress(option(2), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(w->record().RangeSelected(), 2);  // before the release
    QCOMPARE(bar("hsbFields2Display")->maximum(), 22);
    QVERIFY(text(QStringLiteral("txtColumn_0")).trimmed().startsWith(QString::number(21 + bar("hsbFields2Display")->value()) + QLatin1Char('\n')));
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
    load(1, 2);
    // Range 3 maps display column 7 to field 30; the bar at 5 puts it in grid column 2.
    defineRange(3, rangeDialog(QStringLiteral("24 to 40,"), {}, {0}));
    bar("hsbFields2Display")->setValue(5);
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

  // What was defined and set comes back in the next window of the kind. A minimised window's place is
  // not stored, a maximised one's only as its state; the kind prompt closes with the window.
  void closing_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("windowState");  // the key's value, "absent" when not written
    QTest::newRow("minimized") << int(Qt::WindowMinimized) << "absent";
    QTest::newRow("maximized") << int(Qt::WindowMaximized) << "2";
  }
  void closing() {
    load(1, 2);
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
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
