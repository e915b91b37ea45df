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
#include <QScrollBar>
#include <QShortcut>

#include "CGlobal.h"
#include "CRecordData.h"
#include "CellEditor.h"
#include "CodePage.h"
#include "Controls.h"
#include "FEditor.h"
#include "FPrompt.h"
#include "FSetRange.h"
#include "GlobalShared.h"
#include "GridCell.h"
#include "HeaderBox.h"
#include "KindIcons.h"
#include "Settings.h"
#include "Platform.h"
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
constexpr int kNumbersLeft = 120;    // the row numbers' and range buttons' left edge
constexpr int kRowNoWidth = 345;     // the designed widths of a row number and of the unit counter
constexpr int kUnitNoWidth = 375;
constexpr int kNumberPadding = 60;   // beside a number's text in its box
constexpr int kNamesRight = 2670;    // the names' right edge
constexpr int kGridRightMargin = 110;  // beside the unit counter, right of the grid
constexpr int kGap = 30;
const QChar kShowNamesArrow(171);  // «
const QChar kHideNamesArrow(187);  // »

// An element of a control array made as a copy of its designed element 0.
template <class Widget>
Widget* copyOf(Widget* first, std::size_t index) {
  auto* widget = new Widget(first->parentWidget());
  widget->setObjectName(indexed(first->objectName().chopped(2).toLatin1().constData(), index));
  widget->setGeometry(first->geometry());
  widget->setToolTip(first->toolTip());
  widget->setFont(first->font());
  widget->setPalette(first->palette());
  widget->setBackgroundRole(first->backgroundRole());
  widget->setAutoFillBackground(first->autoFillBackground());
  widget->hide();
  return widget;
}

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
  connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this, [this] { findNext(1); });
  connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this, [this] { findNext(-1); });
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
  createProgressFrame();
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
  lblRowNo.push_back(label(fraMain, "lblRowNo_0", kNumbersLeft, kRowLabelTop, kRowNoWidth, 375));
  lblRowNo[0]->setToolTip(QStringLiteral("Name of Unit"));
  lblRowNo[0]->setAutoFillBackground(true);
  lblRowNo[0]->setBackgroundRole(QPalette::Button);
  lblRow.push_back(label(fraMain, "lblRow_0", 495, kRowLabelTop, 2175, 375));
  lblRow[0]->setToolTip(QStringLiteral("Name of Unit"));
  lblRow[0]->setAutoFillBackground(true);
  lblRow[0]->setBackgroundRole(QPalette::Base);
  lblStatusBar = label(fraMain, "lblStatusBar", 2700, 300, 7920, 195, QStringLiteral("dont close up"));
  lblStatusBar->setProperty("Tag", lblStatusBar->text());
  lblStatusBar->setWordWrap(true);
  lblStatusBar->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblUnitNo = label(fraMain, "lblUnitNo", 11250, 1440, kUnitNoWidth, 315, QStringLiteral("1"));
  lblUnitNo->setAlignment(Qt::AlignCenter);
  lblFieldNo = label(fraMain, "lblFieldNo", 2280, 7140, 375, 255, QStringLiteral("1"));
  lblFieldNo->setAlignment(Qt::AlignCenter);
  lblClock = label(fraMain, "lblClock", 480, 6780, 915, 315);
  lblClock->setToolTip(QStringLiteral("clock mRecord.createRecord function"));
  lblClock->hide();
  lblClockTarget = label(fraMain, "lblClockTarget", 420, 6720, 1035, 435);

  vsbUnits2display = make<QScrollBar>(fraMain, QStringLiteral("vsbUnits2display"), 11340, 1920, 255, 5235);
  vsbUnits2display->setOrientation(Qt::Vertical);
  vsbUnits2display->setRange(5, 5);
  vsbUnits2display->setSingleStep(1);
  vsbUnits2display->setPageStep(10);
  hsbFields2Display = make<QScrollBar>(fraMain, QStringLiteral("hsbFields2Display"), 2700, 7140, 8500, 255);
  hsbFields2Display->setOrientation(Qt::Horizontal);
  hsbFields2Display->setRange(1, 1);
  hsbFields2Display->setSingleStep(1);
  hsbFields2Display->setPageStep(5);
  // Change comes with the released thumb and with values set by the program; Scroll while dragging.
  for (QScrollBar* bar : {vsbUnits2display, hsbFields2Display}) bar->setTracking(false);
  // Tab stops, so that the keyboard pages through units and fields too.
  vsbUnits2display->setFocusPolicy(Qt::StrongFocus);
  hsbFields2Display->setFocusPolicy(Qt::StrongFocus);
  connect(hsbFields2Display, &QScrollBar::valueChanged, this, &FEditor::hsbFields2Display_Change);
  connect(hsbFields2Display, &QScrollBar::sliderMoved, this, &FEditor::hsbFields2Display_Scroll);
  connect(vsbUnits2display, &QScrollBar::valueChanged, this, &FEditor::vsbUnits2display_Change);
  connect(vsbUnits2display, &QScrollBar::sliderMoved, this, &FEditor::vsbUnits2display_Scroll);

  fraDisplay = make<GridFrame>(fraMain, QStringLiteral("fraDisplay"), 2700, 720, 8500, 6315);
  fraDisplay->setProperty("Tag", QStringLiteral("right-click in column header (above) to change display width"));
  HeaderBox* header = make<HeaderBox>(fraDisplay, QStringLiteral("txtColumn_0"), 0, 0, 675, 1155);
  header->setPlainText(QStringLiteral(" 1\nField\nDescriptions"));
  header->setToolTip(QStringLiteral("Field Descriptions"));
  txtColumn.push_back(header);
  GridCell* cell = make<GridCell>(fraDisplay, QStringLiteral("txtField_0"), 60, kCellTop, 4455, 375);
  cell->setText(QStringLiteral("Value\nof the\nfield"));
  cell->setToolTip(QStringLiteral("Value"));
  txtField.push_back(cell);
}

