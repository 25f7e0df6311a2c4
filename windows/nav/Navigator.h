#pragma once
// The navigator window: the whole project as a tree beside a pane of property pages, one per
// kind of thing; the page that fits the selected node shows its item. From here the user makes
// sheets, notes and attachments, opens sheets, renames and deletes items, drags items to other
// windows and drops them on tree nodes. The main window binds the project (SetContainer; null
// unbinds it before the project is freed), hands it every new item (RefreshItem) and makes it
// store the shown page before saving (StoreProperties).
#include "ItemTreeWidget.h"
#include "NavTree.h"

#include <QWidget>
#include <memory>
#include <string>

class QAction;
class QMdiSubWindow;
class QMenu;
class QMimeData;
class QStackedWidget;
class QStatusBar;
class QToolBar;

namespace qel {

class TAttachPoolPrp;
class TAttachPrp;
class TContainerPrp;
class TDrawSheet;
class TMultiDragObject;
class TNotePoolPrp;
class TNotePrp;
class TPosItem;
class TSheetPoolPrp;
class TSheetPrp;

class TNavForm : public QWidget {
  Q_OBJECT
public:
  explicit TNavForm(QWidget* parent = nullptr);
  ~TNavForm() override;

  // Binds a project (null: none), rebuilds the tree and shows the root's page.
  void SetContainer(TContainer* container);
  // A new item (or null) reaches the tree; then the selected node's page, tool buttons and
  // menu are refreshed, and with NotifySheets the sheet windows.
  void RefreshItem(TPoolItem* Item, bool NotifySheets);
  // As RefreshItem for the project itself: the root shows its file name as the project holds it.
  void RefreshProject(TContainer* Project, bool NotifySheets);
  void ShowProperties(TNavNode* Node);
  void UpdateToolButtons(TNavNode* Node);
  void UpdateMenu(TNavNode* Node);
  // The page of the selected node stores its edits into its item.
  void StoreProperties();
  bool PropertiesVisible() const { return PaneShown; }
  // The last sheet named exactly like LastNode, or null.
  TSheetItem* NoteSheet() const;
  // Whether a sheet is named exactly "New Sheet".
  bool NewSheetOpen() const;
  // Whether a child window's caption contains "New Sheet" (any case).
  bool NewSheetWindowOpen() const;
  // Deletes what the selected node shows (a note under a sheet: only its place there).
  void DeleteSelected();
  TNavNode* Selected() const;

  // ---- handlers
  void TV_ContainerClick();
  void MI_OpenClick();
  void TB_OpenActiveSheetClick() { MI_OpenClick(); }
  void TV_ContainerDblClick();
  void TV_ContainerChange();
  // True when the key was the tree's own (Del deletes, Ctrl+O opens).
  bool TV_ContainerKeyDown(int Key, Qt::KeyboardModifiers Shift);
  void TV_ContainerKeyUp(int Key);
  void TV_ContainerEdited(TNavNode* Node, const std::string& S);
  // Whether the node may expand; fills it lazily first.
  bool TV_ContainerExpanding(TNavNode* Node);
  std::unique_ptr<TMultiDragObject> TV_ContainerStartDrag();
  bool TV_ContainerDragOver(TNavNode* Target, const QMimeData* Data);
  void TV_ContainerDragDrop(TNavNode* Target, const QMimeData* Data);
  void TB_NewSheetClick();
  void TB_NewNoteClick();
  void TB_NewAttachClick();
  void btn_togglepropClick();
  void MI_DeleteClick();
  void MI_CollapseClick();
  void ToolButton1Click();

  TContainer* Container = nullptr; // not owned
  std::unique_ptr<TNavTree> Tree;
  bool PaneShown = true;
  int PaneWidth = 0;
  const void* LastShown = nullptr;
  TNavNode* LastNode = nullptr; // null once that node is gone

