// Settings, the autosave window, the two timers and the backup.
#include "ShellFixture.h"

#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/Registry.h"
#include "shell/AutoSave.h"
#include "shell/Main.h"
#include "shell/ProjectFile.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <climits>
#include <functional>

namespace qel::test {
namespace {

class AutoSaveTest : public ShellTest {
protected:
  void Store(const std::string& name, const std::string& value) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kQelKey, true));
    registry.WriteString(name, value);
  }
  std::string Stored(const std::string& name) {
    TRegistry registry;
    registry.OpenKey(kQelKey, true);
    return registry.ValueExists(name) ? registry.ReadString(name) : "<missing>";
  }
  void SetTimes(const char* workHours, const char* workMinutes, const char* backupHours, const char* backupMinutes) {
    frmAutoSave->edWorkFileAutoSaveHours->setText(workHours);
    frmAutoSave->edWorkFileAutoSaveMinutes->setText(workMinutes);
    frmAutoSave->edBackupWorkFileAutoSaveHours->setText(backupHours);
    frmAutoSave->edBackupWorkFileAutoSaveMinutes->setText(backupMinutes);
  }
};

TEST(Interval, HoursAndMinutesInMilliseconds) {
  EXPECT_EQ(IntervalOf("1", "30"), 5400000);
  EXPECT_EQ(IntervalOf("0", "0"), 0);
  EXPECT_EQ(IntervalOf("", ""), 0);
  EXPECT_EQ(IntervalOf("6", ""), 21600000);
  EXPECT_EQ(IntervalOf("596", "0"), 2145600000);
  EXPECT_EQ(IntervalOf("597", "0"), INT_MAX); // beyond the largest timer interval
  EXPECT_EQ(IntervalOf("99999999999999999999", "5"), INT_MAX);
  EXPECT_EQ(IntervalOf("1h", "5"), 300000);
}

TEST(Interval, ZeroStopsTheTimer) {
  qel::test::EnsureApplication();
  QTimer timer;
  SetTimerInterval(timer, 5400000);
  EXPECT_TRUE(timer.isActive());
  EXPECT_EQ(timer.interval(), 5400000);
  SetTimerInterval(timer, 0);
  EXPECT_FALSE(timer.isActive());
  SetTimerInterval(timer, 60000);
  EXPECT_TRUE(timer.isActive());
}

TEST_F(AutoSaveTest, TimersRunEveryHalfHourUntilSettingsAreRead) {
  CreateWindows();
  EXPECT_TRUE(QELMain->trAutoSave->isActive());
  EXPECT_EQ(QELMain->trAutoSave->interval(), 1800000);
  EXPECT_EQ(QELMain->trAutoSaveBackup->interval(), 1800000);
}

TEST_F(AutoSaveTest, SetWithoutStoredSettingsWritesTheDefaults) {
  SetLastProject(Root + "Last.qel");
  CreateWindows();
  const std::string backup = FromQString(frmAutoSave->edLocateBackupWorkFiles->text());
  EXPECT_EQ(ExtractFileName(backup), "Noname backup.qel"); // no project yet
  EXPECT_EQ(ExtractFileName(ExcludeTrailingPathDelimiter(ExtractFilePath(backup))), "Backup");
  frmAutoSave->FormActivate();
  frmAutoSave->btnSetAutoSaveClick();
  // Where the autosave keeps the project without a name, and its backup beside it.
  const std::string work = Stored("LocateWorkFiles");
  EXPECT_EQ(work, QELMain->UnnamedWorkName());
  EXPECT_EQ(ExtractFilePath(work), Home + "Documents/QEL/");
  EXPECT_EQ(work.substr(work.size() - 4), ".qel");
  EXPECT_EQ(Stored("WorkFileAutoSaveHours"), "1");
  EXPECT_EQ(Stored("WorkFileAutoSaveMinutes"), "0");
  EXPECT_EQ(Stored("LocateBackupWorkFiles"), ExtractFilePath(backup) + TContainer::BaseName(work) + " backup.qel");
  EXPECT_EQ(Stored("BackupWorkFileAutoSaveHours"), "6");
  EXPECT_EQ(Stored("BackupWorkFileAutoSaveMinutes"), "0");
  EXPECT_EQ(frmAutoSave->btnSetAutoSave->text(), "Autosave set !");
  EXPECT_EQ(QELMain->trAutoSave->interval(), 3600000);
  EXPECT_EQ(QELMain->trAutoSaveBackup->interval(), 21600000);
}

