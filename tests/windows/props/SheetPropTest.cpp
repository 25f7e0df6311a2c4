#include "tests/windows/WindowTest.h"
#include "windows/sheet/DragObjects.h"
#include "platform/FileNames.h"
#include "windows/props/NoteProp.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/props/SheetProp.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

using namespace qel;

namespace {

class SheetProp : public test::WindowTest {
protected:
  SheetProp() {
    Sheet = AddSheet("Plan");
    Sheet->SetDescription("About the plan");
    A = AddNote("A", "{\\rtf1 Alpha {\\b text}\\par second}");
    B = AddNote("B", "plain B");
    Put(A, Sheet);
    Put(B, Sheet, -1);
    Window.Container = &Project;
    Window.IL_Property = test::WindowTest::DistinctIcons();
    Window.show();
  }
  void Show() {
    Window.IL_Property = DistinctIcons();
    Window.ShowItem(Sheet);
  }
  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < Window.LV_Contents->count(); ++i) rows << Window.LV_Contents->item(i)->text();
    return rows;
  }
  qint64 IconOf(int row) const { return Window.LV_Contents->item(row)->icon().cacheKey(); }
  TSheetItem* Sheet;
  TNoteItem* A;
  TNoteItem* B;
  TSheetPrp Window;
};

} // namespace

TEST_F(SheetProp, ShowingASheetFillsTheWindowWithoutMarkingIt) {
  Project.SetModified(false);
  Show();
  EXPECT_FALSE(Project.IsModified());
  EXPECT_EQ(Window.ED_Caption->text(), "Plan");
  EXPECT_EQ(Window.ED_SheetWidth->text(), "9999");
  EXPECT_EQ(Window.SP_GridSize->value(), 10);
  EXPECT_EQ(Window.PN_SheetColor->Color(), clWhite);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "About the plan");
  EXPECT_FALSE(Window.RichEditURL1->document()->isUndoAvailable());
  EXPECT_EQ(Window.SB_Contents->currentMessage(), "Notes of Plan");
}

TEST_F(SheetProp, TheNotesTextHoldsEachNoteBetweenGuillemetsAndItsText) {
  TNoteItem* aggregation = AddNote("Sub");
  aggregation->Data.Kind = 0;
  Put(aggregation, Sheet);
  Show();
  EXPECT_EQ(Window.RichEditURL2->toPlainText(), QString::fromUtf8("\n\n« A »\n\nAlpha text\nsecond\n\n« B »\n\nplain B"
                                                                 "\n\n« Sub »\n\n"));
  EXPECT_EQ(Rows(), (QStringList{"A", "B", "Sub"}));
  EXPECT_EQ(IconOf(0), Window.IL_Property[4].cacheKey());
  EXPECT_EQ(IconOf(1), Window.IL_Property[2].cacheKey());
  EXPECT_EQ(IconOf(2), Window.IL_Property[1].cacheKey());
  EXPECT_TRUE(Window.RichEditURL3->toPlainText().startsWith("Plan\n\nAbout the plan\n\n"));
}

// Fault: the notes showed old names until the number of notes changed.
TEST_F(SheetProp, ARenamedNoteShowsAtTheNextLoad) {
  Show();
  A->SetName("A renamed");
  Window.UpdateItem(false);
  EXPECT_EQ(Rows(), (QStringList{"A renamed", "B"}));
  EXPECT_TRUE(Window.RichEditURL2->toPlainText().contains(QString::fromUtf8("« A renamed »")));
}

