#include "RelationFrm.h"

#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "shell/Main.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace qel {

TRelationForm* RelationForm = nullptr;

TRelationForm::TRelationForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Relation Type Maintenance");
  auto* layout = new QVBoxLayout(this);
  LB_Relations = new QListWidget(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(LB_Relations);
  layout->addWidget(buttons);
  if (QELMain)
    connect(QELMain, &TQELMain::ProjectReleasing, this, [this](TContainer* project) {
      if (Container == project) SetContainer(nullptr);
    });
}

void TRelationForm::SetContainer(TContainer* container) {
  Container = container;
  LB_Relations->clear();
  if (Container)
    for (int i = 0; i < Container->RelationCount(); ++i)
      LB_Relations->addItem(ToQString(Container->GetRelation(i)->Data.Name));
}

} // namespace qel
