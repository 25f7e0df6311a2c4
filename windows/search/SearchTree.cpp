// The search window's results tree: showing, opening and dragging what its nodes show.
// A node whose item has been deleted since the last search shows nothing and does nothing.
#include "Search.h"
#include "SearchResultsTree.h"
#include "TVEngine.h"
#include "windows/sheet/DragObjects.h"
#include "windows/sheet/SheetForm.h"
#include "model/Container.h"
#include "windows/MainServices.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/NoteProp.h"
#include "windows/props/SheetProp.h"

#include <QAction>
#include <QTabWidget>

namespace qel {
namespace {

constexpr Qt::WindowFlags kPropertyWindow = Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                                            Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                            Qt::WindowCloseButtonHint;

} // namespace

TResultNode* TfrmSearch::SelectedNode() const { return static_cast<TResultNode*>(trvSearchResults->currentItem()); }

void TfrmSearch::trvSearchResultsChange(QTreeWidgetItem* node) {
  if (!node) return;
  MI_Open->setEnabled(static_cast<TResultNode*>(node)->Item.Get() != nullptr);
}

void TfrmSearch::trvSearchResultsClick() {
  TResultNode* node = SelectedNode();
  TNoteItem* note = node ? node->ItemAs<TNoteItem>() : nullptr;
  if (!Container || !note || !NoteWindow || !NoteWindow->isVisible()) return;
  FindInNote(NoteWindow, note);
}

void TfrmSearch::FindInNote(TNotePrp* window, TNoteItem* note) {
  window->ShowNote(note, Container->RelationPool.get(), Container->LinkPool.get());
  window->ReplaceDialog1Find();
}

void TfrmSearch::trvSearchResultsDblClick() {
  TResultNode* node = SelectedNode();
  if (!Container || !node) return;
  if (auto* sheet = node->ItemAs<TSheetItem>())
    OpenSheetWindow(sheet);
  else if (auto* note = node->ItemAs<TNoteItem>())
    OpenNote(note);
}

void TfrmSearch::MI_OpenClick() {
  TResultNode* node = SelectedNode();
  if (!Container || !node) return;
  if (auto* note = node->ItemAs<TNoteItem>())
    OpenNote(note);
  else if (auto* sheet = node->ItemAs<TSheetItem>())
    OpenSheetProperties(sheet, false);
  else if (auto* attachment = node->ItemAs<TAttachItem>())
    OpenAttachment(attachment);
}

QMimeData* TfrmSearch::trvSearchResultsStartDrag() {
  TResultNode* node = SelectedNode();
  std::unique_ptr<TMultiDragObject> object;
  if (auto* note = node ? node->ItemAs<TNoteItem>() : nullptr) {
    object = std::make_unique<TDragNotes>(this);
    object->Insert(0, note);
  } else if (auto* attachment = node ? node->ItemAs<TAttachItem>() : nullptr) {
    object = std::make_unique<TDragAttach>(this);
    object->Insert(0, attachment);
  }
  return object ? new TDragMimeData(std::move(object)) : nullptr;
}

void TfrmSearch::OpenSheetWindow(TSheetItem* sheet) {
  if (!MainServices || MainServices->IsSheetOpen(sheet)) return;
  auto* window = new TDrawSheet();
  DrawSheet = window;
  MainServices->AddChildWindow(window);
  window->SetSheet(Container, sheet);
  FSheetWindows.emplace_back(window);
}

// An aggregation note opens its sheet's property window (nothing once that sheet is gone);
// any other note a note window.
void TfrmSearch::OpenNote(TNoteItem* note) {
  if (note->IsAggregation()) {
    if (TSheetItem* sheet = note->GetAggregatedSheet()) OpenSheetProperties(sheet, true);
    return;
  }
  auto* window = new TNotePrp(this, kPropertyWindow);
  NoteWindow = window;
  window->setWindowTitle("Note");
  PlacePropertyWindow(window);
  window->Container = Container;
  window->PC_Note->setCurrentIndex(0);
  window->ShowNote(note, Container->RelationPool.get(), Container->LinkPool.get());
  window->show();
  window->ReplaceDialog1Find();
}

void TfrmSearch::OpenSheetProperties(TSheetItem* sheet, bool keep) {
  auto* window = new TSheetPrp(this, kPropertyWindow);
  if (keep) SheetPropWindow = window;
  window->Container = Container;
  window->ShowItem(sheet);
  PlacePropertyWindow(window);
  window->show();
}

void TfrmSearch::OpenAttachment(TAttachItem* attachment) {
  auto* window = new TAttachPrp(this, kPropertyWindow);
  window->Container = Container;
  window->ShowItem(attachment);
  PlacePropertyWindow(window);
  window->show();
}

void TfrmSearch::PlacePropertyWindow(QWidget* window) {
  if (MainServices)
    MainServices->PlacePropertyWindow(window, this);
  else
    window->resize(250, window->height());
}

} // namespace qel
