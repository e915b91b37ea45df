#include "EditJournal.h"
#include <QDir>

#include "EditorFixture.h"

using namespace DataText;

// The journal of unsaved edits: offered back at the next load, removed when nothing is left to
// recover, and kept to itself when a second window edits the same file.
class TestJournal : public QObject, EditorFixture {
  Q_OBJECT

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  // The edits of a window that went without saving come back at the next load of the file: a
  // question whose default (Enter) restores them as edits to undo and redo; No leaves the file as
  // it is on disk and the journal where it is until the next edit moves it aside. A file changed
  // since restores nothing, and the message says where the journal went.
  void restoreAtTheNextLoad_data() {
    QTest::addColumn<QString>("answer");  // "Enter" or "No" to the question; empty: no question
    QTest::addColumn<bool>("fileChanged");
    QTest::newRow("Enter restores them") << "Enter" << false;
    QTest::newRow("No keeps them aside") << "No" << false;
    QTest::newRow("the file changed since") << "" << true;
  }
  void restoreAtTheNextLoad() {
    QFETCH(QString, answer);
    QFETCH(bool, fileChanged);
    load(2, 3);
    edit(5, 3, QStringLiteral("x"));
    edit(6, 3, QStringLiteral("y"));
    key(Qt::CTRL | Qt::Key_Z);
    const QString path = mWindow.path(QStringLiteral("mod.txt"));
    const QString journal = mWindow.journals() + QLatin1Char('/') + journals().value(0);
    const QByteArray written = fileBytes(journal);
    QCOMPARE(journals().size(), 1);
    w = mWindow.restart();
    if (fileChanged) QVERIFY(writeFile(path, fileBytes(path).replace("r3f4", "r3f9")));
    QString seen;
    bool yesIsDefault = false;
    {
      ModalAnswerer answerer;
      answerer.then<QMessageBox>([&](QMessageBox* box) {
        seen = box->windowTitle() + QLatin1Char('|') + box->text();
        yesIsDefault = box->defaultButton() && box->defaultButton() == box->button(QMessageBox::Yes);
        shoot(box, box->windowTitle() + QStringLiteral(".png"));
        if (answer == QLatin1String("Enter")) QTest::keyClick(box, Qt::Key_Return);
        else press(box->button(answer.isEmpty() ? QMessageBox::Ok : QMessageBox::No));
      });
      QVERIFY(w->LoadRecord(path.toStdString(), 2));
    }
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    const QString lead = QStringLiteral("PelkoEditor ended without saving 3 changes to\n") + asShown(path);
    const bool restored = answer == QLatin1String("Enter");
    QCOMPARE(QString::fromStdString(field(5, 3) + ' ' + field(6, 3)), QString::fromLatin1(restored ? "x r2f3" : "r1f3 r2f3"));
    QCOMPARE(w->dataChanged(), restored);
    QCOMPARE(w->isWindowModified(), restored);
    if (fileChanged) {
      const QString aside = journal.chopped(8) + QStringLiteral(".kept-1.journal");
      QCOMPARE(seen, QStringLiteral("Unsaved Changes Not Restored|") + lead +
                         QStringLiteral("\nbut the file has changed since, so they cannot be restored.\n\nThey are kept in\n") + asShown(aside));
      QCOMPARE(fileBytes(aside), written);
      QVERIFY(!QFile::exists(journal));
      return;
    }
    QVERIFY(seen.startsWith(QStringLiteral("Restore Unsaved Changes?|") + lead + QStringLiteral("\n\nDo you want to restore them?")));
    QVERIFY(yesIsDefault);
    if (restored) {
      QCOMPARE(status(), QStringLiteral("3 changes restored: Ctrl+Z undoes them."));
      QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier);
      QCOMPARE(field(6, 3), std::string("y"));
      return;
    }
    QCOMPARE(fileBytes(journal), written);  // offered again at the next load
    edit(7, 3, QStringLiteral("w"));
    const QString aside = journal.chopped(8) + QStringLiteral(".kept-1.journal");
    QCOMPARE(status(), QStringLiteral("The changes not restored at the load were moved to ") + asShown(aside));
    QCOMPARE(fileBytes(aside), written);
    QVERIFY(fileBytes(journal).endsWith("s\t7\t3\tr3f3\tw\n"));
  }

  // A save (Save File As here; Ctrl+S saves the same way) and a No to the unsaved-changes prompt
  // remove the journal, as does closing after undoing every edit; a cancelled close and a failed
  // save keep it.
  void journalRemoval_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("kept");
    QTest::newRow("Save File As") << "save as" << false;
    QTest::newRow("No to the prompt") << "No" << false;
    QTest::newRow("close after undoing") << "undo, close" << false;
    QTest::newRow("Cancel to the prompt") << "Cancel" << true;
    QTest::newRow("failed save") << "failed save" << true;
  }
  void journalRemoval() {
    QFETCH(QString, action);
    load(2, 3);
    edit(5, 3, QStringLiteral("x"));
    QCOMPARE(journals().size(), 1);
    QStringList seen;
    {
      ModalAnswerer answerer;
      if (action == QLatin1String("save as")) {
        answerer.then<QFileDialog>(chooseFile(mWindow.path(QStringLiteral("other.txt")), seen));
        click(button(3));
      } else if (action == QLatin1String("failed save")) {
        QVERIFY(QFile::setPermissions(mWindow.path(QStringLiteral("mod.txt")), QFile::ReadOwner));
        answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
        key(Qt::CTRL | Qt::Key_S);
      } else {
        if (action == QLatin1String("undo, close")) key(Qt::CTRL | Qt::Key_Z);
        else answerer.then<QMessageBox>(pressInBox(action == QLatin1String("No") ? QMessageBox::No : QMessageBox::Cancel, seen));
        click(button(7));
      }
    }
    QCOMPARE(journals().size(), fetched<bool>("kept") ? 1 : 0);
    QCOMPARE(w->isVisible(), action == QLatin1String("Cancel") || action.contains(QLatin1String("save")));
  }

  // A state folder that cannot be made is told once in the status line; editing goes on.
  void journalThatCannotBeWritten() {
    QVERIFY(writeFile(mWindow.path(QStringLiteral("state")), "a file where the folder should be"));
    load(2, 3);
    edit(5, 3, QStringLiteral("x"));
    const std::string journal = EditJournal(mWindow.journals().toStdString()).pathFor(mWindow.path(QStringLiteral("mod.txt")).toStdString());
    // Windows finds no such path where Linux finds a file that is not a folder.
#ifdef Q_OS_WIN
    const QString error = QStringLiteral("[2] :No such file or directory");
#else
    const QString error = QStringLiteral("[20] :Not a directory");
#endif
    QCOMPARE(status(), QStringLiteral("Changes are not kept for recovery after a crash: ") + error + QStringLiteral(" (") +
                           asShown(QString::fromStdString(journal)) + QLatin1Char(')'));
    find<QLabel>(QStringLiteral("lblStatusBar"))->clear();
    edit(6, 3, QStringLiteral("y"));
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(status(), QString());
    QCOMPARE(QString::fromStdString(field(5, 3) + ' ' + field(6, 3)), QStringLiteral("x r2f3"));
    QVERIFY(w->dataChanged());
  }

  // A second window on a file that another window keeps a journal of neither offers nor moves
  // that journal, and says that it keeps none of its own.
  void secondEditorOfAFile() {
    load(2, 3);
    edit(5, 3, QStringLiteral("x"));
    const QString journal = mWindow.journals() + QLatin1Char('/') + journals().value(0);
    const QByteArray written = fileBytes(journal);
    FEditor second;
    QVERIFY(second.LoadRecord(mWindow.path(QStringLiteral("mod.txt")).toStdString(), 2));
    const QString held = QStringLiteral("Another PelkoEditor is editing this file: changes made here are not kept for recovery.");
    QCOMPARE(second.findChild<QLabel*>(QStringLiteral("lblStatusBar"))->text(), held);
    edit(6, 3, QStringLiteral("z"));
    QCOMPARE(journals().size(), 1);
    QVERIFY(fileBytes(journal).startsWith(written) && fileBytes(journal).endsWith("\tr2f3\tz\n"));
  }
};

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
