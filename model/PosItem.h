#pragma once
#include "DataStructures.h"
#include "PoolItem.h"
#include "RelationShip.h"

#include <array>

namespace qel {

class TNoteItem;
class TSheetItem;
class TTreeNodeItem;

// The placement of one note on one sheet. Its note and sheet are the owners of the lists it
// entered; the reference fields of Data are cleared once they are entered.
class TPosItem : public TPoolItem {
public:
  TPosItem(TPoolItemList* pool, TPos data);
  TPosItem(TPoolItemList* pool, TPos data, TLinkLater);
  // The lists it enters, in order: its sheet's and its note's.
  std::array<TRelationShip*, 2> Lists() const { return {SheetList, NoteList}; }
  void Delete() override;

  TPos Data;
  TRelationShip* SheetList; // the sheet's Positions
  TRelationShip* NoteList;  // the note's Positions
  TRelationShip TreeNodes{this};

  // A value >= 0 on an ordinary note shows its first tree node as placed.
  void SetX(int32_t value);
  void SetY(int32_t value);

  TSheetItem* GetSheet() const;
  TNoteItem* GetNote() const;
  int TreeNodeCount() const { return TreeNodes.Count(); }
  TTreeNodeItem* GetTreeNode(int i) const;
  TRelationShip* GetTreeNodes() { return &TreeNodes; }
  bool IsPlaced() const { return Data.X >= 0 && Data.Y >= 0; }

protected:
  TDepNode* DepNodeFor(const TRelationShip* list) override;

private:
  void SetCoordinate(int32_t& field, int32_t value);
  TDepNode FSheetNode;
  TDepNode FNoteNode;
};

} // namespace qel
