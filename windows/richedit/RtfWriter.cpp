#include "RtfWriter.h"

#include "RtfFormat.h"
#include "platform/Ansi.h"
#include "platform/RtfTextCodePage.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <algorithm>
#include <array>
#include <cmath>
#include <QUrl>
#include <QTextDocument>
#include <QTextFragment>
#include <map>
#include <optional>
#include <utility>
#include <unordered_map>
#include <vector>

namespace qel {
namespace {

// The Windows-1252 byte of a character, or none when the code page lacks it.
std::optional<unsigned char> AnsiByte(char16_t c) {
  static const auto table = [] {
    std::unordered_map<char16_t, unsigned char> bytes;
    for (int b = 0x80; b < 0x100; ++b) bytes.emplace(AnsiCharToUtf16(static_cast<unsigned char>(b)), b);
    return bytes;
  }();
  if (c < 0x80) return static_cast<unsigned char>(c);
  auto found = table.find(c);
  if (found == table.end()) return std::nullopt;
  return found->second;
}

template <class T> int IndexIn(std::vector<T>& list, const T& value) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] == value) return static_cast<int>(i);
  list.push_back(value);
  return static_cast<int>(list.size() - 1);
}

class TRtfWriter {
public:
  explicit TRtfWriter(const QTextDocument& document) : Document(document), DefaultFont(document.defaultFont()) {}
  std::string Run();

private:
  void Header();
  void Block(const QTextBlock& block);
  // Ends a paragraph that nothing ended yet.
  void EndParagraph();
  // Returns whether its last row was left open.
  bool Table(const QTextTable& table);
  void Paragraph(const QTextBlock& block, bool first);
  void ParagraphFormat(const TRtfParagraph& paragraph, int start, int ls);
  // The word processor's list ("\ls") a list paragraph goes in; 0 outside lists.
  int ListOverride(const QTextList* list, const TRtfParagraph& paragraph, bool restart);
  void ListTable();
  // A link's text goes in a field: "{\field{\*\fldinst ...}{\fldrslt ...}}".
  void OpenField(const QString& instruction);
  void CloseField();
  // A highlight or shading ends with a group of its own: readers take "\highlight0" and "\cb0"
  // for a black background.
  void CloseBackground();
  // Paragraph and cell marks show: the background and hiding of the text before them end first.
  void BeforeMark();
  void Picture(const QTextImageFormat& format);
  void RunFormat(const TRtfRun& run);
  void Word(const char* name);
  void Word(const char* name, int param);
  void Toggle(bool on, bool was, const char* name, const char* off);
  void Text(const QString& text);
  void Char(char16_t c);
  void Literal(char c);
  void Hex(unsigned char byte);

  const QTextDocument& Document;
  QFont DefaultFont;
  std::vector<std::pair<QString, int>> Fonts; // family and charset
  std::vector<QColor> Colors{QColor()}; // entry 0: the automatic colour
  std::string Out;
  bool NeedDelimiter = false;
  std::optional<TRtfRun> Current; // the run format in force; none before the first run
  std::optional<TRtfRun> Wanted;  // the format of the text to come
  TRtfParagraph CurrentParagraph;
  bool First = true;    // no paragraph written yet
  bool NeedPar = false; // a paragraph was written that nothing ended yet
  const QTextList* CurrentList = nullptr;
  std::unordered_map<const QTextList*, int> Numbers; // items written of each list
  // By level, then by style and "\ls": the list an item joined last.
  std::array<std::map<std::pair<TRtfListStyle, int>, const QTextList*>, 9> LastUsed;
  const TRtfCodePage* Page = nullptr; // of the current run's font, unless Windows-1252
  // Word processors number by a list table: each "\ls" is a list of its own, which holds at
  // each level one list of the document at a time, of one style.
  struct TOverride {
    std::array<std::optional<TRtfListStyle>, 9> Styles;
    std::array<const QTextList*, 9> Lists{};
  };
  std::vector<TOverride> Overrides; // "\ls" n is Overrides[n - 1]
  std::unordered_map<const QTextList*, int> OverrideOf;
  std::array<int, 9> BulletOverride{}; // by level: the "\ls" of the last bullet item since a paragraph outside lists
  int Override = 0;        // of the paragraph before
  int WrittenOverride = 0; // in the paragraph format written last
  QString Field;           // the instruction of the field open
  std::optional<TRtfRun> OutsideField; // the run format in force around it
  bool BackgroundOpen = false;              // the group of a highlight or shading
  std::optional<TRtfRun> OutsideBackground; // the run format in force around it
};

