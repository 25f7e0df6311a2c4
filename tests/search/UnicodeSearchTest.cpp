// Words of every script are found where they stand, and only there.
#include "SearchFixture.h"
#include "platform/Ansi.h"
#include "search/CaseFold.h"

namespace qel {
namespace {

// Bodies as word processors write them: bytes in the code page of the font's charset, or \uN.
constexpr const char* kRussian = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}\\f0 "
                                 "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, \\'ec\\'e8\\'f0! Hello \\'c4\\'e0\\par}";
constexpr const char* kGreek = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset161 Arial;}}\\f0 "
                               "\\'ca\\'e1\\'eb\\'e7\\'ec\\'dd\\'f1\\'e1 \\'ea\\'fc\\'f3\\'ec\\'e5, \\'cf\\'c4\\'cf\\'d3\\par}";
constexpr const char* kJapanese = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset128 MS Mincho;}}\\f0 "
                                  "\\'93\\'8c\\'8b\\'9e\\'82\\'cc\\'93\\'56\\'8b\\'43\\'82\\'cd\\'90\\'b0\\'82\\'ea\\par}";
constexpr const char* kPolish = "{\\rtf1\\ansi\\uc1 \\u321?\\u243?d\\u378? i Krak\\u243?w}";

struct TCase {
  const char* pattern;
  bool caseSensitive;
  Names found;
};

class UnicodeSearch : public SearchFixture {
protected:
  UnicodeSearch() {
    AddNote("ru", kRussian);
    AddNote("el", kGreek);
    AddNote("ja", kJapanese);
    AddNote("pl", kPolish);
    AddNote("en", "{\\rtf1 Hello world}");
  }
  void Check(const TCase* begin, const TCase* end) {
    Search.SetNoteMemoActive1(true);
    for (const TCase* c = begin; c != end; ++c) {
      Search.SetNoteMemo1(c->pattern);
      Search.SetNoteMemoCaseSensitive(c->caseSensitive);
      Search.Search("Notes");
      EXPECT_EQ(Notes(), c->found) << c->pattern << (c->caseSensitive ? " (case)" : "");
    }
  }
};

// Fault: every letter outside Windows-1252 was "?", so any word of as many letters was found.
TEST_F(UnicodeSearch, AWordIsFoundInItsNoteAndAnAbsentWordOfTheSameLengthNowhere) {
  const TCase cases[] = {
      {"мир", false, {"ru"}},      {"мор", false, {}},        {"Привет", true, {"ru"}},   {"Пкивет", true, {}},
      {"κόσμε", false, {"el"}},    {"νύχτα", false, {}},      {"Καλημέρα", true, {"el"}}, {"Καλημάρα", true, {}},
      {"天気", false, {"ja"}},     {"雨雲", false, {}},       {"晴れ", true, {"ja"}},     {"晴る", true, {}},
      {"Łódź", true, {"pl"}},      {"Łódż", true, {}},        {"Kraków", true, {"pl"}},   {"Krakow", true, {}},
      {"?", false, {}},            {"Да", true, {"ru"}},      {"Hello", true, {"ru", "en"}},
  };
  Check(std::begin(cases), std::end(cases));
}

TEST_F(UnicodeSearch, IgnoringCaseFoldsCyrillicGreekAndLatinLetters) {
  const TCase cases[] = {
      {"ПРИВЕТ", false, {"ru"}}, {"ПРИВЕТ", true, {}},  {"привет", false, {"ru"}}, {"привет", true, {}},
      {"дА", false, {"ru"}},     {"дА", true, {}},
      {"ΚΑΛΗΜΈΡΑ", false, {"el"}}, {"ΚΑΛΗΜΈΡΑ", true, {}}, {"καλημέρα", false, {"el"}}, {"καλημέρα", true, {}},
      // Final sigma folds to sigma: the capitals ΟΔΟΣ are found as the word written small.
      {"οδος", false, {"el"}},   {"οδος", true, {}},      {"ΟΔΟΣ", true, {"el"}},
      // An accent is no case: without the tonos the word is another.
      {"ΚΑΛΗΜΕΡΑ", false, {}},
      {"łÓDŹ", false, {"pl"}},   {"łÓDŹ", true, {}},
  };
  Check(std::begin(cases), std::end(cases));
}

// The words of a pattern are alternatives, cut at spaces only, each found as a run of letters.
TEST_F(UnicodeSearch, WordsOfAnyScriptAreAlternativesFoundAsRunsOfLetters) {
  const TCase cases[] = {
      {"мор 天気", false, {"ja"}},       // the first word absent, the second found
      {"мор天気", false, {}},           // no space: one word, absent
      {"ир", false, {"ru"}},            // part of a word
      {"天気は晴", false, {"ja"}},
      {"мир Hello", true, {"ru", "en"}},
      {"мир\tмир", false, {}}, // a tab does not cut words
      {"  ", false, {}},
  };
  Check(std::begin(cases), std::end(cases));
}

