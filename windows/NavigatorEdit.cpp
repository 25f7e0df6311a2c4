// Making and deleting items from the navigator.
#include "Navigator.h"

#include "ItemTreeWidget.h"
#include "model/Container.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"

#include <QCoreApplication>

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
  TSheetItem* sheet = NodeOrParent(Selected(), &TNavNode::Sheet);
  Tree->LastAdded = nullptr;
  TNoteItem* note = Container->AddNote(TNote());
  if (sheet) {
    TPos position;
    position.Note = note;
    position.Sheet = sheet;
    Container->AddPosition(position);
  }
  if (Tree->LastAdded) SelectAndEdit(Tree->LastAdded);
}

void TNavForm::TB_NewAttachClick() {
  if (!Container) return;
  TV_Container->FinishEditing();
  if (TNoteItem* note = NodeOrParent(Selected(), &TNavNode::Note)) {
    TAttachment record;
    record.Note = note;
    Tree->LastAdded = nullptr;
    Container->AddAttachment(record);
    if (Tree->LastAdded) {
      SelectAndEdit(Tree->LastAdded);
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

void TNavForm::MI_DeleteClick() {
  TNavNode* node = Selected();
  LastNode = node;
  if (!node || !node->Item() || !Container) return;
  const TItemRef<TPoolItem> item = node->Item();
  const int level = node->Level();
  const std::string text = FromQString(node->text(0));
  // After a question the selection must still show what the user agreed to delete.
  const auto unchanged = [this, &item, level] {
    TNavNode* now = Selected();
    return item && now && now->Item() == item.Get() && now->Level() == level;
  };
  if (node->Sheet()) {
    const std::string question = "You are deleting Sheet [" + text +
                                 "] including all its Notes and Relations between the Notes from this Sheet. "
                                 "Notes will still be available, but Relations are permanently removed from the "
                                 "project." + CR + CR + "You cannot undo this action. Are you sure?";
    if (MessageDlg(question, TMsgDlgType::mtInformation, mbYesNo) != mrYes) return;
    QCoreApplication::processEvents();
    if (!unchanged()) return;
    try {
      DeleteSelected();
    } catch (...) {
      // A failed deletion leaves the tree as it is.
    }
  } else if (node->Note() && level == 2) {
    const std::string question = "Are you sure you want to permanently delete Note [" + text + "]?";
    if (MessageDlg(question, TMsgDlgType::mtInformation, mbYesNoCancel) == mrYes && unchanged()) DeleteSelected();
  } else if (node->Note()) {
    const std::string question = "You are deleting the Note [" + text + "] only from the Sheet." + CR +
                                 "Do you want to remove it from all other places too?";
    const int answer = MessageDlg(question, TMsgDlgType::mtInformation, mbYesNoCancel);
    if (answer == mrCancel || !unchanged()) return;
    if (answer == mrNo) {
      DeleteSelected();
      return;
    }
    item->Delete();
    RefreshItem(nullptr, true);
  } else if (node->Attachment()) {
    const std::string question = "Are you sure you want to delete Attachment [" + text + "]?";
    if (MessageDlg(question, TMsgDlgType::mtConfirmation, mbYesNo) == mrYes && unchanged()) DeleteSelected();
  }
}

void TNavForm::DeleteSelected() {
  TNavNode* node = Selected();
  if (!node || !node->Item() || !Container || TV_Container->IsEditing()) return;
  if (TSheetItem* sheet = node->Sheet()) {
    sheet->Delete();
    Container->SyncAggregationNotes();
  } else if (TNoteItem* note = node->Note()) {
    if (node->Level() == 2)
      note->Delete();
    else if (TSheetItem* sheet = node->ParentNode()->Sheet())
      if (TPosItem* position = Container->FindPosition(note, sheet)) position->Delete();
  } else {
    node->Item()->Delete();
  }
  RefreshItem(nullptr, true);
}

} // namespace qel
