#include "BSpline.h"

#include "DrawBot.h"
#include "VCanvas.h"

#include "model/LinkItem.h"
#include "model/NoteItem.h"
#include "model/PosItem.h"
#include "model/SheetItem.h"
#include "platform/qt/Dialogs.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace qel {

namespace {

// Whether the closed segment a-b enters the open square of half-width tol around (x, y).
bool SegmentNear(TPoint a, TPoint b, int64_t x, int64_t y, int64_t tol) {
  if (std::max(a.X, b.X) <= x - tol || std::min(a.X, b.X) >= x + tol) return false;
  if (std::max(a.Y, b.Y) <= y - tol || std::min(a.Y, b.Y) >= y + tol) return false;
  int64_t dx = int64_t(b.X) - a.X, dy = int64_t(b.Y) - a.Y;
  if (dx == 0 || dy == 0) return true;
  // The segment's line must pass strictly between the square's corners.
  __int128 lo = 0, hi = 0;
  bool first = true;
  for (int64_t cx : {x - tol, x + tol})
    for (int64_t cy : {y - tol, y + tol}) {
      __int128 side = __int128(dx) * (cy - a.Y) - __int128(dy) * (cx - a.X);
      lo = first ? side : std::min(lo, side);
      hi = first ? side : std::max(hi, side);
      first = false;
    }
  return lo < 0 && hi > 0;
}

} // namespace

void TBSpline::Reset() {
  Count = 0;
  Vertices.fill(TVertex{});
}

void TBSpline::AddVertex(const TVertex& p) {
  if (Count >= MaxVertices) {
    MessageDlg("Maximum number of vertices reached...", TMsgDlgType::mtError, mbOK);
    return;
  }
  ++Count;
  Vertices[Count] = p;
  UpdateEndPoints();
}

void TBSpline::UpdateEndPoints() {
  if (Count < 2) return;
  auto reflect = [](const TVertex& end, const TVertex& next) {
    return TVertex{float(2.0L * end.x - next.x), float(2.0L * end.y - next.y), float(2.0L * end.z - next.z)};
  };
  Vertices[0] = reflect(Vertices[1], Vertices[2]);
  Vertices[Count + 1] = reflect(Vertices[Count], Vertices[Count - 1]);
}

TVertex TBSpline::GetVertex(int index) const {
  if (index < 0 || index >= int(Vertices.size())) return {};
  return Vertices[index];
}

TBSpline::TWeights TBSpline::WeightsAt(int32_t count, float t) {
  TWeights weights;
  float s = float((long double)(count - 1) * t);
  int k = std::isfinite(s) ? int(std::trunc(s)) : 0;
  for (int i = k - 2; i <= k + 3; ++i) {
    // Distance and weight are single-precision values, like the points.
    float u = float(std::fabs((long double)s - (i - 1)));
    // Places outside the buffer count as zero vertices.
    if (u >= 2 || i < 0 || i > MaxVertices + 1) continue;
    long double lu = u;
    float w = float(u < 1 ? 2.0L / 3 - lu * lu + lu * lu * lu / 2 : (2 - lu) * (2 - lu) * (2 - lu) / 6);
    weights.Items[weights.Count++] = {i, w};
  }
  return weights;
}

// Products and sums are formed in extended precision and stored back in single.
TVertex TBSpline::Combine(const TWeights& weights) const {
  TVertex p;
  for (int j = 0; j < weights.Count; ++j) {
    long double w = weights.Items[j].Value;
    const TVertex& v = Vertices[weights.Items[j].Index];
    p.x = float(p.x + w * v.x);
    p.y = float(p.y + w * v.y);
    p.z = float(p.z + w * v.z);
  }
  return p;
}

TPoint TBSpline::CombineRounded(const TWeights& weights) const {
  float x = 0, y = 0;
  for (int j = 0; j < weights.Count; ++j) {
    long double w = weights.Items[j].Value;
    const TVertex& v = Vertices[weights.Items[j].Index];
    x = float(x + w * v.x);
    y = float(y + w * v.y);
  }
  return {Nearest(x), Nearest(y)};
}

