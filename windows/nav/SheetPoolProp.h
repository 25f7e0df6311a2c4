#pragma once
// The list of the project's sheets.
#include "PoolProp.h"

namespace qel {

class TSheetPool;

class TSheetPoolPrp : public TPoolPrp {
  Q_OBJECT
public:
  explicit TSheetPoolPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  void ShowItem(TSheetPool* Item);
  const void* GetItem() const override { return Pool; }
  bool UpdateItem(bool Store) override;

  TSheetPool* Pool = nullptr; // not owned
};

} // namespace qel
