// The main window's tool bars, menus, commands and services.
#include "ShellFixture.h"

#include "windows/sheet/DragObjects.h"
#include "windows/sheet/SheetForm.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/ShellOpen.h"
#include "windows/search/Search.h"
#include "shell/About.h"
#include "shell/AutoSave.h"
#include "shell/Main.h"
#include "windows/nav/Navigator.h"
#include "windows/props/NoteProp.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/links/RelationFrm.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTransform>
#include <QTreeWidget>

namespace qel::test {
namespace {

struct TRecordingOpener : IShellOpener {
  TRecordingOpener() : Previous(SetShellOpener(this)) {}
  ~TRecordingOpener() override { SetShellOpener(Previous); }
  bool Open(const std::string& target) override {
    Opened.push_back(target);
    return true;
  }
  IShellOpener* Previous;
  std::vector<std::string> Opened;
};

class MainCommandsTest : public ShellTest {
protected:
  void Run() {
    StartUp();
    QELMain->show();
    QApplication::processEvents();
  }
  TDrawSheet* OpenSheetWindow(TSheetItem* sheet) {
    auto* window = new TDrawSheet();
    QMdiSubWindow* sub = QELMain->AddChildWindow(window);
    window->SetSheet(&Project(), sheet);
    QELMain->MdiArea->setActiveSubWindow(sub);
    return window;
  }
  TSheetItem* AddSheet(const std::string& name) {
    TSheet record;
    record.Name = name;
    return Project().AddSheet(record);
  }
  QMdiSubWindow* FrameOf(QWidget* child) { return qobject_cast<QMdiSubWindow*>(child->parentWidget()); }
};

TEST_F(MainCommandsTest, ToolBarsHoldEveryButtonWithItsHintAndImage) {
  CreateWindows();
  const std::vector<std::pair<QToolBar*, std::vector<std::string>>> bars = {
      {QELMain->ToolBarFile,
       {"New Project", "Open Project", "Save Project", "Print the active sheet", "Exit QEL", "Import File", "Auto Save"}},
      {QELMain->ToolBarMisc,
       {"Search", "Tile Windows", "Cascade Windows", "Fit to screen", "Relation types", "New Note", "New Sheet"}},
      {QELMain->ToolBarView, {"Zoom in", "Zoom out", "help"}}};
  for (const auto& [bar, hints] : bars) {
    EXPECT_EQ(bar->parentWidget(), QELMain->ToolBarMain);
    std::vector<std::string> found;
    for (QAction* action : bar->actions())
      if (!action->isSeparator() && !action->icon().isNull()) found.push_back(FromQString(action->toolTip()));
    EXPECT_EQ(found, hints) << bar->objectName().toStdString();
  }
  EXPECT_EQ(QELMain->PN_NewNote->toolTip(), "Drag and Drop On Sheet");
  EXPECT_EQ(QELMain->CB_Zoom->toolTip(), "Zoom Percentage");
  EXPECT_EQ(QELMain->IL_Nav.size(), 9);
  std::unique_ptr<QMimeData> drag(QELMain->PN_NewNoteStartDrag());
  EXPECT_NE(DragObjectAs<TDragNewNote>(drag.get()), nullptr);
}

TEST_F(MainCommandsTest, MenusHoldEveryItemWithItsShortcut) {
  CreateWindows();
  std::vector<std::string> items;
  for (QAction* menu : QELMain->menuBar()->actions()) {
    items.push_back(FromQString(menu->text()));
    for (QAction* item : menu->menu()->actions())
      if (!item->isSeparator() && item->isVisible())
        items.push_back("  " + FromQString(item->text()) + " " + FromQString(item->shortcut().toString()));
  }
  const std::vector<std::string> expected = {
      "&File", "  &New ", "  &Open... ", "  &Reopen ", "  &Save... Ctrl+S", "  Save &As... ", "  A&uto Save... ",
      "  &Print... Ctrl+P", "  &Exit ", "&Edit", "  New &Note... Ctrl+N", "  New &Sheet... Ctrl+W", "&Search",
      "  &Global... Ctrl+G", "  &Notes... Ctrl+F", "  S&heets... Ctrl+H", "  A&ttachments... Ctrl+T", "&View",
      "  Zoom &In Ctrl+I", "  Zoom &Out Ctrl+U", "  &Relation types... Ctrl+R", "&Window", "  &Cascade ", "  &Tile ",
      "  &Fit to screen ", "&Help", "  &Contents ", "  &About "};
  EXPECT_EQ(items, expected);
  EXPECT_EQ(QELMain->MI_EditCopy->shortcut(), QKeySequence("Ctrl+C"));
  EXPECT_FALSE(QELMain->MI_EditCopy->isVisible());
}

// Fault: an "&" in a sheet's name showed in the Window menu as an underlined letter.
TEST_F(MainCommandsTest, TheWindowMenuShowsNamesAsTheyAre) {
  OpenProject({1, 1, 0, 0});
  Project().GetSheet(0)->SetName("R&D");
  auto* window = new TDrawSheet();
  QELMain->AddChildWindow(window);
  window->SetSheet(&Project(), Project().GetSheet(0));
  emit QELMain->MI_window->aboutToShow();
  // The text as a menu shows it: "&x" underlines x, "&&" is one "&".
  auto shown = [](const QString& text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
      if (text[i] == '&' && i + 1 < text.size()) ++i;
      out += text[i];
    }
    return out;
  };
  QStringList entries;
  for (QAction* entry : QELMain->MI_window->actions())
    if (!entry->isSeparator()) entries << shown(entry->text());
  EXPECT_EQ(entries.filter(QRegularExpression("^\\d Worksheet - R&D \\(\\d+%\\)$")).size(), 1)
      << FromQString(entries.join(" | "));
}

// Fault: the hidden Cut, Copy and Paste items took their keys away from edit fields.
TEST_F(MainCommandsTest, HiddenEditItemsLeaveClipboardKeysToEditFields) {
  Run();
  auto* field = new QLineEdit("copied text");
  QELMain->AddChildWindow(field);
  QELMain->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(QELMain));
  field->setFocus();
  QSignalSpy copies(QELMain->MI_EditCopy, &QAction::triggered);
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "copied text");
  QTest::keyClick(field, Qt::Key_End);
  QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(field->text(), "copied textcopied text");
  EXPECT_EQ(copies.count(), 0);
  // The visible items' shortcuts do work here.
  const int notes = Project().NoteCount();
  QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Project().NoteCount(), notes + 1);
}

