// The sheet window's popup menu: all relations, the line style of a link, and Expand.
#include "SheetForm.h"

#include "model/Container.h"

#include <QAction>

namespace qel {

void TDrawSheet::MI_AllLinksClick() {
  // The action toggles its own check mark when chosen from the menu.
  if (sender() != MI_AllLinks) MI_AllLinks->setChecked(!MI_AllLinks->isChecked());
  if (View) View->ShowAllLinks = MI_AllLinks->isChecked();
  Redraw(false);
}

void TDrawSheet::MI_LineStyleClick() {
  if (TLinkItem* link = View ? View->SelectedLink() : nullptr) {
    if (link->Data.LineStyle == 0)
      link->SetLineStyle(1);
    else if (link->Data.LineStyle == 1)
      link->SetLineStyle(0);
  }
  Redraw(false);
}

void TDrawSheet::MI_ExpandClick() {
  TSheetItem* sheet = GetSheet();
  const std::vector<TNoteItem*> notes = View && sheet ? View->SelectedNotes() : std::vector<TNoteItem*>();
  if (notes.size() != 1 || notes[0]->IsAggregation()) return;
  TNoteItem* note = notes[0];
  const TPosItem* pos = Container->FindPosition(note, sheet);
  if (!pos) return;
  const int32_t y0 = Clamp32((long long)pos->Data.Y + note->Data.Height + 50);
  const long double count = Container->UnplacedLinkedCount(note, sheet);
  long long x = (long long)pos->Data.X + Nearest(note->Data.Width / 2.0L) -
                Nearest(Container->UnplacedLinkedWidth(note, sheet) / 2.0L) - Nearest((count - 1) * 20 / 2);
  int32_t left = Clamp32(std::max(0LL, x));
  // The notes that link to this one first, then those it links to; the index counts every link.
  int i = 0;
  for (TPoolItem* link : note->InLinks) ExpandOne(static_cast<TLinkItem*>(link)->GetFromNote(), left, y0, i++);
  i = 0;
  for (TPoolItem* link : note->OutLinks) ExpandOne(static_cast<TLinkItem*>(link)->GetToNote(), left, y0, i++);
  Redraw(true);
}

void TDrawSheet::ExpandOne(TNoteItem* Linked, int32_t& X, int32_t Y0, int i) {
  TSheetItem* sheet = GetSheet();
  if (Container->FindPosition(Linked, sheet) && Linked->IsPlacedOn(sheet)) return;
  Container->PlaceNote(Linked, sheet, Clamp32((long long)X + 20LL * i), Clamp32((long long)Y0 + 25LL * i));
  X = Clamp32((long long)X + Linked->Data.Width);
}

} // namespace qel
