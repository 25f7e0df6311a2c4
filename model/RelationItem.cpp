#include "RelationItem.h"

namespace qel {

TRelationItem::TRelationItem(TPoolItemList* pool, TRelation data) : TPoolItem(pool), Data(std::move(data)) {}

void TRelationItem::Delete() {
  Links.Destroy();
  TPoolItem::Delete();
}

void TRelationItem::SetName(const std::string& value) {
  if (Assign(Data.Name, value)) ShownDataChanged();
}

} // namespace qel
