#include "RtfTextScanner.h"

#include "Ansi.h"
#include "RtfTextCodePage.h"

#include <algorithm>
#include <array>
#include <utility>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace qel {
namespace {

// Words that start a group of their own kind. Sorted (FindDestination relies on it); a word
// missing here does not change its group, unless "\*" marks the group as one to pass over.
struct TDestEntry {
  std::string_view Word;
  TRtfDest Dest;
};
constexpr TDestEntry kDestinations[] = {
    {"annotation", TRtfDest::Skip}, {"atnauthor", TRtfDest::Skip}, {"atndate", TRtfDest::Skip},
    {"atnid", TRtfDest::Skip}, {"author", TRtfDest::Skip}, {"bkmkend", TRtfDest::Skip},
    {"bkmkstart", TRtfDest::Skip}, {"buptim", TRtfDest::Skip}, {"colorschememapping", TRtfDest::Skip},
    {"colortbl", TRtfDest::ColorTable}, {"comment", TRtfDest::Skip}, {"creatim", TRtfDest::Skip},
    {"datastore", TRtfDest::Skip}, {"doccomm", TRtfDest::Skip}, {"docvar", TRtfDest::Skip},
    {"field", TRtfDest::Text}, {"filetbl", TRtfDest::Skip}, {"fldinst", TRtfDest::Field},
    {"fldrslt", TRtfDest::Text}, {"fonttbl", TRtfDest::FontTable}, {"footer", TRtfDest::Skip},
    {"footerf", TRtfDest::Skip}, {"footerl", TRtfDest::Skip}, {"footerr", TRtfDest::Skip},
    {"footnote", TRtfDest::Skip}, {"ftncn", TRtfDest::Skip}, {"ftnsep", TRtfDest::Skip},
    {"ftnsepc", TRtfDest::Skip}, {"generator", TRtfDest::Skip}, {"header", TRtfDest::Skip},
    {"headerf", TRtfDest::Skip}, {"headerl", TRtfDest::Skip}, {"headerr", TRtfDest::Skip},
    {"info", TRtfDest::Skip}, {"keywords", TRtfDest::Skip}, {"latentstyles", TRtfDest::Skip},
    {"listoverridetable", TRtfDest::Skip}, {"listtable", TRtfDest::Skip}, {"listtext", TRtfDest::Marker},
    {"nonshppict", TRtfDest::Skip}, {"objclass", TRtfDest::Skip}, {"objdata", TRtfDest::Skip},
    {"object", TRtfDest::Object}, {"operator", TRtfDest::Skip}, {"pgdsctbl", TRtfDest::Skip},
    {"pn", TRtfDest::ListFormat}, {"pnseclvl", TRtfDest::Skip}, {"pntext", TRtfDest::Marker},
    {"pntxta", TRtfDest::Skip}, {"pntxtb", TRtfDest::Skip}, {"printim", TRtfDest::Skip},
    {"result", TRtfDest::Result}, {"revtbl", TRtfDest::Skip}, {"revtim", TRtfDest::Skip},
    {"rsidtbl", TRtfDest::Skip}, {"shp", TRtfDest::Skip}, {"shppict", TRtfDest::Text},
    {"stylesheet", TRtfDest::Skip}, {"subject", TRtfDest::Skip}, {"tc", TRtfDest::Skip},
    {"themedata", TRtfDest::Skip}, {"title", TRtfDest::Skip}, {"ud", TRtfDest::Text},
    {"upr", TRtfDest::Text}, {"userprops", TRtfDest::Skip}, {"xe", TRtfDest::Skip}, {"xmlnstbl", TRtfDest::Skip},
};

// Words that stand for a character or a break.
struct TCharEntry {
  std::string_view Word;
  char16_t Char; // 0: a break
  TRtfBreak Break;
};
constexpr TCharEntry kCharacters[] = {
    {"bullet", u'\x2022', {}},   {"cell", 0, TRtfBreak::Cell},   {"emdash", u'\x2014', {}},
    {"emspace", u'\x2003', {}},  {"endash", u'\x2013', {}},      {"enspace", u'\x2002', {}},
    {"ldblquote", u'\x201C', {}}, {"line", 0, TRtfBreak::Line},  {"lquote", u'\x2018', {}},
    {"nestcell", 0, TRtfBreak::Cell}, {"nestrow", 0, TRtfBreak::Row}, {"page", 0, TRtfBreak::Paragraph},
    {"par", 0, TRtfBreak::Paragraph}, {"rdblquote", u'\x201D', {}}, {"row", 0, TRtfBreak::Row},
    {"rquote", u'\x2019', {}},   {"sect", 0, TRtfBreak::Paragraph}, {"tab", u'\t', {}},
};

template <class T, size_t N> constexpr bool IsSorted(const T (&table)[N]) {
  for (size_t i = 1; i < N; ++i)
    if (!(table[i - 1].Word < table[i].Word)) return false;
  return true;
}
static_assert(IsSorted(kDestinations));
static_assert(IsSorted(kCharacters));

} // namespace

