#include "PoolItem.h"

#include "PoolItemList.h"

namespace qel {

TPoolItem::TPoolItem(TPoolItemList* pool) : Pool(pool) {}

TPoolItem::~TPoolItem() = default;

void TPoolItem::Delete() {
  if (Pool) Pool->Remove(this); // frees this item
}

std::weak_ptr<const void> TPoolItem::LifeToken() const {
  if (!FLife) FLife = std::make_shared<const int>(0);
  return FLife;
}

void TPoolItem::ShownDataChanged() {
  if (Pool) Pool->Changed();
}

TDepNode* TPoolItem::DepNodeFor(const TRelationShip*) { return nullptr; }

} // namespace qel
