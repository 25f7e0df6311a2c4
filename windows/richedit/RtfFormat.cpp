#include "RtfFormat.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextObjectInterface>
#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextTable>
#include <QTextCharFormat>
#include <QTextList>
#include <QTextOption>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace qel {
namespace {

int Twips(double pixels) { return static_cast<int>(std::lround(pixels * kTwipsPerPixel)); }

QTextListFormat::Style QtStyle(TRtfListStyle style) {
  switch (style) {
  case TRtfListStyle::Decimal: return QTextListFormat::ListDecimal;
  case TRtfListStyle::LowerAlpha: return QTextListFormat::ListLowerAlpha;
  case TRtfListStyle::UpperAlpha: return QTextListFormat::ListUpperAlpha;
  case TRtfListStyle::LowerRoman: return QTextListFormat::ListLowerRoman;
  case TRtfListStyle::UpperRoman: return QTextListFormat::ListUpperRoman;
  default: return QTextListFormat::ListDisc;
  }
}

TRtfListStyle StyleOf(QTextListFormat::Style style) {
  switch (style) {
  case QTextListFormat::ListDecimal: return TRtfListStyle::Decimal;
  case QTextListFormat::ListLowerAlpha: return TRtfListStyle::LowerAlpha;
  case QTextListFormat::ListUpperAlpha: return TRtfListStyle::UpperAlpha;
  case QTextListFormat::ListLowerRoman: return TRtfListStyle::LowerRoman;
  case QTextListFormat::ListUpperRoman: return TRtfListStyle::UpperRoman;
  default: return TRtfListStyle::Disc;
  }
}

QString Roman(int number) {
  static const std::pair<int, const char*> kDigits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                                                        {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                                                        {5, "v"},    {4, "iv"},   {1, "i"}};
  QString text;
  for (const auto& [value, digits] : kDigits)
    for (; number >= value; number -= value) text += QLatin1String(digits);
  return text;
}

QString Alpha(int number) {
  QString text;
  for (; number > 0; number = (number - 1) / 26) text.prepend(QChar('a' + (number - 1) % 26));
  return text;
}

// Hidden text takes no width and draws nothing; its line is as high as for shown text.
class THiddenText : public QObject, public QTextObjectInterface {
  Q_OBJECT
  Q_INTERFACES(QTextObjectInterface)
public:
  using QObject::QObject;
  QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat& format) override {
    return QSizeF(0, QFontMetricsF(format.toCharFormat().font()).height());
  }
  void drawObject(QPainter*, const QRectF&, QTextDocument*, int, const QTextFormat&) override {}
};

} // namespace

void RegisterHiddenText(QTextDocument& document) {
  QAbstractTextDocumentLayout* layout = document.documentLayout();
  if (!layout->handlerForObject(kRtfHiddenTextObject)) layout->registerHandler(kRtfHiddenTextObject, new THiddenText(&document));
}

QTextCharFormat RtfHiddenTextFormat(const QTextCharFormat& run, const QString& text) {
  QTextCharFormat format = run;
  format.setObjectType(kRtfHiddenTextObject);
  format.setProperty(kRtfHiddenTextProperty, text);
  return format;
}

QString HiddenTextOf(const QTextFormat& format) {
  return format.objectType() == kRtfHiddenTextObject ? format.stringProperty(kRtfHiddenTextProperty) : QString();
}

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
  if (Shading.isValid()) format.setProperty(kRtfShadingProperty, Shading);
  if (Highlight.isValid() || Shading.isValid()) format.setBackground(Highlight.isValid() ? Highlight : Shading);
  if (Highlight.isValid()) format.setProperty(kRtfHighlightProperty, true);
  if (!Link.isEmpty()) {
    format.setAnchor(true);
    format.setAnchorHref(RtfLinkTarget(Link));
    format.setProperty(kRtfFieldProperty, Link);
  }
  if (Script != TRtfScript::Normal)
    format.setVerticalAlignment(Script == TRtfScript::Super ? QTextCharFormat::AlignSuperScript
                                                            : QTextCharFormat::AlignSubScript);
  if (OffsetHalfPoints != 0) format.setBaselineOffset(OffsetHalfPoints * 100.0 / HalfPoints);
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
  if (format.hasProperty(kRtfShadingProperty)) run.Shading = format.colorProperty(kRtfShadingProperty);
  if (format.background().style() != Qt::NoBrush &&
      (format.boolProperty(kRtfHighlightProperty) || format.background().color() != run.Shading))
    run.Highlight = format.background().color();
  run.Link = format.stringProperty(kRtfFieldProperty);
  run.Hidden = format.objectType() == kRtfHiddenTextObject;
  if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript) run.Script = TRtfScript::Super;
  if (format.verticalAlignment() == QTextCharFormat::AlignSubScript) run.Script = TRtfScript::Sub;
  run.OffsetHalfPoints = static_cast<int>(std::lround(format.baselineOffset() * run.HalfPoints / 100.0));
  return run;
}

