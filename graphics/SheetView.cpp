#include "SheetView.h"

#include "model/Container.h"

#include <algorithm>
#include <cstdlib>

namespace qel {

namespace {

constexpr int32_t kHitPixels = 3;
constexpr long long kCornerReach = 6;

} // namespace

TSheetView::TSheetView(TContainer* container, TSheetItem* sheet, TVCanvas* canvas)
    : TView(container), Sheet(sheet), Canvas(canvas), NoteBot(std::make_unique<TNoteDrawBot>(canvas)),
      LinkBot(std::make_unique<TLinkDrawBot>(canvas)), AggLinkBot(std::make_unique<TAggLinkDrawBot>(canvas)) {
  NoteBot->Sheet = sheet;
}

void TSheetView::Paint(int mode) {
  PurgeSelection();
  TSheetItem* sheet = Sheet.Get();
  if (!sheet) return;
  if (NotesBeforeLinks && (mode == 1 || mode == 2)) PaintNotes(sheet);
  TLinkItem* selected = SelectedLink();
  TLinkItem* remembered = nullptr;
  if (mode == 0 || mode == 2) {
    if (Container->LinkCount() > 0) LinkBot->SetNormalMode();
    // Only links between notes assigned here can be shown here.
    for (TLinkItem* link : Container->SheetIndex(sheet).Links) {
      if (link == selected)
        remembered = link;
      else
        PaintLink(link, sheet);
    }
  }
  PaintAggregatedLinks(sheet);
  if (NotesAfterLinks && (mode == 0 || mode == 2)) PaintNotes(sheet);
  if (remembered) PaintLink(remembered, sheet);
}

void TSheetView::PaintNotes(TSheetItem* sheet) {
  std::unordered_set<const TPosItem*> selected;
  for (const TItemRef<TPosItem>& ref : Selection)
    if (ref) selected.insert(ref.Get());
  for (TPosItem* pos : Container->SheetIndex(sheet).Positions) {
    NoteBot->SetNormalMode();
    NoteBot->Selected = selected.count(pos) > 0;
    NoteBot->Sheet = sheet;
    NoteBot->Note = pos->GetNote();
    NoteBot->Draw();
  }
}

bool TSheetView::IsShown(const TLinkItem* link, const TSheetItem* sheet) const {
  return Container->LinkShownOn(link, sheet) && (ShowAllLinks || Container->LinkIsOn(link, sheet));
}

void TSheetView::PaintLink(TLinkItem* link, TSheetItem* sheet) {
  LinkBot->SetNormalMode();
  if (!IsShown(link, sheet)) return;
  LinkBot->Selected = link == SelectedLink();
  LinkBot->SetLink(link, sheet);
  LinkBot->Draw();
}

void TSheetView::PaintAggregatedLinks(TSheetItem* sheet) {
  AggLinkBot->SetNormalMode();
  if (!ShowAllLinks) return;
  for (TPosItem* pos : Container->SheetIndex(sheet).Positions) {
    TNoteItem* note = pos->GetNote();
    if (!note->IsAggregation() || !note->IsPlacedOn(sheet)) continue;
    // Empty once the sheet the note stands for is gone.
    for (TLinkItem* link : Container->AggregateLinks(note, sheet)) {
      AggLinkBot->SetLink(note, link, sheet);
      AggLinkBot->Draw();
    }
  }
}

void TSheetView::SelectNote(TNoteItem* note) {
  TSheetItem* sheet = Sheet.Get();
  if (!note || !sheet) return;
  // The note's first position on the sheet: its list keeps pool order.
  for (TPoolItem* item : note->Positions) {
    auto* pos = static_cast<TPosItem*>(item);
    if (pos->GetSheet() != sheet) continue;
    bool known = std::any_of(Selection.begin(), Selection.end(), [&](const auto& ref) { return ref == pos; });
    if (!known) Selection.emplace_back(pos);
    return;
  }
}

void TSheetView::SelectLink(TLinkItem* link) {
  if (link) FSelectedLink = link;
}

void TSheetView::SelectInRect(TPoint a, TPoint b) {
  TSheetItem* sheet = Sheet.Get();
  if (!sheet) return;
  int32_t left = Canvas->ToWorld(std::min(a.X, b.X)), right = Canvas->ToWorld(std::max(a.X, b.X));
  int32_t top = Canvas->ToWorld(std::min(a.Y, b.Y)), bottom = Canvas->ToWorld(std::max(a.Y, b.Y));
  for (TPosItem* pos : Container->SheetIndex(sheet).Positions) {
    int32_t x = pos->Data.X, y = pos->Data.Y;
    if (left <= x && x < right && top <= y && y < bottom && pos->GetNote()->IsPlacedOn(sheet))
      SelectNote(pos->GetNote());
  }
}

bool TSheetView::IsSelected(const TNoteItem* note) const {
  return std::any_of(Selection.begin(), Selection.end(),
                     [&](const TItemRef<TPosItem>& ref) { return ref && ref->GetNote() == note; });
}

std::vector<TNoteItem*> TSheetView::SelectedNotes() const {
  std::vector<TNoteItem*> notes;
  for (const TItemRef<TPosItem>& ref : Selection)
    if (ref) notes.push_back(ref->GetNote());
  return notes;
}

void TSheetView::PurgeSelection() {
  TSheetItem* sheet = Sheet.Get();
  std::erase_if(Selection, [&](const TItemRef<TPosItem>& ref) { return !ref || ref->GetSheet() != sheet; });
}

TNoteItem* TSheetView::NoteAt(int32_t x, int32_t y) const {
  TSheetItem* sheet = Sheet.Get();
  if (!sheet) return nullptr;
  long long wx = Canvas->ToWorld(x), wy = Canvas->ToWorld(y);
  for (TPosItem* pos : Container->SheetIndex(sheet).Positions) {
    TNoteItem* note = pos->GetNote();
    long long px = pos->Data.X, py = pos->Data.Y;
    if (px <= wx && wx < px + note->Data.Width && py <= wy && wy < py + note->Data.Height && note->IsPlacedOn(sheet))
      return note;
  }
  return nullptr;
}

TLinkItem* TSheetView::LinkAt(int32_t x, int32_t y) const {
  TSheetItem* sheet = Sheet.Get();
  if (!sheet) return nullptr;
  // Never below one sheet unit, or links could not be hit at high zooms.
  int32_t tolerance = std::max(1, Canvas->ToWorld(kHitPixels));
  int32_t wx = Canvas->ToWorld(x), wy = Canvas->ToWorld(y);
  TQELSpline spline;
  // Only the links drawn here: a hidden one lying under a drawn one must not take its clicks.
  for (TLinkItem* link : Container->SheetIndex(sheet).Links) {
    if (!IsShown(link, sheet)) continue;
    spline.Build(link, sheet);
    if (spline.HitTest(wx, wy, tolerance)) return link;
  }
  return nullptr;
}

int TSheetView::CornerAt(int32_t x, int32_t y) const {
  TNoteItem* note = NoteAt(x, y);
  if (!note) return 4;
  const TPosItem* pos = Container->FindPosition(note, Sheet.Get());
  long long wx = Canvas->ToWorld(x), wy = Canvas->ToWorld(y);
  long long px = pos->Data.X, py = pos->Data.Y;
  bool nearLeft = std::llabs(wx - px) <= kCornerReach;
  bool nearTop = std::llabs(wy - py) <= kCornerReach;
  bool nearRight = std::llabs(wx - (px + note->Data.Width)) <= kCornerReach;
  bool nearBottom = std::llabs(wy - (py + note->Data.Height)) <= kCornerReach;
  if (nearLeft && nearTop) return 0;
  if (nearRight && nearTop) return 1;
  if (nearLeft && nearBottom) return 2;
  if (nearRight && nearBottom) return 3;
  return 4;
}

int TSheetView::HandleAt(int32_t x, int32_t y) const {
  // Only the selected link has handles: a press on another link's control point must not
  // reshape the selected one.
  TSheetItem* sheet = Sheet.Get();
  TLinkItem* link = SelectedLink();
  if (!sheet || !link || !IsShown(link, sheet)) return 2;
  TQELSpline spline;
  spline.Build(link, sheet);
  return spline.HandleAt(Canvas->ToWorld(x), Canvas->ToWorld(y));
}

} // namespace qel
