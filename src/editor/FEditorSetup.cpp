// Creation of the editor window, its set-up for a kind of file, and the layout rule.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLockFile>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QWheelEvent>

#include "CGlobal.h"
#include "CRecordData.h"
#include "CellEditSession.h"
#include "CodePage.h"
#include "Controls.h"
#include "FEditor.h"
#include "FPrompt.h"
#include "FSetRange.h"
#include "GlobalShared.h"
#include "KindIcons.h"
#include "Settings.h"
#include "Platform.h"
#include "ProgressPanel.h"
#include "RecentFilesMenu.h"
#include "RecordGrid.h"
#include "GridGeometry.h"
#include "Twips.h"

using namespace GridGeometry;
using namespace Controls;

namespace {

// Below this the file-action strip would cover the options strip (the designed 8535 let them overlap).
constexpr int kMinOuterWidth = 11950;
constexpr int kMinOuterHeight = 4200;
constexpr int kNamesShown = 2700;
constexpr int kNamesHidden = 500;
constexpr int kRangeButtonWidth = 2355;
constexpr int kRangeButtonNarrow = 245;
constexpr int kGridRightMargin = 110;  // beside the unit counter, right of the grid
constexpr int kGap = 30;
const QChar kShowNamesArrow(171);  // «
const QChar kHideNamesArrow(187);  // »

}  // namespace

FEditor::FEditor(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FEditor"));
  Form_Load();
}

FEditor::~FEditor() = default;

void FEditor::Form_Load() {
  resize(Twips::toPixels(11850), Twips::toPixels(7950));
  gGlobal = std::make_unique<CGlobal>();
  createControls();
  watchCells();
  watchCommands();
  setAcceptDrops(true);
  connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &FEditor::saveToLoadedFile);
  connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, &FEditor::showFindBar);
  connect(new QShortcut(Qt::CTRL | Qt::Key_H, this), &QShortcut::activated, this, &FEditor::showReplaceBar);
  connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this, [this] { findNext(1); });
  connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this, [this] { findNext(-1); });
  connect(new QShortcut(Qt::CTRL | Qt::Key_E, this), &QShortcut::activated, this, &FEditor::changeValues);
  connect(new QShortcut(Qt::Key_F9, this), &QShortcut::activated, this, &FEditor::sortByFocusedField);
  // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z everywhere: the platform's own undo keys may be only some of them.
  connect(new QShortcut(Qt::CTRL | Qt::Key_Z, this), &QShortcut::activated, this, [this] { undoRedo(false); });
  for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z})
    connect(new QShortcut(redo, this), &QShortcut::activated, this, [this] { undoRedo(true); });
  setFileType(0);
  create();  // the platform window, so that its frame is known where the platform tells it early
  GlobalShared::loadWindowPlacement(*this);
  cmdSlide->setText(kShowNamesArrow);
  if (anotherInstanceRuns()) Twips::move(this, Twips::left(this) + 1000, Twips::top(this) + 1000);
}

void FEditor::createControls() {
  createMainFrame();
  createOptionsFrame();
  createFileActionsFrame();
  mProgress = new ProgressPanel(this);
}

void FEditor::createMainFrame() {
  fraMain = frame(this, "fraMain", 60, -240, 11715, 7515);
  fraMain->hide();
  for (std::size_t i = 1; i <= FileKind::kRangeCount; ++i) {
    optLockFields[i] = make<QRadioButton>(fraMain, indexed("optLockFields", i), 120, 300 + 240 * int(i - 1),
                                          kRangeButtonWidth, 255);
    optLockFields[i]->setText(i == 1 ? QStringLiteral("Show All Fields [1 to 28]") : QStringLiteral("User-Defined [# to #]"));
    optLockFields[i]->setProperty("Tag", optLockFields[i]->text());
    if (i >= 3) optLockFields[i]->setToolTip(QStringLiteral("right-click to change range"));
  }
  optLockFields[1]->setChecked(true);
  lblStatusBar = label(fraMain, "lblStatusBar", 2700, 300, 7920, 195, QStringLiteral("dont close up"));
  lblStatusBar->setProperty("Tag", lblStatusBar->text());
  lblStatusBar->setWordWrap(true);
  lblStatusBar->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblClock = label(fraMain, "lblClock", 480, 6780, 915, 315);
  lblClock->setToolTip(QStringLiteral("clock mRecord.createRecord function"));
  lblClock->hide();
  lblClockTarget = label(fraMain, "lblClockTarget", 420, 6720, 1035, 435);

  // Beneath the other controls of the frame, which it leaves uncovered; in the Tab order where
  // its bars and cells were designed.
  mGrid = new RecordGrid(fraMain, mFile);
  // The count of selected values stands right of the status line, which gives way to it.
  connect(mGrid, &RecordGrid::blockChanged, this, [this] {
    const int width = Twips::width(mGrid->cellFrame()) - mGrid->selectionCountWidth();
    if (width == Twips::width(lblStatusBar)) return;
    Twips::place(lblStatusBar, Twips::left(lblStatusBar), Twips::top(lblStatusBar), width, Twips::height(lblStatusBar));
    fitStatusBarHeight();
  });
  mGrid->lower();
}

