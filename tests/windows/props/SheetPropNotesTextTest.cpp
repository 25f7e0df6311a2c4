// The sheet window's notes text shows every script as the note windows do.
#include "tests/windows/WindowTest.h"
#include "platform/FileNames.h"
#include "platform/RtfText.h"
#include "windows/props/SheetProp.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/richedit/RtfReader.h"

#include <QTextDocument>

using namespace qel;

namespace {

class SheetPropNotesText : public test::WindowTest {
protected:
  SheetPropNotesText() {
    Sheet = AddSheet("Scripts");
    Window.Container = &Project;
    Window.IL_Property = DistinctIcons();
    Window.show();
  }
  TSheetItem* Sheet;
  TSheetPrp Window;
};

} // namespace

// Fault: the notes text came from a Windows-1252 plain text, "??????, ???! Hello ??".
TEST_F(SheetPropNotesText, LettersOutsideWindows1252ShowAsInTheNoteWindow) {
  const struct {
    const char* name;
    const char* rtf;
    const char* shown; // UTF-8
  } notes[] = {
      {"ru", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, \\'ec\\'e8\\'f0! "
             "Hello \\'c4\\'e0}",
       "Привет, мир! Hello Да"},
      {"el", "{\\rtf1\\ansi\\uc1 \\u922?\\u945?\\u955?\\u951?\\u956?\\u941?\\u961?\\u945?\\par \\u927?\\u916?\\u927?\\u931?}",
       "Καλημέρα\r\nΟΔΟΣ"},
      {"ja", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'93\\'8c\\'8b\\'9e\\'82\\'cc\\'93\\'56\\'8b\\'43}",
       "東京の天気"},
      {"Caf\xE9", "plain \x80", "plain €"},
  };
  QString expected;
  for (const auto& note : notes) {
    Put(AddNote(note.name, note.rtf), Sheet);
    expected += QString::fromUtf8("\n\n« ") + QString::fromLatin1(note.name) +
                QString::fromUtf8(" »\n\n") + QString::fromUtf8(note.shown).replace("\r\n", "\n");
    // The note window shows the same letters.
    QTextDocument control;
    ReadRtf(note.rtf, control);
    EXPECT_EQ(control.toPlainText(), QString::fromUtf8(note.shown).replace("\r\n", "\n")) << note.name;
    // And the search compares that text.
    std::string searched;
    RtfToPlainUtf8(note.rtf, searched);
    EXPECT_EQ(searched, note.shown) << note.name;
    EXPECT_EQ(PlainUnicodeOf(control).toStdString(), note.shown) << note.name;
  }
  Window.ShowItem(Sheet);
  EXPECT_EQ(Window.RichEditURL2->toPlainText(), expected);
  EXPECT_FALSE(Window.RichEditURL2->document()->isUndoAvailable());

  // What is printed: the name, the description and the notes text.
  Window.PrintDialog1 = PdfPrinter("notes.pdf");
  Script.AnswerPrint(true);
  Window.BBPrintClick();
  EXPECT_TRUE(FileExists(Folder() + "notes.pdf"));
  EXPECT_EQ(Window.RichEditURL3->toPlainText(), "Scripts\n\n" + expected);
}
