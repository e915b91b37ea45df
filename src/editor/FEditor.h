#pragma once
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EditJournal.h"
#include "EditedFile.h"
#include "SettingsWindow.h"
#include "UserFolders.h"
#include "WindowPlacement.h"

class CRecordData;
class CellEditor;
class FPrompt;
class FSetRange;
class FindBar;
class GridCell;
class GridFrame;
class HeaderBox;
class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLockFile;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

// The editor window: one data file of one kind at a time, shown a page at a time in a fixed
// pool of grid controls. Its members are split by concern over FEditor*.cpp.
class FEditor : public QWidget, public SettingsWindow {
  Q_OBJECT

 public:
  explicit FEditor(QWidget* parent = nullptr);
  ~FEditor() override;

  std::int32_t lastSelectedIndex() const { return mLastSelectedIndex; }
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
  void createProgressFrame();
  void createCells();
  void cmdSlide_Click();
  void Form_Resize();
  void fitNumberBoxes();
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
  FPrompt& prompt();  // made on first use, unloaded when the window closes

  // --- width and range commands (FEditorCommands.cpp) ---
  void watchCommands();
  bool commandEvent(QObject* watched, QEvent* event);  // true when the event was consumed
  void setColumnWidthInput(std::int32_t iColumn);
  void selectRange(std::int32_t k);
  void defineRange(std::int32_t k);

  // --- cell editing (FEditorCells.cpp) ---
  bool eventFilter(QObject* watched, QEvent* event) override;
  void watchCells();
  void watchCell(GridCell* cell);
  void watchHeader(HeaderBox* header);
  void txtField_GotFocus(std::int32_t iIndex);
  void txtField_LostFocus();
  void txtField_Change();
  void showInCellEditor(std::string value);
  void showStoredValueInEditor();
  bool pasteFits(const QString& pasted);
  void placeCaret(QPoint point);
  void markSaveProblems(std::int32_t iRow);
  QString saveProblemText(std::int32_t iRecNo, std::int32_t iField) const;
  void growCell(GridCell* cell, std::int32_t iIndex);
  void setRowHighlight(std::int32_t iIndex, bool focused);
  bool cellKey(const QKeyEvent* event);
  void focusField(std::int32_t iRecNo, std::int32_t iColumn);
  std::int32_t scrollToField(std::int32_t iRecNo, std::int32_t iColumn);
  void showHoverHint(QWidget* control, int x);

  // --- the default copy's values, undo and redo (FEditorHistory.cpp) ---
  void compareWithDefaults(const std::string& sPath);
  void showDifferenceCount();
  int placeDifferenceCount(int iTop);
  void markDifference(GridCell* cell, std::int32_t iRecNo, std::int32_t iField);
  void tintCellEditor();
  void showCellMenu(QPoint globalPos);
  void revertToDefault(std::int32_t iRecNo, std::int32_t iColumn);
  void finishCellStep();
  void undoRedo(bool redo);
  void showStep(std::int32_t iRecNo, std::int32_t iField);

  // --- find (FEditorFind.cpp) ---
  void showFindBar();
  void placeFindBar();
  void findNext(int step);

