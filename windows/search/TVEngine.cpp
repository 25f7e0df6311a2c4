#include "TVEngine.h"

#include "model/Container.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"

#include <QFileInfo>
#include <QTreeWidget>

namespace qel {
namespace {

enum TImage { imProject = 0, imSheet = 1, imNote = 2, imAttachment = 3, imPlacedNote = 4 };

TResultNode* AddBranch(TResultNode* root, const char* text, TPoolItemList* pool) {
  auto* branch = new TResultNode();
  branch->setText(0, text);
  branch->Pool = pool;
  root->addChild(branch);
  return branch;
}

} // namespace

TTVEngine::TTVEngine(TContainer* container, QTreeWidget* treeView, QList<QIcon>* images)
    : Container(container), TreeView(treeView), FImages(images) {}

std::string TTVEngine::ItemText(const TContainer& project) { return ExtractFileName(project.FileName); }

std::string TTVEngine::ItemText(const TPoolItem* item) {
  if (auto* sheet = dynamic_cast<const TSheetItem*>(item)) return sheet->Data.Name;
  if (auto* note = dynamic_cast<const TNoteItem*>(item)) return note->Data.Name;
  if (auto* attachment = dynamic_cast<const TAttachItem*>(item)) return attachment->Data.Caption;
  return {};
}

void TTVEngine::Refresh() {
  TResultNode* root = BuildSkeleton();
  int branch = 0;
  if (ShowSheets) FillSheets(root->Child(branch++));
  if (ShowNotes) FillNotes(root->Child(branch++));
  if (ShowAttachments) FillAttachments(root->Child(branch++));
  UpdateNodeLooks(root);
  TreeView->addTopLevelItem(root);
  TreeView->setCurrentItem(root);
  TreeView->expandAll();
}

TResultNode* TTVEngine::BuildSkeleton() {
  auto* root = new TResultNode();
  root->Project = Container;
  if (ShowSheets) SetImages(AddBranch(root, "Sheets", Container->SheetPool.get()), imSheet, imSheet);
  if (ShowNotes) SetImages(AddBranch(root, "Notes", Container->NotePool.get()), imNote, imNote);
  if (ShowAttachments)
    SetImages(AddBranch(root, "Attachments", Container->AttachPool.get()), imAttachment, imAttachment);
  return root;
}

void TTVEngine::FillSheets(TResultNode* branch) {
  SetChildCount(branch, Container->SheetCount());
  for (int i = 0; i < branch->childCount(); ++i) {
    branch->Child(i)->Item = Container->GetSheet(i);
    FillSheetNotes(branch->Child(i));
  }
}

void TTVEngine::FillNotes(TResultNode* branch) {
  SetChildCount(branch, Container->NoteCount());
  for (int i = 0; i < branch->childCount(); ++i) {
    branch->Child(i)->Item = Container->GetNote(i);
    FillNoteAttachments(branch->Child(i));
  }
}

void TTVEngine::FillAttachments(TResultNode* branch) {
  SetChildCount(branch, Container->AttachmentCount());
  for (int i = 0; i < branch->childCount(); ++i) {
    branch->Child(i)->Item = Container->GetAttachment(i);
    FillAttachmentNote(branch->Child(i));
  }
}

void TTVEngine::FillSheetNotes(TResultNode* node) {
  auto* sheet = node->ItemAs<TSheetItem>();
  SetChildCount(node, sheet->PositionCount());
  int i = 0;
  for (TPoolItem* pos : sheet->Positions) node->Child(i++)->Item = static_cast<TPosItem*>(pos)->GetNote();
}

void TTVEngine::FillNoteAttachments(TResultNode* node) {
  auto* note = node->ItemAs<TNoteItem>();
  SetChildCount(node, note->AttachmentCount());
  int i = 0;
  for (TPoolItem* attachment : note->Attachments) node->Child(i++)->Item = attachment;
}

void TTVEngine::FillAttachmentNote(TResultNode* node) {
  SetChildCount(node, 1);
  node->Child(0)->Item = node->ItemAs<TAttachItem>()->GetNote();
}

void TTVEngine::SetChildCount(TResultNode* node, int count) {
  while (node->childCount() < count)
    node->addChild(new TResultNode());
  while (node->childCount() > count)
    delete node->takeChild(node->childCount() - 1);
}

void TTVEngine::UpdateNodeLooks(TResultNode* root) {
  TrimNavImages();
  // Depth first, top to bottom: the order in which the tree lists its nodes.
  std::vector<TResultNode*> pending{root};
  while (!pending.empty()) {
    TResultNode* node = pending.back();
    pending.pop_back();
    UpdateNodeLook(node);
    for (int i = node->childCount() - 1; i >= 0; --i)
      pending.push_back(node->Child(i));
  }
}

void TTVEngine::UpdateNodeLook(TResultNode* node) {
  if (node->Project) {
    node->setText(0, ToQString(ItemText(*node->Project)));
    SetImages(node, imProject, imProject);
    return;
  }
  TPoolItem* item = node->Item.Get();
  if (!item) return; // a branch
  node->setText(0, ToQString(ItemText(item)));
  if (dynamic_cast<TSheetItem*>(item))
    SetImages(node, imSheet, imSheet);
  else if (dynamic_cast<TNoteItem*>(item))
    SetNoteLook(node);
  else if (dynamic_cast<TAttachItem*>(item))
    SetAttachmentLook(node);
}

void TTVEngine::SetNoteLook(TResultNode* node) {
  auto* note = node->ItemAs<TNoteItem>();
  int image = imNote;
  if (auto* sheet = node->Parent() ? node->Parent()->ItemAs<TSheetItem>() : nullptr)
    if (note->IsPlacedOn(sheet)) image = imPlacedNote;
  if (note->IsAggregation()) image = imSheet;
  SetImages(node, image, image);
}

void TTVEngine::SetAttachmentLook(TResultNode* node) {
  const std::string& location = node->ItemAs<TAttachItem>()->Data.Location;
  if (!FileExists(location)) {
    SetImages(node, imAttachment, imAttachment);
    return;
  }
  const QIcon icon = FIconProvider.icon(QFileInfo(QString::fromStdString(ToNativePath(location))));
  FImages->append(icon);
  FImages->append(icon);
  SetImages(node, FImages->size() - 2, FImages->size() - 1);
}

void TTVEngine::SetImages(TResultNode* node, int image, int selected) {
  node->ImageIndex = image;
  node->SelectedIndex = selected;
  if (image < FImages->size()) node->setIcon(0, FImages->at(image));
}

void TTVEngine::TrimNavImages() {
  while (FImages->size() > kItemImages)
    FImages->removeLast();
}

} // namespace qel
