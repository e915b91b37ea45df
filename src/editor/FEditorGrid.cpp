// Paging: which block of records x display columns the grid shows, and its refill from the store.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "CellEditor.h"

#include "CGlobal.h"
#include "CRecordData.h"
#include "CodePage.h"
#include "DataFileFormat.h"
#include "FEditor.h"
#include "GridCell.h"
#include "HeaderBox.h"
#include "GridGeometry.h"
#include "Twips.h"

using namespace GridGeometry;

std::int32_t FEditor::firstDataUnit() const { return FileKind::of(mFormID).firstUnit; }

std::int32_t FEditor::cellColumn(std::int32_t iIndex) const { return iIndex % gGlobal->MaxFields(); }
std::int32_t FEditor::cellRow(std::int32_t iIndex) const { return iIndex / gGlobal->MaxFields(); }

std::int32_t FEditor::displayColumn(std::int32_t iField) const {
  for (std::int32_t c = 1; c <= mFile.record().NoFieldsInSelectedRange(); ++c)
    if (mFile.record().actualFieldNoInSelectedRange(c) == iField) return c;
  return 0;
}

std::int32_t FEditor::noUnits2Display() const {
  const std::int32_t n = (Twips::height(vsbUnits2display) + 20) / kRowPitch;
  return n > gGlobal->MaxUnits() ? gGlobal->MaxUnits() : std::max(n, 1);
}

std::int32_t FEditor::getColumnWidth(std::int32_t iFieldNoDisplay) const {
  if (iFieldNoDisplay < 1 || iFieldNoDisplay > mFile.record().NoFields()) return 0;
  const std::int32_t w = mFile.record().DisplayWidth(iFieldNoDisplay);
  const std::int32_t gridWidth = Twips::width(hsbFields2Display);
  return w == -1 || gridWidth < w ? gridWidth : w;
}

std::int32_t FEditor::noFields2Display(std::int32_t iField2StartAt) const {
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
void FEditor::setVerticalMaximum(std::int32_t maximum) {
  vsbUnits2display->setMaximum(std::max(maximum, vsbUnits2display->minimum()));
}

void FEditor::refreshDisplay(std::int32_t iChange) {
  createCells();
  const std::int32_t f0 = hsbFields2Display->sliderPosition();
  const std::int32_t nCols = noFields2Display(f0);
  colLeft.resize(static_cast<std::size_t>(nCols));
  colWidth.resize(static_cast<std::size_t>(nCols));
  colTip.resize(static_cast<std::size_t>(nCols));
  const std::int32_t u0 = vsbUnits2display->sliderPosition();
  // A file with fewer records than rows shows only the rows that exist.
  const std::int32_t nRows = std::clamp(mFile.record().NoUnits() - u0 + 1, 0, noUnits2Display());
  if (iChange == 2 || iChange == 3) refreshColumns(f0, nCols);
  if (iChange == 1 || iChange == 3) refreshRows(u0, nRows);
  refreshCells(f0, nCols, u0, nRows);
  // The labels follow every refill, also one that does not move a bar's value.
  lblFieldNo->setText(QString::number(mFile.record().actualFieldNoInSelectedRange(f0)));
  lblUnitNo->setText(QString::number(u0 - (firstDataUnit() - 1)));
  followEditedCell(f0, nCols, u0, nRows);
}

// The cell being edited keeps its field: when the page moved, the editor moves to the cell that
// now shows that field of that record, caret and all; when none does, the edit ends.
void FEditor::followEditedCell(std::int32_t f0, std::int32_t nCols, std::int32_t u0, std::int32_t nRows) {
  if (mEditedIndex < 0) return;
  const std::int32_t row = mEditedRecord - u0, column = mEditedColumn - f0;
  if (row < 0 || row >= nRows || column < 0 || column >= std::min(nCols, gGlobal->MaxFields())) {
    mCellEditor->clearFocus();
    return;
  }
  const std::int32_t index = gGlobal->MaxFields() * row + column;
  if (index == mEditedIndex) {
    mCellEditor->setGeometry(txtField[static_cast<std::size_t>(index)]->geometry());
    return;
  }
  const QTextCursor caret = mCellEditor->textCursor();
  txtField[static_cast<std::size_t>(index)]->setFocus(Qt::OtherFocusReason);
  QTextCursor moved(mCellEditor->document());
  moved.setPosition(caret.anchor());
  moved.setPosition(caret.position(), QTextCursor::KeepAnchor);
  mCellEditor->setTextCursor(moved);
}

void FEditor::refreshColumns(std::int32_t f0, std::int32_t nCols) {
  const auto headers = mFile.record().returnArrayFieldXUnit(1, f0, 3, nCols);
  const auto headerText = [&](std::int32_t c, std::int32_t record) {
    return CodePage::toQString(headers[static_cast<std::size_t>(c)][static_cast<std::size_t>(record - 1)]);
  };
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
    if (FileKind::of(mFormID).headerRows() >= 3) text += QLatin1Char('\n') + headerText(c, 2) + QLatin1Char('\n') + headerText(c, 3);
    header->setPlainText(text);
    const QString hint = headerText(c, FileKind::of(mFormID).tipRow);
    header->setToolTip(hint);
    header->setProperty("Tag", hint);
    colTip[k] = headerText(c, 1);
    header->show();
  }
}

