// The sheet window's set-up, zoom, menu state and note window refresh.
#include "SheetForm.h"

#include "SelDrawBot.h"
#include "model/Container.h"
#include "shell/Main.h"
#include "windows/EditLink.h"
#include "windows/NoteProp.h"
#include "windows/SheetProp.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

namespace qel {

TDrawSheet* DrawSheet = nullptr;

TDrawSheet::TDrawSheet(QWidget* parent) : QWidget(parent) {
  setWindowTitle("WorkSheet - ");
  resize(607, 431);
  setFocusPolicy(Qt::StrongFocus);
  CreateComponents();
  FormCreate();
  if (QELMain)
    connect(QELMain, &TQELMain::ProjectReleasing, this, [this](TContainer* project) {
      if (Container == project) Container = nullptr;
    });
}

TDrawSheet::~TDrawSheet() {
  if (DrawSheet == this) DrawSheet = nullptr;
  // The painters let go of the images before these go.
  if (FBitmapCanvas) FBitmapCanvas->Release();
  if (FOverlayCanvas) FOverlayCanvas->Release();
}

void TDrawSheet::CreateComponents() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  SB_Sheet = new QScrollArea(this);
  SB_Sheet->setFrameShape(QFrame::NoFrame);
  SB_Sheet->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette window = SB_Sheet->viewport()->palette();
  window.setColor(QPalette::Window, window.color(QPalette::Base));
  SB_Sheet->viewport()->setPalette(window);
  SB_Sheet->viewport()->setAutoFillBackground(true);
  layout->addWidget(SB_Sheet);
  PB_Sheet = new TSheetPaintBox(this, SB_Sheet);
  SB_Sheet->setWidget(PB_Sheet);

  ME_FormPopup = new QMenu(this);
  MI_AllLinks = ME_FormPopup->addAction("Show &All Relations", this, &TDrawSheet::MI_AllLinksClick);
  MI_AllLinks->setCheckable(true);
  MI_AllLinks->setChecked(true);
  N1 = ME_FormPopup->addSeparator();
  MI_Expand = ME_FormPopup->addAction("&Expand", this, &TDrawSheet::MI_ExpandClick);
  MI_LineStyle = ME_FormPopup->addAction("&Curved Line", this, &TDrawSheet::MI_LineStyleClick);
  MI_LineStyle->setCheckable(true);
}

void TDrawSheet::FormCreate() {
  FOverlayCanvas = std::make_unique<TCanvas>();
  PaintCanvas = std::make_unique<TVCanvas>(FOverlayCanvas.get());
  Banding = Resizing = HandleDragging = PressedOnNote = NoDrag = FirstGhost = false;
  Corner = 4;
  LinkHandle = 2;
  CreateOwnWindows();
  LinkHint = new QLabel("Link to this note...", this, Qt::ToolTip);
  LinkHint->setForegroundRole(QPalette::ToolTipText);
  LinkHint->setBackgroundRole(QPalette::ToolTipBase);
  LinkHint->setAutoFillBackground(true);
  LinkHint->setFrameStyle(QFrame::Box | QFrame::Plain);
  HintShown = LinkOnDrop = false;
}

void TDrawSheet::CreateOwnWindows() {
  const Qt::WindowFlags frame = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint;
  NoteWindow = new TNotePrp(this, frame | Qt::WindowStaysOnTopHint);
  PlaceFreeWindow(NoteWindow);
  SheetPropWindow = new TSheetPrp(this, frame | Qt::WindowStaysOnTopHint);
  // Description and notes list 200 high; the notes text takes the rest of the main window.
  const int rest = QELMain ? QELMain->ClientHeight() - 2 * 200 - SheetPropWindow->PN_SheetProp->height() : 200;
  SheetPropWindow->Splitter1->setSizes({200, std::max(rest, 0), 200});
  LinkEditor = new TEditLinkForm(this);
}

void TDrawSheet::PlaceFreeWindow(QWidget* window) const {
  if (QELMain)
    QELMain->PlaceWindow(window, 0, 71, 250, QELMain->ClientHeight() - QELMain->ToolBarMainHeight());
  else
    window->setGeometry(0, 71, 250, window->height());
}

void TDrawSheet::SetSheet(TContainer* container, TSheetItem* sheet) {
  if (!container || !sheet) return;
  Container = container;
  Sheet = sheet;
  FBitmapCanvas = std::make_unique<TCanvas>(&Bitmap);
  BitmapCanvas = std::make_unique<TVCanvas>(FBitmapCanvas.get());
  View = std::make_unique<TSheetView>(container, sheet, BitmapCanvas.get());
  View->ShowAllLinks = MI_AllLinks->isChecked();
  BitmapCanvas->SetZoom(sheet->Data.Zoom);
  PaintCanvas->SetZoom(sheet->Data.Zoom);
  BitmapCanvas->OffsetX = BitmapCanvas->OffsetY = 0;
  PaintCanvas->OffsetX = PaintCanvas->OffsetY = 0;
  Outline = std::make_unique<TSelDrawBot>(PaintCanvas.get());
  Outline->Sheet = sheet;
  SheetPropWindow->Container = container;
  Redraw(true);
}

void TDrawSheet::ForEachCanvas(const std::function<void(TVCanvas&)>& step) {
  if (BitmapCanvas) step(*BitmapCanvas);
  step(*PaintCanvas);
}

void TDrawSheet::ZoomIn() {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !BitmapCanvas) return;
  ForEachCanvas([](TVCanvas& canvas) { canvas.ZoomIn(); });
  sheet->SetZoom(BitmapCanvas->Zoom);
  SyncZoomCombo();
  Redraw(true);
}

void TDrawSheet::ZoomOut() {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !BitmapCanvas) return;
  ForEachCanvas([](TVCanvas& canvas) { canvas.ZoomOut(); });
  sheet->SetZoom(BitmapCanvas->Zoom);
  Redraw(true);
  SyncZoomCombo();
}

void TDrawSheet::SetZoom(int Percent) {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !BitmapCanvas) return;
  ForEachCanvas([Percent](TVCanvas& canvas) { canvas.SetZoom(Percent); });
  sheet->SetZoom(Percent);
  Redraw(true);
  SyncZoomCombo();
}

void TDrawSheet::SyncZoomCombo() {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !QELMain) return;
  const int z = sheet->Data.Zoom;
  if (z < 0 || z > 200) return;
  // Entries from 200 % down to 20 %.
  const int index = z <= 20 ? 5 : z <= 40 ? 4 : z <= 60 ? 3 : z <= 80 ? 2 : z <= 100 ? 1 : 0;
  QELMain->CB_Zoom->setCurrentIndex(index);
}

void TDrawSheet::UpdateMenu() {
  const std::vector<TNoteItem*> notes = View ? View->SelectedNotes() : std::vector<TNoteItem*>();
  MI_Expand->setEnabled(notes.size() == 1 && !notes[0]->IsAggregation());
  TLinkItem* link = View ? View->SelectedLink() : nullptr;
  MI_LineStyle->setVisible(link != nullptr);
  if (!link) return;
  if (link->Data.LineStyle == 0) MI_LineStyle->setChecked(true);
  if (link->Data.LineStyle == 1) MI_LineStyle->setChecked(false);
}

void TDrawSheet::RefreshNoteWindow() {
  if (NoteWindow->isVisible()) NoteWindow->UpdateItem(false);
}

void TDrawSheet::keyPressEvent(QKeyEvent* event) {
  FormKeyDown(event->key(), event->modifiers());
  event->ignore();
}

} // namespace qel
