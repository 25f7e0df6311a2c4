#include "platform/RtfText.h"

#include <gtest/gtest.h>

using qel::RtfToPlainText;

namespace {

// What the note window's rich-edit control writes for two short paragraphs.
const std::string kNoteRtf =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\lang1031\\f0\\fs20 "
    "Gr\\'fc\\'dfe an \\cf1\\b Wor\\b0 ld\\cf0\\par\r\n"
    "Zweite\\tab Zeile\\line Ende\\par\r\n}\r\n";

} // namespace

TEST(RtfText, TextThatIsNotRtfPassesUnchanged) {
  for (std::string plain : {"", "plain text", " {\\rtf1 leading blank}", "{\\rt", "a\\par b {x}", "\r\n\\'e4"})
    EXPECT_EQ(RtfToPlainText(plain), plain);
  EXPECT_FALSE(qel::IsRtfText("{\\RTF1 x}"));
  EXPECT_TRUE(qel::IsRtfText("{\\rtf"));
}

TEST(RtfText, NoteBodyKeepsTextAndDropsTablesAndMarkup) {
  EXPECT_EQ(RtfToPlainText(kNoteRtf), "Gr\xFC\xDF"
                                      "e an World\r\nZweite\tZeile\r\nEnde\r\n");
}

TEST(RtfText, SkipsInformationStylesPicturesAndIgnorableDestinations) {
  EXPECT_EQ(RtfToPlainText("{\\rtf1{\\info{\\title Secret}{\\author Me}}{\\stylesheet{\\s0 Normal;}}"
                           "{\\*\\unknown hidden {nested} text}A{\\pict\\wmetafile8 0a0b7061720d}B}"),
            "AB");
  // Binary picture data may hold braces and backslashes; they are not markup.
  EXPECT_EQ(RtfToPlainText("{\\rtf1 A{\\pict\\bin4 }{\\x}B{\\*\\x\\bin2 }}}C}"), "ABC");
  // Bullet fallback texts and field instructions are not text either.
  EXPECT_EQ(RtfToPlainText("{\\rtf1{\\pntext\\f1\\'b7\\tab}{\\field{\\*\\fldinst{HYPERLINK \"x\"}}"
                           "{\\fldrslt{link}}}}"),
            "link");
}

TEST(RtfText, DecodesEscapesAndSymbols) {
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\{b\\}c\\\\d}"), "a{b}c\\d");
  EXPECT_EQ(RtfToPlainText("{\\rtf1 \\'e4\\'C4\\'80}"), "\xE4\xC4\x80");
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\~b\\_c\\-d\\emdash\\lquote x\\rquote}"), "a\xA0"
                                                                               "b-cd\x97\x91x\x92");
  // Line ends in the source are not text; an escaped one is a paragraph.
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a\r\nb\\\nc}"), "ab\r\nc");
}

TEST(RtfText, DecodesUnicodeWithItsFallbackCount) {
  EXPECT_EQ(RtfToPlainText("{\\rtf1 \\u8364?x}"), "\x80x");         // euro sign, one fallback
  EXPECT_EQ(RtfToPlainText("{\\rtf1 \\u228\\'e4x}"), "\xE4x");       // the fallback may be an escape
  EXPECT_EQ(RtfToPlainText("{\\rtf1 \\uc2\\u8364??x}"), "\x80x");    // two fallback characters
  EXPECT_EQ(RtfToPlainText("{\\rtf1 \\uc0\\u228 x}"), "\xE4x");      // none
  EXPECT_EQ(RtfToPlainText("{\\rtf1 \\u960 p}"), "?");               // no Windows-1252 form
  EXPECT_EQ(RtfToPlainText("{\\rtf1 \\u-10179?\\u-8704?!}"), "?!"); // a surrogate pair is one character
  // \uc belongs to its group; a group end also ends the fallback.
  EXPECT_EQ(RtfToPlainText("{\\rtf1 {\\uc2\\u8364ab}\\u8364cd}"), "\x80\x80"
                                                                  "d");
  EXPECT_EQ(RtfToPlainText("{\\rtf1 {\\u8364}x}"), "\x80x");
}

