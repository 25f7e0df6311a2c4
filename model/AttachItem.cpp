#include "AttachItem.h"

#include "NoteItem.h"
#include "TreeNodeItem.h"

#include <stdexcept>

namespace qel {

TAttachItem::TAttachItem(TPoolItemList* pool, TAttachment data) : TPoolItem(pool), Data(std::move(data)) {
  if (!Data.Note) throw std::invalid_argument("TAttachItem: note required");
  NoteList = &Data.Note->Attachments;
  Data.Note = nullptr;
  NoteList->Add(this);
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
  Data.Caption = value;
  SetTreeNodesText(TreeNodes, value);
  Modified = true;
}

void TAttachItem::SetLocation(const std::string& value) {
  Data.Location = value;
  Modified = true;
}

void TAttachItem::SetKind(uint8_t value) {
  Data.Kind = value;
  Modified = true;
}

TNoteItem* TAttachItem::GetNote() const { return static_cast<TNoteItem*>(NoteList->Owner); }
TTreeNodeItem* TAttachItem::GetTreeNode(int i) const {
  return static_cast<TTreeNodeItem*>(TreeNodes.GetItem(i));
}

} // namespace qel
