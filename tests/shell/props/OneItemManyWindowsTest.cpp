// One item shown in several windows at once, through every way a window comes and goes:
// whichever window stores, from whichever trigger, the item and the saved files keep what the
// users typed; a window shows what changed elsewhere, also when it is shown again after being
// hidden; a window going with its opener stores first; a window of a deleted item closes.
#include "ShellFixture.h"
#include "graphics/SheetView.h"
#include "platform/RtfText.h"
#include "platform/qt/QtConvert.h"
#include "shell/Main.h"
#include "windows/nav/AttachPoolProp.h"
#include "windows/nav/Navigator.h"
#include "windows/nav/NotePoolProp.h"
#include "windows/nav/SheetPoolProp.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropReplaceDialog.h"
#include "windows/props/SheetProp.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/search/Search.h"
#include "windows/search/SearchResultsTree.h"
#include "windows/search/TVEngine.h"
#include "windows/sheet/SheetForm.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace qel::test {
namespace {

enum class TKind { Note, Sheet, Attachment };
// The navigator's page; the sheet window's own window (for an attachment: opened from the
// sheet window's note window); a free window opened from a list of the navigator, and another.
enum class TWhere { Page, Own, Free, Free2 };

const char* Name(TWhere where) {
  static const char* names[] = {"page", "own", "free", "free 2"};
  return names[static_cast<int>(where)];
}

void Type(QLineEdit* box, const std::string& value) {
  box->selectAll();
  QTest::keyClicks(box, ToQString(value));
}
void Type(QTextEdit* text, const std::string& value) {
  text->selectAll();
  QTest::keyClicks(text, ToQString(value));
}
std::string Text(const QLineEdit* box) { return FromQString(box->text()); }
std::string Text(const QTextEdit* text) { return FromQString(text->toPlainText()); }

TNotePrp* AsNote(TPropertyFrm* window) { return static_cast<TNotePrp*>(window); }
TSheetPrp* AsSheet(TPropertyFrm* window) { return static_cast<TSheetPrp*>(window); }
TAttachPrp* AsAttach(TPropertyFrm* window) { return static_cast<TAttachPrp*>(window); }
TNoteItem* NoteOf(TPoolItem* item) { return static_cast<TNoteItem*>(item); }
TSheetItem* SheetOf(TPoolItem* item) { return static_cast<TSheetItem*>(item); }
TAttachItem* AttachOf(TPoolItem* item) { return static_cast<TAttachItem*>(item); }

// The user's new value of a field, made from the value the window shows (an edit of what the
// user sees) or new (a colour, a file, an address).
std::string Appended(const std::string& seen, int step) { return seen + " w" + std::to_string(step); }
std::string Plus(const std::string& seen, int) { return std::to_string(std::stoi(seen) + 1); }
std::string NewColor(const std::string&, int step) { return std::to_string(0x010101 * (step % 200 + 20)); }
std::string NewFile(const std::string&, int step) { return "/files/f" + std::to_string(step) + ".txt"; }
std::string NewAddress(const std::string&, int step) { return "http://example.org/" + std::to_string(step); }

struct TField {
  const char* Name;
  TKind Kind;
  bool AtOnce; // chosen in a dialog and stored with the choice
  std::string (*Held)(TPoolItem*);
  std::string (*Shown)(TPropertyFrm*);
  std::string (*Next)(const std::string& seen, int step);
  void (*Enter)(TPropertyFrm*, const std::string& value, TScriptedDialogs& script);
};

// Every field the note, sheet and attachment windows store.
const TField kFields[] = {
    {"note name", TKind::Note, false, [](TPoolItem* i) { return NoteOf(i)->Data.Name; },
     [](TPropertyFrm* w) { return Text(w->ED_Caption); }, Appended,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs&) { Type(w->ED_Caption, v); }},
    {"note text", TKind::Note, false, [](TPoolItem* i) { return RtfToPlainText(NoteOf(i)->Data.Text); },
     [](TPropertyFrm* w) { return Text(AsNote(w)->RichEditURL1); }, Appended,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs&) { Type(AsNote(w)->RichEditURL1, v); }},
    {"note colour", TKind::Note, false, [](TPoolItem* i) { return std::to_string(NoteOf(i)->Data.Color); },
     [](TPropertyFrm* w) { return std::to_string(AsNote(w)->PN_NoteColor->Color()); }, NewColor,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs& s) {
       s.AnswerColor(true, std::stoi(v));
       AsNote(w)->PN_NoteColorClick();
     }},
    {"sheet name", TKind::Sheet, false, [](TPoolItem* i) { return SheetOf(i)->Data.Name; },
     [](TPropertyFrm* w) { return Text(w->ED_Caption); }, Appended,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs&) { Type(w->ED_Caption, v); }},
    {"sheet colour", TKind::Sheet, true, [](TPoolItem* i) { return std::to_string(SheetOf(i)->Data.Color); },
     [](TPropertyFrm* w) { return std::to_string(AsSheet(w)->PN_SheetColor->Color()); }, NewColor,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs& s) {
       s.AnswerColor(true, std::stoi(v));
       AsSheet(w)->PN_SheetColorDblClick();
     }},
    {"sheet width", TKind::Sheet, false, [](TPoolItem* i) { return std::to_string(SheetOf(i)->Data.Width); },
     [](TPropertyFrm* w) { return Text(AsSheet(w)->ED_SheetWidth); }, Plus,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs&) { Type(AsSheet(w)->ED_SheetWidth, v); }},
    {"sheet height", TKind::Sheet, false, [](TPoolItem* i) { return std::to_string(SheetOf(i)->Data.Height); },
     [](TPropertyFrm* w) { return Text(AsSheet(w)->ED_SheetHeight); }, Plus,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs&) { Type(AsSheet(w)->ED_SheetHeight, v); }},
    {"sheet grid", TKind::Sheet, false, [](TPoolItem* i) { return std::to_string(SheetOf(i)->Data.GridSize); },
     [](TPropertyFrm* w) { return std::to_string(AsSheet(w)->SP_GridSize->value()); }, Plus,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs&) {
       AsSheet(w)->SP_GridSize->selectAll();
       QTest::keyClicks(AsSheet(w)->SP_GridSize, ToQString(v));
     }},
    {"sheet description", TKind::Sheet, false, [](TPoolItem* i) { return SheetOf(i)->Data.Description; },
     [](TPropertyFrm* w) { return Text(AsSheet(w)->RichEditURL1); }, Appended,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs&) { Type(AsSheet(w)->RichEditURL1, v); }},
    {"attachment caption", TKind::Attachment, false, [](TPoolItem* i) { return AttachOf(i)->Data.Caption; },
     [](TPropertyFrm* w) { return Text(w->ED_Caption); }, Appended,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs&) { Type(w->ED_Caption, v); }},
    {"attachment file", TKind::Attachment, true,
     [](TPoolItem* i) { return AttachOf(i)->Data.Kind == 0 ? AttachOf(i)->Data.Location : std::string(); },
     [](TPropertyFrm* w) { return Text(AsAttach(w)->ED_AttachFile); }, NewFile,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs& s) {
       s.AnswerOpen(true, v);
       AsAttach(w)->BTN_FileClick();
     }},
    {"attachment address", TKind::Attachment, true,
     [](TPoolItem* i) { return AttachOf(i)->Data.Kind == 1 ? AttachOf(i)->Data.Location : std::string(); },
     [](TPropertyFrm* w) { return Text(AsAttach(w)->ED_AttachURL); }, NewAddress,
     [](TPropertyFrm* w, const std::string& v, TScriptedDialogs& s) {
       s.AnswerInput(true, v);
       AsAttach(w)->BTN_URLClick();
     }},
};

