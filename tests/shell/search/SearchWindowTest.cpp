// The search window on the program's main window: its pages, its results tree and the windows
// opened from the tree.
#include "SearchWindowFixture.h"

#include "windows/nav/NavTree.h"
#include "windows/nav/Navigator.h"
#include "windows/sheet/DragObjects.h"
#include "windows/sheet/SheetForm.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/NoteProp.h"
#include "windows/props/SheetProp.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace qel::test {
namespace {

using SearchWindowTest = SearchWindowFixture;

TEST_F(SearchWindowTest, EnterRunsFindNowAndEmptyFieldsFindAllOrNothing) {
  Open(1);
  QTest::keyClick(Window->edt_notecaption, Qt::Key_Return);
  EXPECT_FALSE(Window->trvSearchResults->isHidden());
  EXPECT_EQ(Children({}), (Names{"Notes"}));
  EXPECT_EQ(Children({"Notes"}), (Names{"Note 1", "Note 2", "Note 3"}));
  EXPECT_FALSE(Project().NotePool->Filtered) << "the rest of the program sees every note again";
  Window->SelectSearchKind(0);
  QTest::keyClick(Window->cbGlobalText2->lineEdit(), Qt::Key_Enter);
  EXPECT_EQ(Children({}), (Names{"Sheets", "Notes", "Attachments"}));
  for (const char* branch : {"Sheets", "Notes", "Attachments"})
    EXPECT_TRUE(Children({branch}).empty()) << branch;
  EXPECT_EQ(Project().NoteCount(), 3);
  EXPECT_EQ(Project().NotePool->ViewCount(), 0) << "the view keeps the hits";
}

TEST_F(SearchWindowTest, FindNowTrimsTheFieldsAndExtendsTheGlobalHistories) {
  Open(0);
  Project().GetNote(1)->SetName("Second");
  Window->cbGlobalText1->setEditText("  second\t");
  for (int i = 0; i < 3; ++i)
    Window->btn_search->click();
  EXPECT_EQ(Window->cbGlobalText1->currentText(), "second");
  EXPECT_EQ(Window->LastSearchText, "second");
  EXPECT_EQ(Window->cbGlobalText1->count(), 3);
  EXPECT_EQ(Window->cbGlobalText1->itemText(2), "second");
  EXPECT_EQ(Children({"Notes"}), (Names{"Second"}));
  Window->SelectSearchKind(2);
  Window->edt_sheetcaption->setText(" Sheet ");
  Window->btn_search->click();
  EXPECT_EQ(Window->edt_sheetcaption->text(), "Sheet");
  EXPECT_EQ(Window->LastSearchText, "Sheet");
  EXPECT_EQ(Window->cbGlobalText1->count(), 4);
  EXPECT_EQ(Window->cbGlobalText4->count(), 4);
  EXPECT_EQ(Window->cbGlobalText4->itemText(3), "");
  EXPECT_EQ(Children({}), (Names{"Sheets"}));
}

TEST_F(SearchWindowTest, EachCaseBoxGovernsItsOwnField) {
  Open(3);
  AddFile("Report", "/files/REPORT.pdf");
  Window->edt_attachmentcaption->setText("Report");
  Window->edt_attachmentfilename->setText("report");
  Window->chk_attachmentcaptioncasesensitive->setChecked(true);
  Window->btn_search->click();
  EXPECT_EQ(Children({"Attachments"}), (Names{"Report"}));
  Window->chk_attachmentfilenamecasesensitive->setChecked(true);
  Window->btn_search->click();
  EXPECT_TRUE(Children({"Attachments"}).empty());

  Window->SelectSearchKind(1);
  Window->edt_notecaption->setText("note");
  Window->edt_noteonsheetcaption->setText("SHEET");
  Window->chk_noteonsheetcaptioncasesensitive->setChecked(true);
  Window->btn_search->click();
  EXPECT_TRUE(Children({"Notes"}).empty());
  Window->chk_noteonsheetcaptioncasesensitive->setChecked(false);
  Window->chk_notecaptioncasesensitive->setChecked(true);
  Window->btn_search->click();
  EXPECT_TRUE(Children({"Notes"}).empty());
  Window->chk_notecaptioncasesensitive->setChecked(false);
  Window->btn_search->click();
  EXPECT_EQ(Children({"Notes"}).size(), 3u);
}

TEST_F(SearchWindowTest, ChangingThePageStartsANewSearch) {
  Open(1);
  EXPECT_EQ(Window->windowTitle(), "Search") << "choosing the page from the menu changes nothing";
  Window->edt_notecaption->setText("Note 1");
  Window->chk_notememocasesensitive->setChecked(true);
  QTest::mouseClick(Window->chk_notecolor, Qt::LeftButton);
  Window->cbGlobalText3->setEditText("kept in the history");
  Window->btn_search->click();
  Window->SearchKind->setCurrentIndex(3);
  EXPECT_EQ(Window->windowTitle(), "Search Attachments");
  EXPECT_TRUE(Window->trvSearchResults->isHidden());
  EXPECT_EQ(Window->edt_notecaption->text(), "");
  EXPECT_FALSE(Window->chk_notememocasesensitive->isChecked());
  EXPECT_FALSE(Window->chk_notecolor->isChecked());
  EXPECT_FALSE(Window->pnl_notecolor->isEnabled());
  EXPECT_FALSE(Window->pnl_notecolor->Shape->isHidden());
  EXPECT_EQ(Window->pnl_notecolor->GetColor(), clWhite);
  EXPECT_EQ(Window->cbGlobalText3->currentText(), "");
  EXPECT_EQ(Window->cbGlobalText3->itemText(0), "kept in the history");
  EXPECT_EQ(Project().NotePool->ViewCount(), 3) << "every criterion is off and every view full";
}

TEST_F(SearchWindowTest, ColourBoxesSearchThePanelsColour) {
  Open(1);
  Project().GetNote(1)->SetColor(clRed);
  EXPECT_FALSE(Window->pnl_notecolor->isEnabled());
  QTest::mouseClick(Window->chk_notecolor, Qt::LeftButton);
  EXPECT_TRUE(Window->pnl_notecolor->isEnabled());
  EXPECT_TRUE(Window->pnl_notecolor->Shape->isHidden());
  Script.AnswerColor(true, clRed).AnswerColor(false);
  QTest::mouseClick(Window->pnl_notecolor, Qt::LeftButton);
  QTest::mouseClick(Window->pnl_notecolor, Qt::LeftButton);
  EXPECT_EQ(Window->pnl_notecolor->GetColor(), clRed) << "a cancelled dialog changes nothing";
  Window->btn_search->click();
  EXPECT_EQ(Children({"Notes"}), (Names{"Note 2"}));
  // The sheet colour panel answers double clicks, and is enabled from the start.
  Window->SelectSearchKind(2);
  Script.AnswerColor(true, clBlue);
  QTest::mouseClick(Window->pnl_sheetcolor, Qt::LeftButton);
  QTest::mouseDClick(Window->pnl_sheetcolor, Qt::LeftButton);
  EXPECT_EQ(Window->pnl_sheetcolor->GetColor(), clBlue);
  EXPECT_EQ(Script.Pending(), 0u);
}

// Fault: the panels started in the system window colour, so "search color" found no white
// note until "New search" had been pressed.
// Fault: the colour filters had no text, and the sheets' filter not even a tool tip.
TEST_F(SearchWindowTest, EachColourFilterSaysWhatItFilters) {
  Open(1);
  const std::vector<std::pair<QWidget*, const char*>> filters = {
      {Window->chk_notecolor, "only notes of this colour"},
      {Window->pnl_notecolor, "colour of the notes"},
      {Window->chk_noteonsheetcolor, "only notes on sheets of this colour"},
      {Window->pnl_noteonsheetcolor, "colour of the sheets the notes are on"},
      {Window->chk_sheetcolor, "only sheets of this colour"},
      {Window->pnl_sheetcolor, "colour of the sheets to find"}};
  for (auto [filter, says] : filters)
    EXPECT_TRUE(filter->toolTip().contains(says, Qt::CaseInsensitive))
        << says << ": " << filter->toolTip().toStdString();
}

TEST_F(SearchWindowTest, ColourPanelsStartWhite) {
  Open(1);
  Project().GetNote(2)->SetColor(clWhite);
  for (TSearchColorPanel* panel : {Window->pnl_notecolor, Window->pnl_noteonsheetcolor, Window->pnl_sheetcolor}) {
    EXPECT_EQ(panel->GetColor(), clWhite);
    QImage shown(panel->size(), QImage::Format_RGB32);
    panel->Shape->hide();
    panel->render(&shown);
    EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() / 2), qRgb(255, 255, 255));
  }
  QTest::mouseClick(Window->chk_notecolor, Qt::LeftButton);
  Window->btn_search->click();
  EXPECT_EQ(Children({"Notes"}), (Names{"Note 3"}));
  Window->SelectSearchKind(2);
  QTest::mouseClick(Window->chk_sheetcolor, Qt::LeftButton);
  Window->btn_search->click();
  EXPECT_EQ(Children({"Sheets"}), (Names{"Sheet 1", "Sheet 2"})) << "new sheets are white";
}

