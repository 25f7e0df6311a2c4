// Notes as word processors write them (links, right-to-left paragraphs, highlight, lists), and
// lists as the control writes them for word processors.
#include "GuiTest.h"
#include "RtfDescribe.h"
#include "platform/FileNames.h"
#include "platform/RtfText.h"
#include "platform/RtfTextScanner.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/richedit/RtfFormat.h"
#include "windows/richedit/RtfReader.h"
#include "windows/richedit/RtfWriter.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>
#include <vector>

using namespace qel;

namespace {

std::string Corpus(const std::string& name) { return ReadFileBytes(std::string(QEL_RTF_CORPUS) + "/" + name); }

// The paragraphs of rich text by their list ("\ls", 0: none) and level, as a reader of list
// tables sees them.
class TListParagraphs : public TRtfSink {
public:
  void AnsiText(std::string_view) override {}
  void Text(std::u16string_view) override {}
  void Break(TRtfBreak kind) override {
    if (kind == TRtfBreak::Paragraph) Paragraphs.emplace_back(Ls, Level);
  }
  void Word(const TRtfWord& word, TRtfDest dest) override {
    if (dest != TRtfDest::Text) return;
    if (word.Name == "pard") Ls = Level = 0;
    if (word.Name == "ls") Ls = word.Param;
    if (word.Name == "ilvl") Level = word.Param;
  }
  std::vector<std::pair<int, int>> Paragraphs;
  int Ls = 0, Level = 0;
};

// The marks a word processor shows for each paragraph of rich text ("-" outside lists), by the
// list table alone: each "\ls" counts its levels on its own, an item restarts the deeper levels.
std::vector<std::string> WordProcessorMarks(const std::string& rtf) {
  std::map<int, std::vector<int>> formats; // "\levelnfc" of each level, by list
  static const std::regex list(R"(\{\\list\\listtemplateid\d+(.*?)\\listid(\d+)\})");
  static const std::regex level(R"(\\levelnfc(\d+))");
  for (auto it = std::sregex_iterator(rtf.begin(), rtf.end(), list); it != std::sregex_iterator(); ++it) {
    const std::string levels = (*it)[1];
    std::vector<int>& of = formats[std::stoi((*it)[2])];
    for (auto l = std::sregex_iterator(levels.begin(), levels.end(), level); l != std::sregex_iterator(); ++l)
      of.push_back(std::stoi((*l)[1]));
  }
  std::map<int, int> listOf; // by "\ls"
  static const std::regex override(R"(\\listoverride\\listid(\d+)\\listoverridecount0\\ls(\d+))");
  for (auto it = std::sregex_iterator(rtf.begin(), rtf.end(), override); it != std::sregex_iterator(); ++it)
    listOf[std::stoi((*it)[2])] = std::stoi((*it)[1]);

  TListParagraphs paragraphs;
  TRtfScanner(rtf, paragraphs).Run();
  paragraphs.Break(TRtfBreak::Paragraph); // the last one
  std::map<int, std::vector<int>> counts;
  std::vector<std::string> marks;
  for (const auto& [ls, lvl] : paragraphs.Paragraphs) {
    const std::vector<int>& nfc = formats[listOf[ls]];
    if (ls == 0 || lvl >= static_cast<int>(nfc.size())) {
      marks.push_back(ls == 0 ? "-" : "?");
      continue;
    }
    std::vector<int>& count = counts[ls];
    count.resize(9);
    const int number = ++count[lvl];
    for (int deeper = lvl + 1; deeper < 9; ++deeper) count[deeper] = 0;
    static const std::map<int, TRtfListStyle> kStyles = {{0, TRtfListStyle::Decimal},    {1, TRtfListStyle::UpperRoman},
                                                         {2, TRtfListStyle::LowerRoman}, {3, TRtfListStyle::UpperAlpha},
                                                         {4, TRtfListStyle::LowerAlpha}};
    marks.push_back(nfc[lvl] == 23 ? "*" : kStyles.count(nfc[lvl]) ? RtfListMark(kStyles.at(nfc[lvl]), number).toStdString() : "?");
    marks.back() += "/" + std::to_string(lvl);
  }
  return marks;
}

// The marks the control shows, in the same form.
std::vector<std::string> ShownMarks(const QTextDocument& document) {
  std::vector<std::string> marks;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const QTextList* list = block.textList();
    if (!list) {
      marks.push_back("-");
      continue;
    }
    const TRtfParagraph paragraph = TRtfParagraph::FromBlock(block);
    marks.push_back((paragraph.ListStyle == TRtfListStyle::Disc ? "*" : list->itemText(block).toStdString()) + "/" +
                    std::to_string(paragraph.ListLevel));
  }
  return marks;
}

class RtfWordProcessor : public ::testing::Test {
protected:
  void SetUp() override { test::EnsureApplication(); }
};

struct TNoteCase {
  const char* File;
  const char* Shown; // the paragraphs and runs the control shows
  std::vector<const char*> Stored; // in what the control stores after an edit
};

} // namespace

