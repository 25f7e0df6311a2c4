// The navigator's tree on a bare tree view: layout, registrations, lazy fill and new items.
#include "GuiTest.h"
#include "NavTestSupport.h"
#include "windows/nav/NavTree.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

namespace qel::test {
namespace {

class NavTreeTest : public ::testing::Test {
protected:
  TNavNode* Node(const QTreeWidgetItem* parent, const std::string& text) { return ChildNamed<TNavNode>(parent, text); }
  // Binds the project and opens every node, as a user who expanded them all sees the tree.
  void Build() {
    Tree.SetView(&Project, &View);
    Tree.FillAll();
  }
  void Rebuild() {
    Tree.Rebuild();
    Tree.FillAll();
  }

  const bool App = (EnsureApplication(), true);
  TContainer Project; // outlives the view and the tree
  QTreeWidget View;
  TNavTree Tree;
};

TEST_F(NavTreeTest, AnEmptyProjectShowsTheRootAndThreeBranchesWithExpandButtons) {
  Build();
  ASSERT_EQ(View.topLevelItemCount(), 1);
  TNavNode* root = Tree.RootNode;
  EXPECT_EQ(root->text(0), "Noname.qel");
  EXPECT_EQ(root->Project(), &Project);
  EXPECT_EQ(root->ImageIndex(), 0);
  EXPECT_EQ(View.currentItem(), root);
  EXPECT_EQ(ChildTexts(root), QStringList({"Attachments", "Notes", "Sheets"}));
  const std::vector<std::pair<TNavNode*, int>> branches = {
      {Tree.AttachmentsNode, 3}, {Tree.NotesNode, 2}, {Tree.SheetsNode, 1}};
  for (const auto& [branch, image] : branches) {
    EXPECT_EQ(branch->ImageIndex(), image);
    EXPECT_EQ(branch->childCount(), 0);
    EXPECT_EQ(branch->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
  }
  EXPECT_EQ(Tree.AttachmentsNode->Pool(), Project.AttachPool.get());
  EXPECT_EQ(Tree.LastAdded, nullptr);

  Tree.SetView(nullptr, &View); // unbinding empties the view
  EXPECT_EQ(View.topLevelItemCount(), 0);
  EXPECT_EQ(Tree.RootNode, nullptr);
}

TEST_F(NavTreeTest, TheFullBuildShowsEachNoteUnderNotesAndUnderEverySheetItIsOn) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TSheetItem* draft = NewSheet(Project, "Draft");
  TNoteItem* idea = NewNote(Project, "Idea");
  TNoteItem* loose = NewNote(Project, "Loose");
  TNoteItem* planNote = NewNote(Project, "Plan", plan);
  Assign(Project, idea, plan, true);
  Assign(Project, idea, draft, false);
  Assign(Project, planNote, draft, true);
  Assign(Project, loose, draft, false);
  TAttachItem* file = NewAttachment(Project, idea, "File");
  NewAttachment(Project, planNote, "Map");
  Build();

  TNavNode* planNode = Node(Tree.SheetsNode, "Plan");
  TNavNode* draftNode = Node(Tree.SheetsNode, "Draft");
  EXPECT_EQ(ChildTexts(Tree.SheetsNode), QStringList({"Plan", "Draft"}));
  EXPECT_EQ(ChildTexts(planNode), QStringList({"Idea"}));
  EXPECT_EQ(ChildTexts(draftNode), QStringList({"Idea", "Plan", "Loose"}));
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"Idea", "Loose", "Plan"}));
  EXPECT_EQ(ChildTexts(Tree.AttachmentsNode), QStringList({"File", "Map"}));
  EXPECT_EQ(ChildTexts(Node(Tree.NotesNode, "Idea")), QStringList({"File"}));
  EXPECT_EQ(ChildTexts(Node(Tree.NotesNode, "Plan")), QStringList({"Map"})); // aggregation notes too

  // Placed 4, assigned only 2, an aggregation note placed 1; under Notes 2, or 1 for a sheet.
  EXPECT_EQ(Node(planNode, "Idea")->ImageIndex(), 4);
  EXPECT_EQ(static_cast<TNavNode*>(draftNode->child(0))->ImageIndex(), 2);
  EXPECT_EQ(static_cast<TNavNode*>(draftNode->child(1))->ImageIndex(), 1);
  EXPECT_EQ(Node(Tree.NotesNode, "Idea")->ImageIndex(), 2);
  EXPECT_EQ(Node(Tree.NotesNode, "Plan")->ImageIndex(), 1);
  EXPECT_EQ(Node(planNode, "Idea")->Note(), idea); // the note, not its position

  // Every item node is registered once, positions for the notes under sheets.
  EXPECT_EQ(idea->TreeNodeCount(), 1);
  EXPECT_EQ(plan->TreeNodeCount(), 1);
  EXPECT_EQ(file->TreeNodeCount(), 2);
  EXPECT_EQ(Project.FindPosition(idea, draft)->TreeNodeCount(), 1);
  EXPECT_EQ(Project.PosTreePool->Count(), 4);
  EXPECT_EQ(idea->GetTreeNode(0)->Data.Node, Node(Tree.NotesNode, "Idea"));
}

