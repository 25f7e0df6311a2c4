// The navigator's commands: opening sheets, new items, deletion, dragging and dropping.
#include "NavigatorFixture.h"
#include "windows/sheet/DragObjects.h"
#include "platform/qt/QtConvert.h"
#include "windows/props/NoteProp.h"
#include "windows/props/SheetProp.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QStackedWidget>

namespace qel::test {
namespace {

std::unique_ptr<TDragMimeData> Carrying(std::unique_ptr<TMultiDragObject> object, std::vector<TPoolItem*> items) {
  object->Assign(items);
  return std::make_unique<TDragMimeData>(std::move(object));
}

// The keys stay with the tree after a click (F2 renames the node clicked), while the window
// opened or brought forward is the front one.
TEST_F(NavigatorTest, ClickingASheetOpensItsWindowOnceAndThenBringsItToTheFront) {
  Run({2, 2});
  const auto front = [] { return QELMain->MdiArea->subWindowList(QMdiArea::StackingOrder).back()->widget(); };
  Click(SheetNode("Sheet 1"));
  ASSERT_EQ(SheetWindows().size(), 1u);
  EXPECT_EQ(SheetWindows()[0]->GetSheet(), Project().GetSheet(0));
  Click(SheetNode("Sheet 2"));
  EXPECT_EQ(front(), SheetWindows()[1]);
  EXPECT_EQ(ActiveWindow(), Nav);
  Click(SheetNode("Sheet 1"));
  EXPECT_EQ(SheetWindows().size(), 2u);
  EXPECT_EQ(front(), SheetWindows()[0]);
  EXPECT_EQ(ActiveWindow(), Nav);
  EXPECT_TRUE(QELMain->updatesEnabled());

  Nav->TV_Container->setCurrentItem(SheetNode("Sheet 2"));
  EXPECT_TRUE(Nav->TV_ContainerKeyDown(Qt::Key_O, Qt::ControlModifier)); // the menu's Open
  EXPECT_EQ(ActiveWindow(), SheetWindows()[1]);
}

TEST_F(NavigatorTest, ClickingNotesUnderSheetsAttachmentsBranchesOrTheRootOpensNothing) {
  Run();
  for (TNavNode* node : {Node(SheetNode("Sheet 1"), "Note 1"), Node(Tree().AttachmentsNode, "Attachment 1"),
                         Tree().SheetsNode, Tree().RootNode})
    Click(node);
  EXPECT_TRUE(SheetWindows().empty());
  EXPECT_EQ(Project().SheetCount(), 1);
}

TEST_F(NavigatorTest, ClickingANoteWithoutASheetOfItsNameAddsAndOpensNewSheet) {
  Run();
  Click(NoteNode("Note 1"));
  TSheetItem* added = SheetNamed("New Sheet");
  ASSERT_NE(added, nullptr);
  ASSERT_EQ(SheetWindows().size(), 1u);
  EXPECT_EQ(SheetWindows()[0]->GetSheet(), added);
  EXPECT_TRUE(Nav->PropertiesVisible());
  EXPECT_NE(SheetNode("New Sheet"), nullptr);
  EXPECT_EQ(Nav->LastNode, NoteNode("Note 1"));
  Click(NoteNode("Note 2")); // its window is open already: nothing more
  EXPECT_EQ(Project().SheetCount(), 2);
  EXPECT_EQ(SheetWindows().size(), 1u);
}

TEST_F(NavigatorTest, ClickingANoteNamedLikeSheetsAsksForEachAndNoLeadsToNewSheet) {
  Run({2, 2});
  Project().GetSheet(0)->SetName("Note 1");
  Project().GetSheet(1)->SetName("Note 1");
  Script.Answer(mrNo).Answer(mrNo);
  Click(NoteNode("Note 1"));
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[0].Text,
            "Do you want to open the SHEET called \"Note 1\" together with the NOTE called \"Note 1\"?");
  EXPECT_EQ(Script.Shown[0].Type, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(Script.Shown[0].Buttons, mbYesNo);
  ASSERT_EQ(SheetWindows().size(), 1u);
  EXPECT_EQ(SheetWindows()[0]->GetSheet(), SheetNamed("New Sheet"));

  Script.Answer(mrNo).Answer(mrYes);
  Click(NoteNode("Note 1"));
  ASSERT_EQ(SheetWindows().size(), 2u);
  EXPECT_EQ(SheetWindows()[1]->GetSheet(), Project().GetSheet(1));
  EXPECT_TRUE(Nav->PropertiesVisible());
  EXPECT_EQ(Nav->NoteSheet(), Project().GetSheet(1)); // the last of that name
}

TEST_F(NavigatorTest, NewSheetAddsOpensAndStartsEditingItsLabel) {
  Run();
  Nav->TB_NewSheetClick();
  TSheetItem* added = SheetNamed("New Sheet");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(Nav->TV_Container->currentItem(), SheetNode("New Sheet"));
  EXPECT_TRUE(Nav->TV_Container->IsEditing());
  EXPECT_EQ(Nav->PC_Property->currentWidget(), Nav->SheetPage);
  ASSERT_EQ(SheetWindows().size(), 1u);
  EXPECT_TRUE(Nav->NewSheetWindowOpen());
  EXPECT_TRUE(Nav->NewSheetOpen());

  Nav->TV_Container->FinishEditing();
  Nav->TB_NewSheetClick(); // its window is open: one more window, no new sheet
  EXPECT_EQ(Project().SheetCount(), 2);
  ASSERT_EQ(SheetWindows().size(), 2u);
  EXPECT_EQ(SheetWindows()[1]->GetSheet(), added);
}

// Fault: a label still being edited was stored only once the new sheet window took the focus,
// and the refresh that storing made closed that window before it showed its sheet.
TEST_F(NavigatorTest, ALabelBeingEditedIsStoredBeforeTheNextCommand) {
  Run();
  Nav->TB_NewSheetClick();
  auto* editor = Nav->TV_Container->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("Plan");
  Nav->TB_NewSheetClick();
  EXPECT_EQ(Project().GetSheet(1)->Data.Name, "Plan");
  EXPECT_EQ(Project().GetSheet(2)->Data.Name, "New Sheet");
  ASSERT_EQ(SheetWindows().size(), 2u);
  EXPECT_EQ(SheetWindows()[1]->GetSheet(), Project().GetSheet(2));
}

TEST_F(NavigatorTest, NewNoteAndNewAttachmentGoUnderTheSelectedSheetOrNote) {
  Run();
  Select(Node(SheetNode("Sheet 1"), "Note 2")); // the parent sheet is the target
  Nav->TB_NewNoteClick();
  TNoteItem* note = Project().GetNote(2);
  TPosItem* position = Project().FindPosition(note, Project().GetSheet(0));
  ASSERT_NE(position, nullptr);
  EXPECT_FALSE(position->IsPlaced());
  auto* added = static_cast<TNavNode*>(Nav->TV_Container->currentItem());
  EXPECT_EQ(added->parent(), SheetNode("Sheet 1"));
  EXPECT_EQ(added->ImageIndex(), 2);
  EXPECT_TRUE(Nav->TV_Container->IsEditing());
  EXPECT_EQ(Nav->PC_Property->currentWidget(), Nav->NotePage);

  Select(Tree().RootNode);
  Nav->TB_NewNoteClick();
  EXPECT_EQ(Nav->TV_Container->currentItem()->parent(), Tree().NotesNode);
  EXPECT_EQ(Project().GetNote(3)->PositionCount(), 0);

  Select(Node(NoteNode("Note 1"), "Attachment 1")); // the parent note is the target
  Nav->TB_NewAttachClick();
  EXPECT_EQ(Project().AttachmentCount(), 2);
  EXPECT_EQ(Project().GetAttachment(1)->GetNote(), Project().GetNote(0));
  EXPECT_EQ(Nav->TV_Container->currentItem()->parent(), NoteNode("Note 1"));
  Select(Node(Tree().AttachmentsNode, "Attachment 1")); // no note there
  Nav->TB_NewAttachClick();
  EXPECT_EQ(Project().AttachmentCount(), 2);
}

TEST_F(NavigatorTest, ANewItemWhoseBranchWasNeverOpenedGetsItsNodeShownAndEdited) {
  Run();
  ASSERT_EQ(Tree().NotesNode->childCount(), 0); // nothing opened yet
  Nav->TB_NewNoteClick();
  auto* added = static_cast<TNavNode*>(Nav->TV_Container->currentItem());
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->Note(), Project().GetNote(2));
  EXPECT_EQ(added->parent(), Tree().NotesNode);
  EXPECT_TRUE(Tree().NotesNode->isExpanded());
  EXPECT_EQ(test::ChildTexts(Tree().NotesNode).size(), 3); // the others with it, once
  EXPECT_TRUE(Nav->TV_Container->IsEditing());
  Nav->TV_Container->FinishEditing();

