// A sheet window over 1,000 notes and 1,000 links, all in view: a whole repaint against the
// work one pointer move of a rubber band or of a dragged link handle costs (drawing the xor
// feedback and composing what the paint box shows, without drawing the sheet again).
#include "graphics/SheetForm.h"

#include "model/Container.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

using namespace qel;

namespace {

constexpr int kNotes = 1000;
constexpr int kLinks = 1000;

struct TBusyWindow {
  TContainer Container;
  TSheetItem* Sheet;
  std::unique_ptr<TDrawSheet> Window = std::make_unique<TDrawSheet>();

  TBusyWindow() {
    std::mt19937 random(7);
    TSheet sheet;
    sheet.Zoom = 100;
    Sheet = Container.AddSheet(sheet);
    TRelation relation;
    relation.Name = "depends on";
    TRelationItem* type = Container.AddRelation(relation);
    for (int i = 0; i < kNotes; ++i) {
      TNote record;
      record.Name = "Note " + std::to_string(i);
      Container.PlaceNote(Container.AddNote(record), Sheet, int(random() % 1800), int(random() % 1000));
    }
    for (int i = 0; i < kLinks; ++i)
      Container.NewLink(Container.GetNote(int(random() % kNotes)), Container.GetNote(int(random() % kNotes)), type,
                        Sheet);
    Window->resize(1920, 1080);
    Window->show();
    Window->SetSheet(&Container, Sheet);
    QApplication::processEvents();
  }
};

TBusyWindow& Busy() {
  static TBusyWindow busy;
  return busy;
}

void BM_Repaint(benchmark::State& state) {
  TDrawSheet& window = *Busy().Window;
  for (auto _ : state) {
    window.Redraw(false);
    benchmark::DoNotOptimize(window.Screen());
  }
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);

void BM_BandMove(benchmark::State& state) {
  TDrawSheet& window = *Busy().Window;
  window.PB_SheetMouseDown(Qt::LeftButton, {}, 1900, 1070); // below every note
  if (!window.Banding) state.SkipWithError("no band");
  int step = 0;
  for (auto _ : state) {
    ++step;
    window.PB_SheetMouseMove(Qt::LeftButton, {}, 1000 + step % 200, 500 + step % 100);
    benchmark::DoNotOptimize(window.Screen());
  }
  window.PB_SheetMouseUp(Qt::LeftButton, {}, 1900, 1070);
}
BENCHMARK(BM_BandMove)->Unit(benchmark::kMillisecond);

void BM_HandleMove(benchmark::State& state) {
  TDrawSheet& window = *Busy().Window;
  TLinkItem* link = Busy().Container.GetLink(0);
  window.View->SelectLink(link);
  window.LinkHandle = 0;
  window.PB_SheetMouseDown(Qt::LeftButton, {}, 900, 500);
  if (!window.HandleDragging) state.SkipWithError("no handle drag");
  int step = 0;
  for (auto _ : state) {
    ++step;
    window.PB_SheetMouseMove(Qt::LeftButton, {}, 900 + step % 200, 500 + step % 100);
    benchmark::DoNotOptimize(window.Screen());
  }
  window.PB_SheetMouseUp(Qt::LeftButton, {}, 900, 500);
}
BENCHMARK(BM_HandleMove)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Busy().Window.reset();
  return 0;
}
