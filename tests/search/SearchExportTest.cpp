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
    AddAttachment(OneAgain, "Second One's", "x");
    TAttachItem* web = AddAttachment(Free, "Web", "https://example.org");
    web->SetKind(1);
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

// Fault: notes were merged by caption, so the second "One" lost its position, its link and its
// attachment, and 100,000 notes named "New Note" became one.
TEST_F(SearchExportTest, BigExportWritesEveryFileAndKeepsNotesOfTheSameCaptionApart) {
  SearchAlphaAndGamma();
  Export(true);
  EXPECT_EQ(File(".qel"), "[QEL]\r\nVersion=6.0\r\n[DEFAULTS]\r\nGrid=No\r\n");
  EXPECT_EQ(File("_sht"), kSheetsHead +
                              Line({"0", "Alpha", "16777215", "9999", "9999", "80", "10", "1", "First\xFEsheet"}) +
                              Line({"2", "Gamma", "16777215", "9999", "9999", "80", "10", "1", ""}));
  EXPECT_EQ(File("_shtX"), Line({"0", "0", ""}) + Line({"1", "2", ""}));
  const std::string one = Note("One", "a\xFE"
                                      "b");
  // Keys are places in the full lists: these items were never loaded.
  EXPECT_EQ(File("_xNot1"), Line({"0", one, "-1"}) + Line({"0", one, "-1"}) + Line({"1", Note("Two"), "-1"}) +
                                Line({"2", Note("One"), "-1"}) + Line({"-1", one, "-1"}) +
                                Line({"-1", Note("Two"), "-1"}) + Line({"-1", Note("One"), "-1"}) +
                                Line({"-1", Note("Loose"), "-1"}) + Line({"-1", Note("Free"), "-1"}));
  EXPECT_EQ(File("_Not"), Line({"0", one, "-1"}) + Line({"1", Note("Two"), "-1"}) + Line({"2", Note("One"), "-1"}) +
                              Line({"3", Note("Loose"), "-1"}) + Line({"4", Note("Free"), "-1"}));
  EXPECT_EQ(File("_notX"), Line({"0", "0", ""}) + Line({"1", "1", ""}) + Line({"2", "2", ""}) + Line({"3", "3", ""}) +
                               Line({"4", "4", ""}));
  EXPECT_EQ(File("_pos"), Line({"0", "0", "0", "10", "20"}) + Line({"1", "0", "1", "5", "6"}) +
                              Line({"2", "1", "0", "-1", "-1"}) + Line({"3", "2", "1", "30", "40"}));
  EXPECT_EQ(File("_rel"), Line({"0", "leads to", "-1"}) + Line({"1", "consists of", "-1"}));
  EXPECT_EQ(File("_lnk1"), Line({"0", "0", ""}) + Line({"0", "0", ""}) + Line({"2", "1", ""}));
  EXPECT_EQ(File("_lnk2"), Line({"0", "0", ""}) + Line({"2", "1", ""}));
  const std::string rest[] = {"50", "50", "50", "50", "2", "1", "0", "1", "1"};
  auto link = [&](const char* c, const char* sheet, const char* from, const char* to, const char* relation) {
    return Line({c, sheet, from, to, relation, rest[0], rest[1], rest[2], rest[3], rest[4], rest[5], rest[6], rest[7],
                 rest[8]});
  };
  EXPECT_EQ(File("_lnk"),
            link("0", "0", "0", "1", "0") + link("1", "0", "1", "0", "1") + link("2", "1", "0", "2", "1"));
  EXPECT_EQ(File("_att"), Line({"0", "0", "Doc", "c:\\doc.txt", "line1\xFEline2", "0"}) +
                              Line({"1", "2", "Second One's", "x", "", "0"}) +
                              Line({"2", "4", "Web", "https://example.org", "", "1"}));

  TContainer loaded;
  loaded.Load(Base + ".qel");
  EXPECT_EQ(loaded.SheetCount(), 2);
  EXPECT_EQ(loaded.GetSheet(0)->Data.Description, "First\r\nsheet");
  EXPECT_EQ(loaded.NoteCount(), 5);
  EXPECT_EQ(loaded.GetNote(0)->Data.Text, "a\r\nb");
  EXPECT_EQ(loaded.GetNote(0)->PositionCount(), 2) << "a note on two exported sheets is written once";
  EXPECT_EQ(loaded.GetSheet(1)->PositionCount(), 2) << "both notes named One keep their place on Gamma";
  EXPECT_EQ(loaded.LinkCount(), 3);
  EXPECT_EQ(loaded.GetAttachment(1)->GetNote(), loaded.GetNote(2));
  EXPECT_EQ(loaded.GetAttachment(2)->GetNote()->Data.Name, "Free");
  EXPECT_EQ(loaded.GetAttachment(2)->Data.Kind, 1);
}

// Fault: the Notes page exported every note on a sheet and every note with an attachment
// besides the note found: only the notes found go, with their attachments.
TEST_F(SearchExportTest, SmallExportOfTheNotesPageWritesTheNotesFoundAndNoSheetFiles) {
  Search.SetNoteCaption1("free");
  Search.SetNoteCaptionActive1(true);
  Search.Search("Notes");
  Export(false);
  EXPECT_EQ(File("_sht"), kSheetsHead);
  for (const char* empty : {"_shtX", "_pos", "_lnk1", "_lnk2", "_lnk"})
    EXPECT_EQ(File(empty), "") << empty;
  EXPECT_EQ(File("_notX"), Line({"0", "4", ""}));
  TContainer loaded;
  loaded.Load(Base + ".qel");
  EXPECT_EQ(ReadNames(loaded.NoteCount(), [&](int i) { return loaded.GetNote(i)->Data.Name; }), (Names{"Free"}));
  EXPECT_EQ(loaded.SheetCount(), 0);
  ASSERT_EQ(loaded.AttachmentCount(), 1);
  EXPECT_EQ(loaded.GetAttachment(0)->Data.Caption, "Web");
  EXPECT_EQ(loaded.RelationCount(), 2);
}

