#include "GuiTest.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/RtfText.h"
#include "platform/qt/ShellOpen.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/richedit/RtfReader.h"


#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QPrinter>
#include <QTextImageFormat>
#include <QUrl>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace qel;

namespace {

// What the program would open.
struct TShellRecorder : IShellOpener {
  std::vector<std::string> Opened;
  bool Open(const std::string& target) override {
    Opened.push_back(target);
    return true;
  }
};

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

// Fault: the file mode left after a print read RTF files as plain text and wrote ".rtf" files
// as plain text.
TEST_F(RichEditURL, FilesLoadByTheirContentAndSaveByTheirName) {
  const std::string rtfFile = Temp.filePath("a.rtf").toStdString(), textFile = Temp.filePath("a.txt").toStdString();
  const std::string other = Temp.filePath("a.doc").toStdString();
  WriteFileBytes(rtfFile, "{\\rtf1 {\\b bold} text}");
  for (bool plainMode : {false, true}) {
    Edit.PlainText = plainMode;
    Edit.LoadFromFile(rtfFile);
    EXPECT_EQ(Edit.toPlainText(), "bold text");
  }
  WriteFileBytes(textFile, "plain {\\rtf1 x}");
  Edit.PlainText = false;
  Edit.LoadFromFile(textFile);
  EXPECT_EQ(Edit.toPlainText(), "plain {\\rtf1 x}");
  Edit.SetPlainTextAnsi("one\r\ntw\xf6");
  for (bool plainMode : {false, true}) {
    Edit.PlainText = plainMode;
    Edit.SaveToFile(textFile);
    EXPECT_EQ(ReadFileBytes(textFile), "one\r\ntw\xf6");
    Edit.SaveToFile(rtfFile);
    EXPECT_EQ(ReadFileBytes(rtfFile).substr(0, 6), "{\\rtf1");
    Edit.SaveToFile(other); // any other name: as the mode says
    EXPECT_EQ(ReadFileBytes(other).substr(0, 6) == "{\\rtf1", !plainMode);
  }
  EXPECT_THROW(Edit.LoadFromFile(Temp.filePath("missing.rtf").toStdString()), qel::EInOutError);
  EXPECT_EQ(Edit.toPlainText(), "one\ntw\u00f6");
}

// The pictures of a stored text, read back: each picture's image.
std::vector<QImage> StoredPictures(const std::string& rtf) {
  QTextDocument read;
  ReadRtf(rtf, read);
  std::vector<QImage> pictures;
  for (QTextBlock block = read.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat())
        pictures.push_back(read.resource(QTextDocument::ImageResource,
                                         QUrl(it.fragment().charFormat().toImageFormat().name()))
                               .value<QImage>());
  return pictures;
}

// Fault: an image copied from another program (no rich text) pasted nothing, and a dropped
// picture file went in as its name. Both become a picture of the text, stored as PNG.
TEST_F(RichEditURL, ImagesFromTheClipboardAndDroppedPictureFilesBecomePictures) {
  QImage image(7, 5, QImage::Format_RGB32);
  image.fill(QColor(10, 200, 30));
  image.setPixel(6, 4, qRgb(250, 0, 0));
  const QString png = Temp.filePath("dropped.png"), bmp = Temp.filePath("dropped.bmp");
  ASSERT_TRUE(image.save(png, "PNG"));
  ASSERT_TRUE(image.save(bmp, "BMP"));
  enum class TWay { Paste, Drop };
  const struct {
    const char* name;
    TWay way;
    std::function<QMimeData*()> data;
  } cases[] = {
      {"clipboard image", TWay::Paste, [&] { auto* d = new QMimeData; d->setImageData(image); return d; }},
      {"dropped png file", TWay::Drop, [&] { auto* d = new QMimeData; d->setUrls({QUrl::fromLocalFile(png)}); return d; }},
      {"dropped bmp file", TWay::Drop, [&] { auto* d = new QMimeData; d->setUrls({QUrl::fromLocalFile(bmp)}); return d; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Edit.SetRichText("{\\rtf1 ab}");
    QTextCursor caret(Edit.document());
    caret.setPosition(1);
    Edit.setTextCursor(caret);
    std::unique_ptr<QMimeData> dropped;
    if (c.way == TWay::Paste) {
      QApplication::clipboard()->setMimeData(c.data());
      Edit.paste();
    } else {
      dropped.reset(c.data());
      const QPoint at = Edit.cursorRect(caret).center();
      QDragEnterEvent enter(at, Qt::CopyAction, dropped.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(Edit.viewport(), &enter);
      QDragMoveEvent move(at, Qt::CopyAction, dropped.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(Edit.viewport(), &move);
      QDropEvent drop(QPointF(at), Qt::CopyAction, dropped.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(Edit.viewport(), &drop);
    }
    const std::string rtf = Edit.GetRichText();
    EXPECT_NE(rtf.find("\\pngblip"), std::string::npos);
    EXPECT_EQ(RtfToPlainText(rtf).find('a'), 0u);
    const std::vector<QImage> pictures = StoredPictures(rtf);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].size(), image.size());
    EXPECT_EQ(pictures[0].pixel(0, 0), image.pixel(0, 0));
    EXPECT_EQ(pictures[0].pixel(6, 4), image.pixel(6, 4));
  }
}

// Fault: file, telnet, news and gopher addresses were underlined and opened.
TEST_F(RichEditURL, OnlyWebAndMailAddressesAreLinks) {
  Edit.SetRichText("a https://s.org/x b mailto:me@x.org c ftp://f.org d file:///etc/passwd e telnet://h f "
                   "news:a.b g gopher://g h javascript:alert(1) i HTTPS:// j");
  const QTextBlock block = Edit.document()->firstBlock();
  QStringList underlined;
  for (const QTextLayout::FormatRange& range : block.layout()->formats())
    if (range.format.fontUnderline()) underlined << block.text().mid(range.start, range.length);
  EXPECT_EQ(underlined, (QStringList{"https://s.org/x", "mailto:me@x.org", "ftp://f.org"}));
  for (const char* address : {"file:///etc/passwd", "telnet://h", "news:a.b", "gopher://g", "javascript:alert(1)",
                              "https://", "C:\\Windows\\x.exe"})
    EXPECT_FALSE(IsWebAddress(address)) << address;
  for (const char* address : {"http://a", "HTTPS://a", "ftp://a", "mailto:a@b", "www.a"})
    EXPECT_TRUE(IsWebAddress(address)) << address;
}

// The control's own keys; the program's keys come first.
TEST_F(RichEditURL, CtrlKeysFormatTheTextUnlessTheProgramTakesThem) {
  Edit.SetRichText("one");
  Edit.selectAll();
  QTest::keyClick(&Edit, Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Edit.currentCharFormat().fontWeight(), QFont::Bold);
  const std::pair<Qt::Key, Qt::Alignment> aligns[] = {
      {Qt::Key_E, Qt::AlignHCenter}, {Qt::Key_R, Qt::AlignRight}, {Qt::Key_L, Qt::AlignLeft}};
  for (auto [key, align] : aligns) {
    QTest::keyClick(&Edit, key, Qt::ControlModifier);
    EXPECT_EQ(Edit.alignment() & Qt::AlignHorizontal_Mask, align);
  }
  QTest::keyClick(&Edit, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Edit.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  QStringList taken;
  Edit.OnProgramKey = [&](QKeyEvent* key) {
    if (key->key() != Qt::Key_R) return false;
    taken << "R";
    return true;
  };
  QTest::keyClick(&Edit, Qt::Key_R, Qt::ControlModifier);
  QTest::keyClick(&Edit, Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(taken, QStringList{"R"});
  EXPECT_EQ(Edit.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
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
  TShellRecorder recorder;
  IShellOpener* previous = SetShellOpener(&recorder);
  OpenURL("WWW.example.com");
  OpenURL("http://x.org");
  SetShellOpener(previous);
  EXPECT_EQ(recorder.Opened, (std::vector<std::string>{"http://WWW.example.com", "http://x.org"}));
}

// A link of the text (a field, as word processors write it) reports its target, not its text;
// opening it goes through the same check of schemes as a typed address.
TEST_F(RichEditURL, ALeftClickOnALinkReportsItsTargetAndOnlyWebAddressesOpen) {
  Edit.SetRichText("{\\rtf1 go {\\field{\\*\\fldinst {HYPERLINK \"https://example.com/?q=1&r=2\" }}{\\fldrslt {\\ul here}"
                   "{\\ul\\b  now}}} or {\\field{\\*\\fldinst HYPERLINK \"file:///etc/passwd\"}{\\fldrslt there}}.}");
  QTest::mouseClick(Edit.viewport(), Qt::LeftButton, {}, PointOf(1));
  EXPECT_TRUE(Clicked.isEmpty());
  QTest::mouseClick(Edit.viewport(), Qt::LeftButton, {}, PointOf(10));
  EXPECT_EQ(Clicked, QStringList{"https://example.com/?q=1&r=2"});
  EXPECT_EQ(Edit.textCursor().selectedText(), "here now");
  QTest::mouseClick(Edit.viewport(), Qt::LeftButton, {}, PointOf(17));
  ASSERT_EQ(Clicked.size(), 2);
  EXPECT_EQ(Clicked[1], "file:///etc/passwd");
  EXPECT_EQ(Edit.textCursor().selectedText(), "there");

  TShellRecorder recorder;
  IShellOpener* previous = SetShellOpener(&recorder);
  for (const QString& url : Clicked) OpenURL(url);
  SetShellOpener(previous);
  EXPECT_EQ(recorder.Opened, (std::vector<std::string>{"https://example.com/?q=1&r=2"}));
}

namespace {

// A note whose text holds one link; its text starts at position 3.
std::string LinkNote(const char* target, const char* shown) {
  return std::string("{\\rtf1 go {\\field{\\*\\fldinst{HYPERLINK \"") + target + "\"}}{\\fldrslt " + shown + "}} end}";
}

} // namespace

// Fault: a link opened with nothing shown first, so a link shown as one address could open
// another, and a refused one did nothing. Hovering shows the target (tool tip and status
// line); a refused target says why, also when clicked.
TEST_F(RichEditURL, ALinkShowsItsTargetBeforeItOpensAndARefusedOneSaysWhy) {
  const struct {
    const char* target;
    const char* refusal; // empty: it opens
  } cases[] = {
      {"https://evil.example/login", ""},
      {"javascript:alert(1)", "Not opened: only web and mail addresses open, not javascript: links."},
      {"file:///etc/passwd", "Not opened: only web and mail addresses open, not file: links."},
      {"smb://server/share", "Not opened: only web and mail addresses open, not smb: links."},
      {"data:text/html,x", "Not opened: only web and mail addresses open, not data: links."},
      {"#_Toc1", "Not opened: a place in the document the text came from."},
      {"C:\\\\Windows\\\\x.exe", "Not opened: only web and mail addresses open."},
  };
  QStringList status;
  Edit.OnLinkStatus = [&](const QString& text) { status << text; };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    const QString target = QString(c.target).replace("\\\\", "\\");
    const QString shown = c.refusal[0] ? target + " \u2014 " + c.refusal : target;
    Edit.SetRichText(LinkNote(c.target, "https://bank.example/login"));
    status.clear();
    Clicked.clear();
    QTest::mouseMove(Edit.viewport(), PointOf(8));
    QHelpEvent help(QEvent::ToolTip, PointOf(8), Edit.viewport()->mapToGlobal(PointOf(8)));
    QApplication::sendEvent(Edit.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), c.refusal[0] ? shown : shown + "\nClick to open, Ctrl+click to place the cursor.");
    QTest::mouseMove(Edit.viewport(), PointOf(1));
    EXPECT_EQ(status, (QStringList{shown, ""}));
    QTest::mouseClick(Edit.viewport(), Qt::LeftButton, {}, PointOf(8));
    EXPECT_EQ(Clicked, QStringList{target});
    if (c.refusal[0]) {
      EXPECT_EQ(QToolTip::text(), c.refusal);
      EXPECT_EQ(status.last(), c.refusal);
    }
    QToolTip::hideText();
  }
}

// Fault: a link whose text carried no underline or colour looked like plain text, and a click
// anywhere in a link opened it, so the caret could not be put into it with the mouse. Links
// look like links on screen only; a Ctrl+click or a drag places the caret.
TEST_F(RichEditURL, LinksLookLikeLinksAndACtrlClickOrADragPlacesTheCaret) {
  const std::string rtf = LinkNote("https://example.com/", "plain words");
  Edit.SetRichText(rtf);
  const QTextBlock block = Edit.document()->firstBlock();
  QStringList shownAsLinks;
  for (const QTextLayout::FormatRange& range : block.layout()->formats())
    if (range.format.fontUnderline() && range.format.foreground().color() == Edit.palette().color(QPalette::Link))
      shownAsLinks << block.text().mid(range.start, range.length);
  EXPECT_EQ(shownAsLinks, QStringList{"plain words"});
  QTextCursor inLink(Edit.document());
  inLink.setPosition(6);
  EXPECT_FALSE(inLink.charFormat().fontUnderline());
  EXPECT_EQ(Edit.GetRichText(), rtf);

  QTest::mouseClick(Edit.viewport(), Qt::LeftButton, Qt::ControlModifier, PointOf(6));
  EXPECT_TRUE(Clicked.isEmpty());
  EXPECT_FALSE(Edit.textCursor().hasSelection());
  EXPECT_TRUE(Edit.textCursor().position() > 3 && Edit.textCursor().position() < 14) << Edit.textCursor().position();

  QTest::mousePress(Edit.viewport(), Qt::LeftButton, {}, PointOf(5));
  QTest::mouseMove(Edit.viewport(), PointOf(10));
  QTest::mouseRelease(Edit.viewport(), Qt::LeftButton, {}, PointOf(10));
  EXPECT_TRUE(Clicked.isEmpty());
  EXPECT_EQ(Edit.textCursor().selectedText().size(), 5) << Edit.textCursor().selectedText().toStdString();
}

// Hidden text takes no room; the arrow keys pass over it as over nothing, and the deleting keys
// act on the shown character beyond it, so it is never edited unseen.
TEST_F(RichEditURL, HiddenTextTakesNoRoomAndTheCaretPassesIt) {
  Edit.SetRichText("{\\rtf1 ab{\\v secret}cd}"); // a b [hidden] c d
  QTextCursor caret(Edit.document());
  auto x = [&](int position) {
    caret.setPosition(position);
    return Edit.cursorRect(caret).x();
  };
  EXPECT_EQ(x(2), x(3));
  EXPECT_LT(x(1), x(2));
  const struct {
    int from;
    Qt::Key key;
    int to;
    const char* text; // shown
  } cases[] = {
      {2, Qt::Key_Right, 4, "abcd"}, {3, Qt::Key_Left, 1, "abcd"},     {4, Qt::Key_Left, 3, "abcd"},
      {3, Qt::Key_Backspace, 1, "acd"}, {2, Qt::Key_Delete, 3, "abd"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " key " + std::to_string(c.key));
    Edit.SetRichText("{\\rtf1 ab{\\v secret}cd}");
    caret.setPosition(c.from);
    Edit.setTextCursor(caret);
    QTest::keyClick(&Edit, c.key);
    EXPECT_EQ(Edit.textCursor().position(), c.to);
    EXPECT_EQ(PlainTextOf(*Edit.document()), c.text);
    const std::string stored = Edit.GetRichText();
    EXPECT_EQ(RtfToPlainText(stored), c.text);
    EXPECT_NE(stored.find("secret"), std::string::npos) << stored;
  }
  // Copied as plain text, it is not there either.
  Edit.selectAll();
  Edit.copy();
  EXPECT_EQ(QApplication::clipboard()->text(), "abd");
}
