#pragma once

// Connects the core's platform seams to Qt (the program's folder, the screen size) and sets the
// application's font. Needs a QApplication.
#include <string>

class QWidget;

namespace PlatformQt {
void install();
// A request to end the program (SIGTERM, SIGHUP, SIGINT) closes the window as its close box
// does, so the unsaved-changes prompt and the stored view are not skipped.
void closeOnTermination(QWidget& window);
// Why the system would not run the program at `path`: an error number, 0 when nothing is known
// against it.
int whyNotRunnable(const std::string& path);
}
