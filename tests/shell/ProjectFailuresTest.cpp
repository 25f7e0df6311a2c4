// Failing loads, saves and imports, the import offsets, and the mended faults of the project
// commands.
#include "ShellFixture.h"

#include "windows/sheet/SheetForm.h"
#include "model/ProjectLock.h"
#include "model/SaveJournal.h"
#include "platform/FileNames.h"
#include "windows/search/Search.h"
#include "platform/qt/QtConvert.h"
#include "shell/AutoSave.h"
#include "shell/Main.h"
#include "windows/nav/Navigator.h"
#include "windows/links/RelationFrm.h"
#include "windows/props/NoteProp.h"

#include <sys/stat.h>

#include <QLineEdit>
#include <QPointer>
#include <QStatusBar>
#include <QTreeWidget>
#include <filesystem>

namespace qel::test {
namespace {

const std::string kLoadError = "An error occurred while loading. File may be of older version...\r"
                               "A new project (Noname.qel) will be created...";
const std::string kSaveError = "An error occurred while trying to save the current project!\nDetailInfo: ";

class ProjectFailuresTest : public ShellTest {
protected:
  // A project whose notes file is empty while its positions and links refer to notes.
  std::string BrokenProject(const std::string& name) {
    auto saved = BuildProject({2, 1, 0, 1});
    const std::string fileName = Root + name;
    WriteProject(*saved, fileName);
    WriteFileBytes(TContainer::DataFileName(fileName, "_Not"), "");
    return fileName;
  }
  TNotePrp* OpenNewNoteWindow(TNoteItem* note) {
    auto* window = new TNotePrp(QELMain, Qt::Window);
    window->Container = &Project();
    window->ShowNote(note, Project().RelationPool.get(), Project().LinkPool.get());
    window->show();
    QELMain->NewNoteWindow = window;
    return window;
  }
};

TEST_F(ProjectFailuresTest, FailingLoadReportsAndStartsANewProjectInTheCurrentFolder) {
  StartUp();
  const std::string broken = BrokenProject("b/Broken.qel");
  const std::string lastBefore = LastProject();
  Script.AnswerOpen(true, broken).Answer(mrOk);
  QELMain->TB_OpenClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  std::string message; // the error's own message follows the fixed text
  try {
    TContainer().Load(broken);
  } catch (const std::exception& e) {
    message = e.what();
  }
  EXPECT_FALSE(message.empty());
  // The positions refer to notes the empty notes file does not hold: the first position fails.
  EXPECT_EQ(Script.Shown[1].Text, kLoadError + "\n" + message + "\nFile: " + Root + "b/Broken_Pos.dat, line 1");
  EXPECT_EQ(Script.Shown[1].Caption, "QEL");
  EXPECT_EQ(Project().FileName, Work + "Noname.qel");
  EXPECT_EQ(Caption(), "QEL - Noname.qel");
  EXPECT_EQ(RelationNames(Project()).size(), 3u);
  EXPECT_EQ(Project().NoteCount(), 0);
  EXPECT_EQ(LastProject(), lastBefore);
  EXPECT_EQ(NavForm->Container, &Project());
  // The project put in its place holds nothing of the user's: Exit asks nothing.
  EXPECT_FALSE(Project().IsModified());
}

TEST_F(ProjectFailuresTest, ALoadErrorNamesTheFileAndTheLine) {
  StartUp();
  auto saved = BuildProject({3, 1, 0, 0});
  const std::string name = Root + "c/Bad.qel";
  WriteProject(*saved, name);
  std::string notes = ReadBytes(TContainer::DataFileName(name, "_Not"));
  const size_t third = notes.find("\r\n", notes.find("\r\n") + 2) + 2;
  notes.insert(third, "x"); // the third note's identifier is no number
  WriteFileBytes(TContainer::DataFileName(name, "_Not"), notes);
  Script.AnswerOpen(true, name).Answer(mrOk);
  QELMain->TB_OpenClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[1].Text, kLoadError + "\n'x2' is not a valid integer value\nFile: " +
                                      TContainer::DataFileName(name, "_Not") + ", line 3");
}

// A save stopped after its journal was written: opening the project completes that save
// before reading, and the main window says so. One stopped before: its files are removed and
// the window says which state was kept.
TEST_F(ProjectFailuresTest, OpeningAProjectWhoseSaveWasInterruptedPutsItRightAndSaysSo) {
  StartUp();
  const std::string name = Root + "j/Plan.qel";
  WriteProject(*BuildProject({2, 1, 0, 0}), name);
  BuildProject({3, 1, 0, 0})->SaveDataFiles(Root + "j/Newer.qel");
  const std::string notes = TContainer::DataFileName(name, "_Not");
  const std::string newer = ReadBytes(TContainer::DataFileName(Root + "j/Newer.qel", "_Not"));
  WriteFileBytes(notes + ".saving", newer);
  TSaveJournal(name).Write({{"_Not", newer.size(), TSaveJournal::Checksum(newer)}});
  Script.AnswerOpen(true, name).Answer(mrOk);
  QELMain->TB_OpenClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[1].Text, "A save of this project had been interrupted. It has now been completed: the "
                                  "project is as that save left it.\nFile: " + name);
  EXPECT_EQ(Project().NoteCount(), 3);
  EXPECT_FALSE(FileExists(Root + "j/Plan_Save.journal"));

