#include "RelationShip.h"

#include <cstdlib>

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
  if (node == FCursorNode) {
    FCursorNode = node->Prev;
    FCursorIndex = node->Prev ? FCursorIndex - 1 : -1;
  } else {
    FCursorIndex = -1; // its place relative to the cursor is unknown
    FCursorNode = nullptr;
  }
  (node->Prev ? node->Prev->Next : FHead) = node->Next;
  (node->Next ? node->Next->Prev : FTail) = node->Prev;
  node->List = nullptr;
  node->Prev = node->Next = nullptr;
  --FCount;
  ++Changes;
}

TPoolItem* TRelationShip::GetItem(int index) const {
  if (index < 0 || index >= FCount) return nullptr;
  // Start from whichever of head, tail and cursor is nearest.
  TDepNode* node = FHead;
  int at = 0;
  int best = index;
  if (FCount - 1 - index < best) {
    node = FTail;
    at = FCount - 1;
    best = FCount - 1 - index;
  }
  if (FCursorNode && std::abs(index - FCursorIndex) < best) {
    node = FCursorNode;
    at = FCursorIndex;
  }
  while (at < index) {
    node = node->Next;
    ++at;
  }
  while (at > index) {
    node = node->Prev;
    --at;
  }
  FCursorNode = node;
  FCursorIndex = index;
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
