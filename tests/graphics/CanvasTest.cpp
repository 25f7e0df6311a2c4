#include "GraphicsTestSupport.h"

#include <QFontInfo>
#include <QPainter>
#include <QStaticText>
#include <gtest/gtest.h>

using namespace qel;

TEST(Canvas, RectangleLeavesOutItsRightAndBottomEdges) {
  TTestImage t(40, 30);
  t.Canvas.Brush.SetColor(clRed);
  t.Canvas.Rectangle(10, 10, 20, 15);
  EXPECT_EQ(t.Bounds(), QRect(10, 10, 10, 5));
  EXPECT_EQ(t.At(10, 12), clBlack);
  EXPECT_EQ(t.At(19, 12), clBlack);
  EXPECT_EQ(t.At(15, 14), clBlack);
  EXPECT_EQ(t.Count(clRed, QRect(11, 11, 8, 3)), 24);
  // Reversed corners draw the same box; an empty one draws nothing.
  TTestImage reversed(40, 30);
  reversed.Canvas.Brush.SetColor(clRed);
  reversed.Canvas.Rectangle(20, 15, 10, 10);
  EXPECT_EQ(reversed.Snapshot(), t.Snapshot());
  TTestImage empty(40, 30);
  empty.Canvas.Rectangle(10, 10, 10, 20);
  empty.Canvas.Rectangle(5, 5, 25, 5);
  EXPECT_TRUE(empty.Bounds().isNull());
}

TEST(Canvas, XorDrawnTwiceLeavesTheImageUnchanged) {
  TTestImage t(60, 40);
  t.Canvas.Brush.SetColor(clBlue);
  t.Canvas.Rectangle(0, 0, 30, 30); // something to draw over
  QImage before = t.Snapshot();
  auto shapes = [&] {
    t.Canvas.Pen.Mode = TPenMode::Xor;
    t.Canvas.Pen.Color = clWhite;
    t.Canvas.Brush.SetColor(clYellow);
    t.Canvas.Rectangle(5, 5, 50, 35);
    t.Canvas.Ellipse(10, 2, 40, 30);
    t.Canvas.Pen.Style = TPenStyle::Dot;
    t.Canvas.Brush.Style = TBrushStyle::Clear;
    t.Canvas.Rectangle(2, 3, 57, 38);
    t.Canvas.MoveTo(0, 39);
    t.Canvas.LineTo(59, 0);
    t.Canvas.Pen.Style = TPenStyle::Solid;
    t.Canvas.Pen.Width = 5;
    t.Canvas.MoveTo(0, 0);
    t.Canvas.LineTo(59, 39);
    t.Canvas.Pen.Width = 1;
  };
  shapes();
  QImage shown = t.Snapshot();
  EXPECT_NE(shown, before);
  // The xor fill and frame do not cancel each other: the frame shows.
  EXPECT_NE(t.At(5, 20), t.At(4, 20));
  shapes();
  EXPECT_EQ(t.Snapshot(), before);
}

TEST(Canvas, DottedFrameAndHatchLeaveWhatLiesBetween) {
  TTestImage t(40, 30, clRed);
  t.Canvas.Pen.Style = TPenStyle::Dot;
  t.Canvas.Brush.SetColor(clBlack);
  t.Canvas.Brush.Style = TBrushStyle::BDiagonal;
  t.Canvas.Rectangle(0, 0, 30, 20);
  std::string top;
  for (int x = 0; x < 12; ++x) top += t.At(x, 0) == clBlack ? '#' : '.';
  EXPECT_EQ(top, "###...###...");
  // One hatch pixel in every eight of each inside row, on "/" diagonals.
  for (int y = 1; y < 19; ++y) {
    EXPECT_GE(t.Count(clBlack, QRect(1, y, 28, 1)), 3);
    EXPECT_LE(t.Count(clBlack, QRect(1, y, 28, 1)), 4);
  }
  EXPECT_EQ(t.At(7, 8), clBlack);
  EXPECT_EQ(t.At(8, 7), clBlack);
  EXPECT_EQ(t.At(8, 8), clRed);
  // A wider dotted pen draws solid.
  TTestImage wide(40, 30);
  wide.Canvas.Pen.Style = TPenStyle::Dot;
  wide.Canvas.Pen.Width = 2;
  wide.Canvas.Brush.Style = TBrushStyle::Clear;
  wide.Canvas.Rectangle(5, 5, 30, 20);
  EXPECT_EQ(wide.Count(clBlack, QRect(5, 5, 25, 1)), 25);
}

TEST(Canvas, LinesLeaveOutTheirEndPoint) {
  TTestImage t(40, 30);
  t.Canvas.MoveTo(5, 5);
  t.Canvas.LineTo(15, 5);
  EXPECT_EQ(t.Count(clBlack, QRect(0, 5, 40, 1)), 10);
  EXPECT_EQ(t.At(15, 5), clWhite);
  t.Canvas.MoveTo(0, 10);
  t.Canvas.LineTo(10, 15);
  EXPECT_EQ(t.Count(clBlack, QRect(0, 10, 40, 6)), 10);
  EXPECT_EQ(t.At(10, 15), clWhite);
  // A polyline's joints are drawn once: xor along it marks every pixel.
  TTestImage x(40, 30);
  x.Canvas.Pen.Mode = TPenMode::Xor;
  x.Canvas.Pen.Color = clWhite;
  x.Canvas.MoveTo(1, 1);
  for (int i = 2; i < 30; ++i) x.Canvas.LineTo(i, i / 2);
  EXPECT_EQ(x.Count(clBlack, QRect(0, 0, 40, 30)), 28);
}

