// Free property windows beside the main window: they store when the main window asks, and
// the main window's menu keys work in their texts.
#include "ShellFixture.h"
#include "windows/sheet/SheetForm.h"
#include "platform/RtfText.h"
#include "shell/Main.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropCommon.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/props/SheetProp.h"
#include "windows/nav/Navigator.h"
#include "windows/sheet/DragObjects.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <functional>

namespace qel::test {
namespace {

class FreeWindow : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    OpenProject({});
    QELMain->show();
    QApplication::processEvents();
  }
  // A note window as the sheet and search windows open it, with the focus in its text.
  TNotePrp* OpenNoteWindow(TNoteItem* note) {
    auto* window = new TNotePrp(QELMain);
    window->Container = &Project();
    window->ShowNote(note, Project().RelationPool.get(), Project().LinkPool.get());
    ShowFreeWindow(window, true);
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    window->RichEditURL1->setFocus();
    return window;
  }
};

// Fault: text typed in a free note window whose focus never left it was not saved.
TEST_F(FreeWindow, ANoteWindowStoresItsTextWhenTheMainWindowAsks) {
  TNoteItem* note = Project().GetNote(0);
  QPointer<TNotePrp> window = OpenNoteWindow(note);
  Project().SetModified(false);
  QTest::keyClicks(window->RichEditURL1, "typed ");
  ASSERT_EQ(note->Data.Text, ""); // nothing stored it yet
  EXPECT_FALSE(Project().IsModified());
  QELMain->trAutoSaveTimer(); // stores, then saves
  EXPECT_EQ(RtfToPlainText(note->Data.Text).substr(0, 6), "typed ");
  EXPECT_FALSE(Project().IsModified());
  // The question before closing sees the project modified.
  QTest::keyClicks(window->RichEditURL1, "more ");
  Script.Answer(mrNo);
  EXPECT_TRUE(QELMain->QuerySaveProject());
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_NE(Script.Shown[0].Text.find("Save before closing?"), std::string::npos);
  EXPECT_EQ(RtfToPlainText(note->Data.Text).substr(0, 11), "typed more ");
  delete window.data();
}

// Fault: a caption typed in a free attachment window was lost when the window closed.
TEST_F(FreeWindow, AnAttachmentWindowStoresWhenItClosesOrIsAsked) {
  TAttachItem* attachment = Project().GetAttachment(0);
  for (int way = 0; way < 2; ++way) {
    auto* window = new TAttachPrp(QELMain);
    window->Container = &Project();
    window->ShowItem(attachment);
    ShowFreeWindow(window, true);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->ED_Caption->setFocus();
    const std::string caption = way == 0 ? "closed" : "asked";
    window->ED_Caption->selectAll();
    QTest::keyClicks(window->ED_Caption, QString::fromStdString(caption));
    if (way == 0)
      window->close();
    else
      QELMain->StorePendingEdits();
    EXPECT_EQ(attachment->Data.Caption, caption);
    delete window;
  }
}

// Only what was typed is stored when asked: a name changed elsewhere meanwhile stays.
TEST_F(FreeWindow, ASheetWindowStoresWhatWasTypedWhenAsked) {
  TSheetItem* sheet = Project().GetSheet(0);
  auto* window = new TSheetPrp(QELMain);
  window->Container = &Project();
  window->ShowItem(sheet);
  ShowFreeWindow(window, true);
  QTest::keyClicks(window->RichEditURL1, "described");
  sheet->SetName("Renamed elsewhere");
  QELMain->StorePendingEdits();
  EXPECT_EQ(sheet->Data.Description, "described");
  EXPECT_EQ(sheet->Data.Name, "Renamed elsewhere");
  Project().SetModified(false);
  QELMain->StorePendingEdits(); // nothing typed since
  EXPECT_FALSE(Project().IsModified());
  delete window;
}

// Fault: the main window's menu keys did nothing in a free note window.
TEST_F(FreeWindow, ZoomKeysInAFreeNoteWindowZoomTheSheetWindow) {
  TSheetItem* sheet = Project().GetSheet(0);
  auto* sheetWindow = new TDrawSheet();
  QMdiSubWindow* sub = QELMain->AddChildWindow(sheetWindow);
  sheetWindow->SetSheet(&Project(), sheet);
  QELMain->MdiArea->setActiveSubWindow(sub);
  const int zoom = sheet->Data.Zoom;
  TNotePrp* window = OpenNoteWindow(Project().GetNote(0));
  QTest::keyClick(window->RichEditURL1, Qt::Key_I, Qt::ControlModifier);
  EXPECT_GT(sheet->Data.Zoom, zoom);
  QTest::keyClick(window->RichEditURL1, Qt::Key_U, Qt::ControlModifier);
  EXPECT_EQ(sheet->Data.Zoom, zoom);
  // The control's own keys where no menu binds them: Ctrl+B bold, Ctrl+E centred.
  QTest::keyClicks(window->RichEditURL1, "bold");
  QTest::keyClick(window->RichEditURL1, Qt::Key_A, Qt::ControlModifier);
  // The text's own copy, not the main window's Edit menu item of the same key.
  QApplication::clipboard()->clear();
  QTest::keyClick(window->RichEditURL1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "bold");
  QTest::keyClick(window->RichEditURL1, Qt::Key_B, Qt::ControlModifier);
  QTest::keyClick(window->RichEditURL1, Qt::Key_E, Qt::ControlModifier);
  window->UpdateItem(true);
  EXPECT_NE(Project().GetNote(0)->Data.Text.find("\\b "), std::string::npos) << Project().GetNote(0)->Data.Text;
  EXPECT_NE(Project().GetNote(0)->Data.Text.find("\\qc"), std::string::npos);
  delete window;
}

