// The grid's controls, their layout, and paging: which block of records x display columns the
// grid shows, and its refill from the store.
#include "RecordGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "CGlobal.h"
#include "CodePage.h"
#include "Controls.h"
#include "EditedFile.h"
#include "FileKind.h"
#include "GridCell.h"
#include "GridGeometry.h"
#include "HeaderBox.h"
#include "Twips.h"

using namespace GridGeometry;
using namespace Controls;

namespace {

constexpr int kRowNoWidth = 345;  // the designed widths of a row number and of the unit counter
constexpr int kUnitNoWidth = 375;
constexpr int kNumberPadding = 60;  // beside a number's text in its box
constexpr int kNamesRight = 2670;   // the names' right edge

// An element of a control array made as a copy of its designed element 0.
template <class Widget>
Widget* copyOf(Widget* first, std::size_t index) {
  auto* widget = new Widget(first->parentWidget());
  widget->setObjectName(indexed(first->objectName().chopped(2).toLatin1().constData(), index));
  widget->setGeometry(first->geometry());
  widget->setToolTip(first->toolTip());
  widget->setFont(first->font());
  widget->setPalette(first->palette());
  widget->setBackgroundRole(first->backgroundRole());
  widget->setAutoFillBackground(first->autoFillBackground());
  widget->hide();
  return widget;
}

QLabel* rowLabel(QWidget* grid, const char* name, int left, int width, QPalette::ColorRole background) {
  QLabel* row = label(grid, name, left, kRowLabelTop, width, 375);
  row->setToolTip(QStringLiteral("Name of Unit"));
  row->setAutoFillBackground(true);
  row->setBackgroundRole(background);
  return row;
}

}  // namespace

RecordGrid::RecordGrid(QWidget* mainFrame, const EditedFile& file) : QWidget(mainFrame), mFile(file) {
  lblRowNo.push_back(rowLabel(this, "lblRowNo_0", kNumbersLeft, kRowNoWidth, QPalette::Button));
  lblRow.push_back(rowLabel(this, "lblRow_0", 495, 2175, QPalette::Base));
  lblUnitNo = label(this, "lblUnitNo", 11250, 1440, kUnitNoWidth, 315, QStringLiteral("1"));
  lblUnitNo->setAlignment(Qt::AlignCenter);
  lblFieldNo = label(this, "lblFieldNo", 2280, 7140, 375, 255, QStringLiteral("1"));
  lblFieldNo->setAlignment(Qt::AlignCenter);
  lblSelection = label(this, "lblSelection", 0, 0, 0, 255, QString());
  lblSelection->hide();
  lblRowNo[0]->installEventFilter(this);
  mDragTimer = new QTimer(this);
  mDragTimer->setInterval(50);
  connect(mDragTimer, &QTimer::timeout, this, &RecordGrid::dragStep);

  vsbUnits2display = make<QScrollBar>(this, QStringLiteral("vsbUnits2display"), 11340, 1920, 255, 5235);
  vsbUnits2display->setOrientation(Qt::Vertical);
  vsbUnits2display->setRange(5, 5);
  vsbUnits2display->setSingleStep(1);
  vsbUnits2display->setPageStep(10);
  hsbFields2Display = make<QScrollBar>(this, QStringLiteral("hsbFields2Display"), 2700, 7140, 8500, 255);
  hsbFields2Display->setOrientation(Qt::Horizontal);
  hsbFields2Display->setRange(1, 1);
  hsbFields2Display->setSingleStep(1);
  hsbFields2Display->setPageStep(5);
  for (QScrollBar* bar : {vsbUnits2display, hsbFields2Display}) {
    // Change comes with the released thumb and with values set by the program; Scroll while dragging.
    bar->setTracking(false);
    // Tab stops, so that the keyboard pages through units and fields too.
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->installEventFilter(this);
    connect(bar, &QScrollBar::valueChanged, this, [this, bar] { barMoved(bar, false); });
    connect(bar, &QScrollBar::sliderMoved, this, [this, bar] { barMoved(bar, true); });
  }

  fraDisplay = make<GridFrame>(this, QStringLiteral("fraDisplay"), 2700, 720, 8500, 6315);
  fraDisplay->setProperty("Tag", QStringLiteral("right-click in column header (above) to change display width"));
  HeaderBox* header = make<HeaderBox>(fraDisplay, QStringLiteral("txtColumn_0"), 0, 0, 675, 1155);
  header->setPlainText(QStringLiteral(" 1\nField\nDescriptions"));
  header->setToolTip(QStringLiteral("Field Descriptions"));
  watchHeader(txtColumn.emplace_back(header));
  GridCell* cell = make<GridCell>(fraDisplay, QStringLiteral("txtField_0"), 60, kCellTop, 4455, 375);
  cell->setText(QStringLiteral("Value\nof the\nfield"));
  cell->setToolTip(QStringLiteral("Value"));
  watchCell(txtField.emplace_back(cell));
}