// Fault: an empty backup location became the last project, so backups rewrote its own data files.
TEST_F(AutoSaveTest, SetFillsEmptyFieldsAndZeroStopsATimer) {
  SetLastProject(Root + "Last.qel");
  CreateWindows();
  SetTimes("1", "30", "0", "");
  frmAutoSave->edLocateBackupWorkFiles->clear();
  frmAutoSave->btnSetAutoSaveClick();
  EXPECT_EQ(QELMain->trAutoSave->interval(), 5400000);
  EXPECT_TRUE(QELMain->trAutoSave->isActive());
  EXPECT_FALSE(QELMain->trAutoSaveBackup->isActive());
  EXPECT_EQ(Stored("BackupWorkFileAutoSaveMinutes"), "0");
  // The default location, not the last project: that would be the project's own data files.
  EXPECT_EQ(ExtractFileName(Stored("LocateBackupWorkFiles")), "Noname backup.qel");
  frmAutoSave->btnSetAutoSaveExit();
  EXPECT_EQ(frmAutoSave->btnSetAutoSave->text(), "Set Autosave");
}

TEST_F(AutoSaveTest, TimeFieldsTakeDigitsOnly) {
  CreateWindows();
  QLineEdit* hours = frmAutoSave->edWorkFileAutoSaveHours;
  hours->clear();
  QTest::keyClicks(hours, "1a2-");
  EXPECT_EQ(hours->text(), "12");
  QTest::keyClick(hours, Qt::Key_Backspace);
  EXPECT_EQ(hours->text(), "1");
  hours->insert("x9"); // pasted text is checked too
  EXPECT_EQ(hours->text(), "1");
}

TEST_F(AutoSaveTest, LocatingTheBackupAndFinishing) {
  CreateWindows();
  const QString before = frmAutoSave->edLocateBackupWorkFiles->text();
  Script.AnswerSave(false).AnswerSave(true, Root + "b/Safe.qel");
  frmAutoSave->btnLocateBackupWorkfilesClick();
  EXPECT_EQ(frmAutoSave->edLocateBackupWorkFiles->text(), before);
  EXPECT_EQ(Script.Shown[0].File.Filter, "qel|*.qel");
  frmAutoSave->btnLocateBackupWorkfilesClick();
  EXPECT_EQ(FromQString(frmAutoSave->edLocateBackupWorkFiles->text()), Root + "b/Safe.qel");
  frmAutoSave->show();
  frmAutoSave->bnAutoSaveFinishClick();
  EXPECT_FALSE(frmAutoSave->isVisible());
  EXPECT_EQ(Stored("LocateBackupWorkFiles"), "<missing>");
}

TEST_F(AutoSaveTest, StoredSettingsAreReadAfterALoad) {
  Store("WorkFileAutoSaveHours", "2");
  Store("WorkFileAutoSaveMinutes", "");
  Store("LocateBackupWorkFiles", Root + "bk/Back.qel");
  OpenProject({});
  EXPECT_EQ(frmAutoSave->edWorkFileAutoSaveHours->text(), "2");
  EXPECT_EQ(frmAutoSave->edWorkFileAutoSaveMinutes->text(), "0");
  EXPECT_EQ(FromQString(frmAutoSave->edLocateBackupWorkFiles->text()), Root + "bk/Back.qel");
  EXPECT_EQ(frmAutoSave->edBackupWorkFileAutoSaveHours->text(), "6");
  EXPECT_EQ(QELMain->trAutoSave->interval(), 7200000);
}

// Fault: stored settings were applied only after a successful load.
TEST_F(AutoSaveTest, StoredSettingsHoldFromTheStartWithoutAProject) {
  for (const char* name : {"WorkFileAutoSaveHours", "WorkFileAutoSaveMinutes", "BackupWorkFileAutoSaveHours",
                           "BackupWorkFileAutoSaveMinutes"})
    Store(name, "0");
  StartUp();
  EXPECT_FALSE(QELMain->trAutoSave->isActive());
  EXPECT_FALSE(QELMain->trAutoSaveBackup->isActive());
}

