#pragma once
// The main window: the multiple-document frame that owns the open project, carries the project
// commands and offers the services through which the other windows keep each other in step.
// The shell reaches it through the global QELMain; the other windows through MainServices
// (windows/MainServices.h), which it implements.
//
// Keeping windows in step: after a change to the project, call RefreshNavigators (a new or
// changed item, or null) and RefreshSheetWindows. Before the project is saved or its modified
// state is tested, StorePendingEdits makes every window store what the user typed.
//
// Replacing the project (New, Open, Reopen, a failed load): before the old project is freed,
//  1. StorePendingEdits runs (PendingEditsRequested is emitted);
//  2. the free windows opened from the navigators store and are destroyed, every sheet window
//     and every search window is closed and destroyed, and the New Note window is closed and
//     destroyed;
//  3. ProjectReleasing(old) is emitted: any other window that keeps the project or one of its
//     items must drop it there (close, or unbind);
//  4. every navigator is unbound (TNavForm::SetContainer(nullptr)).
// Then the old project is freed and the new one is bound to the navigators.
#include "model/Container.h"
#include "model/ProjectLock.h"
#include "platform/qt/Dialogs.h"
#include "windows/MainServices.h"

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <deque>
#include <exception>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QMenu;
class QAction;
class QComboBox;
class QMimeData;
class QPixmap;
class QPrinter;
class QTimer;
class QToolBar;

namespace qel {

class TNavForm;
class TDrawSheet;
class TNotePrp;
class TStartForm;
class TSaveLoadFrm;
class TadpMRU;
class TfrmSearch;
struct TToolButton;

class TQELMain : public QMainWindow, public IContainerHost, public IMainServices {
  Q_OBJECT
public:
  explicit TQELMain(QWidget* parent = nullptr);
  ~TQELMain() override;

  // ---- the open project (owned; never null)
  TContainer* Container() const { return FContainer.get(); }

  // ---- services for the other windows
  QWidget* MainWidget() override { return this; }
  TMainNotices* Notices() override { return FNotices; }
  QMdiArea* ChildArea() const override { return MdiArea; }
  QComboBox* ZoomBox() const override { return CB_Zoom; }
  QMenuBar* MainMenu() const override { return menuBar(); }
  QList<QIcon>& ItemImages() override { return IL_Nav; }
  // Hands a new or changed item (or null) to every navigator window.
  void RefreshNavigators(TPoolItem* Item) override;
  // Redraws every sheet window; closes one whose sheet has left the project. Then tells every
  // window that items may have changed (TMainNotices::ItemChanged).
  void RefreshSheetWindows() override;
  // Makes every navigator store its shown property page.
  void StoreNavigatorEdits() override;
  // Every open window stores its pending edits: the navigators and the windows opened from
  // them, the New Note window, then whatever listens to PendingEditsRequested.
  void StorePendingEdits();
  // Whether a sheet window shows the sheet.
  bool IsSheetOpen(const TSheetItem* Sheet) const override;
  // Whether the sheet is one of the project's sheets (also while a search filter hides it).
  bool SheetExists(const TSheetItem* Sheet) const;
  // Aggregation notes follow their sheets' names and colours.
  void SyncSheetNotes() override;
  // Opens another search window (frmSearch) at the right edge, bound to the project.
  void ShowSearchWindow();
  // Lays out the children: the navigator at the left, every other child beside it.
  void TB_FitToScreenClick() override;
  void PlacePropertyWindow(QWidget* window, const QWidget* WorkedIn = nullptr) const override;
  // Places a window below the tool bar at the right edge, as high as the area.
  void PlaceAtRightEdge(QWidget* window, int width) const;
  // Where free windows go, on the screen: the child windows' area, below the tool bar.
  QRect FreeWindowArea() const;
  // Makes a window a child of the multiple-document area and shows it. Closing the child
  // frees it, except a navigator, which closing only minimises.
  QMdiSubWindow* AddChildWindow(QWidget* window) override;
  // Shows the navigator windows again that were minimised or hidden.
  void ShowNavigators();
  // The child windows of a class, in child order.
  template <class T> std::vector<T*> ChildWindows() const;
  // The active child window when it is a sheet window, else null.
  TDrawSheet* ActiveSheetWindow() const;
  // The sheet window the zoom box and buttons act on: the active child when it is one, else
  // the sheet window active last (not minimised); null when there is none.
  TDrawSheet* ZoomSheetWindow() const;
  // That window, brought forward when another child window is active, so that a zoom
  // chosen is seen.
  TDrawSheet* ZoomTarget();
  // The zoom box shows the zoom of that window; box and buttons are disabled without one.
  void UpdateZoomBox();

