#pragma once
// The content of a "{\pict ...}" group of rich text: what kind of picture it holds, its sizes
// and its data, decoded from hexadecimal digits or taken from "\binN".
#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

enum class TRtfPictureKind { Unknown, Png, Jpeg, Bitmap, Metafile };

struct TRtfPicture {
  TRtfPictureKind Kind = TRtfPictureKind::Unknown;
  bool DeviceIndependent = false; // "\dibitmap": the data starts with a bitmap information header
  int32_t Width = 0, Height = 0;         // "\picw", "\pich": pixels, or hundredths of mm for metafiles
  int32_t GoalWidth = 0, GoalHeight = 0; // "\picwgoal", "\pichgoal": twips
  int32_t ScaleX = 100, ScaleY = 100;    // "\picscalex", "\picscaley": percent
  std::string Data;

  // The shown size in twips: the goal size scaled, else the picture's own size; 0 when unknown.
  int32_t ShownWidthTwips() const;
  int32_t ShownHeightTwips() const;
};

// Reads a whole "{\pict ...}" group (of an "{\object ...}" group, its size only). Groups within it ("{\*\picprop}", "{\*\blipuid}") are
// passed over; a cut group gives what was read up to its end.
TRtfPicture ParseRtfPicture(std::string_view group);

} // namespace qel
