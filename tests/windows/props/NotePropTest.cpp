#include "tests/windows/WindowTest.h"
#include "windows/sheet/DragObjects.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropReplaceDialog.h"
#include "windows/richedit/RichEditURL.h"

#include <QApplication>
#include <QLabel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

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

// Fault: laying out the window marked an unedited text "Modified".
TEST_F(NoteProp, ShowingAndResizingTheWindowIsNoEdit) {
  TNotePrp fresh;
  fresh.Container = &Project;
  fresh.ShowNote(AddNote("New Note"), Project.RelationPool.get(), Project.LinkPool.get());
  fresh.show();
  QApplication::processEvents();
  EXPECT_EQ(fresh.StatusPanels[1]->text(), "");
  EXPECT_FALSE(fresh.RichEditURL1->ChangedSinceLoad());
  Show(Note);
  Window.resize(Window.width() + 40, Window.height() + 40);
  QApplication::processEvents();
  EXPECT_EQ(Window.StatusPanels[1]->text(), "");
  EXPECT_FALSE(Window.RichEditURL1->ChangedSinceLoad());
  EXPECT_FALSE(Window.RichEditURL1->document()->isUndoAvailable());
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
  Window.ED_Caption->setText("Renamed");
  Window.UpdateItem(true);
  EXPECT_EQ(Note->Data.Name, "Renamed");
  // A double click stores the colour picked at once; a cancelled dialog picks nothing.
  Script.AnswerColor(true, clGreen);
  Window.PN_NoteColorDblClick();
  EXPECT_EQ(Note->Data.Color, clGreen);
  Note->SetColor(clBlue);
  Script.AnswerColor(false);
  Window.PN_NoteColorDblClick();
  EXPECT_EQ(Note->Data.Color, clBlue);
}

// Fault: a colour picked with a single click was lost when the page was left.
TEST_F(NoteProp, AColourPickedWithASingleClickIsStoredWhenThePageIsLeft) {
  Show(Note);
  Window.PC_Note->setCurrentWidget(Window.TS_NoteProp);
  Script.AnswerColor(true, clRed);
  Window.PN_NoteColorClick();
  EXPECT_EQ(Note->Data.Color, clYellow);
  Window.PC_Note->setCurrentWidget(Window.TS_Memo);
  EXPECT_EQ(Note->Data.Color, clRed);
  // Cancelling the dialog picks nothing.
  Window.PC_Note->setCurrentWidget(Window.TS_NoteProp);
  Script.AnswerColor(false);
  Window.PN_NoteColorClick();
  Note->SetColor(clBlue);
  Window.PC_Note->setCurrentWidget(Window.TabSheet1);
  EXPECT_EQ(Note->Data.Color, clBlue);
}

// Fault: a colour picked, a name typed, then another note shown: both were lost.
TEST_F(NoteProp, ShowingAnotherNoteStoresTheNameAndColourOfTheNoteShownBefore) {
  Show(Note);
  Window.PC_Note->setCurrentWidget(Window.TS_NoteProp);
  Script.AnswerColor(true, clRed);
  Window.PN_NoteColorClick();
  Window.ED_Caption->selectAll();
  QTest::keyClicks(Window.ED_Caption, "Main renamed");
  Show(Next);
  EXPECT_EQ(Note->Data.Color, clRed);
  EXPECT_EQ(Note->Data.Name, "Main renamed");
  EXPECT_EQ(Next->Data.Color, clYellow);
  EXPECT_EQ(Next->Data.Name, "Next");
  EXPECT_EQ(Window.PN_NoteColor->Color(), clYellow);
  // A name changed elsewhere meanwhile is not turned back.
  Next->SetName("Renamed elsewhere");
  Show(Note);
  EXPECT_EQ(Next->Data.Name, "Renamed elsewhere");
  Show(Next);
  // A colour picked and then the window closed.
  Script.AnswerColor(true, clBlue);
  Window.PN_NoteColorClick();
  Window.PC_Note->setCurrentWidget(Window.TS_Memo);
  Window.close();
  EXPECT_EQ(Next->Data.Color, clBlue);
}

// Fault: a reload (after a sheet window changed the note) dropped a colour picked. The
// colour stays the user's until it is stored.
TEST_F(NoteProp, AReloadKeepsWhatWasPicked) {
  Show(Note);
  Window.PC_Note->setCurrentWidget(Window.TS_NoteProp);
  Script.AnswerColor(true, clRed);
  Window.PN_NoteColorClick();
  Note->SetName("Moved elsewhere");
  Window.UpdateItem(false);
  EXPECT_EQ(Window.PN_NoteColor->Color(), clRed);
  EXPECT_EQ(Window.ED_Caption->text(), "Moved elsewhere");
  Window.UpdateItem(true);
  EXPECT_EQ(Note->Data.Color, clRed);
  EXPECT_EQ(Note->Data.Name, "Moved elsewhere");
}