bool TRtfParagraph::SameList(const TRtfParagraph& other) const {
  return Bullet && other.Bullet && ListId == other.ListId && ListStyle == other.ListStyle &&
         ListLevel == other.ListLevel;
}

QTextBlockFormat TRtfParagraph::ToBlockFormat() const {
  QTextBlockFormat format;
  // Left and right are the page's sides, also in a right-to-left paragraph.
  const Qt::Alignment absolute = RightToLeft ? Qt::AlignAbsolute : Qt::Alignment();
  switch (Align) {
  case TRtfAlign::Left: format.setAlignment(Qt::AlignLeft | absolute); break;
  case TRtfAlign::Right: format.setAlignment(Qt::AlignRight | absolute); break;
  case TRtfAlign::Center: format.setAlignment(Qt::AlignHCenter); break;
  case TRtfAlign::Justify: format.setAlignment(Qt::AlignJustify); break;
  }
  if (RightToLeft) format.setLayoutDirection(Qt::RightToLeft);
  format.setLeftMargin(LeftTwips / kTwipsPerPixel);
  format.setRightMargin(RightTwips / kTwipsPerPixel);
  format.setTextIndent(FirstTwips / kTwipsPerPixel);
  if (SpaceBefore != 0) format.setTopMargin(SpaceBefore / kTwipsPerPixel);
  if (SpaceAfter != 0) format.setBottomMargin(SpaceAfter / kTwipsPerPixel);
  if (LineSpacing != 0) {
    format.setProperty(kRtfLineSpacingProperty, LineSpacing);
    format.setProperty(kRtfLineMultipleProperty, LineMultiple);
    if (LineMultiple && LineSpacing > 0)
      format.setLineHeight(LineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
    else if (!LineMultiple)
      format.setLineHeight(std::abs(LineSpacing) / kTwipsPerPixel,
                           LineSpacing > 0 ? QTextBlockFormat::MinimumHeight : QTextBlockFormat::FixedHeight);
  }
  if (!Tabs.empty()) {
    QList<QTextOption::Tab> tabs;
    for (const TRtfTab& tab : Tabs) {
      const QTextOption::TabType type = tab.Align == TRtfAlign::Right    ? QTextOption::RightTab
                                        : tab.Align == TRtfAlign::Center ? QTextOption::CenterTab
                                        : tab.Align == TRtfAlign::Justify ? QTextOption::DelimiterTab
                                                                          : QTextOption::LeftTab;
      tabs.append(QTextOption::Tab(tab.Twips / kTwipsPerPixel, type, tab.Align == TRtfAlign::Justify ? '.' : QChar()));
    }
    format.setTabPositions(tabs);
  }
  return format;
}

TRtfParagraph TRtfParagraph::FromBlock(const QTextBlock& block) {
  const QTextBlockFormat format = block.blockFormat();
  TRtfParagraph paragraph;
  paragraph.RightToLeft = format.layoutDirection() == Qt::RightToLeft;
  const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
  // Without AlignAbsolute, left and right are mirrored in a right-to-left paragraph.
  const bool mirrored = paragraph.RightToLeft && !(align & Qt::AlignAbsolute);
  if (align & (mirrored ? Qt::AlignLeft : Qt::AlignRight))
    paragraph.Align = TRtfAlign::Right;
  else if (align & Qt::AlignHCenter)
    paragraph.Align = TRtfAlign::Center;
  else if (align & Qt::AlignJustify)
    paragraph.Align = TRtfAlign::Justify;
  paragraph.LeftTwips = Twips(format.leftMargin());
  paragraph.RightTwips = Twips(format.rightMargin());
  paragraph.FirstTwips = Twips(format.textIndent());
  paragraph.SpaceBefore = Twips(format.topMargin());
  paragraph.SpaceAfter = Twips(format.bottomMargin());
  if (format.hasProperty(kRtfLineSpacingProperty)) {
    paragraph.LineSpacing = format.intProperty(kRtfLineSpacingProperty);
    paragraph.LineMultiple = format.boolProperty(kRtfLineMultipleProperty);
  } else if (format.hasProperty(QTextFormat::LineHeightType)) {
    const double height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
      paragraph.LineSpacing = height == 100 ? 0 : static_cast<int>(std::lround(height * 240 / 100));
      paragraph.LineMultiple = paragraph.LineSpacing != 0;
      break;
    case QTextBlockFormat::MinimumHeight: paragraph.LineSpacing = Twips(height); break;
    case QTextBlockFormat::FixedHeight: paragraph.LineSpacing = -Twips(height); break;
    default: break;
    }
  }
  for (const QTextOption::Tab& tab : format.tabPositions()) {
    TRtfTab rtf;
    rtf.Twips = Twips(tab.position);
    rtf.Align = tab.type == QTextOption::RightTab       ? TRtfAlign::Right
                : tab.type == QTextOption::CenterTab    ? TRtfAlign::Center
                : tab.type == QTextOption::DelimiterTab ? TRtfAlign::Justify
                                                        : TRtfAlign::Left;
    paragraph.Tabs.push_back(rtf);
  }
  paragraph.InTable = RtfTableOf(block) != nullptr;
  if (const QTextList* list = block.textList()) {
    paragraph.Bullet = true;
    paragraph.ListStyle = StyleOf(list->format().style());
    paragraph.ListLevel = std::max(list->format().indent() - 1, 0);
  }
  return paragraph;
}

