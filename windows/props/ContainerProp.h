#pragma once
// The navigator's page for the project's root node: its file name and how many sheets, notes,
// links and attachments it holds (as the pools' search views count them). Edits nothing.
#include "PropertyForm.h"

class QGroupBox;
class QLabel;

namespace qel {

class TContainerPrp : public TPropertyFrm {
  Q_OBJECT
public:
  explicit TContainerPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  void ShowItem(TContainer* Item);
  const void* GetItem() const override { return Project; }
  bool UpdateItem(bool Store) override;

  TContainer* Project = nullptr; // not owned; null once the navigator lets go of it

  QGroupBox* GB_Statistic;
  QLabel* LB_NumSheets;
  QLabel* LB_NumNotes;
  QLabel* LB_NumRelations;
  QLabel* LB_NumAttach;
};

} // namespace qel