void FEditor::createOptionsFrame() {
  fraOptions = frame(this, "fraOptions", -120, 7380, 2895, 495);
  fraOptions->hide();
  chkScrollUpdate[0] = make<QCheckBox>(fraOptions, QStringLiteral("chkScrollUpdate_0"), 360, 0, 1695, 195);
  chkScrollUpdate[0]->setText(QStringLiteral("fields_scroll_update"));
  chkScrollUpdate[0]->setToolTip(QStringLiteral("if unchecked the display won't update when you scroll the Hscroll Bar"));
  chkScrollUpdate[1] = make<QCheckBox>(fraOptions, QStringLiteral("chkScrollUpdate_1"), 360, 240, 1755, 255);
  chkScrollUpdate[1]->setText(QStringLiteral("units_scroll_update"));
  chkScrollUpdate[1]->setToolTip(QStringLiteral("if unchecked the display won't update when you scroll the Vscroll Bar"));
  for (QCheckBox* box : chkScrollUpdate) {
    box->setChecked(true);
    fitCaption(box);
  }
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
  chkAutoDetect = make<QCheckBox>(fraFileActions, QStringLiteral("chkAutoDetect"), 2460, 120, 1215, 255);
  chkAutoDetect->setText(QStringLiteral("Auto-Detect"));
  chkAutoDetect->setToolTip(QStringLiteral("Auto-detect FileType from first few characters of file"));
  chkAutoDetect->setChecked(true);
  fitCaption(chkAutoDetect);
}

