#pragma once
#include <QFrame>
#include <QLabel>
#include <QString>

#include "Twips.h"

// Controls made at their designed place in twips, named as the window's controls are named.
namespace Controls {

// The name of an element of a control array: "txtField_12".
inline QString indexed(const char* name, std::size_t index) {
  return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

template <class Widget>
Widget* make(QWidget* parent, const QString& name, int left, int top, int width, int height) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  Twips::place(widget, left, top, width, height);
  return widget;
}

inline QFrame* frame(QWidget* parent, const char* name, int left, int top, int width, int height) {
  QFrame* f = make<QFrame>(parent, QLatin1String(name), left, top, width, height);
  f->setFrameShape(QFrame::NoFrame);
  return f;
}

inline QLabel* label(QWidget* parent, const char* name, int left, int top, int width, int height,
                     const QString& text = {}) {
  QLabel* l = make<QLabel>(parent, QLatin1String(name), left, top, width, height);
  l->setText(text);
  return l;
}

}  // namespace Controls
