#include "LinkDrawBot.h"

#include "model/LinkItem.h"
#include "model/NoteItem.h"
#include "model/PosItem.h"
#include "model/RelationItem.h"

#include <cstdlib>

namespace qel {

namespace {

constexpr float kExitStep = 0.01f;
constexpr int32_t kExitRadius = 4;

TPoint Rounded(const TVertex& v) { return {Nearest(v.x), Nearest(v.y)}; }

} // namespace

TLinkDrawBot::TLinkDrawBot(TVCanvas* canvas) : TDrawBot(canvas) { TLinkDrawBot::SetNormalMode(); }

void TLinkDrawBot::SetGhostMode() {
  TDrawBot::SetGhostMode();
  DrawCurve = true;
  DrawExitMark = DrawArrow = DrawLabel = false;
}

void TLinkDrawBot::SetNormalMode() {
  TDrawBot::SetNormalMode();
  DrawCurve = DrawExitMark = DrawArrow = DrawLabel = true;
}

void TLinkDrawBot::SetLink(TLinkItem* link, TSheetItem* sheet) {
  Spline.reset();
  Link = link;
  Sheet = sheet;
  Spline = std::make_unique<TQELSpline>();
  Spline->Build(link, sheet);
}

void TLinkDrawBot::Draw() { DrawSteps(true); }

void TLinkDrawBot::DrawSteps(bool withHandles) {
  if (!Link) throw EInvalidPointer("TLinkDrawBot: Member not initialized...");
  FCurveVisible = false;
  if (Spline && Spline->Count >= 2) {
    // Everything but the label lies within the box of the vertices, grown by the pen, the
    // exit mark and the handles.
    long long margin = std::llabs((long long)Canvas->Scale(Link->Data.PenWidth)) +
                       std::llabs((long long)Canvas->Scale(2 * kExitRadius)) + 2;
    TVertex lo, hi;
    Spline->Bounds(lo, hi);
    FCurveVisible = Canvas->IsVisible(Nearest(lo.x), Nearest(lo.y), Nearest(hi.x), Nearest(hi.y), Clamp32(margin));
  }
  if (DrawCurve) PaintCurve(withHandles);
  if (DrawExitMark) PaintExitMark();
  if (DrawArrow) PaintArrow();
  if (DrawLabel) PaintLabel();
}

void TLinkDrawBot::PaintCurve(bool withHandles) {
  TVPen& pen = *Canvas->Pen;
  pen.SetWidth(Link->Data.PenWidth);
  if (Ghost) {
    pen.SetWidth(0);
    pen.SetColor(clWhite);
    pen.SetMode(TPenMode::Xor);
  } else {
    pen.SetColor(Link->Data.Color);
    pen.SetMode(TPenMode::Copy);
  }
  if (Spline && FCurveVisible) {
    TCurve curve = Spline->Polyline();
    Canvas->PolyLine(curve.data(), curve.size());
  }
  if (!withHandles || !Selected) return;
  pen.SetWidth(0);
  pen.SetColor(clBlack);
  pen.SetMode(TPenMode::Copy);
  Canvas->Brush().SetColor(clBlack);
  Canvas->Brush().Style = TBrushStyle::Solid;
  if (!FCurveVisible) return;
  // Each handle joined to the centre of its note.
  for (int option : {1, 0}) {
    TPoint handle = Rounded(Spline->GetVertex(option == 1 ? 2 : 3));
    TPoint centre = Rounded(Spline->GetVertex(option == 1 ? 1 : 4));
    Canvas->FillRect(Spline->HandleRect(option));
    Canvas->MoveTo(handle.X, handle.Y);
    Canvas->LineTo(centre.X, centre.Y);
  }
}

TRect TLinkDrawBot::NoteBox(const TNoteItem* note) const {
  const TPosItem* pos = LastPositionOn(note, Sheet);
  if (!pos) return {};
  return {pos->Data.X, pos->Data.Y, Clamp32((long long)pos->Data.X + note->Data.Width),
          Clamp32((long long)pos->Data.Y + note->Data.Height)};
}

// A circle around the first sample (in steps of 0.01) outside the from-note's box.
void TLinkDrawBot::PaintExitMark() {
  TVertex p;
  if (FCurveVisible) {
    const TNoteItem* from = Link->GetFromNote();
    bool onSheet = from->IsAssignedTo(Sheet);
    TRect box = onSheet ? NoteBox(from) : TRect{};
    for (float t = 0; t < 1; t += kExitStep) {
      p = Spline->Evaluate(t);
      TPoint q = Rounded(p);
      bool inside = box.Left < q.X && q.X < box.Right && box.Top < q.Y && q.Y < box.Bottom;
      if (onSheet && !inside) break;
    }
  }
  Canvas->Pen->SetWidth(0);
  Canvas->Pen->SetColor(clBlack);
  Canvas->Brush().Style = TBrushStyle::Clear;
  Canvas->Brush().SetColor(clNone);
  if (!FCurveVisible) return;
  int32_t left = Nearest(p.x - (long double)kExitRadius), top = Nearest(p.y - (long double)kExitRadius);
  Canvas->Ellipse(left, top, Clamp32(left + 2LL * kExitRadius), Clamp32(top + 2LL * kExitRadius));
}

// The relation type's caption centred on the middle of the curve, marked "* " when the link
// belongs to another sheet.
void TLinkDrawBot::PaintLabel() {
  if (!Spline || Spline->Count < 2) return;
  TVertex p = Spline->Evaluate(0.5f);
  const TRelationItem* relation = Link->GetRelation();
  std::string name = relation ? relation->Data.Name : std::string();
  int32_t w = Canvas->Scale(Canvas->TextWidth(name));
  int32_t h = Canvas->Scale(Canvas->TextHeight(name));
  std::string text = Link->GetSheet() == Sheet ? name : "* " + name;
  Canvas->TextOut(Nearest(p.x - w / 2.0L), Nearest(p.y - h / 2.0L), text);
}

void TAggLinkDrawBot::SetLink(TNoteItem* aggregationNote, TLinkItem* link, TSheetItem* sheet) {
  Spline.reset();
  AggregationNote = aggregationNote;
  Link = link;
  Sheet = sheet;
  auto spline = std::make_unique<TAggSpline>();
  spline->Build(aggregationNote, link, sheet);
  Spline = std::move(spline);
}

void TAggLinkDrawBot::Draw() { DrawSteps(false); }

} // namespace qel