TEST_F(NavTreeTest, RenamesPlacingAndDeletionsReachTheNodesWithoutARebuild) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TSheetItem* draft = NewSheet(Project, "Draft");
  TNoteItem* idea = NewNote(Project, "Idea");
  TNoteItem* other = NewNote(Project, "Other");
  Assign(Project, idea, plan, false);
  Assign(Project, idea, draft, true);
  Assign(Project, other, plan, true);
  TAttachItem* file = NewAttachment(Project, idea, "File");
  Build();

  idea->SetName("Thought");
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"Thought", "Other"}));
  EXPECT_EQ(ChildTexts(Node(Tree.SheetsNode, "Plan")), QStringList({"Thought", "Other"}));
  EXPECT_EQ(ChildTexts(Node(Tree.SheetsNode, "Draft")), QStringList({"Thought"}));
  file->SetCaption("Document");
  EXPECT_EQ(ChildTexts(Tree.AttachmentsNode), QStringList({"Document"}));
  EXPECT_EQ(ChildTexts(Node(Tree.NotesNode, "Thought")), QStringList({"Document"}));
  plan->SetName("Scheme");
  EXPECT_EQ(ChildTexts(Tree.SheetsNode), QStringList({"Scheme", "Draft"}));

  TNavNode* unplaced = Node(Node(Tree.SheetsNode, "Scheme"), "Thought");
  ASSERT_NE(unplaced, nullptr);
  EXPECT_EQ(unplaced->ImageIndex(), 2);
  Project.PlaceNote(idea, plan, 30, 30);
  EXPECT_EQ(unplaced->ImageIndex(), 4);

  Project.FindPosition(idea, draft)->Delete(); // only that sheet's node goes
  EXPECT_EQ(Node(Tree.SheetsNode, "Draft")->childCount(), 0);
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"Thought", "Other"}));

  idea->Delete(); // the note, its places and its attachment
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"Other"}));
  EXPECT_EQ(ChildTexts(Node(Tree.SheetsNode, "Scheme")), QStringList({"Other"}));
  EXPECT_EQ(Tree.AttachmentsNode->childCount(), 0);

  plan->Delete();
  EXPECT_EQ(ChildTexts(Tree.SheetsNode), QStringList({"Draft"}));
  EXPECT_EQ(Project.PosTreePool->Count(), 0);
  EXPECT_EQ(Project.NoteTreePool->Count(), 1);
}

