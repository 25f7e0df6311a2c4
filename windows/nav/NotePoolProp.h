#pragma once
// The list of the project's notes.
#include "PoolProp.h"

namespace qel {

class TNotePool;

class TNotePoolPrp : public TPoolPrp {
  Q_OBJECT
public:
  explicit TNotePoolPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  void ShowItem(TNotePool* Item);
  const void* GetItem() const override { return Pool; }
  bool UpdateItem(bool Store) override;

  TNotePool* Pool = nullptr; // not owned
};

} // namespace qel
