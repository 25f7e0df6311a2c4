#include "RtfReader.h"

#include "RtfFormat.h"
#include "platform/Ansi.h"
#include "platform/RtfText.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace qel {
namespace {

// What the text of a group is for.
enum class TDest { Text, Skip, FontTable, ColorTable, Bullet };

struct TGroupState {
  TRtfRun Run;
  TRtfParagraph Paragraph;
  TDest Dest = TDest::Text;
  int Uc = 1;
};

// Words that start a group whose content is not text.
constexpr std::string_view kSkipped[] = {
    "annotation", "atnauthor", "atndate", "atnid", "author", "buptim", "comment", "creatim",
    "datastore", "doccomm", "fldinst", "footer", "footerf", "footerl", "footerr", "footnote",
    "header", "headerf", "headerl", "headerr", "info", "keywords", "latentstyles", "listoverridetable",
    "listtable", "listtext", "object", "operator", "pict", "pntext", "pntxta", "pntxtb",
    "printim", "revtbl", "revtim", "rsidtbl", "stylesheet", "subject", "title", "filetbl",
    "themedata", "colorschememapping", "xmlnstbl", "generator", "nonshppict", "shp", "tc", "xe"};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct TWord {
  std::string_view Name;
  bool HasParam = false;
  int32_t Param = 0;
  int32_t Or(int32_t fallback) const { return HasParam ? Param : fallback; }
};

class TRtfReader {
public:
  TRtfReader(std::string_view in, QTextDocument& document) : In(in), Cursor(&document) {}
  void Run();

private:
  static constexpr size_t kMaxDepth = 512;

  void OpenGroup();
  void CloseGroup();
  TWord ReadWord();
  void ControlWord(const TWord& word);
  bool CharacterWord(const TWord& word);
  bool ParagraphWord(const TWord& word);
  bool SpecialWord(const TWord& word);
  bool DestinationWord(const TWord& word);
  void ControlSymbol(char c);
  void ReadText();
  void HexByte();
  void Unicode(int32_t param);
  void SkipBinary(int32_t count);
  // One unit of text: dropped while the fallback of "\u" lasts.
  void Emit(char16_t c);
  void TextChar(char16_t c);
  void TableText(char16_t c);
  void CommitFont();
  void CommitColor();
  void FlushRun();
  void EndParagraph(bool last);
  void SetFont(int number);
  void SetColor(int index);
  TRtfRun PlainRun() const;
  // The state of the group that holds the current destination.
  TGroupState& DestinationOwner();

  std::string_view In;
  size_t Pos = 0;
  QTextCursor Cursor;
  std::vector<TGroupState> Outer;
  size_t Overflow = 0; // groups beyond kMaxDepth, read in their parent's state
  TGroupState State;
  bool Done = false;
  bool IgnorableNext = false; // "\*" seen: an unknown destination is skipped
  int FallbackLeft = 0;

  QString Pending; // text of the current run, in PendingRun's format
  TRtfRun PendingRun;
  QTextList* List = nullptr; // the bullet list the last paragraph joined

