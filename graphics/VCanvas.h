#pragma once
// The zoomable canvas: drawing in sheet units on a device canvas. A sheet point (x, y) lands
// at device pixel (Nearest(x * factor) + OffsetX, Nearest(y * factor) + OffsetY).
#include "Canvas.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>

namespace qel {

class TContainer;

static_assert(std::numeric_limits<long double>::digits == 64, "Nearest needs the x87 extended format");

// v to the nearest integer, halves to even, in extended precision; clamped to 32 bits
// (NaN gives 0).
inline int32_t Nearest(long double v) {
  if (v != v) return 0;
  if (v >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  // Adding 1.5 * 2^63 leaves no fraction bits in the 64-bit mantissa, so the sum is rounded
  // to the nearest integer, halves to even (the default rounding mode); much faster than
  // nearbyintl, which saves and restores the floating-point environment. The whole number
  // then goes through double, whose conversion needs no change of the x87 rounding mode.
  constexpr long double kShift = 0x1.8p63L;
  return int32_t(double((v + kShift) - kShift));
}

// v limited to 32 bits: sums of sheet coordinates read from files must not wrap.
inline int32_t Clamp32(long long v) {
  return int32_t(std::clamp<long long>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Base of every view of a project.
class TView {
public:
  explicit TView(TContainer* container) : Container(container) {}
  virtual ~TView() = default;
  TContainer* Container; // not owned
};

// The canvas pen, with widths in sheet units.
class TVPen {
public:
  explicit TVPen(TPen* pen) : Pen(pen) {}
  double ScaleFactor = 1.0;
  TPen* Pen; // not owned

  // Nearest(width * factor), at least 1 pixel.
  void SetWidth(int32_t width);
  void SetMode(TPenMode mode) { Pen->Mode = mode; }
  void SetColor(TColor color) { Pen->Color = color; }
  void SetStyle(TPenStyle style) { Pen->Style = style; }
};

class TVCanvas {
public:
  explicit TVCanvas(TCanvas* canvas);

  int32_t OffsetX = 0;
  int32_t OffsetY = 0;
  int32_t Zoom = 100;
  int32_t ZoomStep = 10;
  double ScaleFactor = 1.0;
  TCanvas* Canvas; // not owned
  std::unique_ptr<TVPen> Pen;

  int32_t Scale(int32_t value) const;
  int32_t ToDeviceX(int32_t x) const;
  int32_t ToDeviceY(int32_t y) const;
  // A device distance or point in sheet units (no offset); unchanged at factor 0.
  int32_t ToWorld(int32_t value) const;
  TBrush& Brush() { return Canvas->Brush; }
  // Device pixel, not converted.
  void SetPixel(int32_t x, int32_t y, TColor color) { Canvas->SetPixel(x, y, color); }
  void SetZoom(int32_t percent);
  void ZoomIn();
  void ZoomOut();

  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void FillRect(const TRect& rect);
  void StretchDraw(const TRect& rect, const QImage& picture);
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  // MoveTo the first point, then LineTo each further one.
  void PolyLine(const TPoint* points, size_t count);
  // Text in "Arial" scaled by the zoom, on a clear background, in the no-colour text colour.
  void TextOut(int32_t x, int32_t y, std::string_view text);
  // Sizes in sheet units of the text in the canvas's own, unscaled font.
  int32_t TextWidth(std::string_view text);
  int32_t TextHeight(std::string_view text);

  // Whether the sheet rectangle, grown by margin device pixels, reaches the image.
  bool IsVisible(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int32_t margin) const;

private:
  TRect ToDevice(const TRect& rect) const;
};

} // namespace qel
