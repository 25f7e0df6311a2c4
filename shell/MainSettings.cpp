// The main window's settings, the autosave and backup timers, and the backup.
#include "Main.h"

#include "AutoSave.h"
#include "ProjectFile.h"
#include "SaveLoad.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/Registry.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <filesystem>

namespace qel {
namespace {

bool ForceDirectories(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(ToNativePath(folder), error);
  return DirectoryExists(folder);
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
  // Never inside a save of its own kind; what the windows hold is saved too.
  if (FSaving == TSaveKind::Backup)
    FAutoSaveDue = true;
  else if (FSaving == TSaveKind::None) {
    StorePendingEdits();
    SaveProject(FContainer->FileName);
  }
}

void TQELMain::trAutoSaveBackupTimer() {
  if (FSaving == TSaveKind::Project)
    FBackupDue = true;
  else if (FSaving == TSaveKind::None && !BackupFileName().empty()) {
    StorePendingEdits();
    SaveBackup(BackupFileName());
  }
}

std::string TQELMain::BackupFileName() const {
  return frmAutoSave ? FromQString(frmAutoSave->edLocateBackupWorkFiles->text()) : std::string();
}

void TQELMain::RunDueSaves() {
  if (FSaving != TSaveKind::None) return; // the outermost save runs them
  while (FAutoSaveDue || FBackupDue) {
    StorePendingEdits();
    if (FBackupDue) {
      FBackupDue = false;
      if (!BackupFileName().empty()) WriteBackup(BackupFileName());
    } else {
      FAutoSaveDue = false;
      WriteProjectSave(FContainer->FileName);
    }
  }
}

bool TQELMain::SaveBackup(const std::string& FileName) {
  const bool saved = WriteBackup(FileName);
  RunDueSaves();
  return saved;
}

bool TQELMain::WriteBackup(const std::string& FileName) {
  TSaveRun run(FSaving, TSaveKind::Backup);
  auto progress = ShowSaveProgress(QPoint(719, 177));
  try {
    const std::string folder = ExtractFilePath(FileName);
    if (!folder.empty() && !DirectoryExists(folder) && !ForceDirectories(folder))
      ShowErrorBox("Error Creating Directory");
    // The project file makes the backup a project that File > Open shows.
    WriteProjectFile(FileName, FContainer->Grid);
    FContainer->SaveDataFiles(FileName);
    return true;
  } catch (const std::exception& e) {
    ShowSaveError(e);
    return false;
  }
}

} // namespace qel
