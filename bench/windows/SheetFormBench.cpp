// A sheet window over 1,000 notes and 1,000 links, all in view: a whole repaint against the
// work one pointer move of a rubber band or of a dragged link handle costs (drawing the xor
// feedback and composing what the paint box shows, without drawing the sheet again). The
// same sheet alone in its project and in a project of 100,000 notes: its repaint and hit
// tests should not notice the rest of the project.
#include "GeneratedProject.h"
#include "JpegWriter.h"
#include "graphics/BSpline.h"
#include "graphics/PictureCache.h"
#include "windows/sheet/SheetForm.h"
#include "graphics/SheetView.h"

#include "model/Container.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

using namespace qel;

namespace {

constexpr int kWindowNotes = 1000;
constexpr int kWindowLinks = 1000;

struct TBusyWindow {
  std::unique_ptr<TContainer> Project;
  TContainer& Container;
  TSheetItem* Sheet;
  std::unique_ptr<TDrawSheet> Window = std::make_unique<TDrawSheet>();

  // The busy sheet after a generated project of otherNotes notes (with its links).
  explicit TBusyWindow(int otherNotes = 0) : Project(Background(otherNotes)), Container(*Project) {
    std::mt19937 random(7);
    TSheet sheet;
    sheet.Zoom = 100;
    Sheet = Container.AddSheet(sheet);
    TRelation relation;
    relation.Name = "depends on";
    TRelationItem* type = Container.AddRelation(relation);
    std::vector<TNoteItem*> notes;
    for (int i = 0; i < kWindowNotes; ++i) {
      TNote record;
      record.Name = "Note " + std::to_string(i);
      notes.push_back(Container.AddNote(record));
      Container.PlaceNote(notes.back(), Sheet, int(random() % 1800), int(random() % 1000));
    }
    for (int i = 0; i < kWindowLinks; ++i)
      Container.NewLink(notes[random() % kWindowNotes], notes[random() % kWindowNotes], type, Sheet);
    Window->resize(1920, 1080);
    Window->show();
    Window->SetSheet(&Container, Sheet);
    QApplication::processEvents();
  }
  ~TBusyWindow() { Window.reset(); } // before the project it shows

  static std::unique_ptr<TContainer> Background(int notes) {
    if (notes == 0) return std::make_unique<TContainer>();
    bench::TProjectShape shape;
    shape.Notes = notes;
    shape.LinkNeighbours = true;
    return bench::GenerateProject(shape);
  }

  // Pointer moves with the left button down from (x, y), each followed by a paint.
  void Moves(benchmark::State& state, int x, int y) {
    int step = 0;
    for (auto _ : state) {
      ++step;
      Window->PB_SheetMouseMove(Qt::LeftButton, {}, x + step % 200, y + step % 100);
      benchmark::DoNotOptimize(Window->Screen());
    }
    Window->PB_SheetMouseUp(Qt::LeftButton, {}, x, y);
  }
};

// The argument is the number of the project's other notes.
void BM_WindowRepaint(benchmark::State& state) {
  TBusyWindow busy(int(state.range(0)));
  for (auto _ : state) {
    busy.Window->Redraw(false);
    benchmark::DoNotOptimize(busy.Window->Screen());
  }
}
BENCHMARK(BM_WindowRepaint)->Arg(0)->Arg(99000)->Unit(benchmark::kMillisecond);

// The first paint of the busy sheet when a tenth of its notes show photos (640 by 480), the
// pictures decoded included.
void BM_WindowFirstPaintWithPictures(benchmark::State& state) {
  TBusyWindow busy;
  QTemporaryDir folder;
  std::mt19937 random(3);
  for (int i = 0; i < kWindowNotes; i += 10) {
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(QColor::fromRgb(random()));
    QPainter(&photo).fillRect(40, 60, 300 + i % 200, 200, QColor::fromRgb(random()));
    std::string path = QDir(folder.path()).filePath(QString("photo%1.jpg").arg(i)).toStdString();
    WriteJpegFile(path, photo, 85);
    busy.Container.GetNote(i)->SetImage(path);
  }
  for (auto _ : state) {
    state.PauseTiming();
    PictureCache().Clear();
    state.ResumeTiming();
    busy.Window->Redraw(false);
    benchmark::DoNotOptimize(busy.Window->Screen());
  }
  state.counters["pictures decoded"] = double(PictureCache().DecodeCount());
}
BENCHMARK(BM_WindowFirstPaintWithPictures)->Unit(benchmark::kMillisecond);

// Points spread over the window, as the sheet window's mouse handling asks.
void BM_WindowLinkAt(benchmark::State& state) {
  TBusyWindow busy(int(state.range(0)));
  std::mt19937 random(11);
  int32_t found = 0;
  for (auto _ : state) {
    int x = int(random() % 1800), y = int(random() % 1000);
    found += busy.Window->View->LinkAt(x, y) != nullptr;
  }
  benchmark::DoNotOptimize(found);
}
BENCHMARK(BM_WindowLinkAt)->Arg(0)->Arg(99000)->Unit(benchmark::kMicrosecond);

void BM_WindowBandMove(benchmark::State& state) {
  TBusyWindow busy;
  busy.Window->PB_SheetMouseDown(Qt::LeftButton, {}, 1900, 1070); // below every note
  if (!busy.Window->Banding) state.SkipWithError("no band");
  busy.Moves(state, 1000, 500);
}
BENCHMARK(BM_WindowBandMove)->Unit(benchmark::kMillisecond);

// The press lands on the to-end handle of a curved link, which each move reshapes.
void BM_WindowHandleMove(benchmark::State& state) {
  TBusyWindow busy;
  TLinkItem* link = busy.Container.GetLink(0);
  link->SetLineStyle(0);
  busy.Window->View->SelectLink(link);
  busy.Window->Redraw(false);
  TQELSpline spline;
  spline.Build(link, busy.Sheet);
  const TRect handle = spline.HandleRect(0);
  const int x = handle.Left + 4, y = handle.Top + 4;
  busy.Window->PB_SheetMouseMove(Qt::NoButton, {}, x, y);
  busy.Window->PB_SheetMouseDown(Qt::LeftButton, {}, x, y);
  if (!busy.Window->HandleDragging) {
    state.SkipWithError("no handle drag");
    return;
  }
  const TLink before = link->Data;
  busy.Moves(state, x, y);
  state.counters["handle moved"] = link->Data.ToOffsetX != before.ToOffsetX || link->Data.ToOffsetY != before.ToOffsetY;
}
BENCHMARK(BM_WindowHandleMove)->Unit(benchmark::kMillisecond);

} // namespace
