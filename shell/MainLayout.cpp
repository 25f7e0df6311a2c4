// Arranging the child windows: fit to screen, tile, cascade.
#include "Main.h"

#include "windows/nav/Navigator.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <algorithm>

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

void TQELMain::TB_CascadeClick() {
  // Each window keeps its size (as far as the area allows), one title bar further down and
  // right than the one below it; the navigator lies at the bottom and the active window on top.
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::StackingOrder))
    if (sub->isVisible() && !sub->isMinimized()) windows << sub;
  if (windows.isEmpty()) return;
  QMdiSubWindow* active = MdiArea->activeSubWindow();
  std::stable_partition(windows.begin(), windows.end(),
                        [](QMdiSubWindow* sub) { return qobject_cast<TNavForm*>(sub->widget()) != nullptr; });
  if (active && !qobject_cast<TNavForm*>(active->widget()) && windows.removeOne(active)) windows << active;
  const QRect area = MdiArea->viewport()->rect();
  QMdiSubWindow* first = windows.front();
  const int step = std::max(1, first->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, first));
  int offset = 0;
  for (QMdiSubWindow* sub : windows) {
    if (sub->isMaximized()) sub->showNormal();
    const QSize size = sub->size().boundedTo(area.size() - QSize(offset, offset)).expandedTo(sub->minimumSizeHint());
    sub->setGeometry(QRect(QPoint(offset, offset), size));
    sub->raise();
    offset = (offset + step) % std::max(step, std::min(area.width(), area.height()) / 2);
  }
  MdiArea->setActiveSubWindow(windows.back());
}

} // namespace qel
