#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace qel;

TEST(VCanvas, MapsSheetUnitsThroughZoomAndOffset) {
  TTestImage t;
  TVCanvas& v = t.View;
  EXPECT_EQ(v.ToDeviceX(123), 123);
  EXPECT_EQ(v.ToWorld(77), 77);
  v.SetZoom(80);
  v.OffsetX = -100;
  EXPECT_EQ(v.ToDeviceX(250), 100);
  EXPECT_EQ(v.ToWorld(125), 156); // no offset
  v.SetZoom(50);
  EXPECT_EQ(v.Scale(5), 2); // halves to even
  EXPECT_EQ(v.Scale(7), 4);
  v.SetZoom(30);
  EXPECT_EQ(v.Scale(5), 1); // 5 * 0.3 lies just below 1.5 in extended precision
  EXPECT_DOUBLE_EQ(v.Pen->ScaleFactor, v.ScaleFactor);
}

TEST(VCanvas, ZoomStepsStayWithinTheirLimits) {
  TTestImage t;
  TVCanvas& v = t.View;
  v.SetZoom(9995);
  v.ZoomIn();
  EXPECT_EQ(v.Zoom, 10000);
  v.ZoomIn();
  EXPECT_EQ(v.Zoom, 10000);
  v.SetZoom(10);
  v.ZoomOut();
  EXPECT_EQ(v.Zoom, 10);
  EXPECT_DOUBLE_EQ(v.ScaleFactor, 0.1);
  v.SetZoom(std::numeric_limits<int32_t>::max());
  v.ZoomIn();
  EXPECT_EQ(v.Zoom, 10000);
}

TEST(VCanvas, ZoomZeroPutsEverythingAtTheOffset) {
  TTestImage t;
  TVCanvas& v = t.View;
  v.SetZoom(0);
  v.OffsetX = 7;
  v.OffsetY = -3;
  EXPECT_EQ(v.ToDeviceX(5000), 7);
  EXPECT_EQ(v.ToDeviceY(5000), -3);
  EXPECT_EQ(v.ToWorld(42), 42);
}

TEST(VCanvas, RoundingNeverOverflows) {
  TTestImage t;
  TVCanvas& v = t.View;
  v.SetZoom(std::numeric_limits<int32_t>::max());
  EXPECT_EQ(v.Scale(std::numeric_limits<int32_t>::max()), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(v.Scale(std::numeric_limits<int32_t>::min()), std::numeric_limits<int32_t>::min());
  v.OffsetX = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(v.ToDeviceX(1000), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Nearest(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST(VCanvas, PenWidthsScaleAndNeverVanish) {
  TTestImage t;
  TVCanvas& v = t.View;
  v.SetZoom(10);
  v.Pen->SetWidth(0);
  EXPECT_EQ(t.Canvas.Pen.Width, 1);
  v.Pen->SetWidth(1);
  EXPECT_EQ(t.Canvas.Pen.Width, 1);
  v.SetZoom(50);
  v.Pen->SetWidth(3);
  EXPECT_EQ(t.Canvas.Pen.Width, 2); // Nearest(1.5)
  v.SetZoom(200);
  v.Pen->SetWidth(4);
  EXPECT_EQ(t.Canvas.Pen.Width, 8);
}

TEST(VCanvas, RectangleInSheetUnitsAtZoom) {
  TTestImage t;
  t.View.SetZoom(200);
  t.View.OffsetX = -10;
  t.View.Brush().SetColor(clRed);
  t.View.Rectangle(10, 10, 20, 20);
  EXPECT_EQ(t.Bounds(), QRect(10, 20, 20, 20));
}

TEST(VCanvas, TextOutScalesArialAndRestoresTheFont) {
  TTestImage small(300, 100), large(300, 100);
  small.View.TextOut(10, 10, "Plan");
  large.View.SetZoom(200);
  large.View.TextOut(5, 5, "Plan");
  QRect a = small.Bounds(), b = large.Bounds();
  ASSERT_FALSE(a.isNull());
  ASSERT_FALSE(b.isNull());
  EXPECT_NEAR(b.width(), 2 * a.width(), 3);
  EXPECT_NEAR(b.height(), 2 * a.height(), 3);
  EXPECT_GE(a.top(), 10);
  EXPECT_GE(a.left(), 10);
  EXPECT_EQ(large.Canvas.Font.Name, "MS Sans Serif");
  EXPECT_EQ(large.Canvas.Font.Height, -11);
  EXPECT_EQ(large.Canvas.Brush.Style, TBrushStyle::Clear);
  // Measured in the unscaled font, in sheet units.
  int32_t width = small.View.TextWidth("Plan");
  EXPECT_EQ(large.View.Scale(large.View.TextWidth("Plan")), large.View.Scale(large.View.ToWorld(width)));
  EXPECT_NEAR(small.View.Scale(small.View.TextWidth("Plan")), a.width(), 2);
}