// The words the scanner reads itself.
enum class TRtfSpecialWord : uint8_t { None, Bin, U, Uc, F, Plain, Deff, AnsiCpg, Mac, Pc, Pca, Pict, FCharset, Cpg, Red, Green, Blue };
constexpr std::pair<std::string_view, TRtfSpecialWord> kSpecials[] = {
    {"bin", TRtfSpecialWord::Bin},         {"u", TRtfSpecialWord::U},       {"uc", TRtfSpecialWord::Uc},     {"f", TRtfSpecialWord::F},
    {"plain", TRtfSpecialWord::Plain},     {"deff", TRtfSpecialWord::Deff}, {"ansicpg", TRtfSpecialWord::AnsiCpg}, {"mac", TRtfSpecialWord::Mac},
    {"pc", TRtfSpecialWord::Pc},           {"pca", TRtfSpecialWord::Pca},   {"pict", TRtfSpecialWord::Pict}, {"fcharset", TRtfSpecialWord::FCharset},
    {"cpg", TRtfSpecialWord::Cpg},         {"red", TRtfSpecialWord::Red},   {"green", TRtfSpecialWord::Green}, {"blue", TRtfSpecialWord::Blue},
};

struct TRtfWordInfo {
  const TDestEntry* Dest = nullptr;
  const TCharEntry* Char = nullptr;
  TRtfSpecialWord Special = TRtfSpecialWord::None;
};

namespace {

// Every word of the three tables by a hash of its name: one look-up per control word.
class TWordIndex {
public:
  TWordIndex() {
    for (const TDestEntry& entry : kDestinations) Slot(entry.Word).Info.Dest = &entry;
    for (const TCharEntry& entry : kCharacters) Slot(entry.Word).Info.Char = &entry;
    for (const auto& [word, special] : kSpecials) Slot(word).Info.Special = special;
  }
  const TRtfWordInfo* Find(std::string_view word) const {
    for (size_t i = Hash(word) & kMask; !FSlots[i].Word.empty(); i = (i + 1) & kMask)
      if (FSlots[i].Word == word) return &FSlots[i].Info;
    return nullptr;
  }

private:
  static constexpr size_t kMask = 511;
  struct TSlot {
    std::string_view Word;
    TRtfWordInfo Info;
  };
  static size_t Hash(std::string_view word) {
    uint32_t hash = 2166136261u;
    for (const char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
  }
  TSlot& Slot(std::string_view word) {
    size_t i = Hash(word) & kMask;
    while (!FSlots[i].Word.empty() && FSlots[i].Word != word) i = (i + 1) & kMask;
    FSlots[i].Word = word;
    return FSlots[i];
  }
  std::array<TSlot, kMask + 1> FSlots{};
};

const TRtfWordInfo* FindWord(std::string_view word) {
  static const TWordIndex index;
  return index.Find(word);
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsControl(char16_t c) { return c < 0x20 && c != u'\t'; }
// Characters that are no text here: controls but the tab, the object mark, and the marks a
// text document uses for its frames.
bool IsDropped(char16_t c) { return IsControl(c) || c == u'\xFFFC' || c == u'\xFDD0' || c == u'\xFDD1'; }

// Index of the first brace, backslash or control character at or after from; size when there
// is none. Text runs are long enough to test sixteen bytes at a time where the processor can.
size_t FindSpecial(std::string_view text, size_t from) {
  const char* p = text.data();
  size_t i = from, size = text.size();
#ifdef __SSE2__
  const __m128i open = _mm_set1_epi8('{'), close = _mm_set1_epi8('}'), slash = _mm_set1_epi8('\\');
  const __m128i control = _mm_set1_epi8(0x1F);
  for (; i + 16 <= size; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    __m128i braces = _mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close));
    __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(v, control), v);
    __m128i hit = _mm_or_si128(_mm_or_si128(braces, low), _mm_cmpeq_epi8(v, slash));
    if (int mask = _mm_movemask_epi8(hit)) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; i < size; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    if (c < 0x20 || c == '{' || c == '}' || c == '\\') break;
  }
  return i;
}

} // namespace

