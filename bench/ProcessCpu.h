#pragma once
// The CPU time of all the process's threads, for benchmarks whose work runs on several threads:
// they report wall time (UseRealTime), and the library's CPU column counts the calling thread
// only. Shown as the counter "CPU ms all threads", per iteration.
#include <benchmark/benchmark.h>

#include <ctime>

namespace qel::bench {

inline double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Counts from its making to Report, leaving out what lies between Pause and Resume, which
// also pause and resume the benchmark's timing.
class TProcessCpu {
public:
  explicit TProcessCpu(benchmark::State& state) : FState(state), FStart(ProcessCpuSeconds()) {}
  void Pause() {
    FState.PauseTiming();
    FSpent += ProcessCpuSeconds() - FStart;
  }
  void Resume() {
    FStart = ProcessCpuSeconds();
    FState.ResumeTiming();
  }
  void Report() {
    FSpent += ProcessCpuSeconds() - FStart;
    FState.counters["CPU ms all threads"] = benchmark::Counter(FSpent * 1e3, benchmark::Counter::kAvgIterations);
  }

private:
  benchmark::State& FState;
  double FStart;
  double FSpent = 0;
};

} // namespace qel::bench