  WriteFileBytes(notes + ".saving", "half of a n");
  Script.AnswerOpen(true, name).Answer(mrOk);
  QELMain->TB_OpenClick();
  ASSERT_EQ(Script.Shown.size(), 4u);
  EXPECT_EQ(Script.Shown[3].Text, "The last save of this project did not finish: it stopped before all its files "
                                  "were written. The project is as it was before that save; the files that save had "
                                  "begun were removed.\nFile: " + name);
  EXPECT_EQ(Project().NoteCount(), 3);
  EXPECT_FALSE(FileExists(notes + ".saving"));
}

// A journal that names a file outside the project: opening says which file to remove and
// changes nothing; once it is gone the project opens.
TEST_F(ProjectFailuresTest, OpeningAProjectWithAJournalItCannotActOnNamesTheJournal) {
  StartUp();
  const std::string name = Root + "r/Plan.qel", journal = Root + "r/Plan_Save.journal";
  WriteProject(*BuildProject({2, 1, 0, 0}), name);
  WriteFileBytes(Root + "victim", "mine");
  WriteFileBytes(Root + "victim.saving", "sender's");
  WriteFileBytes(journal, "QEL save journal\n../victim" + std::string(1, '\0') + "../victim.saving\nend\n");
  Script.AnswerOpen(true, name).Answer(mrOk);
  QELMain->TB_OpenClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[1].Text,
            kLoadError + "\nQEL found a save journal it does not act on: it is not a journal of a save of this "
                         "project (it may name other files or paths). Nothing was renamed or deleted. If no save of "
                         "this project was interrupted, remove this file, then open or save the project again: " +
                journal);
  EXPECT_EQ(ReadBytes(Root + "victim"), "mine");
  EXPECT_TRUE(FileExists(Root + "victim.saving"));
  EXPECT_TRUE(FileExists(journal));
  DeleteFile(journal);
  Script.AnswerOpen(true, name);
  QELMain->TB_OpenClick();
  EXPECT_EQ(Script.Shown.size(), 3u);
  EXPECT_EQ(Project().FileName, name);
}

