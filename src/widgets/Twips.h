#pragma once
#include <QRect>
#include <QWidget>
#include <cmath>

#include "Platform.h"

// The layout is designed in twips; Qt places widgets in logical pixels. All conversions go here.
namespace Twips {

inline int toPixels(double twips) { return static_cast<int>(std::lround(twips / Platform::kTwipsPerPixel)); }
inline int fromPixels(int pixels) { return Platform::pixelsToTwips(pixels); }

inline void place(QWidget* widget, double left, double top, double width, double height) {
  widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
inline void move(QWidget* widget, double left, double top) { widget->move(toPixels(left), toPixels(top)); }

inline int left(const QWidget* widget) { return fromPixels(widget->x()); }
inline int top(const QWidget* widget) { return fromPixels(widget->y()); }
inline int width(const QWidget* widget) { return fromPixels(widget->width()); }
inline int height(const QWidget* widget) { return fromPixels(widget->height()); }

}  // namespace Twips
