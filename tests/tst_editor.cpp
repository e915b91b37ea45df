#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "CRecordData.h"
#include "DataText.h"
#include "EditorWindow.h"
#include "FEditor.h"
#include "Fetch.h"
#include "GridCell.h"
#include "HeaderBox.h"
#include "MessageRecorder.h"
#include "Platform.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "Shots.h"
#include "Twips.h"

using namespace DataText;

namespace {

// A file of the kind with the given number of units; unit k's fields are named "r<k>f<field>".
QByteArray dataFile(int kind, int units) {
  QByteArray text;
  const int fields = kind == 1 ? 71 : kind == 2 ? 28 : 38;
  const int headers = kind == 3 ? 1 : 4;
  if (kind == 3) text = "ver 1;";
  for (int h = 1; h <= headers; ++h) {
    const QByteArray prefix = "h" + QByteArray::number(h) + "f";
    text += kind == 1 ? unitRecord("troop" + QByteArray::number(h), prefix) : record(fields, prefix);
  }
  for (int u = 1; u <= units; ++u) {
    const QByteArray prefix = "r" + QByteArray::number(u) + "f";
    text += kind == 1 ? unitRecord(troopList(), prefix) : record(fields, prefix);
  }
  return text + "\r\n\r\n";
}

}  // namespace

class TestEditor : public QObject {
  Q_OBJECT

  EditorWindow mWindow;
  FEditor* w = nullptr;

  template <class T = QWidget>
  T* find(const QString& name) const {
    T* widget = w->findChild<T*>(name);
    if (!widget) qWarning("no control %s", qPrintable(name));
    return widget;
  }
  QString text(const QString& name) const {
    if (auto* label = w->findChild<QLabel*>(name)) return label->text();
    if (auto* header = w->findChild<HeaderBox*>(name)) return header->toPlainText();
    if (auto* cell = w->findChild<GridCell*>(name)) return cell->text();
    return find<QAbstractButton>(name)->text();
  }
  bool visible(const QString& name) const { return find(name)->isVisibleTo(w); }
  QScrollBar* bar(const char* name) const { return find<QScrollBar>(QLatin1String(name)); }

  void load(int kind, int units) {
    w->setFileType(kind);
    MessageRecorder boxes;
    QVERIFY(w->record().createRecord(dataFile(kind, units).toStdString(), "/mods/Data.TXT"));
    w->showLoadedRecords("/mods/Data.TXT");
  }
  // Sets the window's outer size in twips.
  void resizeOuter(int width, int height) {
    const QSize frame = w->frameGeometry().size() - w->size();
    w->resize(Twips::toPixels(width) - frame.width(), Twips::toPixels(height) - frame.height());
  }
  static void compareTwips(const QWidget* widget, QRect expected) {
    const QRect actual(Twips::left(widget), Twips::top(widget), Twips::width(widget), Twips::height(widget));
    for (int k = 0; k < 4; ++k) {
      const int a[] = {actual.x(), actual.y(), actual.width(), actual.height()};
      const int e[] = {expected.x(), expected.y(), expected.width(), expected.height()};
      QVERIFY2(std::abs(a[k] - e[k]) <= 15, qPrintable(widget->objectName() + QStringLiteral(": %1,%2 %3x%4")
                                                                              .arg(actual.x()).arg(actual.y())
                                                                              .arg(actual.width()).arg(actual.height())));
    }
  }

 private slots:
  void init() { w = mWindow.open(); }
  void cleanup() { mWindow.close(); }

  void poolFollowsTheScreen() {
    QTRY_COMPARE(w->findChildren<GridCell*>().size(), 39 * 32);
    Platform::setScreenTwips({15360, 11520});
    FEditor small;
    small.show();  // the pool is made after the first paint
    QTRY_COMPARE(small.findChildren<GridCell*>().size(), 420);
    QCOMPARE(small.findChildren<HeaderBox*>().size(), 20);
    QVERIFY(small.findChild<QLabel*>(QStringLiteral("lblRow_20")) && small.findChild<QLabel*>(QStringLiteral("lblRowNo_20")));
    QVERIFY(!small.findChild<QLabel*>(QStringLiteral("lblRow_21")));
    const QWidget* last = small.findChild<GridCell*>(QStringLiteral("txtField_419"));
    QCOMPARE(Twips::top(last), Twips::top(small.findChild<GridCell*>(QStringLiteral("txtField_400"))));
    QVERIFY(std::abs(Twips::top(last) - (1200 + 395 * 20)) <= 15);
  }