// Another running program holds the project open: opening it says so, and the project opens.
TEST_F(ProjectFailuresTest, OpeningAProjectAnotherProgramHoldsOpenSaysSo) {
  StartUp();
  const std::string name = Root + "o/Plan.qel";
  WriteProject(*BuildProject({2, 1, 0, 0}), name);
  TProjectLock other(name);
  bool elsewhere = true;
  ASSERT_TRUE(other.HoldOpen(elsewhere));
  EXPECT_FALSE(elsewhere);
  Script.AnswerOpen(true, name).Answer(mrOk);
  QELMain->TB_OpenClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[1].Text, "Another running QEL has this project open: " + name +
                                      "\nYou may go on working. When both programs save it, the later save "
                                      "replaces the other's.");
  EXPECT_EQ(Project().FileName, name);
  EXPECT_EQ(Project().NoteCount(), 2);
  // The other program sees this one too, until it opens something else.
  ASSERT_TRUE(other.HoldOpen(elsewhere));
  EXPECT_TRUE(elsewhere);
  Script.Answer(mrYes);
  QELMain->TB_NewClick();
  ASSERT_TRUE(other.HoldOpen(elsewhere));
  EXPECT_FALSE(elsewhere);
}

// Fault: a save refused for a read-only data file had already rewritten the project file.
TEST_F(ProjectFailuresTest, ASaveRefusedForAReadOnlyFileLeavesTheProjectFileAsItWas) {
  const std::string name = OpenProject({});
  const std::string notes = TContainer::DataFileName(name, "_Not");
  WriteFileBytes(name, "[QEL]\r\nVersion=5.0\r\n[DEFAULTS]\r\nGrid=Yes\r\n");
  struct stat before {};
  ASSERT_EQ(::stat(name.c_str(), &before), 0);
  ASSERT_EQ(::chmod(notes.c_str(), 0444), 0);
  Project().GetNote(0)->SetName("Changed");
  Script.Answer(mrOk);
  QELMain->TB_SaveClick();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Text, kSaveError + "The file is read-only: " + notes);
  struct stat after {};
  ASSERT_EQ(::stat(name.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(ReadBytes(name), "[QEL]\r\nVersion=5.0\r\n[DEFAULTS]\r\nGrid=Yes\r\n");
  EXPECT_TRUE(Project().IsModified());
  ::chmod(notes.c_str(), 0644);
}

// Fault: the default relation types of a new project counted as changes, so New, Open or
// Exit right after New or start-up asked to save an empty project.
TEST_F(ProjectFailuresTest, ANewProjectHoldingOnlyItsRelationTypesIsNotModified) {
  StartUp();
  EXPECT_FALSE(Project().IsModified());
  Script.Answer(mrYes).Answer(mrYes);
  QELMain->TB_NewClick();
  QELMain->TB_NewClick();
  ASSERT_EQ(Script.Shown.size(), 2u); // only "Are you sure ...?", twice
  EXPECT_EQ(RelationNames(Project()), (std::vector<std::string>{"leads to", "consists of", "assumes"}));
  Script.AnswerOpen(false);
  QELMain->TB_OpenClick();
  EXPECT_TRUE(QELMain->close());
  EXPECT_EQ(Script.Shown.size(), 3u);
  Project().GetRelation(0)->SetName("causes"); // a real change is still seen
  EXPECT_TRUE(Project().IsModified());
}

TEST_F(ProjectFailuresTest, ReopenOfAMissingProjectReportsAndStartsNew) {
  StartUp();
  Script.Answer(mrOk);
  QELMain->adpMRU1Click(nullptr, Root + "missing/Gone.qel");
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Text, kLoadError + "\nFile not found\nFile: " + Root + "missing/Gone_Sht.dat");
  EXPECT_EQ(Project().FileName, Work + "Noname.qel");
}

