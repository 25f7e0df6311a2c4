// The project commands of the main window: new, open, reopen, save, save as, import.
#include "Main.h"

#include "ProjectFile.h"
#include "SaveLoad.h"
#include "adpMRU.h"
#include "windows/sheet/SheetForm.h"
#include "model/NotePictures.h"
#include "platform/Ansi.h"
#include "platform/Convert.h"
#include "platform/FileNames.h"
#include "windows/search/Search.h"
#include "windows/nav/Navigator.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropCommon.h"
#include "platform/qt/QtConvert.h"

#include <QCoreApplication>
#include <QStatusBar>
#include <algorithm>
#include <filesystem>

namespace qel {
namespace {

const std::string kUnnamed = "Noname.qel";
const std::string kNewQuestion = "Are you sure you want to start a new project ?";
const std::string kRenameOffer = "You have put notes on a New Sheet without changing the name of the Sheet.\r"
                                 "Do you want to rename it now?";
const std::string kLoadError = "An error occurred while loading. File may be of older version...";
const std::string kLoadErrorNew = "\rA new project (Noname.qel) will be created...";

std::string Joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

} // namespace

bool TQELMain::IsUnnamed() const { return ExtractFileName(FContainer->FileName) == kUnnamed; }

void TQELMain::TB_NewClick() {
  const auto run = CommandRun([this] { TB_NewClick(); });
  if (!run) return;
  if (MessageDlg(kNewQuestion, TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) return;
  if (!QuerySaveProject()) return;
  StartNewProject(kUnnamed);
}

void TQELMain::TB_OpenClick() {
  const auto run = CommandRun([this] { TB_OpenClick(); });
  if (!run) return;
  OpenDialog.InitialDir = GetCurrentDir();
  OpenDialog.FileName.clear();
  OpenDialog.Title = "Open Project";
  if (QuerySaveProject() && Dialogs().OpenDialog(OpenDialog) && !OpenDialog.FileName.empty()) {
    const std::string name = OpenDialog.FileName;
    ReplaceProject(NewContainer(kUnnamed));
    LoadProject(name);
    adpMRU1->AddFile(name);
  }
  BindNavigators();
  RefreshSheetWindows();
}

void TQELMain::adpMRU1Click(QObject* Sender, const std::string& FileName) {
  const auto run = CommandRun([this, Sender, FileName] { adpMRU1Click(Sender, FileName); });
  if (!run) return;
  if (!QuerySaveProject()) return;
  try {
    ReplaceProject(NewContainer(kUnnamed));
    LoadProject(FileName);
    BindNavigators();
    RefreshSheetWindows();
  } catch (...) {
    // The load has reported its own failure.
  }
}

void TQELMain::TB_SaveClick() {
  const auto run = CommandRun([this] { TB_SaveClick(); });
  if (!run) return;
  StorePendingEdits();
  if (IsUnnamed() && !SaveAsDialog()) return;
  NotesOnNewSheet();
}

void TQELMain::MI_FileSaveAsClick() {
  const auto run = CommandRun([this] { MI_FileSaveAsClick(); });
  if (!run) return;
  StorePendingEdits();
  if (SaveAsDialog()) SaveProject(FContainer->FileName);
}

bool TQELMain::SaveAsDialog() {
  const std::string folder = ExtractFilePath(FContainer->FileName);
  SaveDialog.InitialDir = folder.empty() ? GetCurrentDir() : ExcludeTrailingPathDelimiter(folder);
  SaveDialog.FileName = ExtractFileName(FContainer->FileName);
  bool chosen = Dialogs().SaveDialog(SaveDialog) && !SaveDialog.FileName.empty();
  if (chosen && MayReplaceDataFiles(SaveDialog.FileName)) FContainer->FileName = SaveDialog.FileName;
  else chosen = false;
  for (TNavForm* navigator : ChildWindows<TNavForm>()) navigator->RefreshProject(FContainer.get(), false);
  return chosen;
}

bool TQELMain::MayReplaceDataFiles(const std::string& projectFile) {
  // Saving under its own name writes the project's own files.
  if (!IsUnnamed() && SameProjectFile(projectFile, FContainer->FileName)) return true;
  const std::vector<std::string> existing = ExistingDataFiles(projectFile);
  if (existing.empty()) return true;
  const std::string owners = Joined(DataFileOwners(projectFile), ", ");
  // The dialog has asked before replacing the project file; its data files are its own.
  if (owners.empty() && FileExists(FindFileNoCase(projectFile))) return true;
  std::string text = "Saving as " + ExtractFileName(projectFile) + " would replace ";
  text += owners.empty() ? "data files of another project:\r" : "the data files of " + owners + ":\r";
  for (const std::string& file : existing) text += file + "\r";
  text += "A project's data files are named after its name up to the first full stop";
  if (!owners.empty())
    text += ", so " + owners + " would then open the new state, and the state saved under it would be lost";
  text += ". Replace them?";
  return MessageDlg(text, TMsgDlgType::mtConfirmation, mbYesNo) == mrYes;
}

std::vector<std::string> TQELMain::DataFileOwners(const std::string& projectFile) const {
  std::vector<std::string> owners;
  for (const std::string& file : ProjectFilesSharing(projectFile))
    if (!SameProjectFile(file, projectFile)) owners.push_back(ExtractFileName(file));
  // The open project's saved state, also when its project file is gone.
  const std::string open = ExtractFileName(FContainer->FileName);
  if (!IsUnnamed() && SameDataFiles(projectFile, FContainer->FileName) &&
      std::find(owners.begin(), owners.end(), open) == owners.end())
    owners.push_back(open);
  return owners;
}

std::vector<std::string> TQELMain::CopyNoteImages(const std::string& Folder) {
  return GatherNotePictures(*FContainer, Folder.empty() ? GetCurrentDir() : Folder);
}

std::string TQELMain::PictureFolder() const { return IsUnnamed() ? std::string() : FContainer->Directory; }

bool TQELMain::QuerySaveProject() {
  StorePendingEdits();
  if (!FContainer->IsModified()) return true;
  const int answer = MessageDlg(FContainer->FileName + " is modified. Save before closing?",
                                TMsgDlgType::mtConfirmation, mbYesNoCancel);
  if (answer == mrNo) return true;
  if (answer != mrYes) return false;
  if (IsUnnamed() && !SaveAsDialog()) return false;
  return SaveProject(FContainer->FileName);
}

void TQELMain::NotesOnNewSheet() {
  for (int i = 0; i < FContainer->SheetCount(); ++i) {
    TItemRef<TSheetItem> sheet = FContainer->GetSheet(i);
    if (sheet->Data.Name != "New Sheet" || sheet->PositionCount() == 0) continue;
    const int answer = MessageDlg(kRenameOffer, TMsgDlgType::mtInformation, mbYesNoCancel);
    if (answer == mrYes) {
      std::string name = "New sheet";
      if (Dialogs().InputQuery("New sheet name?", "Name of the sheet:", name) && sheet) sheet->SetName(name);
    } else if (answer != mrNo) {
      return;
    }
  }
  SaveProject(FContainer->FileName);
}

void TQELMain::LoadProject(const std::string& FileName) {
  TBusyRun run(*this);
  FLoading = true;
  struct TLoading {
    bool& Flag;
    ~TLoading() { Flag = false; }
  } loading{FLoading};
  try {
    if (FileExists(FindFileNoCase(FileName))) FContainer->Grid = ReadProjectGrid(FileName);
    FContainer->ProgressBar = StartupBar;
    FContainer->Load(FileName);
    FContainer->ProgressBar = nullptr;
    FContainer->FileName = FileName;
    const std::string folder = ExtractFilePath(FileName);
    if (!folder.empty()) SetCurrentDir(folder);
    WriteLastProject();
    ReadAutoSaveSettings();
    if (!FContainer->RecoveryNote.empty()) ShowMessage(FContainer->RecoveryNote + "\nFile: " + FileName);
    HoldProjectOpen(FileName, true);
    SayIfReadOnly(FileName);
  } catch (const std::exception& e) {
    FContainer->ProgressBar = nullptr;
    ShowMessage(kLoadError + kLoadErrorNew + "\n" + ReadErrorDetail(e));
    StartNewProject(IncludeTrailingPathDelimiter(GetCurrentDir()) + kUnnamed);
  }
  SetCaption(FContainer->FileName);
}

bool TQELMain::SaveProject(const std::string& FileName) {
  const bool saved = WriteProjectSave(FileName);
  RunDueSaves();
  return saved;
}

bool TQELMain::WriteProjectSave(std::string FileName, bool timed) {
  TBusyRun busy(*this);
  TSaveRun run(FSaving, TSaveKind::Project);
  if (FContainer->IsModified()) FChanged = true;
  auto progress = ShowSaveProgress(SaveProgressPlace());
  // A name without folder is saved in the current folder and keeps that full name.
  const std::string name = ExtractFilePath(FileName).empty() ? ExpandFileName(FileName) : FileName;
  try {
    const std::string folder = ExtractFilePath(name);
    // The model makes the folder (its error box counts as this save's, see ShowErrorBox). Once
    // the data files are known to be writable the project takes its pictures along (the data
    // files refer to the copies) and the project file is written.
    std::vector<std::string> notCopied;
    const TSaveTarget target(*this, name, timed);
    FContainer->Save(name, [&] {
      notCopied = CopyNoteImages(folder);
      WriteProjectFile(name, FContainer->Grid);
    });
    SetCurrentDir(folder);
    if (FContainer->FileName == FileName) FContainer->FileName = name;
    WriteLastProject();
    SetCaption(name);
    if (!FOpenHold || FOpenHold->FileName() != TProjectLock(name).FileName()) HoldProjectOpen(name, false);
    if (!FContainer->RecoveryNote.empty()) ShowMessage(FContainer->RecoveryNote + "\nFile: " + name);
    ForgetRefusals(name);
    if (!notCopied.empty() && !timed) {
      std::string text = "These pictures could not be copied into the project's folder; their notes still refer "
                         "to them where they are:";
      for (const std::string& line : notCopied) text += "\n" + line;
      ShowMessage(text);
    }
    return true;
  } catch (const std::exception& e) {
    ReportSaveError(name, SaveErrorText(e), timed);
    return false;
  }
}

std::string TQELMain::SaveErrorText(const std::exception& error) {
  return "An error occurred while trying to save the current project!\nDetailInfo: " + std::string(error.what());
}

void TQELMain::ReportSaveError(const std::string& target, const std::string& text, bool timed, bool errorBox) {
  if (!FRefusals.insert({target, text}).second && timed) return;
  if (errorBox) MessageDlg(text, TMsgDlgType::mtError, mbOK);
  else ShowMessage(text);
}

void TQELMain::ForgetRefusals(const std::string& target) {
  std::erase_if(FRefusals, [&target](const auto& refusal) { return refusal.first == target; });
}

void TQELMain::SayIfReadOnly(const std::string& FileName) {
  const std::vector<std::string> files = ReadOnlyFiles(FileName);
  if (files.empty()) return;
  std::string text = ExtractFileName(FileName) + " is read-only: changes cannot be saved under its name. "
                     "Save As keeps them under another name.";
  for (const std::string& file : files) text += "\n" + file;
  ShowMessage(text);
}

QPoint TQELMain::SaveProgressPlace() const { return geometry().topLeft() + QPoint(width() - 150, height() - 80); }

std::unique_ptr<TSaveLoadFrm> TQELMain::ShowSaveProgress(const QPoint& place) {
  auto progress = std::make_unique<TSaveLoadFrm>(this);
  // A window widened for its title grows to the left, so that it stays on the main window.
  progress->move(place - QPoint(progress->width() - 115, 0));
  progress->show();
  // Painting only: what the user does meanwhile waits for the save.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  return progress;
}

std::string TQELMain::ReadErrorDetail(const std::exception& error) const {
  std::string text = error.what();
  // A message that names its file already (a journal, a lock) is not followed by it again.
  const bool named = FContainer->FailedLine == 0 && text.find(FContainer->FailedFile) != std::string::npos;
  if (!FContainer->FailedFile.empty() && !named) {
    text += "\nFile: " + FContainer->FailedFile;
    if (FContainer->FailedLine > 0) text += ", line " + std::to_string(FContainer->FailedLine);
  }
  if (!FContainer->RecoveryNote.empty()) text += "\n" + FContainer->RecoveryNote;
  return text;
}

void TQELMain::AddDefaultRelationTypes() {
  for (const char* name : {"leads to", "consists of", "assumes"}) {
    TRelation relation;
    relation.Name = name;
    FContainer->AddRelation(relation);
  }
}

TImportOffsets TQELMain::RecordedImportOffsets() const {
  TImportOffsets offsets;
  offsets.Note = ImportNoteOffset;
  offsets.Sheet = ImportSheetOffset;
  offsets.Attachment = ImportAttachmentOffset;
  offsets.Relation = ImportRelationOffset;
  offsets.Position = ImportPositionOffset;
  offsets.Link = ImportLinkOffset;
  return offsets;
}

void TQELMain::tbImportClick() {
  const auto run = CommandRun([this] { tbImportClick(); });
  if (!run) return;
  const TImportOffsets counts = FContainer->ImportOffsets();
  ImportNoteOffset = counts.Note;
  ImportSheetOffset = counts.Sheet;
  ImportAttachmentOffset = counts.Attachment;
  ImportLinkOffset = counts.Link;
  ImportRelationOffset = counts.Relation;
  ImportPositionOffset = counts.Position;
  // The dialog as the last Open or Import left it, named for what it does now.
  OpenDialog.Title = "Import Project";
  if (QuerySaveProject() && Dialogs().OpenDialog(OpenDialog) && !OpenDialog.FileName.empty())
    ImportProject(OpenDialog.FileName);
  BindNavigators();
  RefreshSheetWindows();
}

void TQELMain::ImportProject(const std::string& FileName) {
  const TImportOffsets before = FContainer->ImportOffsets();
  try {
    FContainer->Import(FileName, RecordedImportOffsets());
    statusBar()->showMessage(ToQString(ImportSummary(before, FContainer->ImportOffsets(), FileName)));
    if (!FContainer->RecoveryNote.empty()) ShowMessage(FContainer->RecoveryNote + "\nFile: " + FileName);
  } catch (const std::exception& e) {
    // The import has taken back what it added; the project is as it was.
    statusBar()->clearMessage();
    ShowMessage(kLoadError + "\n" + ReadErrorDetail(e));
  }
}

std::string ImportSummary(const TImportOffsets& before, const TImportOffsets& after, const std::string& fileName) {
  const auto counted = [](int32_t count, const char* one, const char* many) {
    return IntToStr(count) + " " + (count == 1 ? one : many);
  };
  return "Imported from " + ExtractFileName(fileName) + ": " + counted(after.Note - before.Note, "note", "notes") +
         ", " + counted(after.Sheet - before.Sheet, "sheet", "sheets") + ", " +
         counted(after.Link - before.Link, "link", "links") + ", " +
         counted(after.Attachment - before.Attachment, "attachment", "attachments") + ", " +
         counted(after.Relation - before.Relation, "relation type", "relation types") + ".";
}

// ---- replacing the project

void TQELMain::StartNewProject(const std::string& fileName) {
  ReplaceProject(NewContainer(fileName));
  SetCaption(fileName);
  BindNavigators();
  RefreshSheetWindows();
  AddDefaultRelationTypes();
  // Nothing the user made yet: New, Open or Exit right away asks nothing.
  FContainer->SetModified(false);
}

void TQELMain::HoldProjectOpen(const std::string& fileName, bool tell) {
  FOpenHold.reset();
  auto hold = std::make_unique<TProjectLock>(fileName);
  bool elsewhere = false;
  if (!hold->HoldOpen(elsewhere)) return; // a folder that takes no lock file: nobody can be told
  FOpenHold = std::move(hold);
  if (tell && elsewhere)
    ShowMessage("Another running QEL has this project open: " + fileName +
                "\nYou may go on working. When both programs save it, the later save replaces the other's.");
}

void TQELMain::ReplaceProject(std::unique_ptr<TContainer> next) {
  statusBar()->clearMessage(); // what it says was of the project replaced
  StorePendingEdits();
  CloseProjectWindows();
  emit ProjectReleasing(FContainer.get());
  for (TNavForm* navigator : ChildWindows<TNavForm>()) navigator->SetContainer(nullptr);
  FOpenHold.reset();
  FContainer = std::move(next);
  FUnnamedWork.clear();
  FChanged = false;
  FRefusals.clear();
}

void TQELMain::CloseProjectWindows() {
  for (TNavForm* navigator : ChildWindows<TNavForm>()) CloseFreeWindows(navigator);
  for (TDrawSheet* sheetWindow : ChildWindows<TDrawSheet>()) {
    QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(sheetWindow->parentWidget());
    if (sub) sub->close();
    delete sub.data();
  }
  for (TfrmSearch* search : findChildren<TfrmSearch*>(Qt::FindDirectChildrenOnly)) {
    QPointer<TfrmSearch> window = search;
    window->close();
    delete window.data();
  }
  if (NewNoteWindow) {
    // A hidden window stored its edits when it was closed.
    if (NewNoteWindow->isVisible()) NewNoteWindow->close();
    delete NewNoteWindow.data();
  }
}

void TQELMain::BindNavigators() {
  for (TNavForm* navigator : ChildWindows<TNavForm>()) navigator->SetContainer(FContainer.get());
  ShowNavigators();
}

} // namespace qel