class OneItemManyWindows : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    FProject = OpenProject({2, 2, 1, 1});
    QELMain->showMaximized();
    QApplication::processEvents();
    SheetWindow = OpenSheetWindow(Project().GetSheet(0));
    OnNote = PointOn(SheetWindow, Note());
    ASSERT_GE(OnNote.X, 0);
  }

  // Its close button, which the user reaches on the active window: it only minimises it.
  static void CloseNavigator() {
    auto* frame = qobject_cast<QMdiSubWindow*>(NavForm->parentWidget());
    QELMain->MdiArea->setActiveSubWindow(frame);
    frame->close();
  }
  // Window > Tree.
  static void ShowNavigatorAgain() {
    emit QELMain->MI_window->aboutToShow();
    for (QAction* entry : QELMain->MI_window->actions())
      if (entry->text().endsWith(" Tree")) entry->trigger();
  }

  TNoteItem* Note() { return Project().GetNote(0); }
  TSheetItem* Sheet() { return Project().GetSheet(0); }
  TAttachItem* Attachment() { return Project().GetAttachment(0); }
  TPoolItem* ItemOf(TKind kind) {
    return kind == TKind::Note    ? static_cast<TPoolItem*>(Note())
           : kind == TKind::Sheet ? static_cast<TPoolItem*>(Sheet())
                                  : Attachment();
  }

  TDrawSheet* OpenSheetWindow(TSheetItem* sheet) {
    auto* window = new TDrawSheet();
    QELMain->AddChildWindow(window);
    window->SetSheet(&Project(), sheet);
    return window;
  }
  // A point of the window's sheet where the note is the one hit.
  static TPoint PointOn(TDrawSheet* window, TNoteItem* note) {
    for (int y = 0; y < 200; y += 3)
      for (int x = 0; x < 200; x += 3)
        if (window->View->NoteAt(x, y) == note) return {x, y};
    return {-1, -1};
  }

  // Every item as it was, every window showing it so, nothing marked anywhere.
  void Reset() {
    Note()->SetName("Note 1");
    Note()->SetText("{\\rtf1\\ansi Base}");
    Note()->SetColor(0x80FFFF);
    Sheet()->SetName("Sheet 1");
    Sheet()->SetColor(0xFFFFFF);
    Sheet()->SetWidth(2000);
    Sheet()->SetHeight(2000);
    Sheet()->SetGridSize(20);
    Sheet()->SetDescription("Base");
    Attachment()->SetCaption("Attachment 1");
    Attachment()->SetKind(0);
    Attachment()->SetLocation("base.txt");
    for (QWidget* widget : QApplication::allWidgets())
      if (auto* window = qobject_cast<TPropertyFrm*>(widget)) window->ClearEdited();
    QELMain->RefreshSheetWindows();
  }

  // The pool page lists the pool; its row of the item opens a free window.
  TPropertyFrm* OpenFromPoolPage(TPoolItem* item) {
    TPoolPrp* page = nullptr;
    if (auto* note = dynamic_cast<TNoteItem*>(item)) {
      NavForm->NotePoolPage->ShowItem(static_cast<TNotePool*>(note->Pool));
      page = NavForm->NotePoolPage;
    } else if (auto* sheet = dynamic_cast<TSheetItem*>(item)) {
      NavForm->SheetPoolPage->ShowItem(static_cast<TSheetPool*>(sheet->Pool));
      page = NavForm->SheetPoolPage;
    } else {
      NavForm->AttachPoolPage->ShowItem(static_cast<TAttachPool*>(item->Pool));
      page = NavForm->AttachPoolPage;
    }
    page->Container = &Project(); // as the navigator gives it when it shows the page
    for (int row = 0; row < page->RowCount(); ++row)
      page->LV_Contents->topLevelItem(row)->setSelected(page->RowItem(row) == item);
    return qobject_cast<TPropertyFrm*>(page->LV_ContentsDblClick());
  }
  // The note window's row of the attachment opens a window of it.
  static TAttachPrp* OpenAttachment(TNotePrp* from, TAttachItem* attachment) {
    for (int row = 0; row < from->LV_Contents->count(); ++row)
      from->LV_Contents->item(row)->setSelected(from->LV_Contents->item(row)->text() ==
                                                ToQString(attachment->Data.Caption));
    return from->LV_ContentsDblClick();
  }
  // The sheet window's list row of the note opens a window of it.
  static TPropertyFrm* OpenFromSheetList(TSheetPrp* from, TNoteItem* note) {
    for (int row = 0; row < from->LV_Contents->count(); ++row)
      from->LV_Contents->item(row)->setSelected(from->LV_Contents->item(row)->text() == ToQString(note->Data.Name));
    return from->MI_OpenNoteClick();
  }

  TNotePrp* OwnNoteWindow(TDrawSheet* sheetWindow, TPoint at) {
    sheetWindow->LastPoint = at;
    sheetWindow->PB_SheetDblClick();
    return sheetWindow->NoteWindow;
  }

  // The window of the kind and place showing the kind's item, opened or shown as the user does.
  TPropertyFrm* Open(TKind kind, TWhere where) {
    TPoolItem* item = ItemOf(kind);
    switch (where) {
    case TWhere::Page:
      NavForm->TV_Container->setCurrentItem(NavForm->Tree->NodeOf(item));
      NavForm->RefreshItem(nullptr, false);
      return kind == TKind::Note    ? static_cast<TPropertyFrm*>(NavForm->NotePage)
             : kind == TKind::Sheet ? static_cast<TPropertyFrm*>(NavForm->SheetPage)
                                    : NavForm->AttachPage;
    case TWhere::Own:
      if (kind == TKind::Note) return OwnNoteWindow(SheetWindow, OnNote);
      if (kind == TKind::Sheet) {
        SheetWindow->SheetPropWindow->Container = &Project();
        SheetWindow->SheetPropWindow->ShowItem(Sheet());
        SheetWindow->SheetPropWindow->show();
        return SheetWindow->SheetPropWindow;
      }
      return Keep(OpenAttachment(OwnNoteWindow(SheetWindow, OnNote), Attachment()));
    case TWhere::Free:
    case TWhere::Free2: return Keep(OpenFromPoolPage(item));
    }
    return nullptr;
  }
  // Windows opened anew close once their case is done.
  TPropertyFrm* Keep(TPropertyFrm* window) {
    Opened.emplace_back(window);
    return window;
  }
  void CloseOpened() {
    for (const QPointer<TPropertyFrm>& window : Opened) delete window.data();
    Opened.clear();
  }

  // The field of the item as the saved files hold it.
  std::string Saved(const TField& field) {
    TContainer read;
    read.Load(FProject);
    TPoolItem* item = field.Kind == TKind::Note    ? static_cast<TPoolItem*>(read.GetNote(0))
                      : field.Kind == TKind::Sheet ? static_cast<TPoolItem*>(read.GetSheet(0))
                                                   : read.GetAttachment(0);
    return field.Held(item);
  }

  // The user edits the field from what the window shows; the value the item should hold
  // once this is stored: the same edit of what the item holds.
  std::string EditAsSeen(const TField& field, TPropertyFrm* window, int step) {
    const std::string expected = field.Next(field.Held(ItemOf(field.Kind)), step);
    field.Enter(window, field.Next(field.Shown(window), step), Script);
    return expected;
  }

  std::string FProject;
  TDrawSheet* SheetWindow = nullptr;
  TPoint OnNote;
  std::vector<QPointer<TPropertyFrm>> Opened;
};

