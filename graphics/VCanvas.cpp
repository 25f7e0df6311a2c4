#include "VCanvas.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qel {

namespace {

constexpr int32_t kMinZoom = 10;
constexpr int32_t kMaxZoom = 10000;

// A device coordinate as a wide integer, for visibility tests only (callers add a margin).
int64_t DeviceWide(double v) {
  if (std::isnan(v)) return 0;
  return int64_t(std::clamp(std::floor(v), -4e18, 4e18));
}

} // namespace

void TVPen::SetWidth(int32_t width) { Pen->Width = std::max(1, Nearest((long double)width * ScaleFactor)); }

TVCanvas::TVCanvas(TCanvas* canvas) : Canvas(canvas), Pen(std::make_unique<TVPen>(&canvas->Pen)) {}

int32_t TVCanvas::Scale(int32_t value) const {
  if (ScaleFactor == 1) return value; // zoom 100: the product is exact
  return Nearest((long double)value * ScaleFactor);
}

int32_t TVCanvas::ToDeviceX(int32_t x) const { return Clamp32((long long)Scale(x) + OffsetX); }

int32_t TVCanvas::ToDeviceY(int32_t y) const { return Clamp32((long long)Scale(y) + OffsetY); }

int32_t TVCanvas::ToWorld(int32_t value) const {
  if (ScaleFactor == 0) return value;
  return Nearest((long double)value / ScaleFactor);
}

void TVCanvas::SetZoom(int32_t percent) {
  ScaleFactor = double((long double)percent / 100);
  Pen->ScaleFactor = ScaleFactor;
  Zoom = percent;
}

void TVCanvas::ZoomIn() {
  SetZoom(Clamp32((long long)Zoom + ZoomStep));
  if (Zoom > kMaxZoom) SetZoom(kMaxZoom);
}

void TVCanvas::ZoomOut() {
  SetZoom(Clamp32((long long)Zoom - ZoomStep));
  if (Zoom < kMinZoom) SetZoom(kMinZoom);
}

TRect TVCanvas::ToDevice(const TRect& rect) const {
  return {ToDeviceX(rect.Left), ToDeviceY(rect.Top), ToDeviceX(rect.Right), ToDeviceY(rect.Bottom)};
}

void TVCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Canvas->Rectangle(ToDeviceX(x1), ToDeviceY(y1), ToDeviceX(x2), ToDeviceY(y2));
}

void TVCanvas::Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Canvas->Ellipse(ToDeviceX(x1), ToDeviceY(y1), ToDeviceX(x2), ToDeviceY(y2));
}

void TVCanvas::FillRect(const TRect& rect) { Canvas->FillRect(ToDevice(rect)); }

void TVCanvas::StretchDraw(const TRect& rect, const QImage& picture) {
  Canvas->StretchDraw(ToDevice(rect), picture);
}

void TVCanvas::MoveTo(int32_t x, int32_t y) { Canvas->MoveTo(ToDeviceX(x), ToDeviceY(y)); }

void TVCanvas::LineTo(int32_t x, int32_t y) { Canvas->LineTo(ToDeviceX(x), ToDeviceY(y)); }

void TVCanvas::PolyLine(const TPoint* points, size_t count) {
  if (count == 0) return;
  int32_t lastX = ToDeviceX(points[0].X), lastY = ToDeviceY(points[0].Y);
  Canvas->MoveTo(lastX, lastY);
  // A thin line to where the pen stands draws nothing, so such steps are left out.
  bool thin = Canvas->Pen.Width <= 1;
  for (size_t i = 1; i < count; ++i) {
    int32_t x = ToDeviceX(points[i].X), y = ToDeviceY(points[i].Y);
    if (thin && x == lastX && y == lastY) continue;
    Canvas->LineTo(x, y);
    lastX = x;
    lastY = y;
  }
}

void TVCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  TFont saved = Canvas->Font;
  Canvas->Font.Name = "Arial";
  Canvas->Font.Color = clNone;
  Canvas->Font.Height = Scale(saved.Height);
  Canvas->Brush.Style = TBrushStyle::Clear;
  Canvas->TextOut(ToDeviceX(x), ToDeviceY(y), text);
  Canvas->Font = saved;
}

int32_t TVCanvas::TextWidth(std::string_view text) { return ToWorld(Canvas->TextWidth(text)); }

int32_t TVCanvas::TextHeight(std::string_view text) { return ToWorld(Canvas->TextHeight(text)); }

bool TVCanvas::IsVisible(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int32_t margin) const {
  double f = ScaleFactor;
  int64_t l = DeviceWide(std::min(x1, x2) * f + OffsetX) - margin - 1;
  int64_t t = DeviceWide(std::min(y1, y2) * f + OffsetY) - margin - 1;
  int64_t r = DeviceWide(std::max(x1, x2) * f + OffsetX) + margin + 2;
  int64_t b = DeviceWide(std::max(y1, y2) * f + OffsetY) + margin + 2;
  return Canvas->Intersects(l, t, r, b);
}

} // namespace qel