TVertex TBSpline::Evaluate(float t) const { return Combine(WeightsAt(Count, t)); }

// The weights of the drawn curve's points depend on the number of vertices only.
const TBSpline::TCurveWeights& TBSpline::CurveWeights(int32_t count) {
  static std::array<std::unique_ptr<TCurveWeights>, MaxVertices + 1> tables;
  std::unique_ptr<TCurveWeights>& table = tables[std::clamp(count, 0, int32_t(MaxVertices))];
  if (!table) {
    table = std::make_unique<TCurveWeights>();
    for (int i = 0; i <= kCurveSegments; ++i) (*table)[i] = WeightsAt(count, float((long double)i / kCurveSegments));
  }
  return *table;
}

TCurve TBSpline::Polyline() const {
  const TCurveWeights& weights = CurveWeights(Count);
  TCurve curve;
  for (int i = 0; i <= kCurveSegments; ++i) curve[i] = CombineRounded(weights[i]);
  return curve;
}

void TBSpline::Bounds(TVertex& low, TVertex& high) const {
  low = high = Vertices[0];
  for (int i = 1; i <= Count + 1 && i < int(Vertices.size()); ++i) {
    low = {std::min(low.x, Vertices[i].x), std::min(low.y, Vertices[i].y), 0};
    high = {std::max(high.x, Vertices[i].x), std::max(high.y, Vertices[i].y), 0};
  }
}

// The curve lies within the hull of the stored vertices; the drawn points lie within half a
// unit of it. Two boxes hold that hull: one along the axes, one along the chord from the
// first vertex to the last (thin for a straight link).
bool TBSpline::MayPassNear(int64_t x, int64_t y, int64_t tolerance) const {
  TVertex low, high;
  Bounds(low, high);
  double reach = double(tolerance) + 1;
  if (x < low.x - reach || x > high.x + reach || y < low.y - reach || y > high.y + reach) return false;
  const TVertex& first = Vertices[1];
  const TVertex& last = Vertices[std::clamp(Count, 1, int32_t(MaxVertices))];
  double dx = double(last.x) - first.x, dy = double(last.y) - first.y, length = std::hypot(dx, dy);
  if (length < 1) return true;
  double ux = dx / length, uy = dy / length;
  double alongLow = INFINITY, alongHigh = -INFINITY, acrossLow = INFINITY, acrossHigh = -INFINITY;
  for (int i = 0; i <= Count + 1 && i < int(Vertices.size()); ++i) {
    double along = Vertices[i].x * ux + Vertices[i].y * uy, across = Vertices[i].y * ux - Vertices[i].x * uy;
    alongLow = std::min(alongLow, along);
    alongHigh = std::max(alongHigh, along);
    acrossLow = std::min(acrossLow, across);
    acrossHigh = std::max(acrossHigh, across);
  }
  double along = x * ux + y * uy, across = y * ux - x * uy, margin = reach * std::sqrt(2.0);
  return along >= alongLow - margin && along <= alongHigh + margin && across >= acrossLow - margin &&
         across <= acrossHigh + margin;
}

TPosItem* TQELSpline::FindPosition(const TNoteItem* note) const { return LastPositionOn(note, Sheet); }

void TQELSpline::Build(TLinkItem* link, TSheetItem* sheet) {
  Reset();
  Link = link;
  Sheet = sheet;
  TNoteItem* from = link->GetFromNote();
  TNoteItem* to = link->GetToNote();
  BuildFrom(FindPosition(from), from, FindPosition(to), to);
}

