#include "RtfDescribe.h"

#include "windows/richedit/RichEditURL.h"
#include "windows/richedit/RtfFormat.h"
#include "windows/richedit/RtfWriter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextTable>
#include <QTextImageFormat>
#include <QTextList>
#include <QTest>
#include <gtest/gtest.h>

namespace qel::test {

std::string DescribeRtfDocument(const QTextDocument& document) {
  std::string out;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const TRtfParagraph p = TRtfParagraph::FromBlock(block);
    if (const QTextTable* table = RtfTableOf(block)) {
      const QTextTableCell cell = table->cellAt(block.position());
      out += "<cell " + std::to_string(cell.row()) + "," + std::to_string(cell.column()) +
             (cell.format().boolProperty(kRtfCellOpenProperty) ? " open" : "") +
             (table->cellAt(cell.row(), 0).format().boolProperty(kRtfRowOpenProperty) ? " row-open" : "") + ">";
    }
    out += "[" + std::to_string(static_cast<int>(p.Align)) + " " + std::to_string(p.LeftTwips) + " " +
           std::to_string(p.RightTwips) + " " + std::to_string(p.FirstTwips) + (p.Bullet ? " bullet" : "");
    if (p.Bullet && (p.ListStyle != TRtfListStyle::Disc || p.ListLevel != 0))
      out += " list" + std::to_string(static_cast<int>(p.ListStyle)) + "/" + std::to_string(p.ListLevel);
    if (p.Bullet && p.ListStyle != TRtfListStyle::Disc) out += " " + block.textList()->itemText(block).toStdString();
    if (p.RightToLeft) out += " rtl";
    if (p.SpaceBefore || p.SpaceAfter) out += " space" + std::to_string(p.SpaceBefore) + "/" + std::to_string(p.SpaceAfter);
    if (p.LineSpacing) out += " line" + std::to_string(p.LineSpacing) + (p.LineMultiple ? "x" : "");
    for (const TRtfTab& tab : p.Tabs) out += " tab" + std::to_string(static_cast<int>(tab.Align)) + "@" + std::to_string(tab.Twips);
    out += "]";
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
             (r.Charset >= 0 ? " charset" + std::to_string(r.Charset) : "") +
             (r.Highlight.isValid() ? " highlight" + r.Highlight.name().toStdString() : "") +
             (r.Shading.isValid() ? " shading" + r.Shading.name().toStdString() : "") +
             (r.Script == TRtfScript::Super ? " super" : r.Script == TRtfScript::Sub ? " sub" : "") +
             (r.OffsetHalfPoints ? " offset" + std::to_string(r.OffsetHalfPoints) : "") + (r.Hidden ? " hidden" : "") +
             (r.Link.isEmpty() ? "" : " link<" + it.fragment().charFormat().anchorHref().toStdString() + ">") + ")" +
             (r.Hidden ? HiddenTextOf(it.fragment().charFormat()) : it.fragment().text()).toStdString();
    }
    out += "\n";
  }
  return out;
}

std::string ExpectKeptThroughAnEdit(const std::string& rtf, const std::string& shown,
                                    const std::vector<const char*>& stored) {
  TRichEditURL edit;
  edit.document()->setDefaultFont(QFont("Arial", 10));
  edit.SetRichText(rtf);
  EXPECT_EQ(DescribeRtfDocument(*edit.document()), shown);
  EXPECT_EQ(edit.GetRichText(), rtf);

  // One character typed at the start, in the format of the text there.
  edit.setFocus();
  edit.moveCursor(QTextCursor::Start);
  QTest::keyClick(&edit, Qt::Key_Exclam);
  std::string edited = shown;
  edited.insert(edited.find(')') + 1, "!");
  EXPECT_EQ(DescribeRtfDocument(*edit.document()), edited);
  const std::string written = edit.GetRichText();
  for (const char* part : stored) EXPECT_NE(written.find(part), std::string::npos) << part << "\n" << written;

  TRichEditURL again;
  again.document()->setDefaultFont(edit.document()->defaultFont());
  again.SetRichText(written);
  EXPECT_EQ(DescribeRtfDocument(*again.document()), edited) << written;
  EXPECT_EQ(WriteRtf(*again.document()), written);
  return written;
}

} // namespace qel::test
