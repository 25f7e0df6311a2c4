#include "ModelTestUtil.h"

#include <set>

using namespace qel;
using namespace qel::test;

class Ops : public ::testing::Test {
protected:
  void SetUp() override { C.Host = &Host; }
  FakeHost Host;
  TContainer C;
};

TEST_F(Ops, AddOperationsTellTheNavigatorsExceptForLinks) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* a = NewNote(C);
  TRelationItem* r = NewRelation(C);
  TPosItem* p = NewPos(C, a, s);
  TAttachItem* att = NewAttachment(C, a);
  NewLinkItem(C, a, a, r, s);
  EXPECT_EQ(Host.Refreshed, (std::vector<TPoolItem*>{s, a, r, p, att}));
}

TEST_F(Ops, PlaceNoteKeepsTheNoteInsideItsSheet) {
  TSheetItem* s = NewSheet(C); // 9999 x 9999, the note 80 x 50
  TNoteItem* n = NewNote(C);
  struct Case {
    int x, y, wantX, wantY;
  };
  for (Case k : {Case{9950, 20, 9918, 20}, Case{9919, 20, 9919, 20}, Case{-5, -5, 0, 0}, Case{20, 9950, 20, 9948}}) {
    EXPECT_TRUE(C.PlaceNote(n, s, k.x, k.y));
    TPosItem* pos = C.FindPosition(n, s);
    EXPECT_EQ(pos->Data.X, k.wantX) << k.x;
    EXPECT_EQ(pos->Data.Y, k.wantY) << k.y;
  }
  EXPECT_EQ(n->PositionCount(), 1); // moved, not added again
}

TEST_F(Ops, PlaceNoteOfANoteLargerThanItsSheetStaysPlaced) {
  TSheet small;
  small.Width = 100;
  small.Height = 40;
  TSheetItem* s = C.AddSheet(small);
  TNoteItem* n = NewNote(C);
  n->SetWidth(120); // 50 high, sheet 40
  C.PlaceNote(n, s, 10, 10);
  TPosItem* pos = C.FindPosition(n, s);
  EXPECT_EQ(pos->Data.X, 0);
  EXPECT_EQ(pos->Data.Y, 0);
  EXPECT_TRUE(n->IsPlacedOn(s));
}

TEST_F(Ops, PlaceNoteMovesAnAssignedNote) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* n = NewNote(C);
  EXPECT_TRUE(C.AssignNoteToSheet(n, s));
  EXPECT_FALSE(C.AssignNoteToSheet(n, s));
  EXPECT_EQ(C.PositionCount(), 1);
  EXPECT_FALSE(n->IsPlacedOn(s));
  Host.Refreshed.clear();
  C.PlaceNote(n, s, 30, 40);
  EXPECT_TRUE(n->IsPlacedOn(s));
  EXPECT_EQ(C.PositionCount(), 1);
  EXPECT_TRUE(Host.Refreshed.empty()); // a move is not announced
}

TEST_F(Ops, MoveResizeNoteRefusesSmallSizesAndNegativePlaces) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* n = NewNote(C);
  C.PlaceNote(n, s, 10, 10);
  C.MoveResizeNote(20, 30, 19, 40, n, s);
  C.MoveResizeNote(-1, 30, 40, 40, n, s);
  EXPECT_EQ(C.FindPosition(n, s)->Data.X, 10);
  EXPECT_EQ(n->Data.Width, 80);
  C.MoveResizeNote(20, 30, 20, 20, n, s);
  EXPECT_EQ(C.FindPosition(n, s)->Data.X, 20);
  EXPECT_EQ(C.FindPosition(n, s)->Data.Y, 30);
  EXPECT_EQ(n->Data.Width, 20);
  TNoteItem* loose = NewNote(C);
  C.MoveResizeNote(20, 30, 40, 40, loose, s); // no position: nothing
  EXPECT_EQ(loose->Data.Width, 80);
}

TEST_F(Ops, CopyAttachmentKeepsItsKind) {
  TNoteItem* a = NewNote(C);
  TNoteItem* b = NewNote(C);
  TAttachment url;
  url.Note = a;
  url.Caption = "Site";
  url.Location = "http://example.org";
  url.Text = "about";
  url.Kind = 1;
  TAttachItem* copy = C.CopyAttachment(C.AddAttachment(url), b);
  EXPECT_EQ(copy->GetNote(), b);
  EXPECT_EQ(copy->Data.Caption, "Site");
  EXPECT_EQ(copy->Data.Location, "http://example.org");
  EXPECT_EQ(copy->Data.Text, "about");
  EXPECT_EQ(copy->Data.Kind, 1);
}

