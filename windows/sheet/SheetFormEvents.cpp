// The paint box: its Qt events become the sheet window's handlers, in the order the user's
// actions give them (a click before the release's MouseUp; a double-click, then a press).
#include "SheetForm.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

namespace qel {

namespace {

QPoint At(const QMouseEvent* event) { return event->position().toPoint(); }
QPoint At(const QDropEvent* event) { return event->position().toPoint(); }

} // namespace

TSheetPaintBox::TSheetPaintBox(TDrawSheet* form, QWidget* parent) : QWidget(parent), FForm(form) {
  setMouseTracking(true);
  setAcceptDrops(true);
  setFocusPolicy(Qt::ClickFocus);
  setToolTip("This is the open worksheet that you can drag Notes to and where you can relate them");
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);
}

bool TSheetPaintBox::event(QEvent* event) {
  // A modal box now takes the release of a press made here.
  if (event->type() == QEvent::WindowBlocked && FPressed) {
    FPressed = FClicked = false;
    FForm->EndLostGesture();
  }
  return QWidget::event(event);
}

void TSheetPaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  FForm->PaintBoxPaint(painter);
}

void TSheetPaintBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FClicked = FPressed = true;
  FForm->LastPoint = {At(event).x(), At(event).y()};
  FForm->PB_SheetMouseDown(event->button(), event->modifiers(), At(event).x(), At(event).y());
}

void TSheetPaintBox::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) FPressed = false;
  FForm->PB_SheetMouseMove(event->buttons(), event->modifiers(), At(event).x(), At(event).y());
}

void TSheetPaintBox::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = FClicked && event->button() == Qt::LeftButton && rect().contains(At(event));
  FClicked = false;
  if (event->button() == Qt::LeftButton) FPressed = false;
  QPointer<TSheetPaintBox> self(this);
  if (click) FForm->PB_SheetClick();
  if (self) FForm->PB_SheetMouseUp(event->button(), event->modifiers(), At(event).x(), At(event).y());
}

void TSheetPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  FClicked = false;
  FPressed = true;
  FForm->LastPoint = {At(event).x(), At(event).y()};
  QPointer<TSheetPaintBox> self(this);
  FForm->PB_SheetDblClick();
  if (!self) return;
  if (FPressed) {
    FForm->PB_SheetMouseDown(event->button(), event->modifiers(), At(event).x(), At(event).y());
  } else {
    // The box the double click opened took the release: nothing of this press is left.
    FForm->EndLostGesture();
  }
}

void TSheetPaintBox::wheelEvent(QWheelEvent* event) {
  QPoint delta = event->angleDelta();
  if (event->inverted()) delta = -delta;
  if (FForm->PB_SheetWheel(delta, event->modifiers()))
    event->accept();
  else
    event->ignore();
}

void TSheetPaintBox::contextMenuEvent(QContextMenuEvent* event) { FForm->ME_FormPopup->popup(event->globalPos()); }

void TSheetPaintBox::dragEnterEvent(QDragEnterEvent* event) {
  FDragObject = DragObjectOf(event->mimeData());
  if (!FDragObject) {
    event->ignore();
    return;
  }
  FForm->PB_SheetDragOver(FDragObject, At(event).x(), At(event).y(), TDragState::dsDragEnter);
  // Accepted here so that the moves arrive; each move decides whether a drop may follow.
  event->acceptProposedAction();
}

void TSheetPaintBox::dragMoveEvent(QDragMoveEvent* event) {
  TDragObject* object = DragObjectOf(event->mimeData());
  if (object && FForm->PB_SheetDragOver(object, At(event).x(), At(event).y(), TDragState::dsDragMove))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TSheetPaintBox::dragLeaveEvent(QDragLeaveEvent*) {
  if (FDragObject) FForm->PB_SheetDragOver(FDragObject, -1, -1, TDragState::dsDragLeave);
  FDragObject = nullptr;
}

void TSheetPaintBox::dropEvent(QDropEvent* event) {
  FDragObject = nullptr;
  TDragObject* object = DragObjectOf(event->mimeData());
  if (!object) return;
  event->acceptProposedAction();
  FForm->PB_SheetDragDrop(object, At(event).x(), At(event).y());
}

} // namespace qel
