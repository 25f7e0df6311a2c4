// Notes as the platform's rich-edit control and word processors write them: each is loaded, one
// character is typed, the note is stored and loaded again.
#include "GuiTest.h"
#include "RtfDescribe.h"
#include "platform/FileNames.h"
#include "platform/RtfText.h"
#include "platform/RtfTextScanner.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/richedit/RtfReader.h"
#include "windows/richedit/RtfWriter.h"

#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextImageFormat>
#include <QUrl>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace qel;

namespace {

// The picture and object groups of a text, byte for byte.
class TGroups : public TRtfSink {
public:
  void AnsiText(std::string_view) override {}
  void Text(std::u16string_view) override {}
  void Break(TRtfBreak) override {}
  void Picture(std::string_view group, bool inResult) override {
    if (!inResult) Groups.emplace_back(group);
  }
  void Object(std::string_view group) override { Groups.emplace_back(group); }
  std::vector<std::string> Groups;
};

std::vector<std::string> GroupsOf(const std::string& rtf) {
  TGroups groups;
  TRtfScanner(rtf, groups).Run();
  return groups.Groups;
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const QString& name : QDir(QEL_RTF_CORPUS).entryList({"*.rtf"}, QDir::Files, QDir::Name))
    files.push_back(std::string(QEL_RTF_CORPUS) + "/" + name.toStdString());
  return files;
}

std::string Utf8Text(const QTextDocument& document) { return document.toPlainText().toStdString(); }

class RtfCorpus : public ::testing::Test {
protected:
  void SetUp() override {
    test::EnsureApplication();
    Document.setDefaultFont(QFont("Arial", 10));
  }
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
    // Pictures and objects are written back as they came.
    for (const std::string& group : GroupsOf(rtf))
      EXPECT_NE(written.find(group), std::string::npos) << group.substr(0, 60);
    EXPECT_EQ(GroupsOf(written).size(), GroupsOf(rtf).size());
  }
}

TEST_F(RtfCorpus, CharsetsAreDecoded) {
  EXPECT_EQ(Load("richedit-cyrillic.rtf"), "Привет, мир! Hello Да\n");
  EXPECT_EQ(Load("richedit-greek-ce.rtf"), "αβγ Αθήνα and łódź Šč ğı\n");
  EXPECT_EQ(Load("richedit-japanese.rtf"), "こんにちは Arial 日本語\n中文 mixed\n");
  EXPECT_EQ(Load("richedit-plain.rtf"), "First line of a note with bold, italic and café.\nSecond line\n");
}

namespace {

struct TShownPicture {
  QImage Image;
  int Width, Height; // shown size in pixels
};

std::vector<TShownPicture> Pictures(const QTextDocument& document) {
  std::vector<TShownPicture> pictures;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat()) {
        const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
        pictures.push_back({document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>(),
                            qRound(format.width()), qRound(format.height())});
      }
  return pictures;
}

} // namespace

TEST_F(RtfCorpus, PicturesAreShownAtTheirStoredSize) {
  Load("wordpad-pictures.rtf");
  const std::vector<TShownPicture> pictures = Pictures(Document);
  ASSERT_EQ(pictures.size(), 5u);
  // PNG, from hexadecimal digits and from binary data.
  for (const TShownPicture& png : {pictures[0], pictures[4]}) {
    EXPECT_EQ(png.Width, 4);
    EXPECT_EQ(png.Height, 3);
    EXPECT_EQ(png.Image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(png.Image.pixelColor(1, 1), QColor(Qt::blue));
  }
  // JPEG, shown larger than it is.
  EXPECT_EQ(pictures[1].Width, 40);
  EXPECT_EQ(pictures[1].Height, 30);
  EXPECT_EQ(pictures[1].Image.size(), QSize(4, 3));
  EXPECT_GT(pictures[1].Image.pixelColor(2, 1).green(), 100);
  EXPECT_LT(pictures[1].Image.pixelColor(2, 1).red(), 50);
  // A device-independent bitmap: rows from the bottom up.
  const QImage& dib = pictures[2].Image;
  ASSERT_EQ(dib.size(), QSize(2, 2));
  EXPECT_EQ(dib.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(dib.pixelColor(1, 0), QColor(Qt::white));
  EXPECT_EQ(dib.pixelColor(0, 1), QColor(Qt::blue));
  EXPECT_EQ(dib.pixelColor(1, 1), QColor(Qt::green));
  // A metafile: a placeholder of its stored size.
  EXPECT_EQ(pictures[3].Width, 80);
  EXPECT_EQ(pictures[3].Height, 40);
  EXPECT_EQ(pictures[3].Image.size(), QSize(80, 40));
}

TEST_F(RtfCorpus, AnObjectIsShownByItsResultAndAShapeByItsPicture) {
  Load("word-shapes-object.rtf");
  const std::vector<TShownPicture> pictures = Pictures(Document);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0].Image.pixelColor(0, 0), QColor(Qt::red)); // the PNG, not the metafile beside it
  EXPECT_EQ(pictures[1].Image.size(), QSize(2, 2));                // the object's bitmap
  EXPECT_EQ(pictures[1].Image.pixelColor(0, 0), QColor(Qt::red));
  // Without a result, an object is a placeholder of its own size.
  ReadRtf("{\\rtf1 {\\object\\objemb\\objw600\\objh300{\\*\\objdata 0102}}}", Document);
  ASSERT_EQ(Pictures(Document).size(), 1u);
  EXPECT_EQ(Pictures(Document)[0].Width, 40);
  EXPECT_EQ(Pictures(Document)[0].Height, 20);
}

