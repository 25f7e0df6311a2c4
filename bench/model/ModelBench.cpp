// Load, save, import and deletion of generated projects, against a baseline that only reads
// the same files and splits them into lines and fields, on one thread. Load and baseline run
// also each in a fresh process (this program started again for one run), as a user's load
// does; there the baseline runs twice: reading the bytes into memory, and through TFileBytes
// as the load does. Ten saves in a row in a fresh process print the resident memory after each. Save is set against writing the same bytes to six files with the same calls.
// Prints the ratios.
#include "GeneratedProject.h"
#include "ProcessCpu.h"
#include "model/Container.h"
#include "platform/FileNames.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace qel;

namespace {

std::string ProjectFile(int notes) {
  static std::map<int, std::string> made;
  auto found = made.find(notes);
  if (found != made.end()) return found->second;
  auto dir = std::filesystem::temp_directory_path() / ("qel-bench-" + std::to_string(notes));
  std::filesystem::create_directories(dir);
  std::string file = dir.string() + "/project.qel";
  bench::TProjectShape shape;
  shape.Notes = notes;
  shape.AttachmentEvery = 2;
  shape.LinkNeighbours = true;
  shape.Text = bench::RtfBody;
  bench::GenerateProject(shape)->SaveDataFiles(file);
  return made[notes] = file;
}

const char* const kSuffixes[] = {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"};

// Reads the six files (copied into memory, or mapped) and splits every line into fields of
// type Field; the field count.
template <class Field> size_t SplitFiles(const std::string& file, bool mapped = false) {
  std::vector<Field> fields;
  size_t count = 0;
  for (const char* suffix : kSuffixes) {
    const std::string name = TContainer::DataFileName(file, suffix);
    std::string copy;
    std::unique_ptr<TFileBytes> map;
    if (mapped)
      map = std::make_unique<TFileBytes>(name);
    else
      copy = ReadFileBytes(name);
    std::string_view rest = mapped ? map->View() : std::string_view(copy);
    while (!rest.empty()) {
      size_t end = rest.find('\n');
      std::string_view line = rest.substr(0, end);
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
      fields.clear();
      for (size_t sep; (sep = line.find('\xFF')) != std::string_view::npos; line.remove_prefix(sep + 1))
        fields.emplace_back(line.substr(0, sep));
      fields.emplace_back(line);
      count += fields.size();
    }
  }
  return count;
}

template <class Field> void ReadAndSplit(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(SplitFiles<Field>(file));
}

// Fields as views into the file's bytes: the least any reader does.
void BM_ReadAndSplit(benchmark::State& state) { ReadAndSplit<std::string_view>(state); }
// Fields copied into strings, as a reader that keeps them must.
void BM_ReadAndSplitToStrings(benchmark::State& state) { ReadAndSplit<std::string>(state); }

void BM_Load(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  bench::TProcessCpu cpu(state);
  for (auto _ : state) {
    auto c = std::make_unique<TContainer>();
    c->Load(file);
    benchmark::DoNotOptimize(c->NoteCount());
    cpu.Pause();
    c.reset();
    cpu.Resume();
  }
  cpu.Report();
}

// ---- in a fresh process

std::string gSelf; // this program's path

// Resident memory of this process in MB.
double ResidentMB() {
  long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

constexpr int kSavesInARow = 10;

// A child run that loads the project and saves it ten times, printing the resident memory
// after the load and after each save.
int RunSaves(const std::string& file) {
  auto* c = new TContainer; // left to the end of the process, as the program keeps it
  c->Load(file);
  std::printf("%.1f\n", ResidentMB());
  const std::string out = ExtractFilePath(file) + "saved-again.qel";
  for (int i = 0; i < kSavesInARow; ++i) {
    c->Save(out);
    std::printf("%.1f\n", ResidentMB());
  }
  std::fflush(stdout);
  std::_Exit(0);
}

// What a child run does: one load or one read-and-split, timed inside the child.
int RunChild(const std::string& what, const std::string& file) {
  if (what == "saves") return RunSaves(file);
  auto start = std::chrono::steady_clock::now();
  if (what == "load") {
    auto* c = new TContainer; // left to the end of the process, as the program keeps it
    c->Load(file);
    benchmark::DoNotOptimize(c->NoteCount());
  } else {
    benchmark::DoNotOptimize(SplitFiles<std::string_view>(file, what == "split-mapped"));
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.9f %ld %ld\n", seconds, usage.ru_minflt, usage.ru_maxrss);
  std::fflush(stdout);
  std::_Exit(0);
}

// Starts this program for one run of what and reports its time as the iteration's.
void FreshProcess(benchmark::State& state, const char* what) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  std::string command = "'" + gSelf + "' --child=" + what + " '" + file + "'";
  double faults = 0, rss = 0;
  for (auto _ : state) {
    FILE* child = popen(command.c_str(), "r");
    double seconds = 0;
    long minor = 0, maxrss = 0;
    if (!child || std::fscanf(child, "%lf %ld %ld", &seconds, &minor, &maxrss) != 3) {
      if (child) pclose(child);
      state.SkipWithError("the child run failed");
      return;
    }
    pclose(child);
    state.SetIterationTime(seconds);
    faults += double(minor);
    rss = std::max(rss, double(maxrss) / 1024);
  }
  state.counters["page faults"] = benchmark::Counter(faults, benchmark::Counter::kAvgIterations);
  state.counters["peak RSS MB"] = rss;
}

void BM_FreshLoad(benchmark::State& state) { FreshProcess(state, "load"); }
void BM_FreshReadAndSplit(benchmark::State& state) { FreshProcess(state, "split"); }
void BM_FreshReadAndSplitMapped(benchmark::State& state) { FreshProcess(state, "split-mapped"); }

// ---- save

void BM_Save(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  TContainer c;
  c.Load(file);
  std::string out = ExtractFilePath(file) + "saved.qel";
  bench::TProcessCpu cpu(state);
  for (auto _ : state) c.SaveDataFiles(out);
  cpu.Report();
}

// The same bytes as the save writes, already made, written as the save writes them: six
// files under temporary names, each synced, then renamed.
void BM_RawWrite(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  std::vector<std::pair<std::string, std::string>> files; // name, bytes
  for (const char* suffix : kSuffixes) {
    std::string name = TContainer::DataFileName(ExtractFilePath(file) + "raw.qel", suffix);
    files.emplace_back(name, ReadFileBytes(TContainer::DataFileName(file, suffix)));
  }
  for (auto _ : state) {
    for (auto& [name, bytes] : files) WriteFileBytes(name + ".saving", bytes);
    for (auto& [name, bytes] : files) RenameFile(name + ".saving", name);
  }
}

void BM_Import(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  bench::TProcessCpu cpu(state);
  for (auto _ : state) {
    cpu.Pause();
    auto c = std::make_unique<TContainer>();
    c->Load(file);
    cpu.Resume();
    c->Import(file, c->ImportOffsets());
    cpu.Pause();
    c.reset();
    cpu.Resume();
  }
  cpu.Report();
}

void BM_DeleteTenthOfTheNotes(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto c = std::make_unique<TContainer>();
    c->Load(file);
    std::vector<TNoteItem*> victims;
    for (int i = 0; i < c->NoteCount(); i += 10) victims.push_back(c->GetNote(i));
    state.ResumeTiming();
    for (TNoteItem* note : victims) note->Delete();
    state.PauseTiming();
    c.reset();
    state.ResumeTiming();
  }
}

// Ten saves in a row of one project in a fresh process: the resident memory after each stays
// near the one after the first (a save's memory comes back).
void BM_SavesInARowResident(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  std::string command = "'" + gSelf + "' --child=saves '" + file + "'";
  for (auto _ : state) {
    FILE* child = popen(command.c_str(), "r");
    std::vector<double> resident(kSavesInARow + 1);
    bool read = child != nullptr;
    for (double& mb : resident) read = read && std::fscanf(child, "%lf", &mb) == 1;
    if (child) pclose(child);
    if (!read) {
      state.SkipWithError("the child run failed");
      return;
    }
    std::printf("resident MB after the load: %.1f; after each save:", resident[0]);
    for (int i = 1; i <= kSavesInARow; ++i) std::printf(" %.1f", resident[size_t(i)]);
    std::printf("\n");
    state.counters["RSS MB after save 1"] = resident[1];
    state.counters["RSS MB after save 10"] = resident[kSavesInARow];
  }
}

#define QEL_SIZES ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
// Load, import and save run on several threads: wall time, with the CPU of all threads beside.
#define QEL_THREADED_SIZES QEL_SIZES->UseRealTime()
BENCHMARK(BM_SavesInARowResident)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndSplit) QEL_SIZES;
BENCHMARK(BM_ReadAndSplitToStrings) QEL_SIZES;
BENCHMARK(BM_Load) QEL_THREADED_SIZES;
BENCHMARK(BM_FreshReadAndSplit)->Arg(100000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreshReadAndSplitMapped)->Arg(100000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreshLoad)->Arg(100000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save) QEL_THREADED_SIZES;
BENCHMARK(BM_RawWrite) QEL_SIZES;
BENCHMARK(BM_Import) QEL_THREADED_SIZES;
BENCHMARK(BM_DeleteTenthOfTheNotes) QEL_SIZES;

// Keeps each run's time per iteration to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) Times[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> Times;
};

} // namespace

