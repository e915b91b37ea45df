#include "PlatformQt.h"

#include <QApplication>
#include <QFontDatabase>
#include <QScreen>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#ifndef Q_OS_WIN
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

#include "CodePage.h"
#include "GlobalShared.h"
#include "Platform.h"

namespace PlatformQt {
namespace {

#ifndef Q_OS_WIN
int gTerminationPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop reads the pipe.
void onTermination(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(gTerminationPipe[1], &byte, 1);
}
#endif

}  // namespace

#ifdef Q_OS_WIN
// Windows asks a program's window to close with a message, which reaches closeEvent already.
void closeOnTermination(QWidget&) {}

int whyNotRunnable(const std::string& path) { return GlobalShared::fileExists(path) ? 0 : ENOENT; }
#else
void closeOnTermination(QWidget& window) {
  if (::pipe2(gTerminationPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(gTerminationPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char bytes[16];
    while (::read(gTerminationPipe[0], bytes, sizeof bytes) > 0) {
    }
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = onTermination;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
}

int whyNotRunnable(const std::string& path) { return ::access(path.c_str(), X_OK) == 0 ? 0 : errno; }
#endif

void install() {
  // The layout's captions were measured in an 8-point font of Arial's widths; in a wider or
  // larger one they would be clipped.
  QFont font = QApplication::font();
  if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))) font.setFamily(QStringLiteral("Liberation Sans"));
  font.setPointSize(8);
  QApplication::setFont(font);
  Platform::setProgramFolder(CodePage::toPath(QCoreApplication::applicationDirPath()));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize size = screen->size();
    Platform::setScreenTwips({Platform::pixelsToTwips(size.width()), Platform::pixelsToTwips(size.height())});
  }
}

}  // namespace PlatformQt
