#include "RtfReader.h"

#include "RtfFormat.h"
#include "platform/Ansi.h"
#include "platform/RtfText.h"
#include "platform/RtfTextPicture.h"
#include "platform/RtfTextScanner.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QtGui/private/qtextobject_p.h>
#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace qel {
namespace {

// Adds a block to a list. The text document marks every item of a list for a new layout
// whenever one is added, which makes reading a long list take quadratic time; a block after
// all of the list's items changes no other item's number, so the list holds none while it is
// added.
void AddToList(QTextList& list, const QTextBlock& block) {
  auto& blocks = static_cast<QTextBlockGroupPrivate*>(QObjectPrivate::get(&list))->blocks;
  if (blocks.isEmpty() || !(blocks.constLast() < block)) return list.add(block);
  QList<QTextBlock> held = std::exchange(blocks, {});
  list.add(block);
  held.append(blocks);
  blocks = std::move(held);
}

struct TGroupState {
  TRtfRun Run;
  TRtfParagraph Paragraph;
  TRtfDest Dest = TRtfDest::Text;
  bool ListKind = false; // a "{\pn}" group gave the paragraph's list its kind
};

// The document side of the scanner: formats by group, runs of text, paragraphs.
class TRtfReader : public TRtfSink {
public:
  TRtfReader(std::string_view in, QTextDocument& document) : Scanner(in, *this), Cursor(&document) {}
  void Run();

  void AnsiText(std::string_view text) override;
  void Text(std::u16string_view text) override;
  void Break(TRtfBreak kind) override;
  // Text that stands for a break: it shows, also within hidden text.
  void ShownText(std::u16string_view text);
  void GroupOpened() override { Outer.push_back(State); }
  void GroupClosed() override;
  void Destination(TRtfDest dest) override;
  void MarkerText(std::u16string_view text) override { Marker.append(QStringView(text.data(), static_cast<qsizetype>(text.size()))); }
  void FieldText(std::u16string_view text) override;
  void Word(const TRtfWord& word, TRtfDest dest) override;
  void FontAdded(int number) override;
  void Picture(std::string_view group, bool inResult) override;
  void Object(std::string_view group) override;

private:
  bool CharacterWord(const TRtfWord& word);
  bool ParagraphWord(const TRtfWord& word);
  void ListWord(const TRtfWord& word);
  void InsertPicture(const TRtfPicture& picture, std::string_view group, const TRtfRun& run);
  // Puts the cursor where the paragraph that starts goes: into a table, or out of it.
  void Place();
  void EnterTable();
  void LeaveTable();
  void NextRow();
  void MoveToCell();
  void EndCell(bool row);
  void EndRow();
  static void MarkOpen(QTextTableCell cell, int property, bool open = true);
  // Gives the current block the paragraph's format and list; returns the paragraph as applied.
  TRtfParagraph ApplyParagraph(TRtfParagraph paragraph, bool listKind);
  void StartRun();
  // The format of a run; the few formats a text uses are made once.
  const QTextCharFormat& CharFormat(const TRtfRun& run);
  const QTextBlockFormat& BlockFormat(const TRtfParagraph& paragraph);
  void FlushRun();
  void EndParagraph(bool last);
  void SetFont(TRtfRun& run, int number) const;
  QColor ColorOf(int index) const;
  TRtfRun PlainRun() const;
  // The state of the group that holds the current list format.
  TGroupState& ListOwner();

  TRtfScanner Scanner;
  QTextCursor Cursor;
  std::vector<TGroupState> Outer;
  TGroupState State;

