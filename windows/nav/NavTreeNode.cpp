#include "NavTreeNode.h"

#include "ItemTreeWidget.h"
#include "NavTree.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"

#include <QSignalBlocker>

namespace qel {

TNavNode::TNavNode(TNavTree* tree, TContainer* project)
    : Tree(tree), FKind(TNavKind::Project), FObject(project) {}

TNavNode::TNavNode(TNavTree* tree, TNavKind kind, TPoolItemList* pool) : Tree(tree), FKind(kind), FObject(pool) {
  setChildIndicatorPolicy(ShowIndicator);
}

TNavNode::TNavNode(TNavTree* tree, TNavKind kind, TPoolItem* item) : Tree(tree), FKind(kind), FItem(item) {
  setFlags(flags() | Qt::ItemIsEditable);
}

TNavNode::~TNavNode() {
  if (auto* view = qobject_cast<TItemTreeWidget*>(treeWidget())) view->DropEditingUnder(this);
  if (TTreeNodeItem* entry = Registration.Get()) {
    entry->Data.Node = nullptr; // it must not delete this node a second time
    entry->Delete();
  }
  if (Tree) Tree->NodeGone(this);
}

void TNavNode::SetText(const std::string& text) { setText(0, ToQString(text)); }

void TNavNode::SetImageIndex(int image, int) { SetImage(image); }

void TNavNode::SetImage(int image) {
  FImage = image;
  if (Tree) setIcon(0, Tree->Image(image));
}

void TNavNode::DeleteNode() {
  Registration.Reset(); // the entry is deleting itself
  // The selection moving off the node is no user's selection change.
  const QSignalBlocker blocker(treeWidget());
  delete this;
}

int TNavNode::Level() const {
  int level = 0;
  for (const QTreeWidgetItem* node = parent(); node; node = node->parent()) ++level;
  return level;
}

TNavNode* TNavNode::ParentNode() const { return static_cast<TNavNode*>(parent()); }

TContainer* TNavNode::Project() const {
  return FKind == TNavKind::Project ? static_cast<TContainer*>(FObject) : nullptr;
}

TPoolItemList* TNavNode::Pool() const { return IsBranch() ? static_cast<TPoolItemList*>(FObject) : nullptr; }

TSheetItem* TNavNode::Sheet() const { return FKind == TNavKind::Sheet ? static_cast<TSheetItem*>(Item()) : nullptr; }

TNoteItem* TNavNode::Note() const { return FKind == TNavKind::Note ? static_cast<TNoteItem*>(Item()) : nullptr; }

TAttachItem* TNavNode::Attachment() const {
  return FKind == TNavKind::Attachment ? static_cast<TAttachItem*>(Item()) : nullptr;
}

} // namespace qel