TEST_F(AutoSaveTest, IDLoadMustBeExactlyYes) {
  for (auto [value, expected] : {std::pair{"Yes", true}, {"yes", false}, {"", false}}) {
    Store("IDLoad", value);
    CreateWindows();
    EXPECT_EQ(AddOnLoad, expected) << value;
    Program.reset();
  }
  AddOnLoad = false;
}

// Fault: the backup saved through the project's own save, which moved its folder, the current
// folder and its modified state to the backup. Fault: the backup wrote no project file, so it
// could not be opened.
TEST_F(AutoSaveTest, BackupWritesAProjectThatOpensAndChangesNothingElse) {
  const std::string name = OpenProject({});
  Project().GetNote(0)->SetName("Unsaved");
  const std::string directory = Project().Directory;
  const std::string current = GetCurrentDir();
  const std::string backup = Root + "deep/Backup/Proj backup.qel";
  frmAutoSave->edLocateBackupWorkFiles->setText(ToQString(backup));
  QELMain->trAutoSaveBackupTimer();
  for (const char* suffix : {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"})
    EXPECT_TRUE(FileExists(TContainer::DataFileName(backup, suffix))) << suffix;
  EXPECT_EQ(ReadBytes(backup), "[QEL]\r\nVersion=6.0\r\n[DEFAULTS]\r\nGrid=Yes\r\n"); // the project's flag
  EXPECT_EQ(Project().FileName, name);
  EXPECT_EQ(Project().Directory, directory);
  EXPECT_EQ(GetCurrentDir(), current);
  EXPECT_TRUE(Project().IsModified());
  EXPECT_EQ(LastProject(), name);
  EXPECT_EQ(Caption(), "QEL - Proj.qel");
  Script.Answer(mrNo).AnswerOpen(true, backup);
  QELMain->TB_OpenClick();
  EXPECT_EQ(Project().FileName, backup);
  EXPECT_EQ(Project().GetNote(0)->Data.Name, "Unsaved");
}

// Fault: a project without a name was autosaved into the folder of the project loaded last,
// and the autosave window showed the last project, not where the autosave wrote.
TEST_F(AutoSaveTest, TheWindowShowsWhereTheAutosaveWrites) {
  const std::string other = OpenProject({}, "theirs/Theirs.qel");
  const auto shown = [] { return FromQString(frmAutoSave->edLocateWorkFiles->text()); };
  struct TStep {
    const char* What;
    std::function<void()> Run;
    std::function<std::string()> Expected;
  };
  std::string unnamed;
  const TStep steps[] = {
      {"a loaded project", [] {}, [&] { return other; }},
      {"New", [this] { Script.Answer(mrYes); QELMain->TB_NewClick(); },
       [&] { return unnamed = Home + "Documents/QEL/" + ExtractFileName(QELMain->UnnamedWorkName()); }},
      {"Save As", [this] { Script.AnswerSave(true, Root + "named/Plan.qel"); QELMain->MI_FileSaveAsClick(); },
       [this] { return Root + "named/Plan.qel"; }},
      {"New again", [this] { Script.Answer(mrYes); QELMain->TB_NewClick(); },
       [] { return QELMain->UnnamedWorkName(); }},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.What);
    step.Run();
    const std::string expected = step.Expected();
    EXPECT_EQ(shown(), expected);
    frmAutoSave->edLocateWorkFiles->setText("elsewhere");
    frmAutoSave->FormActivate();
    EXPECT_EQ(shown(), expected);
    // The autosave writes there.
    TNote note;
    note.Name = step.What;
    Project().AddNote(note);
    QELMain->trAutoSaveTimer();
    TContainer written;
    written.Load(expected);
    EXPECT_EQ(written.GetNote(written.NoteCount() - 1)->Data.Name, step.What);
  }
  EXPECT_NE(QELMain->UnnamedWorkName(), unnamed); // each project without a name has its own
  EXPECT_FALSE(FileExists(Root + "theirs/Noname.qel"));
  EXPECT_EQ(ExistingDataFiles(Root + "theirs/Noname.qel").size(), 0u);
}

// Fault: the default backup was always "noname backup", whatever project was open.
TEST_F(AutoSaveTest, TheDefaultBackupIsNamedAfterTheProjectUntilTheUserPicksOne) {
  OpenProject({});
  const std::string backup = FromQString(frmAutoSave->edLocateBackupWorkFiles->text());
  EXPECT_EQ(ExtractFileName(backup), "Proj backup.qel");
  EXPECT_EQ(ExtractFileName(ExcludeTrailingPathDelimiter(ExtractFilePath(backup))), "Backup");
  Script.AnswerSave(true, Root + "Mine.qel");
  frmAutoSave->btnLocateBackupWorkfilesClick();
  Script.AnswerSave(true, Root + "Other.qel");
  QELMain->MI_FileSaveAsClick();
  EXPECT_EQ(FromQString(frmAutoSave->edLocateBackupWorkFiles->text()), Root + "Mine.qel");
}

TEST_F(AutoSaveTest, AFailingBackupReports) {
  OpenProject({});
  WriteFileBytes(Root + "blocker", "x");
  Script.Answer(mrOk).Answer(mrOk);
  EXPECT_FALSE(QELMain->SaveBackup(Root + "blocker/Back.qel"));
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[0].Text, "Error Creating Directory");
  const std::string head = "An error occurred while trying to save the current project!\nDetailInfo: ";
  EXPECT_EQ(Script.Shown[1].Text.substr(0, head.size()), head);
}

