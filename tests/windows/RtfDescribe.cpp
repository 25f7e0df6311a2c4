#include "RtfDescribe.h"

#include "windows/RtfFormat.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace qel::test {

std::string DescribeRtfDocument(const QTextDocument& document) {
  std::string out;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const TRtfParagraph p = TRtfParagraph::FromBlock(block);
    out += "[" + std::to_string(static_cast<int>(p.Align)) + " " + std::to_string(p.LeftTwips) + " " +
           std::to_string(p.RightTwips) + " " + std::to_string(p.FirstTwips) + (p.Bullet ? " bullet" : "") + "]";
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().isImageFormat()) {
        const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
        out += "<picture " + std::to_string(qRound(image.width())) + "x" + std::to_string(qRound(image.height())) + " " +
               std::to_string(image.property(kRtfGroupProperty).toByteArray().size()) + " bytes>";
        continue;
      }
      const TRtfRun r = TRtfRun::FromCharFormat(it.fragment().charFormat(), document.defaultFont());
      out += "(" + r.Family.toStdString() + " " + std::to_string(r.HalfPoints) + (r.Bold ? " b" : "") +
             (r.Italic ? " i" : "") + (r.Underline ? " u" : "") + (r.Strike ? " s" : "") +
             (r.Color.isValid() ? " " + r.Color.name().toStdString() : "") +
             (r.Charset >= 0 ? " charset" + std::to_string(r.Charset) : "") + ")" + it.fragment().text().toStdString();
    }
    out += "\n";
  }
  return out;
}

} // namespace qel::test
