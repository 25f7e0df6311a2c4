#include "GuiTest.h"
#include "RtfDescribe.h"
#include "platform/RtfText.h"
#include "windows/richedit/RtfFormat.h"
#include "windows/richedit/RtfReader.h"
#include "windows/richedit/RtfWriter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

#include <regex>
#include <string>

using namespace qel;

namespace {

std::string Describe(const QTextDocument& document) { return test::DescribeRtfDocument(document); }

class Rtf : public ::testing::Test {
protected:
  void SetUp() override {
    test::EnsureApplication();
    Document.setDefaultFont(QFont("MS Sans Serif", 8));
  }
  std::string Read(const std::string& rtf) {
    ReadRtf(rtf, Document);
    return Describe(Document);
  }
  // Writes the document, reads the result into a fresh document and checks both agree; the
  // second write gives the same bytes.
  void ExpectRoundTrip() {
    const std::string written = WriteRtf(Document);
    QTextDocument again;
    again.setDefaultFont(Document.defaultFont());
    ReadRtf(written, again);
    EXPECT_EQ(Describe(again), Describe(Document)) << written;
    EXPECT_EQ(WriteRtf(again), written);
  }
  QTextDocument Document;
};

// What the rich-text control wrote for a note with formatted text.
const std::string kControlOutput =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}"
    "{\\f1\\fswiss\\fcharset0 Arial;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
    "{\\*\\generator A writer 1.0;}\\viewkind4\\uc1\\pard\\f0\\fs16 Plain \\b bold\\b0  "
    "\\i italic\\i0  \\ul under\\ulnone  \\strike gone\\strike0  \\cf1 red\\cf2 navy\\cf0\\par\r\n"
    "\\pard\\qc\\f1\\fs28 Centred\\par\r\n"
    "\\pard\\qr\\li720\\ri360\\fi-360 Right\\par\r\n"
    "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-200\\li200\\f0\\fs16 One\\par\r\n"
    "{\\pntext\\f2\\'B7\\tab}Two\\par\r\n"
    "\\pard Last\\par\r\n}\r\n";

} // namespace

TEST_F(Rtf, ReadsWhatTheControlWrote) {
  EXPECT_EQ(Read(kControlOutput), "[0 0 0 0](MS Sans Serif 16)Plain (MS Sans Serif 16 b)bold(MS Sans Serif 16) "
                                  "(MS Sans Serif 16 i)italic(MS Sans Serif 16) (MS Sans Serif 16 u)under"
                                  "(MS Sans Serif 16) (MS Sans Serif 16 s)gone(MS Sans Serif 16) "
                                  "(MS Sans Serif 16 #ff0000)red(MS Sans Serif 16 #000080)navy\n"
                                  "[2 0 0 0](Arial 28)Centred\n"
                                  "[1 720 360 -360](Arial 28)Right\n"
                                  "[0 200 0 -200 bullet](MS Sans Serif 16)One\n"
                                  "[0 200 0 -200 bullet](MS Sans Serif 16)Two\n"
                                  "[0 0 0 0](MS Sans Serif 16)Last\n"
                                  "[0 0 0 0]\n");
  ExpectRoundTrip();
}

TEST_F(Rtf, DecodesBytesUnicodeAndSpecialCharacters) {
  Read("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 caf\\'e9 \\u8364? \\uc2\\u945 xx\\uc1 \\{\\}\\\\"
       "\\tab\\line\\~\\emdash\\bullet\\lquote\\rdblquote}");
  EXPECT_EQ(Document.toPlainText(), QString::fromUtf8("café € α{}\\\t\n \u2014\u2022\u2018\u201D"));
  ExpectRoundTrip();
}