// Fault: an attachment found whose note was not exported was left out without a word.
TEST_F(SearchExportTest, AnAttachmentFoundGoesWithItsNote) {
  Search.SetAttachmentCaption1("web");
  Search.SetAttachmentCaptionActive1(true);
  Search.SetNoteCaption1("loose");
  Search.SetNoteCaptionActive1(true);
  Search.Search("Global"); // finds the note Loose and the attachment of Free
  Export(false);
  TContainer loaded;
  loaded.Load(Base + ".qel");
  EXPECT_EQ(ReadNames(loaded.NoteCount(), [&](int i) { return loaded.GetNote(i)->Data.Name; }),
            (Names{"Loose", "Free"}));
  ASSERT_EQ(loaded.AttachmentCount(), 1);
  EXPECT_EQ(loaded.GetAttachment(0)->GetNote(), loaded.GetNote(1));
  EXPECT_EQ(File("_notX"), Line({"0", "3", ""}) + Line({"1", "4", ""}));
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
// with its positions and links; one whose sheet was not exported stayed an aggregation note
// without a sheet, which the new project deleted at its first sheet store.
TEST_F(SearchExportTest, AggregationNoteKeepsItsSheetOrBecomesAnOrdinaryNote) {
  TNoteItem* gamma = AddAggregationNote(Project, Gamma);
  TNoteItem* beta = AddAggregationNote(Project, Beta);
  Project.PlaceNote(gamma, Alpha, 200, 200);
  Project.PlaceNote(beta, Alpha, 300, 200);
  AddLink(Alpha, beta, One, 0);
  AddAttachment(beta, "Beta's file", "b.txt");
  SearchAlphaAndGamma();
  Export(true);
  EXPECT_NE(File("_Not").find(Line({"3", Note("Gamma", "", "0"), "1"})), std::string::npos);
  EXPECT_NE(File("_Not").find(Line({"4", Note("Beta"), "-1"})), std::string::npos);
  for (bool small : {false, true}) {
    if (small) {
      SearchAlphaAndGamma();
      Export(false);
    }
    TContainer loaded;
    loaded.Load(Base + ".qel");
    loaded.SyncAggregationNotes();
    Names aggregations, ordinary;
    for (int i = 0; i < loaded.NoteCount(); ++i)
      if (loaded.GetNote(i)->IsAggregation())
        aggregations.push_back(loaded.GetNote(i)->GetAggregatedSheet()->Data.Name);
      else
        ordinary.push_back(loaded.GetNote(i)->Data.Name);
    EXPECT_EQ(aggregations, small ? Names{} : Names{"Gamma"}) << small;
    EXPECT_EQ(ordinary, small ? (Names{"One", "Two", "One", "Gamma", "Beta", "Loose", "Free"})
                              : (Names{"One", "Two", "One", "Beta", "Loose", "Free"}))
        << small;
    TNoteItem* exported = loaded.GetNote(4);
    ASSERT_EQ(exported->Data.Name, "Beta");
    EXPECT_EQ(exported->AttachmentCount(), 1);
    EXPECT_EQ(exported->PositionCount(), small ? 0 : 1);
    EXPECT_EQ(exported->OutLinkCount(), small ? 0 : 1);
  }
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

// Fault: a name with a full stop was taken ("Other.v2" wrote the data files of "Other"), as
// were an empty name and an empty folder.
TEST_F(SearchExportTest, FolderAndNameProblemsAreNamed) {
  const std::string folder = FromQString(Folder.path());
  struct TCase {
    std::string Folder, Name, Expected; // a part of the message, or empty for none
  };
  for (const TCase& c : {TCase{folder, "Result", ""}, TCase{"", "Result", "choose a folder"},
                         TCase{" ", "Result", "choose a folder"}, TCase{folder + "/gone", "Result", "folder is missing"},
                         TCase{folder, "", "type a file name"}, TCase{folder, "  ", "type a file name"},
                         TCase{folder, "Other.v2", "full stop"}, TCase{folder, ".hidden", "full stop"},
                         TCase{folder, "sub/Result", "path separator"}, TCase{folder, "..\\Result", "full stop"}}) {
    const std::string problem = TSearchExport::BaseProblem(c.Folder, c.Name);
    if (c.Expected.empty())
      EXPECT_EQ(problem, "") << c.Name;
    else
      EXPECT_NE(problem.find(c.Expected), std::string::npos) << "'" << c.Folder << "' '" << c.Name << "': " << problem;
  }
  EXPECT_NE(TSearchExport::BaseProblem(folder + "/gone", "R").find(folder + "/gone"), std::string::npos);
  EXPECT_NE(TSearchExport::BaseProblem(folder, "Other.v2").find("Other.v2"), std::string::npos);
}

TEST_F(SearchExportTest, AProjectExistsWhenItsProjectFileOrADataFileIsThere) {
  EXPECT_FALSE(TSearchExport::ProjectExists(Base));
  WriteFileBytes(Base + "_not.dat", "");
  EXPECT_TRUE(TSearchExport::ProjectExists(Base)) << "found without regard to case";
  DeleteFile(Base + "_not.dat");
  WriteFileBytes(Base + "_notX.dat", "");
  EXPECT_FALSE(TSearchExport::ProjectExists(Base)) << "an index file alone is no project";
  WriteFileBytes(Base + ".qel", "");
  EXPECT_TRUE(TSearchExport::ProjectExists(Base));
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
