#include "SheetPoolProp.h"

#include "model/Pools.h"

namespace qel {

TSheetPoolPrp::TSheetPoolPrp(QWidget* parent, Qt::WindowFlags flags) : TPoolPrp(parent, flags) {
  setWindowTitle("Sheets");
}

void TSheetPoolPrp::ShowItem(TSheetPool* Item) {
  if (Item != Pool) Pool = Item;
  TPropertyFrm::ShowItem();
}

bool TSheetPoolPrp::UpdateItem(bool Store) {
  if (Store || !Pool) return true;
  BeginFill("Project Sheets", Pool->Count());
  for (int i = 0; i < Pool->Count(); ++i) {
    TSheetItem* sheet = Pool->GetItem(i);
    AddRow(sheet, sheet->Data.Name, 1);
  }
  EndFill();
  return true;
}

} // namespace qel