  Select(Tree().RootNode);
  ASSERT_EQ(Tree().SheetsNode->childCount(), 0);
  Nav->TB_NewSheetClick();
  auto* sheet = static_cast<TNavNode*>(Nav->TV_Container->currentItem());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->Sheet(), Project().GetSheet(1));
  EXPECT_EQ(test::ChildTexts(Tree().SheetsNode), QStringList({"Sheet 1", "New Sheet"}));
}

TEST_F(NavigatorTest, DeleteOnTheRootOrABranchDoesNothing) {
  Run();
  for (TNavNode* node : {Tree().RootNode, Tree().SheetsNode, Tree().NotesNode, Tree().AttachmentsNode}) {
    Select(node);
    EXPECT_TRUE(Nav->TV_ContainerKeyDown(Qt::Key_Delete, Qt::NoModifier));
  }
  EXPECT_EQ(Project().NoteCount() + Project().SheetCount() + Project().AttachmentCount(), 4);
  EXPECT_TRUE(Script.Shown.empty());
}

TEST_F(NavigatorTest, DeletingANoteUnderASheetAsksWhetherToRemoveItEverywhere) {
  Run({2, 2});
  TNoteItem* note = Project().GetNote(0);
  Select(Node(SheetNode("Sheet 1"), "Note 1"));
  Script.Answer(mrCancel);
  Nav->MI_DeleteClick();
  EXPECT_EQ(Script.Shown[0].Text, "You are deleting the Note [Note 1] only from the Sheet.\r"
                                   "Do you want to remove it from all other places too?");
  EXPECT_EQ(Script.Shown[0].Buttons, mbYesNoCancel);
  EXPECT_EQ(note->PositionCount(), 2);

  Script.Answer(mrNo); // only this sheet's place goes
  Nav->MI_DeleteClick();
  EXPECT_EQ(note->PositionCount(), 1);
  EXPECT_EQ(ChildTexts(SheetNode("Sheet 1")), QStringList({"Note 2"}));
  EXPECT_EQ(ChildTexts(SheetNode("Sheet 2")), QStringList({"Note 1", "Note 2"}));
  EXPECT_NE(NoteNode("Note 1"), nullptr);

  Select(Node(SheetNode("Sheet 2"), "Note 1"));
  Script.Answer(mrYes); // the note itself
  Nav->MI_DeleteClick();
  EXPECT_EQ(Project().NoteCount(), 1);
  EXPECT_EQ(ChildTexts(Tree().NotesNode), QStringList({"Note 2"}));
  EXPECT_TRUE(ChildTexts(Tree().AttachmentsNode).isEmpty());
}