// Fault: with the results tree hidden the search fields stood in the middle of the window.
TEST_F(SearchWindowTest, FieldsStandAtTheTopWhileTheTreeIsHidden) {
  Open(0);
  Window->resize(181, 688);
  QApplication::processEvents();
  ASSERT_TRUE(Window->trvSearchResults->isHidden());
  EXPECT_EQ(Window->pnl_top->geometry().top(), 0);
  EXPECT_EQ(Window->pnl_top->width(), Window->width());
  Window->btn_search->click();
  QApplication::processEvents();
  EXPECT_EQ(Window->pnl_top->geometry().top(), 0);
  EXPECT_GT(Window->trvSearchResults->height(), 300) << "the tree takes the rest";
  Window->SearchKind->setCurrentIndex(1);
  QApplication::processEvents();
  EXPECT_TRUE(Window->trvSearchResults->isHidden());
  EXPECT_EQ(Window->pnl_top->geometry().top(), 0);
}

// Fault: a long search froze the window without a busy cursor.
TEST_F(SearchWindowTest, ASearchShowsABusyCursorAndKeepsPainting) {
  Open(1);
  bool busyCursor = false, searchOff = false;
  int ticks = 0;
  QTimer::singleShot(0, Window, [&] {
    ++ticks;
    busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    searchOff = !Window->btn_search->isEnabled() && Window->IsBusy();
    Window->btn_searchClick(); // a second search does not start inside the first
  });
  Window->btn_search->click();
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(busyCursor);
  EXPECT_TRUE(searchOff);
  EXPECT_EQ(Children({"Notes"}).size(), 3u);
  EXPECT_EQ(Window->cbGlobalText1->count(), 1) << "the second search did not run";
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(Window->btn_search->isEnabled());
}

