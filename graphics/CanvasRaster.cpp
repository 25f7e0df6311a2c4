// The canvas operations written straight into the image's pixels: rectangles, thin lines,
// single pixels. They clip to the image and keep 64-bit arithmetic, so any 32-bit device
// coordinate is safe.
#include "Canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

namespace qel {

namespace {

constexpr int kDotOn = 3;     // pixels drawn
constexpr int kDotPeriod = 6; // pixels drawn and left out
constexpr int kHatchPeriod = 8;

bool DotOn(int64_t k) { return k % kDotPeriod < kDotOn; }

// Sets n pixels to one colour; long runs through the C library's wide fill, which is a
// vectorised store where wchar_t has 32 bits.
void FillPixels(uint32_t* pixels, int64_t n, uint32_t color) {
  if constexpr (sizeof(wchar_t) == sizeof(uint32_t)) {
    if (n >= 16) {
      std::wmemset(reinterpret_cast<wchar_t*>(pixels), static_cast<wchar_t>(color), size_t(n));
      return;
    }
  }
  for (int64_t i = 0; i < n; ++i) pixels[i] = color;
}

} // namespace

bool TCanvas::Begin() const {
  if (FBits) return true;
  if (!FImage || FImage->isNull()) return false;
  auto* self = const_cast<TCanvas*>(this);
  self->FWidth = FImage->width();
  self->FHeight = FImage->height();
  self->FStride = FImage->bytesPerLine() / 4;
  self->FBits = reinterpret_cast<uint32_t*>(FImage->bits());
  return true;
}

// Callers have called Begin.
inline void TCanvas::Plot(int64_t x, int64_t y, uint32_t color, bool xorMode) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  uint32_t& pixel = FBits[FStride * y + x];
  pixel = xorMode ? pixel ^ (color & 0x00FFFFFFu) : color;
}

uint32_t TCanvas::PenPixel() const { return ToRgb32(Pen.Color); }

void TCanvas::Span(int64_t y, int64_t x0, int64_t x1, uint32_t color, bool xorMode) {
  if (!Begin() || y < 0 || y >= FHeight) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, FWidth - 1);
  uint32_t* row = FBits + FStride * y;
  if (xorMode) {
    for (int64_t x = x0; x <= x1; ++x) row[x] ^= color & 0x00FFFFFFu;
  } else if (x0 <= x1) {
    FillPixels(row + x0, x1 - x0 + 1, color);
  }
}

// Hatch lines "/" eight pixels apart, aligned to the image's origin.
void TCanvas::HatchSpan(int64_t y, int64_t x0, int64_t x1, uint32_t color, bool xorMode) {
  if (!Begin() || y < 0 || y >= FHeight) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, FWidth - 1);
  int64_t first = x0 + ((kHatchPeriod - 1 - (x0 + y) % kHatchPeriod) + kHatchPeriod) % kHatchPeriod;
  for (int64_t x = first; x <= x1; x += kHatchPeriod) Plot(x, y, color, xorMode);
}

void TCanvas::BrushSpan(int64_t y, int64_t x0, int64_t x1, bool xorMode) {
  if (x0 > x1) return;
  if (Brush.Style == TBrushStyle::Solid) Span(y, x0, x1, ToRgb32(Brush.Color()), xorMode);
  if (Brush.Style == TBrushStyle::BDiagonal) HatchSpan(y, x0, x1, ToRgb32(Brush.Color()), xorMode);
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor color) {
  if (Begin()) Plot(x, y, ToRgb32(color), false);
}