TEST(Canvas, HugeCoordinatesAreClippedQuickly) {
  TTestImage t(100, 100);
  t.Canvas.MoveTo(-2000000000, -2000000000);
  t.Canvas.LineTo(2000000000, 2000000000);
  EXPECT_EQ(t.Count(clBlack, QRect(0, 0, 100, 100)), 100);
  t.Canvas.Pen.Width = 3;
  t.Canvas.MoveTo(-2000000000, 50);
  t.Canvas.LineTo(2000000000, 50);
  EXPECT_EQ(t.Count(clBlack, QRect(0, 49, 100, 3)), 300);
  t.Canvas.Rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
  t.Canvas.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
  t.Canvas.StretchDraw({-2000000000, -2000000000, 2000000000, 2000000000}, QImage(4, 4, QImage::Format_RGB32));
}

TEST(Canvas, EllipseFitsItsRectangle) {
  TTestImage t(40, 30);
  t.Canvas.Brush.SetColor(clNone); // no colour fills white
  t.Canvas.Ellipse(10, 10, 18, 18);
  EXPECT_EQ(t.Bounds(), QRect(10, 10, 8, 8));
  EXPECT_EQ(t.At(14, 14), clWhite);
}

TEST(Canvas, FillRectCopiesWhateverThePenMode) {
  TTestImage t(40, 30);
  t.Canvas.Pen.Mode = TPenMode::Xor;
  t.Canvas.Brush.SetColor(clGreen);
  t.Canvas.FillRect({2, 2, 6, 5});
  t.Canvas.FillRect({2, 2, 6, 5});
  EXPECT_EQ(t.Count(clGreen, QRect(0, 0, 40, 30)), 12);
  // A clear brush fills nothing; giving it a colour makes it solid again.
  t.Canvas.Brush.Style = TBrushStyle::Clear;
  t.Canvas.FillRect({10, 10, 20, 20});
  EXPECT_EQ(t.Count(clGreen, QRect(0, 0, 40, 30)), 12);
  t.Canvas.Brush.SetColor(clGreen);
  EXPECT_EQ(t.Canvas.Brush.Style, TBrushStyle::Solid);
}

TEST(Canvas, TextIsDrawnInTheMetricTwinOfArial) {
  QFontInfo info(TCanvas::MakeFont("Arial", -11));
  EXPECT_TRUE(info.family() == "Liberation Sans" || info.family() == "Arial") << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 11);
  EXPECT_EQ(QFontInfo(TCanvas::MakeFont("MS Sans Serif", -11)).family(), info.family());
  TTestImage t(200, 60);
  t.Canvas.Font.Name = "Arial";
  t.Canvas.Font.Color = clNone; // written black
  t.Canvas.Brush.Style = TBrushStyle::Clear;
  t.Canvas.TextOut(10, 20, "Plan <2>");
  int width = t.Canvas.TextWidth("Plan <2>");
  int height = t.Canvas.TextHeight("Plan <2>");
  EXPECT_GT(width, 30);
  EXPECT_LT(width, 60);
  EXPECT_GE(height, 11);
  QRect drawn = t.Bounds();
  ASSERT_FALSE(drawn.isNull());
  EXPECT_TRUE(QRect(10, 20, width, height).contains(drawn)) << drawn.x() << "," << drawn.y();
  EXPECT_GT(t.Count(clBlack, drawn), 20);
  // Zero height, as at zoom 0, draws nothing.
  TTestImage none(200, 60);
  none.Canvas.Font.Height = 0;
  none.Canvas.TextOut(10, 20, "Plan");
  EXPECT_TRUE(none.Bounds().isNull());
}

// Text sets exactly the pixels Qt's own drawing of it sets, in the pen's colour, at any size
// and place, including glyphs that reach past their cell and texts cut by the image's edges.
TEST(Canvas, TextSetsThePixelsQtDraws) {
  struct TCase {
    const char* text;
    int32_t height, x, y;
    TColor color;
  };
  const TCase cases[] = {{"Plan <2>", -11, 10, 20, clNone},    {"jfW|gyQ \xe9\xff\xc4", -11, 3, 5, clRed},
                         {"Wide words, kept", -40, -30, 8, clBlue}, {"jjj", 20, 180, 45, clGreen},
                         {"Tiny", -3, 50, 58, clBlack},            {"Cut", -24, 60, -10, clNone},
                         {"Big", -1100, -50, -500, clRed}};
  for (const TCase& c : cases) {
    TTestImage t(200, 60, clYellow);
    t.Canvas.Font.Name = "Arial";
    t.Canvas.Font.Height = c.height;
    t.Canvas.Font.Color = c.color;
    t.Canvas.Brush.Style = TBrushStyle::Clear;
    for (int twice = 0; twice < 2; ++twice) t.Canvas.TextOut(c.x, c.y, c.text); // drawn, then from the cache
    QImage reference(200, 60, QImage::Format_RGB32);
    reference.fill(QColor::fromRgb(ToRgb32(clYellow)));
    {
      QPainter painter(&reference);
      painter.setRenderHint(QPainter::TextAntialiasing, false);
      painter.setFont(TCanvas::MakeFont("Arial", c.height));
      painter.setPen(QColor::fromRgb(ToRgb32(c.color == clNone ? clBlack : c.color)));
      QStaticText text(QString::fromLatin1(c.text));
      text.setTextFormat(Qt::PlainText);
      painter.drawStaticText(QPoint(c.x, c.y), text);
    }
    QImage drawn = t.Snapshot();
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_RGB32), reference) << c.text;
    EXPECT_GT(t.Marked(QRect(0, 0, 200, 60), clYellow), 0) << c.text;
  }
}
