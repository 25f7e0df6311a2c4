#include "GraphicsTestSupport.h"

#include "graphics/SelDrawBot.h"

#include <gtest/gtest.h>

using namespace qel;

namespace {

struct TMoveOutline : TTestProject {
  TTestImage Image{500, 300};
  TSelDrawBot Bot{&Image.View};
  TNoteItem* A = NoteAt(100, 100, "A", 80, 50);
  TNoteItem* B = NoteAt(300, 40, "B", 60, 60);
  TMoveOutline() { Bot.Sheet = Sheet; }
};

} // namespace

TEST(SelDrawBot, FramesTheNotesAndFollowsThePointer) {
  TMoveOutline m;
  m.Bot.StartMove({m.A, m.B}, 120, 110);
  EXPECT_EQ(m.Bot.CurrentX, 100);
  EXPECT_EQ(m.Bot.CurrentY, 40);
  EXPECT_EQ(m.Bot.Width, 260);
  EXPECT_EQ(m.Bot.Height, 110);
  EXPECT_EQ(m.Bot.GrabX, 20);
  EXPECT_EQ(m.Bot.GrabY, 70);
  EXPECT_TRUE(m.Image.Bounds().isNull()); // the press draws nothing
  m.Bot.DrawOutline();
  m.Bot.CurrentX = 220;
  m.Bot.CurrentY = 210;
  m.Bot.Draw();
  // Only the frame at (200, 140, 460, 250) is left: white xor over white is black.
  EXPECT_EQ(m.Image.Bounds(), QRect(200, 140, 260, 110));
  EXPECT_EQ(m.Image.Count(clBlack, QRect(200, 140, 260, 1)), 260);
  EXPECT_EQ(m.Image.At(300, 200), clWhite);
  m.Bot.DrawOutline();
  EXPECT_TRUE(m.Image.Bounds().isNull());
}

TEST(SelDrawBot, AMoveEndingWhereItStartedLeavesNoOutline) {
  TMoveOutline m;
  m.Image.Canvas.Brush.SetColor(clYellow);
  m.Image.Canvas.Rectangle(50, 50, 300, 200);
  QImage before = m.Image.Snapshot();
  m.Bot.StartMove({m.A}, 150, 120);
  m.Bot.DrawOutline();
  for (TPoint p : {TPoint{160, 130}, TPoint{400, 10}, TPoint{150, 120}}) {
    m.Bot.CurrentX = p.X;
    m.Bot.CurrentY = p.Y;
    m.Bot.Draw();
  }
  m.Bot.DrawOutline();
  EXPECT_EQ(m.Image.Snapshot(), before);
}

TEST(SelDrawBot, DrawNeedsNotesAndSheet) {
  TMoveOutline m;
  EXPECT_THROW(m.Bot.Draw(), EInvalidPointer);
  m.Bot.StartMove({m.A}, 0, 0);
  m.Bot.Sheet.Reset();
  try {
    m.Bot.Draw();
    FAIL();
  } catch (const EInvalidPointer& e) {
    EXPECT_STREQ(e.what(), "TSelDrawBot: Members not initialized...");
  }
}
