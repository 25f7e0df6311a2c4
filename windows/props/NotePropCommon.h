#pragma once
// Small pieces shared by the note, sheet and attachment windows: item views whose drags are
// decided by their window, the windows' body layout and reported file operations, and the
// placing of free property windows.
#include "ColorPanel.h"

#include <QDrag>
#include <QDropEvent>
#include <QFrame>
#include <QMimeData>
#include <QPointer>
#include <QVBoxLayout>
#include <functional>

namespace qel {

class TPropertyFrm;

// An item view (list or tree) whose window decides what a drag from it carries and what it
// accepts; a view without OnDragOver accepts nothing.
template <class TBase> class TDragView : public TBase {
public:
  explicit TDragView(QWidget* parent = nullptr) : TBase(parent) { this->setDragEnabled(true); }
  // The data to drag, or null for no drag.
  std::function<QMimeData*()> OnStartDrag;
  // Whether a drop from the source widget with the data is accepted.
  std::function<bool(QObject* source, const QMimeData* data)> OnDragOver;
  std::function<void(QObject* source, const QMimeData* data)> OnDragDrop;

protected:
  void startDrag(Qt::DropActions) override {
    QMimeData* data = OnStartDrag ? OnStartDrag() : nullptr;
    if (!data) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
  }
  void dragEnterEvent(QDragEnterEvent* event) override { Decide(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { Decide(event); }
  void dropEvent(QDropEvent* event) override {
    if (!Accepts(event)) return event->ignore();
    event->acceptProposedAction();
    OnDragDrop(event->source(), event->mimeData());
  }

private:
  bool Accepts(QDropEvent* event) const {
    return OnDragOver && OnDragDrop && OnDragOver(event->source(), event->mimeData());
  }
  void Decide(QDropEvent* event) {
    if (Accepts(event))
      event->acceptProposedAction();
    else
      event->ignore();
  }
};

// The base window's layout without its filler, ready for the window's own controls.
QVBoxLayout* TakeBody(TPropertyFrm* window);
// Runs a file operation; an error it raises is told in an error box. False on error.
bool Reported(const std::function<void()>& operation);

// Shows a property window opened from another window as a free window: left 0, top 71,
// width 250, as high as the main window's client area less its main tool bar.
void ShowFreeWindow(QWidget* window, bool stayOnTop);
// The flags of such a window.
Qt::WindowFlags FreeWindowFlags(bool stayOnTop);
// A key pressed in a window of its own that the main window's menu binds (zoom, relation
// types, ...) triggers that menu item, as it would inside the main window. True when taken.
bool MainMenuShortcut(QWidget* from, QKeyEvent* key);
// A tool bar in a box that scrolls sideways when the window is narrower than the bar, so no
// button hides behind an overflow arrow.
QWidget* Scrolled(QWidget* bar);
// When the main window releases the window's project, the window forgets it and, when it is
// a window of its own, closes without storing.
void ForgetProjectOnRelease(TPropertyFrm* window);
// The free windows opened from the owner (those that free themselves when closed), also those
// opened from them in turn, each before the window it was opened from.
QList<QPointer<QWidget>> FreeWindowsOf(const QWidget* owner);
// Every free window opened from the owner stores, closes and is gone on return.
void CloseFreeWindows(const QWidget* owner);

} // namespace qel
