// The sheet window's painting: the bitmap of the visible part, the grid, the copy onto the
// paint box, and the xor feedback overlay.
#include "SheetForm.h"

#include "model/Container.h"
#include "windows/MainServices.h"

#include <QApplication>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

namespace qel {

int TDrawSheet::ScrollX() const { return SB_Sheet->horizontalScrollBar()->value(); }

int TDrawSheet::ScrollY() const { return SB_Sheet->verticalScrollBar()->value(); }

void TDrawSheet::Redraw(bool Notify) {
  UpdateCaption();
  SizePaintBox();
  FDirty = true;
  PB_Sheet->update();
  UpdateMenu();
  if (!Notify) return;
  if (MainServices) {
    MainServices->RefreshNavigators(nullptr);
    MainServices->RefreshSheetWindows();
  }
  RefreshNoteWindow();
}

void TDrawSheet::SizePaintBox() {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !BitmapCanvas) return;
  PB_Sheet->resize(std::max(0, BitmapCanvas->Scale(sheet->Data.Width)),
                   std::max(0, BitmapCanvas->Scale(sheet->Data.Height)));
}

const QImage& TDrawSheet::Picture() {
  const bool gesture = Banding || Resizing || HandleDragging || Dragging || !FOverlay.isNull();
  if (FDirty || !gesture || FRenderedScroll != QPoint(ScrollX(), ScrollY()) ||
      FRenderedSize != SB_Sheet->viewport()->size())
    Render();
  return Bitmap;
}

void TDrawSheet::Render() {
  FDirty = false;
  FRenderedScroll = QPoint(ScrollX(), ScrollY());
  FRenderedSize = SB_Sheet->viewport()->size();
  if (!GetSheet() || !BitmapCanvas) return;
  BitmapCanvas->OffsetX = -ScrollX();
  BitmapCanvas->OffsetY = -ScrollY();
  PrepareBitmap();
  if (Container && Container->Grid) DrawGrid();
  View->Paint(2);
  FBitmapCanvas->Release();
}

void TDrawSheet::PrepareBitmap() {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !BitmapCanvas) return;
  SizePaintBox();
  // One pixel more than is visible, as the first row and column are not shown: the paint box
  // has no edge of the window's colour that a scroll would carry into the sheet.
  const QSize visible = SB_Sheet->viewport()->size() + QSize(1, 1);
  const int width = std::max(0, std::min(PB_Sheet->width(), visible.width()));
  const int height = std::max(0, std::min(PB_Sheet->height(), visible.height()));
  FBitmapCanvas->Release();
  if (Bitmap.size() != QSize(width, height)) Bitmap = QImage(width, height, QImage::Format_RGB32);
  FBitmapCanvas->SetImage(Bitmap.isNull() ? nullptr : &Bitmap);
  TCanvas& canvas = *FBitmapCanvas;
  canvas.Pen = TPen();
  canvas.Brush.SetColor(sheet->Data.Color);
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.Rectangle(0, 0, PB_Sheet->width(), PB_Sheet->height());
}

void TDrawSheet::DrawGrid() {
  TSheetItem* sheet = GetSheet();
  if (!sheet || !BitmapCanvas) return;
  const long long step = BitmapCanvas->Scale(sheet->Data.GridSize);
  // Dots closer than 2 pixels would only darken the whole sheet.
  if (step < 2) return;
  const long long width = PB_Sheet->width(), height = PB_Sheet->height();
  const long long hx = ScrollX(), hy = ScrollY();
  // Only the dots that land on the bitmap are visited.
  auto first = [step](long long scroll) { return std::max(step, (scroll + step - 1) / step * step); };
  for (long long y = first(hy); y < height && y - hy < Bitmap.height(); y += step)
    for (long long x = first(hx); x < width && x - hx < Bitmap.width(); x += step)
      FBitmapCanvas->SetPixel(int32_t(x - hx), int32_t(y - hy), clBlack);
}

