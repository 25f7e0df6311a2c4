// Drag and drop on the sheet window: moving notes, linking a note dropped on another, notes
// from other windows, and the new-note tile.
#include "SheetFormFixture.h"

#include "shell/Main.h"
#include "windows/nav/Navigator.h"
#include "windows/links/NewLink.h"
#include "windows/props/NoteProp.h"
#include "windows/props/SheetProp.h"

#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>

namespace qel::test {
namespace {

class SheetFormDragTest : public SheetFormTest {
protected:
  // Qt's drag events over the paint box: entering at the first point, moving over the others.
  static void DragOver(TDrawSheet* window, const QMimeData* data, std::initializer_list<QPoint> points) {
    bool first = true;
    for (QPoint at : points) {
      if (first) {
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(window->PB_Sheet, &enter);
      }
      first = false;
      QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
      QApplication::sendEvent(window->PB_Sheet, &move);
    }
  }
  static void Drop(TDrawSheet* window, const QMimeData* data, QPoint at) {
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(window->PB_Sheet, &drop);
  }
  // Presses on the note at the point and drags it; during runs inside the drag.
  void DragFrom(TDrawSheet* window, QPoint at, const std::function<void(const QMimeData*)>& during) {
    window->ExecDrag = [during](QDrag& drag) { during(drag.mimeData()); };
    Press(window, at);
    MoveTo(window, at + QPoint(6, 0));
    Release(window, at + QPoint(6, 0));
  }
  QPoint Place(TNoteItem* note) {
    const TPosItem* pos = Project().FindPosition(note, Sheet);
    return {pos->Data.X, pos->Data.Y};
  }
};

TEST_F(SheetFormDragTest, NotesAreAcceptedByWhereTheyComeFrom) {
  TNoteItem* placed = AddNote("Placed", 100, 100);
  TNoteItem* elsewhere = AddNote("Elsewhere", -1, -1);
  TNoteItem* assigned = AddNote("Assigned", -1, -1);
  Project().AssignNoteToSheet(assigned, Sheet);
  TDrawSheet* window = Open();
  TDrawSheet* otherSheetWindow = Open(AddSheet("Other"));
  QWidget searchWindow;
  auto accepted = [&](TNoteItem* note, QWidget* source) {
    TDragNotes notes(source);
    notes.Add(note);
    return window->CanDropNotes(&notes);
  };
  for (QWidget* source : {static_cast<QWidget*>(window), static_cast<QWidget*>(NavForm), &searchWindow,
                          static_cast<QWidget*>(otherSheetWindow)})
    EXPECT_TRUE(accepted(elsewhere, source));
  EXPECT_TRUE(accepted(placed, window));
  EXPECT_TRUE(accepted(placed, NavForm));
  EXPECT_TRUE(accepted(placed, window->SheetPropWindow)); // a property window
  EXPECT_FALSE(accepted(placed, &searchWindow));
  EXPECT_FALSE(accepted(placed, otherSheetWindow));
  EXPECT_TRUE(accepted(assigned, NavForm));
  EXPECT_FALSE(accepted(assigned, window));
  TDragNotes empty(NavForm);
  EXPECT_FALSE(window->CanDropNotes(&empty));
  TDragSheets sheets(NavForm);
  sheets.Add(Sheet);
  EXPECT_FALSE(window->PB_SheetDragOver(&sheets, 10, 10, TDragState::dsDragMove));
  TDragNewNote newNote;
  EXPECT_TRUE(window->PB_SheetDragOver(&newNote, 10, 10, TDragState::dsDragMove));
}

TEST_F(SheetFormDragTest, DraggedNotesMoveByTheirOffsetsBehindAnOutline) {
  TNoteItem* a = AddNote("A", 100, 100);
  TNoteItem* b = AddNote("B", 200, 100);
  TDrawSheet* window = Open();
  Press(window, {50, 50});
  Release(window, {300, 200}); // both selected
  const QRect outlineRight(385, 201, 1, 48); // the frame (206, 200)-(386, 250)
  int outlined = -1;
  DragFrom(window, {140, 125}, [&](const QMimeData* data) {
    DragOver(window, data, {{146, 125}, {246, 225}});
    outlined = CountShown(window, outlineRight, clBlack);
    Drop(window, data, {246, 225});
  });
  EXPECT_GT(outlined, 10);
  EXPECT_EQ(CountShown(window, outlineRight, clBlack), 0);
  EXPECT_EQ(Place(a), QPoint(206, 200));
  EXPECT_EQ(Place(b), QPoint(306, 200));
  EXPECT_EQ(Shown(window, 250, 220), clYellow);
}

// Fault (too): after the link the target note was selected as well, so the next drag of the
// dragged note moved both.
TEST_F(SheetFormDragTest, NoteDroppedOnAnotherOffersANewLinkAndStaysSelectedAlone) {
  TNoteItem* a = AddNote("A", 100, 100);
  TNoteItem* b = AddNote("B", 400, 100);
  TDrawSheet* window = Open();
  for (bool confirm : {false, true}) {
    bool hinted = false;
    DragFrom(window, {140, 125}, [&](const QMimeData* data) {
      DragOver(window, data, {{146, 125}, {440, 125}});
      hinted = window->LinkOnDrop && window->LinkHint->isVisible() &&
               window->LinkHint->text() == "Link to this note..." &&
               window->LinkHint->geometry().topLeft() == window->PB_Sheet->mapToGlobal(QPoint(400, 100)) &&
               window->LinkHint->width() >= std::max(100, window->LinkHint->sizeHint().width());
      QTimer::singleShot(0, [&] {
        EXPECT_EQ(NewLinkForm->FromNote.Get(), a);
        EXPECT_EQ(NewLinkForm->ToNote.Get(), b);
        if (!confirm) return NewLinkForm->BTN_Cancel->click();
        NewLinkForm->CB_LinkType->setCurrentText("assumes");
        NewLinkForm->SP_LinkWidth->setValue(3);
        NewLinkForm->BTN_Ok->click();
      });
      Drop(window, data, {440, 125});
    });
    EXPECT_TRUE(hinted);
    EXPECT_FALSE(window->LinkHint->isVisible());
    EXPECT_EQ(Place(a), QPoint(100, 100)); // no note moves
    EXPECT_EQ(a->OutLinkCount(), confirm ? 1 : 0);
    EXPECT_EQ(window->View->SelectedNotes(), std::vector<TNoteItem*>{a});
  }
  ASSERT_EQ(a->OutLinkCount(), 1);
  TLinkItem* link = a->GetOutLink(0);
  EXPECT_EQ(link->GetToNote(), b);
  EXPECT_EQ(link->GetRelation()->Data.Name, "assumes");
  EXPECT_EQ(link->Data.PenWidth, 3);
  EXPECT_EQ(link->Data.ArrowType, 2);
  DragFrom(window, {140, 125}, [&](const QMimeData* data) {
    DragOver(window, data, {{146, 125}, {240, 325}});
    Drop(window, data, {240, 325});
  });
  EXPECT_EQ(Place(a), QPoint(200, 300));
  EXPECT_EQ(Place(b), QPoint(400, 100)) << "the link's target stays where it was";
}

// Fault: leaving a linkable note for one that stands for a sheet kept the link offer, so the
// drop linked to the sheet's note.
TEST_F(SheetFormDragTest, NoLinkOfferOverANoteStandingForASheet) {
  TNoteItem* a = AddNote("A", 100, 100);
  AddNote("B", 400, 100);
  TNote record;
  record.Kind = 0;
  record.Sheet = AddSheet("Other");
  TNoteItem* standing = Project().AddNote(record);
  Project().PlaceNote(standing, Sheet, 400, 300);
  TDrawSheet* window = Open();
  DragFrom(window, {140, 125}, [&](const QMimeData* data) {
    DragOver(window, data, {{146, 125}, {440, 125}, {440, 325}});
    EXPECT_FALSE(window->LinkOnDrop);
    EXPECT_FALSE(window->LinkHint->isVisible());
    Drop(window, data, {440, 325});
  });
  EXPECT_EQ(a->OutLinkCount(), 0);
  EXPECT_EQ(Place(a), QPoint(400, 300)); // moved there instead
}

// Fault: a drop where the offered link no longer had a target did nothing at all.
TEST_F(SheetFormDragTest, LinkOfferWithoutATargetAtTheDropMovesTheNote) {
  TNoteItem* a = AddNote("A", 100, 100);
  TItemRef<TNoteItem> b = AddNote("B", 400, 100);
  TDrawSheet* window = Open();
  // The drop comes where no note lies, without a move over that point first.
  DragFrom(window, {140, 125}, [&](const QMimeData* data) {
    DragOver(window, data, {{146, 125}, {440, 125}});
    ASSERT_TRUE(window->LinkOnDrop);
    Drop(window, data, {240, 325});
  });
  EXPECT_EQ(Place(a), QPoint(200, 300));
  EXPECT_FALSE(window->LinkOnDrop);
  EXPECT_FALSE(window->LinkHint->isVisible());
  // The target note deleted while the offer showed.
  DragFrom(window, {240, 325}, [&](const QMimeData* data) {
    DragOver(window, data, {{246, 325}, {440, 125}});
    ASSERT_TRUE(window->LinkOnDrop);
    b->Delete();
    Drop(window, data, {440, 125});
  });
  EXPECT_EQ(Place(a), QPoint(400, 100));
  EXPECT_EQ(a->OutLinkCount(), 0);
  // Dropped back on itself.
  TNoteItem* c = AddNote("C", 100, 300);
  DragFrom(window, {440, 125}, [&](const QMimeData* data) {
    DragOver(window, data, {{446, 125}, {140, 325}});
    ASSERT_TRUE(window->LinkOnDrop);
    Drop(window, data, {445, 125});
  });
  EXPECT_EQ(Place(a), QPoint(405, 100));
  EXPECT_EQ(c->InLinkCount(), 0);
}

// Fault: a window freed while its own drag ran was written to afterwards, and the drag went
// with it and was then freed a second time.
TEST_F(SheetFormDragTest, WindowFreedDuringItsOwnDragIsLeftAlone) {
  TNoteItem* a = AddNote("A", 100, 100);
  QPointer<TDrawSheet> window = Open();
  QPointer<QDrag> running;
  int freed = 0;
  window->ExecDrag = [&](QDrag& drag) {
    running = &drag;
    QObject::connect(&drag, &QObject::destroyed, [&] { ++freed; });
    delete window->parentWidget(); // the sub-window, and the sheet window with it
  };
  Press(window, {140, 125});
  MoveTo(window, {150, 125});
  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(running.isNull());
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(Place(a), QPoint(100, 100));
  // The program goes on: another window on the sheet works.
  TDrawSheet* other = Open();
  Click(other, {140, 125});
  EXPECT_TRUE(other->View->IsSelected(a));
}

// Fault: positions at the ends of the 32-bit range (a crafted data file) overflowed the sums
// of the drag, its outline and the drop.
TEST_F(SheetFormDragTest, PositionsAtTheEndsOfTheRangeMoveIntoTheSheet) {
  TNoteItem* a = AddNote("A", 100, 100);
  TNoteItem* low = AddNote("Low", 10, 10);
  TNoteItem* high = AddNote("High", 10, 10);
  Project().FindPosition(low, Sheet)->SetX(INT32_MIN);
  Project().FindPosition(high, Sheet)->SetX(INT32_MAX);
  Project().FindPosition(high, Sheet)->SetY(INT32_MAX);
  TDrawSheet* window = Open();
  Click(window, {140, 125});
  window->View->SelectNote(low);
  window->View->SelectNote(high);
  DragFrom(window, {140, 125}, [&](const QMimeData* data) {
    auto* notes = DragObjectAs<TDragNotes>(data);
    EXPECT_EQ(notes->OffsetX(1), INT32_MIN);
    EXPECT_EQ(notes->OffsetX(2), INT32_MAX - 140);
    DragOver(window, data, {{146, 125}, {300, 300}});
    Drop(window, data, {300, 300});
  });
  EXPECT_EQ(Place(a), QPoint(260, 275));
  EXPECT_EQ(Place(low), QPoint(0, 300 + 10 - 125));
  EXPECT_EQ(Place(high), QPoint(2000 - 80 - 1, 1500 - 50 - 1)); // kept inside the sheet
}

TEST_F(SheetFormDragTest, WithoutRelationTypesNoLinkIsOffered) {
  AddNote("A", 100, 100);
  AddNote("B", 400, 100);
  while (Project().RelationCount() > 0) Project().GetRelation(0)->Delete();
  TDrawSheet* window = Open();
  DragFrom(window, {140, 125}, [&](const QMimeData* data) {
    DragOver(window, data, {{146, 125}, {440, 125}});
    EXPECT_FALSE(window->LinkOnDrop);
    Drop(window, data, {440, 125});
  });
}

TEST_F(SheetFormDragTest, NewNoteTileMakesANoteAtTheDropPoint) {
  TDrawSheet* window = Open(AddSheet("Zoomed", 80));
  std::unique_ptr<QMimeData> data(QELMain->PN_NewNoteStartDrag());
  const int before = Project().NoteCount();
  DragOver(window, data.get(), {{240, 160}});
  Drop(window, data.get(), {240, 160});
  ASSERT_EQ(Project().NoteCount(), before + 1);
  TNoteItem* note = Project().GetNote(before);
  EXPECT_EQ(note->Data.Name, "New Note");
  const TPosItem* pos = Project().FindPosition(note, window->GetSheet());
  EXPECT_EQ(QPoint(pos->Data.X, pos->Data.Y), QPoint(300, 200));
  EXPECT_TRUE(window->NoteWindow->isVisible());
  EXPECT_EQ(window->NoteWindow->GetItem(), note);
  // Near the sheet's edge the note is kept inside it.
  window->PB_SheetDragDrop(DragObjectOf(data.get()), 1598, 10);
  const TPosItem* edge = Project().FindPosition(Project().GetNote(before + 1), window->GetSheet());
  EXPECT_LE(edge->Data.X + 80, 2000);
}

TEST_F(SheetFormDragTest, NoteDeletedDuringTheDragIsLeftOut) {
  TNoteItem* kept = AddNote("Kept", -1, -1);
  TNoteItem* gone = AddNote("Gone", -1, -1);
  TDrawSheet* window = Open();
  TDragNotes notes(NavForm);
  notes.Add(kept);
  notes.Add(gone);
  gone->Delete();
  ASSERT_TRUE(window->PB_SheetDragOver(&notes, 300, 300, TDragState::dsDragMove));
  window->PB_SheetDragDrop(&notes, 300, 300);
  EXPECT_EQ(Place(kept), QPoint(299, 299)); // offsets never computed count as -1
}

} // namespace
} // namespace qel::test