  // Client size: the window less its menu bar and status bar (tool bars included).
  int ClientWidth() const override;
  int ClientHeight() const override;
  int ToolBarMainHeight() const override;
  std::unique_ptr<TProjectHold> HoldProject() override;
  std::string PictureFolder() const override;

  // ---- project commands
  void TB_NewClick();
  void TB_OpenClick();
  // Reopens a project of the recent-file list.
  void adpMRU1Click(QObject* Sender, const std::string& FileName);
  void TB_SaveClick();
  void MI_FileSaveAsClick();
  void tbImportClick();
  void TB_ExitClick();

  // ---- other commands
  void tbAutoSaveClick();
  void TB_PrintClick();
  void TB_NewNoteClick();
  void TB_NewSheetClick();
  void MI_EditCutClick() {}
  void MI_EditCopyClick() {}
  void MI_EditPasteClick() {}
  // The data a drag from the new-note tile carries: a TDragNewNote.
  QMimeData* PN_NewNoteStartDrag();
  void TB_SearchClick();
  void MI_SearchGlobalClick();
  void MI_SearchNotesClick();
  void MI_SearchSheetsClick();
  void MI_SearchAttachmentsClick();
  void TB_ZoomInClick();
  void TB_ZoomOutClick();
  // A zoom entry chosen by the user.
  void CB_ZoomChange();
  void TB_RelationsClick();
  void TB_TileClick();
  void TB_CascadeClick();
  void Help();
  void MI_HelpAboutClick();

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
  // Copies every note's picture and logo that lies elsewhere into Folder, and the notes refer
  // to the copies (see GatherNotePictures). A line for each file that could not be copied.
  std::vector<std::string> CopyNoteImages(const std::string& Folder);
  // Imports another project behind the open one's items (offsets as recorded by Import).
  void ImportProject(const std::string& FileName);
  // Whether the project has never been given a name.
  bool IsUnnamed() const;

  // ---- start-up and close
  void FormShow();
  void OpenLastProject();