QWidget* RecordGrid::cellFrame() const { return fraDisplay; }

void RecordGrid::setEditBox(QPlainTextEdit* box) {
  mEditBox = box;
  mEditBox->installEventFilter(this);
  mEditBox->viewport()->installEventFilter(this);
  mEditBox->viewport()->setMouseTracking(true);
}

void RecordGrid::setScrollUpdates(QCheckBox* fields, QCheckBox* units) {
  mScrollUpdate = {fields, units};
  // Getting the focus, they leave no cell selected.
  for (QCheckBox* box : mScrollUpdate) box->installEventFilter(this);
}

// The pool of cells and labels, copied from the first of each. Nothing shows it before a file is
// loaded, so it is made after the window's first paint (or by the first refill, if that comes
// sooner): over a thousand widgets would otherwise delay the window at every start.
void RecordGrid::createCells() {
  if (mCellsCreated) return;
  mCellsCreated = true;
  const std::int32_t maxFields = gGlobal->MaxFields(), maxUnits = gGlobal->MaxUnits();
  txtField.reserve(static_cast<std::size_t>(maxFields * maxUnits));
  for (std::int32_t r = 0; r < maxUnits; ++r) {
    for (std::int32_t c = 0; c < maxFields; ++c) {
      const auto index = static_cast<std::size_t>(maxFields * r + c);
      if (index > 0) watchCell(txtField.emplace_back(copyOf(txtField[0], index)));
      Twips::move(txtField[index], Twips::left(txtField[index]), kCellTop + kRowPitch * r);
    }
  }
  for (std::int32_t c = 1; c < maxFields; ++c) {
    watchHeader(txtColumn.emplace_back(copyOf(txtColumn[0], static_cast<std::size_t>(c))));
  }
  for (std::int32_t r = 0; r < maxUnits; ++r) {
    if (r > 0) {
      lblRow.push_back(copyOf(lblRow[0], static_cast<std::size_t>(r)));
      lblRowNo.push_back(copyOf(lblRowNo[0], static_cast<std::size_t>(r)));
      lblRowNo.back()->installEventFilter(this);
    }
    Twips::move(lblRow[r], Twips::left(lblRow[r]), kRowLabelTop + kRowPitch * r);
    Twips::move(lblRowNo[r], Twips::left(lblRowNo[r]), kRowLabelTop + kRowPitch * r);
  }
  // With the names hidden the grid covers the names column: it must lie above the names, and
  // hide them where no cell is.
  fraDisplay->setAutoFillBackground(true);
  fraDisplay->raise();
  // Only now are the cells in place: the layer that paints them starts at the first row, below
  // the headers, so that a page step leaves the headers unpainted.
  fraDisplay->setCells(&txtField);
  // New widgets join the end of the Tab order, behind the edit box: it must stay last, so that
  // Tab past the last unit leaves the grid instead of entering a cell.
  if (mEditBox) QWidget::setTabOrder(txtColumn.back(), mEditBox);
}

void RecordGrid::setFileShown(bool shown) {
  fraDisplay->setToolTip(shown ? fraDisplay->property("Tag").toString() : QString());
  mLastSelected = -1;
  mView.showAll(firstDataUnit(), mFile.record().NoUnits());
  clearBlock();
}

std::int32_t RecordGrid::kind() const { return mFile.record().FormID(); }
std::int32_t RecordGrid::firstDataUnit() const { return FileKind::of(kind()).firstUnit; }

void RecordGrid::fitNumbers() {
  const std::int32_t largest = std::max(1, mFile.record().NoUnits() - firstDataUnit() + 1);
  const int needed = Twips::fromPixels(lblRowNo[0]->fontMetrics().horizontalAdvance(QString::number(largest))) + kNumberPadding;
  Twips::place(lblUnitNo, Twips::left(lblUnitNo), Twips::top(lblUnitNo), std::max(kUnitNoWidth, needed), Twips::height(lblUnitNo));
  const int rowNoWidth = std::max(kRowNoWidth, needed);
  for (QLabel* number : lblRowNo) Twips::place(number, kNumbersLeft, Twips::top(number), rowNoWidth, Twips::height(number));
}

