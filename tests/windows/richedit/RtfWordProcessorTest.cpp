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
#include <QTextFragment>
#include <QTextList>
#include <chrono>
#include <functional>
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

// Numbered lists with a "{\pn}" group for each paragraph number on where an item follows one of
// its kind and level: as older word processors write them (each group starting at 1), as the
// control wrote them before it wrote list tables (a group where the format changes, starting at
// the item's number; a new list starting at 1), and as AbiWord writes them (beside "\ls", no
// mark written out). Each keeps its numbers, its bytes unedited, and everything through a typed
// character; a word processor numbers what is stored alike.
TEST_F(RtfWordProcessor, NumberedListsWithAGroupForEachItemNumberOnThroughAnEdit) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Times New Roman;}}\r\n"
       "\\pard Steps:\\par\r\n"
       "{\\pntext\\f0 1.\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}\\fi-360\\li720 Open\\par\r\n"
       "{\\pntext\\f0 2.\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}\\fi-360\\li720\\qc Lift\\par\r\n"
       "{\\pntext\\f0 3.\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}\\fi-360\\li720 Look\\par\r\n"
       "\\pard Options:\\par\r\n"
       "{\\pntext\\f0 a.\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pnlcltr{\\pntxta.}}\\fi-360\\li720 First\\par\r\n"
       "{\\pntext\\f0 b.\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pnlcltr{\\pntxta.}}\\fi-360\\li720 Second\\par\r\n"
       "{\\pntext\\f0 1.\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}\\fi-360\\li720 Again\\par\r\n"
       "\\pard Done.\\par\r\n}\r\n",
       {"-", "1./0", "2./0", "3./0", "-", "a./0", "b./0", "1./0", "-", "-"}},
      {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\viewkind4\\uc1"
       "\\pard{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1\\pndec{\\pntxta.}}{\\pntext 1.\\tab}one\\par\r\n"
       "\\pard{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart2\\pndec{\\pntxta.}}\\qc{\\pntext 2.\\tab}two\\par\r\n"
       "{\\pntext 3.\\tab}three\\par\r\n"
       "\\pard{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1\\pndec{\\pntxta.}}{\\pntext 1.\\tab}new\\par\r\n"
       "\\pard{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1\\pndec{\\pntxta.}}\\qc{\\pntext 2.\\tab}next\\par\r\n"
       "\\pard\\par\r\n}",
       {"1./0", "2./0", "3./0", "1./0", "2./0", "-", "-"}},
      {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Times New Roman;}}\r\n"
       "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}"
       "{\\levelnumbers\\'01;}}\\listid1}{\\list\\listtemplateid2{\\listlevel\\levelnfc4\\levelstartat1"
       "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}\\listid2}}\r\n"
       "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}"
       "{\\listoverride\\listid2\\listoverridecount0\\ls2}{\\listoverride\\listid1\\listoverridecount0\\ls3}}\r\n"
       "\\pard Steps:\\par\r\n"
       "{\\listtext\\tab}\\pard\\ls1\\ilvl0{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta.}}\\fi-360\\li720 Open\\par\r\n"
       "{\\listtext\\tab}\\pard\\ls1\\ilvl0{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta.}}\\fi-360\\li720 Lift\\par\r\n"
       "{\\listtext}\\pard\\ls2\\ilvl0{\\*\\pn\\pnlcltr}\\fi-360\\li720 First\\par\r\n"
       "{\\listtext}\\pard\\ls2\\ilvl0{\\*\\pn\\pnlcltr}\\fi-360\\li720 Second\\par\r\n"
       "{\\listtext}\\pard\\ls3\\ilvl0{\\*\\pn\\pndec}\\fi-360\\li720 Again\\par\r\n"
       "{\\listtext}\\pard\\ls3\\ilvl0{\\*\\pn\\pndec}\\fi-360\\li720 On\\par\r\n"
       "\\pard Done.\\par\r\n}\r\n",
       {"-", "1./0", "2./0", "a./0", "b./0", "1./0", "2./0", "-", "-"}},
  };
  for (const auto& [rtf, marks] : cases) {
    SCOPED_TRACE(rtf);
    TRichEditURL edit;
    edit.SetRichText(rtf);
    EXPECT_EQ(ShownMarks(*edit.document()), marks);
    EXPECT_EQ(edit.GetRichText(), rtf);
    // Each mark shows in its paragraph's font, the first one's too.
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
      if (block.textList()) {
        EXPECT_EQ(block.charFormat().font().toString().toStdString(),
                  block.begin().fragment().charFormat().font().toString().toStdString());
      }
    }

    std::string edited = test::DescribeRtfDocument(*edit.document());
    edited.insert(edited.find(')') + 1, "!");
    edit.setFocus();
    edit.moveCursor(QTextCursor::Start);
    QTest::keyClick(&edit, Qt::Key_Exclam);
    EXPECT_EQ(test::DescribeRtfDocument(*edit.document()), edited);
    EXPECT_EQ(ShownMarks(*edit.document()), marks);
    const std::string stored = edit.GetRichText();
    EXPECT_EQ(WordProcessorMarks(stored), marks) << stored;
    QTextDocument again;
    again.setDefaultFont(edit.document()->defaultFont());
    ReadRtf(stored, again);
    EXPECT_EQ(test::DescribeRtfDocument(again), edited) << stored;
    EXPECT_EQ(WriteRtf(again), stored);
  }
}

// A long list with a "{\pn}" group for each item is one list: an item added numbers on the
// items after it, and the stored text grows with the items' text, not with a list for each item.
TEST_F(RtfWordProcessor, AListWithAGroupForEachItemIsStoredAsOneList) {
  // Each item's start, by its number.
  const std::vector<std::function<std::string(int)>> forms = {
      [](int i) {
        return "{\\pntext\\f0 " + std::to_string(i) +
               ".\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}\\fi-360\\li720 ";
      },
      [](int) { return std::string("{\\listtext}\\pard\\ls1\\ilvl0{\\*\\pn\\pndec}\\fi-360\\li720 "); },
      [](int i) { // every other item centred
        return "\\pard{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart" + std::to_string(i) + "\\pndec{\\pntxta.}}" +
               (i % 2 ? " " : "\\qc ");
      },
  };
  constexpr int kItems = 1000;
  for (size_t form = 0; form < forms.size(); ++form) {
    SCOPED_TRACE(form);
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n";
    for (int i = 1; i <= kItems; ++i) rtf += forms[form](i) + "Item number " + std::to_string(i) + " of the long list\\par\r\n";
    rtf += "\\pard\\par\r\n}\r\n";
    TRichEditURL edit;
    edit.SetRichText(rtf);
    edit.setFocus();
    edit.setTextCursor(QTextCursor(edit.document()->findBlockByNumber(kItems / 2)));
    QTest::keyClick(&edit, Qt::Key_Return); // one item more in the middle: those after it number on
    const QTextBlock last = edit.document()->findBlockByNumber(kItems);
    ASSERT_TRUE(last.textList());
    EXPECT_EQ(last.textList()->itemText(last).toStdString(), std::to_string(kItems + 1) + ".");
    const std::string stored = edit.GetRichText();
    EXPECT_LT(stored.size(), rtf.size() * 3 / 2);
    const std::vector<std::string> marks = WordProcessorMarks(stored);
    ASSERT_EQ(marks.size(), kItems + 3u);
    EXPECT_EQ(marks[kItems], std::to_string(kItems + 1) + "./0");
  }
}
