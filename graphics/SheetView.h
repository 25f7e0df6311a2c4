#pragma once
// The view of one sheet: its selection, the painting of its notes and links in a fixed order,
// and the hit tests of a sheet window's mouse handling. Hit tests take device points (paint
// box pixels, scrolling included) and turn them into sheet units without the offset.
// Selected positions and the selected link are held by weak reference: once deleted
// elsewhere they are no longer selected.
#include "LinkDrawBot.h"
#include "NoteDrawBot.h"
#include "VCanvas.h"

#include "model/PoolItem.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace qel {

class TContainer;
class TLinkItem;
class TNoteItem;
class TPosItem;
class TSheetItem;

class TSheetView : public TView {
public:
  TSheetView(TContainer* container, TSheetItem* sheet, TVCanvas* canvas);

  TItemRef<TSheetItem> Sheet;
  TVCanvas* Canvas; // not owned
  std::unique_ptr<TNoteDrawBot> NoteBot;
  std::unique_ptr<TLinkDrawBot> LinkBot;
  std::unique_ptr<TAggLinkDrawBot> AggLinkBot;
  bool NotesBeforeLinks = false;
  bool NotesAfterLinks = true;
  bool ShowAllLinks = true; // also links of other sheets between notes placed here, and aggregated links

  // Mode 2 (the sheet window's): links, aggregated links, notes, then the selected link on
  // top. Mode 0 and 1 paint parts of that.
  void Paint(int mode);

  void SelectNote(TNoteItem* note);
  void SelectLink(TLinkItem* link);
  // Adds the notes placed on the sheet whose top-left corner lies in the rectangle of two
  // device corner points (left and top included, right and bottom not).
  void SelectInRect(TPoint a, TPoint b);
  void ClearNoteSelection() { Selection.clear(); }
  void ClearLinkSelection() { FSelectedLink.Reset(); }
  bool IsSelected(const TNoteItem* note) const;
  // The notes of the selected positions, in the order selected.
  std::vector<TNoteItem*> SelectedNotes() const;
  // The selected link, or null (also once it was deleted).
  TLinkItem* SelectedLink() const { return FSelectedLink.Get(); }
  // Drops the positions that were deleted or are no longer on the sheet.
  void PurgeSelection();

  // The first note in pool order under the point (the one drawn underneath), or null.
  TNoteItem* NoteAt(int32_t x, int32_t y) const;
  // The first link drawn here, in pool order, whose curve passes within 3 pixels (at least 1
  // sheet unit).
  TLinkItem* LinkAt(int32_t x, int32_t y) const;
  // Corner of the note under the point: 0 top-left, 1 top-right, 2 bottom-left,
  // 3 bottom-right, 4 none.
  int CornerAt(int32_t x, int32_t y) const;
  // Control handle of the selected link, while drawn here, under the point: 0 to-end,
  // 1 from-end, 2 none.
  int HandleAt(int32_t x, int32_t y) const;

  // Selected positions in selection order, without duplicates; deleted ones read as null.
  std::vector<TItemRef<TPosItem>> Selection;

private:
  void PaintNotes(TSheetItem* sheet);
  void PaintLink(TLinkItem* link, TSheetItem* sheet);
  void PaintAggregatedLinks(TSheetItem* sheet);
  // Whether the link is drawn here: both notes placed, and of this sheet unless all are shown.
  bool IsShown(const TLinkItem* link, const TSheetItem* sheet) const;

  TItemRef<TLinkItem> FSelectedLink;
};

} // namespace qel