TEST_F(Rtf, SkipsDestinationsWithoutTextAndIgnoresUnknownWords) {
  Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
       "\\f0 a{\\*\\unknown hidden{\\nested too}}b{\\pict\\wmetafile8 0102ff}c\\madeup42 d"
       "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}\\bin3 {}}e}");
  // The picture is shown (a metafile by a placeholder), but it is no text.
  EXPECT_EQ(Document.toPlainText(), QString("ab") + QChar::ObjectReplacementCharacter + "cdshowne");
  EXPECT_EQ(PlainTextOf(Document), "abcdshowne");
}

TEST_F(Rtf, PlainTextIsReadAsLines) {
  EXPECT_EQ(Read("one\r\ntwo\nthr\xe9"), "[0 0 0 0](MS Sans Serif 16)one\n[0 0 0 0](MS Sans Serif 16)two\n"
                                         "[0 0 0 0](MS Sans Serif 16)thr\xc3\xa9\n");
  Read("");
  EXPECT_TRUE(Document.isEmpty());
}

TEST_F(Rtf, TextWithoutFontWordsTakesTheDefaultFontOfTheTable) {
  EXPECT_EQ(Read("{\\rtf1\\deff1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\fs20 x\\f0 y\\plain z}"),
            "[0 0 0 0](Courier New 20)x(Arial 20)y(Courier New 24)z\n");
}

TEST_F(Rtf, BadInputEndsWhereItEnds) {
  const std::string cases[] = {
      "{\\rtf1 abc",                          // no end
      "{\\rtf1 a}b}}}c",                      // text after the end
      "{\\rtf1 a\\'4",                        // cut hex byte
      "{\\rtf1 a\\bin99999999 b}",            // binary data beyond the end
      "{\\rtf1 a\\u",                         // word cut
      "{\\rtf1 a\\fs-99999999999999 b\\li99999999999999 c}",
      "{\\rtf1{\\colortbl;\\red300;}\\cf99 x\\cf-1 y}",
      "{\\rtf1" + std::string(100000, '{') + "deep" + std::string(5, '}'),
      std::string("{\\rtf1 nul\0byte}", 16),
  };
  for (const std::string& rtf : cases) {
    ReadRtf(rtf, Document);
    EXPECT_FALSE(Document.toPlainText().isEmpty()) << rtf.substr(0, 40);
  }
  ReadRtf("{\\rtf1 a}b}}}c", Document);
  EXPECT_EQ(Document.toPlainText(), "a");
}

TEST_F(Rtf, WriterEscapesAndEncodesEveryCharacter) {
  Document.setPlainText(QString::fromUtf8("{x}\\ caf\u00e9 \u20ac \u03b1 \U0001F600\tend"));
  const std::string written = WriteRtf(Document);
  EXPECT_NE(written.find("\\{x\\}\\\\ caf\\'e9 \\'80 \\u945\\'3f \\u-10179\\'3f\\u-8704\\'3f\\tab end"), std::string::npos)
      << written;
  for (char c : written) EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << written;
  ExpectRoundTrip();
  // The program's own plain-text reader sees the same text.
  EXPECT_EQ(RtfToPlainText(written), "{x}\\ caf\xe9 \x80 ? ?\tend");
}

TEST_F(Rtf, WriterStartsLikeTheControlAndListsFontsAndColours) {
  Read(kControlOutput);
  std::string written = WriteRtf(Document);
  // The list table for word processors comes between the colour table and the text.
  const size_t lists = written.find("{\\*\\listtable"), text = written.find("\\viewkind4");
  ASSERT_LT(lists, text);
  const std::string overrides = "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\r\n";
  EXPECT_EQ(written.substr(text - overrides.size(), overrides.size()), overrides) << written;
  written.erase(lists, text - lists);
  EXPECT_EQ(written.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}"
                          "{\\f1\\fnil\\fcharset0 Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
                          "\r\n\\viewkind4\\uc1\\pard\\f0\\fs16 Plain \\b bold",
                          0),
            0u)
      << written;
  EXPECT_EQ(RtfToPlainText(written), RtfToPlainText(kControlOutput));
}

