#pragma once
// The property window of one note: its caption, its rich text ("&Memo": a small editor with
// file commands, find and replace, and the lists of links from and to the note), its picture,
// logo and colour ("&Properties"), the sheets it belongs to ("&Sheets") and its attachments.
// Many exist at once, each owned by the window that shows it; the creator sets Container and
// calls ShowNote. Split by concern: NoteProp.cpp (frame, load and store), NotePropLinks.cpp,
// NotePropSheets.cpp, NotePropAttach.cpp, NotePropEditor.cpp, NotePropFile.cpp,
// NotePropFind.cpp, NotePropPicture.cpp.
#include "NotePropCommon.h"
#include "PropertyForm.h"
#include "model/PoolItem.h"
#include "platform/qt/Dialogs.h"

#include <QListWidget>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QTextCharFormat;
class QToolBar;

namespace qel {

class TAttachItem;
class TAttachPrp;
class TLinkItem;
class TLinkPool;
class TNoteItem;
class TPoolItemList;
class TRelationPool;
class TReplaceDialog;
class TRichEditURL;
class TSheetItem;

class TNotePrp : public TPropertyFrm {
  Q_OBJECT
public:
  explicit TNotePrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  ~TNotePrp() override;

  // Binds the note (text typed for the note shown before is stored into that note first) and
  // loads the window from it.
  void ShowNote(TNoteItem* Note, TPoolItemList* RelationPool, TPoolItemList* LinkPool);
  const void* GetItem() const override { return Note.Get(); }
  TNoteItem* GetNote() const { return Note.Get(); }
  bool UpdateItem(bool Store) override;
  bool ItemGone() const override;

  // ---- the window (NoteProp.cpp)
  void PC_NoteChange();
  void PC_NoteEnter();
  void RichEditURL1Exit();
  void FormShow();

  // ---- links (NotePropLinks.cpp)
  void FillLinksTo();
  void FillLinksFrom();
  // The note at the other end of the link of the list's selected row; null when none.
  TNoteItem* FindToNote() const { return FindSelectedNote(LV_LinksTo); }
  TNoteItem* FindFromNote() const { return FindSelectedNote(LV_LinksFrom); }
  void LV_LinksToDblClick() { JumpAlong(FindToNote()); }
  void LV_LinksFromDblClick() { JumpAlong(FindFromNote()); }
  QMimeData* LV_LinksToStartDrag() { return DragLinkNote(FindToNote()); }
  QMimeData* LV_LinksFromStartDrag() { return DragLinkNote(FindFromNote()); }

  // ---- the "&Sheets" page (NotePropSheets.cpp)
  void FillSheetLists();
  bool lst_presentinsheetsDragOver(QObject* Source) const { return Source == lst_availablesheets; }
  bool lst_availablesheetsDragOver(QObject* Source) const { return Source == lst_presentinsheets; }
  // Assigns the note to the sheets selected in the available list.
  void lst_presentinsheetsDragDrop();
  // Removes the note from the sheets selected in the present list.
  void lst_availablesheetsDragDrop();
  void lst_presentinsheetsDblClick() { lst_availablesheetsDragDrop(); }
  void lst_availablesheetsDblClick() { lst_presentinsheetsDragDrop(); }
  void bnNotePresInSheetsSortAlphaClick();
  void bnAvailSheetSortAlphaClick();

  // ---- attachments (NotePropAttach.cpp)
  void FillAttachments();
  int SetAttachmentIcon(const TAttachItem* Attachment);
  // Opens a further attachment window for the selected row; returns it, or null.
  TAttachPrp* LV_ContentsDblClick();
  TAttachPrp* MI_OpenAttachmentClick() { return LV_ContentsDblClick(); }
  QMimeData* LV_ContentsStartDrag();
  bool LV_ContentsDragOver() const { return false; }
  void MI_AddAttachmentClick();

  // ---- text editing (NotePropEditor.cpp)
  void SelectionChange();
  void SetTextMargins();
  void ShowModifiedMark(bool Modified);
  void RichEditChange();
  void FontSizeChange();
  void FontNameChange();
  void BoldButtonClick();
  void ItalicButtonClick();
  void UnderlineButtonClick();
  void AlignButtonClick(int Tag);
  void BulletsButtonClick();
  void DateTimeClick();
  void MI_CutClick();
  void MI_CopyClick();
  void MI_PasteClick();
  void MI_loadfileClick();
  void EditUndo();
  void EditCut();
  void EditCopy();
  void EditPaste();
  void RichEditURL1URLClick(const QString& URL);

  // ---- the editor's document (NotePropFile.cpp)
  void SetFileName(const std::string& Name);
  void FileNew();
  // False when the user cancelled.
  bool CheckFileSave();
  void FileOpen();
  void PerformFileOpen(const std::string& Name);
  void FileSave();
  void FileSaveAs();
  void FilesDropped(const QStringList& Files);
  void FilePrint();
  std::string GetRichText();

  // ---- find and replace (NotePropFind.cpp)
  void bnREURLReplaceClick();
  void ReplaceDialog1Find();
  void ReplaceDialog1Replace(bool All);
  // Start of the last match in this window's text; -1 when none.
  int LastFoundPos = -1;

