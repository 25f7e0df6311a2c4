#include "GraphicsTestSupport.h"

#include "graphics/LinkDrawBot.h"

#include <gtest/gtest.h>

using namespace qel;

namespace {

struct TLinkDrawing : TTestProject {
  TTestImage Image{400, 300};
  TLinkDrawBot Bot{&Image.View};
  TNoteItem* From = NoteAt(0, 0, "From");
  TNoteItem* To = NoteAt(200, 100, "To");

  TLinkItem* RedLink(int32_t lineStyle = 1, TSheetItem* sheet = nullptr) {
    TLinkItem* link = Link(From, To, lineStyle, sheet);
    link->SetColor(clRed);
    return link;
  }
  void Draw(TLinkItem* link, bool selected = false) {
    Bot.SetNormalMode();
    Bot.Selected = selected;
    Bot.SetLink(link, Sheet);
    Bot.Draw();
  }
  QRect BoundsOf(TColor colour) const {
    QRect bounds;
    for (int y = 0; y < Image.Image.height(); ++y)
      for (int x = 0; x < Image.Image.width(); ++x)
        if (Image.At(x, y) == colour) bounds |= QRect(x, y, 1, 1);
    return bounds;
  }
};

} // namespace

TEST(LinkDrawBot, PenWidthScalesWithTheZoomButNeverVanishes) {
  struct TCase {
    int32_t width, zoom, pixels;
  };
  for (TCase c : {TCase{0, 10, 1}, TCase{1, 10, 1}, TCase{1, 100, 1}, TCase{0, 400, 1}, TCase{4, 200, 8}}) {
    TLinkDrawing d;
    TNoteItem* right = d.NoteAt(300, 0);
    TLinkItem* link = d.Link(d.From, right, 1);
    link->SetColor(clRed);
    link->SetPenWidth(c.width);
    d.Image.View.SetZoom(c.zoom);
    d.Bot.SetNormalMode();
    d.Bot.DrawLabel = d.Bot.DrawExitMark = false;
    d.Bot.SetLink(link, d.Sheet);
    d.Bot.Draw();
    int column = d.Image.View.ToDeviceX(60);
    EXPECT_EQ(d.Image.Count(clRed, QRect(column, 0, 1, 300)), c.pixels) << c.width << "@" << c.zoom;
  }
}

TEST(LinkDrawBot, CurveRunsFromCentreToCentre) {
  TLinkDrawing d;
  d.Bot.SetNormalMode();
  d.Bot.DrawLabel = d.Bot.DrawExitMark = false;
  d.Bot.SetLink(d.RedLink(), d.Sheet);
  d.Bot.Draw();
  QRect red = d.BoundsOf(clRed);
  EXPECT_EQ(red.topLeft(), QPoint(40, 25));
  EXPECT_EQ(red.right(), 239); // the end point is left out
  EXPECT_EQ(d.Image.At(140, 75), clRed);
}

TEST(LinkDrawBot, SelectedLinkShowsItsHandles) {
  TLinkDrawing d;
  TLinkItem* link = d.RedLink(0);
  link->SetCurve3(-30); // from-end offset
  link->SetCurve4(20);
  link->SetCurve1(25); // to-end offset
  link->SetCurve2(40);
  d.Draw(link, true);
  EXPECT_EQ(d.Image.Count(clBlack, QRect(6, 41, 8, 8)), 64);
  EXPECT_EQ(d.Image.Count(clBlack, QRect(261, 161, 8, 8)), 64);
  // Thin black guide lines to the centres of the notes.
  EXPECT_GT(d.Image.Count(clBlack, QRect(20, 28, 12, 12)), 5);
  EXPECT_GT(d.Image.Count(clBlack, QRect(245, 135, 12, 20)), 5);
  TLinkDrawing plain;
  TLinkItem* same = plain.RedLink(0);
  same->SetCurve3(-30);
  same->SetCurve4(20);
  plain.Draw(same);
  EXPECT_LT(plain.Image.Count(clBlack, QRect(6, 41, 8, 8)), 64);
}

TEST(LinkDrawBot, ExitMarkSitsWhereTheCurveLeavesTheFromNote) {
  TLinkDrawing d;
  d.Bot.SetNormalMode();
  d.Bot.DrawLabel = false;
  d.Bot.SetLink(d.RedLink(), d.Sheet);
  d.Bot.Draw();
  // The straight line leaves the box (0,0)-(80,50) through its right side at (80, 45).
  QRect mark;
  for (int y = 0; y < 100; ++y)
    for (int x = 60; x < 110; ++x)
      if (d.Image.At(x, y) == clBlack) mark |= QRect(x, y, 1, 1);
  EXPECT_EQ(mark.size(), QSize(8, 8));
  EXPECT_NEAR(mark.center().x(), 81, 2);
  EXPECT_NEAR(mark.center().y(), 45, 2);
  EXPECT_EQ(d.Image.At(mark.center().x(), mark.center().y()), clWhite); // filled with no colour
}