bool TDrawSheet::PB_SheetWheel(QPoint Delta, Qt::KeyboardModifiers Keys) {
  if (Keys & (Qt::ControlModifier | Qt::AltModifier)) return false;
  // With Shift a vertical wheel scrolls sideways, as everywhere on the desktop.
  if ((Keys & Qt::ShiftModifier) && Delta.x() == 0) Delta = QPoint(Delta.y(), 0);
  auto scroll = [](QScrollBar* bar, int delta) {
    const long long pixels = (long long)delta * QApplication::wheelScrollLines() * bar->singleStep() / 120;
    bar->setValue(int(std::clamp<long long>(bar->value() - pixels, bar->minimum(), bar->maximum())));
  };
  if (Delta.x() != 0) scroll(SB_Sheet->horizontalScrollBar(), Delta.x());
  if (Delta.y() != 0) scroll(SB_Sheet->verticalScrollBar(), Delta.y());
  return true;
}

QImage TDrawSheet::Screen() {
  const QImage& picture = Picture();
  const int hx = ScrollX(), hy = ScrollY();
  const QSize visible = SB_Sheet->viewport()->size();
  const QSize size(std::max(0, std::min(visible.width(), PB_Sheet->width() - hx)),
                   std::max(0, std::min(visible.height(), PB_Sheet->height() - hy)));
  // The image of the last call is reused (no fresh memory each paint) unless a caller still holds it.
  if (FScreen.size() != size) FScreen = QImage(size, QImage::Format_RGB32);
  QImage& screen = FScreen;
  if (screen.isNull()) return screen;
  const uint32_t window = PB_Sheet->palette().color(QPalette::Window).rgb();
  // The bitmap's first row and column are not shown; what it does not cover is the window's colour.
  const int n = std::max(0, std::min(screen.width(), picture.width() - 1));
  for (int y = 0; y < screen.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(screen.scanLine(y));
    const int copied = y + 1 < picture.height() ? n : 0;
    if (copied > 0) std::copy_n(reinterpret_cast<const uint32_t*>(picture.constScanLine(y + 1)) + 1, copied, row);
    std::fill(row + copied, row + screen.width(), window);
  }
  if (FOverlay.isNull()) return screen;
  FOverlayCanvas->Release();
  const QRect shared = QRect(FOverlayOrigin, FOverlay.size()) & QRect(QPoint(hx, hy), screen.size());
  for (int y = shared.top(); y <= shared.bottom(); ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(FOverlay.constScanLine(y - FOverlayOrigin.y()));
    auto* to = reinterpret_cast<uint32_t*>(screen.scanLine(y - hy));
    for (int x = shared.left(); x <= shared.right(); ++x) to[x - hx] ^= from[x - FOverlayOrigin.x()] & 0x00FFFFFFu;
  }
  return screen;
}

void TDrawSheet::PaintBoxPaint(QPainter& painter) { painter.drawImage(QPoint(ScrollX(), ScrollY()), Screen()); }

void TDrawSheet::BeginFeedback() {
  if (!FOverlay.isNull()) return;
  FOverlay = QImage(SB_Sheet->viewport()->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  FOverlay.fill(Qt::black);
  FOverlayOrigin = QPoint(ScrollX(), ScrollY());
  FOverlayCanvas->SetImage(&FOverlay);
  PaintCanvas->OffsetX = -FOverlayOrigin.x();
  PaintCanvas->OffsetY = -FOverlayOrigin.y();
}

void TDrawSheet::ClearFeedback() {
  FOverlayCanvas->SetImage(nullptr);
  FOverlay = QImage();
  PB_Sheet->update();
}

void TDrawSheet::FeedbackChanged() {
  FOverlayCanvas->Release();
  PB_Sheet->update();
}

void TDrawSheet::DrawXorRect(TPoint a, TPoint b) {
  BeginFeedback();
  TCanvas& canvas = *FOverlayCanvas;
  canvas.Pen = {clWhite, 1, TPenStyle::Dot, TPenMode::Xor};
  canvas.Brush.Style = TBrushStyle::Clear;
  const QPoint o = FOverlayOrigin;
  canvas.Rectangle(a.X - o.x(), a.Y - o.y(), b.X - o.x(), b.Y - o.y());
  canvas.Pen = TPen();
  canvas.Brush.Style = TBrushStyle::Solid;
  FeedbackChanged();
}

} // namespace qel
