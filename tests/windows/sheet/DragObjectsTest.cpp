#include "GuiTest.h"
#include "tests/model/ModelTestUtil.h"
#include "windows/sheet/DragObjects.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

TEST(DragObjects, ItemsInsertAndAssign) {
  TContainer c;
  TNoteItem* a = NewNote(c, "a");
  TNoteItem* b = NewNote(c, "b");
  TNoteItem* d = NewNote(c, "d");
  TDragNotes drag(nullptr);
  EXPECT_EQ(drag.Items(0), nullptr);
  drag.Insert(1, a); // past the end: ignored
  EXPECT_EQ(drag.Count(), 0);
  drag.Insert(0, a);
  drag.Insert(1, b); // at Count: appended
  drag.Insert(0, d);
  EXPECT_EQ(drag.Count(), 3);
  EXPECT_EQ(drag.Items(0), d);
  EXPECT_EQ(drag.Items(2), b);
  EXPECT_EQ(drag.Items(3), nullptr);
  EXPECT_EQ(drag.Items(-1), nullptr);
  drag.Assign({});
  EXPECT_EQ(drag.Count(), 0);
  drag.Assign({b, a});
  EXPECT_EQ(drag.Items(1), a);
  a->Delete(); // a note deleted during the drag reads as null
  EXPECT_EQ(drag.Items(1), nullptr);
}

TEST(DragObjects, OffsetsFromThePressPoint) {
  TContainer c;
  TSheetItem* s = NewSheet(c);
  TSheetItem* other = NewSheet(c);
  TNoteItem* placed = NewNote(c);
  TNoteItem* elsewhere = NewNote(c);
  NewPos(c, placed, s, 300, 200);
  NewPos(c, elsewhere, other, 5, 5);
  TDragNotes drag(nullptr);
  drag.Add(placed);
  drag.Add(elsewhere);
  EXPECT_EQ(drag.OffsetX(0), -1); // never computed
  drag.ComputeOffsets(s, 320, 230);
  EXPECT_EQ(drag.OffsetX(0), -20);
  EXPECT_EQ(drag.OffsetY(0), -30);
  EXPECT_EQ(drag.OffsetX(1), 0);
  EXPECT_EQ(drag.OffsetY(1), 0);
  EXPECT_EQ(drag.OffsetX(2), -1);
}

// Fault: offsets of positions read from a crafted file overflowed.
TEST(DragObjects, OffsetsSaturateAtTheEndsOfTheRange) {
  TContainer c;
  TSheetItem* s = NewSheet(c);
  TNoteItem* low = NewNote(c);
  TNoteItem* high = NewNote(c);
  NewPos(c, low, s, INT32_MIN, INT32_MIN + 5);
  NewPos(c, high, s, INT32_MAX, INT32_MAX);
  TDragNotes drag(nullptr);
  drag.Assign({low, high});
  drag.ComputeOffsets(s, 100, 10);
  EXPECT_EQ(drag.OffsetX(0), INT32_MIN);
  EXPECT_EQ(drag.OffsetY(0), INT32_MIN);
  EXPECT_EQ(drag.OffsetX(1), INT32_MAX - 100);
  drag.ComputeOffsets(s, -100, INT32_MIN);
  EXPECT_EQ(drag.OffsetX(0), INT32_MIN + 100);
  EXPECT_EQ(drag.OffsetY(0), 5);
  EXPECT_EQ(drag.OffsetX(1), INT32_MAX);
  EXPECT_EQ(drag.OffsetY(1), INT32_MAX);
}

TEST(DragObjects, TheMimeDataOwnsAndNamesItsObject) {
  EnsureApplication(); // widgets need the application
  QWidget source;
  auto data = std::make_unique<TDragMimeData>(std::make_unique<TDragSheets>(&source));
  EXPECT_TRUE(data->hasFormat(TDragMimeData::Format));
  auto* sheets = DragObjectAs<TDragSheets>(data.get());
  ASSERT_NE(sheets, nullptr);
  EXPECT_EQ(sheets->SourceForm, &source);
  EXPECT_EQ(DragObjectAs<TDragNotes>(data.get()), nullptr);
  QMimeData plain;
  plain.setText("x");
  EXPECT_EQ(DragObjectOf(&plain), nullptr);
  EXPECT_NE(DragObjectAs<TDragNewNote>(std::make_unique<TDragMimeData>(std::make_unique<TDragNewNote>()).get()),
            nullptr);
}
