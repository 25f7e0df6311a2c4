// One item shown in several windows at once: whichever window stores, from whichever trigger,
// the edit made in another window is what ends up in the item and in the saved files.
#include "ShellFixture.h"
#include "platform/RtfText.h"
#include "platform/qt/QtConvert.h"
#include "shell/Main.h"
#include "windows/nav/Navigator.h"
#include "windows/props/AttachmentProp.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropCommon.h"
#include "windows/props/SheetProp.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/sheet/SheetForm.h"
#include "graphics/SheetView.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTabWidget>
#include <QTest>

namespace qel::test {
namespace {

enum class TField { Name, Text, Color, Size, Description, Caption };
// The navigator's page, the sheet window's own window, a free window.
enum class TWindow { Navigator, SheetWindow, Free };
enum class TTrigger {
  Save,
  AutoSave,
  AskedToStore, // the save question, a backup, the project replaced
  Store,        // what a click on the sheet, a picture button or a focus change ends in
  CaptionExit,
  SheetClick,
  NoteDoubleClick,
  TabSwitch,
  PictureButton,
  Close,
  Hide,
  NavigatorRefresh,
  ShownAgain
};
constexpr TTrigger kTriggers[] = {TTrigger::Save,       TTrigger::AutoSave,        TTrigger::AskedToStore,
                                  TTrigger::Store,      TTrigger::CaptionExit,     TTrigger::SheetClick,
                                  TTrigger::NoteDoubleClick, TTrigger::TabSwitch,  TTrigger::PictureButton,
                                  TTrigger::Close,      TTrigger::Hide,            TTrigger::NavigatorRefresh,
                                  TTrigger::ShownAgain};
constexpr TField kFields[] = {TField::Name, TField::Text,        TField::Color,
                              TField::Size, TField::Description, TField::Caption};
constexpr TWindow kWindows[] = {TWindow::Navigator, TWindow::SheetWindow, TWindow::Free};

const char* Name(TField field) {
  static const char* names[] = {"name", "text", "colour", "size", "description", "caption"};
  return names[static_cast<int>(field)];
}
const char* Name(TWindow window) {
  static const char* names[] = {"navigator", "sheet window", "free"};
  return names[static_cast<int>(window)];
}

class OneItemManyWindows : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    FProject = OpenProject({1, 1, 1, 0});
    QELMain->showMaximized();
    QApplication::processEvents();
    SheetWindow = new TDrawSheet();
    QELMain->AddChildWindow(SheetWindow);
    SheetWindow->SetSheet(&Project(), Project().GetSheet(0));
    QApplication::processEvents();
    FindPoints();
  }

  // A point on the note and one on the empty sheet, as the sheet window's clicks see them.
  void FindPoints() {
    bool onNote = false, empty = false;
    for (int y = 0; y < 400; y += 5)
      for (int x = 0; x < 400; x += 5) {
        TNoteItem* at = SheetWindow->View->NoteAt(x, y);
        if (at && !onNote) OnNote = {x, y}, onNote = true;
        if (!at && !empty && x > 200) Empty = {x, y}, empty = true;
      }
    ASSERT_TRUE(onNote && empty);
  }

  TPoolItem* ItemOf(TField field) {
    switch (field) {
    case TField::Size:
    case TField::Description: return Project().GetSheet(0);
    case TField::Caption: return Project().GetAttachment(0);
    default: return Project().GetNote(0);
    }
  }

