#pragma once
// Base of the drawing objects: one kind of sheet thing drawn on a zoomable canvas.
#include "VCanvas.h"

#include "platform/Errors.h"

namespace qel {

class TNoteItem;
class TPosItem;
class TSheetItem;

// The last of the note's positions on the sheet (the one the sheet shows), or null.
TPosItem* LastPositionOn(const TNoteItem* note, const TSheetItem* sheet);

// A drawing object used before it was given what it draws: a programming error.
class EInvalidPointer : public Exception {
public:
  using Exception::Exception;
};

class TDrawBot {
public:
  explicit TDrawBot(TVCanvas* canvas);
  virtual ~TDrawBot() = default;
  TDrawBot(const TDrawBot&) = delete;
  TDrawBot& operator=(const TDrawBot&) = delete;

  TVCanvas* Canvas; // not owned
  bool Ghost = false;    // xor outline: drawing twice restores the picture
  bool Filled = true;    // boxes filled with the note colour
  bool Selected = false; // selection marks or control handles

  virtual void SetGhostMode();
  virtual void SetNormalMode();
  virtual void Draw() {}
};

} // namespace qel
