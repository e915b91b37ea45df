#pragma once

// Connects the core's platform seams to Qt: message boxes, the program's folder, the screen size.
// Needs a QApplication.
namespace PlatformQt {
void install();
}