TEST_F(Ops, NewLinkNeedsRelationTypesAndArguments) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* a = NewNote(C);
  EXPECT_EQ(C.NewLink(a, a, nullptr, s), nullptr);
  EXPECT_EQ(Host.Messages, std::vector<std::string>{"There are no relation types available..."});
  TRelationItem* r = NewRelation(C);
  EXPECT_EQ(C.NewLink(a, nullptr, r, s), nullptr);
  EXPECT_EQ(C.NewLink(a, a, r, nullptr), nullptr);
  EXPECT_EQ(C.LinkCount(), 0);
  EXPECT_EQ(Host.Messages.size(), 1u);
}

TEST_F(Ops, NewLinkDrawsItsCurveAtRandom) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* a = NewNote(C);
  TNoteItem* b = NewNote(C);
  TRelationItem* r = NewRelation(C);
  std::set<std::vector<int>> curves;
  for (int i = 0; i < 40; ++i) {
    TLinkItem* link = C.NewLink(a, b, r, s);
    ASSERT_NE(link, nullptr);
    const TLink& d = link->Data;
    EXPECT_GE(d.ToOffsetX, 0);
    EXPECT_LE(d.ToOffsetX, 49);
    EXPECT_GE(d.ToOffsetY, 0);
    EXPECT_LE(d.ToOffsetY, 49);
    EXPECT_GE(d.FromOffsetX, -49);
    EXPECT_LE(d.FromOffsetX, 0);
    EXPECT_GE(d.FromOffsetY, -49);
    EXPECT_LE(d.FromOffsetY, 0);
    curves.insert({d.ToOffsetX, d.ToOffsetY, d.FromOffsetX, d.FromOffsetY});
  }
  EXPECT_GT(curves.size(), 30u); // links made in one clock tick differ
  EXPECT_TRUE(C.LinkExists(a, b, s, r));
  EXPECT_FALSE(C.LinkExists(b, a, s, r));
}

TEST_F(Ops, ChangeLinkRelationReplacesTheLink) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* a = NewNote(C);
  TNoteItem* b = NewNote(C);
  TRelationItem* r1 = NewRelation(C);
  TRelationItem* r2 = NewRelation(C);
  TLinkItem* first = NewLinkItem(C, a, b, r1, s);
  TLinkItem* link = NewLinkItem(C, a, b, r1, s);
  link->SetCurve1(11);
  link->SetCurve4(-7);
  link->SetColor(clRed);
  link->SetPenWidth(3);
  link->SetLineStyle(0);
  link->SetArrowType(5);
  EXPECT_EQ(C.ChangeLinkRelation(link, r1), link);
  EXPECT_EQ(C.ChangeLinkRelation(link, nullptr), link);
  EXPECT_EQ(C.ChangeLinkRelation(nullptr, r2), nullptr);
  EXPECT_EQ(C.LinkCount(), 2);

  TItemRef<TLinkItem> old(link);
  TLinkItem* changed = C.ChangeLinkRelation(link, r2);
  EXPECT_FALSE(old);
  EXPECT_EQ(C.LinkCount(), 2);
  EXPECT_EQ(C.GetLink(0), first);
  EXPECT_EQ(C.GetLink(1), changed);
  EXPECT_EQ(changed->GetRelation(), r2);
  EXPECT_EQ(r1->LinkCount(), 1);
  EXPECT_EQ(s->Links.Count(), 2);
  EXPECT_EQ(a->OutLinkCount(), 2);
  EXPECT_EQ(changed->Data.ToOffsetX, 11);
  EXPECT_EQ(changed->Data.FromOffsetY, -7);
  EXPECT_EQ(changed->Data.Color, clRed);
  EXPECT_EQ(changed->Data.PenWidth, 3);
  EXPECT_EQ(changed->Data.LineStyle, 0);
  EXPECT_EQ(changed->Data.ArrowType, 5);
}

TEST_F(Ops, LinkShownOnNeedsBothEndsPlaced) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* a = NewNote(C);
  TNoteItem* b = NewNote(C);
  TLinkItem* link = NewLinkItem(C, a, b, NewRelation(C), s);
  NewPos(C, a, s, 0, 0);
  EXPECT_FALSE(C.LinkShownOn(link, s));
  TPosItem* pb = NewPos(C, b, s);
  EXPECT_FALSE(C.LinkShownOn(link, s));
  pb->SetX(1);
  pb->SetY(1);
  EXPECT_TRUE(C.LinkShownOn(link, s));
  EXPECT_TRUE(C.LinkIsOn(link, s));
}

