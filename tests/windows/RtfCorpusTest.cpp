// Notes as the platform's rich-edit control and word processors write them: each is loaded, one
// character is typed, the note is stored and loaded again.
#include "GuiTest.h"
#include "RtfDescribe.h"
#include "platform/FileNames.h"
#include "platform/RtfText.h"
#include "windows/RtfReader.h"
#include "windows/RtfWriter.h"

#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace qel;

namespace {

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const QString& name : QDir(QEL_RTF_CORPUS).entryList({"*.rtf"}, QDir::Files, QDir::Name))
    files.push_back(std::string(QEL_RTF_CORPUS) + "/" + name.toStdString());
  return files;
}

std::string Utf8Text(const QTextDocument& document) { return document.toPlainText().toStdString(); }

class RtfCorpus : public ::testing::Test {
protected:
  void SetUp() override { test::EnsureApplication(); }
  std::string Load(const std::string& name) {
    const std::string rtf = ReadFileBytes(std::string(QEL_RTF_CORPUS) + "/" + name);
    ReadRtf(rtf, Document);
    return Utf8Text(Document);
  }
  QTextDocument Document;
};

} // namespace

TEST_F(RtfCorpus, EveryNoteSurvivesTypingOneCharacterAndStoring) {
  const std::vector<std::string> files = CorpusFiles();
  ASSERT_GE(files.size(), 9u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const std::string rtf = ReadFileBytes(file);
    QTextDocument document;
    document.setDefaultFont(QFont("Arial", 10));
    ReadRtf(rtf, document);
    // The editor and the search read the same text.
    EXPECT_EQ(PlainTextOf(document), RtfToPlainText(rtf));
    const std::string before = test::DescribeRtfDocument(document);

    QTextCursor cursor(document.begin());
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText("!");
    const std::string edited = test::DescribeRtfDocument(document);
    EXPECT_NE(edited, before);

    const std::string written = WriteRtf(document);
    QTextDocument again;
    again.setDefaultFont(document.defaultFont());
    ReadRtf(written, again);
    EXPECT_EQ(test::DescribeRtfDocument(again), edited) << written;
    EXPECT_EQ(WriteRtf(again), written);
  }
}

TEST_F(RtfCorpus, CharsetsAreDecoded) {
  EXPECT_EQ(Load("richedit-cyrillic.rtf"), "Привет, мир! Hello Да\n");
  EXPECT_EQ(Load("richedit-greek-ce.rtf"), "αβγ Αθήνα and łódź Šč ğı\n");
  EXPECT_EQ(Load("richedit-japanese.rtf"), "こんにちは Arial 日本語\n中文 mixed\n");
  EXPECT_EQ(Load("richedit-plain.rtf"), "First line of a note with bold, italic and café.\nSecond line\n");
}
