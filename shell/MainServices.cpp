// The main window's services to the other windows: walks over the child windows by class.
#include "Main.h"

#include "windows/sheet/SheetForm.h"
#include "windows/search/Search.h"
#include "windows/search/SearchResultsTree.h"
#include "windows/nav/Navigator.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropCommon.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <algorithm>

namespace qel {

void TQELMain::RefreshNavigators(TPoolItem* Item) {
  for (TNavForm* navigator : ChildWindows<TNavForm>()) navigator->RefreshItem(Item, false);
}

void TQELMain::RefreshSheetWindows() {
  for (TDrawSheet* sheetWindow : ChildWindows<TDrawSheet>()) {
    if (SheetExists(sheetWindow->GetSheet()))
      sheetWindow->Redraw(false);
    else if (auto* sub = qobject_cast<QMdiSubWindow*>(sheetWindow->parentWidget()))
      sub->close();
    else
      sheetWindow->close();
  }
  // A result whose item went (every deletion ends here) turns grey now, not at the next repaint.
  for (TfrmSearch* search : findChildren<TfrmSearch*>(Qt::FindDirectChildrenOnly))
    search->trvSearchResults->viewport()->update();
  // Any item may have changed: the windows showing items refill what their users left alone.
  emit FNotices->ItemChanged(nullptr);
}

void TQELMain::StoreNavigatorEdits() {
  for (TNavForm* navigator : ChildWindows<TNavForm>()) navigator->StoreProperties();
}

void TQELMain::StorePendingEdits() {
  StoreNavigatorEdits();
  for (TNavForm* navigator : ChildWindows<TNavForm>()) TPropertyFrm::StoreOwnedWindows(navigator);
  // Every window of its own, the new-note window too, stores what was typed in it.
  emit PendingEditsRequested();
}

bool TQELMain::IsSheetOpen(const TSheetItem* Sheet) const {
  const auto windows = ChildWindows<TDrawSheet>();
  return Sheet && std::any_of(windows.begin(), windows.end(), [Sheet](TDrawSheet* w) { return w->GetSheet() == Sheet; });
}

bool TQELMain::SheetExists(const TSheetItem* Sheet) const {
  const auto& all = FContainer->SheetPool->AllItems();
  return Sheet && std::find(all.begin(), all.end(), Sheet) != all.end();
}

void TQELMain::SyncSheetNotes() { FContainer->SyncAggregationNotes(); }

void TQELMain::ShowSearchWindow() {
  // Windows made earlier stay open; frmSearch names the newest.
  frmSearch = new TfrmSearch(this);
  frmSearch->SetContainer(FContainer.get());
  // Wider than 181 pixels where this platform's fonts and the colour filters need it.
  const int width = std::max(181, frmSearch->NeededWidth());
  PlaceAtRightEdge(frmSearch, width);
  frmSearch->show();
}

QMdiSubWindow* TQELMain::AddChildWindow(QWidget* window) {
  QMdiSubWindow* sub = MdiArea->addSubWindow(window);
  if (qobject_cast<TNavForm*>(window))
    sub->installEventFilter(this); // the navigator lives as long as the program
  else
    sub->setAttribute(Qt::WA_DeleteOnClose);
  // A sheet window closed in the background may be the one the zoom box applies to.
  connect(sub, &QObject::destroyed, this,
          [this] { QMetaObject::invokeMethod(this, &TQELMain::UpdateZoomBox, Qt::QueuedConnection); });
  LeaveMenuKeysToMainMenu(sub);
  window->show();
  return sub;
}

bool TQELMain::eventFilter(QObject* watched, QEvent* event) {
  auto* sub = qobject_cast<QMdiSubWindow*>(watched);
  if (event->type() != QEvent::Close || !sub || !qobject_cast<TNavForm*>(sub->widget()))
    return QMainWindow::eventFilter(watched, event);
  // Closing the navigator only minimises it; the Window menu, New and Open bring it back.
  event->ignore();
  sub->showMinimized();
  return true;
}

void TQELMain::ShowNavigators() {
  for (TNavForm* navigator : ChildWindows<TNavForm>()) {
    auto* sub = qobject_cast<QMdiSubWindow*>(navigator->parentWidget());
    if (sub && (sub->isMinimized() || sub->isHidden())) RestoreChildWindow(sub);
  }
}

void TQELMain::RestoreChildWindow(QMdiSubWindow* sub) {
  if (sub->isMinimized()) sub->showNormal();
  sub->show();
  MdiArea->setActiveSubWindow(sub);
}

QList<QKeySequence> TQELMain::MainMenuKeys() const {
  QList<QKeySequence> keys;
  QList<QAction*> actions = menuBar()->actions();
  while (!actions.isEmpty()) {
    QAction* action = actions.takeFirst();
    if (QMenu* menu = action->menu()) actions += menu->actions();
    if (action->isVisible()) keys += action->shortcuts();
  }
  return keys;
}

// Qt gives a sub-window's system menu the platform's keys (Ctrl+W closes there); two actions
// on one key run neither, so the main menu keeps its keys.
void TQELMain::LeaveMenuKeysToMainMenu(QMdiSubWindow* sub) const {
  QMenu* system = sub->systemMenu();
  if (!system) return;
  const QList<QKeySequence> taken = MainMenuKeys();
  for (QAction* action : system->actions()) {
    QList<QKeySequence> keys = action->shortcuts();
    if (keys.removeIf([&taken](const QKeySequence& key) { return taken.contains(key); }) > 0)
      action->setShortcuts(keys);
  }
}

// Also while a free window has the focus: the child that was active last.
TDrawSheet* TQELMain::ActiveSheetWindow() const {
  QMdiSubWindow* active = MdiArea->currentSubWindow();
  return active ? dynamic_cast<TDrawSheet*>(active->widget()) : nullptr;
}

TDrawSheet* TQELMain::ZoomSheetWindow() const {
  const QList<QMdiSubWindow*> order = MdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if (auto* sheetWindow = qobject_cast<TDrawSheet*>((*it)->widget()); sheetWindow && !(*it)->isMinimized())
      return sheetWindow;
  return nullptr;
}

TDrawSheet* TQELMain::ZoomTarget() {
  TDrawSheet* sheetWindow = ZoomSheetWindow();
  if (sheetWindow && sheetWindow != ActiveSheetWindow())
    if (auto* sub = qobject_cast<QMdiSubWindow*>(sheetWindow->parentWidget())) RestoreChildWindow(sub);
  return sheetWindow;
}

void TQELMain::UpdateZoomBox() {
  TDrawSheet* sheetWindow = ZoomSheetWindow();
  CB_Zoom->setEnabled(sheetWindow);
  TB_ZoomIn->setEnabled(sheetWindow);
  TB_ZoomOut->setEnabled(sheetWindow);
  if (sheetWindow) sheetWindow->SyncZoomCombo();
}

} // namespace qel
