#include "CGlobal.h"

#include <algorithm>
#include <cmath>

#include "Platform.h"

namespace {

// At least one cell each way: a screen too small for the formula still gets a usable grid.
std::int32_t fitting(std::int32_t available, double reserved, double cell) {
  return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::floor((available - reserved) / cell)));
}

}  // namespace

CGlobal::CGlobal() {
  const Platform::ScreenTwips screen = Platform::screenTwips();
  mMaxFields = fitting(screen.width, 1285, 690);
  mMaxUnits = fitting(screen.height, 3200, 395);
}
