// What the grid marks on the values it shows: those that differ from the game's default copy
// (tinted, with their count below the grid), those a save would refuse (framed in red) and text
// where the other units hold numbers (underlined).
#include <QCheckBox>
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

namespace {

QString shown(const std::string* value) {
  return !value || value->empty() ? QStringLiteral("(empty)") : CodePage::toQString(*value);
}

// The hint line of a differing value: what the compared file holds, and in a merge the default.
QString differenceLine(const EditedFile& file, Difference difference, std::int32_t iRecNo, std::int32_t iField) {
  const QString other = shown(file.defaultValue(iRecNo, iField));
  const QString base = QStringLiteral("\nDefault value: ") + shown(file.comparison().baseValue(iRecNo, iField));
  switch (difference) {
    case Difference::Differs:
      return (file.comparison().mode() == MergeComparison::Mode::OtherFile ? QStringLiteral("Other file: ")
                                                                           : QStringLiteral("Default value: ")) + other;
    case Difference::CanTake: return QStringLiteral("Can take, other file: ") + other + base;
    case Difference::Same: return QStringLiteral("Same change in the other file") + base;
    case Difference::Conflict: return QStringLiteral("Conflict, other file: ") + other + base;
    case Difference::OursOnly: return QStringLiteral("Changed in this file only") + base;
    case Difference::None: break;
  }
  return {};
}

QString units(std::size_t count, const char* what) {
  return count == 1 ? QStringLiteral("\n1 unit of ") + QLatin1String(what) + QStringLiteral(" has")
                    : QStringLiteral("\n%1 units of ").arg(static_cast<qulonglong>(count)) + QLatin1String(what) + QStringLiteral(" have");
}

}  // namespace

void RecordGrid::markDifference(GridCell* cell, std::int32_t iRecNo, std::int32_t iField) {
  const Difference difference = mFile.difference(iRecNo, iField);
  cell->setDifference(difference, difference == Difference::None ? QString() : differenceLine(mFile, difference, iRecNo, iField));
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
    if (chkOnlyChanged) chkOnlyChanged->hide();
    return false;
  }
  if (!lblDifferences) {
    lblDifferences = new QLabel(this);
    lblDifferences->setObjectName(QStringLiteral("lblDifferences"));
    chkOnlyChanged = new QCheckBox(QStringLiteral("Only changed units"), this);
    chkOnlyChanged->setObjectName(QStringLiteral("chkOnlyChanged"));
    connect(chkOnlyChanged, &QCheckBox::toggled, this, &RecordGrid::onlyChangedToggled);
  }
  const MergeComparison& comparison = mFile.comparison();
  const int widthBefore = lblDifferences->sizeHint().width();
  const auto count = [&](Difference difference) { return QString::number(static_cast<qulonglong>(comparison.count(difference))); };
  const auto total = static_cast<qulonglong>(mFile.differenceCount());
  const QString differ = QString::number(total) + (total == 1 ? QStringLiteral(" differs") : QStringLiteral(" differ"));
  const std::string copyPath = GlobalShared::getDefaultCopyPath(kind());
  const QString otherPath = CodePage::shownPath(comparison.otherPath());
  QString hint;
  switch (comparison.mode()) {
    case MergeComparison::Mode::ThreeWay:
      lblDifferences->setText(count(Difference::CanTake) + QStringLiteral(" can take · ") + count(Difference::Same) +
                              QStringLiteral(" same · ") + count(Difference::Conflict) +
                              (comparison.count(Difference::Conflict) == 1 ? QStringLiteral(" conflict · ") : QStringLiteral(" conflicts · ")) +
                              count(Difference::OursOnly) + QStringLiteral(" ours only"));
      hint = QStringLiteral("Merging the other file: ") + otherPath + QStringLiteral("\nChanges are against the default copy: ") +
             CodePage::shownPath(copyPath);
      if (const std::size_t added = comparison.theirsAdded(); added > 0)
        hint += units(added, "the other file") + QStringLiteral(" no counterpart in the default copy: they cannot be taken.");
      if (const auto lacking = static_cast<qulonglong>(comparison.untakeable()); lacking > 0)
        hint += QStringLiteral("\n%1 of its changes are to units or fields this file lacks: they cannot be taken.").arg(lacking);
      break;
    case MergeComparison::Mode::OtherFile:
      lblDifferences->setText(differ + QStringLiteral(" from other file"));
      hint = QStringLiteral("Values that differ from the other file: ") + otherPath;
      break;
    default:
      lblDifferences->setText(differ + QStringLiteral(" from default"));
      hint = QStringLiteral("Values that differ from the default copy: ") + CodePage::shownPath(copyPath);
  }
  // Records pair with the compared file's by unit name: say which units have nothing to differ from.
  const bool other = comparison.mode() == MergeComparison::Mode::OtherFile;
  if (const std::size_t without = mFile.recordsWithoutDefault(); without > 0)
    hint += units(without, "this file") + (other ? QStringLiteral(" no counterpart in the other file.") : QStringLiteral(" no counterpart in the default copy."));
  if (const std::size_t missing = mFile.defaultsWithoutRecord(); missing > 0)
    hint += units(missing, other ? "the other file" : "the default copy") + QStringLiteral(" no counterpart in this file.");
  lblDifferences->setToolTip(hint);
  lblDifferences->setVisible(true);
  chkOnlyChanged->setVisible(true);
  return lblDifferences->sizeHint().width() != widthBefore;
}

int RecordGrid::placeDifferenceCount(int iTop, bool fitText, int gridLeft) {
  if (!lblDifferences || !mFile.hasDefaults()) return 0;
  constexpr int kLeft = 120, kGap = 120;
  // A merge's four numbers are wider than the names' room: they are never cut short.
  const int textWidth = Twips::fromPixels(lblDifferences->sizeHint().width());
  const int width = fitText ? textWidth : std::max(textWidth, gridLeft - 360 - kGap - kLeft);
  Twips::place(lblDifferences, kLeft, iTop, width, 255);
  lblDifferences->setVisible(true);
  // "Only changed units" follows the count; the field number gives way to it.
  const int boxWidth = Twips::fromPixels(chkOnlyChanged->sizeHint().width());
  Twips::place(chkOnlyChanged, kLeft + width + kGap, iTop, boxWidth, 255);
  chkOnlyChanged->setVisible(true);
  return kLeft + width + kGap + boxWidth + kGap;
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

bool RecordGrid::onlyChanged() const { return chkOnlyChanged && chkOnlyChanged->isChecked() && mFile.hasDefaults(); }