void FEditor::createOptionsFrame() {
  fraOptions = frame(this, "fraOptions", -120, 7380, 2895, 495);
  fraOptions->hide();
  std::array<QCheckBox*, 2> scrollUpdate{};
  scrollUpdate[0] = make<QCheckBox>(fraOptions, QStringLiteral("chkScrollUpdate_0"), 360, 0, 1695, 195);
  scrollUpdate[0]->setText(QStringLiteral("fields_scroll_update"));
  scrollUpdate[0]->setToolTip(QStringLiteral("if unchecked the display won't update when you scroll the Hscroll Bar"));
  scrollUpdate[1] = make<QCheckBox>(fraOptions, QStringLiteral("chkScrollUpdate_1"), 360, 240, 1755, 255);
  scrollUpdate[1]->setText(QStringLiteral("units_scroll_update"));
  scrollUpdate[1]->setToolTip(QStringLiteral("if unchecked the display won't update when you scroll the Vscroll Bar"));
  for (QCheckBox* box : scrollUpdate) {
    box->setChecked(true);
    fitCaption(box);
  }
  mGrid->setScrollUpdates(scrollUpdate[0], scrollUpdate[1]);
  cmdSlide = make<QPushButton>(fraOptions, QStringLiteral("cmdSlide"), 2460, 60, 375, 375);
  cmdSlide->setToolTip(QStringLiteral("click to hide names column"));
  QFont arrows(QStringLiteral("Lucida Sans Unicode"));
  arrows.setPointSizeF(14.25);
  cmdSlide->setFont(arrows);
  connect(cmdSlide, &QPushButton::clicked, this, &FEditor::cmdSlide_Click);
}

void FEditor::createFileActionsFrame() {
  fraFileActions = frame(this, "fraFileActions", 2880, 7380, 8895, 555);
  struct Action {
    std::size_t index;
    int left, width;
    const char *caption, *tip;
  };
  constexpr Action actions[] = {
      {0, 120, 1215, "&New Editor", "Launch a new instance of PelkoEditor (memory permitting)"},
      {2, 3660, 1335, "&Load File", "Load File"},
      {3, 5040, 1335, "&Save File As..", "Save File As..."},
      {5, 6420, 1215, "Load &Defaults", "Load Default Values"},
      {7, 7680, 1215, "E&xit", "Exit PelkoEditor"},
  };
  for (const Action& a : actions) {
    QPushButton* button = make<QPushButton>(fraFileActions, indexed("cmdFileActions", a.index), a.left, 60, a.width, 375);
    button->setText(QLatin1String(a.caption));
    button->setToolTip(QLatin1String(a.tip));
    fitCaption(button);
    connect(button, &QPushButton::clicked, this, [this, index = a.index] { doFileAction(static_cast<std::int32_t>(index)); });
    cmdFileActions[a.index] = button;
  }
  cmdFileActions[3]->setEnabled(false);
  connect(new RecentFilesMenu(cmdFileActions[2], this), &RecentFilesMenu::chosen, this, &FEditor::openRecentFile);
  chkAutoDetect = make<QCheckBox>(fraFileActions, QStringLiteral("chkAutoDetect"), 2460, 120, 1215, 255);
  chkAutoDetect->setText(QStringLiteral("Auto-Detect"));
  chkAutoDetect->setToolTip(QStringLiteral("Auto-detect FileType from first few characters of file"));
  chkAutoDetect->setChecked(true);
  fitCaption(chkAutoDetect);
}

