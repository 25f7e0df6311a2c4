#pragma once
// Stand-in for the sheet property window until the full one is built: it shows and edits the
// sheet's name in ED_Caption.
#include "PropertyForm.h"
#include "model/PoolItem.h"

namespace qel {

class TSheetItem;

class TSheetPrp : public TPropertyFrm {
  Q_OBJECT
public:
  explicit TSheetPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  void ShowItem(TSheetItem* Sheet);
  const void* GetItem() const override { return Sheet.Get(); }
  bool UpdateItem(bool Store) override;

  TItemRef<TSheetItem> Sheet;
};

} // namespace qel
