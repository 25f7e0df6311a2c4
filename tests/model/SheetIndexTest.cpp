// The per-sheet index against what a walk of the project's full lists finds, after each kind
// of change: adds, deletions, moves, relation-type changes and imports.
#include "ModelTestUtil.h"

#include <random>

using namespace qel;
using namespace qel::test;

namespace {

std::vector<TPosItem*> WalkPositions(const TContainer& c, const TSheetItem* sheet) {
  std::vector<TPosItem*> out;
  for (TPoolItem* item : c.PosPool->AllItems())
    if (static_cast<TPosItem*>(item)->GetSheet() == sheet) out.push_back(static_cast<TPosItem*>(item));
  return out;
}

std::vector<TLinkItem*> WalkLinks(const TContainer& c, const TSheetItem* sheet) {
  std::vector<TLinkItem*> out;
  for (TPoolItem* item : c.LinkPool->AllItems()) {
    auto* link = static_cast<TLinkItem*>(item);
    if (link->GetFromNote()->IsAssignedTo(sheet) && link->GetToNote()->IsAssignedTo(sheet)) out.push_back(link);
  }
  return out;
}

// The links drawn to an aggregation note placed on the sheet, found from the notes of the
// sheet it stands for.
std::vector<TLinkItem*> WalkAggregate(const TNoteItem* note, const TSheetItem* sheet) {
  std::vector<TLinkItem*> out;
  const TSheetItem* standsFor = note->GetAggregatedSheet();
  if (!standsFor) return out;
  for (TPoolItem* item : standsFor->Positions) {
    TNoteItem* q = static_cast<TPosItem*>(item)->GetNote();
    for (TPoolItem* l : q->OutLinks)
      if (static_cast<TLinkItem*>(l)->GetToNote()->IsPlacedOn(sheet)) out.push_back(static_cast<TLinkItem*>(l));
    for (TPoolItem* l : q->InLinks)
      if (static_cast<TLinkItem*>(l)->GetFromNote()->IsPlacedOn(sheet)) out.push_back(static_cast<TLinkItem*>(l));
  }
  return out;
}

// The aggregated links the index yields for a placed aggregation note, filtered as painting does.
std::vector<TLinkItem*> IndexedAggregate(const TContainer& c, const TNoteItem* note, const TSheetItem* sheet) {
  std::vector<TLinkItem*> out;
  const TSheetIndex::TAggregate* aggregate = c.SheetIndex(sheet).AggregateOf(note, note->GetAggregatedSheet());
  if (!aggregate) return out;
  for (const TSheetIndex::TAggregateLink& candidate : aggregate->Links)
    if (candidate.Other->IsPlacedOn(sheet)) out.push_back(candidate.Link);
  return out;
}

// Every sheet's index against the walk, also for the aggregated links of every placed
// aggregation note.
void ExpectIndexesRight(const TContainer& c) {
  for (TPoolItem* item : c.SheetPool->AllItems()) {
    auto* sheet = static_cast<TSheetItem*>(item);
    const TSheetIndex& index = c.SheetIndex(sheet);
    EXPECT_EQ(index.Positions, WalkPositions(c, sheet)) << sheet->Data.Name;
    EXPECT_EQ(index.Links, WalkLinks(c, sheet)) << sheet->Data.Name;
    for (TPosItem* pos : index.Positions) {
      TNoteItem* note = pos->GetNote();
      if (!note->IsAggregation() || !note->IsPlacedOn(sheet)) continue;
      EXPECT_EQ(IndexedAggregate(c, note, sheet), WalkAggregate(note, sheet)) << sheet->Data.Name;
      EXPECT_EQ(c.AggregateLinks(note, sheet), WalkAggregate(note, sheet)) << sheet->Data.Name;
    }
  }
}

class SheetIndexTest : public TempFolder {
protected:
  TContainer C;
};

} // namespace