  // ---- settings, autosave and backup
  static std::string ReadLastProject();
  void WriteLastProject();
  void ReadIDLoad();
  // The stored autosave settings into the autosave window, then both timer intervals.
  void ReadAutoSaveSettings();
  // Writes a project file and the data files under the backup name; the project keeps its
  // name, folder and modified state. False (after telling the user) on failure.
  bool SaveBackup(const std::string& FileName);
  // A tick that finds the other kind of save under way runs right after that save; a tick
  // during a save of its own kind is covered by that save, one during a load is dropped.
  // A tick writes nothing when the project holds nothing new for its files. An unnamed
  // project is autosaved under a name of its own (UnnamedWorkName) and stays unnamed and
  // modified, so the save query still offers to save it.
  void trAutoSaveTimer();
  void trAutoSaveBackupTimer();
  // True while a save or a backup runs (its error box included).
  bool Saving() const { return FSaving != TSaveKind::None; }
  // True while a save, backup, load or project command runs. The commands that replace or
  // change the project wait meanwhile and run, in order, once it is over.
  bool Busy() const { return FBusy > 0; }
  // Where the timers keep an unnamed project's work: a name in the work-files folder
  // (WorkFilesFolder) that no other project uses, made on first use and kept until the
  // project is replaced.
  std::string UnnamedWorkName();
  // Where the autosave writes the open project: its own name, or UnnamedWorkName.
  std::string AutoSaveName();
  // Whether a backup may go to the location: not onto the open project's own data files,
  // and onto another project's only when the user agrees. Says why when it may not.
  bool BackupLocationAccepted(const std::string& location, const std::string& current);
  // The help pages' first page, installed beside the program.
  static std::string HelpFile();

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
  QToolBar* ToolBarMisc;
  QToolBar* ToolBarNew;
  QToolBar* ToolBarView;
  QAction* TB_new;
  QAction* TB_Open;
  QAction* TB_Save;
  QAction* TB_Print;
  QAction* TB_Exit;
  QAction* tbImport;
  QAction* tbAutoSave;
  QAction* TB_Search;
  QAction* TB_Tile;
  QAction* TB_Cascade;
  QAction* TB_FitToScreen;
  QAction* TB_Relations;
  QAction* TB_NewNote;
  QAction* TB_NewSheet;
  QWidget* PN_NewNote;
  QComboBox* CB_Zoom;
  QAction* TB_ZoomIn;
  QAction* TB_ZoomOut;
  QAction* ToolButton15;
  QMenu* MI_File;
  QMenu* Reopen;
  QMenu* MI_Edit;
  QAction* MI_EditCut;
  QAction* MI_EditCopy;
  QAction* MI_EditPaste;
  QMenu* Search1;
  QMenu* MI_View;
  QMenu* MI_window;
  QMenu* MI_Help;
  // Tool-bar images and the item icons other windows share.
  QList<QIcon> IL_QELMain;
  QList<QIcon> IL_Nav;
  TFileDialogRequest OpenDialog;
  TFileDialogRequest SaveDialog;
  std::unique_ptr<QPrinter> PrintDialog; // the printer the print dialog sets up
  QTimer* trAutoSave;
  QTimer* trAutoSaveBackup;
  TadpMRU* adpMRU1;

signals:
  // Every window with pending edits stores them into its items now.
  void PendingEditsRequested();
  // The project is about to be freed: drop every reference to it and its items.
  void ProjectReleasing(qel::TContainer* project);
  // The user's close was accepted; the program ends.
  void Closed();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void FormCreate();
  void CreateComponents();
  void CreateToolBars();
  void AddToolButtons(QToolBar* bar, std::initializer_list<TToolButton> buttons);
  void CreateMenus();
  void FillWindowMenu();
  // Brings a minimised or hidden child window back and activates it.
  void RestoreChildWindow(QMdiSubWindow* sub);
  // The keys of the main menu's visible commands.
  QList<QKeySequence> MainMenuKeys() const;
  // Takes the main menu's keys from the child window's system menu.
  void LeaveMenuKeysToMainMenu(QMdiSubWindow* sub) const;
  void FitChildWindows();
  // What the window manager's frame adds around the window (a guess before it is shown).
  QMargins FrameMargins(const QWidget* window) const;
  // The frame, on the screen, of the window the user worked in: WorkedIn's, else that of the
  // window with the focus or of the active child window; empty when there is none.
  QRect WorkedInFrame(const QWidget* placed, const QWidget* WorkedIn) const;
  // A new search window on the page of the kind.
  TfrmSearch* SelectSearch(int kind);
  void SetCaption(const std::string& fileName);
  std::unique_ptr<TContainer> NewContainer(const std::string& fileName);
  // Frees the open project after every window let go of it (see the top of this file).
  void ReplaceProject(std::unique_ptr<TContainer> next);
  // Whether a save under the name may replace the data files it would write: asks when
  // they exist and are not those of the open project or of the project file the user
  // agreed to replace.
  bool MayReplaceDataFiles(const std::string& projectFile);
  // The project files other than the name whose data files a save under the name replaces:
  // those in its folder ("Mine.qel" and "Mine.v2.qel" share "Mine_*.dat") and the open
  // project's own name.
  std::vector<std::string> DataFileOwners(const std::string& projectFile) const;
  // A new project with the default relation types, bound to the windows.
  void StartNewProject(const std::string& fileName);
  // Marks the project as open for other programs (see TProjectLock); tell: says so when
  // another program has it open too.
  void HoldProjectOpen(const std::string& fileName, bool tell);
  void BindNavigators();
  void CloseProjectWindows();
  TImportOffsets RecordedImportOffsets() const;
  // The "Please wait..." window of a save, shown and painted.
  std::unique_ptr<TSaveLoadFrm> ShowSaveProgress(const QPoint& place);
  QPoint SaveProgressPlace() const;
  // A load error's own message, then the data file and line where reading stopped.
  std::string ReadErrorDetail(const std::exception& error) const;
  static constexpr const char* kDirectoryError = "Error Creating Directory";
  enum class TSaveKind { None, Project, Backup };
  // Marks a save as running for its lifetime.
  class TSaveRun {
  public:
    TSaveRun(TSaveKind& flag, TSaveKind kind) : FFlag(flag), FBefore(flag) {
      if (flag == TSaveKind::None) flag = kind;
    }
    ~TSaveRun() { FFlag = FBefore; }
    TSaveRun(const TSaveRun&) = delete;
    TSaveRun& operator=(const TSaveRun&) = delete;

  private:
    TSaveKind& FFlag;
    TSaveKind FBefore;
  };
  // The save whose refusals the model's error boxes are, for its lifetime (see ShowErrorBox).
  class TSaveTarget {
  public:
    TSaveTarget(TQELMain& main, const std::string& name, bool timed) : FMain(main) {
      FMain.FSaveTarget = {name, timed};
    }
    ~TSaveTarget() { FMain.FSaveTarget.reset(); }
    TSaveTarget(const TSaveTarget&) = delete;
    TSaveTarget& operator=(const TSaveTarget&) = delete;