TEST_F(SearchWindowTest, DoubleClickOpensASheetWindowOnceAndClosingTheSearchClosesIt) {
  Open(2);
  Window->btn_search->click();
  Select({"Sheets", "Sheet 1"});
  Window->trvSearchResultsDblClick();
  ASSERT_EQ(QELMain->ChildWindows<TDrawSheet>().size(), 1u);
  EXPECT_EQ(DrawSheet->GetSheet(), Project().GetSheet(0));
  Window->trvSearchResultsDblClick();
  EXPECT_EQ(QELMain->ChildWindows<TDrawSheet>().size(), 1u) << "the sheet is open already";
  Window->close();
  QApplication::processEvents();
  EXPECT_TRUE(QELMain->ChildWindows<TDrawSheet>().empty());
}

TEST_F(SearchWindowTest, AttachmentsOpenOnlyFromTheMenu) {
  Open(3);
  Window->btn_search->click();
  Select({"Attachments", "Attachment 1"});
  EXPECT_TRUE(Window->MI_Open->isEnabled());
  Window->trvSearchResultsDblClick();
  EXPECT_TRUE(Window->findChildren<TAttachPrp*>().empty());
  Window->MI_Open->trigger();
  auto windows = Window->findChildren<TAttachPrp*>();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_EQ(windows[0]->GetItem(), Project().GetAttachment(0));
  EXPECT_TRUE(windows[0]->isVisible());
  EXPECT_EQ(windows[0]->width(), 250);
  Select({});
  EXPECT_FALSE(Window->MI_Open->isEnabled()) << "the root shows no item";
}

