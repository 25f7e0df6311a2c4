// The main window's settings, the autosave and backup timers, and the backup.
#include "Main.h"

#include "AutoSave.h"
#include "ProjectFile.h"
#include "SaveLoad.h"
#include "adpMRU.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/Registry.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLineEdit>
#include <filesystem>
#include <functional>

namespace qel {
namespace {

bool ForceDirectories(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(ToNativePath(folder), error);
  return DirectoryExists(folder);
}

// Tells two states of a project apart by the bytes its data files would get.
size_t ProjectFingerprint(const TContainer& project) {
  size_t print = project.Grid ? 1 : 0;
  for (const TPool* pool : std::initializer_list<const TPool*>{project.SheetPool.get(), project.NotePool.get(),
                                                              project.RelationPool.get(), project.PosPool.get(),
                                                              project.AttachPool.get(), project.LinkPool.get()})
    print = print * 1000003u ^ std::hash<std::string>{}(pool->SaveBytes());
  return print;
}

} // namespace

std::string TQELMain::ReadLastProject() {
  TRegistry registry;
  if (!registry.OpenKey(kQelKey, true)) return {};
  return registry.ReadString("LastProject");
}

void TQELMain::WriteLastProject() {
  if (FContainer->FileName.empty()) FContainer->FileName = IncludeTrailingPathDelimiter(GetCurrentDir()) + "Noname.qel";
  TRegistry registry;
  if (registry.OpenKey(kQelKey, true)) registry.WriteString("LastProject", FContainer->FileName);
}

void TQELMain::ReadIDLoad() {
  TRegistry registry;
  AddOnLoad = registry.OpenKey(kQelKey, true) && registry.ReadString("IDLoad") == "Yes";
}

void TQELMain::ReadAutoSaveSettings() {
  if (!frmAutoSave) return;
  TRegistry registry;
  if (registry.OpenKey(kQelKey, true)) {
    const std::pair<const char*, QLineEdit*> stored[] = {
        {"WorkFileAutoSaveHours", frmAutoSave->edWorkFileAutoSaveHours},
        {"WorkFileAutoSaveMinutes", frmAutoSave->edWorkFileAutoSaveMinutes},
        {"LocateBackupWorkFiles", frmAutoSave->edLocateBackupWorkFiles},
        {"BackupWorkFileAutoSaveHours", frmAutoSave->edBackupWorkFileAutoSaveHours},
        {"BackupWorkFileAutoSaveMinutes", frmAutoSave->edBackupWorkFileAutoSaveMinutes}};
    for (auto [name, edit] : stored)
      if (registry.ValueExists(name)) edit->setText(ToQString(registry.ReadString(name)));
  }
  frmAutoSave->FillDefaults();
  frmAutoSave->ApplyIntervals();
}

void TQELMain::trAutoSaveTimer() {
  if (FLoading) return; // a half-read project is nobody's work
  if (FSaving == TSaveKind::Backup) {
    FAutoSaveDue = true;
  } else if (FSaving == TSaveKind::None) {
    WriteAutoSave();
    RunDueSaves();
  }
}

void TQELMain::trAutoSaveBackupTimer() {
  if (FLoading) return;
  if (FSaving == TSaveKind::Project) {
    FBackupDue = true;
  } else if (FSaving == TSaveKind::None) {
    WriteTimedBackup();
    RunDueSaves();
  }
}

std::string TQELMain::BackupFileName() const {
  return frmAutoSave ? FromQString(frmAutoSave->edLocateBackupWorkFiles->text()) : std::string();
}

void TQELMain::RunDueSaves() {
  if (FSaving != TSaveKind::None) return; // the outermost save runs them
  while (FAutoSaveDue || FBackupDue) {
    if (FBackupDue) {
      FBackupDue = false;
      WriteTimedBackup();
    } else {
      FAutoSaveDue = false;
      WriteAutoSave();
    }
  }
}

void TQELMain::WriteAutoSave() {
  StorePendingEdits(); // what the windows hold is saved too
  if (!FContainer->IsModified()) return;
  FChanged = true;
  if (!IsUnnamed()) {
    WriteProjectSave(FContainer->FileName, true);
    return;
  }
  // Kept apart: the project stays unnamed and modified, so nothing of it is put away unasked.
  const std::string name = UnnamedWorkName();
  if (HoldsProject(name)) return;
  const bool first = !FileExists(name);
  if (!WriteBackup(name, TSaveKind::Project, true)) return;
  WroteProject(name);
  if (first) adpMRU1->AddFile(name); // found again after a crash
}

void TQELMain::WriteTimedBackup() {
  StorePendingEdits();
  if (FContainer->IsModified()) FChanged = true;
  // A project nobody has changed since it was made or opened has nothing to back up, and a
  // fresh one must not replace the backup of the work before it.
  if (!FChanged) return;
  if (IsUnnamed()) UnnamedWorkName(); // the default backup follows that name
  const std::string location = BackupFileName();
  if (location.empty() || HoldsProject(location)) return;
  if (SameDataFiles(location, FContainer->FileName)) {
    if (FRefusedBackup == location) return;
    FRefusedBackup = location; // before the box: a tick may come while it shows
    ShowMessage("The backup was not written: " + location + " would replace the open project's own data files. " +
                "Please choose another backup location in the AutoSave window.");
    return;
  }
  if (WriteBackup(location, TSaveKind::Backup, true)) WroteProject(location);
}

bool TQELMain::HoldsProject(const std::string& target) const {
  const auto written = FWritten.find(target);
  return written != FWritten.end() && FileExists(target) && written->second == ProjectFingerprint(*FContainer);
}

void TQELMain::WroteProject(const std::string& target) { FWritten[target] = ProjectFingerprint(*FContainer); }

std::string TQELMain::UnnamedWorkName() {
  const auto taken = [](const std::string& name) {
    return FileExists(FindFileNoCase(name)) || !ExistingDataFiles(name).empty();
  };
  // A name made but not yet written is given up when another program has taken it meanwhile.
  if (!FUnnamedWork.empty() && (FWritten.count(FUnnamedWork) || !taken(FUnnamedWork))) return FUnnamedWork;
  const std::string folder = WorkFilesFolder();
  const std::string stamp = FromQString(QDateTime::currentDateTime().toString("yyyy-MM-dd HHmmss"));
  std::string name = folder + "Noname " + stamp + ".qel";
  for (int i = 2; taken(name); ++i)
    name = folder + "Noname " + stamp + " (" + std::to_string(i) + ").qel";
  FUnnamedWork = name;
  if (frmAutoSave) {
    frmAutoSave->ProjectNamed(name);
    frmAutoSave->ShowWorkFiles(name);
  }
  return name;
}

std::string TQELMain::AutoSaveName() { return IsUnnamed() ? UnnamedWorkName() : FContainer->FileName; }

bool TQELMain::BackupLocationAccepted(const std::string& location, const std::string& current) {
  if (location.empty()) return true;
  if (SameDataFiles(location, FContainer->FileName)) {
    ShowMessage("A backup in " + location + " would replace the open project's own data files. " +
                "Please choose another backup location.");
    return false;
  }
  if (!current.empty() && SameDataFiles(location, current)) return true; // the backups so far
  const std::vector<std::string> existing = ExistingDataFiles(location);
  if (existing.empty()) return true;
  std::string text = "Each backup in " + ExtractFileName(location) + " would replace data files of another project:\r";
  for (const std::string& file : existing) text += file + "\r";
  text += "Use this backup location?";
  return MessageDlg(text, TMsgDlgType::mtConfirmation, mbYesNo) == mrYes;
}

bool TQELMain::SaveBackup(const std::string& FileName) {
  const bool saved = WriteBackup(FileName);
  RunDueSaves();
  return saved;
}

bool TQELMain::WriteBackup(const std::string& FileName, TSaveKind kind, bool timed) {
  TBusyRun busy(*this);
  TSaveRun run(FSaving, kind);
  auto progress = ShowSaveProgress(kind == TSaveKind::Backup ? QPoint(719, 177) : SaveProgressPlace());
  try {
    const std::string folder = ExtractFilePath(FileName);
    if (!folder.empty() && !DirectoryExists(folder) && !ForceDirectories(folder))
      ReportSaveError(FileName, kDirectoryError, timed, true);
    // The project file makes the backup a project that File > Open shows; it is written once
    // the data files are known to be writable. An unnamed project's work takes its pictures
    // along, as a save does; a backup refers to the project's own.
    const std::string note = FContainer->SaveDataFiles(FileName, [&] {
      if (kind == TSaveKind::Project) CopyNoteImages(folder);
      WriteProjectFile(FileName, FContainer->Grid);
    });
    ForgetRefusals(FileName);
    if (!note.empty()) ShowMessage(note + "\nFile: " + FileName);
    return true;
  } catch (const std::exception& e) {
    ReportSaveError(FileName, SaveErrorText(e), timed);
    return false;
  }
}

} // namespace qel
