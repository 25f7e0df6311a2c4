#pragma once
// The character and paragraph formats that rich text carries here, shared by the RTF reader
// and writer: what a run of text or a paragraph looks like, in RTF's units (half points,
// twips), and its form in a QTextDocument. Indents become document pixels at 96 per inch.
#include <QColor>
#include <QFont>
#include <QString>
#include <QTextFormat>

class QTextBlock;
class QTextDocument;
class QTextImageFormat;
class QTextBlockFormat;
class QTextCharFormat;

namespace qel {

constexpr double kTwipsPerPixel = 15.0;

// Properties of text formats that only rich text gives: the charset of a run's font ("\fcharset").
constexpr int kRtfCharsetProperty = QTextFormat::UserProperty + 0x1101;
// Of a picture or object: the "{\pict ...}" or "{\object ...}" group it was read from
// (QByteArray), written back as it is.
constexpr int kRtfGroupProperty = QTextFormat::UserProperty + 0x1102;

struct TRtfRun {
  QString Family; // empty: the document's default font
  int HalfPoints = 24;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strike = false;
  QColor Color; // invalid: the automatic (default) colour
  int Charset = -1; // of the font; -1: none given (Windows-1252, or symbols for a symbol font)

  bool operator==(const TRtfRun& other) const = default;
  QTextCharFormat ToCharFormat() const;
  // Unset properties are taken from the document's default font.
  static TRtfRun FromCharFormat(const QTextCharFormat& format, const QFont& defaultFont);
};

enum class TRtfAlign { Left, Right, Center, Justify };

struct TRtfParagraph {
  TRtfAlign Align = TRtfAlign::Left;
  int LeftTwips = 0;
  int RightTwips = 0;
  int FirstTwips = 0; // first-line indent, relative to the left indent
  bool Bullet = false;

  bool operator==(const TRtfParagraph& other) const = default;
  // Without the bullet, which is list membership.
  QTextBlockFormat ToBlockFormat() const;
  static TRtfParagraph FromBlock(const QTextBlock& block);
};

struct TRtfPicture;

// The picture of rich text as an image resource of the document: PNG, JPEG and
// device-independent bitmaps as they are, others (metafiles, objects without a picture,
// damaged data) as a placeholder of the stored size. The format names the resource, carries
// the group and takes the run's character format.
QTextImageFormat RtfImageFormat(QTextDocument& document, const TRtfPicture& picture, QByteArray group,
                                const QTextCharFormat& run);

// The family a character format names, else the default font's.
QString FamilyOf(const QTextCharFormat& format, const QFont& defaultFont);

} // namespace qel
