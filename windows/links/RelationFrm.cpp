#include "RelationFrm.h"

#include "model/Container.h"
#include "platform/Convert.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/StorableText.h"
#include "windows/MainServices.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qel {

TRelationForm* RelationForm = nullptr;

namespace {

// A row of the list: a stored relation type, or a caption typed in this showing.
class TRelationRow : public QTreeWidgetItem {
public:
  TRelationRow(const std::string& caption, TRelationItem* relation) : Relation(relation), Stored(relation) {
    setText(0, ToQString(caption));
    setFlags(flags() | Qt::ItemIsEditable);
  }
  bool operator<(const QTreeWidgetItem& other) const override {
    return text(0).compare(other.text(0), Qt::CaseInsensitive) < 0;
  }
  TItemRef<TRelationItem> Relation;
  bool Stored;
};

const TRelationRow* AsRow(const QTreeWidgetItem* row) { return dynamic_cast<const TRelationRow*>(row); }

// A caption edited in place takes only what the files can hold; edited to nothing, it keeps the
// caption it had.
class TCaptionDelegate : public TStorableTextDelegate {
public:
  using TStorableTextDelegate::TStorableTextDelegate;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && line->text().trimmed().isEmpty()) return;
    QStyledItemDelegate::setModelData(editor, model, index);
  }
};

} // namespace

TRelationForm::TRelationForm(QWidget* parent) : QDialog(parent) {
  KeepAbove(this);
  setWindowTitle("Relation Type Maintenance");
  setFixedSize(340, 189);
  Panel = new QWidget(this);
  Panel->setGeometry(0, 0, 340, 153);
  auto* layout = new QVBoxLayout(Panel);
  layout->setContentsMargins(0, 0, 0, 0);
  LV_Relations = new QTreeWidget(Panel);
  LV_Relations->setHeaderLabels({"Relation type"});
  LV_Relations->setColumnWidth(0, 335);
  LV_Relations->header()->setSectionsClickable(false);
  LV_Relations->setRootIsDecorated(false);
  LV_Relations->setSelectionMode(QAbstractItemView::ExtendedSelection);
  LV_Relations->setItemDelegate(new TCaptionDelegate(LV_Relations));
  LV_Relations->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::SelectedClicked);
  layout->addWidget(LV_Relations);
  BTN_Add = new QPushButton("&Add", this);
  BTN_Add->setGeometry(8, 160, 75, 25);
  BTN_Delete = new QPushButton("&Delete", this);
  BTN_Delete->setGeometry(136, 160, 75, 25);
  BTN_Ok = new QPushButton("&Ok", this);
  BTN_Ok->setGeometry(256, 160, 75, 25);
  connect(BTN_Add, &QPushButton::clicked, this, &TRelationForm::BTN_AddClick);
  connect(BTN_Delete, &QPushButton::clicked, this, &TRelationForm::BTN_DeleteClick);
  connect(BTN_Ok, &QPushButton::clicked, this, &TRelationForm::BTN_OkClick);
  if (MainServices)
    connect(MainServices->Notices(), &TMainNotices::ProjectReleasing, this, [this](TContainer* project) {
      if (Container == project) SetContainer(nullptr);
    });
}

void TRelationForm::SetContainer(TContainer* container) {
  Container = container;
  if (!Container) LV_Relations->clear();
}

void TRelationForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FillList();
}

QTreeWidgetItem* TRelationForm::AddRow(const std::string& caption, TRelationItem* relation) {
  auto* row = new TRelationRow(caption, relation);
  LV_Relations->addTopLevelItem(row);
  return row;
}

void TRelationForm::FillList() {
  LV_Relations->clear();
  LV_Relations->setSortingEnabled(false);
  for (int i = 0; Container && i < Container->RelationCount(); ++i)
    AddRow(Container->GetRelation(i)->Data.Name, Container->GetRelation(i));
  LV_Relations->setSortingEnabled(true);
  LV_Relations->sortByColumn(0, Qt::AscendingOrder);
}

TRelationItem* TRelationForm::RowRelation(const QTreeWidgetItem* row) const {
  const TRelationRow* own = AsRow(row);
  return own ? own->Relation.Get() : nullptr;
}

bool TRelationForm::IsStoredRow(const QTreeWidgetItem* row) {
  const TRelationRow* own = AsRow(row);
  return own && own->Stored;
}

void TRelationForm::BTN_AddClick() {
  std::string name = "New Relation";
  if (Dialogs().InputQuery("Create new relation", "Relation type ", name)) AddRow(name, nullptr);
}

bool TRelationForm::IsUsed(const TRelationItem* Relation) { return Relation->LinkCount() > 0; }

bool TRelationForm::DeleteRow(QTreeWidgetItem* row) {
  if (IsStoredRow(row)) {
    TRelationItem* relation = RowRelation(row);
    if (relation && IsUsed(relation)) {
      ShowMessage("Relation \"" + relation->Data.Name + "\" is still used by " + IntToStr(relation->LinkCount()) +
                  " link(s)");
      return false;
    }
    if (relation) relation->Delete();
  } else if (MessageDlg("Delete relation type ?", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes) {
    return false;
  }
  delete row;
  return true;
}

void TRelationForm::BTN_DeleteClick() {
  if (LV_Relations->selectedItems().isEmpty()) {
    ShowMessage("No relation selected !");
    return;
  }
  for (int i = LV_Relations->topLevelItemCount() - 1; i >= 0; --i) {
    QTreeWidgetItem* row = LV_Relations->topLevelItem(i);
    if (row->isSelected()) DeleteRow(row);
  }
}

bool TRelationForm::HasDuplicateNames() const {
  QSet<QString> seen;
  for (int i = 0; i < LV_Relations->topLevelItemCount(); ++i) {
    const QString caption = LV_Relations->topLevelItem(i)->text(0);
    if (seen.contains(caption)) return true;
    seen.insert(caption);
  }
  return false;
}

void TRelationForm::BTN_OkClick() {
  if (HasDuplicateNames()) {
    ShowMessage("There are relation types with similar names...");
    return;
  }
  for (int i = 0; Container && i < LV_Relations->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = LV_Relations->topLevelItem(i);
    const std::string caption = FromQString(row->text(0));
    if (IsStoredRow(row)) {
      if (TRelationItem* relation = RowRelation(row)) relation->SetName(caption);
    } else {
      TRelation record;
      record.Name = caption;
      Container->AddRelation(record);
    }
  }
  // Link captions show the type names.
  if (MainServices) {
    MainServices->RefreshNavigators(nullptr);
    MainServices->RefreshSheetWindows();
  }
  accept();
}

} // namespace qel
