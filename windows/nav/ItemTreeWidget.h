#pragma once
// A tree widget that hands drags, drops, key presses and finished label edits to its owner
// through callbacks, so the owner keeps the handlers (which tests call directly).
#include <QTreeWidget>
#include <functional>
#include <memory>

class QMimeData;

namespace qel {

class TDragObject;

class TItemTreeWidget : public QTreeWidget {
  Q_OBJECT
public:
  explicit TItemTreeWidget(QWidget* parent = nullptr);

  // The drag object of a drag that starts; null starts none.
  std::function<std::unique_ptr<TDragObject>()> OnStartDrag;
  // Whether the data may be dropped on the item (null: no item under the point).
  std::function<bool(QTreeWidgetItem*, const QMimeData*)> OnDragOver;
  std::function<void(QTreeWidgetItem*, const QMimeData*)> OnDragDrop;
  // True when the key was handled; otherwise the tree handles it.
  std::function<bool(QKeyEvent*)> OnKeyDown;
  std::function<void(QKeyEvent*)> OnKeyUp;
  // Keys the tree takes before any shortcut of the windows around it.
  QList<QKeySequence> OwnKeys;
  // A label edit finished with the typed text; the item's text is left to the handler.
  std::function<void(QTreeWidgetItem*, const QString&)> OnEdited;

  bool IsEditing() const { return state() == EditingState; }
  // Ends a label edit, handing the typed text on as Enter would.
  void FinishEditing();
  // Ends a label edit of the item or of one below it without handing the text on: called by an
  // item that is going, before the view would hand its text to a half-destroyed item.
  void DropEditingUnder(const QTreeWidgetItem* item);
  QTreeWidgetItem* ItemOfIndex(const QModelIndex& index) const { return itemFromIndex(index); }

protected:
  bool event(QEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
};

} // namespace qel