TEST_F(SheetProp, StoringWritesEveryFieldIntoTheSheet) {
  Show();
  Window.ED_Caption->setText("Plan B");
  Window.ED_SheetWidth->setText("800");
  Window.ED_SheetHeight->setText("600");
  Window.SP_GridSize->setValue(60); // beyond the up-down's range
  Window.RichEditURL1->setPlainText("New words");
  Script.AnswerColor(true, clRed);
  Window.PN_SheetColorDblClick();
  EXPECT_EQ(Sheet->Data.Name, "Plan B");
  EXPECT_EQ(Sheet->Data.Width, 800);
  EXPECT_EQ(Sheet->Data.Height, 600);
  EXPECT_EQ(Sheet->Data.GridSize, 50);
  EXPECT_EQ(Sheet->Data.Color, clRed);
  EXPECT_EQ(Sheet->Data.Description, "New words");
  // A cancelled colour dialog stores all the same.
  Window.ED_Caption->setText("Plan C");
  Script.AnswerColor(false);
  Window.PN_SheetColorDblClick();
  EXPECT_EQ(Sheet->Data.Name, "Plan C");
  EXPECT_EQ(Sheet->Data.Color, clRed);
}

TEST_F(SheetProp, ReleasingTheMouseOnTheGridStoresTheSheet) {
  Show();
  Window.SP_GridSize->setValue(20);
  EXPECT_EQ(Sheet->Data.GridSize, 10);
  QTest::mouseRelease(Window.SP_GridSize, Qt::LeftButton);
  EXPECT_EQ(Sheet->Data.GridSize, 20);
}

// Fault: an empty width stopped the store there, losing the name and description typed.
TEST_F(SheetProp, ASizeThatIsNoNumberIsReportedAndTheRestIsStored) {
  Show();
  Window.ED_SheetWidth->setText("");
  Window.ED_Caption->setText("Renamed");
  Script.Answer(mrOk);
  Window.UpdateItem(true);
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Text, "'' is not a valid integer value");
  EXPECT_EQ(Sheet->Data.Width, 9999);
  EXPECT_EQ(Window.ED_SheetWidth->text(), "9999");
  EXPECT_EQ(Sheet->Data.Name, "Renamed");
}

// Fault: a width of 0 was stored, and every note of the sheet vanished.
TEST_F(SheetProp, ASizeBelowOneIsRefusedAndTheOldOneStays) {
  Show();
  const struct {
    const char* Width;
    const char* Height;
    const char* Message;
  } cases[] = {{"0", "600", "The width of a sheet must be at least 1"},
               {"-5", "600", "The width of a sheet must be at least 1"},
               {"800", "0", "The height of a sheet must be at least 1"},
               {"abc", "600", "'abc' is not a valid integer value"}};
  for (const auto& c : cases) {
    Sheet->SetWidth(700);
    Sheet->SetHeight(500);
    Window.ED_SheetWidth->setText(c.Width);
    Window.ED_SheetHeight->setText(c.Height);
    Script.Shown.clear();
    Script.Answer(mrOk);
    Window.UpdateItem(true);
    ASSERT_EQ(Script.Shown.size(), 1u) << c.Width << " " << c.Height;
    EXPECT_EQ(Script.Shown[0].Text, c.Message);
    EXPECT_GE(Sheet->Data.Width, 1);
    EXPECT_GE(Sheet->Data.Height, 1);
    EXPECT_EQ(Sheet->Data.Width, std::string(c.Width) == "800" ? 800 : 700);
  }
  EXPECT_EQ(Window.ED_SheetWidth->text(), "700"); // the refused box shows the old size again
}

// Fault: a description beginning like rich text came back without its control words.
TEST_F(SheetProp, TheDescriptionIsPlainTextAlsoWhenItLooksLikeRichText) {
  Show();
  Window.RichEditURL1->setPlainText("{\\rtf1 not rich} but plain");
  Window.UpdateItem(true);
  EXPECT_EQ(Sheet->Data.Description, "{\\rtf1 not rich} but plain");
  Window.UpdateItem(false);
  EXPECT_EQ(Window.RichEditURL1->toPlainText(), "{\\rtf1 not rich} but plain");
}

// Fault: a single click on the sheet's colour did nothing.
TEST_F(SheetProp, ASingleClickOnTheColourPicksAndStoresIt) {
  Show();
  Script.AnswerColor(true, clRed);
  QTest::mouseClick(Window.PN_SheetColor, Qt::LeftButton);
  EXPECT_EQ(Sheet->Data.Color, clRed);
}

