#pragma once
// The edit-link dialog: the new-link dialog loaded from an existing link. OK tests for a
// duplicate only when the relation type was changed, so colour and width of a link can
// always be changed. Each sheet window owns one.
#include "NewLink.h"

namespace qel {

class TLinkItem;

class TEditLinkForm : public TNewLinkForm {
  Q_OBJECT
public:
  explicit TEditLinkForm(QWidget* parent = nullptr);

  void SetupLink(TContainer* Container, TLinkItem* Link);
  // The link's colour, relation type and width into the controls.
  void ShowLink(TLinkItem* Link);
  // Whether the type chosen in the list differs from the link's own.
  bool TypeChanged() const;
  void BTN_OkClick() override;

  TItemRef<TRelationItem> OriginalRelation;
};

} // namespace qel