TEST_F(NavTreeTest, NewItemsAreAppendedAndRegistered) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TNoteItem* idea = NewNote(Project, "Idea");
  Build();

  TSheetItem* draft = NewSheet(Project, "Draft");
  EXPECT_EQ(Tree.AddSheet(draft), Tree.LastAdded);
  EXPECT_EQ(ChildTexts(Tree.SheetsNode), QStringList({"Plan", "Draft"}));
  TNoteItem* draftNote = NewNote(Project, "Draft", draft);
  EXPECT_EQ(Tree.AddNote(draftNote)->ImageIndex(), 1);
  EXPECT_EQ(draftNote->TreeNodeCount(), 1);

  // Under the sheet: not placed 2, placed 4, an aggregation note 1 even when not placed.
  EXPECT_EQ(Tree.AddPosition(Assign(Project, idea, plan, false))->ImageIndex(), 2);
  EXPECT_EQ(Tree.AddPosition(Assign(Project, idea, draft, true))->ImageIndex(), 4);
  TNavNode* added = Tree.AddPosition(Assign(Project, draftNote, plan, false));
  EXPECT_EQ(added->ImageIndex(), 1);
  EXPECT_EQ(added->parent(), Node(Tree.SheetsNode, "Plan"));
  EXPECT_EQ(Tree.LastAdded, added);

  TAttachItem* file = NewAttachment(Project, idea, "File");
  TNavNode* underNote = Tree.AddAttachment(file);
  EXPECT_EQ(underNote->parent(), Node(Tree.NotesNode, "Idea"));
  EXPECT_EQ(Tree.LastAdded, underNote);
  EXPECT_EQ(ChildTexts(Tree.AttachmentsNode), QStringList({"File"}));
  EXPECT_EQ(file->TreeNodeCount(), 2);
}

TEST_F(NavTreeTest, AnUnplacedAggregationNoteShowsImage2WhenBuiltAnd1WhenAdded) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TSheetItem* draft = NewSheet(Project, "Draft");
  Assign(Project, NewNote(Project, "Plan", plan), draft, false);
  Build();
  EXPECT_EQ(static_cast<TNavNode*>(Node(Tree.SheetsNode, "Draft")->child(0))->ImageIndex(), 2);
  TSheetItem* third = NewSheet(Project, "Third");
  Tree.AddSheet(third);
  EXPECT_EQ(Tree.AddPosition(Assign(Project, Project.GetNote(0), third, false))->ImageIndex(), 1);
}

TEST_F(NavTreeTest, ExpandingFillsOnlyNodesWithoutChildrenSoNothingIsDuplicated) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  NewSheet(Project, "Empty");
  TNoteItem* idea = NewNote(Project, "Idea");
  NewNote(Project, "Plan", plan);
  NewNote(Project, "Bare");
  Assign(Project, idea, plan, true);
  NewAttachment(Project, idea, "File");
  Build();

  // Nodes taken away by the view drop their registrations.
  TNavNode* ideaNode = Node(Tree.NotesNode, "Idea");
  qDeleteAll(ideaNode->takeChildren());
  EXPECT_EQ(Project.AttachPool->GetItem(0)->TreeNodeCount(), 1);
  Tree.ExpandNode(ideaNode);
  Tree.ExpandNode(ideaNode);
  EXPECT_EQ(ChildTexts(ideaNode), QStringList({"File"}));
  EXPECT_EQ(Project.AttachPool->GetItem(0)->TreeNodeCount(), 2);

  qDeleteAll(Tree.NotesNode->takeChildren());
  qDeleteAll(Tree.SheetsNode->takeChildren());
  EXPECT_EQ(Project.NoteTreePool->Count(), 0);
  EXPECT_EQ(Project.PosTreePool->Count(), 0);
  Tree.ExpandNode(Tree.NotesNode);
  Tree.ExpandNode(Tree.SheetsNode);
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"Idea", "Plan", "Bare"}));
  EXPECT_EQ(ChildTexts(Tree.SheetsNode), QStringList({"Plan", "Empty"}));
  // A lazy fill adds one level and marks what can be expanded further.
  EXPECT_EQ(Node(Tree.NotesNode, "Idea")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
  EXPECT_EQ(Node(Tree.NotesNode, "Plan")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
  EXPECT_EQ(Node(Tree.NotesNode, "Bare")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
  EXPECT_EQ(Node(Tree.SheetsNode, "Plan")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
  EXPECT_EQ(Node(Tree.SheetsNode, "Empty")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
  EXPECT_EQ(Node(Tree.SheetsNode, "Plan")->childCount(), 0);
  Tree.ExpandNode(Node(Tree.SheetsNode, "Plan"));
  EXPECT_EQ(Node(Node(Tree.SheetsNode, "Plan"), "Idea")->ImageIndex(), 4);
  EXPECT_EQ(Project.NoteTreePool->Count(), 3);
  EXPECT_EQ(Project.PosTreePool->Count(), 1);
}

TEST_F(NavTreeTest, ASearchFilterListsOnlyTheItemsInItsView) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TSheetItem* hidden = NewSheet(Project, "Hidden");
  TNoteItem* idea = NewNote(Project, "Idea");
  TNoteItem* other = NewNote(Project, "Other");
  Project.ResetViews();
  Project.SheetPool->Filtered = true;
  Project.SheetPool->ExcludeFromView(hidden);
  Project.NotePool->Filtered = true;
  Project.NotePool->ExcludeFromView(other);
  Build();
  EXPECT_EQ(ChildTexts(Tree.SheetsNode), QStringList({"Plan"}));
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"Idea"}));

  // Items whose sheet or note is outside the view have no parent node to go under.
  EXPECT_EQ(Tree.AddPosition(Assign(Project, idea, hidden, true)), nullptr);
  TNavNode* added = Tree.AddAttachment(NewAttachment(Project, other, "File"));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->parent(), Tree.AttachmentsNode);
  EXPECT_EQ(Tree.AddPosition(Assign(Project, idea, plan, true))->parent(), Node(Tree.SheetsNode, "Plan"));
}