TEST_F(RtfCorpus, APictureMadeInTheEditorIsStoredAsPng) {
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(Qt::yellow);
  image.setPixelColor(2, 1, Qt::black);
  QTextCursor cursor(&Document);
  cursor.insertText("see ");
  Document.addResource(QTextDocument::ImageResource, QUrl("pasted"), image);
  QTextImageFormat format;
  format.setName("pasted");
  cursor.insertImage(format);
  const std::string written = WriteRtf(Document);
  EXPECT_NE(written.find("{\\pict\\pngblip\\picw3\\pich2\\picwgoal45\\pichgoal30"), std::string::npos) << written;
  QTextDocument again;
  again.setDefaultFont(Document.defaultFont());
  ReadRtf(written, again);
  const std::vector<TShownPicture> pictures = Pictures(again);
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0].Image.pixelColor(0, 0), QColor(Qt::yellow));
  EXPECT_EQ(pictures[0].Image.pixelColor(2, 1), QColor(Qt::black));
  EXPECT_EQ(WriteRtf(again), written);
}

// Bad picture data gives a placeholder, never a crash or a lost note.
TEST_F(RtfCorpus, DamagedPicturesArePlaceholders) {
  for (const char* rtf : {"{\\rtf1 a{\\pict\\pngblip 89504e470d0a}b}", "{\\rtf1 a{\\pict\\jpegblip ffd8ffe0}b}",
                          "{\\rtf1 a{\\pict\\dibitmap0 28000000ffffff7f}b}", "{\\rtf1 a{\\pict\\wbitmap0 00}b}",
                          "{\\rtf1 a{\\pict\\picwgoal99999999\\pichgoal-5 00}b}"}) {
    ReadRtf(rtf, Document);
    EXPECT_EQ(PlainTextOf(Document), "ab") << rtf;
    ASSERT_EQ(Pictures(Document).size(), 1u) << rtf;
    EXPECT_FALSE(Pictures(Document)[0].Image.isNull()) << rtf;
    EXPECT_LE(Pictures(Document)[0].Width, 4096) << rtf;
    EXPECT_NE(WriteRtf(Document).find(std::string(rtf).substr(8, std::strlen(rtf) - 10)), std::string::npos) << rtf;
  }
}

