// Loading and saving data files.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>

#include "CRecordData.h"
#include "CodePage.h"
#include "ContentHash.h"
#include "FEditor.h"
#include "DataFile.h"
#include "GlobalShared.h"
#include "ProgressPanel.h"
#include "RecentFilesMenu.h"
#include "RecordGrid.h"
#include "ShowMessage.h"
#include "Twips.h"
#include "UserFolders.h"

namespace {

// At most this many milliseconds of edits are lost to a power cut.
constexpr int kJournalSyncInterval = 2000;

}  // namespace

std::int32_t FEditor::firstDataUnit() const { return FileKind::of(mFormID).firstUnit; }

bool FEditor::LoadRecord(const std::string& sPath, std::int32_t iFileType) {
  mJournal.flush();  // a failed read waits for a click
  bool started = false;  // a file whose kind is unknown leaves the earlier one shown
  std::chrono::steady_clock::time_point start;
  const FileResult<std::int32_t> loaded = DataFile::readDataFile(sPath, iFileType, [&](std::int32_t kind) -> CRecordData& {
    started = true;
    cmdFileActions[3]->setEnabled(false);
    fraOptions->hide();
    fraMain->hide();
    QCoreApplication::processEvents();  // once: the hidden frames leave the screen
    endJournal();
    setFileType(kind);
    showProgress(2, sPath);
    start = std::chrono::steady_clock::now();
    return mFile.record();
  });
  if (!loaded) ShowMessage::failure(loaded.error());
  if (!started) {
    hideProgress();
    return false;
  }
  if (loaded) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    lblClock->setText(QLocale().toString(static_cast<qlonglong>(elapsed.count())) + QStringLiteral(" ms"));
    compareWithDefaults(sPath);
    showLoadedRecords(sPath);
  } else {
    setFileType(0);
  }
  setDataChanged(false);
  hideProgress();
  if (loaded) {
    RecentFilesMenu::remember(sPath);
    followJournal(sPath, [this] { return ContentHash::of(mFile.record().loadedText()); });
    offerKeptEdits(sPath);
  }
  return loaded.has_value();
}

void FEditor::setDataChanged(bool changed) {
  if (changed)
    mFile.markChanged();
  else
    mFile.markSaved();
  showDataChanged();
}

void FEditor::showDataChanged() {
  // Only on a change: a window without a file has no mark in its title, and Qt warns of that.
  if (isWindowModified() != mFile.dataChanged()) setWindowModified(mFile.dataChanged());
}

bool FEditor::SaveRecord(const std::string& sPath) {
  mJournal.flush();  // a failed save keeps the journal, whole
  showProgress(1, sPath);
  FileIdentity written;
  if (const FileResult<void> saved = DataFile::writeDataFile(mFile.record(), mFormID, sPath, &written); !saved) {
    ShowMessage::failure(saved.error());
    hideProgress();
    return false;
  }
  const std::int32_t units = mFile.record().NoUnits() - firstDataUnit() + 1;
  setStatusText(QString::number(units) + QStringLiteral(" units saved to:    ") + CodePage::shownPath(sPath));
  mFile.record().setFilePath(sPath);  // the saved file is now the one being edited
  if (sPath == GlobalShared::getDefaultCopyPath(mFormID)) compareWithDefaults(sPath);
  showFileTitle(sPath);
  hideProgress();
  setDataChanged(false);
  mJournal.discard();
  followJournal(sPath, [written] { return written; });
  return true;
}

void FEditor::showProgress(std::int32_t iMode, const std::string& sPath) {
  using Work = ProgressPanel::Work;
  const Work work = iMode != 2 ? Work::Saving
                    : sPath == GlobalShared::getDefaultCopyPath(mFormID) ? Work::LoadingDefaults
                                                                          : Work::Loading;
  mProgress->start(work, mFormID, windowIcon(), CodePage::toQString(FileKind::sectionName(mFormID)),
                   CodePage::shownPath(sPath));
}

void FEditor::hideProgress() { mProgress->finish(); }

void FEditor::mRecord_unitLoaded(std::int32_t iUnitNo, std::int64_t iLenStart, std::int64_t ilenCurrent) {
  mProgress->unitLoaded(iUnitNo, firstDataUnit(), iLenStart, ilenCurrent);
}

// "[file name] - PelkoEditor [section]", with a "*" after the file name while there are unsaved
// changes, the mark Qt puts where the title holds "[*]".
void FEditor::showFileTitle(const std::string& sPath) {
  setWindowTitle(QLatin1Char('[') + CodePage::shownPath(GlobalShared::getFileName(sPath)) + QStringLiteral("[*]] - PelkoEditor ") +
                 CodePage::toQString(FileKind::sectionName(mFormID)));
}

