// The sheet window's mouse handling: selecting, the rubber band, resizing a note, reshaping a
// link by its control handles, and the start of a drag of notes.
#include "SheetForm.h"

#include "graphics/BSpline.h"
#include "graphics/SelDrawBot.h"
#include "model/Container.h"

#include <QCursor>
#include <QPointer>
#include <cstdlib>

namespace qel {

namespace {

constexpr int kDragThreshold = 5; // pixels a press on a note may move without starting a drag

} // namespace

TDrawSheet::TGrab TDrawSheet::GrabAt(int X, int Y) const {
  // The corners of the one selected note under the pointer come first; elsewhere the handles
  // of the selected link, while it is shown here.
  const std::vector<TNoteItem*> notes = View->SelectedNotes();
  if (notes.size() == 1 && View->NoteAt(X, Y) == notes[0]) return {View->CornerAt(X, Y), 2};
  if (LinkShownHere(View->SelectedLink())) return {4, View->HandleAt(X, Y)};
  return {4, 2};
}

bool TDrawSheet::LinkShownHere(const TLinkItem* Link) const {
  TSheetItem* sheet = GetSheet();
  return Link && sheet && Container && Container->LinkShownOn(Link, sheet) &&
         (View->ShowAllLinks || Container->LinkIsOn(Link, sheet));
}

void TDrawSheet::PB_SheetMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y) {
  if (Button != Qt::LeftButton || !View || !GetSheet()) return;
  // A gesture whose release never came (a modal box took it) ends before a new one starts.
  if (GestureRunning()) EndLostGesture();
  // The press acts on what lies under it, whatever the hover state last said.
  const TGrab grab = GrabAt(X, Y);
  Corner = grab.Corner;
  LinkHandle = grab.Handle;
  if (grab.Corner == 4 && grab.Handle == 2)
    PressOnSheet(X, Y);
  else if (grab.Corner != 4)
    StartResize(grab.Corner);
  else
    StartHandleDrag(grab.Handle, X, Y);
}

bool TDrawSheet::GestureRunning() const { return Banding || Resizing || HandleDragging || PressedOnNote; }

void TDrawSheet::EndLostGesture() {
  // A drag started here ends through its own drop.
  if (Dragging) return;
  const bool reshaped = HandleDragging;
  if (Banding || Resizing || HandleDragging) ClearFeedback();
  Banding = Resizing = HandleDragging = PressedOnNote = NoDrag = FirstGhost = false;
  Corner = 4;
  LinkHandle = 2;
  FResizeNote.Reset();
  if (reshaped) Redraw(false);
}

void TDrawSheet::PressOnSheet(int X, int Y) {
  TNoteItem* note = View->NoteAt(X, Y);
  TLinkItem* link = View->LinkAt(X, Y);
  if (note) {
    if (!View->IsSelected(note)) View->ClearNoteSelection();
    View->SelectNote(note);
    View->ClearLinkSelection();
    PressPoint = {X, Y};
    PressedOnNote = true;
    Outline->StartMove(View->SelectedNotes(), BitmapCanvas->ToWorld(X), BitmapCanvas->ToWorld(Y));
  } else if (link && LinkShownHere(link)) {
    // A link hidden here cannot be chosen (nor then deleted unseen).
    View->SelectLink(link);
    Redraw(true);
  } else {
    View->ClearNoteSelection();
    View->ClearLinkSelection();
    Banding = true;
    BandAnchor = BandEnd = {X, Y};
    FAnchorWorld = {BitmapCanvas->ToWorld(X), BitmapCanvas->ToWorld(Y)};
    NoDrag = false;
  }
}

void TDrawSheet::StartResize(int corner) {
  TNoteItem* note = View->SelectedNotes().front();
  const TPosItem* pos = Container->FindPosition(note, GetSheet());
  if (!pos) return;
  Resizing = true;
  FResizeCorner = corner;
  FResizeNote = note;
  BeginResize(pos, note);
  EraseBand();
}

