#pragma once
// The drawing surface of an off-screen bitmap: a pen, a brush and a font over a QImage, with
// the drawing rules the sheet layer relies on. Coordinates are device pixels.
//  - Rectangles and ellipses cover Left..Right-1 and Top..Bottom-1; reversed corners are put
//    in order, an empty one draws nothing. A line leaves out its end point.
//  - No antialiasing. Pen mode Xor applies to the pen and to the fill of Rectangle and Ellipse,
//    so drawing a shape twice restores the image. FillRect, text and pictures always copy.
//  - A dotted pen of 1 pixel draws 3 pixels on, 3 off; a wider dotted pen draws solid.
//  - Hatch and clear brushes leave what lies between their lines.
//  - The no-colour value clNone fills white and writes text black.
//  - A face that is not installed is drawn in Liberation Sans (the metric twin of Arial); a
//    solid brush fills the cell behind text. Text of height 0 or beyond 32767 pixels, and
//    ellipses larger than 2^22 pixels (absurd zooms), are not drawn.
// The canvas draws into the image without owning it. While it draws, it keeps a QPainter open
// on the image: call Release() before the image is resized, copied or read elsewhere.
#include "platform/Colors.h"

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qel {

// A rectangle given by its sides; Right and Bottom lie just outside it.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

enum class TPenMode { Copy, Xor };
enum class TPenStyle { Solid, Dot };
enum class TBrushStyle { Solid, Clear, BDiagonal };

struct TPen {
  TColor Color = clBlack;
  int32_t Width = 1; // pixels
  TPenStyle Style = TPenStyle::Solid;
  TPenMode Mode = TPenMode::Copy;
};

class TBrush {
public:
  TColor Color() const { return FColor; }
  // Like the class library: giving a clear brush a colour makes it solid again.
  void SetColor(TColor color);
  TBrushStyle Style = TBrushStyle::Solid;

private:
  TColor FColor = clWhite;
};

// Height as the class library gives it: negative for the character height in pixels,
// positive for the cell height (ascent plus descent).
struct TFont {
  std::string Name = "MS Sans Serif";
  int32_t Height = -11; // 8 points at 96 dots per inch
  TColor Color = clBlack;
};

class TCanvas {
public:
  explicit TCanvas(QImage* image = nullptr);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // Draws on another image from now on (null: draws nothing). The image is turned into a
  // 32-bit RGB image when it is not one yet.
  void SetImage(QImage* image);
  QImage* Image() const { return FImage; }
  // Ends the painter; the next drawing operation opens it again.
  void Release();

  TPen Pen;
  TBrush Brush;
  TFont Font;

  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void FillRect(const TRect& rect);
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  void SetPixel(int32_t x, int32_t y, TColor color);
  TColor GetPixel(int32_t x, int32_t y) const;
  // Text of Windows-1252 characters with its top-left corner at (x, y).
  void TextOut(int32_t x, int32_t y, std::string_view text);
  int32_t TextWidth(std::string_view text);
  int32_t TextHeight(std::string_view text);
  void StretchDraw(const TRect& rect, const QImage& picture);

  // Whether any pixel of the rectangle (sides as in TRect) lies on the image.
  bool Intersects(int64_t left, int64_t top, int64_t right, int64_t bottom) const;
  // The Qt font of the canvas font at a height (in the class library's sense).
  static QFont MakeFont(const std::string& name, int32_t height);

private:
  // Texts are cached by content, face and height; look-ups need no copy of the text.
  struct TTextKeyView {
    std::string_view Text;
    std::string_view Font;
    int32_t Height;
    bool operator==(const TTextKeyView&) const = default;
  };
  struct TTextKey {
    std::string Text;
    std::string Font;
    int32_t Height;
    TTextKeyView View() const { return {Text, Font, Height}; }
  };
  struct TTextKeyHash {
    using is_transparent = void;
    size_t operator()(const TTextKeyView& k) const;
    size_t operator()(const TTextKey& k) const { return (*this)(k.View()); }
  };
  struct TTextKeyEqual {
    using is_transparent = void;
    static TTextKeyView View(const TTextKeyView& k) { return k; }
    static TTextKeyView View(const TTextKey& k) { return k.View(); }
    template <class A, class B> bool operator()(const A& a, const B& b) const { return View(a) == View(b); }
  };
  template <class T> using TTextCache = std::unordered_map<TTextKey, T, TTextKeyHash, TTextKeyEqual>;

  QPainter& Painter();
  // Takes the image's pixels; false without an image.
  bool Begin() const;
  uint32_t PenPixel() const;
  void Span(int64_t y, int64_t x0, int64_t x1, uint32_t color, bool xorMode);
  void HatchSpan(int64_t y, int64_t x0, int64_t x1, uint32_t color, bool xorMode);
  void BrushSpan(int64_t y, int64_t x0, int64_t x1, bool xorMode);
  void Plot(int64_t x, int64_t y, uint32_t color, bool xorMode);
  void DottedFrame(int64_t l, int64_t t, int64_t r, int64_t b);
  void ThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
  void WideLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
  void SetCompositionFromPen(QPainter& painter) const;
  const QFont& CachedFont(int32_t height);
  // A text in the canvas font: its extent, and the pixels it sets as Qt draws it (made on its
  // first draw), as runs of each row relative to its top-left corner.
  struct TTextRun {
    int32_t Y, X0, X1; // X1 included
  };
  struct TTextEntry {
    QSize Extent;
    bool HasRuns = false;
    std::vector<TTextRun> Runs;
  };
  TTextEntry& Text(std::string_view text);
  void MakeRuns(TTextEntry& entry, std::string_view text);
  QSize MeasureText(std::string_view text) { return Text(text).Extent; }

  QImage* FImage = nullptr;
  std::unique_ptr<QPainter> FPainter;
  uint32_t* FBits = nullptr;
  int64_t FStride = 0; // in pixels
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int64_t FPenX = 0;
  int64_t FPenY = 0;
  int32_t FDashPhase = 0; // place in the dot pattern along consecutive lines
  TTextCache<TTextEntry> FTexts;
  std::unordered_map<int64_t, QFont> FFonts;
  std::string FFontsName;
};

// Device colour of a TColor, as 0xFFRRGGBB.
uint32_t ToRgb32(TColor color);

} // namespace qel
