#pragma once
// A pool's list of all its items plus the view that a search narrows.
#include "PoolItem.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace qel {

// Ordered list of items with constant-time append and removal. Removal leaves a hole whose
// slot is kept in a sorted list, so loops that delete run in linear time; the holes are closed
// by a change (many removals, Compact), never by a read: reads behind a hole count the holes
// before them. Each item records its own slot (through the member pointer).
class TItemSlots {
public:
  // The live items in order, skipping holes.
  class TLive {
  public:
    class Iterator {
    public:
      using iterator_category = std::forward_iterator_tag;
      using value_type = TPoolItem*;
      using difference_type = std::ptrdiff_t;
      using pointer = TPoolItem* const*;
      using reference = TPoolItem* const&;
      Iterator(pointer at, pointer end) : FAt(at), FEnd(end) { Skip(); }
      reference operator*() const { return *FAt; }
      Iterator& operator++() {
        ++FAt;
        Skip();
        return *this;
      }
      bool operator==(const Iterator& other) const { return FAt == other.FAt; }

    private:
      void Skip() {
        while (FAt != FEnd && !*FAt) ++FAt;
      }
      pointer FAt, FEnd;
    };
    TLive(const std::vector<TPoolItem*>& items, int live) : FItems(items), FLive(live) {}
    Iterator begin() const { return {FItems.data(), FItems.data() + FItems.size()}; }
    Iterator end() const { return {FItems.data() + FItems.size(), FItems.data() + FItems.size()}; }
    size_t size() const { return static_cast<size_t>(FLive); }
    bool empty() const { return FLive == 0; }

  private:
    const std::vector<TPoolItem*>& FItems;
    int FLive;
  };

  explicit TItemSlots(int32_t TPoolItem::*slot) : FSlot(slot) {}
  int Count() const { return FLive; }
  bool Contains(const TPoolItem* item) const { return item->*FSlot >= 0; }
  // The item at index (counting live items); raises the list error outside 0..Count-1.
  TPoolItem* At(int index) const;
  int IndexOf(const TPoolItem* item) const; // -1 when absent
  void Append(TPoolItem* item);
  void Remove(TPoolItem* item);
  void Clear();
  void Reserve(size_t count) { FItems.reserve(count); }
  // Closes the holes: reads then cost one step each.
  void Compact();
  TLive Items() const { return {FItems, FLive}; }

private:
  std::vector<TPoolItem*> FItems; // null marks a hole
  std::vector<int32_t> FHoles;    // slots of the holes, ascending
  int FLive = 0;
  int32_t TPoolItem::*FSlot;
};

class TPoolItemList {
public:
  TPoolItemList();
  // Frees the lists only: no item is deleted or freed and no cascade runs.
  virtual ~TPoolItemList();
  TPoolItemList(const TPoolItemList&) = delete;
  TPoolItemList& operator=(const TPoolItemList&) = delete;

  bool Modified = false;
  bool Filtered = false; // while true, Count and GetItem read the view

  void SetModified(bool value);
  bool IsModified() const;
  // Appends an item of this pool (its Pool must be this list); always true.
  bool Add(TPoolItem* item);
  // Takes the item out of view and list and frees it (without its Delete).
  void Remove(TPoolItem* item);
  int IndexOf(const TPoolItem* item) const; // in the list of all items, never the view
  TPoolItem* GetItem(int index) const;      // view-aware
  int Count() const;                        // view-aware
  void ResetView();
  // Room for count items in all (a reader about to append that many).
  void Reserve(int count) { FAll.Reserve(static_cast<size_t>(count)); }
  void IncludeInView(int index); // index counts in the list of all items
  void ExcludeFromView(TPoolItem* item);
  bool InView(const TPoolItem* item) const { return item && item->Pool == this && FView.Contains(item); }
  // True when the item is one of this pool's items; the pointer is only compared.
  bool HasItem(const TPoolItem* item) const;

  // Grows whenever what a list of the pool shows may differ: an item added or removed,
  // renamed or recoloured, the view narrowed or reset. Compare for equality only.
  uint64_t Changes() const { return FChanges; }
  // Like Changes, but not grown by an item added at the end: while it stays, a list of the pool
  // differs from the pool at most by items missing at its end.
  uint64_t Edits() const { return FEdits; }
  void Changed() {
    ++FChanges;
    ++FEdits;
  }

  // The full list, whatever the filter says (for writers, references and the search).
  int AllCount() const { return FAll.Count(); }
  TPoolItem* GetAllItem(int index) const { return FAll.At(index); }
  TItemSlots::TLive AllItems() const { return FAll.Items(); }
  int ViewCount() const { return FView.Count(); }
  TPoolItem* GetViewItem(int index) const { return FView.At(index); }
  TItemSlots::TLive ViewItems() const { return FView.Items(); }
  // Closes the holes that removals left in both lists (what they hold stays): done before
  // work is handed to threads, so that their reads cost one step each.
  void Compact() {
    FAll.Compact();
    FView.Compact();
  }

protected:
  // Appends as a reader does: no presence test, view and pool flag untouched.
  void AppendLoaded(TPoolItem* item);
  // Frees every item without cascades or tree-node calls (a discarded project).
  void FreeAllItems();

private:
  TItemSlots FAll;
  TItemSlots FView;
  uint64_t FChanges = 0;
  uint64_t FEdits = 0;
};

} // namespace qel
