#pragma once
// What a drag between windows carries. A target decides by the object's class what it accepts.
// The objects travel inside a TDragMimeData on a QDrag; drop handlers find them with
// DragObjectOf. Items are watched: one deleted during the drag reads as null.
#include "model/PoolItem.h"

#include <QMimeData>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

namespace qel {

class TSheetItem;

class TDragObject {
public:
  virtual ~TDragObject() = default;
};

// The source window and the dragged items (notes, sheets or attachments; not owned).
class TMultiDragObject : public TDragObject {
public:
  explicit TMultiDragObject(QWidget* SourceForm) : SourceForm(SourceForm) {}
  QPointer<QWidget> SourceForm;

  int Count() const { return static_cast<int>(FItems.size()); }
  // The item at I; null past the end or when it was deleted meanwhile.
  TPoolItem* Items(int I) const;
  void Add(TPoolItem* Item);
  // Inserts at I when I <= Count; ignored past the end.
  void Insert(int I, TPoolItem* Item);
  void Assign(const std::vector<TPoolItem*>& List);

private:
  std::vector<TItemRef<TPoolItem>> FItems;
};

// Notes, with each note's offset from the press point when dragged out of a sheet window.
class TDragNotes : public TMultiDragObject {
public:
  using TMultiDragObject::TMultiDragObject;
  // Offsets of every note's first position on the sheet from the press point (X, Y) in sheet
  // units; 0, 0 for a note not on the sheet.
  void ComputeOffsets(const TSheetItem* Sheet, int X, int Y);
  // The I-th offset; -1 past the end (and so for every note before ComputeOffsets).
  int OffsetX(int I) const;
  int OffsetY(int I) const;

private:
  std::vector<int> FOffsetsX;
  std::vector<int> FOffsetsY;
};

class TDragSheets : public TMultiDragObject {
public:
  using TMultiDragObject::TMultiDragObject;
};

class TDragAttach : public TMultiDragObject {
public:
  using TMultiDragObject::TMultiDragObject;
};

// Make a new note where it is dropped.
class TDragNewNote : public TDragObject {};

// The data of a QDrag that carries a drag object; it owns the object, which so lives exactly
// as long as the drag.
class TDragMimeData : public QMimeData {
  Q_OBJECT
public:
  static constexpr const char* Format = "application/x-qel-drag-object";
  explicit TDragMimeData(std::unique_ptr<TDragObject> object);
  TDragObject* Object() const { return FObject.get(); }

private:
  std::unique_ptr<TDragObject> FObject;
};

// The drag object a drag carries, or null for any other data.
TDragObject* DragObjectOf(const QMimeData* data);
template <class T> T* DragObjectAs(const QMimeData* data) { return dynamic_cast<T*>(DragObjectOf(data)); }

} // namespace qel
