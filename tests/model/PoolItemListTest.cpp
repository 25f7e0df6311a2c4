#include "model/PoolItemList.h"
#include "model/RelationShip.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

using namespace qel;

namespace {

struct List : TPoolItemList {
  ~List() override { FreeAllItems(); }
};

// An item that logs its deletion and may depend on one owner list.
struct Item : TPoolItem {
  Item(TPoolItemList* pool, int id, std::vector<int>* log = nullptr) : TPoolItem(pool), Id(id), Log(log) {}
  void Delete() override {
    if (Entered) Entered->Remove(this);
    if (Log) Log->push_back(Id);
    TPoolItem::Delete();
  }
  TDepNode* DepNodeFor(const TRelationShip* list) override { return list == Entered ? &Node : nullptr; }
  void Enter(TRelationShip* list) {
    Entered = list;
    list->Add(this);
  }
  int Id;
  std::vector<int>* Log;
  TRelationShip* Entered = nullptr;
  TDepNode Node;
};

Item* Make(List& list, int id, std::vector<int>* log = nullptr) {
  auto* item = new Item(&list, id, log);
  list.Add(item);
  return item;
}

int IdAt(const TPoolItemList& list, int i) { return static_cast<Item*>(list.GetItem(i))->Id; }

} // namespace

TEST(PoolItemList, AddingTwiceKeepsOneEntryAndFlagsOnce) {
  List list;
  Item* a = Make(list, 1);
  list.Modified = false;
  EXPECT_TRUE(list.Add(a));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_FALSE(list.Modified);
}

TEST(PoolItemList, FilteredListReadsTheView) {
  List list;
  Item* a = Make(list, 1);
  Make(list, 2);
  list.Filtered = true;
  list.ResetView();
  list.ExcludeFromView(a);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(IdAt(list, 0), 2);
  EXPECT_EQ(list.IndexOf(a), 0); // the index never consults the view
  Item* c = Make(list, 3);       // a new item stays visible under a search
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(IdAt(list, 1), 3);
  EXPECT_EQ(list.IndexOf(c), 2);

  list.ExcludeFromView(list.GetItem(0));
  list.ExcludeFromView(list.GetItem(0));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.AllCount(), 3);
  list.IncludeInView(2);
  list.IncludeInView(2); // only once
  list.IncludeInView(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(IdAt(list, 0), 3); // view order is the order of inclusion
  EXPECT_EQ(IdAt(list, 1), 1);
  list.Filtered = false;
  EXPECT_EQ(list.Count(), 3);
}

TEST(PoolItemList, ModifiedStateFollowsItemsAndList) {
  List list;
  Item* a = Make(list, 1);
  list.SetModified(false);
  EXPECT_FALSE(list.IsModified());
  a->Modified = true;
  EXPECT_TRUE(list.IsModified());
  list.SetModified(false);
  list.Remove(a);
  EXPECT_TRUE(list.IsModified()); // removal marks the list
}

TEST(PoolItemList, IndexOutsideTheListIsTheListError) {
  List list;
  Make(list, 1);
  try {
    list.GetItem(1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (1)");
  }
  EXPECT_THROW(list.GetItem(-1), EListError);
  list.Filtered = true; // empty view
  EXPECT_THROW(list.GetItem(0), EListError);
}

TEST(PoolItemList, RemovalOfForeignOrAbsentItemsDoesNothing) {
  List list;
  List other;
  Item* a = Make(list, 1);
  Item* b = Make(other, 2);
  list.Modified = false;
  list.Remove(b);
  list.Remove(nullptr);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_FALSE(list.Modified);
  EXPECT_EQ(list.IndexOf(b), -1);
  Item loose(nullptr, 3);
  loose.Delete(); // no pool: nothing happens
  EXPECT_EQ(list.IndexOf(a), 0);
  EXPECT_TRUE(list.HasItem(a));
  EXPECT_FALSE(list.HasItem(b));
}

// Random additions, removals and view changes against a plain vector model.
TEST(PoolItemList, HolesNeverChangeOrderOrIndexes) {
  List list;
  std::vector<Item*> all, view;
  std::mt19937 rnd(7);
  list.Filtered = true;
  int next = 0;
  for (int step = 0; step < 4000; ++step) {
    int op = rnd() % 6;
    if (op < 2 || all.empty()) {
      Item* item = Make(list, next++);
      all.push_back(item);
      view.push_back(item);
    } else if (op == 2) {
      Item* item = all[rnd() % all.size()];
      all.erase(std::find(all.begin(), all.end(), item));
      auto v = std::find(view.begin(), view.end(), item);
      if (v != view.end()) view.erase(v);
      item->Delete();
    } else if (op == 3 && !view.empty()) {
      Item* item = view[rnd() % view.size()];
      view.erase(std::find(view.begin(), view.end(), item));
      list.ExcludeFromView(item);
    } else if (op == 4) {
      int index = static_cast<int>(rnd() % all.size());
      if (std::find(view.begin(), view.end(), all[index]) == view.end()) view.push_back(all[index]);
      list.IncludeInView(index);
    } else {
      int i = static_cast<int>(rnd() % all.size());
      ASSERT_EQ(list.IndexOf(all[i]), i);
      ASSERT_EQ(list.GetAllItem(i), all[i]);
    }
    ASSERT_EQ(list.AllCount(), static_cast<int>(all.size()));
    ASSERT_EQ(list.Count(), static_cast<int>(view.size()));
  }
  for (size_t i = 0; i < view.size(); ++i) ASSERT_EQ(list.GetItem(static_cast<int>(i)), view[i]);
  const auto live = list.AllItems();
  EXPECT_EQ(std::vector<TPoolItem*>(live.begin(), live.end()), std::vector<TPoolItem*>(all.begin(), all.end()));
}

// Reads behind the holes that removals leave, from several threads at once, change nothing
// and agree with a plain vector; the list is then as whole as before.
TEST(PoolItemList, ReadsBehindHolesOnManyThreadsChangeNothing) {
  for (const int removedAt : {0, 500, 999}) { // start, middle, end of the list
    List list;
    std::vector<Item*> all;
    for (int id = 0; id < 1000; ++id) all.push_back(Make(list, id));
    for (int k = 0; k < 40; ++k) { // a run of removals, and one every tenth item
      const size_t at = std::min<size_t>(static_cast<size_t>(removedAt), all.size() - 1);
      Item* item = all[k % 2 ? at : std::min(all.size() - 1, static_cast<size_t>(k) * 10)];
      all.erase(std::find(all.begin(), all.end(), item));
      item->Delete();
    }
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t)
      readers.emplace_back([&, t] {
        for (int round = 0; round < 20; ++round)
          for (int i = static_cast<int>(all.size()) - 1 - t; i >= 0; i -= 2)
            if (list.GetAllItem(i) != all[size_t(i)] || list.IndexOf(all[size_t(i)]) != i) ++wrong[size_t(t)];
        int n = 0;
        for (TPoolItem* item : list.AllItems()) wrong[size_t(t)] += item != all[size_t(n++)];
      });
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0)) << "removed at " << removedAt;
    list.Compact();
    for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(list.GetAllItem(static_cast<int>(i)), all[i]);
  }
}

