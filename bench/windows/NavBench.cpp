// The navigator's tree built for generated projects of 1,000 to 100,000 notes (a sheet per
// hundred notes, every note placed on one sheet and every tenth also on a second, an
// attachment on every tenth note), and the small changes made while it stands.
#include "GeneratedProject.h"
#include "model/Container.h"
#include "windows/NavTree.h"
#include "windows/NotePoolProp.h"

#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace qel;

namespace {

std::unique_ptr<TContainer> Generate(int notes) {
  bench::TProjectShape shape;
  shape.Notes = notes;
  shape.SecondSheet = true;
  return bench::GenerateProject(shape);
}

TContainer& Project(int notes) {
  static std::map<int, std::unique_ptr<TContainer>> projects;
  auto& project = projects[notes];
  if (!project) project = Generate(notes);
  return *project;
}

// Root, branches, sheets, positions, notes, attachments under notes and under their branch.
int64_t NodeCount(const TContainer& project) {
  return 4 + project.SheetCount() + project.PositionCount() + project.NoteCount() + 2 * project.AttachmentCount();
}

// Binding a project: the old tree is cleared (its nodes unregistered) and the new one built.
void BM_BuildTree(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  QTreeWidget view;
  view.resize(250, 800);
  view.show();
  TNavTree tree;
  for (auto _ : state) {
    tree.SetView(&project, &view);
    QApplication::processEvents(); // the one repaint
  }
  state.SetItemsProcessed(state.iterations() * NodeCount(project));
  tree.SetView(nullptr, &view);
}
BENCHMARK(BM_BuildTree)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A note made, renamed and deleted while the whole tree stands.
void BM_NoteInBuiltTree(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  QTreeWidget view;
  view.show();
  TNavTree tree;
  tree.SetView(&project, &view);
  for (auto _ : state) {
    TNoteItem* note = project.AddNote(TNote());
    tree.AddNote(note);
    TPos pos;
    pos.Note = note;
    pos.Sheet = project.GetSheet(0);
    tree.AddPosition(project.AddPosition(pos));
    note->SetName("Renamed");
    note->Delete();
  }
  tree.SetView(nullptr, &view);
}
BENCHMARK(BM_NoteInBuiltTree)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The list of every note, as the Notes branch shows it.
void BM_NoteList(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  TNotePoolPrp list;
  for (auto _ : state) list.ShowItem(project.NotePool.get());
  state.SetItemsProcessed(state.iterations() * project.NoteCount());
}
BENCHMARK(BM_NoteList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