TRtfScanner::TRtfScanner(std::string_view rtf, TRtfSink& sink) : In(rtf), Sink(sink) {}
TRtfScanner::~TRtfScanner() = default;

void TRtfScanner::Run() {
  DefaultPage = TRtfCodePage::Get(1252);
  State.Page = DefaultPage;
  while (!Done && Pos < In.size()) {
    switch (In[Pos]) {
    case '{': ++Pos; OpenGroup(); break;
    case '}': ++Pos; CloseGroup(); break;
    case '\\': ++Pos; Backslash(); break;
    default: ReadText();
    }
  }
  EndSurrogate();
}

void TRtfScanner::OpenGroup() {
  FallbackLeft = 0;
  Lead = -1;
  EndSurrogate();
  Ignorable = false;
  Fresh = true;
  const bool skip = std::exchange(State.SkipFirstGroup, false);
  if (Outer.size() >= kMaxDepth) {
    ++Overflow;
    if (skip) SkipGroup();
    return;
  }
  Outer.push_back(State);
  State.Start = Pos - 1;
  State.Object = false;
  Sink.GroupOpened();
  if (skip) SkipGroup();
}

void TRtfScanner::CloseGroup() {
  FallbackLeft = 0;
  Lead = -1;
  EndSurrogate();
  Ignorable = Fresh = false;
  // A font's group ends it, not the groups within it ("{\*\falt ...}").
  if (State.Dest == TRtfDest::FontTable && !FontPending.Name.empty()) CommitFont();
  if (Overflow > 0) {
    --Overflow;
    return;
  }
  if (Outer.size() <= 1) { // the document's own group has ended
    Done = true;
    return;
  }
  if (State.Object) Sink.Object(In.substr(State.Start, Pos - State.Start));
  State = Outer.back();
  Outer.pop_back();
  Sink.GroupClosed();
}

bool TRtfScanner::SkipGroup() {
  int depth = 0;
  while (Pos < In.size()) {
    const char c = In[Pos++];
    if (c == '{') {
      ++depth;
    } else if (c == '}') {
      if (depth-- == 0) {
        --Pos;
        break;
      }
    } else if (c == '\\' && Pos < In.size()) {
      if (!IsLetter(In[Pos]))
        ++Pos; // an escaped character
      else if (TRtfWord word = ReadWord(); word.Name == "bin")
        Pos += std::min<size_t>(static_cast<size_t>(std::max(word.Param, 0)), In.size() - Pos);
    }
  }
  if (Pos >= In.size()) return false;
  ++Pos;
  CloseGroup();
  return true;
}

void TRtfScanner::Backslash() {
  if (Pos >= In.size()) return;
  if (IsLetter(In[Pos]))
    ControlWord(ReadWord());
  else
    ControlSymbol(In[Pos++]);
}

TRtfWord TRtfScanner::ReadWord() { return ReadRtfWord(In, Pos); }

