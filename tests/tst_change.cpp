#include "EditorFixture.h"
#include "FChangeValues.h"
#include "ModalAnswerer.h"

using namespace DataText;

// Change Values from the window, its dialog's preview, and the mark of a text among numbers.
class TestChange : public QObject, EditorFixture {
  Q_OBJECT

  // Field 3 holds numbers but for unit 3's "x"; the other fields hold text.
  static QByteArray buildings(int units = 7) {
    QByteArray text = dataFile(2, units);
    for (int u = 1; u <= units; ++u)
      text.replace("\tr" + QByteArray::number(u) + "f3\t", u == 3 ? "\tx\t" : "\t" + QByteArray::number(u * 10) + "\t");
    return text;
  }

  // Answers the dialog with the expression and Enter, and tells what its preview said.
  static std::function<void(FChangeValues*)> answer(const QString& expression, QString& preview) {
    return [=, &preview](FChangeValues* dialog) {
      auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("txtExpression"));
      QTest::keyClicks(box, expression);
      preview = dialog->findChild<QLabel*>(QStringLiteral("lblPreview"))->text();
      QTest::keyClick(box, Qt::Key_Return);
    };
  }

  void changeFocused(int record, int field, const QString& expression, bool fromMenu = false) {
    QString preview;
    const auto dialog = [&](ModalAnswerer& answerer) { answerer.then<FChangeValues>(answer(expression, preview)); };
    if (fromMenu) {
      chooseFromCellMenu(QStringLiteral("Change Values…"), cellOf(record, field), dialog);
    } else {
      ModalAnswerer answerer;
      dialog(answerer);
      key(Qt::CTRL | Qt::Key_E);
      QVERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    }
    w->activateWindow();  // the offscreen platform may leave none active after the dialog
  }

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  void preview_data() {
    QTest::addColumn<int>("lastRecord");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<bool>("applies");
    QTest::newRow("the first five, text skipped")
        << 11 << "*1.5" << "6 values change, 1 skipped (not numbers)\nr1f2: 10 → 15\nr2f2: 20 → 30\nr4f2: 40 → 60\n"
                           "r5f2: 50 → 75\nr6f2: 60 → 90\n…" << true;
    QTest::newRow("values left as they are") << 6 << "=20" << "1 value changes, 1 stays the same\nr1f2: 10 → 20" << true;
    QTest::newRow("nothing to change") << 5 << "=10" << "0 values change, 1 stays the same" << false;
    QTest::newRow("not an expression") << 11 << "*x" << "a number such as 5 or 1.25 is expected at column 2" << false;
    QTest::newRow("a result too large")
        << 11 << "*99999999999999999999999999999999999999" << "The result for 10 (r1f2, field 3) is too large: nothing can change."
        << false;
  }
  void preview() {
    CRecordData store;
    store.initRanges(2);
    QVERIFY(store.createRecord(buildings().toStdString(), "in.txt"));
    FChangeValues dialog(store, ChangeTargets::of(store, UnitView::every(5, store.NoUnits()), CellBlock{5, fetched<int>("lastRecord"), 3, 3}), nullptr);
    QString preview;
    dialog.open();
    answer(fetched<QString>("expression"), preview)(&dialog);
    QCOMPARE(preview, fetched<QString>("preview"));
    QCOMPARE(dialog.result() == QDialog::Accepted, fetched<bool>("applies"));
    QCOMPARE(dialog.isVisible(), !fetched<bool>("applies"));
    if (fetched<bool>("applies")) QCOMPARE(dialog.takeCells().size(), preview.section(QLatin1Char(' '), 0, 0).toULongLong());
  }

  // One step each: a value typed before stays a step of its own.
  void undoRedo_data() {
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("undone");  // the value after each Ctrl+Z
    QTest::newRow("Ctrl+E") << false << "" << QStringList{QStringLiteral("20")};
    QTest::newRow("from the cell's menu") << true << "" << QStringList{QStringLiteral("20")};
    QTest::newRow("after typing") << false << "25" << QStringList{QStringLiteral("25"), QStringLiteral("20")};
  }
  void undoRedo() {
    QFETCH(QStringList, undone);
    loadText(2, buildings());
    const QString typed = fetched<QString>("typed");
    edit(6, 3, typed, false);
    if (typed.isEmpty()) editor()->selectAll();
    const QString doubled = QString::number((typed.isEmpty() ? 20 : typed.toInt()) * 2);
    changeFocused(6, 3, QStringLiteral("*2"), fetched<bool>("fromMenu"));
    QTRY_VERIFY(editor()->hasFocus());
    QCOMPARE(QString::fromStdString(field(6, 3)), doubled);
    QCOMPARE(editor()->toPlainText(), doubled);
    QVERIFY(w->dataChanged());
    for (const QString& value : undone) {
      key(Qt::CTRL | Qt::Key_Z);
      QCOMPARE(QString::fromStdString(field(6, 3)), value);
    }
    QVERIFY(!w->dataChanged());
    for (int k = 0; k < undone.size(); ++k) key(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(QString::fromStdString(field(6, 3)), doubled);
    QCOMPARE(cellOf(6, 3)->text(), doubled);
  }

  // A block is one step, its text left alone, and it stays selected.
  void block() {
    loadText(2, buildings());
    edit(6, 3, QString(), false);
    for (int k = 0; k < 2; ++k) key(Qt::CTRL | Qt::SHIFT | Qt::Key_Down);
    const auto values = [this] {
      QStringList shown;
      for (int record = 5; record <= 9; ++record) shown << QString::fromStdString(field(record, 3));
      return shown.join(QLatin1Char(' '));
    };
    changeFocused(8, 3, QStringLiteral("*2"));
    QTRY_VERIFY(editor()->hasFocus());
    QCOMPARE(values(), QStringLiteral("10 40 x 80 50"));
    QVERIFY(visible(QStringLiteral("lblSelection")));
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(values(), QStringLiteral("10 20 x 40 50"));
    QVERIFY(!w->dataChanged());
    key(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(values(), QStringLiteral("10 40 x 80 50"));
  }

  void textAmongNumbers_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("marked");
    QTest::newRow("text over the file's own text in a number field") << 3 << "fast" << true;
    QTest::newRow("an emptied number") << 3 << "" << true;
    QTest::newRow("a number in a number field") << 3 << "-2.5" << false;
    QTest::newRow("text in a text field") << 4 << "fast" << false;
  }
  void textAmongNumbers() {
    QFETCH(int, field);
    QFETCH(bool, marked);
    loadText(2, buildings());
    resizeOuter(28800, 16000);
    QVERIFY(cellOf(7, 3)->textAmongNumbers());  // the file's own "x": the others hold numbers
    QVERIFY(!cellOf(7, 4)->textAmongNumbers());
    edit(7, field, fetched<QString>("typed"), false);
    if (fetched<QString>("typed").isEmpty()) QTest::keyClick(editor(), Qt::Key_Delete);
    QCOMPARE(cellOf(7, field)->textAmongNumbers(), marked);  // while typing, in the edit box too
    QCOMPARE(editor()->findChild<QWidget*>(QStringLiteral("numberLine"))->isVisible(), marked);
    leaveCell();
    QCOMPARE(cellOf(7, field)->textAmongNumbers(), marked);
    QCOMPARE(cellOf(7, field)->toolTip().contains(QStringLiteral("The other units hold numbers in this field.")), marked);
    QVERIFY(cellOf(7, field)->mark().isEmpty());  // it saves
    QVERIFY(!w->record().hasSaveProblems());
    bar("vsbUnits2display")->setValue(6);  // and keeps its mark when the page moves
    QCOMPARE(cellOf(7, field)->textAmongNumbers(), marked);
  }
};

QTEST_MAIN(TestChange)
#include "tst_change.moc"
