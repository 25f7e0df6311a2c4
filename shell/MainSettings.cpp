// The main window's settings, the autosave and backup timers, and the backup.
#include "Main.h"

#include "AutoSave.h"
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
  // Never inside another save or its error box; what the windows hold is saved too.
  if (FSaving) return;
  StorePendingEdits();
  SaveProject(FContainer->FileName);
}

void TQELMain::trAutoSaveBackupTimer() {
  if (FSaving || !frmAutoSave) return;
  StorePendingEdits();
  SaveBackup(FromQString(frmAutoSave->edLocateBackupWorkFiles->text()));
}

bool TQELMain::SaveBackup(const std::string& FileName) {
  TSaveRun run(FSaving);
  auto progress = ShowSaveProgress(QPoint(719, 177));
  try {
    const std::string folder = ExtractFilePath(FileName);
    if (!folder.empty() && !DirectoryExists(folder) && !ForceDirectories(folder))
      ShowErrorBox("Error Creating Directory");
    FContainer->SaveDataFiles(FileName);
    return true;
  } catch (const std::exception& e) {
    ShowSaveError(e);
    return false;
  }
}

} // namespace qel