TEST_F(ProjectFailuresTest, FailingSaveReportsAndChangesNothing) {
  const std::string name = OpenProject({});
  WriteFileBytes(Root + "blocker", "a file where a folder should be");
  const std::string target = Root + "blocker/sub/Proj.qel";
  Project().GetNote(0)->SetName("Changed");
  Script.AnswerSave(true, target).Answer(mrOk).Answer(mrOk);
  QELMain->MI_FileSaveAsClick();
  ASSERT_EQ(Script.Shown.size(), 3u);
  EXPECT_EQ(Script.Shown[1].Text, "Error Creating Directory");
  EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtError);
  EXPECT_EQ(Script.Shown[2].Text.substr(0, kSaveError.size()), kSaveError);
  EXPECT_GT(Script.Shown[2].Text.size(), kSaveError.size());
  EXPECT_TRUE(Project().IsModified());
  EXPECT_EQ(Caption(), "QEL - Proj.qel");
  EXPECT_EQ(LastProject(), name);
}

// Fault: a read-only project said nothing when it was opened, and every autosave tick showed
// the same error box again (a failing backup too).
TEST_F(ProjectFailuresTest, AReadOnlyProjectSaysSoOnceAndKeepsItsChanges) {
  const auto protect = [](const std::string& file, bool on) {
    std::filesystem::permissions(ToNativePath(file), on ? std::filesystem::perms(0444) : std::filesystem::perms(0644));
  };
  int run = 0;
  for (const char* locked : {".qel", "_Not.dat"}) {
    SCOPED_TRACE(locked);
    Program.reset();
    const std::string name = Root + "ro" + std::to_string(run++) + "/Proj.qel";
    WriteProject(*BuildProject({}), name);
    const std::string file = locked == std::string(".qel") ? name : TContainer::DataFileName(name, "_Not");
    protect(file, true);
    SetLastProject(name);
    Script.Shown.clear();
    Script.Answer(mrOk);
    StartUp();
    ASSERT_EQ(Script.Shown.size(), 1u);
    EXPECT_NE(Script.Shown[0].Text.find("Proj.qel is read-only"), std::string::npos) << Script.Shown[0].Text;
    EXPECT_NE(Script.Shown[0].Text.find("\n" + file), std::string::npos) << Script.Shown[0].Text;
    // Each refused save says so once, however often its timer ticks and the user goes on.
    WriteFileBytes(Root + "blocker", "a file where the backup folder should be");
    frmAutoSave->edLocateBackupWorkFiles->setText(ToQString(Root + "blocker/Back.qel"));
    Project().GetNote(0)->SetName("Changed");
    Script.Answer(mrOk).Answer(mrOk).Answer(mrOk);
    for (int tick = 0; tick < 3; ++tick) {
      QELMain->trAutoSaveTimer();
      QELMain->trAutoSaveBackupTimer();
      Project().GetNote(0)->SetName("Again " + std::to_string(tick));
    }
    ASSERT_EQ(Script.Shown.size(), 4u);
    EXPECT_EQ(Script.Shown[1].Text.substr(0, kSaveError.size()), kSaveError);
    EXPECT_NE(Script.Shown[1].Text.find(file), std::string::npos) << Script.Shown[1].Text;
    EXPECT_EQ(Script.Shown[2].Text, "Error Creating Directory");
    EXPECT_EQ(Script.Shown[3].Text.substr(0, kSaveError.size()), kSaveError);
    EXPECT_TRUE(Project().IsModified());
    Script.Answer(mrYes).Answer(mrCancel);
    QELMain->TB_NewClick();
    EXPECT_EQ(Script.Shown.back().Text, name + " is modified. Save before closing?");
    EXPECT_EQ(Project().FileName, name);
    // Writable again: the next tick saves without a word; a later refusal is told again.
    protect(file, false);
    QELMain->trAutoSaveTimer();
    EXPECT_EQ(Script.Shown.size(), 6u);
    EXPECT_FALSE(Project().IsModified());
    TContainer saved;
    saved.Load(name);
    EXPECT_EQ(saved.GetNote(0)->Data.Name, "Again 2");
    protect(file, true);
    Project().GetNote(0)->SetName("Later");
    Script.Answer(mrOk);
    QELMain->trAutoSaveTimer();
    QELMain->trAutoSaveTimer();
    EXPECT_EQ(Script.Shown.size(), 7u);
    protect(file, false);
    DeleteFile(Root + "blocker");
  }
}