TEST_F(Rtf, AnEmptyDocumentRoundTrips) {
  Document.clear();
  ExpectRoundTrip();
  ReadRtf(WriteRtf(Document), Document);
  EXPECT_TRUE(Document.isEmpty());
}

// Found by fuzzing: the empty last paragraph took the format from outside the document.
TEST_F(Rtf, TheLastParagraphKeepsTheFormatInForceAtTheEnd) {
  EXPECT_EQ(Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\qc\\li300 one\\par}"), "[2 300 0 0](Arial 24)one\n[2 300 0 0]\n");
  ExpectRoundTrip();
}

// Found by fuzzing: control characters the writer drops left format words before the next
// paragraph, so a second write differed.
TEST_F(Rtf, DroppedCharactersLeaveNoFormatWords) {
  Read(std::string("\0\nrtf1\\\x01x", 10));
  const std::string written = WriteRtf(Document);
  EXPECT_EQ(written.find("\\fs16\\par"), std::string::npos) << written;
  ReadRtf(written, Document);
  EXPECT_EQ(Document.toPlainText(), "\nrtf1\\x");
  EXPECT_EQ(WriteRtf(Document), written);
  // Nor do they stay in font names, which are read without surrounding blanks.
  Read("{\\rtf1{\\fonttbl{\\f0 Odd \\'01\t;}}\\f0 x}");
  EXPECT_EQ(Describe(Document), "[0 0 0 0](Odd 24)x\n");
  ExpectRoundTrip();
}

// Found by fuzzing: two fonts in one group of the font table.
TEST_F(Rtf, TwoFontsInOneGroupOfTheTableReadBackAlike) {
  Read("{\\rtf{\\fonttbl{\\f1\\fcharset2Symbol\\f3Symbol}}\\f3t\\f1n");
  ExpectRoundTrip();
}

// Found by fuzzing: a font used only by characters the writer drops stayed in the font table,
// so a second write differed.
TEST_F(Rtf, TheTablesHoldOnlyWhatTheTextUses) {
  Read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 MS Sans Serif;}{\\f1 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
       "\\f0 kept{\\f1\\cf1 \\'01}\\par}");
  const std::string written = WriteRtf(Document);
  EXPECT_EQ(written.find("Arial"), std::string::npos) << written;
  EXPECT_EQ(written.find("colortbl"), std::string::npos) << written;
  EXPECT_NE(written.find("fcharset0 MS Sans Serif;}}"), std::string::npos) << written;
  ReadRtf(written, Document);
  EXPECT_EQ(WriteRtf(Document), written);
}

// Long lists are read as lists of bounded size (adding to one list touches all its blocks);
// every paragraph is still a bullet and the text is written back as one list.
TEST_F(Rtf, ALongBulletListStaysOneListOfBullets) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\pard"
                    "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-200\\li200\\f0 ";
  for (int i = 0; i < 100; ++i) rtf += "{\\pntext\\f1\\'B7\\tab}Item " + std::to_string(i) + "\\par\r\n";
  rtf += "\\pard end}";
  Read(rtf);
  int bullets = 0;
  for (QTextBlock block = Document.begin(); block.isValid(); block = block.next())
    bullets += block.textList() && block.textList()->format().style() == QTextListFormat::ListDisc;
  EXPECT_EQ(bullets, 100);
  EXPECT_EQ(Document.blockCount(), 101);
  const std::string written = WriteRtf(Document);
  size_t formats = 0;
  for (size_t at = written.find("\\pnlvlblt"); at != std::string::npos; at = written.find("\\pnlvlblt", at + 1)) ++formats;
  EXPECT_EQ(formats, 1u) << written;
  ExpectRoundTrip();
  EXPECT_EQ(PlainTextOf(Document), RtfToPlainText(rtf));
}

