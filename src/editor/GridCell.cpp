#include "GridCell.h"

#include <QPainter>

GridCell::GridCell(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setBackgroundRole(QPalette::Base);
}

void GridCell::setText(const QString& text) {
  if (text == mText) return;
  mText = text;
  update();
}

void GridCell::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colours = palette();
  painter.fillRect(rect(), colours.color(backgroundRole()));
  painter.setPen(colours.color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(colours.color(foregroundRole()));
  painter.drawText(rect().adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, mText);
}
