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
  if (!Assign(Data.Name, value)) return;
  SetTreeNodesText(TreeNodes, value);
  ShownDataChanged();
}

void TSheetItem::SetColor(TColor value) {
  if (Assign(Data.Color, value)) ShownDataChanged();
}

void TSheetItem::SetWidth(int32_t value) {
  Assign(Data.Width, value);
}

void TSheetItem::SetHeight(int32_t value) {
  Assign(Data.Height, value);
}

void TSheetItem::SetZoom(int32_t value) {
  Assign(Data.Zoom, value);
}

void TSheetItem::SetGridSize(int32_t value) {
  Assign(Data.GridSize, value);
}

void TSheetItem::SetDescription(const std::string& value) {
  Assign(Data.Description, value);
}

TPosItem* TSheetItem::GetPosition(int i) const { return static_cast<TPosItem*>(Positions.GetItem(i)); }
TTreeNodeItem* TSheetItem::GetTreeNode(int i) const {
  return static_cast<TTreeNodeItem*>(TreeNodes.GetItem(i));
}

} // namespace qel