TEST_F(NavTreeTest, BindingMakesOnlyTheRootAndTheBranchesAndExpandingMakesOneLevel) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TNoteItem* idea = NewNote(Project, "Idea");
  Assign(Project, idea, plan, true);
  NewAttachment(Project, idea, "File");
  Tree.SetView(&Project, &View);
  EXPECT_EQ(ChildTexts(Tree.RootNode), QStringList({"Attachments", "Notes", "Sheets"}));
  for (TNavNode* branch : {Tree.AttachmentsNode, Tree.NotesNode, Tree.SheetsNode}) {
    EXPECT_EQ(branch->childCount(), 0);
    EXPECT_EQ(branch->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
  }
  EXPECT_EQ(Project.NoteTreePool->Count() + Project.SheetTreePool->Count() + Project.PosTreePool->Count() +
                Project.AttachTreePool->Count(),
            0);

  // Renames and deletions reach only nodes that exist; nothing is made for them.
  idea->SetName("Thought");
  EXPECT_EQ(Tree.NotesNode->childCount(), 0);

  Tree.ExpandNode(Tree.SheetsNode);
  EXPECT_EQ(ChildTexts(Tree.SheetsNode), QStringList({"Plan"}));
  EXPECT_EQ(Node(Tree.SheetsNode, "Plan")->childCount(), 0);
  EXPECT_EQ(Project.SheetTreePool->Count(), 1);
  EXPECT_EQ(Project.PosTreePool->Count(), 0);
  Tree.ExpandNode(Node(Tree.SheetsNode, "Plan"));
  EXPECT_EQ(ChildTexts(Node(Tree.SheetsNode, "Plan")), QStringList({"Thought"}));
  EXPECT_EQ(Project.NoteTreePool->Count(), 0); // the Notes branch is still closed
}