void FEditor::setFileType(std::int32_t lFileType) {
  mFile.reset().setUnitLoadedHandler([this](std::int32_t unit, std::int64_t start, std::int64_t current) {
    mRecord_unitLoaded(unit, start, current);
  });
  mFormID = lFileType;
  mFoundRecord = 0;
  showDifferenceCount();
  setWindowIcon(KindIcons::icon(FileKind::find(lFileType) ? lFileType : 0));
  setWindowTitle(CodePage::toQString(FileKind::sectionName(lFileType)) + QStringLiteral(" PelkoEditor"));
  mGrid->setFileShown(lFileType != 0);
  if (lFileType == 0) return;
  mFile.record().initRanges(lFileType);
  setStatusText(QString());
  const FileKind* kind = FileKind::find(lFileType);
  for (std::int32_t n = 1; n <= FileKind::kRangeCount; ++n) {
    const FieldSpan preset = kind && n == kind->packedRange ? kind->packed : FieldSpan{};
    QString text = n == 1 ? QStringLiteral("Show All Fields [1 to %1]").arg(mFile.record().NoFields())
                   : !preset.empty() ? QStringLiteral("TroopStats Only [%1 to %2]").arg(preset.first).arg(preset.last)
                                     : QStringLiteral("User-Defined [# to #]");
    optLockFields[n]->setProperty("Tag", text);
    if (!mHideNames) setRangeButtonCaption(n, CodePage::fromQString(text));
  }
  optLockFields[1]->setChecked(true);  // the fresh store's range, unless the kind's settings select another
  GlobalShared::loadTypeSettings(lFileType, *this);
}

void FEditor::cmdSlide_Click() {
  mGrid->refocusLastCell();
  mHideNames = !mHideNames;
  cmdSlide->setToolTip(mHideNames ? QStringLiteral("click to show names column") : QStringLiteral("click to hide names column"));
  cmdSlide->setText(mHideNames ? kHideNamesArrow : kShowNamesArrow);
  for (std::size_t n = 1; n <= FileKind::kRangeCount; ++n) {
    QRadioButton* button = optLockFields[n];
    // The caption is fitted to the wide button; a narrow one is as wide as its number needs.
    Twips::place(button, Twips::left(button), Twips::top(button), kRangeButtonWidth, Twips::height(button));
    if (mHideNames) button->setProperty("Tag", button->text());
    setRangeButtonCaption(static_cast<std::int32_t>(n),
                          mHideNames ? std::to_string(n) : CodePage::fromQString(button->property("Tag").toString()));
    if (mHideNames)
      Twips::place(button, Twips::left(button), Twips::top(button),
                   std::max(kRangeButtonNarrow, Twips::fromPixels(button->sizeHint().width())), Twips::height(button));
  }
  Form_Resize();
}

void FEditor::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
  placeFindBar();
}

void FEditor::wheelEvent(QWheelEvent* event) {
  if (!fraMain->isVisible()) return QWidget::wheelEvent(event);
  mGrid->turnWheel(*event);
  event->accept();
}

std::int32_t FEditor::lastSelectedIndex() const { return mGrid->lastSelectedIndex(); }

void FEditor::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && !isMinimized()) Form_Resize();
}

void FEditor::setStatusText(const QString& text) {
  lblStatusBar->setProperty("Tag", text);
  fitStatusBarHeight();
}

// A status text that wraps onto a second line makes the label taller. Only two lines fit above
// the column headers: a longer text is shortened in its middle, and shown whole as the hint.
void FEditor::fitStatusBarHeight() {
  const QString full = lblStatusBar->property("Tag").toString();
  const int width = lblStatusBar->width();
  const int twoLines = 2 * lblStatusBar->fontMetrics().lineSpacing() + 2;
  QString shown = full;
  lblStatusBar->setText(shown);
  if (lblStatusBar->heightForWidth(width) > twoLines) {
    int fits = 0, tooLong = 2 * width + 1;  // widths of the one-line text before its wrapping
    while (tooLong - fits > 1) {
      const int middle = (fits + tooLong) / 2;
      lblStatusBar->setText(lblStatusBar->fontMetrics().elidedText(full, Qt::ElideMiddle, middle));
      (lblStatusBar->heightForWidth(width) > twoLines ? tooLong : fits) = middle;
    }
    shown = lblStatusBar->fontMetrics().elidedText(full, Qt::ElideMiddle, fits);
    lblStatusBar->setText(shown);
  }
  lblStatusBar->setToolTip(shown == full ? QString() : full);
  // A taller label stands higher, also when its text changes between two layouts.
  const int height = std::max(Twips::toPixels(195), lblStatusBar->heightForWidth(width));
  lblStatusBar->setGeometry(lblStatusBar->x(), Twips::toPixels(Twips::fromPixels(height) > 255 ? 180 : 300), width, height);
}

