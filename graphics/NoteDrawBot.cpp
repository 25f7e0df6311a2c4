#include "NoteDrawBot.h"

#include "PictureCache.h"

#include "model/NoteItem.h"
#include "model/PosItem.h"
#include "model/SheetItem.h"

#include <algorithm>
#include <cstdlib>

namespace qel {

namespace {

constexpr int32_t kShadow = 5;
constexpr int32_t kLogoSize = 32;
constexpr int32_t kGrip = 7;
constexpr int32_t kCaptionInset = 3;
constexpr int kMaxWordsPerLine = 100;

} // namespace

TNoteDrawBot::TNoteDrawBot(TVCanvas* canvas) : TDrawBot(canvas) { TNoteDrawBot::SetNormalMode(); }

void TNoteDrawBot::SetGhostMode() {
  TDrawBot::SetGhostMode();
  DrawPicture = DrawIcon = DrawText = false;
}

void TNoteDrawBot::SetNormalMode() {
  TDrawBot::SetNormalMode();
  DrawPicture = DrawIcon = DrawText = true;
}

TPosItem* TNoteDrawBot::GetPosition() const { return LastPositionOn(Note, Sheet); }

void TNoteDrawBot::Draw() {
  if (!Note || !Sheet) throw EInvalidPointer("TNoteDrawBot: Members not initialized...");
  int32_t w = Note->Data.Width, h = Note->Data.Height;
  TPosItem* pos = GetPosition();
  if (!pos) throw EInvalidPointer("TNoteDrawBot: No Position...");
  if (!Note->IsPlacedOn(Sheet)) return;
  int32_t x = pos->Data.X, y = pos->Data.Y;
  if ((long long)x + w >= Sheet->Data.Width) w = Clamp32((long long)Sheet->Data.Width - x);
  if ((long long)y + h >= Sheet->Data.Height) h = Clamp32((long long)Sheet->Data.Height - y);
  // Cut away by the sheet's edge: there is no box left to draw.
  if (w <= 0 || h <= 0) return;
  if (!MayShow(x, y, w, h)) {
    LeaveStateOfDraw();
    return;
  }
  PaintBox(x, y, w, h);
  if (DrawPicture && !Note->IsAggregation()) PaintPicture(x, y, w, h);
  if (DrawIcon && !Note->IsAggregation()) PaintLogo(x, y, w, h);
  if (DrawText) PaintCaption();
  PaintSelectionMarks(x, y, w, h);
}

// Whether anything of the note can reach the canvas: its box and shadow, its logo, and its
// caption, which starts inside the box and may run to the right and below it (no glyph is
// wider than two character heights).
bool TNoteDrawBot::MayShow(int32_t x, int32_t y, int32_t w, int32_t h) const {
  long long length = (long long)std::min<size_t>(Label().size(), 1000000);
  long long charHeight = std::llabs((long long)Canvas->Canvas->Font.Height);
  long long textReach = length * 2 * charHeight;
  long long right = std::max<long long>({(long long)x + w + kShadow, (long long)x + kCaptionInset + textReach,
                                         (long long)x + Note->Data.Width});
  long long bottom = std::max<long long>({(long long)y + h + kShadow, (long long)y + kCaptionInset + 2 * charHeight,
                                          (long long)y + Note->Data.Height});
  if (Canvas->IsVisible(x, y, right, bottom, int32_t(length * 2 + 4))) return true;
  TRect logo = LogoRect(x, y, w, h);
  return DrawIcon && Canvas->IsVisible(logo.Left, logo.Top, logo.Right, logo.Bottom, 2);
}

// Pen and brush as a full Draw leaves them, for a note nothing of which reaches the canvas.
void TNoteDrawBot::LeaveStateOfDraw() {
  Canvas->Pen->SetWidth(0);
  Canvas->Pen->SetColor(clBlack);
  Canvas->Pen->SetMode(TPenMode::Copy);
  Canvas->Pen->SetStyle(TPenStyle::Solid);
  Canvas->Brush().SetColor(Note->Data.Color);
  Canvas->Brush().Style = DrawText && !Selected ? TBrushStyle::Clear : TBrushStyle::Solid;
}

void TNoteDrawBot::PaintBox(int32_t x, int32_t y, int32_t w, int32_t h) {
  TVPen& pen = *Canvas->Pen;
  pen.SetWidth(0);
  pen.SetColor(clBlack);
  pen.SetStyle(TPenStyle::Solid);
  if (Note->IsAggregation()) {
    Canvas->Brush().SetColor(clBlack);
    Canvas->Rectangle(Clamp32(x + 5LL), Clamp32(y + 5LL), Clamp32(x + 5LL + w), Clamp32(y + 5LL + h));
  }
  Canvas->Brush().SetColor(Filled ? Note->Data.Color : clNone);
  pen.SetMode(Ghost ? TPenMode::Xor : TPenMode::Copy);
  Canvas->Rectangle(x, y, Clamp32((long long)x + w), Clamp32((long long)y + h));
  pen.SetMode(TPenMode::Copy);
  pen.SetStyle(TPenStyle::Solid);
  Canvas->Brush().SetColor(Note->Data.Color);
  Canvas->Brush().Style = TBrushStyle::Solid;
}

void TNoteDrawBot::PaintPicture(int32_t x, int32_t y, int32_t w, int32_t h) {
  const TRect rect{Clamp32(x + 1LL), Clamp32(y + 1LL), Clamp32(x + w - 1LL), Clamp32(y + h - 1LL)};
  // The size it covers on the device, so that a large picture need not be decoded whole.
  auto side = [](long long from, long long to) { return int(std::clamp(to - from, 1LL, 1LL << 20)); };
  std::shared_ptr<const QImage> picture =
      PictureCache().Get(Note->Data.ImageFile, side(Canvas->ToDeviceX(rect.Left), Canvas->ToDeviceX(rect.Right)),
                         side(Canvas->ToDeviceY(rect.Top), Canvas->ToDeviceY(rect.Bottom)));
  if (picture) Canvas->StretchDraw(rect, *picture);
}

// Logo places 0..8 are three rows of three; in a box 98 units wide the columns touch.
TRect TNoteDrawBot::LogoRect(int32_t x, int32_t y, int32_t w, int32_t h) const {
  long long s = Note->Data.LogoPos;
  long long stepX = ((long long)w - 98) / 2 + kLogoSize;
  long long stepY = ((long long)h - 98) / 2 + kLogoSize;
  int32_t left = Clamp32(x + (s % 3) * stepX + 1);
  int32_t top = Clamp32(y + (s / 3) * stepY + 1);
  return {left, top, Clamp32((long long)left + kLogoSize), Clamp32((long long)top + kLogoSize)};
}

void TNoteDrawBot::PaintLogo(int32_t x, int32_t y, int32_t w, int32_t h) {
  std::shared_ptr<const QImage> logo = PictureCache().Get(Note->Data.LogoFile);
  if (logo) Canvas->StretchDraw(LogoRect(x, y, w, h), *logo);
}

std::string TNoteDrawBot::Label() const {
  return Note->Data.Name + " <" + std::to_string(Note->InLinkCount() + Note->OutLinkCount()) + ">";
}

int32_t TNoteDrawBot::Measure(const std::string& text) { return Canvas->Scale(Canvas->TextWidth(text)); }

void TNoteDrawBot::PaintCaption() {
  TPosItem* pos = GetPosition();
  int32_t x = pos->Data.X, y = pos->Data.Y;
  std::string label = Label();
  int64_t avail = int64_t(Note->Data.Width) - 8;
  if (Measure(label) <= avail)
    Canvas->TextOut(Clamp32(x + 3LL), Clamp32(y + 3LL), label);
  else
    WrapCaption(label, x, y, Note->Data.Height, avail);
}

// Lines are filled word by word (a word keeps its blank); a word wider than the box stands
// alone. The first line is always drawn, later ones only while they fit in the box.
void TNoteDrawBot::WrapCaption(const std::string& label, int32_t x, int32_t y, int32_t h, int64_t avail) {
  int32_t left = Clamp32(x + 3LL);
  int64_t lineY = y + 3LL;
  int64_t limit = y + 1LL + h;
  std::string word, rest = label + " ";
  int64_t lineHeight = Canvas->Scale(Canvas->TextHeight(rest));
  for (;;) {
    std::string line;
    int n = 0;
    while (n < kMaxWordsPerLine && Measure(line + word) < avail) {
      ++n;
      line += word;
      size_t blank = rest.find(' ');
      word = blank == std::string::npos ? std::string() : rest.substr(0, blank + 1);
      rest.erase(0, word.size());
    }
    bool progress = n > 0;
    if (!word.empty() && line.empty()) {
      line = word;
      word.clear();
      progress = true;
    }
    Canvas->TextOut(left, Clamp32(lineY), line);
    lineY += lineHeight;
    if (Measure(word + rest) < avail || lineY + lineHeight > limit || n >= kMaxWordsPerLine) break;
    // A pass that took no word would repeat itself until the box is full and show nothing
    // more (or forever where a line has no height at this zoom).
    if (!progress) return;
  }
  if (lineY + lineHeight < limit) Canvas->TextOut(left, Clamp32(lineY), word + rest);
}

void TNoteDrawBot::PaintSelectionMarks(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!Selected) return;
  TVPen& pen = *Canvas->Pen;
  pen.SetColor(clWhite);
  pen.SetStyle(TPenStyle::Dot);
  Canvas->Brush().SetColor(clBlack);
  Canvas->Brush().Style = TBrushStyle::BDiagonal;
  int32_t right = Clamp32((long long)x + w), bottom = Clamp32((long long)y + h);
  Canvas->Rectangle(x, y, right, bottom);
  pen.SetColor(clBlack);
  pen.SetStyle(TPenStyle::Solid);
  Canvas->Brush().SetColor(clBlack);
  Canvas->Brush().Style = TBrushStyle::Solid;
  int32_t innerX = Clamp32((long long)right - kGrip), innerY = Clamp32((long long)bottom - kGrip);
  Canvas->Rectangle(x, y, Clamp32(x + (long long)kGrip), Clamp32(y + (long long)kGrip));
  Canvas->Rectangle(x, innerY, Clamp32(x + (long long)kGrip), bottom);
  Canvas->Rectangle(innerX, y, right, Clamp32(y + (long long)kGrip));
  Canvas->Rectangle(innerX, innerY, right, bottom);
  pen.SetMode(TPenMode::Copy);
  Canvas->Brush().SetColor(Note->Data.Color);
}

} // namespace qel
