#include "PoolItemList.h"

#include "platform/Errors.h"

#include <algorithm>
#include <stdexcept>

namespace qel {

// ---- TItemSlots

namespace {
// Removals that may wait in holes before the list is compacted: enough to keep a delete loop
// linear, few enough that reads behind the holes stay cheap.
size_t HoleLimit(int live) { return 256 + static_cast<size_t>(live) / 8; }
} // namespace

void TItemSlots::Compact() {
  if (FHoles.empty()) return;
  size_t out = static_cast<size_t>(FHoles.front());
  for (size_t i = out; i < FItems.size(); ++i) {
    TPoolItem* item = FItems[i];
    if (!item) continue;
    item->*FSlot = static_cast<int32_t>(out);
    FItems[out++] = item;
  }
  FItems.resize(out);
  FHoles.clear();
}

TPoolItem* TItemSlots::At(int index) const {
  if (index < 0 || index >= FLive) RaiseListError(index);
  if (FHoles.empty() || index < FHoles.front()) return FItems[static_cast<size_t>(index)];
  // The slot lies past the holes with fewer live items before them than index: for the hole
  // at place m that count is its slot less m, which grows along the sorted holes.
  size_t low = 0, high = FHoles.size();
  while (low < high) {
    const size_t mid = (low + high) / 2;
    if (FHoles[mid] - static_cast<int32_t>(mid) <= index)
      low = mid + 1;
    else
      high = mid;
  }
  return FItems[static_cast<size_t>(index) + low];
}

int TItemSlots::IndexOf(const TPoolItem* item) const {
  const int32_t slot = item->*FSlot;
  if (slot < 0) return -1;
  return slot - static_cast<int32_t>(std::lower_bound(FHoles.begin(), FHoles.end(), slot) - FHoles.begin());
}

void TItemSlots::Append(TPoolItem* item) {
  item->*FSlot = static_cast<int32_t>(FItems.size());
  FItems.push_back(item);
  ++FLive;
}

void TItemSlots::Remove(TPoolItem* item) {
  const int32_t slot = item->*FSlot;
  if (slot < 0) return;
  FItems[static_cast<size_t>(slot)] = nullptr;
  item->*FSlot = -1;
  --FLive;
  if (static_cast<size_t>(slot) == FItems.size() - 1) {
    // At the end no hole is needed, nor for the holes just before it.
    FItems.pop_back();
    while (!FHoles.empty() && static_cast<size_t>(FHoles.back()) == FItems.size() - 1) {
      FItems.pop_back();
      FHoles.pop_back();
    }
    return;
  }
  FHoles.insert(std::upper_bound(FHoles.begin(), FHoles.end(), slot), slot);
  if (FHoles.size() > HoleLimit(FLive)) Compact();
}

void TItemSlots::Clear() {
  for (TPoolItem* item : FItems)
    if (item) item->*FSlot = -1;
  FItems.clear();
  FHoles.clear();
  FLive = 0;
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
  const TItemSlots::TLive items = Filtered ? FView.Items() : FAll.Items();
  return std::find(items.begin(), items.end(), item) != items.end();
}

void TPoolItemList::FreeAllItems() {
  const TItemSlots::TLive live = FAll.Items();
  std::vector<TPoolItem*> items(live.begin(), live.end());
  FView.Clear();
  FAll.Clear();
  Changed();
  for (TPoolItem* item : items) delete item;
}

} // namespace qel

