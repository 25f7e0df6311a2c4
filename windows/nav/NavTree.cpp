#include "NavTree.h"

#include "model/Container.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "windows/Icons.h"
#include "windows/MainServices.h"

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
  Images = MainServices ? MainServices->ItemImages() : NavigatorImages();
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
    node->Filled = pool->Count() == 0;
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
  if (!RootNode) return;
  for (TNavNode* branch : {SheetsNode, NotesNode, AttachmentsNode}) {
    ExpandNode(branch);
    if (branch == AttachmentsNode) break;
    for (int i = 0; i < branch->childCount(); ++i) ExpandNode(static_cast<TNavNode*>(branch->child(i)));
  }
}

void TNavTree::ExpandNode(TNavNode* Node) {
  if (!Node || !Container || Node->childCount() > 0) return;
  TChildren children;
  switch (Node->Kind()) {
  case TNavKind::SheetPool: children = SheetPoolChildren(); break;
  case TNavKind::NotePool: children = NotePoolChildren(); break;
  case TNavKind::AttachPool: children = AttachPoolChildren(); break;
  case TNavKind::Sheet:
    if (TSheetItem* sheet = Node->Sheet()) children = SheetChildren(sheet);
    break;
  case TNavKind::Note:
    if (TNoteItem* note = Node->Note()) children = NoteChildren(note);
    break;
  default: return;
  }
  Node->Filled = true;
  if (children.isEmpty()) return;
  const bool updates = View && View->updatesEnabled();
  if (View) View->setUpdatesEnabled(false);
  Node->addChildren(children); // the view takes them in one step
  if (View) View->setUpdatesEnabled(updates);
}

TNavTree::TChildren TNavTree::SheetPoolChildren() {
  TChildren children;
  children.reserve(Container->SheetCount());
  for (int i = 0; i < Container->SheetCount(); ++i) {
    TSheetItem* sheet = Container->GetSheet(i);
    TNavNode* node = NewSheetNode(sheet);
    if (sheet->PositionCount() > 0) node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    children.append(node);
  }
  return children;
}

TNavTree::TChildren TNavTree::NotePoolChildren() {
  TChildren children;
  children.reserve(Container->NoteCount());
  for (int i = 0; i < Container->NoteCount(); ++i) {
    TNoteItem* note = Container->GetNote(i);
    TNavNode* node = NewNoteNode(note);
    if (note->AttachmentCount() > 0) node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    children.append(node);
  }
  return children;
}

TNavTree::TChildren TNavTree::AttachPoolChildren() {
  TChildren children;
  children.reserve(Container->AttachmentCount());
  for (int i = 0; i < Container->AttachmentCount(); ++i) children.append(NewAttachmentNode(Container->GetAttachment(i)));
  return children;
}

TNavTree::TChildren TNavTree::SheetChildren(TSheetItem* sheet) {
  TChildren children;
  for (TPoolItem* item : sheet->Positions) {
    auto* position = static_cast<TPosItem*>(item);
    children.append(NewPositionNode(position, BuiltPositionImage(position)));
  }
  return children;
}

TNavTree::TChildren TNavTree::NoteChildren(TNoteItem* note) {
  TChildren children;
  for (TPoolItem* item : note->Attachments) children.append(NewAttachmentNode(static_cast<TAttachItem*>(item)));
  return children;
}

// ---- single nodes, made apart from the view

TNavNode* TNavTree::NewNode(TNavKind kind, TPoolItem* item, const std::string& text, int image) {
  auto* node = new TNavNode(this, kind, item);
  node->setText(0, ToQString(text));
  node->SetImage(image);
  return node;
}

TNavNode* TNavTree::NewSheetNode(TSheetItem* sheet) {
  TNavNode* node = NewNode(TNavKind::Sheet, sheet, sheet->Data.Name, kSheetImage);
  node->Filled = sheet->PositionCount() == 0; // nothing to fill: new places are added at once
  RegisterSheetNode(sheet, node);
  return node;
}

