#include "LinkItem.h"

#include "NoteItem.h"
#include "RelationItem.h"
#include "SheetItem.h"

#include <stdexcept>

namespace qel {

TLinkItem::TLinkItem(TPoolItemList* pool, TLink data) : TLinkItem(pool, std::move(data), TLinkLater{}) {
  for (TRelationShip* list : Lists()) list->Add(this);
}

TLinkItem::TLinkItem(TPoolItemList* pool, TLink data, TLinkLater) : TPoolItem(pool), Data(std::move(data)) {
  if (!Data.Sheet || !Data.FromNote || !Data.ToNote || !Data.Relation)
    throw std::invalid_argument("TLinkItem: sheet, notes and relation type required");
  SheetList = &Data.Sheet->Links;
  ToList = &Data.ToNote->InLinks;
  FromList = &Data.FromNote->OutLinks;
  RelationList = &Data.Relation->Links;
  Data.Sheet = nullptr;
  Data.FromNote = Data.ToNote = nullptr;
  Data.Relation = nullptr;
}

void TLinkItem::Delete() {
  SheetList->Remove(this);
  ToList->Remove(this);
  FromList->Remove(this);
  RelationList->Remove(this);
  TPoolItem::Delete();
}

TDepNode* TLinkItem::DepNodeFor(const TRelationShip* list) {
  if (list == SheetList) return &FSheetNode;
  if (list == FromList) return &FFromNode;
  if (list == ToList) return &FToNode;
  if (list == RelationList) return &FRelationNode;
  return nullptr;
}

void TLinkItem::SetCurve1(int32_t value) {
  Assign(Data.ToOffsetX, value);
}

void TLinkItem::SetCurve2(int32_t value) {
  Assign(Data.ToOffsetY, value);
}

void TLinkItem::SetCurve3(int32_t value) {
  Assign(Data.FromOffsetX, value);
}

void TLinkItem::SetCurve4(int32_t value) {
  Assign(Data.FromOffsetY, value);
}

void TLinkItem::SetArrowType(uint8_t value) {
  Assign(Data.ArrowType, value);
}

void TLinkItem::SetPenWidth(int32_t value) {
  Assign(Data.PenWidth, value);
}

void TLinkItem::SetColor(TColor value) {
  Assign(Data.Color, value);
}

void TLinkItem::SetLineStyle(int32_t value) {
  Assign(Data.LineStyle, value);
}

TSheetItem* TLinkItem::GetSheet() const { return static_cast<TSheetItem*>(SheetList->Owner); }
TNoteItem* TLinkItem::GetFromNote() const { return static_cast<TNoteItem*>(FromList->Owner); }
TNoteItem* TLinkItem::GetToNote() const { return static_cast<TNoteItem*>(ToList->Owner); }
TRelationItem* TLinkItem::GetRelation() const { return static_cast<TRelationItem*>(RelationList->Owner); }

} // namespace qel