TColor TCanvas::GetPixel(int32_t x, int32_t y) const {
  if (!Begin() || x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clNone;
  uint32_t p = FBits[FStride * y + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void TCanvas::FillRect(const TRect& rect) {
  if (Brush.Style == TBrushStyle::Clear || !Begin()) return;
  int64_t top = std::max<int64_t>(rect.Top, 0);
  int64_t bottom = std::min<int64_t>(rect.Bottom, FHeight);
  for (int64_t y = top; y < bottom; ++y) BrushSpan(y, rect.Left, int64_t(rect.Right) - 1, false);
}

void TCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2 || !Begin()) return;
  bool xorMode = Pen.Mode == TPenMode::Xor;
  int64_t w = std::max(1, Pen.Width);
  if (Pen.Style == TPenStyle::Dot && w == 1) {
    for (int64_t y = std::max<int64_t>(y1 + 1, 0); y < std::min<int64_t>(int64_t(y2) - 1, FHeight); ++y)
      BrushSpan(y, int64_t(x1) + 1, int64_t(x2) - 2, xorMode);
    DottedFrame(x1, y1, int64_t(x2) - 1, int64_t(y2) - 1);
    return;
  }
  // The pen is centred on the outline; frame and inside never share a pixel.
  int64_t before = (w - 1) / 2, after = w / 2;
  int64_t outL = x1 - before, outT = y1 - before, outR = x2 - 1 + after, outB = y2 - 1 + after;
  int64_t inL = x1 + after + 1, inT = y1 + after + 1, inR = x2 - 2 - before, inB = y2 - 2 - before;
  uint32_t pen = PenPixel();
  if (!xorMode && Brush.Style == TBrushStyle::Solid) {
    // The common case, each row's three parts clipped once.
    const uint32_t fill = ToRgb32(Brush.Color());
    const int64_t left = std::max<int64_t>(outL, 0), right = std::min<int64_t>(outR, FWidth - 1);
    const int64_t innerL = std::max(inL, left), innerR = std::min(inR, right);
    for (int64_t y = std::max<int64_t>(outT, 0); y <= std::min<int64_t>(outB, FHeight - 1); ++y) {
      uint32_t* row = FBits + FStride * y;
      if (y < inT || y > inB || inL > inR) {
        if (left <= right) FillPixels(row + left, right - left + 1, pen);
        continue;
      }
      if (left <= std::min(inL - 1, right)) FillPixels(row + left, std::min(inL - 1, right) - left + 1, pen);
      if (innerL <= innerR) FillPixels(row + innerL, innerR - innerL + 1, fill);
      if (std::max(inR + 1, left) <= right) FillPixels(row + std::max(inR + 1, left), right - std::max(inR + 1, left) + 1, pen);
    }
    return;
  }
  for (int64_t y = std::max<int64_t>(outT, 0); y <= std::min<int64_t>(outB, FHeight - 1); ++y) {
    if (y < inT || y > inB || inL > inR) {
      Span(y, outL, outR, pen, xorMode);
    } else {
      Span(y, outL, inL - 1, pen, xorMode);
      BrushSpan(y, inL, inR, xorMode);
      Span(y, inR + 1, outR, pen, xorMode);
    }
  }
}

// A dotted 1-pixel frame through the corners (l, t) and (r, b), walked clockwise from the
// top-left corner with one dot pattern.
void TCanvas::DottedFrame(int64_t l, int64_t t, int64_t r, int64_t b) {
  uint32_t pen = PenPixel();
  bool xorMode = Pen.Mode == TPenMode::Xor;
  auto run = [&](int64_t from, int64_t to, int64_t limit, auto pixelAt) {
    // Pixels number from..to along one side; only those on the image are visited.
    for (int64_t k = std::max<int64_t>(from, 0); k <= std::min(to, limit); ++k) pixelAt(k);
  };
  int64_t rightStart = r - l + 1, bottomStart = rightStart + (b - t), leftStart = bottomStart + (r - l);
  if (t >= 0 && t < FHeight)
    run(std::max<int64_t>(0, -l), r - l, FWidth - 1 - l, [&](int64_t k) {
      if (DotOn(k)) Plot(l + k, t, pen, xorMode);
    });
  if (r >= 0 && r < FWidth)
    run(std::max<int64_t>(0, -(t + 1)), b - t - 1, FHeight - 1 - (t + 1), [&](int64_t k) {
      if (DotOn(rightStart + k)) Plot(r, t + 1 + k, pen, xorMode);
    });
  if (b > t && b >= 0 && b < FHeight)
    run(std::max<int64_t>(0, r - 1 - (FWidth - 1)), r - 1 - l, r - 1, [&](int64_t k) {
      if (DotOn(bottomStart + k)) Plot(r - 1 - k, b, pen, xorMode);
    });
  if (r > l && l >= 0 && l < FWidth)
    run(std::max<int64_t>(0, b - 1 - (FHeight - 1)), b - 1 - (t + 1), b - 1, [&](int64_t k) {
      if (DotOn(leftStart + k)) Plot(l, b - 1 - k, pen, xorMode);
    });
}

void TCanvas::MoveTo(int32_t x, int32_t y) {
  FPenX = x;
  FPenY = y;
  FDashPhase = 0;
}

void TCanvas::LineTo(int32_t x, int32_t y) {
  if (Begin()) {
    if (Pen.Width > 1)
      WideLine(FPenX, FPenY, x, y);
    else
      ThinLine(FPenX, FPenY, x, y);
  }
  FPenX = x;
  FPenY = y;
}

// Bresenham's line without its end point. Pixel i of n lies i steps along the major axis
// and round(i * minor / major) along the minor one, so the visible part is found directly.
void TCanvas::ThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  int64_t dx = x1 - x0, dy = y1 - y0;
  int64_t n = std::max(std::llabs(dx), std::llabs(dy));
  bool dotted = Pen.Style == TPenStyle::Dot;
  int32_t phase = FDashPhase;
  FDashPhase = int32_t((FDashPhase + n) % kDotPeriod);
  if (n == 0 || std::max(x0, x1) < 0 || std::max(y0, y1) < 0 || std::min(x0, x1) >= FWidth ||
      std::min(y0, y1) >= FHeight)
    return;
  bool xMajor = std::llabs(dx) >= std::llabs(dy);
  int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
  int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
  int64_t minorDelta = xMajor ? dy : dx;
  int64_t minorStep = minorDelta < 0 ? -1 : 1, am = std::llabs(minorDelta);
  int64_t majorLimit = xMajor ? FWidth : FHeight;
  // Steps whose major coordinate lies on the image.
  int64_t lo = majorStep > 0 ? -major0 : major0 - (majorLimit - 1);
  int64_t hi = majorStep > 0 ? majorLimit - 1 - major0 : major0;
  lo = std::max<int64_t>(lo, 0);
  hi = std::min(hi, n - 1);
  if (lo > hi) return;
  int64_t q = 0, r = n;
  if (lo == 0) {
    // The line starts on the image: nothing to skip.
  } else if (lo < (int64_t(1) << 28) && am < (int64_t(1) << 33)) { // fits 64 bits
    int64_t num = 2 * lo * am + n;
    q = num / (2 * n);
    r = num % (2 * n);
  } else {
    __int128 num = __int128(2) * lo * am + n;
    q = int64_t(num / (2 * n));
    r = int64_t(num % (2 * n));
  }
  uint32_t pen = PenPixel();
  bool xorMode = Pen.Mode == TPenMode::Xor;
  if (!dotted && !xorMode) {
    // The common solid line: the major coordinate is on the image for every step here.
    const int64_t minorLimit = xMajor ? FHeight : FWidth;
    const int64_t majorStride = xMajor ? 1 : FStride, minorStride = xMajor ? FStride : 1;
    for (int64_t i = lo; i <= hi; ++i) {
      const int64_t minor = minor0 + minorStep * q;
      if (minor >= 0 && minor < minorLimit) FBits[(major0 + majorStep * i) * majorStride + minor * minorStride] = pen;
      r += 2 * am;
      if (r >= 2 * n) {
        r -= 2 * n;
        ++q;
      }
    }
    return;
  }
  for (int64_t i = lo; i <= hi; ++i) {
    if (!dotted || DotOn(phase + i)) {
      int64_t major = major0 + majorStep * i, minor = minor0 + minorStep * q;
      if (xMajor)
        Plot(major, minor, pen, xorMode);
      else
        Plot(minor, major, pen, xorMode);
    }
    r += 2 * am;
    if (r >= 2 * n) {
      r -= 2 * n;
      ++q;
    }
  }
}

