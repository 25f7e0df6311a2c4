#include "WindowTest.h"
#include "windows/sheet/DragObjects.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/NoteProp.h"
#include "windows/props/RichEditURL.h"

#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace qel;

namespace {

class NoteProp : public test::WindowTest {
protected:
  NoteProp() {
    Plan = AddSheet("Plan");
    Other = AddSheet("Other");
    Assigned = AddSheet("Assigned");
    Note = AddNote("Main", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Hello {\\b world}}");
    Next = AddNote("Next", "next text");
    Put(Note, Plan);
    Put(Note, Assigned, -1);
    Put(Next, Plan);
    Link(Note, Next, Plan);
    Link(Next, Note, Plan);
    Window.Container = &Project;
    Window.show();
  }
  void Show(TNoteItem* note) { Window.ShowNote(note, Project.RelationPool.get(), Project.LinkPool.get()); }
  static QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
  }
  static void Select(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) list->item(i)->setSelected(list->item(i)->text() == text);
  }
  TSheetItem* Plan;
  TSheetItem* Other;
  TSheetItem* Assigned;
  TNoteItem* Note;
  TNoteItem* Next;
  TNotePrp Window;
};

} // namespace

TEST_F(NoteProp, ShowingANoteFillsEveryPageWithoutMarkingIt) {
  Project.SetModified(false);
  Show(Note);
  EXPECT_FALSE(Project.IsModified());
  EXPECT_EQ(Window.ED_Caption->text(), "Main");
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "Hello world");
  EXPECT_FALSE(Window.RichEditURL1->document()->isUndoAvailable());
  ASSERT_EQ(Window.LV_LinksTo->topLevelItemCount(), 1);
  EXPECT_EQ(Window.LV_LinksTo->topLevelItem(0)->text(0), "Next");
  EXPECT_EQ(Window.LV_LinksTo->topLevelItem(0)->text(1), "is part of");
  EXPECT_EQ(Window.LV_LinksTo->topLevelItem(0)->text(2), "Plan");
  EXPECT_EQ(Window.LV_LinksFrom->topLevelItem(0)->text(0), "Next");
  EXPECT_EQ(Window.LV_LinksTo->headerItem()->text(0), "from \"Main\" to Note");
  EXPECT_EQ(Window.LV_LinksFrom->headerItem()->text(0), "from Note to \"Main\"");
  // A note assigned to a sheet without a place on it counts as present.
  EXPECT_EQ(Texts(Window.lst_presentinsheets), (QStringList{"Plan", "Assigned"}));
  EXPECT_EQ(Texts(Window.lst_availablesheets), QStringList{"Other"});
  EXPECT_EQ(Window.SB_Contents->currentMessage(), "Attachments of Main");
}

TEST_F(NoteProp, AnUneditedTextIsStoredAsItWasRead) {
  Show(Note);
  const std::string before = Note->Data.Text;
  Window.UpdateItem(true);
  EXPECT_EQ(Note->Data.Text, before);
  QTextCursor(Window.RichEditURL1->document()).insertText("Oh ");
  Window.UpdateItem(true);
  EXPECT_NE(Note->Data.Text.find("Oh "), std::string::npos);
  EXPECT_NE(Note->Data.Text.find("\\b world"), std::string::npos);
}

TEST_F(NoteProp, EachPageStoresWhatItShows) {
  Show(Note);
  Window.PC_Note->setCurrentWidget(Window.TS_NoteProp);
  // A single click on the colour only changes the panel; the next store on this page keeps it.
  Script.AnswerColor(true, clRed);
  Window.PN_NoteColorClick();
  EXPECT_EQ(Note->Data.Color, clYellow);
  Window.ED_Caption->setText("Renamed");
  Window.UpdateItem(true);
  EXPECT_EQ(Note->Data.Color, clRed);
  EXPECT_EQ(Note->Data.Name, "Renamed");
  // From "&Memo" the colour picked stays unstored, and the next load resets the panel.
  Window.PC_Note->setCurrentWidget(Window.TS_Memo);
  Script.AnswerColor(true, clBlue);
  Window.PN_NoteColorClick();
  Window.UpdateItem(true);
  EXPECT_EQ(Note->Data.Color, clRed);
  Window.UpdateItem(false);
  EXPECT_EQ(Window.PN_NoteColor->Color(), clRed);
  // A double click stores at once.
  Window.PC_Note->setCurrentWidget(Window.TS_NoteProp);
  Script.AnswerColor(false);
  Window.PN_NoteColor->SetColor(clGreen);
  Window.PN_NoteColorDblClick();
  EXPECT_EQ(Note->Data.Color, clGreen);
}

