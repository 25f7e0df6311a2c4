// The export of search results: every file byte for byte, and the new project read back.
#include "search/SearchExport.h"
#include "SearchFixture.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"

#include <QTemporaryDir>

namespace qel {
namespace {

// A record line: fields joined by 0xFF, then CR LF.
std::string Line(std::initializer_list<std::string> fields) {
  std::string out;
  for (const std::string& field : fields) {
    if (&field != fields.begin()) out += '\xFF';
    out += field;
  }
  return out + "\r\n";
}

// Fields 2 to 13 of a note line of a note made with the default record.
std::string Note(const std::string& name, const std::string& codedText = "", const std::string& kind = "-1") {
  std::string out;
  for (const std::string& field :
       {name, std::string(), std::string(), kind, std::string("80"), std::string("50"), std::string("65535"),
        std::string("16"), std::string("0"), std::string("1"), std::string("10"), codedText})
    out += field + '\xFF';
  out.pop_back();
  return out;
}

// Sheets Alpha, Beta and Gamma; notes One (on Alpha and Gamma), Two (assigned to Alpha), a
// second One (on Gamma), Loose (on Beta) and Free (on no sheet); links on every sheet.
class SearchExportTest : public SearchFixture {
protected:
  void SetUp() override {
    ASSERT_TRUE(Folder.isValid());
    Base = FromQString(Folder.path()) + "/Result";
    for (const char* name : {"leads to", "consists of"}) {
      TRelation relation;
      relation.Name = name;
      Project.AddRelation(relation);
    }
    Alpha = AddSheet("Alpha");
    Beta = AddSheet("Beta");
    Gamma = AddSheet("Gamma");
    Alpha->SetDescription("First\r\nsheet");
    One = AddNote("One", "a\r\nb");
    Two = AddNote("Two");
    OneAgain = AddNote("One");
    Loose = AddNote("Loose");
    Free = AddNote("Free");
    Project.PlaceNote(One, Alpha, 10, 20);
    Project.PlaceNote(One, Gamma, 5, 6);
    Project.AssignNoteToSheet(Two, Alpha);
    Project.PlaceNote(OneAgain, Gamma, 30, 40);
    Project.PlaceNote(Loose, Beta, 1, 2);
    AddLink(Alpha, One, Two, 0);
    AddLink(Gamma, One, OneAgain, 1);
    AddLink(Beta, Loose, One, 0);
    AddLink(Alpha, Two, One, 1);
    AddAttachment(One, "Doc", "c:\\doc.txt")->Data.Text = "line1\r\nline2";
    AddAttachment(OneAgain, "Merged away", "x");
    TAttachItem* web = AddAttachment(Free, "Web", "https://example.org");
    web->SetKind(1);
  }
  void AddLink(TSheetItem* sheet, TNoteItem* from, TNoteItem* to, int relation) {
    TLink link;
    link.Sheet = sheet;
    link.FromNote = from;
    link.ToNote = to;
    link.Relation = Project.GetRelation(relation);
    Project.AddLink(link);
  }
  // The sheets page finding Alpha and Gamma.
  void SearchAlphaAndGamma() {
    Search.SetSheetCaption1("alpha gamma");
    Search.SetSheetCaptionActive1(true);
    Search.Search("Sheets");
  }
  std::string Export(bool big) {
    TSearchExport exported(Project, big);
    Project.ClearFilters();
    exported.Write(Base);
    return Base;
  }
  std::string File(const std::string& suffix) const { return ReadFileBytes(TSearchExport::FileName(Base, suffix)); }

