#pragma once
#include "DataStructures.h"
#include "PoolItem.h"
#include "RelationShip.h"

namespace qel {

class TNoteItem;
class TTreeNodeItem;

// A file or URL attached to a note (the owner of the list it entered).
class TAttachItem : public TPoolItem {
public:
  TAttachItem(TPoolItemList* pool, TAttachment data);
  TAttachItem(TPoolItemList* pool, TAttachment data, TLinkLater);
  void Delete() override;

  TAttachment Data;
  TRelationShip* NoteList; // the note's Attachments
  TRelationShip TreeNodes{this};

  void SetCaption(const std::string& value); // also renames its tree nodes
  void SetLocation(const std::string& value);
  void SetKind(uint8_t value);

  TNoteItem* GetNote() const;
  int TreeNodeCount() const { return TreeNodes.Count(); }
  TTreeNodeItem* GetTreeNode(int i) const;
  TRelationShip* GetTreeNodes() { return &TreeNodes; }

protected:
  TDepNode* DepNodeFor(const TRelationShip* list) override;

private:
  TDepNode FNoteNode;
};

} // namespace qel
