#include "NotePoolProp.h"

#include "model/Pools.h"

namespace qel {

TNotePoolPrp::TNotePoolPrp(QWidget* parent, Qt::WindowFlags flags) : TPoolPrp(parent, flags) {
  setWindowTitle("Notes");
}

void TNotePoolPrp::ShowItem(TNotePool* Item) {
  if (Item != Pool) Pool = Item;
  TPropertyFrm::ShowItem();
}

bool TNotePoolPrp::UpdateItem(bool Store) {
  if (Store || !Pool) return true;
  BeginFill("Project Notes", Pool->Count());
  for (int i = 0; i < Pool->Count(); ++i) {
    TNoteItem* note = Pool->GetItem(i);
    AddRow(note, note->Data.Name, note->IsAggregation() ? 1 : 2);
  }
  EndFill();
  return true;
}

} // namespace qel
