// The sheet window's drag and drop: dragging the selected notes out, moving them, linking a
// note dropped on another, placing notes dragged from other windows, and the new-note tile.
#include "SheetForm.h"

#include "graphics/SelDrawBot.h"
#include "model/Container.h"
#include "windows/MainServices.h"
#include "windows/nav/Navigator.h"
#include "windows/links/NewLink.h"
#include "windows/props/NoteProp.h"
#include "windows/props/PropertyForm.h"

#include <QDrag>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>

namespace qel {

namespace {

// Whether the widget is a window of the class or lies inside one.
template <class T> bool WithinWindowOf(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget())
    if (dynamic_cast<const T*>(widget)) return true;
  return false;
}

TNoteItem* FirstNote(const TDragNotes* D) { return dynamic_cast<TNoteItem*>(D->Items(0)); }

} // namespace

void TDrawSheet::PB_SheetStartDrag() {
  TSheetItem* sheet = GetSheet();
  const std::vector<TNoteItem*> notes = View && sheet ? View->SelectedNotes() : std::vector<TNoteItem*>();
  if (notes.empty()) return;
  auto object = std::make_unique<TDragNotes>(this);
  object->Assign(std::vector<TPoolItem*>(notes.begin(), notes.end()));
  object->ComputeOffsets(sheet, BitmapCanvas->ToWorld(PressPoint.X), BitmapCanvas->ToWorld(PressPoint.Y));
  auto* drag = new QDrag(PB_Sheet);
  // The drag must not go with the window, which may be freed while it runs: its one owner is
  // whoever ends it.
  drag->setParent(nullptr);
  drag->setMimeData(new TDragMimeData(std::move(object)));
  PB_Sheet->CancelClick();
  Dragging = true;
  FDragPoint = {-1, -1};
  QPointer<TDrawSheet> self(this);
  if (ExecDrag) {
    std::unique_ptr<QDrag> owned(drag);
    ExecDrag(*drag);
  } else {
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction); // Qt deletes the drag later
  }
  if (self) EndOwnDrag();
}

void TDrawSheet::EndOwnDrag() {
  ClearFeedback();
  HideLinkHint();
  // The release that ended the drag, where the drag last was over this window.
  PB_SheetMouseUp(Qt::LeftButton, Qt::NoModifier, FDragPoint.X, FDragPoint.Y);
  Dragging = false;
}

bool TDrawSheet::CanDropNotes(const TDragNotes* D) const {
  TSheetItem* sheet = GetSheet();
  TNoteItem* first = FirstNote(D);
  if (!first || !sheet || !Container) return false;
  if (!Container->FindPosition(first, sheet)) return true;
  const QWidget* source = D->SourceForm.data();
  const bool trusted = WithinWindowOf<TNavForm>(source) || WithinWindowOf<TPropertyFrm>(source);
  if (first->IsPlacedOn(sheet)) return source == this || trusted;
  return trusted;
}

bool TDrawSheet::PB_SheetDragOver(TDragObject* Source, int X, int Y, TDragState State) {
  if (!View || !GetSheet()) return false;
  FDragPoint = State == TDragState::dsDragLeave ? TPoint{-1, -1} : TPoint{X, Y};
  if (auto* notes = dynamic_cast<TDragNotes*>(Source)) {
    const bool accept = CanDropNotes(notes);
    DragNotesOver(notes, X, Y, State);
    return accept;
  }
  return dynamic_cast<TDragNewNote*>(Source) != nullptr;
}

void TDrawSheet::DrawOutline() {
  BeginFeedback();
  Outline->DrawOutline();
  FeedbackChanged();
}

void TDrawSheet::DragNotesOver(TDragNotes* D, int X, int Y, TDragState State) {
  const bool own = D->SourceForm == this && !Outline->Notes.empty();
  if (State == TDragState::dsDragLeave) {
    if (own && !HintShown) DrawOutline();
    if (HintShown) HideLinkHint();
    return;
  }
  if (State == TDragState::dsDragEnter) {
    if (own && !HintShown) DrawOutline();
    return;
  }
  if (!own) return;
  if (!HintShown) {
    BeginFeedback();
    Outline->CurrentX = BitmapCanvas->ToWorld(X);
    Outline->CurrentY = BitmapCanvas->ToWorld(Y);
    Outline->Draw();
    FeedbackChanged();
  }
  TNoteItem* note = View->NoteAt(X, Y);
  if (note && MayLink(D, note)) {
    if (!HintShown) {
      HintShown = true;
      DrawOutline();
    }
    LinkOnDrop = true;
    ShowLinkHint(NoteScreenPos(note));
  } else if (HintShown) {
    // Also over a note that cannot be linked (one standing for a sheet): no link on drop.
    HideLinkHint();
    DrawOutline();
  }
}