int RecordGrid::rowNumberWidth() const { return Twips::width(lblRowNo[0]); }
int RecordGrid::unitNumberWidth() const { return Twips::width(lblUnitNo); }

void RecordGrid::placeNames(int left) {
  for (QLabel* name : lblRow) Twips::place(name, left, Twips::top(name), kNamesRight - left, Twips::height(name));
}

void RecordGrid::place(int gridLeft, int gridWidth, int fieldNoLeft, int width, int height) {
  Twips::place(this, 0, 0, width, height);
  Twips::place(fraDisplay, gridLeft, 620, gridWidth, height - 1000);
  Twips::place(hsbFields2Display, fieldNoLeft + 360, height - 340, gridWidth - (fieldNoLeft + 360 - gridLeft),
               Twips::height(hsbFields2Display));
  Twips::move(lblFieldNo, fieldNoLeft, height - 340);
  Twips::place(vsbUnits2display, width - 375, kRowLabelTop, 255, height - 2200);
  Twips::move(lblUnitNo, width - 70 - Twips::width(lblUnitNo), Twips::top(lblUnitNo));
  placeSelectionCount();
  std::int32_t change = 0;
  if (Twips::width(fraDisplay) != lastDisplayWidth) change += 2;
  if (height != lastHeight) change += 1;
  // At every size every unit can be scrolled into view (a maximum left at 5 or below would
  // freeze the range a small window gave it).
  if (mFile.record().NoUnits() > 0) {
    setVerticalMaximum(mView.lastRow() - noUnits2Display() + 1);
    refreshDisplay(change);
  }
  lastDisplayWidth = Twips::width(fraDisplay);
  lastHeight = height;
}

std::int32_t RecordGrid::cellColumn(std::int32_t iIndex) const { return iIndex % gGlobal->MaxFields(); }
std::int32_t RecordGrid::cellRow(std::int32_t iIndex) const { return iIndex / gGlobal->MaxFields(); }
std::int32_t RecordGrid::firstRow() const { return vsbUnits2display->value(); }
std::int32_t RecordGrid::firstColumn() const { return hsbFields2Display->value(); }
void RecordGrid::scrollToRecord(std::int32_t iRecNo) {
  if (const std::int32_t row = mView.rowOf(iRecNo); row > 0) vsbUnits2display->setValue(row);
}

std::int32_t RecordGrid::displayColumn(std::int32_t iField) const {
  for (std::int32_t c = 1; c <= mFile.record().NoFieldsInSelectedRange(); ++c)
    if (mFile.record().actualFieldNoInSelectedRange(c) == iField) return c;
  return 0;
}

std::int32_t RecordGrid::noUnits2Display() const {
  const std::int32_t n = (Twips::height(vsbUnits2display) + 20) / kRowPitch;
  return n > gGlobal->MaxUnits() ? gGlobal->MaxUnits() : std::max(n, 1);
}

std::int32_t RecordGrid::getColumnWidth(std::int32_t iFieldNoDisplay) const {
  if (iFieldNoDisplay < 1 || iFieldNoDisplay > mFile.record().NoFields()) return 0;
  const std::int32_t w = mFile.record().DisplayWidth(iFieldNoDisplay);
  const std::int32_t gridWidth = Twips::width(hsbFields2Display);
  return w == -1 || gridWidth < w ? gridWidth : w;
}

std::int32_t RecordGrid::noFields2Display(std::int32_t iField2StartAt) const {
  const std::int32_t gridWidth = Twips::width(hsbFields2Display);
  std::int64_t total = 0;
  std::int32_t i = iField2StartAt;
  do {
    total += getColumnWidth(i) + kColumnGap;
    ++i;
  } while (gridWidth >= total && i <= mFile.record().NoFieldsInSelectedRange());
  return i - iField2StartAt;
}

// With fewer records than rows the maximum would fall below the minimum, which Qt would lower
// to match: the first unit must stay the first position.
void RecordGrid::setVerticalMaximum(std::int32_t maximum) {
  vsbUnits2display->setMaximum(std::max(maximum, vsbUnits2display->minimum()));
}