TEST_F(NavigatorTest, DeletingNotesSheetsAndAttachmentsAfterTheQuestion) {
  Run({2, 2});
  NewNote(Project(), "Sheet 2", Project().GetSheet(1));
  Nav->SetContainer(&Project());
  Select(NoteNode("Note 2"));
  Script.Answer(mrYes);
  Nav->MI_DeleteClick();
  EXPECT_EQ(Script.Shown[0].Text, "Are you sure you want to permanently delete Note [Note 2]?");
  EXPECT_EQ(ChildTexts(Tree().NotesNode), QStringList({"Note 1", "Sheet 2"}));

  Click(SheetNode("Sheet 2"));
  ASSERT_EQ(SheetWindows().size(), 1u);
  Select(SheetNode("Sheet 2"));
  Script.Answer(mrYes);
  Nav->MI_DeleteClick();
  EXPECT_EQ(Script.Shown[1].Text,
            "You are deleting Sheet [Sheet 2] including all its Notes and Relations between the Notes from this "
            "Sheet. Notes will still be available, but Relations are permanently removed from the project.\r\r"
            "You cannot undo this action. Are you sure?");
  EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtInformation);
  EXPECT_EQ(Project().SheetCount(), 1);
  EXPECT_TRUE(SheetWindows().empty());
  EXPECT_EQ(ChildTexts(Tree().NotesNode), QStringList({"Note 1"})); // its aggregation note went too

  Select(Node(NoteNode("Note 1"), "Attachment 1"));
  Script.Answer(mrNo).Answer(mrYes);
  Nav->MI_DeleteClick();
  EXPECT_EQ(Project().AttachmentCount(), 1);
  Nav->MI_DeleteClick();
  EXPECT_EQ(Script.Shown[3].Type, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(Project().AttachmentCount(), 0);
  EXPECT_TRUE(ChildTexts(Tree().AttachmentsNode).isEmpty());
}

