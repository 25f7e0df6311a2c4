#include "DragObjects.h"

#include "graphics/VCanvas.h"
#include "model/NoteItem.h"
#include "model/PosItem.h"
#include "model/SheetItem.h"

namespace qel {

TPoolItem* TMultiDragObject::Items(int I) const {
  return I >= 0 && I < Count() ? FItems[static_cast<size_t>(I)].Get() : nullptr;
}

void TMultiDragObject::Add(TPoolItem* Item) { FItems.emplace_back(Item); }

void TMultiDragObject::Insert(int I, TPoolItem* Item) {
  if (I >= 0 && I <= Count()) FItems.insert(FItems.begin() + I, TItemRef<TPoolItem>(Item));
}

void TMultiDragObject::Assign(const std::vector<TPoolItem*>& List) {
  FItems.clear();
  for (TPoolItem* item : List) Add(item);
}

void TDragNotes::ComputeOffsets(const TSheetItem* Sheet, int X, int Y) {
  FOffsetsX.clear();
  FOffsetsY.clear();
  for (int i = 0; i < Count(); ++i) {
    int dx = 0, dy = 0;
    if (auto* note = dynamic_cast<TNoteItem*>(Items(i))) {
      for (TPoolItem* item : note->Positions) {
        auto* pos = static_cast<TPosItem*>(item);
        if (pos->GetSheet() == Sheet) {
          // Stored positions may lie anywhere in 32 bits: the offset saturates.
          dx = Clamp32((long long)pos->Data.X - X);
          dy = Clamp32((long long)pos->Data.Y - Y);
          break;
        }
      }
    }
    FOffsetsX.push_back(dx);
    FOffsetsY.push_back(dy);
  }
}

int TDragNotes::OffsetX(int I) const {
  return I >= 0 && I < static_cast<int>(FOffsetsX.size()) ? FOffsetsX[static_cast<size_t>(I)] : -1;
}

int TDragNotes::OffsetY(int I) const {
  return I >= 0 && I < static_cast<int>(FOffsetsY.size()) ? FOffsetsY[static_cast<size_t>(I)] : -1;
}

TDragMimeData::TDragMimeData(std::unique_ptr<TDragObject> object) : FObject(std::move(object)) {
  setData(Format, QByteArray());
}

TDragObject* DragObjectOf(const QMimeData* data) {
  auto* own = qobject_cast<const TDragMimeData*>(data);
  return own ? own->Object() : nullptr;
}

} // namespace qel
