#include "ColorPanel.h"

#include "platform/qt/QtConvert.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace qel {

TColorPanel::TColorPanel(QWidget* parent, TColor color) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus); // reachable from the keyboard: Space or Enter picks
  SetColor(color);
}

void TColorPanel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    emit Clicked();
    return;
  }
  QFrame::keyPressEvent(event);
}

void TColorPanel::SetColor(TColor color) {
  FColor = color;
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, ToQColor(color));
  setPalette(palette);
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* event) {
  QFrame::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Clicked();
}

void TColorPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  emit DoubleClicked();
}

} // namespace qel