void FEditor::refreshRows(std::int32_t u0, std::int32_t nRows) {
  const std::vector<std::string> names = mFile.record().returnArrayUnitNames(u0, nRows);
  for (std::int32_t r = 0; r < gGlobal->MaxUnits(); ++r) {
    QLabel* name = lblRow[static_cast<std::size_t>(r)];
    QLabel* number = lblRowNo[static_cast<std::size_t>(r)];
    if (r >= nRows) {
      name->hide();
      number->hide();
      continue;
    }
    number->setText(QString::number(u0 + r + 1 - firstDataUnit()));
    showRowName(r, CodePage::toQString(names[static_cast<std::size_t>(r)]));
    name->show();
    number->show();
  }
}

void FEditor::showRowName(std::int32_t iRow, const QString& sName) {
  QLabel* name = lblRow[static_cast<std::size_t>(iRow)];
  name->setText(paintedPart(sName, name->size()));
  lblRowNo[static_cast<std::size_t>(iRow)]->setToolTip(sName);
}

void FEditor::refreshCells(std::int32_t f0, std::int32_t nCols, std::int32_t u0, std::int32_t nRows) {
  const auto data = mFile.record().returnArrayFieldXUnit(u0, f0, nRows, nCols);
  const std::int32_t maxFields = gGlobal->MaxFields();
  fillingGrid = true;
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
      cell->setText(CodePage::toQString(data[k][static_cast<std::size_t>(r)]));
      cell->setTag(colTip[k]);
      cell->setMark({});
      markDifference(cell, u0 + r, mFile.record().actualFieldNoInSelectedRange(f0 + c));
      cell->show();
    }
  }
  if (mFile.record().hasSaveProblems())
    for (std::int32_t r = 0; r < nRows; ++r) markSaveProblems(r);
  fraDisplay->endRefill();
  fillingGrid = false;
}

// A bar's value is its thumb's position: while the thumb is dragged it is ahead of value(),
// which (tracking off) only follows when the thumb is released.
void FEditor::hsbFields2Display_Change() {
  lblFieldNo->setText(QString::number(mFile.record().actualFieldNoInSelectedRange(hsbFields2Display->sliderPosition())));
  refreshDisplay(2);
}

void FEditor::hsbFields2Display_Scroll() {
  lblFieldNo->setText(QString::number(mFile.record().actualFieldNoInSelectedRange(hsbFields2Display->sliderPosition())));
  if (chkScrollUpdate[0]->isChecked()) refreshDisplay(2);
}

void FEditor::vsbUnits2display_Change() {
  lblUnitNo->setText(QString::number(vsbUnits2display->sliderPosition() - (firstDataUnit() - 1)));
  refreshDisplay(1);
}

void FEditor::vsbUnits2display_Scroll() {
  lblUnitNo->setText(QString::number(vsbUnits2display->sliderPosition() - (firstDataUnit() - 1)));
  if (chkScrollUpdate[1]->isChecked()) refreshDisplay(1);
}

// The wheel pages units by the platform's lines a notch, as it does over the vertical bar; with
// Shift, or turned sideways, it goes through fields. Parts of a notch (a touchpad's) add up.
void FEditor::wheelEvent(QWheelEvent* event) {
  if (!fraMain->isVisible()) return QWidget::wheelEvent(event);
  QPoint delta = event->angleDelta();
  if ((event->modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = {delta.y(), 0};
  const bool fields = std::abs(delta.x()) > std::abs(delta.y());
  constexpr int kNotch = 120;
  const int lines = std::max(1, QApplication::wheelScrollLines());
  int& rest = fields ? mWheelRest.rx() : mWheelRest.ry();
  rest += fields ? delta.x() : delta.y();
  const int steps = rest * lines / kNotch;
  rest -= steps * kNotch / lines;
  QScrollBar* bar = fields ? hsbFields2Display : vsbUnits2display;
  if (steps != 0) bar->setValue(bar->value() - steps);
  event->accept();
}
