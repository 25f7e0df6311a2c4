// Load, save, import and deletion of generated projects, against a baseline that only reads
// the same files and splits them into lines and fields. Prints load time / baseline.
#include "GeneratedProject.h"
#include "model/Container.h"
#include "platform/FileNames.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace qel;

namespace {

std::string RtfBody(int i) {
  std::string text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs20 Note ";
  text += std::to_string(i);
  text += " holds a few lines of text\\par about its subject, with \\b bold\\b0  and \\i italic\\i0  words,\\par";
  text += " a second paragraph that is long enough to look like a real note's body text\\par\r\n}";
  return text;
}

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
  shape.Text = RtfBody;
  bench::GenerateProject(shape)->SaveDataFiles(file);
  return made[notes] = file;
}

const char* const kSuffixes[] = {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"};

// Reads the six files and splits every line into fields of type Field.
template <class Field> void ReadAndSplit(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  std::vector<Field> fields;
  for (auto _ : state) {
    size_t count = 0;
    for (const char* suffix : kSuffixes) {
      std::string bytes = ReadFileBytes(TContainer::DataFileName(file, suffix));
      std::string_view rest(bytes);
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
    benchmark::DoNotOptimize(count);
  }
}

// Fields as views into the file's bytes: the least any reader does.
void BM_ReadAndSplit(benchmark::State& state) { ReadAndSplit<std::string_view>(state); }
// Fields copied into strings, as a reader that keeps them must.
void BM_ReadAndSplitToStrings(benchmark::State& state) { ReadAndSplit<std::string>(state); }

void BM_Load(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto c = std::make_unique<TContainer>();
    c->Load(file);
    benchmark::DoNotOptimize(c->NoteCount());
    state.PauseTiming();
    c.reset();
    state.ResumeTiming();
  }
}

void BM_Save(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  TContainer c;
  c.Load(file);
  std::string out = ExtractFilePath(file) + "saved.qel";
  for (auto _ : state) c.SaveDataFiles(out);
}

void BM_Import(benchmark::State& state) {
  std::string file = ProjectFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto c = std::make_unique<TContainer>();
    c->Load(file);
    state.ResumeTiming();
    c->Import(file, c->ImportOffsets());
    state.PauseTiming();
    c.reset();
    state.ResumeTiming();
  }
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

#define QEL_SIZES ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_ReadAndSplit) QEL_SIZES;
BENCHMARK(BM_ReadAndSplitToStrings) QEL_SIZES;
BENCHMARK(BM_Load) QEL_SIZES;
BENCHMARK(BM_Save) QEL_SIZES;
BENCHMARK(BM_Import) QEL_SIZES;
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

int main(int argc, char** argv) {
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
  benchmark::Shutdown();
  return 0;
}
