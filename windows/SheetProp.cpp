#include "SheetProp.h"

#include "model/Container.h"
#include "platform/qt/QtConvert.h"

#include <QLineEdit>

namespace qel {

TSheetPrp::TSheetPrp(QWidget* parent, Qt::WindowFlags flags) : TPropertyFrm(parent, flags) {
  setWindowTitle("Sheet");
}

void TSheetPrp::ShowItem(TSheetItem* Item) {
  if (Item != GetItem()) Sheet = Item;
  ED_Caption->show();
  TPropertyFrm::ShowItem();
}

bool TSheetPrp::UpdateItem(bool Store) {
  TSheetItem* sheet = Sheet.Get();
  if (ClosedBecauseGone(!sheet || (Container && !Container->HasSheet(sheet)))) return true;
  if (Store)
    sheet->SetName(FromQString(ED_Caption->text()));
  else
    ED_Caption->setText(ToQString(sheet->Data.Name));
  return TPropertyFrm::UpdateItem(Store);
}

} // namespace qel
