#pragma once
// Fills the search window's results tree from the pools as the last search left them: the
// project at the root, one branch per kind shown, one node per hit in view order, and below
// each hit its related items (the notes on a sheet, the attachments of a note, the note of an
// attachment). Refers to the project and the tree view without owning them.
//
// Nodes keep their items as watched references: a node whose item has been deleted since the
// refresh keeps its text but shows no item (ItemAs is null), so no handler can reach it.
#include "model/PoolItem.h"

#include <QColor>
#include <QFileIconProvider>
#include <QIcon>
#include <QList>
#include <QTreeWidgetItem>
#include <string>

class QTreeWidget;

namespace qel {

class TContainer;
class TPoolItemList;

// A node of the results tree and what it shows: the project (root), a pool (branch) or an item.
class TResultNode : public QTreeWidgetItem {
public:
  TContainer* Project = nullptr;
  TPoolItemList* Pool = nullptr;
  TItemRef<TPoolItem> Item;
  // Places in the shared image list; equal except for a file icon.
  int ImageIndex = -1;
  int SelectedIndex = -1;

  // The item shown when it is a T and still exists, else null.
  template <class T> T* ItemAs() const { return dynamic_cast<T*>(Item.Get()); }
  TResultNode* Child(int i) const { return static_cast<TResultNode*>(child(i)); }
  // Whether the node showed an item that has been deleted since.
  bool ItemGone() const { return !Item && !Item.SameAs(TItemRef<TPoolItem>()); }
  // A node whose item is gone is drawn grey.
  QVariant data(int column, int role) const override {
    if (role == Qt::ForegroundRole && ItemGone()) return QColor(Qt::gray);
    return QTreeWidgetItem::data(column, role);
  }
  TResultNode* Parent() const { return static_cast<TResultNode*>(parent()); }
};

class TTVEngine {
public:
  // Images: the shared item icons (the main window's IL_Nav); a refresh appends file icons.
  TTVEngine(TContainer* container, QTreeWidget* treeView, QList<QIcon>* images);

  TContainer* Container;
  QTreeWidget* TreeView;
  bool ShowSheets = true;
  bool ShowNotes = true;
  bool ShowAttachments = true;

  // Builds the tree into the tree view, which the caller has emptied; selects the root and
  // expands everything. The tree is built apart and added at once, so large results stay fast.
  void Refresh();

  // Node texts: the project's file name without its folder, a sheet's or note's name, an
  // attachment's caption.
  static std::string ItemText(const TContainer& project);
  static std::string ItemText(const TPoolItem* item);
  // Number of images the image list keeps (the item icons); file icons go behind them.
  static constexpr int kItemImages = 9;

private:
  TResultNode* BuildSkeleton();
  void FillSheets(TResultNode* branch);
  void FillNotes(TResultNode* branch);
  void FillAttachments(TResultNode* branch);
  void FillSheetNotes(TResultNode* node);
  void FillNoteAttachments(TResultNode* node);
  void FillAttachmentNote(TResultNode* node);
  // Appends empty children or removes the last ones until the node has count children.
  static void SetChildCount(TResultNode* node, int count);
  void UpdateNodeLooks(TResultNode* root);
  void UpdateNodeLook(TResultNode* node);
  void SetNoteLook(TResultNode* node);
  void SetAttachmentLook(TResultNode* node);
  void SetImages(TResultNode* node, int image, int selected);
  void TrimNavImages();

  QList<QIcon>* FImages;
  QFileIconProvider FIconProvider;
};

} // namespace qel
