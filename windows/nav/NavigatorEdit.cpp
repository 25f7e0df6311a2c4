// Making and deleting items from the navigator.
#include "Navigator.h"

#include "ItemTreeWidget.h"
#include "model/Container.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <optional>

namespace qel {
namespace {

const std::string CR = "\r";

// The item the node shows, or else its parent's, when it is of the kind.
template <class T> T* NodeOrParent(TNavNode* node, T* (TNavNode::*get)() const) {
  if (!node) return nullptr;
  if (T* item = (node->*get)()) return item;
  return node->ParentNode() ? (node->ParentNode()->*get)() : nullptr;
}

} // namespace

void TNavForm::TB_NewNoteClick() {
  if (!Container) return;
  TV_Container->FinishEditing(); // the label typed so far belongs to the node it was typed in
  TNavNode* selected = Selected();
  TSheetItem* sheet = NodeOrParent(selected, &TNavNode::Sheet);
  TNavNode* sheetNode = !sheet ? nullptr : selected->Sheet() ? selected : selected->ParentNode();
  const TNavTree::TWatch watch(*Tree, sheetNode);
  TNoteItem* note = Container->AddNote(TNote());
  if (sheet) {
    TPos position;
    position.Note = note;
    position.Sheet = sheet;
    TPosItem* placed = Container->AddPosition(position);
    if (MainServices) MainServices->RefreshSheetWindows(); // the sheet's windows list the note
    SelectAndEdit(Tree->Reveal(placed, sheetNode));
  } else {
    SelectAndEdit(Tree->NodeOf(note));
  }
}

void TNavForm::TB_NewAttachClick() {
  if (!Container) return;
  TV_Container->FinishEditing();
  if (TNoteItem* note = NodeOrParent(Selected(), &TNavNode::Note)) {
    TAttachment record;
    record.Note = note;
    TAttachItem* attachment = Container->AddAttachment(record);
    if (MainServices) MainServices->RefreshSheetWindows(); // the note's windows list it
    // Its node under the note's node in the Notes branch, made if need be.
    if (TNavNode* node = Tree->Reveal(attachment, Tree->NodeOf(note))) {
      SelectAndEdit(node);
      return;
    }
  }
  RefreshItem(nullptr, false);
}

void TNavForm::ToolButton1Click() {
  if (!Container) return;
  for (int i = 0; i < 201; ++i) Container->AddNote(TNote());
}

// ---- Delete

TNavForm::TDeleteTarget TNavForm::DeleteTargetOf(TNavNode* node) const {
  TDeleteTarget target;
  if (!node || !node->Item() || !Container) return target;
  target.Item = node->Item();
  target.Level = node->Level();
  if (TNoteItem* note = node->Note(); note && target.Level > 2)
    if (TSheetItem* sheet = node->ParentNode()->Sheet()) target.Place = Container->FindPosition(note, sheet);
  return target;
}

bool TNavForm::TDeleteTarget::SameAs(const TDeleteTarget& other) const {
  return Item && Item.SameAs(other.Item) && Level == other.Level;
}

void TNavForm::MI_DeleteClick() {
  TNavNode* node = Selected();
  LastNode = node;
  const TDeleteTarget target = DeleteTargetOf(node);
  if (!target.Item) return;
  const std::string text = FromQString(node->text(0));
  // After a question the selection must still show the item the user agreed to delete; what
  // is deleted is the target taken before the question (for a note under a sheet: that place).
  const auto unchanged = [this, &target] { return target.SameAs(DeleteTargetOf(Selected())); };
  if (node->Sheet()) {
    const std::string question = "You are deleting Sheet [" + text +
                                 "] including all its Notes and Relations between the Notes from this Sheet. "
                                 "Notes will still be available, but Relations are permanently removed from the "
                                 "project." + CR + CR + "You cannot undo this action. Are you sure?";
    if (MessageDlg(question, TMsgDlgType::mtInformation, mbYesNo) != mrYes) return;
    ProcessPendingEvents();
    if (unchanged()) DeleteTarget(target, false);
  } else if (node->Note() && target.Level == 2) {
    const std::string question = "Are you sure you want to permanently delete Note [" + text + "]?";
    if (MessageDlg(question, TMsgDlgType::mtInformation, mbYesNoCancel) == mrYes && unchanged())
      DeleteTarget(target, false);
  } else if (node->Note()) {
    const std::string question = "You are deleting the Note [" + text + "] only from the Sheet." + CR +
                                 "Do you want to remove it from all other places too?";
    const int answer = MessageDlg(question, TMsgDlgType::mtInformation, mbYesNoCancel);
    if (answer != mrCancel && unchanged()) DeleteTarget(target, answer == mrYes);
  } else if (node->Attachment()) {
    const std::string question = "Are you sure you want to delete Attachment [" + text + "]?";
    if (MessageDlg(question, TMsgDlgType::mtConfirmation, mbYesNo) == mrYes && unchanged())
      DeleteTarget(target, false);
  }
}

void TNavForm::DeleteSelected() {
  if (TV_Container->IsEditing()) return;
  if (const TDeleteTarget target = DeleteTargetOf(Selected()); target.Item) DeleteTarget(target, false);
}

void TNavForm::DeleteTarget(const TDeleteTarget& target, bool everywhere) {
  TPoolItem* item = target.Item.Get();
  if (!item || !Container) return;
  std::optional<std::string> failure;
  try {
    if (auto* sheet = dynamic_cast<TSheetItem*>(item)) {
      sheet->Delete();
      Container->SyncAggregationNotes();
    } else if (target.Level > 2 && dynamic_cast<TNoteItem*>(item) && !everywhere) {
      if (TPosItem* place = target.Place.Get()) place->Delete(); // only that sheet's place
    } else {
      item->Delete();
    }
  } catch (const std::exception& error) {
    failure = error.what();
  } catch (...) {
    failure = "unknown error";
  }
  if (failure) {
    MessageDlg("The item could not be deleted completely: " + *failure, TMsgDlgType::mtError, mbOK);
    Tree->Rebuild(); // the tree shows what is left
  }
  RefreshItem(nullptr, true);
}

} // namespace qel