TNavNode* TNavTree::NewNoteNode(TNoteItem* note) {
  TNavNode* node = NewNode(TNavKind::Note, note, note->Data.Name, NoteImage(note));
  node->Filled = note->AttachmentCount() == 0;
  RegisterNoteNode(note, node);
  return node;
}

TNavNode* TNavTree::NewPositionNode(TPosItem* position, int image) {
  TNoteItem* note = position->GetNote();
  TNavNode* node = NewNode(TNavKind::Note, note, note->Data.Name, image);
  RegisterPositionNode(position, node);
  return node;
}

TNavNode* TNavTree::NewAttachmentNode(TAttachItem* attachment) {
  TNavNode* node = NewNode(TNavKind::Attachment, attachment, attachment->Data.Caption, kAttachImage);
  RegisterAttachmentNode(attachment, node);
  return node;
}

// ---- new items: a node only under a parent whose children were made; a parent that has
// none yet gets its expand button

TNavNode* TNavTree::Append(TNavNode* parent, TNavNode* node) {
  parent->addChild(node);
  return LastAdded = node;
}

bool TNavTree::TakesChildren(TNavNode* parent) {
  if (!parent) return false;
  if (parent->Filled) return true;
  parent->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  return false;
}

TNavNode* TNavTree::AddSheet(TSheetItem* Sheet) {
  if (!TakesChildren(SheetsNode)) return nullptr;
  return Append(SheetsNode, NewSheetNode(Sheet));
}

TNavNode* TNavTree::AddNote(TNoteItem* Note) {
  if (!TakesChildren(NotesNode)) return nullptr;
  return Append(NotesNode, NewNoteNode(Note));
}

TNavNode* TNavTree::AddPosition(TPosItem* Position) {
  // A sheet outside the search view, or in a branch not yet opened, has no node to hold it.
  TNavNode* sheetNode = OwnNode(Position->GetSheet()->TreeNodes);
  if (!TakesChildren(sheetNode)) return nullptr;
  return Append(sheetNode, NewPositionNode(Position, AddedPositionImage(Position)));
}

TNavNode* TNavTree::AddAttachment(TAttachItem* Attachment) {
  TNavNode* added = nullptr;
  if (TakesChildren(AttachmentsNode)) added = Append(AttachmentsNode, NewAttachmentNode(Attachment));
  if (TNavNode* noteNode = OwnNode(Attachment->GetNote()->TreeNodes); TakesChildren(noteNode))
    added = Append(noteNode, NewAttachmentNode(Attachment));
  return added;
}

// ---- nodes made on demand

TNavNode* TNavTree::Reveal(TPoolItem* Item, TNavNode* Parent) {
  if (!Item || !Parent || !Container) return nullptr;
  ExpandNode(Parent);
  const TRelationShip* nodes = nullptr;
  if (auto* sheet = dynamic_cast<TSheetItem*>(Item)) nodes = &sheet->TreeNodes;
  else if (auto* note = dynamic_cast<TNoteItem*>(Item)) nodes = &note->TreeNodes;
  else if (auto* attachment = dynamic_cast<TAttachItem*>(Item)) nodes = &attachment->TreeNodes;
  else if (auto* position = dynamic_cast<TPosItem*>(Item)) nodes = &position->TreeNodes;
  return nodes ? OwnNode(*nodes, Parent) : nullptr;
}

TNavNode* TNavTree::NodeOf(TPoolItem* Item) {
  if (dynamic_cast<TSheetItem*>(Item)) return Reveal(Item, SheetsNode);
  if (dynamic_cast<TNoteItem*>(Item)) return Reveal(Item, NotesNode);
  if (dynamic_cast<TAttachItem*>(Item)) return Reveal(Item, AttachmentsNode);
  if (auto* position = dynamic_cast<TPosItem*>(Item)) return Reveal(Item, NodeOf(position->GetSheet()));
  return nullptr;
}

TNavNode* TNavTree::OwnNode(const TRelationShip& treeNodes, const TNavNode* parent) const {
  for (TPoolItem* item : treeNodes) {
    auto* node = dynamic_cast<TNavNode*>(static_cast<TTreeNodeItem*>(item)->Data.Node);
    if (node && node->Tree == this && (!parent || node->parent() == parent)) return node;
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
