#include "SearchColorPanel.h"

#include "platform/qt/QtConvert.h"

#include <QMouseEvent>
#include <QPainter>

namespace qel {

TSearchShape::TSearchShape(QWidget* parent, TColor hatch) : QWidget(parent), Hatch(hatch) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TSearchShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(QBrush(ToQColor(Hatch), Qt::DiagCrossPattern));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

TSearchColorPanel::TSearchColorPanel(QWidget* parent, TColor hatch)
    : QFrame(parent), Shape(new TSearchShape(this, hatch)) {}

void TSearchColorPanel::SetColor(TColor color) {
  FColor = color;
  update();
}

void TSearchColorPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(FColor));
}

void TSearchColorPanel::resizeEvent(QResizeEvent*) { Shape->setGeometry(rect()); }

void TSearchColorPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Clicked();
}

void TSearchColorPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit DoubleClicked();
}

} // namespace qel
