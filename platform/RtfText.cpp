#include "RtfText.h"

#include "Ansi.h"
#include "RtfTextScanner.h"

#include <algorithm>

namespace qel {
namespace {

// Windows-1252 or UTF-8 text.
class TPlainSink : public TRtfSink {
public:
  TPlainSink(std::string& out, bool utf8) : Out(out), Utf8(utf8) {}
  void AnsiText(std::string_view text) override {
    if (Utf8)
      AppendAnsiAsUtf8(text, Out);
    else
      Out.append(text);
  }
  void Text(std::u16string_view text) override {
    if (!Utf8) return AppendPlainAnsi(text, Out);
    for (size_t start = 0; start < text.size();) {
      const size_t hyphen = std::min(text.find(u'\x2011', start), text.size());
      AppendUtf16AsUtf8(text.substr(start, hyphen - start), Out);
      if (hyphen < text.size()) Out += '-';
      start = hyphen + 1;
    }
  }
  void Break(TRtfBreak kind) override { Out.append(kind == TRtfBreak::Cell ? "\t" : "\r\n"); }

private:
  std::string& Out;
  bool Utf8;
};

void PlainText(std::string_view rtf, std::string& out, bool utf8) {
  out.clear();
  if (!IsRtfText(rtf)) {
    if (utf8)
      AppendAnsiAsUtf8(rtf, out);
    else
      out.assign(rtf);
    return;
  }
  TPlainSink sink(out, utf8);
  TRtfScanner(rtf, sink).Run();
}

} // namespace

bool IsRtfText(std::string_view text) { return text.substr(0, 5) == "{\\rtf"; }

void RtfToPlainText(std::string_view rtf, std::string& out) { PlainText(rtf, out, false); }

void RtfToPlainUtf8(std::string_view rtf, std::string& out) { PlainText(rtf, out, true); }

std::string RtfToPlainText(std::string_view rtf) {
  std::string out;
  RtfToPlainText(rtf, out);
  return out;
}

} // namespace qel
