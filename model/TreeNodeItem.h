#pragma once
#include "DataStructures.h"
#include "PoolItem.h"
#include "RelationShip.h"

namespace qel {

// Ties a navigator tree node to the item it shows (entered in that item's TreeNodes).
class TTreeNodeItem : public TPoolItem {
public:
  TTreeNodeItem(TPoolItemList* pool, TRelationShip* list, TTreeNodeRecord data);
  // Leaves the item's list and deletes the node from the navigator's tree view.
  void Delete() override;
  // Leaves the item's list without touching the tree view (the tree is being rebuilt).
  void Detach();

  TTreeNodeRecord Data;
  TRelationShip* ItemList;

protected:
  TDepNode* DepNodeFor(const TRelationShip* list) override;

private:
  TDepNode FNode;
};

// Gives every tree node of the entries in the list the text.
void SetTreeNodesText(const TRelationShip& treeNodes, const std::string& text);

} // namespace qel