TEST_F(NavTreeTest, NewItemsGoOnlyUnderFilledParentsAndTheOthersShowAnExpandButton) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TSheetItem* draft = NewSheet(Project, "Draft");
  TNoteItem* idea = NewNote(Project, "Idea");
  Assign(Project, idea, plan, true);
  Tree.SetView(&Project, &View);
  EXPECT_EQ(Tree.AddNote(NewNote(Project, "Closed")), nullptr);
  EXPECT_EQ(Tree.LastAdded, nullptr);
  EXPECT_EQ(Tree.NotesNode->childCount(), 0);

  Tree.ExpandNode(Tree.SheetsNode);
  TNavNode* planNode = Node(Tree.SheetsNode, "Plan");
  EXPECT_EQ(planNode->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
  EXPECT_EQ(Tree.AddPosition(Assign(Project, NewNote(Project, "Later"), plan, false)), nullptr);
  Tree.ExpandNode(planNode);
  EXPECT_EQ(ChildTexts(planNode), QStringList({"Idea", "Later"}));
  EXPECT_NE(Tree.AddPosition(Assign(Project, NewNote(Project, "Last"), plan, false)), nullptr);
  EXPECT_EQ(ChildTexts(planNode), QStringList({"Idea", "Later", "Last"}));

  // A node with nothing to list takes new children at once, also after it was emptied.
  TNavNode* draftNode = Node(Tree.SheetsNode, "Draft");
  EXPECT_EQ(draftNode->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
  EXPECT_NE(Tree.AddPosition(Assign(Project, idea, draft, true)), nullptr);
  EXPECT_EQ(ChildTexts(draftNode), QStringList({"Idea"}));
  Project.FindPosition(idea, draft)->Delete();
  EXPECT_EQ(draftNode->childCount(), 0);
  Tree.AddPosition(Assign(Project, idea, draft, false));
  EXPECT_EQ(ChildTexts(draftNode), QStringList({"Idea"}));
}

TEST_F(NavTreeTest, AskingForAnItemsNodeMakesItAndItsSiblingsOnce) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TNoteItem* idea = NewNote(Project, "Idea");
  NewNote(Project, "Other");
  TPosItem* place = Assign(Project, idea, plan, true);
  Tree.SetView(&Project, &View);

  TNavNode* node = Tree.NodeOf(idea);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->parent(), Tree.NotesNode);
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"Idea", "Other"}));
  EXPECT_EQ(Tree.NodeOf(idea), node);
  EXPECT_EQ(idea->TreeNodeCount(), 1);

  TNavNode* underSheet = Tree.NodeOf(place);
  ASSERT_NE(underSheet, nullptr);
  EXPECT_EQ(underSheet->parent(), Node(Tree.SheetsNode, "Plan"));
  EXPECT_EQ(underSheet->Note(), idea);
  EXPECT_EQ(Tree.Reveal(idea, Tree.SheetsNode), nullptr); // not listed there
  Tree.SetView(nullptr, &View);
  EXPECT_EQ(Tree.NodeOf(idea), nullptr);
}

// Rebinding the same project (after an import) must not leave entries for nodes that are gone.
TEST_F(NavTreeTest, RebuildingForTheSameProjectRenewsEveryRegistration) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TNoteItem* idea = NewNote(Project, "Idea");
  Assign(Project, idea, plan, true);
  Build();
  Rebuild();
  Rebuild();
  EXPECT_EQ(idea->TreeNodeCount(), 1);
  EXPECT_EQ(Project.NoteTreePool->Count() + Project.SheetTreePool->Count() + Project.PosTreePool->Count(), 3);
  idea->SetName("Thought");
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"Thought"}));
  plan->Delete();
  EXPECT_EQ(Tree.SheetsNode->childCount(), 0);
}

// Fault: nodes cleared by the view, or entries dropped by the project, left dangling pointers
// behind that a rename or deletion then used.
TEST_F(NavTreeTest, NodesAndEntriesThatGoOnEitherSideAreNeverUsedAgain) {
  TSheetItem* plan = NewSheet(Project, "Plan");
  TNoteItem* idea = NewNote(Project, "Idea");
  Assign(Project, idea, plan, true);
  Build();
  Tree.AddNote(NewNote(Project, "New"));
  View.clear();
  EXPECT_EQ(Tree.RootNode, nullptr);
  EXPECT_EQ(Tree.NotesNode, nullptr);
  EXPECT_EQ(Tree.LastAdded, nullptr);
  EXPECT_EQ(Tree.AddNote(NewNote(Project, "Later")), nullptr);
  EXPECT_EQ(idea->TreeNodeCount(), 0);
  idea->SetName("Thought");
  plan->Delete();

  Rebuild();
  Project.ClearTreeNodes(); // the project lets go first; the nodes still stand
  NewNote(Project, "Gone")->Delete();
  Project.GetNote(0)->Delete();
  EXPECT_EQ(ChildTexts(Tree.NotesNode).size(), 3); // not told, so the nodes stay until a rebuild
  Rebuild();
  EXPECT_EQ(ChildTexts(Tree.NotesNode), QStringList({"New", "Later"}));
}

} // namespace
} // namespace qel::test
