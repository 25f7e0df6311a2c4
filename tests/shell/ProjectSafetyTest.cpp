// What saves and autosaves may overwrite, and commands that arrive while a save runs.
#include "ShellFixture.h"

#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/Registry.h"
#include "shell/AutoSave.h"
#include "shell/Main.h"
#include "shell/ProjectFile.h"
#include "shell/adpMRU.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

namespace qel::test {
namespace {

const std::string kLoadError = "An error occurred while loading. File may be of older version...";

class ProjectSafetyTest : public ShellTest {
protected:
  // The six data files' bytes, in the model's order.
  std::vector<std::string> DataBytes(const std::string& projectFile) {
    std::vector<std::string> bytes;
    for (const char* suffix : {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"}) {
      const std::string name = FindFileNoCase(TContainer::DataFileName(projectFile, suffix));
      bytes.push_back(FileExists(name) ? ReadBytes(name) : "<missing>");
    }
    return bytes;
  }
  void SetBackup(const std::string& location) {
    frmAutoSave->edLocateBackupWorkFiles->setText(ToQString(location));
  }
  std::string Backup() { return FromQString(frmAutoSave->edLocateBackupWorkFiles->text()); }
  static void ClearFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(ToNativePath(folder), ignored);
    CreateDir(folder);
  }
  // Every file of the folder with its bytes.
  static std::map<std::string, std::string> FolderBytes(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(ToNativePath(folder)))
      files[entry.path().filename().string()] = ReadBytes(folder + entry.path().filename().string());
    return files;
  }
  static void RunPosted() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }
};

// Fault: "Plan.v2.qel" took its data-file names from "Plan" and silently replaced the data
// files of the project "Plan.qel"; the overwrite question only looked at the project file.
TEST_F(ProjectSafetyTest, SaveAsAsksBeforeReplacingAnotherProjectsDataFiles) {
  struct TCase {
    const char* Name;  // chosen in the Save As dialog
    bool Asked;        // the data files exist and belong to no project the user agreed to replace
    int Answer;        // to the question
    bool Written;
  };
  const TCase cases[] = {
      {"Plan.v2.qel", true, mrNo, false},
      {"Plan.v2.qel", true, mrYes, true},
      {"PLAN.old.qel", true, mrNo, false}, // the data files are found in any letter case
      {"Plan.qel", false, 0, true},        // the project file the dialog asked about
      {"Fresh.qel", false, 0, true},
      {"Fresh.v2.qel", false, 0, true},    // no "Fresh" data files yet
  };
  const std::string mine = OpenProject({3, 1, 0, 1, "Mine"}, "mine/Mine.qel");
  Project().GetNote(0)->SetName("Changed");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ClearFolder(Root + "other/");
    auto other = BuildProject({2, 1, 0, 1, "Other"});
    WriteProject(*other, Root + "other/Plan.qel");
    const std::vector<std::string> before = DataBytes(Root + "other/Plan.qel");
    const std::string chosen = Root + "other/" + c.Name;
    Script.Shown.clear();
    Script.AnswerSave(true, chosen);
    if (c.Asked) Script.Answer(c.Answer);
    QELMain->MI_FileSaveAsClick();
    ASSERT_EQ(Script.Shown.size(), c.Asked ? 2u : 1u);
    if (c.Asked) {
      EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtConfirmation);
      EXPECT_NE(Script.Shown[1].Text.find(c.Name), std::string::npos) << Script.Shown[1].Text;
      EXPECT_NE(Script.Shown[1].Text.find(Root + "other/Plan_Not.dat"), std::string::npos) << Script.Shown[1].Text;
    }
    EXPECT_EQ(DataBytes(chosen) == before, !c.Written);
    EXPECT_EQ(Project().FileName, c.Written ? chosen : mine);
    if (c.Written) {
      TContainer back;
      back.Load(chosen);
      EXPECT_EQ(back.GetNote(0)->Data.Name, "Changed");
    }
    // Back to the first name for the next case.
    Project().FileName = mine;
    Project().GetNote(0)->SetName("Changed");
  }
}

