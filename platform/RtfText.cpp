#include "RtfText.h"

#include "Ansi.h"
#include "RtfTextScanner.h"

#include <algorithm>
#include <vector>

namespace qel {
namespace {

// Windows-1252 or UTF-8 text.
class TPlainSink : public TRtfSink {
public:
  TPlainSink(std::string& out, bool utf8) : Out(out), Utf8(utf8) {}
  // Hidden text ("\v") is no text that shows.
  void GroupOpened() override { Hidden.push_back(Hidden.back()); }
  void GroupClosed() override {
    if (Hidden.size() > 1) Hidden.pop_back();
  }
  void Word(const TRtfWord& word, TRtfDest) override {
    if (word.Name == "v" || word.Name == "plain") Hidden.back() = word.Name == "v" && word.Or(1) != 0;
  }
  void AnsiText(std::string_view text) override {
    if (Hidden.back()) return;
    if (Utf8)
      AppendAnsiAsUtf8(text, Out);
    else
      Out.append(text);
  }
  void Text(std::u16string_view text) override {
    if (Hidden.back()) return;
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
  std::vector<bool> Hidden{false}; // by group
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