TEST_F(SearchWindowTest, NoteWindowFollowsSingleClicksOnNotes) {
  Open(1);
  Window->btn_search->click();
  Select({"Notes", "Note 1"});
  Window->trvSearchResultsDblClick();
  ASSERT_TRUE(Window->NoteWindow);
  TNotePrp* window = Window->NoteWindow;
  EXPECT_EQ(window->GetItem(), Project().GetNote(0));
  EXPECT_EQ(window->windowTitle(), "Note");
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(window->frameGeometry().intersects(Window->frameGeometry())) << "beside the search window";
  Select({"Notes", "Note 2"});
  Window->trvSearchResultsClick();
  EXPECT_EQ(window->GetItem(), Project().GetNote(1));
  window->hide();
  Select({"Notes", "Note 3"});
  Window->trvSearchResultsClick();
  EXPECT_EQ(window->GetItem(), Project().GetNote(1)) << "a hidden note window is left alone";
  Window->MI_OpenClick();
  EXPECT_NE(Window->NoteWindow.data(), window) << "every open makes a new window";
  EXPECT_EQ(Window->findChildren<TNotePrp*>().size(), 2);
}

TEST_F(SearchWindowTest, AggregationNoteOpensItsSheetsPropertyWindow) {
  Open(1);
  AddAggregationNote(Project(), Project().GetSheet(1));
  Window->btn_search->click();
  Select({"Notes", "Sheet 2"});
  EXPECT_EQ(SelectedNode()->ImageIndex, 1);
  Window->trvSearchResultsDblClick();
  ASSERT_TRUE(Window->SheetPropWindow);
  EXPECT_EQ(Window->SheetPropWindow->GetItem(), Project().GetSheet(1));
  EXPECT_TRUE(Window->SheetPropWindow->isVisible());
  // Menu "Open..." on a sheet opens its property window without keeping it.
  TSheetPrp* kept = Window->SheetPropWindow;
  Select({});
  Window->SearchKind->setCurrentIndex(2);
  Window->btn_search->click();
  Select({"Sheets", "Sheet 1"});
  Window->MI_OpenClick();
  EXPECT_EQ(Window->SheetPropWindow.data(), kept);
  EXPECT_EQ(Window->findChildren<TSheetPrp*>().size(), 2);
}

// Fault: the tree kept plain pointers, and an aggregation note without sheet opened an empty window.
TEST_F(SearchWindowTest, ItemsDeletedSinceTheSearchOpenNothing) {
  Open(0);
  AddAggregationNote(Project(), Project().GetSheet(1));
  Window->cbGlobalText1->setEditText("2");
  Window->btn_search->click();
  Project().GetSheet(1)->Delete();
  Project().GetNote(1)->Delete();
  Select({"Notes", "Note 2"});
  EXPECT_FALSE(Window->MI_Open->isEnabled());
  EXPECT_EQ(Window->trvSearchResultsStartDrag(), nullptr);
  for (Names path : {Names{"Notes", "Sheet 2"}, Names{"Notes", "Note 2"}, Names{"Sheets", "Sheet 2"}}) {
    Select(path);
    Window->trvSearchResultsDblClick();
    Window->MI_OpenClick();
    Window->trvSearchResultsClick();
  }
  EXPECT_FALSE(Window->NoteWindow);
  EXPECT_FALSE(Window->SheetPropWindow);
  EXPECT_TRUE(Window->findChildren<TSheetPrp*>().empty());
  EXPECT_TRUE(QELMain->ChildWindows<TDrawSheet>().empty());
}

