#pragma once
// Stand-in for the attachment window until the full one is built: it shows and edits the
// attachment's caption in ED_Caption.
#include "PropertyForm.h"
#include "model/PoolItem.h"

namespace qel {

class TAttachItem;

class TAttachPrp : public TPropertyFrm {
  Q_OBJECT
public:
  explicit TAttachPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  void ShowItem(TAttachItem* Attachment);
  const void* GetItem() const override { return Attachment.Get(); }
  bool UpdateItem(bool Store) override;

  TItemRef<TAttachItem> Attachment;
};

} // namespace qel