// The rules of the place, one case each: the area's left edge with nothing to avoid; left of
// the window worked in, else right of it; else the edge that covers less of it.
TEST(FreeWindowPlace, BesideTheAvoidedWindowWhereThereIsRoom) {
  const QRect area(0, 100, 1000, 600);
  const QSize size(250, 600);
  struct TCase {
    const char* Name;
    QRect Avoid;
    int Left;
  };
  const TCase cases[] = {
      {"nothing to avoid", QRect(), 0},
      {"outside the area", QRect(0, 0, 1000, 50), 0},
      {"room at its left", QRect(400, 100, 600, 600), 150},
      {"room at its left, just", QRect(250, 100, 750, 600), 0},
      {"room at its right only", QRect(0, 100, 300, 600), 300},
      {"room at its right, just", QRect(0, 100, 750, 600), 750},
      {"no room: the right edge covers less", QRect(100, 100, 700, 600), 750},
      {"no room: the left edge covers less", QRect(200, 100, 750, 600), 0},
      {"filling the area: the right edge", area, 750},
  };
  for (const TCase& c : cases) {
    const QRect place = FreeWindowPlace(area, size, c.Avoid);
    EXPECT_EQ(place, QRect(QPoint(c.Left, 100), size)) << c.Name;
  }
}

// Fault: free windows opened over the tool bar (a click meant for New landed in the note
// window) and over the window the user had just worked in.
class FreeWindowPlaces : public FreeWindow {
protected:
  void SetUp() override {
    FreeWindow::SetUp();
    QELMain->showMaximized();
    QApplication::processEvents();
    SheetWindow = new TDrawSheet();
    QELMain->AddChildWindow(SheetWindow);
    SheetWindow->SetSheet(&Project(), Project().GetSheet(0));
    QELMain->TB_FitToScreenClick(); // the navigator at the left, the sheet window beside it
    QApplication::processEvents();
  }
  static QMdiSubWindow* FrameOf(QWidget* child) { return qobject_cast<QMdiSubWindow*>(child->parentWidget()); }
  static QRect OnScreen(QWidget* widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }
  // The user clicks into a child window.
  void Activate(QWidget* child) {
    QELMain->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(QELMain));
    QELMain->MdiArea->setActiveSubWindow(FrameOf(child));
    child->setFocus();
  }
  // The paint-box point of a note's top-left corner, a little inside.
  QPoint Inside(TNoteItem* note) {
    const TPosItem* pos = Project().FindPosition(note, Project().GetSheet(0));
    return {SheetWindow->BitmapCanvas->Scale(pos->Data.X + 5), SheetWindow->BitmapCanvas->Scale(pos->Data.Y + 5)};
  }
  TDrawSheet* SheetWindow = nullptr;
};

TEST_F(FreeWindowPlaces, BelowTheToolBarBesideTheWindowWorkedIn) {
  struct TCase {
    const char* Name;
    std::function<QWidget*()> Open; // returns the window placed
    QWidget* WorkedIn;              // the child window it keeps clear of where there is room
  };
  const std::vector<TCase> cases = {
      {"a sheet window's note window", [this] {
         Activate(SheetWindow);
         const QPoint at = Inside(Project().GetNote(0));
         SheetWindow->LastPoint = {at.x(), at.y()};
         SheetWindow->PB_SheetDblClick();
         return SheetWindow->NoteWindow;
       }, SheetWindow},
      {"the New Note window, the tree active", [this] {
         Activate(NavForm);
         QELMain->TB_NewNoteClick();
         return QELMain->NewNoteWindow.data();
       }, NavForm},
      {"the new-note tile dropped on the sheet window, the tree active", [this] {
         SheetWindow->NoteWindow->hide();
         Activate(NavForm);
         TDragNewNote tile;
         SheetWindow->PB_SheetDragDrop(&tile, 300, 200);
         return SheetWindow->NoteWindow;
       }, SheetWindow},
      {"the New Note window, the tree filling the area", [this] {
         for (QWidget* free : {static_cast<QWidget*>(QELMain->NewNoteWindow), static_cast<QWidget*>(SheetWindow->NoteWindow)})
           free->hide();
         FrameOf(NavForm)->showMaximized();
         Activate(NavForm);
         QELMain->TB_NewNoteClick();
         return QELMain->NewNoteWindow.data();
       }, nullptr},
  };
  const QRect toolBar = OnScreen(QELMain->ToolBarMain);
  for (const TCase& c : cases) {
    const QRect worked = c.WorkedIn ? OnScreen(FrameOf(c.WorkedIn)) : QRect();
    QWidget* window = c.Open();
    ASSERT_NE(window, nullptr) << c.Name;
    QApplication::processEvents();
    const QRect frame = window->frameGeometry(), area = QELMain->FreeWindowArea();
    EXPECT_TRUE(window->isVisible()) << c.Name;
    EXPECT_EQ(window->width(), 250) << c.Name;
    EXPECT_EQ(frame.height(), QELMain->ClientHeight() - QELMain->ToolBarMainHeight()) << c.Name;
    EXPECT_EQ(frame.top(), area.top()) << c.Name;
    EXPECT_FALSE(frame.intersects(toolBar)) << c.Name;
    EXPECT_TRUE(area.contains(frame)) << c.Name;
    if (c.WorkedIn)
      EXPECT_FALSE(frame.intersects(worked)) << c.Name;
    else
      EXPECT_EQ(frame.right(), area.right()) << c.Name << ": away from the tree at the left";
  }
}

} // namespace
} // namespace qel::test
