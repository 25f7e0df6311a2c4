#pragma once
// The search window: a stay-on-top window with four search pages (Global, Notes, Sheets,
// Attachments) whose fields become the criteria of its search engine; the hits appear in its
// results tree, from which items are opened, shown or dragged. It also exports the hits of
// the active page as a new project for the export window.
//
// Bound to one project by SetContainer; when that project is released the window closes.
// Windows opened from its tree are its own: closing it closes them (they store their edits
// first). The pools are never left filtered once a handler returns.
#include "model/PoolItem.h"
#include "platform/Colors.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QMimeData;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeWidgetItem;

namespace qel {

class TAttachItem;
class TContainer;
class TContainerSearch;
class TNoteItem;
class TSheetItem;
class TNotePrp;
class TResultNode;
class TSearchColorPanel;
class TSearchResultsTree;
class TSheetPrp;
class TTVEngine;
class TProjectHold;

class TfrmSearch : public QWidget {
  Q_OBJECT
public:
  explicit TfrmSearch(QWidget* owner);
  ~TfrmSearch() override;

  void SetContainer(TContainer* container);
  // The width at which every page tab and every field shows whole.
  int NeededWidth() const;
  // Page 0 Global, 1 Notes, 2 Sheets, 3 Attachments, without starting a new search; other
  // values do nothing.
  void SelectSearchKind(int kind);
  // Reruns the active page's search and writes its hits as a new project: the project file
  // Base + ".qel" and its data and index files. Mode "ExBig" or "ImBig" also writes sheets,
  // positions and links. True only when every file was written. False, after telling the
  // user, when nothing was written: the folder or name will not do, the files would replace
  // the open project's own, the user would not replace an existing project, or a file could
  // not be written (then no old file has been replaced). False at once while a search or an
  // export runs.
  bool ExportResults(const std::string& Mode, const std::string& Base);
  // True while a search or an export runs. Meanwhile the window does not close: a close asked
  // for then (the window system's included) closes it once the command is over, and the
  // project stays (see IMainServices::HoldProject).
  bool IsBusy() const { return FBusy; }

  std::unique_ptr<TContainerSearch> ContainerSearch;
  std::unique_ptr<TTVEngine> TVEngine;
  TContainer* Container = nullptr; // not owned
  // The windows of the last double click on a note and on an aggregation note.
  QPointer<TNotePrp> NoteWindow;
  QPointer<TSheetPrp> SheetPropWindow;
  // The first field of the last search.
  QString LastSearchText;

  // ---- handlers
  void btn_searchClick();
  void btn_clearClick();
  void SearchKindChange();
  void chk_notecolorClick();
  void chk_noteonsheetcolorClick();
  void chk_sheetcolorClick();
  void pnl_notecolorDblClick();
  void pnl_noteonsheetcolorDblClick();
  void pnl_sheetcolorDblClick();
  void btnExportClick();
  void trvSearchResultsChange(QTreeWidgetItem* node);
  void trvSearchResultsClick();
  void trvSearchResultsDblClick();
  void MI_OpenClick();
  // The drag data for the selected node (a note or an attachment), else null.
  QMimeData* trvSearchResultsStartDrag();

  // ---- components
  QWidget* pnl_top;
  QTabWidget* SearchKind;
  QWidget* Global;
  QCheckBox* chk_globaltextcasesensitive;
  QComboBox* cbGlobalText1;
  QComboBox* cbGlobalText2;
  QComboBox* cbGlobalText3;
  QComboBox* cbGlobalText4;
  QPushButton* btnExport;
  QWidget* Notes;
  QLineEdit* edt_notecaption;
  QCheckBox* chk_notecaptioncasesensitive;
  QLineEdit* edt_notememo;
  QCheckBox* chk_notememocasesensitive;
  QLineEdit* edt_noteonsheetcaption;
  QCheckBox* chk_noteonsheetcaptioncasesensitive;
  QCheckBox* chk_notecolor;
  TSearchColorPanel* pnl_notecolor;
  QCheckBox* chk_noteonsheetcolor;
  TSearchColorPanel* pnl_noteonsheetcolor;
  QWidget* Sheets;
  QLineEdit* edt_sheetcaption;
  QCheckBox* chk_sheetcaptioncasesensitive;
  QCheckBox* chk_sheetcolor;
  TSearchColorPanel* pnl_sheetcolor;
  QWidget* Attachments;
  QLineEdit* edt_attachmentcaption;
  QCheckBox* chk_attachmentcaptioncasesensitive;
  QLineEdit* edt_attachmentfilename;
  QCheckBox* chk_attachmentfilenamecasesensitive;
  QWidget* pnl_buttons;
  QPushButton* btn_clear;
  QPushButton* btn_search;
  QProgressBar* ani_search; // a busy indicator while a search runs
  TSearchResultsTree* trvSearchResults;
  QMenu* ME_PopUp;
  QAction* MI_Open;

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Switches the project's filters off when it goes out of scope.
  struct TFilterGuard {
    TContainer* Project;
    ~TFilterGuard();
  };
  // While a search or an export runs: a busy cursor, the buttons that would start another
  // one disabled, IsBusy true and the project held.
  class TBusy {
  public:
    explicit TBusy(TfrmSearch* window);
    ~TBusy();
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

  private:
    TfrmSearch* FWindow;
    QPointer<QWidget> FFocus;
    std::unique_ptr<TProjectHold> FHold;
  };
  // Lets the window system repaint (no user input is taken) at most every tenth of a second
  // while a long search or export runs.
  void KeepPainted();
  void CreateComponents();
  void CreateGlobalPage();
  void CreateNotesPage();
  void CreateSheetsPage();
  void CreateAttachmentsPage();
  void CreateButtons();
  void CreateResultsTree();
  std::array<QComboBox*, 4> GlobalTexts() const;
  QString ActivePageName() const;
  // Trims every field and extends the global histories (the first steps of a search).
  void TrimFields();
  // Sets the criteria of the active page; false when the page is unknown.
  bool SetCriteria(bool& sheets, bool& notes, bool& attachments);
  void SetNoteCriteria();
  void SetSheetCriteria();
  void SetAttachmentCriteria();
  void SetGlobalCriteria();
  // The colour dialog for a panel; its colour changes only when the user confirms.
  void ChooseColor(TSearchColorPanel* panel);
  // The selected node, or null.
  TResultNode* SelectedNode() const;
  // Opening from the tree: the note or sheet windows, placed at the left as property windows.
  void OpenNote(TNoteItem* note);
  void OpenSheetWindow(TSheetItem* sheet);
  void OpenSheetProperties(TSheetItem* sheet, bool keep);
  void OpenAttachment(TAttachItem* attachment);
  void PlacePropertyWindow(QWidget* window);
  // Shows the note in the note window and selects the next occurrence of the search text.
  void FindInNote(TNotePrp* window, TNoteItem* note);
  // The sheet windows opened from the tree (the property windows are children).
  void CloseOwnedWindows();
  // Drops the project and everything that refers to it.
  void Unbind();
  // True (after telling the user) when the export's files would replace the open project's.
  bool ExportWouldReplaceProject(const std::string& Base) const;

  std::vector<QPointer<QWidget>> FSheetWindows;
  QList<QIcon> FImages;    // the item icons when there is no main window
  TColor FDialogColor = 0; // the colour dialog opens with the colour last chosen in it
  bool FBusy = false;
  bool FCloseWhenIdle = false; // a close came while busy
  QElapsedTimer FPaintClock;
};

// The search window made last; null once it is closed.
extern TfrmSearch* frmSearch;

} // namespace qel
