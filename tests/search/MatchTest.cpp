#include "SearchFixture.h"

namespace qel {
namespace {

struct MatchCase {
  const char* pattern;
  const char* text;
  bool caseSensitive;
  bool expected;
};

TEST(Match, WordsAreAlternativesFoundAsSubstrings) {
  const MatchCase cases[] = {
      {"red blue", "Blue sky", false, true},
      {"red blue", "bored", false, true},
      {"red blue", "green", false, false},
      {"Red", "red", true, false},
      {"Red", "red", false, true},
      {"a  b", "xbx", false, true}, // two spaces: an empty word between, never matching
      {" a", "a", false, true},
      {" ", "a b", false, false},
      {"   ", "   ", false, false},
      {"", "anything", false, false},
      {"a\tb", "a b", false, false}, // a tab is part of the word
      {"a\tb", "xa\tbx", false, true},
      {"lo wo", "hello", true, true},
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(TContainerSearch::Match(c.pattern, c.text, c.caseSensitive), c.expected)
        << '"' << c.pattern << "\" in \"" << c.text << '"';
}

TEST(Match, IgnoringCaseFoldsTheLettersOfWindows1252) {
  const MatchCase cases[] = {
      {"Ä", "bär", false, true},  {"ä", "BÄR", false, true},  {"ÉtÉ", "été", false, true},
      {"Š", "š", false, true},    {"Œ", "œ", false, true},    {"ÿ", "Ÿ", false, true},
      {"Ä", "bär", true, false},  {"ß", "SS", false, false}, // no expansion of ß
      {"×", "÷", false, false},                                // × and ÷ are no letters
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(TContainerSearch::Match(c.pattern, c.text, c.caseSensitive), c.expected) << c.pattern;
}

TEST_F(SearchFixture, TextMatchersLetAnEmptyPatternHitAndUseTheirGroupsCaseFlag) {
  EXPECT_TRUE(Search.MatchNoteCaption3("whatever"));
  Search.SetNoteCaption3("Plan");
  EXPECT_TRUE(Search.MatchNoteCaption3("planning"));
  Search.SetNoteCaptionCaseSensitive(true);
  EXPECT_FALSE(Search.MatchNoteCaption3("planning"));
  // The case flags are per group.
  Search.SetSheetCaption2("Plan");
  EXPECT_TRUE(Search.MatchSheetCaption2("planning"));
  Search.SetAttachmentFileName4("PDF");
  Search.SetAttachmentFileNameCaseSensitive(true);
  Search.SetAttachmentCaption4("PDF");
  EXPECT_FALSE(Search.MatchAttachmentFileName4("a.pdf"));
  EXPECT_TRUE(Search.MatchAttachmentCaption4("a.pdf"));
}

TEST_F(SearchFixture, ColourMatchersCompareWholeValues) {
  Search.SetNoteColor(RGB(10, 20, 30));
  Search.SetSheetColor(RGB(10, 20, 30));
  EXPECT_TRUE(Search.MatchNoteColor(RGB(10, 20, 30)));
  EXPECT_FALSE(Search.MatchSheetColor(RGB(10, 20, 31)));
  EXPECT_FALSE(Search.MatchSheetColor(RGB(10, 20, 30) | 0x01000000));
}

} // namespace
} // namespace qel
