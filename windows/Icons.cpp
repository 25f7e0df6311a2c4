#include "Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace qel {
namespace {

using TDraw = std::function<void(QPainter&)>;

const QColor kInk(40, 50, 70);
const QColor kNote(255, 226, 90);
const QColor kSheet(250, 250, 250);
const QColor kBlue(60, 110, 190);

QIcon Paint(const TDraw& draw) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  if (draw) {
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    draw(p);
  }
  return QIcon(pixmap);
}

void Page(QPainter& p, const QColor& fill) {
  QPainterPath path;
  path.moveTo(3.5, 1.5);
  path.lineTo(10.5, 1.5);
  path.lineTo(13.5, 4.5);
  path.lineTo(13.5, 14.5);
  path.lineTo(3.5, 14.5);
  path.closeSubpath();
  p.setBrush(fill);
  p.drawPath(path);
}

void Note(QPainter& p, const QRectF& box, const QColor& fill = kNote) {
  p.setBrush(fill);
  p.drawRect(box);
  p.drawLine(QPointF(box.left() + 2, box.top() + box.height() / 2), QPointF(box.right() - 2, box.top() + box.height() / 2));
}

void Plus(QPainter& p, QPointF c, const QColor& colour = QColor(20, 140, 40)) {
  p.setPen(QPen(colour, 2));
  p.drawLine(c - QPointF(3, 0), c + QPointF(3, 0));
  p.drawLine(c - QPointF(0, 3), c + QPointF(0, 3));
}

void Lens(QPainter& p) {
  p.setBrush(QColor(210, 230, 250));
  p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
  p.setPen(QPen(kInk, 2.5));
  p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
}

void Windows(QPainter& p, const QList<QRectF>& frames) {
  for (const QRectF& r : frames) {
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 2.5), kBlue);
  }
}

void Grid(QPainter& p) {
  Page(p, kSheet);
  p.setPen(QColor(150, 150, 150));
  for (int x = 6; x <= 11; x += 3)
    for (int y = 5; y <= 12; y += 3) p.drawPoint(x, y);
}

void Arrow(QPainter& p, QPointF from, QPointF to) {
  p.setPen(QPen(kBlue, 2));
  p.drawLine(from, to);
  QPointF d = to - from;
  QPointF side(-d.y() * 0.35, d.x() * 0.35);
  p.drawLine(to, to - d * 0.4 + side);
  p.drawLine(to, to - d * 0.4 - side);
}

const std::vector<TDraw>& ToolDrawings() {
  static const std::vector<TDraw> drawings = {
      [](QPainter& p) { Page(p, Qt::white); },                                             // 0 new
      [](QPainter& p) {                                                                     // 1 open
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(1.5, 4.5, 13, 9));
        p.drawRect(QRectF(1.5, 3.5, 5, 2));
      },
      [](QPainter& p) {                                                                     // 2 save
        p.setBrush(kBlue);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
      },
      [](QPainter& p) { Lens(p); Plus(p, QPointF(6.5, 6.5)); },                             // 3 zoom in
      [](QPainter& p) { Lens(p); p.setPen(QPen(kInk, 2)); p.drawLine(3.5, 6.5, 9.5, 6.5); }, // 4 zoom out
      nullptr,
      [](QPainter& p) { Windows(p, {QRectF(1.5, 1.5, 5, 13), QRectF(7.5, 1.5, 7, 13)}); }, // 6 fit to screen
      nullptr,
      nullptr,
      [](QPainter& p) { Lens(p); },                                                          // 9 search
      [](QPainter& p) {                                                                     // 10 print
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
      },
      [](QPainter& p) {                                                                     // 11 relation types
        Note(p, QRectF(0.5, 1.5, 7, 5));
        Note(p, QRectF(8.5, 9.5, 7, 5));
        Arrow(p, QPointF(5, 7), QPointF(10, 10));
      },
      [](QPainter& p) { Note(p, QRectF(1.5, 3.5, 11, 9)); Plus(p, QPointF(12, 12)); },      // 12 new note
      [](QPainter& p) { Grid(p); Plus(p, QPointF(12, 12)); },                               // 13 new sheet
      nullptr,
      [](QPainter& p) {                                                                     // 15 exit
        p.setPen(QPen(QColor(200, 40, 40), 2.5));
        p.drawLine(3, 3, 13, 13);
        p.drawLine(13, 3, 3, 13);
      },
      [](QPainter& p) { Windows(p, {QRectF(1.5, 1.5, 13, 6), QRectF(1.5, 8.5, 13, 6)}); },  // 16 tile
      [](QPainter& p) { Windows(p, {QRectF(1.5, 1.5, 9, 8), QRectF(5.5, 6.5, 9, 8)}); },    // 17 cascade
      [](QPainter& p) {                                                                     // 18 import
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(1.5, 8.5, 13, 6));
        Arrow(p, QPointF(8, 1), QPointF(8, 11));
      },
      [](QPainter& p) {                                                                     // 19 autosave
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
        p.drawLine(QPointF(8, 8), QPointF(11.5, 9.5));
      },
      [](QPainter& p) {                                                                     // 20 help
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setPen(Qt::white);
        QFont font = p.font();
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "?");
      },
  };
  return drawings;
}

const std::vector<TDraw>& NavDrawings() {
  static const std::vector<TDraw> drawings = {
      [](QPainter& p) {                                                          // 0 project
        p.setBrush(kBlue);
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.fillRect(QRectF(4, 4, 8, 2), Qt::white);
      },
      [](QPainter& p) { Grid(p); },                                              // 1 sheet
      [](QPainter& p) { Note(p, QRectF(1.5, 3.5, 13, 9), QColor(255, 244, 200)); }, // 2 note not placed
      [](QPainter& p) {                                                          // 3 attachment
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(5, 1.5, 6, 13), 3, 3);
        p.drawLine(QPointF(8, 4), QPointF(8, 11));
      },
      [](QPainter& p) { Note(p, QRectF(1.5, 3.5, 13, 9)); },                     // 4 note placed
      [](QPainter& p) { Arrow(p, QPointF(3, 8), QPointF(13, 8)); },              // 5 pane hidden
      [](QPainter& p) { Arrow(p, QPointF(13, 8), QPointF(3, 8)); },              // 6 pane shown
      [](QPainter& p) { Note(p, QRectF(1.5, 3.5, 13, 9)); Plus(p, QPointF(8, 8)); }, // 7
      [](QPainter& p) { Grid(p); Arrow(p, QPointF(3, 13), QPointF(9, 7)); },     // 8 open a sheet
  };
  return drawings;
}

QList<QIcon> PaintAll(const std::vector<TDraw>& drawings) {
  QList<QIcon> icons;
  for (const TDraw& draw : drawings) icons << Paint(draw);
  return icons;
}

} // namespace

QList<QIcon> ToolBarImages() { return PaintAll(ToolDrawings()); }

QList<QIcon> NavigatorImages() { return PaintAll(NavDrawings()); }

} // namespace qel
