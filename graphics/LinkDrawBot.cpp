#include "LinkDrawBot.h"

#include "model/LinkItem.h"
#include "model/NoteItem.h"
#include "model/PosItem.h"
#include "model/RelationItem.h"

#include <cstdlib>
#include <cstring>

namespace qel {

namespace {

constexpr float kExitStep = 0.01f;
constexpr int32_t kExitRadius = 4;
// Memos kept before they are all dropped.
constexpr size_t kMaxMemos = 20000;

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

TLinkDrawBot::TCurveMemo& TLinkDrawBot::Recall() {
  size_t count = std::min<size_t>(size_t(Spline->Count) + 2, Spline->Vertices.size());
  if (FMemos.size() >= kMaxMemos && !FMemos.contains(Link)) FMemos.clear();
  TCurveMemo& memo = FMemos[Link];
  const TVertex* vertices = Spline->Vertices.data();
  if (memo.Vertices.size() != count || std::memcmp(memo.Vertices.data(), vertices, count * sizeof(TVertex)) != 0) {
    memo = TCurveMemo{};
    memo.Vertices.assign(vertices, vertices + count);
  }
  return memo;
}

const TCurve& TLinkDrawBot::Curve() {
  TCurveMemo& memo = Recall();
  if (!memo.HasCurve) {
    memo.Curve = Spline->Polyline();
    memo.HasCurve = true;
  }
  return memo.Curve;
}

// The first sample (in steps of 0.01) outside the from-note's box.
TVertex TLinkDrawBot::ExitPoint(bool onSheet, const TRect& box) {
  TCurveMemo& memo = Recall();
  if (memo.HasExit && memo.ExitOnSheet == onSheet && memo.ExitBox == box) return memo.Exit;
  TVertex p;
  for (float t = 0; t < 1; t += kExitStep) {
    p = Spline->Evaluate(t);
    TPoint q = Rounded(p);
    bool inside = box.Left < q.X && q.X < box.Right && box.Top < q.Y && q.Y < box.Bottom;
    if (onSheet && !inside) break;
  }
  memo.HasExit = true;
  memo.ExitOnSheet = onSheet;
  memo.ExitBox = box;
  memo.Exit = p;
  return p;
}

TVertex TLinkDrawBot::Middle() {
  TCurveMemo& memo = Recall();
  if (!memo.HasMiddle) {
    memo.Middle = Spline->Evaluate(0.5f);
    memo.HasMiddle = true;
  }
  return memo.Middle;
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
    const TCurve& curve = Curve();
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

// A circle around the curve's exit from the from-note's box.
void TLinkDrawBot::PaintExitMark() {
  TVertex p;
  if (FCurveVisible) {
    const TNoteItem* from = Link->GetFromNote();
    bool onSheet = from->IsAssignedTo(Sheet);
    p = ExitPoint(onSheet, onSheet ? NoteBox(from) : TRect{});
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
  TVertex p = Middle();
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