  private:
    TQELMain& FMain;
  };
  // Counts one busy run for its lifetime (see Busy).
  class TBusyRun {
  public:
    explicit TBusyRun(TQELMain& main) : FMain(main) { ++FMain.FBusy; }
    ~TBusyRun();
    TBusyRun(const TBusyRun&) = delete;
    TBusyRun& operator=(const TBusyRun&) = delete;

  private:
    TQELMain& FMain;
  };
  // A command's start: null (the command kept for later) while busy, else its busy run.
  std::unique_ptr<TBusyRun> CommandRun(std::function<void()> command);
  void PostWaitingCommand();
  void RunWaitingCommand();
  // A timed save does not repeat an error already shown for that name (see ReportSaveError).
  bool WriteProjectSave(std::string FileName, bool timed = false);
  // The backup location of the autosave window.
  std::string BackupFileName() const;
  // The project file and data files under the name; name, folder and modified state stay.
  // An unnamed project's autosave writes so too, as a save of the project kind.
  bool WriteBackup(const std::string& FileName, TSaveKind kind = TSaveKind::Backup, bool timed = false);
  // Shows a save's error (an error box, or a plain message), except for a timed save whose
  // name had the same error before: a save refused at every tick says so once, until a save
  // under that name succeeds or the project is replaced.
  void ReportSaveError(const std::string& target, const std::string& text, bool timed, bool errorBox = false);
  static std::string SaveErrorText(const std::exception& error);
  // A save under the name succeeded: its next error is shown again.
  void ForgetRefusals(const std::string& target);
  // Tells the user once, after a load, when the project's files cannot be written.
  void SayIfReadOnly(const std::string& FileName);
  // The timers' writes, each skipped when there is nothing new to write.
  void WriteAutoSave();
  void WriteTimedBackup();
  // Whether the target already holds the project as it is now (as this program wrote it).
  bool HoldsProject(const std::string& target) const;
  void WroteProject(const std::string& target);
  // Runs the timer saves that waited for a save to end.
  void RunDueSaves();

  std::unique_ptr<TContainer> FContainer;
  std::unique_ptr<TProjectLock> FOpenHold; // while the open project has a name
  // Carries this window's signals to the windows that listen through MainServices.
  TMainNotices* FNotices;
  bool FStarted = false;
  TSaveKind FSaving = TSaveKind::None;
  std::optional<std::pair<std::string, bool>> FSaveTarget; // name and timed, see TSaveTarget
  bool FAutoSaveDue = false;
  bool FBackupDue = false;
  bool FLoading = false;
  int FBusy = 0;
  std::deque<std::function<void()>> FWaiting;
  bool FWaitingPosted = false;
  // What the timers last wrote where: a fingerprint of the project's bytes by file name.
  std::map<std::string, size_t> FWritten;
  std::string FUnnamedWork;
  // The project was changed by the user since it was made or opened.
  bool FChanged = false;
  std::string FRefusedBackup; // the location last refused at a tick
  std::set<std::pair<std::string, std::string>> FRefusals; // (name, error text) shown for a save
  bool FFitOnResize = false;
};

template <class T> std::vector<T*> TQELMain::ChildWindows() const {
  std::vector<T*> found;
  for (QMdiSubWindow* sub : MdiArea->subWindowList())
    if (auto* window = dynamic_cast<T*>(sub->widget())) found.push_back(window);
  return found;
}

// Where a free window of the size (frame included) goes in the area: at its top, beside the
// avoided rectangle (left of it, else right of it) or, where neither has room, at the area's
// right or left edge, whichever covers less of it.
QRect FreeWindowPlace(const QRect& area, const QSize& size, const QRect& avoid);
// What an import added, by kind, for the status bar.
std::string ImportSummary(const TImportOffsets& before, const TImportOffsets& after, const std::string& fileName);
// Where an image of a window at 96 pixels per inch goes on a printed page: at the page's top
// left, at the printer's resolution, shrunk in proportion when it would not fit.
QRectF PrintedPlace(const QSizeF& image, const QRectF& page, double printerDpi);
// Prints the image on one page of the printer, placed by PrintedPlace.
void PrintFitted(QPrinter& printer, const QPixmap& image);

extern TQELMain* QELMain;

} // namespace qel
