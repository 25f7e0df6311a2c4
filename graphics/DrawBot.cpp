#include "DrawBot.h"

#include "model/NoteItem.h"
#include "model/PosItem.h"

namespace qel {

TPosItem* LastPositionOn(const TNoteItem* note, const TSheetItem* sheet) {
  TPosItem* found = nullptr;
  for (TPoolItem* item : note->Positions) {
    auto* pos = static_cast<TPosItem*>(item);
    if (pos->GetSheet() == sheet) found = pos;
  }
  return found;
}

// Derived constructors call their own SetNormalMode again, as C++ dispatches only to this one here.
TDrawBot::TDrawBot(TVCanvas* canvas) : Canvas(canvas) { TDrawBot::SetNormalMode(); }

void TDrawBot::SetGhostMode() {
  Ghost = true;
  Filled = false;
  Selected = false;
}

void TDrawBot::SetNormalMode() {
  Ghost = false;
  Filled = true;
  Selected = false;
}

} // namespace qel
