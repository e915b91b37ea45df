#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include "CodePage.h"
#include "COpClDialog.h"
#include "DataText.h"
#include "EditJournal.h"
#include "EditorWindow.h"
#include "Fetch.h"
#include "FileBytes.h"
#include "FPrompt.h"
#include "FSetRange.h"
#include "GridCell.h"
#include "HeaderBox.h"
#include "PlatformQt.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "Shots.h"
#include "Twips.h"

using namespace DataText;

namespace {

const QString kUnits = QStringLiteral("crusaders_unit_prod11.txt");
const QString kBuildings = QStringLiteral("crusader_build_prod13.txt");
const QString kProjectiles = QStringLiteral("ProjectileStats.txt");
const QString kUnitSection = QStringLiteral("Unit_Prod11");

// Each handler adds what its dialog showed to `seen`: "title" or "title|text".
std::function<void(QMessageBox*)> pressInBox(QMessageBox::StandardButton button, QStringList& seen) {
  return [button, &seen](QMessageBox* box) {
    seen << box->windowTitle() + QLatin1Char('|') + box->text();
    press(box->button(button));
  };
}
std::function<void(FPrompt*)> chooseKind(int kind, QStringList& seen) {
  return [kind, &seen](FPrompt* prompt) {
    seen << prompt->windowTitle() + QLatin1Char('|') + prompt->findChild<QLabel*>(QStringLiteral("lblCaption"))->text();
    shoot(prompt, prompt->windowTitle() + QStringLiteral(".png"));
    if (kind == 0) prompt->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
    else prompt->findChild<QToolButton*>(QStringLiteral("cmdLaunch_%1").arg(kind))->click();
  };
}
// An empty path cancels the dialog.
std::function<void(QFileDialog*)> chooseFile(const QString& path, QStringList& seen, std::function<void()> whileOpen = {}) {
  return [path, &seen, whileOpen](QFileDialog* dialog) {
    seen << dialog->windowTitle();
    shoot(dialog, dialog->windowTitle().replace(QRegularExpression(QStringLiteral("[^A-Za-z]+")), QStringLiteral("-")) + QStringLiteral(".png"));
    if (whileOpen) whileOpen();
    if (path.isEmpty()) return dialog->reject();
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    static_cast<QDialog*>(dialog)->accept();
  };
}
// Types a range (and a caption, unless null) and presses the dialog's buttons in order while it is open.
std::function<void(FSetRange*)> rangeDialog(const QString& range, const QString& caption, QList<int> buttons) {
  return [=](FSetRange* dialog) {
    dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->setText(range);
    if (!caption.isNull()) dialog->findChild<QLineEdit*>(QStringLiteral("txtCaption2display"))->setText(caption);
    for (int index : buttons)
      if (dialog->isVisible()) dialog->findChild<QPushButton*>(QStringLiteral("cmdOkCancelApply_%1").arg(index))->click();
  };
}

// A clipboard owner that answers one request for its text and nothing after it.
class OneRequestClipboard : public QMimeData {
 public:
  explicit OneRequestClipboard(QString text) : mText(std::move(text)) {}
  QStringList formats() const override { return {QStringLiteral("text/plain")}; }
  bool hasFormat(const QString& format) const override { return format == QStringLiteral("text/plain"); }
  mutable int requests = 0;

 protected:
  QVariant retrieveData(const QString& format, QMetaType) const override {
    if (format != QStringLiteral("text/plain")) return {};
    return ++requests == 1 ? QVariant(mText) : QVariant();
  }

 private:
  QString mText;
};

}  // namespace