void FEditor::Form_Resize() {
  if (isMinimized()) return;
  const int frameWidth = Twips::fromPixels(frameGeometry().width() - width());
  const int frameHeight = Twips::fromPixels(frameGeometry().height() - height());
  const int outerWidth = Twips::fromPixels(frameGeometry().width());
  const int outerHeight = Twips::fromPixels(frameGeometry().height());
  setMinimumSize(Twips::toPixels(kMinOuterWidth - frameWidth), Twips::toPixels(kMinOuterHeight - frameHeight));
  if (outerWidth < kMinOuterWidth || outerHeight < kMinOuterHeight) {
    resize(Twips::toPixels(std::max(outerWidth, kMinOuterWidth) - frameWidth),
           Twips::toPixels(std::max(outerHeight, kMinOuterHeight) - frameHeight));
    return;  // the resize lays the window out again
  }
  const int W = outerWidth - 200, H = outerHeight - 700;
  // Row numbers and the unit counter show the file's largest unit number whole: their boxes grow
  // from their designed widths, the names giving way (or lying under the grid, hidden).
  mGrid->fitNumbers();
  const int N = gridLeft();
  mGrid->placeNames(std::max(kNumbersLeft + mGrid->rowNumberWidth() + kGap, mHideNames ? N : 0));
  const int gridWidth = W - (N + mGrid->unitNumberWidth() + kGridRightMargin);
  Twips::place(fraMain, 60, -180, W, H);
  Twips::place(lblStatusBar, N, Twips::top(lblStatusBar), gridWidth - mGrid->selectionCountWidth(), Twips::height(lblStatusBar));
  fitStatusBarHeight();
  // With the names hidden the difference count stands left of the field number, which moves
  // over, and the bar with it.
  const int fieldNoLeft = std::max(N - 360, mGrid->placeDifferenceCount(H - 340, mHideNames, N));
  Twips::move(lblClock, Twips::left(lblClock), H - 340);
  Twips::move(lblClockTarget, Twips::left(lblClockTarget), H - 340);
  Twips::move(fraFileActions, (W - 80) - Twips::width(fraFileActions), H - 205);
  Twips::move(fraOptions, Twips::left(fraOptions), H - 205);
  mGrid->place(N, gridWidth, fieldNoLeft, W, H);  // last: it refills the grid at its new size
}

// Where the grid starts: right of the names, or, with the names hidden, right of the row numbers
// and the narrow range buttons.
int FEditor::gridLeft() const {
  if (!mHideNames) return kNamesShown;
  int widest = mGrid->rowNumberWidth();
  for (std::size_t n = 1; n <= FileKind::kRangeCount; ++n) widest = std::max(widest, Twips::width(optLockFields[n]));
  return std::max(kNamesHidden, kNumbersLeft + widest + kGap + 5);
}

// Instances of the program in one folder share its settings; each holds the first free one of
// a few lock slots for its lifetime, and another instance runs when some other slot is held.
// The lock of a crashed instance is taken over.
bool FEditor::anotherInstanceRuns() {
  constexpr int kSlots = 16;
  const QByteArray folder = QByteArray::fromStdString(Platform::programFolder());
  const QString stem = QDir::tempPath() + QStringLiteral("/pelkoEditor-") +
                       QString::number(qHash(folder), 16) + QLatin1Char('-');
  bool other = false;
  for (int slot = 0; slot < kSlots; ++slot) {
    const QString path = stem + QString::number(slot) + QStringLiteral(".lock");
    // Once a slot is ours, a slot without a file is free: taking it just to tell would write,
    // sync and remove a file at every start.
    if (mInstanceLock && !QFileInfo::exists(path)) continue;
    auto lock = std::make_unique<QLockFile>(path);
    if (lock->tryLock(0)) {
      if (!mInstanceLock) mInstanceLock = std::move(lock);
    } else if (lock->error() == QLockFile::LockFailedError) {
      other = true;
    }
  }
  return other;
}
