#include "tests/windows/WindowTest.h"
#include "platform/FileNames.h"
#include "platform/RtfText.h"
#include "platform/qt/QtConvert.h"
#include "windows/search/Search.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropReplaceDialog.h"
#include "windows/richedit/RichEditURL.h"

#include <QApplication>
#include <QBuffer>
#include <QTextBlock>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QMimeData>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextList>

using namespace qel;

namespace {

class NoteText : public test::WindowTest {
protected:
  NoteText() {
    Note = AddNote("Memo", "abab and ABAB, ab");
    Window.Container = &Project;
    Window.show();
    Window.ShowNote(Note, Project.RelationPool.get(), Project.LinkPool.get());
  }
  QString Selected() const { return Window.RichEditURL1->textCursor().selectedText(); }
  void Find(const QString& text, bool wholeWord = false, bool matchCase = false) {
    Window.ReplaceDialog1->FindText->setText(text);
    Window.ReplaceDialog1->WholeWord->setChecked(wholeWord);
    Window.ReplaceDialog1->MatchCase->setChecked(matchCase);
    Window.ReplaceDialog1Find();
  }
  TNoteItem* Note;
  TNotePrp Window;
};

} // namespace

TEST_F(NoteText, FindNextRunsToTheEndAndThenStartsAgain) {
  Find("ab", true, false);
  EXPECT_EQ(Window.LastFoundPos, 15); // the only whole word "ab", in any case
  Window.ReplaceDialog1Find();
  EXPECT_EQ(Window.LastFoundPos, -1);
  EXPECT_TRUE(Selected().isEmpty());
  Find("AB", false, true);
  EXPECT_EQ(Window.LastFoundPos, 9);
  EXPECT_EQ(Selected(), "AB");
  Window.bnREURLReplaceClick();
  EXPECT_EQ(Window.LastFoundPos, -1);
  EXPECT_TRUE(Window.ReplaceDialog1->isVisible());
}

TEST_F(NoteText, ReplaceAllAlsoReplacesAMatchRightBehindAReplacement) {
  Window.ReplaceDialog1->ReplaceText->setText("x");
  Window.ReplaceDialog1->FindText->setText("ab");
  Window.ReplaceDialog1Replace(true);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "xx and xx, x");
  // One undo takes the whole replacement back.
  Window.RichEditURL1->undo();
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "abab and ABAB, ab");
}

// Fault: a single replace ignored "match case" off, and replace all began at the last match.
TEST_F(NoteText, ReplaceHonoursMatchCaseAndReplaceAllStartsAtTheTop) {
  Window.RichEditURL1->setPlainText("Ab ab aB");
  Window.ReplaceDialog1->ReplaceText->setText("x");
  Find("ab");
  EXPECT_EQ(Selected(), "Ab");
  Window.ReplaceDialog1Replace(false);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "x ab aB");
  Find("AB", false, true); // no match with its case
  Window.RichEditURL1->selectAll();
  Window.ReplaceDialog1->FindText->setText("x AB AB");
  Window.ReplaceDialog1Replace(false);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "x ab aB");
  Window.ReplaceDialog1->FindText->setText("ab");
  Window.ReplaceDialog1->MatchCase->setChecked(true);
  Window.ReplaceDialog1Find();
  Window.ReplaceDialog1Find(); // past the first match
  Window.ReplaceDialog1->MatchCase->setChecked(false);
  Window.ReplaceDialog1Replace(true);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "x x x");
}

// Fault: replace all with no find text replaced the search window's last search text.
TEST_F(NoteText, ReplaceAllWithoutFindTextDoesNothing) {
  TfrmSearch search(nullptr);
  TfrmSearch* before = frmSearch;
  frmSearch = &search;
  search.LastSearchText = "and";
  Window.ReplaceDialog1->ReplaceText->setText("x");
  Window.ReplaceDialog1Replace(true);
  Window.RichEditURL1->selectAll();
  Window.ReplaceDialog1Replace(false);
  frmSearch = before;
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "abab and ABAB, ab");
}