TEST(LinkDrawBot, LabelOfAnotherSheetsLinkIsMarked) {
  TLinkDrawing own, foreign;
  own.Bot.SetNormalMode();
  own.Bot.DrawCurve = own.Bot.DrawExitMark = false;
  own.Bot.SetLink(own.RedLink(), own.Sheet);
  own.Bot.Draw();
  TSheetItem* other = foreign.Container.AddSheet(TSheet{});
  foreign.Bot.SetNormalMode();
  foreign.Bot.DrawCurve = foreign.Bot.DrawExitMark = false;
  foreign.Bot.SetLink(foreign.RedLink(1, other), foreign.Sheet);
  foreign.Bot.Draw();
  QRect a = own.Image.Bounds(), b = foreign.Image.Bounds();
  ASSERT_FALSE(a.isNull());
  // Centred on the name alone: the prefix starts at the same place and pushes the name right.
  EXPECT_NEAR(a.center().x(), 140, 3);
  EXPECT_NEAR(a.center().y(), 75, 3);
  EXPECT_NEAR(b.left(), a.left(), 1);
  EXPECT_GT(b.right(), a.right() + 4);
}

TEST(LinkDrawBot, GhostDrawnTwiceLeavesTheImage) {
  TLinkDrawing d;
  d.Image.Canvas.Brush.SetColor(clYellow);
  d.Image.Canvas.Rectangle(30, 20, 150, 90);
  QImage before = d.Image.Snapshot();
  TLinkItem* link = d.RedLink(0);
  link->SetPenWidth(5);
  d.Bot.SetGhostMode();
  d.Bot.SetLink(link, d.Sheet);
  d.Bot.Draw();
  EXPECT_NE(d.Image.Snapshot(), before);
  d.Bot.Draw();
  EXPECT_EQ(d.Image.Snapshot(), before);
}

TEST(LinkDrawBot, ArrowTypeChangesNothing) {
  TLinkDrawing a, b;
  TLinkItem* first = a.RedLink();
  first->SetArrowType(0);
  a.Draw(first);
  TLinkItem* second = b.RedLink();
  second->SetArrowType(3);
  b.Draw(second);
  EXPECT_EQ(a.Image.Snapshot(), b.Image.Snapshot());
}

TEST(LinkDrawBot, AggregatedLinkHasNoHandlesAndMeetsTheAggregationNote) {
  TLinkDrawing d;
  TSheetItem* other = d.Container.AddSheet(TSheet{});
  TNoteItem* there = d.AddNote("There");
  d.Place(there, 10, 10, other);
  TNoteItem* agg = d.AggregationNote(other, 300, 200);
  TLinkItem* link = d.Link(there, d.From, 0, other);
  link->SetColor(clRed);
  TAggLinkDrawBot bot(&d.Image.View);
  bot.Selected = true;
  bot.SetLink(agg, link, d.Sheet);
  bot.Draw();
  // From the aggregation note's centre (340, 225) to the note's centre (40, 25), end left out.
  QRect red = d.BoundsOf(clRed);
  EXPECT_LE(red.left(), 45);
  EXPECT_LE(red.top(), 30);
  EXPECT_GE(red.bottom(), 220);
  // No square around the control point (90, 75).
  EXPECT_LT(d.Image.Count(clBlack, QRect(86, 71, 8, 8)), 64);
  EXPECT_THROW(TLinkDrawBot(&d.Image.View).Draw(), EInvalidPointer);
}

// A bot that has drawn a link draws it anew, exactly as a fresh bot does, once its notes
// have moved or the from-note's box alone has changed (its centre, and so the curve, kept).
TEST(LinkDrawBot, DrawsTheLinkAsItIsNowAfterItsNotesChange) {
  auto change = [](TLinkDrawing& d) {
    d.Container.MoveResizeNote(230, 140, 80, 50, d.To, d.Sheet);
    d.Container.MoveResizeNote(10, 5, 60, 40, d.From, d.Sheet); // same centre, smaller box
  };
  TLinkDrawing reused;
  TLinkItem* link = reused.RedLink();
  reused.Draw(link);
  QImage before = reused.Image.Snapshot();
  change(reused);
  reused.Image.Image.fill(Qt::white);
  reused.Draw(link);
  TLinkDrawing fresh;
  TLinkItem* same = fresh.RedLink();
  change(fresh);
  fresh.Draw(same);
  QImage after = reused.Image.Snapshot();
  EXPECT_NE(after, before);
  EXPECT_EQ(after, fresh.Image.Snapshot());
  // The exit mark moved with the box's right side, from x = 80 to x = 70.
  EXPECT_GT(reused.Image.Count(clBlack, QRect(62, 30, 14, 26)), 0);
  EXPECT_EQ(reused.Image.Count(clBlack, QRect(77, 30, 12, 30)), 0);
}
