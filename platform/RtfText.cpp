#include "RtfText.h"

#include "Ansi.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qel {
namespace {

enum class TWordKind { Skip, Text };

struct TWordEntry {
  std::string_view Word;
  TWordKind Kind;
  std::string_view Text; // what a text word stands for
};

// Sorted by word. Skip: a destination whose content is not text (its whole group is dropped).
constexpr TWordEntry kWords[] = {
    {"bullet", TWordKind::Text, "\x95"},
    {"cell", TWordKind::Text, "\t"},
    {"colortbl", TWordKind::Skip, {}},
    {"emdash", TWordKind::Text, "\x97"},
    {"endash", TWordKind::Text, "\x96"},
    {"filetbl", TWordKind::Skip, {}},
    {"fldinst", TWordKind::Skip, {}},
    {"fonttbl", TWordKind::Skip, {}},
    {"info", TWordKind::Skip, {}},
    {"ldblquote", TWordKind::Text, "\x93"},
    {"line", TWordKind::Text, "\r\n"},
    {"listoverridetable", TWordKind::Skip, {}},
    {"listtable", TWordKind::Skip, {}},
    {"listtext", TWordKind::Skip, {}},
    {"lquote", TWordKind::Text, "\x91"},
    {"object", TWordKind::Skip, {}},
    {"page", TWordKind::Text, "\r\n"},
    {"par", TWordKind::Text, "\r\n"},
    {"pict", TWordKind::Skip, {}},
    {"pntext", TWordKind::Skip, {}},
    {"rdblquote", TWordKind::Text, "\x94"},
    {"revtbl", TWordKind::Skip, {}},
    {"row", TWordKind::Text, "\r\n"},
    {"rquote", TWordKind::Text, "\x92"},
    {"rsidtbl", TWordKind::Skip, {}},
    {"sect", TWordKind::Text, "\r\n"},
    {"stylesheet", TWordKind::Skip, {}},
    {"tab", TWordKind::Text, "\t"},
};

const TWordEntry* FindWord(std::string_view word) {
  auto it = std::lower_bound(std::begin(kWords), std::end(kWords), word,
                             [](const TWordEntry& e, std::string_view w) { return e.Word < w; });
  return it != std::end(kWords) && it->Word == word ? it : nullptr;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpecial(char c) { return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One pass over the input; every read is bounded by its size.
class TRtfPlainReader {
public:
  TRtfPlainReader(std::string_view in, std::string& out) : In(in), Out(out) {}
  void Run();

private:
  struct TGroupState {
    int Uc = 1;        // fallback characters after "\u"
    bool Skip = false; // inside a dropped destination
  };
  void OpenGroup();
  void CloseGroup();
  void ReadText();
  void ReadControl();
  void ControlWord(std::string_view word, bool hasParam, int32_t param);
  void ControlSymbol(char c);
  void ReadHexByte();
  void Unicode(int32_t param);
  void SkipBinary(int32_t count);
  // One unit of text (a character, escape or control): dropped while skipping a destination
  // or the fallback of "\u", else appended.
  void Emit(std::string_view text);

  std::string_view In;
  std::string& Out;
  size_t Pos = 0;
  TGroupState Cur;
  std::vector<TGroupState> Outer;
  int FallbackLeft = 0;
  bool AfterHighSurrogate = false;
  bool Done = false;
};

void TRtfPlainReader::Run() {
  while (!Done && Pos < In.size()) {
    switch (In[Pos]) {
    case '{': ++Pos; OpenGroup(); break;
    case '}': ++Pos; CloseGroup(); break;
    case '\\': ++Pos; ReadControl(); break;
    case '\r':
    case '\n': ++Pos; break;
    default: ReadText();
    }
  }
}

void TRtfPlainReader::OpenGroup() {
  Outer.push_back(Cur);
  FallbackLeft = 0;
}

void TRtfPlainReader::CloseGroup() {
  FallbackLeft = 0;
  if (!Outer.empty()) {
    Cur = Outer.back();
    Outer.pop_back();
  }
  Done = Outer.empty(); // the document's own group has ended
}

void TRtfPlainReader::ReadText() {
  size_t start = Pos;
  while (Pos < In.size() && !IsSpecial(In[Pos])) ++Pos;
  if (Cur.Skip) return;
  size_t dropped = std::min<size_t>(static_cast<size_t>(FallbackLeft), Pos - start);
  FallbackLeft -= static_cast<int>(dropped);
  if (start + dropped < Pos) {
    Out.append(In.substr(start + dropped, Pos - start - dropped));
    AfterHighSurrogate = false;
  }
}

void TRtfPlainReader::ReadControl() {
  if (Pos >= In.size()) return;
  if (!IsLetter(In[Pos])) {
    ControlSymbol(In[Pos++]);
    return;
  }
  size_t start = Pos;
  while (Pos < In.size() && IsLetter(In[Pos])) ++Pos;
  std::string_view word = In.substr(start, Pos - start);
  bool negative = Pos + 1 < In.size() && In[Pos] == '-' && IsDigit(In[Pos + 1]);
  if (negative) ++Pos;
  bool hasParam = false;
  int64_t value = 0;
  for (; Pos < In.size() && IsDigit(In[Pos]); ++Pos) {
    hasParam = true;
    value = std::min<int64_t>(value * 10 + (In[Pos] - '0'), INT32_MAX);
  }
  if (Pos < In.size() && In[Pos] == ' ') ++Pos; // the delimiter belongs to the word
  ControlWord(word, hasParam, static_cast<int32_t>(negative ? -value : value));
}

void TRtfPlainReader::ControlWord(std::string_view word, bool hasParam, int32_t param) {
  if (word == "bin") {
    SkipBinary(hasParam ? param : 0);
    Emit({});
    return;
  }
  if (Cur.Skip) return;
  if (FallbackLeft > 0) {
    --FallbackLeft;
    return;
  }
  if (word == "u") {
    if (hasParam) Unicode(param);
    return;
  }
  if (word == "uc") {
    Cur.Uc = hasParam ? std::clamp<int32_t>(param, 0, 255) : 1;
    return;
  }
  const TWordEntry* entry = FindWord(word);
  if (!entry) return;
  if (entry->Kind == TWordKind::Skip)
    Cur.Skip = true;
  else
    Emit(entry->Text);
}

void TRtfPlainReader::ControlSymbol(char c) {
  switch (c) {
  case '\'': ReadHexByte(); break;
  case '{':
  case '}':
  case '\\': Emit(std::string_view(&c, 1)); break;
  case '*': Cur.Skip = true; break; // a destination a reader may ignore
  case '~': Emit("\xA0"); break;
  case '_': Emit("-"); break;
  case '\r':
  case '\n': Emit("\r\n"); break; // an escaped line end is a paragraph
  default: Emit({});              // optional hyphen and other marks: no text
  }
}

void TRtfPlainReader::ReadHexByte() {
  int hi = Pos < In.size() ? HexValue(In[Pos]) : -1;
  if (hi < 0) return;
  ++Pos;
  int lo = Pos < In.size() ? HexValue(In[Pos]) : -1;
  if (lo < 0) return;
  ++Pos;
  char byte = static_cast<char>(hi * 16 + lo);
  Emit(std::string_view(&byte, 1));
}

void TRtfPlainReader::Unicode(int32_t param) {
  auto unit = static_cast<char16_t>(static_cast<uint32_t>(param) & 0xFFFF);
  bool high = unit >= 0xD800 && unit <= 0xDBFF;
  bool low = unit >= 0xDC00 && unit <= 0xDFFF;
  if (low && AfterHighSurrogate) {
    AfterHighSurrogate = false; // the pair already gave its one "?"
  } else {
    Emit(Utf16ToAnsi(std::u16string_view(&unit, 1)));
    AfterHighSurrogate = high;
  }
  FallbackLeft = Cur.Uc;
}

void TRtfPlainReader::SkipBinary(int32_t count) {
  size_t n = count > 0 ? static_cast<size_t>(count) : 0;
  Pos += std::min(n, In.size() - Pos);
}

void TRtfPlainReader::Emit(std::string_view text) {
  if (Cur.Skip) return;
  if (FallbackLeft > 0) {
    --FallbackLeft;
    return;
  }
  Out.append(text);
  AfterHighSurrogate = false;
}

} // namespace

bool IsRtfText(std::string_view text) { return text.substr(0, 5) == "{\\rtf"; }

void RtfToPlainText(std::string_view rtf, std::string& out) {
  out.clear();
  if (!IsRtfText(rtf)) {
    out.assign(rtf);
    return;
  }
  TRtfPlainReader(rtf, out).Run();
}

std::string RtfToPlainText(std::string_view rtf) {
  std::string out;
  RtfToPlainText(rtf, out);
  return out;
}

} // namespace qel
