#include "PoolProp.h"

#include "windows/props/AttachmentProp.h"
#include "ItemTreeWidget.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropCommon.h"
#include "windows/props/SheetProp.h"
#include "windows/sheet/DragObjects.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace qel {
namespace {

constexpr Qt::WindowFlags kOwnWindow = Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                                       Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

std::unique_ptr<TMultiDragObject> DragObjectFor(const TPoolItem* item, QWidget* source) {
  if (dynamic_cast<const TSheetItem*>(item)) return std::make_unique<TDragSheets>(source);
  if (dynamic_cast<const TNoteItem*>(item)) return std::make_unique<TDragNotes>(source);
  if (dynamic_cast<const TAttachItem*>(item)) return std::make_unique<TDragAttach>(source);
  return nullptr;
}

} // namespace

TPoolPrp::TPoolPrp(QWidget* parent, Qt::WindowFlags flags) : TPropertyFrm(parent, flags) {
  setWindowTitle("PoolPrp");
  resize(652, 279);
  LV_Contents = new TItemTreeWidget(this);
  LV_Contents->setRootIsDecorated(false);
  LV_Contents->setSelectionMode(QAbstractItemView::ExtendedSelection);
  LV_Contents->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LV_Contents->setUniformRowHeights(true);
  LV_Contents->setColumnCount(0);
  LV_Contents->OnStartDrag = [this] { return std::unique_ptr<TDragObject>(LV_ContentsStartDrag()); };
  LV_Contents->OnDragOver = [this](QTreeWidgetItem*, const QMimeData* data) { return LV_ContentsDragOver(data); };
  connect(LV_Contents, &QTreeWidget::itemDoubleClicked, this, [this] { LV_ContentsDblClick(); });
  auto* body = static_cast<QVBoxLayout*>(layout());
  body->insertWidget(1, LV_Contents, 1);
}

void TPoolPrp::Fill(const QString& status, const TPoolItemList& pool, const TDescribe& Describe) {
  SetInfo(status);
  LV_Contents->clear();
  LV_Contents->setColumnCount(1);
  LV_Contents->setHeaderLabels({"Name"});
  LV_Contents->header()->resizeSection(0, 250);
  FRows.clear();
  FRows.reserve(static_cast<size_t>(pool.Count()));
  FDescribe = Describe;
  QList<QTreeWidgetItem*> rows;
  rows.reserve(pool.Count());
  for (int i = 0; i < pool.Count(); ++i) rows.append(NewRow(pool.GetItem(i)));
  LV_Contents->addTopLevelItems(rows); // one step for the whole list
  FFilledFrom = &pool;
  FFilledChanges = pool.Changes();
  FFilledEdits = pool.Edits();
  FFilledFiltered = pool.Filtered;
}

bool TPoolPrp::Shows(const TPoolItemList* pool) const {
  return pool && pool == FFilledFrom && pool->Changes() == FFilledChanges && pool->Filtered == FFilledFiltered;
}

QTreeWidgetItem* TPoolPrp::NewRow(TPoolItem* item) {
  std::string caption;
  int image = -1;
  FDescribe(item, caption, image);
  auto* row = new QTreeWidgetItem(QStringList(ToQString(caption)));
  if (image >= 0 && image < IL_Property.size()) row->setIcon(0, IL_Property[image]);
  row->setData(0, Qt::UserRole, image);
  FRows.emplace_back(item);
  return row;
}

bool TPoolPrp::AppendNew(const TPoolItemList& pool) {
  const int count = RowCount();
  if (!FDescribe || &pool != FFilledFrom || pool.Edits() != FFilledEdits || pool.Filtered != FFilledFiltered ||
      count > pool.Count())
    return false;
  QList<QTreeWidgetItem*> rows;
  for (int i = count; i < pool.Count(); ++i) rows.append(NewRow(pool.GetItem(i)));
  LV_Contents->addTopLevelItems(rows);
  FFilledChanges = pool.Changes();
  return true;
}

TPoolItem* TPoolPrp::RowItem(int row) const {
  return row >= 0 && row < RowCount() ? FRows[static_cast<size_t>(row)].Get() : nullptr;
}

std::unique_ptr<TMultiDragObject> TPoolPrp::LV_ContentsStartDrag() {
  std::unique_ptr<TMultiDragObject> object;
  for (int row = 0; row < RowCount() && !object; ++row)
    if (TPoolItem* item = RowItem(row)) object = DragObjectFor(item, this);
  if (!object) return nullptr;
  for (int row = 0; row < RowCount(); ++row)
    if (LV_Contents->topLevelItem(row)->isSelected())
      if (TPoolItem* item = RowItem(row)) object->Add(item);
  return object;
}

int TPoolPrp::RowImage(int row) const {
  QTreeWidgetItem* item = LV_Contents->topLevelItem(row);
  return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

bool TPoolPrp::LV_ContentsDragOver(const QMimeData*) const { return false; }

QWidget* TPoolPrp::LV_ContentsDblClick() {
  for (int row = 0; row < RowCount(); ++row)
    if (LV_Contents->topLevelItem(row)->isSelected()) return OpenItem(RowItem(row));
  return nullptr;
}

QWidget* TPoolPrp::OpenItem(TPoolItem* item) {
  if (auto* sheet = dynamic_cast<TSheetItem*>(item)) return OpenSheet(sheet);
  if (auto* note = dynamic_cast<TNoteItem*>(item)) {
    if (note->IsAggregation()) return OpenSheet(note->GetAggregatedSheet());
    auto* window = new TNotePrp(this, kOwnWindow);
    window->Container = Container;
    window->ShowNote(note, Container ? Container->RelationPool.get() : nullptr,
                     Container ? Container->LinkPool.get() : nullptr);
    return Opened(window);
  }
  if (auto* attachment = dynamic_cast<TAttachItem*>(item)) {
    auto* window = new TAttachPrp(this, kOwnWindow | Qt::WindowMinMaxButtonsHint);
    window->Container = Container;
    window->ShowItem(attachment);
    if (MainServices) MainServices->PlacePropertyWindow(window, this);
    return Opened(window);
  }
  return nullptr;
}

QWidget* TPoolPrp::OpenSheet(TSheetItem* sheet) {
  if (!sheet) return nullptr; // the sheet an aggregation note stood for is gone
  auto* window = new TSheetPrp(this, kOwnWindow);
  window->Container = Container;
  window->ShowItem(sheet);
  return Opened(window);
}

QWidget* TPoolPrp::Opened(QWidget* window) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return window;
}

void TPoolPrp::ReleaseProject() {
  CloseFreeWindows(this);
  FRows.clear();
  FFilledFrom = nullptr;
  LV_Contents->clear();
  Container = nullptr;
}

} // namespace qel
