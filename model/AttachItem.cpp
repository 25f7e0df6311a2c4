#include "AttachItem.h"

#include "NoteItem.h"
#include "TreeNodeItem.h"

#include <stdexcept>

namespace qel {

TAttachItem::TAttachItem(TPoolItemList* pool, TAttachment data)
    : TAttachItem(pool, std::move(data), TLinkLater{}) {
  NoteList->Add(this);
}

TAttachItem::TAttachItem(TPoolItemList* pool, TAttachment data, TLinkLater) : TPoolItem(pool), Data(std::move(data)) {
  if (!Data.Note) throw std::invalid_argument("TAttachItem: note required");
  NoteList = &Data.Note->Attachments;
  Data.Note = nullptr;
}

void TAttachItem::Delete() {
  NoteList->Remove(this);
  TreeNodes.Destroy();
  TPoolItem::Delete();
}

TDepNode* TAttachItem::DepNodeFor(const TRelationShip* list) {
  return list == NoteList ? &FNoteNode : nullptr;
}

void TAttachItem::SetCaption(const std::string& value) {
  if (!Assign(Data.Caption, value)) return;
  SetTreeNodesText(TreeNodes, value);
  ShownDataChanged();
}

void TAttachItem::SetLocation(const std::string& value) {
  if (Assign(Data.Location, value)) ShownDataChanged();
}

void TAttachItem::SetKind(uint8_t value) {
  if (Assign(Data.Kind, value)) ShownDataChanged();
}

TNoteItem* TAttachItem::GetNote() const { return static_cast<TNoteItem*>(NoteList->Owner); }
TTreeNodeItem* TAttachItem::GetTreeNode(int i) const {
  return static_cast<TTreeNodeItem*>(TreeNodes.GetItem(i));
}

} // namespace qel
