#pragma once
// Threads kept for the life of the process, each known by its slot. The C library gives each
// thread a heap of its own and keeps what was freed there for reuse: work that always runs on
// the same slot reuses that memory, where a new thread each time would take a new heap and
// the process would grow with every run.
#include <cstddef>
#include <functional>
#include <future>
#include <memory>

namespace qel {

// The slots of a save: a thread for each of the six data files, then the notes file's parts.
constexpr size_t kSaveFileSlots = 0;
constexpr size_t kNotePartSlots = 6;

// Queues the job on the slot's thread (made when first needed); false when no thread could
// be made.
bool PostToKeptThread(size_t slot, std::function<void()> job);

// Runs f on the slot's thread (here when there is none); the future gives its result or
// exception. Nothing waits for the job when the future is dropped: the caller waits.
template <class F> auto RunOnKeptThread(size_t slot, F f) -> std::future<decltype(f())> {
  auto task = std::make_shared<std::packaged_task<decltype(f())()>>(std::move(f));
  auto result = task->get_future();
  if (!PostToKeptThread(slot, [task] { (*task)(); })) (*task)();
  return result;
}

// Waits for every future that is still valid: the jobs read what the caller owns.
template <class Futures> struct TWaitForAll {
  Futures& Jobs;
  ~TWaitForAll() {
    for (auto& job : Jobs)
      if (job.valid()) job.wait();
  }
};

} // namespace qel
