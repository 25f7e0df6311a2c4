#include "GraphicsTestSupport.h"

#include "tests/model/ModelTestUtil.h"

#include <QDir>
#include <QTemporaryDir>

namespace qel {

TTestImage::TTestImage(int width, int height, TColor fill)
    : Image(width, height, QImage::Format_RGB32), Canvas(&Image), View(&Canvas) {
  Image.fill(QColor::fromRgb(ToRgb32(fill)));
}

int TTestImage::Count(TColor color, const QRect& area) const {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += At(x, y) == color;
  return n;
}

QRect TTestImage::Bounds(TColor fill) const {
  QRect bounds;
  for (int y = 0; y < Image.height(); ++y)
    for (int x = 0; x < Image.width(); ++x)
      if (At(x, y) != fill) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

QImage TTestImage::Snapshot() {
  Canvas.Release();
  return Image.copy();
}

TTestProject::TTestProject() {
  Sheet = test::NewSheet(Container);
  Relation = test::NewRelation(Container, "leads to");
}

TNoteItem* TTestProject::AddNote(const std::string& name, int32_t width, int32_t height, TColor color) {
  TNote note;
  note.Name = name;
  note.Width = width;
  note.Height = height;
  note.Color = color;
  return Container.AddNote(note);
}

TPosItem* TTestProject::Place(TNoteItem* note, int32_t x, int32_t y, TSheetItem* sheet) {
  return test::NewPos(Container, note, sheet ? sheet : Sheet, x, y);
}

TNoteItem* TTestProject::NoteAt(int32_t x, int32_t y, const std::string& name, int32_t width, int32_t height) {
  TNoteItem* note = AddNote(name, width, height);
  Place(note, x, y);
  return note;
}

TNoteItem* TTestProject::AggregationNote(TSheetItem* standsFor, int32_t x, int32_t y) {
  TNoteItem* note = test::NewAggregationNote(Container, standsFor);
  Place(note, x, y);
  return note;
}

TLinkItem* TTestProject::Link(TNoteItem* from, TNoteItem* to, int32_t lineStyle, TSheetItem* sheet) {
  TLinkItem* link = test::NewLinkItem(Container, from, to, Relation, sheet ? sheet : Sheet);
  link->SetLineStyle(lineStyle);
  return link;
}

TTempDir::TTempDir() {
  QTemporaryDir dir(QDir::tempPath() + "/qel-graphics-XXXXXX");
  dir.setAutoRemove(false);
  Path = dir.path().toStdString() + "/";
}

TTempDir::~TTempDir() { QDir(QString::fromStdString(Path)).removeRecursively(); }

} // namespace qel
