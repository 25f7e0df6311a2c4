// The navigator window: its parts, binding the project, the property pages and the pane.
#include "Navigator.h"

#include "AttachPoolProp.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/ContainerProp.h"
#include "ItemTreeWidget.h"
#include "NotePoolProp.h"
#include "windows/props/NoteProp.h"
#include "SheetPoolProp.h"
#include "windows/props/SheetProp.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "windows/Icons.h"
#include "windows/MainServices.h"

#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace qel {

TNavForm* NavForm = nullptr;

namespace {

constexpr int kSplitterWidth = 6;
constexpr int kMinimumPane = 349;
constexpr int kPaneHiddenImage = 5;
constexpr int kPaneShownImage = 6;

// The bar between tree and pane: dragging it changes the tree's width.
class TSplitterBar : public QWidget {
public:
  TSplitterBar(QWidget* parent, QWidget* left) : QWidget(parent), FLeft(left) {
    setFixedWidth(kSplitterWidth);
    setCursor(Qt::SizeHorCursor);
  }

protected:
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const int width = FLeft->width() + static_cast<int>(event->position().x());
    FLeft->setFixedWidth(std::clamp(width, 20, std::max(20, parentWidget()->width() - kSplitterWidth)));
  }

private:
  QWidget* FLeft;
};

QIcon NavImage(int index) {
  const QList<QIcon> images = MainServices ? MainServices->ItemImages() : NavigatorImages();
  return index >= 0 && index < images.size() ? images[index] : QIcon();
}

} // namespace

TNavForm::TNavForm(QWidget* parent) : QWidget(parent), Tree(std::make_unique<TNavTree>()) {
  Tree->Track(&LastNode);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* panes = new QHBoxLayout();
  panes->setSpacing(0);
  Panel1 = new QWidget(this);
  Panel1->setFixedWidth(250);
  Splitter1 = new TSplitterBar(this, Panel1);
  Panel2 = new QWidget(this);
  // The pane may shrink to nothing: hiding it narrows the window.
  Panel2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  panes->addWidget(Panel1);
  panes->addWidget(Splitter1);
  panes->addWidget(Panel2, 1);
  outer->addLayout(panes, 1);
  NavStatusBar = new QStatusBar(this);
  NavStatusBar->setSizeGripEnabled(false);
  outer->addWidget(NavStatusBar);
  CreateToolBar();
  CreateTree();
  CreatePopUp();
  CreatePages();
  if (MainServices)
    resize(MainServices->ClientWidth() - 181, MainServices->ClientHeight() - MainServices->ToolBarMainHeight() - 4);
}

TNavForm::~TNavForm() {
  if (NavForm == this) NavForm = nullptr;
  Tree.reset(); // the nodes go while the tree can still be told
}

void TNavForm::CreateToolBar() {
  auto* treeLayout = new QVBoxLayout(Panel1);
  treeLayout->setContentsMargins(0, 0, 0, 0);
  treeLayout->setSpacing(0);
  TB_Navigator = new QToolBar(Panel1);
  TB_Navigator->setFixedHeight(27);
  const auto button = [this](const char* hint, int image, void (TNavForm::*handler)()) {
    QAction* action = TB_Navigator->addAction(NavImage(image), hint);
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
  };
  TB_NewSheet = button("New Sheet", 1, &TNavForm::TB_NewSheetClick);
  TB_NewNote = button("New Note", 2, &TNavForm::TB_NewNoteClick);
  TB_NewAttach = button("New Attachment", 3, &TNavForm::TB_NewAttachClick);
  TB_Navigator->addSeparator();
  TB_OpenActiveSheet = button("Open active sheet", 8, &TNavForm::TB_OpenActiveSheetClick);
  TB_OpenActiveSheet->setEnabled(false);
  TB_Navigator->addSeparator();
  btn_toggleprop = button("Show / Hide Properties", kPaneShownImage, &TNavForm::btn_togglepropClick);
  ToolButton1 = button("", 7, &TNavForm::ToolButton1Click);
  ToolButton1->setVisible(false);
  treeLayout->addWidget(TB_Navigator);
}

