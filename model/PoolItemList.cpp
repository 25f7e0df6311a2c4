#include "PoolItemList.h"

#include "platform/Errors.h"

#include <algorithm>
#include <stdexcept>

namespace qel {

// ---- TItemSlots

void TItemSlots::Compact() const {
  if (FFirstHole == SIZE_MAX) return;
  size_t out = FFirstHole;
  for (size_t i = FFirstHole; i < FItems.size(); ++i) {
    TPoolItem* item = FItems[i];
    if (!item) continue;
    item->*FSlot = static_cast<int32_t>(out);
    FItems[out++] = item;
  }
  FItems.resize(out);
  FFirstHole = SIZE_MAX;
}

TPoolItem* TItemSlots::At(int index) const {
  if (index < 0 || index >= FLive) RaiseListError(index);
  if (static_cast<size_t>(index) >= FFirstHole) Compact();
  return FItems[static_cast<size_t>(index)];
}

int TItemSlots::IndexOf(const TPoolItem* item) const {
  int32_t slot = item->*FSlot;
  if (slot < 0) return -1;
  if (static_cast<size_t>(slot) > FFirstHole) {
    Compact();
    slot = item->*FSlot;
  }
  return slot;
}

void TItemSlots::Append(TPoolItem* item) {
  item->*FSlot = static_cast<int32_t>(FItems.size());
  FItems.push_back(item);
  ++FLive;
}

void TItemSlots::Remove(TPoolItem* item) {
  int32_t slot = item->*FSlot;
  if (slot < 0) return;
  FItems[static_cast<size_t>(slot)] = nullptr;
  item->*FSlot = -1;
  --FLive;
  if (static_cast<size_t>(slot) == FItems.size() - 1 && FFirstHole == SIZE_MAX) {
    FItems.pop_back(); // removing the last one leaves no hole
  } else {
    FFirstHole = std::min(FFirstHole, static_cast<size_t>(slot));
  }
}

void TItemSlots::Clear() {
  for (TPoolItem* item : FItems)
    if (item) item->*FSlot = -1;
  FItems.clear();
  FFirstHole = SIZE_MAX;
  FLive = 0;
}

const std::vector<TPoolItem*>& TItemSlots::Items() const {
  Compact();
  return FItems;
}

// ---- TPoolItemList

TPoolItemList::TPoolItemList() : FAll(&TPoolItem::FAllSlot), FView(&TPoolItem::FViewSlot) { ResetView(); }

TPoolItemList::~TPoolItemList() = default;

void TPoolItemList::SetModified(bool value) {
  Modified = value;
  for (TPoolItem* item : FAll.Items()) item->Modified = value;
}

bool TPoolItemList::IsModified() const {
  for (TPoolItem* item : FAll.Items())
    if (item->Modified) return true;
  return Modified;
}

bool TPoolItemList::Add(TPoolItem* item) {
  if (!item || item->Pool != this)
    throw std::logic_error("TPoolItemList.Add: item of another pool");
  if (FAll.Contains(item)) return true;
  FAll.Append(item);
  Modified = true;
  if (Filtered) FView.Append(item);
  ++FChanges; // appended at the end: no edit
  return true;
}

void TPoolItemList::AppendLoaded(TPoolItem* item) {
  if (!item || item->Pool != this)
    throw std::logic_error("TPoolItemList: item of another pool");
  FAll.Append(item);
  Changed();
}

void TPoolItemList::Remove(TPoolItem* item) {
  if (!item || item->Pool != this || !FAll.Contains(item)) return;
  FView.Remove(item);
  FAll.Remove(item);
  Modified = true;
  Changed();
  delete item;
}

int TPoolItemList::IndexOf(const TPoolItem* item) const {
  if (!item || item->Pool != this) return -1;
  return FAll.IndexOf(item);
}

TPoolItem* TPoolItemList::GetItem(int index) const { return Filtered ? FView.At(index) : FAll.At(index); }

int TPoolItemList::Count() const { return Filtered ? FView.Count() : FAll.Count(); }

void TPoolItemList::ResetView() {
  FView.Clear();
  FView.Reserve(static_cast<size_t>(FAll.Count()));
  for (TPoolItem* item : FAll.Items()) FView.Append(item);
  Changed();
}

void TPoolItemList::IncludeInView(int index) {
  TPoolItem* item = FAll.At(index);
  if (FView.Contains(item)) return;
  FView.Append(item);
  Changed();
}

void TPoolItemList::ExcludeFromView(TPoolItem* item) {
  if (!item || item->Pool != this || !FView.Contains(item)) return;
  FView.Remove(item);
  Changed();
}

bool TPoolItemList::HasItem(const TPoolItem* item) const {
  if (!item) return false;
  const auto& items = Filtered ? FView.Items() : FAll.Items();
  return std::find(items.begin(), items.end(), item) != items.end();
}

void TPoolItemList::FreeAllItems() {
  std::vector<TPoolItem*> items = FAll.Items();
  FView.Clear();
  FAll.Clear();
  Changed();
  for (TPoolItem* item : items) delete item;
}

} // namespace qel

