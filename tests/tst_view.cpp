#include <QClipboard>

#include "EditorFixture.h"
#include "RecordGrid.h"

using namespace DataText;

// The units the grid shows: "Only matching units", a sort by a field, and edits, pastes, copies,
// undo and saves in such a view, which must land on the unit each row shows.
class TestView : public QObject, EditorFixture {
  Q_OBJECT

  // Five buildings: names in field 2, field 3 holds numbers and a text.
  QByteArray buildings() const {
    QByteArray file = dataFile(2, 5);
    const char* names[] = {"Spearman", "Archer", "spear thrower", "Knight", "Crossbow"};
    const char* speeds[] = {"12", "7", "12.5", "-3", "slow"};
    for (int u = 1; u <= 5; ++u)
      file.replace("\tr" + QByteArray::number(u) + "f2\tr" + QByteArray::number(u) + "f3\t",
                   QByteArray("\t") + names[u - 1] + '\t' + speeds[u - 1] + '\t');
    return file;
  }
  RecordGrid* grid() const { return w->findChild<RecordGrid*>(); }
  // The units' own numbers, as the rows show them.
  QList<int> rows() const {
    QList<int> numbers;
    for (int r = 0; r < rowsShown(); ++r) numbers << text(QStringLiteral("lblRowNo_%1").arg(r)).toInt();
    return numbers;
  }
  GridCell* cellAt(int row, int field) const { return cell(39 * row + field - 1); }
  void findOnly(const QString& text) {
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    auto* box = find<QLineEdit>(QStringLiteral("txtFind"));
    QTRY_VERIFY(box->hasFocus());
    QTest::keyClicks(box, text);
    key(Qt::ALT | Qt::Key_O);
    QVERIFY(find<QCheckBox>(QStringLiteral("chkOnlyMatching"))->isChecked());
  }
  // F9 on field 3 of the first row, `times` times: ascending, descending, file order.
  void sortBySpeed(int times) {
    for (int k = 0; k < times; ++k) {
      focusCell(2);
      key(Qt::Key_F9);
    }
  }

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  void shown_data() {
    QTest::addColumn<QString>("find");
    QTest::addColumn<int>("sorts");
    QTest::addColumn<QList<int>>("units");
    QTest::addColumn<QString>("status");
    QTest::newRow("names holding a text, any case") << "SPEAR" << 0 << QList{1, 3} << "showing 2 of 5 units";
    QTest::newRow("nothing matches") << "zz" << 0 << QList<int>{} << "showing 0 of 5 units";
    QTest::newRow("numbers by value, then text") << "" << 1 << QList{4, 2, 1, 3, 5} << "";
    QTest::newRow("descending: text, then numbers largest first") << "" << 2 << QList{5, 3, 1, 2, 4} << "";
    QTest::newRow("back to file order") << "" << 3 << QList{1, 2, 3, 4, 5} << "";
    QTest::newRow("matching units, sorted") << "spear" << 2 << QList{3, 1} << "showing 2 of 5 units";
  }
  void shown() {
    loadText(2, buildings());
    if (!fetched<QString>("find").isEmpty()) findOnly(fetched<QString>("find"));
    sortBySpeed(fetched<int>("sorts"));
    QCOMPARE(rows(), fetched<QList<int>>("units"));
    QCOMPARE(status().startsWith(QStringLiteral("showing")) ? status() : QString(), fetched<QString>("status"));
    if (auto* bar = w->findChild<QWidget*>(QStringLiteral("FindBar"))) bar->hide();  // the filter goes with the bar
    QCOMPARE(rows().size(), 5);
  }

  // Sorted descending the rows show units 5, 3, 1, 2, 4: a typed value, a paste and their undo
  // land on those units, and the save writes file order.
  void editsLandOnTheirUnits() {
    loadText(2, buildings());
    sortBySpeed(2);
    focusCell(cellAt(0, 1)->objectName().mid(9).toInt());
    QTest::keyClicks(editor(), QStringLiteral("A"));
    leaveCell();
    focusCell(cellAt(1, 1)->objectName().mid(9).toInt());
    QApplication::clipboard()->setText(QStringLiteral("B\nC\n"));
    key(Qt::CTRL | Qt::Key_V);
    QCOMPARE(field(9, 1), std::string("A"));  // unit 5 is record 9
    QCOMPARE(field(7, 1), std::string("B"));
    QCOMPARE(field(5, 1), std::string("C"));
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(field(7, 1), std::string("r3f1"));
    QCOMPARE(field(5, 1), std::string("r1f1"));
    QCOMPARE(rows(), (QList{5, 3, 1, 2, 4}));
    const QString path = mWindow.path(QStringLiteral("mod.txt"));
    w->saveToLoadedFile();
    QCOMPARE(fileBytes(path), buildings().replace("\r\nr5f1\t", "\r\nA\t"));
  }

  // A block over every unit a filter shows copies those units alone, in the order shown.
  void copyOfFilteredUnits() {
    loadText(2, buildings());
    sortBySpeed(1);
    findOnly(QStringLiteral("spear"));
    focusCell(1);
    grid()->selectBlock({5, 6, 2, 3});  // rows, not records
    key(Qt::CTRL | Qt::Key_C);
    QCOMPARE(QApplication::clipboard()->text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
             QStringLiteral("Spearman\t12\nspear thrower\t12.5\n"));
  }
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