  QTemporaryDir Folder;
  std::string Base;
  TSheetItem *Alpha, *Beta, *Gamma;
  TNoteItem *One, *Two, *OneAgain, *Loose, *Free;
};

const std::string kSheetsHead = "New0123456789\r\n";

TEST_F(SearchExportTest, BigExportWritesEveryFileAndTheProjectLoads) {
  SearchAlphaAndGamma();
  Export(true);
  EXPECT_EQ(File(".qel"), "[QEL]\r\nVersion=6.0\r\n[DEFAULTS]\r\nGrid=No\r\n");
  EXPECT_EQ(File("_sht"), kSheetsHead +
                              Line({"0", "Alpha", "16777215", "9999", "9999", "80", "10", "1", "First\xFEsheet"}) +
                              Line({"2", "Gamma", "16777215", "9999", "9999", "80", "10", "1", ""}));
  EXPECT_EQ(File("_shtX"), Line({"0", "0", ""}) + Line({"1", "2", ""}));
  // Keys are places in the full lists: these items were never loaded.
  EXPECT_EQ(File("_xNot1"), Line({"0",
                                  Note("One", "a\xFE"
                                              "b"),
                                  "-1"}) +
                                Line({"0",
                                      Note("One", "a\xFE"
                                                  "b"),
                                      "-1"}) +
                                Line({"1", Note("Two"), "-1"}) + Line({"2", Note("One"), "-1"}) +
                                Line({"-1",
                                      Note("One", "a\xFE"
                                                  "b"),
                                      "-1"}) +
                                Line({"-1", Note("Two"), "-1"}) + Line({"-1", Note("One"), "-1"}) +
                                Line({"-1", Note("Loose"), "-1"}) + Line({"-1", Note("Free"), "-1"}));
  EXPECT_EQ(File("_Not"), Line({"0",
                                Note("One", "a\xFE"
                                            "b"),
                                "-1"}) +
                              Line({"1", Note("Two"), "-1"}) + Line({"2", Note("Loose"), "-1"}) +
                              Line({"3", Note("Free"), "-1"}));
  EXPECT_EQ(File("_notX"), Line({"0", "0", ""}) + Line({"1", "1", ""}) + Line({"2", "-1", ""}) + Line({"3", "-1", ""}));
  EXPECT_EQ(File("_pos"),
            Line({"0", "0", "0", "10", "20"}) + Line({"1", "0", "1", "5", "6"}) + Line({"2", "1", "0", "-1", "-1"}));
  EXPECT_EQ(File("_rel"), Line({"0", "leads to", "-1"}) + Line({"1", "consists of", "-1"}));
  EXPECT_EQ(File("_lnk1"), Line({"0", "0", ""}) + Line({"0", "0", ""}) + Line({"2", "1", ""}));
  EXPECT_EQ(File("_lnk2"), Line({"0", "0", ""}) + Line({"2", "1", ""}));
  const std::string rest[] = {"50", "50", "50", "50", "2", "1", "0", "1", "1"};
  auto link = [&](const char* c, const char* from, const char* to, const char* relation) {
    return Line(
        {c, "0", from, to, relation, rest[0], rest[1], rest[2], rest[3], rest[4], rest[5], rest[6], rest[7], rest[8]});
  };
  EXPECT_EQ(File("_lnk"), link("0", "0", "1", "0") + link("1", "1", "0", "1"));
  EXPECT_EQ(File("_att"), Line({"0", "0", "Doc", "c:\\doc.txt", "line1\xFEline2", "0"}) +
                              Line({"1", "3", "Web", "https://example.org", "", "1"}));

  TContainer loaded;
  loaded.Load(Base + ".qel");
  EXPECT_EQ(loaded.SheetCount(), 2);
  EXPECT_EQ(loaded.GetSheet(0)->Data.Description, "First\r\nsheet");
  EXPECT_EQ(loaded.NoteCount(), 4);
  EXPECT_EQ(loaded.GetNote(0)->Data.Text, "a\r\nb");
  EXPECT_EQ(loaded.GetNote(0)->PositionCount(), 2) << "a note on two exported sheets is written once";
  EXPECT_EQ(loaded.GetSheet(1)->PositionCount(), 1) << "the position of the note merged away is left out";
  EXPECT_EQ(loaded.LinkCount(), 2);
  EXPECT_EQ(loaded.GetAttachment(1)->GetNote()->Data.Name, "Free");
  EXPECT_EQ(loaded.GetAttachment(1)->Data.Kind, 1);
}

TEST_F(SearchExportTest, SmallExportKeepsTheNotesOfVisibleSheetsButNoSheetFiles) {
  Search.SetNoteCaption1("free");
  Search.SetNoteCaptionActive1(true);
  Search.Search("Notes");
  Export(false);
  EXPECT_EQ(File("_sht"), kSheetsHead);
  for (const char* empty : {"_shtX", "_pos", "_lnk1", "_lnk2", "_lnk"})
    EXPECT_EQ(File(empty), "") << empty;
  // Sheets are not filtered on the Notes page: every note on a sheet is exported besides the hit.
  EXPECT_EQ(File("_notX"), Line({"0", "0", ""}) + Line({"1", "1", ""}) + Line({"2", "3", ""}) + Line({"3", "-1", ""}));
  TContainer loaded;
  loaded.Load(Base + ".qel");
  EXPECT_EQ(ReadNames(loaded.NoteCount(), [&](int i) { return loaded.GetNote(i)->Data.Name; }),
            (Names{"One", "Two", "Loose", "Free"}));
  EXPECT_EQ(loaded.SheetCount(), 0);
  EXPECT_EQ(loaded.AttachmentCount(), 2);
  EXPECT_EQ(loaded.RelationCount(), 2);
}

TEST_F(SearchExportTest, GlobalSearchWithoutCriteriaExportsOnlyTheRelationTypes) {
  Search.Clear();
  Search.Search("Global");
  Export(true);
  for (const char* empty : {"_shtX", "_xNot1", "_Not", "_notX", "_pos", "_lnk1", "_lnk2", "_lnk", "_att"})
    EXPECT_EQ(File(empty), "") << empty;
  EXPECT_EQ(File("_sht"), kSheetsHead);
  TContainer loaded;
  loaded.Load(Base + ".qel");
  EXPECT_EQ(loaded.RelationCount(), 2);
  EXPECT_EQ(loaded.NoteCount() + loaded.SheetCount() + loaded.AttachmentCount(), 0);
}

// Fault: an exported aggregation note stood for no sheet, so the next sheet sync deleted it
// with its positions and links.
TEST_F(SearchExportTest, AggregationNoteKeepsItsSheetWhenThatSheetIsExported) {
  Project.PlaceNote(AddAggregationNote(Project, Gamma), Alpha, 200, 200);
  Project.PlaceNote(AddAggregationNote(Project, Beta), Alpha, 300, 200);
  SearchAlphaAndGamma();
  Export(true);
  TContainer loaded;
  loaded.Load(Base + ".qel");
  loaded.SyncAggregationNotes();
  std::vector<std::string> aggregations;
  for (int i = 0; i < loaded.NoteCount(); ++i)
    if (loaded.GetNote(i)->IsAggregation()) aggregations.push_back(loaded.GetNote(i)->GetAggregatedSheet()->Data.Name);
  EXPECT_EQ(aggregations, (Names{"Gamma"})) << "Beta was not exported, so its note has no sheet";
  EXPECT_NE(File("_Not").find(Line({"2", Note("Gamma", "", "0"), "1"})), std::string::npos);
}

TEST_F(SearchExportTest, ExportingAgainReplacesEveryFileAlsoOneNamedInAnotherCase) {
  SearchAlphaAndGamma();
  Export(true);
  const std::string oldSheets = Base + "_Sht.dat";
  RenameFile(Base + "_sht.dat", oldSheets); // as a save of the project "Result" names it
  Search.SetSheetCaption1("gamma");
  Search.Search("Sheets");
  Export(true);
  EXPECT_FALSE(FileExists(Base + "_sht.dat"));
  EXPECT_EQ(ReadFileBytes(oldSheets).substr(kSheetsHead.size(), 2), "2\xFF");
  TContainer loaded;
  loaded.Load(Base + ".qel");
  EXPECT_EQ(loaded.SheetCount(), 1);
}

// Fault: a file name with a full stop gave data files that its project file does not name.
TEST_F(SearchExportTest, FileNameWithAFullStopGivesAProjectThatLoads) {
  SearchAlphaAndGamma();
  Base = FromQString(Folder.path()) + "/Result.2024";
  Export(true);
  EXPECT_TRUE(FileExists(FromQString(Folder.path()) + "/Result_Not.dat"));
  TContainer loaded;
  loaded.Load(Base + ".qel");
  EXPECT_EQ(loaded.SheetCount(), 2);
}

// Fault: a failed write left a mixture of old and new files behind.
TEST_F(SearchExportTest, FailedWriteReplacesNoFile) {
  SearchAlphaAndGamma();
  Export(true);
  const std::string before = File("_Not");
  ASSERT_TRUE(CreateDir(Base + "_att.dat.saving"));
  Search.SetSheetCaption1("gamma");
  Search.Search("Sheets");
  TSearchExport exported(Project, true);
  EXPECT_THROW(exported.Write(Base), EInOutError);
  EXPECT_EQ(File("_Not"), before);
  EXPECT_FALSE(FileExists(Base + "_Not.dat.saving"));
}

} // namespace
} // namespace qel
