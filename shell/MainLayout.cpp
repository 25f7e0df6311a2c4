// Arranging the child windows: fit to screen, tile, cascade.
#include "Main.h"

#include "windows/nav/Navigator.h"

#include <QMdiSubWindow>

namespace qel {
namespace {

QWidget* FrameOf(QWidget* child) {
  auto* sub = qobject_cast<QMdiSubWindow*>(child->parentWidget());
  return sub ? static_cast<QWidget*>(sub) : child;
}

} // namespace

void TQELMain::TB_FitToScreenClick() {
  if (!isMaximized()) {
    // The desktop may size the window later; the layout is made again when it does.
    FFitOnResize = true;
    showMaximized();
  }
  FitChildWindows();
}

void TQELMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (FFitOnResize) {
    FFitOnResize = false;
    FitChildWindows();
  }
}

void TQELMain::FitChildWindows() {
  if (!NavForm) return;
  QWidget* navigator = FrameOf(NavForm);
  navigator->showNormal();
  navigator->move(0, 0);
  if (!NavForm->PropertiesVisible()) NavForm->btn_togglepropClick();
  navigator->resize(ClientWidth() - 181, ClientHeight() - ToolBarMainHeight() - 4);
  NavForm->Panel1->setFixedWidth(240);
  // Hiding the pane leaves the navigator narrowed by it.
  if (NavForm->PropertiesVisible()) NavForm->btn_togglepropClick();
  for (QMdiSubWindow* sub : MdiArea->subWindowList()) {
    if (sub == navigator) continue;
    sub->showNormal();
    sub->setGeometry(navigator->width(), 0, ClientWidth() - navigator->width() - 4, navigator->height());
  }
}

void TQELMain::TB_TileClick() {
  // Horizontal tiling: each window as wide as the area, one below the other.
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* sub : MdiArea->subWindowList())
    if (sub->isVisible() && !sub->isMinimized()) windows << sub;
  if (windows.isEmpty()) return;
  const QRect area = MdiArea->viewport()->rect();
  const int height = area.height() / static_cast<int>(windows.size());
  int top = 0;
  for (QMdiSubWindow* sub : windows) {
    sub->showNormal();
    sub->setGeometry(0, top, area.width(), height);
    top += height;
  }
}

void TQELMain::TB_CascadeClick() { MdiArea->cascadeSubWindows(); }

} // namespace qel
