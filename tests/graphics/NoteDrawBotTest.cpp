#include "GraphicsTestSupport.h"

#include "graphics/NoteDrawBot.h"
#include "graphics/PictureCache.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <limits>

using namespace qel;

namespace {

struct TNoteDrawing : TTestProject {
  TTestImage Image{400, 300};
  TNoteDrawBot Bot{&Image.View};
  TTempDir Files;
  TNoteDrawing() { Bot.Sheet = Sheet; }

  void Draw(TNoteItem* note, bool selected = false) {
    Bot.SetNormalMode();
    Bot.Selected = selected;
    Bot.Note = note;
    Bot.Draw();
  }
  // A PNG file of one colour.
  std::string Picture(const std::string& name, TColor color) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(ToRgb32(color)));
    std::string path = Files.File(name);
    image.save(QString::fromStdString(path), "PNG");
    return path;
  }
  // Black pixels strictly inside the box (its frame left out).
  int TextPixels(int x, int y, int w, int h) { return Image.Count(clBlack, QRect(x + 1, y + 1, w - 2, h - 2)); }
};

} // namespace

TEST(NoteDrawBot, DrawsAFramedBoxInTheNoteColour) {
  TNoteDrawing d;
  d.Draw(d.NoteAt(10, 20, "Plan"));
  EXPECT_EQ(d.Image.Bounds(), QRect(10, 20, 80, 50));
  EXPECT_EQ(d.Image.Count(clBlack, QRect(10, 20, 80, 1)), 80);
  EXPECT_EQ(d.Image.Count(clBlack, QRect(89, 20, 1, 50)), 50);
  EXPECT_EQ(d.Image.At(60, 60), clYellow);
  EXPECT_GT(d.TextPixels(10, 20, 80, 50), 20); // the caption
  EXPECT_EQ(d.Image.Canvas.Pen.Mode, TPenMode::Copy);
  EXPECT_EQ(d.Image.Canvas.Brush.Style, TBrushStyle::Clear); // left so by the caption
}

TEST(NoteDrawBot, TheSheetEdgeClipsTheBox) {
  TNoteDrawing d;
  d.Image.View.OffsetX = -9900;
  d.Draw(d.NoteAt(9950, 100));
  EXPECT_EQ(d.Image.Bounds(), QRect(50, 100, 49, 50));
  EXPECT_EQ(d.Image.At(98, 120), clBlack);
}

TEST(NoteDrawBot, ABoxClippedAwayIsNotDrawn) {
  TNoteDrawing d;
  d.Image.View.OffsetX = -9950;
  for (int x : {9999, 10000, 10030}) {
    TNoteItem* note = d.NoteAt(x, 100);
    note->SetImage(d.Picture("red.png", clRed));
    d.Draw(note);
  }
  d.Image.View.OffsetX = 0;
  d.Image.View.OffsetY = -9950;
  d.Draw(d.NoteAt(100, 9999));
  EXPECT_TRUE(d.Image.Bounds().isNull());
}

TEST(NoteDrawBot, ANoteNotPlacedDrawsNothing) {
  TNoteDrawing d;
  TNoteItem* note = d.AddNote("Waiting");
  note->SetImage(d.Picture("red.png", clRed));
  d.Place(note, -1, 40);
  d.Draw(note);
  EXPECT_TRUE(d.Image.Bounds().isNull());
}

TEST(NoteDrawBot, AnAggregationNoteHasAShadowAndNoPicture) {
  TNoteDrawing d;
  TSheetItem* other = d.Container.AddSheet(TSheet{});
  TNoteItem* agg = d.AggregationNote(other, 10, 10);
  agg->SetColor(clAqua);
  agg->SetImage(d.Picture("red.png", clRed));
  agg->SetLogo(d.Picture("green.png", clLime));
  d.Draw(agg);
  EXPECT_EQ(d.Image.Bounds(), QRect(10, 10, 85, 55));
  EXPECT_EQ(d.Image.Count(clBlack, QRect(90, 15, 5, 50)), 250); // shadow right of the box
  EXPECT_EQ(d.Image.Count(clBlack, QRect(15, 60, 80, 5)), 400); // and below it
  EXPECT_EQ(d.Image.Count(clRed, QRect(0, 0, 400, 300)), 0);
  EXPECT_EQ(d.Image.Count(clLime, QRect(0, 0, 400, 300)), 0);
  EXPECT_GT(d.TextPixels(10, 10, 80, 50), 20);
}

