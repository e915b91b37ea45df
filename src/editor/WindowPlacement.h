#pragma once
#include <QEvent>
#include <array>
#include <optional>

class QWidget;

// The window's outer placement in pixels, as the settings file keeps it. The frame is known once
// the platform has made and framed the shown window: at once offscreen and on Windows, on X11
// only when a window manager has framed it, which a window closed early may never see. Until the
// placement asked for has been applied with the frame known, it stands for the window's own.
class WindowPlacement {
 public:
  enum Edge { Left, Top, Width, Height };

  explicit WindowPlacement(QWidget& window) : mWindow(window) {}

  void request(Edge edge, int pixels);
  int outer(Edge edge) const;
  // The window's Move, Show, Resize and state changes: the first with the frame known applies
  // what is still wanted.
  void windowEvent(QEvent::Type type);

 private:
  void apply();

  QWidget& mWindow;
  std::array<std::optional<int>, 4> mWanted;
};
