#include "RtfReader.h"

#include "RtfFormat.h"
#include "platform/Ansi.h"
#include "platform/RtfText.h"
#include "platform/RtfTextPicture.h"
#include "platform/RtfTextScanner.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace qel {
namespace {

struct TGroupState {
  TRtfRun Run;
  TRtfParagraph Paragraph;
  TRtfDest Dest = TRtfDest::Text;
};

// The document side of the scanner: formats by group, runs of text, paragraphs.
class TRtfReader : public TRtfSink {
public:
  TRtfReader(std::string_view in, QTextDocument& document) : Scanner(in, *this), Cursor(&document) {}
  void Run();

  void AnsiText(std::string_view text) override;
  void Text(std::u16string_view text) override;
  void Break(TRtfBreak kind) override;
  void GroupOpened() override { Outer.push_back(State); }
  void GroupClosed() override;
  void Destination(TRtfDest dest) override { State.Dest = dest; }
  void Word(const TRtfWord& word, TRtfDest dest) override;
  void FontAdded(int number) override;
  void Picture(std::string_view group, bool inResult) override;
  void Object(std::string_view group) override;

private:
  bool CharacterWord(const TRtfWord& word);
  bool ParagraphWord(const TRtfWord& word);
  void ListWord(const TRtfWord& word);
  void InsertPicture(const TRtfPicture& picture, std::string_view group, const TRtfRun& run);
  void StartRun();
  // The format of a run; the few formats a text uses are made once.
  const QTextCharFormat& CharFormat(const TRtfRun& run);
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
  QTextList* List = nullptr; // the bullet list the last paragraph joined
  int ListSize = 0;
  std::optional<TRtfParagraph> BlockParagraph; // the format the current block was made with
  std::deque<std::pair<TRtfRun, QTextCharFormat>> Formats;
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
  } else {
    return false;
  }
  return true;
}

void TRtfReader::ListWord(const TRtfWord& word) {
  if (word.Name == "pnlvlblt") ListOwner().Paragraph.Bullet = true;
}

void TRtfReader::AnsiText(std::string_view text) {
  StartRun();
  for (const char c : text) Pending += QChar(AnsiCharToUtf16(static_cast<unsigned char>(c)));
}

void TRtfReader::Text(std::u16string_view text) {
  StartRun();
  Pending.append(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

void TRtfReader::Break(TRtfBreak kind) {
  switch (kind) {
  case TRtfBreak::Paragraph:
  case TRtfBreak::Row: EndParagraph(false); break;
  case TRtfBreak::Line: Text(u"\x2028"); break;
  case TRtfBreak::Cell: Text(u"\t"); break;
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
  // Charsets other than the code page's own are kept for writing the font back.
  const int charset = found->second.Charset;
  run.Charset = charset == 0 || charset == 1 ? -1 : charset;
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
  if (State.Run == PendingRun) return;
  FlushRun();
  PendingRun = State.Run;
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
  Cursor.insertText(Pending, CharFormat(PendingRun));
  Pending.clear();
}

void TRtfReader::EndParagraph(bool last) {
  FlushRun();
  const TRtfParagraph& paragraph = State.Paragraph;
  if (!BlockParagraph || !(*BlockParagraph == paragraph)) Cursor.setBlockFormat(paragraph.ToBlockFormat());
  if (!paragraph.Bullet) {
    if (QTextList* joined = Cursor.block().textList()) joined->remove(Cursor.block());
    List = nullptr;
  } else if (List && ListSize < kListChunk) {
    List->add(Cursor.block());
    ++ListSize;
  } else {
    // Adding a block to a list touches every block it holds, so long bullet lists are made of
    // lists of a bounded size, which look the same.
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    List = Cursor.createList(format);
    ListSize = 1;
  }
  if (last) return;
  Cursor.insertBlock(paragraph.ToBlockFormat(), CharFormat(State.Run));
  BlockParagraph = paragraph;
}

void ReadPlainText(std::string_view text, QTextDocument& document) {
  QString plain = QString::fromStdU16String(AnsiToUtf16(text));
  plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  document.setPlainText(plain);
}

} // namespace

std::string PlainTextOf(const QTextDocument& document) {
  std::string out;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block != document.begin()) out += "\r\n";
    QString text = block.text();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    AppendPlainAnsi(text.toStdU16String(), out);
  }
  return out;
}

void ReadRtf(std::string_view rtf, QTextDocument& document) {
  document.clear();
  if (!IsRtfText(rtf)) return ReadPlainText(rtf, document);
  TRtfReader(rtf, document).Run();
}

} // namespace qel