TEST_F(SheetIndexTest, FollowsAddsDeletionsMovesAndRelationChanges) {
  TSheetItem* s1 = NewSheet(C, "S1");
  TSheetItem* s2 = NewSheet(C, "S2");
  TRelationItem* r1 = NewRelation(C, "R1");
  TRelationItem* r2 = NewRelation(C, "R2");
  TNoteItem* a = NewNote(C, "a");
  TNoteItem* b = NewNote(C, "b");
  TNoteItem* c = NewNote(C, "c");
  ExpectIndexesRight(C); // built while empty
  C.PlaceNote(a, s1, 10, 10);
  C.PlaceNote(b, s1, 200, 10);
  C.PlaceNote(c, s2, 10, 10);
  TLinkItem* ab = NewLinkItem(C, a, b, r1, s1);
  TLinkItem* ac = NewLinkItem(C, a, c, r1, s2); // not on s1 while c is not assigned there
  ExpectIndexesRight(C);
  EXPECT_EQ(C.SheetIndex(s1).Links, std::vector<TLinkItem*>{ab});

  // c joins s1: the link of s2 between notes assigned here enters s1's index in pool order.
  TLinkItem* cb = NewLinkItem(C, c, b, r2, s1);
  C.AssignNoteToSheet(c, s1);
  ExpectIndexesRight(C);
  EXPECT_EQ(C.SheetIndex(s1).Links, (std::vector<TLinkItem*>{ab, ac, cb}));

  // A move keeps the index; a relation change puts the new link last in pool order.
  C.MoveResizeNote(300, 300, 90, 60, a, s1);
  TLinkItem* ab2 = C.ChangeLinkRelation(ab, r2); // ab is gone (its memory may serve ab2)
  ASSERT_EQ(ab2->GetRelation(), r2);
  ExpectIndexesRight(C);
  EXPECT_EQ(C.SheetIndex(s1).Links, (std::vector<TLinkItem*>{ac, cb, ab2}));

  // Deletions of a position, of a link, of a relation type (with its links), of a note.
  C.FindPosition(c, s1)->Delete();
  ExpectIndexesRight(C);
  EXPECT_EQ(C.SheetIndex(s1).Links, std::vector<TLinkItem*>{ab2});
  ac->Delete();
  r2->Delete();
  ExpectIndexesRight(C);
  EXPECT_TRUE(C.SheetIndex(s1).Links.empty());
  b->Delete();
  ExpectIndexesRight(C);
  EXPECT_EQ(C.SheetIndex(s1).Positions, std::vector<TPosItem*>{C.FindPosition(a, s1)});
  s2->Delete();
  ExpectIndexesRight(C);
}

TEST_F(SheetIndexTest, AggregatedLinksFollowTheSheetTheNoteStandsFor) {
  TSheetItem* top = NewSheet(C, "Top");
  TSheetItem* part = NewSheet(C, "Part");
  TRelationItem* r = NewRelation(C);
  TNoteItem* agg = NewAggregationNote(C, part);
  TNoteItem* outside = NewNote(C, "outside");
  TNoteItem* inner = NewNote(C, "inner");
  C.PlaceNote(agg, top, 10, 10);
  C.PlaceNote(outside, top, 200, 10);
  C.PlaceNote(inner, part, 10, 10);
  TLinkItem* out = NewLinkItem(C, inner, outside, r, part);
  ExpectIndexesRight(C);
  EXPECT_EQ(IndexedAggregate(C, agg, top), std::vector<TLinkItem*>{out});

  // A link into the part, a note unplaced (kept out without a rebuild), a new note in the part.
  TLinkItem* in = NewLinkItem(C, outside, inner, r, top);
  ExpectIndexesRight(C);
  EXPECT_EQ(IndexedAggregate(C, agg, top), (std::vector<TLinkItem*>{out, in}));
  TPosItem* outsidePos = C.FindPosition(outside, top);
  outsidePos->SetX(-1);
  ExpectIndexesRight(C);
  EXPECT_TRUE(IndexedAggregate(C, agg, top).empty());
  outsidePos->SetX(200);
  TNoteItem* second = NewNote(C, "second");
  C.PlaceNote(second, part, 100, 100);
  TLinkItem* more = NewLinkItem(C, second, outside, r, part);
  ExpectIndexesRight(C);
  EXPECT_EQ(IndexedAggregate(C, agg, top), (std::vector<TLinkItem*>{out, in, more}));

  // Standing for another sheet (no list changes): the links come from that sheet.
  TSheetItem* other = NewSheet(C, "Other");
  TNoteItem* third = NewNote(C, "third");
  C.PlaceNote(third, other, 10, 10);
  TLinkItem* fromOther = NewLinkItem(C, third, outside, r, other);
  C.SheetIndex(top); // built before the change
  agg->SetAggregatedSheet(other);
  EXPECT_EQ(C.AggregateLinks(agg, top), std::vector<TLinkItem*>{fromOther});
  agg->SetAggregatedSheet(part);
  ExpectIndexesRight(C);

  // The part deleted: the aggregation note stands for nothing.
  part->Delete();
  ExpectIndexesRight(C);
  EXPECT_TRUE(C.AggregateLinks(agg, top).empty());
}