TEST_F(RtfCorpus, FormatsOfTheControlAreRead) {
  Load("richedit-formatting.rtf");
  const std::string text = test::DescribeRtfDocument(Document);
  EXPECT_EQ(text,
            "[0 0 0 0 space120/240](Arial 20)Marked (Arial 20 highlight#ffff00)yellow(Arial 20) text, E = mc"
            "(Arial 20 super)2(Arial 20), H(Arial 20 sub)2(Arial 20)O, (Arial 20 offset6)raised(Arial 20) and "
            "(Arial 20 offset-4)lowered(Arial 20).\n"
            "[0 0 0 0 line360x tab0@1440 tab1@5760 tab2@7200](Arial 20)Name\tAmount\tNote\n"
            "[0 360 360 0 line-280](Arial 20)Exact line height, (Arial 20 #0000ff)blue(Arial 20) and "
            "(Arial 20 shading#c0c0c0)shaded(Arial 20) words.\n"
            "[0 360 360 0 line-280]\n");
  // What the editor shows of them.
  const QTextBlock first = Document.begin();
  EXPECT_EQ(first.blockFormat().topMargin(), 8);
  EXPECT_EQ(first.blockFormat().bottomMargin(), 16);
  const QTextBlock second = first.next();
  EXPECT_EQ(second.blockFormat().lineHeightType(), QTextBlockFormat::ProportionalHeight);
  EXPECT_EQ(second.blockFormat().lineHeight(), 150);
  ASSERT_EQ(second.blockFormat().tabPositions().size(), 3);
  EXPECT_EQ(second.blockFormat().tabPositions()[1].type, QTextOption::RightTab);
  EXPECT_EQ(second.next().blockFormat().lineHeightType(), QTextBlockFormat::FixedHeight);
}

TEST_F(RtfCorpus, ListsKeepTheirStyle) {
  Load("richedit-bullets.rtf");
  EXPECT_EQ(test::DescribeRtfDocument(Document),
            "[0 0 0 0](Arial 20)Shopping:\n"
            "[0 720 0 -720 bullet](Arial 20)Bread\n"
            "[0 720 0 -720 bullet](Arial 20)Milk\n"
            "[0 720 0 -360 bullet list1/0 1.](Arial 20)First\n"
            "[0 720 0 -360 bullet list1/0 2.](Arial 20)Second\n"
            "[0 720 0 -360 bullet list1/0 3.](Arial 20)Third\n"
            "[0 720 0 -360 bullet list2/0 a.](Arial 20)Alpha\n"
            "[0 720 0 -360 bullet list2/0 b.](Arial 20)Beta\n"
            "[0 0 0 0](Arial 20)Done\n"
            "[0 0 0 0]\n");
  QTextBlock third = Document.begin().next().next().next().next().next();
  ASSERT_TRUE(third.textList());
  EXPECT_EQ(third.textList()->itemText(third), "3.");
  // A word processor's lists, numbered by their marks.
  Load("word-list-table.rtf");
  std::vector<std::string> lists;
  for (QTextBlock block = Document.begin(); block.isValid(); block = block.next())
    if (QTextList* list = block.textList())
      lists.push_back(block.text().toStdString() + " " +
                      (list->format().style() == QTextListFormat::ListDisc ? "bullet" : list->itemText(block).toStdString()));
  EXPECT_EQ(lists, (std::vector<std::string>{"Write the letter bullet", "Post it bullet", "Numbered one 1.", "Numbered two 2."}));
}

// Every cut of every note reads without crash or hang, and both readers agree on it; a note cut
// after a paragraph keeps the text before the cut.
TEST_F(RtfCorpus, CutNotesKeepTheTextBeforeTheCut) {
  for (const std::string& file : CorpusFiles()) {
    SCOPED_TRACE(file);
    const std::string rtf = ReadFileBytes(file);
    const std::string full = RtfToPlainText(rtf);
    int boundaries = 0;
    for (size_t n = 0; n <= rtf.size(); ++n) {
      const bool boundary = n >= 6 && rtf.compare(n - 6, 6, "\\par\r\n") == 0;
      if (n % 3 != 0 && !boundary) continue;
      const std::string cut = rtf.substr(0, n);
      ReadRtf(cut, Document);
      ASSERT_EQ(PlainTextOf(Document), RtfToPlainText(cut)) << n;
      if (boundary) {
        ++boundaries;
        const std::string kept = RtfToPlainText(cut);
        EXPECT_EQ(full.substr(0, kept.size()), kept) << n;
        EXPECT_EQ(kept.substr(kept.size() - 2), "\r\n") << n;
      }
    }
    if (file.find("/richedit-") != std::string::npos) {
      EXPECT_GT(boundaries, 0);
    }
  }
}

// The control keeps the bytes of a note that was only opened.
TEST_F(RtfCorpus, AnUneditedNoteKeepsItsBytes) {
  for (const std::string& file : CorpusFiles()) {
    const std::string rtf = ReadFileBytes(file);
    TRichEditURL edit;
    edit.SetRichText(rtf);
    EXPECT_EQ(edit.GetRichText(), rtf) << file;
    edit.textCursor().insertText("x");
    EXPECT_NE(edit.GetRichText(), rtf) << file;
  }
}