// Fault: results deleted since the search turned grey only when the search window repainted
// for some other reason. What the screen shows is read back after the navigator's delete.
TEST_F(SearchWindowTest, AResultTurnsGreyWhenItsItemIsDeleted) {
  Open(1);
  Window->btn_search->click();
  Window->resize(300, 500);
  QApplication::processEvents();
  TResultNode* node = Find({"Notes", "Note 2"});
  ASSERT_NE(node, nullptr);
  QTreeWidget* tree = Window->trvSearchResults;
  const QRect rect = tree->visualItemRect(node);
  ASSERT_FALSE(rect.isEmpty());
  // The node's row as the screen shows it, and as the tree paints it now.
  auto onScreen = [&] {
    QApplication::processEvents();
    const QPoint at = tree->viewport()->mapTo(Window->window(), rect.topLeft());
    const QImage shot = Window->window()->screen()->grabWindow(Window->window()->winId()).toImage();
    return shot.copy(QRect(at, rect.size())).convertToFormat(QImage::Format_RGB32);
  };
  auto painted = [&] { return tree->viewport()->grab(rect).toImage().convertToFormat(QImage::Format_RGB32); };
  const QImage before = onScreen();
  ASSERT_EQ(before, painted());
  NavForm->Tree->ExpandNode(NavForm->Tree->NotesNode);
  ASSERT_EQ(NavForm->Tree->NotesNode->childCount(), 3);
  NavForm->TV_Container->setCurrentItem(NavForm->Tree->NotesNode->child(1));
  ASSERT_EQ(NavForm->TV_Container->currentItem()->text(0), "Note 2");
  Script.Answer(mrYes);
  NavForm->MI_DeleteClick();
  ASSERT_EQ(Project().NoteCount(), 2);
  EXPECT_TRUE(node->ItemGone());
  const QImage after = onScreen();
  EXPECT_NE(after, before) << "the row turns grey";
  EXPECT_EQ(after, painted()) << "the screen shows the row as it is now";
}

// Fault: windows opened from the tree were destroyed with the search window without storing
// what the user had typed.
TEST_F(SearchWindowTest, ClosingTheSearchWindowStoresTheEditsOfItsWindows) {
  Open(1);
  Window->btn_search->click();
  Select({"Notes", "Note 1"});
  Window->trvSearchResultsDblClick();
  Window->NoteWindow->ED_Caption->setText("Typed before closing");
  QPointer<TNotePrp> noteWindow = Window->NoteWindow.data();
  Window->close();
  QApplication::processEvents();
  EXPECT_TRUE(noteWindow.isNull());
  EXPECT_EQ(Project().GetNote(0)->Data.Name, "Typed before closing");
  EXPECT_EQ(frmSearch, nullptr);
}

TEST_F(SearchWindowTest, NotesAndAttachmentsAreDraggedSheetsAreNot) {
  Open(0);
  Window->btn_search->click(); // nothing found: the root only
  Select({});
  EXPECT_EQ(Window->trvSearchResultsStartDrag(), nullptr);
  Window->SelectSearchKind(3);
  Window->btn_search->click();
  Select({"Attachments", "Attachment 1", "Note 1"});
  std::unique_ptr<QMimeData> data(Window->trvSearchResultsStartDrag());
  auto* notes = DragObjectAs<TDragNotes>(data.get());
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(notes->SourceForm.data(), Window.data());
  ASSERT_EQ(notes->Count(), 1);
  EXPECT_EQ(notes->Items(0), Project().GetNote(0));
  Select({"Attachments", "Attachment 1"});
  data.reset(Window->trvSearchResultsStartDrag());
  ASSERT_NE(DragObjectAs<TDragAttach>(data.get()), nullptr);
  EXPECT_EQ(DragObjectAs<TDragAttach>(data.get())->Items(0), Project().GetAttachment(0));
  Window->SelectSearchKind(2);
  Window->btn_search->click();
  Select({"Sheets", "Sheet 1"});
  EXPECT_EQ(Window->trvSearchResultsStartDrag(), nullptr);
}

} // namespace
} // namespace qel::test
