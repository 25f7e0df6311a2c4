// The canvas state, its Qt-drawn operations (text, ellipses, pictures) and its image.
#include "Canvas.h"

#include "platform/qt/QtConvert.h"

#include <QFontMetrics>
#include <QStaticText>
#include <algorithm>
#include <functional>

namespace qel {

namespace {

// Fonts are resolved to the metric twin of the faces the sheets name, so that text measures
// the same on every machine.
constexpr const char* kFallbackFamily = "Liberation Sans";
// Text beyond this pixel height is not rasterised (zooms read from files can be absurd).
constexpr int32_t kMaxTextHeight = 32767;
// The cache of measured texts is emptied when it grows past this.
constexpr size_t kMaxCachedTexts = 20000;
// Texts whose pixels would be looked for in a larger image are drawn by Qt each time.
constexpr int64_t kMaxRunsImage = int64_t(1) << 22;

QStaticText LaidOut(std::string_view text, const QFont& font) {
  QStaticText laidOut(ToQString(text));
  laidOut.setTextFormat(Qt::PlainText);
  laidOut.prepare(QTransform(), font);
  return laidOut;
}

QColor TextColor(TColor color) { return color == clNone ? QColor(Qt::black) : ToQColor(color); }

} // namespace

uint32_t ToRgb32(TColor color) {
  return 0xFF000000u | (uint32_t(GetRValue(color)) << 16) | (uint32_t(GetGValue(color)) << 8) |
         uint32_t(GetBValue(color));
}

void TBrush::SetColor(TColor color) {
  FColor = color;
  if (Style == TBrushStyle::Clear) Style = TBrushStyle::Solid;
}

TCanvas::TCanvas(QImage* image) { SetImage(image); }

TCanvas::~TCanvas() { Release(); }

void TCanvas::SetImage(QImage* image) {
  Release();
  FImage = image;
  if (FImage && !FImage->isNull() && FImage->format() != QImage::Format_RGB32 &&
      FImage->format() != QImage::Format_ARGB32_Premultiplied)
    FImage->convertTo(QImage::Format_RGB32);
}

void TCanvas::Release() {
  FPainter.reset();
  FBits = nullptr;
}

QPainter& TCanvas::Painter() {
  if (!FPainter) {
    Begin(); // takes the pixels before the painter does
    FPainter = std::make_unique<QPainter>(FImage);
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::TextAntialiasing, false);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  }
  return *FPainter;
}

bool TCanvas::Intersects(int64_t left, int64_t top, int64_t right, int64_t bottom) const {
  if (!FImage || FImage->isNull()) return false;
  return right > left && bottom > top && right > 0 && bottom > 0 && left < FImage->width() &&
         top < FImage->height();
}

QFont TCanvas::MakeFont(const std::string& name, int32_t height) {
  QFont font;
  font.setFamilies({ToQString(name), QString::fromLatin1(kFallbackFamily)});
  font.setKerning(false);
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  if (height < 0) {
    font.setPixelSize(-height);
  } else if (height > 0) {
    // A cell height: the character height is the part of it that is not leading.
    font.setPixelSize(100);
    qreal cell = QFontMetricsF(font).height();
    font.setPixelSize(std::max(1, int(height * 100 / cell + 0.5)));
  }
  return font;
}

const QFont& TCanvas::CachedFont(int32_t height) {
  if (FFontsName != Font.Name) {
    FFonts.clear();
    FFontsName = Font.Name;
  }
  auto it = FFonts.find(height);
  if (it == FFonts.end()) it = FFonts.emplace(height, MakeFont(Font.Name, height)).first;
  return it->second;
}

size_t TCanvas::TTextKeyHash::operator()(const TTextKeyView& k) const {
  return std::hash<std::string_view>()(k.Text) ^ (std::hash<std::string_view>()(k.Font) << 1) ^ size_t(k.Height) * 31;
}

TCanvas::TTextEntry& TCanvas::Text(std::string_view text) {
  TTextKeyView key{text, Font.Name, Font.Height};
  auto it = FTexts.find(key);
  if (it != FTexts.end()) return it->second;
  if (FTexts.size() > kMaxCachedTexts) FTexts.clear();
  TTextEntry entry;
  if (Font.Height != 0 && Font.Height > -kMaxTextHeight && Font.Height < kMaxTextHeight) {
    QFontMetrics metrics(CachedFont(Font.Height));
    entry.Extent = QSize(metrics.horizontalAdvance(ToQString(text)), metrics.height());
  }
  return FTexts.emplace(TTextKey{std::string(text), Font.Name, Font.Height}, std::move(entry)).first->second;
}

int32_t TCanvas::TextWidth(std::string_view text) { return MeasureText(text).width(); }