enum class TTrigger {
  Store,        // what leaving a control, a click on the sheet or a picture button ends in
  CaptionExit,
  TabSwitch,
  PictureButton,
  SheetClick,
  NoteDoubleClick,
  Close,
  Hide,
  NavigatorRefresh,
  AskedToStore, // the save question, a backup, the project replaced
  AutoSave
};
const char* Name(TTrigger trigger) {
  static const char* names[] = {"store", "caption exit", "tab switch", "picture button", "sheet click",
                                "note double-click", "close", "hide", "navigator refresh", "asked to store",
                                "autosave"};
  return names[static_cast<int>(trigger)];
}

// Fault: a window that did not refill at the change notice showed an old copy, and what its
// user typed there went over the edit stored in another window. The first window stores, the
// second edits what it shows (so it must show the first window's value), then the first
// window's trigger fires: the item and the files keep both edits.
class EveryKindInManyWindows : public OneItemManyWindows, public ::testing::WithParamInterface<TKind> {};

TEST_P(EveryKindInManyWindows, TheEditOfOneWindowIsWhatTheItemAndTheFilesKeep) {
  const std::pair<TWhere, TWhere> pairs[] = {{TWhere::Page, TWhere::Free},
                                             {TWhere::Free, TWhere::Own},
                                             {TWhere::Own, TWhere::Page},
                                             {TWhere::Free, TWhere::Free2}};
  int step = 0;
  for (const TField& field : kFields)
    for (auto [first, second] : pairs)
      for (int t = 0; t <= static_cast<int>(TTrigger::AutoSave); ++t) {
        const auto trigger = static_cast<TTrigger>(t);
        if (field.Kind != GetParam()) break;
        const bool note = field.Kind == TKind::Note;
        if ((trigger == TTrigger::TabSwitch || trigger == TTrigger::PictureButton) && !note) continue;
        const bool sheetClick = trigger == TTrigger::SheetClick || trigger == TTrigger::NoteDoubleClick;
        if (sheetClick && (!note || first != TWhere::Own)) continue;
        if (trigger == TTrigger::AutoSave && first != TWhere::Page) continue; // one save a field
        SCOPED_TRACE(std::string(field.Name) + ": stored in " + Name(first) + ", edited in " + Name(second) +
                     ", then " + Name(trigger));
        step += 2;
        Reset();
        TPoolItem* item = ItemOf(field.Kind);
        QPointer<TPropertyFrm> b = Open(field.Kind, second);
        QPointer<TPropertyFrm> a = Open(field.Kind, first);
        ASSERT_TRUE(a && b && a != b);
        ASSERT_TRUE(a->isVisible() && b->isVisible());
        const std::string stored = EditAsSeen(field, a, step);
        a->StorePending();
        ASSERT_EQ(field.Held(item), stored);
        EXPECT_EQ(field.Shown(b), stored);
        const std::string expected = EditAsSeen(field, b, step + 1);
        switch (trigger) {
        case TTrigger::Store: a->UpdateItem(true); break;
        case TTrigger::CaptionExit: a->ED_CaptionExit(); break;
        case TTrigger::TabSwitch:
          AsNote(a)->PC_Note->setCurrentIndex(AsNote(a)->PC_Note->currentIndex() == 0 ? 1 : 0);
          break;
        case TTrigger::PictureButton:
          Script.Answer(mrYes);
          AsNote(a)->btn_clearlogoClick();
          break;
        case TTrigger::SheetClick:
          SheetWindow->LastPoint = {1500, 1500};
          SheetWindow->PB_SheetClick();
          break;
        case TTrigger::NoteDoubleClick: OwnNoteWindow(SheetWindow, OnNote); break;
        case TTrigger::Close: a->close(); break;
        case TTrigger::Hide: a->hide(); break;
        case TTrigger::NavigatorRefresh: NavForm->RefreshItem(nullptr, true); break;
        case TTrigger::AskedToStore: QELMain->StorePendingEdits(); break;
        case TTrigger::AutoSave:
          QELMain->trAutoSaveTimer();
          EXPECT_EQ(Saved(field), expected);
          break;
        }
        if (b) b->StorePending();
        EXPECT_EQ(field.Held(item), expected);
        EXPECT_EQ(Script.Pending(), 0u);
        CloseOpened();
      }
}

