#pragma once
// The xor outline of the notes being moved: their bounding box, following the pointer.
#include "DrawBot.h"

#include "model/PoolItem.h"

#include <vector>

namespace qel {

class TNoteItem;
class TSheetItem;

class TSelDrawBot : public TDrawBot {
public:
  explicit TSelDrawBot(TVCanvas* canvas);

  // The notes being moved; a note deleted meanwhile no longer counts.
  std::vector<TItemRef<TNoteItem>> Notes;
  TItemRef<TSheetItem> Sheet;
  int32_t CurrentX = 0;
  int32_t CurrentY = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t LastX = 0;
  int32_t LastY = 0;
  int32_t GrabX = 0;
  int32_t GrabY = 0;

  // The press at (x, y), sheet units; draws nothing.
  void StartMove(const std::vector<TNoteItem*>& notes, int32_t x, int32_t y);
  // The frame at the last point; a second call removes it.
  void DrawOutline();
  // Moves the frame from the last point to the current one. Raises EInvalidPointer without
  // notes or sheet.
  void Draw() override;
  // The box around the notes' positions on the sheet; CurrentX and CurrentY become its corner.
  void ComputeBounds();

private:
  void PaintFrame(int32_t x, int32_t y);
};

} // namespace qel
