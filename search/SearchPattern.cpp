#include "SearchPattern.h"

#include "platform/Ansi.h"

#include <algorithm>

namespace qel {

void TSearchText::Reset(std::string_view utf8) {
  FText = utf8;
  FNormalReady = FFoldedReady = false;
}

void TSearchText::ResetAnsi(std::string_view ansi) {
  FConverted.clear();
  AppendAnsiAsUtf8(ansi, FConverted);
  Reset(FConverted);
}

std::string_view TSearchText::Normal() {
  if (!FNormalReady) {
    // ASCII is its own NFC: most names and bodies are not copied.
    FNormalIsText =
        std::all_of(FText.begin(), FText.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    FNormal.clear();
    if (!FNormalIsText) FForm.Append(FText, false, FNormal);
    FNormalReady = true;
  }
  return FNormalIsText ? FText : std::string_view(FNormal);
}

std::string_view TSearchText::Folded() {
  if (!FFoldedReady) {
    FFolded.clear();
    FForm.Append(FText, true, FFolded);
    FFoldedReady = true;
  }
  return FFolded;
}

TSearchPattern::TSearchPattern(std::string_view pattern, bool caseSensitive)
    : FCaseSensitive(caseSensitive), FEmpty(pattern.empty()) {
  std::string folded;
  AppendSearchForm(pattern, !caseSensitive, folded);
  size_t start = 0;
  while (start <= folded.size()) {
    size_t end = folded.find(' ', start);
    if (end == std::string::npos) end = folded.size();
    if (end > start) FWords.push_back(folded.substr(start, end - start));
    start = end + 1;
  }
}

bool TSearchPattern::FoundIn(TSearchText& text) const {
  if (FWords.empty()) return false;
  const std::string_view subject = FCaseSensitive ? text.Normal() : text.Folded();
  for (const std::string& word : FWords)
    if (subject.find(word) != std::string_view::npos) return true;
  return false;
}

} // namespace qel
