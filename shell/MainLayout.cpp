// Arranging the child windows (fit to screen, tile, cascade) and placing the free windows.
#include "Main.h"

#include "windows/nav/Navigator.h"

#include <QApplication>
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

// A widget's window or child window as it stands on the screen, frame included.
QRect ScreenFrame(const QWidget* frame) {
  if (frame->isWindow()) return frame->frameGeometry();
  return QRect(frame->mapToGlobal(QPoint(0, 0)), frame->size());
}

} // namespace

QRect FreeWindowPlace(const QRect& area, const QSize& size, const QRect& avoid) {
  const auto at = [&](int left) { return QRect(QPoint(left, area.top()), size); };
  if (avoid.isEmpty() || !avoid.intersects(area)) return at(area.left());
  if (avoid.left() - size.width() >= area.left()) return at(avoid.left() - size.width());
  if (avoid.right() + size.width() <= area.right()) return at(avoid.right() + 1);
  const auto covered = [&avoid](const QRect& place) {
    const QRect both = place & avoid;
    return static_cast<long long>(both.width()) * both.height();
  };
  const QRect right = at(std::max(area.left(), area.right() + 1 - size.width())), left = at(area.left());
  return covered(right) <= covered(left) ? right : left;
}

QRect TQELMain::FreeWindowArea() const {
  return QRect(MdiArea->mapToGlobal(QPoint(0, 0)), QSize(MdiArea->width(), ClientHeight() - ToolBarMainHeight()));
}

QMargins TQELMain::FrameMargins(const QWidget* window) const {
  // Before it is first shown a window has no frame yet: the main window's is the best guess.
  const QWidget* framed = window->isVisible() ? window : this;
  const QRect outer = framed->frameGeometry(), inner = framed->geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

QRect TQELMain::WorkedInFrame(const QWidget* placed, const QWidget* workedIn) const {
  const QWidget* widget = workedIn ? workedIn : QApplication::focusWidget();
  if (!widget) widget = QApplication::activeWindow();
  for (; widget && widget != placed; widget = widget->parentWidget()) {
    if (!widget->isVisible()) break;
    if (qobject_cast<const QMdiSubWindow*>(widget) || (widget->isWindow() && widget != this)) return ScreenFrame(widget);
    if (widget->isWindow()) break;
  }
  // The tool bar, the main window itself, or nothing visible: the active child window.
  const QMdiSubWindow* active = MdiArea->activeSubWindow();
  return active && active->isVisible() && !active->isMinimized() ? ScreenFrame(active) : QRect();
}

void TQELMain::PlacePropertyWindow(QWidget* window, const QWidget* WorkedIn) const {
  const QMargins frame = FrameMargins(window);
  const QSize outer(250 + frame.left() + frame.right(), ClientHeight() - ToolBarMainHeight());
  const QRect place = FreeWindowPlace(FreeWindowArea(), outer, WorkedInFrame(window, WorkedIn));
  window->setGeometry(place.marginsRemoved(frame));
}

void TQELMain::PlaceAtRightEdge(QWidget* window, int width) const {
  const QMargins frame = FrameMargins(window);
  const QRect area = FreeWindowArea();
  const int outer = width + frame.left() + frame.right();
  window->setGeometry(QRect(area.right() + 1 - outer, area.top(), outer, area.height()).marginsRemoved(frame));
}

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
