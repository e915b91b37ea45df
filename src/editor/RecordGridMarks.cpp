// What the grid marks on the values it shows: those that differ from the game's default copy
// (tinted, with their count below the grid), those a save would refuse (framed in red) and text
// where the other units hold numbers (underlined).
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "CGlobal.h"
#include "CodePage.h"
#include "EditedFile.h"
#include "GlobalShared.h"
#include "GridCell.h"
#include "RecordGrid.h"
#include "SaveGuard.h"
#include "Twips.h"
#include "UserFolders.h"
#include "ValueChange.h"

void RecordGrid::markDifference(GridCell* cell, std::int32_t iRecNo, std::int32_t iField) {
  const std::string* value = mFile.defaultValue(iRecNo, iField);
  cell->setDefaultValue(value != nullptr, value ? CodePage::toQString(*value) : QString());
  const CRecordData& record = mFile.record();
  // Most values are numbers or lie in text fields: the field is looked at only for a text.
  cell->setTextAmongNumbers(iRecNo >= firstDataUnit() && !ValueChange::isNumber(record.value(iRecNo, iField)) &&
                            mNumbers.othersHoldNumbers(record, iRecNo, iField));
  const QString hint = cell->hint();
  if (cell->toolTip() != hint) cell->setToolTip(hint);
}

QString RecordGrid::saveProblemText(std::int32_t iRecNo, std::int32_t iField) const {
  const SaveProblem* problem = mFile.record().saveProblem(iRecNo);
  if (!problem || problem->field != iField) return {};
  return QStringLiteral("Cannot be saved as it is: ") + CodePage::toQString(SaveGuard::describe(mFile.record(), *problem)) +
         QLatin1Char('.');
}

// Marks the shown cells of a grid row whose value a save would refuse.
void RecordGrid::markSaveProblems(std::int32_t iRow) {
  const std::int32_t record = mView.record(vsbUnits2display->sliderPosition() + iRow);
  const std::int32_t maxFields = gGlobal->MaxFields();
  for (std::int32_t c = 0; c < maxFields; ++c) {
    GridCell* cell = txtField[static_cast<std::size_t>(maxFields * iRow + c)];
    if (cell->isHidden()) continue;
    const QString problem =
        saveProblemText(record, mFile.record().actualFieldNoInSelectedRange(hsbFields2Display->sliderPosition() + c));
    cell->setMark(problem);
    cell->setToolTip(cell->hint());
  }
}

bool RecordGrid::showDifferenceCount() {
  if (!mFile.hasDefaults()) {
    if (lblDifferences) lblDifferences->hide();
    return false;
  }
  if (!lblDifferences) {
    lblDifferences = new QLabel(this);
    lblDifferences->setObjectName(QStringLiteral("lblDifferences"));
  }
  const auto count = static_cast<qulonglong>(mFile.differenceCount());
  const int widthBefore = lblDifferences->sizeHint().width();
  lblDifferences->setText(QString::number(count) + (count == 1 ? QStringLiteral(" differs") : QStringLiteral(" differ")) +
                          QStringLiteral(" from default"));
  QString hint = QStringLiteral("Values that differ from the default copy: ") +
                 CodePage::shownPath(GlobalShared::getDefaultCopyPath(kind()));
  // Records pair with the copy's by unit name: say which units have no default to differ from.
  if (const auto without = static_cast<qulonglong>(mFile.recordsWithoutDefault()); without > 0)
    hint += (without == 1 ? QStringLiteral("\n1 unit of this file has") : QStringLiteral("\n%1 units of this file have").arg(without)) +
            QStringLiteral(" no counterpart in the default copy.");
  if (const auto missing = static_cast<qulonglong>(mFile.defaultsWithoutRecord()); missing > 0)
    hint += (missing == 1 ? QStringLiteral("\n1 unit of the default copy has") : QStringLiteral("\n%1 units of the default copy have").arg(missing)) +
            QStringLiteral(" no counterpart in this file.");
  lblDifferences->setToolTip(hint);
  lblDifferences->setVisible(true);
  return lblDifferences->sizeHint().width() != widthBefore;
}

int RecordGrid::placeDifferenceCount(int iTop, bool fitText, int gridLeft) {
  if (!lblDifferences || !mFile.hasDefaults()) return 0;
  constexpr int kLeft = 120, kGap = 120;
  const int width = fitText ? Twips::fromPixels(lblDifferences->sizeHint().width()) : std::max(0, gridLeft - 360 - kGap - kLeft);
  Twips::place(lblDifferences, kLeft, iTop, width, 255);
  lblDifferences->setVisible(true);
  return kLeft + width + kGap;
}

// The edit box covers its cell, and so the cell's underline: it draws one of its own.
void RecordGrid::markEditBox() {
  if (!mEditBox || mFocused < 0) return;
  if (!mNumberLine) {
    mNumberLine = new QWidget(mEditBox);
    mNumberLine->setObjectName(QStringLiteral("numberLine"));
    mNumberLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    mNumberLine->setAutoFillBackground(true);
    QPalette colours = mNumberLine->palette();
    colours.setColor(QPalette::Window, numberMarkColour());
    mNumberLine->setPalette(colours);
  }
  mNumberLine->setGeometry(2, mEditBox->height() - 4, std::max(0, mEditBox->width() - 4), 2);
  mNumberLine->setVisible(txtField[static_cast<std::size_t>(mFocused)]->textAmongNumbers());
  mNumberLine->raise();
}