TEST_F(Ops, AggregateLinksCollectsLinksOfTheRepresentedSheet) {
  TSheetItem* inner = NewSheet(C, "inner");
  TSheetItem* outer = NewSheet(C, "outer");
  TNoteItem* q = NewNote(C, "q");
  TNoteItem* x = NewNote(C, "x");
  TNoteItem* y = NewNote(C, "y");
  TRelationItem* r = NewRelation(C);
  NewPos(C, q, inner, 0, 0);
  NewPos(C, x, outer, 0, 0);
  NewPos(C, y, outer); // assigned, not placed
  TLinkItem* out = NewLinkItem(C, q, x, r, inner);
  TLinkItem* in = NewLinkItem(C, x, q, r, outer);
  NewLinkItem(C, q, y, r, inner); // y is not placed on outer
  TNoteItem* agg = NewAggregationNote(C, inner);
  TNoteItem* plain = NewNote(C);
  NewPos(C, plain, outer, 0, 0);

  EXPECT_TRUE(C.AggregateLinks(agg, outer).empty()); // not yet assigned to outer
  NewPos(C, agg, outer, 100, 100);
  EXPECT_EQ(C.AggregateLinks(agg, outer), (std::vector<TLinkItem*>{out, in}));
  EXPECT_TRUE(C.AggregateLinks(plain, outer).empty());
  EXPECT_TRUE(C.IsAggregatedOn(inner, outer));
  EXPECT_FALSE(C.IsAggregatedOn(outer, outer));

  inner->Delete();
  EXPECT_TRUE(C.AggregateLinks(agg, outer).empty()); // its sheet is gone
}

TEST_F(Ops, SyncAggregationNotesDeletesOrphansAndCopiesNameAndColour) {
  TSheetItem* kept = NewSheet(C, "kept");
  TSheetItem* gone = NewSheet(C, "gone");
  TSheetItem* host = NewSheet(C, "host");
  TNoteItem* follows = NewAggregationNote(C, kept);
  TNoteItem* orphan = NewAggregationNote(C, gone);
  TNoteItem* plain = NewNote(C, "plain");
  NewPos(C, orphan, host, 0, 0);
  NewLinkItem(C, orphan, plain, NewRelation(C), host);
  FakeNode node;
  TTreeNodeRecord rec;
  rec.Item = follows;
  rec.Node = &node;
  C.NoteTreePool->AddNode(rec);
  kept->SetName("Renamed");
  kept->SetColor(clAqua);
  gone->Delete();
  // The search view hides the orphan: the sync still finds it.
  C.NotePool->Filtered = true;
  C.NotePool->ResetView();
  C.NotePool->ExcludeFromView(orphan);
  TItemRef<TNoteItem> orphanRef(orphan);

  C.SyncAggregationNotes();
  EXPECT_FALSE(orphanRef);
  EXPECT_EQ(C.NotePool->AllCount(), 2);
  EXPECT_EQ(C.PositionCount(), 0);
  EXPECT_EQ(C.LinkCount(), 0);
  EXPECT_EQ(follows->Data.Name, "Renamed");
  EXPECT_EQ(follows->Data.Color, clAqua);
  EXPECT_EQ(node.Text, "Renamed");
  EXPECT_EQ(plain->Data.Name, "plain");
}

TEST_F(Ops, UnplacedLinkedNotesAreCountedPerLink) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* n = NewNote(C);
  TNoteItem* a = NewNote(C);
  TNoteItem* b = NewNote(C);
  TRelationItem* r = NewRelation(C);
  b->SetWidth(30);
  NewPos(C, n, s, 0, 0);
  NewLinkItem(C, a, n, r, s);
  NewLinkItem(C, n, b, r, s);
  NewLinkItem(C, n, b, r, s);
  EXPECT_EQ(C.UnplacedLinkedWidth(n, s), 80 + 30 + 30);
  EXPECT_EQ(C.UnplacedLinkedCount(n, s), 3);
  NewPos(C, a, s); // assigned counts as having a position
  EXPECT_EQ(C.UnplacedLinkedCount(n, s), 2);
  b->SetWidth(-100);
  EXPECT_EQ(C.UnplacedLinkedWidth(n, s), 0);
}

TEST_F(Ops, HasItemLooksAtTheView) {
  TNoteItem* a = NewNote(C);
  TNoteItem* b = NewNote(C);
  C.NotePool->Filtered = true;
  C.NotePool->ResetView();
  C.NotePool->ExcludeFromView(a);
  EXPECT_FALSE(C.HasNote(a));
  EXPECT_TRUE(C.HasNote(b));
  C.ClearFilters();
  EXPECT_TRUE(C.HasNote(a));
  TSheetItem* s = NewSheet(C);
  TSheetItem* stale = s;
  s->Delete();
  EXPECT_FALSE(C.HasSheet(stale)); // compared, never read
}

TEST_F(Ops, FindPositionTakesTheLastOnTheSheet) {
  TSheetItem* s = NewSheet(C);
  TNoteItem* n = NewNote(C);
  EXPECT_EQ(C.FindPosition(n, s), nullptr);
  NewPos(C, n, s, 1, 1);
  TPos second;
  second.Note = n;
  second.Sheet = s;
  TPosItem* last = C.PosPool->AddItem(second); // a second position only a file can give
  EXPECT_EQ(C.FindPosition(n, s), last);
}