// Fault: Save As "Mine.v2.qel" of the open "Mine.qel" silently wrote "Mine_*.dat": "Mine.qel"
// then opened the new state and its saved state was gone. Answering No writes nothing at all.
TEST_F(ProjectSafetyTest, SaveAsAsksBeforeReplacingTheOpenProjectsSavedStateUnderAnotherName) {
  struct TCase {
    const char* Open;   // the project file opened
    const char* Chosen; // in the Save As dialog
    const char* Owner;  // the project file named in the question; null: no question
    int Answer;
  };
  const TCase cases[] = {
      {"Mine.qel", "Mine.v2.qel", "Mine.qel", mrNo},
      {"Mine.qel", "Mine.v2.qel", "Mine.qel", mrYes},
      {"Mine.qel", "MINE.old.qel", "Mine.qel", mrNo}, // any letter case
      {"Mine.v2.qel", "Mine.qel", "Mine.v2.qel", mrNo}, // the dialog asked about Mine.qel only
      {"Mine.qel", "Mine.qel", nullptr, 0},             // its own name
      {"Mine.qel", "Yours.qel", nullptr, 0},
  };
  const std::string folder = Root + "mine/";
  const std::string picture = Root + "pictures/face.bmp";
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Open) + " as " + c.Chosen);
    Program.reset();
    ClearFolder(folder);
    auto saved = BuildProject({2, 1, 0, 1, "Saved"});
    WriteProject(*saved, folder + "Mine.qel");
    if (std::string(c.Open) != "Mine.qel") WriteProjectFile(folder + c.Open, true);
    SetLastProject(folder + c.Open);
    StartUp();
    ASSERT_EQ(Project().GetNote(0)->Data.Name, "Saved 1");
    CreateDir(Root + "pictures");
    WriteFileBytes(picture, "a picture kept elsewhere");
    Project().GetNote(0)->SetImage(picture);
    Project().GetNote(0)->SetName("Changed");
    const std::map<std::string, std::string> before = FolderBytes(folder);
    Script.Shown.clear();
    Script.AnswerSave(true, folder + c.Chosen);
    if (c.Owner) Script.Answer(c.Answer);
    QELMain->MI_FileSaveAsClick();
    ASSERT_EQ(Script.Shown.size(), c.Owner ? 2u : 1u);
    const bool written = !c.Owner || c.Answer == mrYes;
    if (c.Owner) {
      const std::string& text = Script.Shown[1].Text;
      EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtConfirmation);
      EXPECT_NE(text.find("Saving as " + std::string(c.Chosen) + " would replace the data files of " + c.Owner + ":"),
                std::string::npos) << text;
      for (const char* suffix : {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"})
        EXPECT_NE(text.find(folder + "Mine" + suffix + ".dat"), std::string::npos) << text;
    }
    if (written) {
      TContainer back;
      back.Load(folder + c.Chosen);
      EXPECT_EQ(back.GetNote(0)->Data.Name, "Changed");
      EXPECT_EQ(Project().FileName, folder + c.Chosen);
    } else {
      EXPECT_EQ(FolderBytes(folder), before); // no data file, project file or picture copy
      EXPECT_EQ(Project().FileName, folder + c.Open);
      EXPECT_TRUE(Project().IsModified());
    }
  }
}

// Fault: a backup location could be the open project itself (an empty location even became
// the last project), and one holding another project's data files was taken without a word.
TEST_F(ProjectSafetyTest, ABackupLocationOfTheOpenOrAnotherProjectIsRefusedOrAsked) {
  const std::string mine = OpenProject({2, 1, 0, 1}, "mine/Mine.qel");
  WriteProject(*BuildProject({1, 1, 0, 0, "Other"}), Root + "other/Other.qel");
  const std::string before = Backup();
  struct TCase {
    std::string Location;
    int Answer; // 0: refused without a question
    bool Taken;
  };
  const TCase cases[] = {
      {mine, 0, false},
      {Root + "mine/Mine.copy.qel", 0, false}, // the same data files under a dotted name
      {Root + "other/Other.qel", mrNo, false},
      {Root + "other/Other.qel", mrYes, true},
      {Root + "fresh/Fresh backup.qel", -1, true}, // nothing there: no question
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Location);
    SetBackup(before);
    Script.Shown.clear();
    Script.AnswerSave(true, c.Location);
    if (c.Answer == 0) Script.Answer(mrOk);
    else if (c.Answer > 0) Script.Answer(c.Answer);
    frmAutoSave->btnLocateBackupWorkfilesClick();
    EXPECT_EQ(Backup(), c.Taken ? c.Location : before);
    if (c.Answer == 0) {
      ASSERT_EQ(Script.Shown.size(), 2u);
      EXPECT_NE(Script.Shown[1].Text.find("own data files"), std::string::npos) << Script.Shown[1].Text;
    }
  }
  // An empty location becomes the default one, never the project's own.
  frmAutoSave->edLocateBackupWorkFiles->clear();
  frmAutoSave->btnSetAutoSaveClick();
  EXPECT_EQ(Backup(), before);
  // A location stored earlier that is the project's own: the tick writes nothing, says so once.
  const std::vector<std::string> files = DataBytes(mine);
  SetBackup(mine);
  Project().GetNote(0)->SetName("Unsaved");
  Script.Shown.clear();
  Script.Answer(mrOk);
  QELMain->trAutoSaveBackupTimer();
  QELMain->trAutoSaveBackupTimer();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_NE(Script.Shown[0].Text.find("not written"), std::string::npos);
  EXPECT_EQ(DataBytes(mine), files);
}

