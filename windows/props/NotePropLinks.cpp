// The note window's lists of the links from and to the note: jumps and drags along them.
#include "NoteProp.h"
#include "windows/sheet/DragObjects.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>

namespace qel {

void TNotePrp::CreateLinkLists(QWidget* parent) {
  LV_LinksFrom = new TDragView<QTreeWidget>(parent);
  LV_LinksTo = new TDragView<QTreeWidget>(parent);
  for (auto* list : {LV_LinksFrom, LV_LinksTo}) {
    list->setColumnCount(3);
    list->setRootIsDecorated(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setFocusPolicy(Qt::ClickFocus);
    list->setToolTip("You can doubleclick to jump to related Note or drag Note to Sheet (window).");
    list->header()->resizeSection(0, 115);
    list->header()->resizeSection(1, 60);
    list->header()->resizeSection(2, 500);
  }
  LV_LinksTo->setHeaderLabels({"To Note", "Relation", "On Sheet"});
  LV_LinksFrom->setHeaderLabels({"From Note", "Relation", "On Sheet"});
  LV_LinksTo->OnStartDrag = [this] { return LV_LinksToStartDrag(); };
  LV_LinksFrom->OnStartDrag = [this] { return LV_LinksFromStartDrag(); };
  connect(LV_LinksTo, &QTreeWidget::itemDoubleClicked, this, &TNotePrp::LV_LinksToDblClick);
  connect(LV_LinksFrom, &QTreeWidget::itemDoubleClicked, this, &TNotePrp::LV_LinksFromDblClick);
}

void TNotePrp::FillLinksTo() { FillLinks(LV_LinksTo, true); }
void TNotePrp::FillLinksFrom() { FillLinks(LV_LinksFrom, false); }

void TNotePrp::FillLinks(QTreeWidget* list, bool outgoing) {
  list->clear();
  std::vector<TItemRef<TLinkItem>>& rows = outgoing ? FLinksTo : FLinksFrom;
  rows.clear();
  const TNoteItem* note = Note.Get();
  if (!note) return FitColumns(list);
  for (TPoolItem* item : outgoing ? note->OutLinks : note->InLinks) {
    auto* link = static_cast<TLinkItem*>(item);
    rows.emplace_back(link);
    const TNoteItem* other = outgoing ? link->GetToNote() : link->GetFromNote();
    const TRelationItem* relation = link->GetRelation();
    const TSheetItem* sheet = link->GetSheet();
    auto* row = new QTreeWidgetItem(list, QStringList{other ? ToQString(other->Data.Name) : QString(),
                                                      relation ? ToQString(relation->Data.Name) : QString(),
                                                      sheet ? ToQString(sheet->Data.Name) : QString()});
    row->setIcon(0, IL_Property.value(2));
  }
  FitColumns(list);
}

// Columns at least as wide as their header texts, so every caption can be read.
void TNotePrp::FitColumns(QTreeWidget* list) {
  const int widths[] = {115, 60, 500};
  for (int column = 0; column < 3; ++column) {
    list->resizeColumnToContents(column);
    if (list->columnWidth(column) < widths[column]) list->setColumnWidth(column, widths[column]);
  }
}

// The note at the other end of the selected row's own link.
TNoteItem* TNotePrp::FindSelectedNote(const QTreeWidget* list) const {
  const std::vector<TItemRef<TLinkItem>>& rows = list == LV_LinksTo ? FLinksTo : FLinksFrom;
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty()) return nullptr;
  const int row = list->indexOfTopLevelItem(selected.first());
  if (row < 0 || row >= static_cast<int>(rows.size())) return nullptr;
  const TLinkItem* link = rows[row].Get();
  if (!link) return nullptr;
  TNoteItem* note = list == LV_LinksTo ? link->GetToNote() : link->GetFromNote();
  if (!note || (Container && Container->NotePool->IndexOf(note) < 0)) return nullptr;
  return note;
}

// A row whose link or note is gone leads nowhere; what was typed for the note shown so far
// is stored first.
void TNotePrp::JumpAlong(TNoteItem* target) {
  if (CloseIfGone() || !target || target->IsAggregation()) return;
  BindItem(target);
  JumpNote = target;
  Note = target;
  LastFoundPos = -1;
  SetLinkCaptions();
  Reload();
}

void TNotePrp::SetLinkCaptions() {
  const TNoteItem* note = Note.Get();
  if (!note) return;
  const QString name = "\"" + ToQString(note->Data.Name) + "\"";
  LV_LinksFrom->headerItem()->setText(0, "from Note to " + name);
  LV_LinksTo->headerItem()->setText(0, "from " + name + " to Note");
  FitColumns(LV_LinksFrom);
  FitColumns(LV_LinksTo);
}

QMimeData* TNotePrp::DragLinkNote(TNoteItem* target) {
  if (!target || ItemGone()) return nullptr;
  JumpNote = target;
  auto notes = std::make_unique<TDragNotes>(this);
  notes->Insert(0, target);
  return new TDragMimeData(std::move(notes));
}

} // namespace qel
