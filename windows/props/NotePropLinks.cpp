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
  const TNoteItem* note = Note.Get();
  if (!note) return;
  const int count = outgoing ? note->OutLinkCount() : note->InLinkCount();
  for (int i = 0; i < count; ++i) {
    const TLinkItem* link = outgoing ? note->GetOutLink(i) : note->GetInLink(i);
    const TNoteItem* other = outgoing ? link->GetToNote() : link->GetFromNote();
    const TRelationItem* relation = link->GetRelation();
    const TSheetItem* sheet = link->GetSheet();
    auto* row = new QTreeWidgetItem(list, QStringList{other ? ToQString(other->Data.Name) : QString(),
                                                      relation ? ToQString(relation->Data.Name) : QString(),
                                                      sheet ? ToQString(sheet->Data.Name) : QString()});
    row->setIcon(0, IL_Property.value(2));
  }
}

TNoteItem* TNotePrp::FindSelectedNote(const QTreeWidget* list) const {
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty() || !Container) return nullptr;
  const std::string name = FromQString(selected.first()->text(0));
  TNoteItem* found = nullptr;
  for (int i = 0; i < Container->NoteCount(); ++i)
    if (Container->GetNote(i)->Data.Name == name) found = Container->GetNote(i);
  return found;
}

// A row whose name no longer finds a note leads nowhere.
void TNotePrp::JumpAlong(TNoteItem* target) {
  if (!target || target->IsAggregation()) return;
  JumpNote = target;
  Note = target;
  SetLinkCaptions();
  Reload();
}

void TNotePrp::SetLinkCaptions() {
  const TNoteItem* note = Note.Get();
  if (!note) return;
  const QString name = "\"" + ToQString(note->Data.Name) + "\"";
  LV_LinksFrom->headerItem()->setText(0, "from Note to " + name);
  LV_LinksTo->headerItem()->setText(0, "from " + name + " to Note");
  // The first column is at least as wide as its heading.
  for (QTreeWidget* list : {LV_LinksFrom, LV_LinksTo}) {
    QHeaderView* header = list->header();
    header->resizeSection(0, std::max(header->sectionSize(0), header->sectionSizeHint(0)));
  }
}

QMimeData* TNotePrp::DragLinkNote(TNoteItem* target) {
  if (!target) return nullptr;
  JumpNote = target;
  auto notes = std::make_unique<TDragNotes>(this);
  notes->Insert(0, target);
  return new TDragMimeData(std::move(notes));
}

} // namespace qel
