#include "GuiTest.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/RtfText.h"
#include "platform/qt/ShellOpen.h"
#include "windows/props/RichEditURL.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace qel;

namespace {

class RichEditURL : public ::testing::Test {
protected:
  void SetUp() override {
    test::EnsureApplication();
    Edit.resize(400, 300);
    Edit.show();
    Edit.OnURLClick = [this](TRichEditURL* sender, const QString& url) {
      EXPECT_EQ(sender, &Edit);
      Clicked << url;
    };
  }
  // The viewport point in the middle of the character at a position.
  QPoint PointOf(int position) {
    QTextCursor cursor(Edit.document());
    cursor.setPosition(position);
    const QRect left = Edit.cursorRect(cursor);
    cursor.setPosition(position + 1);
    return QPoint((left.x() + Edit.cursorRect(cursor).x()) / 2, left.center().y());
  }
  // Pages of a PDF the control printed.
  int PrintedPages(const QString& caption) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Temp.filePath("out.pdf"));
    const int pages = Edit.Print(caption, printer);
    const std::string pdf = ReadFileBytes(Temp.filePath("out.pdf").toStdString());
    static const QRegularExpression page(R"(/Type\s*/Page[^s])");
    EXPECT_EQ(QString::fromLatin1(pdf).count(page), pages);
    return pages;
  }
  struct TApplication {
    TApplication() { test::EnsureApplication(); }
  } Application; // before any widget
  TRichEditURL Edit;
  QStringList Clicked;
  QTemporaryDir Temp;
};

} // namespace

TEST_F(RichEditURL, AddressesAreUnderlinedOnScreenButNotInTheText) {
  Edit.SetRichText("see www.example.com/a?b=1, http://x.org/p. and ftp: nothing");
  const QTextBlock block = Edit.document()->firstBlock();
  QStringList underlined;
  for (const QTextLayout::FormatRange& range : block.layout()->formats())
    if (range.format.fontUnderline()) underlined << block.text().mid(range.start, range.length);
  EXPECT_EQ(underlined, (QStringList{"www.example.com/a?b=1", "http://x.org/p"}));
  EXPECT_EQ(Edit.GetRichText(), "see www.example.com/a?b=1, http://x.org/p. and ftp: nothing");
  int start = 0, end = 0;
  EXPECT_TRUE(Edit.URLAt(6, start, end));
  EXPECT_EQ(start, 4);
  EXPECT_FALSE(Edit.URLAt(2, start, end));
}

TEST_F(RichEditURL, ALeftClickOnAnAddressReportsAndSelectsIt) {
  Edit.SetRichText("go to www.example.com now");
  QTest::mouseClick(Edit.viewport(), Qt::RightButton, {}, PointOf(10));
  QTest::mouseMove(Edit.viewport(), PointOf(12));
  EXPECT_TRUE(Clicked.isEmpty());
  QTest::mouseClick(Edit.viewport(), Qt::LeftButton, {}, PointOf(3));
  EXPECT_TRUE(Clicked.isEmpty());
  QTest::mouseClick(Edit.viewport(), Qt::LeftButton, {}, PointOf(20));
  EXPECT_EQ(Clicked, QStringList{"www.example.com"});
  EXPECT_EQ(Edit.textCursor().selectedText(), "www.example.com");
  // Without a handler the click only selects.
  Edit.OnURLClick = nullptr;
  Edit.SetRichText("http://a.b");
  QTest::mouseClick(Edit.viewport(), Qt::LeftButton, {}, PointOf(2));
  EXPECT_EQ(Edit.textCursor().selectedText(), "http://a.b");
}

TEST_F(RichEditURL, AProgrammaticLoadIsNoEditAndKeepsItsBytes) {
  const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 Hello\\par}";
  Edit.SetRichText(rtf);
  EXPECT_FALSE(Edit.document()->isModified());
  EXPECT_FALSE(Edit.document()->isUndoAvailable());
  EXPECT_FALSE(Edit.ChangedSinceLoad());
  EXPECT_EQ(Edit.GetRichText(), rtf);
  QTextCursor(Edit.document()).insertText("Oh ");
  EXPECT_TRUE(Edit.ChangedSinceLoad());
  EXPECT_EQ(RtfToPlainText(Edit.GetRichText()), "Oh Hello\r\n");
}

TEST_F(RichEditURL, FilesLoadAndSaveInTheFileMode) {
  const std::string rtfFile = Temp.filePath("a.rtf").toStdString(), textFile = Temp.filePath("a.txt").toStdString();
  WriteFileBytes(rtfFile, "{\\rtf1 {\\b bold} text}");
  Edit.LoadFromFile(rtfFile);
  EXPECT_EQ(Edit.toPlainText(), "bold text");
  Edit.PlainText = true;
  Edit.LoadFromFile(rtfFile);
  EXPECT_EQ(Edit.toPlainText(), "{\\rtf1 {\\b bold} text}");
  Edit.SetPlainTextAnsi("one\r\ntw\xf6");
  Edit.SaveToFile(textFile);
  EXPECT_EQ(ReadFileBytes(textFile), "one\r\ntw\xf6");
  Edit.PlainText = false;
  Edit.SaveToFile(rtfFile);
  EXPECT_EQ(ReadFileBytes(rtfFile).substr(0, 6), "{\\rtf1");
  EXPECT_THROW(Edit.LoadFromFile(Temp.filePath("missing.rtf").toStdString()), qel::EInOutError);
  EXPECT_EQ(Edit.toPlainText(), "one\ntw\u00f6");
}

TEST_F(RichEditURL, PrintingStartsANewPageForEachFurtherPart) {
  Edit.SetRichText("");
  EXPECT_EQ(PrintedPages("Caption only"), 1);
  QString text;
  for (int i = 0; i < 400; ++i) text += QString("line %1\n").arg(i);
  Edit.setPlainText(text);
  const int wholePages = PrintedPages("Long");
  EXPECT_GT(wholePages, 1);
  QPrinter printer(QPrinter::HighResolution);
  Edit.PageRect = TRichEditURL::PrintMargins(printer);
  EXPECT_EQ(Edit.PageRect.left(), printer.logicalDpiX());
  EXPECT_EQ(Edit.PageRect.top(), printer.logicalDpiY() * 3 / 2);
  // The margins leave less room on each page than the whole page.
  EXPECT_GT(PrintedPages("Long"), wholePages);
}

TEST(OpenURL, BareAddressesOpenAsWebAddresses) {
  struct TRecorder : IShellOpener {
    std::vector<std::string> Opened;
    bool Open(const std::string& target) override {
      Opened.push_back(target);
      return true;
    }
  } recorder;
  IShellOpener* previous = SetShellOpener(&recorder);
  OpenURL("WWW.example.com");
  OpenURL("http://x.org");
  SetShellOpener(previous);
  EXPECT_EQ(recorder.Opened, (std::vector<std::string>{"http://WWW.example.com", "http://x.org"}));
}
