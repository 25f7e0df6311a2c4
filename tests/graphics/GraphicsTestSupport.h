#pragma once
// A small project with one sheet, and an image to draw it on.
#include "graphics/Canvas.h"
#include "graphics/VCanvas.h"

#include "model/Container.h"

#include <QImage>
#include <QRect>
#include <string>

namespace qel {

// An image of the given size, filled, with a canvas and a zoomable canvas over it.
struct TTestImage {
  explicit TTestImage(int width = 400, int height = 300, TColor fill = clWhite);
  QImage Image;
  TCanvas Canvas;
  TVCanvas View;

  TColor At(int x, int y) const { return Canvas.GetPixel(x, y); }
  // Number of pixels of the colour inside the rectangle.
  int Count(TColor color, const QRect& area) const;
  // Number of pixels of any other colour than the fill inside the rectangle.
  int Marked(const QRect& area, TColor fill = clWhite) const { return area.width() * area.height() - Count(fill, area); }
  // Smallest rectangle holding every pixel that is not of the fill colour (null when none).
  QRect Bounds(TColor fill = clWhite) const;
  // The image as it is now (the canvas's painter ended first).
  QImage Snapshot();
};

struct TTestProject {
  TTestProject();
  TContainer Container;
  TSheetItem* Sheet;
  TRelationItem* Relation;

  TNoteItem* AddNote(const std::string& name, int32_t width = 80, int32_t height = 50, TColor color = clYellow);
  TPosItem* Place(TNoteItem* note, int32_t x, int32_t y, TSheetItem* sheet = nullptr);
  TNoteItem* NoteAt(int32_t x, int32_t y, const std::string& name = "N", int32_t width = 80, int32_t height = 50);
  // A note standing for another sheet, placed on this one.
  TNoteItem* AggregationNote(TSheetItem* standsFor, int32_t x, int32_t y);
  TLinkItem* Link(TNoteItem* from, TNoteItem* to, int32_t lineStyle = 1, TSheetItem* sheet = nullptr);
};

// A fresh folder for files a test writes; removed with the object.
struct TTempDir {
  TTempDir();
  ~TTempDir();
  std::string Path; // with its final separator
  std::string File(const std::string& name) const { return Path + name; }
};

} // namespace qel
