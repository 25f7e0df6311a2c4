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

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

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

} // namespace
} // namespace qel::test
