#include "KeptThreads.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace qel {
namespace {

class TKeptThread {
public:
  TKeptThread() : FThread([this] { Loop(); }) {}
  ~TKeptThread() {
    {
      std::lock_guard<std::mutex> lock(FLock);
      FStop = true;
    }
    FWake.notify_one();
    FThread.join();
  }
  void Post(std::function<void()> job) {
    {
      std::lock_guard<std::mutex> lock(FLock);
      FJobs.push_back(std::move(job));
    }
    FWake.notify_one();
  }

private:
  void Loop() {
    std::unique_lock<std::mutex> lock(FLock);
    for (;;) {
      FWake.wait(lock, [this] { return FStop || !FJobs.empty(); });
      if (FJobs.empty()) return;
      std::function<void()> job = std::move(FJobs.front());
      FJobs.pop_front();
      lock.unlock();
      job();
      lock.lock();
    }
  }
  std::mutex FLock;
  std::condition_variable FWake;
  std::deque<std::function<void()>> FJobs;
  bool FStop = false;
  std::thread FThread; // last: started once the members above are made
};

std::mutex gSlotsLock;
std::vector<std::unique_ptr<TKeptThread>> gSlots; // joined at the end of the process

} // namespace

bool PostToKeptThread(size_t slot, std::function<void()> job) {
  TKeptThread* thread = nullptr;
  {
    std::lock_guard<std::mutex> lock(gSlotsLock);
    if (gSlots.size() <= slot) gSlots.resize(slot + 1);
    if (!gSlots[slot]) {
      try {
        gSlots[slot] = std::make_unique<TKeptThread>();
      } catch (const std::system_error&) {
        return false;
      }
    }
    thread = gSlots[slot].get();
  }
  thread->Post(std::move(job));
  return true;
}

} // namespace qel
