// The sheet window's set-up, zoom, menu state and note window refresh.
#include "SheetForm.h"

#include "graphics/SelDrawBot.h"
#include "model/Container.h"
#include "model/Pools.h"
#include "model/TreeNodeItem.h"
#include "platform/Convert.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"
#include "windows/links/EditLink.h"
#include "windows/props/NoteProp.h"
#include "windows/props/SheetProp.h"

#include <QCloseEvent>
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

namespace {

// The zoom the window draws at, whatever a file or a caller asks for.
int32_t DrawingZoom(int32_t percent) { return std::clamp(percent, 10, 10000); }

} // namespace

class TDrawSheet::TCaptionNode : public INavTreeNode {
public:
  explicit TCaptionNode(TDrawSheet* window) : FWindow(window) {}
  void SetText(const std::string&) override { FWindow->UpdateCaption(); }
  void SetImageIndex(int, int) override {}
  // The sheet is going; the window closes with the next refresh.
  void DeleteNode() override {}

private:
  TDrawSheet* FWindow;
};

TDrawSheet::TDrawSheet(QWidget* parent) : QWidget(parent) {
  setWindowTitle("WorkSheet - ");
  resize(607, 431);
  setFocusPolicy(Qt::StrongFocus);
  CreateComponents();
  FormCreate();
  if (MainServices)
    connect(MainServices->Notices(), &TMainNotices::ProjectReleasing, this, [this](TContainer* project) {
      if (Container == project) Container = nullptr;
    });
}

TDrawSheet::~TDrawSheet() {
  // Freed without a close (the project goes, the program ends): the windows Qt frees after
  // this body store while this window stands.
  TPropertyFrm::StoreOwnedWindows(this);
  if (DrawSheet == this) DrawSheet = nullptr;
  ForgetCaptionNode();
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
  const int rest =
      MainServices ? MainServices->ClientHeight() - 2 * 200 - SheetPropWindow->PN_SheetProp->height() : 200;
  SheetPropWindow->Splitter1->setSizes({200, std::max(rest, 0), 200});
  LinkEditor = new TEditLinkForm(this);
}

void TDrawSheet::PlaceFreeWindow(QWidget* window) const {
  if (MainServices)
    MainServices->PlacePropertyWindow(window, this);
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
  // The stored zoom stays as it is until the user zooms.
  BitmapCanvas->SetZoom(DrawingZoom(sheet->Data.Zoom));
  PaintCanvas->SetZoom(DrawingZoom(sheet->Data.Zoom));
  BitmapCanvas->OffsetX = BitmapCanvas->OffsetY = 0;
  PaintCanvas->OffsetX = PaintCanvas->OffsetY = 0;
  Outline = std::make_unique<TSelDrawBot>(PaintCanvas.get());
  Outline->Sheet = sheet;
  SheetPropWindow->Container = container;
  ForgetCaptionNode();
  FCaptionNode = std::make_unique<TCaptionNode>(this);
  TTreeNodeRecord record;
  record.Item = sheet;
  record.Node = FCaptionNode.get();
  FCaptionEntry = container->SheetTreePool->AddNode(record);
  Redraw(true);
  SyncZoomCombo();
}

void TDrawSheet::ForgetCaptionNode() {
  if (TTreeNodeItem* entry = FCaptionEntry.Get()) {
    entry->Data.Node = nullptr;
    entry->Delete();
  }
  FCaptionEntry.Reset();
}

void TDrawSheet::UpdateCaption() {
  if (TSheetItem* sheet = GetSheet(); sheet && BitmapCanvas)
    setWindowTitle(ToQString("Worksheet - " + sheet->Data.Name + " (" + IntToStr(BitmapCanvas->Zoom) + "%)"));
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
  FollowZoom();
}

void TDrawSheet::ZoomOut() {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !BitmapCanvas) return;
  ForEachCanvas([](TVCanvas& canvas) { canvas.ZoomOut(); });
  sheet->SetZoom(BitmapCanvas->Zoom);
  Redraw(true);
  SyncZoomCombo();
  FollowZoom();
}

void TDrawSheet::SetZoom(int Percent) {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !BitmapCanvas) return;
  const int32_t zoom = DrawingZoom(Percent);
  ForEachCanvas([zoom](TVCanvas& canvas) { canvas.SetZoom(zoom); });
  sheet->SetZoom(zoom);
  Redraw(true);
  SyncZoomCombo();
  FollowZoom();
}

void TDrawSheet::SyncZoomCombo() {
  if (!GetSheet() || !BitmapCanvas || !MainServices) return;
  // The entry of the zoom drawn at, or that zoom shown in place of an entry.
  QComboBox* box = MainServices->ZoomBox();
  const QString text = QString::number(BitmapCanvas->Zoom) + "%";
  const int index = box->findText(text);
  if (index < 0) box->setPlaceholderText(text);
  box->setCurrentIndex(index);
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

void TDrawSheet::closeEvent(QCloseEvent* event) {
  TPropertyFrm::StoreOwnedWindows(this);
  event->accept();
}

} // namespace qel