// Fault: switching to another page before the text lost the focus dropped the typed text.
TEST_F(NoteProp, TextTypedBeforeAPageSwitchIsStored) {
  Show(Note);
  Window.RichEditURL1->setPlainText("typed");
  Window.PC_Note->setCurrentWidget(Window.TabSheet1);
  EXPECT_NE(Note->Data.Text.find("typed"), std::string::npos);
}

// Fault: showing another note while the text had the focus stored the old text into the new
// note; now the typed text goes into the note it was typed for.
TEST_F(NoteProp, ShowingAnotherNoteKeepsEachTextWithItsNote) {
  Show(Note);
  Window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
  Window.RichEditURL1->setFocus();
  QTest::keyClicks(Window.RichEditURL1, "xyz");
  Show(Next);
  EXPECT_EQ(Next->Data.Text, "next text");
  EXPECT_NE(Note->Data.Text.find("xyz"), std::string::npos);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "next text");
}

TEST_F(NoteProp, AJumpReachesTheLastNoteOfTheNameAndLeavesAggregationsAlone) {
  TNoteItem* twin = AddNote("Next", "the later one");
  Show(Note);
  Project.SetModified(false);
  Window.LV_LinksTo->topLevelItem(0)->setSelected(true);
  Window.LV_LinksToDblClick();
  EXPECT_EQ(Window.GetNote(), twin);
  EXPECT_EQ(Window.JumpNote.Get(), twin);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "the later one");
  EXPECT_EQ(Window.LV_LinksTo->headerItem()->text(0), "from \"Next\" to Note");
  EXPECT_FALSE(Project.IsModified());
  twin->Data.Kind = 0;
  Show(Note);
  Window.LV_LinksTo->topLevelItem(0)->setSelected(true);
  Window.LV_LinksToDblClick();
  EXPECT_EQ(Window.GetNote(), Note);
}

TEST_F(NoteProp, ARowWhoseNoteIsGoneLeadsNowhere) {
  Show(Note);
  Next->SetName("Elsewhere");
  Window.LV_LinksFrom->topLevelItem(0)->setSelected(true);
  Window.LV_LinksFromDblClick();
  EXPECT_EQ(Window.GetNote(), Note);
  EXPECT_EQ(Window.LV_LinksFromStartDrag(), nullptr);
  Window.LV_LinksTo->clearSelection();
  Window.LV_LinksToDblClick(); // no row selected
  EXPECT_EQ(Window.GetNote(), Note);
}

TEST_F(NoteProp, DraggingALinkRowCarriesItsNote) {
  Show(Note);
  Window.LV_LinksTo->topLevelItem(0)->setSelected(true);
  std::unique_ptr<QMimeData> data(Window.LV_LinksToStartDrag());
  auto* notes = DragObjectAs<TDragNotes>(data.get());
  ASSERT_NE(notes, nullptr);
  ASSERT_EQ(notes->Count(), 1);
  EXPECT_EQ(notes->Items(0), Next);
  EXPECT_EQ(Window.JumpNote.Get(), Next);
}