int32_t TCanvas::TextHeight(std::string_view text) { return MeasureText(text).height(); }

void TCanvas::MakeRuns(TTextEntry& entry, std::string_view text) {
  const QStaticText laidOut = LaidOut(text, CachedFont(Font.Height));
  // Glyphs may reach past the text's advance and cell on any side.
  const int slack = std::max(entry.Extent.height(), 1);
  QImage image(entry.Extent.width() + 2 * slack, entry.Extent.height() + 2 * slack, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(CachedFont(Font.Height));
    painter.setPen(Qt::black);
    painter.drawStaticText(QPoint(slack, slack), laidOut);
  }
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(row[x]) == 0) continue;
      int end = x;
      while (end + 1 < image.width() && qAlpha(row[end + 1]) != 0) ++end;
      entry.Runs.push_back({y - slack, x - slack, end - slack});
      x = end;
    }
  }
  entry.HasRuns = true;
}

void TCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  if (!FImage || text.empty() || Font.Height == 0) return;
  if (Font.Height <= -kMaxTextHeight || Font.Height >= kMaxTextHeight) return;
  TTextEntry& entry = Text(text);
  const QSize extent = entry.Extent;
  // A little room for glyphs that reach past their advance.
  int64_t slack = extent.height();
  if (!Intersects(x - slack, y, int64_t(x) + extent.width() + slack, int64_t(y) + extent.height())) return;
  if (Brush.Style == TBrushStyle::Solid) {
    QPainter& painter = Painter();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(x, y, extent.width(), extent.height(), ToQColor(Brush.Color()));
  }
  if (int64_t(extent.width() + 2 * slack) * (extent.height() + 2 * slack) > kMaxRunsImage) {
    QPainter& painter = Painter();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setFont(CachedFont(Font.Height));
    painter.setPen(TextColor(Font.Color));
    painter.drawStaticText(QPoint(x, y), LaidOut(text, CachedFont(Font.Height)));
    return;
  }
  if (!entry.HasRuns) MakeRuns(entry, text);
  if (!Begin()) return;
  const uint32_t pen = TextColor(Font.Color).rgb();
  for (const TTextRun& run : entry.Runs) Span(int64_t(y) + run.Y, int64_t(x) + run.X0, int64_t(x) + run.X1, pen, false);
}

void TCanvas::SetCompositionFromPen(QPainter& painter) const {
  painter.setCompositionMode(Pen.Mode == TPenMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                       : QPainter::CompositionMode_SourceOver);
}

void TCanvas::Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  int64_t width = int64_t(x2) - x1;
  int64_t height = int64_t(y2) - y1;
  int32_t penWidth = std::max(1, Pen.Width);
  if (!Intersects(x1 - penWidth, y1 - penWidth, int64_t(x2) + penWidth, int64_t(y2) + penWidth)) return;
  // Beyond this size a curve is no longer drawn faithfully by the rasteriser.
  if (width > (1 << 22) || height > (1 << 22)) return;
  QPainter& painter = Painter();
  SetCompositionFromPen(painter);
  QPen pen(QColor::fromRgb(ToRgb32(Pen.Color)));
  pen.setWidth(penWidth == 1 ? 0 : penWidth);
  if (Pen.Style == TPenStyle::Dot && penWidth == 1) pen.setDashPattern({3, 3});
  painter.setPen(pen);
  QColor fill = QColor::fromRgb(ToRgb32(Brush.Color()));
  if (Brush.Style == TBrushStyle::Solid)
    painter.setBrush(fill);
  else if (Brush.Style == TBrushStyle::BDiagonal)
    painter.setBrush(QBrush(fill, Qt::BDiagPattern));
  else
    painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QRect(x1, y1, int(width - 1), int(height - 1)));
}

void TCanvas::StretchDraw(const TRect& rect, const QImage& picture) {
  if (picture.isNull() || !Intersects(rect.Left, rect.Top, rect.Right, rect.Bottom)) return;
  // Only the visible part is scaled, which keeps huge targets cheap.
  double w = double(rect.Right) - rect.Left;
  double h = double(rect.Bottom) - rect.Top;
  double left = std::max<double>(rect.Left, 0);
  double top = std::max<double>(rect.Top, 0);
  double right = std::min<double>(rect.Right, FImage->width());
  double bottom = std::min<double>(rect.Bottom, FImage->height());
  double sx = picture.width() / w;
  double sy = picture.height() / h;
  QRectF source((left - rect.Left) * sx, (top - rect.Top) * sy, (right - left) * sx, (bottom - top) * sy);
  QPainter& painter = Painter();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(QRectF(left, top, right - left, bottom - top), picture, source);
}

} // namespace qel
