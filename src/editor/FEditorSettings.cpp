// The window as the settings file sees it: the store's ranges and widths, the range buttons,
// the scroll options and the placement in twips.
#include <QCheckBox>
#include <QEvent>
#include <QWindow>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>

#include "CRecordData.h"
#include "Controls.h"
#include "CodePage.h"
#include "FEditor.h"
#include "RecordGrid.h"
#include "Twips.h"

namespace {

// Placement values come from a file a user may have edited: keep them where pixels can go.
int clampedPixels(double twips) { return Twips::toPixels(std::clamp(twips, -1.0e7, 1.0e7)); }

bool isRangeButton(std::int32_t n) { return n >= 1 && n <= FileKind::kRangeCount; }

}  // namespace

std::int32_t FEditor::setRange(std::int32_t iRange, const std::string& sText) { return mFile.record().setRange(iRange, sText); }
std::string FEditor::getSelRangeArrayStr(std::int32_t iRange) const { return mFile.record().getSelRangeArrayStr(iRange); }
std::int32_t FEditor::RangeSelected() const { return mFile.record().RangeSelected(); }
void FEditor::setRangeSelected(std::int32_t iRange) { mFile.record().setRangeSelected(iRange); }
void FEditor::setAllDisplayWidths(const std::string& sText) { mFile.record().setAllDisplayWidths(sText); }
std::string FEditor::getWidthArrayStr() const { return mFile.record().getWidthArrayStr(); }

std::string FEditor::rangeButtonTag(std::int32_t n) const {
  return isRangeButton(n) ? CodePage::fromQString(optLockFields[n]->property("Tag").toString()) : std::string();
}
void FEditor::setRangeButtonTag(std::int32_t n, const std::string& sText) {
  if (isRangeButton(n)) optLockFields[n]->setProperty("Tag", CodePage::toQString(sText));
}
void FEditor::setRangeButtonCaption(std::int32_t n, const std::string& sText) {
  if (!isRangeButton(n)) return;
  optLockFields[n]->setText(CodePage::toQString(sText));
  Controls::fitCaption(optLockFields[n]);
}
void FEditor::setRangeButtonOn(std::int32_t n) {
  if (isRangeButton(n)) optLockFields[n]->setChecked(true);
}

std::int32_t FEditor::scrollUpdate(std::int32_t i) const { return mGrid->scrollUpdate(i & 1)->isChecked() ? 1 : 0; }
void FEditor::setScrollUpdate(std::int32_t i, std::int32_t state) { mGrid->scrollUpdate(i & 1)->setChecked(state == 1); }

SettingsWindow::State FEditor::windowState() const {
  if (isMinimized()) return Minimized;
  return isMaximized() ? Maximized : Normal;
}
void FEditor::setWindowState(State state) {
  // A hidden window's platform geometry is still the one it was made with; maximised, the window
  // would be restored to that rather than to the stored size.
  if (state == Maximized && !isVisible() && windowHandle()) windowHandle()->setGeometry(geometry());
  QWidget::setWindowState(state == Maximized ? Qt::WindowMaximized
                          : state == Minimized ? Qt::WindowMinimized
                                               : Qt::WindowNoState);
}

double FEditor::windowLeft() const { return Twips::fromPixels(mPlacement.outer(WindowPlacement::Left)); }
double FEditor::windowTop() const { return Twips::fromPixels(mPlacement.outer(WindowPlacement::Top)); }
double FEditor::windowWidth() const { return Twips::fromPixels(mPlacement.outer(WindowPlacement::Width)); }
double FEditor::windowHeight() const { return Twips::fromPixels(mPlacement.outer(WindowPlacement::Height)); }

void FEditor::setWindowLeft(double twips) { mPlacement.request(WindowPlacement::Left, clampedPixels(twips)); }
void FEditor::setWindowTop(double twips) { mPlacement.request(WindowPlacement::Top, clampedPixels(twips)); }
void FEditor::setWindowWidth(double twips) { mPlacement.request(WindowPlacement::Width, clampedPixels(twips)); }
void FEditor::setWindowHeight(double twips) { mPlacement.request(WindowPlacement::Height, clampedPixels(twips)); }

bool FEditor::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Paint && !mGrid->cellsCreated()) QTimer::singleShot(0, mGrid, &RecordGrid::createCells);
  mPlacement.windowEvent(type);
  return QWidget::event(event);
}
