// The project commands: new, open, reopen, save, save as, import, and the project file.
#include "ShellFixture.h"

#include "platform/FileNames.h"
#include "shell/Main.h"
#include "shell/ProjectFile.h"
#include "windows/nav/Navigator.h"

#include <QTreeWidget>

namespace qel::test {
namespace {

const std::string kRenameOffer =
    "You have put notes on a New Sheet without changing the name of the Sheet.\rDo you want to rename it now?";

class ProjectCommandsTest : public ShellTest {
protected:
  TSheetItem* AddSheet(const std::string& name, bool withNote) {
    TSheet record;
    record.Name = name;
    TSheetItem* sheet = Project().AddSheet(record);
    if (withNote) Project().AssignNoteToSheet(Project().AddNote(TNote()), sheet);
    return sheet;
  }
};

TEST_F(ProjectCommandsTest, NewAsksFirstAndAnythingButYesKeepsTheProject) {
  const std::string name = OpenProject({});
  Script.Answer(mrNo);
  QELMain->TB_NewClick();
  EXPECT_EQ(Project().FileName, name);
  Script.Answer(mrYes);
  QELMain->TB_NewClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[1].Text, "Are you sure you want to start a new project ?");
  EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(Script.Shown[1].Buttons, mbYesNo);
  EXPECT_EQ(Project().FileName, "Noname.qel");
  EXPECT_EQ(Caption(), "QEL - Noname.qel");
  EXPECT_EQ(RelationNames(Project()), (std::vector<std::string>{"leads to", "consists of", "assumes"}));
  EXPECT_EQ(Project().NoteCount(), 0);
  EXPECT_EQ(NavForm->Container, &Project());
}

TEST_F(ProjectCommandsTest, SaveQuestionAnswers) {
  struct TCase {
    int Answer;
    bool Saved;
    bool Replaced;
  };
  for (TCase c : {TCase{mrYes, true, true}, TCase{mrNo, false, true}, TCase{mrCancel, false, false}}) {
    const std::string name = OpenProject({}, "p" + std::to_string(c.Answer) + "/Proj.qel");
    Project().GetNote(0)->SetName("Changed");
    Script.Answer(mrYes).Answer(c.Answer);
    QELMain->TB_NewClick();
    const auto& query = Script.Shown.back();
    EXPECT_EQ(query.Text, name + " is modified. Save before closing?");
    EXPECT_EQ(query.Type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(query.Buttons, mbYesNoCancel);
    EXPECT_EQ(ReadBytes(TContainer::DataFileName(name, "_Not")).find("Changed") != std::string::npos, c.Saved);
    EXPECT_EQ(Project().FileName != name, c.Replaced) << c.Answer;
    Program.reset();
  }
}

TEST_F(ProjectCommandsTest, SaveWritesTheProjectFileAndDataFiles) {
  const std::string name = OpenProject({});
  Project().GetNote(0)->SetName("Renamed");
  QELMain->TB_SaveClick();
  EXPECT_EQ(ReadBytes(name), "[QEL]\r\nVersion=6.0\r\n[DEFAULTS]\r\nGrid=Yes\r\n");
  EXPECT_NE(ReadBytes(TContainer::DataFileName(name, "_Not")).find("Renamed"), std::string::npos);
  EXPECT_FALSE(Project().IsModified());
  EXPECT_EQ(LastProject(), name);
  EXPECT_TRUE(Script.Shown.empty());
}

TEST_F(ProjectCommandsTest, SaveOfAnUnnamedProjectGoesThroughSaveAs) {
  StartUp();
  Script.AnswerSave(false);
  QELMain->TB_SaveClick();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].File.InitialDir + "/", Work);
  EXPECT_EQ(Script.Shown[0].File.FileName, "Noname.qel");
  EXPECT_EQ(Script.Shown[0].File.Filter, "QEL Projects (*.qel)|*.qel|All Files (*.*)|*.*");
  EXPECT_EQ(Script.Shown[0].File.DefaultExt, "qel");
  EXPECT_FALSE(FileExists(Work + "Noname.qel"));