std::string KindName(const ::testing::TestParamInfo<TKind>& kind) {
  static const char* names[] = {"Note", "Sheet", "Attachment"};
  return names[static_cast<int>(kind.param)];
}
INSTANTIATE_TEST_SUITE_P(OneItemManyWindows, EveryKindInManyWindows,
                         ::testing::Values(TKind::Note, TKind::Sheet, TKind::Attachment), KindName);

// Fault: a window hidden meanwhile (the navigator closed and brought back by Window > Tree, a
// window hidden and shown) showed its old copy, and what its user typed there went over the
// edit made elsewhere. The main window's store reaches the hidden navigator page, whose copy
// is old: a window storing every field it shows writes it back there.
TEST_F(OneItemManyWindows, AWindowShownAgainShowsWhatChangedWhileItWasHidden) {
  int step = 0;
  for (const TField& field : kFields)
    for (TWhere hidden : {TWhere::Page, TWhere::Own, TWhere::Free}) {
      SCOPED_TRACE(std::string(field.Name) + ", hidden: " + Name(hidden));
      step += 2;
      Reset();
      TPoolItem* item = ItemOf(field.Kind);
      QPointer<TPropertyFrm> b = Open(field.Kind, hidden);
      QPointer<TPropertyFrm> a = Open(field.Kind, hidden == TWhere::Page ? TWhere::Free2 : TWhere::Page);
      if (hidden == TWhere::Page)
        CloseNavigator();
      else if (b->testAttribute(Qt::WA_DeleteOnClose))
        b->hide(); // as minimising does
      else
        b->close(); // the sheet window's own windows only hide
      ASSERT_FALSE(b->isVisible());
      const std::string stored = EditAsSeen(field, a, step);
      a->StorePending();
      QELMain->StorePendingEdits();
      EXPECT_EQ(field.Held(item), stored);
      if (hidden == TWhere::Page)
        ShowNavigatorAgain();
      else
        b->show();
      ASSERT_TRUE(b->isVisible());
      EXPECT_FALSE(b->ED_Caption->isHidden());
      EXPECT_EQ(field.Shown(b), stored);
      const std::string expected = EditAsSeen(field, b, step + 1);
      b->StorePending();
      EXPECT_EQ(field.Held(item), expected);
      CloseOpened();
    }
}