// The folder of a named project replaced by a file: the autosave's refusals, the model's
// "Error Creating Directory" among them, are told once however often the timer ticks.
TEST_F(ProjectFailuresTest, AnAutosaveWhoseFolderCannotBeMadeSaysSoOnce) {
  const std::string name = OpenProject({}, "gone/Proj.qel");
  std::filesystem::remove_all(ToNativePath(Root + "gone"));
  WriteFileBytes(Root + "gone", "a file where the project's folder was");
  Script.Shown.clear();
  Script.Answer(mrOk).Answer(mrOk);
  for (int tick = 0; tick < 3; ++tick) {
    Project().GetNote(0)->SetName("Tick " + std::to_string(tick));
    QELMain->trAutoSaveTimer();
  }
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[0].Text, "Error Creating Directory");
  EXPECT_EQ(Script.Shown[1].Text.substr(0, kSaveError.size()), kSaveError);
  EXPECT_TRUE(Project().IsModified());
  EXPECT_EQ(Project().FileName, name);
}

TEST_F(ProjectFailuresTest, ImportRecordsTheOffsetsEvenWhenCancelled) {
  StartUp();
  TContainer& project = Project();
  for (int i = 0; i < 5; ++i) project.AddNote(TNote());
  for (int i = 0; i < 2; ++i) project.AddSheet(TSheet());
  TAttachment attachment;
  attachment.Note = project.GetNote(0);
  project.AddAttachment(attachment);
  for (int i = 0; i < 4; ++i)
    project.NewLink(project.GetNote(i), project.GetNote(i + 1), project.GetRelation(0), project.GetSheet(0));
  for (int i = 0; i < 6; ++i) project.AssignNoteToSheet(project.GetNote(i % 5), project.GetSheet(i / 5));
  Script.Answer(mrNo).AnswerOpen(false);
  QELMain->tbImportClick();
  EXPECT_EQ(QELMain->ImportNoteOffset, 5);
  EXPECT_EQ(QELMain->ImportSheetOffset, 2);
  EXPECT_EQ(QELMain->ImportAttachmentOffset, 1);
  EXPECT_EQ(QELMain->ImportLinkOffset, 4);
  EXPECT_EQ(QELMain->ImportRelationOffset, 3);
  EXPECT_EQ(QELMain->ImportPositionOffset, 6);
  EXPECT_EQ(Project().NoteCount(), 5);
}

