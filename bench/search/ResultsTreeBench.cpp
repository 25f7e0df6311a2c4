// Building the search window's results tree for 100,000 hits, and exporting them.
#include "model/Container.h"
#include "search/ContainerSearch.h"
#include "search/SearchExport.h"
#include "search/TVEngine.h"

#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace qel;

constexpr int kNotes = 100000;
constexpr int kSheets = 200;

// Every note on one sheet; every tenth note with an attachment whose file does not exist.
TContainer& Project() {
  static std::unique_ptr<TContainer> project = [] {
    auto p = std::make_unique<TContainer>();
    TRelation relation;
    p->AddRelation(relation);
    for (int s = 0; s < kSheets; ++s) {
      TSheet sheet;
      sheet.Name = "Sheet " + std::to_string(s);
      p->AddSheet(sheet);
    }
    for (int i = 0; i < kNotes; ++i) {
      TNote record;
      record.Name = "Note " + std::to_string(i);
      TNoteItem* note = p->AddNote(record);
      p->PlaceNote(note, p->SheetPool->GetAllItem(i % kSheets), i % 5000, 10);
      if (i % 10 == 0) {
        TAttachment attachment;
        attachment.Note = note;
        attachment.Caption = "File " + std::to_string(i);
        attachment.Location = "/no/such/folder/" + std::to_string(i) + ".pdf";
        p->AddAttachment(attachment);
      }
    }
    return p;
  }();
  return *project;
}

// One search of the scope with no criterion (every item of its kinds is a hit), then the tree
// emptied and rebuilt per iteration, as the search window does.
void RefreshTree(benchmark::State& state, const char* scope, bool sheets, bool notes, bool attachments) {
  TContainer& project = Project();
  TContainerSearch search(&project);
  QTreeWidget tree;
  tree.resize(181, 400);
  tree.show();
  QList<QIcon> images(TTVEngine::kItemImages);
  TTVEngine engine(&project, &tree, &images);
  engine.ShowSheets = sheets;
  engine.ShowNotes = notes;
  engine.ShowAttachments = attachments;
  search.Search(scope);
  for (auto _ : state) {
    tree.clear();
    engine.Refresh();
    QApplication::processEvents(); // lays out and paints the shown tree
  }
  project.ClearFilters();
  state.counters["hits"] = static_cast<double>(tree.topLevelItem(0)->child(0)->childCount());
  state.counters["hits/s"] = benchmark::Counter(kNotes, benchmark::Counter::kIsIterationInvariantRate);
}

// 100,000 notes under Notes, with their 10,000 attachments below them.
void BM_RefreshNotes(benchmark::State& state) { RefreshTree(state, "Notes", false, true, false); }
BENCHMARK(BM_RefreshNotes)->Unit(benchmark::kMillisecond);

// 200 sheets with 500 notes each under Sheets.
void BM_RefreshSheets(benchmark::State& state) { RefreshTree(state, "Sheets", true, false, false); }
BENCHMARK(BM_RefreshSheets)->Unit(benchmark::kMillisecond);

// The big export of every note, sheet and attachment, built in memory.
void BM_ExportAll(benchmark::State& state) {
  TContainer& project = Project();
  for (auto _ : state) {
    TSearchExport exported(project, true);
    benchmark::DoNotOptimize(exported.Files().size());
  }
  state.counters["notes/s"] = benchmark::Counter(kNotes, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
