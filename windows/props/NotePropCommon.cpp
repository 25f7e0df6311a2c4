#include "NotePropCommon.h"

#include "PropertyForm.h"
#include "platform/Errors.h"
#include "platform/qt/Dialogs.h"
#include "model/Container.h"
#include "windows/MainServices.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>

namespace qel {

QVBoxLayout* TakeBody(TPropertyFrm* window) {
  auto* box = static_cast<QVBoxLayout*>(window->layout());
  delete box->takeAt(box->count() - 1);
  return box;
}

bool Reported(const std::function<void()>& operation) {
  try {
    operation();
    return true;
  } catch (const Exception& error) {
    MessageDlg(error.what(), TMsgDlgType::mtError, mbOK);
    return false;
  }
}

Qt::WindowFlags FreeWindowFlags(bool stayOnTop) {
  Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint;
  if (stayOnTop) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

void ShowFreeWindow(QWidget* window, bool stayOnTop) {
  window->setWindowFlags(FreeWindowFlags(stayOnTop));
  window->setAttribute(Qt::WA_DeleteOnClose);
  if (MainServices)
    MainServices->PlacePropertyWindow(window);
  else
    window->setGeometry(0, 71, 250, window->height());
  window->show();
}

namespace {

bool TriggerShortcut(const QList<QAction*>& actions, const QKeySequence& key) {
  for (QAction* action : actions) {
    if (action->menu() && TriggerShortcut(action->menu()->actions(), key)) return true;
    if (!action->menu() && action->isEnabled() && action->shortcut() == key) {
      action->trigger();
      return true;
    }
  }
  return false;
}

} // namespace

bool MainMenuShortcut(QWidget* from, QKeyEvent* key) {
  // Inside the main window its shortcuts have been offered already.
  if (!MainServices || !from || from->window() == MainServices->MainWidget()) return false;
  return TriggerShortcut(MainServices->MainMenu()->actions(), QKeySequence(key->keyCombination()));
}

QWidget* Scrolled(QWidget* bar) {
  auto* box = new QScrollArea(bar->parentWidget());
  box->setWidget(bar);
  box->setWidgetResizable(true);
  box->setFrameShape(QFrame::NoFrame);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  const int height = bar->sizeHint().height();
  bar->setMinimumWidth(bar->sizeHint().width());
  box->setFixedHeight(height + box->horizontalScrollBar()->sizeHint().height());
  return box;
}

void ForgetProjectOnRelease(TPropertyFrm* window) {
  if (!MainServices) return;
  QObject::connect(MainServices->Notices(), &TMainNotices::ProjectReleasing, window, [window](TContainer* project) {
    if (window->Container != project) return;
    window->Container = nullptr;
    if (!window->isWindow()) return;
    window->Closing = true;
    window->close();
  });
}

QList<QPointer<QWidget>> FreeWindowsOf(const QWidget* owner) {
  QList<QPointer<QWidget>> windows;
  // findChildren lists a window before its descendants; reversed, openers come last.
  for (QWidget* child : owner->findChildren<QWidget*>())
    if (child->isWindow() && child->testAttribute(Qt::WA_DeleteOnClose)) windows.prepend(child);
  return windows;
}

void CloseFreeWindows(const QWidget* owner) {
  TPropertyFrm::StoreOwnedWindows(owner);
  for (const QPointer<QWidget>& window : FreeWindowsOf(owner)) {
    if (!window) continue;
    if (auto* form = qobject_cast<TPropertyFrm*>(window.data())) form->Closing = true; // stored above
    window->close();
    delete window.data();
  }
}

} // namespace qel
