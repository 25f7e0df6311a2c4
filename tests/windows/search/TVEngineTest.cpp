// The results tree as the engine builds it from the filtered pools.
#include "windows/search/TVEngine.h"
#include "GuiTest.h"
#include "tests/search/SearchFixture.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "windows/Icons.h"

#include <QTemporaryDir>
#include <QTreeWidget>

namespace qel {
namespace {

class TVEngineTest : public SearchFixture {
protected:
  // Searches the scope and builds the tree of its kinds, as the search window does.
  TResultNode* Build(const char* scope) {
    Search.Search(scope);
    const std::string kind = scope;
    Engine.ShowSheets = kind == "Global" || kind == "Sheets";
    Engine.ShowNotes = kind == "Global" || kind == "Notes";
    Engine.ShowAttachments = kind == "Global" || kind == "Attachments";
    Tree.clear();
    Engine.Refresh();
    Project.ClearFilters();
    return Root();
  }
  TResultNode* Root() const { return static_cast<TResultNode*>(Tree.topLevelItem(0)); }
  static std::vector<std::string> Texts(const TResultNode* node) {
    std::vector<std::string> texts;
    for (int i = 0; i < node->childCount(); ++i)
      texts.push_back(node->child(i)->text(0).toStdString());
    return texts;
  }
  static std::vector<int> Images(const TResultNode* node) {
    std::vector<int> images;
    for (int i = 0; i < node->childCount(); ++i)
      images.push_back(node->Child(i)->ImageIndex);
    return images;
  }

