#include "PartRead.h"

#include "DataLines.h"
#include "Pools.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <thread>

namespace qel {
namespace {

constexpr size_t kPartBytes = 256 * 1024;

// The bytes up to the end-of-file mark cut after line ends into parts of about kPartBytes.
std::vector<std::string_view> CutIntoParts(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find(EndOfFile));
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

} // namespace

TPartRead::TPartRead(TPool* pool, std::string_view bytes) : FPool(pool), FBytes(bytes) {
  for (std::string_view part : CutIntoParts(bytes)) FParts.push_back(TPart{part, {}, {}, 0, 0});
}

TPartRead::~TPartRead() {
  for (TPart& part : FParts)
    for (size_t i = part.Taken; i < part.Items.size(); ++i) delete part.Items[i];
}

void TPartRead::Read(TPart& part) {
  TLineReader reader(part.Bytes);
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
  std::atomic<size_t> next{0};
  const size_t threads = std::min<size_t>({work.size(), std::max(1u, std::thread::hardware_concurrency()), 8});
  // Items take up to about eight times the bytes of their lines (positions and links: small
  // lines, large items); room not used costs no memory, only addresses.
  auto run = [&work, &next, heap = 8 * bytes / std::max<size_t>(threads, 1)] {
    PrepareHeap(heap);
    for (size_t i; (i = next.fetch_add(1)) < work.size();) work[i].first->Read(*work[i].second);
  };
  std::vector<std::thread> helpers;
  for (size_t k = 1; k < threads; ++k) {
    try {
      helpers.emplace_back(run);
    } catch (const std::system_error&) {
      break; // no more threads: fewer read
    }
  }
  run();
  for (std::thread& helper : helpers) helper.join();
}

int TPartRead::LineOf(const TPart& part, int lineInPart) const {
  std::string_view before = FBytes.substr(0, static_cast<size_t>(part.Bytes.data() - FBytes.data()));
  return static_cast<int>(std::count(before.begin(), before.end(), '\n')) + lineInPart;
}

void TPartRead::TakeAll() {
  size_t total = 0;
  for (const TPart& part : FParts) total += part.Items.size();
  FPool->Reserve(FPool->AllCount() + static_cast<int>(total));
  for (TPart& part : FParts) {
    // The items and the lists they enter lie all over memory: fetching them some items
    // ahead lets the processor wait for many at once.
    const std::vector<TPoolItem*>& items = part.Items;
    for (; part.Taken < items.size(); ++part.Taken) {
      const size_t i = part.Taken;
      if (i + 24 < items.size()) __builtin_prefetch(items[i + 24], 1);
      if (i + 16 < items.size()) FPool->PrefetchLineItem(items[i + 16], 0);
      if (i + 8 < items.size()) FPool->PrefetchLineItem(items[i + 8], 1);
      try {
        FPool->TakeLineItem(part.Items[part.Taken]);
      } catch (...) {
        FFailedLine = LineOf(part, static_cast<int>(part.Taken) + 1);
        throw;
      }
    }
    if (part.Error) {
      FFailedLine = LineOf(part, part.ErrorLine);
      std::rethrow_exception(part.Error);
    }
  }
}

} // namespace qel