std::string TRtfWriter::Run() {
  // The body first: the tables then hold exactly the fonts and colours it uses.
  Fonts.emplace_back(DefaultFont.family(), -1);
  NeedDelimiter = true;
  bool openEnd = false; // the last table ended without "\row"
  for (auto it = Document.rootFrame()->begin(); !it.atEnd(); ++it) {
    if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
      openEnd = Table(*table);
      continue;
    }
    const QTextBlock block = it.currentBlock();
    if (!block.isValid() || IsTableAnchor(block)) continue;
    // What follows a table cut before its row ended is the document's empty end.
    if (std::exchange(openEnd, false) && block.length() <= 1 && !block.next().isValid()) continue;
    Block(block);
  }
  CloseBackground();
  Out += "\r\n}\r\n";
  std::string body = std::move(Out);
  Out.clear();
  Wanted.reset(); // the format of dropped trailing characters must not reach the tables
  Header();
  return Out + body;
}

void TRtfWriter::Header() {
  Out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
  for (size_t i = 0; i < Fonts.size(); ++i) {
    const auto& [family, charset] = Fonts[i];
    const int written = charset >= 0 ? charset : IsSymbolFont(family) ? 2 : 0;
    Out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(written) + " ";
    NeedDelimiter = false;
    const int page = TRtfCodePage::OfCharset(charset); // the name is read in its own code page
    Page = page != 0 && page != 1252 ? TRtfCodePage::Get(page) : nullptr;
    Text(family);
    Out += ";}";
  }
  Out += "}\r\n";
  if (Colors.size() > 1) {
    Out += "{\\colortbl ;";
    for (size_t i = 1; i < Colors.size(); ++i)
      Out += "\\red" + std::to_string(Colors[i].red()) + "\\green" + std::to_string(Colors[i].green()) + "\\blue" +
             std::to_string(Colors[i].blue()) + ";";
    Out += "}\r\n";
  }
  ListTable();
  Out += "\\viewkind4\\uc1";
  NeedDelimiter = true;
}

void TRtfWriter::EndParagraph() {
  if (!std::exchange(NeedPar, false)) return;
  BeforeMark();
  Word("par");
  Out += "\r\n";
  NeedDelimiter = false;
}

void TRtfWriter::Block(const QTextBlock& block) {
  EndParagraph();
  Paragraph(block, First);
  First = false;
  NeedPar = true;
}

bool TRtfWriter::Table(const QTextTable& table) {
  EndParagraph(); // the paragraph before the table
  const QList<QTextLength> widths = table.format().columnWidthConstraints();
  // Nothing but the document's empty end comes after the table.
  const QTextBlock after = table.lastCursorPosition().block().next();
  const bool atEnd = after.isValid() && after.length() <= 1 && !after.next().isValid();
  bool rowOpen = false;
  for (int row = 0; row < table.rows(); ++row) {
    Word("trowd");
    Word("trgaph", 108);
    int right = 0;
    for (int column = 0; column < table.columns(); ++column) {
      const QTextLength width = widths.value(column);
      right += width.type() == QTextLength::FixedLength ? static_cast<int>(std::lround(width.rawValue() * kTwipsPerPixel))
                                                        : 2880;
      right = std::min(right, kRtfMaxCellRightTwips);
      Word("cellx", right);
    }
    rowOpen = table.cellAt(row, 0).format().boolProperty(kRtfRowOpenProperty);
    for (int column = 0; column < table.columns(); ++column) {
      const QTextTableCell cell = table.cellAt(row, column);
      if (cell.row() != row || cell.column() != column) continue; // spanned
      // A cell that no "\cell" ended is the last of its row: only its text is written; in a row
      // that no "\row" ended either, without the empty paragraph at its end where the text went
      // on after the table.
      const bool open = cell.format().boolProperty(kRtfCellOpenProperty);
      std::vector<QTextBlock> blocks;
      for (auto it = cell.begin(); !it.atEnd(); ++it)
        if (it.currentBlock().isValid()) blocks.push_back(it.currentBlock());
      if (open && blocks.size() == 1 && blocks.back().length() <= 1) blocks.clear(); // never entered
      if (open && rowOpen && !blocks.empty() && blocks.back().length() <= 1 && !atEnd) blocks.pop_back();
      for (const QTextBlock& block : blocks) Block(block);
      if (!open) {
        BeforeMark();
        Word("cell");
        NeedPar = false;
      }
    }
    if (!rowOpen && !CurrentParagraph.InTable) { // a row of no written cell is still a table's
      Word("intbl");
      CurrentParagraph.InTable = true;
    }
    if (!rowOpen) {
      BeforeMark();
      Word("row");
      Out += "\r\n";
      NeedDelimiter = false;
      NeedPar = false;
    }
  }
  return rowOpen;
}