  std::map<int, QString> Fonts;
  int DefaultFont = 0;
  int FontNumber = 0;
  QString FontName;
  std::vector<QColor> Colors;
  int Red = 0, Green = 0, Blue = 0;
  bool ColorGiven = false;
};

void TRtfReader::Run() {
  State.Run = PlainRun();
  while (!Done && Pos < In.size()) {
    const char c = In[Pos];
    if (c == '{') {
      ++Pos;
      OpenGroup();
    } else if (c == '}') {
      ++Pos;
      CloseGroup();
    } else if (c == '\\') {
      ++Pos;
      if (Pos < In.size() && IsLetter(In[Pos]))
        ControlWord(ReadWord());
      else if (Pos < In.size())
        ControlSymbol(In[Pos++]);
    } else {
      ReadText();
    }
  }
  EndParagraph(true);
}

void TRtfReader::OpenGroup() {
  FallbackLeft = 0;
  if (IgnorableNext) State.Dest = TDest::Skip; // "\*" not followed by a word
  IgnorableNext = false;
  if (Outer.size() >= kMaxDepth) {
    ++Overflow;
    return;
  }
  Outer.push_back(State);
}

void TRtfReader::CloseGroup() {
  FallbackLeft = 0;
  IgnorableNext = false;
  if (State.Dest == TDest::FontTable) CommitFont();
  if (Overflow > 0) {
    --Overflow;
    return;
  }
  // The end of the document's own group ends the text; its state is the last paragraph's.
  if (Outer.size() <= 1) {
    Done = true;
    return;
  }
  State = Outer.back();
  Outer.pop_back();
}

TWord TRtfReader::ReadWord() {
  TWord word;
  const size_t start = Pos;
  while (Pos < In.size() && IsLetter(In[Pos]) && Pos - start < 32) ++Pos;
  word.Name = In.substr(start, Pos - start);
  const bool negative = Pos + 1 < In.size() && In[Pos] == '-' && IsDigit(In[Pos + 1]);
  if (negative) ++Pos;
  int64_t value = 0;
  for (; Pos < In.size() && IsDigit(In[Pos]); ++Pos) {
    word.HasParam = true;
    value = std::min<int64_t>(value * 10 + (In[Pos] - '0'), INT32_MAX);
  }
  word.Param = static_cast<int32_t>(negative ? -value : value);
  if (Pos < In.size() && In[Pos] == ' ') ++Pos; // the delimiter belongs to the word
  return word;
}

void TRtfReader::ControlWord(const TWord& word) {
  if (word.Name == "bin") return SkipBinary(word.Param);
  if (State.Dest == TDest::Skip) return;
  const bool ignorable = IgnorableNext;
  IgnorableNext = false;
  if (DestinationWord(word)) return;
  if (ignorable) {
    State.Dest = TDest::Skip;
    return;
  }
  if (FallbackLeft > 0) {
    --FallbackLeft;
    return;
  }
  if (CharacterWord(word) || ParagraphWord(word)) return;
  SpecialWord(word);
}

bool TRtfReader::DestinationWord(const TWord& word) {
  const std::string_view name = word.Name;
  if (name == "fonttbl") {
    State.Dest = TDest::FontTable;
  } else if (name == "colortbl") {
    State.Dest = TDest::ColorTable;
  } else if (name == "pn") {
    State.Dest = TDest::Bullet;
  } else if (std::find(std::begin(kSkipped), std::end(kSkipped), name) != std::end(kSkipped)) {
    State.Dest = TDest::Skip;
  } else {
    return false;
  }
  return true;
}

bool TRtfReader::CharacterWord(const TWord& word) {
  const std::string_view name = word.Name;
  TRtfRun& run = State.Run;
  if (name == "f" && State.Dest == TDest::FontTable) {
    CommitFont();
    FontNumber = word.Param;
  } else if (name == "f") {
    SetFont(word.Param);
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
    SetColor(word.Param);
  } else if (name == "plain") {
    run = PlainRun();
  } else if (name == "deff") {
    DefaultFont = word.Param;
  } else {
    return false;
  }
  return true;
}

bool TRtfReader::ParagraphWord(const TWord& word) {
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
  } else if (name == "pnlvlblt" && State.Dest == TDest::Bullet) {
    DestinationOwner().Paragraph.Bullet = true;
  } else {
    return false;
  }
  return true;
}

bool TRtfReader::SpecialWord(const TWord& word) {
  static const std::map<std::string_view, char16_t> kCharacters = {
      {"tab", u'\t'},        {"cell", u'\t'},       {"line", u'\x2028'},   {"bullet", u'\x2022'},
      {"emdash", u'\x2014'}, {"endash", u'\x2013'}, {"lquote", u'\x2018'}, {"rquote", u'\x2019'},
      {"ldblquote", u'\x201C'}, {"rdblquote", u'\x201D'}, {"emspace", u'\x2003'}, {"enspace", u'\x2002'}};
  const std::string_view name = word.Name;
  if (name == "par" || name == "page" || name == "sect" || name == "row") {
    if (State.Dest == TDest::Text) EndParagraph(false);
  } else if (name == "u") {
    if (word.HasParam) Unicode(word.Param);
  } else if (name == "uc") {
    State.Uc = std::clamp(word.Or(1), 0, 255);
  } else if (name == "red" || name == "green" || name == "blue") {
    int& component = name == "red" ? Red : name == "green" ? Green : Blue;
    component = std::clamp(word.Param, 0, 255);
    ColorGiven = true;
  } else if (auto found = kCharacters.find(name); found != kCharacters.end()) {
    TextChar(found->second);
  } else {
    return false;
  }
  return true;
}

void TRtfReader::ControlSymbol(char c) {
  if (c == '*') {
    IgnorableNext = true;
    return;
  }
  if (State.Dest == TDest::Skip) return;
  switch (c) {
  case '\'': HexByte(); break;
  case '\\':
  case '{':
  case '}': Emit(static_cast<char16_t>(c)); break;
  case '~': Emit(u'\xA0'); break;
  case '_': Emit(u'\x2011'); break;
  case '-': Emit(u'\xAD'); break;
  case '\r':
  case '\n':
    if (FallbackLeft > 0)
      --FallbackLeft;
    else if (State.Dest == TDest::Text)
      EndParagraph(false);
    break;
  default:
    if (FallbackLeft > 0) --FallbackLeft;
  }
}

