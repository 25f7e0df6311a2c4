// The sheet window's clicks, double-clicks and keys: the note window, the sheet property
// window of an aggregation note, the edit-link dialog, and deleting.
#include "SheetForm.h"

#include "model/Container.h"
#include "platform/qt/Dialogs.h"
#include "windows/MainServices.h"
#include "windows/links/EditLink.h"
#include "windows/props/NoteProp.h"
#include "windows/props/SheetProp.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTabWidget>

namespace qel {

namespace {

// Ends a local event loop when the watched window is hidden or destroyed.
class THideWatcher : public QObject {
public:
  THideWatcher(QWidget* window, QEventLoop* loop) : FLoop(loop) {
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, loop, &QEventLoop::quit);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide) FLoop->quit();
    return QObject::eventFilter(watched, event);
  }

private:
  QEventLoop* FLoop;
};

// Shows a window modally and returns when it is hidden.
void ShowModal(QWidget* window) {
  QPointer<QWidget> guard(window);
  window->setWindowModality(Qt::ApplicationModal);
  window->show();
  window->raise();
  QEventLoop loop;
  THideWatcher watcher(window, &loop);
  if (window->isVisible()) loop.exec();
  if (guard) guard->setWindowModality(Qt::NonModal);
}

} // namespace

void TDrawSheet::PB_SheetClick() {
  if (!View || !NoteWindow->isVisible()) return;
  NoteWindow->RichEditURL1Exit(); // what was typed goes into its note first
  if (!View) return;
  TNoteItem* note = View->NoteAt(LastPoint.X, LastPoint.Y);
  if (!note) return;
  if (!note->IsAggregation()) {
    NoteWindow->ShowNote(note, Container->RelationPool.get(), Container->LinkPool.get());
    NoteWindow->PC_Note->setCurrentIndex(0);
  }
  NoDrag = true;
}

void TDrawSheet::ShowNoteWindow(TNoteItem* Note) {
  NoteWindow->Container = Container;
  NoteWindow->ShowNote(Note, Container->RelationPool.get(), Container->LinkPool.get());
  NoteWindow->PC_Note->setCurrentIndex(0);
}

void TDrawSheet::PB_SheetDblClick() {
  if (!View || !GetSheet()) return;
  QPointer<TDrawSheet> self(this);
  TNoteItem* note = View->NoteAt(LastPoint.X, LastPoint.Y);
  if (note && !note->IsAggregation()) {
    if (MainServices) MainServices->StoreNavigatorEdits();
    ShowNoteWindow(note);
    PlaceFreeWindow(NoteWindow);
    NoteWindow->show();
  } else if (note) {
    // The sheet the note stands for may be gone.
    TSheetItem* standsFor = note->GetAggregatedSheet();
    if (!standsFor) return;
    if (MainServices) MainServices->StoreNavigatorEdits();
    SheetPropWindow->Container = Container;
    SheetPropWindow->ShowItem(standsFor);
    PlaceFreeWindow(SheetPropWindow);
    ShowModal(SheetPropWindow);
  } else if (TLinkItem* link = View->LinkAt(LastPoint.X, LastPoint.Y); link && LinkShownHere(link)) {
    EditLink(link);
    return;
  } else {
    return;
  }
  if (!self || !GetSheet()) return;
  NoDrag = true;
  Redraw(true);
}

void TDrawSheet::EditLink(TLinkItem* Link) {
  TItemRef<TLinkItem> edited(Link);
  QPointer<TDrawSheet> self(this);
  LinkEditor->SetupLink(Container, Link);
  const int result = LinkEditor->exec();
  if (!self || result != QDialog::Accepted || !edited || !Container) return;
  Link = edited.Get();
  Link->SetArrowType(LinkEditor->ChosenArrow);
  Link->SetColor(LinkEditor->ChosenColor);
  Link->SetPenWidth(LinkEditor->ChosenWidth);
  const bool selected = View->SelectedLink() == Link;
  // A new type replaces the link: the selection follows it.
  TLinkItem* kept = Container->ChangeLinkRelation(Link, LinkEditor->ChosenRelation.Get());
  if (selected && kept) View->SelectLink(kept);
  NoDrag = true;
  Redraw(true);
}

void TDrawSheet::FormKeyDown(int Key, Qt::KeyboardModifiers) {
  TSheetItem* sheet = GetSheet();
  if (Key != Qt::Key_Delete || !View || !sheet || !Container) return;
  const std::vector<TNoteItem*> notes = View->SelectedNotes();
  if (!notes.empty()) {
    std::vector<TItemRef<TNoteItem>> chosen(notes.begin(), notes.end());
    if (MessageDlg("Are you sure about deleting the selected notes ?", TMsgDlgType::mtConfirmation, mbYes | mbNo) !=
        mrYes)
      return;
    // The notes stay in the project; only their places on this sheet go.
    for (const TItemRef<TNoteItem>& note : chosen)
      if (TPosItem* pos = note && GetSheet() ? Container->FindPosition(note.Get(), GetSheet()) : nullptr)
        pos->Delete();
    View->ClearNoteSelection();
    Redraw(true);
  } else if (TLinkItem* link = View->SelectedLink(); link && LinkShownHere(link)) {
    link->Delete();
    View->ClearLinkSelection();
    Redraw(true);
  }
}

} // namespace qel