// Fault (too): the import's dialog was titled as Open's, and the import ended without a word.
TEST_F(ProjectFailuresTest, ImportAppendsAnotherProjectWithShiftedReferences) {
  const std::string name = OpenProject({2, 1, 1, 1});
  auto other = BuildProject({3, 1, 0, 2, "Other"});
  const std::string otherName = Root + "o/Other.qel";
  WriteProject(*other, otherName, false);
  Script.AnswerOpen(false).AnswerOpen(true, otherName);
  QELMain->TB_OpenClick();
  QELMain->tbImportClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[0].File.Title, "Open Project");
  EXPECT_EQ(Script.Shown[1].File.Title, "Import Project");
  EXPECT_EQ(QELMain->statusBar()->currentMessage(),
            "Imported from Other.qel: 3 notes, 1 sheet, 2 links, 0 attachments, 0 relation types.");
  EXPECT_EQ(Project().NoteCount(), 5);
  EXPECT_EQ(Project().SheetCount(), 2);
  EXPECT_EQ(Project().LinkCount(), 3);
  // The other project's relation types are the own ones by name: its links take those.
  EXPECT_EQ(RelationNames(Project()), (std::vector<std::string>{"leads to", "consists of", "assumes"}));
  TLinkItem* imported = Project().GetLink(1);
  EXPECT_EQ(imported->GetFromNote()->Data.Name, "Other 1");
  EXPECT_EQ(imported->GetToNote()->Data.Name, "Other 2");
  EXPECT_EQ(imported->GetSheet(), Project().GetSheet(1));
  EXPECT_EQ(imported->GetRelation(), Project().GetRelation(0));
  EXPECT_EQ(Project().GetLink(2)->GetRelation(), Project().GetRelation(1));
  EXPECT_EQ(Project().FileName, name);
  EXPECT_TRUE(Project().Grid); // the imported project file's flag is not read
  EXPECT_TRUE(Project().IsModified());
  NavForm->Tree->ExpandNode(NavForm->Tree->NotesNode);
  EXPECT_EQ(NavForm->Tree->NotesNode->childCount(), 5);
  // Fault: the relation-type window refused OK after an import ("similar names").
  RelationForm->SetContainer(&Project());
  RelationForm->FillList();
  RelationForm->setResult(0);
  RelationForm->BTN_OkClick();
  EXPECT_EQ(RelationForm->result(), QDialog::Accepted);
  EXPECT_EQ(Script.Shown.size(), 2u); // the file dialogs only
  // What the status bar says is of the project it was said about.
  Script.Answer(mrYes).Answer(mrNo); // a new project, without saving this one
  QELMain->TB_NewClick();
  EXPECT_EQ(QELMain->statusBar()->currentMessage(), "");
}

// Fault: a failed import left part of the other project behind without a word.
TEST_F(ProjectFailuresTest, FailedImportReportsAndLeavesTheProjectAsBefore) {
  OpenProject({2, 1, 1, 1});
  const std::string broken = BrokenProject("b/Broken.qel");
  Script.AnswerOpen(true, broken).Answer(mrOk);
  QELMain->tbImportClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  const std::string head = "An error occurred while loading. File may be of older version...\n";
  EXPECT_EQ(Script.Shown[1].Text.substr(0, head.size()), head);
  EXPECT_GT(Script.Shown[1].Text.size(), head.size());
  EXPECT_EQ(Project().NoteCount(), 2);
  EXPECT_EQ(Project().SheetCount(), 1);
  EXPECT_EQ(Project().LinkCount(), 1);
  EXPECT_EQ(Project().RelationCount(), 3);
  EXPECT_FALSE(Project().IsModified());
  EXPECT_EQ(QELMain->statusBar()->currentMessage(), "") << "nothing was imported";
  NavForm->Tree->ExpandNode(NavForm->Tree->NotesNode);
  EXPECT_EQ(NavForm->Tree->NotesNode->childCount(), 2);
}

// Fault: Reopen replaced a modified project without asking.
TEST_F(ProjectFailuresTest, ReopenAsksTheSaveQuestionAndCancelKeepsTheProject) {
  const std::string name = OpenProject({});
  Project().GetNote(0)->SetName("Unsaved");
  Script.Answer(mrCancel);
  QELMain->adpMRU1Click(nullptr, name);
  EXPECT_EQ(Script.Shown[0].Text, name + " is modified. Save before closing?");
  EXPECT_EQ(Project().GetNote(0)->Data.Name, "Unsaved");
}

// Fault: an edit the user had not left yet was not seen by the save question.
TEST_F(ProjectFailuresTest, PendingEditsAreStoredBeforeTheSaveQuestion) {
  OpenProject({});
  OpenNewNoteWindow(Project().GetNote(0))->ED_Caption->setText("Typed");
  ASSERT_FALSE(Project().IsModified());
  Script.Answer(mrYes).Answer(mrCancel);
  QELMain->TB_NewClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Project().GetNote(0)->Data.Name, "Typed");
}

