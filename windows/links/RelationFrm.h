#pragma once
// The relation-type window: lists the project's relation types, adds, renames in place and
// deletes them. A stored type not in use is deleted at once; added rows and edited captions
// reach the project only through OK, which refuses two rows of the same caption. One instance
// (RelationForm) is made at start-up; the caller binds the project before each showing.
#include "model/PoolItem.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace qel {

class TContainer;
class TRelationItem;

class TRelationForm : public QDialog {
  Q_OBJECT
public:
  explicit TRelationForm(QWidget* parent = nullptr);

  void SetContainer(TContainer* container);
  // One row per relation type in pool order, then sorted by caption.
  void FillList();
  void BTN_AddClick();
  void BTN_DeleteClick();
  void BTN_OkClick();
  static bool IsUsed(const TRelationItem* Relation);
  bool HasDuplicateNames() const;

  // The relation type a row stands for; null for a row added in this showing.
  TRelationItem* RowRelation(const QTreeWidgetItem* row) const;
  // Whether the row stands for a stored relation type (also once that type is gone).
  static bool IsStoredRow(const QTreeWidgetItem* row);

  TContainer* Container = nullptr; // not owned
  QWidget* Panel;
  QTreeWidget* LV_Relations;
  QPushButton* BTN_Add;
  QPushButton* BTN_Delete;
  QPushButton* BTN_Ok;

protected:
  void showEvent(QShowEvent* event) override;

private:
  QTreeWidgetItem* AddRow(const std::string& caption, TRelationItem* relation);
  // Handles one selected row of a delete; true when the row went.
  bool DeleteRow(QTreeWidgetItem* row);
};

extern TRelationForm* RelationForm;

} // namespace qel
