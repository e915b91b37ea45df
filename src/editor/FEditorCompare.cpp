// Comparing the loaded file with any file of its kind, merging another mod's changes three-way
// against the default copy, and going from one differing value to the next.
#include <QApplication>
#include <QShortcut>
#include <climits>

#include "COpClDialog.h"
#include "CellEditSession.h"
#include "DataFile.h"
#include "FEditor.h"
#include "GlobalShared.h"
#include "RecordGrid.h"
#include "ShowMessage.h"
#include "UnitView.h"

void FEditor::watchComparison() {
  connect(new QShortcut(Qt::CTRL | Qt::Key_D, this), &QShortcut::activated, this, &FEditor::chooseComparedFile);
  connect(new QShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_D, this), &QShortcut::activated, this, &FEditor::takeAllNonConflicting);
  connect(new QShortcut(Qt::Key_F7, this), &QShortcut::activated, this, [this] { goToDifference(1); });
  connect(new QShortcut(Qt::SHIFT | Qt::Key_F7, this), &QShortcut::activated, this, [this] { goToDifference(-1); });
  connect(mGrid, &RecordGrid::onlyChangedToggled, this, &FEditor::refreshView);
}

void FEditor::chooseComparedFile() {
  if (mFormID == 0) return;
  COpClDialog dialog;
  std::string filename, fileTitle, filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", initDir, defaultExt = "TXT";
  std::string title = "Compare With " + FileKind::sectionName(mFormID);
  bool mustExist = true, multiSelect = false, readOnly = false, hideReadOnly = false;
  std::int32_t filterIndex = 1, flags = COpClDialog::kHideReadOnly;
  const bool chosen = dialog.VBGetOpenFileName(filename, fileTitle, mustExist, multiSelect, readOnly, hideReadOnly, filter,
                                               filterIndex, initDir, title, defaultExt, this, flags);
  // Without a window manager nothing gives the keys back to the window once the dialog is gone,
  // and Ctrl+Shift+D comes next.
  activateWindow();
  if (chosen) compareWith(filename);
}

bool FEditor::compareWith(const std::string& sPath) {
  const std::string copyPath = GlobalShared::getDefaultCopyPath(mFormID);
  if (GlobalShared::samePath(sPath, copyPath)) {
    mFile.stopComparing();
    compareWithDefaults(mFile.record().sFilePath());
  } else {
    FileResult<std::string> text = DataFile::readText(sPath);
    if (const std::int32_t kind = text ? DataFile::detectFileType(*text) : 0; kind != 0 && kind != mFormID) {
      ShowMessage::box(Message::withPath("Compare With", "", sPath,
                                         "\r\n\r\nholds another kind of data: only a " + FileKind::sectionName(mFormID) +
                                             " file can be compared with the loaded one.",
                                         Message::OkOnly | Message::Exclamation));
      return false;
    }
    CRecordData other;
    if (const FileResult<std::int32_t> loaded = DataFile::loadDataText(std::move(text), sPath, 0, other); !loaded) {
      ShowMessage::failure(loaded.error());
      return false;
    }
    // Three-way needs the base both mods started from; without it the other file is the base.
    CRecordData copy;
    if (std::string copyText; GlobalShared::readFileBytes(copyPath, copyText) == 0 && DataFile::detectFileType(copyText) == mFormID &&
                              DataFile::loadDataText(std::move(copyText), copyPath, mFormID, copy))
      mFile.mergeWith(copy, other, sPath);
    else
      mFile.compareWithOther(other, sPath);
    showDifferenceCount();
  }
  Form_Resize();
  if (mSession->active()) mSession->takeStoredValue();
  if (mGrid->onlyChanged()) refreshView();  // other units differ now
  return true;
}

void FEditor::takeAllNonConflicting() {
  if (!applyCells(mFile.comparison().takeAll(mFile.record()))) QApplication::beep();
}

void FEditor::goToDifference(int step) {
  const UnitView& view = mGrid->view();
  const auto rowOf = [&view](std::int32_t record) { return view.rowOf(record); };
  using Place = std::pair<std::int32_t, std::int32_t>;  // row, display column
  const Place at = mSession->active() ? Place{rowOf(mSession->record()), mSession->column()}
                                      : step > 0 ? Place{0, 0} : Place{INT_MAX, INT_MAX};
  std::optional<Place> best;
  std::int32_t bestRecord = 0;
  for (const auto& [record, field] : mFile.comparison().cells()) {
    const std::int32_t column = mGrid->displayColumn(field), row = rowOf(record);
    if (column == 0 || row == 0 || record < firstDataUnit()) continue;
    const Place place{row, column};
    if (step > 0 ? place > at && (!best || place < *best) : place < at && (!best || place > *best)) {
      best = place;
      bestRecord = record;
    }
  }
  if (!best) return QApplication::beep();
  mGrid->focusField(bestRecord, best->second);
}