void TRtfScanner::ControlWord(const TRtfWord& word) {
  const TRtfWordInfo* info = FindWord(word.Name);
  const TRtfSpecialWord special = info ? info->Special : TRtfSpecialWord::None;
  if (special == TRtfSpecialWord::Bin) {
    Pos += std::min<size_t>(static_cast<size_t>(std::max(word.Param, 0)), In.size() - Pos);
    return;
  }
  const bool fresh = std::exchange(Fresh, false);
  const bool ignorable = std::exchange(Ignorable, false);
  if (info && StartDestination(*info, fresh)) return;
  if (ignorable) { // a destination this reader does not know
    SkipGroup();
    return;
  }
  if (!Unit()) return;
  if (special == TRtfSpecialWord::U) {
    if (word.HasParam) Unicode(word.Param);
    return;
  }
  EndSurrogate();
  Lead = -1;
  if (State.Dest == TRtfDest::FontTable || State.Dest == TRtfDest::ColorTable) return TableWord(word, special);
  if (info && info->Char) {
    if (info->Char->Char != 0)
      Chars(std::u16string_view(&info->Char->Char, 1));
    else
      Break(info->Char->Break);
    return;
  }
  switch (special) {
  case TRtfSpecialWord::Uc: State.Uc = std::clamp(word.Or(1), 0, 255); return;
  case TRtfSpecialWord::F: SetFont(word.Param); break;
  case TRtfSpecialWord::Plain: SetFont(FDefaultFont); break;
  case TRtfSpecialWord::Deff: FDefaultFont = word.Param; break;
  case TRtfSpecialWord::AnsiCpg:
    if (word.Param > 0) SetCodePage(word.Param);
    break;
  case TRtfSpecialWord::Mac: SetCodePage(10000); break;
  case TRtfSpecialWord::Pc: SetCodePage(437); break;
  case TRtfSpecialWord::Pca: SetCodePage(850); break;
  default: break;
  }
  Sink.Word(word, State.Dest);
}

void TRtfScanner::SetCodePage(int number) {
  if (const TRtfCodePage* page = TRtfCodePage::Get(number)) {
    FCodePage = number;
    DefaultPage = page;
  }
  State.Page = DefaultPage;
}

bool TRtfScanner::StartDestination(const TRtfWordInfo& info, bool fresh) {
  // Groups deeper than kMaxDepth share their parent's state: where they start is not known.
  const bool deep = Overflow > 0;
  if (info.Special == TRtfSpecialWord::Pict || (deep && info.Dest && info.Dest->Dest == TRtfDest::Object)) {
    if (deep) {
      SkipGroup();
      return true;
    }
    const size_t start = State.Start;
    const bool inResult = State.Dest == TRtfDest::Result;
    const bool shown = (fresh && State.Dest == TRtfDest::Text) || inResult;
    if (SkipGroup() && shown) Sink.Picture(In.substr(start, Pos - start), inResult);
    return true;
  }
  const TDestEntry* entry = info.Dest;
  if (!entry) return false;
  // Groups without text are passed over wherever their word stands; other kinds of group are
  // named by their first word.
  if (!fresh && entry->Dest != TRtfDest::Skip) return false;
  // "{\upr{ANSI text}{\*\ud{Unicode text}}}": the Unicode half is read.
  if (entry->Word == "upr") State.SkipFirstGroup = true;
  // Within other groups than text, a group of text stays what its outer group is, a group of
  // another kind (but an object's result) is passed over.
  if (State.Dest != TRtfDest::Text && entry->Dest == TRtfDest::Text) return true;
  const bool result = entry->Dest == TRtfDest::Result && State.Dest == TRtfDest::Object;
  if (entry->Dest == TRtfDest::Skip || (State.Dest != TRtfDest::Text && !result)) {
    SkipGroup();
    return true;
  }
  if (entry->Dest == TRtfDest::Object) State.Object = true;
  SetDest(entry->Dest);
  return true;
}

void TRtfScanner::Break(TRtfBreak kind) {
  if (State.Dest == TRtfDest::Text) Sink.Break(kind);
}

void TRtfScanner::SetDest(TRtfDest dest) {
  State.Dest = dest;
  Sink.Destination(dest);
}