  void setUpForEachKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("range1");
    QTest::addColumn<QString>("range2");
    QTest::newRow("unit") << 1 << "[Unit_Prod11] PelkoEditor" << "Show All Fields [1 to 71]" << "TroopStats Only [22 to 43]";
    QTest::newRow("building") << 2 << "[Build_prod13] PelkoEditor" << "Show All Fields [1 to 28]" << "User-Defined [# to #]";
    QTest::newRow("projectile") << 3 << "[ProjectileStats] PelkoEditor" << "Show All Fields [1 to 38]" << "User-Defined [# to #]";
  }
  void setUpForEachKind() {
    w->setFileType(fetched<int>("kind"));
    QCOMPARE(w->windowTitle(), fetched<QString>("title"));
    const QString captions[] = {fetched<QString>("range1"), fetched<QString>("range2")};
    for (int n = 1; n <= 6; ++n) {
      const QString expected = n <= 2 ? captions[n - 1] : QStringLiteral("User-Defined [# to #]");
      auto* button = find<QRadioButton>(QStringLiteral("optLockFields_%1").arg(n));
      QCOMPARE(button->text(), expected);
      QCOMPARE(button->property("Tag").toString(), expected);
    }
    QCOMPARE(find(QStringLiteral("fraDisplay"))->toolTip(),
             QStringLiteral("right-click in column header (above) to change display width"));
    QCOMPARE(text(QStringLiteral("lblStatusBar")), QString());
    w->setFileType(0);
    QCOMPARE(w->windowTitle(), QStringLiteral(" PelkoEditor"));
    QCOMPARE(find(QStringLiteral("fraDisplay"))->toolTip(), QString());
  }

  // At every size the window allows, with the names shown or hidden: no control covers another
  // that can be clicked, the status line's two lines stay above the grid, no row is drawn below
  // the grid, and the last unit can be scrolled into view.
  void layoutAtEverySize_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("hideNames");
    QTest::addColumn<QString>("shot");
    QTest::newRow("below the minimum") << 3000 << 2000 << false << "minimum.png";
    QTest::newRow("below the minimum, names hidden") << 3000 << 2000 << true << "";
    QTest::newRow("designed size, names hidden") << 12000 << 8500 << true << "names-hidden.png";
    QTest::newRow("whole screen") << 28800 << 16000 << false << "maximised-short-file.png";
  }
  void layoutAtEverySize() {
    QFETCH(bool, hideNames);
    load(2, 30);
    resizeOuter(28800, 16000);  // all units fit: a larger window freezes nothing, every unit stays in reach
    if (hideNames) find<QPushButton>(QStringLiteral("cmdSlide"))->click();
    resizeOuter(fetched<int>("width"), fetched<int>("height"));
    QVERIFY(Twips::fromPixels(w->frameGeometry().width()) >= 11950 - 15);
    if (!fetched<QString>("shot").isEmpty()) shoot(w, fetched<QString>("shot"));
    auto* status = find<QLabel>(QStringLiteral("lblStatusBar"));
    status->setProperty("Tag", QStringLiteral("a long status text ").repeated(30));
    resizeOuter(fetched<int>("width") + 15, fetched<int>("height"));  // a layout runs with the long text
    QVERIFY(status->geometry().bottom() < find(QStringLiteral("fraDisplay"))->y());

    QStringList covered;
    for (QWidget* control : w->findChildren<QWidget*>()) {
      const bool clickable = qobject_cast<QAbstractButton*>(control) || qobject_cast<QScrollBar*>(control) ||
                             qobject_cast<GridCell*>(control) || qobject_cast<HeaderBox*>(control);
      if (!clickable || !control->isVisibleTo(w)) continue;
      QRect shown(control->mapTo(w, QPoint()), control->size());  // the part its containers do not clip
      for (QWidget* p = control->parentWidget(); p != w; p = p->parentWidget()) shown &= QRect(p->mapTo(w, QPoint()), p->size());
      shown &= w->rect();
      if (shown.isEmpty()) continue;
      QWidget* top = w->childAt(shown.center());
      if (top != control && !control->isAncestorOf(top)) covered << control->objectName() + QStringLiteral(" under ") + (top ? top->objectName() : QStringLiteral("nothing"));
      auto* box = qobject_cast<QCheckBox*>(control);  // a caption is whole, or whole in its hint
      if (box && box->sizeHint().width() > box->width() && !box->property("captionHint").toBool())
        covered << box->objectName() + QStringLiteral(" cut");
    }
    QVERIFY2(covered.isEmpty(), qPrintable(covered.join(QStringLiteral(", "))));

    QScrollBar* vertical = bar("vsbUnits2display");
    vertical->setValue(vertical->maximum());
    int bottom = 0;
    while (visible(QStringLiteral("lblRow_%1").arg(bottom + 1))) ++bottom;
    QCOMPARE(text(QStringLiteral("lblRowNo_%1").arg(bottom)), QStringLiteral("30"));
    QVERIFY(find(QStringLiteral("lblRow_%1").arg(bottom))->geometry().bottom() < bar("hsbFields2Display")->y());
  }

  // The number labels, the range buttons and the names say what the grid shows after loads,
  // range changes and kind switches.
  void labelsTellTheTruth_data() {
    QTest::addColumn<QString>("step");
    QTest::newRow("a unit file after a projectile file at the same bar value") << "reload";
    QTest::newRow("TroopStats selected") << "troopStats";
    QTest::newRow("a stored selected range") << "storedRange";
    QTest::newRow("a kind without a stored range") << "newKind";
    QTest::newRow("a unit renamed in its cell") << "rename";
  }
  void labelsTellTheTruth() {
    QFETCH(QString, step);
    if (step == QLatin1String("reload")) {
      load(3, 100);
      bar("vsbUnits2display")->setValue(5);
      QCOMPARE(text(QStringLiteral("lblUnitNo")), QStringLiteral("4"));
      load(1, 100);
      QCOMPARE(text(QStringLiteral("lblUnitNo")), QStringLiteral("1"));
    } else if (step == QLatin1String("troopStats") || step == QLatin1String("storedRange")) {
      if (step == QLatin1String("storedRange")) GlobalShared::writeIniString("Unit_Prod11", "Selected Range", " 2", GlobalShared::getIniPath());
      load(1, 40);
      if (step == QLatin1String("troopStats")) QTest::mouseClick(find(QStringLiteral("optLockFields_2")), Qt::LeftButton, {}, QPoint(5, 5));
      QVERIFY(find<QRadioButton>(QStringLiteral("optLockFields_2"))->isChecked());
      QCOMPARE(text(QStringLiteral("lblFieldNo")), QStringLiteral("22"));
      QCOMPARE(text(QStringLiteral("txtColumn_0")).section(QLatin1Char('\n'), 0, 0), QStringLiteral(" 22"));
    } else if (step == QLatin1String("newKind")) {
      load(2, 40);
      QTest::mouseClick(find(QStringLiteral("optLockFields_3")), Qt::LeftButton, {}, QPoint(5, 5));
      load(3, 40);
      QVERIFY(find<QRadioButton>(QStringLiteral("optLockFields_1"))->isChecked());
    } else {
      load(3, 40);
      find(QStringLiteral("txtField_0"))->setFocus(Qt::MouseFocusReason);
      QTest::keyClicks(w->findChild<QPlainTextEdit*>(QStringLiteral("cellEditor")), QStringLiteral("Z"));
      QCOMPARE(text(QStringLiteral("lblRow_0")), QStringLiteral("Z"));
      QCOMPARE(find(QStringLiteral("lblRowNo_0"))->toolTip(), QStringLiteral("Z"));
    }
  }

  // The stored size is the outer one, frame included: it comes back as it was stored, also as
  // the restored size of a window that started maximised.
  void placementRoundTrip_data() {
    QTest::addColumn<int>("state");
    QTest::newRow("normal") << 0;
    QTest::newRow("maximised start, then restored") << 2;
  }
  void placementRoundTrip() {
    QFETCH(int, state);
    QFile ini(QString::fromStdString(GlobalShared::getIniPath()));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Pelko Editor]\r\nWindowstate= " + QByteArray::number(state) + "\r\nLeft= 1500\r\nWidth= 15000\r\nTop= 1500\r\nHeight= 9000\r\n");
    ini.close();
    FEditor next;
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    if (state == 2) {
      QTRY_VERIFY(next.isMaximized());
      next.showNormal();
    }
    QTRY_VERIFY(std::abs(Twips::fromPixels(next.frameGeometry().width()) - 15000) <= 15);
    QVERIFY(std::abs(Twips::fromPixels(next.frameGeometry().height()) - 9000) <= 15);
    QVERIFY(next.frameGeometry() != next.geometry());  // the platform gave it a frame
    next.close();
    QCOMPARE(GlobalShared::readIniString("Pelko Editor", "Width", "", GlobalShared::getIniPath()), std::string("15000"));
    QCOMPARE(GlobalShared::readIniString("Pelko Editor", "Height", "", GlobalShared::getIniPath()), std::string("9000"));
  }

  void namesToggle() {
    w->setFileType(1);
    auto* slide = find<QPushButton>(QStringLiteral("cmdSlide"));
    slide->click();
    QVERIFY(w->HideNames());
    QCOMPARE(slide->text(), QString(QChar(187)));
    QCOMPARE(slide->toolTip(), QStringLiteral("click to show names column"));
    auto* button2 = find<QRadioButton>(QStringLiteral("optLockFields_2"));
    QCOMPARE(button2->text(), QStringLiteral("2"));
    QVERIFY(std::abs(Twips::width(button2) - 245) <= 15);
    w->setFileType(2);  // set while hidden: the tag changes, the caption does not
    QCOMPARE(button2->text(), QStringLiteral("2"));
    slide->click();
    QCOMPARE(button2->text(), QStringLiteral("User-Defined [# to #]"));
    QCOMPARE(find<QRadioButton>(QStringLiteral("optLockFields_1"))->text(), QStringLiteral("Show All Fields [1 to 28]"));
    QVERIFY(std::abs(Twips::width(button2) - 2355) <= 15);
  }

  void refillByKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("headerHint");
    QTest::addColumn<QString>("name");
    QTest::newRow("unit") << 1 << " 1\nh1f1\nh2f1\nh3f1" << "h3f1" << "r1f1";
    QTest::newRow("building") << 2 << " 1\nh1f1\nh2f1\nh3f1" << "h2f1" << "r1f2";
    QTest::newRow("projectile") << 3 << " 1\nh1f1" << "h1f1" << "r1f1";
  }
  void refillByKind() {
    QFETCH(int, kind);
    load(kind, 100);
    auto* header = find<HeaderBox>(QStringLiteral("txtColumn_0"));
    QCOMPARE(header->toPlainText(), fetched<QString>("header"));
    QCOMPARE(header->toolTip(), fetched<QString>("headerHint"));
    QCOMPARE(text(QStringLiteral("lblRow_0")), fetched<QString>("name"));
    QCOMPARE(text(QStringLiteral("lblRowNo_0")), QStringLiteral("1"));
    QCOMPARE(text(QStringLiteral("lblRowNo_1")), QStringLiteral("2"));
    QCOMPARE(text(QStringLiteral("lblUnitNo")), QStringLiteral("1"));
    QCOMPARE(text(QStringLiteral("txtField_1")), QStringLiteral("r1f2"));
    QCOMPARE(find(QStringLiteral("txtField_1"))->toolTip(), QStringLiteral("h1f2"));
    QCOMPARE(bar("vsbUnits2display")->minimum(), kind == 3 ? 2 : 5);
    // The last position shows the last record in the bottom row.
    QScrollBar* vertical = bar("vsbUnits2display");
    vertical->setValue(vertical->maximum());
    int bottom = 0;
    while (visible(QStringLiteral("lblRow_%1").arg(bottom + 1))) ++bottom;
    QCOMPARE(text(QStringLiteral("lblRowNo_%1").arg(bottom)), QStringLiteral("100"));
    QCOMPARE(text(QStringLiteral("lblUnitNo")), QString::number(100 - bottom));
  }

  // The bars are tab stops: past the last cell Tab reaches them, and the keys page.
  void keyboardPages() {
    load(2, 100);
    QScrollBar* vertical = bar("vsbUnits2display");
    QVERIFY(vertical->focusPolicy() & Qt::TabFocus);
    vertical->setFocus(Qt::TabFocusReason);
    QTest::keyClick(vertical, Qt::Key_PageDown);
    QCOMPARE(vertical->value(), 5 + vertical->pageStep());
    QCOMPARE(text(QStringLiteral("lblRowNo_0")), QString::number(1 + vertical->pageStep()));
    QVERIFY(bar("hsbFields2Display")->focusPolicy() & Qt::TabFocus);
  }

  void columnWidths() {
    load(1, 40);
    const int gridWidth = Twips::width(find(QStringLiteral("hsbFields2Display")));
    // Field 11 is always as wide as the grid, and alone when the grid starts at it.
    bar("hsbFields2Display")->setValue(11);
    QCOMPARE(text(QStringLiteral("lblFieldNo")), QStringLiteral("11"));
    QVERIFY(visible(QStringLiteral("txtColumn_0")) && !visible(QStringLiteral("txtColumn_1")));
    QVERIFY(std::abs(Twips::width(find(QStringLiteral("txtColumn_0"))) - gridWidth) <= 15);
    QVERIFY(!visible(QStringLiteral("txtField_1")));
    // From field 1 the last column shown is cut off by the grid's edge.
    bar("hsbFields2Display")->setValue(1);
    int last = 0;
    while (visible(QStringLiteral("txtColumn_%1").arg(last + 1))) ++last;
    QVERIFY(last >= 1);
    QWidget* lastHeader = find(QStringLiteral("txtColumn_%1").arg(last));
    QVERIFY(Twips::left(lastHeader) + Twips::width(lastHeader) > gridWidth);
    QVERIFY(Twips::left(lastHeader) < gridWidth);
    // At the last display column only that column is shown.
    bar("hsbFields2Display")->setValue(71);
    QVERIFY(visible(QStringLiteral("txtColumn_0")) && !visible(QStringLiteral("txtColumn_1")));
    QCOMPARE(text(QStringLiteral("txtColumn_0")).section(QLatin1Char('\n'), 0, 0), QStringLiteral(" 71"));
  }

  void fewerRecordsThanRows() {
    load(2, 3);
    QVERIFY(visible(QStringLiteral("lblRow_2")) && !visible(QStringLiteral("lblRow_3")));
    QVERIFY(visible(QStringLiteral("txtField_%1").arg(39 * 2)) && !visible(QStringLiteral("txtField_%1").arg(39 * 3)));
    resizeOuter(14000, 9000);
    QCOMPARE(text(QStringLiteral("lblRow_2")), QStringLiteral("r3f2"));
    load(2, 0);  // header rows only
    QVERIFY(!visible(QStringLiteral("lblRow_0")));
  }

  void resizeRebuildsWhatChanged() {
    load(2, 200);
    resizeOuter(12000, 8500);
    w->record().setField(2, 5, "renamed");   // row name of the first row
    w->record().setField(1, 1, "retitled");  // header text of the first column
    w->record().setField(3, 5, "edited");    // a cell
    resizeOuter(12000, 9000);                // height only: rows and cells
    QCOMPARE(text(QStringLiteral("lblRow_0")), QStringLiteral("renamed"));
    QCOMPARE(text(QStringLiteral("txtColumn_0")).section(QLatin1Char('\n'), 1, 1), QStringLiteral("h1f1"));
    QCOMPARE(text(QStringLiteral("txtField_2")), QStringLiteral("edited"));
    w->record().setField(2, 5, "again");
    resizeOuter(13000, 9000);  // width only: columns and cells
    QCOMPARE(text(QStringLiteral("txtColumn_0")).section(QLatin1Char('\n'), 1, 1), QStringLiteral("retitled"));
    QCOMPARE(text(QStringLiteral("lblRow_0")), QStringLiteral("renamed"));
  }

  void dragWithoutScrollUpdate() {
    load(3, 200);
    find<QCheckBox>(QStringLiteral("chkScrollUpdate_1"))->setChecked(false);
    QScrollBar* vertical = bar("vsbUnits2display");
    vertical->setSliderDown(true);
    vertical->setSliderPosition(50);
    QCOMPARE(text(QStringLiteral("lblUnitNo")), QStringLiteral("49"));
    QCOMPARE(text(QStringLiteral("lblRowNo_0")), QStringLiteral("1"));
    vertical->setSliderDown(false);
    QCOMPARE(text(QStringLiteral("lblRowNo_0")), QStringLiteral("49"));
    find<QCheckBox>(QStringLiteral("chkScrollUpdate_1"))->setChecked(true);
    vertical->setSliderDown(true);
    vertical->setSliderPosition(60);
    QCOMPARE(text(QStringLiteral("lblRowNo_0")), QStringLiteral("59"));
    vertical->setSliderDown(false);
  }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
