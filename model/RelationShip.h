#pragma once
// A dependency list: the items that depend on an owner item. Destroying it deletes them all.
#include "PoolItem.h"

#include <cstdint>

namespace qel {

class TRelationShip {
public:
  explicit TRelationShip(TPoolItem* owner) : Owner(owner) {}
  // Plain: unlinks nothing (used when a whole project is discarded).
  ~TRelationShip() = default;
  TRelationShip(const TRelationShip&) = delete;
  TRelationShip& operator=(const TRelationShip&) = delete;

  TPoolItem* const Owner;
  // Counts every item entering or leaving any list: what is derived from the lists (the
  // sheet indexes) is current while this has not moved.
  static uint64_t Changes;

  // Appends the item through its node for this list.
  void Add(TPoolItem* item);
  // Add without counting a change, for lists filled on several threads (each list by one
  // of them; the filler counts one change at the end). False when nothing was added.
  bool Enter(TPoolItem* item);
  // Asks the processor to fetch the last node, which an Add changes. Only a hint.
  void PrefetchTail() const {
    if (FTail) __builtin_prefetch(FTail, 1);
  }
  // Removes the item; nothing when it is the owner or not in the list.
  void Remove(TPoolItem* item);
  // The dependent at index, or null past the end. It walks from the nearer end and changes
  // nothing: loops over a list go through begin and end.
  TPoolItem* GetItem(int index) const;
  int Count() const { return FCount; }
  // The cascade: deletes every dependent, first to last. The list stays, empty.
  void Destroy();

  class Iterator {
  public:
    explicit Iterator(const TDepNode* node) : FNode(node) {}
    TPoolItem* operator*() const { return FNode->Item; }
    Iterator& operator++() {
      FNode = FNode->Next;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return FNode != other.FNode; }

  private:
    const TDepNode* FNode;
  };
  // Iteration in list order; the list must not change meanwhile.
  Iterator begin() const { return Iterator(FHead); }
  Iterator end() const { return Iterator(nullptr); }

private:
  void Unlink(TDepNode* node);
  TDepNode* FHead = nullptr;
  TDepNode* FTail = nullptr;
  int FCount = 0;
};

} // namespace qel
