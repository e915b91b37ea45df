// The file actions of the button row (New Editor, Load File, Save File As, Load Defaults, Exit),
// the unsaved-changes prompt, the close request, and files given on the command line or dropped.
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <system_error>

#include "COpClDialog.h"
#include "CRecordData.h"
#include "CodePage.h"
#include "FEditor.h"
#include "FPrompt.h"
#include "FSetRange.h"
#include "GlobalShared.h"
#include "Platform.h"
#include "PlatformQt.h"
#include "Settings.h"
#include "ShowMessage.h"
#include "UserFolders.h"

namespace {

enum Action : std::int32_t { kNewEditor = 0, kLoadFile = 2, kSaveFileAs = 3, kLoadDefaults = 5, kExit = 7 };

// A settings file that cannot be written is told once; the action goes on.
void tell(const std::optional<FileFailure>& failure) {
  if (failure) ShowMessage::failure(*failure);
}

const std::string kFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";

#ifdef Q_OS_WIN
const char* const kExecutable = "/pelkoEditor.exe";
#else
const char* const kExecutable = "/pelkoEditor";
#endif

}  // namespace

bool FEditor::doFileAction(std::int32_t iAction) {
  if (mFile.dataChanged() && (iAction == kLoadFile || iAction == kLoadDefaults) && !askSaveChanges()) return false;
  switch (iAction) {
    case kNewEditor: return newEditor();
    case kLoadFile: return loadFile();
    case kSaveFileAs: return saveFileAs();
    case kLoadDefaults: loadDefaults(); return true;
    case kExit: close(); return false;
    default: return false;
  }
}

bool FEditor::askSaveChanges() {
  mJournal.flush();  // the question may wait long
  const int answer = ShowMessage::box(Message::withPath("Discard Changes?", "The data in ", mFile.record().sFilePath(),
                                                       " has changed.\r\n\r\nDo you want to save the changes?",
                                                       Message::YesNoCancel | Message::Exclamation));
  // Yes goes on only when the save succeeded: a cancelled or failed save keeps the edits here.
  if (answer == Message::Yes) {
    doFileAction(kSaveFileAs);
    return !mFile.dataChanged();
  }
  if (answer == Message::No) mJournal.discard();
  return answer == Message::No;
}

bool FEditor::newEditor() {
  const std::string path = Platform::programFolder() + kExecutable;
  QProcess process;
  process.setProgram(CodePage::fromPath(path));
  process.setWorkingDirectory(QDir::currentPath());
  if (process.startDetached()) return true;
  // Qt names the failure but gives no number: the system says why the file cannot run.
  int error = static_cast<int>(process.error());
  std::string description = CodePage::fromQString(process.errorString());
  if (const int why = PlatformQt::whyNotRunnable(path); why != 0) {
    error = why;
    description = std::generic_category().message(error);
  }
  ShowMessage::box({"Error Launching PelkoEditor!",
                    "Error:" + std::to_string(error) + "\r\n" + description + "\r\n\r\nCouldn't find PelkoEditor.exe to Launch!!",
                    Message::OkOnly | Message::Exclamation});
  return false;
}

bool FEditor::loadFile() {
  std::int32_t type = 0;
  std::string tag = "[prod/build/projectile]";
  if (!chkAutoDetect->isChecked()) {
    type = prompt().RetMlFormID(this, false);
    if (type == 0) return false;
    tag = FileKind::sectionName(type);
  }
  // The shown kind's view is stored before the load sets the window up again and reads it back.
  if (mFormID != 0 && mFormID != type) tell(GlobalShared::saveTypeSettings(mFormID, *this));
  COpClDialog dialog;
  std::string filename, fileTitle, filter = kFilter, initDir, title = "Open File " + tag, defaultExt = "TXT";
  bool mustExist = true, multiSelect = false, readOnly = false, hideReadOnly = false;
  std::int32_t filterIndex = 1, flags = COpClDialog::kHideReadOnly;
  if (!dialog.VBGetOpenFileName(filename, fileTitle, mustExist, multiSelect, readOnly, hideReadOnly, filter, filterIndex,
                                initDir, title, defaultExt, this, flags))
    return false;
  LoadRecord(filename, type);  // reports its own failures
  return true;
}