void FEditor::showLoadedRecords(const std::string& sPath) {
  const std::int32_t units = mFile.record().NoUnits() - firstDataUnit() + 1;
  setStatusText(QString::number(units) + QStringLiteral(" units loaded from; ") + CodePage::shownPath(sPath));
  showFileTitle(sPath);
  mGrid->showFromStart();
  // A new file shows in its own order; the filters still ticked keep its units that they match.
  mShown.setSort({});
  if (mShown.filtered()) refreshView();
  fraOptions->show();
  fraMain->show();
  cmdFileActions[3]->setEnabled(true);
  Form_Resize();
}

void FEditor::followJournal(const std::string& sPath, std::function<FileIdentity()> identity) {
  if (!mJournalTimer) {
    mJournalTimer = new QTimer(this);
    mJournalTimer->setSingleShot(true);
    mJournalTimer->setInterval(kJournalSyncInterval);
    connect(mJournalTimer, &QTimer::timeout, this, [this] { mJournal.flush(); });
    mJournal.setListener([this] {
      if (mJournal.unsynced() && !mJournalTimer->isActive()) mJournalTimer->start();
      if (mJournal.hasNotices()) showJournalNotices();
    });
  }
  mJournal.follow(mFile, sPath, std::move(identity));
}

void FEditor::endJournal() {
  if (!mFile.dataChanged()) mJournal.discard();
  mJournal.stop();
}

namespace {

QString changes(std::size_t count) {
  return QString::number(static_cast<qulonglong>(count)) + (count == 1 ? QStringLiteral(" change") : QStringLiteral(" changes"));
}

QString heldElsewhereText() {
  return QStringLiteral("Another PelkoEditor is editing this file: changes made here are not kept for recovery.");
}

QString keptText(const EditJournal::Kept& kept, const std::string& sPath) {
  return QStringLiteral("PelkoEditor ended without saving ") + changes(kept.edits) + QStringLiteral(" to\n") +
         CodePage::shownPath(sPath);
}

}  // namespace

// A journal that an earlier run left for this file: offered back when the file is still the one
// it was made for, else kept aside where the message says.
void FEditor::offerKeptEdits(const std::string& sPath) {
  const EditJournal::Kept kept = mJournal.kept();
  if (kept.kind == EditJournal::Kept::Restorable) {
    if (!askRestore(kept, sPath)) {
      setStatusText(QStringLiteral("The unsaved changes were not restored; they stay kept until you edit this file."));
      return;
    }
    const std::size_t restored = mJournal.restore(kept);
    showDataChanged();
    showDifferenceCount();
    mGrid->refreshDisplay(3);
    setStatusText(changes(restored) + QStringLiteral(" restored: Ctrl+Z undoes them."));
  } else if (kept.kind == EditJournal::Kept::FileChanged) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Unsaved Changes Not Restored"),
                    keptText(kept, sPath) + QStringLiteral("\nbut the file has changed since, so they cannot be restored."
                                                            "\n\nThey are kept in\n") +
                        CodePage::shownPath(kept.path),
                    QMessageBox::Ok, this);
    box.exec();
  } else if (kept.kind == EditJournal::Kept::HeldElsewhere) {
    setStatusText(heldElsewhereText());
  }
}

// Yes is the default: a mis-typed Enter must not cost the edits. No leaves them kept.
bool FEditor::askRestore(const EditJournal::Kept& kept, const std::string& sPath) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Restore Unsaved Changes?"),
                  keptText(kept, sPath) +
                      QStringLiteral("\n\nDo you want to restore them? They come back as edits you can undo.\n\n"
                                     "No opens the file as it is on disk; the changes stay kept and are offered again "
                                     "at the next load, until you edit the file: then they are moved aside to\n") +
                      CodePage::shownPath(GlobalShared::userStateFolder()),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void FEditor::showJournalNotices() {
  for (const EditJournal::Notice& notice : mJournal.takeNotices()) {
    const QString path = CodePage::shownPath(notice.path);
    switch (notice.kind) {
      case EditJournal::Notice::NotWritten:
        setStatusText(QStringLiteral("Changes are not kept for recovery after a crash: ") +
                      CodePage::toQString(GlobalShared::describeError(notice.error)) + QStringLiteral(" (") + path +
                      QLatin1Char(')'));
        break;
      case EditJournal::Notice::HeldElsewhere:
        setStatusText(heldElsewhereText());
        break;
      case EditJournal::Notice::MovedAside:
        setStatusText(QStringLiteral("The changes not restored at the load were moved to ") + path);
        break;
    }
  }
}