  bool App = (test::EnsureApplication(), true); // before the first widget
  QTreeWidget Tree;
  QList<QIcon> Icons = NavigatorImages();
  TTVEngine Engine{&Project, &Tree, &Icons};
};

TEST_F(TVEngineTest, EmptyHitsStillGiveTheRootAndTheShownBranches) {
  AddNote("Alpha");
  Search.SetNoteCaption1("zzz");
  Search.SetNoteCaptionActive1(true);
  TResultNode* root = Build("Global");
  ASSERT_EQ(Tree.topLevelItemCount(), 1);
  EXPECT_EQ(root->text(0), "Noname.qel");
  EXPECT_EQ(root->Project, &Project);
  EXPECT_EQ(root->ImageIndex, 0);
  EXPECT_EQ(Texts(root), (Names{"Sheets", "Notes", "Attachments"}));
  EXPECT_EQ(Images(root), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(root->Child(1)->Pool, Project.NotePool.get());
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(root->child(i)->childCount(), 0);
  EXPECT_EQ(Tree.currentItem(), root);
  EXPECT_TRUE(root->isExpanded());

  Project.FileName = "/some/folder/Plans.qel";
  EXPECT_EQ(Texts(Build("Sheets")), (Names{"Sheets"}));
  EXPECT_EQ(Root()->text(0), "Plans.qel");
  EXPECT_EQ(Texts(Build("Attachments")), (Names{"Attachments"}));
}

TEST_F(TVEngineTest, SheetHitListsTheNotesOfAllItsPositionsWithTheirLooks) {
  TSheetItem* sheet = AddSheet("Plan");
  TSheetItem* other = AddSheet("Other");
  TNoteItem* placed = AddNote("Placed");
  TNoteItem* assigned = AddNote("Assigned");
  TNoteItem* aggregation = AddAggregationNote(Project, other);
  Project.PlaceNote(placed, sheet, 10, 10);
  Project.AssignNoteToSheet(assigned, sheet);
  Project.PlaceNote(aggregation, sheet, 100, 10);
  Search.SetSheetCaption1("plan");
  Search.SetSheetCaptionActive1(true);
  TResultNode* sheets = Build("Sheets")->Child(0);
  ASSERT_EQ(Texts(sheets), (Names{"Plan"}));
  TResultNode* hit = sheets->Child(0);
  EXPECT_EQ(hit->ItemAs<TSheetItem>(), sheet);
  EXPECT_EQ(hit->ImageIndex, 1);
  EXPECT_EQ(Texts(hit), (Names{"Placed", "Assigned", "Other"}));
  EXPECT_EQ(Images(hit), (std::vector<int>{4, 2, 1}));
  EXPECT_EQ(hit->Child(2)->ItemAs<TNoteItem>(), aggregation);
  EXPECT_TRUE(hit->isExpanded());
}

TEST_F(TVEngineTest, GlobalSearchListsANoteUnderEachPlaceItStands) {
  TSheetItem* sheet = AddSheet("Travel");
  TNoteItem* note = AddNote("Travel plans");
  AddNote("Shopping");
  Project.PlaceNote(note, sheet, 0, 0);
  AddAttachment(note, "Travel tickets", "https://example.org/tickets");
  AddAttachment(note, "Map", "");
  Search.SetNoteCaption1("travel");
  Search.SetNoteCaptionActive1(true);
  Search.SetSheetCaption1("travel");
  Search.SetSheetCaptionActive1(true);
  Search.SetAttachmentCaption1("travel");
  Search.SetAttachmentCaptionActive1(true);
  TResultNode* root = Build("Global");
  TResultNode* sheets = root->Child(0);
  TResultNode* notes = root->Child(1);
  TResultNode* attachments = root->Child(2);
  EXPECT_EQ(Texts(sheets->Child(0)), (Names{"Travel plans"}));
  EXPECT_EQ(Texts(notes), (Names{"Travel plans"}));
  EXPECT_EQ(Images(notes), (std::vector<int>{2}));
  EXPECT_EQ(Texts(notes->Child(0)), (Names{"Travel tickets", "Map"}));
  EXPECT_EQ(Texts(attachments), (Names{"Travel tickets"}));
  EXPECT_EQ(Texts(attachments->Child(0)), (Names{"Travel plans"}));
  EXPECT_EQ(attachments->Child(0)->Child(0)->ItemAs<TNoteItem>(), note);
  EXPECT_EQ(attachments->Child(0)->ImageIndex, 3) << "a URL has no file icon";
  // The pools are unfiltered again, and the tree lists the hits in view order.
  EXPECT_EQ(Notes(), (Names{"Travel plans", "Shopping"}));
}

TEST_F(TVEngineTest, AnExistingFileShowsItsIconAddedBehindTheItemIcons) {
  QTemporaryDir folder;
  const std::string file = FromQString(folder.path()) + "/report.txt";
  WriteFileBytes(file, "text");
  TNoteItem* note = AddNote("Note");
  AddAttachment(note, "Report", file);
  AddAttachment(note, "Missing", file + ".gone");
  TResultNode* attachments = Build("Attachments")->Child(0);
  EXPECT_EQ(Images(attachments), (std::vector<int>{9, 3}));
  EXPECT_EQ(attachments->Child(0)->SelectedIndex, 10);
  EXPECT_EQ(attachments->Child(1)->SelectedIndex, 3);
  EXPECT_EQ(Icons.size(), 11);
  // Each refresh trims the icons of the one before.
  Icons.append(QIcon());
  Build("Attachments");
  EXPECT_EQ(Icons.size(), 11);
  EXPECT_EQ(Root()->Child(0)->Child(0)->ImageIndex, 9);
}

TEST_F(TVEngineTest, NodesForgetItemsDeletedAfterTheRefresh) {
  TNoteItem* note = AddNote("Gone soon");
  AddNote("Stays");
  TResultNode* notes = Build("Notes")->Child(0);
  note->Delete();
  EXPECT_EQ(notes->Child(0)->ItemAs<TNoteItem>(), nullptr);
  EXPECT_EQ(notes->Child(0)->text(0), "Gone soon") << "the tree shows the project as it was";
  EXPECT_NE(notes->Child(1)->ItemAs<TNoteItem>(), nullptr);
}

// Fault: a hit deleted since the search looked like any other, though it no longer opens.
TEST_F(TVEngineTest, HitsDeletedSinceTheSearchAreDrawnGrey) {
  TNoteItem* note = AddNote("Gone soon");
  AddNote("Stays");
  TResultNode* root = Build("Notes");
  TResultNode* notes = root->Child(0);
  const auto grey = [](const TResultNode* node) { return node->data(0, Qt::ForegroundRole) == QColor(Qt::gray); };
  EXPECT_FALSE(grey(notes->Child(0)));
  note->Delete();
  EXPECT_TRUE(grey(notes->Child(0)));
  EXPECT_FALSE(grey(notes->Child(1)));
  EXPECT_FALSE(grey(root)) << "the root and the branches show no item";
  EXPECT_FALSE(grey(notes));
}

} // namespace
} // namespace qel