// Fault: one position was shared by every note window and survived showing another note.
TEST_F(NoteText, EachWindowKeepsItsOwnFindPositionAndANewNoteStartsAtTheTop) {
  TNotePrp other;
  other.Container = &Project;
  other.show();
  other.ShowNote(AddNote("Other", "ab ab"), Project.RelationPool.get(), Project.LinkPool.get());
  Find("ab");
  Window.ReplaceDialog1Find();
  EXPECT_EQ(Window.LastFoundPos, 2);
  other.ReplaceDialog1->FindText->setText("ab");
  other.ReplaceDialog1Find();
  EXPECT_EQ(other.LastFoundPos, 0);
  Window.ReplaceDialog1Find();
  EXPECT_EQ(Window.LastFoundPos, 9);
  Window.ShowNote(AddNote("Third", "xx ab"), Project.RelationPool.get(), Project.LinkPool.get());
  EXPECT_EQ(Window.LastFoundPos, -1);
  Window.ReplaceDialog1Find();
  EXPECT_EQ(Window.LastFoundPos, 3);
}

TEST_F(NoteText, AFindWithoutFindTextUsesTheSearchWindowsLastText) {
  TfrmSearch search(nullptr);
  TfrmSearch* before = frmSearch;
  frmSearch = &search;
  search.LastSearchText = "and";
  Window.PC_Note->setCurrentWidget(Window.TabSheet1);
  Project.SetModified(false);
  Window.ReplaceDialog1Find();
  frmSearch = before;
  EXPECT_EQ(Selected(), "and");
  EXPECT_EQ(Window.PC_Note->currentWidget(), Window.TS_Memo);
  EXPECT_FALSE(Project.IsModified()); // showing the match is no edit
}

TEST_F(NoteText, TheToolBarFormatsTheSelection) {
  QTextCursor cursor(Window.RichEditURL1->document());
  cursor.setPosition(5);
  cursor.setPosition(8, QTextCursor::KeepAnchor);
  Window.RichEditURL1->setTextCursor(cursor);
  Window.BoldButton->setChecked(true);
  Window.BoldButtonClick();
  Window.AlignButtonClick(2);
  Window.BulletsButton->setChecked(true);
  Window.BulletsButtonClick();
  Window.UpdateItem(true);
  EXPECT_NE(Note->Data.Text.find("\\b and\\b0"), std::string::npos) << Note->Data.Text;
  EXPECT_NE(Note->Data.Text.find("\\pnlvlblt"), std::string::npos);
  EXPECT_NE(Note->Data.Text.find("\\qc"), std::string::npos);
  // The tool bar follows the caret, and its own update formats nothing.
  cursor.setPosition(6);
  Window.RichEditURL1->setTextCursor(cursor);
  EXPECT_TRUE(Window.BoldButton->isChecked());
  EXPECT_TRUE(Window.CenterAlign->isChecked());
  EXPECT_FALSE(Window.RichEditURL1->ChangedSinceLoad());
  Window.BulletsButton->setChecked(false);
  Window.BulletsButtonClick();
  EXPECT_EQ(Window.RichEditURL1->textCursor().currentList(), nullptr);
}