TEST_F(NoteProp, TheSheetsPageAssignsAndRemovesTheNote) {
  Show(Note);
  EXPECT_TRUE(Window.lst_presentinsheetsDragOver(Window.lst_availablesheets));
  EXPECT_FALSE(Window.lst_presentinsheetsDragOver(Window.lst_presentinsheets));
  EXPECT_FALSE(Window.lst_availablesheetsDragOver(Window.lst_availablesheets));
  Select(Window.lst_availablesheets, "Other");
  Window.lst_presentinsheetsDragDrop();
  EXPECT_TRUE(Note->IsAssignedTo(Other));
  EXPECT_FALSE(Note->IsPlacedOn(Other));
  EXPECT_EQ(Texts(Window.lst_availablesheets), QStringList{});
  Select(Window.lst_presentinsheets, "Plan");
  Window.lst_availablesheetsDragDrop();
  EXPECT_FALSE(Note->IsAssignedTo(Plan));
  EXPECT_EQ(Project.FindPosition(Note, Plan), nullptr);
  EXPECT_EQ(Texts(Window.lst_availablesheets), QStringList{"Plan"});
  Window.bnAvailSheetSortAlphaClick();
  Select(Window.lst_presentinsheets, "Other");
  Window.lst_presentinsheetsDblClick();
  EXPECT_EQ(Texts(Window.lst_availablesheets), (QStringList{"Other", "Plan"}));
}

TEST_F(NoteProp, TheSheetsPageFollowsTheSearchView) {
  Project.SheetPool->ResetView();
  Project.SheetPool->Filtered = true;
  Project.SheetPool->ExcludeFromView(Plan);
  Project.SheetPool->ExcludeFromView(Assigned);
  Show(Note);
  EXPECT_TRUE(Window.lst_presentinsheets->count() == 0);
  EXPECT_EQ(Texts(Window.lst_availablesheets), QStringList{"Other"});
}

TEST_F(NoteProp, ANoteGoneOrHiddenClosesTheWindowWithoutStoring) {
  Show(Note);
  Project.NotePool->ResetView();
  Project.NotePool->Filtered = true;
  Project.NotePool->ExcludeFromView(Note);
  Window.ED_Caption->setText("typed");
  Window.UpdateItem(true);
  EXPECT_TRUE(Window.Closing);
  EXPECT_EQ(Note->Data.Name, "Main");
  Project.ClearFilters();
  Show(Next);
  EXPECT_FALSE(Window.Closing);
  Next->Delete();
  Window.PC_Note->setCurrentIndex(1);
  EXPECT_TRUE(Window.Closing);
  EXPECT_FALSE(Window.isVisible());
}

TEST_F(NoteProp, AttachmentsOpenInWindowsOfTheirOwnAndDrag) {
  TAttachment record;
  record.Note = Note;
  record.Caption = "Data sheet";
  TAttachItem* attachment = Project.AddAttachment(record);
  Show(Note);
  ASSERT_EQ(Window.LV_Contents->count(), 1);
  EXPECT_EQ(Window.LV_Contents->item(0)->text(), "Data sheet");
  EXPECT_EQ(Window.LV_ContentsDblClick(), nullptr);
  Window.LV_Contents->item(0)->setSelected(true);
  TAttachPrp* first = Window.LV_ContentsDblClick();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetItem(), attachment);
  EXPECT_NE(Window.MI_OpenAttachmentClick(), first);
  std::unique_ptr<QMimeData> data(Window.LV_ContentsStartDrag());
  auto* dragged = DragObjectAs<TDragAttach>(data.get());
  ASSERT_NE(dragged, nullptr);
  EXPECT_EQ(dragged->Items(0), attachment);
}

TEST_F(NoteProp, AddingAnAttachmentShowsItAndReloads) {
  Show(Note);
  QTimer::singleShot(0, [this] {
    auto* window = Window.findChild<TAttachPrp*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isModal());
    window->ED_Caption->setText("Added");
    window->UpdateItem(true);
    window->close();
  });
  Window.MI_AddAttachmentClick();
  ASSERT_EQ(Note->AttachmentCount(), 1);
  EXPECT_EQ(Note->GetAttachment(0)->Data.Caption, "Added");
  ASSERT_EQ(Window.LV_Contents->count(), 1);
  EXPECT_EQ(Window.LV_Contents->item(0)->text(), "Added");
}

// Fault: freeing an active window whose caption box had the focus stored from a half-destroyed
// window.
TEST_F(NoteProp, FreeingAnActiveWindowStoresNothing) {
  auto* window = new TNotePrp(nullptr);
  window->Container = &Project;
  window->show();
  window->ShowNote(Next, Project.RelationPool.get(), Project.LinkPool.get());
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  window->ED_Caption->setFocus();
  window->ED_Caption->setText("typed");
  delete window;
  EXPECT_EQ(Next->Data.Name, "Next");
}
