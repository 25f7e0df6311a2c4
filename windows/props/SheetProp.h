#pragma once
// The property window of one sheet: name, colour, size and grid spacing, a description, the
// sheet's notes as a list and as one read-only text of their names and texts, which prints as
// one document. Page 4 of the navigator, the sheet window's window for aggregation notes, and
// a free window opened from its own notes list.
#include "NotePropCommon.h"
#include "PropertyForm.h"
#include "model/PoolItem.h"
#include "platform/qt/Dialogs.h"

#include <QListWidget>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QMenu;
class QPrinter;
class QSpinBox;
class QSplitter;
class QToolButton;

namespace qel {

class TNoteItem;
class TRichEditURL;
class TSheetItem;

class TSheetPrp : public TPropertyFrm {
  Q_OBJECT
public:
  explicit TSheetPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  ~TSheetPrp() override;
  void ShowItem(TSheetItem* Sheet);
  const void* GetItem() const override { return Sheet.Get(); }
  TSheetItem* GetSheet() const { return Sheet.Get(); }
  bool UpdateItem(bool Store) override;
  bool ItemGone() const override;

  // ---- handlers
  // Also a single click: the colour dialog, then the window is stored.
  void PN_SheetColorDblClick();
  void ED_SheetWidthExit() { StoreUnlessClosing(); }
  void ED_SheetHeightExit() { StoreUnlessClosing(); }
  void SP_GridSizeMouseUp() { StoreUnlessClosing(); }
  void ME_DescriptionExit() { StoreUnlessClosing(); }
  // The notes of the selected entries, as a drag of notes from this window.
  QMimeData* LV_ContentsStartDrag();
  bool LV_ContentsDragOver() const { return false; }
  void LV_ContentsDblClick();
  // Opens a further window for the first selected entry's note (a sheet window for a note
  // that stands for a sheet); returns it, or null when nothing was opened.
  TPropertyFrm* MI_OpenNoteClick();
  void MI_CutClick();
  void MI_CopyClick();
  void MI_PasteClick();
  void MI_LoadFromFileClick();
  void EditUndoCmdExecute();
  void EditCutCmdExecute();
  void EditCopyCmdExecute();
  void EditPasteCmdExecute();
  void FontName1Change();
  void FontSizeChange();
  void FormShow();
  void RichEditURL2Change();
  void BBPrintClick();

  TItemRef<TSheetItem> Sheet;

  QWidget* PN_SheetProp;
  QGroupBox* GroupBox2;
  QComboBox* FontName1;
  QComboBox* FontName2; // hidden, the same list as FontName1
  QComboBox* FontName3;
  QSpinBox* FontSize;
  QToolButton* BBPrint;
  QGroupBox* GroupBox1;
  TColorPanel* PN_SheetColor;
  QLineEdit* ED_SheetWidth;
  QLineEdit* ED_SheetHeight;
  QSpinBox* SP_GridSize = nullptr; // shows the grid spacing (10 to 50)
  QSplitter* Splitter1;
  TRichEditURL* RichEditURL1 = nullptr; // the description
  QStatusBar* SB_Contents;
  TRichEditURL* RichEditURL2 = nullptr; // the notes text, read-only
  TDragView<QListWidget>* LV_Contents;
  TRichEditURL* RichEditURL3; // hidden print buffer
  QMenu* PU_Memo;
  QMenu* ME_PopUp;
  TFileDialogRequest DLG_Open;
  std::unique_ptr<QPrinter> PrintDialog1; // the printer the print dialog sets up

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateToolBars();
  QGroupBox* CreateSheetBox();
  void CreateTexts();
  void CreateMenus();
  void StoreUnlessClosing();
  // The fields the user changed since the last load or store.
  void StoreSheet(TSheetItem* sheet);
  void LoadSheet(TSheetItem* sheet);
  // Rebuilds the notes list and text when what they show differs from the sheet.
  void RefreshContents(TSheetItem* sheet);
  TNoteItem* SelectedNote() const;

  struct TEntry {
    TItemRef<TNoteItem> Note;
    QString Name;
    int Image = 2;
    bool operator==(const TEntry& other) const {
      return Note.SameAs(other.Note) && Name == other.Name && Image == other.Image;
    }
  };
  std::vector<TEntry> FEntries; // the notes list's rows
  QString FNotesText;
  TRichEditURL* FPopupFor = nullptr; // the text whose context menu is open
};

} // namespace qel
