#include "SearchPattern.h"

#include "CaseFold.h"
#include "platform/Ansi.h"

namespace qel {

void TSearchText::Reset(std::string_view utf8) {
  FText = utf8;
  FLowered = false;
}

void TSearchText::ResetAnsi(std::string_view ansi) {
  FConverted.clear();
  AppendAnsiAsUtf8(ansi, FConverted);
  Reset(FConverted);
}

std::string_view TSearchText::Lower() {
  if (!FLowered) {
    FLower.clear();
    AppendFolded(FText, FLower);
    FLowered = true;
  }
  return FLower;
}

TSearchPattern::TSearchPattern(std::string_view pattern, bool caseSensitive)
    : FCaseSensitive(caseSensitive), FEmpty(pattern.empty()) {
  std::string folded;
  if (caseSensitive)
    folded = pattern;
  else
    AppendFolded(pattern, folded);
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
  std::string_view subject = FCaseSensitive ? text.Exact() : text.Lower();
  for (const std::string& word : FWords)
    if (subject.find(word) != std::string_view::npos) return true;
  return false;
}

} // namespace qel