// Each note shows its links, directions, highlight and lists, keeps its bytes unedited, keeps
// them all after one typed character and a store, and the control reads what it wrote the same.
TEST_F(RtfWordProcessor, NotesKeepLinksDirectionsHighlightAndListsThroughAnEdit) {
  const std::vector<TNoteCase> cases = {
      {"word-hyperlinks.rtf",
       "[0 0 0 0](Times New Roman 24)Search at (Times New Roman 24 u #0000ff link<https://example.com/find?q=1&r=2>)the "
       "example site(Times New Roman 24) or write to (Times New Roman 24 u #0000ff link<mailto:someone@example.org>)someone"
       "(Times New Roman 24).\n"
       "[0 0 0 0](Times New Roman 24)See (Times New Roman 24 u #0000ff link<#_Toc1>)the first part(Times New Roman 24) on "
       "page 1.\n"
       "[0 0 0 0]\n",
       {"{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/find?q=1&r=2\"}}{\\fldrslt \\ul\\cf1 the example site}}",
        "{\\field{\\*\\fldinst{HYPERLINK \"mailto:someone@example.org\"}}{\\fldrslt \\ul\\cf1 someone}}",
        "{\\field{\\*\\fldinst{HYPERLINK \\\\l \"_Toc1\"}}{\\fldrslt \\ul\\cf1 the first part}}"}},
      {"writer-links-rtl.rtf",
       "[0 0 0 0](Liberation Sans 24)An English line with a (Liberation Sans 24 u #000080 link<https://example.net/a?x=1&y=2>)"
       "link(Liberation Sans 24).\n"
       "[1 0 0 0 rtl](Arial 24 charset177)שלום (Arial 24 u #000080 charset177 link<https://example.org/he?a=1&b=2>)קישור"
       "(Arial 24 charset177).\n"
       "[2 0 0 0 rtl](Arial 24 charset177)שלום\n"
       "[2 0 0 0 rtl]\n",
       {"\\pard\\rtlpar\\qr", "\\pard\\rtlpar\\qc", "{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/he?a=1&b=2\"}}"}},
      {"writer-highlight.rtf",
       "[0 0 0 0](Arial 20)Plain (Arial 20 highlight#ffff00)yellow by pattern(Arial 20) and (Arial 20 highlight#00ff00 "
       "shading#00ff00)green both(Arial 20) and (Arial 20 shading#c0c0c0)grey shading(Arial 20) and (Arial 20 "
       "highlight#ffff00)yellow(Arial 20).\n"
       "[0 0 0 0]\n",
       // A highlight or shading ends with its group: some readers take "\\highlight0" for black.
       {"Plain {\\highlight1 yellow by pattern} and {\\highlight2\\cb2 green both} and {\\cb3 grey shading} and "
        "{\\highlight1 yellow}."}},
      {"converter-numbered-lists.rtf",
       "[0 0 0 0](Times New Roman 24)Steps:\n"
       "[0 720 0 -360 bullet list1/0 1.](Times New Roman 24)Open the box\n"
       "[0 720 0 -360 bullet list1/0 2.](Times New Roman 24)Take the lid off\n"
       "[0 0 0 0](Times New Roman 24)Options:\n"
       "[0 720 0 -360 bullet list2/0 a.](Times New Roman 24)First option\n"
       "[0 720 0 -360 bullet list2/0 b.](Times New Roman 24)Second option\n"
       "[0 720 0 -360 bullet list5/0 I.](Times New Roman 24)Part one\n"
       "[0 720 0 -360 bullet list5/0 II.](Times New Roman 24)Part two\n"
       "[0 720 0 -360 bullet list5/0 III.](Times New Roman 24)Part three\n"
       "[0 0 0 0](Times New Roman 24)Done.\n"
       "[0 0 0 0]\n",
       {"\\pnstart1\\pndec", "\\pnstart1\\pnlcltr", "\\pnstart1\\pnucrm"}},
      {"word-nested-lists.rtf",
       "[0 0 0 0](Times New Roman 24)Packing:\n"
       "[0 720 0 -360 bullet](Times New Roman 24)Clothes\n"
       "[0 1440 0 -360 bullet list0/1](Times New Roman 24)Shirts\n"
       "[0 1440 0 -360 bullet list0/1](Times New Roman 24)Socks\n"
       "[0 720 0 -360 bullet](Times New Roman 24)Books\n"
       "[0 0 0 0](Times New Roman 24)Monday:\n"
       "[0 720 0 -360 bullet list1/0 1.](Times New Roman 24)Write\n"
       "[0 720 0 -360 bullet list1/0 2.](Times New Roman 24)Post\n"
       "[0 0 0 0](Times New Roman 24)Tuesday:\n"
       "[0 720 0 -360 bullet list1/0 1.](Times New Roman 24)Read\n"
       "[0 720 0 -360 bullet list1/0 2.](Times New Roman 24)Answer\n"
       "[0 720 0 -360 bullet]\n",
       {"{\\*\\listtable", "{\\*\\listoverridetable"}},
  };
  for (const TNoteCase& note : cases) {
    SCOPED_TRACE(note.File);
    const std::string stored = test::ExpectKeptThroughAnEdit(Corpus(note.File), note.Shown, note.Stored);
    // A word processor numbers the lists as the control shows them.
    QTextDocument again;
    ReadRtf(stored, again);
    EXPECT_EQ(WordProcessorMarks(stored), ShownMarks(again)) << stored;
  }
}