void PrintRatio(const RatioReporter& reporter, const std::string& what, const std::string& over,
                const std::string& arg) {
  auto a = reporter.Times.find(what + arg), b = reporter.Times.find(over + arg);
  if (a == reporter.Times.end() || b == reporter.Times.end()) return;
  std::printf("%s / %s%s: %.2f\n", what.c_str(), over.c_str(), arg.c_str(), a->second / b->second);
}

int main(int argc, char** argv) {
  if (argc == 3 && std::strncmp(argv[1], "--child=", 8) == 0) return RunChild(argv[1] + 8, argv[2]);
  gSelf = std::filesystem::canonical("/proc/self/exe").string();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (int n : {1000, 10000, 100000}) {
    std::string arg = "/" + std::to_string(n);
    auto load = reporter.Times.find("BM_Load" + arg);
    auto views = reporter.Times.find("BM_ReadAndSplit" + arg);
    auto strings = reporter.Times.find("BM_ReadAndSplitToStrings" + arg);
    if (load == reporter.Times.end() || views == reporter.Times.end() || strings == reporter.Times.end()) continue;
    std::printf("load / read-and-split baseline, %6d notes: %.2f (fields as views), %.2f (fields as strings)\n", n,
                load->second / views->second, load->second / strings->second);
  }
  for (int n : {1000, 10000, 100000}) PrintRatio(reporter, "BM_Save", "BM_RawWrite", "/" + std::to_string(n));
  PrintRatio(reporter, "BM_FreshLoad", "BM_FreshReadAndSplit", "/100000/iterations:5/manual_time");
  PrintRatio(reporter, "BM_FreshLoad", "BM_FreshReadAndSplitMapped", "/100000/iterations:5/manual_time");
  benchmark::Shutdown();
  return 0;
}
