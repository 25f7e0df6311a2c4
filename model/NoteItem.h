#pragma once
#include "DataStructures.h"
#include "PoolItem.h"
#include "RelationShip.h"

namespace qel {

class TAttachItem;
class TLinkItem;
class TPosItem;
class TSheetItem;
class TTreeNodeItem;

class TNoteItem : public TPoolItem {
public:
  TNoteItem(TPoolItemList* pool, TNote data);
  void Delete() override;

  TNote Data;
  // Owned dependency lists.
  TRelationShip Attachments{this};
  TRelationShip Positions{this};
  TRelationShip OutLinks{this};
  TRelationShip InLinks{this};
  TRelationShip TreeNodes{this};

  void SetName(const std::string& value); // also renames the tree nodes of the note and its positions
  void SetImage(const std::string& value);
  void SetLogo(const std::string& value);
  void SetWidth(int32_t value);
  void SetHeight(int32_t value);
  void SetColor(TColor value);
  void SetLogoPos(int32_t value);
  void SetText(const std::string& value);
  // Does not mark the note modified (the notes reader resolves the sheet with it).
  void SetAggregatedSheet(TSheetItem* sheet);

  int PositionCount() const { return Positions.Count(); }
  TPosItem* GetPosition(int i) const;
  int AttachmentCount() const { return Attachments.Count(); }
  TAttachItem* GetAttachment(int i) const;
  int OutLinkCount() const { return OutLinks.Count(); }
  TLinkItem* GetOutLink(int i) const;
  int InLinkCount() const { return InLinks.Count(); }
  TLinkItem* GetInLink(int i) const;
  int TreeNodeCount() const { return TreeNodes.Count(); }
  TTreeNodeItem* GetTreeNode(int i) const;
  TRelationShip* GetAttachments() { return &Attachments; }
  TRelationShip* GetPositions() { return &Positions; }
  TRelationShip* GetInLinks() { return &InLinks; }
  TRelationShip* GetOutLinks() { return &OutLinks; }
  TRelationShip* GetTreeNodes() { return &TreeNodes; }
  // The sheet an aggregation note stands for; null when none or when it was deleted.
  TSheetItem* GetAggregatedSheet() const { return Data.Sheet.Get(); }

  bool IsPlacedOn(const TSheetItem* sheet) const;
  bool IsAssignedTo(const TSheetItem* sheet) const;
  bool IsAggregation() const { return Data.Kind == 0; }
};

} // namespace qel
