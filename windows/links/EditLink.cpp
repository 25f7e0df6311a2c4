#include "EditLink.h"

#include "model/Container.h"

#include <QComboBox>
#include <QSpinBox>

namespace qel {

TEditLinkForm::TEditLinkForm(QWidget* parent) : TNewLinkForm(parent) {}

void TEditLinkForm::SetupLink(TContainer* container, TLinkItem* Link) {
  Container = container;
  ToNote = Link->GetToNote();
  FromNote = Link->GetFromNote();
  OriginalRelation = Link->GetRelation();
  Sheet = Link->GetSheet();
  ChosenRelation = Link->GetRelation();
  FillDialog();
  ShowLink(Link);
}

void TEditLinkForm::ShowLink(TLinkItem* Link) {
  PN_LinkColor->SetColor(Link->Data.Color);
  const int listed = Container ? PoolToListIndex(Container->RelationPool->IndexOf(Link->GetRelation())) : 0;
  if (listed < CB_LinkType->count()) CB_LinkType->setCurrentIndex(listed);
  SP_LinkWidth->setValue(Link->Data.PenWidth);
}

bool TEditLinkForm::TypeChanged() const { return ListedRelation() != OriginalRelation.Get(); }

void TEditLinkForm::BTN_OkClick() {
  setResult(0);
  TRelationItem* relation = ListedRelation();
  if (TypeChanged() && relation && RefusedAsDuplicate(relation)) return;
  Choose(relation);
}

} // namespace qel
