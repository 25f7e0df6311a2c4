#include "platform/Ansi.h"
#include "platform/RtfText.h"
#include "platform/RtfTextCodePage.h"
#include "platform/RtfTextScanner.h"

#include <gtest/gtest.h>
#include <string>

using namespace qel;

namespace {

// The shown text as UTF-8, with "|" for a paragraph end, "/" a line break; what else the
// scanner reports in brackets.
class TRecorder : public TRtfSink {
public:
  void AnsiText(std::string_view text) override { Out += AnsiToUtf8(text); }
  void Text(std::u16string_view text) override {
    for (char16_t c : text) Utf16 += c;
    Out += Utf8Of(text);
  }
  void Break(TRtfBreak kind) override { Out += kind == TRtfBreak::Line ? "/" : kind == TRtfBreak::Cell ? "#" : "|"; }
  void MarkerText(std::u16string_view text) override { Out += "[mark " + Utf8Of(text) + "]"; }
  void Picture(std::string_view group, bool inResult) override {
    Out += "[pict" + std::string(inResult ? " result " : " ") + std::string(group) + "]";
  }
  void Object(std::string_view group) override { Out += "[object " + std::to_string(group.size()) + "]"; }
  void Word(const TRtfWord& word, TRtfDest dest) override {
    if (dest == TRtfDest::ListFormat) Out += "[pn " + std::string(word.Name) + "]";
  }
  static std::string Utf8Of(std::u16string_view text) {
    std::string utf8;
    for (size_t i = 0; i < text.size(); ++i) {
      char32_t c = text[i];
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
      if (c < 0x80) {
        utf8 += static_cast<char>(c);
      } else if (c < 0x800) {
        utf8 += static_cast<char>(0xC0 | c >> 6);
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        utf8 += static_cast<char>(0xE0 | c >> 12);
        utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        utf8 += static_cast<char>(0xF0 | c >> 18);
        utf8 += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return utf8;
  }
  std::string Out;
  std::u16string Utf16;
};

std::string Scan(const std::string& rtf) {
  TRecorder recorder;
  TRtfScanner(rtf, recorder).Run();
  return recorder.Out;
}

} // namespace

TEST(RtfTextScanner, DecodesTextByTheCharsetOfItsFont) {
  // Cyrillic, Greek and Central European fonts in one note, Windows-1252 around them.
  const std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                          "{\\f1\\fswiss\\fcharset204 Arial CYR;}{\\f2\\fnil\\fcharset161 Arial Greek;}"
                          "{\\f3\\fnil\\fcharset238 Arial CE;}}"
                          "\\f0 caf\\'e9 \\f1\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 {\\f2\\'e1\\'e2\\'e3} "
                          "\\f3 \\'8a\\'b9 \\f0\\'8a}";
  EXPECT_EQ(Scan(rtf), "café Привет αβγ Šą Š");
  // The search sees the same characters where Windows-1252 has them.
  EXPECT_EQ(RtfToPlainText(rtf), "caf\xE9 ?????? ??? \x8A? \x8A");
}

TEST(RtfTextScanner, TheDocumentCodePageServesFontsWithoutCharset) {
  EXPECT_EQ(Scan("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Times;}}\\f0\\'c4\\'e0 \\'e4\\'e0}"), "Да да");
  // A font's own code page wins over its charset; an unknown code page falls back to the document's.
  EXPECT_EQ(Scan("{\\rtf1\\ansicpg1253{\\fonttbl{\\f0\\fcharset0\\cpg1251 A;}{\\f1\\cpg99999 B;}}\\f0\\'c4\\f1\\'c4}"), "ДΔ");
  // Raw bytes of the text are read in the same code page.
  EXPECT_EQ(Scan("{\\rtf1{\\fonttbl{\\f0\\fcharset204 A;}}\\f0 \xcf\xf0\xe8}"), "При");
}

TEST(RtfTextScanner, ReadsDoubleByteCodePages) {
  EXPECT_EQ(Scan("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'82\\'a0\\'82\\'a2a}"), "あいa");
  EXPECT_EQ(Scan("{\\rtf1{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0 \\'d6\\'d0\\'ce\\'c4}"), "中文");
  EXPECT_EQ(Scan("{\\rtf1{\\fonttbl{\\f0\\fcharset136 MingLiU;}}\\f0 \\'a4\\'a4}"), "中");
  EXPECT_EQ(Scan("{\\rtf1{\\fonttbl{\\f0\\fcharset129 Gulim;}}\\f0 \\'c7\\'d1}"), "한");
  // A lead byte whose trail never comes is no character.
  EXPECT_EQ(Scan("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0 a\\'82}b}"), "a");
  // Unicode with a double-byte fallback of two units.
  EXPECT_EQ(Scan("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0\\uc2\\u12354\\'82\\'a0x}"), "あx");
  for (int page : {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258})
    EXPECT_NE(TRtfCodePage::Get(page), nullptr) << page;
  EXPECT_EQ(TRtfCodePage::Get(1251)->Encode(u'\x0416'), "\xC6");
  EXPECT_EQ(TRtfCodePage::Get(1251)->Encode(u'\x03B1'), "");
}

TEST(RtfTextScanner, ListsPicturesAndObjectsAreNotText) {
  EXPECT_EQ(Scan("{\\rtf1{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}One\\par}"),
            "[mark ·][mark \t][pn pnlvlblt][pn pnindent]One|");
  EXPECT_EQ(Scan("{\\rtf1 a{\\pict\\pngblip 89504e47}b{\\*\\shppict{\\pict\\jpegblip ffd8}}{\\nonshppict{\\pict 00}}c}"),
            "a[pict {\\pict\\pngblip 89504e47}]b[pict {\\pict\\jpegblip ffd8}]c");
  const std::string object = "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result{\\pict\\dibitmap0 28}}}";
  EXPECT_EQ(Scan("{\\rtf1 a" + object + "b}"),
            "a[pict result {\\pict\\dibitmap0 28}][object " + std::to_string(object.size()) + "]b");
  // Groups of text within an object are no text; a shape's picture may show its result.
  EXPECT_EQ(Scan("{\\rtf1{\\object{\\shppict{}r}}}"), "[object 22]");
  EXPECT_EQ(Scan("{\\rtf1{\\object{\\result{\\*\\shppict{\\pict 00}}}}}"),
            "[pict result {\\pict 00}][object 40]");
  // Tables of fonts or lists within an object or a list mark are passed over.
  EXPECT_EQ(Scan("{\\rtf1{\\listtext{\\fonttbl{\\f0 X;}}1.}a}"), "[mark 1.]a");
  // Too deep to know where they start, pictures and objects are passed over.
  const std::string deep(2000, '{');
  EXPECT_EQ(Scan("{\\rtf1 a" + deep + "{\\pict 00}{\\object x}b"), "ab");
  // A picture cut by the end of the input is no picture.
  EXPECT_EQ(Scan("{\\rtf1 a{\\pict\\pngblip 8950"), "a");
}

// Both readers once disagreed on these.
TEST(RtfTextScanner, DestinationsAreNamedByTheFirstWordOfTheirGroup) {
  // A "\pn" within text starts no list format, so it hides nothing.
  EXPECT_EQ(Scan("{\\rtf1 before\\pn after}"), "beforeafter");
  EXPECT_EQ(RtfToPlainText("{\\rtf1 before\\pn after}"), "beforeafter");
  // Headers, footers and footnotes are no body text.
  EXPECT_EQ(RtfToPlainText("{\\rtf1{\\header head}{\\footer foot}body{\\footnote note}}"), "body");
  // A cut "\'h" escape gives no stray letter.
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\'4 b}"), "a b");
  EXPECT_EQ(Scan("{\\rtf1 a\\'4 b}"), "a b");
  // "\*" that does not start a group hides nothing.
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\*\\madeup b}"), "ab");
}

// Found by fuzzing: the halves of a pair parted by a group joined in the editor.
TEST(RtfTextScanner, HalfASurrogatePairIsAReplacementCharacter) {
  EXPECT_EQ(Scan("{\\rtf\\u-10179{\\u-8704}x}"), "\xEF\xBF\xBD\xEF\xBF\xBDx");
  EXPECT_EQ(Scan("{\\rtf\\u-10179?\\u-8704?x}"), "\xF0\x9F\x98\x80x");
  EXPECT_EQ(RtfToPlainText("{\\rtf\\uc0\\u-8704 x\\u-10179}"), "?x?");
}

TEST(RtfTextScanner, LineAndParagraphSeparatorsAreBreaks) {
  EXPECT_EQ(Scan("{\\rtf1 a\\u8232?b\\u8233?c\\u65532?d}"), "a/b|cd");
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\cell b\\row c\\line d\\_e}"), "a\tb\r\nc\r\nd-e");
}