// How the window that opened a window goes.
enum class TGoes { SheetWindowClosed, SheetDeleted, NoteWindowClosed, SheetListClosed, SearchClosed };
const char* Name(TGoes goes) {
  static const char* names[] = {"sheet window closed", "sheet deleted", "note window closed",
                                "sheet window of the list closed", "search window closed"};
  return names[static_cast<int>(goes)];
}

// Fault: a window destroyed with the window it was opened from (and, in turn, with that
// window's opener) dropped what its user had typed or picked and not yet stored.
TEST_F(OneItemManyWindows, AWindowThatGoesWithItsOpenerStoresFirst) {
  int step = 0;
  for (TGoes goes : {TGoes::SheetWindowClosed, TGoes::SheetDeleted, TGoes::NoteWindowClosed, TGoes::SheetListClosed,
                     TGoes::SearchClosed})
    for (const TField& field : kFields) {
      if (field.AtOnce) continue;
      const TKind kind = field.Kind;
      if (goes == TGoes::NoteWindowClosed && kind != TKind::Attachment) continue;
      if (goes == TGoes::SheetListClosed && kind != TKind::Note) continue;
      SCOPED_TRACE(std::string(field.Name) + ", " + Name(goes));
      Reset();
      // The opener, and the window opened from it.
      QPointer<QWidget> opener;
      QPointer<TPropertyFrm> window;
      if (goes == TGoes::SheetWindowClosed || goes == TGoes::SheetDeleted) {
        TSheet record;
        record.Name = "Going";
        TSheetItem* going = Project().AddSheet(record);
        Project().PlaceNote(Note(), going, 50, 50);
        TDrawSheet* sheetWindow = OpenSheetWindow(going);
        opener = sheetWindow;
        if (kind == TKind::Sheet) {
          window = sheetWindow->SheetPropWindow;
          AsSheet(window)->Container = &Project();
          AsSheet(window)->ShowItem(Sheet());
          window->show();
        } else {
          TNotePrp* noteWindow = OwnNoteWindow(sheetWindow, PointOn(sheetWindow, Note()));
          window = kind == TKind::Note ? static_cast<TPropertyFrm*>(noteWindow)
                                       : OpenAttachment(noteWindow, Attachment());
        }
      } else if (goes == TGoes::NoteWindowClosed) {
        opener = OpenFromPoolPage(Note());
        window = OpenAttachment(AsNote(qobject_cast<TPropertyFrm*>(opener.data())), Attachment());
      } else if (goes == TGoes::SheetListClosed) {
        opener = OpenFromPoolPage(Sheet());
        window = OpenFromSheetList(AsSheet(qobject_cast<TPropertyFrm*>(opener.data())), Note());
      } else {
        QELMain->ShowSearchWindow();
        opener = frmSearch;
        const int page = kind == TKind::Note ? 2 : kind == TKind::Sheet ? 2 : 1;
        frmSearch->SelectSearchKind(page);
        frmSearch->btn_searchClick();
        TPoolItem* first = kind == TKind::Attachment ? static_cast<TPoolItem*>(Note()) : Sheet();
        for (QTreeWidgetItemIterator it(frmSearch->trvSearchResults); *it; ++it)
          if (static_cast<TResultNode*>(*it)->Item.Get() == first) frmSearch->trvSearchResults->setCurrentItem(*it);
        frmSearch->MI_OpenClick();
        TPropertyFrm* opened = nullptr;
        for (TPropertyFrm* child : frmSearch->findChildren<TPropertyFrm*>(Qt::FindDirectChildrenOnly))
          if (child->isVisible()) opened = child;
        ASSERT_NE(opened, nullptr);
        window = kind == TKind::Sheet  ? opened
                 : kind == TKind::Note ? OpenFromSheetList(AsSheet(opened), Note())
                                       : static_cast<TPropertyFrm*>(OpenAttachment(AsNote(opened), Attachment()));
      }
      ASSERT_TRUE(opener && window && window->isVisible());
      const std::string expected = EditAsSeen(field, window, ++step);
      ASSERT_TRUE(window->AnyEdited());
      if (goes == TGoes::SheetDeleted) {
        TSheetItem* going = static_cast<TDrawSheet*>(opener.data())->GetSheet();
        NavForm->TV_Container->setCurrentItem(NavForm->Tree->NodeOf(going));
        Script.Answer(mrYes);
        NavForm->MI_DeleteClick();
      } else if (auto* sub = qobject_cast<QMdiSubWindow*>(opener->parentWidget())) {
        sub->close();
      } else {
        opener->close();
      }
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(window.isNull());
      EXPECT_EQ(field.Held(ItemOf(kind)), expected);
      EXPECT_EQ(Script.Pending(), 0u);
    }
}