  // ---- picture, logo and colour (NotePropPicture.cpp)
  void ShowPicture();
  void ShowLogo();
  void ShowPictureWarning();
  void BTN_LoadImageClick();
  void BTN_LoadLogoClick();
  void btn_clearimageClick();
  void btn_clearlogoClick();
  void btn_SwitchPictureModeClick();
  void IM_LogoStartDrag();
  void IM_LogoEndDrag();
  // The logo dragged over the target of a place (0 to 8).
  void posDragOver(int Place);
  void PN_NoteColorClick();
  void PN_NoteColorDblClick();

  // ---- fields
  TItemRef<TNoteItem> Note;
  TRelationPool* RelationPool = nullptr;
  TLinkPool* LinkPool = nullptr;
  TItemRef<TNoteItem> JumpNote;
  bool LogoDragging = false;
  std::string FileName;
  bool UpdatingControls = false;

  // ---- components
  QMenuBar* MainMenu;
  QStatusBar* SB_Contents;
  QTabWidget* PC_Note;
  QWidget* TS_Memo;
  QWidget* TS_NoteProp;
  QWidget* TabSheet1;
  QToolBar* StandardToolBar;
  QComboBox* FontName;
  QSpinBox* FontSize;
  QAction* BoldButton;
  QAction* ItalicButton;
  QAction* UnderlineButton;
  QAction* BulletsButton;
  QAction* LeftAlign;
  QAction* CenterAlign;
  QAction* RightAlign;
  QWidget* Ruler;
  QLabel* FirstInd;
  QLabel* LeftInd;
  QLabel* RightInd;
  TRichEditURL* RichEditURL1 = nullptr;
  TDragView<QTreeWidget>* LV_LinksFrom;
  TDragView<QTreeWidget>* LV_LinksTo;
  QStatusBar* StatusBar;
  QLabel* StatusPanels[3];
  QMenu* cmn_memoload;
  TDragView<QListWidget>* lst_presentinsheets;
  TDragView<QListWidget>* lst_availablesheets;
  QPushButton* BitBtn1Sort;
  QPushButton* BitBtn2Sort;
  QSplitter* SheetsSplitter;
  TDragView<QListWidget>* LV_Contents;
  QMenu* cmn_addattachment;
  // "&Properties"
  QScrollArea* SB_Picture;
  QLabel* IM_Picture;
  QFrame* Targets[9] = {}; // pos0 to pos8
  QLabel* IM_Logo = nullptr;
  QLabel* LB_PictureWarning = nullptr; // a picture or logo file that is missing or unreadable
  QPushButton* btn_SwitchPictureMode;
  QPushButton* btn_LoadImage;
  QPushButton* btn_LoadLogo;
  TColorPanel* PN_NoteColor;
  QPushButton* btn_clearimage;
  QPushButton* btn_clearlogo;
  // Dialogs
  TFileDialogRequest OpenDialog;
  TFileDialogRequest SaveDialog;
  TFileDialogRequest dlg_openfile;
  TFileDialogRequest PictureDialog;
  TFileDialogRequest IconDialog;
  TColor ColorDialogColor = clBlack; // the colour dialog's own last colour
  std::unique_ptr<QPrinter> PrintDialog;
  TReplaceDialog* ReplaceDialog1;

protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateMemoPage();
  void CreateToolBar();
  void CreateRuler();
  void CreateLinkLists(QWidget* page);
  void CreateMenus();
  void CreatePropertiesPage();
  void CreatePictureArea();
  void CreateSheetsPage();
  void CreateAttachmentList();
  void LoadNote(TNoteItem* note);
  void StoreNote(TNoteItem* note);
  TNoteItem* FindSelectedNote(const QTreeWidget* list) const;
  void JumpAlong(TNoteItem* target);
  QMimeData* DragLinkNote(TNoteItem* target);
  void SetLinkCaptions();
  void FillLinks(QTreeWidget* list, bool outgoing);
  static void FitColumns(QTreeWidget* list);
  TSheetItem* SheetOf(const QListWidgetItem* entry) const;
  void AddSheetEntry(QListWidget* list, TSheetItem* sheet);
  // The selected entries' sheets, last first, each entry moved to the other list.
  std::vector<TSheetItem*> MoveSelected(QListWidget* from, QListWidget* to);
  TAttachPrp* NewAttachmentWindow(TAttachItem* attachment);
  bool LogoEvent(QEvent* event);
  bool TargetEvent(int place, QEvent* event);
  void ShowFile(QLabel* image, const std::string& file, bool& shown);
  // The name the note takes for a chosen picture: its copy in the project's folder (see
  // IMainServices::PictureFolder), or empty (after telling the user) when it could not be copied.
  std::string CopyIntoProject(const std::string& file);
  // Runs a picture dialog and copies the chosen file; the note to take it, or null.
  TNoteItem* ChoosePicture(TFileDialogRequest& dialog, std::string& target);
  void SetTargetsDotted(bool dotted);
  void ApplyFormat(const QTextCharFormat& format);

  std::vector<TItemRef<TSheetItem>> FSheets;      // the objects of the sheet lists' entries
  std::vector<TItemRef<TAttachItem>> FAttachments; // the attachment rows
  std::vector<TItemRef<TLinkItem>> FLinksTo;       // the links of the rows of LV_LinksTo
  std::vector<TItemRef<TLinkItem>> FLinksFrom;
  QPoint FLogoPress;
  bool FPresentSorted = false;
  bool FAvailableSorted = false;
  bool FPictureStretched = false;
};

extern TNotePrp* NotePrp;

} // namespace qel
