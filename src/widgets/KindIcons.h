#pragma once
#include <QIcon>
#include <cstdint>

// Our own icons, drawn rather than loaded so they need no image plugin: the window's (kind 0)
// and one per kind of file (1 unit, 2 building, 3 projectile).
namespace KindIcons {
QIcon icon(std::int32_t kind);
}
