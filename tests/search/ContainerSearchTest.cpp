#include "SearchFixture.h"

namespace qel {
namespace {

// Pattern 1 or 2 of all six text groups, switched on, as a global search sets them.
void SetGlobalText1(TContainerSearch& s, const std::string& text) {
  s.SetNoteCaption1(text);
  s.SetNoteMemo1(text);
  s.SetNoteSheetCaption1(text);
  s.SetSheetCaption1(text);
  s.SetAttachmentCaption1(text);
  s.SetAttachmentFileName1(text);
  s.SetNoteCaptionActive1(true);
  s.SetNoteMemoActive1(true);
  s.SetNoteSheetCaptionActive1(true);
  s.SetSheetCaptionActive1(true);
  s.SetAttachmentCaptionActive1(true);
  s.SetAttachmentFileNameActive1(true);
}

void SetGlobalText2(TContainerSearch& s, const std::string& text) {
  s.SetNoteCaption2(text);
  s.SetNoteMemo2(text);
  s.SetNoteSheetCaption2(text);
  s.SetSheetCaption2(text);
  s.SetAttachmentCaption2(text);
  s.SetAttachmentFileName2(text);
  s.SetNoteCaptionActive2(true);
  s.SetNoteMemoActive2(true);
  s.SetNoteSheetCaptionActive2(true);
  s.SetSheetCaptionActive2(true);
  s.SetAttachmentCaptionActive2(true);
  s.SetAttachmentFileNameActive2(true);
}

TEST_F(SearchFixture, NotesScopeNeedsEveryTestThatIsOn) {
  AddNote("Alpha one", "red and blue");
  AddNote("Alpha two", "red only");
  AddNote("Beta", "red and blue");
  Search.SetNoteCaption1("alpha");
  Search.SetNoteCaptionActive1(true);
  Search.SetNoteMemo1("red");
  Search.SetNoteMemoActive1(true);
  Search.SetNoteMemo3("blue");
  Search.SetNoteMemoActive3(true);
  // Caption patterns 2 to 4 take no part in this scope.
  Search.SetNoteCaption2("nowhere");
  Search.SetNoteCaptionActive2(true);
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"Alpha one"}));

  Search.SetNoteColorActive(true);
  Search.SetNoteColor(clRed);
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names{});
}

TEST_F(SearchFixture, NotesScopeWithNothingOnOrAnEmptyPatternFindsEveryNote) {
  AddNote("a");
  AddNote("b");
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"a", "b"}));
  Search.SetNoteMemoActive2(true); // pattern 2 is empty
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"a", "b"}));
  EXPECT_TRUE(Project.NotePool->Filtered);
}

TEST_F(SearchFixture, NoteBodiesAreSearchedAsTextNotAsMarkup) {
  AddNote("styled", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 K\\'e4se und Wor\\b0 ld\\par}");
  AddNote("plain", "par for the course");
  Search.SetNoteMemoActive1(true);
  for (const char* word : {"ansi", "arial", "fonttbl", "\\'e4"}) {
    Search.SetNoteMemo1(word);
    Search.Search("Notes");
    EXPECT_EQ(Notes(), Names{}) << word;
  }
  Search.SetNoteMemo1("KÄSE");
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"styled"}));
  Search.SetNoteMemo1("world course");
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"styled", "plain"}));
  EXPECT_TRUE(Search.MatchNoteMemo1("{\\rtf1 Wor\\i ld}"));
  EXPECT_FALSE(Search.MatchNoteMemo1("{\\rtf1\\course x}"));
}

TEST_F(SearchFixture, NotesAreFoundThroughTheSheetsTheyStandOn) {
  TSheetItem* planning = AddSheet("Planning", clAqua);
  TSheetItem* other = AddSheet("Other", RGB(0, 255, 254));
  Project.PlaceNote(AddNote("placed"), planning, 0, 0);
  Project.AssignNoteToSheet(AddNote("assigned"), planning);
  Project.PlaceNote(AddNote("elsewhere"), other, 0, 0);
  TNoteItem* loose = AddNote("loose");
  Search.SetNoteSheetCaption1("PLAN");
  Search.SetNoteSheetCaptionActive1(true);
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"placed", "assigned"}));

  Search.SetNoteSheetCaptionActive1(false);
  Search.SetNoteSheetColor(clAqua);
  Search.SetNoteSheetColorActive(true);
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"placed", "assigned"}));
  // A note without positions fails both tests unless the pattern is empty.
  EXPECT_FALSE(Search.MatchNoteSheetCaption1(loose));
  EXPECT_FALSE(Search.MatchNoteSheetColor(loose));
  EXPECT_TRUE(Search.MatchNoteSheetCaption2(loose));
}

TEST_F(SearchFixture, SheetsAndAttachmentsScopesTouchOnlyTheirPool) {
  TNoteItem* note = AddNote("n");
  AddSheet("Plan A", clRed);
  AddSheet("Plan B", clBlue);
  AddSheet("Other", clRed);
  AddAttachment(note, "Report", "c:\\docs\\report.pdf");
  AddAttachment(note, "Report draft", "http://example.org/draft.txt");

  Search.SetAttachmentCaption1("report");
  Search.SetAttachmentCaptionActive1(true);
  Search.SetAttachmentFileName1(".PDF");
  Search.SetAttachmentFileNameActive1(true);
  Search.Search("Attachments");
  EXPECT_EQ(Attachments(), Names({"Report"}));

  Search.SetSheetCaption1("plan");
  Search.SetSheetCaptionActive1(true);
  Search.SetSheetColor(clRed);
  Search.SetSheetColorActive(true);
  Search.Search("Sheets");
  EXPECT_EQ(Sheets(), Names({"Plan A"}));
  // The other pools are unfiltered again; the attachment view keeps its last hits.
  EXPECT_FALSE(Project.AttachPool->Filtered);
  EXPECT_EQ(Attachments(), Names({"Report", "Report draft"}));
  EXPECT_EQ(Project.AttachPool->ViewCount(), 1);
  EXPECT_EQ(Notes(), Names({"n"}));
}

