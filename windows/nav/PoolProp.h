#pragma once
// Base of the navigator's pages that list a whole pool (sheets, notes or attachments): a list
// with one "Name" column, one row per item of the pool's view. Rows can be dragged to other
// windows and opened by a double-click in a property window of their own; nothing can be
// dropped on the list. Rows keep their items as references, so a row whose item was deleted
// elsewhere is skipped.
#include "windows/props/PropertyForm.h"
#include "model/PoolItem.h"

#include <functional>
#include <memory>
#include <vector>

class QMimeData;
class QTreeWidgetItem;

namespace qel {

class TItemTreeWidget;
class TMultiDragObject;
class TPoolItemList;
class TSheetItem;

class TPoolPrp : public TPropertyFrm {
  Q_OBJECT
public:
  explicit TPoolPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  // The drag object for the selected rows, in row order; null when the rows hold no items.
  std::unique_ptr<TMultiDragObject> LV_ContentsStartDrag();
  bool LV_ContentsDragOver(const QMimeData* data) const;
  // Opens the first selected row's item in a new window, which it returns (or null).
  QWidget* LV_ContentsDblClick();
  // The item shown by the row; null once it is gone.
  TPoolItem* RowItem(int row) const;
  // The row's index into IL_Property.
  int RowImage(int row) const;
  int RowCount() const { return static_cast<int>(FRows.size()); }
  // Whether the rows are those of the pool as it is now: filled from it, and nothing added,
  // removed, renamed or recoloured there since, nor its view changed.
  bool Shows(const TPoolItemList* pool) const;
  // When the pool only gained items at its end since the rows were filled, appends rows for
  // those and returns true; otherwise changes nothing. Costs the rows added, not a refill.
  bool AppendNew(const TPoolItemList& pool);
  // Stores and closes the windows opened from the list and lets go of the project.
  void ReleaseProject();

  TItemTreeWidget* LV_Contents;

protected:
  // Sets the info text and lists one row per item of the pool's view, with the caption and
  // image that Describe gives the item.
  using TDescribe = std::function<void(TPoolItem* item, std::string& caption, int& image)>;
  void Fill(const QString& status, const TPoolItemList& pool, const TDescribe& Describe);

private:
  QWidget* OpenSheet(TSheetItem* sheet);
  QWidget* OpenItem(TPoolItem* item);
  QWidget* Opened(QWidget* window);

  // A row for the item, described as the last fill did.
  QTreeWidgetItem* NewRow(TPoolItem* item);

  std::vector<TItemRef<TPoolItem>> FRows;
  TDescribe FDescribe; // of the last fill
  // What the rows were filled from.
  const TPoolItemList* FFilledFrom = nullptr;
  uint64_t FFilledChanges = 0;
  uint64_t FFilledEdits = 0;
  bool FFilledFiltered = false;
};

} // namespace qel