  // The window of the kind, showing the item; null when no such window shows that kind.
  TPropertyFrm* Open(TWindow kind, TPoolItem* item) {
    auto* note = dynamic_cast<TNoteItem*>(item);
    auto* sheet = dynamic_cast<TSheetItem*>(item);
    auto* attachment = dynamic_cast<TAttachItem*>(item);
    TNavTree& tree = *NavForm->Tree;
    switch (kind) {
    case TWindow::Navigator:
      NavForm->TV_Container->setCurrentItem(tree.NodeOf(item));
      NavForm->RefreshItem(nullptr, false);
      if (note) return NavForm->NotePage;
      return sheet ? static_cast<TPropertyFrm*>(NavForm->SheetPage) : NavForm->AttachPage;
    case TWindow::SheetWindow:
      if (attachment) return nullptr;
      if (note) {
        SheetWindow->LastPoint = OnNote;
        SheetWindow->PB_SheetDblClick();
        return SheetWindow->NoteWindow;
      }
      SheetWindow->SheetPropWindow->Container = &Project();
      SheetWindow->SheetPropWindow->ShowItem(sheet);
      SheetWindow->SheetPropWindow->show();
      return SheetWindow->SheetPropWindow;
    case TWindow::Free: {
      TPropertyFrm* window = nullptr;
      if (note) {
        auto* noteWindow = new TNotePrp(QELMain);
        noteWindow->Container = &Project();
        noteWindow->ShowNote(note, Project().RelationPool.get(), Project().LinkPool.get());
        window = noteWindow;
      } else if (sheet) {
        auto* sheetWindow = new TSheetPrp(QELMain);
        sheetWindow->Container = &Project();
        sheetWindow->ShowItem(sheet);
        window = sheetWindow;
      } else {
        auto* attachWindow = new TAttachPrp(QELMain);
        attachWindow->Container = &Project();
        attachWindow->ShowItem(attachment);
        window = attachWindow;
      }
      ShowFreeWindow(window, true);
      Free.push_back(window);
      return window;
    }
    }
    return nullptr;
  }

  // The user's edit of the field in the window; the value as it is to end up in the item.
  std::string Edit(TPropertyFrm* window, TField field, int step) {
    const std::string value = "Edit" + std::to_string(step);
    switch (field) {
    case TField::Name:
    case TField::Caption: Type(window->ED_Caption, value); return value;
    case TField::Text: {
      TRichEditURL* text = static_cast<TNotePrp*>(window)->RichEditURL1;
      text->selectAll();
      QTest::keyClicks(text, QString::fromStdString(value));
      return value;
    }
    case TField::Color: {
      const TColor color = 0x010101 * (step % 200 + 20);
      Script.AnswerColor(true, color);
      static_cast<TNotePrp*>(window)->PN_NoteColorClick();
      return std::to_string(color);
    }
    case TField::Size: {
      const std::string size = std::to_string(1000 + step);
      Type(static_cast<TSheetPrp*>(window)->ED_SheetWidth, size);
      return size;
    }
    case TField::Description: {
      TRichEditURL* text = static_cast<TSheetPrp*>(window)->RichEditURL1;
      text->selectAll();
      QTest::keyClicks(text, QString::fromStdString(value));
      return value;
    }
    }
    return {};
  }

  static void Type(QLineEdit* box, const std::string& value) {
    box->selectAll();
    QTest::keyClicks(box, QString::fromStdString(value));
  }

  // The field as the item holds it.
  static std::string Value(TPoolItem* item, TField field) {
    switch (field) {
    case TField::Name: return static_cast<TNoteItem*>(item)->Data.Name;
    case TField::Text: return RtfToPlainText(static_cast<TNoteItem*>(item)->Data.Text);
    case TField::Color: return std::to_string(static_cast<TNoteItem*>(item)->Data.Color);
    case TField::Size: return std::to_string(static_cast<TSheetItem*>(item)->Data.Width);
    case TField::Description: return static_cast<TSheetItem*>(item)->Data.Description;
    case TField::Caption: return static_cast<TAttachItem*>(item)->Data.Caption;
    }
    return {};
  }

  // Whether the trigger is one of the main window's, which reaches every window.
  static bool Global(TTrigger trigger) {
    return trigger == TTrigger::Save || trigger == TTrigger::AutoSave || trigger == TTrigger::AskedToStore;
  }

