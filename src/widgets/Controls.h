#pragma once
#include <QAbstractButton>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
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

// The whole caption within the designed width: a smaller font where the platform's is too wide,
// down to a readable 6 points; a caption that still does not fit is the hint of a control that
// has no hint of its own.
inline void fitCaption(QAbstractButton* button) {
  QFont font = button->parentWidget()->font();
  button->setFont(font);
  while (button->sizeHint().width() > button->width() && font.pointSizeF() > 6) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
    button->setFont(font);
  }
  const bool cut = button->sizeHint().width() > button->width();
  if (!button->toolTip().isEmpty() && !button->property("captionHint").toBool()) return;
  button->setToolTip(cut ? button->text().remove(QLatin1Char('&')) : QString());
  button->setProperty("captionHint", cut);
}

// The keyboard's way to what a right-click opens: the Menu key or Shift+F10.
inline bool menuKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
}
inline bool rightAlone(const QMouseEvent* event) {
  return event->button() == Qt::RightButton && event->buttons() == Qt::RightButton;
}

}  // namespace Controls
