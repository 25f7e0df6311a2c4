#pragma once
#include "DataStructures.h"
#include "PoolItem.h"
#include "RelationShip.h"

namespace qel {

// A relation type (the kind of a link).
class TRelationItem : public TPoolItem {
public:
  TRelationItem(TPoolItemList* pool, TRelation data);
  void Delete() override;

  TRelation Data;
  TRelationShip Links{this};

  void SetName(const std::string& value);
  int LinkCount() const { return Links.Count(); }
  TRelationShip* GetLinks() { return &Links; }
};

} // namespace qel
