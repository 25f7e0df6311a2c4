// A sheet of 1,000 notes (100 with JPEG pictures) and 1,000 links, painted into a
// 1920 by 1080 view at several zooms, and the sheet view's hit tests over it.
#include "JpegWriter.h"

#include "graphics/Canvas.h"
#include "graphics/PictureCache.h"
#include "graphics/SheetView.h"
#include "graphics/VCanvas.h"

#include "model/Container.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

using namespace qel;

namespace {

constexpr int kNotes = 1000;
constexpr int kPictures = 100;
constexpr int kLinks = 1000;
constexpr int kColumns = 40;
constexpr int kViewWidth = 1920;
constexpr int kViewHeight = 1080;

struct TBigSheet {
  TContainer Container;
  TSheetItem* Sheet = nullptr;
  std::vector<TNoteItem*> Notes;
  std::vector<TLinkItem*> Links;
  QTemporaryDir Pictures;

  TBigSheet() {
    std::mt19937 random(5);
    Sheet = Container.AddSheet(TSheet{});
    TRelation relation;
    relation.Name = "depends on";
    TRelationItem* type = Container.AddRelation(relation);
    for (int i = 0; i < kNotes; ++i) AddNote(i, random);
    for (int i = 0; i < kLinks; ++i) AddLink(i, type, random);
  }

  void AddNote(int i, std::mt19937& random) {
    TNote record;
    record.Name = "Note " + std::to_string(i) + (i % 3 ? " with a longer caption" : "");
    record.Color = i % 2 ? clYellow : clAqua;
    if (i % (kNotes / kPictures) == 0) record.ImageFile = Picture(i, random);
    TNoteItem* note = Container.AddNote(record);
    TPos pos;
    pos.Note = note;
    pos.Sheet = Sheet;
    pos.X = 100 + (i % kColumns) * 240 + int(random() % 60);
    pos.Y = 100 + (i / kColumns) * 380 + int(random() % 60);
    Container.AddPosition(pos);
    Notes.push_back(note);
  }

  std::string Picture(int i, std::mt19937& random) {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(random()));
    QPainter(&image).fillRect(20, 20, 60 + i % 50, 40, Qt::darkGreen);
    std::string path = QDir(Pictures.path()).filePath(QString("p%1.jpg").arg(i)).toStdString();
    WriteJpegFile(path, image, 85);
    return path;
  }

  // Mostly links between neighbours, some across the sheet.
  void AddLink(int i, TRelationItem* type, std::mt19937& random) {
    int from = int(random() % kNotes);
    int to = i % 5 ? std::clamp(from + int(random() % 3) - 1 + (random() % 2 ? kColumns : 0), 0, kNotes - 1)
                   : int(random() % kNotes);
    if (to == from) to = (from + 1) % kNotes;
    TLink record;
    record.FromNote = Notes[from];
    record.ToNote = Notes[to];
    record.Sheet = Sheet;
    record.Relation = type;
    record.LineStyle = i % 2;
    record.PenWidth = i % 7 ? 1 : 2;
    record.Color = i % 3 ? clBlack : clRed;
    Links.push_back(Container.AddLink(record));
  }
};

TBigSheet& Sheet() {
  static TBigSheet sheet;
  return sheet;
}

// The view centred on the sheet at a zoom, as the sheet window scrolls it.
struct TViewAt {
  QImage Image{kViewWidth, kViewHeight, QImage::Format_RGB32};
  TCanvas Canvas{&Image};
  TVCanvas View{&Canvas};
  TSheetView SheetView;

  explicit TViewAt(int zoom) : SheetView(&Sheet().Container, Sheet().Sheet, &View) {
    View.SetZoom(zoom);
    View.OffsetX = std::min(0, kViewWidth / 2 - View.Scale(5000));
    View.OffsetY = std::min(0, kViewHeight / 2 - View.Scale(5000));
    SheetView.SelectLink(Sheet().Links[0]);
    SheetView.SelectNote(Sheet().Notes[500]);
  }
  void Paint() {
    Canvas.Release();
    Image.fill(Qt::white);
    SheetView.Paint(2);
  }
  // Device points spread over the view.
  std::vector<TPoint> Points() const {
    std::mt19937 random(11);
    std::vector<TPoint> points;
    for (int i = 0; i < 64; ++i)
      points.push_back({int(random() % kViewWidth) - View.OffsetX, int(random() % kViewHeight) - View.OffsetY});
    return points;
  }
};

void BM_PaintSheet(benchmark::State& state) {
  TViewAt view(int(state.range(0)));
  view.Paint(); // pictures decoded once, as after the first paint
  for (auto _ : state) view.Paint();
  state.counters["pictures decoded"] = double(PictureCache().DecodeCount());
}
BENCHMARK(BM_PaintSheet)->Arg(20)->Arg(80)->Arg(400)->Unit(benchmark::kMillisecond);

// The first paint, pictures decoded included.
void BM_FirstPaintSheet(benchmark::State& state) {
  TViewAt view(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    PictureCache().Clear();
    state.ResumeTiming();
    view.Paint();
  }
}
BENCHMARK(BM_FirstPaintSheet)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

template <class Test> void HitTests(benchmark::State& state, Test test) {
  TViewAt view(int(state.range(0)));
  std::vector<TPoint> points = view.Points();
  size_t i = 0;
  for (auto _ : state) {
    TPoint p = points[i++ % points.size()];
    benchmark::DoNotOptimize(test(view.SheetView, p));
  }
}

void BM_NoteAt(benchmark::State& state) {
  HitTests(state, [](TSheetView& v, TPoint p) { return v.NoteAt(p.X, p.Y); });
}
void BM_LinkAt(benchmark::State& state) {
  HitTests(state, [](TSheetView& v, TPoint p) { return v.LinkAt(p.X, p.Y); });
}
void BM_HandleAt(benchmark::State& state) {
  HitTests(state, [](TSheetView& v, TPoint p) { return v.HandleAt(p.X, p.Y); });
}
BENCHMARK(BM_NoteAt)->Arg(20)->Arg(80)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LinkAt)->Arg(20)->Arg(80)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HandleAt)->Arg(80)->Unit(benchmark::kMicrosecond);

} // namespace

