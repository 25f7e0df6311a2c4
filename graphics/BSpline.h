#pragma once
// Uniform cubic B-splines in sheet units, and the curves of links built on them.
#include "Canvas.h"

#include <array>
#include <cstdint>

namespace qel {

class TLinkItem;
class TNoteItem;
class TPosItem;
class TSheetItem;

struct TVertex {
  float x = 0;
  float y = 0;
  float z = 0;
};

// Number of segments of a drawn link curve.
constexpr int kCurveSegments = 150;
using TCurve = std::array<TPoint, kCurveSegments + 1>;

class TBSpline {
public:
  static constexpr int MaxVertices = 100;
  TBSpline() = default;
  virtual ~TBSpline() = default;

  int32_t Count = 0;
  // Index 0 and Count + 1 hold the reflected ends; unused places stay zero.
  std::array<TVertex, MaxVertices + 2> Vertices{};

  // No vertices; every place of the buffer back to zero.
  void Reset();
  // Refused with an error box beyond MaxVertices.
  void AddVertex(const TVertex& p);
  // The curve at t from 0 (the first vertex) to 1 (the last).
  TVertex Evaluate(float t) const;
  // The stored point at 0..Count + 1; a zero point outside the buffer.
  TVertex GetVertex(int index) const;
  void UpdateEndPoints();
  // The drawn curve: the points at t = i / 150 for i = 0..150, rounded to sheet units.
  TCurve Polyline() const;
  // The box around the stored vertices, which holds the whole curve.
  void Bounds(TVertex& low, TVertex& high) const;
  // False when no drawn point can lie within tolerance of (x, y); cheap, for hit tests.
  bool MayPassNear(int64_t x, int64_t y, int64_t tolerance) const;

private:
  // The vertices and weights of one curve point, in the order they are summed.
  struct TWeights {
    struct TItem {
      int Index;
      float Value;
    };
    int Count = 0;
    TItem Items[6];
  };
  using TCurveWeights = std::array<TWeights, kCurveSegments + 1>;
  static TWeights WeightsAt(int32_t count, float t);
  static const TCurveWeights& CurveWeights(int32_t count);
  TVertex Combine(const TWeights& weights) const;
  // The point's x and y alone (the sheet layer's z is always 0), rounded.
  TPoint CombineRounded(const TWeights& weights) const;
};

// The curve of one link on one sheet: its from-note's centre, two control points, its
// to-note's centre.
class TQELSpline : public TBSpline {
public:
  TLinkItem* Link = nullptr;   // not owned
  TSheetItem* Sheet = nullptr; // not owned

  // Leaves the spline empty when either note has no position on the sheet.
  void Build(TLinkItem* link, TSheetItem* sheet);
  // Whether the drawn curve (its 150 segments) passes less than tolerance away, in both
  // directions, from the sheet point.
  bool HitTest(int32_t x, int32_t y, int32_t tolerance) const;
  // The 8 by 8 square of control handle 0 (to-end) or 1 (from-end).
  TRect HandleRect(int option) const;
  // 0 or 1 for the handle strictly around the point (0 wins), 2 for none.
  int HandleAt(int32_t x, int32_t y) const;
  TPosItem* FindPosition(const TNoteItem* note) const;
  // The offset from its note's centre at which handle 0 (to-end) or 1 (from-end) is drawn:
  // (1, 1) for a straight link, on the sheet's edge for an offset reaching beyond it.
  TPoint HandleOffset(int option) const;
  // The offset nearest (dx, dy) that keeps the handle on the sheet.
  TPoint OffsetOnSheet(int option, long long dx, long long dy) const;

protected:
  // A coordinate kept within a sheet side of the size (none when the size is not positive).
  static long double OnSheet(long double v, int32_t size);
  // Sets the four vertices from the two ends' positions and sizes.
  void BuildFrom(const TPosItem* from, const TNoteItem* fromNote, const TPosItem* to, const TNoteItem* toNote);
};

// The curve of an aggregated link: an end not placed on the sheet is drawn to the note that
// stands for that end's sheet.
class TAggSpline : public TQELSpline {
public:
  TNoteItem* AggregationNote = nullptr; // not owned

  void Build(TNoteItem* aggregationNote, TLinkItem* link, TSheetItem* sheet);
};

} // namespace qel