TEST(RtfText, TruncatedOrUnbalancedInputEndsTheText) {
  struct Case {
    const char* rtf;
    const char* text;
  } cases[] = {
      {"{\\rtf1 abc\\'e", "abc"}, {"{\\rtf1 abc\\'", "abc"},     {"{\\rtf1 abc\\", "abc"},
      {"{\\rtf1 abc\\u", "abc"},  {"{\\rtf1 x\\bin999", "x"},    {"{\\rtf1 x\\bin-5 y}", "xy"},
      {"{\\rtf1 {\\fonttbl", ""}, {"{\\rtf1 {{{{a", "a"},        {"{\\rtf1 a}}b{c", "a"},
      {"{\\rtf1 \\'zz1}", "zz1"},  {"{\\rtf1 \\u99999999999?}", "?"},
  };
  for (const Case& c : cases) EXPECT_EQ(RtfToPlainText(c.rtf), c.text) << c.rtf;
}

TEST(RtfText, EveryPrefixOfANoteIsReadWithinItsBounds) {
  // Each output unit is shorter than the markup it comes from.
  for (size_t n = 0; n <= kNoteRtf.size(); ++n) {
    std::string prefix = kNoteRtf.substr(0, n);
    EXPECT_LE(RtfToPlainText(prefix).size(), prefix.size()) << n;
  }
}

TEST(RtfText, ReusedBufferIsReplaced) {
  std::string out = "old content";
  qel::RtfToPlainText("{\\rtf1 new}", out);
  EXPECT_EQ(out, "new");
}

TEST(RtfText, LongTextRunsStopAtMarkupWhereverItFalls) {
  for (size_t k = 0; k <= 40; ++k) {
    std::string a(k, 'a'), b(40 - k, 'b');
    EXPECT_EQ(RtfToPlainText("{\\rtf1 " + a + "\\par " + b + "}"), a + "\r\n" + b) << k;
    EXPECT_EQ(RtfToPlainText("{\\rtf1 " + a + "\r\n{" + b + "}}"), a + b) << k;
    EXPECT_EQ(RtfToPlainText("{\\rtf1 " + a + "}" + b), a) << k;
  }
}

TEST(RtfText, TheUnicodeTextKeepsEveryCharacter) {
  struct Case {
    const char* rtf;
    const char* text; // UTF-8
  } cases[] = {
      {"{\\rtf1 \\u960?\\u8364?x}", "π€x"},
      {"{\\rtf1 caf\\'e9 \\'80\\'81}", "café €\xC2\x81"}, // the undefined byte is its C1 control
      {"{\\rtf1{\\fonttbl{\\f0\\fcharset204 A;}}\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par \\'c4\\'e0}", "Привет\r\nДа"},
      {"{\\rtf1{\\fonttbl{\\f0\\fcharset161 A;}}\\f0 \\'cf\\'c4\\'cf\\'d3\\cell \\'f2}", "ΟΔΟΣ\tς"},
      {"{\\rtf1{\\fonttbl{\\f0\\fcharset128 A;}}\\f0 \\'93\\'8c\\'8b\\'9e}", "東京"},
      {"{\\rtf1 \\u-10179?\\u-8704?!}", "\xF0\x9F\x98\x80!"}, // a surrogate pair is one character
      {"{\\rtf1 \\u-10179?!}", "\xEF\xBF\xBD!"},                // half a pair is none
      {"{\\rtf1 a\\_b}", "a-b"},
      {"Gr\xFC\xDF \x80", "Grüß €"}, // plain Windows-1252 text
  };
  std::string out = "reused";
  for (const Case& c : cases) {
    qel::RtfToPlainUtf8(c.rtf, out);
    EXPECT_EQ(out, c.text) << c.rtf;
  }
}
