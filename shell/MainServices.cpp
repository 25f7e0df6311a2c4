// The main window's services to the other windows: walks over the child windows by class.
#include "Main.h"

#include "graphics/SheetForm.h"
#include "search/Search.h"
#include "windows/Navigator.h"
#include "windows/NoteProp.h"

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
}

void TQELMain::StoreNavigatorEdits() {
  for (TNavForm* navigator : ChildWindows<TNavForm>()) navigator->StoreProperties();
}

void TQELMain::StorePendingEdits() {
  StoreNavigatorEdits();
  if (NewNoteWindow && NewNoteWindow->isVisible() && !NewNoteWindow->Closing) {
    try {
      NewNoteWindow->UpdateItem(true);
    } catch (...) {
      // A window that cannot store keeps its edits.
    }
  }
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
  PlaceWindow(frmSearch, ClientWidth() - 181, 71, 181, ClientHeight() - ToolBarMainHeight());
  frmSearch->show();
}

void TQELMain::PlaceWindow(QWidget* window, int left, int top, int width, int height) const {
  const QPoint origin = frameGeometry().topLeft();
  window->setGeometry(origin.x() + left, origin.y() + top, width, height);
}

QMdiSubWindow* TQELMain::AddChildWindow(QWidget* window) {
  QMdiSubWindow* sub = MdiArea->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return sub;
}

// Also while a free window has the focus: the child that was active last.
TDrawSheet* TQELMain::ActiveSheetWindow() const {
  QMdiSubWindow* active = MdiArea->currentSubWindow();
  return active ? dynamic_cast<TDrawSheet*>(active->widget()) : nullptr;
}

} // namespace qel