void RecordGrid::showFromStart() {
  mNumbers.forget();
  clearBlock();
  mView.showAll(firstDataUnit(), mFile.record().NoUnits());
  vsbUnits2display->setMinimum(firstDataUnit());
  setVerticalMaximum(mView.lastRow() - noUnits2Display() + 1);
  vsbUnits2display->setValue(firstDataUnit());  // a new file starts at its first unit
  hsbFields2Display->setMaximum(mFile.record().NoFieldsInSelectedRange());
  refreshDisplay(3);
}

void RecordGrid::setView(UnitView view) {
  const std::int32_t focusedRecord = mFocused >= 0 ? mView.record(mFocusedRow) : 0;
  mView = std::move(view);
  // Rows are the new view's: the focus follows its unit, or leaves the grid with it.
  mFocusedRow = focusedRecord > 0 ? mView.rowOf(focusedRecord) : 0;
  clearBlock();
  {
    const QSignalBlocker quiet(vsbUnits2display);
    setVerticalMaximum(mView.lastRow() - noUnits2Display() + 1);
    vsbUnits2display->setValue(mFocusedRow > 0 ? mFocusedRow : mView.firstRow());
  }
  refreshDisplay(1);
}

void RecordGrid::rangeChanged() {
  clearBlock();  // its columns are those of the range before
  // A maximum below the bar's value moves the value first, so the refill reads a valid column.
  hsbFields2Display->setMaximum(mFile.record().NoFieldsInSelectedRange());
  refreshDisplay(2);
}

void RecordGrid::refreshDisplay(std::int32_t iChange) {
  createCells();
  const std::int32_t f0 = hsbFields2Display->sliderPosition();
  const std::int32_t nCols = noFields2Display(f0);
  colLeft.resize(static_cast<std::size_t>(nCols));
  colWidth.resize(static_cast<std::size_t>(nCols));
  colTip.resize(static_cast<std::size_t>(nCols));
  const std::int32_t u0 = vsbUnits2display->sliderPosition();
  // A file with fewer records than rows shows only the rows that exist.
  const std::int32_t nRows = std::clamp(mView.lastRow() - u0 + 1, 0, noUnits2Display());
  if (iChange == 2 || iChange == 3) refreshColumns(f0, nCols);
  if (iChange == 1 || iChange == 3) refreshRows(u0, nRows);
  refreshCells(f0, nCols, u0, nRows);
  // The labels follow every refill, also one that does not move a bar's value.
  lblFieldNo->setText(QString::number(mFile.record().actualFieldNoInSelectedRange(f0)));
  lblUnitNo->setText(unitNumberAt(u0));
  followFocusedCell(f0, nCols, u0, nRows);
}

void RecordGrid::refreshColumns(std::int32_t f0, std::int32_t nCols) {
  const auto headers = mFile.record().returnArrayFieldXUnit(1, f0, 3, nCols);
  const auto headerText = [&](std::int32_t c, std::int32_t record) {
    return CodePage::toQString(headers[static_cast<std::size_t>(c)][static_cast<std::size_t>(record - 1)]);
  };
  const FileKind& fileKind = FileKind::of(kind());
  for (std::int32_t c = 0; c < gGlobal->MaxFields(); ++c) {
    HeaderBox* header = txtColumn[static_cast<std::size_t>(c)];
    if (c >= nCols) {
      header->hide();
      continue;
    }
    const auto k = static_cast<std::size_t>(c);
    colWidth[k] = getColumnWidth(f0 + c);
    colLeft[k] = c == 0 ? 0 : colLeft[k - 1] + colWidth[k - 1] + kColumnGap;
    Twips::place(header, colLeft[k], Twips::top(header), colWidth[k], Twips::height(header));
    QString text = QLatin1Char(' ') + QString::number(mFile.record().actualFieldNoInSelectedRange(f0 + c)) +
                   QLatin1Char('\n') + headerText(c, 1);
    if (fileKind.headerRows() >= 3) text += QLatin1Char('\n') + headerText(c, 2) + QLatin1Char('\n') + headerText(c, 3);
    header->setPlainText(text);
    const QString hint = headerText(c, fileKind.tipRow);
    header->setToolTip(hint);
    header->setProperty("Tag", hint);
    colTip[k] = headerText(c, 1);
    header->show();
  }
}

// A row shows its unit's own number, also in a filtered or sorted view.
QString RecordGrid::unitNumberAt(std::int32_t iRow) const {
  if (!mView.showsAll() && iRow > mView.lastRow()) return {};
  return QString::number(mView.record(iRow) + 1 - firstDataUnit());
}

