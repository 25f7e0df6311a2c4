#include "SearchResultsTree.h"

#include <QDrag>
#include <QEvent>

namespace qel {

TSearchResultsTree::TSearchResultsTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setIndentation(19);
  setEditTriggers(NoEditTriggers);
  setDragDropMode(DragOnly);
  setContextMenuPolicy(Qt::CustomContextMenu);
}

void TSearchResultsTree::changeEvent(QEvent* event) {
  QTreeWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange) viewport()->update();
}

void TSearchResultsTree::startDrag(Qt::DropActions) {
  QMimeData* data = StartDrag ? StartDrag() : nullptr;
  if (!data) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

} // namespace qel