// Fault: the events that the navigator lets run before it deletes a sheet could run a command
// that replaced the project; now such a command waits until the deletion is done.
TEST_F(NavigatorTest, ACommandAskedForDuringTheNavigatorsPassWaitsForIt) {
  Run({2, 2});
  TContainer* project = &Project();
  Select(SheetNode("Sheet 2"));
  Script.Answer(mrYes).Answer(mrYes).Answer(mrNo); // delete; start anew; do not save
  bool askedInside = false;
  QTimer::singleShot(0, Nav, [&] {
    QELMain->TB_NewClick();
    askedInside = Script.Shown.size() > 1;
  });
  Nav->MI_DeleteClick();
  EXPECT_FALSE(askedInside);
  ASSERT_EQ(&Project(), project);
  EXPECT_EQ(Project().SheetCount(), 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Script.Shown.size() == 3; }, 2000));
  EXPECT_EQ(Script.Shown[1].Text, "Are you sure you want to start a new project ?");
  EXPECT_NE(&Project(), project);
}

// Fault: the deletion acted on whatever was selected once the question closed, which need
// not be what the user agreed to delete.
TEST_F(NavigatorTest, DeletingStopsWhenTheSelectionMovedWhileTheQuestionWasOpen) {
  Run({2, 2});
  Select(SheetNode("Sheet 1"));
  Script.Answer(mrYes, [this] { Nav->TV_Container->setCurrentItem(SheetNode("Sheet 2")); });
  Nav->MI_DeleteClick();
  EXPECT_EQ(Project().SheetCount(), 2);

  Select(NoteNode("Note 2"));
  Script.Answer(mrYes, [this] { Project().GetNote(1)->Delete(); });
  Nav->MI_DeleteClick();
  EXPECT_EQ(Project().NoteCount(), 1);
}

// Fault: the place removed was the one under the sheet selected once the question closed, not
// the one the user had confirmed.
TEST_F(NavigatorTest, DeletingANoteFromASheetRemovesThePlaceThatWasConfirmed) {
  Run({2, 2});
  TNoteItem* note = Project().GetNote(0);
  Select(Node(SheetNode("Sheet 1"), "Note 1"));
  Script.Answer(mrNo, [this] { Nav->TV_Container->setCurrentItem(Node(SheetNode("Sheet 2"), "Note 1")); });
  Nav->MI_DeleteClick();
  ASSERT_EQ(note->PositionCount(), 1);
  EXPECT_EQ(note->GetPosition(0)->GetSheet(), Project().GetSheet(1));
  EXPECT_EQ(ChildTexts(SheetNode("Sheet 1")), QStringList({"Note 2"}));
  EXPECT_EQ(ChildTexts(SheetNode("Sheet 2")), QStringList({"Note 1", "Note 2"}));
}

