#include "ProgressPanel.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <chrono>

#include "Controls.h"
#include "FileKind.h"
#include "Twips.h"

using namespace Controls;

namespace {

constexpr int kBarWidth = 6630;
constexpr int kBarLeft = 420;
constexpr std::int64_t kPaintInterval = 33;  // ms: about 30 pictures a second
// Reading the clock costs about a tenth of a short record's parse on these machines.
constexpr std::int32_t kRecordsPerClockRead = 64;

std::int64_t nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

ProgressPanel::ProgressPanel(QWidget* window) : QFrame(window) {
  setObjectName(QStringLiteral("fraProgressBar"));
  Twips::place(this, 2700, 4260, 7455, 2415);
  setFrameShape(QFrame::Box);  // the panel's border
  setAutoFillBackground(true);
  hide();
  lblLoadMessage = label(this, "lblLoadMessage", 1080, 180, 6495, 375);
  QFont bold(QStringLiteral("Sans Serif"));
  bold.setPointSize(12);
  bold.setBold(true);
  lblLoadMessage->setFont(bold);
  lblProgress = label(this, "lblProgress", 360, 660, 6735, 1035, QStringLiteral("Loading from file: "));
  lblProgress->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QLabel* barFrame = label(this, "Label2", 360, 1740, 6735, 255);
  barFrame->setFrameShape(QFrame::Panel);
  barFrame->setFrameShadow(QFrame::Sunken);
  shpProgressBar = frame(this, "shpProgressBar", kBarLeft, 1800, 30, 150);
  shpProgressBar->setAutoFillBackground(true);
  shpProgressBar->setBackgroundRole(QPalette::Highlight);
  label(this, "Label3", 720, 2100, 1335, 315, QStringLiteral("units loaded:"))->setAlignment(Qt::AlignRight | Qt::AlignTop);
  lblUnitsLoaded = label(this, "lblUnitsLoaded", 2160, 2100, 1335, 315, QStringLiteral("0"));
  const int iconLeft[] = {3300, 360, 5580, 6360};
  for (std::size_t i = 0; i < imgICON.size(); ++i) {
    // Each gets the window's icon of its kind when a load or save first shows it.
    imgICON[i] = label(this, indexed("imgICON", i).toLatin1().constData(), iconLeft[i], i == 1 ? 120 : 960, 480, 480);
    imgICON[i]->hide();
  }
}

void ProgressPanel::start(Work work, std::int32_t kind, const QIcon& icon, const QString& section, const QString& path) {
  if (!mBusyCursor) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  mBusyCursor = true;
  const QWidget* window = parentWidget();
  Twips::move(this, Twips::fromPixels(window->frameGeometry().width()) / 2 - 3727,
              Twips::fromPixels(window->frameGeometry().height()) / 2 - 1210);
  if (kind == 0 || FileKind::find(kind)) {
    mShownIcon = imgICON[static_cast<std::size_t>(kind)];
    Twips::move(mShownIcon, 360, 120);
    if (mShownIcon->pixmap().isNull()) mShownIcon->setPixmap(icon.pixmap(32));
    mShownIcon->show();
  }
  if (work == Work::Saving) {
    lblLoadMessage->setText(QStringLiteral("Saving ") + section + QStringLiteral(" data to file..........."));
    lblProgress->setText(QStringLiteral("Destination file:\r\n") + path);
  } else {
    lblLoadMessage->setText(work == Work::LoadingDefaults
                                ? QStringLiteral("Loading default ") + section + QStringLiteral(" data...........")
                                : QStringLiteral("Loading ") + section + QStringLiteral(" data from file..........."));
    lblProgress->setText(QStringLiteral("Loading from file:\r\n") + path);
  }
  mLastPaint = nowMs();  // painted just below, so the next picture is due a frame later
  raise();
  show();
  repaint();
}

void ProgressPanel::finish() {
  if (mBusyCursor) QGuiApplication::restoreOverrideCursor();
  mBusyCursor = false;
  hide();
  lblUnitsLoaded->setText(QStringLiteral("0"));
  Twips::place(shpProgressBar, kBarLeft, Twips::top(shpProgressBar), 0, Twips::height(shpProgressBar));
  // The icon of the kind that was shown: a failed load has set the window to no kind since.
  if (mShownIcon) mShownIcon->hide();
  mShownIcon = nullptr;
}

// Runs once per record while nothing else runs, so what it sets only shows when the panel is
// painted: the counter and the bar are brought up to date and painted about 30 times a second,
// which keeps the handler cheap beside the parse.
void ProgressPanel::unitLoaded(std::int32_t iUnitNo, std::int32_t firstDataUnit, std::int64_t iLenStart,
                               std::int64_t ilenCurrent) {
  if (iUnitNo % kRecordsPerClockRead != 0) return;
  const std::int64_t now = nowMs();
  if (now - mLastPaint < kPaintInterval) return;
  mLastPaint = now;
  lblUnitsLoaded->setText(iUnitNo >= 5 ? QString::number(iUnitNo - (firstDataUnit - 1)) : QStringLiteral("labels"));
  const double width = iLenStart > 0 ? double(kBarWidth) / double(iLenStart) * double(iLenStart - ilenCurrent) : 0;
  Twips::place(shpProgressBar, kBarLeft, Twips::top(shpProgressBar), width, Twips::height(shpProgressBar));
  if (isVisible()) repaint();
}
