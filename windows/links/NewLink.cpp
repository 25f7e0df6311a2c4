#include "NewLink.h"

#include "model/Container.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace qel {

TNewLinkForm* NewLinkForm = nullptr;

namespace {

QLabel* PlacedLabel(QWidget* parent, const char* text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  return label;
}

} // namespace

TNewLinkForm::TNewLinkForm(QWidget* parent) : QDialog(parent) {
  KeepAbove(this);
  setWindowTitle("New Link");
  setFixedSize(265, 145);
  Label13 = PlacedLabel(this, "Type", 16, 16);
  CB_LinkType = new QComboBox(this);
  CB_LinkType->setGeometry(15, 32, 145, 21);
  Label19 = PlacedLabel(this, "Line width", 184, 16);
  SP_LinkWidth = new QSpinBox(this);
  SP_LinkWidth->setGeometry(183, 32, 49, 21);
  SP_LinkWidth->setRange(1, 10);
  SP_LinkWidth->setValue(1);
  // Only the arrows change the width; the box shows that it takes no typing.
  ED_LinkWidth = SP_LinkWidth->findChild<QLineEdit*>();
  ED_LinkWidth->setReadOnly(true);
  QPalette readOnly = SP_LinkWidth->palette();
  readOnly.setColor(QPalette::Base, readOnly.color(QPalette::Window));
  SP_LinkWidth->setPalette(readOnly);
  Label15 = PlacedLabel(this, "Color", 16, 56);
  PN_LinkColor = new TColorPanel(this);
  PN_LinkColor->setGeometry(15, 72, 145, 17);
  connect(PN_LinkColor, &TColorPanel::DoubleClicked, this, &TNewLinkForm::PN_LinkColorDblClick);
  Label17 = PlacedLabel(this, "Arrows", 16, 96);
  Label17->hide();
  CB_ArrowType = new QComboBox(this);
  CB_ArrowType->setGeometry(15, 112, 145, 21);
  CB_ArrowType->hide();
  BTN_Ok = new QPushButton("&Ok", this);
  BTN_Ok->setGeometry(176, 64, 75, 25);
  BTN_Ok->setDefault(true);
  connect(BTN_Ok, &QPushButton::clicked, this, [this] { BTN_OkClick(); });
  BTN_Cancel = new QPushButton("&Cancel", this);
  BTN_Cancel->setGeometry(176, 104, 75, 25);
  connect(BTN_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  if (MainServices)
    connect(MainServices->Notices(), &TMainNotices::ProjectReleasing, this, [this](TContainer* project) {
      if (Container == project) Container = nullptr;
    });
}

void TNewLinkForm::Setup(TContainer* container, TNoteItem* fromNote, TNoteItem* toNote, TSheetItem* sheet) {
  Container = container;
  FromNote = fromNote;
  ToNote = toNote;
  Sheet = sheet;
  FillDialog();
}

void TNewLinkForm::FillDialog() {
  LinkRecord = TLink();
  PN_LinkColor->SetColor(LinkRecord.Color);
  std::vector<std::pair<QString, TRelationItem*>> entries;
  for (int i = 0; Container && i < Container->RelationCount(); ++i)
    entries.emplace_back(ToQString(Container->GetRelation(i)->Data.Name), Container->GetRelation(i));
  // The list keeps its entries sorted, as the user reads them; equal names in pool order.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
  CB_LinkType->clear();
  FEntries.clear();
  for (const auto& [name, relation] : entries) {
    CB_LinkType->addItem(name);
    FEntries.emplace_back(relation);
  }
  CB_LinkType->setCurrentIndex(entries.empty() ? -1 : 0);
  SP_LinkWidth->setValue(LinkRecord.PenWidth);
}

void TNewLinkForm::PN_LinkColorDblClick() {
  TColor color = FDialogColor;
  if (!Dialogs().ColorDialog(color)) return;
  FDialogColor = color;
  PN_LinkColor->SetColor(color);
}

int TNewLinkForm::ListToPoolIndex(int ListIndex) const {
  const int entries = CB_LinkType->count();
  TRelationItem* relation = EntryRelation(ListIndex);
  if (!Container || !relation) return entries;
  const int index = Container->RelationPool->IndexOf(relation);
  return index < 0 ? entries : index;
}

int TNewLinkForm::PoolToListIndex(int PoolIndex) const {
  const int entries = CB_LinkType->count();
  if (!Container || PoolIndex < 0 || PoolIndex >= Container->RelationCount()) return entries;
  const TRelationItem* relation = Container->GetRelation(PoolIndex);
  for (int i = 0; i < entries; ++i)
    if (EntryRelation(i) == relation) return i;
  return entries;
}

TRelationItem* TNewLinkForm::EntryRelation(int ListIndex) const {
  if (ListIndex < 0 || ListIndex >= CB_LinkType->count() || ListIndex >= static_cast<int>(FEntries.size()))
    return nullptr;
  TRelationItem* relation = FEntries[static_cast<size_t>(ListIndex)].Get();
  return relation && Container && Container->RelationPool->IndexOf(relation) >= 0 ? relation : nullptr;
}

TRelationItem* TNewLinkForm::ListedRelation() const { return EntryRelation(CB_LinkType->currentIndex()); }

bool TNewLinkForm::RefusedAsDuplicate(TRelationItem* relation) const {
  if (!Container || !Container->LinkExists(FromNote.Get(), ToNote.Get(), Sheet.Get(), relation)) return false;
  ShowMessage("Notes already have this type of relation...");
  return true;
}

void TNewLinkForm::Choose(TRelationItem* relation) {
  ChosenRelation = relation;
  ChosenColor = PN_LinkColor->Color();
  ChosenArrow = 2;
  ChosenWidth = SP_LinkWidth->value();
  accept();
}

void TNewLinkForm::BTN_OkClick() {
  setResult(0);
  TRelationItem* relation = ListedRelation();
  // Without relation types nothing can be chosen; the caller's NewLink then says so.
  if (relation && RefusedAsDuplicate(relation)) return;
  Choose(relation);
}

} // namespace qel