void TRtfWriter::Paragraph(const QTextBlock& block, bool first) {
  const TRtfParagraph paragraph = TRtfParagraph::FromBlock(block);
  // A new numbered list is a new "{\pn}" group, so that its numbers start again. A group that
  // starts past 1 goes on with the list of its level, style and "\ls" used last, as long as no
  // paragraph outside lists or of a shallower level came between (as ReadRtf reads it); a list
  // that cannot be gone on with so is written as a new one.
  const QTextList* list = block.textList();
  const bool numbered = list && paragraph.ListStyle != TRtfListStyle::Disc;
  const int level = std::clamp(paragraph.ListLevel, 0, 8);
  for (int deeper = list ? level + 1 : 0; deeper < 9; ++deeper) LastUsed[deeper].clear();
  const auto known = OverrideOf.find(list);
  const std::pair<TRtfListStyle, int> kind{paragraph.ListStyle, known == OverrideOf.end() ? 0 : known->second};
  const bool restart = numbered && list != CurrentList && LastUsed[level][kind] != list;
  if (restart) Numbers[list] = 0;
  const int ls = ListOverride(list, paragraph, restart);
  if (first || !(paragraph == CurrentParagraph) || (numbered && list != CurrentList) || ls != WrittenOverride)
    ParagraphFormat(paragraph, list ? Numbers[list] + 1 : 1, ls);
  if (list) LastUsed[level][{paragraph.ListStyle, ls}] = list;
  CurrentList = list;
  if (paragraph.Bullet) {
    // The mark written out, for readers without lists.
    const QString mark = RtfListMark(paragraph.ListStyle, ++Numbers[list]);
    Out += "{\\pntext";
    NeedDelimiter = true;
    if (paragraph.ListStyle == TRtfListStyle::Disc) {
      Out += "\\'b7";
      NeedDelimiter = false;
    } else {
      for (QChar c : mark) Literal(c.toLatin1());
    }
    Word("tab");
    Out += "}";
    NeedDelimiter = false;
  }
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    if (const QString field = fragment.charFormat().stringProperty(kRtfFieldProperty); field != Field) {
      CloseField();
      if (!field.isEmpty()) OpenField(field);
    }
    if (fragment.charFormat().isImageFormat()) {
      for (qsizetype i = 0; i < fragment.length(); ++i) Picture(fragment.charFormat().toImageFormat());
      continue;
    }
    Wanted = TRtfRun::FromCharFormat(fragment.charFormat(), DefaultFont);
    Text(Wanted->Hidden ? HiddenTextOf(fragment.charFormat()).repeated(fragment.length()) : fragment.text());
  }
  CloseField();
}

void TRtfWriter::OpenField(const QString& instruction) {
  Wanted.reset(); // no format words in the instruction
  CloseBackground();
  // The instruction in a group of its own, as some readers need it to keep the link.
  Out += "{\\field{\\*\\fldinst{";
  NeedDelimiter = false;
  Text(instruction);
  Out += "}}{\\fldrslt ";
  NeedDelimiter = false;
  Field = instruction;
  OutsideField = Current;
}

