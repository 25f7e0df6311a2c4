// Dragging items out of the navigator's tree and dropping them on its nodes.
#include "Navigator.h"

#include "windows/sheet/DragObjects.h"
#include "model/Container.h"
#include "platform/qt/Dialogs.h"

namespace qel {

std::unique_ptr<TMultiDragObject> TNavForm::TV_ContainerStartDrag() {
  TNavNode* node = Selected();
  TPoolItem* item = node ? node->Item() : nullptr;
  if (!item) return nullptr;
  std::unique_ptr<TMultiDragObject> object;
  switch (node->Kind()) {
  case TNavKind::Note: object = std::make_unique<TDragNotes>(this); break;
  case TNavKind::Attachment: object = std::make_unique<TDragAttach>(this); break;
  case TNavKind::Sheet: object = std::make_unique<TDragSheets>(this); break;
  default: return nullptr;
  }
  object->Insert(0, item);
  return object;
}

bool TNavForm::TV_ContainerDragOver(TNavNode* Target, const QMimeData* Data) {
  if (!Target) return false;
  if (DragObjectAs<TDragNotes>(Data) || DragObjectAs<TDragSheets>(Data)) return Target->Sheet() != nullptr;
  if (DragObjectAs<TDragAttach>(Data)) return Target->Note() != nullptr;
  return false;
}

void TNavForm::TV_ContainerDragDrop(TNavNode* Target, const QMimeData* Data) {
  if (!Container || !TV_ContainerDragOver(Target, Data)) return;
  // Items are held as references: a message box lets other windows run.
  if (auto* notes = DragObjectAs<TDragNotes>(Data))
    DropNotes(Target->Sheet(), *notes);
  else if (auto* attachments = DragObjectAs<TDragAttach>(Data))
    DropAttachments(Target->Note(), *attachments);
  else if (auto* sheets = DragObjectAs<TDragSheets>(Data))
    DropSheets(Target->Sheet(), *sheets);
  RefreshItem(nullptr, true);
}

void TNavForm::DropNotes(TSheetItem* target, const TMultiDragObject& notes) {
  const TItemRef<TSheetItem> sheet = target;
  for (int i = 0; i < notes.Count() && sheet; ++i) {
    auto* note = dynamic_cast<TNoteItem*>(notes.Items(i));
    if (!note || note->Pool != Container->NotePool.get()) continue;
    if (!Container->AssignNoteToSheet(note, sheet.Get()))
      MessageDlg(note->Data.Name + " is already positioned on " + sheet->Data.Name + " ...", TMsgDlgType::mtError,
                 mbOK);
  }
}

void TNavForm::DropAttachments(TNoteItem* target, const TMultiDragObject& attachments) {
  const TItemRef<TNoteItem> note = target;
  for (int i = 0; i < attachments.Count() && note; ++i)
    if (auto* attachment = dynamic_cast<TAttachItem*>(attachments.Items(i)))
      Container->CopyAttachment(attachment, note.Get());
}

void TNavForm::DropSheets(TSheetItem* targetSheet, const TMultiDragObject& sheets) {
  const TItemRef<TSheetItem> target = targetSheet;
  for (int i = 0; i < sheets.Count() && target; ++i) {
    auto* sheet = dynamic_cast<TSheetItem*>(sheets.Items(i));
    // A sheet cannot stand for itself on itself.
    if (!sheet || sheet->Pool != Container->SheetPool.get() || sheet == target.Get()) continue;
    if (Container->IsAggregatedOn(sheet, target.Get())) {
      MessageDlg(sheet->Data.Name + " is already positioned on " + target->Data.Name + " as an aggregation note...",
                 TMsgDlgType::mtError, mbOK);
      continue;
    }
    TNote record;
    record.Kind = 0;
    record.Sheet = sheet;
    record.Color = sheet->Data.Color;
    record.Name = sheet->Data.Name;
    Container->AssignNoteToSheet(Container->AddNote(record), target.Get());
  }
}

} // namespace qel
