#include "KindIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace KindIcons {
namespace {

constexpr int kSize = 32;

void drawWindowIcon(QPainter& p) {  // a sheet with a grid
  p.setBrush(QColor(250, 246, 230));
  p.setPen(QPen(QColor(90, 70, 40), 2));
  p.drawRect(4, 3, 24, 26);
  p.setPen(QPen(QColor(140, 120, 90), 1));
  for (int y = 10; y < 29; y += 6) p.drawLine(5, y, 27, y);
  p.drawLine(12, 4, 12, 28);
  p.setBrush(QColor(170, 30, 30));
  p.setPen(Qt::NoPen);
  p.drawRect(5, 4, 23, 5);
}

void drawUnitIcon(QPainter& p) {  // a shield with a cross
  QPainterPath shield;
  shield.moveTo(6, 4);
  shield.lineTo(26, 4);
  shield.lineTo(26, 16);
  shield.quadTo(26, 26, 16, 30);
  shield.quadTo(6, 26, 6, 16);
  shield.closeSubpath();
  p.setBrush(QColor(200, 200, 210));
  p.setPen(QPen(QColor(60, 60, 80), 2));
  p.drawPath(shield);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(180, 20, 20));
  p.drawRect(14, 6, 4, 21);
  p.drawRect(8, 12, 16, 4);
}

void drawBuildingIcon(QPainter& p) {  // a keep with battlements
  p.setBrush(QColor(170, 160, 140));
  p.setPen(QPen(QColor(70, 60, 50), 2));
  p.drawRect(8, 10, 16, 19);
  for (int x = 8; x < 24; x += 6) p.drawRect(x, 5, 4, 5);
  p.setBrush(QColor(60, 40, 20));
  p.drawRect(14, 20, 4, 9);
}

void drawProjectileIcon(QPainter& p) {  // an arrow in flight
  p.setPen(QPen(QColor(110, 70, 30), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(5, 27, 24, 8);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(80, 80, 90));
  p.drawPolygon(QPolygon({QPoint(27, 5), QPoint(19, 8), QPoint(24, 13)}));
  p.setBrush(QColor(220, 40, 40));
  p.drawPolygon(QPolygon({QPoint(4, 28), QPoint(5, 21), QPoint(8, 24)}));
  p.drawPolygon(QPolygon({QPoint(4, 28), QPoint(11, 27), QPoint(8, 24)}));
}

}  // namespace

QIcon icon(std::int32_t kind) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  switch (kind) {
    case 1: drawUnitIcon(painter); break;
    case 2: drawBuildingIcon(painter); break;
    case 3: drawProjectileIcon(painter); break;
    default: drawWindowIcon(painter); break;
  }
  return QIcon(pixmap);
}

}  // namespace KindIcons