// What is typed in every kind of window, stored or not, is what the project replaced is saved
// with when the user says Yes.
TEST_F(OneItemManyWindows, TheProjectReplacedIsSavedWithWhatEveryWindowHolds) {
  Reset();
  TPropertyFrm* windows[] = {Open(TKind::Note, TWhere::Own), Open(TKind::Sheet, TWhere::Free),
                             Open(TKind::Attachment, TWhere::Page)};
  std::vector<std::pair<const TField*, std::string>> edits;
  int step = 0;
  for (const TField& field : kFields)
    if (!field.AtOnce)
      edits.emplace_back(&field, EditAsSeen(field, windows[static_cast<int>(field.Kind)], ++step));
  Script.Answer(mrYes); // a new project
  Script.Answer(mrYes); // save the modified one
  QELMain->TB_NewClick();
  for (auto [field, expected] : edits) EXPECT_EQ(Saved(*field), expected) << field->Name;
}

// Fault: a free window of a deleted item stayed open, took typing and dropped it at its next
// store. Every window of the item closes at the change notice, and says nothing.
TEST_F(OneItemManyWindows, AWindowOfADeletedItemClosesWithoutAWord) {
  for (TKind kind : {TKind::Note, TKind::Sheet, TKind::Attachment})
    for (TWhere where : {TWhere::Own, TWhere::Free}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(kind)) + " " + Name(where));
      // A note, sheet and attachment of their own, deleted in their turn.
      TNote noteRecord;
      noteRecord.Name = "Doomed";
      TNoteItem* note = Project().AddNote(noteRecord);
      TSheet sheetRecord;
      sheetRecord.Name = "Doomed";
      TSheetItem* sheet = Project().AddSheet(sheetRecord);
      Project().PlaceNote(note, sheet, 50, 50);
      TAttachment attachRecord;
      attachRecord.Note = note;
      attachRecord.Caption = "Doomed";
      TAttachItem* attachment = Project().AddAttachment(attachRecord);
      QPointer<TDrawSheet> sheetWindow = OpenSheetWindow(sheet);
      TNotePrp* own = OwnNoteWindow(sheetWindow, PointOn(sheetWindow, note));
      TPoolItem* item = kind == TKind::Note    ? static_cast<TPoolItem*>(note)
                        : kind == TKind::Sheet ? static_cast<TPoolItem*>(sheet)
                                               : attachment;
      QPointer<TPropertyFrm> window;
      if (where == TWhere::Free) {
        window = OpenFromPoolPage(item);
      } else if (kind == TKind::Note) {
        window = own;
      } else if (kind == TKind::Attachment) {
        window = OpenAttachment(own, attachment);
      } else { // the window of a note standing for the sheet, on another sheet
        window = SheetWindow->SheetPropWindow;
        AsSheet(window)->Container = &Project();
        AsSheet(window)->ShowItem(sheet);
        window->show();
      }
      QPointer<TPropertyFrm> other = OpenFromPoolPage(Note());
      ASSERT_TRUE(window && window->isVisible() && other);
      Type(window->ED_Caption, "typed");
      const size_t shown = Script.Shown.size();
      NavForm->TV_Container->setCurrentItem(NavForm->Tree->NodeOf(item));
      Script.Answer(mrYes);
      NavForm->MI_DeleteClick();
      EXPECT_EQ(Script.Shown.size(), shown + 1); // the question only
      EXPECT_TRUE(window.isNull() || !window->isVisible());
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      if (where == TWhere::Free) {
        EXPECT_TRUE(window.isNull());
      }
      EXPECT_TRUE(other && other->isVisible());
      EXPECT_EQ(Note()->Data.Name, "Note 1");
      delete other.data();
      if (sheetWindow) delete sheetWindow->parentWidget();
    }
}

