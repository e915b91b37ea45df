#pragma once
#include <QCheckBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include "CodePage.h"
#include "DataText.h"
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

inline const QString kUnits = QStringLiteral("crusaders_unit_prod11.txt");
inline const QString kBuildings = QStringLiteral("crusader_build_prod13.txt");
inline const QString kProjectiles = QStringLiteral("ProjectileStats.txt");
inline const QString kUnitSection = QStringLiteral("Unit_Prod11");

// Each handler adds what its dialog showed to `seen`: "title" or "title|text".
inline std::function<void(QMessageBox*)> pressInBox(QMessageBox::StandardButton button, QStringList& seen) {
  return [button, &seen](QMessageBox* box) {
    seen << box->windowTitle() + QLatin1Char('|') + box->text();
    press(box->button(button));
  };
}
inline std::function<void(FPrompt*)> chooseKind(int kind, QStringList& seen) {
  return [kind, &seen](FPrompt* prompt) {
    seen << prompt->windowTitle() + QLatin1Char('|') + prompt->findChild<QLabel*>(QStringLiteral("lblCaption"))->text();
    shoot(prompt, prompt->windowTitle() + QStringLiteral(".png"));
    if (kind == 0) prompt->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
    else prompt->findChild<QToolButton*>(QStringLiteral("cmdLaunch_%1").arg(kind))->click();
  };
}
// An empty path cancels the dialog.
inline std::function<void(QFileDialog*)> chooseFile(const QString& path, QStringList& seen, std::function<void()> whileOpen = {}) {
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
inline std::function<void(FSetRange*)> rangeDialog(const QString& range, const QString& caption, QList<int> buttons) {
  return [=](FSetRange* dialog) {
    dialog->findChild<QLineEdit*>(QStringLiteral("txtInputRange"))->setText(range);
    if (!caption.isNull()) dialog->findChild<QLineEdit*>(QStringLiteral("txtCaption2display"))->setText(caption);
    for (int index : buttons)
      if (dialog->isVisible()) dialog->findChild<QPushButton*>(QStringLiteral("cmdOkCancelApply_%1").arg(index))->click();
  };
}

// The editor window's tests derive from this: a fresh window for each test, and the ways to reach
// its controls, load a file, edit a cell and answer its dialogs.
class EditorFixture {
 protected:
  void openWindow() {
    PlatformQt::install();
    w = mWindow.open();
  }
  void closeWindow() { mWindow.close(); }

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
  void load(int kind, int units, const QByteArray& unitLines = {}) { loadText(kind, DataText::dataFile(kind, units, unitLines)); }
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
  // Reverts the cell being edited, the record's field, from its menu or the edit box's own; the
  // edit goes on.
  void revertFromMenu(int record, int field, bool fromEditBox = false) {
    chooseFromCellMenu(QStringLiteral("Revert to Default Value"),
                       fromEditBox ? editor()->viewport() : static_cast<QWidget*>(cellOf(record, field)));
    // The offscreen platform may leave no window active once the menu is gone, where a desktop
    // gives the activation back.
    w->activateWindow();
    QTRY_VERIFY(editor()->hasFocus());
    QFocusEvent toAMenu(QEvent::FocusOut, Qt::PopupFocusReason);  // as a desktop's menu takes it
    QApplication::sendEvent(editor(), &toAMenu);
  }
  // Opens the cell menu by a right click on `on` and triggers the action with that text or name;
  // `then` answers the dialogs the action opens.
  void chooseFromCellMenu(const QString& text, QWidget* on, const std::function<void(ModalAnswerer&)>& then = {}) {
    ModalAnswerer answerer;
    answerer.then<QMenu>([text](QMenu* menu) {
      for (QAction* action : menu->actions())
        if (action->text() == text || action->objectName() == text) action->trigger();
      menu->close();
    });
    if (then) then(answerer);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), editor()->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(on, &click);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.errors.join(QLatin1Char('\n'))));
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
};