TEST_F(NoteText, SavingAnUntitledTextAsksForANameAndAnExistingFileForConsent) {
  Window.FileNew();
  EXPECT_EQ(Window.FileName, "Untitled");
  EXPECT_TRUE(Window.RichEditURL1->toPlainText().isEmpty());
  Window.EditUndo(); // the note's text is not lost for good
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "abab and ABAB, ab");
  Window.FileNew();
  Window.RichEditURL1->setPlainText("some words");
  const std::string file = Folder() + "memo.rtf";
  WriteFileBytes(file, "old");
  Script.AnswerSave(true, file).Answer(mrNo);
  Window.FileSave();
  EXPECT_EQ(ReadFileBytes(file), "old");
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[1].Text, "OK to overwrite " + file);
  Script.AnswerSave(true, file).Answer(mrYes);
  Window.FileSave();
  EXPECT_EQ(RtfToPlainText(ReadFileBytes(file)), "some words");
  EXPECT_EQ(Window.FileName, file);
  EXPECT_EQ(Window.StatusPanels[1]->text(), "");
  // Saving again writes under the name without asking.
  Window.RichEditURL1->setPlainText("more");
  Window.FileSave();
  EXPECT_EQ(RtfToPlainText(ReadFileBytes(file)), "more");
}

// Fault: a text never named was saved under an empty file name.
TEST_F(NoteText, SavingBeforeAnyNameAsksForOne) {
  EXPECT_TRUE(Window.FileName.empty());
  Script.AnswerSave(false);
  Window.FileSave();
  EXPECT_EQ(Script.Shown.size(), 1u);
}

TEST_F(NoteText, OpeningAModifiedTextAsksFirstAndCancelStops) {
  const std::string file = Folder() + "in.txt";
  WriteFileBytes(file, "from the file");
  QTest::keyClicks(Window.RichEditURL1, "z");
  EXPECT_EQ(Window.StatusPanels[1]->text(), "Modified");
  Window.FileName = "Untitled";
  Script.Answer(mrCancel);
  Window.FileOpen();
  EXPECT_EQ(Script.Shown.back().Text, "Save changes to Untitled?");
  Script.Answer(mrNo).AnswerOpen(true, file);
  Window.FileOpen();
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "from the file");
  EXPECT_EQ(Window.FileName, file);
  EXPECT_EQ(Window.StatusPanels[1]->text(), "");
  // The opened text becomes the note's text at the next store.
  Window.UpdateItem(true);
  EXPECT_EQ(RtfToPlainText(Note->Data.Text), "from the file");
}

// Fault: after a print every file was read and written as plain text.
TEST_F(NoteText, AfterAPrintFilesAreReadByTheirContentAndSavedByTheirName) {
  const std::string file = Folder() + "load.txt";
  WriteFileBytes(file, "{\\rtf1 {\\b rich}}");
  Window.PrintDialog = PdfPrinter("note.pdf");
  Script.AnswerPrint(true);
  Window.FilePrint();
  EXPECT_TRUE(FileExists(Folder() + "note.pdf"));
  EXPECT_EQ(Window.PrintDialog->docName(), "Memo");
  Script.AnswerOpen(true, file);
  Window.MI_loadfileClick(); // also stores the window
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "rich");
  EXPECT_NE(Note->Data.Text.find("\\b rich"), std::string::npos);
  const std::string plain = Folder() + "plain.txt";
  WriteFileBytes(plain, "not {\\rtf1 rich}");
  Script.AnswerOpen(true, plain);
  Window.MI_loadfileClick();
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "not {\\rtf1 rich}");
  Script.AnswerPrint(false);
  Window.FilePrint(); // cancelled: the mode is plain text all the same
  Script.AnswerSave(true, Folder() + "out.rtf");
  Window.FileSaveAs();
  EXPECT_EQ(ReadFileBytes(Folder() + "out.rtf").substr(0, 5), "{\\rtf");
  Script.AnswerSave(true, Folder() + "out.txt");
  Window.FileSaveAs();
  EXPECT_EQ(ReadFileBytes(Folder() + "out.txt"), "not {\\rtf1 rich}");
}

TEST_F(NoteText, ADroppedFileOpensIntoTheText) {
  const std::string file = Folder() + "dropped.txt";
  WriteFileBytes(file, "dropped words");
  Window.FilesDropped({QString::fromStdString(file)});
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "dropped words");
  EXPECT_EQ(Window.windowTitle().toStdString(), "dropped.txt - " + ApplicationTitle());
  Script.Answer(mrOk);
  Window.FilesDropped({QString::fromStdString(Folder() + "missing.txt")});
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "dropped words");
}