TEST_F(SearchFixture, GlobalScopeWithNothingOnFindsNothing) {
  AddAttachment(AddNote("n"), "a", "b");
  AddSheet("s");
  Search.Search("Global");
  EXPECT_EQ(Notes(), Names{});
  EXPECT_EQ(Sheets(), Names{});
  EXPECT_EQ(Attachments(), Names{});
  EXPECT_TRUE(Project.NotePool->Filtered && Project.SheetPool->Filtered && Project.AttachPool->Filtered);
}

TEST_F(SearchFixture, GlobalScopeFindsAnItemByAnyGroupThatHasAllPatterns) {
  TSheetItem* planning = AddSheet("Planning");
  AddSheet("Budget");
  Project.AssignNoteToSheet(AddNote("by its sheet"), planning);
  TNoteItem* byCaption = AddNote("plan for the week");
  AddNote("by memo", "{\\rtf1 The \\b PLAN\\b0 .}");
  AddNote("unrelated", "{\\rtf1\\planattribute x}");
  AddAttachment(byCaption, "plan.doc", "x");
  AddAttachment(byCaption, "notes", "c:\\plans\\n.txt");
  AddAttachment(byCaption, "other", "y");
  SetGlobalText1(Search, "plan");
  Search.Search("Global");
  EXPECT_EQ(Notes(), Names({"by its sheet", "plan for the week", "by memo"}));
  EXPECT_EQ(Sheets(), Names({"Planning"}));
  EXPECT_EQ(Attachments(), Names({"plan.doc", "notes"}));

  // A second pattern must also be found by the same group.
  SetGlobalText2(Search, "week");
  Search.Search("Global");
  EXPECT_EQ(Notes(), Names({"plan for the week"}));
  EXPECT_EQ(Sheets(), Names{});
}

TEST_F(SearchFixture, GlobalScopeUsesEveryPatternOfASwitchedOnGroup) {
  AddNote("alpha");
  AddNote("alpha beta");
  AddNote("green", "", clLime);
  Search.SetNoteCaption1("alpha");
  Search.SetNoteCaption2("beta"); // its own flag is off
  Search.SetNoteCaptionActive1(true);
  Search.SetNoteColor(clLime);
  Search.SetNoteColorActive(true);
  Search.Search("Global");
  EXPECT_EQ(Notes(), Names({"alpha beta", "green"}));
}

TEST_F(SearchFixture, NarrowedViewsKeepEarlierHitsFirstUntilCleared) {
  for (const char* name : {"n0", "n1 x", "n2", "n3 x y", "n4 y"}) AddNote(name);
  Search.SetNoteCaptionActive1(true);
  Search.SetNoteCaption1("x");
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"n1 x", "n3 x y"}));
  Search.SetNoteCaption1("y n0");
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"n3 x y", "n0", "n4 y"}));

  Search.Clear();
  EXPECT_TRUE(Project.NotePool->Filtered);
  EXPECT_EQ(Notes(), Names({"n0", "n1 x", "n2", "n3 x y", "n4 y"}));
  EXPECT_EQ(Project.SheetPool->ViewCount(), Project.SheetPool->AllCount());
  // Criteria are off but keep their patterns.
  Search.Search("Notes");
  EXPECT_EQ(Notes().size(), 5u);
  Search.SetNoteCaptionActive1(true);
  Search.Search("Notes");
  EXPECT_EQ(Notes(), Names({"n0", "n3 x y", "n4 y"}));
}

// A project large enough to be searched on several threads finds what one thread finds, in
// the same order, and narrowing keeps the earlier hits first.
TEST_F(SearchFixture, ALargeProjectIsSearchedOnThreadsWithTheSameHitsInTheSameOrder) {
  constexpr int kCount = 20000;
  Names sevens, sevensThenElevens;
  for (int i = 0; i < kCount; ++i) {
    const std::string name = "n" + std::to_string(i);
    // Cyrillic bytes in a code page, so each thread also reads a code page of its own.
    std::string body = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}\\f0 ";
    if (i % 7 == 0) body += "\\'ec\\'e8\\'f0 "; // мир
    if (i % 11 == 0) body += "sun ";
    AddNote(name, body + name + "}");
    if (i % 7 == 0) sevens.push_back(name);
  }
  sevensThenElevens = sevens;
  for (int i = 0; i < kCount; ++i)
    if (i % 11 == 0 && i % 7 != 0) sevensThenElevens.push_back("n" + std::to_string(i));
  Search.SetNoteMemoActive1(true);
  Search.SetNoteMemo1("МИР");
  Search.Search("Notes");
  EXPECT_EQ(Notes(), sevens);
  Search.SetNoteMemo1("мир sun");
  Search.Search("Notes");
  EXPECT_EQ(Notes(), sevensThenElevens);
  Search.Clear();
  Search.SetNoteMemoActive1(true);
  Search.SetNoteMemo1("мир");
  Search.Search("Global");
  EXPECT_EQ(Notes(), sevens);
}

TEST_F(SearchFixture, UnknownScopeDoesNothing) {
  AddNote("a");
  Search.Search("notes");
  Search.Search("");
  EXPECT_FALSE(Project.NotePool->Filtered);
  EXPECT_EQ(Project.NotePool->ViewCount(), 0);
}

} // namespace
} // namespace qel
