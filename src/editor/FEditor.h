#pragma once
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CellBlock.h"
#include "EditJournal.h"
#include "EditedFile.h"
#include "FileKind.h"
#include "SettingsWindow.h"
#include "ShownUnits.h"
#include "UserFolders.h"
#include "WindowPlacement.h"

class CRecordData;
class CellEditSession;
class FPrompt;
class FSetRange;
class FindBar;
class ProgressPanel;
class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLockFile;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class RecordGrid;

// The editor window: one data file of one kind at a time. It wires the parts that own what they
// show (the grid of records, the edit of its focused cell, the load and save panel) to the file
// and to the controls around them; its own members are split by concern over FEditor*.cpp.
class FEditor : public QWidget, public SettingsWindow {
  Q_OBJECT

 public:
  explicit FEditor(QWidget* parent = nullptr);
  ~FEditor() override;

  std::int32_t lastSelectedIndex() const;
  bool HideNames() const override { return mHideNames; }
  std::int32_t FormID() const { return mFormID; }

  // The window's record store; replaced by every setFileType.
  CRecordData& record() { return mFile.record(); }

  bool dataChanged() const { return mFile.dataChanged(); }
  // Ctrl+S: the loaded file is written back where it came from, without a dialog. A loaded default
  // copy, which must keep the game's own values, goes through Save File As, as does a store that
  // came from no file.
  void saveToLoadedFile();

  // Loads a data file, its kind forced (1..3) or detected (0); false after a reported failure.
  bool LoadRecord(const std::string& sPath, std::int32_t iFileType);
  // Writes the loaded file to sPath; false after a reported failure.
  bool SaveRecord(const std::string& sPath);
  // The store's progress per record while it loads or saves.
  void mRecord_unitLoaded(std::int32_t iUnitNo, std::int64_t iLenStart, std::int64_t ilenCurrent);

  // Sets the window up for a kind of file (0: none) with a fresh, empty record store.
  void setFileType(std::int32_t lFileType);
  // Shows what the store holds after a successful parse of sPath: status line, title, scroll
  // ranges, the filled grid.
  void showLoadedRecords(const std::string& sPath);
  // "[file name] - PelkoEditor [section]"
  void showFileTitle(const std::string& sPath);

  std::int32_t firstDataUnit() const;

  // A file named on the command line or dropped on the window, by its full path: loaded as Load
  // File loads a file, its kind detected, after the question about unsaved changes. False when
  // nothing was loaded.
  bool openFile(const QString& path);
  // The same from the event loop: for the command line, which comes before the window shows, and
  // for a drop, whose source waits until the drop returns.
  void openLater(const QString& path);

  // Runs the file action of a button index (0, 2, 3, 5, 7); true when it went ahead.
  bool doFileAction(std::int32_t iAction);
  // The unsaved-changes prompt: true to go on (saved, or to be discarded), false to cancel.
  bool askSaveChanges();
  void loadDefaults();

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // --- creation and layout (FEditorSetup.cpp) ---
  void Form_Load();
  void createControls();
  void createMainFrame();
  void createOptionsFrame();
  void createFileActionsFrame();
  void cmdSlide_Click();
  void Form_Resize();
  int gridLeft() const;
  void fitStatusBarHeight();
  void setStatusText(const QString& text);
  bool anotherInstanceRuns();

  // --- load and save (FEditorLoadSave.cpp) ---
  void showProgress(std::int32_t iMode, const std::string& sPath);
  // true: the data changed; false: they are what the file holds, after a load or a save.
  void setDataChanged(bool changed);
  void showDataChanged();
  void hideProgress();
  // The journal of unsaved edits follows the file just loaded or saved; it is flushed every two
  // seconds while there are edits.
  void followJournal(const std::string& sPath, std::function<FileIdentity()> identity);
  // Before the store is replaced: the journal of edits neither saved nor dropped stays.
  void endJournal();
  void offerKeptEdits(const std::string& sPath);
  bool askRestore(const EditJournal::Kept& kept, const std::string& sPath);
  void showJournalNotices();

  // --- file actions (FEditorFileActions.cpp) ---
  bool newEditor();
  bool loadFile();
  bool saveFileAs();
  // An entry of the recent files: loaded as openFile loads it; a file gone is dropped from the list.
  void openRecentFile(const std::string& path);
  FPrompt& prompt();  // made on first use, unloaded when the window closes

  // --- width and range commands (FEditorCommands.cpp) ---
  void watchCommands();
  bool commandEvent(QObject* watched, QEvent* event);  // true when the event was consumed
  void setColumnWidthInput(std::int32_t iColumn);
  void selectRange(std::int32_t k);
  void defineRange(std::int32_t k);

  // --- the grid and the edit of its focused cell (FEditorCells.cpp) ---
  bool eventFilter(QObject* watched, QEvent* event) override;
  void watchCells();
  bool cellKey(const QKeyEvent* event);
  void cellTyped();
  void cellLeft();

