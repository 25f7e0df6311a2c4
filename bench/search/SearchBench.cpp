// Search over a generated project of 100,000 notes, each with a few hundred bytes of rich text;
// the results tree of 100,000 hits, and their export.
#include "GeneratedProject.h"
#include "ProcessCpu.h"
#include "model/Container.h"
#include "platform/RtfText.h"
#include "search/ContainerSearch.h"
#include "search/SearchExport.h"
#include "windows/search/TVEngine.h"

#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace qel;

constexpr int kNotes = 100000;
constexpr int kSheets = 200;

std::string NoteText(int i) {
  std::string rare = i % 100 == 0 ? "zebra" : "horse";
  return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
         "{\\colortbl ;\\red255\\green0\\blue0;}\r\n{\\*\\generator Msftedit 5.41.21.2510;}"
         "\\viewkind4\\uc1\\pard\\lang1031\\f0\\fs20 Note " +
         std::to_string(i) + ": a few words on the m\\'e4rket, the \\b plans\\b0  for next year and the " + rare +
         " in the stable.\\par\r\nA second paragraph with \\cf1 coloured\\cf0  text and a \\u8364? sign.\\par\r\n}\r\n";
}

// Built once: notes assigned to sheets, one attachment on every tenth note.
TContainer& Project() {
  static std::unique_ptr<TContainer> project = [] {
    bench::TProjectShape shape;
    shape.Notes = kNotes;
    shape.Sheets = kSheets;
    shape.Place = false;
    shape.Text = NoteText;
    return bench::GenerateProject(shape);
  }();
  return *project;
}

// Runs the search once per iteration and reports the note hits of the last run. The notes are
// tested on several threads: wall time, with the CPU of all threads beside.
void RunSearch(benchmark::State& state, TContainerSearch& search, const char* scope) {
  TContainer& project = *search.Container;
  bench::TProcessCpu cpu(state);
  for (auto _ : state) {
    search.Search(scope);
    benchmark::DoNotOptimize(project.NoteCount());
  }
  cpu.Report();
  state.counters["hits"] = project.NotePool->ViewCount();
  state.counters["notes/s"] = benchmark::Counter(kNotes, benchmark::Counter::kIsIterationInvariantRate);
  project.ClearFilters();
}

// One word in the bodies of all notes, case ignored; 1% of the notes hold it.
void BM_MemoSearch(benchmark::State& state) {
  TContainerSearch search(&Project());
  search.SetNoteMemo1("ZEBRA");
  search.SetNoteMemoActive1(true);
  RunSearch(state, search, "Notes");
}
BENCHMARK(BM_MemoSearch)->UseRealTime()->Unit(benchmark::kMillisecond);

// Two patterns in all six text groups: notes, sheets and attachments.
void BM_GlobalSearch(benchmark::State& state) {
  TContainerSearch search(&Project());
  search.SetNoteCaption1("zebra 777");
  search.SetNoteMemo1("zebra 777");
  search.SetNoteSheetCaption1("zebra 777");
  search.SetSheetCaption1("zebra 777");
  search.SetAttachmentCaption1("zebra 777");
  search.SetAttachmentFileName1("zebra 777");
  search.SetNoteCaption2("stable");
  search.SetNoteMemo2("stable");
  search.SetNoteSheetCaption2("stable");
  search.SetSheetCaption2("stable");
  search.SetAttachmentCaption2("stable");
  search.SetAttachmentFileName2("stable");
  search.SetNoteCaptionActive1(true);
  search.SetNoteMemoActive1(true);
  search.SetNoteSheetCaptionActive1(true);
  search.SetSheetCaptionActive1(true);
  search.SetAttachmentCaptionActive1(true);
  search.SetAttachmentFileNameActive1(true);
  RunSearch(state, search, "Global");
}
BENCHMARK(BM_GlobalSearch)->UseRealTime()->Unit(benchmark::kMillisecond);

// The plain text of all bodies alone, for comparison: Windows-1252, and the Unicode text the
// search reads.
template <void (*ToPlain)(std::string_view, std::string&)> void PlainTextOfAll(benchmark::State& state) {
  TContainer& project = Project();
  std::string out;
  int64_t bytes = 0;
  for (auto _ : state) {
    for (int i = 0; i < kNotes; ++i) {
      const std::string& text = project.NotePool->GetAllItem(i)->Data.Text;
      ToPlain(text, out);
      bytes += static_cast<int64_t>(text.size());
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(bytes);
}
void BM_RtfToPlainText(benchmark::State& state) { PlainTextOfAll<RtfToPlainText>(state); }
BENCHMARK(BM_RtfToPlainText)->Unit(benchmark::kMillisecond);
void BM_RtfToPlainUtf8(benchmark::State& state) { PlainTextOfAll<RtfToPlainUtf8>(state); }
BENCHMARK(BM_RtfToPlainUtf8)->Unit(benchmark::kMillisecond);

// One search of the scope with no criterion (every item of its kinds is a hit), then the shown
// results tree emptied and rebuilt per iteration, as the search window does.
void RefreshTree(benchmark::State& state, const char* scope, bool sheets, bool notes) {
  TContainer& project = Project();
  TContainerSearch search(&project);
  QTreeWidget tree;
  tree.resize(181, 400);
  tree.show();
  QList<QIcon> images(TTVEngine::kItemImages);
  TTVEngine engine(&project, &tree, &images);
  engine.ShowSheets = sheets;
  engine.ShowNotes = notes;
  engine.ShowAttachments = false;
  search.Search(scope);
  for (auto _ : state) {
    tree.clear();
    engine.Refresh();
    QApplication::processEvents(); // lays out and paints the tree
  }
  project.ClearFilters();
  state.counters["hits"] = static_cast<double>(tree.topLevelItem(0)->child(0)->childCount());
  state.counters["notes/s"] = benchmark::Counter(kNotes, benchmark::Counter::kIsIterationInvariantRate);
}

// 100,000 notes under Notes, with their 10,000 attachments below them.
void BM_ResultsTreeNotes(benchmark::State& state) { RefreshTree(state, "Notes", false, true); }
BENCHMARK(BM_ResultsTreeNotes)->Unit(benchmark::kMillisecond);

// 200 sheets with 500 notes each under Sheets.
void BM_ResultsTreeSheets(benchmark::State& state) { RefreshTree(state, "Sheets", true, false); }
BENCHMARK(BM_ResultsTreeSheets)->Unit(benchmark::kMillisecond);

// The big export of every note, sheet and attachment, built in memory.
void BM_ExportAll(benchmark::State& state) {
  for (auto _ : state) {
    TSearchExport exported(Project(), true);
    benchmark::DoNotOptimize(exported.Files().size());
  }
  state.counters["notes/s"] = benchmark::Counter(kNotes, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond);

} // namespace

// The results tree needs a GUI application; the offscreen platform serves.