void TRtfWriter::CloseField() {
  if (Field.isEmpty()) return;
  CloseBackground();
  Out += "}}";
  NeedDelimiter = false;
  Field.clear();
  Current = OutsideField; // the groups' end restores it
}

int TRtfWriter::ListOverride(const QTextList* list, const TRtfParagraph& paragraph, bool restart) {
  if (!list) {
    BulletOverride.fill(0);
    return Override = 0;
  }
  const int level = std::clamp(paragraph.ListLevel, 0, 8);
  const TRtfListStyle style = paragraph.ListStyle;
  // The list can go in an "\ls" where its level has its style and holds it or nothing (a
  // shallower item ended what it held); bullets need no numbers to go on with.
  auto fits = [&](int ls) {
    const TOverride& entry = Overrides[ls - 1];
    if (entry.Styles[level] && *entry.Styles[level] != style) return false;
    const QTextList* held = entry.Lists[level];
    return held == list ? !restart : !held || style == TRtfListStyle::Disc;
  };
  int ls = 0;
  if (Override != 0) { // after a list paragraph: going back out to a list, or on in this one
    // Bullets go by what shows, as the lists that hold them are not read back as they were.
    const auto known = OverrideOf.find(list);
    if (style == TRtfListStyle::Disc && !fits(Override))
      ls = BulletOverride[level];
    else if (style != TRtfListStyle::Disc && known != OverrideOf.end() && !restart &&
             Overrides[known->second - 1].Lists[level] == list)
      ls = known->second;
    else if (fits(Override))
      ls = Override;
  }
  if (ls == 0) {
    Overrides.emplace_back();
    ls = static_cast<int>(Overrides.size());
  }
  TOverride& entry = Overrides[ls - 1];
  entry.Styles[level] = style;
  entry.Lists[level] = list;
  for (int deeper = level + 1; deeper < 9; ++deeper) entry.Lists[deeper] = nullptr;
  OverrideOf[list] = ls;
  if (style == TRtfListStyle::Disc) BulletOverride[level] = ls;
  return Override = ls;
}

void TRtfWriter::ListTable() {
  if (Overrides.empty()) return;
  // Number formats ("\levelnfc") by style; 23 is a bullet.
  static const int kFormats[] = {23, 0, 4, 3, 2, 1};
  Out += "{\\*\\listtable";
  for (size_t i = 0; i < Overrides.size(); ++i) {
    const std::string id = std::to_string(i + 1);
    Out += "\r\n{\\list\\listtemplateid" + id;
    for (int level = 0; level < 9; ++level) {
      const TRtfListStyle style = Overrides[i].Styles[level].value_or(TRtfListStyle::Disc);
      const std::string format = std::to_string(kFormats[static_cast<int>(style)]);
      const std::string indent = std::to_string(360 * (level + 1));
      Out += "{\\listlevel\\levelnfc" + format + "\\levelnfcn" + format +
             "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1";
      if (style == TRtfListStyle::Disc)
        Out += "{\\leveltext\\'01\\u8226\\'3f;}{\\levelnumbers;}";
      else // the level's number and a full stop
        Out += "{\\leveltext\\'02\\'0" + std::to_string(level) + ".;}{\\levelnumbers\\'01;}";
      Out += "\\fi-360\\li" + indent + "\\lin" + indent + "}";
    }
    Out += "{\\listname ;}\\listid" + id + "}";
  }
  Out += "}\r\n{\\*\\listoverridetable";
  for (size_t i = 0; i < Overrides.size(); ++i) {
    const std::string id = std::to_string(i + 1);
    Out += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + "}";
  }
  Out += "}\r\n";
}