// Fault: after Yes in the save question, a failed save still let the command discard the work.
TEST_F(ProjectFailuresTest, AFailedSaveInTheSaveQuestionCancelsTheCommand) {
  const std::string name = OpenProject({});
  Project().GetNote(0)->SetName("Precious");
  DeleteFile(name);
  CreateDir(name); // the project file's name is now a folder: writing it fails
  Script.Answer(mrYes).Answer(mrYes).Answer(mrOk);
  QELMain->TB_NewClick();
  EXPECT_EQ(Script.Shown[2].Text.substr(0, kSaveError.size()), kSaveError);
  EXPECT_EQ(Project().FileName, name);
  EXPECT_EQ(Project().GetNote(0)->Data.Name, "Precious");
}

// Fault: Yes in the save question wrote an unnamed project as "Noname.qel" wherever it was.
TEST_F(ProjectFailuresTest, YesForAnUnnamedProjectGoesThroughSaveAs) {
  StartUp();
  Project().AddNote(TNote());
  Script.Answer(mrYes).Answer(mrYes).AnswerSave(false);
  QELMain->TB_NewClick();
  EXPECT_EQ(Project().NoteCount(), 1); // cancelled: nothing replaced
  EXPECT_FALSE(FileExists(Work + "Noname.qel"));
  const std::string chosen = Root + "Chosen.qel";
  Script.Answer(mrYes).Answer(mrYes).AnswerSave(true, chosen);
  QELMain->TB_NewClick();
  EXPECT_TRUE(FileExists(chosen));
  EXPECT_TRUE(FileExists(Root + "Chosen_Not.dat"));
  EXPECT_EQ(Project().NoteCount(), 0);
}

// Fault: windows kept pointers into a freed project.
TEST_F(ProjectFailuresTest, ReplacingTheProjectReleasesEveryWindowFirst) {
  OpenProject({});
  TContainer* old = &Project();
  auto* sheetWindow = new TDrawSheet();
  QELMain->AddChildWindow(sheetWindow);
  sheetWindow->SetSheet(old, old->GetSheet(0));
  QPointer<TDrawSheet> sheetRef = sheetWindow;
  QPointer<TNotePrp> noteRef = OpenNewNoteWindow(old->GetNote(0));
  noteRef->ED_Caption->setText("Stored on the way out");
  auto* search = new TfrmSearch(QELMain);
  search->SetContainer(old);
  QPointer<TfrmSearch> searchRef = search;
  bool checked = false;
  QObject::connect(QELMain, &TQELMain::ProjectReleasing, [&](TContainer* releasing) {
    checked = true;
    EXPECT_EQ(releasing, old);
    EXPECT_EQ(releasing->GetNote(0)->Data.Name, "Stored on the way out");
    EXPECT_TRUE(QELMain->ChildWindows<TDrawSheet>().empty());
    EXPECT_TRUE(sheetRef.isNull());
    EXPECT_TRUE(noteRef.isNull());
    EXPECT_TRUE(searchRef.isNull());
  });
  Script.Answer(mrYes).Answer(mrNo);
  QELMain->TB_NewClick();
  EXPECT_TRUE(checked);
  EXPECT_NE(&Project(), old);
  EXPECT_EQ(NavForm->Container, &Project());
}

TEST_F(ProjectFailuresTest, OpenCancelledKeepsTheProjectAndRebindsTheNavigator) {
  const std::string name = OpenProject({});
  NavForm->TV_Container->clear();
  Script.AnswerOpen(false);
  QELMain->TB_OpenClick();
  EXPECT_EQ(Script.Shown[0].File.InitialDir + "/", Root + "p/");
  EXPECT_EQ(Script.Shown[0].File.FileName, "");
  EXPECT_EQ(Script.Shown[0].File.Filter, "QEL Projects (*.qel)|*.qel");
  EXPECT_EQ(Project().FileName, name);
  EXPECT_EQ(NavForm->TV_Container->topLevelItemCount(), 1);
}

} // namespace
} // namespace qel::test