void TRtfReader::ReadText() {
  while (Pos < In.size()) {
    const char c = In[Pos];
    if (c == '{' || c == '}' || c == '\\') return;
    ++Pos;
    if (State.Dest == TDest::Skip) continue;
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && byte != '\t') continue; // line ends and other controls are not text
    Emit(AnsiCharToUtf16(byte));
  }
}

void TRtfReader::HexByte() {
  const int hi = Pos < In.size() ? HexValue(In[Pos]) : -1;
  const int lo = Pos + 1 < In.size() ? HexValue(In[Pos + 1]) : -1;
  if (hi < 0 || lo < 0) return;
  Pos += 2;
  Emit(AnsiCharToUtf16(static_cast<unsigned char>(hi * 16 + lo)));
}

void TRtfReader::Unicode(int32_t param) {
  if (FallbackLeft > 0) {
    --FallbackLeft;
    return;
  }
  const auto unit = static_cast<char16_t>(static_cast<uint32_t>(param) & 0xFFFF);
  if (unit != 0) TextChar(unit);
  FallbackLeft = State.Uc;
}

void TRtfReader::SkipBinary(int32_t count) {
  const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
  Pos += std::min(n, In.size() - Pos);
}

void TRtfReader::Emit(char16_t c) {
  if (FallbackLeft > 0) {
    --FallbackLeft;
    return;
  }
  TextChar(c);
}

void TRtfReader::TextChar(char16_t c) {
  switch (State.Dest) {
  case TDest::Text:
    if (!(State.Run == PendingRun)) {
      FlushRun();
      PendingRun = State.Run;
    }
    Pending += QChar(c);
    break;
  case TDest::FontTable:
  case TDest::ColorTable: TableText(c); break;
  default: break;
  }
}

void TRtfReader::TableText(char16_t c) {
  if (State.Dest == TDest::ColorTable) {
    if (c == u';') CommitColor();
  } else if (c == u';') {
    CommitFont();
  } else if (c >= 0x20) {
    FontName += QChar(c);
  }
}

void TRtfReader::CommitFont() {
  const QString name = FontName.trimmed();
  FontName.clear();
  if (name.isEmpty() || Fonts.count(FontNumber)) return;
  Fonts[FontNumber] = name;
  // The default font is known only now: the groups around the table take it.
  if (FontNumber == DefaultFont)
    for (TGroupState& outer : Outer)
      if (outer.Run.Family.isEmpty()) outer.Run.Family = name;
}

void TRtfReader::CommitColor() {
  Colors.push_back(ColorGiven ? QColor(Red, Green, Blue) : QColor());
  Red = Green = Blue = 0;
  ColorGiven = false;
}

void TRtfReader::SetFont(int number) {
  auto found = Fonts.find(number);
  State.Run.Family = found != Fonts.end() ? found->second : QString();
}

void TRtfReader::SetColor(int index) {
  State.Run.Color = index >= 0 && static_cast<size_t>(index) < Colors.size() ? Colors[index] : QColor();
}

TRtfRun TRtfReader::PlainRun() const {
  TRtfRun run;
  auto found = Fonts.find(DefaultFont);
  if (found != Fonts.end()) run.Family = found->second;
  return run;
}

TGroupState& TRtfReader::DestinationOwner() {
  for (auto it = Outer.rbegin(); it != Outer.rend(); ++it)
    if (it->Dest != TDest::Bullet) return *it;
  return State;
}

void TRtfReader::FlushRun() {
  if (Pending.isEmpty()) return;
  Cursor.insertText(Pending, PendingRun.ToCharFormat());
  Pending.clear();
}

void TRtfReader::EndParagraph(bool last) {
  FlushRun();
  const TRtfParagraph& paragraph = State.Paragraph;
  Cursor.setBlockFormat(paragraph.ToBlockFormat());
  if (!paragraph.Bullet) {
    if (QTextList* joined = Cursor.block().textList()) joined->remove(Cursor.block());
    List = nullptr;
  } else if (List) {
    List->add(Cursor.block());
  } else {
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    List = Cursor.createList(format);
  }
  if (!last) Cursor.insertBlock(paragraph.ToBlockFormat(), State.Run.ToCharFormat());
}

void ReadPlainText(std::string_view text, QTextDocument& document) {
  QString plain = QString::fromStdU16String(AnsiToUtf16(text));
  plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  document.setPlainText(plain);
}

} // namespace

void ReadRtf(std::string_view rtf, QTextDocument& document) {
  document.clear();
  if (!IsRtfText(rtf)) return ReadPlainText(rtf, document);
  TRtfReader(rtf, document).Run();
}

} // namespace qel