// Lists of every shape the control makes are written so that a word processor numbers them as
// the control shows them, and the control reads them back unchanged.
TEST_F(RtfWordProcessor, ListsAreWrittenSoWordProcessorsNumberThemAsShown) {
  const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
      {"<ul><li>Clothes<ul><li>Shirts</li><li>Socks</li></ul></li><li>Books</li></ul>",
       {"*/0", "*/1", "*/1", "*/0"}},
      {"<ol><li>Write</li><li>Post</li></ol><p>Tuesday</p><ol><li>Read</li><li>Answer</li></ol>",
       {"1./0", "2./0", "-", "1./0", "2./0"}},
      {"<ol><li>One</li><li>Two</li></ol><ol type=\"a\"><li>x</li></ol><ol><li>Again</li></ol><ul><li>dot</li></ul>",
       {"1./0", "2./0", "a./0", "1./0", "*/0"}},
      {"<ol><li>A<ol type=\"a\"><li>a1</li><li>a2</li></ol></li><li>B<ol type=\"i\"><li>b1</li></ol></li><li>C<ul><li>c</li></ul></li></ol>",
       {"1./0", "a./1", "b./1", "2./0", "i./1", "3./0", "*/1"}},
      {"<ol><li>one</li><li align=\"center\">two</li><li>three</li></ol><ol><li>new</li></ol>",
       {"1./0", "2./0", "3./0", "1./0"}},
      {"<ul><li>1</li><li>2</li><li>3</li><li>4</li><li>5</li><li>6</li><li>7</li><li>8</li><li>9</li><li>10</li>"
       "<li>11<ol><li>in</li></ol></li><li>12</li></ul>",
       {"*/0", "*/0", "*/0", "*/0", "*/0", "*/0", "*/0", "*/0", "*/0", "*/0", "*/0", "1./1", "*/0"}},
      // Found by fuzzing: a bullet list going on after a numbered one was written differently
      // the second time.
      {"{\\rtf1{\\listtext \\'b7\\tab}\\pard\\ls1 Read\\par{\\listtext 1.\\tab}\\pard\\ls2 Answer\\par"
       "{\\listtext \\'b7\\tab}\\pard\\ls1 Last\\par\\pard\\par}",
       {"*/0", "1./0", "*/0", "-", "-"}},
  };
  for (const auto& [text, marks] : cases) {
    SCOPED_TRACE(text);
    QTextDocument made;
    if (IsRtfText(text))
      ReadRtf(text, made);
    else
      made.setHtml(text);
    // What the control shows after reading its own text is what a word processor must show.
    QTextDocument document;
    ReadRtf(WriteRtf(made), document);
    EXPECT_EQ(ShownMarks(document), marks);
    const std::string written = WriteRtf(document);
    EXPECT_EQ(WordProcessorMarks(written), marks) << written;
    QTextDocument again;
    ReadRtf(written, again);
    EXPECT_EQ(test::DescribeRtfDocument(again), test::DescribeRtfDocument(document));
    EXPECT_EQ(WriteRtf(again), written);
  }
}

namespace {

// A bullet list as the control writes it where each item's format differs from the one before:
// a "{\pn}" group for every paragraph; every third item is a numbered item a level deeper.
std::string PerParagraphList(int paragraphs) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\viewkind4\\uc1";
  for (int i = 0; i < paragraphs; ++i)
    rtf += std::string("\\pard{\\*\\pn") + (i % 3 == 2 ? "\\pnlvlbody\\pndec" : "\\pnlvlblt") + "\\pnindent0\\pnstart1}" +
           (i % 2 ? "\\qc" : "") + (i % 3 == 2 ? "\\ilvl1" : "") + " Item " + std::to_string(i) + "\\par\r\n";
  return rtf + "}";
}

} // namespace

// Reading a long list takes linear time (a quadratic reader needs many seconds for 40,000
// paragraphs; bench_rtf has the figures).
TEST_F(RtfWordProcessor, LongListsWithAGroupForEachItemReadInLinearTime) {
  const std::string rtf = PerParagraphList(40000);
  QTextDocument document;
  const auto start = std::chrono::steady_clock::now();
  ReadRtf(rtf, document);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(document.blockCount(), 40001);
  const QTextBlock last = document.findBlockByNumber(39998);
  ASSERT_TRUE(last.textList());
  EXPECT_EQ(last.textList()->itemText(last), "1.");
  EXPECT_TRUE(document.findBlockByNumber(39999).textList());
  EXPECT_LT(seconds, 5.0);
}