// Ctrl+L in the description loads a file into it; the control's other keys format it.
TEST_F(SheetProp, CtrlLInTheDescriptionLoadsAFile) {
  Show();
  const std::string file = Folder() + "about.txt";
  WriteFileBytes(file, "from a file");
  Script.AnswerOpen(true, file);
  QTest::keyClick(Window.RichEditURL1, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(Sheet->Data.Description, "from a file");
}

// Fault: choosing the font the box already showed did nothing.
TEST_F(SheetProp, ChoosingTheSameFontAgainAppliesIt) {
  Show();
  ASSERT_GE(Window.FontName1->count(), 1);
  emit Window.FontName1->activated(0);
  const QString family = Window.FontName1->itemText(0);
  Window.RichEditURL1->document()->setDefaultFont(QFont("Other family"));
  emit Window.FontName1->activated(0);
  EXPECT_EQ(Window.RichEditURL1->document()->defaultFont().family(), family);
}

TEST_F(SheetProp, ASheetDeletedElsewhereClosesTheWindowWithoutStoring) {
  Show();
  Window.ED_Caption->setText("typed");
  Sheet->Delete();
  Window.ED_SheetWidthExit();
  EXPECT_TRUE(Window.Closing);
  EXPECT_FALSE(Window.isVisible());
}

// Fault: the commands of a window whose sheet was deleted opened dialogs and printed.
TEST_F(SheetProp, TheCommandsOfAWindowWhoseSheetIsGoneDoNothing) {
  Show();
  Sheet->Delete();
  Window.PN_SheetColorDblClick();
  Window.MI_LoadFromFileClick();
  Window.BBPrintClick();
  EXPECT_EQ(Window.MI_OpenNoteClick(), nullptr);
  EXPECT_EQ(Window.LV_ContentsStartDrag(), nullptr);
  EXPECT_TRUE(Script.Shown.empty());
  EXPECT_FALSE(Window.isVisible());
}

// A search filter that hides the sheet does not close its window.
TEST_F(SheetProp, ASheetHiddenByASearchStaysShown) {
  Show();
  Project.SheetPool->ResetView();
  Project.SheetPool->Filtered = true;
  Project.SheetPool->ExcludeFromView(Sheet);
  Window.ED_Caption->setText("Kept");
  Window.UpdateItem(true);
  EXPECT_FALSE(Window.Closing);
  EXPECT_EQ(Sheet->Data.Name, "Kept");
  Project.ClearFilters();
}

TEST_F(SheetProp, OpeningAnEntryOpensAFurtherWindowOfItsKind) {
  TSheetItem* inner = AddSheet("Inner");
  TNoteItem* aggregation = AddNote("Inner");
  aggregation->Data.Kind = 0;
  aggregation->SetAggregatedSheet(inner);
  Put(aggregation, Sheet);
  Show();
  Window.LV_Contents->item(2)->setSelected(true);
  auto* sheetWindow = dynamic_cast<TSheetPrp*>(Window.MI_OpenNoteClick());
  ASSERT_NE(sheetWindow, nullptr);
  EXPECT_EQ(sheetWindow->GetSheet(), inner);
  EXPECT_EQ(sheetWindow->width(), 250);
  EXPECT_TRUE(sheetWindow->windowFlags() & Qt::WindowStaysOnTopHint);
  Window.LV_Contents->clearSelection();
  Window.LV_Contents->item(0)->setSelected(true);
  auto* noteWindow = dynamic_cast<TNotePrp*>(Window.MI_OpenNoteClick());
  ASSERT_NE(noteWindow, nullptr);
  EXPECT_EQ(noteWindow->GetNote(), A);
  EXPECT_NE(Window.MI_OpenNoteClick(), noteWindow); // every call opens another
  Window.Container = nullptr;
  EXPECT_EQ(Window.MI_OpenNoteClick(), nullptr);
}

TEST_F(SheetProp, DraggingEntriesCarriesTheirNotesInListOrder) {
  Show();
  EXPECT_EQ(Window.LV_ContentsStartDrag(), nullptr);
  Window.LV_Contents->item(1)->setSelected(true);
  Window.LV_Contents->item(0)->setSelected(true);
  std::unique_ptr<QMimeData> data(Window.LV_ContentsStartDrag());
  auto* notes = DragObjectAs<TDragNotes>(data.get());
  ASSERT_NE(notes, nullptr);
  ASSERT_EQ(notes->Count(), 2);
  EXPECT_EQ(notes->Items(0), A);
  EXPECT_EQ(notes->Items(1), B);
  EXPECT_EQ(notes->SourceForm, &Window);
  EXPECT_FALSE(Window.LV_ContentsDragOver());
}

// The print buffer is made afresh, so a description typed after the last load is printed.
TEST_F(SheetProp, PrintingPrintsTheNameDescriptionAndNotesText) {
  Show();
  Window.RichEditURL1->setPlainText("Typed later");
  Window.PrintDialog1 = std::make_unique<QPrinter>(QPrinter::HighResolution);
  const std::string pdf = Folder() + "sheet.pdf";
  Window.PrintDialog1->setOutputFormat(QPrinter::PdfFormat);
  Window.PrintDialog1->setOutputFileName(QString::fromStdString(pdf));
  Script.AnswerPrint(false);
  Window.BBPrintClick();
  EXPECT_FALSE(FileExists(pdf));
  Script.AnswerPrint(true);
  Window.BBPrintClick();
  EXPECT_TRUE(FileExists(pdf));
  EXPECT_TRUE(Window.RichEditURL3->PlainText);
  EXPECT_TRUE(Window.RichEditURL3->toPlainText().startsWith("Plan\n\nTyped later"));
  EXPECT_EQ(Window.RichEditURL3->PageRect, TRichEditURL::PrintMargins(*Window.PrintDialog1));
}

// Fault: a free sheet window of width 250 cut off its sheet fields, and could be taller than
// the screen.
TEST_F(SheetProp, AFreeWindowScrollsItsFieldsAndFitsTheScreen) {
  auto* window = new TSheetPrp(&Window);
  window->Container = &Project;
  window->ShowItem(Sheet);
  ShowFreeWindow(window, true);
  QApplication::processEvents();
  EXPECT_EQ(window->width(), 250);
  EXPECT_GE(window->PN_SheetProp->width(), window->PN_SheetProp->sizeHint().width());
  auto* scroll = qobject_cast<QScrollArea*>(window->PN_SheetProp->parentWidget()->parentWidget());
  ASSERT_NE(scroll, nullptr);
  scroll->ensureWidgetVisible(window->SP_GridSize);
  const QRect seen = scroll->viewport()->rect();
  EXPECT_TRUE(seen.contains(QRect(window->SP_GridSize->mapTo(scroll->viewport(), QPoint(0, 0)),
                                  window->SP_GridSize->size())));
  const QRect screen = window->screen()->availableGeometry();
  EXPECT_LE(window->geometry().bottom(), screen.bottom());
  window->close();
}

// Closing stores what was typed, a grid spacing set from the keyboard included, and leaves
// alone a spacing the up-down cannot show.
TEST_F(SheetProp, ClosingStoresWhatWasChangedOnly) {
  Sheet->SetGridSize(5); // from a data file: below the up-down's range
  Show();
  Window.close();
  EXPECT_EQ(Sheet->Data.GridSize, 5);
  Window.show();
  Show();
  QTest::keyClick(Window.SP_GridSize, Qt::Key_Up);
  QTest::keyClicks(Window.RichEditURL1, "Typed ");
  Window.close();
  EXPECT_EQ(Sheet->Data.GridSize, 11);
  EXPECT_EQ(Sheet->Data.Description.substr(0, 6), "Typed ");
}