void TRtfWriter::Picture(const QTextImageFormat& format) {
  // A picture read from rich text goes back as it came; another as a PNG picture.
  QByteArray group = format.property(kRtfGroupProperty).toByteArray();
  if (group.isEmpty()) {
    const QVariant resource = Document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image = resource.value<QImage>();
    if (image.isNull()) image = resource.value<QPixmap>().toImage();
    if (image.isNull()) return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const double width = format.width() > 0 ? format.width() : image.width();
    const double height = format.height() > 0 ? format.height() : image.height();
    group = "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" + QByteArray::number(image.height()) +
            "\\picwgoal" + QByteArray::number(qRound(width * kTwipsPerPixel)) + "\\pichgoal" +
            QByteArray::number(qRound(height * kTwipsPerPixel)) + "\r\n";
    const QByteArray hex = png.toHex();
    for (qsizetype at = 0; at < hex.size(); at += 128) group += hex.mid(at, 128) + "\r\n";
    group += "}";
  }
  Out.append(group.constData(), static_cast<size_t>(group.size()));
  NeedDelimiter = false;
}

void TRtfWriter::ParagraphFormat(const TRtfParagraph& paragraph, int start, int ls) {
  CurrentParagraph = paragraph;
  WrittenOverride = ls;
  Word("pard");
  if (paragraph.RightToLeft) Word("rtlpar");
  if (paragraph.Bullet) {
    static const char* const kStyles[] = {"pnlvlblt", "pndec", "pnlcltr", "pnucltr", "pnlcrm", "pnucrm"};
    if (paragraph.ListStyle == TRtfListStyle::Disc)
      Out += "{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'b7}}";
    else
      // A list that goes on after a change of paragraph format starts at the number it got to.
      Out += "{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart" + std::to_string(start) + "\\" +
             kStyles[static_cast<int>(paragraph.ListStyle)] +
             "{\\pntxta.}}";
    NeedDelimiter = false;
    // For word processors; the group before decides the list for ReadRtf.
    if (ls > 0) Word("ls", ls);
    if (paragraph.ListLevel > 0) Word("ilvl", paragraph.ListLevel);
  }
  static const char* const kAlign[] = {nullptr, "qr", "qc", "qj"};
  if (const char* align = kAlign[static_cast<int>(paragraph.Align)]) Word(align);
  if (paragraph.FirstTwips != 0) Word("fi", paragraph.FirstTwips);
  if (paragraph.LeftTwips != 0) Word("li", paragraph.LeftTwips);
  if (paragraph.RightTwips != 0) Word("ri", paragraph.RightTwips);
  if (paragraph.InTable) Word("intbl");
  if (paragraph.SpaceBefore != 0) Word("sb", paragraph.SpaceBefore);
  if (paragraph.SpaceAfter != 0) Word("sa", paragraph.SpaceAfter);
  if (paragraph.LineSpacing != 0) {
    Word("sl", paragraph.LineSpacing);
    Word("slmult", paragraph.LineMultiple ? 1 : 0);
  }
  static const char* const kTabAlign[] = {nullptr, "tqr", "tqc", "tqdec"};
  for (const TRtfTab& tab : paragraph.Tabs) {
    if (const char* align = kTabAlign[static_cast<int>(tab.Align)]) Word(align);
    Word("tx", tab.Twips);
  }
}

void TRtfWriter::CloseBackground() {
  if (!std::exchange(BackgroundOpen, false)) return;
  Out += '}';
  NeedDelimiter = false;
  Current = OutsideBackground;
}

void TRtfWriter::BeforeMark() {
  CloseBackground();
  if (!Current || !Current->Hidden) return;
  Word("v0");
  Current->Hidden = false;
}