  QString Pending; // text of the current run, in PendingRun's format
  TRtfRun PendingRun;
  // The lists that paragraphs are joining, by level, then by list and style; long bullet lists
  // are made of lists of a bounded size.
  struct TOpenList {
    QTextList* List = nullptr;
    int Size = 0;
    int Start = 0; // "\pnstart" of the "{\pn}" group that gave it last; 0: none
  };
  static constexpr int kLevels = 9;
  std::array<std::map<std::pair<int, TRtfListStyle>, TOpenList>, kLevels> Lists;
  // By level, then by style and "\ls": the list that an item joined last.
  std::array<std::map<std::pair<TRtfListStyle, int>, int>, kLevels> LastList;
  // By level: the style and "\ls" of the item before, where nothing came between but deeper items.
  std::array<std::optional<std::pair<TRtfListStyle, int>>, kLevels> LastKind;
  QString Instruction;  // of the field being read
  size_t FieldGroup = 0; // the field's group: its index in Outer
  int ListGroups = 0; // "{\pn}" groups read: each starts a list
  std::map<int, int> ListStarts; // "\pnstart" of the lists of "{\pn}" groups
  QString Marker;     // the list mark of the paragraph, "{\listtext ...}"
  TRtfTab Tab;        // the tab stop being read
  bool Placed = false; // the current paragraph is placed in or out of a table
  QTextTable* Table = nullptr; // the table being read
  int Row = 0, Column = 0;
  bool RowPending = false;  // "\row" read: the next cell content starts a row
  bool CellPending = false; // "\cell" read: the next cell content goes into the next cell
  std::vector<int> CellRights; // "\cellx" of the row definition: twips
  std::optional<TRtfParagraph> BlockParagraph; // the format the current block was made with
  std::deque<std::pair<TRtfRun, QTextCharFormat>> Formats;
  std::optional<std::pair<TRtfParagraph, QTextBlockFormat>> LastBlockFormat;
  std::optional<TRtfPicture> ResultPicture; // what shows the object being read
  static constexpr int kListChunk = 8;
};

void TRtfReader::Run() {
  State.Run = PlainRun();
  // One edit: the document reports one change, not one per paragraph, and records no undo
  // steps for the text it is given.
  QTextDocument& document = *Cursor.document();
  const bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  Cursor.beginEditBlock();
  Scanner.Run();
  EndParagraph(true);
  Cursor.endEditBlock();
  document.setUndoRedoEnabled(undo);
}

void TRtfReader::GroupClosed() {
  if (Outer.empty()) return;
  // The end of a field's instruction: the field's result takes the link from the field's group.
  if (State.Dest == TRtfDest::Field && FieldGroup + 1 == Outer.size()) {
    const QString instruction = Instruction.trimmed();
    Outer.back().Run.Link = RtfLinkTarget(instruction).isEmpty() ? QString() : instruction;
  }
  State = Outer.back();
  Outer.pop_back();
}

void TRtfReader::Word(const TRtfWord& word, TRtfDest dest) {
  if (dest == TRtfDest::ListFormat) return ListWord(word);
  if (dest != TRtfDest::Text) return;
  if (!CharacterWord(word)) ParagraphWord(word);
}

bool TRtfReader::CharacterWord(const TRtfWord& word) {
  const std::string_view name = word.Name;
  TRtfRun& run = State.Run;
  if (name == "f") {
    SetFont(run, word.Param);
  } else if (name == "highlight" || name == "chcbpat") {
    run.Highlight = word.Param > 0 ? ColorOf(word.Param) : QColor();
  } else if (name == "cb") {
    run.Shading = word.Param > 0 ? ColorOf(word.Param) : QColor();
  } else if (name == "super") {
    run.Script = TRtfScript::Super;
  } else if (name == "sub") {
    run.Script = TRtfScript::Sub;
  } else if (name == "nosupersub") {
    run.Script = TRtfScript::Normal;
  } else if (name == "up" || name == "dn") {
    run.OffsetHalfPoints = std::clamp(word.Or(6), 0, 3276) * (name == "up" ? 1 : -1);
  } else if (name == "fs") {
    run.HalfPoints = std::clamp(word.Or(24), 2, 3276);
  } else if (name == "b") {
    run.Bold = word.Or(1) != 0;
  } else if (name == "i") {
    run.Italic = word.Or(1) != 0;
  } else if (name == "ulnone") {
    run.Underline = false;
  } else if (name.substr(0, 2) == "ul" && name != "ulc") {
    run.Underline = word.Or(1) != 0;
  } else if (name == "strike" || name == "striked") {
    run.Strike = word.Or(1) != 0;
  } else if (name == "cf") {
    run.Color = ColorOf(word.Param);
  } else if (name == "v") {
    run.Hidden = word.Or(1) != 0;
  } else if (name == "plain") {
    run = PlainRun();
  } else {
    return false;
  }
  return true;
}

bool TRtfReader::ParagraphWord(const TRtfWord& word) {
  const std::string_view name = word.Name;
  TRtfParagraph& paragraph = State.Paragraph;
  if (name == "pard") {
    paragraph = TRtfParagraph();
    State.ListKind = false;
  } else if (name == "rtlpar" || name == "ltrpar") {
    paragraph.RightToLeft = name == "rtlpar";
  } else if (name == "ql") {
    paragraph.Align = TRtfAlign::Left;
  } else if (name == "qr") {
    paragraph.Align = TRtfAlign::Right;
  } else if (name == "qc") {
    paragraph.Align = TRtfAlign::Center;
  } else if (name == "qj") {
    paragraph.Align = TRtfAlign::Justify;
  } else if (name == "li") {
    paragraph.LeftTwips = std::clamp(word.Param, -31680, 31680);
  } else if (name == "ri") {
    paragraph.RightTwips = std::clamp(word.Param, -31680, 31680);
  } else if (name == "fi") {
    paragraph.FirstTwips = std::clamp(word.Param, -31680, 31680);
  } else if (name == "sb") {
    paragraph.SpaceBefore = std::clamp(word.Param, 0, 31680);
  } else if (name == "sa") {
    paragraph.SpaceAfter = std::clamp(word.Param, 0, 31680);
  } else if (name == "sl") {
    paragraph.LineSpacing = std::clamp(word.Param, -31680, 31680);
  } else if (name == "slmult") {
    paragraph.LineMultiple = word.Or(1) != 0;
  } else if (name == "tqr" || name == "tqc" || name == "tqdec") {
    Tab.Align = name == "tqr" ? TRtfAlign::Right : name == "tqc" ? TRtfAlign::Center : TRtfAlign::Justify;
  } else if (name == "tx") {
    Tab.Twips = std::clamp(word.Param, 0, 31680);
    if (paragraph.Tabs.size() < 64) paragraph.Tabs.push_back(Tab);
    Tab = TRtfTab();
  } else if (name == "ls") {
    paragraph.Bullet = word.Param > 0;
    paragraph.ListOverride = std::max(word.Param, 0);
    // Apart from the lists of "{\pn}" groups; a group read already decides the list.
    if (!State.ListKind) paragraph.ListId = -std::max(word.Param, 0);
  } else if (name == "intbl") {
    paragraph.InTable = word.Or(1) != 0;
  } else if (name == "itap") {
    paragraph.InTable = word.Or(1) > 0;
  } else if (name == "trowd") {
    CellRights.clear();
  } else if (name == "cellx") {
    if (CellRights.size() < 64) CellRights.push_back(std::clamp(word.Param, CellRights.empty() ? 0 : CellRights.back(), kRtfMaxCellRightTwips));
  } else if (name == "ilvl") {
    paragraph.ListLevel = std::clamp(word.Param, 0, 8);
  } else {
    return false;
  }
  return true;
}

void TRtfReader::Destination(TRtfDest dest) {
  State.Dest = dest;
  if (dest == TRtfDest::ListFormat) ListOwner().Paragraph.ListId = ++ListGroups;
  if (dest == TRtfDest::Field && !Outer.empty()) {
    Instruction.clear();
    FieldGroup = Outer.size() - 1;
  }
}

void TRtfReader::FieldText(std::u16string_view text) {
  Instruction.append(QStringView(text.data(), static_cast<qsizetype>(text.size())));
}

void TRtfReader::ListWord(const TRtfWord& word) {
  static const std::pair<std::string_view, TRtfListStyle> kStyles[] = {
      {"pndec", TRtfListStyle::Decimal},     {"pnlcltr", TRtfListStyle::LowerAlpha}, {"pnucltr", TRtfListStyle::UpperAlpha},
      {"pnlcrm", TRtfListStyle::LowerRoman}, {"pnucrm", TRtfListStyle::UpperRoman}};
  TGroupState& owner = ListOwner();
  TRtfParagraph& paragraph = owner.Paragraph;
  const std::string_view name = word.Name;
  if (name == "pnlvlblt") {
    owner.ListKind = true;
    paragraph.Bullet = true;
    paragraph.ListStyle = TRtfListStyle::Disc;
  } else if (name == "pnstart") {
    ListStarts[paragraph.ListId] = word.Param;
  } else if (name == "pnlvlbody" || name == "pnlvl") {
    owner.ListKind = true;
    paragraph.Bullet = true;
    if (paragraph.ListStyle == TRtfListStyle::Disc) paragraph.ListStyle = TRtfListStyle::Decimal;
    if (name == "pnlvl") paragraph.ListLevel = std::clamp(word.Param - 1, 0, 8);
  } else {
    for (const auto& [style, value] : kStyles)
      if (name == style) {
        // The kind alone makes a list level too.
        owner.ListKind = paragraph.Bullet = true;
        paragraph.ListStyle = value;
      }
  }
}

void TRtfReader::Place() {
  if (Placed) return;
  Placed = true;
  if (State.Paragraph.InTable && !Table)
    EnterTable();
  else if (!State.Paragraph.InTable && Table)
    LeaveTable();
  else if (Table && RowPending)
    NextRow();
  else if (Table && CellPending)
    MoveToCell();
}

void TRtfReader::EnterTable() {
  QTextTableFormat format;
  format.setBorder(1);
  format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
  format.setCellSpacing(0);
  format.setCellPadding(2);
  QList<QTextLength> widths;
  for (size_t i = 0; i < CellRights.size(); ++i) {
    const int left = i == 0 ? 0 : CellRights[i - 1];
    widths.append(QTextLength(QTextLength::FixedLength, std::max(CellRights[i] - left, 15) / kTwipsPerPixel));
  }
  if (!widths.isEmpty()) format.setColumnWidthConstraints(widths);
  Table = Cursor.insertTable(1, std::max<int>(static_cast<int>(CellRights.size()), 1), format);
  for (int column = 0; column < Table->columns(); ++column) MarkOpen(Table->cellAt(0, column), kRtfCellOpenProperty);
  MarkOpen(Table->cellAt(0, 0), kRtfRowOpenProperty);
  Row = Column = 0;
  RowPending = CellPending = false;
  BlockParagraph.reset();
}

void TRtfReader::LeaveTable() {
  Cursor = Table->lastCursorPosition();
  Cursor.movePosition(QTextCursor::NextBlock);
  Table = nullptr;
  BlockParagraph.reset();
}

void TRtfReader::NextRow() {
  RowPending = false;
  ++Row;
  Column = 0;
  if (Row >= Table->rows()) {
    Table->appendRows(1);
    for (int column = 0; column < Table->columns(); ++column) MarkOpen(Table->cellAt(Row, column), kRtfCellOpenProperty);
    MarkOpen(Table->cellAt(Row, 0), kRtfRowOpenProperty);
  }
  MoveToCell();
}

void TRtfReader::MoveToCell() {
  CellPending = false;
  if (Column >= Table->columns()) {
    Table->appendColumns(1);
    for (int row = 0; row < Table->rows(); ++row) MarkOpen(Table->cellAt(row, Column), kRtfCellOpenProperty);
  }
  Cursor = Table->cellAt(Row, Column).firstCursorPosition();
  BlockParagraph.reset();
}

void TRtfReader::MarkOpen(QTextTableCell cell, int property, bool open) {
  QTextCharFormat format = cell.format();
  if (open)
    format.setProperty(property, true);
  else
    format.clearProperty(property);
  cell.setFormat(format);
}

void TRtfReader::EndRow() {
  MarkOpen(Table->cellAt(Row, 0), kRtfRowOpenProperty, false);
  RowPending = true;
  CellPending = false;
  Placed = false;
}

void TRtfReader::EndCell(bool row) {
  if (row && Table && CellPending) { // after the row's last "\cell"
    EndRow();
    return;
  }
  Place();
  if (!Table) return row ? EndParagraph(false) : ShownText(u"\t");
  if (RowPending) NextRow(); // a row of no cells but this
  if (CellPending && !row) MoveToCell(); // an empty cell
  FlushRun();
  ApplyParagraph(State.Paragraph, State.ListKind);
  Placed = false;
  if (row) return EndRow();
  MarkOpen(Table->cellAt(Row, Column), kRtfCellOpenProperty, false);
  ++Column;
  CellPending = true; // entered when something comes for it
}

void TRtfReader::AnsiText(std::string_view text) {
  StartRun();
  for (const char c : text) Pending += QChar(AnsiCharToUtf16(static_cast<unsigned char>(c)));
}

void TRtfReader::Text(std::u16string_view text) {
  StartRun();
  Pending.append(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

void TRtfReader::ShownText(std::u16string_view text) {
  const bool hidden = std::exchange(State.Run.Hidden, false);
  Text(text);
  State.Run.Hidden = hidden;
}

void TRtfReader::Break(TRtfBreak kind) {
  switch (kind) {
  case TRtfBreak::Paragraph: EndParagraph(false); break;
  case TRtfBreak::Line: ShownText(u"\x2028"); break;
  case TRtfBreak::Cell: EndCell(false); break;
  case TRtfBreak::Row: EndCell(true); break;
  }
}

void TRtfReader::Picture(std::string_view group, bool inResult) {
  if (inResult)
    ResultPicture = ParseRtfPicture(group);
  else
    InsertPicture(ParseRtfPicture(group), group, State.Run);
}

void TRtfReader::Object(std::string_view group) {
  const TRtfPicture shown = ResultPicture ? *ResultPicture : ParseRtfPicture(group);
  ResultPicture.reset();
  if (Outer.empty() || Outer.back().Dest != TRtfDest::Text) return;
  InsertPicture(shown, group, Outer.back().Run); // in the format around the object
}

void TRtfReader::InsertPicture(const TRtfPicture& picture, std::string_view group, const TRtfRun& run) {
  Place();
  FlushRun();
  const QByteArray bytes(group.data(), static_cast<qsizetype>(group.size()));
  Cursor.insertImage(RtfImageFormat(*Cursor.document(), picture, bytes, CharFormat(run)));
}

void TRtfReader::FontAdded(int number) {
  // The default font is known only now: the groups around the table take it.
  if (number != Scanner.DefaultFont()) return;
  for (TGroupState& outer : Outer)
    if (outer.Run.Family.isEmpty()) SetFont(outer.Run, number);
}

void TRtfReader::SetFont(TRtfRun& run, int number) const {
  auto found = Scanner.Fonts().find(number);
  if (found == Scanner.Fonts().end()) {
    run.Family.clear();
    run.Charset = -1;
    return;
  }
  run.Family = QString::fromStdU16String(found->second.Name);
  // Charsets other than the code page's own are kept for writing the font back; a symbol font's
  // own is what the writer gives it anyway.
  const int charset = found->second.Charset;
  run.Charset = charset == 0 || charset == 1 || (charset == 2 && IsSymbolFont(run.Family)) ? -1 : charset;
}

QColor TRtfReader::ColorOf(int index) const {
  const std::vector<TRtfColor>& colors = Scanner.Colors();
  if (index < 0 || static_cast<size_t>(index) >= colors.size() || !colors[index].Given) return QColor();
  return QColor(colors[index].Red, colors[index].Green, colors[index].Blue);
}

TRtfRun TRtfReader::PlainRun() const {
  TRtfRun run;
  SetFont(run, Scanner.DefaultFont());
  return run;
}

TGroupState& TRtfReader::ListOwner() {
  for (auto it = Outer.rbegin(); it != Outer.rend(); ++it)
    if (it->Dest != TRtfDest::ListFormat) return *it;
  return State;
}

void TRtfReader::StartRun() {
  Place();
  if (State.Run == PendingRun) return;
  FlushRun();
  PendingRun = State.Run;
}

const QTextBlockFormat& TRtfReader::BlockFormat(const TRtfParagraph& paragraph) {
  if (!LastBlockFormat || !(LastBlockFormat->first == paragraph))
    LastBlockFormat.emplace(paragraph, paragraph.ToBlockFormat());
  return LastBlockFormat->second;
}

const QTextCharFormat& TRtfReader::CharFormat(const TRtfRun& run) {
  for (const auto& [known, format] : Formats)
    if (known == run) return format;
  if (Formats.size() >= 16) Formats.pop_front();
  Formats.emplace_back(run, run.ToCharFormat());
  return Formats.back().second;
}

void TRtfReader::FlushRun() {
  if (Pending.isEmpty()) return;
  if (PendingRun.Hidden)
    Cursor.insertText(QString(QChar::ObjectReplacementCharacter), RtfHiddenTextFormat(CharFormat(PendingRun), Pending));
  else
    Cursor.insertText(Pending, CharFormat(PendingRun));
  Pending.clear();
}

void TRtfReader::EndParagraph(bool last) {
  if (last && Table && (RowPending || CellPending)) return; // the text ended with its cell or row
  if (!last) Place();
  FlushRun();
  const TRtfParagraph paragraph = ApplyParagraph(State.Paragraph, State.ListKind);
  if (last) return;
  Cursor.insertBlock(BlockFormat(paragraph), CharFormat(State.Run));
  BlockParagraph = paragraph;
  Placed = false;
}

TRtfParagraph TRtfReader::ApplyParagraph(TRtfParagraph paragraph, bool listKind) {
  // A word processor's list says its numbering in its list table; the mark it wrote out shows
  // it, unless a "{\pn}" group gave the kind.
  if (paragraph.Bullet && !listKind && !Marker.isEmpty()) paragraph.ListStyle = RtfListStyleOfMark(Marker);
  Marker.clear();
  if (!BlockParagraph || !(*BlockParagraph == paragraph)) Cursor.setBlockFormat(BlockFormat(paragraph));
  if (!paragraph.Bullet) {
    if (QTextList* joined = Cursor.block().textList()) joined->remove(Cursor.block());
    for (int level = 0; level < kLevels; ++level) {
      Lists[level].clear();
      LastList[level].clear();
      LastKind[level].reset();
    }
    return paragraph;
  }
  // An item added or removed by an edit touches every item of its list, so long bullet lists
  // are made of lists of a bounded size, which look the same; numbers must count on in one list.
  // A "{\pn}" group numbers on with the open list of its level, style and "\ls" that was used
  // last where it starts at the number that list has come to, or where it follows that list's
  // item with the same "\pnstart" or none (older word processors write a group for each
  // paragraph). Another "\pnstart" starts a new list.
  const int level = paragraph.ListLevel;
  const std::pair<TRtfListStyle, int> kind{paragraph.ListStyle, paragraph.ListOverride};
  const auto given = ListStarts.find(paragraph.ListId);
  const int start = given == ListStarts.end() ? 0 : given->second;
  if (auto last = LastList[level].find(kind); listKind && last != LastList[level].end()) {
    const TOpenList& before = Lists[level][{last->second, paragraph.ListStyle}];
    if (start == before.Size + 1 || (LastKind[level] == kind && (start == 0 || start == before.Start)))
      paragraph.ListId = last->second;
  }
  TOpenList& open = Lists[level][{paragraph.ListId, paragraph.ListStyle}];
  if (open.List && (paragraph.ListStyle != TRtfListStyle::Disc || open.Size < kListChunk)) {
    AddToList(*open.List, Cursor.block());
    ++open.Size;
  } else {
    open.List = Cursor.createList(RtfListFormat(paragraph));
    open.Size = 1;
  }
  if (start != 0) open.Start = start;
  // The mark is shown in the format of the paragraph's end, as word processors show it; in a
  // table the first block's format is its cell's.
  if (!Table) Cursor.setBlockCharFormat(CharFormat(State.Run));
  LastList[level][kind] = paragraph.ListId;
  LastKind[level] = kind;
  // A list item ends the deeper lists within it.
  for (int deeper = level + 1; deeper < kLevels; ++deeper) {
    Lists[deeper].clear();
    LastList[deeper].clear();
    LastKind[deeper].reset();
  }
  return paragraph;
}

void ReadPlainText(std::string_view text, QTextDocument& document) {
  QString plain = QString::fromStdU16String(AnsiToUtf16(text));
  plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  document.setPlainText(plain);
}

} // namespace

QString PlainUnicodeOf(const QTextDocument& document) {
  QString out;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    QString text = block.text();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    out += text;
    QTextTable* table = RtfTableOf(block);
    if (!table) {
      if (block.next().isValid() && !IsTableAnchor(block)) out += QLatin1String("\r\n");
      continue;
    }
    // In a table: a cell ends with a tab, a row with a line end, where the text ended them.
    const QTextTableCell cell = table->cellAt(block.position());
    if (block.position() + block.length() - 1 < cell.lastPosition()) {
      out += QLatin1String("\r\n");
      continue;
    }
    if (!cell.format().boolProperty(kRtfCellOpenProperty)) out += QLatin1Char('\t');
    if (cell.column() + cell.columnSpan() >= table->columns() &&
        !table->cellAt(cell.row(), 0).format().boolProperty(kRtfRowOpenProperty))
      out += QLatin1String("\r\n");
  }
  return out;
}

std::string PlainTextOf(const QTextDocument& document) {
  std::string out;
  AppendPlainAnsi(PlainUnicodeOf(document).toStdU16String(), out);
  return out;
}

void ReadRtf(std::string_view rtf, QTextDocument& document) {
  document.clear();
  if (!IsRtfText(rtf)) return ReadPlainText(rtf, document);
  TRtfReader(rtf, document).Run();
}

} // namespace qel