// A tree node whose removal fails, standing in for any failure inside a deletion.
class TFailingNode : public INavTreeNode {
public:
  void SetText(const std::string&) override {}
  void SetImageIndex(int, int) override {}
  void DeleteNode() override {
    if (!FFailed) {
      FFailed = true;
      throw std::runtime_error("disk on fire");
    }
  }

private:
  bool FFailed = false;
};

// Fault: an error raised while deleting was swallowed: no message, and the tree kept what the
// failed deletion had left half done.
TEST_F(NavigatorTest, ADeletionThatFailsIsReportedAndTheTreeShowsWhatIsLeft) {
  Run({2, 2});
  TFailingNode failing;
  TTreeNodeRecord record;
  record.Item = Project().GetSheet(0);
  record.Node = &failing;
  Project().SheetTreePool->AddNode(record);
  Select(SheetNode("Sheet 1"));
  Script.Answer(mrYes).Answer(mrOk);
  Nav->MI_DeleteClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtError);
  EXPECT_NE(Script.Shown[1].Text.find("disk on fire"), std::string::npos);
  QStringList sheets;
  for (int i = 0; i < Project().SheetCount(); ++i) sheets << ToQString(Project().GetSheet(i)->Data.Name);
  Nav->TV_ContainerExpanding(Tree().SheetsNode);
  EXPECT_EQ(ChildTexts(Tree().SheetsNode), sheets);
  EXPECT_EQ(Nav->Selected(), Tree().RootNode);
  Project().ClearTreeNodes(); // the failing node is not the tree's own
}

TEST_F(NavigatorTest, DraggingFromTheTreeCarriesTheSelectedItem) {
  Run();
  struct TCase {
    TNavNode* Node;
    bool Notes, Sheets, Attachments;
  };
  for (const TCase& c : std::vector<TCase>{{Node(SheetNode("Sheet 1"), "Note 2"), true, false, false},
                                           {SheetNode("Sheet 1"), false, true, false},
                                           {Node(Tree().AttachmentsNode, "Attachment 1"), false, false, true}}) {
    Select(c.Node);
    std::unique_ptr<TMultiDragObject> object = Nav->TV_ContainerStartDrag();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->SourceForm, Nav);
    EXPECT_EQ(object->Count(), 1);
    EXPECT_EQ(object->Items(0), c.Node->Item());
    EXPECT_EQ(dynamic_cast<TDragNotes*>(object.get()) != nullptr, c.Notes);
    EXPECT_EQ(dynamic_cast<TDragSheets*>(object.get()) != nullptr, c.Sheets);
    EXPECT_EQ(dynamic_cast<TDragAttach*>(object.get()) != nullptr, c.Attachments);
  }
  Select(Tree().NotesNode);
  EXPECT_EQ(Nav->TV_ContainerStartDrag(), nullptr);
}

TEST_F(NavigatorTest, DropsAreAcceptedOnlyOverTheNodesThatTakeThem) {
  Run();
  auto notes = Carrying(std::make_unique<TDragNotes>(nullptr), {Project().GetNote(0)});
  auto sheets = Carrying(std::make_unique<TDragSheets>(nullptr), {Project().GetSheet(0)});
  auto attachments = Carrying(std::make_unique<TDragAttach>(nullptr), {Project().GetAttachment(0)});
  TNavNode* sheet = SheetNode("Sheet 1");
  TNavNode* note = Node(sheet, "Note 2");
  EXPECT_TRUE(Nav->TV_ContainerDragOver(sheet, notes.get()));
  EXPECT_TRUE(Nav->TV_ContainerDragOver(sheet, sheets.get()));
  EXPECT_FALSE(Nav->TV_ContainerDragOver(sheet, attachments.get()));
  EXPECT_TRUE(Nav->TV_ContainerDragOver(note, attachments.get()));
  EXPECT_FALSE(Nav->TV_ContainerDragOver(note, notes.get()));
  EXPECT_FALSE(Nav->TV_ContainerDragOver(Tree().SheetsNode, notes.get()));
  EXPECT_FALSE(Nav->TV_ContainerDragOver(nullptr, notes.get()));
}

