#include <QtTest>

#include "DataText.h"
#include "EditedFile.h"
#include "Fetch.h"
#include "Platform.h"

// The edited file's history against the file on disk: which undo step holds what the file holds,
// and so whether the data changed, through edits, undo, redo and saves.
class TestEditedFile : public QObject {
  Q_OBJECT

 private slots:
  void init() { Platform::setScreenTwips({15360, 11520}); }

  // Each row plays a script on field 3 of record 5: "e" a new edit (its value "v" and its
  // number), "u" undo, "r" redo, "s" a save.
  void savedState_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("savedAt");  // -1: the saved state can no longer come back
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("value");
    QTest::newRow("nothing done") << "" << 0 << 0 << false << "r1f3";
    QTest::newRow("undo with nothing to undo") << "u" << 0 << 0 << false << "r1f3";
    QTest::newRow("an edit") << "e" << 1 << 0 << true << "v1";
    QTest::newRow("an edit undone to the loaded state") << "e u" << 0 << 0 << false << "r1f3";
    QTest::newRow("redo with nothing to redo") << "e r" << 1 << 0 << true << "v1";
    QTest::newRow("undone and redone") << "e u r" << 1 << 0 << true << "v1";
    QTest::newRow("saved") << "e s" << 1 << 1 << false << "v1";
    QTest::newRow("saved, then undone") << "e s u" << 0 << 1 << true << "r1f3";
    QTest::newRow("undone after a save, redone to it") << "e s u r" << 1 << 1 << false << "v1";
    QTest::newRow("redone past the save") << "e s e u u r r" << 2 << 1 << true << "v2";
    QTest::newRow("a new edit at the saved state keeps it") << "e s e u" << 1 << 1 << false << "v1";
    QTest::newRow("a new edit after undoing past the save drops it") << "e e s u u e" << 1 << -1 << true << "v3";
    QTest::newRow("the loaded state is not the saved one") << "e s u e u" << 0 << -1 << true << "r1f3";
    QTest::newRow("saved again after the drop") << "e s u e s u" << 0 << 1 << true << "r1f3";
  }
  void savedState() {
    EditedFile file;
    file.reset().initRanges(2);
    QVERIFY(file.record().createRecord(DataText::dataFile(2, 3).toStdString(), "in.txt"));
    file.markSaved();
    int edits = 0;
    for (const QString& step : fetched<QString>("script").split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      if (step == QLatin1String("e"))
        file.makeStep({5, 3, std::string(file.record().value(5, 3)), "v" + std::to_string(++edits)});
      else if (step == QLatin1String("u")) file.undo();
      else if (step == QLatin1String("r")) file.redo();
      else file.markSaved();
    }
    QCOMPARE(int(file.stepsDone()), fetched<int>("done"));
    QCOMPARE(file.savedAt() ? int(*file.savedAt()) : -1, fetched<int>("savedAt"));
    QCOMPARE(file.dataChanged(), fetched<bool>("changed"));
    QCOMPARE(QString::fromStdString(std::string(file.record().value(5, 3))), fetched<QString>("value"));
  }
};

QTEST_APPLESS_MAIN(TestEditedFile)
#include "tst_editedfile.moc"
