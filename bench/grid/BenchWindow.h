#pragma once
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Platform.h"

// A benchmark must not wait for a click: a message box is printed and ends the run as failed.
inline void failOnMessageBox() {
  Platform::setMessageBox([](const std::string& prompt, int, const std::string& title) {
    std::fprintf(stderr, "%s\n%s\n", title.c_str(), prompt.c_str());
    std::exit(1);
    return 0;
  });
}

// Focus reaches a cell only in the active window, and under Xvfb without a window manager show()
// alone does not activate it.
inline bool showActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}