TEST(RelationShip, DestroyDeletesEveryDependentInOrder) {
  List owners, items;
  std::vector<int> log;
  Item* owner = Make(owners, 0);
  TRelationShip deps(owner);
  for (int id = 1; id <= 3; ++id) Make(items, id, &log)->Enter(&deps);
  deps.Destroy();
  EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(deps.Count(), 0);
}

TEST(RelationShip, RemovingTheOwnerOrReadingPastTheEnd) {
  List items;
  Item* owner = Make(items, 0);
  TRelationShip deps(owner);
  Item* a = Make(items, 1);
  a->Enter(&deps);
  deps.Remove(owner);
  EXPECT_EQ(deps.Count(), 1);
  EXPECT_EQ(deps.GetItem(0), a);
  EXPECT_EQ(deps.GetItem(1), nullptr);
  EXPECT_EQ(deps.GetItem(-1), nullptr);
}

// Index access stays right while items leave from anywhere, and reads on several threads at
// once change nothing (ThreadSanitizer sees a read that writes).
TEST(RelationShip, IndexAccessAfterRemovals) {
  List owners, items;
  TRelationShip deps(Make(owners, 0));
  std::vector<Item*> model;
  for (int id = 0; id < 50; ++id) {
    Item* item = Make(items, id);
    item->Enter(&deps);
    model.push_back(item);
  }
  std::mt19937 rnd(3);
  while (!model.empty()) {
    for (size_t i = 0; i < model.size(); i += 1 + rnd() % 3) ASSERT_EQ(deps.GetItem(static_cast<int>(i)), model[i]);
    std::vector<int> wrong(2, 0);
    std::vector<std::thread> readers;
    for (size_t t = 0; t < wrong.size(); ++t)
      readers.emplace_back([&, t] {
        for (size_t i = t; i < model.size(); i += 2) wrong[t] += deps.GetItem(static_cast<int>(i)) != model[i];
      });
    for (std::thread& reader : readers) reader.join();
    ASSERT_EQ(wrong, std::vector<int>(2, 0));
    size_t victim = rnd() % model.size();
    deps.Remove(model[victim]);
    model.erase(model.begin() + static_cast<long>(victim));
    ASSERT_EQ(deps.Count(), static_cast<int>(model.size()));
    if (!model.empty()) {
      ASSERT_EQ(deps.GetItem(static_cast<int>(model.size()) - 1), model.back());
    }
  }
}

TEST(ItemRef, KnowsWhenItsItemIsGone) {
  List list;
  Item* a = Make(list, 1);
  TItemRef<Item> ref(a);
  TItemRef<Item> copy = ref;
  EXPECT_EQ(ref.Get(), a);
  EXPECT_TRUE(copy.SameAs(ref));
  a->Delete();
  EXPECT_EQ(ref.Get(), nullptr);
  EXPECT_FALSE(copy);
  EXPECT_EQ(TItemRef<Item>().Get(), nullptr);
}

// A list window appends what was added at the end and refills after anything else.
TEST(PoolItemList, AddingAtTheEndIsAChangeButNoEdit) {
  List list;
  Make(list, 1);
  const uint64_t changes = list.Changes(), edits = list.Edits();
  Item* second = Make(list, 2);
  EXPECT_NE(list.Changes(), changes);
  EXPECT_EQ(list.Edits(), edits);
  list.ResetView();
  EXPECT_NE(list.Edits(), edits);
  const uint64_t narrowed = list.Edits();
  second->Delete();
  EXPECT_NE(list.Edits(), narrowed);
}
