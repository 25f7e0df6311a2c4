#include "Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qel {
namespace {

void DrawNote(QPainter& p, const QRectF& box) {
  p.setPen(QPen(QColor(90, 80, 20), 1.5));
  p.setBrush(QColor(255, 236, 110));
  p.drawRoundedRect(box, 3, 3);
  p.setPen(QPen(QColor(150, 130, 60), 1));
  for (int line = 1; line <= 2; ++line) {
    const qreal y = box.top() + box.height() * line / 3.0;
    p.drawLine(QPointF(box.left() + 6, y), QPointF(box.right() - 6, y));
  }
}

void DrawLink(QPainter& p, QPointF from, QPointF to, qreal bend) {
  QPainterPath path(from);
  const QPointF mid = (from + to) / 2 + QPointF(0, bend);
  path.quadTo(mid, to);
  p.setPen(QPen(QColor(40, 70, 140), 2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

} // namespace

QPixmap PaintLogo(const QSize& size) {
  QPixmap pixmap(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, size.height());
  sky.setColorAt(0, QColor(214, 228, 246));
  sky.setColorAt(1, QColor(160, 188, 226));
  p.fillRect(pixmap.rect(), sky);
  const qreal w = size.width(), h = size.height();
  const QRectF sheet(w * 0.05, h * 0.08, w * 0.55, h * 0.84);
  p.setPen(QPen(QColor(120, 120, 120), 1));
  p.setBrush(Qt::white);
  p.drawRect(sheet);
  const QSizeF note(sheet.width() * 0.30, sheet.height() * 0.22);
  const QRectF a(QPointF(sheet.left() + sheet.width() * 0.08, sheet.top() + sheet.height() * 0.12), note);
  const QRectF b(QPointF(sheet.left() + sheet.width() * 0.60, sheet.top() + sheet.height() * 0.36), note);
  const QRectF c(QPointF(sheet.left() + sheet.width() * 0.16, sheet.top() + sheet.height() * 0.66), note);
  DrawLink(p, a.center(), b.center(), -h * 0.08);
  DrawLink(p, a.center(), c.center(), h * 0.02);
  DrawLink(p, c.center(), b.center(), h * 0.06);
  for (const QRectF& box : {a, b, c}) DrawNote(p, box);
  QFont font("Liberation Sans");
  font.setBold(true);
  font.setPixelSize(static_cast<int>(h * 0.30));
  p.setFont(font);
  p.setPen(QColor(30, 50, 110));
  p.drawText(QRectF(sheet.right(), 0, w - sheet.right(), h), Qt::AlignCenter, "QEL");
  return pixmap;
}

} // namespace qel