// Fault: a page of another window lost a picked colour when its owner showed another page.
TEST_F(NoteProp, APageHiddenByItsOwnerKeepsWhatWasPicked) {
  QWidget owner;
  auto* page = new TNotePrp(&owner);
  page->Container = &Project;
  owner.show();
  page->ShowNote(Note, Project.RelationPool.get(), Project.LinkPool.get());
  Project.SetModified(false);
  page->hide();
  EXPECT_FALSE(Project.IsModified()); // nothing pending: nothing stored
  page->show();
  page->PC_Note->setCurrentWidget(page->TS_NoteProp);
  Script.AnswerColor(true, clRed);
  page->PN_NoteColorClick();
  page->hide();
  EXPECT_EQ(Note->Data.Color, clRed);
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

// Fault: a jump went to the last note named like the row, not to the other end of its link.
TEST_F(NoteProp, AJumpFollowsTheRowsOwnLinkAndLeavesAggregationsAlone) {
  TNoteItem* twin = AddNote("Next", "the later one");
  Show(Note);
  Project.SetModified(false);
  Window.LV_LinksTo->topLevelItem(0)->setSelected(true);
  Window.LV_LinksToDblClick();
  EXPECT_EQ(Window.GetNote(), Next);
  EXPECT_EQ(Window.JumpNote.Get(), Next);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "next text");
  EXPECT_EQ(Window.LV_LinksTo->headerItem()->text(0), "from \"Next\" to Note");
  EXPECT_FALSE(Project.IsModified());
  // A link to the twin leads to the twin.
  Link(Note, twin, Plan);
  Show(Note);
  Window.LV_LinksTo->topLevelItem(1)->setSelected(true);
  Window.LV_LinksToDblClick();
  EXPECT_EQ(Window.GetNote(), twin);
  Next->Data.Kind = 0;
  Show(Note);
  Window.LV_LinksTo->topLevelItem(0)->setSelected(true);
  Window.LV_LinksToDblClick();
  EXPECT_EQ(Window.GetNote(), Note);
}

// Fault: jumping dropped the text typed for the note shown before.
TEST_F(NoteProp, AJumpStoresWhatWasTypedFirst) {
  Show(Note);
  Window.RichEditURL1->setPlainText("typed before the jump");
  Window.LV_LinksFrom->topLevelItem(0)->setSelected(true);
  Window.LV_LinksFromDblClick();
  EXPECT_EQ(Window.GetNote(), Next);
  EXPECT_NE(Note->Data.Text.find("typed before the jump"), std::string::npos);
  EXPECT_EQ(Next->Data.Text, "next text");
}