TEST_F(Rtf, AFontKeepsItsCharsetAndItsTextIsWrittenAsUnicode) {
  const std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}{\\f1\\fnil Courier;}}"
                          "\\f0\\'cf\\'f0\\'e8 caf\\u233?\\f1  \\'c4\\'e0}";
  Read(rtf);
  EXPECT_EQ(Document.toPlainText(), QString::fromUtf8("При café Да"));
  const std::string written = WriteRtf(Document);
  // The Cyrillic font is written with its charset; its letters as Unicode with their byte in
  // the font's code page, Latin letters too, since a byte would be read in that code page.
  EXPECT_NE(written.find("\\fcharset204 Arial;"), std::string::npos) << written;
  EXPECT_NE(written.find("\\u1055\\'cf\\u1088\\'f0\\u1080\\'e8 caf\\u233\\'3f"), std::string::npos) << written;
  // A font without charset took the document's code page, which is not written: Unicode again.
  EXPECT_NE(written.find("\\u1044\\'3f\\u1072\\'3f"), std::string::npos) << written;
  ExpectRoundTrip();
  EXPECT_EQ(PlainTextOf(Document), RtfToPlainText(rtf));
}

TEST_F(Rtf, TablesAreReadAsTables) {
  const std::string cases[] = {
      "{\\rtf1 before\\par\\trowd\\cellx1440\\cellx2880\\intbl a\\cell b\\cell\\row\\intbl c\\cell d1\\par d2\\cell\\row"
      "\\pard after\\par}",
      "{\\rtf1\\intbl a\\cell\\row}",                    // a table first
      "{\\rtf1\\intbl a\\cell b\\row\\intbl c}",         // a cell without end, a row without end
      "{\\rtf1\\trowd\\cellx100\\intbl a\\cell b\\cell c\\cell\\row\\intbl x\\cell\\row}", // more cells than defined
      "{\\rtf1 x\\intbl y\\cell z}",                     // table words within a paragraph
      "{\\rtf1 a\\cell b\\row c}",                       // cells outside a table
      "{\\rtf\\intbl\\row",                            // a row without cells (found by fuzzing)
      "{\\rtf\\par\\intbl\\row",                       // after an empty paragraph
      "{\\rtf\\itap g\\itap0\\par\\}",                // a paragraph that ends outside its table
      "{\\rtf\\itap\\par",                              // an empty cell paragraph at the end
      "{\\rtf\\intbl x\\row\\li2",                      // a format after the last row
      "{\\rtf\\intbl\\cellx75796\\cell 0",              // cells wider than a page
      "{\\rtf{\\intbl\\par\\row}s",                     // a row ending an empty paragraph
      "{\\rtf1{\\*\\pn\\pndec}\\intbl x",                // a list item in a cell left open (found by fuzzing)
  };
  for (const std::string& rtf : cases) {
    ReadRtf(rtf, Document);
    EXPECT_EQ(PlainTextOf(Document), RtfToPlainText(rtf)) << rtf;
    ExpectRoundTrip();
  }
  ReadRtf(cases[0], Document);
  QTextCursor cursor(Document.begin().next().next()); // after the paragraph the table is anchored to
  QTextTable* table = cursor.currentTable();
  ASSERT_TRUE(table);
  EXPECT_EQ(table->rows(), 2);
  EXPECT_EQ(table->columns(), 2);
  EXPECT_EQ(QTextCursor(table->cellAt(1, 1).firstCursorPosition()).block().text(), "d1");
  EXPECT_EQ(table->format().columnWidthConstraints().value(1).rawValue(), 96);
  EXPECT_EQ(Document.lastBlock().previous().text(), "after");
}

// The note window asks for the format of the block under the cursor while the document changes.
TEST_F(Rtf, AnInvalidBlockHasThePlainParagraphFormat) {
  const TRtfParagraph paragraph = TRtfParagraph::FromBlock(QTextBlock());
  EXPECT_FALSE(paragraph.InTable);
  EXPECT_FALSE(paragraph.Bullet);
  EXPECT_EQ(RtfTableOf(QTextBlock()), nullptr);
}

