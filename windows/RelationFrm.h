#pragma once
// Stand-in for the relation-type window until the full one is built: a modal dialog that lists
// the bound project's relation types.
#include <QDialog>

class QListWidget;

namespace qel {

class TContainer;

class TRelationForm : public QDialog {
  Q_OBJECT
public:
  explicit TRelationForm(QWidget* parent = nullptr);
  void SetContainer(TContainer* container);

  TContainer* Container = nullptr; // not owned
  QListWidget* LB_Relations;
};

extern TRelationForm* RelationForm;

} // namespace qel
