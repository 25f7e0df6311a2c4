// The pool list windows and the project statistics page, on their own.
#include "GuiTest.h"
#include "NavTestSupport.h"
#include "windows/sheet/DragObjects.h"
#include "windows/nav/AttachPoolProp.h"
#include "windows/props/AttachmentProp.h"
#include "windows/nav/ItemTreeWidget.h"
#include "windows/nav/NotePoolProp.h"
#include "windows/props/NoteProp.h"
#include "windows/nav/SheetPoolProp.h"
#include "windows/props/SheetProp.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qel::test {
namespace {

class PoolPropTest : public ::testing::Test {
protected:
  void SetUp() override {
    Sheets.Container = Notes.Container = Attachments.Container = &Project;
  }
  QStringList Rows(const TPoolPrp& list) {
    QStringList rows;
    for (int i = 0; i < list.LV_Contents->topLevelItemCount(); ++i) rows << list.LV_Contents->topLevelItem(i)->text(0);
    return rows;
  }
  void SelectRows(TPoolPrp& list, std::initializer_list<int> rows) {
    for (int row : rows) list.LV_Contents->topLevelItem(row)->setSelected(true);
  }

  const bool App = (EnsureApplication(), true);
  TContainer Project;
  TSheetPoolPrp Sheets;
  TNotePoolPrp Notes;
  TAttachPoolPrp Attachments;
};

TEST_F(PoolPropTest, AnEmptyPoolGivesTheStatusTextAndTheNameColumnOnly) {
  const std::vector<std::pair<TPoolPrp*, QString>> lists = {
      {&Sheets, "Project Sheets"}, {&Notes, "Project Notes"}, {&Attachments, "Project Attachments"}};
  Sheets.ShowItem(Project.SheetPool.get());
  Notes.ShowItem(Project.NotePool.get());
  Attachments.ShowItem(Project.AttachPool.get());
  for (const auto& [list, status] : lists) {
    EXPECT_EQ(list->InfoText->text(), status);
    EXPECT_EQ(list->LV_Contents->columnCount(), 1);
    EXPECT_EQ(list->LV_Contents->headerItem()->text(0), "Name");
    EXPECT_EQ(list->LV_Contents->header()->sectionSize(0), 250);
    EXPECT_EQ(list->RowCount(), 0);
  }
  EXPECT_EQ(Notes.GetItem(), Project.NotePool.get());
}

TEST_F(PoolPropTest, RowsFollowThePoolsViewWithTheirImages) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  NewNote(Project, "Idea");
  NewNote(Project, "Plan", plan);
  TNoteItem* hidden = NewNote(Project, "Hidden");
  Notes.ShowItem(Project.NotePool.get());
  Sheets.ShowItem(Project.SheetPool.get());
  EXPECT_EQ(Rows(Notes), QStringList({"Idea", "Plan", "Hidden"}));
  EXPECT_EQ(Notes.RowImage(0), 2);
  EXPECT_EQ(Notes.RowImage(1), 1);
  EXPECT_EQ(Rows(Sheets), QStringList({"Plan"}));
  EXPECT_EQ(Sheets.RowImage(0), 1);

  Project.ResetViews();
  Project.NotePool->Filtered = true;
  Project.NotePool->ExcludeFromView(hidden);
  Notes.ShowItem(Project.NotePool.get()); // the same pool again: reloaded
  EXPECT_EQ(Rows(Notes), QStringList({"Idea", "Plan"}));
  Notes.UpdateItem(true); // nothing to store
  EXPECT_EQ(Rows(Notes), QStringList({"Idea", "Plan"}));
}

TEST_F(PoolPropTest, AttachmentsShowTheirFilesIconAndTheImageListDoesNotGrowOnRefills) {
  QTemporaryDir folder;
  const std::string file = FromQString(folder.path()) + "/letter.txt";
  QFile(ToQString(file)).open(QIODevice::WriteOnly);
  TNoteItem* note = NewNote(Project, "Idea");
  NewAttachment(Project, note, "Letter", file);
  NewAttachment(Project, note, "Site", "https://example.org/");
  NewAttachment(Project, note, "Missing", FromQString(folder.path()) + "/missing.txt");
  for (int i = 0; i < 3; ++i) Attachments.ShowItem(Project.AttachPool.get());
  EXPECT_EQ(Rows(Attachments), QStringList({"Letter", "Site", "Missing"}));
  EXPECT_EQ(Attachments.RowImage(0), 5);
  EXPECT_EQ(Attachments.RowImage(1), 3);
  EXPECT_EQ(Attachments.RowImage(2), 3);
  EXPECT_EQ(Attachments.IL_Property.size(), 6);
}

TEST_F(PoolPropTest, DraggingTakesTheSelectedRowsInListOrderAndNothingCanBeDropped) {
  for (const char* name : {"One", "Two", "Three"}) NewNote(Project, name);
  Notes.ShowItem(Project.NotePool.get());
  SelectRows(Notes, {2, 0});
  std::unique_ptr<TMultiDragObject> object = Notes.LV_ContentsStartDrag();
  ASSERT_NE(dynamic_cast<TDragNotes*>(object.get()), nullptr);
  EXPECT_EQ(object->SourceForm, &Notes);
  ASSERT_EQ(object->Count(), 2);
  EXPECT_EQ(object->Items(0), Project.GetNote(0));
  EXPECT_EQ(object->Items(1), Project.GetNote(2));

  NewSheet(Project, "Plan");
  Sheets.ShowItem(Project.SheetPool.get());
  SelectRows(Sheets, {0});
  EXPECT_NE(dynamic_cast<TDragSheets*>(Sheets.LV_ContentsStartDrag().get()), nullptr);
  TDragMimeData data(std::move(object));
  EXPECT_FALSE(Notes.LV_ContentsDragOver(&data));
  EXPECT_FALSE(Sheets.LV_ContentsDragOver(&data));
}