// Fault: a save processes messages while it shows its progress; a command delivered then ran
// inside it, and New, Open or Reopen freed the project the save was writing.
TEST_F(ProjectSafetyTest, ACommandDuringASaveRunsAfterIt) {
  struct TCase {
    const char* Command;
    std::function<void()> Answers; // its boxes' answers
    std::function<void()> Run;
    std::function<bool()> Ran;
  };
  const auto fileNamed = [this](const std::string& name) {
    return [this, name] { return Project().FileName == Root + name; };
  };
  const auto noAnswers = [] {};
  const TCase cases[] = {
      {"New", [this] { Script.Answer(mrYes); }, [] { QELMain->TB_NewClick(); },
       [this] { return Project().NoteCount() == 0; }},
      {"Open", [this] { Script.AnswerOpen(true, Root + "o/Other.qel"); }, [] { QELMain->TB_OpenClick(); },
       fileNamed("o/Other.qel")},
      {"Reopen", noAnswers, [] { QELMain->adpMRU1Click(nullptr, QELMain->adpMRU1->Files().front()); },
       fileNamed("o/Other.qel")},
      {"Save as", [this] { Script.AnswerSave(true, Root + "s/As.qel"); }, [] { QELMain->MI_FileSaveAsClick(); },
       fileNamed("s/As.qel")},
      {"Import", [this] { Script.AnswerOpen(true, Root + "o/Other.qel"); }, [] { QELMain->tbImportClick(); },
       [this] { return Project().NoteCount() == 5; }},
      {"New note", noAnswers, [] { QELMain->TB_NewNoteClick(); }, [this] { return Project().NoteCount() == 4; }},
      {"New on the tool bar", [this] { Script.Answer(mrYes); }, [] { QELMain->TB_new->trigger(); },
       [this] { return Project().NoteCount() == 0; }},
      {"Reopen in the menu", noAnswers, [] { QELMain->Reopen->actions().front()->trigger(); },
       fileNamed("o/Other.qel")},
      {"New sheet", noAnswers, [] { QELMain->TB_NewSheetClick(); }, [this] { return Project().SheetCount() == 2; }},
  };
  const std::string name = OpenProject({3, 1, 0, 1});
  WriteProject(*BuildProject({2, 1, 0, 0, "Other"}), Root + "o/Other.qel");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Command);
    QELMain->adpMRU1->AddFile(Root + "o/Other.qel");
    // Back to the project with its three notes, then one change for the save to write.
    if (Project().FileName != name || Project().NoteCount() != 3 || Project().SheetCount() != 1) {
      Project().SetModified(false);
      QELMain->adpMRU1Click(nullptr, name);
    }
    ASSERT_EQ(Project().FileName, name);
    Project().GetNote(0)->SetName("Saved");
    bool insideSave = false;
    QTimer::singleShot(0, QELMain, [&] {
      insideSave = QELMain->Saving();
      c.Run();
    });
    Script.Shown.clear();
    QELMain->TB_SaveClick();
    EXPECT_FALSE(c.Ran()) << "ran inside the save";
    EXPECT_TRUE(insideSave); // the command did arrive during the save
    TContainer saved;
    saved.Load(name);
    EXPECT_EQ(saved.NoteCount(), 3);
    EXPECT_EQ(saved.GetNote(0)->Data.Name, "Saved");
    c.Answers();
    RunPosted();
    EXPECT_TRUE(c.Ran()) << "never ran";
    EXPECT_FALSE(QELMain->Saving());
  }
}

// Fault: a timer tick inside the load error box saved the half-read project.
TEST_F(ProjectSafetyTest, ATickDuringALoadWritesNothing) {
  OpenProject({2, 1, 0, 1});
  const std::string broken = Root + "b/Broken.qel";
  WriteProject(*BuildProject({2, 1, 0, 1}), broken);
  WriteFileBytes(TContainer::DataFileName(broken, "_Pos"), "garbage\r\n");
  const std::vector<std::string> before = DataBytes(broken);
  SetBackup(Root + "bk/Back.qel");
  Script.AnswerOpen(true, broken).Answer(mrOk, [] {
    QELMain->trAutoSaveTimer();
    QELMain->trAutoSaveBackupTimer();
  });
  QELMain->TB_OpenClick();
  EXPECT_EQ(DataBytes(broken), before);
  EXPECT_FALSE(FileExists(Root + "work/Noname.qel"));
  EXPECT_FALSE(FileExists(Root + "bk/Back.qel"));
}

