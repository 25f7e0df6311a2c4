#include "RelationShip.h"

namespace qel {

uint64_t TRelationShip::Changes = 1;

void TRelationShip::Add(TPoolItem* item) {
  if (Enter(item)) ++Changes;
}

bool TRelationShip::Enter(TPoolItem* item) {
  if (!item) return false;
  TDepNode* node = item->DepNodeFor(this);
  if (!node || node->List) return false; // an item enters each of its lists once
  node->List = this;
  node->Item = item;
  node->Prev = FTail;
  node->Next = nullptr;
  if (FTail)
    FTail->Next = node;
  else
    FHead = node;
  FTail = node;
  ++FCount;
  return true;
}

void TRelationShip::Remove(TPoolItem* item) {
  if (!item || item == Owner) return;
  TDepNode* node = item->DepNodeFor(this);
  if (node && node->List == this) Unlink(node);
}

void TRelationShip::Unlink(TDepNode* node) {
  (node->Prev ? node->Prev->Next : FHead) = node->Next;
  (node->Next ? node->Next->Prev : FTail) = node->Prev;
  node->List = nullptr;
  node->Prev = node->Next = nullptr;
  --FCount;
  ++Changes;
}

TPoolItem* TRelationShip::GetItem(int index) const {
  if (index < 0 || index >= FCount) return nullptr;
  const TDepNode* node = FHead;
  if (index <= FCount / 2) {
    for (int at = 0; at < index; ++at) node = node->Next;
  } else {
    node = FTail;
    for (int at = FCount - 1; at > index; --at) node = node->Prev;
  }
  return node->Item;
}

void TRelationShip::Destroy() {
  int n = FCount;
  while (n-- > 0 && FHead) {
    TDepNode* first = FHead;
    first->Item->Delete();
    // An item that could not leave (a programming error) must not stall the cascade.
    if (FHead == first) Unlink(first);
  }
}

} // namespace qel
