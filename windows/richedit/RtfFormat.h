#pragma once
// The character and paragraph formats that rich text carries here, shared by the RTF reader
// and writer: what a run of text or a paragraph looks like, in RTF's units (half points,
// twips), and its form in a QTextDocument. Indents become document pixels at 96 per inch.
#include <QColor>
#include <QFont>
#include <QString>
#include <QTextFormat>
#include <vector>

class QTextBlock;
class QTextDocument;
class QTextImageFormat;
class QTextBlockFormat;
class QTextCharFormat;
class QTextListFormat;
class QTextTable;

namespace qel {

constexpr double kTwipsPerPixel = 15.0;
// The right edge of the last table cell ("\cellx") at the most: 88 inches.
constexpr int kRtfMaxCellRightTwips = 31680 * 4;

// Properties of text formats that only rich text gives: the charset of a run's font ("\fcharset").
constexpr int kRtfCharsetProperty = QTextFormat::UserProperty + 0x1101;
// Of a picture or object: the "{\pict ...}" or "{\object ...}" group it was read from
// (QByteArray), written back as it is.
constexpr int kRtfGroupProperty = QTextFormat::UserProperty + 0x1102;
// Of a run: its character shading ("\cb", a QColor); the background brush shows the highlight
// where there is one, else the shading.
constexpr int kRtfShadingProperty = QTextFormat::UserProperty + 0x1103;
// Of a paragraph: its line spacing as written ("\sl" in twips, and "\slmult").
constexpr int kRtfLineSpacingProperty = QTextFormat::UserProperty + 0x1104;
constexpr int kRtfLineMultipleProperty = QTextFormat::UserProperty + 0x1105;
// Of a table cell: no "\cell" ended it (true); of a row's first cell: no "\row" ended the row.
// Both are left out where the table was read whole.
constexpr int kRtfCellOpenProperty = QTextFormat::UserProperty + 0x1106;
constexpr int kRtfRowOpenProperty = QTextFormat::UserProperty + 0x1107;
// Of a run: the background is its highlight ("\highlight", "\chcbpat"), even where the
// shading has the same colour.
constexpr int kRtfHighlightProperty = QTextFormat::UserProperty + 0x1108;
// Of a link's text: the instruction of the field it was read from ("HYPERLINK ..."), written
// back as it is.
constexpr int kRtfFieldProperty = QTextFormat::UserProperty + 0x1109;

// Hidden text ("\v") is one object of no width that holds the text: it neither shows nor can be
// edited, and is written back hidden.
constexpr int kRtfHiddenTextObject = QTextFormat::UserObject + 0x1101;
constexpr int kRtfHiddenTextProperty = QTextFormat::UserProperty + 0x110A;

enum class TRtfScript { Normal, Super, Sub };

struct TRtfRun {
  QString Family; // empty: the document's default font
  int HalfPoints = 24;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strike = false;
  QColor Color; // invalid: the automatic (default) colour
  int Charset = -1; // of the font; -1: none given (Windows-1252, or symbols for a symbol font)
  QColor Highlight; // "\highlight"; invalid: none
  QColor Shading;   // "\cb"; invalid: none
  TRtfScript Script = TRtfScript::Normal;
  int OffsetHalfPoints = 0; // "\up" (above the baseline) or "\dn" (negative)
  QString Link; // the instruction of the link field the run is the text of; empty: none
  bool Hidden = false; // "\v"

  bool operator==(const TRtfRun& other) const = default;
  QTextCharFormat ToCharFormat() const;
  // Unset properties are taken from the document's default font.
  static TRtfRun FromCharFormat(const QTextCharFormat& format, const QFont& defaultFont);
};

enum class TRtfAlign { Left, Right, Center, Justify };
enum class TRtfListStyle { Disc, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

struct TRtfTab {
  int Twips = 0;
  TRtfAlign Align = TRtfAlign::Left; // "\tqr", "\tqc", "\tqdec" (Justify: on the decimal point)
  bool operator==(const TRtfTab& other) const = default;
};

// The text of a list item's mark: "\'b7" for bullets, "3." or "c." for numbers.
QString RtfListMark(TRtfListStyle style, int number);
// The target of a link field's instruction ("HYPERLINK \"url\" \\l \"place\""): the address,
// with "#place" where a place is named; empty for other fields.
QString RtfLinkTarget(const QString& instruction);

// The style a list mark written out for other readers ("{\listtext 3.\tab}") stands for.
TRtfListStyle RtfListStyleOfMark(const QString& mark);

struct TRtfParagraph {
  TRtfAlign Align = TRtfAlign::Left;
  int LeftTwips = 0;
  int RightTwips = 0;
  int FirstTwips = 0; // first-line indent, relative to the left indent
  bool Bullet = false; // a member of a list, of the style and level below
  TRtfListStyle ListStyle = TRtfListStyle::Disc;
  int ListLevel = 0; // "\ilvl"
  int ListId = 0;    // paragraphs of one list share it ("\ls", or one "{\pn}" group)
  int ListOverride = 0; // "\ls" as read; beside a "{\pn}" group it tells which list goes on
  int SpaceBefore = 0, SpaceAfter = 0; // "\sb", "\sa": twips
  int LineSpacing = 0;                 // "\sl": 0 single, > 0 at least, < 0 exactly (twips)
  bool LineMultiple = false;           // "\slmult1": LineSpacing is in 240ths of a line
  std::vector<TRtfTab> Tabs;
  bool InTable = false; // "\intbl": a paragraph of a table cell
  bool RightToLeft = false; // "\rtlpar"

  bool operator==(const TRtfParagraph& other) const = default;
  // Whether the paragraphs belong in one list.
  bool SameList(const TRtfParagraph& other) const;
  // Without the list, which is list membership.
  QTextBlockFormat ToBlockFormat() const;
  static TRtfParagraph FromBlock(const QTextBlock& block);
};

// The empty paragraph that a document keeps before each table (a table starts after a block):
// it is no paragraph of the text.
bool IsTableAnchor(const QTextBlock& block);
// The table a paragraph is in; nullptr for none (and for an invalid block).
QTextTable* RtfTableOf(const QTextBlock& block);

// The list a paragraph of the style and level belongs in.
QTextListFormat RtfListFormat(const TRtfParagraph& paragraph);

struct TRtfPicture;

// The picture of rich text as an image resource of the document: PNG, JPEG and
// device-independent bitmaps as they are, others (metafiles, objects without a picture,
// damaged data) as a placeholder of the stored size. The format names the resource, carries
// the group and takes the run's character format.
QTextImageFormat RtfImageFormat(QTextDocument& document, const TRtfPicture& picture, QByteArray group,
                                const QTextCharFormat& run);

// The object that stands for hidden text in a run's format.
QTextCharFormat RtfHiddenTextFormat(const QTextCharFormat& run, const QString& text);
// Makes hidden text take no room where the document is laid out (once per document; reading
// needs none).
void RegisterHiddenText(QTextDocument& document);
// The text of a hidden-text object's format; empty for other formats.
QString HiddenTextOf(const QTextFormat& format);

// The family a character format names, else the default font's.
QString FamilyOf(const QTextCharFormat& format, const QFont& defaultFont);
// A font of symbols: written with the symbol charset when its text gives none.
bool IsSymbolFont(const QString& family);

} // namespace qel