void TRtfWriter::RunFormat(const TRtfRun& run) {
  if (BackgroundOpen && ((Current->Highlight.isValid() && !run.Highlight.isValid()) ||
                         (Current->Shading.isValid() && !run.Shading.isValid())))
    CloseBackground();
  if (!BackgroundOpen && (run.Highlight.isValid() || run.Shading.isValid())) {
    TRtfRun outside = run; // the other formats go before the group
    outside.Highlight = outside.Shading = QColor();
    RunFormat(outside);
    Out += '{';
    NeedDelimiter = false;
    BackgroundOpen = true;
    OutsideBackground = Current;
  }
  TRtfRun unknown;
  unknown.HalfPoints = -1;
  const TRtfRun was = Current.value_or(unknown);
  if (run.Family != was.Family || run.Charset != was.Charset || !Current)
    Word("f", IndexIn(Fonts, std::make_pair(run.Family, run.Charset)));
  const int page = TRtfCodePage::OfCharset(run.Charset);
  Page = page != 0 && page != 1252 ? TRtfCodePage::Get(page) : nullptr;
  if (run.HalfPoints != was.HalfPoints) Word("fs", run.HalfPoints);
  Toggle(run.Bold, was.Bold, "b", "b0");
  Toggle(run.Italic, was.Italic, "i", "i0");
  Toggle(run.Underline, was.Underline, "ul", "ulnone");
  Toggle(run.Strike, was.Strike, "strike", "strike0");
  Toggle(run.Hidden, was.Hidden, "v", "v0");
  if (run.Color != was.Color) Word("cf", run.Color.isValid() ? IndexIn(Colors, run.Color) : 0);
  if (run.Highlight != was.Highlight) Word("highlight", run.Highlight.isValid() ? IndexIn(Colors, run.Highlight) : 0);
  if (run.Shading != was.Shading) Word("cb", run.Shading.isValid() ? IndexIn(Colors, run.Shading) : 0);
  if (run.Script != was.Script)
    Word(run.Script == TRtfScript::Super ? "super" : run.Script == TRtfScript::Sub ? "sub" : "nosupersub");
  if (run.OffsetHalfPoints != was.OffsetHalfPoints) {
    if (run.OffsetHalfPoints >= 0)
      Word("up", run.OffsetHalfPoints);
    else
      Word("dn", -run.OffsetHalfPoints);
  }
  Current = run;
}

void TRtfWriter::Toggle(bool on, bool was, const char* name, const char* off) {
  if (on != was) Word(on ? name : off);
}

void TRtfWriter::Word(const char* name) {
  Out += '\\';
  Out += name;
  NeedDelimiter = true;
}

void TRtfWriter::Word(const char* name, int param) {
  Word(name);
  Out += std::to_string(param);
}

void TRtfWriter::Text(const QString& text) {
  for (QChar c : text) Char(c.unicode());
}

void TRtfWriter::Char(char16_t c) {
  // Formats are written just before text, so that text the writer drops leaves no words.
  if ((c < 0x20 && c != u'\t') || c == u'\xFFFC') return;
  if (Wanted) RunFormat(*std::exchange(Wanted, std::nullopt));
  switch (c) {
  case u'\t': Word("tab"); return;
  case u'\x2028': Word("line"); return;
  case u'\\':
  case u'{':
  case u'}':
    Literal('\\');
    Out += static_cast<char>(c);
    return;
  default: break;
  }
  if (c >= 0x20 && c < 0x80) return Literal(static_cast<char>(c));
  // Bytes of a font whose code page is not Windows-1252 would be read in that code page, so its
  // characters go as Unicode, with the byte of its code page for readers without Unicode.
  const std::optional<unsigned char> byte = Page ? std::nullopt : AnsiByte(c);
  if (byte) return Hex(*byte);
  Word("u", c < 0x8000 ? c : c - 0x10000);
  const std::string fallback = Page ? Page->Encode(c) : std::string();
  if (fallback.size() == 1 && static_cast<unsigned char>(fallback[0]) >= 0x80) {
    Hex(static_cast<unsigned char>(fallback[0]));
  } else {
    Hex('?'); // a literal "?" makes some readers drop the character after it
  }
}

void TRtfWriter::Hex(unsigned char byte) {
  static const char kHex[] = "0123456789abcdef";
  Out += "\\'"; // an escape needs no delimiter after a word
  NeedDelimiter = false;
  Out += kHex[byte >> 4];
  Out += kHex[byte & 15];
}

void TRtfWriter::Literal(char c) {
  if (NeedDelimiter) Out += ' ';
  NeedDelimiter = false;
  Out += c;
}

} // namespace

std::string WriteRtf(const QTextDocument& document) { return TRtfWriter(document).Run(); }

} // namespace qel
