#include "TreeNodeItem.h"

#include <stdexcept>

namespace qel {

TTreeNodeItem::TTreeNodeItem(TPoolItemList* pool, TRelationShip* list, TTreeNodeRecord data)
    : TPoolItem(pool), Data(data), ItemList(list) {
  if (!ItemList) throw std::invalid_argument("TTreeNodeItem: list required");
  ItemList->Add(this);
}

void TTreeNodeItem::Delete() {
  ItemList->Remove(this);
  if (Data.Node) Data.Node->DeleteNode();
  TPoolItem::Delete();
}

void TTreeNodeItem::Detach() { ItemList->Remove(this); }

TDepNode* TTreeNodeItem::DepNodeFor(const TRelationShip* list) { return list == ItemList ? &FNode : nullptr; }

void SetTreeNodesText(const TRelationShip& treeNodes, const std::string& text) {
  for (TPoolItem* item : treeNodes)
    if (INavTreeNode* node = static_cast<TTreeNodeItem*>(item)->Data.Node) node->SetText(text);
}

} // namespace qel
