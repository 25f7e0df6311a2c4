#include "platform/RtfText.h"
#include "platform/RtfTextCodePage.h"

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

// Fault: the tables of code pages whose decoders combine (Hebrew 1255, Vietnamese 1258) were
// built byte by byte from a decoder that held each letter back, so their letters read as
// nothing. Every charset the reader knows reads as other readers read it, and each character of
// a single-byte page encodes back to its byte (the fallback the writer gives \u).
TEST(RtfText, EveryCharsetReadsAsWordProcessorsReadIt) {
  struct Case {
    const char* header; // "\ansicpg", font table
    const char* bytes;
    const char* text; // UTF-8
  } cases[] = {
      {"{\\fonttbl{\\f0\\fcharset0 A;}}", "\\'80\\'e4\\'9f\\'ff", "€äŸÿ"},
      {"{\\fonttbl{\\f0\\fcharset77 A;}}", "\\'80\\'a5\\'c6\\'d0\\'db\\'f0", "Ä•∆–€\uF8FF"},
      {"{\\fonttbl{\\f0\\fcharset128 A;}}", "\\'93\\'8c\\'8b\\'9e\\'b1\\'82\\'a0", "東京ｱあ"},
      {"{\\fonttbl{\\f0\\fcharset129 A;}}", "\\'c7\\'d1\\'b1\\'b9\\'a4\\'a1", "한국ㄱ"},
      {"{\\fonttbl{\\f0\\fcharset130 A;}}", "\\'d0\\'65\\'8b\\'69\\'88\\'41", "한글ㄱ"},
      {"{\\fonttbl{\\f0\\fcharset134 A;}}", "\\'d6\\'d0\\'ce\\'c4\\'80\\'81\\'40", "中文€丂"},
      {"{\\fonttbl{\\f0\\fcharset136 A;}}", "\\'a4\\'a4\\'a4\\'e5\\'a1\\'40", "中文\u3000"},
      {"{\\fonttbl{\\f0\\fcharset161 A;}}", "\\'c1\\'e8\\'de\\'ed\\'e1\\'f2", "Αθήνας"},
      {"{\\fonttbl{\\f0\\fcharset162 A;}}", "\\'d0\\'dd\\'de\\'f0\\'fd\\'fe", "ĞİŞğış"},
      {"{\\fonttbl{\\f0\\fcharset163 A;}}", "\\'d0\\'f4ng \\'f5n \\'fdu a\\'ecu\\'de\\'d2\\'cc\\'f2",
       "Đông ơn ưu a\u0301u\u0303\u0309\u0300\u0323"},
      {"{\\fonttbl{\\f0\\fcharset177 A;}}", "\\'f9\\'ec\\'e5\\'ed \\'e0\\'c8\\'a4", "שלום א\u05B8₪"},
      {"{\\fonttbl{\\f0\\fcharset178 A;}}", "\\'c7\\'e1\\'da\\'d1\\'c8\\'ed\\'c9 \\'8d\\'ff", "العربية چے"},
      {"{\\fonttbl{\\f0\\fcharset186 A;}}", "\\'c0\\'e0\\'d0\\'f0\\'de\\'fe", "ĄąŠšŽž"},
      {"{\\fonttbl{\\f0\\fcharset204 A;}}", "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\'a8\\'b8", "ПриветЁё"},
      {"{\\fonttbl{\\f0\\fcharset222 A;}}", "\\'ca\\'c3\\'d8\\'b9\\'e0\\'b7\\'e9", "สรุนเท\u0E49"},
      {"{\\fonttbl{\\f0\\fcharset238 A;}}", "\\'8a\\'9a\\'c8\\'e8\\'f8\\'fb", "ŠšČčřű"},
      {"{\\fonttbl{\\f0\\fcharset254 A;}}", "\\'81\\'82\\'b0\\'c4\\'e1\\'fb", "üé░─ß√"},
      {"{\\fonttbl{\\f0\\fcharset255 A;}}", "\\'81\\'82\\'9b\\'9d\\'c6\\'e7", "üéøØãþ"},
      // The document's code page serves fonts without a charset and the default charset 1.
      {"\\ansicpg1255{\\fonttbl{\\f0 A;}}", "\\'f9\\'ec\\'e5\\'ed", "שלום"},
      {"\\ansicpg1255{\\fonttbl{\\f0\\fcharset1 A;}}", "\\'f9\\'ec\\'e5\\'ed", "שלום"},
      {"\\ansicpg1258{\\fonttbl{\\f0 A;}}", "\\'d0\\'f4ng \\'f5n \\'fdu", "Đông ơn ưu"},
      // Text bytes, not escapes, are read the same way.
      {"{\\fonttbl{\\f0\\fcharset177 A;}}", "\xf9\xec\xe5\xed", "שלום"},
  };
  std::string out;
  for (const Case& c : cases) {
    const std::string rtf = std::string("{\\rtf1\\ansi") + c.header + "\\f0 " + c.bytes + "}";
    qel::RtfToPlainUtf8(rtf, out);
    EXPECT_EQ(out, c.text) << rtf;
  }
  for (int charset : {0, 77, 161, 162, 163, 177, 178, 186, 204, 222, 238, 254, 255}) {
    const qel::TRtfCodePage* page = qel::TRtfCodePage::Get(qel::TRtfCodePage::OfCharset(charset));
    ASSERT_TRUE(page) << charset;
    for (int b = 0x80; b < 0x100; ++b) {
      const char16_t c = page->Decode(static_cast<unsigned char>(b));
      if (c == 0) continue; // no character of the page
      EXPECT_EQ(page->Encode(c), std::string(1, static_cast<char>(b))) << charset << " " << b;
    }
  }
}
