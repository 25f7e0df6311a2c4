#pragma once
#include "DataStructures.h"
#include "PoolItem.h"
#include "RelationShip.h"
#include "SheetIndex.h"

namespace qel {

class TPosItem;
class TTreeNodeItem;

class TSheetItem : public TPoolItem {
public:
  TSheetItem(TPoolItemList* pool, TSheet data);
  void Delete() override;

  TSheet Data;
  TRelationShip Positions{this};
  TRelationShip Links{this};
  TRelationShip TreeNodes{this};
  // What the sheet shows; read it through TContainer::SheetIndex, which keeps it current.
  mutable TSheetIndex Index;

  void SetName(const std::string& value); // also renames its tree nodes
  void SetColor(TColor value);
  void SetWidth(int32_t value);
  void SetHeight(int32_t value);
  void SetZoom(int32_t value);
  void SetGridSize(int32_t value);
  void SetDescription(const std::string& value);

  int PositionCount() const { return Positions.Count(); }
  TPosItem* GetPosition(int i) const;
  int TreeNodeCount() const { return TreeNodes.Count(); }
  TTreeNodeItem* GetTreeNode(int i) const;
  TRelationShip* GetPositions() { return &Positions; }
  TRelationShip* GetLinks() { return &Links; }
  TRelationShip* GetTreeNodes() { return &TreeNodes; }
};

} // namespace qel
