#pragma once
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

// A benchmark must not wait for a click: a message box is printed and ends the run as failed.
inline void failOnMessageBox() {
  auto* watch = new QTimer(qApp);
  QObject::connect(watch, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "%s\n%s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
      std::exit(1);
    }
  });
  watch->start(50);
}

// Focus reaches a cell only in the active window, and under Xvfb without a window manager show()
// alone does not activate it.
inline bool showActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}
