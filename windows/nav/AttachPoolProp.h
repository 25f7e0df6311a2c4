#pragma once
// The list of the project's attachments, each with its file's icon where the file exists.
#include "PoolProp.h"

namespace qel {

class TAttachPool;

class TAttachPoolPrp : public TPoolPrp {
  Q_OBJECT
public:
  explicit TAttachPoolPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  void ShowItem(TAttachPool* Item);
  const void* GetItem() const override { return Pool; }
  bool UpdateItem(bool Store) override;

  TAttachPool* Pool = nullptr; // not owned
};

} // namespace qel