// Found by fuzzing: a numbered list whose items change format restarted its numbers when read back.
TEST_F(Rtf, NumbersGoOnThroughAChangeOfParagraphFormat) {
  for (const std::string rtf : {"{\\rtf{\\pn\\pnlvl}\\par\\li7 x}",
                                "{\\rtf{\\pn\\pnlvl}\\\n{{\\pn}\\\n\\fi3\\par}", // two lists of one style
                                "{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pndec}one\\par\\qc two\\par\\ql three\\par}",
                                // a list within a list, and the outer list going on after it
                                "{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pndec}one\\par\\pard{\\*\\pn\\pnlvl2\\pnlcltr}sub\\par"
                                "\\pard{\\*\\pn\\pnlvlbody\\pnstart2\\pndec}two\\par}"}) {
    Read(rtf);
    ExpectRoundTrip();
  }
  std::vector<std::string> numbers;
  for (QTextBlock block = Document.begin(); block.isValid(); block = block.next())
    if (block.textList()) numbers.push_back(block.textList()->itemText(block).toStdString());
  EXPECT_EQ(numbers, (std::vector<std::string>{"1.", "a.", "2.", "3."}));
}

// Fault: what the writer wrote read wrong elsewhere: "\highlight0" and "\cb0" as a black
// background, a literal "?" after "\uN" as a reason to drop the next character, a link's
// instruction outside a group of its own as no link (and no text). A highlight or shading
// ends with its group, also at links, paragraph and cell ends.
TEST_F(Rtf, WhatTheWriterWritesReadsRightInOtherReaders) {
  const std::string colours = "{\\rtf1{\\colortbl;\\red255\\green255\\blue0;\\red192\\green192\\blue192;}";
  const struct {
    std::string rtf;
    const char* written; // the body as written
  } cases[] = {
      {colours + "\\highlight1 one\\par two {\\field{\\*\\fldinst HYPERLINK \"https://a.example/\"}{\\fldrslt link}} three"
                 "\\highlight0  plain}",
       "{\\highlight1 one}\\par\r\n{\\highlight1 two }{\\field{\\*\\fldinst{HYPERLINK \"https://a.example/\"}}"
       "{\\fldrslt {\\highlight1 link}}}{\\highlight1  three} plain"},
      {colours + "\\cb2 a\\highlight1 b\\cb0 c\\highlight0 d\\cb2\\highlight1 e}",
       "\\fs24{\\cb1 a\\highlight2 b}{\\highlight2 c}d{\\highlight2\\cb1 e}"},
      {colours + "\\trowd\\cellx1000\\cellx2000\\intbl\\highlight1 x\\cell y\\cell\\row\\pard\\highlight0 after}",
       "\\intbl\\f0\\fs24{\\highlight1 x}\\cell{\\highlight1 y}\\cell\\row\r\n\\pard after"},
      {colours + "\\highlight1 a\\v b\\v0 c\\highlight0 d\\u960?\\u1488?\\uc2\\u-10179??\\u-8704??}",
       "{\\highlight1 a\\v b\\v0 c}d\\u960\\'3f\\u1488\\'3f\\u-10179\\'3f\\u-8704\\'3f"},
      // A bullet list: its list table's bullet has the same fallback.
      {"{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f2 Symbol;}}\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0"
       "{\\pntxtb\\'B7}}\\fi-200\\li200\\f0 One\\par}",
       "{\\leveltext\\'01\\u8226\\'3f;}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rtf);
    Read(c.rtf);
    const std::string written = WriteRtf(Document);
    EXPECT_NE(written.find(c.written), std::string::npos) << written;
    EXPECT_FALSE(std::regex_search(written, std::regex(R"(\\u-?[0-9]+ ?\?)"))) << written;
    int depth = 0;
    for (char ch : written) depth += ch == '{' ? 1 : ch == '}' ? -1 : 0;
    EXPECT_EQ(depth, 0);
    ExpectRoundTrip();
  }
}