void TRtfScanner::TableWord(const TRtfWord& word, TRtfSpecialWord special) {
  if (State.Dest == TRtfDest::ColorTable) {
    uint8_t* component = special == TRtfSpecialWord::Red     ? &ColorPending.Red
                         : special == TRtfSpecialWord::Green ? &ColorPending.Green
                         : special == TRtfSpecialWord::Blue  ? &ColorPending.Blue
                                                      : nullptr;
    if (component) {
      *component = static_cast<uint8_t>(std::clamp(word.Param, 0, 255));
      ColorPending.Given = true;
    }
  } else if (special == TRtfSpecialWord::F) {
    CommitFont();
    FontNumber = word.Param;
  } else if (special == TRtfSpecialWord::FCharset) {
    FontPending.Charset = word.Param;
    if (FontPending.CodePage == 0) FontPending.CodePage = TRtfCodePage::OfCharset(word.Param);
    State.Page = PageOf(FontPending.CodePage);
  } else if (special == TRtfSpecialWord::Cpg) {
    if (TRtfCodePage::Get(word.Param)) FontPending.CodePage = word.Param;
    State.Page = PageOf(FontPending.CodePage);
  }
}

void TRtfScanner::ControlSymbol(char c) {
  const bool fresh = std::exchange(Fresh, false);
  if (c == '*') {
    Ignorable = fresh;
    Fresh = fresh;
    return;
  }
  Ignorable = false;
  if (c == '\'') return HexByte();
  if (!Unit()) return;
  EndSurrogate();
  Lead = -1;
  switch (c) {
  case '\\':
  case '{':
  case '}': {
    const char16_t ch = static_cast<char16_t>(c);
    Chars(std::u16string_view(&ch, 1));
    break;
  }
  case '~': Chars(u"\xA0"); break;
  case '_': Chars(u"\x2011"); break;
  case '\r':
  case '\n': Break(TRtfBreak::Paragraph); break;
  default: break; // optional hyphen and other marks: no text
  }
}

void TRtfScanner::ReadText() {
  Fresh = Ignorable = false;
  const size_t start = Pos;
  Pos = FindSpecial(In, Pos);
  if (Pos == start) { // a control character: only the tab is text
    const char c = In[Pos++];
    if (c == '\t' && Unit()) {
      EndSurrogate();
      Chars(u"\t");
    }
    return;
  }
  const size_t dropped = std::min<size_t>(static_cast<size_t>(FallbackLeft), Pos - start);
  FallbackLeft -= static_cast<int>(dropped);
  if (start + dropped < Pos) {
    EndSurrogate();
    Bytes(In.substr(start + dropped, Pos - start - dropped));
  }
}

void TRtfScanner::HexByte() {
  const int hi = Pos < In.size() ? RtfHexValue(In[Pos]) : -1;
  if (hi < 0) return;
  ++Pos;
  const int lo = Pos < In.size() ? RtfHexValue(In[Pos]) : -1;
  if (lo < 0) return; // a cut escape is no character
  ++Pos;
  if (!Unit()) return;
  EndSurrogate();
  const char byte = static_cast<char>(hi * 16 + lo);
  Bytes(std::string_view(&byte, 1));
}

void TRtfScanner::Unicode(int32_t param) {
  Lead = -1;
  const auto unit = static_cast<char16_t>(static_cast<uint32_t>(param) & 0xFFFF);
  FallbackLeft = State.Uc;
  const bool high = unit >= 0xD800 && unit <= 0xDBFF, low = unit >= 0xDC00 && unit <= 0xDFFF;
  if (low && HighSurrogate) {
    const char16_t pair[2] = {std::exchange(HighSurrogate, char16_t{0}), unit};
    Chars(std::u16string_view(pair, 2));
    return;
  }
  EndSurrogate();
  if (high)
    HighSurrogate = unit;
  else if (low)
    Chars(u"\xFFFD");
  else if (unit == u'\x2028' || unit == u'\x2029')
    Break(unit == u'\x2028' ? TRtfBreak::Line : TRtfBreak::Paragraph);
  else if (!IsDropped(unit))
    Chars(std::u16string_view(&unit, 1));
}

void TRtfScanner::EndSurrogate() {
  if (!std::exchange(HighSurrogate, char16_t{0})) return;
  Chars(u"\xFFFD"); // half a pair is no character
}