void TDrawSheet::BeginResize(const TPosItem* Position, const TNoteItem* Note) {
  auto scale = [this](long long v) { return BitmapCanvas->Scale(Clamp32(v)); };
  const long long x = Position->Data.X, y = Position->Data.Y, w = Note->Data.Width, h = Note->Data.Height;
  const int32_t sw = scale(w), sh = scale(h);
  // The fixed corner, in sheet units: a zoom during the resize does not move it.
  FAnchorWorld = {Clamp32(FResizeCorner == 0 || FResizeCorner == 2 ? x + w : x),
                  Clamp32(FResizeCorner == 0 || FResizeCorner == 1 ? y + h : y)};
  switch (FResizeCorner) {
  case 0:
    BandEnd = {scale(x), scale(y)};
    BandAnchor = {Clamp32((long long)BandEnd.X + sw), Clamp32((long long)BandEnd.Y + sh)};
    break;
  case 1:
    BandEnd = {scale(x + w), scale(y)};
    BandAnchor = {Clamp32((long long)BandEnd.X - sw), Clamp32((long long)BandEnd.Y + sh)};
    break;
  case 2:
    BandEnd = {scale(x), scale(y + h)};
    BandAnchor = {Clamp32((long long)BandEnd.X + sw), Clamp32((long long)BandEnd.Y - sh)};
    break;
  default:
    BandEnd = {scale(x + w), scale(y + h)};
    BandAnchor = {Clamp32((long long)BandEnd.X - sw), Clamp32((long long)BandEnd.Y - sh)};
  }
}

void TDrawSheet::StartHandleDrag(int handle, int X, int Y) {
  TLinkItem* link = View->SelectedLink();
  HandleDragging = true;
  FirstGhost = true;
  LinkHandle = handle;
  PressPoint = {X, Y};
  FPressWorld = {BitmapCanvas->ToWorld(X), BitmapCanvas->ToWorld(Y)};
  // Where the handle is drawn, which for a straight link is not its stored offset.
  TQELSpline spline;
  spline.Build(link, GetSheet());
  HandleStart = spline.HandleOffset(handle);
}

void TDrawSheet::FollowZoom() {
  if (!Banding && !Resizing && !HandleDragging) return;
  // The gesture is held in sheet units; its feedback is drawn again at the new zoom.
  ClearFeedback();
  if (HandleDragging) {
    FirstGhost = true;
    return;
  }
  BandAnchor = {BitmapCanvas->Scale(FAnchorWorld.X), BitmapCanvas->Scale(FAnchorWorld.Y)};
  if (Resizing || (BandEnd.X != BandAnchor.X && BandEnd.Y != BandAnchor.Y)) DrawXorRect(BandAnchor, BandEnd);
}

void TDrawSheet::PB_SheetMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers, int X, int Y) {
  if (!View || !GetSheet()) return;
  // Without the button the gesture's release was lost: nothing follows the pointer any more.
  if (!(Buttons & Qt::LeftButton) && GestureRunning()) EndLostGesture();
  if (Banding || Resizing) {
    DrawBand(X, Y);
  } else if (HandleDragging) {
    if (!FirstGhost) GhostHandleDrag(LastPoint); // removes the previous ghost
    FirstGhost = false;
    GhostHandleDrag({X, Y});
  }
  HoverState(X, Y);
  const bool moved = std::abs(PressPoint.X - X) > kDragThreshold || std::abs(PressPoint.Y - Y) > kDragThreshold;
  if (moved && !Dragging && PressedOnNote && !NoDrag) {
    NoDrag = false;
    QPointer<TDrawSheet> self(this);
    PB_SheetStartDrag();
    if (!self) return; // freed during its own drag
  }
  LastPoint = {X, Y};
}

void TDrawSheet::HoverState(int X, int Y) {
  // Each case sets what it shows and clears the rest, so no stale corner or handle is left
  // for a later press.
  TGrab grab{4, 2};
  if (!Banding && !Resizing && !HandleDragging) grab = GrabAt(X, Y);
  if (grab.Corner == 0 || grab.Corner == 3)
    PB_Sheet->setCursor(Qt::SizeFDiagCursor);
  else if (grab.Corner == 1 || grab.Corner == 2)
    PB_Sheet->setCursor(Qt::SizeBDiagCursor);
  else if (grab.Handle != 2)
    PB_Sheet->setCursor(Qt::CrossCursor);
  else
    PB_Sheet->unsetCursor();
  Corner = grab.Corner;
  // A handle being dragged stays the dragged one.
  if (!HandleDragging) LinkHandle = grab.Handle;
}

void TDrawSheet::PB_SheetMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Keys, int X, int Y) {
  if (Button != Qt::LeftButton || !View || !GetSheet()) return;
  if (Resizing) {
    EndResize(X, Y);
  } else if (HandleDragging) {
    LinkHandle = 2;
    HandleDragging = false;
    ClearFeedback();
    Redraw(false);
  } else {
    SelectAt(Keys, X, Y);
    if (Banding) {
      EraseBand();
      ClearFeedback();
      View->SelectInRect(BandAnchor, {X, Y});
      Banding = false;
      Redraw(false);
    }
    PressedOnNote = false;
    NoDrag = false;
  }
}

