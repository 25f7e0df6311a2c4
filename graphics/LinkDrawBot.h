#pragma once
// Draws one link on one sheet: its curve, the exit mark where it leaves its from-note, the
// relation type's caption, and the control handles of a selected link.
#include "BSpline.h"
#include "DrawBot.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace qel {

class TLinkItem;
class TNoteItem;
class TSheetItem;

class TLinkDrawBot : public TDrawBot {
public:
  explicit TLinkDrawBot(TVCanvas* canvas);

  TLinkItem* Link = nullptr;   // not owned
  TSheetItem* Sheet = nullptr; // not owned
  std::unique_ptr<TQELSpline> Spline;
  bool DrawCurve = true;
  bool DrawExitMark = true;
  bool DrawArrow = true;
  bool DrawLabel = true;

  void SetGhostMode() override;
  void SetNormalMode() override;
  // Builds the curve anew: call it after any change of the link's offsets or line style.
  void SetLink(TLinkItem* link, TSheetItem* sheet);
  // Raises EInvalidPointer without a link.
  void Draw() override;

  void PaintCurve(bool withHandles);
  void PaintExitMark();
  void PaintArrow() {} // arrows are not drawn
  void PaintLabel();
  // The note's box at its last position on the sheet.
  TRect NoteBox(const TNoteItem* note) const;

protected:
  // The steps Draw takes, each when its flag is set.
  void DrawSteps(bool withHandles);

private:
  // What is drawn of a curve depends on its vertices alone (the exit mark also on the
  // from-note's box), so it is kept per link between paints and made again when they change.
  struct TCurveMemo {
    std::vector<TVertex> Vertices; // 0..Count + 1
    bool HasCurve = false;
    TCurve Curve;
    bool HasExit = false;
    bool ExitOnSheet = false;
    TRect ExitBox;
    TVertex Exit;
    bool HasMiddle = false;
    TVertex Middle;
  };
  // The link's memo, emptied when the spline's vertices are not those it was made from.
  // Needs a spline of two vertices or more.
  TCurveMemo& Recall();
  const TCurve& Curve();
  TVertex ExitPoint(bool onSheet, const TRect& box);
  TVertex Middle();

  // Whether the curve's neighbourhood reaches the canvas; the pen and brush are set up
  // either way, so what follows sees the same state.
  bool FCurveVisible = true;
  std::unordered_map<const TLinkItem*, TCurveMemo> FMemos; // keys are never followed
};

// Draws a link between a note of another sheet and a note of this one to the note that
// stands for that other sheet.
class TAggLinkDrawBot : public TLinkDrawBot {
public:
  using TLinkDrawBot::TLinkDrawBot;
  TNoteItem* AggregationNote = nullptr; // not owned

  void SetLink(TNoteItem* aggregationNote, TLinkItem* link, TSheetItem* sheet);
  // The curve without control handles.
  void Draw() override;
};

} // namespace qel