// Fault: the autosave of an unnamed project wrote "Noname.qel" and cleared the modified flag:
// New, Open or a damaged start then asked nothing, and the next ticks wrote the blank project
// over "Noname.qel" and its backup. A tick also wrote when nothing had changed.
TEST_F(ProjectSafetyTest, AnAutosaveOfAnUnnamedProjectKeepsItsWork) {
  enum TNext { New, Open, Start };
  for (TNext next : {New, Open, Start}) {
    SCOPED_TRACE(next);
    ClearFolder(Work);
    SetCurrentDir(Work);
    Program.reset();
    SetLastProject("");
    StartUp();
    const std::string backup = Root + "bk/Noname backup.qel";
    SetBackup(backup);
    ASSERT_EQ(Project().FileName, Work + "Noname.qel");
    TNote note;
    note.Name = "Work";
    Project().AddNote(note);
    // A backup tick during that autosave runs right after it.
    QTimer::singleShot(0, QELMain, [] { QELMain->trAutoSaveBackupTimer(); });
    QELMain->trAutoSaveTimer();
    EXPECT_TRUE(FileExists(TContainer::DataFileName(backup, "_Not")));
    ASSERT_FALSE(QELMain->adpMRU1->Files().empty()); // found again in the Reopen list
    const std::string kept = QELMain->adpMRU1->Files().front();
    {
      TRegistry settings; // already stored, for a program that ends without a word
      settings.OpenKey(kQelKey, false);
      EXPECT_EQ(settings.ReadString("MRU1"), kept);
    }
    EXPECT_EQ(ExtractFilePath(kept), WorkFilesFolder()); // not the current folder, nobody's project folder
    EXPECT_EQ(WorkFilesFolder(), Home + "Documents/QEL/");
    EXPECT_NE(kept, Work + "Noname.qel");
    EXPECT_FALSE(FileExists(Work + "Noname.qel"));
    EXPECT_EQ(Caption(), "QEL - Noname.qel");
    EXPECT_TRUE(Project().IsModified());
    TContainer copy;
    copy.Load(kept);
    ASSERT_EQ(copy.NoteCount(), 1);
    EXPECT_EQ(copy.GetNote(0)->Data.Name, "Work");
    // A tick with nothing new writes nothing.
    WriteFileBytes(TContainer::DataFileName(kept, "_Not"), "marker");
    WriteFileBytes(TContainer::DataFileName(backup, "_Not"), "backup marker");
    QELMain->trAutoSaveTimer();
    QELMain->trAutoSaveBackupTimer();
    EXPECT_EQ(ReadBytes(TContainer::DataFileName(kept, "_Not")), "marker");
    EXPECT_EQ(ReadBytes(TContainer::DataFileName(backup, "_Not")), "backup marker");
    WriteProject(copy, kept); // the work as the autosave left it
    const std::vector<std::string> keptBytes = DataBytes(kept);
    const std::vector<std::string> backupBytes = DataBytes(backup);
    const std::string broken = Root + "b/Broken.qel";
    WriteProject(*BuildProject({2, 1, 0, 1}), broken);
    WriteFileBytes(TContainer::DataFileName(broken, "_Pos"), "garbage\r\n");
    const std::string query = Work + "Noname.qel is modified. Save before closing?";
    Script.Shown.clear();
    if (next == New) {
      Script.Answer(mrYes).Answer(mrNo);
      QELMain->TB_NewClick();
      ASSERT_EQ(Script.Shown.size(), 2u);
      EXPECT_EQ(Script.Shown[1].Text, query);
    } else if (next == Open) {
      Script.Answer(mrNo).AnswerOpen(true, broken).Answer(mrOk);
      QELMain->TB_OpenClick();
      ASSERT_EQ(Script.Shown.size(), 3u);
      EXPECT_EQ(Script.Shown[0].Text, query);
      EXPECT_EQ(Script.Shown[2].Text.substr(0, kLoadError.size()), kLoadError);
    } else {
      // The program ends without a word (a crash); the next start meets a damaged last project.
      Program.reset();
      SetLastProject(broken);
      Script.Answer(mrOk);
      StartUp();
      EXPECT_NE(std::find(QELMain->adpMRU1->Files().begin(), QELMain->adpMRU1->Files().end(), kept),
                QELMain->adpMRU1->Files().end());
      SetBackup(backup);
    }
    EXPECT_EQ(Project().NoteCount(), 0);
    // The blank project that takes its place overwrites nothing.
    QELMain->trAutoSaveTimer();
    QELMain->trAutoSaveBackupTimer();
    EXPECT_EQ(DataBytes(kept), keptBytes);
    EXPECT_EQ(DataBytes(backup), backupBytes);
    EXPECT_FALSE(FileExists(Work + "Noname.qel"));
    // Nor does its own work once it has some: it gets a name of its own.
    Project().AddNote(note);
    QELMain->trAutoSaveTimer();
    EXPECT_NE(QELMain->adpMRU1->Files().front(), kept);
    EXPECT_EQ(DataBytes(kept), keptBytes);
  }
}

} // namespace
} // namespace qel::test
