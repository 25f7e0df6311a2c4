#include "PartRead.h"

#include "DataLines.h"
#include "Pools.h"
#include "RelationShip.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>

namespace qel {
namespace {

constexpr size_t kPartBytes = 256 * 1024;

// The bytes cut after line ends into parts of about kPartBytes. (The end-of-file mark is
// looked for by the readers of the parts.)
std::vector<std::string_view> CutIntoParts(std::string_view bytes) {
  std::vector<std::string_view> parts;
  while (!bytes.empty()) {
    size_t end = bytes.size() <= kPartBytes ? std::string_view::npos : bytes.find('\n', kPartBytes);
    end = end == std::string_view::npos ? bytes.size() : end + 1;
    parts.push_back(bytes.substr(0, end));
    bytes.remove_prefix(end);
  }
  return parts;
}

// Lets the calling thread's heap grow in one step before the many small allocations of a
// read: the C library grows a thread's heap by the page, and each step takes the process's
// memory-map lock that the page faults of the other threads wait for. A large block is
// mapped on its own, but once such a block is freed the library takes blocks up to its size
// from the heap (up to 32 MB), so the second one grows the heap; freed, it stays there.
void PrepareHeap(size_t bytes) {
  bytes = std::min<size_t>(bytes, 32 << 20);
  for (int i = 0; i < 2; ++i) {
    void* volatile block = std::malloc(bytes); // volatile: the pair must not be optimised away
    std::free(block);
  }
}

// Runs job(0) .. job(count - 1) on up to eight threads, the calling one among them, each
// thread taking the next job not yet taken; start runs first on each thread. Each job must
// be free to run beside every other.
void RunJobs(size_t count, const std::function<void(size_t)>& job, const std::function<void()>& start = {}) {
  std::atomic<size_t> next{0};
  auto work = [&] {
    if (start) start();
    for (size_t i; (i = next.fetch_add(1)) < count;) job(i);
  };
  const size_t threads = std::min<size_t>({count, std::max(1u, std::thread::hardware_concurrency()), 8});
  std::vector<std::thread> helpers;
  for (size_t k = 1; k < threads; ++k) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break; // no more threads: the ones running take the rest
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
}

} // namespace

TPartRead::TPartRead(TPool* pool, std::string_view bytes) : FPool(pool), FBytes(bytes) {
  for (std::string_view part : CutIntoParts(bytes)) FParts.push_back(TPart{part, {}, {}, 0});
}

TPartRead::~TPartRead() {
  // The items taken (the first ones) belong to their pools now.
  size_t taken = FTaken ? FItems.size() : 0;
  for (const TPart& part : FParts)
    for (TPoolItem* item : part.Items) {
      if (taken > 0) {
        --taken;
        continue;
      }
      delete item;
    }
}

void TPartRead::Read(TPart& part) {
  part.OneRecordALine = FPool->IsOneRecordALine(part.Bytes);
  if (!part.OneRecordALine) return;
  TLineReader reader(part.Bytes);
  part.EndOfFile = reader.EndMarked();
  try {
    while (!reader.Eof()) {
      std::unique_ptr<TPoolItem> item(FPool->ReadLineItem(reader.ReadLine()));
      part.Items.push_back(item.get());
      item.release();
    }
  } catch (...) {
    part.Error = std::current_exception();
    part.ErrorLine = reader.LinesRead();
  }
}

void TPartRead::ReadAll(std::span<TPartRead* const> files) {
  std::vector<std::pair<TPartRead*, TPart*>> work;
  for (TPartRead* file : files)
    for (TPart& part : file->FParts) work.emplace_back(file, &part);
  size_t bytes = 0;
  for (auto& [file, part] : work) bytes += part->Bytes.size();
  // Items take up to about eight times the bytes of their lines (positions and links: small
  // lines, large items); room not used costs no memory, only addresses.
  const size_t heap = 8 * bytes / std::clamp<size_t>(work.size(), 1, 8);
  RunJobs(work.size(), [&work](size_t i) { work[i].first->Read(*work[i].second); }, [heap] { PrepareHeap(heap); });
  for (TPartRead* file : files) file->Collect();
}

void TPartRead::Collect() {
  size_t total = 0;
  for (const TPart& part : FParts) total += part.Items.size();
  FItems.reserve(total);
  for (const TPart& part : FParts) {
    FItems.insert(FItems.end(), part.Items.begin(), part.Items.end());
    if (part.Error) {
      const std::string_view before = FBytes.substr(0, static_cast<size_t>(part.Bytes.data() - FBytes.data()));
      FFailedLine = static_cast<int>(std::count(before.begin(), before.end(), '\n')) + part.ErrorLine;
      FError = part.Error;
    }
    if (!part.OneRecordALine) FOneRecordALine = false;
    if (part.Error || part.EndOfFile) break; // a part holding the end-of-file mark ends the file
  }
  // Each line's identifier is its place, as a reading line by line checks it; the items
  // from the first one that disagrees on are not taken.
  for (size_t i = 0; i < FItems.size(); ++i) {
    try {
      CheckPlace(FPool->ReadIdentifier(FItems[i]), static_cast<int32_t>(i));
    } catch (...) {
      FError = std::current_exception();
      FFailedLine = static_cast<int>(i) + 1;
      FItems.resize(i);
      break;
    }
  }
}

void TPartRead::Take() const {
  FPool->Reserve(FPool->AllCount() + static_cast<int>(FItems.size()));
  for (size_t i = 0; i < FItems.size(); ++i) {
    // Made on other threads: fetched ahead, the processor waits for many at once.
    if (i + 16 < FItems.size()) __builtin_prefetch(FItems[i + 16], 1);
    FPool->TakeLoaded(FItems[i]);
  }
}

void TPartRead::EnterLists(size_t kind) const {
  const std::vector<TPoolItem*>& items = FItems;
  TPool::TListsToEnter lists;
  auto list = [&](size_t i) {
    FPool->ListsToEnter(items[i], lists);
    return lists[kind];
  };
  // The lists lie all over memory: fetched some items ahead, the processor waits for many
  // at once.
  const size_t n = items.size();
  for (size_t i = 0; i < n; ++i) {
    if (i + 16 < n) __builtin_prefetch(items[i + 16]);
    if (i + 8 < n) __builtin_prefetch(list(i + 8), 1);
    if (i + 4 < n) list(i + 4)->PrefetchTail();
    list(i)->Enter(items[i]);
  }
}

void TPartRead::TakeAll(std::span<TPartRead* const> files) {
  if (files.empty()) return;
  // A job takes a file's items into its pool (kind -1) or enters them into one kind of list.
  // Entering lists waits on memory longer than taking: those jobs go first.
  std::vector<std::pair<TPartRead*, int>> jobs;
  for (TPartRead* file : files) {
    file->FTaken = true;
    TPool::TListsToEnter lists;
    const int kinds = file->FItems.empty() ? 0 : file->FPool->ListsToEnter(file->FItems.front(), lists);
    for (int kind = 0; kind < kinds; ++kind) jobs.emplace_back(file, kind);
  }
  for (TPartRead* file : files) jobs.emplace_back(file, -1);
  RunJobs(jobs.size(), [&jobs](size_t job) {
    const auto [file, kind] = jobs[job];
    if (kind < 0)
      file->Take();
    else
      file->EnterLists(size_t(kind));
  });
  ++TRelationShip::Changes;
}

} // namespace qel