TEST(NoteDrawBot, PictureFillsTheBoxInsideItsFrame) {
  TNoteDrawing d;
  TNoteItem* note = d.NoteAt(20, 30);
  note->SetImage(d.Picture("red.png", clRed));
  d.Bot.SetNormalMode();
  d.Bot.DrawText = false;
  d.Bot.Note = note;
  d.Bot.Draw();
  EXPECT_EQ(d.Image.Count(clRed, QRect(0, 0, 400, 300)), 78 * 48);
  EXPECT_EQ(d.Image.Count(clRed, QRect(21, 31, 78, 48)), 78 * 48);
  // A missing file is skipped.
  note->SetImage(d.Files.File("gone.png"));
  d.Bot.Draw();
  EXPECT_EQ(d.Image.Count(clRed, QRect(0, 0, 400, 300)), 0);
}

TEST(NoteDrawBot, LogoTakesOneOfNinePlaces) {
  struct TCase {
    int w, h, place, left, top;
  };
  // In a box 98 wide the columns touch; in an 80 by 50 box place 4 lies at (24, 9).
  for (TCase c : {TCase{98, 98, 0, 1, 1}, TCase{98, 98, 1, 33, 1}, TCase{98, 98, 2, 65, 1}, TCase{98, 98, 5, 65, 33},
                  TCase{98, 98, 6, 1, 65}, TCase{98, 98, 8, 65, 65}, TCase{80, 50, 4, 24, 9}}) {
    TNoteDrawing d;
    TNoteItem* note = d.AddNote("L", c.w, c.h);
    d.Place(note, 100, 100);
    note->SetLogo(d.Picture("logo.png", clLime));
    note->SetLogoPos(c.place);
    d.Bot.SetNormalMode();
    d.Bot.DrawText = false;
    d.Bot.Note = note;
    d.Bot.Draw();
    EXPECT_EQ(d.Image.Bounds(clWhite) & QRect(0, 0, 400, 300), QRect(100, 100, c.w, c.h));
    QRect logo;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x)
        if (d.Image.At(x, y) == clLime) logo |= QRect(x, y, 1, 1);
    EXPECT_EQ(logo, QRect(100 + c.left, 100 + c.top, 32, 32)) << c.place;
  }
}

TEST(NoteDrawBot, SelectionShowsOutlineHatchAndGrips) {
  TNoteDrawing d;
  TNoteItem* note = d.NoteAt(100, 100, "");
  note->SetName("");
  d.Bot.SetNormalMode();
  d.Bot.DrawText = false;
  d.Bot.Selected = true;
  d.Bot.Note = note;
  d.Bot.Draw();
  // Grips: 7 by 7 black squares inside the corners.
  for (QRect grip : {QRect(100, 100, 7, 7), QRect(173, 100, 7, 7), QRect(100, 143, 7, 7), QRect(173, 143, 7, 7)})
    EXPECT_EQ(d.Image.Count(clBlack, grip), 49);
  // The frame between the grips is dotted white on the black frame.
  EXPECT_GT(d.Image.Count(clWhite, QRect(107, 100, 66, 1)), 25);
  EXPECT_GT(d.Image.Count(clBlack, QRect(107, 100, 66, 1)), 25);
  // Hatch lines over the note colour, which shows between them.
  QRect inside(110, 110, 60, 30);
  int hatch = d.Image.Count(clBlack, inside);
  EXPECT_NEAR(hatch, 60 * 30 / 8, 20);
  EXPECT_EQ(d.Image.Count(clYellow, inside), 60 * 30 - hatch);
  EXPECT_EQ(d.Image.Canvas.Brush.Color(), clYellow);
}

