// The navigator's tree and window for generated projects of 1,000 to 100,000 notes (a sheet
// per hundred notes, every note placed on one sheet and every tenth also on a second, an
// attachment on every tenth note): opening, expanding, and the changes made while it stands.
#include "GeneratedProject.h"
#include "model/Container.h"
#include "windows/sheet/DragObjects.h"
#include "windows/nav/NavTree.h"
#include "windows/nav/Navigator.h"
#include "windows/nav/NotePoolProp.h"

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

// Binding a project: the old tree is cleared (its nodes unregistered) and the root and its
// branches are made; nothing below them until a branch is opened.
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
  tree.SetView(nullptr, &view);
}
BENCHMARK(BM_BuildTree)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Opening the Notes branch: a node per note, registered, laid out and painted.
void BM_ExpandNotes(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  QTreeWidget view;
  view.setUniformRowHeights(true); // as the navigator's tree
  view.resize(250, 800);
  view.show();
  TNavTree tree;
  for (auto _ : state) {
    state.PauseTiming();
    tree.SetView(&project, &view);
    QApplication::processEvents();
    state.ResumeTiming();
    tree.ExpandNode(tree.NotesNode);
    tree.NotesNode->setExpanded(true);
    QApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * project.NoteCount());
  tree.SetView(nullptr, &view);
}
BENCHMARK(BM_ExpandNotes)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Every node made at once, as a user who opened every branch and every node sees the tree.
void BM_FillAll(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  QTreeWidget view;
  view.show();
  TNavTree tree;
  for (auto _ : state) {
    state.PauseTiming();
    tree.SetView(&project, &view);
    state.ResumeTiming();
    tree.FillAll();
    QApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * NodeCount(project));
  tree.SetView(nullptr, &view);
}
BENCHMARK(BM_FillAll)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A note made, renamed and deleted while the whole tree stands.
void BM_NoteInBuiltTree(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  QTreeWidget view;
  view.show();
  TNavTree tree;
  tree.SetView(&project, &view);
  tree.FillAll();
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

// The navigator window told of new items as the main window tells it.
class TNavigatorHost : public IContainerHost {
public:
  explicit TNavigatorHost(TNavForm& navigator) : FNavigator(navigator) {}
  void RefreshNavigators(TPoolItem* item) override { FNavigator.RefreshItem(item, false); }
  void ShowErrorBox(const std::string&) override {}
  void ShowMessage(const std::string&) override {}

private:
  TNavForm& FNavigator;
};

// The navigator window shown with the project bound, its host in place while it lives.
struct TShownNavigator {
  explicit TShownNavigator(TContainer& project) : Project(project), Host(Navigator) {
    Navigator.resize(900, 700);
    Navigator.show();
    Project.Host = &Host;
    Navigator.SetContainer(&Project);
    QApplication::processEvents();
  }
  ~TShownNavigator() {
    Navigator.SetContainer(nullptr);
    Project.Host = nullptr;
  }
  void Select(QTreeWidgetItem* node) {
    Navigator.TV_Container->setCurrentItem(node);
    Navigator.RefreshItem(nullptr, false);
    QApplication::processEvents();
  }

  TContainer& Project;
  TNavForm Navigator;
  TNavigatorHost Host;
};

// The navigator window opening a project: the tree built and the window painted.
void BM_NavigatorAtOpen(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  TNavForm navigator;
  navigator.resize(900, 700);
  navigator.show();
  QApplication::processEvents();
  for (auto _ : state) {
    navigator.SetContainer(&project);
    navigator.repaint();
    QApplication::processEvents();
    state.PauseTiming();
    // Nodes registered with the project: none until a branch is opened.
    state.counters["registered"] = project.NoteTreePool->Count() + project.SheetTreePool->Count() +
                                   project.PosTreePool->Count() + project.AttachTreePool->Count();
    navigator.SetContainer(nullptr);
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_NavigatorAtOpen)->Arg(100000)->Unit(benchmark::kMillisecond);

// 800 notes dropped on the sheet selected in the navigator (its page shown, its notes listed):
// on its node in the tree (range 1 = 0) or placed one by one, as a drop on its sheet window
// places them (range 1 = 1).
void BM_DropNotesOnSelectedSheet(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  const bool placed = state.range(1) != 0;
  TShownNavigator shown(project);
  TSheetItem* sheet = project.GetSheet(0);
  TNavTree& tree = *shown.Navigator.Tree;
  tree.ExpandNode(tree.SheetsNode);
  TNavNode* sheetNode = tree.NodeOf(sheet);
  tree.ExpandNode(sheetNode);
  shown.Select(sheetNode);
  std::vector<TPoolItem*> notes; // none of them on that sheet yet
  for (int i = 0; i < project.NoteCount() && notes.size() < 800; ++i)
    if (!project.FindPosition(project.GetNote(i), sheet)) notes.push_back(project.GetNote(i));
  for (auto _ : state) {
    if (placed) {
      int x = 0;
      for (TPoolItem* note : notes) project.PlaceNote(static_cast<TNoteItem*>(note), sheet, x += 10, 20);
    } else {
      auto object = std::make_unique<TDragNotes>(nullptr);
      object->Assign(notes);
      TDragMimeData data(std::move(object));
      shown.Navigator.TV_ContainerDragDrop(sheetNode, &data);
    }
    QApplication::processEvents();
    state.PauseTiming();
    for (TPoolItem* note : notes) project.FindPosition(static_cast<TNoteItem*>(note), sheet)->Delete();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(notes.size()));
}
BENCHMARK(BM_DropNotesOnSelectedSheet)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// 20 notes added while the navigator shows the list of notes: all in one turn of the event
// loop (an import, a burst of commands; range 1 = 1) or each in a turn of its own (range 1 = 0);
// for comparison, each in a turn of its own while the project's page is shown (range 1 = 2).
void BM_NotesAddedWithNotesListShown(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  const bool oneTurn = state.range(1) == 1;
  TShownNavigator shown(project);
  shown.Select(state.range(1) == 2 ? shown.Navigator.Tree->RootNode : shown.Navigator.Tree->NotesNode);
  for (auto _ : state) {
    std::vector<TNoteItem*> added;
    for (int i = 0; i < 20; ++i) {
      added.push_back(project.AddNote(TNote()));
      if (!oneTurn) QApplication::processEvents();
    }
    QApplication::processEvents();
    state.PauseTiming();
    for (TNoteItem* note : added) note->Delete();
    shown.Navigator.RefreshItem(nullptr, false);
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(BM_NotesAddedWithNotesListShown)
    ->Args({100000, 1})
    ->Args({100000, 0})
    ->Args({100000, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The list of every note, as the Notes branch shows it.
void BM_NoteList(benchmark::State& state) {
  TContainer& project = Project(static_cast<int>(state.range(0)));
  TNotePoolPrp list;
  for (auto _ : state) list.ShowItem(project.NotePool.get());
  state.SetItemsProcessed(state.iterations() * project.NoteCount());
}
BENCHMARK(BM_NoteList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

