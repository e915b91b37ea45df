#include "FPrompt.h"

#include <QPushButton>
#include <QToolButton>

#include "Controls.h"
#include "KindIcons.h"
#include "Twips.h"

using namespace Controls;

namespace {

constexpr int kInnerWidth = 4020;
constexpr int kDesignHeight = 4650;
constexpr int kFrameHeight = 4275;
constexpr int kOuterMargin = 345;  // below the frame, the window's border and title bar included

}  // namespace

FPrompt::FPrompt(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("FPrompt"));
  resize(Twips::toPixels(kInnerWidth), Twips::toPixels(kDesignHeight));
  lblCaption = label(this, "lblCaption", 420, 60, 3420, 195);
  lblCaption->setWordWrap(true);
  lblCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  fraPrompt = frame(this, "fraPrompt", 60, 315, 3915, kFrameHeight);
  Label1 = label(fraPrompt, "Label1", 60, 0, 1335, 3615);
  constexpr const char* kinds[] = {"", "Crusaders_Unit_Prod11", "Crusader_Build__Prod13", "ProjectileStats"};
  for (std::size_t n = 1; n <= FileKinds::kCount; ++n) {
    const int row = 1140 * static_cast<int>(n - 1);
    QToolButton* button = make<QToolButton>(fraPrompt, indexed("cmdLaunch", n), 240, 180 + row, 975, 915);
    button->setText(QLatin1String(kinds[n]));
    button->setIcon(KindIcons::icon(static_cast<std::int32_t>(n)));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    fitCaption(button);
    connect(button, &QToolButton::clicked, this, [this, n] {
      mChosen = static_cast<std::int32_t>(n);
      accept();
    });
    cmdLaunch[n] = button;
    lblFType[n] = label(fraPrompt, indexed("lblFType", n).toLatin1().constData(), 1620, 480 + row, n == 3 ? 1575 : 2235,
                        315, QLatin1String(kinds[n]));
  }
  cmdExit = make<QPushButton>(fraPrompt, QStringLiteral("cmdExit"), 2700, 3720, 1095, 435);
  cmdExit->setText(QStringLiteral("Cancel"));
  connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

std::int32_t FPrompt::RetMlFormID(QWidget* frmForm, bool fDefault) {
  mChosen = 0;
  setWindowTitle(fDefault ? QStringLiteral("select Default File Type to Load") : QStringLiteral("Select File Type to Load"));
  lblCaption->setText(fDefault ? QStringLiteral("(will switch Editor to correct mode automatically)")
                               : QStringLiteral("(file loaded must match type chosen when auto-detect is off)"));
  if (frmForm && parentWidget() != frmForm) setParent(frmForm, windowFlags());
  layOut();
  exec();
  return mChosen;
}

// The frame sits below the note line, however many lines it wraps to, and the dialog fits the frame.
void FPrompt::layOut() {
  const int captionHeight = Twips::fromPixels(lblCaption->heightForWidth(lblCaption->width()));
  Twips::place(lblCaption, Twips::left(lblCaption), Twips::top(lblCaption), Twips::width(lblCaption), captionHeight);
  const int frameTop = captionHeight + 120;
  Twips::place(fraPrompt, Twips::left(fraPrompt), frameTop, Twips::width(fraPrompt), kFrameHeight);
  const int outerHeight = kFrameHeight + frameTop + kOuterMargin;
  winId();  // the window's frame is only known once the platform window exists
  const int borders = frameGeometry().height() - height();
  setFixedSize(Twips::toPixels(kInnerWidth), Twips::toPixels(outerHeight) - borders);
}
