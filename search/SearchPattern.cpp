#include "SearchPattern.h"

#include "platform/Ansi.h"

#include <array>

namespace qel {
namespace {

// AnsiLowerChar as a table, so that lowering a long text costs no call per byte.
std::array<char, 256> MakeLowerTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<char>(AnsiLowerChar(static_cast<unsigned char>(c)));
  return table;
}

} // namespace

void TSearchText::Reset(std::string_view text) {
  FText = text;
  FLowered = false;
}

std::string_view TSearchText::Lower() {
  static const std::array<char, 256> lower = MakeLowerTable();
  if (!FLowered) {
    FLower.resize(FText.size());
    // Local pointers: the stores cannot then be taken for changes of this object.
    const char* from = FText.data();
    char* to = FLower.data();
    for (size_t i = 0, n = FText.size(); i < n; ++i) to[i] = lower[static_cast<unsigned char>(from[i])];
    FLowered = true;
  }
  return FLower;
}

TSearchPattern::TSearchPattern(std::string_view pattern, bool caseSensitive)
    : FCaseSensitive(caseSensitive), FEmpty(pattern.empty()) {
  std::string folded = caseSensitive ? std::string(pattern) : AnsiLowerCase(pattern);
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