TEST_F(PoolPropTest, ADoubleClickOpensTheRowsItemInAWindowOfItsOwn) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TNoteItem* idea = NewNote(Project, "Idea");
  NewNote(Project, "Plan", plan);
  NewAttachment(Project, idea, "Letter");
  Notes.ShowItem(Project.NotePool.get());
  Attachments.ShowItem(Project.AttachPool.get());
  EXPECT_EQ(Notes.LV_ContentsDblClick(), nullptr); // no row selected

  SelectRows(Notes, {0});
  auto* noteWindow = dynamic_cast<TNotePrp*>(Notes.LV_ContentsDblClick());
  ASSERT_NE(noteWindow, nullptr);
  EXPECT_EQ(noteWindow->GetItem(), idea);
  EXPECT_EQ(noteWindow->Container, &Project);
  EXPECT_TRUE(noteWindow->isWindow());
  EXPECT_TRUE(noteWindow->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_NE(Notes.LV_ContentsDblClick(), noteWindow); // a further window

  Notes.LV_Contents->clearSelection();
  SelectRows(Notes, {1}); // a note standing for a sheet opens that sheet
  auto* sheetWindow = dynamic_cast<TSheetPrp*>(Notes.LV_ContentsDblClick());
  ASSERT_NE(sheetWindow, nullptr);
  EXPECT_EQ(sheetWindow->GetItem(), plan);

  SelectRows(Attachments, {0});
  auto* attachmentWindow = dynamic_cast<TAttachPrp*>(Attachments.LV_ContentsDblClick());
  ASSERT_NE(attachmentWindow, nullptr);
  EXPECT_EQ(attachmentWindow->GetItem(), Project.GetAttachment(0));

  Notes.ReleaseProject(); // the windows of a released project close
  EXPECT_TRUE(Notes.findChildren<TNotePrp*>().isEmpty());
  EXPECT_EQ(Notes.Container, nullptr);
}

// Fault: every window stored its controls when it closed and every store marked the item
// modified, so looking at a note, sheet or attachment asked for a save afterwards.
TEST_F(PoolPropTest, OpeningAndClosingWindowsWithoutAChangeMarksNothingModified) {
  TSheetItem* plan = NewSheet(Project, "Plan", clYellow);
  plan->SetDescription("First line\r\nSecond line");
  TNoteItem* idea = NewNote(Project, "Idea");
  // Text as another writer wrote it: the window gives it back unchanged.
  const std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Some \\b bold\\b0  text\\par}";
  idea->SetText(text);
  NewNote(Project, "Plan", plan);
  NewAttachment(Project, idea, "Letter", "https://example.org/");
  Notes.ShowItem(Project.NotePool.get());
  Attachments.ShowItem(Project.AttachPool.get());
  Project.SetModified(false);
  for (int row : {0, 1}) { // the note, and the sheet the second note stands for
    Notes.LV_Contents->clearSelection();
    SelectRows(Notes, {row});
    QWidget* window = Notes.LV_ContentsDblClick();
    ASSERT_NE(window, nullptr);
    window->close();
  }
  SelectRows(Attachments, {0});
  QWidget* attachment = Attachments.LV_ContentsDblClick();
  ASSERT_NE(attachment, nullptr);
  static_cast<TAttachPrp*>(attachment)->ED_CaptionExit();
  attachment->close();
  EXPECT_FALSE(Project.IsModified());
  EXPECT_EQ(idea->Data.Text, text); // not rewritten in this program's own way

  SelectRows(Notes, {0});
  auto* note = static_cast<TNotePrp*>(Notes.LV_ContentsDblClick());
  note->ED_Caption->setText("Thought");
  note->close();
  EXPECT_TRUE(Project.IsModified());
  EXPECT_EQ(idea->Data.Name, "Thought");
}

// Fault: a row kept a plain pointer to its item, so a note deleted elsewhere was opened or
// dragged from freed memory.
TEST_F(PoolPropTest, RowsOfDeletedItemsAreNeitherOpenedNorDragged) {
  NewNote(Project, "One");
  NewNote(Project, "Two");
  TSheetItem* plan = NewSheet(Project, "Plan");
  NewNote(Project, "Plan", plan);
  Notes.ShowItem(Project.NotePool.get());
  SelectRows(Notes, {0, 1, 2});
  Project.GetNote(0)->Delete();
  plan->Delete(); // the aggregation note stays, standing for nothing
  EXPECT_EQ(Notes.RowItem(0), nullptr);
  std::unique_ptr<TMultiDragObject> object = Notes.LV_ContentsStartDrag();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->Count(), 2);
  EXPECT_EQ(Notes.LV_ContentsDblClick(), nullptr);
  Notes.LV_Contents->topLevelItem(0)->setSelected(false);
  Notes.LV_Contents->topLevelItem(1)->setSelected(false);
  EXPECT_EQ(Notes.LV_ContentsDblClick(), nullptr);
}

} // namespace
} // namespace qel::test
