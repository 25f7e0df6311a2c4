#include "PosItem.h"

#include "NoteItem.h"
#include "SheetItem.h"
#include "TreeNodeItem.h"

#include <stdexcept>

namespace qel {

TPosItem::TPosItem(TPoolItemList* pool, TPos data) : TPosItem(pool, std::move(data), TLinkLater{}) {
  for (TRelationShip* list : Lists()) list->Add(this);
}

TPosItem::TPosItem(TPoolItemList* pool, TPos data, TLinkLater) : TPoolItem(pool), Data(std::move(data)) {
  if (!Data.Note || !Data.Sheet) throw std::invalid_argument("TPosItem: note and sheet required");
  SheetList = &Data.Sheet->Positions;
  NoteList = &Data.Note->Positions;
  Data.Note = nullptr;
  Data.Sheet = nullptr;
}

void TPosItem::Delete() {
  SheetList->Remove(this);
  NoteList->Remove(this);
  TreeNodes.Destroy();
  TPoolItem::Delete();
}

TDepNode* TPosItem::DepNodeFor(const TRelationShip* list) {
  if (list == SheetList) return &FSheetNode;
  if (list == NoteList) return &FNoteNode;
  return nullptr;
}

void TPosItem::SetCoordinate(int32_t& field, int32_t value) {
  Assign(field, value);
  if (value >= 0 && !GetNote()->IsAggregation() && TreeNodes.Count() > 0) {
    if (INavTreeNode* node = static_cast<TTreeNodeItem*>(TreeNodes.GetItem(0))->Data.Node)
      node->SetImageIndex(4, 4);
  }
}

void TPosItem::SetX(int32_t value) { SetCoordinate(Data.X, value); }
void TPosItem::SetY(int32_t value) { SetCoordinate(Data.Y, value); }

TSheetItem* TPosItem::GetSheet() const { return static_cast<TSheetItem*>(SheetList->Owner); }
TNoteItem* TPosItem::GetNote() const { return static_cast<TNoteItem*>(NoteList->Owner); }
TTreeNodeItem* TPosItem::GetTreeNode(int i) const {
  return static_cast<TTreeNodeItem*>(TreeNodes.GetItem(i));
}

} // namespace qel
