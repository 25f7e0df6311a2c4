#pragma once
// Base of every stored item, the dependency-list node, and weak item references.
#include <cstdint>
#include <memory>

namespace qel {

class TPoolItem;
class TPoolItemList;
class TRelationShip;

// One membership of an item in a dependency list. Items own their nodes; the lists link them.
struct TDepNode {
  TRelationShip* List = nullptr;
  TDepNode* Prev = nullptr;
  TDepNode* Next = nullptr;
  TPoolItem* Item = nullptr;
};

// Makes an item whose lists are known but not yet entered: readers on worker threads make
// items so, and enter them into their lists afterwards, in file order.
struct TLinkLater {};

class TPoolItem {
public:
  explicit TPoolItem(TPoolItemList* pool);
  // Plain: releases nothing of the project and runs no cascade.
  virtual ~TPoolItem();
  TPoolItem(const TPoolItem&) = delete;
  TPoolItem& operator=(const TPoolItem&) = delete;

  // The only way an item leaves the project: deletes its dependents, leaves the lists it
  // entered, then leaves its pool, which frees it. Does nothing more for an item without pool.
  virtual void Delete();

  TPoolItemList* Pool;
  int32_t LoadIndex = -1;
  bool Modified = true;

  // Token that lives exactly as long as the item; TItemRef watches it.
  std::weak_ptr<const void> LifeToken() const;

protected:
  friend class TRelationShip;
  // Stores the value into the field; only a value that differs marks the item modified.
  // True when it differed.
  template <class T, class U> bool Assign(T& field, const U& value) {
    if (field == value) return false;
    field = value;
    Modified = true;
    return true;
  }
  // What lists of the pool show of this item (its name, colour or icon) has changed.
  void ShownDataChanged();
  // This item's node for the given dependency list, or null when it has none there.
  virtual TDepNode* DepNodeFor(const TRelationShip* list);

private:
  friend class TItemSlots;
  friend class TPoolItemList;
  int32_t FAllSlot = -1;  // place in the pool's list of all items (with holes)
  int32_t FViewSlot = -1; // place in the pool's view (with holes)
  mutable std::shared_ptr<const int> FLife; // made when first watched
};

// A reference to an item that knows whether the item still exists: Get() is null once the
// item has been deleted (or its whole project discarded). Windows keep items this way.
template <class T> class TItemRef {
public:
  TItemRef() = default;
  TItemRef(T* item) : FItem(item) { // NOLINT: implicit on purpose, like a pointer
    if (item) FLife = static_cast<const TPoolItem*>(item)->LifeToken();
  }
  T* Get() const { return FLife.expired() ? nullptr : FItem; }
  explicit operator bool() const { return Get() != nullptr; }
  T* operator->() const { return Get(); }
  // True when both name the same item (also when that item is gone).
  bool SameAs(const TItemRef& other) const {
    return FItem == other.FItem && !FLife.owner_before(other.FLife) && !other.FLife.owner_before(FLife);
  }
  bool operator==(const T* item) const { return item && Get() == item; }
  void Reset() { *this = TItemRef(); }

private:
  T* FItem = nullptr;
  std::weak_ptr<const void> FLife;
};

} // namespace qel
