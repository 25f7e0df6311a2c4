#pragma once
#include "DataStructures.h"
#include "PoolItem.h"
#include "RelationShip.h"

#include <array>

namespace qel {

class TNoteItem;
class TRelationItem;
class TSheetItem;

// A typed link between two notes on a sheet. Its sheet, notes and relation type are the
// owners of the four lists it entered; the reference fields of Data are cleared then.
class TLinkItem : public TPoolItem {
public:
  TLinkItem(TPoolItemList* pool, TLink data);
  TLinkItem(TPoolItemList* pool, TLink data, TLinkLater);
  // The lists it enters, in order: its sheet's, its to-note's, its from-note's, its type's.
  std::array<TRelationShip*, 4> Lists() const { return {SheetList, ToList, FromList, RelationList}; }
  void Delete() override;

  TLink Data;
  TRelationShip* SheetList;    // the sheet's Links
  TRelationShip* FromList;     // the from-note's OutLinks
  TRelationShip* ToList;       // the to-note's InLinks
  TRelationShip* RelationList; // the relation type's Links

  void SetCurve1(int32_t value); // ToOffsetX
  void SetCurve2(int32_t value); // ToOffsetY
  void SetCurve3(int32_t value); // FromOffsetX
  void SetCurve4(int32_t value); // FromOffsetY
  void SetArrowType(uint8_t value);
  void SetPenWidth(int32_t value);
  void SetColor(TColor value);
  void SetLineStyle(int32_t value);

  TSheetItem* GetSheet() const;
  TNoteItem* GetFromNote() const;
  TNoteItem* GetToNote() const;
  TRelationItem* GetRelation() const;
  TRelationShip* GetSheetList() const { return SheetList; }
  TRelationShip* GetFromList() const { return FromList; }
  TRelationShip* GetToList() const { return ToList; }
  TRelationShip* GetRelationList() const { return RelationList; }

protected:
  TDepNode* DepNodeFor(const TRelationShip* list) override;

private:
  TDepNode FSheetNode, FFromNode, FToNode, FRelationNode;
};

} // namespace qel
