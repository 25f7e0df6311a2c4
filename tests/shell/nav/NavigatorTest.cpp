// The navigator window: binding, property pages, tool buttons, menu, pane, expansion, labels.
#include "NavigatorFixture.h"
#include "platform/qt/QtConvert.h"
#include "windows/nav/AttachPoolProp.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/ContainerProp.h"
#include "windows/nav/NotePoolProp.h"
#include "windows/nav/SheetPoolProp.h"
#include "windows/props/NoteProp.h"
#include "windows/props/SheetProp.h"
#include "windows/richedit/RichEditURL.h"
#include "platform/RtfText.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTest>
#include <functional>

namespace qel::test {
namespace {

TEST_F(NavigatorTest, BindingBuildsTheTreeAndNewItemsOfTheProjectArriveAtOnce) {
  Run();
  EXPECT_EQ(Nav->Container, &Project());
  EXPECT_EQ(Nav->TV_Container->currentItem(), Tree().RootNode);
  EXPECT_EQ(Nav->PC_Property->currentWidget(), Nav->ContainerPage);
  EXPECT_EQ(Nav->ContainerPage->InfoText->text(), ToQString("Project - " + Project().FileName));
  EXPECT_EQ(ChildTexts(SheetNode("Sheet 1")), QStringList({"Note 1", "Note 2"}));

  Opened(Tree().NotesNode); // an opened branch takes new items at once
  TNoteItem* added = NewNote(Project(), "Added");
  EXPECT_EQ(Tree().LastAdded, NoteNode("Added"));
  Assign(Project(), added, SheetNamed("Sheet 1"), false);
  EXPECT_EQ(ChildTexts(SheetNode("Sheet 1")), QStringList({"Note 1", "Note 2", "Added"}));
  NewAttachment(Project(), added, "Paper");
  EXPECT_EQ(ChildTexts(NoteNode("Added")), QStringList({"Paper"}));
  EXPECT_EQ(Nav->ContainerPage->LB_NumNotes->text(), "2"); // the page follows once per turn
  QApplication::processEvents();
  EXPECT_EQ(Nav->ContainerPage->LB_NumNotes->text(), "3");

  Nav->RefreshProject(&Project(), false);
  EXPECT_EQ(Tree().RootNode->text(0), ToQString(Project().FileName));

  Nav->SetContainer(nullptr);
  EXPECT_EQ(Nav->TV_Container->topLevelItemCount(), 0);
  EXPECT_EQ(Nav->ContainerPage->Project, nullptr);
  NewNote(Project(), "Unbound"); // reaches no tree
  Nav->SetContainer(&Project());
  EXPECT_NE(NoteNode("Unbound"), nullptr);
}

TEST_F(NavigatorTest, TheSelectedNodeChoosesThePageTheToolButtonsAndTheMenu) {
  Run();
  TNoteItem* aggregation = NewNote(Project(), "Sheet 1", SheetNamed("Sheet 1"));
  Nav->SetContainer(&Project());
  struct TCase {
    TNavNode* Node;
    QWidget* Page;
    bool Attach, Open, OpenItem, Delete;
  };
  TNavNode* attachmentUnderNote = Node(NoteNode("Note 1"), "Attachment 1");
  const std::vector<TCase> cases = {
      {Tree().RootNode, Nav->ContainerPage, false, false, false, false},
      {Tree().SheetsNode, Nav->SheetPoolPage, false, false, false, false},
      {Tree().NotesNode, Nav->NotePoolPage, false, false, false, false},
      {Tree().AttachmentsNode, Nav->AttachPoolPage, false, false, false, false},
      {SheetNode("Sheet 1"), Nav->SheetPage, false, true, true, true},
      {NoteNode("Note 1"), Nav->NotePage, true, false, false, true},
      {Node(SheetNode("Sheet 1"), "Note 2"), Nav->NotePage, true, false, false, true},
      {Node(Tree().AttachmentsNode, "Attachment 1"), Nav->AttachPage, false, false, false, true},
      {attachmentUnderNote, Nav->AttachPage, true, false, false, true},
  };
  for (const TCase& c : cases) {
    Select(c.Node);
    SCOPED_TRACE(c.Node->text(0).toStdString());
    EXPECT_EQ(Nav->PC_Property->currentWidget(), c.Page);
    EXPECT_TRUE(Nav->TB_NewSheet->isEnabled());
    EXPECT_TRUE(Nav->TB_NewNote->isEnabled());
    EXPECT_EQ(Nav->TB_NewAttach->isEnabled(), c.Attach);
    EXPECT_EQ(Nav->TB_OpenActiveSheet->isEnabled(), c.Open);
    EXPECT_EQ(Nav->MI_Open->isVisible(), c.OpenItem);
    EXPECT_EQ(Nav->MI_Delete->isVisible(), c.Delete);
    EXPECT_EQ(Nav->N1->isVisible(), c.Delete);
  }
  EXPECT_EQ(Nav->AttachPage->GetItem(), Project().GetAttachment(0));
  Select(NoteNode("Note 2"));
  EXPECT_EQ(Nav->NotePage->GetItem(), Project().GetNote(1));
  Select(NoteNode("Sheet 1")); // a note standing for a sheet shows that sheet
  EXPECT_EQ(Nav->PC_Property->currentWidget(), Nav->SheetPage);
  EXPECT_EQ(Nav->SheetPage->GetItem(), aggregation->GetAggregatedSheet());
  EXPECT_EQ(Nav->LastShown, aggregation);
}

TEST_F(NavigatorTest, StoringEditsWritesTheShownPageIntoItsItem) {
  Run();
  Select(SheetNode("Sheet 1"));
  Nav->SheetPage->ED_Caption->setText("Typed");
  QELMain->StoreNavigatorEdits();
  EXPECT_EQ(SheetNamed("Typed"), Project().GetSheet(0));
  EXPECT_EQ(Tree().SheetsNode->child(0)->text(0), "Typed");
  Select(NoteNode("Note 2"));
  Nav->NotePage->ED_Caption->setText("Note Two");
  Nav->StoreProperties();
  EXPECT_EQ(Project().GetNote(1)->Data.Name, "Note Two");
  Select(Node(Tree().AttachmentsNode, "Attachment 1"));
  Nav->AttachPage->ED_Caption->setText("Letter");
  Nav->StoreProperties();
  EXPECT_EQ(Project().GetAttachment(0)->Data.Caption, "Letter");
}

// Fault: storing wrote the page of the selected node, hidden behind the shown one and holding
// an old copy of its item, over what the user had changed in another window meanwhile.
TEST_F(NavigatorTest, SavingStoresThePageThatIsShownNotTheSelectedNodesPage) {
  Run();
  TSheetItem* sheet = Project().GetSheet(0);
  sheet->SetWidth(9999);
  Select(SheetNode("Sheet 1"));
  Select(Tree().SheetsNode);
  Nav->SheetPoolPage->LV_Contents->topLevelItem(0)->setSelected(true);
  auto* window = qobject_cast<TSheetPrp*>(Nav->SheetPoolPage->LV_ContentsDblClick());
  ASSERT_NE(window, nullptr);
  window->ED_SheetWidth->selectAll();
  QTest::keyClicks(window->ED_SheetWidth, "1500");
  window->close(); // stores what was typed
  ASSERT_EQ(sheet->Data.Width, 1500);

  // The selection moves without its page (as a key that moves it does before it is released).
  Nav->TV_Container->setCurrentItem(SheetNode("Sheet 1"));
  QELMain->StoreNavigatorEdits();
  EXPECT_EQ(sheet->Data.Width, 1500);

  // A right click selects and shows the page at once, loaded from the item.
  Select(Tree().SheetsNode);
  const QRect place = Nav->TV_Container->visualItemRect(SheetNode("Sheet 1"));
  emit Nav->TV_Container->customContextMenuRequested(place.center());
  Nav->TV_PopUp->close();
  EXPECT_EQ(Nav->PC_Property->currentWidget(), Nav->SheetPage);
  EXPECT_EQ(Nav->SheetPage->ED_SheetWidth->text(), "1500");
  QELMain->StoreNavigatorEdits();
  EXPECT_EQ(sheet->Data.Width, 1500);

  // Home, End and the page keys move the selection: the page follows them too.
  Select(Tree().SheetsNode);
  Nav->TV_Container->setCurrentItem(Tree().RootNode);
  Nav->TV_ContainerKeyUp(Qt::Key_Home);
  EXPECT_EQ(Nav->PC_Property->currentWidget(), Nav->ContainerPage);
}

// Fault: each page took the focus when it was shown, so arrow keys left the tree and leaving
// the page's caption box stored it, marking items modified that nobody had changed.
TEST_F(NavigatorTest, ShowingPagesLeavesTheFocusInTheTreeAndChangesNothing) {
  Run();
  QApplication::setActiveWindow(QELMain);
  Nav->TV_Container->setFocus();
  Project().SetModified(false);
  for (TNavNode* node : {SheetNode("Sheet 1"), NoteNode("Note 1"), Node(Tree().AttachmentsNode, "Attachment 1"),
                         SheetNode("Sheet 1"), Tree().RootNode})
    Select(node);
  EXPECT_EQ(QApplication::focusWidget(), Nav->TV_Container);
  EXPECT_FALSE(Project().IsModified());
}

// Fault: a page that closed itself because its item was deleted stayed hidden for good.
TEST_F(NavigatorTest, APageWhoseItemWasDeletedShowsTheNextItemAgain) {
  Run({2, 2});
  Select(SheetNode("Sheet 1"));
  Project().GetSheet(0)->Delete(); // elsewhere, without telling the navigator
  Nav->StoreProperties();
  EXPECT_FALSE(Nav->SheetPage->isVisibleTo(Nav));
  Select(SheetNode("Sheet 2"));
  EXPECT_TRUE(Nav->SheetPage->isVisibleTo(Nav));
  EXPECT_EQ(Nav->SheetPage->ED_Caption->text(), "Sheet 2");
}

// Fault: the list of a branch was refilled only when the number of items differed, so it
// kept old names after a rename, and rows of deleted notes after a delete and an add.
TEST_F(NavigatorTest, ABranchListIsRefilledWheneverItsPoolChanged) {
  Run();
  Select(Tree().NotesNode);
  const auto rows = [this] {
    QStringList texts;
    for (int i = 0; i < Nav->NotePoolPage->RowCount(); ++i)
      texts << Nav->NotePoolPage->LV_Contents->topLevelItem(i)->text(0);
    return texts;
  };
  EXPECT_EQ(rows(), QStringList({"Note 1", "Note 2"}));
  QTreeWidgetItem* first = Nav->NotePoolPage->LV_Contents->topLevelItem(0);
  Select(Tree().NotesNode); // the same branch, nothing changed: the rows stay
  EXPECT_EQ(Nav->NotePoolPage->LV_Contents->topLevelItem(0), first);

  Project().GetNote(0)->SetName("Renamed");
  Select(Tree().NotesNode);
  EXPECT_EQ(rows(), QStringList({"Renamed", "Note 2"}));
  Project().GetNote(1)->Delete();
  NewNote(Project(), "Third"); // as many rows as before
  QApplication::processEvents(); // the page follows once per turn of the event loop
  EXPECT_EQ(rows(), QStringList({"Renamed", "Third"}));
  EXPECT_EQ(Nav->NotePoolPage->RowItem(1), Project().GetNote(1));

  Project().ResetViews(); // a search narrows the view
  Project().NotePool->Filtered = true;
  Project().NotePool->ExcludeFromView(Project().GetNote(0));
  Nav->RefreshItem(nullptr, false);
  EXPECT_EQ(rows(), QStringList({"Third"}));
  Project().NotePool->Filtered = false;
  Nav->RefreshItem(nullptr, false);
  EXPECT_EQ(rows(), QStringList({"Renamed", "Third"}));
}

// Fault: every note added while the list of notes was shown refilled the whole list.
TEST_F(NavigatorTest, NotesAddedWhileTheListIsShownAreAppendedOncePerTurn) {
  Run();
  Select(Tree().NotesNode);
  QTreeWidget* list = Nav->NotePoolPage->LV_Contents;
  QTreeWidgetItem* first = list->topLevelItem(0);
  NewNote(Project(), "Third");
  NewNote(Project(), "Fourth");
  EXPECT_EQ(Nav->NotePoolPage->RowCount(), 2); // not yet: once, when the event loop turns
  QApplication::processEvents();
  ASSERT_EQ(Nav->NotePoolPage->RowCount(), 4);
  EXPECT_EQ(list->topLevelItem(0), first); // appended, not refilled
  EXPECT_EQ(list->topLevelItem(3)->text(0), "Fourth");
  EXPECT_EQ(Nav->NotePoolPage->RowItem(3), Project().GetNote(3));

  // A row that no longer shows its item as it is makes the list refill.
  Project().GetNote(0)->SetName("Renamed");
  NewNote(Project(), "Fifth");
  QApplication::processEvents();
  EXPECT_EQ(list->topLevelItem(0)->text(0), "Renamed");
  Project().GetNote(1)->Delete();
  NewNote(Project(), "Sixth");
  NewNote(Project(), "Seventh");
  QApplication::processEvents();
  QStringList rows;
  for (int i = 0; i < list->topLevelItemCount(); ++i) rows << list->topLevelItem(i)->text(0);
  EXPECT_EQ(rows, QStringList({"Renamed", "Third", "Fourth", "Fifth", "Sixth", "Seventh"}));
}

TEST_F(NavigatorTest, HidingThePaneAndShowingItAgainRestoresAtLeastTheMinimum) {
  Run();
  QWidget* frame = Nav->parentWidget();
  const int shown = frame->width();
  Nav->TV_ContainerDblClick(); // the pane is shown: nothing changes
  EXPECT_EQ(frame->width(), shown);
  Nav->btn_togglepropClick();
  EXPECT_FALSE(Nav->PropertiesVisible());
  EXPECT_EQ(frame->width(), shown - Nav->PaneWidth);
  frame->resize(Nav->Panel1->width() + 20, frame->height()); // the pane left almost no room
  Nav->btn_togglepropClick();
  Nav->btn_togglepropClick();
  EXPECT_GE(Nav->PaneWidth, 349 + Nav->Splitter1->width());
  Nav->TV_ContainerDblClick();
  EXPECT_TRUE(Nav->PropertiesVisible());
  EXPECT_GE(Nav->PC_Property->width(), 349);
}

TEST_F(NavigatorTest, ExpandingRefusesNodesWithNothingToShow) {
  Run({2, 2});
  NewSheet(Project(), "Empty");
  TNoteItem* aggregation = NewNote(Project(), "Sheet 2", SheetNamed("Sheet 2"));
  NewAttachment(Project(), aggregation, "Map");
  NewNote(Project(), "Sheet 1", SheetNamed("Sheet 1"));
  Nav->SetContainer(&Project());
  EXPECT_TRUE(Nav->TV_ContainerExpanding(Tree().RootNode));
  EXPECT_TRUE(Nav->TV_ContainerExpanding(Tree().SheetsNode));
  EXPECT_TRUE(Nav->TV_ContainerExpanding(SheetNode("Sheet 1")));
  EXPECT_TRUE(Nav->TV_ContainerExpanding(NoteNode("Note 1")));
  EXPECT_FALSE(Nav->TV_ContainerExpanding(NoteNode("Note 2")));
  EXPECT_FALSE(Nav->TV_ContainerExpanding(SheetNode("Empty")));
  EXPECT_FALSE(Nav->TV_ContainerExpanding(ChildNamed<TNavNode>(Tree().NotesNode, "Sheet 1")));
  // An aggregation note whose attachments the build listed can be opened to show them.
  EXPECT_TRUE(Nav->TV_ContainerExpanding(NoteNode("Sheet 2")));

  Project().GetAttachment(1)->Delete();
  Project().GetAttachment(0)->Delete();
  Tree().AttachmentsNode->setExpanded(true); // through the view: refused and unmarked
  EXPECT_FALSE(Tree().AttachmentsNode->isExpanded());
  EXPECT_EQ(Tree().AttachmentsNode->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
  Nav->MI_CollapseClick();
  EXPECT_FALSE(Tree().RootNode->isExpanded());
}

TEST_F(NavigatorTest, EditingALabelRenamesTheItemEverywhere) {
  Run();
  TNavNode* underSheet = Node(SheetNode("Sheet 1"), "Note 1");
  Nav->TV_Container->setCurrentItem(underSheet);
  Nav->TV_Container->editItem(underSheet);
  auto* editor = Nav->TV_Container->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("Thought");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents(); // the edit is committed after the key
  EXPECT_EQ(Project().GetNote(0)->Data.Name, "Thought");
  EXPECT_EQ(ChildTexts(Tree().NotesNode), QStringList({"Thought", "Note 2"}));
  EXPECT_EQ(underSheet->text(0), "Thought");

  Nav->TV_ContainerEdited(SheetNode("Sheet 1"), "Plan");
  EXPECT_EQ(Project().GetSheet(0)->Data.Name, "Plan");
  Nav->TV_ContainerEdited(Node(Tree().AttachmentsNode, "Attachment 1"), "Letter");
  EXPECT_EQ(ChildTexts(NoteNode("Thought")), QStringList({"Letter"}));
  EXPECT_FALSE(Tree().RootNode->flags() & Qt::ItemIsEditable);
  EXPECT_FALSE(Tree().NotesNode->flags() & Qt::ItemIsEditable);
}

// Fault: after one click on a sheet its window had the keys, so F2 renamed nothing.
TEST_F(NavigatorTest, F2AfterOneClickRenamesTheNodeClicked) {
  Run({2, 2});
  QELMain->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(QELMain));
  const std::vector<std::pair<const char*, std::function<TNavNode*()>>> cases = {
      {"a sheet, whose window opens", [this] { return SheetNode("Sheet 1"); }},
      {"another sheet, whose window opens", [this] { return SheetNode("Sheet 2"); }},
      {"a sheet whose window is open", [this] { return SheetNode("Sheet 1"); }},
      {"a note under Notes", [this] { return NoteNode("Note 1"); }},
      {"a note under a sheet", [this] { return Node(SheetNode("Sheet 1"), "Note 2"); }},
  };
  for (const auto& [name, node] : cases) {
    TNavNode* clicked = node();
    Click(clicked);
    QWidget* keys = QApplication::focusWidget();
    ASSERT_NE(keys, nullptr) << name;
    QTest::keyClick(keys, Qt::Key_F2);
    EXPECT_TRUE(Nav->TV_Container->IsEditing()) << name;
    EXPECT_EQ(Nav->TV_Container->currentItem(), clicked) << name;
    if (auto* editor = qobject_cast<QLineEdit*>(Nav->TV_Container->indexWidget(Nav->TV_Container->currentIndex())))
      QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
  }
}

// Fault: renaming a note that stands for a sheet renamed only the note, and the next rename
// or deletion of any sheet put the sheet's name back on it without a word.
TEST_F(NavigatorTest, ANoteStandingForASheetAndItsSheetKeepOneName) {
  Run({2, 3});
  TSheetItem* target = SheetNamed("Sheet 1");
  TSheetItem* standsFor = SheetNamed("Sheet 2");
  TItemRef<TNoteItem> notes[2];
  for (int i = 0; i < 2; ++i) {
    TNote record;
    record.Kind = 0;
    record.Sheet = standsFor;
    record.Name = standsFor->Data.Name;
    notes[i] = Project().AddNote(record);
    Project().AssignNoteToSheet(notes[i].Get(), i == 0 ? target : SheetNamed("Sheet 3"));
  }
  struct TCase {
    const char* Renamed;
    std::function<TNavNode*()> Node;
  };
  const std::vector<TCase> cases = {
      {"the note under Notes", [this] { return Node(Tree().NotesNode, "Sheet 2"); }},
      {"the note under the sheet it stands on", [this] { return Node(SheetNode("Sheet 1"), "Plans"); }},
      {"the sheet", [this] { return SheetNode("Outline"); }},
  };
  const char* names[] = {"Plans", "Outline", "Draft"};
  for (size_t i = 0; i < cases.size(); ++i) {
    TNavNode* node = cases[i].Node();
    ASSERT_NE(node, nullptr) << cases[i].Renamed;
    Nav->TV_ContainerEdited(node, names[i]);
    EXPECT_EQ(standsFor->Data.Name, names[i]) << cases[i].Renamed;
    for (const TItemRef<TNoteItem>& note : notes) EXPECT_EQ(note->Data.Name, names[i]) << cases[i].Renamed;
    EXPECT_NE(SheetNode(names[i]), nullptr) << cases[i].Renamed;
    EXPECT_NE(Node(Tree().NotesNode, names[i]), nullptr) << cases[i].Renamed;
  }
  // Renaming and deleting other sheets leaves the name as it is.
  Nav->TV_ContainerEdited(SheetNode("Sheet 1"), "Elsewhere");
  Select(SheetNode("Sheet 3"));
  Script.Answer(mrYes);
  Nav->MI_DeleteClick();
  ASSERT_EQ(SheetNamed("Sheet 3"), nullptr);
  for (const TItemRef<TNoteItem>& note : notes) EXPECT_EQ(note->Data.Name, "Draft");
  EXPECT_EQ(standsFor->Data.Name, "Draft");
  // An ordinary note is renamed alone.
  Nav->TV_ContainerEdited(NoteNode("Note 1"), "Idea");
  EXPECT_EQ(Project().GetNote(0)->Data.Name, "Idea");
  EXPECT_EQ(standsFor->Data.Name, "Draft");
}

// Fault: "Modified" stayed on the note page after its text was stored into the note.
TEST_F(NavigatorTest, TheNotePageShowsModifiedOnlyUntilItsTextIsStored) {
  Run();
  Select(NoteNode("Note 1"));
  TNotePrp* page = Nav->NotePage;
  QLabel* mark = page->StatusPanels[1];
  EXPECT_EQ(mark->text(), "");
  for (const char* typed : {"first ", "second "}) {
    QTest::keyClicks(page->RichEditURL1, typed);
    EXPECT_EQ(mark->text(), "Modified") << typed;
    QELMain->StorePendingEdits();
    EXPECT_NE(RtfToPlainText(Project().GetNote(0)->Data.Text).find(typed), std::string::npos) << typed;
    EXPECT_EQ(mark->text(), "") << typed;
  }
  Select(NoteNode("Note 2")); // another note loaded: nothing modified
  EXPECT_EQ(mark->text(), "");
}

// Fault: a rename ending with an empty label (Delete pressed while the rename had started, then
// Enter) gave the item an empty name.
TEST_F(NavigatorTest, ARenameToAnEmptyLabelKeepsTheOldName) {
  Run();
  struct TCase {
    TNavNode* Node;
    std::function<std::string()> Name;
  };
  const std::vector<TCase> cases = {
      {SheetNode("Sheet 1"), [this] { return Project().GetSheet(0)->Data.Name; }},
      {Node(SheetNode("Sheet 1"), "Note 1"), [this] { return Project().GetNote(0)->Data.Name; }},
      {NoteNode("Note 2"), [this] { return Project().GetNote(1)->Data.Name; }},
      {Node(Tree().AttachmentsNode, "Attachment 1"), [this] { return Project().GetAttachment(0)->Data.Caption; }}};
  for (const TCase& c : cases)
    for (const char* typed : {"", "   "}) {
      const std::string before = c.Name();
      const QString shown = c.Node->text(0);
      Nav->TV_Container->setCurrentItem(c.Node);
      Nav->TV_Container->editItem(c.Node);
      auto* editor = qobject_cast<QLineEdit*>(Nav->TV_Container->indexWidget(Nav->TV_Container->currentIndex()));
      ASSERT_NE(editor, nullptr) << before;
      editor->setText(typed);
      QTest::keyClick(editor, Qt::Key_Return);
      QApplication::processEvents();
      EXPECT_EQ(c.Name(), before) << "typed \"" << typed << "\"";
      EXPECT_EQ(c.Node->text(0), shown);
    }
  EXPECT_FALSE(Project().IsModified());
}

// Fault: when the node being edited went with its item, the view handed the typed label to the
// half-destroyed node.
TEST_F(NavigatorTest, ALabelEditOfANodeWhoseItemWentIsDropped) {
  Run();
  TNavNode* node = NoteNode("Note 2");
  Nav->TV_Container->setCurrentItem(node);
  Nav->TV_Container->editItem(node);
  auto* editor = Nav->TV_Container->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("Typed");
  int handed = 0; // labels handed on while the node goes
  const auto onEdited = Nav->TV_Container->OnEdited;
  Nav->TV_Container->OnEdited = [&handed](QTreeWidgetItem*, const QString&) { ++handed; };
  Project().GetNote(1)->Delete(); // elsewhere, while the label is edited
  QApplication::processEvents();
  Nav->TV_Container->OnEdited = onEdited;
  EXPECT_EQ(handed, 0);
  EXPECT_FALSE(Nav->TV_Container->IsEditing());
  EXPECT_EQ(ChildTexts(Tree().NotesNode), QStringList({"Note 1"}));
  EXPECT_EQ(Project().GetNote(0)->Data.Name, "Note 1");
  EXPECT_EQ(Project().GetSheet(0)->Data.Name, "Sheet 1");
  Nav->TV_Container->FinishEditing(); // nothing left to commit
  EXPECT_EQ(Project().NoteCount(), 1);
}

// Fault: renaming a sheet in the tree left the notes that stand for it under the old name.
TEST_F(NavigatorTest, RenamingASheetInTheTreeRenamesTheNotesThatStandForIt) {
  Run({2, 2});
  TNoteItem* standsFor = NewNote(Project(), "Sheet 1", Project().GetSheet(0));
  Assign(Project(), standsFor, Project().GetSheet(1), true);
  Nav->SetContainer(&Project());
  Nav->TV_ContainerEdited(SheetNode("Sheet 1"), "Plan");
  EXPECT_EQ(standsFor->Data.Name, "Plan");
  EXPECT_EQ(ChildTexts(Tree().NotesNode), QStringList({"Note 1", "Note 2", "Plan"}));
  EXPECT_EQ(ChildTexts(SheetNode("Sheet 2")), QStringList({"Note 1", "Note 2", "Plan"}));
}

// Fault: after Save As the root kept the old file name.
TEST_F(NavigatorTest, TheRootShowsTheNewFileNameAfterSaveAs) {
  Run();
  const std::string name = Root + "other/Renamed.qel";
  QDir().mkpath(ToQString(Root + "other"));
  Script.AnswerSave(true, name);
  QELMain->MI_FileSaveAsClick();
  EXPECT_EQ(Tree().RootNode->text(0), ToQString(Project().FileName));
  EXPECT_TRUE(Tree().RootNode->text(0).endsWith("Renamed.qel"));
}

TEST_F(NavigatorTest, TheProjectPageCountsSheetsNotesLinksAndAttachmentsOfTheView) {
  Run({3, 1, 1, 2});
  const auto counts = [this] {
    Select(Tree().RootNode);
    TContainerPrp* page = Nav->ContainerPage;
    return std::vector<QString>{page->LB_NumSheets->text(), page->LB_NumNotes->text(), page->LB_NumRelations->text(),
                                page->LB_NumAttach->text()};
  };
  EXPECT_EQ(counts(), (std::vector<QString>{"1", "3", "2", "1"}));
  Project().NewLink(Project().GetNote(0), Project().GetNote(2), Project().GetRelation(0), Project().GetSheet(0));
  Project().AddRelation(TRelation());
  EXPECT_EQ(counts(), (std::vector<QString>{"1", "3", "3", "1"}));
  Project().ResetViews();
  Project().NotePool->Filtered = true;
  Project().NotePool->ExcludeFromView(Project().GetNote(0));
  EXPECT_EQ(counts(), (std::vector<QString>{"1", "2", "3", "1"}));
  Project().ClearFilters();
}

} // namespace
} // namespace qel::test