void TDrawSheet::SelectAt(Qt::KeyboardModifiers Keys, int X, int Y) {
  if (((Keys & Qt::ControlModifier) && View->NoteAt(X, Y)) || Dragging) {
    if (!Dragging) Redraw(true);
  } else {
    View->ClearLinkSelection();
  }
  TLinkItem* link = View->LinkAt(X, Y);
  TNoteItem* note = View->NoteAt(X, Y);
  if (note)
    View->SelectNote(note);
  else if (link && LinkShownHere(link))
    View->SelectLink(link);
  if ((note || link) && !Dragging) Redraw(false);
}

void TDrawSheet::EndResize(int X, int Y) {
  EraseBand();
  ClearFeedback();
  // In sheet units from the fixed corner, which stays where it was.
  const long long ax = FAnchorWorld.X, ay = FAnchorWorld.Y;
  long long x = BitmapCanvas->ToWorld(X), y = BitmapCanvas->ToWorld(Y), w = 0, h = 0;
  switch (FResizeCorner) {
  case 0: w = ax - x, h = ay - y; break;
  case 1: w = x - ax, h = ay - y, x = ax; break;
  case 2: w = ax - x, h = y - ay, y = ay; break;
  default: w = x - ax, h = y - ay, x = ax, y = ay;
  }
  if (TNoteItem* note = FResizeNote.Get())
    Container->MoveResizeNote(Clamp32(x), Clamp32(y), Clamp32(w), Clamp32(h), note, GetSheet());
  Resizing = false;
  Corner = 4;
  FResizeNote.Reset();
  Redraw(false);
}

void TDrawSheet::DrawBand(int X, int Y) {
  if (BandEnd.X != BandAnchor.X && BandEnd.Y != BandAnchor.Y) DrawXorRect(BandAnchor, BandEnd);
  DrawXorRect(BandAnchor, {X, Y});
  BandEnd = {X, Y};
}

void TDrawSheet::EraseBand() { DrawXorRect(BandAnchor, BandEnd); }

void TDrawSheet::GhostHandleDrag(TPoint Point) {
  TLinkItem* link = View->SelectedLink();
  TSheetItem* sheet = GetSheet();
  if (!link || !sheet || !Container->LinkShownOn(link, sheet)) return;
  BeginFeedback();
  TLinkDrawBot drawer(PaintCanvas.get());
  MoveHandle(Point);
  drawer.SetLink(link, sheet);
  drawer.SetGhostMode();
  drawer.DrawLabel = false;
  drawer.Draw();
  FeedbackChanged();
}

void TDrawSheet::MoveHandle(TPoint Point) {
  TLinkItem* link = View->SelectedLink();
  TSheetItem* sheet = GetSheet();
  if (!link || !sheet) return;
  const TVCanvas& c = *BitmapCanvas;
  int32_t x = Point.X, y = Point.Y;
  // A pointer beyond the sheet counts as on its edge.
  if (c.ToWorld(x) <= 0) x = 1;
  if (sheet->Data.Width <= c.ToWorld(x)) x = c.Scale(Clamp32((long long)sheet->Data.Width - 1));
  if (c.ToWorld(y) <= 0) y = 1;
  if (sheet->Data.Height <= c.ToWorld(y)) y = c.Scale(Clamp32((long long)sheet->Data.Height - 1));
  // In sheet units, so that a zoom during the drag does not move the handle.
  const long long dx = (long long)c.ToWorld(x) - FPressWorld.X, dy = (long long)c.ToWorld(y) - FPressWorld.Y;
  TQELSpline spline;
  spline.Build(link, sheet);
  if (spline.Count < 4) return; // an end is not placed here
  if (link->Data.LineStyle == 1) {
    // Dragging a handle bends a straight link; the other handle stays where it is drawn.
    SetHandleOffset(link, 1 - LinkHandle, spline.HandleOffset(1 - LinkHandle));
    link->SetLineStyle(0);
  }
  SetHandleOffset(link, LinkHandle, spline.OffsetOnSheet(LinkHandle, HandleStart.X + dx, HandleStart.Y + dy));
}

void TDrawSheet::SetHandleOffset(TLinkItem* Link, int Handle, TPoint Offset) {
  if (Handle == 0) {
    Link->SetCurve1(Offset.X);
    Link->SetCurve2(Offset.Y);
  } else {
    Link->SetCurve3(Offset.X);
    Link->SetCurve4(Offset.Y);
  }
}

} // namespace qel