// Fault: a tick wrote the project whether or not anything had changed.
TEST_F(AutoSaveTest, AutosaveSavesTheWholeProjectWithoutQuestionsOnlyWhenChanged) {
  const std::string name = OpenProject({});
  DeleteFile(name);
  QELMain->trAutoSaveTimer();
  EXPECT_FALSE(FileExists(name)); // nothing changed since the load
  Project().GetNote(0)->SetName("Changed");
  QELMain->trAutoSaveTimer();
  EXPECT_TRUE(FileExists(name));
  EXPECT_FALSE(Project().IsModified());
  EXPECT_TRUE(Script.Shown.empty());
}

// Fault: a timer's save could run inside another save's error box, and a failing autosave
// stacked one error box on the next. Fault: a backup tick during a save was dropped, so with
// equal intervals the backup never ran.
TEST_F(AutoSaveTest, ABackupTickDuringASaveRunsRightAfterIt) {
  const std::string name = OpenProject({});
  DeleteFile(name);
  CreateDir(name); // the project file cannot be written
  const std::string backup = Root + "bk/Back.qel";
  frmAutoSave->edLocateBackupWorkFiles->setText(ToQString(backup));
  Project().GetNote(0)->SetName("Changed");
  bool savingSeen = false;
  bool backupInsideTheBox = true;
  Script.Answer(mrOk, [&] {
    savingSeen = QELMain->Saving();
    QELMain->trAutoSaveTimer();       // covered by the save under way
    QELMain->trAutoSaveBackupTimer(); // waits for it
    backupInsideTheBox = FileExists(TContainer::DataFileName(backup, "_Not"));
  });
  QELMain->trAutoSaveTimer();
  EXPECT_TRUE(savingSeen);
  EXPECT_FALSE(backupInsideTheBox);
  EXPECT_EQ(Script.Shown.size(), 1u);
  EXPECT_TRUE(FileExists(TContainer::DataFileName(backup, "_Not")));
  EXPECT_TRUE(FileExists(backup));
  EXPECT_FALSE(QELMain->Saving());
}

TEST_F(AutoSaveTest, AnAutosaveTickDuringABackupRunsRightAfterIt) {
  const std::string name = OpenProject({});
  Project().GetNote(0)->SetName("Later");
  WriteFileBytes(Root + "blocker", "x");
  frmAutoSave->edLocateBackupWorkFiles->setText(ToQString(Root + "blocker/Back.qel"));
  bool savedInsideTheBox = true;
  Script.Answer(mrOk).Answer(mrOk, [&] {
    QELMain->trAutoSaveBackupTimer(); // covered by the backup under way
    QELMain->trAutoSaveTimer();
    savedInsideTheBox = !Project().IsModified();
  });
  QELMain->trAutoSaveBackupTimer();
  ASSERT_EQ(Script.Shown.size(), 2u); // "Error Creating Directory", then the save error
  EXPECT_FALSE(savedInsideTheBox);
  EXPECT_FALSE(Project().IsModified());
  EXPECT_NE(ReadBytes(TContainer::DataFileName(name, "_Not")).find("Later"), std::string::npos);
}

} // namespace
} // namespace qel::test