// Fault: a target with letters beyond Windows-1252 opened with "?" for them. Targets open as
// written (as a browser sends them); refused ones do not open.
TEST_F(NoteText, ClickingALinkInTheTextOpensItAsWritten) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"www.example.org", {"http://www.example.org"}},
      {"https://ru.wikipedia.org/wiki/Москва", {"https://ru.wikipedia.org/wiki/%D0%9C%D0%BE%D1%81%D0%BA%D0%B2%D0%B0"}},
      {"https://пример.рф/путь?q=ё", {"https://xn--e1afmkfd.xn--p1ai/%D0%BF%D1%83%D1%82%D1%8C?q=%D1%91"}},
      {"javascript:alert(1)", {}},
  };
  for (const auto& [target, opened] : cases) {
    Opener.Opened.clear();
    Window.RichEditURL1->DoURLClick(QString::fromUtf8(target));
    EXPECT_EQ(Opener.Opened, opened) << target;
  }
}

// The status line shows where the link under the mouse goes; a click opens that.
TEST_F(NoteText, ALinkShowsWhereItGoesInTheStatusLine) {
  TRichEditURL& text = *Window.RichEditURL1;
  text.SetRichText("{\\rtf1 {\\field{\\*\\fldinst{HYPERLINK \"https://ru.wikipedia.org/wiki/\\u1052?\\u1086?"
                   "\\u1089?\\u1082?\\u1074?\\u1072?\"}}{\\fldrslt https://bank.example/}} end}");
  auto pointOf = [&](int position) {
    QTextCursor caret(text.document());
    caret.setPosition(position);
    return text.cursorRect(caret).center() + QPoint(2, 0);
  };
  Window.StatusPanels[1]->setText("Modified");
  QTest::mouseMove(text.viewport(), pointOf(4));
  EXPECT_EQ(Window.StatusBar->currentMessage(), "https://ru.wikipedia.org/wiki/Москва");
  QTest::mouseClick(text.viewport(), Qt::LeftButton, {}, pointOf(4));
  EXPECT_EQ(Opener.Opened, std::vector<std::string>{"https://ru.wikipedia.org/wiki/%D0%9C%D0%BE%D1%81%D0%BA%D0%B2%D0%B0"});
  QTest::mouseMove(text.viewport(), pointOf(23));
  EXPECT_EQ(Window.StatusBar->currentMessage(), "");
  EXPECT_EQ(Window.StatusPanels[1]->text(), "Modified");
}

// Copy, cut and paste carry the formatting from note to note; plain text stays plain.
TEST_F(NoteText, CopiedTextKeepsItsFormattingInAnotherNote) {
  TNoteItem* source = AddNote("Source", "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}"
                                        "\\pard\\qc\\f0\\fs28\\cf1 plain {\\b bold}{\\i  it}\\par}");
  TNotePrp from;
  from.Container = &Project;
  from.show();
  from.ShowNote(source, Project.RelationPool.get(), Project.LinkPool.get());
  from.RichEditURL1->selectAll();
  from.EditCopy();
  ASSERT_TRUE(QApplication::clipboard()->mimeData()->hasFormat("text/rtf"));
  EXPECT_EQ(QApplication::clipboard()->text(), "plain bold it\n");
  Window.RichEditURL1->selectAll();
  Window.EditPaste();
  Window.UpdateItem(true);
  const std::string& pasted = Note->Data.Text;
  EXPECT_EQ(RtfToPlainText(pasted).substr(0, 13), "plain bold it");
  for (const char* word : {"\\b bold", "\\i", "\\qc", "\\fs28", "Courier New", "\\red255\\green0\\blue0"})
    EXPECT_NE(pasted.find(word), std::string::npos) << word << " in " << pasted;
  // Cut takes the text away and pastes it with its bold.
  from.RichEditURL1->selectAll();
  from.EditCut();
  EXPECT_TRUE(from.RichEditURL1->toPlainText().isEmpty());
  // Text of another program pastes as plain text.
  QApplication::clipboard()->setText("from elsewhere");
  Window.RichEditURL1->selectAll();
  Window.EditPaste();
  Window.UpdateItem(true);
  EXPECT_EQ(RtfToPlainText(Note->Data.Text).substr(0, 14), "from elsewhere");
  EXPECT_EQ(Note->Data.Text.find("\\b "), std::string::npos);
}

