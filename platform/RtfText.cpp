#include "RtfText.h"

#include "Ansi.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace qel {
namespace {

enum class TWordKind { Skip, Text };

struct TWordEntry {
  std::string_view Word;
  TWordKind Kind;
  std::string_view Text; // what a text word stands for
};

// Sorted (FindWord relies on it). Skip: a destination whose content is not text: its whole
// group is dropped.
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

constexpr bool IsSorted() {
  for (size_t i = 1; i < std::size(kWords); ++i)
    if (!(kWords[i - 1].Word < kWords[i].Word)) return false;
  return true;
}
static_assert(IsSorted());

constexpr int kLetters = 26;

// For each first letter, the range of kWords starting with it (words are lower case).
struct TLetterRange {
  uint8_t First = 0, Last = 0;
};
constexpr std::array<TLetterRange, kLetters> MakeLetterIndex() {
  std::array<TLetterRange, kLetters> index{};
  for (uint8_t i = 0; i < std::size(kWords); ++i) {
    TLetterRange& r = index[static_cast<size_t>(kWords[i].Word[0] - 'a')];
    if (r.First == r.Last) r.First = i;
    r.Last = static_cast<uint8_t>(i + 1);
  }
  return index;
}
constexpr auto kLetterIndex = MakeLetterIndex();

const TWordEntry* FindWord(std::string_view word) {
  if (word[0] < 'a' || word[0] > 'z') return nullptr;
  TLetterRange r = kLetterIndex[static_cast<size_t>(word[0] - 'a')];
  for (uint8_t i = r.First; i < r.Last; ++i)
    if (kWords[i].Word == word) return &kWords[i];
  return nullptr;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr std::array<bool, 256> MakeSpecials() {
  std::array<bool, 256> t{};
  for (unsigned char c : {'{', '}', '\\', '\r', '\n'}) t[c] = true;
  return t;
}
constexpr auto kSpecial = MakeSpecials();
bool IsSpecial(char c) { return kSpecial[static_cast<unsigned char>(c)]; }

// Index of the first brace, backslash or line end at or after from; size when there is none.
// Text runs are long enough to test sixteen bytes at a time where the processor can.
size_t FindSpecial(std::string_view text, size_t from) {
  const char* p = text.data();
  size_t i = from, size = text.size();
#ifdef __SSE2__
  const __m128i open = _mm_set1_epi8('{'), close = _mm_set1_epi8('}'), slash = _mm_set1_epi8('\\');
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; i + 16 <= size; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    __m128i braces = _mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close));
    __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf));
    __m128i hit = _mm_or_si128(_mm_or_si128(braces, ends), _mm_cmpeq_epi8(v, slash));
    if (int mask = _mm_movemask_epi8(hit)) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  while (i < size && !IsSpecial(p[i])) ++i;
  return i;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The "\uc" values of the enclosing groups: the usual few inline, deeper ones on the heap.
class TGroupStack {
public:
  bool Empty() const { return FSize == 0; }
  void Push(int uc) {
    if (FSize < FInline.size())
      FInline[FSize] = uc;
    else
      FMore.push_back(uc);
    ++FSize;
  }
  int Pop() {
    --FSize;
    if (FSize < FInline.size()) return FInline[FSize];
    int uc = FMore.back();
    FMore.pop_back();
    return uc;
  }

private:
  std::array<int, 32> FInline;
  std::vector<int> FMore;
  size_t FSize = 0;
};

struct TControlWord {
  std::string_view Word;
  bool HasParam = false;
  int32_t Param = 0;
};

// One pass over the input; every read is bounded by its size.
class TRtfPlainReader {
public:
  TRtfPlainReader(std::string_view in, std::string& out) : In(in), Out(out) {}
  void Run();

private:
  void OpenGroup();
  void CloseGroup();
  // Drops the rest of the current group, its end included, honouring binary data.
  void SkipGroup();
  void ReadText();
  TControlWord ReadWord(); // at its first letter
  void ControlWord(const TControlWord& control);
  void ControlSymbol(char c);
  void ReadHexByte();
  void Unicode(int32_t param);
  void SkipBinary(const TControlWord& control);
  // One unit of text (a character, escape or control): dropped while the fallback of "\u"
  // lasts, else appended.
  void Emit(std::string_view text);