bool TRtfScanner::Unit() {
  if (FallbackLeft <= 0) return true;
  --FallbackLeft;
  return false;
}

void TRtfScanner::Bytes(std::string_view bytes) {
  const TRtfCodePage* page = State.Page;
  if (!page->IsDoubleByte() && page->Number() == 1252 && State.Dest == TRtfDest::Text) {
    // The common case: the program's own code page, passed on as it is. Runs of text hold no
    // control characters; an escaped byte may be one.
    if (bytes.size() != 1 || !IsControl(static_cast<unsigned char>(bytes[0]))) Sink.AnsiText(bytes);
    return;
  }
  std::u16string chars;
  chars.reserve(bytes.size());
  for (const char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    char16_t c = 0;
    if (Lead >= 0) {
      c = page->Decode(static_cast<unsigned char>(std::exchange(Lead, -1)), byte);
    } else if (page->IsLeadByte(byte)) {
      Lead = byte;
      continue;
    } else {
      c = page->Decode(byte);
    }
    if (c != 0 && !IsDropped(c) && c != u'\x2028' && c != u'\x2029') chars += c;
  }
  if (!chars.empty()) Chars(chars);
}

void TRtfScanner::Chars(std::u16string_view chars) {
  switch (State.Dest) {
  case TRtfDest::Text: Sink.Text(chars); break;
  case TRtfDest::Marker: Sink.MarkerText(chars); break;
  case TRtfDest::Field: Sink.FieldText(chars); break;
  case TRtfDest::FontTable:
    for (const char16_t c : chars) {
      if (c == u';')
        CommitFont();
      else if (c >= 0x20) // not even a tab
        FontPending.Name += c;
    }
    break;
  case TRtfDest::ColorTable:
    for (const char16_t c : chars)
      if (c == u';') CommitColor();
    break;
  default: break;
  }
}

void TRtfScanner::SetFont(int number) {
  auto found = FFonts.find(number);
  State.Page = found != FFonts.end() && found->second.Page ? found->second.Page : DefaultPage;
}

const TRtfCodePage* TRtfScanner::PageOf(int number) const {
  if (number > 0)
    if (const TRtfCodePage* page = TRtfCodePage::Get(number)) return page;
  return DefaultPage;
}

void TRtfScanner::CommitFont() {
  TRtfFont font = std::exchange(FontPending, TRtfFont());
  const size_t first = font.Name.find_first_not_of(u' ');
  const size_t last = font.Name.find_last_not_of(u' ');
  font.Name = first == std::u16string::npos ? std::u16string() : font.Name.substr(first, last - first + 1);
  if (font.Name.empty() || FFonts.count(FontNumber)) return;
  if (font.CodePage > 0) font.Page = TRtfCodePage::Get(font.CodePage);
  FFonts[FontNumber] = font;
  Sink.FontAdded(FontNumber);
}

void TRtfScanner::CommitColor() { FColors.push_back(std::exchange(ColorPending, TRtfColor())); }

TRtfWord ReadRtfWord(std::string_view in, size_t& pos) {
  TRtfWord word;
  const size_t start = pos;
  while (pos < in.size() && IsLetter(in[pos]) && pos - start < 32) ++pos;
  word.Name = in.substr(start, pos - start);
  const bool negative = pos + 1 < in.size() && in[pos] == '-' && IsDigit(in[pos + 1]);
  if (negative) ++pos;
  int64_t value = 0;
  for (; pos < in.size() && IsDigit(in[pos]); ++pos) {
    word.HasParam = true;
    value = std::min<int64_t>(value * 10 + (in[pos] - '0'), INT32_MAX);
  }
  word.Param = static_cast<int32_t>(negative ? -value : value);
  if (pos < in.size() && in[pos] == ' ') ++pos; // the delimiter belongs to the word
  return word;
}

int RtfHexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendPlainAnsi(std::u16string_view text, std::string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\x2011') {
      out += '-';
      continue;
    }
    const size_t n = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
                             text[i + 1] <= 0xDFFF
                         ? 2
                         : 1;
    out += Utf16ToAnsi(text.substr(i, n));
    i += n - 1;
  }
}

} // namespace qel