TEST_F(NoteProp, ARowWhoseNoteIsGoneLeadsNowhere) {
  Show(Note);
  Next->SetName("Elsewhere"); // renamed: the row still leads there
  Window.LV_LinksFrom->topLevelItem(0)->setSelected(true);
  std::unique_ptr<QMimeData> data(Window.LV_LinksFromStartDrag());
  EXPECT_NE(data, nullptr);
  Window.LV_LinksTo->clearSelection();
  Window.LV_LinksToDblClick(); // no row selected
  EXPECT_EQ(Window.GetNote(), Note);
  Next->Delete();
  Window.LV_LinksFromDblClick();
  EXPECT_EQ(Window.GetNote(), Note);
  EXPECT_EQ(Window.LV_LinksFromStartDrag(), nullptr);
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

// Fault: a note hidden by a search filter closed its window as if it had been deleted.
TEST_F(NoteProp, ANoteGoneClosesTheWindowWithoutStoringButAHiddenOneStays) {
  Show(Note);
  Project.NotePool->ResetView();
  Project.NotePool->Filtered = true;
  Project.NotePool->ExcludeFromView(Note);
  Window.ED_Caption->setText("typed");
  Window.UpdateItem(true);
  EXPECT_FALSE(Window.Closing);
  EXPECT_EQ(Note->Data.Name, "typed");
  Project.ClearFilters();
  Show(Next);
  EXPECT_FALSE(Window.Closing);
  Next->Delete();
  Window.PC_Note->setCurrentIndex(1);
  EXPECT_TRUE(Window.Closing);
  EXPECT_FALSE(Window.isVisible());
}

// Fault: the buttons of a window whose note was deleted asked questions and showed errors.
TEST_F(NoteProp, TheCommandsOfAWindowWhoseNoteIsGoneDoNothing) {
  const std::vector<std::pair<const char*, std::function<void()>>> commands = {
      {"clear image", [this] { Window.btn_clearimageClick(); }},
      {"clear logo", [this] { Window.btn_clearlogoClick(); }},
      {"load image", [this] { Window.BTN_LoadImageClick(); }},
      {"load logo", [this] { Window.BTN_LoadLogoClick(); }},
      {"colour", [this] { Window.PN_NoteColorClick(); }},
      {"colour twice", [this] { Window.PN_NoteColorDblClick(); }},
      {"load from file", [this] { Window.MI_loadfileClick(); }},
      {"open", [this] { Window.FileOpen(); }},
      {"save", [this] { Window.FileSave(); }},
      {"print", [this] { Window.FilePrint(); }},
      {"find", [this] { Window.bnREURLReplaceClick(); }},
      {"date", [this] { Window.DateTimeClick(); }},
      {"add attachment", [this] { Window.MI_AddAttachmentClick(); }},
  };
  for (const auto& [name, command] : commands) {
    TNoteItem* note = AddNote("Doomed", "words");
    Window.show();
    Show(note);
    note->Delete();
    command();
    EXPECT_TRUE(Window.Closing) << name;
    EXPECT_FALSE(Window.isVisible()) << name;
    EXPECT_FALSE(Window.ReplaceDialog1->isVisible()) << name;
    EXPECT_EQ(Window.RichEditURL1->toPlainText(), "words") << name;
  }
  EXPECT_TRUE(Script.Shown.empty());
  EXPECT_EQ(Project.AttachPool->AllCount(), 0);
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

// Fault: at the free windows' width of 250 tool buttons hid behind an overflow arrow, the
// logo buttons lay outside the window, headers were cut and the colour label showed "&".
TEST_F(NoteProp, EveryControlIsReachableInANarrowWindow) {
  Show(Note);
  Window.resize(250, 600);
  QApplication::processEvents();
  QToolBar* bar = Window.StandardToolBar;
  for (QWidget* extension : bar->findChildren<QWidget*>())
    if (QString(extension->metaObject()->className()) == "QToolBarExtension") {
      EXPECT_FALSE(extension->isVisibleTo(bar));
    }
  for (QAction* action : bar->actions())
    if (QWidget* button = bar->widgetForAction(action)) {
      EXPECT_TRUE(button->isVisibleTo(bar)) << action->text().toStdString();
    }
  Window.PC_Note->setCurrentWidget(Window.TS_NoteProp);
  QApplication::processEvents();
  const QRect page = Window.TS_NoteProp->rect();
  for (QPushButton* button : {Window.btn_LoadImage, Window.btn_LoadLogo, Window.btn_clearimage, Window.btn_clearlogo,
                              Window.btn_SwitchPictureMode}) {
    const QRect place(button->mapTo(Window.TS_NoteProp, QPoint(0, 0)), button->size());
    EXPECT_TRUE(page.contains(place)) << button->text().toStdString();
  }
  for (QLabel* label : Window.TS_NoteProp->findChildren<QLabel*>())
    if (label->text().contains("olor")) {
      EXPECT_NE(label->buddy(), nullptr); // "&" marks its key, not shown as such
    }
  for (QTreeWidget* list : {static_cast<QTreeWidget*>(Window.LV_LinksTo), static_cast<QTreeWidget*>(Window.LV_LinksFrom)}) {
    const QFontMetrics metrics(list->header()->font());
    EXPECT_GE(list->columnWidth(0), metrics.horizontalAdvance(list->headerItem()->text(0)));
  }
}

// Fault: closing a second window of the same note wrote its old text and name back over
// what was stored from the first.
TEST_F(NoteProp, ClosingAWindowStoresOnlyWhatWasTypedInIt) {
  Show(Note);
  auto* stale = new TNotePrp(nullptr);
  stale->Container = &Project;
  stale->show();
  stale->ShowNote(Note, Project.RelationPool.get(), Project.LinkPool.get());
  Window.RichEditURL1->setPlainText("newer words");
  Window.ED_Caption->setText("Newer name");
  Window.UpdateItem(true);
  stale->close();
  delete stale;
  EXPECT_EQ(Note->Data.Name, "Newer name");
  EXPECT_NE(Note->Data.Text.find("newer words"), std::string::npos);
  // A window with typed text stores it when it closes.
  QTest::keyClicks(Window.RichEditURL1, "!");
  Window.close();
  EXPECT_NE(Note->Data.Text.find("!"), std::string::npos);
}