void RecordGrid::refreshRows(std::int32_t u0, std::int32_t nRows) {
  for (std::int32_t r = 0; r < gGlobal->MaxUnits(); ++r) {
    QLabel* name = lblRow[static_cast<std::size_t>(r)];
    QLabel* number = lblRowNo[static_cast<std::size_t>(r)];
    if (r >= nRows) {
      name->hide();
      number->hide();
      continue;
    }
    number->setText(unitNumberAt(u0 + r));
    showRowName(r, CodePage::toQString(mFile.record().unitName(mView.record(u0 + r))));
    name->show();
    number->show();
  }
}

void RecordGrid::showRowName(std::int32_t iRow, const QString& sName) {
  QLabel* name = lblRow[static_cast<std::size_t>(iRow)];
  name->setText(paintedPart(sName, name->size()));
  lblRowNo[static_cast<std::size_t>(iRow)]->setToolTip(sName);
}

void RecordGrid::refreshCells(std::int32_t f0, std::int32_t nCols, std::int32_t u0, std::int32_t nRows) {
  const CRecordData& store = mFile.record();
  std::vector<std::int32_t> records(static_cast<std::size_t>(std::max(nRows, 0)));
  for (std::size_t r = 0; r < records.size(); ++r) records[r] = mView.record(u0 + static_cast<std::int32_t>(r));
  const std::int32_t maxFields = gGlobal->MaxFields();
  const CellBlock block = mBlock.block();
  fraDisplay->beginRefill();
  for (std::int32_t r = 0; r < gGlobal->MaxUnits(); ++r) {
    for (std::int32_t c = 0; c < maxFields; ++c) {
      GridCell* cell = txtField[static_cast<std::size_t>(maxFields * r + c)];
      if (c >= nCols || r >= nRows) {
        cell->hide();
        cell->setMark({});
        continue;
      }
      const auto k = static_cast<std::size_t>(c);
      const QRect place(Twips::toPixels(colLeft[k]), cell->y(), Twips::toPixels(colWidth[k]), cell->height());
      if (cell->geometry() != place) cell->setGeometry(place);
      const std::int32_t record = records[static_cast<std::size_t>(r)], field = store.actualFieldNoInSelectedRange(f0 + c);
      cell->setText(CodePage::toQString(store.value(record, field)));
      cell->setTag(colTip[k]);
      cell->setMark({});
      cell->setSelected(block.contains(u0 + r, f0 + c));
      markDifference(cell, record, field);
      cell->show();
    }
  }
  if (mFile.record().hasSaveProblems())
    for (std::int32_t r = 0; r < nRows; ++r) markSaveProblems(r);
  fraDisplay->endRefill();
}

// A bar's value is its thumb's position: while the thumb is dragged it is ahead of value(),
// which (tracking off) only follows when the thumb is released. Unchecked, a bar's option leaves
// the grid as it is while the thumb is dragged.
void RecordGrid::barMoved(QScrollBar* bar, bool dragged) {
  const bool fields = bar == hsbFields2Display;
  if (fields)
    lblFieldNo->setText(QString::number(mFile.record().actualFieldNoInSelectedRange(bar->sliderPosition())));
  else
    lblUnitNo->setText(unitNumberAt(bar->sliderPosition()));
  const QCheckBox* update = mScrollUpdate[fields ? 0 : 1];
  if (!dragged || !update || update->isChecked()) refreshDisplay(fields ? 2 : 1);
}

// The wheel pages units by the platform's lines a notch, as it does over the vertical bar; with
// Shift, or turned sideways, it goes through fields. Parts of a notch (a touchpad's) add up.
void RecordGrid::turnWheel(const QWheelEvent& event) {
  QPoint delta = event.angleDelta();
  if ((event.modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = {delta.y(), 0};
  const bool fields = std::abs(delta.x()) > std::abs(delta.y());
  constexpr int kNotch = 120;
  const int lines = std::max(1, QApplication::wheelScrollLines());
  int& rest = fields ? mWheelRest.rx() : mWheelRest.ry();
  rest += fields ? delta.x() : delta.y();
  const int steps = rest * lines / kNotch;
  rest -= steps * kNotch / lines;
  QScrollBar* bar = fields ? hsbFields2Display : vsbUnits2display;
  if (steps != 0) bar->setValue(bar->value() - steps);
}
