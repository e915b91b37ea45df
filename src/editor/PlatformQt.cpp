#include "PlatformQt.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QScreen>

#include "CodePage.h"
#include "Platform.h"

namespace PlatformQt {
namespace {

QMessageBox::StandardButtons buttonsOf(int style) {
  switch (style & Platform::kButtonMask) {
    case Platform::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Platform::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Platform::YesNo: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
  }
}

QMessageBox::Icon iconOf(int style) {
  switch (style & ~Platform::kButtonMask) {
    case Platform::Critical: return QMessageBox::Critical;
    case Platform::Question: return QMessageBox::Question;
    case Platform::Exclamation: return QMessageBox::Warning;
    case Platform::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int resultOf(int button) {
  switch (button) {
    case QMessageBox::Cancel: return Platform::Cancel;
    case QMessageBox::Yes: return Platform::Yes;
    case QMessageBox::No: return Platform::No;
    default: return Platform::Ok;
  }
}

int showMessageBox(const std::string& prompt, int style, const std::string& title) {
  QMessageBox box(iconOf(style), CodePage::toQString(title), CodePage::toQString(prompt), buttonsOf(style),
                  QApplication::activeWindow());
  return resultOf(box.exec());
}

}  // namespace

void install() {
  // The layout's captions were measured in an 8-point font of Arial's widths; in a wider or
  // larger one they would be clipped.
  QFont font = QApplication::font();
  if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))) font.setFamily(QStringLiteral("Liberation Sans"));
  font.setPointSize(8);
  QApplication::setFont(font);
  Platform::setMessageBox(showMessageBox);
  Platform::setProgramFolder(CodePage::fromQString(QCoreApplication::applicationDirPath()));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize size = screen->size();
    Platform::setScreenTwips({Platform::pixelsToTwips(size.width()), Platform::pixelsToTwips(size.height())});
  }
}

}  // namespace PlatformQt
