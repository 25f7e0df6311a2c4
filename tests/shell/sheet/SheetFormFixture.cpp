#include "SheetFormFixture.h"

#include "platform/qt/QtConvert.h"
#include "shell/Main.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace qel::test {

void SheetFormTest::SetUp() {
  ShellTest::SetUp();
  StartUp();
  QELMain->resize(1100, 800);
  QELMain->show();
  QApplication::processEvents();
  Sheet = AddSheet();
}

TSheetItem* SheetFormTest::AddSheet(const std::string& name, int32_t zoom, int32_t width, int32_t height) {
  TSheet record;
  record.Name = name;
  record.Zoom = zoom;
  record.Width = width;
  record.Height = height;
  return Project().AddSheet(record);
}

TNoteItem* SheetFormTest::AddNote(const std::string& name, int32_t x, int32_t y, int32_t width, int32_t height,
                                  TColor color) {
  TNote record;
  record.Name = name;
  record.Width = width;
  record.Height = height;
  record.Color = color;
  TNoteItem* note = Project().AddNote(record);
  if (x >= 0) Project().PlaceNote(note, Sheet, x, y);
  return note;
}

TLinkItem* SheetFormTest::AddLink(TNoteItem* from, TNoteItem* to, int relation, TSheetItem* sheet) {
  TLinkItem* link = Project().NewLink(from, to, Project().GetRelation(relation), sheet ? sheet : Sheet);
  link->SetLineStyle(1);
  link->SetColor(clRed);
  return link;
}

TDrawSheet* SheetFormTest::Open(TSheetItem* sheet) {
  auto* window = new TDrawSheet();
  QMdiSubWindow* sub = QELMain->AddChildWindow(window);
  window->SetSheet(&Project(), sheet ? sheet : Sheet);
  QELMain->MdiArea->setActiveSubWindow(sub);
  // The maximised navigator would make the new window maximised too.
  sub->showNormal();
  // Scroll bars come and go with the size: settle in two steps.
  for (int i = 0; i < 2; ++i) {
    sub->resize(sub->size() - window->SB_Sheet->viewport()->size() + QSize(600, 400));
    QApplication::processEvents();
  }
  return window;
}

QImage SheetFormTest::Grab(TDrawSheet* window) {
  const QRect visible(window->ScrollX(), window->ScrollY(), window->SB_Sheet->viewport()->width(),
                      window->SB_Sheet->viewport()->height());
  return window->PB_Sheet->grab(visible).toImage();
}

TColor SheetFormTest::Shown(TDrawSheet* window, int x, int y) {
  return FromQColor(Grab(window).pixelColor(x - window->ScrollX(), y - window->ScrollY()));
}

int SheetFormTest::CountShown(TDrawSheet* window, const QRect& area, TColor color) {
  const QImage image = Grab(window);
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += FromQColor(image.pixelColor(x - window->ScrollX(), y - window->ScrollY())) == color;
  return n;
}

void SheetFormTest::Scroll(TDrawSheet* window, int x, int y) {
  window->SB_Sheet->horizontalScrollBar()->setValue(x);
  window->SB_Sheet->verticalScrollBar()->setValue(y);
  QApplication::processEvents();
}

void SheetFormTest::Press(TDrawSheet* window, QPoint at, Qt::KeyboardModifiers keys) {
  QTest::mouseMove(window->PB_Sheet, at);
  QTest::mousePress(window->PB_Sheet, Qt::LeftButton, keys, at);
}

void SheetFormTest::MoveTo(TDrawSheet* window, QPoint at) { QTest::mouseMove(window->PB_Sheet, at); }

void SheetFormTest::Release(TDrawSheet* window, QPoint at, Qt::KeyboardModifiers keys) {
  QTest::mouseRelease(window->PB_Sheet, Qt::LeftButton, keys, at);
}

void SheetFormTest::Click(TDrawSheet* window, QPoint at, Qt::KeyboardModifiers keys) {
  Press(window, at, keys);
  Release(window, at, keys);
}

} // namespace qel::test
