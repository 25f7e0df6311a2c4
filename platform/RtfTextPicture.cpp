#include "RtfTextPicture.h"

#include "RtfTextScanner.h"

#include <algorithm>

namespace qel {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int32_t Shown(int32_t goal, int32_t own, int32_t scale, bool metafile) {
  // Without a goal size, bitmaps are taken at 96 pixels per inch and metafiles in 0.01 mm.
  const int64_t base = goal > 0 ? goal : metafile ? own * 1440LL / 2540 : own * 15LL;
  return static_cast<int32_t>(std::clamp<int64_t>(base * std::clamp(scale, 1, 10000) / 100, 0, 1 << 24));
}

} // namespace

int32_t TRtfPicture::ShownWidthTwips() const {
  return Shown(GoalWidth, Width, ScaleX, Kind == TRtfPictureKind::Metafile);
}
int32_t TRtfPicture::ShownHeightTwips() const {
  return Shown(GoalHeight, Height, ScaleY, Kind == TRtfPictureKind::Metafile);
}

TRtfPicture ParseRtfPicture(std::string_view in) {
  TRtfPicture picture;
  size_t pos = in.substr(0, 1) == "{" ? 1 : 0;
  int depth = 0, high = -1;
  while (pos < in.size()) {
    const char c = in[pos++];
    if (c == '{') {
      ++depth;
    } else if (c == '}') {
      if (depth-- == 0) break;
    } else if (c == '\\' && pos < in.size()) {
      if (!IsLetter(in[pos])) {
        ++pos;
        continue;
      }
      const TRtfWord control = ReadRtfWord(in, pos);
      const std::string_view word = control.Name;
      const int32_t param = control.Param;
      if (word == "bin") {
        const size_t n = std::min<size_t>(static_cast<size_t>(std::max(param, 0)), in.size() - pos);
        if (depth == 0) picture.Data.append(in.substr(pos, n));
        pos += n;
        continue;
      }
      if (depth != 0) continue;
      if (word == "pngblip") {
        picture.Kind = TRtfPictureKind::Png;
      } else if (word == "jpegblip") {
        picture.Kind = TRtfPictureKind::Jpeg;
      } else if (word == "dibitmap") {
        picture.Kind = TRtfPictureKind::Bitmap;
        picture.DeviceIndependent = true;
      } else if (word == "wbitmap") {
        picture.Kind = TRtfPictureKind::Bitmap;
      } else if (word == "emfblip" || word == "wmetafile" || word == "macpict" || word == "pmmetafile") {
        picture.Kind = TRtfPictureKind::Metafile;
      } else if (word == "objw") { // an object's size, for a picture standing in for it
        picture.GoalWidth = param;
      } else if (word == "objh") {
        picture.GoalHeight = param;
      } else if (word == "picw") {
        picture.Width = param;
      } else if (word == "pich") {
        picture.Height = param;
      } else if (word == "picwgoal") {
        picture.GoalWidth = param;
      } else if (word == "pichgoal") {
        picture.GoalHeight = param;
      } else if (word == "picscalex") {
        picture.ScaleX = param;
      } else if (word == "picscaley") {
        picture.ScaleY = param;
      }
    } else if (depth == 0) {
      const int digit = RtfHexValue(c);
      if (digit < 0) continue;
      if (high < 0) {
        high = digit;
      } else {
        picture.Data += static_cast<char>(high * 16 + digit);
        high = -1;
      }
    }
  }
  return picture;
}

} // namespace qel
