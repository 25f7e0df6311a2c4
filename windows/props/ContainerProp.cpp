#include "ContainerProp.h"

#include "model/Container.h"
#include "platform/qt/QtConvert.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace qel {

TContainerPrp::TContainerPrp(QWidget* parent, Qt::WindowFlags flags) : TPropertyFrm(parent, flags) {
  setWindowTitle("Project Statistics");
  GB_Statistic = new QGroupBox("Project Statistics", this);
  GB_Statistic->setFixedSize(185, 129);
  auto* grid = new QGridLayout(GB_Statistic);
  // The counts stay empty until a project is shown.
  const auto row = [this, grid](int at, const char* caption) {
    grid->addWidget(new QLabel(caption, GB_Statistic), at, 0);
    auto* label = new QLabel(GB_Statistic);
    grid->addWidget(label, at, 1);
    return label;
  };
  LB_NumSheets = row(0, "Sheets: ");
  LB_NumNotes = row(1, "Notes: ");
  LB_NumRelations = row(2, "Relations:");
  LB_NumAttach = row(3, "Attachments: ");
  auto* body = static_cast<QVBoxLayout*>(layout());
  body->insertSpacing(1, 7);
  auto* place = new QHBoxLayout();
  place->setContentsMargins(8, 0, 0, 0);
  place->addWidget(GB_Statistic);
  place->addStretch(1);
  body->insertLayout(2, place);
}

void TContainerPrp::ShowItem(TContainer* Item) {
  if (Item != Project) Project = Item;
  TPropertyFrm::ShowItem();
}

bool TContainerPrp::UpdateItem(bool Store) {
  if (Store || !Project) return true; // nothing to store, and no repaint of the sheets
  SetInfo(ToQString("Project - " + Project->FileName));
  LB_NumSheets->setNum(Project->SheetCount());
  LB_NumNotes->setNum(Project->NoteCount());
  LB_NumRelations->setNum(Project->LinkCount());
  LB_NumAttach->setNum(Project->AttachmentCount());
  return true;
}

} // namespace qel
