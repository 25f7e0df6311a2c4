// The navigator's tree view: its set-up, pop-up menu, selection, keys, label edits, expansion.
#include "Navigator.h"

#include "ItemTreeWidget.h"
#include "windows/sheet/DragObjects.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace qel {

void TNavForm::CreateTree() {
  TV_Container = new TItemTreeWidget(Panel1);
  TV_Container->setHeaderHidden(true);
  TV_Container->setUniformRowHeights(true); // long branches lay out without measuring each row
  TV_Container->setIndentation(19);
  TV_Container->setSelectionMode(QAbstractItemView::SingleSelection);
  TV_Container->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  TV_Container->setContextMenuPolicy(Qt::CustomContextMenu);
  TV_Container->OwnKeys = {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::CTRL | Qt::Key_O)};
  TV_Container->OnStartDrag = [this] { return std::unique_ptr<TDragObject>(TV_ContainerStartDrag()); };
  TV_Container->OnDragOver = [this](QTreeWidgetItem* target, const QMimeData* data) {
    return TV_ContainerDragOver(static_cast<TNavNode*>(target), data);
  };
  TV_Container->OnDragDrop = [this](QTreeWidgetItem* target, const QMimeData* data) {
    TV_ContainerDragDrop(static_cast<TNavNode*>(target), data);
  };
  TV_Container->OnKeyDown = [this](QKeyEvent* event) { return TV_ContainerKeyDown(event->key(), event->modifiers()); };
  TV_Container->OnKeyUp = [this](QKeyEvent* event) { TV_ContainerKeyUp(event->key()); };
  TV_Container->OnEdited = [this](QTreeWidgetItem* node, const QString& text) {
    TV_ContainerEdited(static_cast<TNavNode*>(node), FromQString(text));
  };
  connect(TV_Container, &QTreeWidget::itemClicked, this, [this] { TV_ContainerClick(); });
  connect(TV_Container, &QTreeWidget::itemDoubleClicked, this, [this] { TV_ContainerDblClick(); });
  connect(TV_Container, &QTreeWidget::currentItemChanged, this, [this] { TV_ContainerChange(); });
  connect(TV_Container, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (TV_ContainerExpanding(static_cast<TNavNode*>(item))) return;
    const QSignalBlocker blocker(TV_Container);
    item->setExpanded(false);
  });
  connect(TV_Container, &QWidget::customContextMenuRequested, this, [this](const QPoint& place) {
    QTreeWidgetItem* node = TV_Container->itemAt(place);
    if (!node) return;
    TV_Container->setCurrentItem(node); // a right click selects, and its page shows at once
    RefreshItem(nullptr, false);
    TV_PopUp->popup(TV_Container->viewport()->mapToGlobal(place));
  });
  static_cast<QVBoxLayout*>(Panel1->layout())->addWidget(TV_Container, 1);
}

void TNavForm::CreatePopUp() {
  TV_PopUp = new QMenu(this);
  MI_Open = TV_PopUp->addAction("&Open...", this, [this] { MI_OpenClick(); });
  MI_Open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  MI_Delete = TV_PopUp->addAction("&Delete", this, [this] { MI_DeleteClick(); });
  MI_Delete->setShortcut(QKeySequence(Qt::Key_Delete));
  MI_Delete->setStatusTip(
      "Note from Notes-branch is permanently deleted; Note from Sheet is deleted only from Sheet");
  MI_Delete->setToolTip(MI_Delete->statusTip());
  N1 = TV_PopUp->addSeparator();
  MI_Collapse = TV_PopUp->addAction("&Collapse All", this, [this] { MI_CollapseClick(); });
  // The menu's keys work through the tree's own key handling, once per press.
  for (QAction* action : TV_PopUp->actions()) action->setShortcutContext(Qt::WidgetShortcut);
}

void TNavForm::TV_ContainerClick() {
  {
    const TWindowLock lock;
    MI_OpenClick();
  }
  RefreshItem(nullptr, false);
  KeepKeysInTree();
}

void TNavForm::TV_ContainerChange() {
  LastNode = Selected();
  ProcessPendingEvents();
}

bool TNavForm::TV_ContainerKeyDown(int Key, Qt::KeyboardModifiers Shift) {
  if (Key == Qt::Key_Delete && !(Shift & Qt::ControlModifier)) {
    MI_DeleteClick();
    return true;
  }
  if (Key == Qt::Key_O && (Shift & Qt::ControlModifier)) {
    MI_OpenClick();
    return true;
  }
  return false;
}

void TNavForm::TV_ContainerKeyUp(int Key) {
  // Every key that moves the selection: the page follows it.
  static constexpr int kMoves[] = {Qt::Key_Left,   Qt::Key_Up,       Qt::Key_Right, Qt::Key_Down,
                                   Qt::Key_Home,   Qt::Key_End,      Qt::Key_PageUp, Qt::Key_PageDown};
  if (std::find(std::begin(kMoves), std::end(kMoves), Key) != std::end(kMoves)) RefreshItem(nullptr, false);
}

void TNavForm::TV_ContainerEdited(TNavNode* Node, const std::string& S) {
  // A label emptied (Delete pressed while the rename had started) keeps the old name.
  if (!Node || !Container || S.find_first_not_of(" \t") == std::string::npos) return;
  // The names of a sheet and of the notes that stand for it stay in step, whichever is renamed.
  if (TSheetItem* sheet = Node->Sheet())
    Container->RenameSheet(sheet, S);
  else if (TNoteItem* note = Node->Note())
    Container->RenameNote(note, S);
  else if (TAttachItem* attachment = Node->Attachment())
    attachment->SetCaption(S);
  else
    return;
  RefreshItem(nullptr, true);
}

bool TNavForm::TV_ContainerExpanding(TNavNode* Node) {
  if (!Node) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool fill = true;
  switch (Node->Kind()) {
  case TNavKind::SheetPool:
  case TNavKind::NotePool:
  case TNavKind::AttachPool: fill = Node->Pool()->Count() > 0; break;
  case TNavKind::Sheet: fill = Node->Sheet() && Node->Sheet()->PositionCount() > 0; break;
  case TNavKind::Note: fill = Node->Note() && Node->Note()->AttachmentCount() > 0; break;
  default: break;
  }
  if (fill)
    Tree->ExpandNode(Node);
  else
    Node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  QApplication::restoreOverrideCursor();
  return fill;
}

void TNavForm::MI_CollapseClick() {
  TV_Container->collapseAll();
  RefreshItem(nullptr, true);
}

} // namespace qel
