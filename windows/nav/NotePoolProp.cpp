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
  Fill("Project Notes", *Pool, [](TPoolItem* item, std::string& caption, int& image) {
    auto* note = static_cast<TNoteItem*>(item);
    caption = note->Data.Name;
    image = note->IsAggregation() ? 1 : 2;
  });
  return true;
}

} // namespace qel
