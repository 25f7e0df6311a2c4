#include "RtfFormat.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextList>
#include <cmath>

namespace qel {

QTextCharFormat TRtfRun::ToCharFormat() const {
  QTextCharFormat format;
  if (!Family.isEmpty()) format.setFontFamilies(QStringList{Family});
  format.setFontPointSize(HalfPoints / 2.0);
  format.setFontWeight(Bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(Italic);
  format.setFontUnderline(Underline);
  format.setFontStrikeOut(Strike);
  if (Color.isValid()) format.setForeground(Color);
  if (Charset >= 0) format.setProperty(kRtfCharsetProperty, Charset);
  return format;
}

QString FamilyOf(const QTextCharFormat& format, const QFont& defaultFont) {
  if (format.hasProperty(QTextFormat::FontFamilies)) {
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.first().isEmpty()) return families.first();
  }
  const QString family = format.property(QTextFormat::FontFamily).toString();
  if (!family.isEmpty()) return family;
  return defaultFont.family();
}

TRtfRun TRtfRun::FromCharFormat(const QTextCharFormat& format, const QFont& defaultFont) {
  TRtfRun run;
  run.Family = FamilyOf(format, defaultFont);
  double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : defaultFont.pointSizeF();
  if (points <= 0) points = 12;
  run.HalfPoints = static_cast<int>(std::lround(points * 2));
  run.Bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold : defaultFont.bold();
  run.Italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : defaultFont.italic();
  run.Underline = format.fontUnderline();
  run.Strike = format.fontStrikeOut();
  if (format.foreground().style() != Qt::NoBrush) run.Color = format.foreground().color();
  if (format.hasProperty(kRtfCharsetProperty)) run.Charset = format.intProperty(kRtfCharsetProperty);
  return run;
}

QTextBlockFormat TRtfParagraph::ToBlockFormat() const {
  QTextBlockFormat format;
  switch (Align) {
  case TRtfAlign::Left: format.setAlignment(Qt::AlignLeft); break;
  case TRtfAlign::Right: format.setAlignment(Qt::AlignRight); break;
  case TRtfAlign::Center: format.setAlignment(Qt::AlignHCenter); break;
  case TRtfAlign::Justify: format.setAlignment(Qt::AlignJustify); break;
  }
  format.setLeftMargin(LeftTwips / kTwipsPerPixel);
  format.setRightMargin(RightTwips / kTwipsPerPixel);
  format.setTextIndent(FirstTwips / kTwipsPerPixel);
  return format;
}

TRtfParagraph TRtfParagraph::FromBlock(const QTextBlock& block) {
  const QTextBlockFormat format = block.blockFormat();
  TRtfParagraph paragraph;
  const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
  if (align & Qt::AlignRight)
    paragraph.Align = TRtfAlign::Right;
  else if (align & Qt::AlignHCenter)
    paragraph.Align = TRtfAlign::Center;
  else if (align & Qt::AlignJustify)
    paragraph.Align = TRtfAlign::Justify;
  paragraph.LeftTwips = static_cast<int>(std::lround(format.leftMargin() * kTwipsPerPixel));
  paragraph.RightTwips = static_cast<int>(std::lround(format.rightMargin() * kTwipsPerPixel));
  paragraph.FirstTwips = static_cast<int>(std::lround(format.textIndent() * kTwipsPerPixel));
  paragraph.Bullet = block.textList() != nullptr;
  return paragraph;
}

} // namespace qel
