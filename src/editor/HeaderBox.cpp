#include "HeaderBox.h"

#include <QPainter>
#include <QScrollBar>
#include <QTextOption>
#include <cmath>

namespace {
constexpr int kMargin = 2;
}

HeaderBox::HeaderBox(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setBackgroundRole(QPalette::Base);
  setFocusPolicy(Qt::StrongFocus);
  QTextOption wrap;
  wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  mLayout.setTextOption(wrap);
}

void HeaderBox::setPlainText(const QString& text) {
  if (text == mText) return;
  mText = text;
  layOut();
  verticalScrollBar()->setValue(0);
  viewport()->update();
}

// Lines are scrolled one at a time, as in a text box.
void HeaderBox::layOut() {
  QString shown = mText;
  shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
  mLayout.setText(shown);
  mLayout.setFont(font());
  const qreal width = std::max(1, viewport()->width() - 2 * kMargin);
  qreal height = 0;
  mLayout.beginLayout();
  for (QTextLine line = mLayout.createLine(); line.isValid(); line = mLayout.createLine()) {
    line.setLineWidth(width);
    line.setPosition(QPointF(0, height));
    height += line.height();
  }
  mLayout.endLayout();
  mLineHeight = std::max(1, static_cast<int>(std::ceil(fontMetrics().height())));
  const int hiddenLines = static_cast<int>(std::ceil((height - viewport()->height() + kMargin) / mLineHeight));
  verticalScrollBar()->setRange(0, std::max(0, hiddenLines));
  verticalScrollBar()->setPageStep(std::max(1, viewport()->height() / mLineHeight));
}

void HeaderBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  layOut();
}

void HeaderBox::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  mLayout.draw(&painter, QPointF(kMargin, kMargin - verticalScrollBar()->value() * mLineHeight));
}
