#include "desktop/shell/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kivo::desktop {
namespace {

// Drawn on a 64-unit grid, the same shapes as
// data/icons/hicolor/scalable/apps/kivo-player.svg.
QPixmap IconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x10, 0x10, 0x10));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  const QColor green(0x00, 0xFF, 0x00);
  QPainterPath play;
  play.moveTo(12, 14);
  play.lineTo(36, 32);
  play.lineTo(12, 50);
  play.closeSubpath();
  painter.fillPath(play, green);
  painter.fillRect(QRectF(42, 26, 6, 24), green);
  painter.fillRect(QRectF(51, 16, 6, 34), green);
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 22, 32, 48, 64}) icon.addPixmap(IconPixmap(size));
  return icon;
}

}  // namespace kivo::desktop