// A wide pen: Qt strokes it with round ends, on the part of the line near the image.
void TCanvas::WideLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  int64_t w = Pen.Width;
  if (!Intersects(std::min(x0, x1) - w, std::min(y0, y1) - w, std::max(x0, x1) + w + 1, std::max(y0, y1) + w + 1))
    return;
  // Clip to the image grown by the pen width (Liang-Barsky), keeping Qt's numbers small.
  double t0 = 0, t1 = 1, dx = double(x1 - x0), dy = double(y1 - y0);
  auto clip = [&](double p, double q) {
    if (p == 0) return q >= 0;
    double t = q / p;
    if (p < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    return t0 <= t1;
  };
  double minX = -double(w), minY = -double(w), maxX = double(FWidth + w), maxY = double(FHeight + w);
  if (!clip(-dx, double(x0) - minX) || !clip(dx, maxX - double(x0)) || !clip(-dy, double(y0) - minY) ||
      !clip(dy, maxY - double(y0)))
    return;
  QPainter& painter = Painter();
  SetCompositionFromPen(painter);
  QPen pen(QColor::fromRgb(PenPixel()), double(w), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.drawLine(QPointF(double(x0) + t0 * dx, double(y0) + t0 * dy), QPointF(double(x0) + t1 * dx, double(y0) + t1 * dy));
}

} // namespace qel