bool TDrawSheet::MayLink(const TDragNotes* D, const TNoteItem* Target) const {
  const TNoteItem* dragged = FirstNote(D);
  return D->Count() == 1 && dragged && Target != dragged && Container->RelationCount() > 0 &&
         !Target->IsAggregation() && !dragged->IsAggregation();
}

void TDrawSheet::ShowLinkHint(const QPoint& corner) {
  // At least the classic 100 by 15, and room for the whole text in the font in use.
  LinkHint->setGeometry(QRect(corner, LinkHint->sizeHint().expandedTo(QSize(100, 15))));
  LinkHint->show();
}

void TDrawSheet::HideLinkHint() {
  LinkHint->hide();
  HintShown = false;
  LinkOnDrop = false;
}

QPoint TDrawSheet::NoteScreenPos(const TNoteItem* Note) const {
  const TPosItem* pos = Container && GetSheet() ? Container->FindPosition(Note, GetSheet()) : nullptr;
  if (!pos || !BitmapCanvas) return {};
  return PB_Sheet->mapToGlobal(QPoint(BitmapCanvas->Scale(pos->Data.X), BitmapCanvas->Scale(pos->Data.Y)));
}

void TDrawSheet::PB_SheetDragDrop(TDragObject* Source, int X, int Y) {
  if (!View || !GetSheet() || !Container) return;
  FDragPoint = {X, Y}; // the release of a drag from here comes at the drop
  if (auto* notes = dynamic_cast<TDragNotes*>(Source)) {
    if (LinkOnDrop)
      LinkDroppedNote(notes, X, Y);
    else
      DropNotes(notes, X, Y);
  } else if (dynamic_cast<TDragNewNote*>(Source)) {
    DropNewNote(X, Y);
  }
}

void TDrawSheet::DropNotes(TDragNotes* D, int X, int Y) {
  ClearFeedback();
  const int32_t wx = BitmapCanvas->ToWorld(X), wy = BitmapCanvas->ToWorld(Y);
  for (int i = 0; i < D->Count(); ++i)
    if (auto* note = dynamic_cast<TNoteItem*>(D->Items(i))) // one deleted meanwhile is left out
      Container->PlaceNote(note, GetSheet(), Clamp32((long long)wx + D->OffsetX(i)),
                           Clamp32((long long)wy + D->OffsetY(i)));
  Redraw(true);
}

void TDrawSheet::LinkDroppedNote(TDragNotes* D, int X, int Y) {
  HideLinkHint();
  ClearFeedback();
  TItemRef<TNoteItem> from = FirstNote(D);
  TItemRef<TNoteItem> to = View->NoteAt(X, Y);
  // The note offered as the target is no longer one to link to: a plain drop.
  if (!to || !MayLink(D, to.Get())) return DropNotes(D, X, Y);
  // The release ends the drag over no note: the target is not added to the selection, so
  // the next drag moves the dragged note alone.
  FDragPoint = {-1, -1};
  if (!NewLinkForm) return;
  NewLinkForm->Setup(Container, from.Get(), to.Get(), GetSheet());
  QPointer<TDrawSheet> self(this);
  const int result = NewLinkForm->exec();
  if (!self || result != QDialog::Accepted || !Container || !GetSheet()) return;
  TLinkItem* link = Container->NewLink(from.Get(), to.Get(), NewLinkForm->ChosenRelation.Get(), GetSheet());
  if (!link) return;
  link->SetPenWidth(NewLinkForm->ChosenWidth);
  link->SetColor(NewLinkForm->ChosenColor);
  link->SetArrowType(NewLinkForm->ChosenArrow);
  Redraw(true);
}

void TDrawSheet::DropNewNote(int X, int Y) {
  TNoteItem* note = Container->AddNote(TNote());
  if (!note) return;
  Container->PlaceNote(note, GetSheet(), BitmapCanvas->ToWorld(X), BitmapCanvas->ToWorld(Y));
  ShowNoteWindow(note);
  // Shown again where the user left it; shown anew beside this window.
  if (!NoteWindow->isVisible()) PlaceFreeWindow(NoteWindow);
  NoteWindow->show();
  Redraw(true);
}

} // namespace qel
