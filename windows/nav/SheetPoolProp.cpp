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
  Fill("Project Sheets", *Pool, [](TPoolItem* item, std::string& caption, int& image) {
    caption = static_cast<TSheetItem*>(item)->Data.Name;
    image = 1;
  });
  return true;
}

} // namespace qel