  QWidget* Panel1;    // tool bar and tree, fixed width
  QWidget* Splitter1; // drag it to widen the tree
  QWidget* Panel2;    // the property pane, takes what is left
  QToolBar* TB_Navigator;
  QAction* TB_NewSheet;
  QAction* TB_NewNote;
  QAction* TB_NewAttach;
  QAction* TB_OpenActiveSheet;
  QAction* btn_toggleprop;
  QAction* ToolButton1;
  TItemTreeWidget* TV_Container;
  QStackedWidget* PC_Property;
  QStatusBar* NavStatusBar;
  QMenu* TV_PopUp;
  QAction* MI_Open;
  QAction* MI_Delete;
  QAction* N1;
  QAction* MI_Collapse;
  // The pages, in page order 0 to 6.
  TContainerPrp* ContainerPage;
  TSheetPoolPrp* SheetPoolPage;
  TNotePoolPrp* NotePoolPage;
  TAttachPoolPrp* AttachPoolPage;
  TSheetPrp* SheetPage;
  TNotePrp* NotePage;
  TAttachPrp* AttachPage;

private:
  // Locks the main window's painting while it lives, so child windows are arranged once.
  class TWindowLock {
  public:
    TWindowLock();
    ~TWindowLock();
    TWindowLock(const TWindowLock&) = delete;
    TWindowLock& operator=(const TWindowLock&) = delete;

  private:
    bool FWasEnabled = true;
  };

  void CreateToolBar();
  void CreateTree();
  void CreatePopUp();
  void CreatePages();
  void BindPages(TContainer* container);
  void RefreshSelected(bool NotifySheets);
  // The nodes of a new item, under the parents that are filled.
  void AddNode(TPoolItem* Item);
  bool FRefreshPending = false; // a refresh of the selected node waits for the event loop
  bool FPendingNotify = false;  // and then refreshes the sheet windows too
  void ShowPoolPage(TNavNode* Node);
  void OpenPage(QWidget* page);
  void ShowItemPage(TNavNode* Node);
  // The window frame: the multiple-document sub-window when the window is one.
  QWidget* Frame();

  // ---- opening sheets
  // A sheet window for the sheet, laid out with the others; null (after telling the user)
  // when it could not be made.
  TDrawSheet* OpenSheetWindow(TSheetItem* sheet);
  void OpenSheetNode(TSheetItem* sheet, const QString& text);
  void OpenNoteNode(const QString& text);
  bool OpenNamedSheet(const QString& text);
  void OpenNewSheets();
  void AddNewSheet();
  void BringToFront(QWidget* window);
  void BringSelfToFront();
  // After a click opened a window: the keys go back to the tree (F2 renames the node clicked)
  // while that window stays in front, unless a maximised window fills the area.
  void KeepKeysInTree();
  // Lets pending events run in the middle of a command, the project held meanwhile: a command
  // that would replace it (or close the main window) waits until the navigator's is over.
  void ProcessPendingEvents();
  std::vector<QMdiSubWindow*> Children() const;
  std::vector<TSheetItem*> SheetsNamed(const std::string& name) const;

  // ---- editing
  // What a delete acts on, taken from a node before any question: the item, the node's level
  // and, for a note under a sheet, its place on that sheet.
  struct TDeleteTarget {
    TItemRef<TPoolItem> Item;
    TItemRef<TPosItem> Place;
    int Level = 0;
    // The same item at the same level.
    bool SameAs(const TDeleteTarget& other) const;
  };
  TDeleteTarget DeleteTargetOf(TNavNode* node) const;
  // Deletes the target (a note under a sheet: only its place, unless everywhere); a failure is
  // reported and the tree rebuilt; then the pages and sheet windows are refreshed.
  void DeleteTarget(const TDeleteTarget& target, bool everywhere);
  void SelectAndEdit(TNavNode* node);
  void DropNotes(TSheetItem* sheet, const TMultiDragObject& notes);
  void DropAttachments(TNoteItem* note, const TMultiDragObject& attachments);
  void DropSheets(TSheetItem* target, const TMultiDragObject& sheets);
};

extern TNavForm* NavForm;

} // namespace qel