void FEditor::createProgressFrame() {
  fraProgressBar = frame(this, "fraProgressBar", 2700, 4260, 7455, 2415);
  fraProgressBar->setFrameShape(QFrame::Box);  // the panel's border
  fraProgressBar->setAutoFillBackground(true);
  fraProgressBar->hide();
  lblLoadMessage = label(fraProgressBar, "lblLoadMessage", 1080, 180, 6495, 375);
  QFont bold(QStringLiteral("Sans Serif"));
  bold.setPointSize(12);
  bold.setBold(true);
  lblLoadMessage->setFont(bold);
  lblProgress = label(fraProgressBar, "lblProgress", 360, 660, 6735, 1035, QStringLiteral("Loading from file: "));
  lblProgress->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label2 = label(fraProgressBar, "Label2", 360, 1740, 6735, 255);
  Label2->setFrameShape(QFrame::Panel);
  Label2->setFrameShadow(QFrame::Sunken);
  shpProgressBar = frame(fraProgressBar, "shpProgressBar", 420, 1800, 30, 150);
  shpProgressBar->setAutoFillBackground(true);
  shpProgressBar->setBackgroundRole(QPalette::Highlight);
  Label3 = label(fraProgressBar, "Label3", 720, 2100, 1335, 315, QStringLiteral("units loaded:"));
  Label3->setAlignment(Qt::AlignRight | Qt::AlignTop);
  lblUnitsLoaded = label(fraProgressBar, "lblUnitsLoaded", 2160, 2100, 1335, 315, QStringLiteral("0"));
  const int iconLeft[] = {3300, 360, 5580, 6360};
  for (std::size_t i = 0; i < imgICON.size(); ++i) {
    // Each gets the window's icon of its kind when a load or save first shows it.
    imgICON[i] = label(fraProgressBar, indexed("imgICON", i).toLatin1().constData(), iconLeft[i], i == 1 ? 120 : 960, 480, 480);
    imgICON[i]->hide();
  }
}

// The pool of cells and labels, copied from the first of each. Nothing shows it before a file is
// loaded, so it is made after the window's first paint (or by the first refill, if that comes
// sooner): over a thousand widgets would otherwise delay the window at every start.
void FEditor::createCells() {
  if (mCellsCreated) return;
  mCellsCreated = true;
  const std::int32_t maxFields = gGlobal->MaxFields(), maxUnits = gGlobal->MaxUnits();
  txtField.reserve(static_cast<std::size_t>(maxFields * maxUnits));
  for (std::int32_t r = 0; r < maxUnits; ++r) {
    for (std::int32_t c = 0; c < maxFields; ++c) {
      const auto index = static_cast<std::size_t>(maxFields * r + c);
      if (index > 0) watchCell(txtField.emplace_back(copyOf(txtField[0], index)));
      Twips::move(txtField[index], Twips::left(txtField[index]), kCellTop + kRowPitch * r);
    }
  }
  for (std::int32_t c = 1; c < maxFields; ++c) {
    watchHeader(txtColumn.emplace_back(copyOf(txtColumn[0], static_cast<std::size_t>(c))));
  }
  for (std::int32_t r = 0; r < maxUnits; ++r) {
    if (r > 0) {
      lblRow.push_back(copyOf(lblRow[0], static_cast<std::size_t>(r)));
      lblRowNo.push_back(copyOf(lblRowNo[0], static_cast<std::size_t>(r)));
    }
    Twips::move(lblRow[r], Twips::left(lblRow[r]), kRowLabelTop + kRowPitch * r);
    Twips::move(lblRowNo[r], Twips::left(lblRowNo[r]), kRowLabelTop + kRowPitch * r);
  }
  // With the names hidden the grid covers the names column: it must lie above the names, and
  // hide them where no cell is.
  fraDisplay->setAutoFillBackground(true);
  fraDisplay->raise();
  // Only now are the cells in place: the layer that paints them starts at the first row, below
  // the headers, so that a page step leaves the headers unpainted.
  fraDisplay->setCells(&txtField);
  // New widgets join the end of the Tab order, behind the edit box: it must stay last, so that
  // Tab past the last unit leaves the grid instead of entering a cell.
  QWidget::setTabOrder(txtColumn.back(), mCellEditor);
}

