// The sheet window's commands: colour, notes list, texts' menus, fonts and printing.
#include "NoteProp.h"
#include "windows/richedit/RichEditURL.h"
#include "SheetProp.h"
#include "windows/sheet/DragObjects.h"
#include "model/Container.h"
#include "platform/Errors.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtConvert.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QSpinBox>
#include <QSplitter>

namespace qel {

void TSheetPrp::CreateMenus() {
  ME_PopUp = new QMenu(this);
  ME_PopUp->addAction("Open Note...", this, [this] { MI_OpenNoteClick(); });
  LV_Contents->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(LV_Contents, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ME_PopUp->popup(LV_Contents->viewport()->mapToGlobal(at)); });
  PU_Memo = new QMenu(this);
  PU_Memo->addAction("Cu&t", QKeySequence("Ctrl+X"), this, &TSheetPrp::MI_CutClick);
  PU_Memo->addAction("&Copy", QKeySequence("Ctrl+C"), this, &TSheetPrp::MI_CopyClick);
  PU_Memo->addAction("&Paste", QKeySequence("Ctrl+V"), this, &TSheetPrp::MI_PasteClick);
  PU_Memo->addSeparator();
  PU_Memo->addAction("&Load from file", QKeySequence("Ctrl+L"), this, &TSheetPrp::MI_LoadFromFileClick);
  for (TRichEditURL* text : {RichEditURL1, RichEditURL2}) {
    text->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(text, &QWidget::customContextMenuRequested, this, [this, text](const QPoint& at) {
      FPopupFor = text;
      PU_Memo->popup(text->viewport()->mapToGlobal(at));
    });
  }
  DLG_Open.FileMustExist = true;
}

void TSheetPrp::PN_SheetColorDblClick() {
  if (CloseIfGone()) return;
  TColor color = PN_SheetColor->Color();
  if (Dialogs().ColorDialog(color)) {
    PN_SheetColor->SetColor(color);
    MarkEdited(PN_SheetColor);
  }
  StoreUnlessClosing();
}

TNoteItem* TSheetPrp::SelectedNote() const {
  for (int row = 0; row < LV_Contents->count() && row < static_cast<int>(FEntries.size()); ++row)
    if (LV_Contents->item(row)->isSelected()) return FEntries[row].Note.Get();
  return nullptr;
}

QMimeData* TSheetPrp::LV_ContentsStartDrag() {
  if (ItemGone()) return nullptr;
  auto notes = std::make_unique<TDragNotes>(this);
  for (int row = 0; row < LV_Contents->count() && row < static_cast<int>(FEntries.size()); ++row)
    if (TNoteItem* note = FEntries[row].Note.Get(); note && LV_Contents->item(row)->isSelected()) notes->Add(note);
  if (notes->Count() == 0) return nullptr;
  return new TDragMimeData(std::move(notes));
}

void TSheetPrp::LV_ContentsDblClick() { MI_OpenNoteClick(); }

TPropertyFrm* TSheetPrp::MI_OpenNoteClick() {
  if (CloseIfGone()) return nullptr;
  TNoteItem* note = SelectedNote();
  if (!Container || !note || Container->NotePool->IndexOf(note) < 0) return nullptr;
  if (note->IsAggregation()) {
    TSheetItem* sheet = note->GetAggregatedSheet();
    if (!sheet) return nullptr;
    auto* window = new TSheetPrp(this);
    window->Container = Container;
    window->ShowItem(sheet);
    ShowFreeWindow(window, true);
    return window;
  }
  auto* window = new TNotePrp(this);
  window->Container = Container;
  window->ShowNote(note, Container->RelationPool.get(), Container->LinkPool.get());
  ShowFreeWindow(window, true);
  return window;
}

void TSheetPrp::MI_CutClick() { (FPopupFor ? FPopupFor : RichEditURL2)->cut(); }
void TSheetPrp::MI_CopyClick() { (FPopupFor ? FPopupFor : RichEditURL2)->copy(); }
// Only the description takes text.
void TSheetPrp::MI_PasteClick() { RichEditURL1->paste(); }

// The file goes into the description, the text that is stored.
void TSheetPrp::MI_LoadFromFileClick() {
  if (CloseIfGone()) return;
  if (Dialogs().OpenDialog(DLG_Open)) Reported([this] { RichEditURL1->LoadFromFile(DLG_Open.FileName); });
  UpdateItem(true);
}

void TSheetPrp::EditUndoCmdExecute() { RichEditURL1->undo(); }
void TSheetPrp::EditCutCmdExecute() { RichEditURL1->cut(); }
void TSheetPrp::EditCopyCmdExecute() { RichEditURL1->copy(); }
void TSheetPrp::EditPasteCmdExecute() { RichEditURL1->paste(); }

namespace {

// The selection's format when text is selected, else the text's default font.
void SetTextFont(TRichEditURL* text, const std::function<void(QTextCharFormat&, QFont&)>& change) {
  QTextCharFormat format;
  QFont font = text->document()->defaultFont();
  change(format, font);
  if (text->textCursor().hasSelection())
    text->mergeCurrentCharFormat(format);
  else
    text->document()->setDefaultFont(font);
}

} // namespace

void TSheetPrp::FontName1Change() {
  const int index = FontName1->currentIndex();
  if (index < 0) return;
  const std::pair<TRichEditURL*, QComboBox*> pairs[] = {
      {RichEditURL1, FontName1}, {RichEditURL2, FontName2}, {RichEditURL3, FontName3}};
  for (auto [text, names] : pairs) {
    if (index >= names->count()) continue;
    const QString family = names->itemText(index);
    SetTextFont(text, [&](QTextCharFormat& format, QFont& font) {
      format.setFontFamilies(QStringList{family});
      font.setFamily(family);
    });
  }
}

void TSheetPrp::FontSizeChange() {
  const int size = FontSize->value();
  for (TRichEditURL* text : {RichEditURL1, RichEditURL2, RichEditURL3})
    SetTextFont(text, [size](QTextCharFormat& format, QFont& font) {
      format.setFontPointSize(size);
      font.setPointSize(size);
    });
}

void TSheetPrp::FormShow() {
  if (FontName1->count() == 0) {
    const QStringList families = FontFamilyNames();
    for (QComboBox* names : {FontName1, FontName2, FontName3}) {
      const QSignalBlocker blocker(names);
      names->addItems(families);
    }
  }
  const int listHeight = 100;
  const int description = (height() - PN_SheetProp->height() - listHeight) / 3;
  Splitter1->setSizes({description, std::max(0, height() - description - listHeight), listHeight});
}

// The buffer is made afresh first, so the description as typed is printed.
void TSheetPrp::BBPrintClick() {
  if (CloseIfGone()) return;
  RichEditURL2Change();
  RichEditURL3->PlainText = true;
  if (!PrintDialog1) PrintDialog1 = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!Dialogs().PrintDialog(*PrintDialog1)) return;
  RichEditURL3->PageRect = TRichEditURL::PrintMargins(*PrintDialog1);
  RichEditURL3->Print(QString(), *PrintDialog1);
}

} // namespace qel