void FEditor::saveToLoadedFile() {
  if (mFormID == 0 || !cmdFileActions[kSaveFileAs]->isEnabled()) return;
  const std::string path = mFile.record().sFilePath();
  if (path.empty() || GlobalShared::getFileName(path) == FileKind::defaultFileName(mFormID, true))
    doFileAction(kSaveFileAs);
  else
    SaveRecord(path);  // reports its own failures
}

bool FEditor::openFile(const QString& path) {
  if (mFile.dataChanged() && !askSaveChanges()) return false;
  if (mFormID != 0) tell(GlobalShared::saveTypeSettings(mFormID, *this));
  return LoadRecord(CodePage::toPath(path), 0);  // reports its own failures
}

void FEditor::openRecentFile(const std::string& path) {
  if (GlobalShared::fileExists(path)) {
    openFile(CodePage::fromPath(path));
    return;
  }
  RecentFiles recent = GlobalShared::loadRecentFiles();
  recent.remove(path);
  tell(GlobalShared::saveRecentFiles(recent));
  const char* const note = "Not found, dropped from the recent files: ";
  setStatusText(CodePage::toQString(note) + CodePage::shownPath(path));
  // Without a file the status line is hidden.
  if (!fraMain->isVisible()) ShowMessage::box(Message::withPath("Recent Files", note, path, "", Message::OkOnly | Message::Exclamation));
}

void FEditor::openLater(const QString& path) {
  // A relative name is taken from the working folder as it is now.
  QTimer::singleShot(0, this, [this, absolute = QFileInfo(path).absoluteFilePath()] { openFile(absolute); });
}

namespace {

// The one local file a drag carries, or nothing.
QString droppedFile(const QMimeData* data) {
  const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
  return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

}  // namespace

void FEditor::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void FEditor::dropEvent(QDropEvent* event) {
  const QString path = droppedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  openLater(path);
}

bool FEditor::saveFileAs() {
  COpClDialog dialog;
  std::string filename, fileTitle, filter = kFilter, initDir, defaultExt = "TXT";
  std::string title = "Save " + FileKind::sectionName(mFormID) + " File As...";
  bool overwritePrompt = true;
  std::int32_t filterIndex = 1, flags = 0;
  if (!dialog.VBGetSaveFileName(filename, fileTitle, overwritePrompt, filter, filterIndex, initDir, title, defaultExt,
                                this, flags))
    return false;
  SaveRecord(filename);  // reports its own failures
  return true;
}

void FEditor::loadDefaults() {
  const std::int32_t type = mFormID == 0 || !chkAutoDetect->isChecked() ? prompt().RetMlFormID(this, true) : mFormID;
  if (type == 0) return;
  const std::string bakName = FileKind::defaultFileName(type, true);
  const std::string path = GlobalShared::getDefaultCopyPath(type);
  if (GlobalShared::fileExists(path)) {
    LoadRecord(path, type);
    return;
  }
  // The blanks widen the box's title so that the path below fits.
  const std::string title = "Couldn't Load Default Data" + std::string(CodePage::fromPath(path).size(), ' ');
  ShowMessage::box(Message::withPath(title,
                                     bakName + " File Missing!!\r\n" +
                                         "The Program stores the default values in a .bak file which it looks for in the "
                                         "application folder. (here:)\r\n\r\n",
                                     CodePage::toPath(CodePage::shownPath(path)),
                                     "\r\n\r\nIn order to restore the default values function please copy an original of \"" +
                                         FileKind::defaultFileName(type, false) +
                                         "\" to this folder and rename the file as \"" + bakName + "\"",
                                     Message::OkOnly));
}

FPrompt& FEditor::prompt() {
  if (!mPrompt) mPrompt = std::make_unique<FPrompt>(this);
  return *mPrompt;
}

void FEditor::closeEvent(QCloseEvent* event) {
  if (mFile.dataChanged() && !askSaveChanges()) {
    event->ignore();
    return;
  }
  // Saved, dropped or never changed: the journal has nothing more to keep.
  mJournal.discard();
  mJournal.stop();
  tell(GlobalShared::saveClosingSettings(mFormID, *this));
  mSetRange.reset();
  mPrompt.reset();
  mFile.reset();  // the loaded data go; the window stays safe to touch
  event->accept();
}
