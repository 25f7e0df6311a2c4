#pragma once
// The one reading of RTF markup that both readers of rich text build on (the plain text of the
// search and the editor's document): groups, control words, escapes, "\uN" with its fallback,
// binary data, the code page of each font, the font and colour tables, and the table of
// destinations that decides what is text. A sink receives what remains.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qel {

class TRtfCodePage;
enum class TRtfSpecialWord : uint8_t; // the words the scanner reads itself
struct TRtfWordInfo;

struct TRtfWord {
  std::string_view Name;
  bool HasParam = false;
  int32_t Param = 0;
  int32_t Or(int32_t fallback) const { return HasParam ? Param : fallback; }
};

// What the content of a group is.
enum class TRtfDest : uint8_t {
  Text,       // shown text: the body, field results, picture containers
  Skip,       // no text; the group is passed over
  FontTable,
  ColorTable,
  Marker,     // "{\listtext}", "{\pntext}": a list mark written out for readers without lists
  ListFormat, // "{\pn}": a paragraph's bullet or numbering
  Object,     // "{\object}" outside its result
  Result,     // the "{\result}" of an object
  Field,      // "{\fldinst}": a field's instruction, such as a link's target
};

enum class TRtfBreak : uint8_t { Paragraph, Line, Cell, Row };

struct TRtfFont {
  std::u16string Name;
  int Charset = -1; // "\fcharset"; -1: none given
  int CodePage = 0; // what its bytes are read in; 0: the document's
  const TRtfCodePage* Page = nullptr; // of CodePage, when the system knows it
};

struct TRtfColor {
  bool Given = false; // an entry without components is the automatic colour
  uint8_t Red = 0, Green = 0, Blue = 0;
};

class TRtfSink {
public:
  virtual ~TRtfSink() = default;
  // Text of a Text destination: Windows-1252 bytes, or UTF-16 where the font's code page is
  // another. Neither holds control characters other than the tab.
  virtual void AnsiText(std::string_view text) = 0;
  virtual void Text(std::u16string_view text) = 0;
  virtual void Break(TRtfBreak kind) = 0;
  // A group opened or closed (not for groups passed over whole), and the current group's
  // destination changed.
  virtual void GroupOpened() {}
  virtual void GroupClosed() {}
  virtual void Destination(TRtfDest) {}
  // A control word the scanner leaves to the reader: formats in Text, Result and Marker
  // groups, bullet and numbering words in ListFormat groups.
  virtual void Word(const TRtfWord&, TRtfDest) {}
  // The text of a list mark.
  virtual void MarkerText(std::u16string_view) {}
  // Text of a field's instruction.
  virtual void FieldText(std::u16string_view) {}
  // A whole "{\pict ...}" group, braces included; inResult: it shows an object.
  virtual void Picture(std::string_view, bool /*inResult*/) {}
  // A whole "{\object ...}" group, after the pictures of its result.
  virtual void Object(std::string_view) {}
  // A font of the font table is complete.
  virtual void FontAdded(int /*number*/) {}
};

class TRtfScanner {
public:
  TRtfScanner(std::string_view rtf, TRtfSink& sink);
  ~TRtfScanner();
  // One pass over the input; every read is bounded by its size. Truncated or unbalanced input
  // ends where the input or the document's own group ends; nothing is thrown.
  void Run();

  const std::map<int, TRtfFont>& Fonts() const { return FFonts; }
  const std::vector<TRtfColor>& Colors() const { return FColors; }
  int DefaultFont() const { return FDefaultFont; }
  int CodePage() const { return FCodePage; } // "\ansicpg", 1252 when none is given

private:
  struct TGroup {
    int Uc = 1;
    TRtfDest Dest = TRtfDest::Text;
    const TRtfCodePage* Page = nullptr;
    size_t Start = 0; // offset of its "{"
    bool Object = false;
    bool SkipFirstGroup = false; // "\upr": its first group is the ANSI twin of its "\ud"
  };
  static constexpr size_t kMaxDepth = 1024;

  void OpenGroup();
  void CloseGroup();
  // Passes over the rest of the current group, its end included; false when the input ends first.
  bool SkipGroup();
  void Backslash();
  TRtfWord ReadWord();
  void ControlWord(const TRtfWord& word);
  bool StartDestination(const TRtfWordInfo& info, bool fresh);
  void TableWord(const TRtfWord& word, TRtfSpecialWord special);
  void SetCodePage(int number);
  void ControlSymbol(char c);
  void ReadText();
  void HexByte();
  void Unicode(int32_t param);
  // One unit of text or markup: false while the fallback of "\u" drops it.
  bool Unit();
  void Bytes(std::string_view bytes);
  void Chars(std::u16string_view chars);
  void EndSurrogate();
  void Break(TRtfBreak kind);
  void SetDest(TRtfDest dest);
  void SetFont(int number);
  void CommitFont();
  void CommitColor();
  const TRtfCodePage* PageOf(int number) const;

  std::string_view In;
  TRtfSink& Sink;
  size_t Pos = 0;
  TGroup State;
  std::vector<TGroup> Outer;
  size_t Overflow = 0; // groups beyond kMaxDepth, read in their parent's state
  bool Done = false;
  bool Fresh = false;     // nothing yet in the current group: a destination word may start it
  bool Ignorable = false; // "\*" at the start of the group
  int FallbackLeft = 0;
  int Lead = -1; // the first byte of a double-byte character
  char16_t HighSurrogate = 0;

  std::map<int, TRtfFont> FFonts;
  std::vector<TRtfColor> FColors;
  int FDefaultFont = 0;
  int FCodePage = 1252;
  const TRtfCodePage* DefaultPage = nullptr; // of FCodePage
  int FontNumber = 0;
  TRtfFont FontPending;
  TRtfColor ColorPending;
};

// The control word whose first letter is at pos ("\\" read), its number and its delimiting blank;
// pos ends after them. Names are cut at 32 letters, numbers at the limits of int32_t.
TRtfWord ReadRtfWord(std::string_view in, size_t& pos);
// The value of a hexadecimal digit; -1 for another character.
int RtfHexValue(char c);

// Windows-1252 text of UTF-16 text as the plain-text reader gives it: a non-breaking hyphen is
// a hyphen; characters the code page lacks are "?", a surrogate pair one "?".
void AppendPlainAnsi(std::u16string_view text, std::string& out);

} // namespace qel
