#include "RtfText.h"

#include "RtfTextScanner.h"

namespace qel {
namespace {

class TPlainSink : public TRtfSink {
public:
  explicit TPlainSink(std::string& out) : Out(out) {}
  void AnsiText(std::string_view text) override { Out.append(text); }
  void Text(std::u16string_view text) override { AppendPlainAnsi(text, Out); }
  void Break(TRtfBreak kind) override { Out.append(kind == TRtfBreak::Cell ? "\t" : "\r\n"); }

private:
  std::string& Out;
};

} // namespace

bool IsRtfText(std::string_view text) { return text.substr(0, 5) == "{\\rtf"; }

void RtfToPlainText(std::string_view rtf, std::string& out) {
  out.clear();
  if (!IsRtfText(rtf)) {
    out.assign(rtf);
    return;
  }
  TPlainSink sink(out);
  TRtfScanner(rtf, sink).Run();
}

std::string RtfToPlainText(std::string_view rtf) {
  std::string out;
  RtfToPlainText(rtf, out);
  return out;
}

} // namespace qel
