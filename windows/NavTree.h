#pragma once
// Builds and keeps the navigator's project tree: the root, the branches Attachments, Notes and
// Sheets, a node per sheet, note and attachment, under each sheet its notes (one per position)
// and under each note its attachments. Every item node is registered with the project, so item
// setters rename and deletions remove nodes without a rebuild. The view owns the nodes; the
// tree's node pointers are cleared when their nodes go. Items are listed as the pools' search
// views show them.
#include "NavTreeNode.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QTreeWidget>
#include <vector>

namespace qel {

class TAttachItem;
class TContainer;
class TNoteItem;
class TPosItem;
class TSheetItem;
class TTreeNodeItem;
class TTreeNodePool;
class TRelationShip;

class TNavTree {
public:
  TNavTree();
  // Empties the view while the nodes can still tell the tree they go.
  ~TNavTree();
  TNavTree(const TNavTree&) = delete;
  TNavTree& operator=(const TNavTree&) = delete;

  // Binds project and view and rebuilds; a null project leaves the view empty.
  void SetView(TContainer* Container, QTreeWidget* View);
  // Clears the view (dropping the nodes' registrations) and builds the whole tree for the
  // project, the root selected.
  void Rebuild();
  // The lazy fill of a node that has no children yet.
  void ExpandNode(TNavNode* Node);

  // New items: each appends its node(s), registers them, sets LastAdded and returns it.
  TNavNode* AddSheet(TSheetItem* Sheet);
  TNavNode* AddNote(TNoteItem* Note);
  // Under the sheet's node; null when the sheet has none.
  TNavNode* AddPosition(TPosItem* Position);
  // Under Attachments and under the note's node; returns the one under the note (or the one
  // under Attachments when the note has no node).
  TNavNode* AddAttachment(TAttachItem* Attachment);

  TTreeNodeItem* RegisterNoteNode(TNoteItem* Item, TNavNode* Node);
  TTreeNodeItem* RegisterSheetNode(TSheetItem* Item, TNavNode* Node);
  TTreeNodeItem* RegisterPositionNode(TPosItem* Item, TNavNode* Node);
  TTreeNodeItem* RegisterAttachmentNode(TAttachItem* Item, TNavNode* Node);

  // Keeps *slot null once the node it points to is deleted (until Untrack).
  void Track(TNavNode** slot);
  void Untrack(TNavNode** slot);
  // Tracks a local node pointer for its own lifetime.
  class TWatch {
  public:
    TWatch(TNavTree& tree, TNavNode*& slot) : FTree(tree), FSlot(&slot) { tree.Track(FSlot); }
    ~TWatch() { FTree.Untrack(FSlot); }
    TWatch(const TWatch&) = delete;
    TWatch& operator=(const TWatch&) = delete;

  private:
    TNavTree& FTree;
    TNavNode** FSlot;
  };
  void NodeGone(TNavNode* node);
  QIcon Image(int index) const { return index >= 0 && index < Images.size() ? Images[index] : QIcon(); }

  QPointer<QTreeWidget> View;
  TContainer* Container = nullptr;
  TNavNode* RootNode = nullptr;
  TNavNode* SheetsNode = nullptr;
  TNavNode* NotesNode = nullptr;
  TNavNode* AttachmentsNode = nullptr;
  TNavNode* LastAdded = nullptr;
  QList<QIcon> Images; // the main window's navigator images

private:
  void BuildRoot();
  void FillAll();
  TNavNode* NewNode(TNavNode* parent, TNavKind kind, TPoolItem* item, const std::string& text, int image);
  TNavNode* NewSheetNode(TNavNode* parent, TSheetItem* sheet);
  TNavNode* NewNoteNode(TNavNode* parent, TNoteItem* note);
  TNavNode* NewPositionNode(TNavNode* parent, TPosItem* position, int image);
  TNavNode* NewAttachmentNode(TNavNode* parent, TAttachItem* attachment);
  TTreeNodeItem* Register(TTreeNodePool& pool, TPoolItem* item, TNavNode* node);
  void FillSheetPool(TNavNode* node, bool lazy);
  void FillNotePool(TNavNode* node, bool lazy);
  void FillAttachPool(TNavNode* node);
  void FillSheet(TNavNode* node, TSheetItem* sheet);
  void FillNote(TNavNode* node, TNoteItem* note);
  // This tree's first node among an item's registered nodes, or null.
  TNavNode* OwnNode(const TRelationShip& treeNodes) const;

  std::vector<TNavNode**> FTracked;
};

} // namespace qel
