#pragma once
// The main window: the multiple-document frame that owns the open project, carries the project
// commands and offers the services through which the other windows keep each other in step.
// Other windows reach it through the global QELMain.
//
// Keeping windows in step: after a change to the project, call RefreshNavigators (a new or
// changed item, or null) and RefreshSheetWindows. Before the project is saved or its modified
// state is tested, StorePendingEdits makes every window store what the user typed.
//
// Replacing the project (New, Open, Reopen, a failed load): before the old project is freed,
//  1. StorePendingEdits runs (PendingEditsRequested is emitted);
//  2. every sheet window and every search window is closed and destroyed, and the New Note
//     window is closed and destroyed;
//  3. ProjectReleasing(old) is emitted: any other window that keeps the project or one of its
//     items must drop it there (close, or unbind);
//  4. every navigator is unbound (TNavForm::SetContainer(nullptr)).
// Then the old project is freed and the new one is bound to the navigators.
#include "model/Container.h"
#include "platform/qt/Dialogs.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QAction;
class QToolBar;

namespace qel {

class TNavForm;
class TDrawSheet;
class TNotePrp;
class TStartForm;

class TQELMain : public QMainWindow, public IContainerHost {
  Q_OBJECT
public:
  explicit TQELMain(QWidget* parent = nullptr);
  ~TQELMain() override;

  // ---- the open project (owned; never null)
  TContainer* Container() const { return FContainer.get(); }

  // ---- services for the other windows
  // Hands a new or changed item (or null) to every navigator window.
  void RefreshNavigators(TPoolItem* Item) override;
  // Redraws every sheet window; closes one whose sheet has left the project.
  void RefreshSheetWindows();
  // Makes every navigator store its shown property page.
  void StoreNavigatorEdits();
  // Every open window stores its pending edits: the navigators, the New Note window, then
  // whatever listens to PendingEditsRequested.
  void StorePendingEdits();
  // Whether a sheet window shows the sheet.
  bool IsSheetOpen(const TSheetItem* Sheet) const;
  // Whether the sheet is one of the project's sheets (also while a search filter hides it).
  bool SheetExists(const TSheetItem* Sheet) const;
  // Aggregation notes follow their sheets' names and colours.
  void SyncSheetNotes();
  // Makes a window a child of the multiple-document area and shows it.
  QMdiSubWindow* AddChildWindow(QWidget* window);
  // The child windows of a class, in child order.
  template <class T> std::vector<T*> ChildWindows() const;
  // The active child window when it is a sheet window, else null.
  TDrawSheet* ActiveSheetWindow() const;

  // Client size: the window less its menu bar (tool bars included).
  int ClientWidth() const;
  int ClientHeight() const;
  int ToolBarMainHeight() const;

  // ---- project commands
  void TB_NewClick();
  void TB_OpenClick();
  // Reopens a project of the recent-file list.
  void adpMRU1Click(QObject* Sender, const std::string& FileName);
  void TB_SaveClick();
  void MI_FileSaveAsClick();
  void tbImportClick();
  void TB_ExitClick();

  // ---- project operations
  // Loads the project into the (fresh) open project; on failure reports it and starts a new
  // project in its place.
  void LoadProject(const std::string& FileName);
  // Writes the project file and the data files; false (after telling the user) on failure.
  bool SaveProject(const std::string& FileName);
  // The Save As dialog; true when the user chose a name (it is then the project's name).
  bool SaveAsDialog();
  // Offers to save a modified project; false when the user cancels or the save fails.
  bool QuerySaveProject();
  // Offers to rename sheets called "New Sheet" that hold notes, then saves.
  void NotesOnNewSheet();
  void AddDefaultRelationTypes();
  // Copies every note's picture into Folder (errors ignored).
  void CopyNoteImages(const std::string& Folder);
  // Imports another project behind the open one's items (offsets as recorded by Import).
  void ImportProject(const std::string& FileName);
  // Whether the project has never been given a name.
  bool IsUnnamed() const;

  // ---- start-up and close
  void FormShow();
  void OpenLastProject();

  // ---- settings
  std::string ReadLastProject() const;
  void WriteLastProject();
  void ReadIDLoad();

  // ---- the model's requests
  void ShowErrorBox(const std::string& text) override;
  void ShowMessage(const std::string& text) override;

  // The start screen's progress bar while the last project opens; null otherwise.
  IProgressBar* StartupBar = nullptr;
  // The start screen while it shows.
  std::unique_ptr<TStartForm> StartForm;
  // The window of the last New Note command (owned), or null.
  QPointer<TNotePrp> NewNoteWindow;
  // Counts of each kind before the last import.
  int32_t ImportNoteOffset = 0;
  int32_t ImportSheetOffset = 0;
  int32_t ImportAttachmentOffset = 0;
  int32_t ImportRelationOffset = 0;
  int32_t ImportPositionOffset = 0;
  int32_t ImportLinkOffset = 0;

  // ---- components
  QMdiArea* MdiArea;
  QToolBar* ToolBarMain;
  QToolBar* ToolBarFile;
  QMenu* MI_File;
  QMenu* Reopen;
  TFileDialogRequest OpenDialog;
  TFileDialogRequest SaveDialog;

signals:
  // Every window with pending edits stores them into its items now.
  void PendingEditsRequested();
  // The project is about to be freed: drop every reference to it and its items.
  void ProjectReleasing(qel::TContainer* project);
  // The user's close was accepted; the program ends.
  void Closed();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void FormCreate();
  void CreateComponents();
  void SetCaption(const std::string& fileName);
  std::unique_ptr<TContainer> NewContainer(const std::string& fileName);
  // Frees the open project after every window let go of it (see the top of this file).
  void ReplaceProject(std::unique_ptr<TContainer> next);
  // A new project with the default relation types, bound to the windows.
  void StartNewProject(const std::string& fileName);
  void BindNavigators();
  void CloseProjectWindows();
  TImportOffsets RecordedImportOffsets() const;

  std::unique_ptr<TContainer> FContainer;
  bool FStarted = false;
};

template <class T> std::vector<T*> TQELMain::ChildWindows() const {
  std::vector<T*> found;
  for (QMdiSubWindow* sub : MdiArea->subWindowList())
    if (auto* window = dynamic_cast<T*>(sub->widget())) found.push_back(window);
  return found;
}

extern TQELMain* QELMain;

} // namespace qel
