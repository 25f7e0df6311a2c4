#include "SheetItem.h"

#include "PosItem.h"
#include "TreeNodeItem.h"

namespace qel {

TSheetItem::TSheetItem(TPoolItemList* pool, TSheet data) : TPoolItem(pool), Data(std::move(data)) {}

void TSheetItem::Delete() {
  Positions.Destroy();
  Links.Destroy();
  TreeNodes.Destroy();
  TPoolItem::Delete();
}

void TSheetItem::SetName(const std::string& value) {
  Data.Name = value;
  SetTreeNodesText(TreeNodes, value);
  Modified = true;
}

void TSheetItem::SetColor(TColor value) {
  Data.Color = value;
  Modified = true;
}

void TSheetItem::SetWidth(int32_t value) {
  Data.Width = value;
  Modified = true;
}

void TSheetItem::SetHeight(int32_t value) {
  Data.Height = value;
  Modified = true;
}

void TSheetItem::SetZoom(int32_t value) {
  Data.Zoom = value;
  Modified = true;
}

void TSheetItem::SetGridSize(int32_t value) {
  Data.GridSize = value;
  Modified = true;
}

void TSheetItem::SetDescription(const std::string& value) {
  Data.Description = value;
  Modified = true;
}

TPosItem* TSheetItem::GetPosition(int i) const { return static_cast<TPosItem*>(Positions.GetItem(i)); }
TTreeNodeItem* TSheetItem::GetTreeNode(int i) const {
  return static_cast<TTreeNodeItem*>(TreeNodes.GetItem(i));
}

} // namespace qel