  // --- the default copy's values, undo and redo (FEditorHistory.cpp) ---
  void compareWithDefaults(const std::string& sPath);
  void showDifferenceCount();
  void showCellMenu(QPoint globalPos);
  void revertToDefault(std::int32_t iRecNo, std::int32_t iColumn);
  void undoRedo(bool redo);
  void showStep(std::int32_t iRecNo, std::int32_t iField);
  // Makes the values one undo step, after the typing of the edited cell; false when none changes.
  bool applyCells(CellChanges cells);
  // After a step was made, undone or redone: the grid, the count and the modified flag follow.
  void showCells(const EditedFile::Step& step);

  // --- copy and paste of blocks (FEditorClipboard.cpp) ---
  void watchClipboard();
  CellBlock blockOrFocusedCell() const;
  bool copyBlock(bool withNames);  // false, nothing copied, without a block (or a cell, with names)
  void addCopyWithNames(QMenu& menu);
  bool pasteBlock(const QString& text);  // false when the text is the edit box's to paste

  // --- Change Values (FEditorChange.cpp) ---
  void changeValues();

  // --- find (FEditorFind.cpp) and replace (FEditorReplace.cpp) ---
  void showFindBar();
  FindBar& findBar();  // made on first use
  void placeFindBar();
  FindSearch::Request findRequest() const;
  void findNext(int step);
  void showReplaceBar();
  void replace(bool all);
  QString applyReplacement(FindSearch::Replacement made);

  // --- which units the grid shows, in which order (FEditorView.cpp) ---
  // After the filters or the sort changed: the grid shows the units they keep.
  void refreshView();
  void showView();
  std::optional<FindSearch::Request> matchingRequest() const;
  void sortUnits(ShownUnits::Sort sort);
  void sortByFocusedField();  // the key: ascending, descending, file order in turn
  void addSortMenu(QMenu& menu);

  // --- the settings file's view of the window (FEditorSettings.cpp) ---
  std::int32_t setRange(std::int32_t iRange, const std::string& sText) override;
  std::string getSelRangeArrayStr(std::int32_t iRange) const override;
  std::int32_t RangeSelected() const override;
  void setRangeSelected(std::int32_t iRange) override;
  void setAllDisplayWidths(const std::string& sText) override;
  std::string getWidthArrayStr() const override;
  std::string rangeButtonTag(std::int32_t n) const override;
  void setRangeButtonTag(std::int32_t n, const std::string& sText) override;
  void setRangeButtonCaption(std::int32_t n, const std::string& sText) override;
  void setRangeButtonOn(std::int32_t n) override;
  std::int32_t scrollUpdate(std::int32_t i) const override;
  void setScrollUpdate(std::int32_t i, std::int32_t state) override;
  State windowState() const override;
  void setWindowState(State state) override;
  double windowLeft() const override;
  double windowTop() const override;
  double windowWidth() const override;
  double windowHeight() const override;
  void setWindowLeft(double twips) override;
  void setWindowTop(double twips) override;
  void setWindowWidth(double twips) override;
  void setWindowHeight(double twips) override;

  // --- state ---
  std::int32_t mFormID = 0;
  bool mHideNames = false;
  EditedFile mFile;  // the store, its changes, their undo history and the default copy's values
  EditJournal mJournal{GlobalShared::userStateFolder()};  // after mFile: it leaves mFile when it goes
  // After mFile: an edit ending as the window goes must not reach a store that is gone.
  std::unique_ptr<CellEditSession> mSession;
  QTimer* mJournalTimer = nullptr;  // made at the first load
  WindowPlacement mPlacement{*this};
  std::unique_ptr<QLockFile> mInstanceLock;
  std::unique_ptr<FPrompt> mPrompt;
  std::unique_ptr<FSetRange> mSetRange;  // made on first use, unloaded when the window closes

  // --- controls; arrays are indexed as the window's control arrays ---
  QFrame* fraMain = nullptr;
  QFrame* fraOptions = nullptr;
  QFrame* fraFileActions = nullptr;
  RecordGrid* mGrid = nullptr;
  std::array<QRadioButton*, FileKind::kRangeCount + 1> optLockFields{};  // from 1
  QLabel* lblStatusBar = nullptr;
  QLabel* lblClock = nullptr;
  QLabel* lblClockTarget = nullptr;
  QPushButton* cmdSlide = nullptr;
  std::array<QPushButton*, 8> cmdFileActions{};  // 0, 2, 3, 5, 7
  QCheckBox* chkAutoDetect = nullptr;
  ProgressPanel* mProgress = nullptr;
  FindBar* mFindBar = nullptr;       // made on first use
  std::int32_t mFoundRecord = 0;     // the last match: record and display column
  std::int32_t mFoundColumn = 0;
  ShownUnits mShown;  // the filters and the sort behind the grid's view
};
