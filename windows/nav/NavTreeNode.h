#pragma once
// A node of the navigator's tree: the project root, a branch of one pool, or a node that shows
// a sheet, note or attachment. Item nodes are registered with the project (Registration), which
// renames and deletes them through INavTreeNode; a node deleted by the tree itself drops its
// registration, so the project never refers to a node that is gone.
#include "model/ContainerHost.h"
#include "model/PoolItem.h"

#include <QTreeWidgetItem>

namespace qel {

class TAttachItem;
class TContainer;
class TNavTree;
class TNoteItem;
class TPoolItemList;
class TSheetItem;
class TTreeNodeItem;

enum class TNavKind { Project, SheetPool, NotePool, AttachPool, Sheet, Note, Attachment };

class TNavNode : public QTreeWidgetItem, public INavTreeNode {
public:
  // The project's root node.
  TNavNode(TNavTree* tree, TContainer* project);
  // A branch node listing a pool (kind SheetPool, NotePool or AttachPool).
  TNavNode(TNavTree* tree, TNavKind kind, TPoolItemList* pool);
  // A node showing a sheet, note or attachment.
  TNavNode(TNavTree* tree, TNavKind kind, TPoolItem* item);
  ~TNavNode() override;

  void SetText(const std::string& text) override;
  void SetImageIndex(int image, int selectedImage) override;
  void DeleteNode() override;
  void SetImage(int image);

  TNavKind Kind() const { return FKind; }
  bool IsItem() const { return FKind >= TNavKind::Sheet; }
  bool IsBranch() const { return !IsItem() && FKind != TNavKind::Project; }
  int ImageIndex() const { return FImage; }
  // 0 for the root, 1 for the branches, 2 under a branch, 3 below that.
  int Level() const;
  TNavNode* ParentNode() const;

  // The shown object; null when the node shows another kind or its item is gone.
  TContainer* Project() const;
  TPoolItemList* Pool() const;
  TPoolItem* Item() const { return FItem.Get(); }
  TSheetItem* Sheet() const;
  TNoteItem* Note() const;
  TAttachItem* Attachment() const;

  TItemRef<TTreeNodeItem> Registration;
  bool Filled = false; // its children were made (they come and go with their items since)
  TNavTree* Tree; // told when the node goes; null once the tree is gone

private:
  TNavKind FKind;
  void* FObject = nullptr; // the project or the pool
  TItemRef<TPoolItem> FItem;
  int FImage = -1;
};

} // namespace qel