// Fault: choosing the panel font of a sheet window's description with text selected marked
// the description, which stores no font; the window stopped following the description and
// wrote its old copy back. What changes nothing the store writes marks nothing, and the
// window keeps following the field.
TEST_F(OneItemManyWindows, OnlyAnEditOfAStoredFieldMarksIt) {
  struct TCase {
    const char* Name;
    int Field; // into kFields: the field the window must keep following
    void (*Act)(TPropertyFrm*);
  };
  const TCase cases[] = {
      {"description font", 8,
       [](TPropertyFrm* w) {
         AsSheet(w)->RichEditURL1->selectAll();
         AsSheet(w)->FontName1->setCurrentIndex(1);
         AsSheet(w)->FontName1Change();
       }},
      {"description size", 8,
       [](TPropertyFrm* w) {
         AsSheet(w)->RichEditURL1->selectAll();
         AsSheet(w)->FontSize->setValue(14);
       }},
      {"sheet window resized", 8, [](TPropertyFrm* w) { w->resize(w->width() + 40, w->height() + 40); }},
      {"find in the note", 1,
       [](TPropertyFrm* w) {
         AsNote(w)->ReplaceDialog1->FindText->setText("Base");
         AsNote(w)->ReplaceDialog1Find();
       }},
      {"note pages", 1,
       [](TPropertyFrm* w) {
         AsNote(w)->PC_Note->setCurrentIndex(2);
         AsNote(w)->PC_Note->setCurrentIndex(0);
       }},
      {"picture stretched, lists sorted", 0,
       [](TPropertyFrm* w) {
         AsNote(w)->btn_SwitchPictureModeClick();
         AsNote(w)->bnNotePresInSheetsSortAlphaClick();
         AsNote(w)->bnAvailSheetSortAlphaClick();
       }},
      {"note window resized", 1, [](TPropertyFrm* w) { w->resize(w->width() + 40, w->height() + 40); }},
      {"attachment previewed", 9, [](TPropertyFrm* w) { AsAttach(w)->BTN_PreviewClick(); }},
  };
  int step = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TField& field = kFields[c.Field];
    Reset();
    TPropertyFrm* window = Open(field.Kind, TWhere::Free);
    TPropertyFrm* other = Open(field.Kind, TWhere::Page);
    c.Act(window);
    EXPECT_FALSE(window->AnyEdited());
    const std::string expected = EditAsSeen(field, other, ++step);
    other->StorePending();
    EXPECT_EQ(field.Shown(window), expected);
    window->UpdateItem(true);
    EXPECT_EQ(field.Held(ItemOf(field.Kind)), expected);
    CloseOpened();
  }
}

