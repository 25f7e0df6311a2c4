#pragma once
// Draws one note at its place on one sheet: box (with a shadow for a note that stands for a
// sheet), picture, logo, caption with its link count, selection marks.
#include "DrawBot.h"

#include <string>

namespace qel {

class TNoteItem;
class TPosItem;
class TSheetItem;

class TNoteDrawBot : public TDrawBot {
public:
  explicit TNoteDrawBot(TVCanvas* canvas);

  TNoteItem* Note = nullptr;   // not owned
  TSheetItem* Sheet = nullptr; // not owned
  bool DrawPicture = true;
  bool DrawIcon = true;
  bool DrawText = true;

  void SetGhostMode() override;
  void SetNormalMode() override;
  // Raises EInvalidPointer without Note or Sheet, or when the note has no position on the
  // sheet. Draws nothing for a note not placed there or cut away entirely by the sheet's edge.
  void Draw() override;

  // The last of the note's positions on the sheet, or null.
  TPosItem* GetPosition() const;
  void PaintBox(int32_t x, int32_t y, int32_t w, int32_t h);
  void PaintPicture(int32_t x, int32_t y, int32_t w, int32_t h);
  void PaintLogo(int32_t x, int32_t y, int32_t w, int32_t h);
  void PaintCaption();
  void PaintSelectionMarks(int32_t x, int32_t y, int32_t w, int32_t h);
  // The caption as drawn: name and number of links, "Plan <2>".
  std::string Label() const;

private:
  TRect LogoRect(int32_t x, int32_t y, int32_t w, int32_t h) const;
  bool MayShow(int32_t x, int32_t y, int32_t w, int32_t h) const;
  void LeaveStateOfDraw();
  void WrapCaption(const std::string& label, int32_t x, int32_t y, int32_t h, int64_t avail);
  int32_t Measure(const std::string& text);
};

} // namespace qel