TEST_F(NavigatorTest, DroppingNotesAssignsThemToTheSheetUnlessTheyAreOnItAlready) {
  Run({2, 2});
  TNoteItem* loose = NewNote(Project(), "Loose");
  auto data = Carrying(std::make_unique<TDragNotes>(nullptr), {Project().GetNote(0), loose});
  Script.Answer(mrOk);
  Nav->TV_ContainerDragDrop(SheetNode("Sheet 2"), data.get());
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Text, "Note 1 is already positioned on Sheet 2 ...");
  EXPECT_EQ(Script.Shown[0].Type, TMsgDlgType::mtError);
  EXPECT_EQ(Project().GetNote(0)->PositionCount(), 2);
  ASSERT_NE(Project().FindPosition(loose, Project().GetSheet(1)), nullptr);
  EXPECT_FALSE(Project().FindPosition(loose, Project().GetSheet(1))->IsPlaced());
  EXPECT_EQ(ChildTexts(SheetNode("Sheet 2")), QStringList({"Note 1", "Note 2", "Loose"}));
}

TEST_F(NavigatorTest, DroppingAnAttachmentOnANoteAddsACopy) {
  Run();
  TAttachItem* original = Project().GetAttachment(0);
  auto data = Carrying(std::make_unique<TDragAttach>(nullptr), {original});
  Nav->TV_ContainerDragDrop(Node(SheetNode("Sheet 1"), "Note 2"), data.get());
  ASSERT_EQ(Project().AttachmentCount(), 2);
  EXPECT_EQ(Project().GetAttachment(1)->GetNote(), Project().GetNote(1));
  EXPECT_EQ(original->GetNote(), Project().GetNote(0));
  EXPECT_EQ(ChildTexts(NoteNode("Note 2")), QStringList({"Attachment 1"}));
  EXPECT_EQ(ChildTexts(Tree().AttachmentsNode), QStringList({"Attachment 1", "Attachment 1"}));
}

// Fault: a sheet dropped on itself became a note standing for itself on itself.
TEST_F(NavigatorTest, ASheetDroppedOnItselfMakesNoNote) {
  Run({2, 2});
  auto data = Carrying(std::make_unique<TDragSheets>(nullptr), {Project().GetSheet(0), Project().GetSheet(1)});
  Nav->TV_ContainerDragDrop(SheetNode("Sheet 1"), data.get());
  ASSERT_EQ(Project().NoteCount(), 3); // only the other sheet's note
  EXPECT_EQ(Project().GetNote(2)->GetAggregatedSheet(), Project().GetSheet(1));
  EXPECT_FALSE(Project().IsAggregatedOn(Project().GetSheet(0), Project().GetSheet(0)));
  EXPECT_TRUE(Script.Shown.empty());
}

TEST_F(NavigatorTest, DroppingASheetOnASheetAddsAnAggregationNoteOnce) {
  Run({2, 2});
  TSheetItem* dropped = Project().GetSheet(1);
  dropped->SetColor(clAqua);
  auto data = Carrying(std::make_unique<TDragSheets>(nullptr), {dropped});
  Opened(SheetNode("Sheet 1")); // its notes shown: the new one is added to them
  Nav->TV_ContainerDragDrop(SheetNode("Sheet 1"), data.get());
  TNoteItem* note = Project().GetNote(2);
  EXPECT_TRUE(note->IsAggregation());
  EXPECT_EQ(note->GetAggregatedSheet(), dropped);
  EXPECT_EQ(note->Data.Name, "Sheet 2");
  EXPECT_EQ(note->Data.Color, clAqua);
  EXPECT_TRUE(note->IsAssignedTo(Project().GetSheet(0)));
  EXPECT_EQ(NoteNode("Sheet 2")->ImageIndex(), 1);
  EXPECT_EQ(Node(SheetNode("Sheet 1"), "Sheet 2")->ImageIndex(), 1);

  Script.Answer(mrOk);
  Nav->TV_ContainerDragDrop(SheetNode("Sheet 1"), data.get());
  EXPECT_EQ(Script.Shown[0].Text, "Sheet 2 is already positioned on Sheet 1 as an aggregation note...");
  EXPECT_EQ(Project().NoteCount(), 3);
}

} // namespace
} // namespace qel::test