TEST(NoteDrawBot, CaptionShowsTheLinkCount) {
  TNoteDrawing d;
  TNoteItem* plan = d.NoteAt(10, 10, "Plan");
  TNoteItem* other = d.NoteAt(200, 10, "Other");
  d.Link(plan, other);
  d.Link(other, plan);
  d.Bot.Note = plan;
  EXPECT_EQ(d.Bot.Label(), "Plan <2>");
  d.Draw(plan);
  // One line, inset by 3 units.
  int lineHeight = d.Image.View.TextHeight("Plan <2>");
  EXPECT_EQ(d.TextPixels(10, 10, 80, 50) - d.Image.Count(clBlack, QRect(13, 13, 76, lineHeight)), 0);
}

TEST(NoteDrawBot, CaptionWrapsAtBlanks) {
  TNoteDrawing d;
  TNoteItem* note = d.NoteAt(10, 10, "alpha beta gamma delta", 80, 120);
  d.Draw(note);
  int lineHeight = d.Image.View.TextHeight("x");
  // Below the first line there is text: the caption took several lines, all inside the box.
  EXPECT_GT(d.Image.Count(clBlack, QRect(11, 13 + lineHeight, 78, 2 * lineHeight)), 10);
  EXPECT_EQ(d.Image.Count(clBlack, QRect(90, 0, 310, 300)), 0);
}

TEST(NoteDrawBot, AWordWiderThanTheBoxStandsAlone) {
  TNoteDrawing d;
  TNoteItem* note = d.NoteAt(10, 10, "Incomprehensibilities ok", 80, 120);
  d.Draw(note);
  int lineHeight = d.Image.View.TextHeight("x");
  EXPECT_GT(d.Image.Count(clBlack, QRect(90, 13, 100, lineHeight)), 5); // runs past the box
  EXPECT_GT(d.Image.Count(clBlack, QRect(11, 13 + lineHeight, 78, lineHeight)), 5); // "ok <0>" below
}

TEST(NoteDrawBot, CaptionStopsAtTheBoxHeight) {
  TNoteDrawing d;
  TNoteItem* note = d.NoteAt(10, 10, "one two three four five six seven", 60, 10);
  d.Draw(note);
  int lineHeight = d.Image.View.TextHeight("x");
  // The first line is drawn even though the box is lower than it; nothing below that line.
  EXPECT_GT(d.Image.Count(clBlack, QRect(13, 20, 50, 13 + lineHeight - 20)), 3);
  EXPECT_EQ(d.Image.Count(clBlack, QRect(0, 13 + lineHeight, 400, 200)), 0);
}

TEST(NoteDrawBot, CaptionWrapAlwaysEnds) {
  struct TCase {
    int32_t zoom, width, height;
    const char* name;
  };
  const int32_t huge = std::numeric_limits<int32_t>::max();
  for (TCase c : {TCase{100, 5, 2000000000, "narrow note with words"}, TCase{0, 5, 50, "zoom zero"},
                  TCase{huge, 5, 50, "huge zoom"}, TCase{100, 8, huge, ""}, TCase{100, -50, 50, "negative width"},
                  TCase{10, 6, huge, "a b c d e f g h i j k l m n o p q r s t u v w x y z"}}) {
    TNoteDrawing d;
    d.Image.View.SetZoom(c.zoom);
    TNoteItem* note = d.NoteAt(10, 10, c.name, c.width, c.height);
    QElapsedTimer timer;
    timer.start();
    d.Draw(note);
    EXPECT_LT(timer.elapsed(), 2000) << c.name;
  }
}

TEST(NoteDrawBot, GhostBoxDrawnTwiceLeavesTheImage) {
  TNoteDrawing d;
  TNoteItem* note = d.NoteAt(10, 10, "Ghost");
  d.Draw(d.NoteAt(40, 30, "Under"));
  QImage before = d.Image.Snapshot();
  d.Bot.SetGhostMode();
  d.Bot.Note = note;
  d.Bot.Draw();
  EXPECT_NE(d.Image.Snapshot(), before);
  d.Bot.Draw();
  EXPECT_EQ(d.Image.Snapshot(), before);
}

TEST(NoteDrawBot, MisuseIsReportedAsAnInvalidPointer) {
  TNoteDrawing d;
  auto message = [&] {
    try {
      d.Bot.Draw();
    } catch (const EInvalidPointer& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(message(), "TNoteDrawBot: Members not initialized...");
  d.Bot.Note = d.AddNote("Nowhere");
  EXPECT_EQ(message(), "TNoteDrawBot: No Position...");
}