// The editor window: the grid's paging, labels and editing; what a modder does beside editing (the
// values that differ from the game's default copy, undo and redo across cells, find); the file
// actions; and the editor's dialogs (ranges, widths, the kind prompt, open and save).
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
    return find<GridCell>(name)->text();
  }
  bool visible(const QString& name) const { return find(name)->isVisibleTo(w); }
  QScrollBar* bar(const char* name) const { return find<QScrollBar>(QLatin1String(name)); }
  GridCell* cell(int index) const { return find<GridCell>(QStringLiteral("txtField_%1").arg(index)); }
  QPlainTextEdit* editor() const { return find<QPlainTextEdit>(QStringLiteral("cellEditor")); }
  std::string field(int record, int column) const { return w->record().returnArrayFieldXUnit(record, column, 1, 1)[0][0]; }
  int rowsShown() const {
    int rows = 0;
    while (visible(QStringLiteral("lblRow_%1").arg(rows))) ++rows;
    return rows;
  }

  // Loads the text as a file of the kind, through the editor's load (and so its default copy).
  void loadText(int kind, const QByteArray& text) {
    QVERIFY(writeFile(mWindow.path(QStringLiteral("mod.txt")), text));
    QVERIFY(w->LoadRecord(mWindow.path(QStringLiteral("mod.txt")).toStdString(), kind));
  }
  void load(int kind, int units, const QByteArray& unitLines = {}) { loadText(kind, dataFile(kind, units, unitLines)); }
  void resizeOuter(int width, int height) {  // in twips
    const QSize frame = w->frameGeometry().size() - w->size();
    w->resize(Twips::toPixels(width) - frame.width(), Twips::toPixels(height) - frame.height());
  }
  // The cell showing the record's field (range 1 selected), the bars where they stand.
  GridCell* cellOf(int record, int field) const {
    return cell(39 * (record - bar("vsbUnits2display")->value()) + field - bar("hsbFields2Display")->value());
  }
  void focusCell(int index) {
    cell(index)->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(editor()->hasFocus());
  }
  void leaveCell() {
    bar("vsbUnits2display")->setFocus();
    QTRY_VERIFY(!editor()->isVisible());
  }
  // Replaces a cell's value by typing; leaves the cell when asked: one finished edit.
  void edit(int record, int field, const QString& text, bool leave = true) {
    cellOf(record, field)->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(editor()->hasFocus());
    editor()->selectAll();
    QTest::keyClicks(editor(), text);
    if (leave) leaveCell();
  }
  void key(QKeyCombination keys) { QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers()); }
  // Every marked cell of the page as "record:field", in the grid's order.
  QStringList marked() const {
    QStringList cells;
    for (int r = 5; r <= w->record().NoUnits(); ++r)
      for (int f = 1; f <= 28; ++f)
        if (!cellOf(r, f)->isHidden() && cellOf(r, f)->differs()) cells << QStringLiteral("%1:%2").arg(r).arg(f);
    return cells;
  }
  // The title as the platform shows it, the "[*]" mark resolved.
  QString shownTitle() const { return w->windowHandle()->title(); }
  QLabel* differences() const { return find<QLabel>(QStringLiteral("lblDifferences")); }
  // Reverts the cell being edited, the record's field, from its menu; the edit goes on.
  void revertFromMenu(int record, int field) {
    ModalAnswerer answerer;
    answerer.then<QMenu>([](QMenu* menu) {
      for (QAction* action : menu->actions())
        if (action->text() == QStringLiteral("Revert to Default Value")) action->trigger();
      menu->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), editor()->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(cellOf(record, field), &click);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    // The offscreen platform may leave no window active once the menu is gone, where a desktop
    // gives the activation back.
    w->activateWindow();
    QTRY_VERIFY(editor()->hasFocus());
    QFocusEvent toAMenu(QEvent::FocusOut, Qt::PopupFocusReason);  // as a desktop's menu takes it
    QApplication::sendEvent(editor(), &toAMenu);
  }
  // The journals of unsaved edits in the window's state folder, moved-aside ones too.
  QStringList journals() const { return QDir(mWindow.journals()).entryList({QStringLiteral("*.journal")}, QDir::Files); }

  QPushButton* button(int index) const { return find<QPushButton>(QStringLiteral("cmdFileActions_%1").arg(index)); }
  QCheckBox* autoDetect() const { return find<QCheckBox>(QStringLiteral("chkAutoDetect")); }
  QString status() const { return find<QLabel>(QStringLiteral("lblStatusBar"))->text(); }
  // A copy of the sample in the window's folder, under the sample's name or another.
  QString copyOfSample(const QString& name, const QString& as = {}) const {
    const QString path = mWindow.path(as.isEmpty() ? name : as);
    return QFile::copy(samplePath(name), path) ? path : QString();
  }
  std::string ini(const QString& section, const char* key) const {
    return GlobalShared::readIniString(section.toStdString(), key, "absent", GlobalShared::getIniPath());
  }
  void loadAndEdit(const QString& path) {
    QVERIFY(w->LoadRecord(CodePage::toPath(path), 0));
    focusCell(0);
    QTest::keyClicks(editor(), QStringLiteral("7"));
    QVERIFY(w->dataChanged());
  }
  static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  bool gridShown() const { return find(QStringLiteral("fraMain"))->isVisibleTo(w); }

  QRadioButton* option(int k) const { return find<QRadioButton>(QStringLiteral("optLockFields_%1").arg(k)); }
  static void rightPress(QWidget* widget) { QTest::mousePress(widget, Qt::RightButton, {}, QPoint(4, 4)); }
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
  // Sets a width in a column's box, opened with a right-click or the Menu key (a null answer cancels
  // it); returns the box's title, prompt and offer.
  QStringList widthBox(const QString& answer, int column = 2, bool byKey = false) {
    QStringList shown;
    ModalAnswerer answerer;
    answerer.then<QInputDialog>([&](QInputDialog* box) {
      shown << box->windowTitle() << box->labelText() << box->textValue();
      if (answer.isNull()) return box->reject();
      box->setTextValue(answer);
      box->accept();
    });
    auto* header = find<HeaderBox>(QStringLiteral("txtColumn_%1").arg(column));
    header->setFocus(Qt::TabFocusReason);
    if (byKey) QTest::keyClick(header, Qt::Key_Menu);
    else rightPress(header->viewport());
    return shown;
  }

 private slots:
  void init() {
    PlatformQt::install();
    w = mWindow.open();
  }
  void cleanup() { mWindow.close(); }

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

  // Hidden names show the range buttons' numbers; a kind set meanwhile shows its captions later.
  void namesToggle() {
    w->setFileType(1);
    auto* slide = find<QPushButton>(QStringLiteral("cmdSlide"));
    auto* button2 = find<QRadioButton>(QStringLiteral("optLockFields_2"));
    slide->click();
    QVERIFY(w->HideNames());
    QCOMPARE(button2->text(), QStringLiteral("2"));
    w->setFileType(2);
    QCOMPARE(button2->text(), QStringLiteral("2"));
    slide->click();
    QCOMPARE(button2->text(), QStringLiteral("User-Defined [# to #]"));
  }

  // Unit numbers of any length are shown whole, beside the names or with them hidden; hidden
  // names leave the range buttons' numbers readable and the difference count in view.
  void numbersShownWhole_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<bool>("hideNames");
    QTest::newRow("two digits") << 60 << false;
    QTest::newRow("six digits") << 100000 << false;
    QTest::newRow("six digits, names hidden") << 100000 << true;
    QTest::newRow("two digits, names hidden") << 60 << true;
  }
  void numbersShownWhole() {
    QFETCH(int, units);
    const QByteArray file = "numb" + dataFile(2, units);
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), QByteArray(file).replace("\tr1f3\t", "\told3\t")));
    loadText(2, file);
    if (fetched<bool>("hideNames")) find<QPushButton>(QStringLiteral("cmdSlide"))->click();
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

  void typingWritesThrough() {
    load(2, 2);
    focusCell(39 + 1);  // row 1, column 1: record 6, field 2, the unit's name
    QCOMPARE(find<QLabel>(QStringLiteral("lblRowNo_1"))->backgroundRole(), QPalette::ToolTipBase);
    QTest::keyClicks(editor(), QStringLiteral("new"));
    editor()->insertPlainText(QString(QChar(0xe9)));  // text that is not typed is not filtered
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);  // undo within the cell reaches the store too
    QCOMPARE(field(6, 2), std::string("r2f2"));
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // and so does redo
    QTest::keyClick(editor(), Qt::Key_Return);  // discarded
    QCOMPARE(field(6, 2), std::string("new\xe9"));
    QCOMPARE(cell(39 + 1)->text(), QStringLiteral("new") + QChar(0xe9));
    QCOMPARE(text(QStringLiteral("lblRow_1")), QStringLiteral("new") + QChar(0xe9));
    QCOMPARE(find(QStringLiteral("lblRowNo_1"))->toolTip(), text(QStringLiteral("lblRow_1")));
    QVERIFY(w->dataChanged());
    editor()->clear();  // emptying stores the empty text
    QCOMPARE(field(6, 2), std::string());
    leaveCell();
    QCOMPARE(w->lastSelectedIndex(), -1);  // a bar with the focus forgets the cell
    QCOMPARE(find<QLabel>(QStringLiteral("lblRowNo_1"))->backgroundRole(), QPalette::Button);
  }

  // Paging, and a click that places the caret, are no edit; typing after the click adds to the value.
  void clickAndPagingAreNoEdit() {
    load(2, 100);
    bar("vsbUnits2display")->setValue(20);
    bar("hsbFields2Display")->setValue(3);
    bar("hsbFields2Display")->setValue(1);
    bar("vsbUnits2display")->setValue(5);
    QTest::mouseClick(cell(1), Qt::LeftButton, {}, QPoint(cell(1)->width() - 4, 6));
    QTRY_VERIFY(editor()->hasFocus());
    QVERIFY(!editor()->textCursor().hasSelection());
    leaveCell();
    QVERIFY(!w->dataChanged());
    QTest::mouseClick(cell(1), Qt::LeftButton, {}, QPoint(cell(1)->width() - 4, 6));
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QCOMPARE(field(5, 2), std::string("r1f2x"));
  }

  // Typing one character changes that character alone: line ends, non-breaking spaces and every
  // other byte of the value stay as loaded.
  void editsKeepUntouchedBytes_data() {
    QTest::addColumn<QByteArray>("value");
    QByteArray high;
    for (int b = 0x80; b <= 0xff; ++b) high += char(b);
    QTest::newRow("quoted CR LF lines") << QByteArray("\"a\r\nb\r\nc\"");
    QTest::newRow("LF and a lone CR inside quotes") << QByteArray("\"a\nb\rc\"");
    QTest::newRow("every byte above 127") << high;
  }
  void editsKeepUntouchedBytes() {
    QFETCH(QByteArray, value);
    load(2, 0, record(QList<QByteArray>{value} + QList<QByteArray>(27, "z")));
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QCOMPARE(QByteArray::fromStdString(field(5, 1)), value + "x");
  }

  // A paste keeps its line ends; a character outside the code page becomes one "?", which the
  // cell then shows, and the status line says so.
  void pasteAndCharactersOutsideTheCodePage() {
    load(2, 1);
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral("\"p\r\nq\nr\""));
    editor()->paste();
    QCOMPARE(field(5, 1), std::string("r1f1\"p\r\nq\nr\""));
    editor()->insertPlainText(QString::fromUtf8("\xf0\x9f\x98\x80"));  // an emoji: two UTF-16 units
    QCOMPARE(field(5, 1), std::string("r1f1\"p\r\nq\nr\"?"));
    QCOMPARE(editor()->toPlainText(), QStringLiteral("r1f1\"p\nq\nr\"?"));
    QCOMPARE(text(QStringLiteral("lblStatusBar")), QStringLiteral("A character that the file's code page cannot hold was stored as \"?\"."));
  }

  // A paste is read from the clipboard once, as plain text, so that an owner that answers one
  // request (a program that serves the clipboard once and exits) pastes like any other; a paste
  // that would make the value longer than a record can hold changes nothing and says why.
  void pasteOnce_data() {
    QTest::addColumn<bool>("selectAll");  // else the caret is at the end of "r1f1"
    QTest::addColumn<int>("length");      // of the pasted "x..."
    QTest::addColumn<bool>("taken");
    QTest::newRow("a short paste") << false << 2 << true;
    QTest::newRow("the longest value a record can hold") << true << 39998 << true;
    QTest::newRow("one character more than a record with the value kept") << false << 39995 << false;
    QTest::newRow("one character more than a record") << true << 39999 << false;
    QTest::newRow("a megabyte") << true << 1000000 << false;
  }
  void pasteOnce() {
    QFETCH(int, length);
    QFETCH(bool, taken);
    load(2, 1);
    focusCell(0);
    if (!fetched<bool>("selectAll")) QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    const QString pasted(length, QLatin1Char('x'));
    auto* source = new OneRequestClipboard(pasted);
    QApplication::clipboard()->setMimeData(source);
    QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(source->requests, 1);
    const std::string before = fetched<bool>("selectAll") ? "" : "r1f1";
    QCOMPARE(field(5, 1), taken ? before + pasted.toStdString() : std::string("r1f1"));
    QCOMPARE(status().startsWith(QStringLiteral("Not pasted: the value would be")), !taken);
    QCOMPARE(w->dataChanged(), taken);
  }

  // A value that cannot be saved as it is gets a red frame and its reason, in the cell's hint
  // and in the status line, when the cell is left; mended, the mark goes.
  void unsaveableValueIsMarked() {
    load(2, 1);
    focusCell(2);
    QTest::keyClicks(editor(), QStringLiteral("\""));
    leaveCell();
    const QString reason = QStringLiteral("Cannot be saved as it is: Record 5 (\"r1f2\"), field 3: a double quote (\") without "
                                          "its partner would join the record with the lines after it.");
    QTRY_COMPARE(cell(2)->mark(), reason);
    QCOMPARE(cell(2)->toolTip(), reason);
    QCOMPARE(text(QStringLiteral("lblStatusBar")), reason);
    bar("hsbFields2Display")->setValue(2);  // a refill keeps it with its field
    QCOMPARE(cell(1)->mark(), reason);
    QVERIFY(cell(2)->isHidden() || cell(2)->mark().isEmpty());
    focusCell(1);
    QTest::keyClick(editor(), Qt::Key_Backspace);
    leaveCell();
    QTRY_COMPARE(cell(1)->mark(), QString());
  }

  // The keys of a grid: the focus moves along fields and units, scrolling as needed, and the
  // focused cell is fully in view with the edit box over it.
  void keyboard_data() {
    QTest::addColumn<int>("start");  // the record in row 0, whose first shown column has the focus
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("toRecord");
    QTest::addColumn<int>("toColumn");
    QTest::newRow("Tab at a unit's last field goes to the next unit") << 5 << 28 << int(Qt::Key_Tab) << 0 << 6 << 1;
    QTest::newRow("Shift+Tab at the first field goes to the unit before") << 6 << 1 << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 5 << 28;
    QTest::newRow("Tab past the shown columns scrolls by a field") << 5 << 1 << int(Qt::Key_Tab) << 0 << 5 << 2;
    QTest::newRow("Ctrl+Down") << 5 << 3 << int(Qt::Key_Down) << int(Qt::ControlModifier) << 6 << 3;
    QTest::newRow("Ctrl+Up at the first unit stays") << 5 << 3 << int(Qt::Key_Up) << int(Qt::ControlModifier) << 5 << 3;
    QTest::newRow("Ctrl+PageDown pages in the same field") << 5 << 3 << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << -1 << 3;
  }
  void keyboard() {
    QFETCH(int, start);
    QFETCH(int, toRecord);
    load(2, 60);
    resizeOuter(12000, 9000);
    bar("hsbFields2Display")->setValue(fetched<int>("column"));
    bar("vsbUnits2display")->setValue(start);
    if (toRecord < 0) toRecord = start + rowsShown();
    focusCell(0);
    QTest::keyClick(editor(), Qt::Key(fetched<int>("key")), Qt::KeyboardModifiers(fetched<int>("modifiers")));
    QTRY_VERIFY(editor()->hasFocus());
    QTest::keyClicks(editor(), QStringLiteral("X"));  // the keyboard selects the text: X replaces it
    QCOMPARE(field(toRecord, fetched<int>("toColumn")), std::string("X"));
    const QRect box = editor()->geometry();
    QVERIFY(box.left() >= 0 && box.right() < find(QStringLiteral("fraDisplay"))->width());
    QVERIFY(box.bottom() < find(QStringLiteral("fraDisplay"))->height());
  }

  // A cell that the grid's right edge cuts off comes wholly into view when clicked, as when Tab
  // reaches it, and the caret goes where it was clicked; a click in full view moves no page.
  void clickBringsTheCellIntoView_data() {
    QTest::addColumn<bool>("cutOff");
    QTest::newRow("the last column, cut off by the edge") << true;
    QTest::newRow("a column in full view") << false;
  }
  void clickBringsTheCellIntoView() {
    QFETCH(bool, cutOff);
    load(2, 3);
    const int gridWidth = find(QStringLiteral("fraDisplay"))->width();
    int last = 0;
    while (last + 1 < 39 && cell(last + 1)->isVisibleTo(w)) ++last;
    const int clicked = cutOff ? last : 1;
    QCOMPARE(cell(clicked)->geometry().right() >= gridWidth, cutOff);
    QTest::mouseClick(cell(clicked), Qt::LeftButton, {}, QPoint(3, 6));
    QTRY_VERIFY(editor()->hasFocus());
    const QRect box = editor()->geometry();
    QVERIFY(box.left() >= 0 && box.right() < gridWidth);
    QCOMPARE(bar("hsbFields2Display")->value() > 1, cutOff);
    QTest::keyClicks(editor(), QStringLiteral("X"));
    QCOMPARE(QString::fromStdString(field(5, clicked + 1)), QStringLiteral("Xr1f%1").arg(clicked + 1));
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
    QTest::newRow("header, its middle") << "header" << "middle" << "h2f2";
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

  // Tab at the last field of the last unit leaves the grid: the next keys reach no cell.
  void tabPastTheLastUnitLeavesTheGrid() {
    load(2, 2);
    bar("hsbFields2Display")->setValue(28);
    focusCell(39);  // row 1: record 6
    QTest::keyClick(editor(), Qt::Key_Tab);
    QTRY_VERIFY(!editor()->hasFocus());
    QWidget* now = QApplication::focusWidget();  // a control outside the grid, not a cell out of sight
    QVERIFY(now && now->isVisible() && !qobject_cast<GridCell*>(now));
    QTest::keyClicks(now, QStringLiteral("X"));
    QVERIFY(!w->dataChanged());
  }

  // The edit box keeps its field when the page moves under it, caret and all; when the field
  // leaves the page, the edit ends.
  void editBoxFollowsItsField() {
    load(2, 1);
    focusCell(1);  // record 5, field 2
    QTest::keyClicks(editor(), QStringLiteral("A"));
    bar("hsbFields2Display")->setValue(2);
    QCOMPARE(editor()->geometry().topLeft(), cell(0)->geometry().topLeft());
    QTest::keyClicks(editor(), QStringLiteral("B"));
    QCOMPARE(field(5, 2), std::string("AB"));
    bar("hsbFields2Display")->setValue(3);
    QVERIFY(!editor()->isVisible());
    QCOMPARE(field(5, 3), std::string("r1f3"));
  }


  // The default copy differs from the mod in record 6, field 3 ("old3" there, "r2f3" here). A
  // copy is taken for one when it starts as a building file does.
  void differenceMarks_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QString>("count");
    const QStringList loaded{QStringLiteral("6:3")};
    QTest::newRow("after the load") << QString() << loaded << QStringLiteral("1 differs from default");
    QTest::newRow("edited to the default value") << "old3" << QStringList() << QStringLiteral("0 differ from default");
    QTest::newRow("another value edited") << "x" << QStringList{QStringLiteral("6:3"), QStringLiteral("7:4")}
                                          << QStringLiteral("2 differ from default");
    QTest::newRow("reverted from the menu") << "revert" << QStringList() << QStringLiteral("0 differ from default");
    QTest::newRow("typed, reverted, both undone") << "revert undo" << loaded << QStringLiteral("1 differs from default");
  }
  void differenceMarks() {
    QFETCH(QString, action);
    QFETCH(QStringList, marks);
    const QByteArray copy = "numb" + dataFile(2, 3).replace("\tr2f3\t", "\told3\t");
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), copy));
    loadText(2, "numb" + dataFile(2, 3));
    resizeOuter(28800, 16000);
    if (action == QLatin1String("old3")) edit(6, 3, action);
    if (action == QLatin1String("x")) edit(7, 4, action);
    if (action.startsWith(QLatin1String("revert"))) {
      // Typing first, when the revert is undone: the typing is a step of its own.
      edit(6, 3, action.endsWith(QLatin1String("undo")) ? QStringLiteral("z") : QString(), false);
      revertFromMenu(6, 3);
      QVERIFY(editor()->isVisible());
      QCOMPARE(field(6, 3), std::string("old3"));
      QVERIFY(w->dataChanged());
    }
    if (action.endsWith(QLatin1String("undo"))) {
      key(Qt::CTRL | Qt::Key_Z);
      key(Qt::CTRL | Qt::Key_Z);
      QCOMPARE(field(6, 3), std::string("r2f3"));
    }
    QCOMPARE(marked(), marks);
    QCOMPARE(differences()->text(), fetched<QString>("count"));
    if (marks.contains(QStringLiteral("7:4")))
      QVERIFY(cellOf(7, 4)->hint().endsWith(QStringLiteral("Default value: r3f4")));
    QVERIFY(differences()->toolTip().endsWith(QStringLiteral("crusader_build_prod13.bak")));
  }

  // Records pair with the default copy's by unit name (field 2 of a building file): a unit
  // without a counterpart has no default, so no mark, and the count's hint says how many there
  // are. Each file is a list of units by their fields' prefix, a star giving field 3 the value
  // "old3". The action edits field 3 of the record given, or reverts it from the menu.
  void differencesOfPairedUnits_data() {
    QTest::addColumn<QByteArrayList>("copy");
    QTest::addColumn<QByteArrayList>("file");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("hint");  // after the copy's path
    const auto text = [](const char* latin1) { return QString::fromLatin1(latin1); };
    const QByteArrayList copy{"r1", "r2*", "r3"}, inserted{"r1", "n", "r2", "r3"};
    const QString one = text("1 differs from default"), added = text("\n1 unit of this file has no counterpart in the default copy.");
    QTest::newRow("same units") << copy << QByteArrayList{"r1", "r2", "r3"} << QString() << QStringList{text("6:3")} << one << QString();
    QTest::newRow("unit inserted") << copy << inserted << QString() << QStringList{text("7:3")} << one << added;
    QTest::newRow("unit inserted, then edited") << copy << inserted << text("edit 6") << QStringList{text("7:3")} << one << added;
    QTest::newRow("unit inserted, a paired value reverted")
        << copy << inserted << text("revert 7") << QStringList() << text("0 differ from default") << added;
    QTest::newRow("unit removed") << QByteArrayList{"r1", "r2", "r3*"} << QByteArrayList{"r1", "r3"} << QString()
                                  << QStringList{text("6:3")} << one << text("\n1 unit of the default copy has no counterpart in this file.");
    QTest::newRow("unit renamed beside an inserted one")
        << QByteArrayList{"r1", "x"} << QByteArrayList{"r1", "r2", "r3"} << QString() << QStringList() << text("0 differ from default")
        << text("\n2 units of this file have no counterpart in the default copy."
                "\n1 unit of the default copy has no counterpart in this file.");
  }
  void differencesOfPairedUnits() {
    const auto buildingFile = [](const QByteArrayList& units) {
      QByteArray lines;
      for (const QByteArray& unit : units) {
        const QByteArray prefix = unit.endsWith('*') ? unit.chopped(1) + 'f' : unit + 'f';
        lines += unit.endsWith('*') ? record(28, prefix).replace("\t" + prefix + "3\t", "\told3\t") : record(28, prefix);
      }
      return "numb" + dataFile(2, 0, lines);
    };
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), buildingFile(fetched<QByteArrayList>("copy"))));
    loadText(2, buildingFile(fetched<QByteArrayList>("file")));
    resizeOuter(28800, 16000);
    QFETCH(QString, action);
    const int unit = action.section(QLatin1Char(' '), 1).toInt();
    if (action.startsWith(QLatin1String("edit"))) edit(unit, 3, QStringLiteral("zz"));
    if (action.startsWith(QLatin1String("revert"))) {
      edit(unit, 3, QString(), false);
      revertFromMenu(unit, 3);
      QCOMPARE(field(unit, 3), std::string("old3"));
    }
    QCOMPARE(marked(), fetched<QStringList>("marks"));
    QCOMPARE(differences()->text(), fetched<QString>("count"));
    QCOMPARE(differences()->toolTip(), QStringLiteral("Values that differ from the default copy: ") +
                                           asShown(mWindow.path(QStringLiteral("crusader_build_prod13.bak"))) + fetched<QString>("hint"));
  }

  // A file of another kind, with no default copy, shows no marks and no count.
  void noDifferencesWithoutADefaultCopy() {
    QVERIFY(writeFile(mWindow.path(QStringLiteral("crusader_build_prod13.bak")), "numb" + dataFile(2, 1, record(28, "x"))));
    loadText(2, "numb" + dataFile(2, 3));
    QVERIFY(differences()->isVisible());
    {
      ModalAnswerer noBox;
      QVERIFY(w->LoadRecord(samplePath(QStringLiteral("crusaders_unit_prod11.txt")).toStdString(), 0));
    }
    QVERIFY(differences()->isHidden());
    QVERIFY(!cellOf(5, 1)->differs());
  }

  // Each row runs a script: "eR=V" replaces record R's field 3 by typing V and leaves the cell,
  // "tR=V" types without leaving, "+V" types V at the start of the cell being edited; U is Ctrl+Z,
  // Y Ctrl+Y, Z Ctrl+Shift+Z, S a save, all sent to whatever has the focus.
  void undoRedo_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("values");  // field 3 of records 5, 6 and 7 afterwards
    QTest::addColumn<bool>("changed");
    QTest::newRow("two edits undone, newest first") << "e5=x e6=y U" << "x r2f3 r3f3" << true;
    QTest::newRow("undo with nothing to undo") << "U" << "r1f3 r2f3 r3f3" << false;
    QTest::newRow("redo with Ctrl+Y and Ctrl+Shift+Z") << "e5=x e6=y U U Y Z" << "x y r3f3" << true;
    QTest::newRow("a new edit drops what was undone") << "e5=x e6=y U e7=z Y" << "x r2f3 z" << true;
    QTest::newRow("the cell's own typing first") << "e5=x t6=y +q U" << "x y r3f3" << true;
    QTest::newRow("then the steps before") << "e5=x t6=y U U" << "r1f3 r2f3 r3f3" << false;
    QTest::newRow("undone past a save") << "e5=x S U" << "r1f3 r2f3 r3f3" << true;
    QTest::newRow("back to the save") << "e5=x S U Y" << "x r2f3 r3f3" << false;
    QTest::newRow("the save's state gone for good") << "e5=x S U e6=y U Y" << "r1f3 y r3f3" << true;
    QTest::newRow("undone in the cell being edited") << "e6=y t6= U +q" << "r1f3 qr2f3 r3f3" << true;
  }
  void undoRedo() {
    QFETCH(bool, changed);
    resizeOuter(20000, 9000);  // wide enough that an undone cell in view does not scroll
    load(2, 3);
    const QHash<QString, QKeyCombination> keys{{QStringLiteral("U"), Qt::CTRL | Qt::Key_Z},
                                               {QStringLiteral("Y"), Qt::CTRL | Qt::Key_Y},
                                               {QStringLiteral("Z"), Qt::CTRL | Qt::SHIFT | Qt::Key_Z}};
    for (const QString& step : fetched<QString>("script").split(QLatin1Char(' '))) {
      if (step.startsWith(QLatin1Char('+'))) {
        QTest::keyClick(editor(), Qt::Key_Home);
        QTest::keyClicks(editor(), step.mid(1));
      } else if (step.size() > 1) {
        edit(step.mid(1, 1).toInt(), 3, step.mid(3), step.startsWith(QLatin1Char('e')));
      } else if (step == QLatin1String("S")) {
        QVERIFY(w->SaveRecord(mWindow.path(QStringLiteral("saved.txt")).toStdString()));
      } else {
        key(keys[step]);
      }
    }
    QCOMPARE(QString::fromStdString(field(5, 3) + ' ' + field(6, 3) + ' ' + field(7, 3)), fetched<QString>("values"));
    QCOMPARE(cellOf(6, 3)->text(), QString::fromStdString(field(6, 3)));
    QCOMPARE(w->dataChanged(), changed);
    QCOMPARE(shownTitle().contains(QLatin1Char('*')), changed);
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

  // An undone value out of view comes back into view, its cell with the focus.
  void undoScrollsToTheCell() {
    load(2, 60);
    edit(6, 3, QStringLiteral("x"));
    bar("vsbUnits2display")->setValue(50);
    key(Qt::CTRL | Qt::Key_Z);
    QTRY_VERIFY(editor()->hasFocus());
    QCOMPARE(editor()->toPlainText(), QStringLiteral("r2f3"));
    QCOMPARE(editor()->geometry(), cellOf(6, 3)->geometry());
  }

  // Ctrl+F searches the names as typed, or every shown value; Enter and F3 go on, Shift+F3 back,
  // wrapping with a note. Each match is told by its cell's value (each value here is unique); the
  // two knights are neighbours, so that the next match can be the very next unit.
  void find_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allValues");
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<QStringList>("matches");
    const QKeyCombination f3 = Qt::Key_F3, back = Qt::SHIFT | Qt::Key_F3;
    QTest::newRow("names, any case") << "KNI" << false << QList{f3, f3, f3}
                                     << QStringList{QStringLiteral("Knights_templar"), QStringLiteral("knights Wrapped to the first unit"),
                                                    QStringLiteral("Knights_templar")};
    QTest::newRow("backwards") << "kni" << false << QList{back, back}
                               << QStringList{QStringLiteral("Knights_templar Wrapped to the last unit"), QStringLiteral("knights")};
    QTest::newRow("all values") << "spear" << true << QList<QKeyCombination>{Qt::Key_Return, f3}
                                << QStringList{QStringLiteral("spearmen"), QStringLiteral("long_spear Wrapped to the first unit")};
    QTest::newRow("no match") << "zzz" << true << QList<QKeyCombination>{Qt::Key_Return} << QStringList{QStringLiteral("- No match")};
    QTest::newRow("an edited value") << "pike" << true << QList<QKeyCombination>{Qt::Key_Return}
                                     << QStringList{QStringLiteral("pikeman Wrapped to the first unit")};
  }
  void find() {
    QFETCH(QStringList, matches);
    QByteArray file = dataFile(2, 5);
    file.replace("\tr2f2\t", "\tknights\t").replace("\tr3f2\t", "\tKnights_templar\t").replace("\tr3f5\t", "\tlong_spear\t");
    loadText(2, file.replace("\tr5f2\t", "\tspearmen\t"));
    edit(8, 3, QStringLiteral("pikeman"));
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    auto* findText = find<QLineEdit>(QStringLiteral("txtFind"));
    QTRY_VERIFY(findText && findText->hasFocus());
    if (fetched<bool>("allValues")) find<QAbstractButton>(QStringLiteral("chkFindAllValues"))->setChecked(true);
    QTest::keyClicks(findText, fetched<QString>("text"));
    for (const QKeyCombination keys : fetched<QList<QKeyCombination>>("keys")) {
      key(keys);
      const QString at = editor()->hasFocus() ? editor()->toPlainText() : QStringLiteral("-");
      const QString note = find<QLabel>(QStringLiteral("lblFindNote"))->text();
      QCOMPARE(note.isEmpty() ? at : at + QLatin1Char(' ') + note, matches.takeFirst());
    }
  }

  // Each kind loads with its status, title and first unit, and saves back byte for byte over a
  // longer file.
  void loadEachKind_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("units");
    QTest::addColumn<int>("firstUnit");
    QTest::newRow("unit") << kUnits << 1 << "36 units" << 5;
    QTest::newRow("building") << kBuildings << 2 << "30 units" << 5;
    QTest::newRow("projectile") << kProjectiles << 3 << "24 units" << 2;
  }
  void loadEachKind() {
    QFETCH(QString, file);
    QFETCH(QString, units);
    const QString where = copyOfSample(file, QStringLiteral("Mixed Case ") + file);
    {
      ModalAnswerer noBox;
      QVERIFY(w->LoadRecord(where.toStdString(), 0));
      QVERIFY(noBox.allAnswered());
    }
    QCOMPARE(w->FormID(), fetched<int>("kind"));
    QCOMPARE(status(), units + QStringLiteral(" loaded from; ") + asShown(where));
    QCOMPARE(shownTitle().section(QStringLiteral(" - "), 0, 0), QLatin1Char('[') + asShown(QStringLiteral("Mixed Case ") + file) + QLatin1Char(']'));
    QCOMPARE(find<QScrollBar>(QStringLiteral("vsbUnits2display"))->minimum(), fetched<int>("firstUnit"));
    QVERIFY(gridShown() && button(3)->isEnabled());
    QVERIFY(!find(QStringLiteral("fraProgressBar"))->isVisibleTo(w));
    QVERIFY(!QGuiApplication::overrideCursor());
    const QString copy = mWindow.path(QStringLiteral("copy.txt"));
    QVERIFY(writeFile(copy, QByteArray(100000, 'x')));
    QVERIFY(w->SaveRecord(copy.toStdString()));
    QCOMPARE(fileBytes(copy), fileBytes(samplePath(file)));
    QCOMPARE(status(), units + QStringLiteral(" saved to:    ") + asShown(copy));
  }

  // A failed detection or parse says so; a detection keeps the earlier file, a parse empties the window.
  void loadFailures_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("forced");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("not a data file") << QByteArray("ver\t1;") << 0 << QStringList{QStringLiteral("LoadRecord Aborted!")};
    QTest::newRow("a projectile file forced as a unit file") << fileBytes(samplePath(kProjectiles)) << 1
                                                             << QStringList{QStringLiteral("Error Loading [Unit_Prod11] file")};
  }
  void loadFailures() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, forced);
    QVERIFY(w->LoadRecord(copyOfSample(kBuildings).toStdString(), 0));
    const QString path = mWindow.path(QStringLiteral("bad.txt"));
    QVERIFY(writeFile(path, bytes));
    QStringList seen;
    {
      ModalAnswerer answerer;
      for (qsizetype i = 0; i < fetched<QStringList>("titles").size(); ++i) answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
      QVERIFY(!w->LoadRecord(path.toStdString(), forced));
    }
    QStringList titles;
    for (const QString& box : seen) titles << box.section(QLatin1Char('|'), 0, 0);
    QCOMPARE(titles, fetched<QStringList>("titles"));
    if (!forced) QVERIFY(seen.back().section(QLatin1Char('|'), 1).startsWith(QStringLiteral("Couldn't auto-detect File Type!\r\n\r\nThis File dosen't appear appears")));
    QCOMPARE(w->FormID(), forced ? 0 : 2);
    QCOMPARE(gridShown(), !forced);
    QCOMPARE(button(3)->isEnabled(), !forced);
    QCOMPARE(w->windowTitle().startsWith(QLatin1Char('[')), !forced);
    QVERIFY(!QGuiApplication::overrideCursor());
  }

  void unsavedChangesPrompt_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("load file, cancel") << 2 << int(QMessageBox::Cancel) << false;
    QTest::newRow("load file, yes, save cancelled") << 2 << int(QMessageBox::Yes) << false;
    QTest::newRow("load file, no") << 2 << int(QMessageBox::No) << true;
    QTest::newRow("load defaults, no") << 5 << int(QMessageBox::No) << true;
    QTest::newRow("exit, cancel") << 7 << int(QMessageBox::Cancel) << false;
    QTest::newRow("exit, no") << 7 << int(QMessageBox::No) << true;
    // A save that fails cancels the action that asked for it (answer Yes + 1: save to a read-only file).
    QTest::newRow("exit, yes, save fails") << 7 << int(QMessageBox::Yes) + 1 << false;
  }
  // The path in the question keeps its own encoding.
  void unsavedChangesPrompt() {
    QFETCH(int, action);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    const QString path = copyOfSample(kUnits, QStringLiteral("D\u00fcsseldorf Units.txt"));
    loadAndEdit(path);
    const QString before = status();
    const bool saveFails = answer == int(QMessageBox::Yes) + 1;
    const QString readOnly = mWindow.path(QStringLiteral("readonly.txt"));
    if (saveFails) answer = QMessageBox::Yes;
    if (saveFails) QVERIFY(writeFile(readOnly, "old") && QFile::setPermissions(readOnly, QFile::ReadOwner));
    QStringList seen;
    {
      ModalAnswerer answerer;
      answerer.then<QMessageBox>(pressInBox(QMessageBox::StandardButton(answer), seen));
      if (answer == QMessageBox::Yes) answerer.then<QFileDialog>(chooseFile(saveFails ? readOnly : QString(), seen));
      if (saveFails) answerer.then<QMessageBox>(pressInBox(QMessageBox::Yes, seen)).then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
      if (goesOn && action == 2) answerer.then<QFileDialog>(chooseFile({}, seen));
      if (goesOn && action == 5) answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));  // no .bak copy here
      click(button(action));
    }
    QCOMPARE(seen.value(0), QStringLiteral("Discard Changes?|The data in ") + path +
                                        QStringLiteral(" has changed.\r\n\r\nDo you want to save the changes?"));
    if (answer == QMessageBox::Yes) QCOMPARE(seen.value(1), QStringLiteral("Save [Unit_Prod11] File As..."));
    if (goesOn && action == 2) QCOMPARE(seen.value(1), QStringLiteral("Open File [prod/build/projectile]"));
    if (goesOn && action == 5) QVERIFY(seen.value(1).startsWith(QStringLiteral("Couldn't Load Default Data")));
    if (saveFails) QVERIFY(seen.value(3).startsWith(QStringLiteral("PelkoEditor|An error occurred trying to save to")));
    if (saveFails) QCOMPARE(fileBytes(readOnly), QByteArray("old"));
    QCOMPARE(w->isVisible(), !(action == 7 && goesOn));
    QVERIFY(w->dataChanged());  // nothing was saved or loaded
    QCOMPARE(status(), before);
  }

  // A file given on the command line or dropped on the window loads as Load File loads it, its
  // kind detected, after the question about unsaved changes; a drag of anything else is refused.
  void openFromOutside_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");  // to the unsaved-changes question; 0: no changes
    QTest::addColumn<bool>("loads");
    QTest::newRow("command line") << "command line" << 0 << true;
    QTest::newRow("drop") << "drop" << 0 << true;
    QTest::newRow("drop, cancelled") << "drop" << int(QMessageBox::Cancel) << false;
    QTest::newRow("drop of two files") << "two files" << 0 << false;
  }
  void openFromOutside() {
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, loads);
    if (answer != 0) loadAndEdit(copyOfSample(kUnits));
    const QString path = copyOfSample(kProjectiles);
    QStringList seen;
    ModalAnswerer answerer;
    if (answer != 0) answerer.then<QMessageBox>(pressInBox(QMessageBox::StandardButton(answer), seen));
    if (how == QLatin1String("command line")) {
      const QString before = QDir::currentPath();
      QDir::setCurrent(mWindow.path({}));
      w->openLater(kProjectiles);  // relative to the working folder
      QDir::setCurrent(before);
    } else {
      QMimeData data;
      QList<QUrl> urls{QUrl::fromLocalFile(path)};
      if (how == QLatin1String("two files")) urls << QUrl::fromLocalFile(samplePath(kUnits));
      data.setUrls(urls);
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(w, &enter);
      QCOMPARE(enter.isAccepted(), loads || answer != 0);
      QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
      if (enter.isAccepted()) QApplication::sendEvent(w, &drop);
    }
    if (answer != 0) QTRY_VERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
    if (loads) QTRY_COMPARE(w->FormID(), 3);
    QTest::qWait(20);  // a load that should not come has had its turn
    QCOMPARE(w->FormID(), loads ? 3 : answer != 0 ? 1 : 0);
    if (loads) QCOMPARE(w->record().sFilePath(), QDir::cleanPath(path).toStdString());
  }

  // Ctrl+S writes the loaded file back without a dialog; a default copy goes through Save File As.
  // The window is marked modified while there are unsaved changes.
  void saveWithCtrlS_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("loaded file") << "units.txt" << true;
    QTest::newRow("default copy") << "crusaders_unit_prod11.bak" << false;
  }
  void saveWithCtrlS() {
    QFETCH(QString, name);
    QFETCH(bool, inPlace);
    const QString path = copyOfSample(kUnits, name);
    loadAndEdit(path);
    const QString title = QStringLiteral("[%1] - PelkoEditor [Unit_Prod11]");
    QCOMPARE(shownTitle(), title.arg(name + QLatin1Char('*')));
    QStringList seen;
    ModalAnswerer answerer;
    if (!inPlace) answerer.then<QFileDialog>(chooseFile({}, seen));
    QTest::keyClick(editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(seen, inPlace ? QStringList() : QStringList{QStringLiteral("Save [Unit_Prod11] File As...")});
    QCOMPARE(w->dataChanged(), !inPlace);
    QCOMPARE(shownTitle(), title.arg(inPlace ? name : name + QLatin1Char('*')));
    const QByteArray edited = QByteArray::fromStdString(w->record().returnArrayUnitNames(5, 1).front());
    QVERIFY(edited != "Peasants");
    QCOMPARE(fileBytes(path).contains("\r\n" + edited + '\t'), inPlace);
  }

  // Which kind's settings are stored before the open dialog shows, and what is then loaded. The
  // first row presses the button's underlined letter, as the window system delivers it.
  void loadFile_data() {
    QTest::addColumn<bool>("detect");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("chosenKind");  // in the prompt; 0 cancels it
    QTest::addColumn<QString>("file");    // empty: the open dialog is cancelled
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("storedBefore");
    QTest::addColumn<int>("kindAfter");
    QTest::newRow("detect, nothing shown, projectiles") << true << 0 << 0 << kProjectiles << "Open File [prod/build/projectile]" << false << 3;
    QTest::newRow("no detection, prompt cancelled") << false << 1 << 0 << QString() << QString() << false << 1;
    QTest::newRow("no detection, buildings") << false << 1 << 2 << kBuildings << "Open File [Build_prod13]" << true << 2;
  }
  void loadFile() {
    QFETCH(bool, detect);
    QFETCH(int, shown);
    QFETCH(int, chosenKind);
    QFETCH(QString, file);
    QFETCH(QString, title);
    if (shown) QVERIFY(w->LoadRecord(copyOfSample(kUnits).toStdString(), 0));
    autoDetect()->setChecked(detect);
    QStringList seen;
    std::string storedWhileOpen = "no dialog";
    ModalAnswerer answerer;
    if (!detect) answerer.then<FPrompt>(chooseKind(chosenKind, seen));
    if (!title.isEmpty())
      answerer.then<QFileDialog>(chooseFile(file.isEmpty() ? file : copyOfSample(file), seen,
                                            [&] { storedWhileOpen = ini(kUnitSection, "Selected Range"); }));
    if (shown) click(button(2));
    else QTest::keyClick(w->windowHandle(), Qt::Key_L, Qt::AltModifier);
    QTRY_VERIFY(answerer.allAnswered());
    if (!title.isEmpty()) QCOMPARE(seen.last(), title);
    if (!title.isEmpty()) QCOMPARE(storedWhileOpen != "absent", fetched<bool>("storedBefore"));
    QCOMPARE(w->FormID(), fetched<int>("kindAfter"));
    if (!file.isEmpty()) QVERIFY(status().endsWith(asShown(mWindow.path(file))));
  }

  // Without detection the prompt asks for the kind, and its default copy loads from the program's folder.
  void loadDefaults() {
    QVERIFY(w->LoadRecord(copyOfSample(kProjectiles).toStdString(), 0));
    const QString bak = copyOfSample(kUnits, QStringLiteral("crusaders_unit_prod11.bak"));
    autoDetect()->setChecked(false);
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<FPrompt>(chooseKind(1, seen));
    click(button(5));
    QCOMPARE(seen, QStringList{QStringLiteral("select Default File Type to Load|(will switch Editor to correct mode automatically)")});
    QCOMPARE(w->FormID(), 1);
    QVERIFY(status().endsWith(asShown(bak)));
    QCOMPARE(find<QLabel>(QStringLiteral("lblLoadMessage"))->text(), QStringLiteral("Loading default [Unit_Prod11] data..........."));
  }

  // A name without an extension gets the default one; the file exists, and Qt's dialog asks before
  // replacing it.
  void saveFileAs() {
    loadAndEdit(copyOfSample(kProjectiles));
    const QString target = mWindow.path(QStringLiteral("saved.TXT"));
    QVERIFY(writeFile(target, "old"));
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<QFileDialog>(chooseFile(mWindow.path(QStringLiteral("saved")), seen)).then<QMessageBox>(pressInBox(QMessageBox::Yes, seen));
    click(button(3));  // with unsaved changes, and no prompt
    QCOMPARE(seen.value(0), QStringLiteral("Save [ProjectileStats] File As..."));
    QVERIFY(!w->dataChanged());
    const QByteArray saved = fileBytes(target);
    QVERIFY(saved.size() > 100 && saved.startsWith(fileBytes(samplePath(kProjectiles)).left(saved.indexOf(';') + 1)));
    QCOMPARE(status(), QStringLiteral("24 units saved to:    ") + asShown(target));
    // The saved file is now the one being edited: the title and the unsaved-changes prompt say so.
    QCOMPARE(shownTitle(), QLatin1Char('[') + asShown(QStringLiteral("saved.TXT")) + QStringLiteral("] - PelkoEditor [ProjectileStats]"));
    QCOMPARE(QString::fromStdString(w->record().sFilePath()), target);
  }

  void newEditorMissing() {
    QStringList seen;
    ModalAnswerer answerer;
    answerer.then<QMessageBox>(pressInBox(QMessageBox::Ok, seen));
    QVERIFY(!w->doFileAction(0));
    QCOMPARE(seen, QStringList(QStringLiteral("Error Launching PelkoEditor!|Error:2\r\nNo such file or directory\r\n\r\n"
                                                      "Couldn't find PelkoEditor.exe to Launch!!")));
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

  // A save (Ctrl+S or Save File As) and a No to the unsaved-changes prompt remove the journal, as
  // does closing after undoing every edit; a cancelled close and a failed save keep it.
  void journalRemoval_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("kept");
    QTest::newRow("Ctrl+S") << "Ctrl+S" << false;
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
      if (action == QLatin1String("Ctrl+S")) {
        key(Qt::CTRL | Qt::Key_S);
      } else if (action == QLatin1String("save as")) {
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
    QCOMPARE(w->isVisible(), action == QLatin1String("Cancel") || action.contains(QLatin1String("save")) || action == QLatin1String("Ctrl+S"));
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
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
