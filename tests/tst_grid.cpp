#include <QToolTip>

#include "EditorFixture.h"

using namespace DataText;

// The grid: its layout at any size, the header rows, names and numbers each kind shows, paging
// with the bars and the wheel, and the window's place kept between runs.
class TestGrid : public QObject, EditorFixture {
  Q_OBJECT

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  // At the smallest size and with the names hidden no button or bar covers another or lies outside
  // the window, the status line stays above the grid, and the last unit can be scrolled into view.
  void layoutAtSmallSizes_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("hideNames");
    QTest::newRow("below the minimum") << 3000 << 2000 << false;
    QTest::newRow("designed size, names hidden") << 12000 << 8500 << true;
  }
  void layoutAtSmallSizes() {
    load(2, 30);
    resizeOuter(28800, 16000);  // all units fit: a larger window must freeze nothing
    if (fetched<bool>("hideNames")) find<QPushButton>(QStringLiteral("cmdSlide"))->click();
    find<QLabel>(QStringLiteral("lblStatusBar"))->setProperty("Tag", QStringLiteral("a long status text ").repeated(30));
    resizeOuter(fetched<int>("width"), fetched<int>("height"));
    shoot(w, QStringLiteral("small-window.png"));
    QVERIFY(find(QStringLiteral("lblStatusBar"))->geometry().bottom() < find(QStringLiteral("fraDisplay"))->y());
    QStringList misplaced;
    for (QWidget* control : w->findChildren<QWidget*>()) {  // the named ones: a text box's own bars are clipped
      const bool clickable = qobject_cast<QAbstractButton*>(control) || qobject_cast<QScrollBar*>(control);
      if (!clickable || control->objectName().isEmpty() || !control->isVisibleTo(w)) continue;
      const QRect box(control->mapTo(w, QPoint()), control->size());
      QWidget* top = w->childAt(box.center());
      if (!w->rect().contains(box) || (top != control && !control->isAncestorOf(top))) misplaced << control->objectName();
    }
    QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QStringLiteral(", "))));
    bar("vsbUnits2display")->setValue(bar("vsbUnits2display")->maximum());
    QCOMPARE(text(QStringLiteral("lblRowNo_%1").arg(rowsShown() - 1)), QStringLiteral("30"));
  }

  // Each kind's header rows, hints and first unit; the bar's last position shows the last unit
  // in the bottom row, also when only one or two units lie below the first page.
  void refillByKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("belowFirstPage");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("headerHint");
    QTest::addColumn<QString>("name");
    QTest::newRow("unit") << 1 << 60 << " 1\nh1f1\nh2f1\nh3f1" << "h3f1" << "r1f1";
    QTest::newRow("building, one unit below the page") << 2 << 1 << " 1\nh1f1\nh2f1\nh3f1" << "h2f1" << "r1f2";
    QTest::newRow("projectile, two units below the page") << 3 << 2 << " 1\nh1f1" << "h1f1" << "r1f1";
  }
  void refillByKind() {
    QFETCH(int, kind);
    load(3, 100);  // scrolled to where a unit file's first unit is: the unit number must change all the same
    bar("vsbUnits2display")->setValue(5);
    load(kind, 100);
    QCOMPARE(text(QStringLiteral("lblUnitNo")), QStringLiteral("1"));
    const int rows = rowsShown(), units = rows + fetched<int>("belowFirstPage");
    load(kind, units);
    QCOMPARE(text(QStringLiteral("txtColumn_0")), fetched<QString>("header"));
    QCOMPARE(find(QStringLiteral("txtColumn_0"))->toolTip(), fetched<QString>("headerHint"));
    QCOMPARE(text(QStringLiteral("lblRow_0")), fetched<QString>("name"));
    QCOMPARE(text(QStringLiteral("lblRowNo_1")), QStringLiteral("2"));
    QCOMPARE(text(QStringLiteral("txtField_1")), QStringLiteral("r1f2"));
    QCOMPARE(cell(1)->toolTip(), QStringLiteral("h1f2"));
    bar("vsbUnits2display")->setValue(bar("vsbUnits2display")->maximum());
    QCOMPARE(rowsShown(), rows);  // the last page is as full as the first
    QCOMPARE(text(QStringLiteral("lblRowNo_%1").arg(rows - 1)), QString::number(units));
    QCOMPARE(text(QStringLiteral("lblUnitNo")), QString::number(units - rows + 1));
  }

  // The stored size is the outer one, frame included, and it comes back as it was stored.
  void placementRoundTrip() {
    QVERIFY(writeFile(QString::fromStdString(GlobalShared::getIniPath()),
                      "[Pelko Editor]\r\nWindowstate= 0\r\nLeft= 1500\r\nWidth= 15000\r\nTop= 1500\r\nHeight= 9000\r\n"));
    FEditor next;
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QTRY_VERIFY(std::abs(Twips::fromPixels(next.frameGeometry().height()) - 9000) <= 15);
    QVERIFY(next.frameGeometry() != next.geometry());  // the platform gave it a frame
    next.close();
    QCOMPARE(GlobalShared::readIniString("Pelko Editor", "Height", "", GlobalShared::getIniPath()), std::string("9000"));
  }

  // Unit numbers of any length are shown whole, beside the names or with them hidden; hidden
  // names leave the range buttons' numbers readable and the difference count in view, and a kind
  // loaded meanwhile shows its captions when the names come back.
  void numbersShownWhole_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<bool>("hideNames");
    QTest::newRow("two digits") << 60 << false;
    QTest::newRow("six digits") << 100000 << false;
    QTest::newRow("six digits, names hidden") << 100000 << true;
  }
  void numbersShownWhole() {
    QFETCH(int, units);
    const QByteArray file = "numb" + dataFile(2, units);
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), QByteArray(file).replace("\tr1f3\t", "\told3\t")));
    auto* slide = find<QPushButton>(QStringLiteral("cmdSlide"));
    w->setFileType(1);
    if (fetched<bool>("hideNames")) slide->click();
    loadText(2, file);
    bar("vsbUnits2display")->setValue(bar("vsbUnits2display")->maximum());
    const auto whole = [](QWidget* widget) {
      const auto* label = qobject_cast<QLabel*>(widget);
      const int needed = label ? label->fontMetrics().horizontalAdvance(label->text()) : widget->sizeHint().width();
      return widget->isVisibleTo(widget->window()) && needed <= widget->width();
    };
    QCOMPARE(text(QStringLiteral("lblRowNo_%1").arg(rowsShown() - 1)), QString::number(units));
    QVERIFY(whole(find(QStringLiteral("lblRowNo_%1").arg(rowsShown() - 1))));
    QVERIFY(whole(find(QStringLiteral("lblUnitNo"))));
    QVERIFY(whole(differences()));
    const auto right = [this](const char* name) { return find(QLatin1String(name))->geometry().right(); };
    const auto left = [this](const char* name) { return find(QLatin1String(name))->geometry().left(); };
    QVERIFY(right("lblRowNo_0") < (fetched<bool>("hideNames") ? left("fraDisplay") : left("lblRow_0")));
    QVERIFY(right("lblDifferences") < left("lblFieldNo") && right("lblFieldNo") <= left("hsbFields2Display"));
    QVERIFY(right("fraDisplay") < left("lblUnitNo") && right("lblUnitNo") < find(QStringLiteral("fraMain"))->width());
    for (int k = 1; k <= 6 && fetched<bool>("hideNames"); ++k) {
      QCOMPARE(option(k)->text(), QString::number(k));
      QVERIFY(whole(option(k)) && option(k)->geometry().right() < left("fraDisplay"));
    }
    if (fetched<bool>("hideNames")) slide->click();
    QCOMPARE(option(2)->text(), QStringLiteral("User-Defined [# to #]"));
  }

  // The panel counts units, not header rows, and its bar grows with the work done.
  void progressShowsTheParse() {
    w->setFileType(2);
    w->mRecord_unitLoaded(64, 1000, 500);
    QCOMPARE(text(QStringLiteral("lblUnitsLoaded")), QStringLiteral("60"));
    QCOMPARE(Twips::width(find(QStringLiteral("shpProgressBar"))), 6630 / 2);
  }

  void fewerRecordsThanRows() {
    load(2, 3);
    QVERIFY(visible(QStringLiteral("lblRow_2")) && !visible(QStringLiteral("lblRow_3")));
    QVERIFY(visible(QStringLiteral("txtField_%1").arg(39 * 2)) && !visible(QStringLiteral("txtField_%1").arg(39 * 3)));
    load(2, 0);  // header rows only
    QVERIFY(!visible(QStringLiteral("lblRow_0")));
  }

  // Each bar's option: unchecked, a drag only moves the number until the thumb is released.
  void dragWithScrollUpdate_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("live");
    QTest::newRow("units, deferred") << true << false;
    QTest::newRow("fields, live") << false << true;
  }
  void dragWithScrollUpdate() {
    QFETCH(bool, vertical);
    QFETCH(bool, live);
    load(3, 200);
    find<QCheckBox>(QStringLiteral("chkScrollUpdate_%1").arg(vertical ? 1 : 0))->setChecked(live);
    find<QCheckBox>(QStringLiteral("chkScrollUpdate_%1").arg(vertical ? 0 : 1))->setChecked(!live);
    QScrollBar* dragged = bar(vertical ? "vsbUnits2display" : "hsbFields2Display");
    const QString number = QLatin1String(vertical ? "lblUnitNo" : "lblFieldNo");
    const auto first = [&] {
      return vertical ? text(QStringLiteral("lblRowNo_0")) : text(QStringLiteral("txtColumn_0")).section(QLatin1Char('\n'), 0, 0).trimmed();
    };
    dragged->setSliderDown(true);
    dragged->setSliderPosition(20);
    const QString shown = vertical ? QStringLiteral("19") : QStringLiteral("20");
    QCOMPARE(text(number), shown);
    QCOMPARE(first(), live ? shown : QStringLiteral("1"));
    dragged->setSliderDown(false);
    QCOMPARE(first(), shown);
  }

  // The wheel over the grid pages units by the platform's lines a notch (three here); with Shift,
  // or turned sideways, it goes through fields; a touchpad's parts of a notch add up.
  void wheel_data() {
    QTest::addColumn<QPoint>("delta");  // angleDelta, sent `times` times
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("times");
    QTest::addColumn<int>("units");  // how far the first unit and field shown move
    QTest::addColumn<int>("fields");
    QTest::newRow("a notch down") << QPoint(0, -120) << false << 1 << 3 << 0;
    QTest::newRow("two notches up") << QPoint(0, 240) << false << 1 << -6 << 0;
    QTest::newRow("Shift and a notch down") << QPoint(0, -120) << true << 1 << 0 << 3;
    QTest::newRow("sideways") << QPoint(-120, 0) << false << 1 << 0 << 3;
    QTest::newRow("a touchpad's sixths of a notch") << QPoint(0, -20) << false << 4 << 2 << 0;
  }
  void wheel() {
    load(2, 60);
    bar("vsbUnits2display")->setValue(20);
    bar("hsbFields2Display")->setValue(5);
    QFETCH(QPoint, delta);
    const Qt::KeyboardModifiers modifiers = fetched<bool>("shift") ? Qt::ShiftModifier : Qt::NoModifier;
    for (int turn = 0; turn < fetched<int>("times"); ++turn) {
      QWheelEvent wheel(QPointF(5, 5), cell(40)->mapToGlobal(QPointF(5, 5)), QPoint(), delta, Qt::NoButton, modifiers,
                        Qt::NoScrollPhase, false);
      // As the platform delivers it: only such a wheel goes on to the parents while they ignore it.
      QSpontaneKeyEvent::setSpontaneous(&wheel);
      qApp->notify(cell(40), &wheel);
    }
    QCOMPARE(bar("vsbUnits2display")->value(), 20 + fetched<int>("units"));
    QCOMPARE(bar("hsbFields2Display")->value(), 5 + fetched<int>("fields"));
    QCOMPARE(text(QStringLiteral("lblRowNo_0")), QString::number(20 + fetched<int>("units") - 4));
  }

  // The hint where the mouse rests: over a header, how to change the column's width within 30
  // twips of its left edge and 300 of its right (its bar included), its own text between; over a
  // cell, the focused one too, how to change the width at its edge, its own hint within.
  void hoverHints_data() {
    QTest::addColumn<QString>("over");   // "header", "cell" or "focused cell", of field 2
    QTest::addColumn<QString>("where");  // a place in it
    QTest::addColumn<QString>("hint");
    const QString width = QStringLiteral("right-click in field to change display width");
    const QString header = QStringLiteral("right-click in column header (above) to change display width");
    QTest::newRow("header, its left edge") << "header" << "0" << width;
    QTest::newRow("header, 45 twips in") << "header" << "45" << "h2f2";
    QTest::newRow("header, 280 twips from its right edge") << "header" << "-280" << width;
    QTest::newRow("header, on its scroll bar") << "header" << "-60" << width;
    QTest::newRow("cell, its left edge") << "cell" << "0" << header;
    QTest::newRow("cell, its middle") << "cell" << "middle" << "h1f2";
    QTest::newRow("focused cell, its left edge") << "focused cell" << "0" << header;
    QTest::newRow("focused cell, its middle") << "focused cell" << "middle" << "h1f2";
  }
  void hoverHints() {
    QFETCH(QString, over);
    QFETCH(QString, where);
    load(2, 3);
    resizeOuter(28800, 16000);
    if (over == QLatin1String("focused cell")) focusCell(1);
    QWidget* control = over == QLatin1String("header") ? find(QStringLiteral("txtColumn_1")) : cell(over == QLatin1String("cell") ? 40 : 1);
    const int x = where == QLatin1String("middle") ? control->width() / 2
                  : where.startsWith(QLatin1Char('-')) ? control->width() + Twips::toPixels(where.toInt())
                                                       : Twips::toPixels(where.toInt());
    const QPoint at = control->mapTo(w, QPoint(x, control->height() / 2));
    QTest::mouseMove(w->windowHandle(), at);  // as the platform moves it: only to widgets that track it
    QWidget* under = w->childAt(at);
    QVERIFY(under);
    QToolTip::showText(w->mapToGlobal(at), QStringLiteral("none"));
    QHelpEvent rest(QEvent::ToolTip, under->mapFrom(w, at), w->mapToGlobal(at));
    QApplication::sendEvent(under, &rest);
    QCOMPARE(QToolTip::text(), fetched<QString>("hint"));
  }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
