#pragma once
// Builds and keeps the navigator's project tree: the root, the branches Attachments, Notes and
// Sheets, a node per sheet, note and attachment, under each sheet its notes (one per position)
// and under each note its attachments. The children of a node are made when it is first
// expanded (or when a node below it is asked for), so the tree costs what the user has opened.
// Every item node is registered with the project, so item setters rename and deletions remove
// the nodes that exist without a rebuild; new items reach only parents already filled. The
// view owns the nodes; the tree's node pointers are cleared when their nodes go. Items are
// listed as the pools' search views show them.
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
  // Clears the view (dropping the nodes' registrations) and builds the root and its three
  // branches, the root selected.
  void Rebuild();
  // Fills every branch and every node below them, as a user who opened everything sees it.
  void FillAll();
  // Fills a node that has no children yet with one level (each child marked when it has some).
  void ExpandNode(TNavNode* Node);

  // New items: each appends its node(s) under parents already filled, registers them, sets
  // LastAdded and returns it; null when no parent took one (it then shows an expand button).
  TNavNode* AddSheet(TSheetItem* Sheet);
  TNavNode* AddNote(TNoteItem* Note);
  // Under the sheet's node.
  TNavNode* AddPosition(TPosItem* Position);
  // Under Attachments and under the note's node; returns the one under the note (or the one
  // under Attachments when the note has none).
  TNavNode* AddAttachment(TAttachItem* Attachment);

  // The node of the item directly under Parent, made (with Parent's other children) when
  // Parent was not filled yet; null when the item is not listed there.
  TNavNode* Reveal(TPoolItem* Item, TNavNode* Parent);
  // The node of a sheet, note or attachment under its branch, or of a position under its
  // sheet's node, made on demand.
  TNavNode* NodeOf(TPoolItem* Item);

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
  using TChildren = QList<QTreeWidgetItem*>;
  void BuildRoot();
  TChildren SheetPoolChildren();
  TChildren NotePoolChildren();
  TChildren AttachPoolChildren();
  TChildren SheetChildren(TSheetItem* sheet);
  TChildren NoteChildren(TNoteItem* note);
  TNavNode* NewNode(TNavKind kind, TPoolItem* item, const std::string& text, int image);
  TNavNode* NewSheetNode(TSheetItem* sheet);
  TNavNode* NewNoteNode(TNoteItem* note);
  TNavNode* NewPositionNode(TPosItem* position, int image);
  TNavNode* NewAttachmentNode(TAttachItem* attachment);
  TNavNode* Append(TNavNode* parent, TNavNode* node);
  // Whether new children go under the parent now (it was filled); if not, it is marked.
  static bool TakesChildren(TNavNode* parent);
  TTreeNodeItem* Register(TTreeNodePool& pool, TPoolItem* item, TNavNode* node);
  // This tree's first node among an item's registered nodes (under parent when given), or null.
  TNavNode* OwnNode(const TRelationShip& treeNodes, const TNavNode* parent = nullptr) const;

  std::vector<TNavNode**> FTracked;
};

} // namespace qel
