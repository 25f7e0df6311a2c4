#include "ItemTreeWidget.h"

#include "platform/qt/StorableText.h"
#include "windows/sheet/DragObjects.h"

#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace qel {
namespace {

// Hands the typed label to the tree's handler instead of writing it into the item.
class TLabelDelegate : public TStorableTextDelegate {
public:
  explicit TLabelDelegate(TItemTreeWidget* tree) : TStorableTextDelegate(tree), FTree(tree) {}
  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    QTreeWidgetItem* item = FTree->ItemOfIndex(index);
    if (line && item && FTree->OnEdited) FTree->OnEdited(item, line->text());
  }

private:
  TItemTreeWidget* FTree;
};

} // namespace

TItemTreeWidget::TItemTreeWidget(QWidget* parent) : QTreeWidget(parent) {
  setItemDelegate(new TLabelDelegate(this));
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(false);
  setDragDropMode(QAbstractItemView::DragDrop);
}

bool TItemTreeWidget::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence& own : OwnKeys)
      if (own == pressed) {
        event->accept();
        return true;
      }
  }
  return QTreeWidget::event(event);
}

void TItemTreeWidget::FinishEditing() {
  if (!IsEditing()) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void TItemTreeWidget::DropEditingUnder(const QTreeWidgetItem* item) {
  if (!IsEditing()) return;
  QWidget* editor = indexWidget(currentIndex());
  if (!editor) return;
  for (const QTreeWidgetItem* edited = currentItem(); edited; edited = edited->parent())
    if (edited == item) {
      closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
      return;
    }
}

void TItemTreeWidget::startDrag(Qt::DropActions) {
  if (!OnStartDrag) return;
  std::unique_ptr<TDragObject> object = OnStartDrag();
  if (!object) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(new TDragMimeData(std::move(object)));
  drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

void TItemTreeWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (DragObjectOf(event->mimeData()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TItemTreeWidget::dragMoveEvent(QDragMoveEvent* event) {
  QTreeWidgetItem* target = itemAt(event->position().toPoint());
  if (OnDragOver && OnDragOver(target, event->mimeData()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TItemTreeWidget::dropEvent(QDropEvent* event) {
  QTreeWidgetItem* target = itemAt(event->position().toPoint());
  if (!OnDragOver || !OnDragOver(target, event->mimeData())) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  if (OnDragDrop) OnDragDrop(target, event->mimeData());
}

void TItemTreeWidget::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown && OnKeyDown(event)) return;
  QTreeWidget::keyPressEvent(event);
}

void TItemTreeWidget::keyReleaseEvent(QKeyEvent* event) {
  QTreeWidget::keyReleaseEvent(event);
  if (OnKeyUp) OnKeyUp(event);
}

} // namespace qel
