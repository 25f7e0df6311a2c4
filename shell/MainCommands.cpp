// The main window's commands besides the project commands: print, zoom, relation types,
// search, new note and sheet, help and About.
#include "Main.h"

#include "About.h"
#include "AutoSave.h"
#include "windows/sheet/DragObjects.h"
#include "windows/sheet/SheetForm.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/ShellOpen.h"
#include "windows/search/Search.h"
#include "windows/props/NoteProp.h"
#include "windows/links/RelationFrm.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QTabWidget>

namespace qel {

void TQELMain::tbAutoSaveClick() {
  if (!frmAutoSave) return;
  frmAutoSave->show();
  frmAutoSave->raise();
  frmAutoSave->activateWindow();
}

void TQELMain::TB_PrintClick() {
  // Printing needs an active sheet window; without one the command does nothing.
  if (!ActiveSheetWindow() || !Dialogs().PrintDialog(*PrintDialog)) return;
  TDrawSheet* sheetWindow = ActiveSheetWindow();
  if (!sheetWindow) return;
  sheetWindow->repaint();
  // The visible part of the sheet, without the scroll bars.
  const QPixmap image = sheetWindow->SB_Sheet->viewport()->grab();
  PrintFitted(*PrintDialog, image);
}

QRectF PrintedPlace(const QSizeF& image, const QRectF& page, double printerDpi) {
  // The window's 96 pixels per inch become the printer's resolution; a larger image shrinks,
  // keeping its proportions, to the page.
  double scale = printerDpi / 96.0;
  if (image.width() * scale > page.width()) scale = page.width() / image.width();
  if (image.height() * scale > page.height()) scale = page.height() / image.height();
  return QRectF(page.topLeft(), image * scale);
}

void PrintFitted(QPrinter& printer, const QPixmap& image) {
  if (image.isNull()) return;
  QPainter painter;
  if (!painter.begin(&printer)) return;
  // The painter's origin is the top left of the printable area.
  const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
  const QRectF place = PrintedPlace(image.size(), QRectF(QPointF(0, 0), page), printer.resolution());
  painter.drawPixmap(place, image, QRectF(image.rect()));
  painter.end();
}

void TQELMain::TB_NewNoteClick() {
  const auto run = CommandRun([this] { TB_NewNoteClick(); });
  if (!run) return;
  if (NewNoteWindow) {
    // What the user typed into the previous window goes into its note first.
    if (NewNoteWindow->isVisible() && !NewNoteWindow->Closing) NewNoteWindow->UpdateItem(true);
    delete NewNoteWindow.data();
  }
  TNoteItem* note = FContainer->AddNote(TNote());
  NewNoteWindow = new TNotePrp(this, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  PlacePropertyWindow(NewNoteWindow);
  NewNoteWindow->Container = FContainer.get();
  NewNoteWindow->ShowNote(note, FContainer->RelationPool.get(), FContainer->LinkPool.get());
  NewNoteWindow->PC_Note->setCurrentIndex(0);
  NewNoteWindow->show();
}

void TQELMain::TB_NewSheetClick() {
  const auto run = CommandRun([this] { TB_NewSheetClick(); });
  if (!run) return;
  TSheetItem* sheet = nullptr;
  for (int i = 0; i < FContainer->SheetCount() && !sheet; ++i)
    if (FContainer->GetSheet(i)->Data.Name == "New Sheet") sheet = FContainer->GetSheet(i);
  if (!sheet) {
    sheet = FContainer->AddSheet(TSheet());
    sheet->SetName("New Sheet");
  }
  // A window of that sheet comes forward rather than a second one.
  for (TDrawSheet* open : ChildWindows<TDrawSheet>())
    if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget()); sub && open->GetSheet() == sheet) {
      RestoreChildWindow(sub);
      sub->raise();
      return;
    }
  auto* window = new TDrawSheet();
  DrawSheet = window;
  QMdiSubWindow* sub = AddChildWindow(window);
  window->SetSheet(FContainer.get(), sheet);
  TB_FitToScreenClick();
  MdiArea->setActiveSubWindow(sub);
  sub->raise();
}

QMimeData* TQELMain::PN_NewNoteStartDrag() { return new TDragMimeData(std::make_unique<TDragNewNote>()); }

TfrmSearch* TQELMain::SelectSearch(int kind) {
  ShowSearchWindow();
  frmSearch->SelectSearchKind(kind);
  return frmSearch;
}

void TQELMain::TB_SearchClick() { SelectSearch(1); }
void TQELMain::MI_SearchGlobalClick() { SelectSearch(0)->cbGlobalText1->setFocus(); }
void TQELMain::MI_SearchNotesClick() { SelectSearch(1)->edt_notecaption->setFocus(); }
void TQELMain::MI_SearchSheetsClick() { SelectSearch(2)->edt_sheetcaption->setFocus(); }
void TQELMain::MI_SearchAttachmentsClick() { SelectSearch(3)->edt_attachmentcaption->setFocus(); }

void TQELMain::TB_ZoomInClick() {
  if (TDrawSheet* sheetWindow = ZoomTarget()) sheetWindow->ZoomIn();
}

void TQELMain::TB_ZoomOutClick() {
  if (TDrawSheet* sheetWindow = ZoomTarget()) sheetWindow->ZoomOut();
}

void TQELMain::CB_ZoomChange() {
  // Read before the window comes forward, which shows its own zoom in the box.
  std::string text = FromQString(CB_Zoom->currentText());
  TDrawSheet* sheetWindow = ZoomTarget();
  if (!sheetWindow) return;
  if (!text.empty()) text.pop_back(); // the "%"
  try {
    sheetWindow->SetZoom(StrToInt(text));
  } catch (const EConvertError& e) {
    ShowErrorBox(e.what());
  }
}

void TQELMain::TB_RelationsClick() {
  const auto run = CommandRun([this] { TB_RelationsClick(); });
  if (!RelationForm || !run) return;
  RelationForm->SetContainer(FContainer.get());
  RelationForm->exec();
}

std::string TQELMain::HelpFile() {
  return FromQString(QCoreApplication::applicationDirPath()) + "/help/index.html";
}

void TQELMain::Help() { ShellOpen(HelpFile()); }

void TQELMain::MI_HelpAboutClick() {
  if (frm_about) frm_about->exec();
}

} // namespace qel