// Fault: a pasted picture was drawn from the document it was read into, which the paste had
// freed, so the note showed a broken image.
TEST_F(NoteText, APastedPictureIsShownAndStored) {
  QImage red(4, 3, QImage::Format_RGB32);
  red.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  red.save(&buffer, "PNG");
  TNoteItem* source = AddNote("Source", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard before "
                                        "{\\pict\\pngblip\\picw4\\pich3 " + png.toHex().toStdString() + "} after\\par}");
  TNotePrp from;
  from.Container = &Project;
  from.ShowNote(source, Project.RelationPool.get(), Project.LinkPool.get());
  from.RichEditURL1->selectAll();
  from.EditCopy();
  Window.RichEditURL1->selectAll();
  Window.EditPaste();
  QTextDocument* text = Window.RichEditURL1->document();
  QImage shown;
  for (QTextBlock block = text->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat())
        shown = text->resource(QTextDocument::ImageResource, QUrl(it.fragment().charFormat().toImageFormat().name()))
                    .value<QImage>();
  ASSERT_FALSE(shown.isNull());
  EXPECT_EQ(shown.pixel(1, 1), QColor(Qt::red).rgb());
  Window.UpdateItem(true);
  EXPECT_NE(Note->Data.Text.find(png.toHex().toStdString()), std::string::npos);
}

// Fault: choosing the name the font box showed already, after the caret had moved, did nothing.
TEST_F(NoteText, ChoosingAFontAppliesItEveryTime) {
  ASSERT_GE(Window.FontName->count(), 1);
  const QString family = Window.FontName->itemText(0);
  QTextCursor cursor(Window.RichEditURL1->document());
  cursor.setPosition(0);
  cursor.setPosition(4, QTextCursor::KeepAnchor);
  Window.RichEditURL1->setTextCursor(cursor);
  Window.FontName->setCurrentIndex(0);
  emit Window.FontName->activated(0);
  cursor.setPosition(5);
  cursor.setPosition(8, QTextCursor::KeepAnchor);
  QTextCharFormat unlisted;
  unlisted.setFontFamilies(QStringList{"No Such Family"});
  cursor.mergeCharFormat(unlisted);
  Window.RichEditURL1->setTextCursor(cursor); // the box shows that name, its entry stays
  EXPECT_EQ(Window.FontName->currentIndex(), 0);
  EXPECT_EQ(Window.FontName->currentText(), "No Such Family");
  emit Window.FontName->activated(0);
  EXPECT_EQ(Window.RichEditURL1->textCursor().charFormat().fontFamilies().toStringList(), QStringList{family});
  Window.UpdateItem(true);
  EXPECT_NE(Note->Data.Text.find(FromQString(family)), std::string::npos);
}

// The window's keys in the text come before the control's: Ctrl+L loads, Ctrl+F finds.
TEST_F(NoteText, CtrlLLoadsAFileAndCtrlFOpensFind) {
  const std::string file = Folder() + "keys.txt";
  WriteFileBytes(file, "loaded by key");
  Script.AnswerOpen(true, file);
  QTest::keyClick(Window.RichEditURL1, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(RtfToPlainText(Note->Data.Text), "loaded by key");
  QTest::keyClick(Window.RichEditURL1, Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(Window.ReplaceDialog1->isVisible());
}