  std::string_view In;
  std::string& Out;
  size_t Pos = 0;
  int Uc = 1; // fallback characters after "\u"
  TGroupStack Outer;
  int FallbackLeft = 0;
  bool AfterHighSurrogate = false;
  bool Done = false;
};

void TRtfPlainReader::Run() {
  while (!Done && Pos < In.size()) {
    switch (In[Pos]) {
    case '{': ++Pos; OpenGroup(); break;
    case '}': ++Pos; CloseGroup(); break;
    case '\\':
      ++Pos;
      if (Pos < In.size() && IsLetter(In[Pos]))
        ControlWord(ReadWord());
      else if (Pos < In.size())
        ControlSymbol(In[Pos++]);
      break;
    case '\r':
    case '\n': ++Pos; break;
    default: ReadText();
    }
  }
}

void TRtfPlainReader::OpenGroup() {
  Outer.Push(Uc);
  FallbackLeft = 0;
}

void TRtfPlainReader::CloseGroup() {
  FallbackLeft = 0;
  if (!Outer.Empty()) Uc = Outer.Pop();
  Done = Outer.Empty(); // the document's own group has ended
}

void TRtfPlainReader::SkipGroup() {
  int depth = 0;
  while (Pos < In.size()) {
    char c = In[Pos++];
    if (c == '{') {
      ++depth;
    } else if (c == '}') {
      if (depth-- == 0) break;
    } else if (c == '\\' && Pos < In.size()) {
      if (!IsLetter(In[Pos]))
        ++Pos; // an escaped character
      else if (TControlWord control = ReadWord(); control.Word == "bin")
        SkipBinary(control);
    }
  }
  CloseGroup();
}

void TRtfPlainReader::ReadText() {
  size_t start = Pos;
  Pos = FindSpecial(In, Pos);
  size_t dropped = std::min<size_t>(static_cast<size_t>(FallbackLeft), Pos - start);
  FallbackLeft -= static_cast<int>(dropped);
  if (start + dropped < Pos) {
    Out.append(In.substr(start + dropped, Pos - start - dropped));
    AfterHighSurrogate = false;
  }
}

TControlWord TRtfPlainReader::ReadWord() {
  TControlWord control;
  size_t start = Pos;
  while (Pos < In.size() && IsLetter(In[Pos])) ++Pos;
  control.Word = In.substr(start, Pos - start);
  bool negative = Pos + 1 < In.size() && In[Pos] == '-' && IsDigit(In[Pos + 1]);
  if (negative) ++Pos;
  int64_t value = 0;
  for (; Pos < In.size() && IsDigit(In[Pos]); ++Pos) {
    control.HasParam = true;
    value = std::min<int64_t>(value * 10 + (In[Pos] - '0'), INT32_MAX);
  }
  control.Param = static_cast<int32_t>(negative ? -value : value);
  if (Pos < In.size() && In[Pos] == ' ') ++Pos; // the delimiter belongs to the word
  return control;
}

void TRtfPlainReader::ControlWord(const TControlWord& control) {
  if (control.Word == "bin") SkipBinary(control);
  if (FallbackLeft > 0) {
    --FallbackLeft;
    return;
  }
  if (control.Word == "u") {
    if (control.HasParam) Unicode(control.Param);
  } else if (control.Word == "uc") {
    Uc = control.HasParam ? std::clamp<int32_t>(control.Param, 0, 255) : 1;
  } else if (const TWordEntry* entry = FindWord(control.Word)) {
    if (entry->Kind == TWordKind::Skip)
      SkipGroup();
    else
      Emit(entry->Text);
  }
}

void TRtfPlainReader::ControlSymbol(char c) {
  switch (c) {
  case '\'': ReadHexByte(); break;
  case '{':
  case '}':
  case '\\': Emit(std::string_view(&c, 1)); break;
  case '*': SkipGroup(); break; // a destination a reader may ignore
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
  FallbackLeft = Uc;
}

void TRtfPlainReader::SkipBinary(const TControlWord& control) {
  size_t n = control.Param > 0 ? static_cast<size_t>(control.Param) : 0;
  Pos += std::min(n, In.size() - Pos);
}

void TRtfPlainReader::Emit(std::string_view text) {
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
