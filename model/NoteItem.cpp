#include "NoteItem.h"

#include "AttachItem.h"
#include "LinkItem.h"
#include "PosItem.h"
#include "SheetItem.h"
#include "TreeNodeItem.h"

namespace qel {

TNoteItem::TNoteItem(TPoolItemList* pool, TNote data) : TPoolItem(pool), Data(std::move(data)) {}

void TNoteItem::Delete() {
  Attachments.Destroy();
  Positions.Destroy();
  OutLinks.Destroy();
  InLinks.Destroy();
  TreeNodes.Destroy();
  TPoolItem::Delete();
}

void TNoteItem::SetName(const std::string& value) {
  if (!Assign(Data.Name, value)) return;
  for (TPoolItem* pos : Positions) SetTreeNodesText(static_cast<TPosItem*>(pos)->TreeNodes, value);
  SetTreeNodesText(TreeNodes, value);
  ShownDataChanged();
}

void TNoteItem::SetImage(const std::string& value) {
  Assign(Data.ImageFile, value);
}

void TNoteItem::SetLogo(const std::string& value) {
  Assign(Data.LogoFile, value);
}

void TNoteItem::SetWidth(int32_t value) {
  Assign(Data.Width, value);
}

void TNoteItem::SetHeight(int32_t value) {
  Assign(Data.Height, value);
}

void TNoteItem::SetColor(TColor value) {
  if (Assign(Data.Color, value)) ShownDataChanged();
}

void TNoteItem::SetLogoPos(int32_t value) {
  Assign(Data.LogoPos, value);
}

void TNoteItem::SetText(const std::string& value) {
  Assign(Data.Text, value);
}

void TNoteItem::SetAggregatedSheet(TSheetItem* sheet) { Data.Sheet = sheet; }

TPosItem* TNoteItem::GetPosition(int i) const { return static_cast<TPosItem*>(Positions.GetItem(i)); }
TAttachItem* TNoteItem::GetAttachment(int i) const {
  return static_cast<TAttachItem*>(Attachments.GetItem(i));
}
TLinkItem* TNoteItem::GetOutLink(int i) const { return static_cast<TLinkItem*>(OutLinks.GetItem(i)); }
TLinkItem* TNoteItem::GetInLink(int i) const { return static_cast<TLinkItem*>(InLinks.GetItem(i)); }
TTreeNodeItem* TNoteItem::GetTreeNode(int i) const {
  return static_cast<TTreeNodeItem*>(TreeNodes.GetItem(i));
}

bool TNoteItem::IsPlacedOn(const TSheetItem* sheet) const {
  for (TPoolItem* item : Positions) {
    auto* pos = static_cast<TPosItem*>(item);
    if (pos->GetSheet() == sheet && pos->IsPlaced()) return true;
  }
  return false;
}

bool TNoteItem::IsAssignedTo(const TSheetItem* sheet) const {
  for (TPoolItem* item : Positions)
    if (static_cast<TPosItem*>(item)->GetSheet() == sheet) return true;
  return false;
}

} // namespace qel