  const std::string chosen = Root + "named/Plan.qel";
  CreateDir(Root + "named");
  Script.AnswerSave(true, chosen);
  QELMain->TB_SaveClick();
  EXPECT_EQ(Project().FileName, chosen);
  EXPECT_EQ(Caption(), "QEL - Plan.qel");
  EXPECT_EQ(ReadBytes(chosen), "[QEL]\r\nVersion=6.0\r\n[DEFAULTS]\r\nGrid=No\r\n");
  EXPECT_TRUE(FileExists(Root + "named/Plan_Rel.dat"));
  EXPECT_EQ(LastProject(), chosen);
}

TEST_F(ProjectCommandsTest, RenameOfferForSheetsStillCalledNewSheet) {
  struct TCase {
    int Offer;
    bool AcceptInput;
    std::string Expected; // name of the offered sheet afterwards
    bool Saved;
  };
  const TCase cases[] = {{mrYes, true, "Ideas", true},
                         {mrYes, false, "New Sheet", true}, // Cancel in the input box keeps the name
                         {mrNo, false, "New Sheet", true},
                         {mrCancel, false, "New Sheet", false}};
  int run = 0;
  for (const TCase& c : cases) {
    const std::string name = OpenProject({}, "r" + std::to_string(run++) + "/Proj.qel");
    AddSheet("New Sheet", false);
    TSheetItem* offered = AddSheet("New Sheet", true);
    AddSheet("New Sheet ", true);
    AddSheet("new sheet", true);
    DeleteFile(name);
    Script.Answer(c.Offer);
    if (c.Offer == mrYes) Script.AnswerInput(c.AcceptInput, "Ideas");
    QELMain->TB_SaveClick();
    EXPECT_EQ(Script.Shown[0].Text, kRenameOffer);
    EXPECT_EQ(Script.Shown[0].Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(Script.Shown[0].Buttons, mbYesNoCancel);
    if (c.Offer == mrYes) {
      EXPECT_EQ(Script.Shown[1].Caption, "New sheet name?");
      EXPECT_EQ(Script.Shown[1].Text, "Name of the sheet:");
      EXPECT_EQ(Script.Shown[1].Value, "New sheet");
    }
    EXPECT_EQ(offered->Data.Name, c.Expected);
    EXPECT_EQ(FileExists(name), c.Saved);
    EXPECT_EQ(Project().IsModified(), !c.Saved);
    Script.Shown.clear();
    Program.reset();
  }
}

TEST_F(ProjectCommandsTest, SaveKeepsOtherSectionsOfTheProjectFile) {
  const std::string name = OpenProject({});
  const std::string before = "; kept\r\n[QEL]\r\nVersion=5.0\r\nAuthor=Me\r\n\r\n[Extra]\nKey = some value\n";
  WriteFileBytes(name, before);
  Project().GetNote(0)->SetName("x");
  QELMain->TB_SaveClick();
  EXPECT_EQ(ReadBytes(name), "; kept\r\n[QEL]\r\nVersion=6.0\r\nAuthor=Me\r\n\r\n[Extra]\nKey = some value\n"
                             "[DEFAULTS]\r\nGrid=Yes\r\n");
}

TEST_F(ProjectCommandsTest, GridFlagIsReadWithYesAsDefaultAndSavedAsItIs) {
  auto saved = BuildProject({});
  const std::string name = Root + "grid/Grid.qel";
  WriteProject(*saved, name);
  WriteFileBytes(name, "[QEL]\r\nVersion=6.0\r\n");
  SetLastProject(name);
  StartUp();
  EXPECT_TRUE(Project().Grid);
  Project().GetNote(0)->SetName("x");
  QELMain->TB_SaveClick();
  EXPECT_EQ(ReadBytes(name), "[QEL]\r\nVersion=6.0\r\n[DEFAULTS]\r\nGrid=Yes\r\n");
  QELMain->adpMRU1Click(nullptr, name);
  EXPECT_TRUE(Project().Grid);

  WriteFileBytes(name, "[defaults]\r\n GRID = Yes \r\n");
  EXPECT_TRUE(ReadProjectGrid(name));
  WriteFileBytes(name, "[DEFAULTS]\r\nGrid=yes\r\n");
  EXPECT_FALSE(ReadProjectGrid(name));
  WriteFileBytes(name, "[DEFAULTS]\r\nGrid=No\r\n");
  QELMain->adpMRU1Click(nullptr, name);
  EXPECT_FALSE(Project().Grid);
  QELMain->TB_SaveClick();
  EXPECT_FALSE(ReadProjectGrid(name));
}

} // namespace
} // namespace qel::test
