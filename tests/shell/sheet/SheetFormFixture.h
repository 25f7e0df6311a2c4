#pragma once
// Sheet windows on the running program: a fresh project with the three default relation
// types, a sheet of known size at 100 %, notes placed on it, and pixels read back from what
// the paint box paints.
#include "ShellFixture.h"
#include "windows/sheet/SheetForm.h"

#include <QImage>
#include <QPoint>

namespace qel::test {

class SheetFormTest : public ShellTest {
protected:
  void SetUp() override;

  TSheetItem* AddSheet(const std::string& name = "Ideas", int32_t zoom = 100, int32_t width = 2000,
                       int32_t height = 1500);
  // A note of the size and colour, placed on Sheet (when x >= 0).
  TNoteItem* AddNote(const std::string& name, int32_t x, int32_t y, int32_t width = 80, int32_t height = 50,
                     TColor color = clYellow);
  TLinkItem* AddLink(TNoteItem* from, TNoteItem* to, int relation = 0, TSheetItem* sheet = nullptr);
  // A sheet window on the sheet (Sheet when null), active, with a visible area of 600 x 400.
  TDrawSheet* Open(TSheetItem* sheet = nullptr);
  // The colour the paint box shows at one of its pixels (scrolling included).
  TColor Shown(TDrawSheet* window, int x, int y);
  // Number of pixels of the colour in a rectangle of paint-box pixels.
  int CountShown(TDrawSheet* window, const QRect& area, TColor color);
  void Scroll(TDrawSheet* window, int x, int y);

  // QTest events on the paint box.
  void Press(TDrawSheet* window, QPoint at, Qt::KeyboardModifiers keys = {});
  void MoveTo(TDrawSheet* window, QPoint at);
  void Release(TDrawSheet* window, QPoint at, Qt::KeyboardModifiers keys = {});
  void Click(TDrawSheet* window, QPoint at, Qt::KeyboardModifiers keys = {});

  TSheetItem* Sheet = nullptr;

private:
  QImage Grab(TDrawSheet* window);
};

} // namespace qel::test