void FEditor::setFileType(std::int32_t lFileType) {
  mFile.reset().setUnitLoadedHandler([this](std::int32_t unit, std::int64_t start, std::int64_t current) {
    mRecord_unitLoaded(unit, start, current);
  });
  mFormID = lFileType;
  mLastSelectedIndex = -1;
  mFoundRecord = 0;
  showDifferenceCount();
  setWindowIcon(KindIcons::icon(FileKind::find(lFileType) ? lFileType : 0));
  setWindowTitle(CodePage::toQString(FileKind::sectionName(lFileType)) + QStringLiteral(" PelkoEditor"));
  if (lFileType == 0) {
    fraDisplay->setToolTip(QString());
    return;
  }
  mFile.record().initRanges(lFileType);
  fraDisplay->setToolTip(fraDisplay->property("Tag").toString());
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
  if (mLastSelectedIndex >= 0) txtField[mLastSelectedIndex]->setFocus();
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
  fitNumberBoxes();
  const int N = gridLeft();
  const int gridWidth = W - (N + Twips::width(lblUnitNo) + kGridRightMargin);
  Twips::place(fraMain, 60, -180, W, H);
  Twips::place(fraDisplay, N, 620, gridWidth, H - 1000);
  Twips::place(lblStatusBar, N, Twips::top(lblStatusBar), gridWidth, Twips::height(lblStatusBar));
  fitStatusBarHeight();
  // With the names hidden the difference count stands left of the field number, which moves
  // over, and the bar with it.
  const int fieldNoLeft = std::max(N - 360, placeDifferenceCount(H - 340));
  Twips::place(hsbFields2Display, fieldNoLeft + 360, H - 340, gridWidth - (fieldNoLeft + 360 - N),
               Twips::height(hsbFields2Display));
  Twips::move(lblFieldNo, fieldNoLeft, H - 340);
  Twips::move(lblClock, Twips::left(lblClock), H - 340);
  Twips::move(lblClockTarget, Twips::left(lblClockTarget), H - 340);
  Twips::move(fraFileActions, (W - 80) - Twips::width(fraFileActions), H - 205);
  Twips::move(fraOptions, Twips::left(fraOptions), H - 205);
  Twips::place(vsbUnits2display, W - 375, kRowLabelTop, 255, H - 2200);
  Twips::move(lblUnitNo, W - 70 - Twips::width(lblUnitNo), Twips::top(lblUnitNo));

  std::int32_t change = 0;
  if (Twips::width(fraDisplay) != lastDisplayWidth) change += 2;
  if (outerHeight != lastFormHeight) change += 1;
  // At every size every unit can be scrolled into view (a maximum left at 5 or below would
  // freeze the range a small window gave it).
  if (mFile.record().NoUnits() > 0) {
    setVerticalMaximum(mFile.record().NoUnits() - noUnits2Display() + 1);
    refreshDisplay(change);
  }
  lastDisplayWidth = Twips::width(fraDisplay);
  lastFormHeight = outerHeight;
}

// Row numbers and the unit counter show the file's largest unit number whole: their boxes grow
// from their designed widths, the names giving way (or lying under the grid, hidden).
void FEditor::fitNumberBoxes() {
  const std::int32_t largest = std::max(1, mFile.record().NoUnits() - firstDataUnit() + 1);
  const int needed = Twips::fromPixels(lblRowNo[0]->fontMetrics().horizontalAdvance(QString::number(largest))) + kNumberPadding;
  Twips::place(lblUnitNo, Twips::left(lblUnitNo), Twips::top(lblUnitNo), std::max(kUnitNoWidth, needed), Twips::height(lblUnitNo));
  const int rowNoWidth = std::max(kRowNoWidth, needed);
  for (QLabel* number : lblRowNo) Twips::place(number, kNumbersLeft, Twips::top(number), rowNoWidth, Twips::height(number));
  const int namesLeft = std::max(kNumbersLeft + rowNoWidth + kGap, mHideNames ? gridLeft() : 0);
  for (QLabel* name : lblRow) Twips::place(name, namesLeft, Twips::top(name), kNamesRight - namesLeft, Twips::height(name));
}

// Where the grid starts: right of the names, or, with the names hidden, right of the row numbers
// and the narrow range buttons.
int FEditor::gridLeft() const {
  if (!mHideNames) return kNamesShown;
  int widest = Twips::width(lblRowNo[0]);
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
