#include "WindowPlacement.h"

#include <QWidget>
#include <algorithm>

namespace {

bool frameKnown(const QWidget& window) { return window.frameGeometry() != window.geometry(); }

}  // namespace

void WindowPlacement::request(Edge edge, int pixels) {
  mWanted[edge] = pixels;
  apply();
}

int WindowPlacement::outer(Edge edge) const {
  if (mWanted[edge]) return *mWanted[edge];
  const QRect frame = mWindow.frameGeometry();
  const int edges[] = {frame.x(), frame.y(), frame.width(), frame.height()};
  return edges[edge];
}

void WindowPlacement::windowEvent(QEvent::Type type) {
  if (type != QEvent::Move && type != QEvent::Show && type != QEvent::Resize && type != QEvent::WindowStateChange)
    return;
  if (std::any_of(mWanted.begin(), mWanted.end(), [](const auto& edge) { return edge.has_value(); }) &&
      !(mWindow.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) && frameKnown(mWindow))
    apply();
}

void WindowPlacement::apply() {
  // A window manager that ignores the frame's gravity puts the inside where the frame was asked
  // for: moved again with the frame known, the frame lands there.
  const QSize frame = mWindow.frameGeometry().size() - mWindow.size();
  mWindow.move(outer(Left), outer(Top));
  mWindow.resize(std::max(1, outer(Width) - frame.width()), std::max(1, outer(Height) - frame.height()));
  if (frameKnown(mWindow)) mWanted = {};
}