void TNavForm::CreatePages() {
  auto* paneLayout = new QVBoxLayout(Panel2);
  paneLayout->setContentsMargins(0, 0, 0, 0);
  PC_Property = new QStackedWidget(Panel2);
  paneLayout->addWidget(PC_Property);
  ContainerPage = new TContainerPrp(PC_Property);
  SheetPoolPage = new TSheetPoolPrp(PC_Property);
  NotePoolPage = new TNotePoolPrp(PC_Property);
  AttachPoolPage = new TAttachPoolPrp(PC_Property);
  SheetPage = new TSheetPrp(PC_Property);
  NotePage = new TNotePrp(PC_Property);
  AttachPage = new TAttachPrp(PC_Property);
  for (QWidget* page : std::initializer_list<QWidget*>{ContainerPage, SheetPoolPage, NotePoolPage, AttachPoolPage,
                                                       SheetPage, NotePage, AttachPage})
    PC_Property->addWidget(page);
}

QWidget* TNavForm::Frame() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  return sub ? static_cast<QWidget*>(sub) : this;
}

// ---- the project

void TNavForm::SetContainer(TContainer* container) {
  if (container != Container) BindPages(container);
  Container = container;
  setWindowTitle(container ? "Tree" : "");
  LastShown = nullptr;
  Tree->SetView(container, TV_Container); // painted once, when built
  RefreshItem(nullptr, false);
}

void TNavForm::BindPages(TContainer* container) {
  ContainerPage->Project = nullptr;
  for (TPoolPrp* page : std::initializer_list<TPoolPrp*>{SheetPoolPage, NotePoolPage, AttachPoolPage})
    page->ReleaseProject();
  SheetPoolPage->Pool = nullptr;
  NotePoolPage->Pool = nullptr;
  AttachPoolPage->Pool = nullptr;
  SheetPage->Container = container;
  NotePage->Container = container;
  AttachPage->Container = container;
}

void TNavForm::RefreshItem(TPoolItem* Item, bool NotifySheets) {
  if (Item) {
    AddNode(Item);
    // Items come in bursts (a drop of many notes, an import): the page, buttons and sheet
    // windows follow once, when the event loop turns.
    FPendingNotify = FPendingNotify || NotifySheets;
    if (!FRefreshPending) {
      FRefreshPending = true;
      QTimer::singleShot(0, this, [this] {
        if (FRefreshPending) RefreshSelected(FPendingNotify);
      });
    }
    return;
  }
  RefreshSelected(NotifySheets);
}

void TNavForm::AddNode(TPoolItem* Item) {
  if (Container) {
    if (auto* sheet = dynamic_cast<TSheetItem*>(Item); sheet && sheet->Pool == Container->SheetPool.get())
      Tree->AddSheet(sheet);
    else if (auto* pos = dynamic_cast<TPosItem*>(Item); pos && pos->Pool == Container->PosPool.get())
      Tree->AddPosition(pos);
    else if (auto* note = dynamic_cast<TNoteItem*>(Item); note && note->Pool == Container->NotePool.get())
      Tree->AddNote(note);
    else if (auto* attachment = dynamic_cast<TAttachItem*>(Item);
             attachment && attachment->Pool == Container->AttachPool.get())
      Tree->AddAttachment(attachment);
  }
}

void TNavForm::RefreshProject(TContainer* Project, bool NotifySheets) {
  if (Project && Project == Container && Tree->RootNode) Tree->RootNode->setText(0, ToQString(Project->FileName));
  RefreshSelected(NotifySheets);
}

void TNavForm::RefreshSelected(bool NotifySheets) {
  NotifySheets = NotifySheets || (FRefreshPending && FPendingNotify);
  FRefreshPending = FPendingNotify = false;
  if (TNavNode* node = Selected()) {
    ShowProperties(node);
    UpdateToolButtons(node);
    UpdateMenu(node);
  }
  if (NotifySheets && MainServices) MainServices->RefreshSheetWindows();
}

TNavNode* TNavForm::Selected() const { return static_cast<TNavNode*>(TV_Container->currentItem()); }

// ---- the property pages

void TNavForm::ShowProperties(TNavNode* Node) {
  if (!Node) return;
  if (Node->IsBranch()) {
    ShowPoolPage(Node);
    return;
  }
  if (TContainer* project = Node->Project()) {
    ContainerPage->ShowItem(project);
    OpenPage(ContainerPage);
    LastShown = project;
    return;
  }
  ShowItemPage(Node);
  LastShown = Node->Item();
}

