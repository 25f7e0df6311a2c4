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
      {U'İ', U'i'},   {U'ı', U'ı'},   {U'I', U'i'},   {U'Ș', U'ș'},   {U'Ạ', U'ạ'},   {U'Ё', U'ё'},
      {U'Я', U'я'},   {U'Ӏ', U'ӏ'},   {U'я', U'я'},   {U'Ω', U'ω'},   {U'Ά', U'ά'},   {U'ς', U'σ'},
      {U'Σ', U'σ'},   {U'Ἀ', U'ἀ'},   {U'Ա', U'ա'},   {U'Ａ', U'ａ'},  {U'東', U'東'}, {U'😀', U'😀'},
      // Latin Extended-B, -C and -D, Coptic, the ohm and angstrom signs, Cherokee (whose small
      // letters fold to capitals), Deseret, Georgian.
      {U'\u01A0', U'\u01A1'}, {U'\u01AF', U'\u01B0'}, {U'\u018F', U'\u0259'}, {U'\u0181', U'\u0253'},
      {U'\u018A', U'\u0257'}, {U'\u2C64', U'\u027D'}, {U'\uA732', U'\uA733'}, {U'\uA78B', U'\uA78C'},
      {U'\u2C80', U'\u2C81'}, {U'\u2126', U'\u03C9'}, {U'\u212B', U'\u00E5'}, {U'\uAB70', U'\u13A0'},
      {U'\U00010400', U'\U00010428'}, {U'\u10A0', U'\u2D00'}, {U'\u1C90', U'\u10D0'},
  };
  for (auto [capital, small] : cases)
    EXPECT_EQ(FoldCase(capital), small) << std::hex << static_cast<uint32_t>(capital);
}

// What a search compares: NFC, folded when case is ignored; bytes that are no UTF-8 stay.
TEST(CaseFold, TextsAreComparedInNfcAndFoldedWhenCaseIsIgnored) {
  const struct {
    const char* text;
    bool fold;
    const char* form;
  } cases[] = {
      {"Cafe\u0301 CAFE\u0301", false, "Caf\u00E9 CAF\u00C9"}, // decomposed é composed
      {"Cafe\u0301 CAFE\u0301", true, "caf\u00E9 caf\u00E9"},
      {"TR\u01AF\u1EDCNG \u01A0n", true, "tr\u01B0\u1EDDng \u01A1n"},
      {"TRU\u031BO\u031B\u0300NG", true, "tr\u01B0\u1EDDng"}, // Ư and Ờ decomposed
      {"ΟΔΟΣ οδος", true, "οδοσ οδοσ"},
      {"ＡＢＣ", true, "ａｂｃ"},
      {"\u2126hm \u212B", true, "\u03C9hm \u00E5"},
      {"\u212B", false, "\u00C5"}, // the sign is the letter in NFC
      {"ПРИВЕТ \xFF\xC3 end", true, "привет \xFF\xC3 end"},
      {"e\xFF\u0301", false, "e\xFF\u0301"}, // a mark after a stray byte joins nothing
      {"plain ASCII", true, "plain ascii"},
  };
  for (const auto& c : cases) {
    std::string form;
    AppendSearchForm(c.text, c.fold, form);
    EXPECT_EQ(form, c.form) << c.text << (c.fold ? " folded" : "");
  }
}

// Words of the scripts the search once missed, found in bodies in either case, NFC or NFD.
TEST_F(UnicodeSearch, EveryScriptIsFoldedAndTextsCompareInNfc) {
  AddNote("vi", "{\\rtf1\\ansi\\uc1 \\u7912?N TR\\u431?\\u7900?NG}");         // ỨN TRƯỜNG
  AddNote("az", "{\\rtf1\\ansi\\uc1 \\u399?l\\u601? \\u385?\\u394?}");        // Ələ ƁƊ
  AddNote("nfd", "{\\rtf1\\ansi\\uc1 cafe\\u769? Ha\\u776?user}");            // café Häuser, decomposed
  AddNote("cop", "{\\rtf1\\ansi\\uc1 \\u11392?\\u11394? \\u8486? \\u8491? \\u5024?\\u5025? \\u-10239?\\u-9216?}");
  AddNote("hy", "{\\rtf1\\ansi\\uc1 \\u1329?\\u1330? \\u7312?\\u7313? \\u-223?\\u-222?}"); // ԱԲ ᲐᲑ ＡＢ
  const TCase cases[] = {
      {"\u1EE9n", false, {"vi"}},         {"tr\u01B0\u1EDDng", false, {"vi"}}, {"TR\u01AF\u1EDCNG", true, {"vi"}},
      {"tr\u01B0\u1EDDng", true, {}},     {"\u0259l\u0259", false, {"az"}},     {"\u04D9l\u04D9", false, {}},
      {"\u0253\u0257", false, {"az"}},    {"\u0181\u018A", true, {"az"}},       {"caf\u00E9", false, {"nfd"}},
      {"caf\u00E9", true, {"nfd"}},       {"cafe\u0301", true, {"nfd"}},        {"cafe", true, {}},
      {"cafe", false, {}},                {"H\u00C4USER", false, {"nfd"}},      {"\u2C81\u2C83", false, {"cop"}},
      {"\u2C81\u2C83", true, {}},         {"\u03C9 \u00E5", false, {"cop"}},    {"\u03A9 \u00C5", true, {"cop"}},
      {"\uAB70\uAB71", false, {"cop"}},   {"\U00010428", false, {"cop"}},       {"\u0561\u0562", false, {"hy"}},
      {"\u0561\u0562", true, {}},         {"\u10D0\u10D1", false, {"hy"}},      {"\uFF41\uFF42", false, {"hy"}},
  };
  Check(std::begin(cases), std::end(cases));
}

} // namespace
} // namespace qel
