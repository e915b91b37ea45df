#pragma once

// Connects the core's platform seams to Qt (message boxes, the program's folder, the screen
// size) and sets the application's font. Needs a QApplication.
namespace PlatformQt {
void install();
}
