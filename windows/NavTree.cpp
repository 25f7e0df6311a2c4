#include "NavTree.h"

#include "model/Container.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "shell/Icons.h"
#include "shell/Main.h"

#include <QSignalBlocker>

namespace qel {
namespace {

enum : int { kProjectImage = 0, kSheetImage = 1, kNoteImage = 2, kAttachImage = 3, kPlacedImage = 4 };

int NoteImage(const TNoteItem* note) { return note->IsAggregation() ? kSheetImage : kNoteImage; }

// A note under a sheet as a build or a lazy fill shows it.
int BuiltPositionImage(const TPosItem* position) {
  if (!position->IsPlaced()) return kNoteImage;
  return position->GetNote()->IsAggregation() ? kSheetImage : kPlacedImage;
}

// A note under a sheet as an added position shows it.
int AddedPositionImage(const TPosItem* position) {
  if (position->GetNote()->IsAggregation()) return kSheetImage;
  return position->IsPlaced() ? kPlacedImage : kNoteImage;
}

} // namespace

TNavTree::TNavTree() { FTracked = {&RootNode, &SheetsNode, &NotesNode, &AttachmentsNode, &LastAdded}; }

TNavTree::~TNavTree() {
  if (!View) return;
  const QSignalBlocker blocker(View);
  View->clear();
}

void TNavTree::SetView(TContainer* container, QTreeWidget* view) {
  Container = container;
  View = view;
  Images = QELMain ? QELMain->IL_Nav : NavigatorImages();
  Rebuild();
}

void TNavTree::Rebuild() {
  if (!View) return;
  const QSignalBlocker blocker(View);
  const bool updates = View->updatesEnabled();
  View->setUpdatesEnabled(false);
  View->clear(); // the nodes drop their registrations as they go
  if (Container) {
    BuildRoot();
    FillAll();
    View->addTopLevelItem(RootNode);
    RootNode->setExpanded(true);
    View->setCurrentItem(RootNode);
  }
  View->setUpdatesEnabled(updates);
}

void TNavTree::BuildRoot() {
  // Built apart from the view and added to it whole, so the view takes it in one step.
  RootNode = new TNavNode(this, Container);
  RootNode->setText(0, ToQString(ExtractFileName(Container->FileName)));
  RootNode->SetImage(kProjectImage);
  const auto branch = [this](TNavKind kind, TPoolItemList* pool, const char* text, int image) {
    auto* node = new TNavNode(this, kind, pool);
    node->setText(0, text);
    node->SetImage(image);
    RootNode->addChild(node);
    return node;
  };
  AttachmentsNode = branch(TNavKind::AttachPool, Container->AttachPool.get(), "Attachments", kAttachImage);
  NotesNode = branch(TNavKind::NotePool, Container->NotePool.get(), "Notes", kNoteImage);
  SheetsNode = branch(TNavKind::SheetPool, Container->SheetPool.get(), "Sheets", kSheetImage);
}

void TNavTree::FillAll() {
  FillSheetPool(SheetsNode, false);
  FillNotePool(NotesNode, false);
  FillAttachPool(AttachmentsNode);
}

void TNavTree::ExpandNode(TNavNode* Node) {
  if (!Node || !Container || Node->childCount() > 0) return;
  switch (Node->Kind()) {
  case TNavKind::SheetPool: FillSheetPool(Node, true); break;
  case TNavKind::NotePool: FillNotePool(Node, true); break;
  case TNavKind::AttachPool: FillAttachPool(Node); break;
  case TNavKind::Sheet:
    if (TSheetItem* sheet = Node->Sheet()) FillSheet(Node, sheet);
    break;
  case TNavKind::Note:
    if (TNoteItem* note = Node->Note()) FillNote(Node, note);
    break;
  default: break;
  }
}

void TNavTree::FillSheetPool(TNavNode* node, bool lazy) {
  for (int i = 0; i < Container->SheetCount(); ++i) {
    TSheetItem* sheet = Container->GetSheet(i);
    TNavNode* sheetNode = NewSheetNode(node, sheet);
    if (!lazy)
      FillSheet(sheetNode, sheet);
    else if (sheet->PositionCount() > 0)
      sheetNode->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
}

void TNavTree::FillNotePool(TNavNode* node, bool lazy) {
  for (int i = 0; i < Container->NoteCount(); ++i) {
    TNoteItem* note = Container->GetNote(i);
    TNavNode* noteNode = NewNoteNode(node, note);
    if (!lazy)
      FillNote(noteNode, note);
    else if (!note->IsAggregation() && note->AttachmentCount() > 0)
      noteNode->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
}

void TNavTree::FillAttachPool(TNavNode* node) {
  for (int i = 0; i < Container->AttachmentCount(); ++i) NewAttachmentNode(node, Container->GetAttachment(i));
}

void TNavTree::FillSheet(TNavNode* node, TSheetItem* sheet) {
  for (TPoolItem* item : sheet->Positions) {
    auto* position = static_cast<TPosItem*>(item);
    NewPositionNode(node, position, BuiltPositionImage(position));
  }
}

void TNavTree::FillNote(TNavNode* node, TNoteItem* note) {
  for (TPoolItem* item : note->Attachments) NewAttachmentNode(node, static_cast<TAttachItem*>(item));
}

// ---- single nodes

TNavNode* TNavTree::NewNode(TNavNode* parent, TNavKind kind, TPoolItem* item, const std::string& text, int image) {
  auto* node = new TNavNode(this, kind, item);
  node->setText(0, ToQString(text));
  node->SetImage(image);
  parent->addChild(node);
  return node;
}

TNavNode* TNavTree::NewSheetNode(TNavNode* parent, TSheetItem* sheet) {
  TNavNode* node = NewNode(parent, TNavKind::Sheet, sheet, sheet->Data.Name, kSheetImage);
  RegisterSheetNode(sheet, node);
  return node;
}

TNavNode* TNavTree::NewNoteNode(TNavNode* parent, TNoteItem* note) {
  TNavNode* node = NewNode(parent, TNavKind::Note, note, note->Data.Name, NoteImage(note));
  RegisterNoteNode(note, node);
  return node;
}

TNavNode* TNavTree::NewPositionNode(TNavNode* parent, TPosItem* position, int image) {
  TNoteItem* note = position->GetNote();
  TNavNode* node = NewNode(parent, TNavKind::Note, note, note->Data.Name, image);
  RegisterPositionNode(position, node);
  return node;
}

TNavNode* TNavTree::NewAttachmentNode(TNavNode* parent, TAttachItem* attachment) {
  TNavNode* node = NewNode(parent, TNavKind::Attachment, attachment, attachment->Data.Caption, kAttachImage);
  RegisterAttachmentNode(attachment, node);
  return node;
}

// ---- new items

TNavNode* TNavTree::AddSheet(TSheetItem* Sheet) {
  if (!SheetsNode) return nullptr;
  return LastAdded = NewSheetNode(SheetsNode, Sheet);
}

TNavNode* TNavTree::AddNote(TNoteItem* Note) {
  if (!NotesNode) return nullptr;
  return LastAdded = NewNoteNode(NotesNode, Note);
}

TNavNode* TNavTree::AddPosition(TPosItem* Position) {
  // A sheet outside the search view has no node to hold it.
  TNavNode* sheetNode = OwnNode(Position->GetSheet()->TreeNodes);
  if (!sheetNode) return nullptr;
  return LastAdded = NewPositionNode(sheetNode, Position, AddedPositionImage(Position));
}

TNavNode* TNavTree::AddAttachment(TAttachItem* Attachment) {
  if (!AttachmentsNode) return nullptr;
  LastAdded = NewAttachmentNode(AttachmentsNode, Attachment);
  if (TNavNode* noteNode = OwnNode(Attachment->GetNote()->TreeNodes))
    LastAdded = NewAttachmentNode(noteNode, Attachment);
  return LastAdded;
}

TNavNode* TNavTree::OwnNode(const TRelationShip& treeNodes) const {
  for (TPoolItem* item : treeNodes) {
    auto* node = dynamic_cast<TNavNode*>(static_cast<TTreeNodeItem*>(item)->Data.Node);
    if (node && node->Tree == this) return node;
  }
  return nullptr;
}

// ---- registration

TTreeNodeItem* TNavTree::Register(TTreeNodePool& pool, TPoolItem* item, TNavNode* node) {
  TTreeNodeRecord record;
  record.Item = item;
  record.Node = node;
  TTreeNodeItem* entry = pool.AddNode(record);
  node->Registration = entry;
  return entry;
}

TTreeNodeItem* TNavTree::RegisterNoteNode(TNoteItem* Item, TNavNode* Node) {
  return Register(*Container->NoteTreePool, Item, Node);
}

TTreeNodeItem* TNavTree::RegisterSheetNode(TSheetItem* Item, TNavNode* Node) {
  return Register(*Container->SheetTreePool, Item, Node);
}

TTreeNodeItem* TNavTree::RegisterPositionNode(TPosItem* Item, TNavNode* Node) {
  return Register(*Container->PosTreePool, Item, Node);
}

TTreeNodeItem* TNavTree::RegisterAttachmentNode(TAttachItem* Item, TNavNode* Node) {
  return Register(*Container->AttachTreePool, Item, Node);
}

// ---- node pointers

void TNavTree::Track(TNavNode** slot) { FTracked.push_back(slot); }

void TNavTree::Untrack(TNavNode** slot) { std::erase(FTracked, slot); }

void TNavTree::NodeGone(TNavNode* node) {
  for (TNavNode** slot : FTracked)
    if (*slot == node) *slot = nullptr;
}

} // namespace qel