void TQELSpline::BuildFrom(const TPosItem* from, const TNoteItem* fromNote, const TPosItem* to,
                           const TNoteItem* toNote) {
  if (!from || !to) return;
  const TLink& data = Link->Data;
  bool straight = data.LineStyle == 1; // any other style is curved
  int32_t fx = straight ? 1 : data.FromOffsetX, fy = straight ? 1 : data.FromOffsetY;
  int32_t tx = straight ? 1 : data.ToOffsetX, ty = straight ? 1 : data.ToOffsetY;
  auto centre = [](const TPosItem* pos, const TNoteItem* note) {
    return TVertex{float((long double)pos->Data.X + Nearest(note->Data.Width / 2.0L)),
                   float((long double)pos->Data.Y + Nearest(note->Data.Height / 2.0L)), 0};
  };
  // Control points stay on the sheet, where their handles can be grabbed.
  auto shifted = [this](const TVertex& v, int32_t dx, int32_t dy) {
    return TVertex{float(OnSheet((long double)v.x + dx, Sheet ? Sheet->Data.Width : 0)),
                   float(OnSheet((long double)v.y + dy, Sheet ? Sheet->Data.Height : 0)), 0};
  };
  TVertex v1 = centre(from, fromNote), v4 = centre(to, toNote);
  AddVertex(v1);
  AddVertex(shifted(v1, fx, fy));
  AddVertex(shifted(v4, tx, ty));
  AddVertex(v4);
}

bool TQELSpline::HitTest(int32_t x, int32_t y, int32_t tolerance) const {
  if (Count < 2 || tolerance <= 0 || !MayPassNear(x, y, tolerance)) return false;
  TCurve curve = Polyline();
  for (int i = 0; i < kCurveSegments; ++i)
    if (SegmentNear(curve[i], curve[i + 1], x, y, tolerance)) return true;
  return false;
}

long double TQELSpline::OnSheet(long double v, int32_t size) {
  return size > 0 ? std::clamp<long double>(v, 0, size - 1) : v;
}

TPoint TQELSpline::HandleOffset(int option) const {
  if (Count < 4) return {};
  const TVertex& handle = Vertices[option == 0 ? 3 : 2];
  const TVertex& centre = Vertices[option == 0 ? 4 : 1];
  return {Clamp32(Nearest((long double)handle.x - centre.x)), Clamp32(Nearest((long double)handle.y - centre.y))};
}

TPoint TQELSpline::OffsetOnSheet(int option, long long dx, long long dy) const {
  if (Count < 4 || !Sheet) return {Clamp32(dx), Clamp32(dy)};
  const TVertex& centre = Vertices[option == 0 ? 4 : 1];
  return {Clamp32(Nearest(OnSheet(centre.x + (long double)dx, Sheet->Data.Width) - centre.x)),
          Clamp32(Nearest(OnSheet(centre.y + (long double)dy, Sheet->Data.Height) - centre.y))};
}

TRect TQELSpline::HandleRect(int option) const {
  if (option != 0 && option != 1) throw EInvalidPointer("TQELSpline: No Valid Option...");
  const TVertex& v = Vertices[option == 0 ? 3 : 2];
  int32_t hx = Nearest(v.x), hy = Nearest(v.y);
  return {Clamp32(hx - 4LL), Clamp32(hy - 4LL), Clamp32(hx + 4LL), Clamp32(hy + 4LL)};
}

int TQELSpline::HandleAt(int32_t x, int32_t y) const {
  if (Count < 2) return 2;
  for (int option : {0, 1}) {
    TRect r = HandleRect(option);
    if (r.Left < x && x < r.Right && r.Top < y && y < r.Bottom) return option;
  }
  return 2;
}

void TAggSpline::Build(TNoteItem* aggregationNote, TLinkItem* link, TSheetItem* sheet) {
  Reset();
  AggregationNote = aggregationNote;
  Link = link;
  Sheet = sheet;
  TNoteItem* from = link->GetFromNote();
  TNoteItem* to = link->GetToNote();
  if (!from->IsPlacedOn(sheet)) from = aggregationNote;
  if (!to->IsPlacedOn(sheet)) to = aggregationNote;
  BuildFrom(FindPosition(from), from, FindPosition(to), to);
}

} // namespace qel
