// The mouse commands on the grid's surroundings: a column header's request sets that field's
// width, a press on a range option selects (left) or defines (right) the range, and double-clicks
// hide and show the load-time clock.
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>

#include "CRecordData.h"
#include "CodePage.h"
#include "Controls.h"
#include "FEditor.h"
#include "FSetRange.h"
#include "RecordGrid.h"

namespace {

using Controls::menuKey;
using Controls::rightAlone;

bool leftAlone(const QMouseEvent* event) {
  return event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton;
}

}  // namespace

void FEditor::watchCommands() {
  for (std::size_t k = 1; k <= FileKind::kRangeCount; ++k) {
    // The mouse selects a range on the press; this is for the keyboard, which moves the option.
    connect(optLockFields[k], &QRadioButton::clicked, this, [this, k] {
      if (mFile.record().RangeSelected() != static_cast<std::int32_t>(k)) selectRange(static_cast<std::int32_t>(k));
    });
  }
  lblClock->installEventFilter(this);
  lblClockTarget->installEventFilter(this);
  lblClock->raise();  // the shown clock takes a double-click on itself, the target one where it was
  connect(mGrid, &RecordGrid::columnWidthRequested, this, &FEditor::setColumnWidthInput);
}

bool FEditor::commandEvent(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && menuKey(static_cast<QKeyEvent*>(event))) {
    // On a focused range button it defines its range.
    for (std::size_t k = 1; k <= FileKind::kRangeCount; ++k) {
      if (watched != optLockFields[k]) continue;
      defineRange(static_cast<std::int32_t>(k));
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == lblClock) lblClock->hide();
    if (watched == lblClockTarget) lblClock->show();
    return false;
  }
  if (event->type() != QEvent::MouseButtonPress) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  for (std::size_t k = 1; k <= FileKind::kRangeCount; ++k) {
    if (watched != optLockFields[k]) continue;
    if (leftAlone(mouse)) selectRange(static_cast<std::int32_t>(k));  // the option then takes the press as usual
    if (!rightAlone(mouse)) return false;
    defineRange(static_cast<std::int32_t>(k));
    return true;
  }
  return false;
}

void FEditor::setColumnWidthInput(std::int32_t iColumn) {
  const std::int32_t d = mGrid->firstColumn() + iColumn;
  const QString w = QString::number(mFile.record().DisplayWidth(d));
  const QString n = QString::number(mFile.record().actualFieldNoInSelectedRange(d));
  const QString prompt = QStringList{QStringLiteral("Enter a new value for the display width of column #") + n,
                                     QStringLiteral("(values are entered in twips, don't worry - just use relative sizes.)"),
                                     QStringLiteral("Enter '-1' to make the column always at maximum width."),
                                     QStringLiteral("To reset to default value enter '0'"), QString(),
                                     QStringLiteral("Current Width for Column #") + n + QStringLiteral(" = ") + w}
                             .join(QStringLiteral("\r\n"));
  bool ok = false;
  const QString answer =
      QInputDialog::getText(this, QStringLiteral("Set Width for column #") + n, prompt, QLineEdit::Normal, w, &ok);
  if (!ok || answer.isEmpty()) return;  // a cancel gives an empty answer
  mFile.record().setDisplayWidth(d, CodePage::fromQString(answer));
  mGrid->refreshDisplay(2);
}

void FEditor::selectRange(std::int32_t k) {
  mFile.record().setRangeSelected(k);
  mGrid->rangeChanged();
}

void FEditor::defineRange(std::int32_t k) {
  if (!mSetRange) mSetRange = std::make_unique<FSetRange>(*this);
  if (!mSetRange->setRangeInput(k, *this, mFile.record().MaxValue())) return;
  selectRange(k);
  optLockFields[static_cast<std::size_t>(k)]->setChecked(true);
}
