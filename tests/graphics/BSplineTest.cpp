#include "GraphicsTestSupport.h"

#include "graphics/BSpline.h"
#include "graphics/DrawBot.h"
#include "graphics/VCanvas.h"
#include "platform/qt/ScriptedDialogs.h"

#include <gtest/gtest.h>

using namespace qel;

namespace {

// The two notes of the examples: (0,0) and (200,100), both 80 by 50.
struct TLinkedPair : TTestProject {
  TNoteItem* From = NoteAt(0, 0, "From");
  TNoteItem* To = NoteAt(200, 100, "To");
};

// Sums kept in single precision leave a trace of rounding; drawing rounds it away.
void ExpectVertex(const TVertex& v, float x, float y) {
  EXPECT_NEAR(v.x, x, 1e-4);
  EXPECT_NEAR(v.y, y, 1e-4);
  EXPECT_EQ(Nearest(v.x), Nearest(x));
  EXPECT_EQ(Nearest(v.y), Nearest(y));
}

} // namespace

TEST(BSpline, PassesThroughItsEndsAndMiddle) {
  TBSpline s;
  for (float x : {0.f, 10.f, 20.f, 30.f}) s.AddVertex({x, 0, 0});
  ExpectVertex(s.Evaluate(0), 0, 0);
  ExpectVertex(s.Evaluate(1), 30, 0);
  ExpectVertex(s.Evaluate(0.5f), 15, 0);
  ExpectVertex(s.GetVertex(0), -10, 0); // reflected ends
  ExpectVertex(s.GetVertex(5), 40, 0);
}

TEST(BSpline, RefusesAHundredAndFirstVertex) {
  TScriptedDialogs dialogs;
  dialogs.Answer(mrOk);
  TBSpline s;
  for (int i = 0; i < 100; ++i) s.AddVertex({float(i), 0, 0});
  EXPECT_TRUE(dialogs.Shown.empty());
  s.AddVertex({1000, 0, 0});
  EXPECT_EQ(s.Count, 100);
  ASSERT_EQ(dialogs.Shown.size(), 1u);
  EXPECT_EQ(dialogs.Shown[0].Text, "Maximum number of vertices reached...");
  EXPECT_EQ(dialogs.Shown[0].Type, TMsgDlgType::mtError);
  EXPECT_EQ(dialogs.Shown[0].Buttons, mbOK);
  EXPECT_TRUE(dialogs.Failures.empty());
  ExpectVertex(s.Evaluate(1), 99, 0);
}

TEST(BSpline, FewerThanTwoVerticesEvaluateOnZeroedStorage) {
  TBSpline s;
  for (float x : {5.f, 6.f, 7.f}) s.AddVertex({x, x, 0});
  s.Reset();
  for (float t : {0.f, 0.5f, 1.f}) ExpectVertex(s.Evaluate(t), 0, 0);
  s.AddVertex({30, 60, 0});
  ExpectVertex(s.Evaluate(1), 20, 40); // two thirds of the one vertex; its neighbours are zero
  ExpectVertex(s.GetVertex(-1), 0, 0);
  ExpectVertex(s.GetVertex(500), 0, 0);
}

TEST(QELSpline, BuildsFourVerticesFromTheNotesAndOffsets) {
  TLinkedPair p;
  TLinkItem* link = p.Link(p.From, p.To, 1);
  TQELSpline s;
  s.Build(link, p.Sheet);
  ASSERT_EQ(s.Count, 4);
  ExpectVertex(s.GetVertex(1), 40, 25);
  ExpectVertex(s.GetVertex(2), 41, 26);
  ExpectVertex(s.GetVertex(3), 241, 126);
  ExpectVertex(s.GetVertex(4), 240, 125);
  // Centres round halves to even.
  p.From->SetWidth(81);
  p.To->SetWidth(83);
  s.Build(link, p.Sheet);
  EXPECT_FLOAT_EQ(s.GetVertex(1).x, 40);
  EXPECT_FLOAT_EQ(s.GetVertex(4).x, 242);
}

TEST(QELSpline, HandlesSitAroundTheControlPoints) {
  TLinkedPair p;
  TLinkItem* link = p.Link(p.From, p.To, 0);
  link->Data.FromOffsetX = -30;
  link->Data.FromOffsetY = 20;
  link->Data.ToOffsetX = 25;
  link->Data.ToOffsetY = 40;
  TQELSpline s;
  s.Build(link, p.Sheet);
  EXPECT_EQ(s.HandleRect(1), (TRect{6, 41, 14, 49}));
  EXPECT_EQ(s.HandleRect(0), (TRect{261, 161, 269, 169}));
  EXPECT_EQ(s.HandleAt(10, 45), 1);
  EXPECT_EQ(s.HandleAt(265, 165), 0);
  EXPECT_EQ(s.HandleAt(14, 45), 2); // strictly inside only
  EXPECT_EQ(s.HandleAt(13, 48), 1);
  EXPECT_THROW(s.HandleRect(2), EInvalidPointer);
  // Where both squares overlap handle 0 wins.
  link->Data.ToOffsetX = -227;
  link->Data.ToOffsetY = -78;
  s.Build(link, p.Sheet);
  EXPECT_EQ(s.HandleAt(11, 46), 0);
}

TEST(QELSpline, HitTestFollowsTheDrawnCurve) {
  TLinkedPair p;
  TLinkItem* link = p.Link(p.From, p.To, 1);
  TQELSpline s;
  s.Build(link, p.Sheet);
  EXPECT_TRUE(s.HitTest(140, 75, 3));
  EXPECT_FALSE(s.HitTest(140, 85, 3));
  EXPECT_FALSE(s.HitTest(143, 75, 1)); // 3 away with a tolerance of 1
  EXPECT_FALSE(s.HitTest(140, 75, 0));
  // Strict: a point exactly the tolerance away does not hit.
  EXPECT_TRUE(s.HitTest(40, 22, 4));
  EXPECT_FALSE(s.HitTest(37, 25, 3));
}

TEST(QELSpline, LongLinksHaveNoGapsBetweenSamples) {
  TTestProject p;
  TNoteItem* a = p.NoteAt(0, 0);
  TNoteItem* b = p.NoteAt(9000, 3000);
  TLinkItem* link = p.Link(a, b, 1);
  TQELSpline s;
  s.Build(link, p.Sheet);
  // The samples lie about 63 units apart; the point halfway between two of them, on the
  // drawn segment, hits with the smallest tolerance.
  TCurve curve = s.Polyline();
  for (int i = 0; i < kCurveSegments; ++i) {
    int32_t mx = (curve[i].X + curve[i + 1].X) / 2, my = (curve[i].Y + curve[i + 1].Y) / 2;
    EXPECT_TRUE(s.HitTest(mx, my, 1)) << i;
    EXPECT_FALSE(s.HitTest(mx, my + 25, 3)) << i;
  }
}

TEST(AggSpline, UnplacedEndsAreDrawnToTheAggregationNote) {
  TTestProject p;
  TSheetItem* other = p.Container.AddSheet(TSheet{});
  TNoteItem* here = p.NoteAt(0, 0);
  TNoteItem* there = p.AddNote("There");
  p.Place(there, 500, 500, other);
  TNoteItem* agg = p.AggregationNote(other, 300, 200);
  TLinkItem* link = p.Link(there, here, 1, other);
  TAggSpline s;
  s.Build(agg, link, p.Sheet);
  ASSERT_EQ(s.Count, 4);
  ExpectVertex(s.GetVertex(1), 340, 225);
  ExpectVertex(s.GetVertex(4), 40, 25);
}
