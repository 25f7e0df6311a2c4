#include "SelDrawBot.h"

#include "model/NoteItem.h"
#include "model/PosItem.h"

#include <algorithm>
#include <limits>

namespace qel {

TSelDrawBot::TSelDrawBot(TVCanvas* canvas) : TDrawBot(canvas) {}

void TSelDrawBot::StartMove(const std::vector<TNoteItem*>& notes, int32_t x, int32_t y) {
  Notes.assign(notes.begin(), notes.end());
  ComputeBounds();
  GrabX = Clamp32((long long)x - CurrentX);
  GrabY = Clamp32((long long)y - CurrentY);
  LastX = x;
  LastY = y;
}

void TSelDrawBot::ComputeBounds() {
  long long left = std::numeric_limits<long long>::max(), top = left;
  long long right = std::numeric_limits<long long>::min(), bottom = right;
  for (const TItemRef<TNoteItem>& ref : Notes) {
    TNoteItem* note = ref.Get();
    const TPosItem* pos = note && Sheet ? LastPositionOn(note, Sheet.Get()) : nullptr;
    if (!pos) continue;
    left = std::min<long long>(left, pos->Data.X);
    top = std::min<long long>(top, pos->Data.Y);
    right = std::max<long long>(right, (long long)pos->Data.X + note->Data.Width);
    bottom = std::max<long long>(bottom, (long long)pos->Data.Y + note->Data.Height);
  }
  if (left > right) left = right = top = bottom = 0; // no note to frame
  CurrentX = Clamp32(left);
  CurrentY = Clamp32(top);
  Width = Clamp32(right - left);
  Height = Clamp32(bottom - top);
}

void TSelDrawBot::PaintFrame(int32_t x, int32_t y) {
  Canvas->Pen->SetMode(TPenMode::Xor);
  Canvas->Pen->SetColor(clWhite);
  Canvas->Brush().Style = TBrushStyle::Clear;
  long long left = (long long)x - GrabX, top = (long long)y - GrabY;
  Canvas->Rectangle(Clamp32(left), Clamp32(top), Clamp32(left + Width), Clamp32(top + Height));
  Canvas->Pen->SetMode(TPenMode::Copy);
}

void TSelDrawBot::DrawOutline() { PaintFrame(LastX, LastY); }

void TSelDrawBot::Draw() {
  if (Notes.empty() || !Sheet) throw EInvalidPointer("TSelDrawBot: Members not initialized...");
  PaintFrame(CurrentX, CurrentY);
  PaintFrame(LastX, LastY);
  LastX = CurrentX;
  LastY = CurrentY;
}

} // namespace qel
