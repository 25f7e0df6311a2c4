#include "SheetForm.h"

#include "model/Container.h"
#include "platform/Convert.h"
#include "platform/qt/QtConvert.h"
#include "shell/Main.h"

#include <QPainter>
#include <algorithm>

namespace qel {

TDrawSheet* DrawSheet = nullptr;

TDrawSheet::TDrawSheet(QWidget* parent) : QWidget(parent) {
  setWindowTitle("WorkSheet - ");
  resize(607, 431);
  if (QELMain)
    connect(QELMain, &TQELMain::ProjectReleasing, this, [this](TContainer* project) {
      if (Container == project) Container = nullptr;
    });
}

TDrawSheet::~TDrawSheet() {
  if (DrawSheet == this) DrawSheet = nullptr;
}

void TDrawSheet::SetSheet(TContainer* container, TSheetItem* sheet) {
  Container = container;
  Sheet = sheet;
  Redraw(true);
}

void TDrawSheet::Redraw(bool Notify) {
  if (TSheetItem* sheet = GetSheet())
    setWindowTitle(ToQString("Worksheet - " + sheet->Data.Name + " (" + IntToStr(sheet->Data.Zoom) + "%)"));
  update();
  if (Notify && QELMain) {
    QELMain->RefreshNavigators(nullptr);
    QELMain->RefreshSheetWindows();
  }
}

void TDrawSheet::ZoomIn() {
  if (TSheetItem* sheet = GetSheet()) SetZoom(std::min(sheet->Data.Zoom + 10, 10000));
}

void TDrawSheet::ZoomOut() {
  if (TSheetItem* sheet = GetSheet()) SetZoom(std::max(sheet->Data.Zoom - 10, 10));
}

void TDrawSheet::SetZoom(int Percent) {
  if (TSheetItem* sheet = GetSheet()) sheet->SetZoom(Percent);
  Redraw(true);
}

void TDrawSheet::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TSheetItem* sheet = GetSheet();
  painter.fillRect(rect(), sheet ? ToQColor(sheet->Data.Color) : QColor(Qt::lightGray));
  if (sheet) painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop, ToQString(sheet->Data.Name));
}

} // namespace qel
