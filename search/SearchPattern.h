#pragma once
// A search pattern cut into its words, and a text prepared for testing against patterns.
#include <string>
#include <string_view>
#include <vector>

namespace qel {

// A text to test; its lower-case form is made on first need and then kept.
class TSearchText {
public:
  TSearchText() = default;
  explicit TSearchText(std::string_view text) { Reset(text); }
  // The viewed text must outlive its use here.
  void Reset(std::string_view text);
  std::string_view Exact() const { return FText; }
  std::string_view Lower();

private:
  std::string_view FText;
  std::string FLower; // kept between resets so its buffer is reused
  bool FLowered = false;
};

// The pattern's words: cut at every space (0x20) only, empty words dropped, lower-cased
// (Windows-1252) when case is ignored. Cut once, tested against any number of texts.
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