// Names and file names are Windows-1252; the search compares them in Unicode.
TEST_F(UnicodeSearch, Windows1252FieldsAreComparedInUnicode) {
  TNoteItem* cafe = AddNote("Caf\xE9 \x8A" "koda");
  TSheetItem* sheet = AddSheet("R\xE9sum\xE9s");
  Project.AssignNoteToSheet(cafe, sheet);
  AddAttachment(cafe, "\x80 prices", "C:\\Docs\\\xC9T\xC9.pdf");
  const struct {
    const char* pattern;
    Names notes, sheets, attachments;
  } cases[] = {
      {"CAFÉ", {"Caf\xE9 \x8A" "koda"}, {}, {}},
      {"škoda", {"Caf\xE9 \x8A" "koda"}, {}, {}},
      {"résumés", {"Caf\xE9 \x8A" "koda"}, {"R\xE9sum\xE9s"}, {}},
      {"€", {}, {}, {"\x80 prices"}},
      {"été.PDF", {}, {}, {"\x80 prices"}},
      {"caf\xE9", {}, {}, {}}, // a Windows-1252 byte is no UTF-8 letter
  };
  for (const auto& c : cases) {
    Search.SetNoteCaption1(c.pattern);
    Search.SetNoteSheetCaption1(c.pattern);
    Search.SetSheetCaption1(c.pattern);
    Search.SetAttachmentCaption1(c.pattern);
    Search.SetAttachmentFileName1(c.pattern);
    for (auto active : {&TContainerSearch::SetNoteCaptionActive1, &TContainerSearch::SetNoteSheetCaptionActive1,
                        &TContainerSearch::SetSheetCaptionActive1, &TContainerSearch::SetAttachmentCaptionActive1,
                        &TContainerSearch::SetAttachmentFileNameActive1})
      (Search.*active)(true);
    Search.Search("Global");
    EXPECT_EQ(Notes(), c.notes) << c.pattern;
    EXPECT_EQ(Sheets(), c.sheets) << c.pattern;
    EXPECT_EQ(Attachments(), c.attachments) << c.pattern;
  }
}

TEST(CaseFold, CapitalsFoldToTheirSmallLettersAndNothingElseChanges) {
  const std::pair<char32_t, char32_t> cases[] = {
      {U'A', U'a'},   {U'z', U'z'},   {U'Ä', U'ä'},   {U'×', U'×'},   {U'ß', U'ß'},   {U'ẞ', U'ß'},
      {U'Ÿ', U'ÿ'},   {U'Š', U'š'},   {U'Œ', U'œ'},   {U'Ł', U'ł'},   {U'ł', U'ł'},   {U'Ź', U'ź'},
      {U'İ', U'i'},   {U'ı', U'ı'},   {U'Ș', U'ș'},   {U'Ạ', U'ạ'},   {U'Ё', U'ё'},   {U'Я', U'я'},
      {U'Ѓ', U'ѓ'},   {U'Ґ', U'ґ'},   {U'Ӂ', U'ӂ'},   {U'Ӏ', U'ӏ'},   {U'я', U'я'},   {U'Ω', U'ω'},
      {U'Ά', U'ά'},   {U'Ώ', U'ώ'},   {U'ς', U'σ'},   {U'Σ', U'σ'},   {U'Ϊ', U'ϊ'},   {U'Ἀ', U'ἀ'},
      {U'Ὑ', U'ὑ'},   {U'ὐ', U'ὐ'},   {U'Ᾱ', U'ᾱ'},   {U'Ὰ', U'ὰ'},   {U'Ա', U'ա'},   {U'Ａ', U'ａ'},
      {U'東', U'東'}, {U'ア', U'ア'}, {U'א', U'א'},   {U'한', U'한'}, {U'😀', U'😀'},
  };
  for (auto [capital, small] : cases)
    EXPECT_EQ(FoldCase(capital), small) << static_cast<uint32_t>(capital);
  // The folded text is never longer than the text.
  char a[4], b[4];
  for (char32_t c = 0; c <= 0x10FFFF; ++c)
    ASSERT_LE(EncodeUtf8(FoldCase(c), b), EncodeUtf8(c, a)) << static_cast<uint32_t>(c);
  std::string folded;
  AppendFolded("ПРИВЕТ Ωμέγα \xFF\xC3 end", folded);
  EXPECT_EQ(folded, "привет ωμέγα \xFF\xC3 end"); // bytes that start no character stay
}

} // namespace
} // namespace qel