bool IsTableAnchor(const QTextBlock& block) {
  const QTextBlock next = block.next();
  return block.length() <= 1 && next.isValid() && !RtfTableOf(block) && RtfTableOf(next);
}

QTextTable* RtfTableOf(const QTextBlock& block) {
  if (!block.isValid() || !block.document()) return nullptr;
  return qobject_cast<QTextTable*>(block.document()->frameAt(block.position()));
}

QTextListFormat RtfListFormat(const TRtfParagraph& paragraph) {
  QTextListFormat format;
  format.setStyle(QtStyle(paragraph.ListStyle));
  format.setIndent(paragraph.ListLevel + 1);
  return format;
}

QString RtfListMark(TRtfListStyle style, int number) {
  switch (style) {
  case TRtfListStyle::Decimal: return QString::number(number) + '.';
  case TRtfListStyle::LowerAlpha: return Alpha(number) + '.';
  case TRtfListStyle::UpperAlpha: return Alpha(number).toUpper() + '.';
  case TRtfListStyle::LowerRoman: return Roman(number) + '.';
  case TRtfListStyle::UpperRoman: return Roman(number).toUpper() + '.';
  default: return QString(QChar(0xB7));
  }
}

QString RtfLinkTarget(const QString& instruction) {
  // Words are quoted or bare; switches start with a backslash, and some take the word after.
  std::vector<std::pair<QString, bool>> words; // and whether it was quoted
  for (qsizetype at = 0; at < instruction.size();) {
    if (instruction[at].isSpace()) {
      ++at;
    } else if (instruction[at] == '"') {
      qsizetype end = instruction.indexOf('"', at + 1);
      if (end < 0) end = instruction.size();
      words.emplace_back(instruction.mid(at + 1, end - at - 1), true);
      at = end + 1;
    } else {
      qsizetype end = at;
      while (end < instruction.size() && !instruction[end].isSpace() && instruction[end] != '"') ++end;
      words.emplace_back(instruction.mid(at, end - at), false);
      at = end;
    }
  }
  if (words.empty() || words[0].second || words[0].first.compare("HYPERLINK", Qt::CaseInsensitive) != 0) return {};
  QString address, place;
  for (size_t i = 1; i < words.size(); ++i) {
    const auto& [word, quoted] = words[i];
    const bool switchWord = !quoted && word.startsWith('\\');
    const QChar letter = word.size() == 2 ? word[1].toLower() : QChar();
    const bool argument = switchWord && i + 1 < words.size() && (letter == 'l' || letter == 'o' || letter == 't');
    if (argument && letter == 'l')
      place = words[i + 1].first;
    else if (!switchWord && address.isEmpty())
      address = word;
    if (argument) ++i;
  }
  return place.isEmpty() ? address : address + '#' + place;
}

TRtfListStyle RtfListStyleOfMark(const QString& mark) {
  static const QRegularExpression punctuation(QStringLiteral("[\\s.)(\\]]"));
  QString text = mark;
  text.remove(punctuation);
  if (text.isEmpty()) return TRtfListStyle::Disc;
  auto all = [&](auto test) { return std::all_of(text.begin(), text.end(), test); };
  if (all([](QChar c) { return c.isDigit(); })) return TRtfListStyle::Decimal;
  if (all([](QChar c) { return QStringLiteral("ivxlcdm").contains(c); }) && text != "c" && text != "d")
    return TRtfListStyle::LowerRoman;
  if (all([](QChar c) { return QStringLiteral("IVXLCDM").contains(c); }) && text != "C" && text != "D")
    return TRtfListStyle::UpperRoman;
  if (all([](QChar c) { return c >= 'a' && c <= 'z'; })) return TRtfListStyle::LowerAlpha;
  if (all([](QChar c) { return c >= 'A' && c <= 'Z'; })) return TRtfListStyle::UpperAlpha;
  return TRtfListStyle::Disc;
}

bool IsSymbolFont(const QString& family) {
  return family.compare("Symbol", Qt::CaseInsensitive) == 0 || family.startsWith("Wingdings", Qt::CaseInsensitive) ||
         family.compare("Webdings", Qt::CaseInsensitive) == 0 || family.compare("Marlett", Qt::CaseInsensitive) == 0;
}

} // namespace qel

#include "RtfFormat.moc"