TEST_F(MainCommandsTest, ZoomComboZoomsOnlyOnTheUsersChoice) {
  Run();
  EXPECT_EQ(QELMain->CB_Zoom->count(), 6);
  EXPECT_EQ(QELMain->CB_Zoom->currentText(), "100%");
  TSheetItem* sheet = AddSheet("Zoomed");
  OpenSheetWindow(sheet);
  QELMain->CB_Zoom->setCurrentIndex(3);
  EXPECT_EQ(sheet->Data.Zoom, 80); // set from code: no zoom
  emit QELMain->CB_Zoom->activated(3);
  EXPECT_EQ(sheet->Data.Zoom, 60);
  QELMain->TB_ZoomInClick();
  EXPECT_EQ(sheet->Data.Zoom, 70);
  QELMain->TB_ZoomOutClick();
  QELMain->TB_ZoomOutClick();
  EXPECT_EQ(sheet->Data.Zoom, 50);
}

// Fault: with the navigator active the zoom box showed a stale zoom and choosing in it did
// nothing. It applies to the sheet window active last, and is disabled without one.
TEST_F(MainCommandsTest, ZoomBoxAppliesToTheLastSheetWindowWhileTheNavigatorIsActive) {
  Run();
  QComboBox* box = QELMain->CB_Zoom;
  EXPECT_FALSE(box->isEnabled());
  TSheetItem* first = AddSheet("First");
  TSheetItem* second = AddSheet("Second");
  QPointer<TDrawSheet> firstWindow = OpenSheetWindow(first);
  firstWindow->SetZoom(60);
  QPointer<TDrawSheet> secondWindow = OpenSheetWindow(second);
  secondWindow->SetZoom(40);
  QELMain->MdiArea->setActiveSubWindow(FrameOf(firstWindow));
  QELMain->MdiArea->setActiveSubWindow(FrameOf(NavForm));
  EXPECT_TRUE(box->isEnabled());
  EXPECT_EQ(box->currentText(), "60%");
  box->setCurrentIndex(box->findText("200%"));
  emit box->activated(box->currentIndex());
  EXPECT_EQ(first->Data.Zoom, 200);
  // Fault: the zoom changed a window hidden behind the navigator: it comes forward now.
  EXPECT_EQ(QELMain->MdiArea->activeSubWindow(), FrameOf(firstWindow));
  EXPECT_EQ(box->currentText(), "200%");
  QELMain->MdiArea->setActiveSubWindow(FrameOf(NavForm));
  QELMain->TB_ZoomOutClick();
  EXPECT_EQ(first->Data.Zoom, 190);
  EXPECT_EQ(QELMain->MdiArea->activeSubWindow(), FrameOf(firstWindow));
  EXPECT_EQ(second->Data.Zoom, 40);
  // Closed in the background, the window hands the box to the other one.
  FrameOf(firstWindow)->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  ASSERT_TRUE(firstWindow.isNull());
  EXPECT_TRUE(box->isEnabled());
  EXPECT_EQ(box->currentText(), "40%");
  FrameOf(secondWindow)->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  EXPECT_FALSE(box->isEnabled());
  EXPECT_FALSE(QELMain->TB_ZoomIn->isEnabled());
  emit box->activated(0);
  QELMain->TB_ZoomInClick(); // nothing to act on
}