// After the page has loaded its item: a page shown again loads only when it missed a change.
void TNavForm::OpenPage(QWidget* page) {
  PC_Property->setCurrentWidget(page);
  page->show(); // a page that closed itself because its item went is shown again
}

void TNavForm::ShowPoolPage(TNavNode* Node) {
  TPoolItemList* pool = Node->Pool();
  TPoolPrp* page = Node->Kind() == TNavKind::SheetPool  ? static_cast<TPoolPrp*>(SheetPoolPage)
                   : Node->Kind() == TNavKind::NotePool ? static_cast<TPoolPrp*>(NotePoolPage)
                                                        : static_cast<TPoolPrp*>(AttachPoolPage);
  // The same list again is not refilled, unless its pool changed meanwhile; items only added
  // at its end are appended.
  if (pool == LastShown && (page->Shows(pool) || page->AppendNew(*pool))) return;
  page->Container = Container;
  if (page == SheetPoolPage) SheetPoolPage->ShowItem(static_cast<TSheetPool*>(pool));
  if (page == NotePoolPage) NotePoolPage->ShowItem(static_cast<TNotePool*>(pool));
  if (page == AttachPoolPage) AttachPoolPage->ShowItem(static_cast<TAttachPool*>(pool));
  OpenPage(page);
  LastShown = pool;
}

void TNavForm::ShowItemPage(TNavNode* Node) {
  TSheetItem* sheet = Node->Sheet();
  TNoteItem* note = Node->Note();
  if (note && note->IsAggregation()) {
    sheet = note->GetAggregatedSheet(); // null once that sheet is gone: the page stays
    if (!sheet) return;
  }
  if (sheet) {
    SheetPage->ShowItem(sheet);
    OpenPage(SheetPage);
  } else if (note) {
    NotePage->ShowNote(note, Container->RelationPool.get(), Container->LinkPool.get());
    OpenPage(NotePage);
  } else if (TAttachItem* attachment = Node->Attachment()) {
    AttachPage->ShowItem(attachment);
    OpenPage(AttachPage);
  }
}

void TNavForm::UpdateToolButtons(TNavNode* Node) {
  if (!Node) return;
  const auto set = [this](bool attach, bool open) {
    TB_NewSheet->setEnabled(true);
    TB_NewNote->setEnabled(true);
    TB_NewAttach->setEnabled(attach);
    TB_OpenActiveSheet->setEnabled(open);
  };
  switch (Node->Kind()) {
  case TNavKind::Sheet: set(false, true); break;
  case TNavKind::Note: set(true, false); break;
  case TNavKind::Attachment: set(Node->ParentNode() && Node->ParentNode()->Kind() == TNavKind::Note, false); break;
  default: set(false, false); break;
  }
}

void TNavForm::UpdateMenu(TNavNode* Node) {
  if (!Node) return;
  MI_Open->setVisible(Node->Kind() == TNavKind::Sheet);
  MI_Delete->setVisible(Node->IsItem());
  N1->setVisible(Node->IsItem());
}

void TNavForm::StoreProperties() {
  // The page the user sees holds the edits; a hidden page may hold an old copy of its item.
  QWidget* shown = PC_Property->currentWidget();
  if (!shown || !shown->isVisibleTo(PC_Property)) return;
  if (shown == SheetPage)
    SheetPage->UpdateItem(true);
  else if (shown == NotePage)
    NotePage->UpdateItem(true);
  else if (shown == AttachPage)
    AttachPage->UpdateItem(true);
}

// ---- the pane

void TNavForm::btn_togglepropClick() {
  QWidget* frame = Frame();
  if (PaneShown) {
    PaneWidth = PC_Property->width() + Splitter1->width();
    frame->resize(frame->width() - PaneWidth, frame->height());
    PaneShown = false;
    btn_toggleprop->setIcon(NavImage(kPaneHiddenImage));
  } else {
    if (PaneWidth - Splitter1->width() < kMinimumPane) PaneWidth = Splitter1->width() + kMinimumPane;
    frame->resize(frame->width() + PaneWidth, frame->height());
    PaneShown = true;
    btn_toggleprop->setIcon(NavImage(kPaneShownImage));
  }
}

void TNavForm::TV_ContainerDblClick() {
  if (!PaneShown) btn_togglepropClick();
}

} // namespace qel
