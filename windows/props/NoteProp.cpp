#include "NoteProp.h"

#include "NotePropReplaceDialog.h"
#include "windows/richedit/RichEditURL.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <QSplitter>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

namespace qel {

TNotePrp* NotePrp = nullptr;

TNotePrp::TNotePrp(QWidget* parent, Qt::WindowFlags flags) : TPropertyFrm(parent, flags) {
  setWindowTitle("Note");
  resize(280, 698);
  MainMenu = new QMenuBar(this);
  SB_Contents = new QStatusBar(this);
  SB_Contents->setSizeGripEnabled(false);
  PC_Note = new QTabWidget(this);
  CreateMemoPage();
  CreatePropertiesPage();
  CreateSheetsPage();
  CreateAttachmentList();
  CreateMenus();
  ReplaceDialog1 = new TReplaceDialog(this);
  connect(ReplaceDialog1, &TReplaceDialog::Find, this, &TNotePrp::ReplaceDialog1Find);
  connect(ReplaceDialog1, &TReplaceDialog::Replace, this, &TNotePrp::ReplaceDialog1Replace);
  QVBoxLayout* box = TakeBody(this);
  box->setMenuBar(MainMenu);
  box->addWidget(SB_Contents);
  box->addWidget(PC_Note, 3);
  box->addWidget(LV_Contents, 1);
  connect(PC_Note, &QTabWidget::currentChanged, this, &TNotePrp::PC_NoteChange);
  ForgetProjectOnRelease(this);
  StoreWhenAsked();
  if (MainServices)
    connect(MainServices->Notices(), &TMainNotices::ProjectReleasing, this, [this] {
      RelationPool = nullptr;
      LinkPool = nullptr;
    });
}

TNotePrp::~TNotePrp() = default;

void TNotePrp::ShowNote(TNoteItem* note, TPoolItemList* relationPool, TPoolItemList* linkPool) {
  // What was typed or picked for the note shown so far goes into that note, not the next.
  StorePending();
  if (note != GetItem()) {
    Note = note;
    LastFoundPos = -1; // a find in another note starts at its top
  }
  Loading = true;
  if (auto* pool = dynamic_cast<TRelationPool*>(relationPool)) RelationPool = pool;
  if (auto* pool = dynamic_cast<TLinkPool*>(linkPool)) LinkPool = pool;
  ED_Caption->show();
  TPropertyFrm::ShowItem();
}

bool TNotePrp::ItemGone() const {
  return MissingFrom(Container ? Container->NotePool.get() : nullptr, Note.Get());
}

bool TNotePrp::UpdateItem(bool Store) {
  if (CloseIfGone()) return true;
  // A reload shows what the user typed or picked, stored first.
  if (!Store) StorePending();
  TNoteItem* note = Note.Get();
  // A failing step leaves the rest undone, as a half-loaded window is better than none.
  try {
    if (Store)
      StoreNote(note);
    else
      LoadNote(note);
    FillSheetLists();
  } catch (const std::exception&) {
    return true;
  }
  return TPropertyFrm::UpdateItem(Store);
}

// The text goes in when "&Memo" is shown, and whenever it was changed since it was loaded,
// so text typed before a page switch is never lost; likewise a colour picked on
// "&Properties".
void TNotePrp::StoreNote(TNoteItem* note) {
  note->SetName(FromQString(ED_Caption->text()));
  FShownName = ED_Caption->text();
  if (PC_Note->currentWidget() == TS_Memo || HasPendingText()) StoreText(note);
  if (PC_Note->currentWidget() == TS_NoteProp || FColorPicked) StoreColor(note);
  if (PC_Note->currentWidget() == TabSheet1 && lst_availablesheets->isEnabled()) lst_availablesheets->setFocus();
}

void TNotePrp::StoreText(TNoteItem* note) {
  note->SetText(GetRichText());
  RichEditURL1->MarkStored(note->Data.Text);
}

void TNotePrp::StoreColor(TNoteItem* note) {
  note->SetColor(PN_NoteColor->Color());
  FColorPicked = false;
}

bool TNotePrp::StorePending() {
  TNoteItem* note = Note.Get();
  if (Closing || Loading || !note || ItemGone()) return false;
  // Only what the user changed: a name changed elsewhere meanwhile is not turned back.
  const bool name = ED_Caption->text() != FShownName && FromQString(ED_Caption->text()) != note->Data.Name;
  const bool text = HasPendingText();
  const bool color = FColorPicked;
  if (!name && !text && !color) return false;
  if (name) note->SetName(FromQString(ED_Caption->text()));
  FShownName = ED_Caption->text();
  if (text) StoreText(note);
  if (color) StoreColor(note);
  TPropertyFrm::UpdateItem(true);
  return true;
}

void TNotePrp::LoadNote(TNoteItem* note) {
  FColorPicked = false;
  ED_Caption->setText(ToQString(note->Data.Name));
  FShownName = ED_Caption->text();
  SetInfo("Note - " + ED_Caption->text());
  RichEditURL1->SetRichText(note->Data.Text);
  PN_NoteColor->SetColor(note->Data.Color);
  ShowPicture();
  ShowLogo();
  SetLinkCaptions();
  FillLinksTo();
  FillLinksFrom();
  SB_Contents->showMessage("Attachments of " + ED_Caption->text());
  FillAttachments();
}

void TNotePrp::Reload() {
  Loading = true;
  UpdateItem(false);
  Loading = false;
}

bool TNotePrp::HasPendingText() const {
  return RichEditURL1->ChangedSinceLoad();
}

void TNotePrp::PC_NoteChange() {
  if (!Closing && !Loading) UpdateItem(true);
}

void TNotePrp::PC_NoteEnter() {
  const int half = TS_Memo->height() / 2;
  SheetsSplitter->setSizes({half, half});
}

void TNotePrp::RichEditURL1Exit() {
  if (!Loading) UpdateItem(true);
}

void TNotePrp::showEvent(QShowEvent* event) {
  TPropertyFrm::showEvent(event);
  FormShow();
}

void TNotePrp::resizeEvent(QResizeEvent* event) {
  TPropertyFrm::resizeEvent(event);
  SetTextMargins();
  SelectionChange();
}

} // namespace qel
