#pragma once
// The search window's results tree: a drag starts with the data its owner makes for the
// selected node (none: no drag); nothing can be dropped on it.
#include <QTreeWidget>
#include <functional>

namespace qel {

class TSearchResultsTree : public QTreeWidget {
public:
  explicit TSearchResultsTree(QWidget* parent);
  std::function<QMimeData*()> StartDrag;

protected:
  void startDrag(Qt::DropActions supportedActions) override;
  // Nodes of items deleted meanwhile turn grey when the user comes back to the window.
  void changeEvent(QEvent* event) override;
};

} // namespace qel