// Faults: child windows showed the toolkit's logo as their icon; the AutoSave window opened
// under a stay-on-top note window.
TEST_F(MainCommandsTest, WindowsShowTheProgramIconAndAutoSaveStaysAboveTheOthers) {
  Run();
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  for (int side : {16, 32, 48}) EXPECT_EQ(icon.pixmap(side, side).size(), QSize(side, side));
  TDrawSheet* sheetWindow = OpenSheetWindow(AddSheet("Iconic"));
  QELMain->TB_NewNoteClick();
  for (QWidget* window : {static_cast<QWidget*>(QELMain), static_cast<QWidget*>(FrameOf(sheetWindow)),
                          static_cast<QWidget*>(FrameOf(NavForm)), static_cast<QWidget*>(QELMain->NewNoteWindow),
                          static_cast<QWidget*>(frmAutoSave)})
    EXPECT_EQ(window->windowIcon().cacheKey(), icon.cacheKey()) << window->windowTitle().toStdString();
  QELMain->tbAutoSaveClick();
  EXPECT_TRUE(frmAutoSave->isVisible());
  EXPECT_TRUE(frmAutoSave->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(QELMain->NewNoteWindow->windowFlags() & Qt::WindowStaysOnTopHint);
  frmAutoSave->hide();
}

// Fault: Cascade shrank the sheet windows and left the active one under the navigator.
TEST_F(MainCommandsTest, CascadeKeepsTheSizesAndPutsTheNavigatorAtTheBottom) {
  Run();
  QELMain->resize(1200, 900);
  QApplication::processEvents();
  TDrawSheet* one = OpenSheetWindow(AddSheet("One"));
  TDrawSheet* two = OpenSheetWindow(AddSheet("Two"));
  QELMain->TB_FitToScreenClick();
  QApplication::processEvents();
  QELMain->MdiArea->setActiveSubWindow(FrameOf(one));
  FrameOf(two)->resize(500, 350);
  const QSize sizeOne = FrameOf(one)->size(), sizeTwo = FrameOf(two)->size();
  QELMain->MdiArea->setActiveSubWindow(FrameOf(NavForm));
  QELMain->MdiArea->setActiveSubWindow(FrameOf(one));
  QELMain->TB_CascadeClick();
  QApplication::processEvents();
  const QRect area = QELMain->MdiArea->viewport()->rect();
  EXPECT_EQ(FrameOf(two)->size(), sizeTwo);
  const int offset = FrameOf(one)->pos().x(); // as far as the area allows
  EXPECT_EQ(FrameOf(one)->size(), sizeOne.boundedTo(area.size() - QSize(offset, offset)));
  const auto stack = QELMain->MdiArea->subWindowList(QMdiArea::StackingOrder);
  ASSERT_EQ(stack.size(), 3);
  EXPECT_EQ(stack.front(), FrameOf(NavForm));
  EXPECT_EQ(stack.back(), FrameOf(one)); // the active window on top
  EXPECT_EQ(QELMain->MdiArea->activeSubWindow(), FrameOf(one));
  for (QMdiSubWindow* sub : stack) EXPECT_TRUE(area.contains(sub->geometry())) << sub->windowTitle().toStdString();
  EXPECT_LT(FrameOf(NavForm)->pos().x(), FrameOf(two)->pos().x());
  EXPECT_LT(FrameOf(two)->pos().x(), FrameOf(one)->pos().x());
}

// Fault: a sheet window was closed when a search filter only hid its sheet.
TEST_F(MainCommandsTest, SheetWindowsCloseOnlyWhenTheirSheetIsGone) {
  Run();
  TSheetItem* kept = AddSheet("Kept");
  TSheetItem* hidden = AddSheet("Hidden");
  QPointer<TDrawSheet> keptWindow = OpenSheetWindow(kept);
  QPointer<TDrawSheet> hiddenWindow = OpenSheetWindow(hidden);
  Project().SheetPool->ResetView();
  Project().SheetPool->IncludeInView(0);
  Project().SheetPool->Filtered = true;
  QELMain->RefreshSheetWindows();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(hiddenWindow.isNull());
  EXPECT_TRUE(QELMain->IsSheetOpen(hidden));
  Project().SheetPool->Filtered = false;
  hidden->Delete();
  QELMain->RefreshSheetWindows();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(hiddenWindow.isNull());
  EXPECT_FALSE(keptWindow.isNull());
  EXPECT_FALSE(QELMain->IsSheetOpen(hidden));
  EXPECT_TRUE(QELMain->IsSheetOpen(kept));
}

TEST_F(MainCommandsTest, FitToScreenPutsTheNavigatorLeftAndTheOthersBesideIt) {
  Run();
  OpenSheetWindow(AddSheet("One"));
  OpenSheetWindow(AddSheet("Two"));
  ASSERT_TRUE(NavForm->PropertiesVisible());
  QELMain->TB_FitToScreenClick();
  QApplication::processEvents();
  QMdiSubWindow* navigator = FrameOf(NavForm);
  EXPECT_FALSE(NavForm->PropertiesVisible());
  EXPECT_EQ(navigator->pos(), QPoint(0, 0));
  EXPECT_EQ(NavForm->Panel1->width(), 240);
  EXPECT_EQ(navigator->width(), QELMain->ClientWidth() - 181 - NavForm->PaneWidth);
  EXPECT_EQ(navigator->height(), QELMain->ClientHeight() - QELMain->ToolBarMainHeight() - 4);
  for (TDrawSheet* window : QELMain->ChildWindows<TDrawSheet>())
    EXPECT_EQ(FrameOf(window)->geometry(), QRect(navigator->width(), 0,
                                                 QELMain->ClientWidth() - navigator->width() - 4, navigator->height()));
}

TEST_F(MainCommandsTest, TileStacksTheWindowsAndTheWindowMenuListsThem) {
  Run();
  OpenSheetWindow(AddSheet("One"));
  QELMain->TB_TileClick();
  const QRect area = QELMain->MdiArea->viewport()->rect();
  const auto windows = QELMain->MdiArea->subWindowList();
  ASSERT_EQ(windows.size(), 2);
  EXPECT_EQ(windows[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
  EXPECT_EQ(windows[1]->geometry(), QRect(0, area.height() / 2, area.width(), area.height() / 2));
  emit QELMain->MI_window->aboutToShow();
  QStringList entries;
  for (QAction* action : QELMain->MI_window->actions()) entries << action->text();
  EXPECT_EQ(entries.mid(4), (QStringList{"&1 Tree", "&2 Worksheet - One (80%)"}));
}

TEST_F(MainCommandsTest, PrintPrintsTheActiveSheetWindowOnly) {
  Run();
  const std::string pdf = Root + "sheet.pdf";
  QELMain->PrintDialog->setOutputFormat(QPrinter::PdfFormat);
  QELMain->PrintDialog->setOutputFileName(ToQString(pdf));
  QELMain->TB_PrintClick(); // the navigator is active: no dialog, nothing printed
  EXPECT_FALSE(FileExists(pdf));
  OpenSheetWindow(AddSheet("Printed"));
  Script.AnswerPrint(false).AnswerPrint(true);
  QELMain->TB_PrintClick();
  EXPECT_FALSE(FileExists(pdf));
  QELMain->TB_PrintClick();
  const std::string bytes = ReadBytes(pdf);
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_NE(bytes.find("/Type /Page\n"), std::string::npos);
  EXPECT_NE(bytes.find("/Subtype /Image"), std::string::npos);
}

// The content stream of a PDF page that draws an image, unpacked.
QString PageDrawing(const std::string& pdf) {
  for (size_t at = pdf.find("stream\n"); at != std::string::npos; at = pdf.find("stream\n", at + 1)) {
    const size_t start = at + 7, end = pdf.find("endstream", start);
    QByteArray packed = QByteArray::fromStdString(pdf.substr(start, end - start));
    packed.prepend(QByteArray("\x00\x10\x00\x00", 4)); // room for the unpacked size
    const QByteArray plain = qUncompress(packed);
    if (plain.contains(" Do")) return QString::fromLatin1(plain);
  }
  return {};
}

TEST(PrintedPlace, ShrinksInProportionOnlyWhatDoesNotFit) {
  const QRectF page(0, 0, 4800, 6800); // 600 dpi
  EXPECT_EQ(PrintedPlace(QSizeF(480, 320), page, 600), QRectF(0, 0, 3000, 2000));
  EXPECT_EQ(PrintedPlace(QSizeF(1920, 640), page, 600), QRectF(0, 0, 4800, 1600));
  EXPECT_EQ(PrintedPlace(QSizeF(960, 2720), page, 600), QRectF(0, 0, 2400, 6800));
  EXPECT_EQ(PrintedPlace(QSizeF(96, 96), QRectF(10, 20, 300, 300), 300), QRectF(10, 20, 300, 300));
}

// Fault: a sheet window wider than the page was cut at the page's right edge, and its scroll
// bars were printed.
TEST_F(MainCommandsTest, AWideSheetWindowPrintsOnOnePageWithinItsPrintableArea) {
  Run();
  TDrawSheet* window = OpenSheetWindow(AddSheet("Wide"));
  window->parentWidget()->resize(2400, 700);
  QApplication::processEvents();
  QPrinter& printer = *QELMain->PrintDialog;
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = Root + "wide.pdf";
  printer.setOutputFileName(ToQString(pdf));
  Script.AnswerPrint(true);
  QELMain->TB_PrintClick();
  const std::string bytes = ReadBytes(pdf);
  EXPECT_NE(bytes.find("/Count 1"), std::string::npos);
  const QSize viewport = window->SB_Sheet->viewport()->size();
  EXPECT_LT(viewport.width(), 2400); // the scroll bar is not part of the image
  EXPECT_NE(bytes.find("/Width " + std::to_string(viewport.width())), std::string::npos);
  // The page's drawing: the page transform, the fitting scale, then the image's own square.
  const QString drawing = PageDrawing(bytes);
  const QRegularExpression matrix(R"(([-\d.]+) 0 0 ([-\d.]+) ([-\d.]+) ([-\d.]+) cm)");
  QTransform place;
  for (auto it = matrix.globalMatch(drawing); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    place = QTransform(m.captured(1).toDouble(), 0, 0, m.captured(2).toDouble(), m.captured(3).toDouble(),
                       m.captured(4).toDouble()) *
            place;
  }
  ASSERT_TRUE(drawing.contains(" Do"));
  const QRectF image = place.mapRect(QRectF(0, 0, 1, 1)); // in points
  const QRectF media(0, 0, 595, 842);
  EXPECT_TRUE(media.contains(image)) << image.x() << " " << image.y() << " " << image.width() << " " << image.height();
  EXPECT_GT(image.width(), 500); // shrunk to the page, not to a corner of it
  EXPECT_NEAR(image.height() / image.width(), double(viewport.height()) / viewport.width(), 0.01);
}

// Fault: Ctrl+W on the open "New Sheet" opened a second window of it (listed twice in the
// Window menu); it brings that window forward, and opens one only when none shows the sheet.
TEST_F(MainCommandsTest, NewSheetReusesTheSheetCalledNewSheetAndItsWindow) {
  Run();
  const int sheets = Project().SheetCount();
  QELMain->TB_NewSheetClick();
  ASSERT_EQ(Project().SheetCount(), sheets + 1);
  TSheetItem* sheet = Project().GetSheet(sheets);
  EXPECT_EQ(sheet->Data.Name, "New Sheet");
  const auto opened = QELMain->ChildWindows<TDrawSheet>();
  ASSERT_EQ(opened.size(), 1u);
  TDrawSheet* other = OpenSheetWindow(AddSheet("Other"));
  ASSERT_EQ(QELMain->ActiveSheetWindow(), other);
  QELMain->TB_NewSheetClick();
  EXPECT_EQ(Project().SheetCount(), sheets + 2);
  EXPECT_EQ(QELMain->ChildWindows<TDrawSheet>().size(), 2u);
  EXPECT_EQ(QELMain->ActiveSheetWindow(), opened[0]);
  // Closed, it opens again.
  delete opened[0]->parentWidget();
  QELMain->TB_NewSheetClick();
  const auto windows = QELMain->ChildWindows<TDrawSheet>();
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[1]->GetSheet(), sheet);
  EXPECT_EQ(DrawSheet, windows[1]);
  EXPECT_EQ(QELMain->ActiveSheetWindow(), windows[1]);
}

// Fault: New Note dropped what the user had typed into the previous New Note window.
TEST_F(MainCommandsTest, NewNoteStoresThePreviousWindowFirst) {
  Run();
  QELMain->TB_NewNoteClick();
  QPointer<TNotePrp> first = QELMain->NewNoteWindow;
  ASSERT_TRUE(first);
  TNoteItem* firstNote = first->GetNote();
  EXPECT_EQ(firstNote->Data.Name, "New Note");
  EXPECT_EQ(first->PC_Note->currentIndex(), 0);
  EXPECT_EQ(first->width(), 250);
  EXPECT_TRUE(first->windowFlags() & Qt::WindowStaysOnTopHint);
  first->ED_Caption->setText("Typed first");
  QELMain->TB_NewNoteClick();
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(firstNote->Data.Name, "Typed first");
  EXPECT_EQ(QELMain->NewNoteWindow->GetNote()->Data.Name, "New Note");
  EXPECT_NE(QELMain->NewNoteWindow->GetNote(), firstNote);
}

// Fault: storing pending edits wrote the whole new-note window back, so a name changed in another
// window since was turned back; only what was typed in it is stored.
TEST_F(MainCommandsTest, PendingEditsOfTheNewNoteWindowAreWhatWasTypedInIt) {
  Run();
  QELMain->TB_NewNoteClick();
  TNotePrp* window = QELMain->NewNoteWindow;
  ASSERT_NE(window, nullptr);
  TNoteItem* note = window->GetNote();
  QTest::keyClicks(window->RichEditURL1, "typed");
  note->SetName("Renamed elsewhere");
  QELMain->StorePendingEdits();
  EXPECT_EQ(note->Data.Name, "Renamed elsewhere");
  EXPECT_NE(note->Data.Text.find("typed"), std::string::npos);
}

TEST_F(MainCommandsTest, EachSearchCommandOpensAnotherSearchWindow) {
  Run();
  QELMain->TB_SearchClick();
  QPointer<TfrmSearch> first = frmSearch;
  EXPECT_EQ(first->SearchKind->currentIndex(), 1);
  QELMain->MI_SearchAttachmentsClick();
  EXPECT_FALSE(first.isNull());
  EXPECT_NE(frmSearch, first.data());
  EXPECT_EQ(frmSearch->SearchKind->currentIndex(), 3);
  EXPECT_EQ(frmSearch->Container, &Project());
  // 181 pixels, or as wide as its tabs and fields need with this platform's fonts.
  EXPECT_EQ(frmSearch->width(), std::max(181, frmSearch->NeededWidth()));
  // At the right edge below the tool bar, as high as the area.
  EXPECT_EQ(frmSearch->frameGeometry().height(), QELMain->ClientHeight() - QELMain->ToolBarMainHeight());
  EXPECT_EQ(frmSearch->frameGeometry().topRight(), QELMain->FreeWindowArea().topRight());
  QELMain->MI_SearchGlobalClick();
  EXPECT_EQ(frmSearch->SearchKind->currentIndex(), 0);
}

TEST_F(MainCommandsTest, HelpAndAboutOpenTheHelpPages) {
  Run();
  TRecordingOpener opener;
  QELMain->Help();
  frm_about->lbWebsiteClick();
  QELMain->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(QELMain));
  QTest::keyClick(QELMain, Qt::Key_F1);
  ASSERT_EQ(opener.Opened.size(), 3u);
  EXPECT_EQ(opener.Opened[0], FromQString(QCoreApplication::applicationDirPath()) + "/help/index.html");
  EXPECT_EQ(opener.Opened[1], opener.Opened[0]);
  EXPECT_EQ(opener.Opened[2], opener.Opened[0]);
  QTimer::singleShot(0, [] { frm_about->btn_ok->click(); });
  QELMain->MI_HelpAboutClick();
  EXPECT_EQ(frm_about->result(), QDialog::Accepted);
}

TEST_F(MainCommandsTest, RelationTypesShowTheProjectsTypes) {
  StartUp();
  int listed = -1;
  QTimer::singleShot(0, [&] {
    listed = RelationForm->LV_Relations->topLevelItemCount();
    RelationForm->accept();
  });
  QELMain->TB_RelationsClick();
  EXPECT_EQ(RelationForm->Container, &Project());
  EXPECT_EQ(listed, 3);
}

TEST_F(MainCommandsTest, AutoSaveCommandShowsTheWindowAndExitCloses) {
  CreateWindows();
  QELMain->tbAutoSaveClick();
  EXPECT_TRUE(frmAutoSave->isVisible());
  QSignalSpy closed(QELMain, &TQELMain::Closed);
  QELMain->TB_ExitClick();
  EXPECT_EQ(closed.count(), 1);
}

// Fault: the navigator's frame freed it when closed, so the project tree was gone until the
// program restarted.
TEST_F(MainCommandsTest, ClosingTheNavigatorOnlyMinimisesIt) {
  Run();
  QPointer<TNavForm> navigator = NavForm;
  QPointer<QMdiSubWindow> frame = FrameOf(navigator);
  ASSERT_FALSE(frame.isNull());
  const auto closeAndFlush = [](QWidget* window) {
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  };
  closeAndFlush(frame);
  ASSERT_FALSE(navigator.isNull());
  EXPECT_TRUE(frame->isMinimized());

  emit QELMain->MI_window->aboutToShow(); // the Window menu brings it back
  QAction* entry = nullptr;
  for (QAction* action : QELMain->MI_window->actions())
    if (action->text().endsWith(" Tree")) entry = action;
  ASSERT_NE(entry, nullptr);
  entry->trigger();
  EXPECT_FALSE(frame->isMinimized());
  EXPECT_EQ(QELMain->MdiArea->activeSubWindow(), frame);

  closeAndFlush(frame);
  Script.Answer(mrYes); // a new project; the old one is unmodified, so nothing asks to save it
  QELMain->TB_NewClick();
  ASSERT_FALSE(navigator.isNull());
  EXPECT_FALSE(frame->isMinimized());
  EXPECT_TRUE(frame->isVisible());
  EXPECT_EQ(navigator->Container, &Project());

  QPointer<TDrawSheet> sheetWindow = OpenSheetWindow(AddSheet("Other")); // other children free themselves
  closeAndFlush(FrameOf(sheetWindow));
  EXPECT_TRUE(sheetWindow.isNull());
}

// Fault: every sub-window's system menu took Ctrl+W, Qt's key for closing, so New Sheet never
// ran while a window was open ("Ambiguous shortcut overload: Ctrl+W").
TEST_F(MainCommandsTest, MainMenuKeysReachTheMainMenuWhateverWindowIsOpen) {
  OpenProject({});
  QELMain->show();
  OpenSheetWindow(AddSheet("Open"));
  QELMain->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(QELMain));
  const QList<QKeySequence> mainKeys = {QKeySequence("Ctrl+S"), QKeySequence("Ctrl+P"), QKeySequence("Ctrl+N"),
                                        QKeySequence("Ctrl+W"), QKeySequence("Ctrl+G"), QKeySequence("Ctrl+F"),
                                        QKeySequence("Ctrl+H"), QKeySequence("Ctrl+T"), QKeySequence("Ctrl+I"),
                                        QKeySequence("Ctrl+U"), QKeySequence("Ctrl+R")};
  int closeItems = 0;
  for (QMdiSubWindow* sub : QELMain->MdiArea->subWindowList())
    for (QAction* action : sub->systemMenu()->actions()) {
      closeItems += action->text() == "&Close";
      for (const QKeySequence& key : action->shortcuts())
        EXPECT_FALSE(mainKeys.contains(key)) << action->text().toStdString() << " " << key.toString().toStdString();
    }
  EXPECT_EQ(closeItems, 2);

  const int sheets = Project().SheetCount();
  QTest::keyClick(QELMain->MdiArea->activeSubWindow()->widget(), Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(Project().SheetCount(), sheets + 1);
  EXPECT_EQ(Project().GetSheet(sheets)->Data.Name, "New Sheet");
  EXPECT_EQ(QELMain->ChildWindows<TDrawSheet>().size(), 2u);
  // With the navigator's note page shown, Ctrl+S is still the main menu's Save.
  NavForm->Tree->ExpandNode(NavForm->Tree->NotesNode);
  ASSERT_GT(NavForm->Tree->NotesNode->childCount(), 0);
  NavForm->TV_Container->setCurrentItem(NavForm->Tree->NotesNode->child(0));
  NavForm->RefreshItem(nullptr, false);
  ASSERT_TRUE(Project().IsModified());
  QTest::keyClick(NavForm->TV_Container, Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(Project().IsModified());
}

} // namespace
} // namespace qel::test
