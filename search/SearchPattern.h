#pragma once
// A search pattern cut into its words, and a text prepared for testing against patterns.
// Both are Unicode (UTF-8), compared in NFC; ignoring case compares their folded forms
// (CaseFold.h).
#include "CaseFold.h"

#include <string>
#include <string_view>
#include <vector>

namespace qel {

// A text to test; its forms are made on first need and then kept. Not shared: each search run
// (each thread) has texts of its own.
class TSearchText {
public:
  TSearchText() = default;
  explicit TSearchText(std::string_view utf8) { Reset(utf8); }
  // A UTF-8 text; the viewed text must outlive its use here.
  void Reset(std::string_view utf8);
  // A Windows-1252 text (a name, a file name), converted.
  void ResetAnsi(std::string_view ansi);
  // The text in NFC, and folded.
  std::string_view Normal();
  std::string_view Folded();

private:
  std::string_view FText;
  // Kept between resets so their buffers are reused.
  std::string FConverted;
  std::string FNormal;
  std::string FFolded;
  TSearchForm FForm;
  bool FNormalReady = false;
  bool FNormalIsText = false; // the text is its own NFC
  bool FFoldedReady = false;
};

// The pattern's words (UTF-8, NFC): cut at every space (0x20) only, empty words dropped,
// folded when case is ignored. Cut once, tested against any number of texts.
class TSearchPattern {
public:
  TSearchPattern(std::string_view pattern, bool caseSensitive);
  // The pattern as given was empty (which is not the same as having no words).
  bool IsEmpty() const { return FEmpty; }
  // True when at least one word occurs in the text as a substring.
  bool FoundIn(TSearchText& text) const;

private:
  std::vector<std::string> FWords;
  bool FCaseSensitive;
  bool FEmpty;
};

} // namespace qel
