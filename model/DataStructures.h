#pragma once
// The plain records from which items are made and which the data files describe.
// A default-constructed record is the default record callers copy and change.
#include "ContainerHost.h"
#include "PoolItem.h"
#include "platform/Colors.h"

#include <cstdint>
#include <string>

namespace qel {

class TNoteItem;
class TSheetItem;
class TRelationItem;

struct TNote {
  int32_t ID = -1;
  std::string Name = "New Note";
  std::string ImageFile;
  std::string LogoFile;
  int32_t Kind = -1; // 0: aggregation note standing for Sheet
  int32_t Width = 80;
  int32_t Height = 50;
  TColor Color = clYellow;
  int32_t Extra1 = 16;
  int32_t LogoPos = 0; // 0..8: row = value / 3, column = value % 3
  uint8_t ExtraFlag = 1;
  int32_t Extra2 = 10;
  std::string Text; // rich text
  int32_t SheetIndex = 1;
  // The sheet an aggregation note stands for; empty once that sheet is deleted.
  TItemRef<TSheetItem> Sheet;
};

struct TSheet {
  int32_t ID = -1;
  std::string Name = "New Sheet";
  TColor Color = clWhite;
  int32_t Width = 9999;
  int32_t Height = 9999;
  int32_t Zoom = 80;
  int32_t GridSize = 10;
  int32_t Extra = 1;
  std::string Description;
};

struct TAttachment {
  int32_t ID = -1;
  int32_t NoteIndex = -1;
  TNoteItem* Note = nullptr;
  std::string Caption = "New Attachment";
  std::string Location; // file name (kind 0) or URL (kind 1)
  std::string Text;
  uint8_t Kind = 0;
};

struct TRelation {
  int32_t ID = -1;
  std::string Name = "New Relation";
  int32_t Extra = -1;
};

// X and Y below 0: the note is assigned to the sheet but not placed on it.
struct TPos {
  int32_t ID = -1;
  int32_t NoteIndex = -1;
  TNoteItem* Note = nullptr;
  int32_t SheetIndex = -1;
  TSheetItem* Sheet = nullptr;
  int32_t X = -1;
  int32_t Y = -1;
};

struct TLink {
  int32_t ID = -1;
  int32_t SheetIndex = -1;
  TSheetItem* Sheet = nullptr;
  int32_t FromIndex = -1;
  TNoteItem* FromNote = nullptr;
  int32_t ToIndex = -1;
  TNoteItem* ToNote = nullptr;
  int32_t RelationIndex = -1;
  TRelationItem* Relation = nullptr;
  int32_t ToOffsetX = 50;
  int32_t ToOffsetY = 50;
  int32_t FromOffsetX = 50;
  int32_t FromOffsetY = 50;
  uint8_t ArrowType = 2;
  int32_t PenWidth = 1;
  TColor Color = clBlack;
  int32_t LineStyle = 1; // 0 curve through the offsets, 1 straight line
  int32_t Extra = 1;
};

struct TTreeNodeRecord {
  int32_t Value1 = -1;
  int32_t Value2 = -1;
  TPoolItem* Item = nullptr;    // the sheet, note, attachment or position shown
  INavTreeNode* Node = nullptr; // the navigator's node
};

// A boxed integer, kept in the drag objects' lists.
class TLongInt {
public:
  explicit TLongInt(int32_t value = 0) : Value(value) {}
  int32_t Value;
};

} // namespace qel