  // --- grid paging (FEditorGrid.cpp) ---
  void refreshDisplay(std::int32_t iChange);
  void setVerticalMaximum(std::int32_t maximum);
  void refreshColumns(std::int32_t f0, std::int32_t nCols);
  void refreshRows(std::int32_t u0, std::int32_t nRows);
  void showRowName(std::int32_t iRow, const QString& sName);
  void refreshCells(std::int32_t f0, std::int32_t nCols, std::int32_t u0, std::int32_t nRows);
  void followEditedCell(std::int32_t f0, std::int32_t nCols, std::int32_t u0, std::int32_t nRows);
  std::int32_t getColumnWidth(std::int32_t iFieldNoDisplay) const;
  std::int32_t noUnits2Display() const;
  std::int32_t noFields2Display(std::int32_t iField2StartAt) const;
  std::int32_t cellColumn(std::int32_t iIndex) const;
  // The display column of the selected range that shows the field; 0 when none does.
  std::int32_t displayColumn(std::int32_t iField) const;
  std::int32_t cellRow(std::int32_t iIndex) const;
  void hsbFields2Display_Change();
  void hsbFields2Display_Scroll();
  void vsbUnits2display_Change();
  void vsbUnits2display_Scroll();

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
  std::int32_t mLastSelectedIndex = -1;
  EditedFile mFile;  // the store, its changes, their undo history and the default copy's values
  EditJournal mJournal{GlobalShared::userStateFolder()};  // after mFile: it leaves mFile when it goes
  QTimer* mJournalTimer = nullptr;  // made at the first load
  bool fillingGrid = false;
  bool mCellsCreated = false;  // the pool beyond the first cell of each kind
  bool mBusyCursor = false;
  std::int64_t mLastPanelPaint = 0;  // steady-clock milliseconds
  WindowPlacement mPlacement{*this};
  std::int32_t lastDisplayWidth = 0;
  std::int32_t lastFormHeight = 0;
  std::vector<std::int32_t> colLeft;
  std::vector<std::int32_t> colWidth;
  std::vector<QString> colTip;
  std::unique_ptr<QLockFile> mInstanceLock;
  std::unique_ptr<FPrompt> mPrompt;
  std::unique_ptr<FSetRange> mSetRange;  // made on first use, unloaded when the window closes
  // The one real text editor, placed over the cell that has the focus; -1 when none has it.
  CellEditor* mCellEditor = nullptr;
  std::int32_t mEditedIndex = -1;
  std::int32_t mEditedRecord = 0;  // what the edited cell shows: its record and display column
  std::int32_t mEditedColumn = 0;
  std::string mCellValue;  // the bytes the editor's text stands for
  std::string mCellValueAtFocus;  // what the cell held when its edit began: the undo step's start
  QString mCellShown;      // the editor's text for them
  // This edit's earlier texts and values: the editor's own undo gets back the exact bytes.
  std::vector<std::pair<QString, std::string>> mCellStates;

  // --- controls; arrays are indexed as the window's control arrays ---
  QFrame* fraMain = nullptr;
  QFrame* fraOptions = nullptr;
  QFrame* fraFileActions = nullptr;
  QFrame* fraProgressBar = nullptr;
  GridFrame* fraDisplay = nullptr;
  std::array<QRadioButton*, 7> optLockFields{};  // 1 to 6
  std::vector<QLabel*> lblRowNo;
  std::vector<QLabel*> lblRow;
  QLabel* lblStatusBar = nullptr;
  QLabel* lblUnitNo = nullptr;
  QLabel* lblFieldNo = nullptr;
  QLabel* lblClock = nullptr;
  QLabel* lblClockTarget = nullptr;
  QScrollBar* vsbUnits2display = nullptr;
  QScrollBar* hsbFields2Display = nullptr;
  std::vector<HeaderBox*> txtColumn;
  std::vector<GridCell*> txtField;
  std::array<QCheckBox*, 2> chkScrollUpdate{};
  QPushButton* cmdSlide = nullptr;
  std::array<QPushButton*, 8> cmdFileActions{};  // 0, 2, 3, 5, 7
  QCheckBox* chkAutoDetect = nullptr;
  QLabel* lblLoadMessage = nullptr;
  QLabel* lblProgress = nullptr;
  QLabel* Label2 = nullptr;
  QFrame* shpProgressBar = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* lblUnitsLoaded = nullptr;
  std::array<QLabel*, 4> imgICON{};
  QLabel* lblDifferences = nullptr;  // made when a default copy is first compared
  FindBar* mFindBar = nullptr;       // made on first use
  std::int32_t mFoundRecord = 0;     // the last match: record and display column
  std::int32_t mFoundColumn = 0;
  QPoint mWheelRest;  // the wheel's turn not yet a whole step: fields, units
};
