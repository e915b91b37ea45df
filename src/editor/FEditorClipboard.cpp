// Copy and Paste of blocks of values, in the text spreadsheets put on the clipboard. Without a
// block, Copy and a paste of one value stay the edit box's own.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMenu>
#include <algorithm>

#include "BlockTransfer.h"
#include "CRecordData.h"
#include "CellEditSession.h"
#include "CellEditor.h"
#include "CodePage.h"
#include "Counted.h"
#include "DataFileFormat.h"
#include "FEditor.h"
#include "RecordGrid.h"
#include "SaveGuard.h"
#include "SpreadsheetText.h"

namespace {

#ifdef Q_OS_WIN
constexpr std::string_view kLineEnd = "\r\n";
#else
constexpr std::string_view kLineEnd = "\n";
#endif

QString number(std::size_t n) { return QLocale().toString(static_cast<qulonglong>(n)); }

QString unitsByFields(std::int32_t units, std::int32_t fields) {
  return Counted::unitsByFields(static_cast<std::size_t>(units), static_cast<std::size_t>(fields));
}

}  // namespace

// The edit box hands every paste here first (keys, its menu, a drop), so the clipboard is read
// once whatever becomes of the text.
void FEditor::watchClipboard() {
  mSession->editor()->setBlockPaste([this](const QString& text) { return pasteBlock(text); });
}

// The selected block, or else the cell being edited alone; empty when there is neither.
CellBlock FEditor::blockOrFocusedCell() const {
  const CellBlock block = mGrid->selectedBlock();
  if (!block.empty() || !mSession->active()) return block;
  const std::int32_t row = mGrid->view().rowOf(mSession->record());
  return {row, row, mSession->column(), mSession->column()};
}

bool FEditor::copyBlock(bool withNames) {
  const CellBlock block = withNames ? blockOrFocusedCell() : mGrid->selectedBlock();
  if (block.empty()) return false;
  QGuiApplication::clipboard()->setText(
      CodePage::toQString(BlockTransfer::copyText(mFile.record(), mGrid->view(), block, withNames, kLineEnd)));
  return true;
}

// With a block selected, the menu's Copy copies it, as Ctrl+C does.
void FEditor::addCopyWithNames(QMenu& menu) {
  QAction* copyWithNames = new QAction(QStringLiteral("Copy with Names"), &menu);
  copyWithNames->setObjectName(QStringLiteral("copyWithNames"));
  connect(copyWithNames, &QAction::triggered, this, [this] { copyBlock(true); });
  const QList<QAction*> actions = menu.actions();
  const auto copy = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
    return action->objectName() == QStringLiteral("edit-copy");
  });
  menu.insertAction(copy == actions.end() || copy + 1 == actions.end() ? nullptr : *(copy + 1), copyWithNames);
  if (copy == actions.end() || mGrid->selectedBlock().empty()) return;
  (*copy)->disconnect();
  (*copy)->setEnabled(true);
  connect(*copy, &QAction::triggered, this, [this] { copyBlock(false); });
}

// A refused paste is told on the status line, with a beep, as the edit box's own refused paste
// is: a message box would stand in the way of the next try, and the line is in view whenever a
// cell is.
bool FEditor::pasteBlock(const QString& text) {
  const std::string bytes = CodePage::fromQString(text);
  if (mGrid->selectedBlock().empty() && !SpreadsheetText::isBlock(bytes)) return false;
  const CellBlock target = blockOrFocusedCell();
  if (target.empty()) return true;
  BlockTransfer::PastePlan plan = BlockTransfer::planPaste(mFile.record(), mGrid->view(), bytes, target);
  using Refusal = BlockTransfer::PastePlan::Refusal;
  if (plan.refusal != Refusal::None) {
    QString why;
    if (plan.refusal == Refusal::TooLarge)
      why = QStringLiteral("Not pasted: the block is %1; from this cell %2 fit.")
                .arg(unitsByFields(plan.blockRecords, plan.blockColumns),
                     unitsByFields(plan.fitRecords, plan.fitColumns));
    else if (plan.refusal == Refusal::TooLong)
      why = QStringLiteral("Not pasted: record %1 (\"%2\") would be %3 characters long; a record may hold at most %4.")
                .arg(number(static_cast<std::size_t>(plan.record)),
                     CodePage::toQString(mFile.record().unitName(plan.record)), number(plan.length),
                     number(DataFileFormat::kLongestRecord));
    else
      why = QStringLiteral("Not pasted: the new values would take %1 bytes; a paste may take at most %2.")
                .arg(number(plan.length), number(BlockTransfer::kMostPastedBytes));
    setStatusText(why);
    QApplication::beep();
    return true;
  }
  const std::size_t changed = plan.changes.size();
  std::int32_t problem = 0;  // the first changed record the file cannot hold as it now is
  if (applyCells(std::move(plan.changes)) && mFile.record().hasSaveProblems()) {
    for (const CellChanges::Cell& cell : mFile.steps()[mFile.stepsDone() - 1].cells)
      if (mFile.record().saveProblem(cell.record)) {
        problem = cell.record;
        break;
      }
  }
  QString said =
      QStringLiteral("Pasted: %1 changed.").arg(Counted::of(changed, "value", "values"));
  if (std::count(bytes.begin(), bytes.end(), '?') > text.count(QLatin1Char('?')))
    said += QStringLiteral(" A character that the file's code page cannot hold was stored as \"?\".");
  if (problem) said = mGrid->saveProblemText(problem, mFile.record().saveProblem(problem)->field);
  setStatusText(said);
  return true;
}
