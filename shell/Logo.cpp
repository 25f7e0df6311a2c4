#include "Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace qel {
namespace {

void DrawNote(QPainter& p, const QRectF& box) {
  p.setPen(QPen(QColor(90, 80, 20), std::max(1.0, box.height() / 20)));
  p.setBrush(QColor(255, 236, 110));
  p.drawRoundedRect(box, box.height() / 10, box.height() / 10);
  if (box.width() < 20) return; // too small for lines of text
  p.setPen(QPen(QColor(150, 130, 60), 1));
  for (int line = 1; line <= 2; ++line) {
    const qreal y = box.top() + box.height() * line / 3.0;
    p.drawLine(QPointF(box.left() + 6, y), QPointF(box.right() - 6, y));
  }
}

void DrawLink(QPainter& p, QPointF from, QPointF to, qreal bend, qreal width) {
  QPainterPath path(from);
  const QPointF mid = (from + to) / 2 + QPointF(0, bend);
  path.quadTo(mid, to);
  p.setPen(QPen(QColor(40, 70, 140), width));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

// A white sheet holding three notes joined by links.
void DrawSheet(QPainter& p, const QRectF& sheet) {
  p.setPen(QPen(QColor(120, 120, 120), 1));
  p.setBrush(Qt::white);
  p.drawRect(sheet);
  const QSizeF note(sheet.width() * 0.30, sheet.height() * 0.22);
  const QRectF a(QPointF(sheet.left() + sheet.width() * 0.08, sheet.top() + sheet.height() * 0.12), note);
  const QRectF b(QPointF(sheet.left() + sheet.width() * 0.60, sheet.top() + sheet.height() * 0.36), note);
  const QRectF c(QPointF(sheet.left() + sheet.width() * 0.16, sheet.top() + sheet.height() * 0.66), note);
  const qreal h = sheet.height(), link = std::max(1.0, h / 60);
  DrawLink(p, a.center(), b.center(), -h * 0.10, link);
  DrawLink(p, a.center(), c.center(), h * 0.02, link);
  DrawLink(p, c.center(), b.center(), h * 0.07, link);
  for (const QRectF& box : {a, b, c}) DrawNote(p, box);
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
  DrawSheet(p, sheet);
  QFont font("Liberation Sans");
  font.setBold(true);
  font.setPixelSize(static_cast<int>(h * 0.30));
  p.setFont(font);
  p.setPen(QColor(30, 50, 110));
  p.drawText(QRectF(sheet.right(), 0, w - sheet.right(), h), Qt::AlignCenter, "QEL");
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawSheet(p, QRectF(0.5, 0.5, side - 1, side - 1));
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

} // namespace qel
