#pragma once
// The form in which the search compares texts: Unicode NFC, and simple case folding when case
// is ignored, both after the Unicode library (ICU).
#include <string>
#include <string_view>

namespace qel {

// The folded form of a character: Unicode simple case folding ("ß" and the dotless "ı" stay,
// final sigma folds to sigma, Cherokee small letters to capitals), except that "İ" folds to "i".
char32_t FoldCase(char32_t c);

// Appends UTF-8 text in NFC, folded when fold is set. A byte that starts no valid sequence is
// copied as it is. Keeps its buffers from call to call: one per thread.
class TSearchForm {
public:
  void Append(std::string_view utf8, bool fold, std::string& out);

private:
  // Appends the characters gathered in FRun, in their search form.
  void FlushRun(bool fold, std::string& out);
  std::u16string FRun;
  std::u16string FNormal;
};

// The same with buffers of its own, for a text searched once (a pattern).
void AppendSearchForm(std::string_view utf8, bool fold, std::string& out);

} // namespace qel