  void Fire(TTrigger trigger, TPropertyFrm* window) {
    auto* note = qobject_cast<TNotePrp*>(window);
    switch (trigger) {
    case TTrigger::Save: QELMain->TB_SaveClick(); break;
    case TTrigger::AutoSave: QELMain->trAutoSaveTimer(); break;
    case TTrigger::AskedToStore: QELMain->StorePendingEdits(); break;
    case TTrigger::Store: window->UpdateItem(true); break;
    case TTrigger::CaptionExit: window->ED_CaptionExit(); break;
    case TTrigger::SheetClick:
      SheetWindow->LastPoint = Empty;
      SheetWindow->PB_SheetClick();
      window->UpdateItem(true);
      break;
    case TTrigger::NoteDoubleClick:
      SheetWindow->LastPoint = OnNote;
      SheetWindow->PB_SheetDblClick();
      window->UpdateItem(true);
      break;
    case TTrigger::TabSwitch:
      if (note)
        note->PC_Note->setCurrentIndex(note->PC_Note->currentIndex() == 0 ? 1 : 0);
      else
        window->UpdateItem(true);
      break;
    case TTrigger::PictureButton:
      if (note) {
        Script.Answer(mrYes);
        note->btn_clearlogoClick();
      } else {
        window->UpdateItem(true);
      }
      break;
    case TTrigger::Close: window->close(); break;
    case TTrigger::Hide: window->hide(); break;
    case TTrigger::NavigatorRefresh: NavForm->RefreshItem(nullptr, true); break;
    case TTrigger::ShownAgain:
      if (note)
        note->ShowNote(note->GetNote(), Project().RelationPool.get(), Project().LinkPool.get());
      else if (auto* sheet = qobject_cast<TSheetPrp*>(window))
        sheet->ShowItem(sheet->GetSheet());
      else if (auto* attachment = qobject_cast<TAttachPrp*>(window))
        attachment->ShowItem(attachment->Attachment.Get());
      break;
    }
  }

  // The field of the item as the saved files hold it.
  std::string Saved(TField field) {
    TContainer read;
    read.Load(FProject);
    TPoolItem* item = field == TField::Size || field == TField::Description ? static_cast<TPoolItem*>(read.GetSheet(0))
                      : field == TField::Caption ? static_cast<TPoolItem*>(read.GetAttachment(0))
                                                 : static_cast<TPoolItem*>(read.GetNote(0));
    return Value(item, field);
  }

  void CloseAll() {
    for (const QPointer<TPropertyFrm>& window : Free) delete window.data();
    Free.clear();
    SheetWindow->NoteWindow->hide();
    SheetWindow->SheetPropWindow->hide();
    NavForm->TV_Container->setCurrentItem(NavForm->Tree->RootNode);
    NavForm->RefreshItem(nullptr, false);
  }

  std::string FProject;
  TDrawSheet* SheetWindow = nullptr;
  TPoint OnNote, Empty;
  std::vector<QPointer<TPropertyFrm>> Free;
};

// Fault: a window storing every field it shows wrote its old copy over an edit made in
// another window of the same item (save, sheet click, double-click, navigator refresh...).
TEST_F(OneItemManyWindows, TheEditOfOneWindowIsWhatTheItemAndTheFilesKeep) {
  int step = 0;
  for (TField field : kFields)
    for (TWindow editor : kWindows)
      for (TWindow other : kWindows)
        for (TTrigger trigger : kTriggers) {
          TPoolItem* item = ItemOf(field);
          if (editor == other && editor != TWindow::Free) continue;
          SCOPED_TRACE(std::string(Name(field)) + ": edited in " + Name(editor) + ", stored by " + Name(other) +
                       ", trigger " + std::to_string(static_cast<int>(trigger)));
          ++step;
          TPropertyFrm* b = Open(other, item);
          if (!b) continue;
          QPointer<TPropertyFrm> a = Open(editor, item);
          if (!a) {
            CloseAll();
            continue;
          }
          ASSERT_NE(a.data(), b);
          const std::string expected = Edit(a, field, step);
          // The editor's own store (focus leaving it); the main window's triggers find it unstored.
          if (!Global(trigger)) a->StorePending();
          Fire(trigger, b);
          // And whatever the editor stores later does not undo it either.
          if (a && a->isVisible()) a->UpdateItem(true);
          QELMain->StorePendingEdits();
          EXPECT_EQ(Value(item, field), expected);
          QELMain->TB_SaveClick();
          EXPECT_EQ(Saved(field), expected);
          EXPECT_EQ(Script.Pending(), 0u);
          CloseAll();
        }
}

// A window showing an item shows what another window stored, except a field typed in there.
TEST_F(OneItemManyWindows, AWindowShowsChangesMadeElsewhereButKeepsWhatIsTyped) {
  TNoteItem* note = Project().GetNote(0);
  auto* first = static_cast<TNotePrp*>(Open(TWindow::Free, note));
  auto* second = static_cast<TNotePrp*>(Open(TWindow::Free, note));
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
  CloseAll();
}

} // namespace
} // namespace qel::test