// Fault: Load Image stored the picture but told no other window, so a second window of the
// note showed none. Every change a window makes reaches the other windows of the item.
TEST_F(OneItemManyWindows, EveryChangeReachesTheOtherWindowsOfTheItem) {
  const std::string picture = Work + "picture.bmp";
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(ToQString(picture)));
  struct TCase {
    const char* Name;
    TKind Kind; // of the window that must show the change
    void (*Act)(TContainer& project, TNotePrp* page, TScriptedDialogs& script, const std::string& picture);
    bool (*Shows)(TPropertyFrm* other);
  };
  const TCase cases[] = {
      {"Load Image", TKind::Note,
       [](TContainer&, TNotePrp* page, TScriptedDialogs& script, const std::string& file) {
         script.AnswerOpen(true, file);
         page->BTN_LoadImageClick();
       },
       [](TPropertyFrm* other) { return !AsNote(other)->IM_Picture->isHidden(); }},
      {"Clear Image", TKind::Note,
       [](TContainer&, TNotePrp* page, TScriptedDialogs& script, const std::string&) {
         script.Answer(mrYes);
         page->btn_clearimageClick();
       },
       [](TPropertyFrm* other) { return AsNote(other)->IM_Picture->isHidden(); }},
      {"Load Logo", TKind::Note,
       [](TContainer&, TNotePrp* page, TScriptedDialogs& script, const std::string& file) {
         script.AnswerOpen(true, file);
         page->BTN_LoadLogoClick();
       },
       [](TPropertyFrm* other) { return !AsNote(other)->IM_Logo->isHidden(); }},
      {"note put on a sheet", TKind::Note,
       [](TContainer& project, TNotePrp* page, TScriptedDialogs&, const std::string&) {
         TSheet record;
         record.Name = "Third";
         project.AddSheet(record);
         QELMain->RefreshSheetWindows();
         const QList<QListWidgetItem*> entry = page->lst_availablesheets->findItems("Third", Qt::MatchExactly);
         ASSERT_EQ(entry.size(), 1);
         entry[0]->setSelected(true);
         page->lst_presentinsheetsDragDrop();
       },
       [](TPropertyFrm* other) {
         return !AsNote(other)->lst_presentinsheets->findItems("Third", Qt::MatchExactly).isEmpty();
       }},
      {"attachment added in the tree", TKind::Note,
       [](TContainer& project, TNotePrp*, TScriptedDialogs&, const std::string&) {
         NavForm->TV_Container->setCurrentItem(NavForm->Tree->NodeOf(project.GetNote(0)));
         NavForm->TB_NewAttachClick();
       },
       [](TPropertyFrm* other) { return AsNote(other)->LV_Contents->count() == 2; }},
      {"note added to the sheet in the tree", TKind::Sheet,
       [](TContainer& project, TNotePrp*, TScriptedDialogs&, const std::string&) {
         NavForm->TV_Container->setCurrentItem(NavForm->Tree->NodeOf(project.GetSheet(0)));
         NavForm->TB_NewNoteClick();
       },
       [](TPropertyFrm* other) { return AsSheet(other)->LV_Contents->count() == 3; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Reset();
    TPropertyFrm* other = Open(c.Kind, TWhere::Free);
    ASSERT_FALSE(c.Shows(other));
    c.Act(Project(), AsNote(Open(TKind::Note, TWhere::Page)), Script, picture);
    EXPECT_TRUE(c.Shows(other));
    EXPECT_EQ(Script.Pending(), 0u);
    CloseOpened();
  }
}

// A window showing an item shows what another window stored, except a field typed in there.
TEST_F(OneItemManyWindows, AWindowShowsChangesMadeElsewhereButKeepsWhatIsTyped) {
  Reset();
  TNoteItem* note = Note();
  auto* first = static_cast<TNotePrp*>(Open(TKind::Note, TWhere::Free));
  auto* second = static_cast<TNotePrp*>(Open(TKind::Note, TWhere::Free2));
  Type(first->ED_Caption, "Typed");
  Type(second->ED_Caption, "Renamed");
  Script.AnswerColor(true, clRed);
  second->PN_NoteColorClick();
  second->UpdateItem(true);
  EXPECT_EQ(first->PN_NoteColor->Color(), clRed);
  EXPECT_EQ(first->ED_Caption->text(), "Typed");
  EXPECT_EQ(note->Data.Name, "Renamed");
  // The tree renames: every window not typing the name shows it.
  NavForm->TV_ContainerEdited(NavForm->Tree->NodeOf(note), "From tree");
  EXPECT_EQ(second->ED_Caption->text(), "From tree");
  EXPECT_EQ(first->ED_Caption->text(), "Typed");
  CloseOpened();
}

} // namespace
} // namespace qel::test