TEST_F(SheetIndexTest, FollowsImportsAndFailedImports) {
  {
    TContainer other;
    TSheetItem* s = NewSheet(other, "Imported");
    TRelationItem* r = NewRelation(other);
    TNoteItem* a = NewNote(other, "a");
    TNoteItem* b = NewNote(other, "b");
    other.PlaceNote(a, s, 10, 10);
    other.PlaceNote(b, s, 100, 10);
    NewLinkItem(other, a, b, r, s);
    other.SaveDataFiles(Root + "other.qel");
  }
  TSheetItem* own = NewSheet(C, "Own");
  TRelationItem* r = NewRelation(C);
  TNoteItem* x = NewNote(C, "x");
  TNoteItem* y = NewNote(C, "y");
  C.PlaceNote(x, own, 10, 10);
  C.PlaceNote(y, own, 100, 10);
  NewLinkItem(C, x, y, r, own);
  ExpectIndexesRight(C);

  C.Import(Root + "other.qel", C.ImportOffsets());
  ASSERT_EQ(C.SheetCount(), 2);
  ExpectIndexesRight(C);
  EXPECT_EQ(C.SheetIndex(C.GetSheet(1)).Positions.size(), 2u);
  EXPECT_EQ(C.SheetIndex(C.GetSheet(1)).Links.size(), 1u);

  // An import that fails half-way takes back what it added.
  std::string links = ReadFileBytes(TContainer::DataFileName(Root + "other.qel", "_Lnk"));
  WriteFileBytes(TContainer::DataFileName(Root + "bad.qel", "_Lnk"), links + "x\xFF" "99\r\n");
  for (const char* suffix : {"_Sht", "_Not", "_Rel", "_Pos", "_Att"})
    WriteFileBytes(TContainer::DataFileName(Root + "bad.qel", suffix),
                   ReadFileBytes(TContainer::DataFileName(Root + "other.qel", suffix)));
  EXPECT_ANY_THROW(C.Import(Root + "bad.qel", C.ImportOffsets()));
  EXPECT_EQ(C.SheetCount(), 2);
  ExpectIndexesRight(C);
}

// Many random changes, the indexes read between them (so they are rebuilt on changes, not
// only once at the end).
TEST_F(SheetIndexTest, StaysRightThroughRandomChanges) {
  std::mt19937 random(3);
  std::vector<TRelationItem*> relations = {NewRelation(C, "R1"), NewRelation(C, "R2")};
  auto pick = [&](auto& pool) { return pool.GetAllItem(int(random() % unsigned(pool.AllCount()))); };
  for (int i = 0; i < 4; ++i) NewSheet(C, "S" + std::to_string(i));
  for (int step = 0; step < 600; ++step) {
    switch (random() % 9) {
    case 0:
    case 1: {
      TNoteItem* note = random() % 6 ? NewNote(C) : NewAggregationNote(C, pick(*C.SheetPool));
      C.PlaceNote(note, pick(*C.SheetPool), int(random() % 500), int(random() % 500));
      break;
    }
    case 2:
      if (C.NoteCount() > 0) C.AssignNoteToSheet(pick(*C.NotePool), pick(*C.SheetPool));
      break;
    case 3:
    case 4:
      if (C.NoteCount() > 1)
        NewLinkItem(C, pick(*C.NotePool), pick(*C.NotePool), relations[random() % 2], pick(*C.SheetPool));
      break;
    case 5:
      if (C.LinkCount() > 0) C.ChangeLinkRelation(pick(*C.LinkPool), relations[random() % 2]);
      break;
    case 6:
      if (C.PositionCount() > 0) {
        TPosItem* pos = pick(*C.PosPool);
        if (random() % 3)
          pos->SetX(random() % 4 ? int(random() % 500) : -1);
        else
          pos->Delete();
      }
      break;
    case 7:
      if (C.NoteCount() > 4) pick(*C.NotePool)->Delete();
      break;
    case 8:
      if (C.LinkCount() > 0 && random() % 2) pick(*C.LinkPool)->Delete();
      if (random() % 40 == 0 && C.SheetCount() > 1) pick(*C.SheetPool)->Delete();
      if (C.SheetCount() < 4) NewSheet(C);
      break;
    }
    if (step % 7 == 0) ExpectIndexesRight(C);
    if (HasFailure()) return;
  }
  ExpectIndexesRight(C);
}
